#pragma once
// The collection session's own state: where a collection stands, which of
// its controls may be used, the numbers its boxes hold, the flags of a
// running collection, its monitor timer, what it has counted, and the hooks
// through which the program (or torvane-cli) shows what happens. The
// windows turn this into captions and box texts; nothing here is a text.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "acquisition/stream_decoders.hpp"
#include "analysis/recalculate.hpp"
#include "common/clock.hpp"
#include "files/recovery_file.hpp"
#include "trial/athlete.hpp"

namespace torvane {

inline constexpr std::uint32_t kCollectionMonitorMs = 100;
inline constexpr std::uint32_t kCountInStepMs = 1000;

// Where a collection stands. Idle: Start may be pressed. CountIn and
// Collecting: the button stops the collection. Processing: Stop was pressed
// or the samples are all in, and the finishing steps run; a press then does
// nothing.
enum class CollectionPhase { Idle, CountIn, Collecting, Processing };

// What the digital display shows: the sample count while a collection runs
// (realtime) or the mouse position on the graph (timepoint).
enum class DigitalDisplayMode { Timepoint, Realtime };

// The source a running collection reads, fixed when it starts.
enum class CollectionSource { None, Demonstration, Zra6, Zra6Plus, Zra7, Accelerometer };

// How a collection ended. Whole: every sample from a whole, checked frame.
// Damaged: some samples hold the last whole one in place of frames that were
// not whole. Cut short: the unit stopped answering, or a fault stopped it.
enum class CollectionOutcome { Whole, Damaged, CutShort };

// The graph channel a zeroing reading selects.
enum class ZeroChannel { Displacement, Force, Acceleration };

// What the windows around a collection do; each is optional.
struct CollectionHooks {
  // The phase, the enabled controls or the trial number changed.
  std::function<void()> stateChanged;
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
  std::function<void(DigitalDisplayMode mode)> digitalDisplayMode;
  std::function<void(std::int32_t sample)> digitalDisplaySample;
  // The graph's channel option for a zeroing reading.
  std::function<void(ZeroChannel channel)> selectChannel;
  // Training mode asked for a displacement zeroing: bring its window back.
  std::function<void()> showTrainingWindow;
  // The athlete a new trial goes with, named in its recovery file.
  std::function<SquadMember()> athlete;
};

struct CollectionState {
  CollectionPhase phase = CollectionPhase::Idle;
  // The controls of the analysis window that belong to a collection.
  bool startStopEnabled = true;
  bool zeroDisplacementEnabled = true;
  bool zeroForceEnabled = true;
  // The trial-number box: counts the collections (a zeroing is not one).
  double trialNumber = 0;
  // The duration box, in seconds.
  double durationSeconds = 5.0;
  bool countInBeforeStart = false;
  bool digitalDisplayOn = false;  // the main menu's digital display entry is ticked
  DigitalDisplayMode digitalDisplayMode = DigitalDisplayMode::Timepoint;

  bool CollectionStopRequested = false;
  std::int32_t LastTickRawIndex = 0;
  bool ZeroRequestedByTraining = false;
  // The user cancelled the zeroing reading that runs.
  bool zeroCancelRequested = false;
  // The length of a zeroing or calibration reading, in seconds.
  double readingSeconds = 2.0;
  bool TrainingRecording = false;

  // A collection runs (from the source's start to its finishing tick).
  bool collecting = false;
  CollectionSource source = CollectionSource::None;
  bool streamWithForce = false;    // ZRA6/ZRA6+: the frames carry a force value
  std::int32_t frameDivider = 1;   // a thinning source (ZRA7): every d-th frame is a sample
  std::int32_t rawFrameBound = 0;  // a thinning source: frames that make `samples` samples
  // The source's port was open when the stream started; a port that fails
  // after that means the unit went away (read error, end of file).
  bool portOpenAtStart = false;
  bool unitLost = false;
  // Stop came from a fault (nothing arrived for too long), not from the user.
  bool stoppedByFault = false;
  // The samples the collection set out to gather, and how it ended.
  std::int32_t samplesWanted = 0;
  CollectionOutcome outcome = CollectionOutcome::Whole;
  // Re-entry guards: window timers never overlap their own handler.
  bool inMonitorTick = false;
  bool inStreamTick = false;
  // Frames of this collection: decoded, dropped, and bytes received.
  DecodeCounts frames;
  std::uint64_t bytesReceived = 0;
  // How often the finished trial was processed (once per collection).
  int processedCount = 0;

  // Where a collection keeps its recovery file (empty: it keeps none), and
  // whether it is left for its owner to remove once the trial is saved.
  std::string recoveryPath;
  bool keepRecoveryFile = false;
  RecoveryJournal recovery;
  std::uint64_t lastRecoveryFlushMs = 0;
  // Appends to it in this collection, and the longest one took.
  std::int64_t recoveryAppends = 0;
  std::int64_t longestRecoveryAppendUs = 0;

  std::unique_ptr<Timer> tmrCheckStatus;
  CollectionHooks hooks;

  // The button stops a collection (its caption reads "Stop").
  bool StopsCollection() const {
    return phase == CollectionPhase::CountIn || phase == CollectionPhase::Collecting;
  }
};

}  // namespace torvane
