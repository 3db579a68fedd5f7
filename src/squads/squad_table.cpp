#include "squads/squad_table.hpp"

namespace torvane {

SquadMember& SquadTable::Current() {
  const int i = CurrentAthlete;
  return SquadMembers[(i >= 0 && i < kSquadTableSize) ? i : 0];
}

const SquadMember& SquadTable::Current() const {
  const int i = CurrentAthlete;
  return SquadMembers[(i >= 0 && i < kSquadTableSize) ? i : 0];
}

const SquadMember& AthleteOfTrial(const TrialDataSet& trial, const SquadTable& squad) {
  if (trial.Athlete && NamesAnAthlete(*trial.Athlete)) return *trial.Athlete;
  return squad.Current();
}

}  // namespace torvane
