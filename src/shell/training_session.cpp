#include "shell/training_session.hpp"

#include "config/data_folders.hpp"
#include "shell/acquisition_session.hpp"
#include "shell/session.hpp"

namespace torvane {

TrainingContext TrainingContextOf(Session& session) {
  const SettingsRecord& s = session.settings;
  return TrainingContext{
      .collection = CollectionContextOf(session),
      .training = session.training,
      .squad = session.squad,
      .results = session.results,
      .demoFolders = {s.DataDirectory, s.ProgramDataDirectory, DataTemplateFolder()},
  };
}

}  // namespace torvane
