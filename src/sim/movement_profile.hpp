#pragma once
// Synthetic movements for the simulated units: the vertical displacement of
// the body (or bar) as a smooth function of time, and the force on the
// platform that agrees with it, F = m (g + a) while the feet are on the
// platform and 0 while they are off it (in flight, or standing on the box
// of a drop jump). Each movement repeats with its period, starting with
// quiet standing, so a recording of 6 s or more holds a whole jump.

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "common/physical_constants.hpp"

namespace torvane::sim {

enum class ProfileKind { Still, Cmj, SquatReps, DropJump };

std::optional<ProfileKind> ParseProfileKind(std::string_view name);
std::string_view ProfileName(ProfileKind kind);

struct ProfileParameters {
  double bodyMass = 80.0;    // kg
  double jumpHeight = 0.30;  // m, rise of the body after take-off
  int reps = 5;              // squat repetitions per set
  double squatDepth = 0.45;  // m
  double dropHeight = 0.30;  // m, height of the drop-jump box
};

struct BodyState {
  double displacement = 0;  // m, 0 when standing on the platform
  double velocity = 0;      // m/s
  double acceleration = 0;  // m/s²
  double force = 0;         // N on the platform
  bool onPlatform = true;
};

// One piece of a movement: a quintic from one (position, velocity,
// acceleration) to another, or a free flight under gravity.
struct MovementSegment {
  double duration = 0;
  bool onPlatform = true;
  double c[6] = {0, 0, 0, 0, 0, 0};  // displacement polynomial in the segment's own time
};

MovementSegment QuinticSegment(double duration, double s0, double v0, double a0, double s1,
                               double v1, double a1, bool onPlatform = true);
MovementSegment FlightSegment(double duration, double s0, double v0);

class MovementProfile {
 public:
  MovementProfile(ProfileKind kind, const ProfileParameters& parameters);

  // The state `seconds` after the stream started (repeating every period).
  BodyState At(double seconds) const;
  double Period() const { return period_; }
  ProfileKind kind() const { return kind_; }
  const ProfileParameters& parameters() const { return parameters_; }

 private:
  void Add(const MovementSegment& segment);
  void StandUntil(double periodSeconds);
  // Countermovement, take-off, flight and landing from standing (or, for a
  // drop jump, from the landing of the drop).
  void Jump(double brakingDepth, double contactSeconds);

  ProfileKind kind_;
  ProfileParameters parameters_;
  std::vector<MovementSegment> segments_;
  double period_ = 0;
};

}  // namespace torvane::sim
