#include "analysis/trial_snapshot.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include "analysis/data_set_editing.hpp"
#include "analysis/typed_values.hpp"

namespace torvane {
namespace {

struct SnapshotTrial {
  SnapshotTrial() {
    DimensionDataArrays(trial, 100);
    settings.samples = 100;
    settings.frequency = 500;
    for (std::size_t i = 0; i < 100; ++i) {
      trial.Displacement[i] = 0.001f * static_cast<float>(i);
      trial.Force[i] = 700.0f + static_cast<float>(i % 7);
      trial.Velocity[i] = -0.5f * static_cast<float>(i);
    }
    view.Marker1Sample = view.AnalysisStart = 20;
    view.Marker2Sample = view.AnalysisEnd = 59;
    view.ViewEnd = 99;
    view.TakeOffTime = 0.1;
  }
  TrialDataSet trial;
  SettingsRecord settings;
  AnalysisView view;
};

TEST(TrialSnapshot, ACropIsUndoneExactlyWithItsSampleCountAndView) {
  SnapshotTrial t;
  const TrialDataSet before = t.trial;
  const AnalysisView viewBefore = t.view;
  const TrialSnapshot s =
      TakeTrialSnapshot(t.trial, t.settings, t.view, kSnapAllChannels | kSnapShape);
  const std::uint64_t untouched = TrialFingerprint(t.trial, t.settings, kSnapAllChannels);
  ASSERT_TRUE(CommandCrop(t.trial, t.settings, t.view));
  EXPECT_EQ(t.settings.samples, 40);
  EXPECT_NE(TrialFingerprint(t.trial, t.settings, kSnapAllChannels), untouched);
  ASSERT_TRUE(RestoreTrialSnapshot(s, t.trial, t.settings, t.view));
  EXPECT_EQ(t.settings.samples, 100);
  EXPECT_EQ(t.trial.Displacement, before.Displacement);
  EXPECT_EQ(t.trial.Force, before.Force);
  EXPECT_EQ(t.trial.Velocity, before.Velocity);
  EXPECT_EQ(t.view.Marker2Sample, viewBefore.Marker2Sample);
  EXPECT_EQ(t.view.ViewEnd, 99);
  EXPECT_EQ(t.view.TakeOffTime, 0.1);
  EXPECT_EQ(TrialFingerprint(t.trial, t.settings, kSnapAllChannels), untouched);
}

TEST(TrialSnapshot, OnlyTheChannelsTakenAreRestoredAndOnlyIntoATrialOfTheirSize) {
  SnapshotTrial t;
  const TrialSnapshot s = TakeTrialSnapshot(t.trial, t.settings, t.view, kSnapForce);
  EXPECT_TRUE(s.channels[0].empty());
  ASSERT_TRUE(ApplyScaleOffset(t.trial, t.settings, ScaleOffsetCommand::ForceScale, "2"));
  t.trial.Displacement[3] = 9;
  t.view.Marker1Sample = 30;  // markers moved after the edit stay where they are
  ASSERT_TRUE(RestoreTrialSnapshot(s, t.trial, t.settings, t.view));
  EXPECT_EQ(t.trial.Force[6], 706.0f);
  EXPECT_EQ(t.trial.Displacement[3], 9.0f);
  EXPECT_EQ(t.view.Marker1Sample, 30);
  // A trial of another length (another trial) is not written over.
  t.settings.samples = 50;
  t.trial.Force[6] = 1;
  EXPECT_FALSE(RestoreTrialSnapshot(s, t.trial, t.settings, t.view));
  EXPECT_EQ(t.trial.Force[6], 1.0f);
  // Nor are arrays too small to hold it.
  const TrialSnapshot whole =
      TakeTrialSnapshot(t.trial, t.settings, t.view, kSnapForce | kSnapShape);
  t.trial.Force.resize(10);
  EXPECT_FALSE(RestoreTrialSnapshot(whole, t.trial, t.settings, t.view));
}

TEST(TrialSnapshot, TheFingerprintSeesEveryBitOfTheChannelsTakenAndTheLength) {
  SnapshotTrial t;
  const std::uint64_t a = TrialFingerprint(t.trial, t.settings, kSnapForce);
  t.trial.Displacement[5] = 3;  // not taken
  t.trial.Force[100] = 3;       // beyond the trial
  EXPECT_EQ(TrialFingerprint(t.trial, t.settings, kSnapForce), a);
  t.trial.Force[99] = std::nextafter(t.trial.Force[99], 1e9f);
  EXPECT_NE(TrialFingerprint(t.trial, t.settings, kSnapForce), a);
  t.trial.Force[99] = 700.0f + 99 % 7;
  t.settings.samples = 99;
  EXPECT_NE(TrialFingerprint(t.trial, t.settings, kSnapForce), a);
}

TEST(SeekEpochFromText, ZeroEmptyNegativeAndNonNumbersAreRefused) {
  EXPECT_EQ(SeekEpochFromText("30"), 30.0);
  EXPECT_EQ(SeekEpochFromText(" .5 ms"), 0.5);
  for (const char* text : {"", " ", "0", "0.0", "-10", "ms", "nan", "1e999"}) {
    EXPECT_FALSE(SeekEpochFromText(text).has_value()) << text;
  }
}

}  // namespace
}  // namespace torvane
