#include "shell/trial_recovery.hpp"

#include <cstdio>

#include "acquisition/collection_recovery.hpp"
#include "common/paths.hpp"
#include "common/text_file.hpp"
#include "shell/acquisition_session.hpp"
#include "shell/session.hpp"
#include "shell/status_reporting.hpp"

namespace torvane {

std::string RecoveryFilePath(const Session& session) {
  return JoinPath(session.settings.ProgramDataDirectory, std::string(kRecoveryFileName));
}

RecoveryOffer StartTrialRecovery(Session& session) {
  CollectionState& c = session.collection;
  const std::string path = RecoveryFilePath(session);
  c.recoveryPath = path;
  c.hooks.athlete = [&session] { return session.squad.Current(); };
  if (!FileExists(path)) return RecoveryOffer::NoFile;
  if (RecoveryFileInUse(path)) {
    // Another copy of the program is collecting into it: not ours to take,
    // and this program's collections would overwrite it.
    c.recoveryPath.clear();
    AddStatusMessage(session, "A collection of another running copy of the program keeps " + path +
                                  ": this copy keeps no recovery file");
    return RecoveryOffer::InUse;
  }
  const RecoveredSamples recovered = ReadRecoveryFile(path);
  if (!recovered.ok()) {
    AddStatusMessage(
        session, "A recovery file was found but holds no trial: " + OneLineText(recovered.message));
    return RecoveryOffer::Unusable;
  }
  if (session.dialogs().Ask(MessageIcon::Question, MessageButtons::YesNo, kRecoveryOfferTitle,
                            RecoveryOfferText(recovered)) != DialogAnswer::Yes) {
    AddStatusMessage(session, "The interrupted collection is kept in " + path +
                                  " until the next collection replaces it");
    return RecoveryOffer::Declined;
  }
  if (!RestoreRecoveredTrial(CollectionContextOf(session), recovered))
    return RecoveryOffer::Unusable;
  std::remove(path.c_str());
  return RecoveryOffer::Opened;
}

}  // namespace torvane
