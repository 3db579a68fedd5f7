#include "sim/movement_profile.hpp"

#include <gtest/gtest.h>

#include <cmath>

namespace torvane::sim {
namespace {

constexpr double kDt = 0.0005;

// Displacement, velocity and acceleration agree with each other and with
// the force everywhere, across the joins of the pieces and across the
// repeat, and the platform never pulls.
void ExpectConsistent(const MovementProfile& profile) {
  const double m = profile.parameters().bodyMass;
  const double period = profile.Period();
  for (double t = 0; t < period + 0.5; t += kDt) {
    const BodyState before = profile.At(t - kDt);
    const BodyState now = profile.At(t);
    const BodyState after = profile.At(t + kDt);
    ASSERT_NEAR(after.displacement - before.displacement, 2 * kDt * now.velocity, 2e-5) << t;
    // Stepping off the box changes the acceleration at once, but off the
    // platform the acceleration does not enter the force.
    if (before.onPlatform || now.onPlatform || after.onPlatform) {
      ASSERT_NEAR(after.velocity - before.velocity, 2 * kDt * now.acceleration, 2e-4) << t;
    }
    if (now.onPlatform) {
      ASSERT_NEAR(now.force, m * (kGravity + now.acceleration), 1e-9) << t;
      ASSERT_GE(now.force, -1e-6) << t;
    } else {
      ASSERT_EQ(now.force, 0.0) << t;
    }
  }
}

TEST(MovementProfileTest, EveryProfileHasForceThatAgreesWithItsMotion) {
  for (const ProfileKind kind :
       {ProfileKind::Still, ProfileKind::Cmj, ProfileKind::SquatReps, ProfileKind::DropJump}) {
    SCOPED_TRACE(std::string(ProfileName(kind)));
    ExpectConsistent(MovementProfile(kind, ProfileParameters{}));
  }
  ProfileParameters heavy;
  heavy.bodyMass = 120;
  heavy.jumpHeight = 0.55;
  ExpectConsistent(MovementProfile(ProfileKind::Cmj, heavy));
}

TEST(MovementProfileTest, ACmjStandsQuietlyThenJumpsTheChosenHeightEveryFourSeconds) {
  ProfileParameters p;
  p.bodyMass = 75;
  p.jumpHeight = 0.35;
  const MovementProfile cmj(ProfileKind::Cmj, p);
  EXPECT_NEAR(cmj.Period(), 4.0, 0.05);
  for (double t = 0; t < 1.45; t += 0.01) {
    EXPECT_NEAR(cmj.At(t).force, 75 * kGravity, 1e-6);
    EXPECT_NEAR(cmj.At(t).displacement, 0, 1e-9);
  }
  double takeOff = -1, landing = -1, peak = -1, takeOffHeight = 0;
  for (double t = 0; t < cmj.Period(); t += kDt) {
    const BodyState s = cmj.At(t);
    if (!s.onPlatform && takeOff < 0) {
      takeOff = t;
      takeOffHeight = s.displacement;
    }
    if (s.onPlatform && takeOff >= 0 && landing < 0) landing = t;
    if (!s.onPlatform) peak = std::max(peak, s.displacement);
  }
  ASSERT_GT(takeOff, 1.5);
  EXPECT_NEAR(peak - takeOffHeight, 0.35, 2e-3);  // the first flight sample is up to 1.3 mm higher
  EXPECT_NEAR(landing - takeOff, 2 * std::sqrt(2 * kGravity * 0.35) / kGravity, 2e-3);
  // The same jump a period later.
  EXPECT_NEAR(cmj.At(takeOff + 0.1).displacement, cmj.At(takeOff + 0.1 + cmj.Period()).displacement,
              1e-9);
}

TEST(MovementProfileTest, AnySixSecondsOfACmjHoldAWholeJump) {
  const MovementProfile cmj(ProfileKind::Cmj, ProfileParameters{});
  for (double start = 0; start < 2 * cmj.Period(); start += 0.05) {
    // Quiet standing, take-off, landing and the landing's low point, in order.
    int stage = 0;
    for (double t = start; t <= start + 6.0 && stage < 4; t += 0.001) {
      const BodyState s = cmj.At(t);
      if (stage == 0 && s.onPlatform && std::fabs(s.velocity) < 1e-9)
        stage = 1;
      else if (stage == 1 && !s.onPlatform)
        stage = 2;
      else if (stage == 2 && s.onPlatform)
        stage = 3;
      else if (stage == 3 && s.velocity >= 0)
        stage = 4;
    }
    EXPECT_EQ(stage, 4) << "window from " << start << " s";
  }
}

TEST(MovementProfileTest, SquatRepsRepeatTheChosenNumberOfTimes) {
  ProfileParameters p;
  p.reps = 3;
  p.squatDepth = 0.5;
  const MovementProfile squats(ProfileKind::SquatReps, p);
  int bottoms = 0;
  bool down = false;
  for (double t = 0; t < squats.Period(); t += 0.001) {
    const double s = squats.At(t).displacement;
    if (!down && s < -0.45) {
      ++bottoms;
      down = true;
    }
    if (s > -0.05) down = false;
    ASSERT_TRUE(squats.At(t).onPlatform);
  }
  EXPECT_EQ(bottoms, 3);
}

TEST(MovementProfileTest, ADropJumpStartsOffThePlatformAndLandsAtTheDropSpeed) {
  ProfileParameters p;
  p.dropHeight = 0.40;
  const MovementProfile drop(ProfileKind::DropJump, p);
  EXPECT_FALSE(drop.At(0.5).onPlatform);
  EXPECT_EQ(drop.At(0.5).force, 0.0);
  EXPECT_NEAR(drop.At(0.5).displacement, 0.40, 1e-9);
  for (double t = 0.5; t < drop.Period(); t += kDt) {
    if (drop.At(t).onPlatform) {
      EXPECT_NEAR(drop.At(t).velocity, -std::sqrt(2 * kGravity * 0.40), 0.01);
      EXPECT_NEAR(drop.At(t).displacement, 0, 0.005);
      break;
    }
  }
  EXPECT_LT(drop.Period(), 4.75);  // with the landing, inside any 6 s
}

}  // namespace
}  // namespace torvane::sim
