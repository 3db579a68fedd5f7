#pragma once
// The athletes of the squad and the one selected: every new trial file, training file and
// results row carries the selected athlete's identity (an opened trial keeps its own).

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "trial/athlete.hpp"
#include "trial/trial_data_set.hpp"

namespace torvane {

// Entries 0 … 10000; athletes occupy 1 … SquadCount, entry 0 stands for the
// current athlete until one is selected.
inline constexpr int kSquadTableSize = 10001;

struct SquadTable {
  SquadTable() : SquadMembers(kSquadTableSize) {}
  std::vector<SquadMember> SquadMembers;
  std::int16_t SquadCount = 0;
  std::int16_t CurrentAthlete = 0;

  // The entry at CurrentAthlete (entry 0 when the index is out of range).
  SquadMember& Current();
  const SquadMember& Current() const;
};

// The athlete a trial goes with: the one its file named, for a trial opened
// from a file that names someone; else the selected athlete. Opening a trial
// never writes into the squad table.
const SquadMember& AthleteOfTrial(const TrialDataSet& trial, const SquadTable& squad);

}  // namespace torvane
