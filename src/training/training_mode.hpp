#pragma once
// Training mode as the training window runs it: Start and Stop of a training
// collection through the collection's one state machine, the analysis of
// each monitor portion (AnalyseTrainerData), the brake on the way up, the
// grid row, chart point and feedback of every completed repetition
// (UpdateValues, GraphData), New Set, Zero Position, the demonstration
// replay, and the set's training file and summary row. The window turns the
// state and the hooks into what is seen and heard.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "acquisition/collection_context.hpp"
#include "results/results_worksheet.hpp"
#include "squads/squad_table.hpp"
#include "training/repetition_analysis.hpp"
#include "training/training_texts.hpp"

namespace torvane {

// Stopped: Start may be pressed ("S&tart"). Recording: a training collection
// runs ("S&top"). Demonstrating: the demonstration set is replayed ("S&top").
enum class TrainingPhase { Stopped, Recording, Demonstrating };

struct TrainingHooks {
  // The grid and the chart were emptied (Start, New Set, loading a set).
  std::function<void()> setCleared;
  // Repetition `repetition` (from 1) is complete: its grid row, its chart
  // point, the summary (UpdateValues).
  std::function<void(std::int32_t repetition)> repetitionShown;
  // The feedback of the repetition just shown (sound and visual window).
  std::function<void(const Feedback& feedback)> feedback;
  // The visual feedback window is shown (true) or put away (false).
  std::function<void(bool show)> showFeedbackWindow;
  // The phase, the enabled buttons, the status labels or the mode changed.
  std::function<void()> stateChanged;
  // The chart is to be drawn again from the set (the variable changed).
  std::function<void()> chartReplot;
};

struct TrainingState {
  RepetitionAnalysis analysis;
  TrainingPhase phase = TrainingPhase::Stopped;
  bool FlightPhaseMode = false;
  PlotVariable plot = PlotVariable::MaxHeight;
  bool statusDisplay = true;  // chkStatusDisplay: the position and direction labels are written
  bool startEnabled = true;   // off while a zeroing reading runs for training
  // The sample rate the last portions arrived at (lblTrainSampleFreq); none
  // before the second portion of a recording.
  std::optional<double> effectiveRate;
  std::uint64_t previousCallMs = 0;
  SetSummary summary;
  bool stopRequested = false;  // Stop pressed during the demonstration replay
  // The athlete a set loaded from a file names, when it names someone; a
  // set recorded here goes with the athlete selected in the squad.
  std::optional<SquadMember> setAthlete;
  TrainingHooks hooks;

  const RepetitionSet& set() const { return analysis.set; }
};

struct TrainingContext {
  CollectionContext collection;
  TrainingState& training;
  SquadTable& squad;
  ResultsOutput& results;
  // Folders searched, in order, for the demonstration set.
  std::vector<std::string> demoFolders;
};

inline constexpr const char* kTrainingTitle = "Training";
inline constexpr const char* kMassRefused = "The mass must be more than 0 kg.";
inline constexpr const char* kTrainingBusyMessage =
    "A collection or a zeroing reading is running in the analysis window. Start training when "
    "it has ended.";
inline constexpr const char* kTrainingLoadWhileRecording =
    "A set cannot be loaded while training records. Stop it first.";

// The athlete the set in the window goes with: the one its training file
// named, for a loaded set; else the athlete selected in the squad.
const SquadMember& TrainingSetAthlete(const TrainingContext& cx);

// What the analysis reads of the settings and the window's mode.
RepetitionSettings RepetitionSettingsOf(const SettingsRecord& settings, bool flightPhase);

// The training window's Start/Stop button. Start: a training collection
// (or, in demonstration mode, the replay of the demonstration set). Stop:
// ends it; Stop never starts a collection. Start is refused with a message
// while another collection or a zeroing reading runs, or when the mass is
// not more than 0.
void StartOrStopTraining(const TrainingContext& cx);
// What the collection monitor runs after each tick while training records:
// notes the end of a collection that stopped by itself, then analyses the
// new samples. Install it with InstallTrainingHook.
void TrainingCollectionTick(const TrainingContext& cx);
void InstallTrainingHook(const TrainingContext& cx);
// AnalyseTrainerData: the samples that arrived since the monitor's previous
// tick.
void AnalyseTrainerData(const TrainingContext& cx);
// UpdateValues and GraphData for repetition `repetition` (from 1): summary,
// grid row and chart point, then the feedback of its plotted value.
void ShowRepetition(const TrainingContext& cx, std::int32_t repetition);

// New Set: no repetitions, grid and chart empty.
void NewTrainingSet(const TrainingContext& cx);
// Zero Position: a displacement zeroing reading asked by training (not in
// demonstration mode); Start is off while it runs. False when no reading
// ran or it did not complete.
bool ZeroTrainingPosition(const TrainingContext& cx);
// The "Flight Phase" box.
void SetFlightPhase(const TrainingContext& cx, bool flightPhase);
// The "Data to Plot" options: the chart is drawn again.
void ChoosePlotVariable(const TrainingContext& cx, PlotVariable variable);
// The mass box: the mass becomes the text's leading number; a mass of 0 or
// less is refused (false) and the mass stays.
bool SetTrainingMass(const TrainingContext& cx, std::string_view text);
// The threshold box: the threshold becomes the text's leading number (0 for
// a text that does not begin with one).
void SetFeedbackThreshold(const TrainingContext& cx, std::string_view text);

// Save Set: the save dialog, then the training file; nothing when the dialog
// is cancelled. True when a file was written.
bool SaveTrainingSet(const TrainingContext& cx);
// Load Set: the open dialog, then the file into the set (grid, chart with
// one feedback per repetition, summary), its athlete and mass restored: the
// set keeps the athlete its file names, and the squad's selection moves to
// that athlete when the squad holds them (no squad entry is written). A
// file that is not a training file, or is malformed, loads nothing.
bool LoadTrainingSet(const TrainingContext& cx);
// Loads the training file at `path` (Load Set without the dialog).
bool LoadTrainingFile(const TrainingContext& cx, const std::string& path);
// Save summary: the set's summary row into the results workbook; with
// spreadsheet output off, says why nothing was written.
bool SaveTrainingSummary(const TrainingContext& cx);
// The demonstration replay (ReadTrainingDemo): the repetitions of the
// demonstration set one per second, each with its feedback.
void ReplayTrainingDemo(const TrainingContext& cx);

}  // namespace torvane
