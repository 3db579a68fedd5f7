#include "sim/movement_profile.hpp"

#include <cmath>

namespace torvane::sim {

namespace {

constexpr double kTakeOffHeight = 0.08;  // m: body rises onto the toes before leaving the platform
constexpr double kQuietStanding = 1.5;   // s before each jump
constexpr double kCmjPeriod = 4.0;       // s

double TakeOffSpeed(double jumpHeight) {
  return std::sqrt(2.0 * kGravity * jumpHeight);
}

}  // namespace

std::optional<ProfileKind> ParseProfileKind(std::string_view name) {
  if (name == "still") return ProfileKind::Still;
  if (name == "cmj") return ProfileKind::Cmj;
  if (name == "squat-reps") return ProfileKind::SquatReps;
  if (name == "drop-jump") return ProfileKind::DropJump;
  return std::nullopt;
}

std::string_view ProfileName(ProfileKind kind) {
  switch (kind) {
    case ProfileKind::Still:
      return "still";
    case ProfileKind::Cmj:
      return "cmj";
    case ProfileKind::SquatReps:
      return "squat-reps";
    case ProfileKind::DropJump:
      return "drop-jump";
  }
  return "still";
}

MovementSegment QuinticSegment(double T, double s0, double v0, double a0, double s1, double v1,
                               double a1, bool onPlatform) {
  MovementSegment seg;
  seg.duration = T;
  seg.onPlatform = onPlatform;
  const double T2 = T * T, T3 = T2 * T, T4 = T3 * T, T5 = T4 * T;
  seg.c[0] = s0;
  seg.c[1] = v0;
  seg.c[2] = a0 / 2.0;
  seg.c[3] = (20.0 * (s1 - s0) - (8.0 * v1 + 12.0 * v0) * T - (3.0 * a0 - a1) * T2) / (2.0 * T3);
  seg.c[4] =
      (30.0 * (s0 - s1) + (14.0 * v1 + 16.0 * v0) * T + (3.0 * a0 - 2.0 * a1) * T2) / (2.0 * T4);
  seg.c[5] = (12.0 * (s1 - s0) - 6.0 * (v1 + v0) * T - (a0 - a1) * T2) / (2.0 * T5);
  return seg;
}

MovementSegment FlightSegment(double duration, double s0, double v0) {
  MovementSegment seg;
  seg.duration = duration;
  seg.onPlatform = false;
  seg.c[0] = s0;
  seg.c[1] = v0;
  seg.c[2] = -kGravity / 2.0;
  return seg;
}

MovementProfile::MovementProfile(ProfileKind kind, const ProfileParameters& p)
    : kind_(kind), parameters_(p) {
  const double g = kGravity;
  switch (kind) {
    case ProfileKind::Still:
      Add(QuinticSegment(1.0, 0, 0, 0, 0, 0, 0));
      break;
    case ProfileKind::Cmj:
      Add(QuinticSegment(kQuietStanding, 0, 0, 0, 0, 0, 0));
      // Unweighting and braking down to the bottom of the countermovement.
      Add(QuinticSegment(0.55, 0, 0, 0, -0.30, 0, g));
      Jump(-0.30, 0.30);
      StandUntil(kCmjPeriod);
      break;
    case ProfileKind::SquatReps: {
      const int reps = p.reps < 1 ? 1 : p.reps;
      Add(QuinticSegment(1.0, 0, 0, 0, 0, 0, 0));
      for (int r = 0; r < reps; ++r) {
        Add(QuinticSegment(1.2, 0, 0, 0, -p.squatDepth, 0, 0.3 * g));
        Add(QuinticSegment(1.0, -p.squatDepth, 0, 0.3 * g, 0, 0, 0));
        Add(QuinticSegment(0.4, 0, 0, 0, 0, 0, 0));
      }
      Add(QuinticSegment(2.0, 0, 0, 0, 0, 0, 0));
      break;
    }
    case ProfileKind::DropJump: {
      const double h = p.dropHeight > 0.05 ? p.dropHeight : 0.05;
      // On the box (off the platform), then the drop onto the platform.
      Add(QuinticSegment(1.0, h, 0, 0, h, 0, 0, false));
      const double dropTime = std::sqrt(2.0 * h / g);
      Add(FlightSegment(dropTime, h, 0));
      const double landingSpeed = g * dropTime;
      // Brief contact: absorb the drop, rebound.
      Add(QuinticSegment(0.14, 0, -landingSpeed, -g, -0.20, 0, 2.5 * g));
      Jump(-0.20, 0.20);
      Add(QuinticSegment(0.6, 0, 0, 0, 0, 0, 0));
      // Back up onto the box, off the platform.
      Add(QuinticSegment(1.0, 0, 0, 0, h, 0, 0, false));
      break;
    }
  }
}

void MovementProfile::Jump(double bottom, double contactSeconds) {
  const double g = kGravity;
  const double bottomAcceleration = bottom <= -0.25 ? g : 2.5 * g;
  const double v0 = TakeOffSpeed(parameters_.jumpHeight > 0.01 ? parameters_.jumpHeight : 0.01);
  Add(QuinticSegment(contactSeconds, bottom, 0, bottomAcceleration, kTakeOffHeight, v0, -g));
  Add(FlightSegment(2.0 * v0 / g, kTakeOffHeight, v0));
  // Landing absorbs the fall, then the body settles back to standing.
  Add(QuinticSegment(0.22, kTakeOffHeight, -v0, -g, -0.25, 0, 2.0 * g));
  Add(QuinticSegment(0.6, -0.25, 0, 2.0 * g, 0, 0, 0));
}

void MovementProfile::StandUntil(double periodSeconds) {
  const double rest = periodSeconds - period_;
  Add(QuinticSegment(rest > 0.3 ? rest : 0.3, 0, 0, 0, 0, 0, 0));
}

void MovementProfile::Add(const MovementSegment& segment) {
  segments_.push_back(segment);
  period_ += segment.duration;
}

BodyState MovementProfile::At(double seconds) const {
  double t = std::fmod(seconds, period_);
  if (t < 0) t += period_;
  const MovementSegment* seg = &segments_.back();
  for (const MovementSegment& candidate : segments_) {
    if (t < candidate.duration) {
      seg = &candidate;
      break;
    }
    t -= candidate.duration;
  }
  if (t > seg->duration) t = seg->duration;
  const double* c = seg->c;
  BodyState state;
  state.displacement = c[0] + t * (c[1] + t * (c[2] + t * (c[3] + t * (c[4] + t * c[5]))));
  state.velocity = c[1] + t * (2 * c[2] + t * (3 * c[3] + t * (4 * c[4] + t * 5 * c[5])));
  state.acceleration = 2 * c[2] + t * (6 * c[3] + t * (12 * c[4] + t * 20 * c[5]));
  state.onPlatform = seg->onPlatform;
  state.force = seg->onPlatform ? parameters_.bodyMass * (kGravity + state.acceleration) : 0.0;
  return state;
}

}  // namespace torvane::sim
