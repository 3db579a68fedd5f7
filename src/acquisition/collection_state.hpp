#pragma once
// The collection session's own state: the Start/Stop button and the boxes
// of the analysis window that a collection reads and writes, the flags of a
// running collection, its monitor timer, what it has counted, and the hooks
// through which the program (or torvane-cli) shows what happens.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "acquisition/stream_decoders.hpp"
#include "analysis/recalculate.hpp"
#include "common/clock.hpp"

namespace torvane {

inline constexpr const char* kCaptionStart = "&Start";
inline constexpr const char* kCaptionStop = "&Stop";
inline constexpr const char* kRealtimeDisplayCaption = "Realtime data display";
inline constexpr const char* kTimepointDisplayCaption = "Timepoint data display";
inline constexpr std::uint32_t kCollectionMonitorMs = 100;
inline constexpr std::uint32_t kCountInStepMs = 1000;

// The source a running collection reads, fixed when it starts.
enum class CollectionSource { None, Zra6, Zra6Plus, Zra7, Accelerometer };

// The graph channel a zeroing reading selects.
enum class ZeroChannel { Displacement, Force };

// What the windows around a collection do; each is optional.
struct CollectionHooks {
  // The visual feedback window shows a count-in number; -1 hides it.
  std::function<void(int number)> showCountIn;
  std::function<void()> beep;
  std::function<void()> playStartSound;
  // Training mode's analysis of the newest samples (AnalyseTrainerData).
  std::function<void()> trainingHook;
  // The analysis window's calculation boxes. Without this hook: from
  // displacement, and from force too when force is recorded; from
  // acceleration alone with the accelerometer input.
  std::function<CalculationMode()> calculationMode;
  // The results computation and redraw that follow every ReCalculate.
  AfterDerivation afterRecalculate;
  // The graph and read-outs after a collection (LoadAndPlot, UpdateValues).
  std::function<void()> showTrial;
  // A monitor tick's redraw while collecting, when realtimeplot is on.
  std::function<void()> realtimePlot;
  // The digital display (only while its menu entry is ticked).
  std::function<void(const std::string& caption)> digitalDisplayCaption;
  std::function<void(std::int32_t sample)> digitalDisplaySample;
  // The graph's channel option for a zeroing reading.
  std::function<void(ZeroChannel channel)> selectChannel;
  // Training mode asked for a displacement zeroing: bring its window back.
  std::function<void()> showTrainingWindow;
};

struct CollectionState {
  // The controls of the analysis window that belong to a collection.
  std::string cmdCollectCaption = kCaptionStart;
  bool cmdCollectEnabled = true;
  bool cmdZeroDispEnabled = true;
  bool cmdZeroForceEnabled = true;
  std::string TextTrialNumber = " 0";
  std::string TextEndPoint = "5.0";  // duration in seconds
  bool CheckCountInStart = false;
  bool digitalDisplayChecked = false;  // the main menu's digital display entry
  std::string digitalDisplayCaption = kTimepointDisplayCaption;

  bool CollectionStopRequested = false;
  std::int32_t LastTickRawIndex = 0;
  bool ZeroRequestedByTraining = false;
  bool TrainingRecording = false;

  // A collection runs (from the source's start to its finishing tick).
  bool collecting = false;
  CollectionSource source = CollectionSource::None;
  bool streamWithForce = false;   // ZRA6/ZRA6+: the frames carry a force value
  std::int32_t zra7Divider = 1;   // ZRA7: every d-th frame is a sample
  std::int32_t zra7RawBound = 0;  // ZRA7: frames that make `samples` samples
  // The source's port was open when the stream started; a port that fails
  // after that means the unit went away (read error, end of file).
  bool portOpenAtStart = false;
  bool unitLost = false;
  // Re-entry guards: window timers never overlap their own handler.
  bool inMonitorTick = false;
  bool inStreamTick = false;
  // Frames of this collection: decoded, dropped, and bytes received.
  DecodeCounts frames;
  std::uint64_t bytesReceived = 0;
  // How often the finished trial was processed (once per collection).
  int processedCount = 0;

  std::unique_ptr<Timer> tmrCheckStatus;
  CollectionHooks hooks;
};

}  // namespace torvane
