#pragma once
// One athlete (subject): the identity every trial file, training file and
// results row carries.

#include <string>

namespace torvane {

struct SquadMember {
  std::string Id;
  std::string FirstName;
  std::string LastName;
  float BodyMass = 0;
};

// Whether a record names someone: an id or a name (a mass alone does not).
inline bool NamesAnAthlete(const SquadMember& member) {
  return !member.Id.empty() || !member.FirstName.empty() || !member.LastName.empty();
}

}  // namespace torvane
