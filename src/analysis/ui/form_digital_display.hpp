#pragma once
// The digital display: the five channels at one sample in large figures,
// "Timepoint data display" for the point under the mouse on the graph,
// "Realtime data display" while a collection runs (displacement and force
// only). It listens to the collection while its View entry is ticked.

#include <QWidget>
#include <array>
#include <cstdint>

#include "acquisition/collection_state.hpp"

class QLabel;

namespace torvane {

struct Session;

inline constexpr const char* kTimepointDisplayCaption = "Timepoint data display";
inline constexpr const char* kRealtimeDisplayCaption = "Realtime data display";

class FormDigitalDisplay : public QWidget {
  Q_OBJECT

 public:
  explicit FormDigitalDisplay(Session& session, QWidget* parent = nullptr);
  ~FormDigitalDisplay() override;

  static QSize LoadSize();

 public slots:
  // The channels at `sample`; nothing while the View entry is not ticked.
  void UpdateDigitalDisplay(std::int32_t sample);
  void SetDisplayMode(DigitalDisplayMode mode);
  // The View entry's tick: while it is set the collection feeds the display.
  void SetDisplayOn(bool on);

 private:
  Session& session_;
  std::array<QLabel*, 5> values_{};
};

}  // namespace torvane
