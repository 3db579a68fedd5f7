#pragma once
// Folders of realistic trial files for the batch benchmarks: countermovement
// jumps at 500 Hz with displacement and force, as the simulated transducers
// read them (quantised, with a little noise), written by the program's own
// trial writer. Each file has its own athlete, mass, jump height and noise.

#include <cstdio>
#include <string>

#include "common/fake_event_loop.hpp"
#include "common/text_file.hpp"
#include "common/user_dialogs.hpp"
#include "files/trial_file.hpp"
#include "shell/session.hpp"
#include "sim/movement_profile.hpp"
#include "sim/sensor_model.hpp"

namespace torvane::bench {

// Writes files t0000.qlx … of `lines` data lines each into `folder` (made
// when missing). A file too short for the whole movement starts later in
// the quiet standing, so that every file holds a take-off and a landing.
inline bool WriteJumpTrialFolder(const std::string& folder, int files, int lines) {
  if (!MakeFolders(folder) || lines < 2) return false;
  FakeEventLoop loop;
  ScriptedDialogs dialogs;
  Session session{PlatformServices{loop, loop, loop, dialogs}};
  constexpr int kFrequency = 500;
  // Quiet standing (1.5 s), countermovement, push, flight and landing end
  // about 3.1 s into the movement.
  const double seconds = static_cast<double>(lines) / kFrequency;
  const double start = seconds < 3.2 ? 3.2 - seconds : 0.0;
  sim::SensorModel sensors;
  sensors.calibration.dispSlope = 0.0001;  // 0.1 mm per count
  sensors.calibration.forceSlope = 0.25;   // N per count
  for (int file = 0; file < files; ++file) {
    sim::ProfileParameters body;
    body.bodyMass = 60.0 + (file * 7) % 40;
    body.jumpHeight = 0.22 + 0.01 * ((file * 3) % 20);
    const sim::MovementProfile jump(sim::ProfileKind::Cmj, body);
    sensors.seed = static_cast<std::uint64_t>(file) + 1;

    DimensionDataArrays(session.trial, lines);
    SettingsRecord& s = session.settings;
    s.samples = lines - 1;
    s.frequency = kFrequency;
    s.RecordForce = true;
    s.weight = static_cast<float>(body.bodyMass);
    session.trial.CollectionDateTime = "2026-03-02 09:" + std::to_string(10 + file % 50) + ":00";
    session.squad.Current() =
        SquadMember{"A" + std::to_string(file), "Ann", "Lee", static_cast<float>(body.bodyMass)};
    for (int i = 0; i < lines; ++i) {
      const auto sample = static_cast<std::uint64_t>(i);
      const sim::RawSample raw =
          sim::ToRawCounts(jump.At(start + static_cast<double>(i) / kFrequency), sensors, sample);
      session.trial.Displacement[sample] =
          static_cast<float>(static_cast<double>(raw.displacement) * sensors.calibration.dispSlope);
      session.trial.Force[sample] =
          static_cast<float>(static_cast<double>(raw.force) * sensors.calibration.forceSlope);
    }
    char name[32];
    std::snprintf(name, sizeof name, "/t%04d.qlx", file);
    if (!WriteFileReplacing(folder + name, TrialFileText(session.trial, session.settings, session.squad.Current())).empty()) return false;
  }
  return true;
}

}  // namespace torvane::bench
