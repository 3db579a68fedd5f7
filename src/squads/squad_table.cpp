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

}  // namespace torvane
