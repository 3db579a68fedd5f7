#include "training/training_mode.hpp"

#include "acquisition/collection_session.hpp"
#include "common/number_text.hpp"
#include "common/paths.hpp"
#include "common/text_file.hpp"
#include "link/brake.hpp"
#include "training/training_file.hpp"

namespace torvane {

namespace {

// A training file larger than this is no set of repetitions.
constexpr std::size_t kTrainingFileLimit = std::size_t{64} << 20;
// The demonstration replay shows one repetition a second.
constexpr std::uint64_t kDemoRepetitionMs = 1000;

void Notify(const TrainingContext& cx) {
  if (cx.training.hooks.stateChanged) cx.training.hooks.stateChanged();
}

void ShowFeedbackWindow(const TrainingContext& cx, bool show) {
  if (cx.training.hooks.showFeedbackWindow) cx.training.hooks.showFeedbackWindow(show);
}

void SetCleared(const TrainingContext& cx) {
  cx.training.summary = SummariseSet(cx.training.set());
  if (cx.training.hooks.setCleared) cx.training.hooks.setCleared();
}

bool CollectionBusy(const TrainingContext& cx) {
  return cx.collection.collection.phase != CollectionPhase::Idle ||
         cx.collection.view.ZeroingInProgress;
}

void Say(const TrainingContext& cx, MessageIcon icon, std::string_view title,
         std::string_view text) {
  cx.collection.dialogs.ShowMessage(icon, title, text);
}

// The status log notes how many repetitions a recorded set counted.
void LogSetEnd(const TrainingContext& cx) {
  cx.collection.status.AddStatusMessage(
      "Training set ended with " + std::to_string(cx.training.set().RepCount) + " repetitions");
}

void StartTraining(const TrainingContext& cx) {
  TrainingState& t = cx.training;
  CollectionState& c = cx.collection.collection;
  if (!t.startEnabled) return;
  if (!(cx.collection.settings.weight > 0)) {
    Say(cx, MessageIcon::Exclamation, kTrainingTitle, kMassRefused);
    return;
  }
  if (cx.collection.demoMode) {
    ReplayTrainingDemo(cx);
    return;
  }
  if (CollectionBusy(cx)) {
    Say(cx, MessageIcon::Exclamation, kTrainingTitle, kTrainingBusyMessage);
    return;
  }
  t.phase = TrainingPhase::Recording;
  t.stopRequested = false;
  StartRepetitionAnalysis(t.analysis);
  t.setAthlete.reset();
  t.effectiveRate.reset();
  t.previousCallMs = 0;
  SetCleared(cx);
  Notify(cx);
  if (cx.collection.settings.showfeedback) ShowFeedbackWindow(cx, true);
  InstallTrainingHook(cx);
  c.TrainingRecording = true;
  StartOrStopCollection(cx.collection);
  // Refused (too many samples) or stopped during its count-in.
  if (t.phase == TrainingPhase::Recording && !c.collecting) {
    t.phase = TrainingPhase::Stopped;
    c.TrainingRecording = false;
    Notify(cx);
  }
}

void StopTraining(const TrainingContext& cx) {
  TrainingState& t = cx.training;
  CollectionState& c = cx.collection.collection;
  t.phase = TrainingPhase::Stopped;
  c.TrainingRecording = false;
  ShowFeedbackWindow(cx, false);
  Notify(cx);
  // Only a running collection is stopped: a press never starts one.
  if (c.StopsCollection()) StartOrStopCollection(cx.collection);
  LogSetEnd(cx);
}

void SendBrakeLevel(const TrainingContext& cx, float level) {
  SetBrakeLevel(cx.collection.Link(), level);
  cx.collection.brakePercent = level;
  if (cx.collection.updateStatusBar) cx.collection.updateStatusBar();
}

// The squad's selection follows a loaded set's athlete when the squad holds
// them; the table itself is never written.
void SelectLoadedAthlete(SquadTable& squad, const SquadMember& athlete) {
  const int count = std::min<int>(squad.SquadCount, kSquadTableSize - 1);
  for (int i = 1; i <= count; ++i) {
    const SquadMember& m = squad.SquadMembers[static_cast<std::size_t>(i)];
    if (m.Id == athlete.Id && m.FirstName == athlete.FirstName && m.LastName == athlete.LastName) {
      squad.CurrentAthlete = static_cast<std::int16_t>(i);
      return;
    }
  }
}

std::optional<TrainingFileContents> ReadTrainingFile(const TrainingContext& cx,
                                                     const std::string& path) {
  const FileReadResult read = ReadWholeFile(path, kTrainingFileLimit);
  if (!read.ok) {
    Say(cx, MessageIcon::Critical, kTrainingTitle,
        "The training file " + OneLineText(path) + " could not be read: " + read.error);
    return std::nullopt;
  }
  TrainingFileContents file = ParseTrainingFile(read.bytes);
  if (!file.ok) {
    Say(cx, file.notTrainingFile ? MessageIcon::Information : MessageIcon::Exclamation,
        kTrainingTitle, file.error);
    return std::nullopt;
  }
  return file;
}

}  // namespace

const SquadMember& TrainingSetAthlete(const TrainingContext& cx) {
  const std::optional<SquadMember>& own = cx.training.setAthlete;
  return own && NamesAnAthlete(*own) ? *own : cx.squad.Current();
}

RepetitionSettings RepetitionSettingsOf(const SettingsRecord& s, bool flightPhase) {
  RepetitionSettings r;
  r.repthreshold = s.repthreshold;
  r.weight = s.weight;
  r.frequency = s.frequency;
  r.flightPhase = flightPhase;
  r.BrakeOnUp = s.BrakeOnUp;
  r.BrakeLevel = s.BrakeLevel;
  r.TimeToRelease = s.TimeToRelease;
  return r;
}

void StartOrStopTraining(const TrainingContext& cx) {
  switch (cx.training.phase) {
    case TrainingPhase::Stopped:
      StartTraining(cx);
      break;
    case TrainingPhase::Recording:
      StopTraining(cx);
      break;
    case TrainingPhase::Demonstrating:
      cx.training.stopRequested = true;
      break;
  }
}

void InstallTrainingHook(const TrainingContext& cx) {
  cx.collection.collection.hooks.trainingHook = [cx] { TrainingCollectionTick(cx); };
}

void TrainingCollectionTick(const TrainingContext& cx) {
  TrainingState& t = cx.training;
  const CollectionState& c = cx.collection.collection;
  const bool ended = !c.tmrCheckStatus || !c.tmrCheckStatus->IsActive();
  if (ended && t.phase == TrainingPhase::Recording) {
    t.phase = TrainingPhase::Stopped;
    if (cx.collection.settings.showfeedback) ShowFeedbackWindow(cx, false);
    Notify(cx);
  }
  AnalyseTrainerData(cx);
  if (ended) LogSetEnd(cx);
}

void AnalyseTrainerData(const TrainingContext& cx) {
  TrainingState& t = cx.training;
  const TrialDataSet& trial = cx.collection.trial;
  const std::int32_t n = trial.SampleCount - cx.collection.link.LastTickSampleCount;
  if (n <= 0) return;
  const std::uint64_t now = cx.collection.clock.Milliseconds();
  if (t.previousCallMs != 0 && now > t.previousCallMs) {
    t.effectiveRate = n / (static_cast<double>(now - t.previousCallMs) / 1000.0);
  }
  t.previousCallMs = now;
  RepetitionEvents events;
  events.completed = [&cx](std::int32_t repetition, std::int32_t) {
    ShowRepetition(cx, repetition);
  };
  events.setBrakeLevel = [&cx](float level) { SendBrakeLevel(cx, level); };
  AnalyseRepetitionSamples(t.analysis,
                           RepetitionSettingsOf(cx.collection.settings, t.FlightPhaseMode),
                           trial.Displacement, n, events);
  Notify(cx);
}

void ShowRepetition(const TrainingContext& cx, std::int32_t repetition) {
  TrainingState& t = cx.training;
  t.summary = SummariseSet(t.set());
  if (t.hooks.repetitionShown) t.hooks.repetitionShown(repetition);
  const std::optional<float> value = PlottedValue(t.set(), t.plot, repetition);
  if (!value) return;
  const SettingsRecord& s = cx.collection.settings;
  if (t.hooks.feedback) t.hooks.feedback(FeedbackFor(*value, s.FeedbackThreshold, s.mmavailable));
}

void NewTrainingSet(const TrainingContext& cx) {
  if (cx.training.phase == TrainingPhase::Demonstrating) return;
  ClearRepetitionSet(cx.training.analysis);
  cx.training.setAthlete.reset();
  SetCleared(cx);
  Notify(cx);
}

bool ZeroTrainingPosition(const TrainingContext& cx) {
  TrainingState& t = cx.training;
  CollectionState& c = cx.collection.collection;
  if (cx.collection.demoMode) return false;
  if (t.phase != TrainingPhase::Stopped || CollectionBusy(cx)) {
    Say(cx, MessageIcon::Exclamation, kTrainingTitle, kTrainingBusyMessage);
    return false;
  }
  t.startEnabled = false;
  Notify(cx);
  c.ZeroRequestedByTraining = true;
  const bool zeroed = ZeroDisplacement(cx.collection);
  c.ZeroRequestedByTraining = false;
  t.startEnabled = true;
  Notify(cx);
  return zeroed;
}

void SetFlightPhase(const TrainingContext& cx, bool flightPhase) {
  cx.training.FlightPhaseMode = flightPhase;
  Notify(cx);
  if (cx.training.plot == PlotVariable::ContactTime && cx.training.hooks.chartReplot) {
    cx.training.hooks.chartReplot();
  }
}

void ChoosePlotVariable(const TrainingContext& cx, PlotVariable variable) {
  cx.training.plot = variable;
  if (cx.training.hooks.chartReplot) cx.training.hooks.chartReplot();
}

bool SetTrainingMass(const TrainingContext& cx, std::string_view text) {
  const double mass = LeadingNumber(text);
  if (!(mass > 0) || mass > 1.0e6) return false;
  cx.collection.settings.weight = static_cast<float>(mass);
  return true;
}

void SetFeedbackThreshold(const TrainingContext& cx, std::string_view text) {
  cx.collection.settings.FeedbackThreshold = static_cast<float>(LeadingNumber(text));
}

bool SaveTrainingSet(const TrainingContext& cx) {
  const SettingsRecord& s = cx.collection.settings;
  FileDialogRequest request;
  request.title = kSaveTrainingTitle;
  request.filter = kTrainingFileFilter;
  request.initialFolder = s.DataDirectory;
  request.initialName = kTrainingFileInitialName;
  const std::optional<std::string> path = cx.collection.dialogs.ChooseFileToSave(request);
  if (!path || path->empty()) return false;  // cancelled: nothing is written
  const std::string text = TrainingFileText(cx.training.set(), TrainingSetAthlete(cx), s.weight,
                                            cx.training.FlightPhaseMode, cx.collection.clock.Now());
  const std::string failure = WriteFileReplacing(*path, text);
  if (!failure.empty()) {
    Say(cx, MessageIcon::Critical, kTrainingTitle,
        "The training file " + OneLineText(*path) + " could not be written: " + failure);
    return false;
  }
  cx.collection.status.AddStatusMessage("Training set saved: " + *path);
  return true;
}

bool LoadTrainingSet(const TrainingContext& cx) {
  if (cx.training.phase != TrainingPhase::Stopped) {
    Say(cx, MessageIcon::Exclamation, kTrainingTitle, kTrainingLoadWhileRecording);
    return false;
  }
  FileDialogRequest request;
  request.title = kSaveTrainingTitle;
  request.filter = kTrainingFileFilter;
  request.initialFolder = cx.collection.settings.DataDirectory;
  request.initialName = kTrainingFileInitialName;
  const std::optional<std::string> path = cx.collection.dialogs.ChooseFileToOpen(request);
  if (!path || path->empty()) return false;
  return LoadTrainingFile(cx, *path);
}

bool LoadTrainingFile(const TrainingContext& cx, const std::string& path) {
  TrainingState& t = cx.training;
  if (t.phase != TrainingPhase::Stopped) {
    Say(cx, MessageIcon::Exclamation, kTrainingTitle, kTrainingLoadWhileRecording);
    return false;
  }
  std::optional<TrainingFileContents> file = ReadTrainingFile(cx, path);
  if (!file) return false;
  StartRepetitionAnalysis(t.analysis);
  SetCleared(cx);
  t.setAthlete = file->athlete;
  if (file->athlete) SelectLoadedAthlete(cx.squad, *file->athlete);
  if (file->weight) cx.collection.settings.weight = *file->weight;
  const std::int32_t count = file->set.RepCount;
  RepetitionSet& set = t.analysis.set;
  set = std::move(file->set);
  set.EnsureIndex(count);
  set.RepMaxHeight[static_cast<std::size_t>(count)] = kNoTopYet;
  set.RepMinHeight[static_cast<std::size_t>(count)] = kNoBottomYet;
  for (std::int32_t r = 1; r <= count; ++r) {
    set.RepCount = r;
    ShowRepetition(cx, r);
  }
  set.RepCount = count;
  t.summary = SummariseSet(set);
  t.plot = PlotVariable::MaxHeight;
  if (t.hooks.chartReplot) t.hooks.chartReplot();
  Notify(cx);
  Say(cx, MessageIcon::Information, kTrainingDataTitle, file->line1 + file->line2);
  return true;
}

bool SaveTrainingSummary(const TrainingContext& cx) {
  const SettingsRecord& s = cx.collection.settings;
  if (!s.exceloutput) {
    Say(cx, MessageIcon::Information, kCannotSaveTitle, kCannotSaveMessage);
    return false;
  }
  ResultsOutput before = cx.results;
  WriteTrainingSummaryRow(cx.results, cx.training.summary, TrainingSetAthlete(cx), s.weight,
                          cx.collection.clock.Now());
  const std::string path = ResultsWorkbookPath(s);
  const std::string failure = SaveResultsWorksheet(cx.results.sheet, path);
  if (!failure.empty()) {
    cx.results = std::move(before);
    Say(cx, MessageIcon::Critical, kCannotSaveTitle,
        "The set summary could not be written to " + path + ": " + failure);
    return false;
  }
  cx.collection.status.AddStatusMessage("Set summary written to " + path);
  return true;
}

void ReplayTrainingDemo(const TrainingContext& cx) {
  TrainingState& t = cx.training;
  std::string path;
  for (const std::string& folder : cx.demoFolders) {
    const std::string candidate = JoinPath(folder, kTrainingDemoFileName);
    if (FileExists(candidate)) {
      path = candidate;
      break;
    }
  }
  if (path.empty()) {
    Say(cx, MessageIcon::Exclamation, kTrainingTitle,
        std::string("The demonstration set ") + kTrainingDemoFileName + " was not found in " +
            (cx.demoFolders.empty() ? std::string("the data folder") : cx.demoFolders.front()) +
            ".");
    return;
  }
  std::optional<TrainingFileContents> file = ReadTrainingFile(cx, path);
  if (!file) return;
  const RepetitionSet& demo = file->set;
  t.phase = TrainingPhase::Demonstrating;
  t.stopRequested = false;
  StartRepetitionAnalysis(t.analysis);
  t.setAthlete.reset();
  SetCleared(cx);
  Notify(cx);
  const SettingsRecord& s = cx.collection.settings;
  if (s.showfeedback) ShowFeedbackWindow(cx, true);
  Clock& clock = cx.collection.clock;
  for (std::int32_t r = 0; r < demo.RepCount && !t.stopRequested; ++r) {
    const std::uint64_t since = clock.Milliseconds();
    while (!t.stopRequested && clock.Milliseconds() - since <= kDemoRepetitionMs) {
      cx.collection.pump.ProcessPendingEvents();
    }
    if (t.stopRequested) break;
    // Each repetition joins the set as it is shown, so New Set in between
    // starts the numbering again.
    RepetitionSet& set = t.analysis.set;
    const std::int32_t k = set.RepCount;
    set.EnsureIndex(k + 1);
    const auto i = static_cast<std::size_t>(k);
    const auto d = static_cast<std::size_t>(r);
    set.RepMaxHeight[i] = demo.RepMaxHeight[d];
    set.RepMinHeight[i] = demo.RepMinHeight[d];
    set.RepPeakVelocity[i] = demo.RepPeakVelocity[d];
    set.RepContactTime[i] = demo.RepContactTime[d];
    set.RepPower[i] = demo.RepPower[d];
    set.RepWork[i] = demo.RepWork[d];
    set.RepMaxHeight[i + 1] = kNoTopYet;
    set.RepMinHeight[i + 1] = kNoBottomYet;
    set.RepCount = k + 1;
    ShowRepetition(cx, set.RepCount);
  }
  t.phase = TrainingPhase::Stopped;
  t.stopRequested = false;
  if (s.showfeedback) ShowFeedbackWindow(cx, false);
  Notify(cx);
}

}  // namespace torvane
