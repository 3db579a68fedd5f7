#pragma once
// "Debug": the interface link and the collection as they stand, refreshed
// twice a second while the window is shown, with a button that copies it.

#include <QWidget>

class QPlainTextEdit;
class QTimer;

namespace torvane {

struct Session;

class FormDebug : public QWidget {
  Q_OBJECT

 public:
  explicit FormDebug(Session& session, QWidget* parent = nullptr);

  // The text shown now.
  QString Text() const;

 public slots:
  void Refresh();
  void cmdCopy_Click();

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  Session& session_;
  QPlainTextEdit* txtDebug_ = nullptr;
  QTimer* tmrRefresh_ = nullptr;
};

}  // namespace torvane
