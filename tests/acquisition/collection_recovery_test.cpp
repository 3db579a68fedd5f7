// The recovery file of a collection on simulated time, against a simulated
// ZRA7: appended about once a second, equal to what the collection stored,
// removed at the end, and made a trial again as a collected one.
#include "acquisition/collection_recovery.hpp"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "acquisition/collection_session.hpp"
#include "link/interface_discovery.hpp"
#include "link/link_fixture.hpp"
#include "shell/acquisition_session.hpp"
#include "sim/unit_emulator.hpp"

namespace torvane::testing {
namespace {

class CollectionRecoveryTest : public ::testing::Test, public LinkFixture {
 protected:
  CollectionRecoveryTest() {
    SettingsRecord& s = session.settings;
    s.DispCalSlope = 0.009f;
    s.ForceCalSlope = 3.0f;
    s.RecordForce = true;
    s.weight = 80.0f;
    DimensionDataArrays(session.trial, 1000);
    c.recoveryPath = path;
    c.hooks.athlete = [] { return SquadMember{"7", "Ada", "Lind", 61.0f}; };
    SelectZra7();
    options.model = sim::UnitModel::Zra7;
    unit = sim::MakeUnitEmulator(options);
    usb->onWrite = [this](const std::string& bytes) {
      unit->Receive(bytes, loop.Milliseconds());
      usb->Deliver(unit->Produce(loop.Milliseconds()));
    };
    loop.SetPumpHook([this] { usb->Deliver(unit->Produce(loop.Milliseconds())); });
    EXPECT_EQ(DiscoverInterface(ctx), DiscoveryResult::Found);
  }
  ~CollectionRecoveryTest() override { std::filesystem::remove(path); }

  // The file as it stands agrees, point for point, with the trial arrays.
  void ExpectFileMatchesTrial(std::uint32_t atLeast) {
    const RecoveredSamples r = ReadRecoveryFile(path);
    ASSERT_TRUE(r.ok()) << r.message;
    EXPECT_GE(r.points, atLeast);
    EXPECT_LT(r.points, static_cast<std::uint32_t>(session.trial.SampleCount) + 1);
    for (std::uint32_t i = 0; i < r.points; ++i) {
      ASSERT_EQ(r.displacement[i], session.trial.Displacement[i]) << i;
      ASSERT_EQ(r.force[i], session.trial.Force[i]) << i;
    }
  }

  const std::string path = (std::filesystem::temp_directory_path() /
                            ("collection-" + std::to_string(getpid()) + ".qlxr"))
                               .string();
  sim::UnitOptions options;
  std::unique_ptr<sim::UnitEmulator> unit;
  CollectionState& c = session.collection;
  const CollectionContext cx = CollectionContextOf(session);
};

TEST_F(CollectionRecoveryTest, ACollectionAppendsEverySecondAndRemovesTheFileAtTheEnd) {
  c.durationSeconds = 4;
  StartOrStopCollection(cx);
  const RecoveredSamples atStart = ReadRecoveryFile(path);
  EXPECT_EQ(atStart.status, RecoveryReadStatus::NoWholeBlock);
  EXPECT_EQ(atStart.header.frequency, 600);
  WaitMilliseconds(loop, loop, 950);
  EXPECT_EQ(ReadRecoveryFile(path).status, RecoveryReadStatus::NoWholeBlock);
  WaitMilliseconds(loop, loop, 150);
  ExpectFileMatchesTrial(500);
  WaitMilliseconds(loop, loop, 1000);
  ExpectFileMatchesTrial(1100);
  EXPECT_EQ(c.recoveryAppends, 2);
  ASSERT_TRUE(WaitUntil(loop, loop, 4000, [this] { return !c.collecting; }));
  EXPECT_EQ(session.trial.SampleCount, 2400);
  EXPECT_FALSE(std::filesystem::exists(path));
}

TEST_F(CollectionRecoveryTest, AKeptFileMakesTheTrialTheCollectionHadStoredProcessedAndCutShort) {
  c.durationSeconds = 10;
  StartOrStopCollection(cx);
  WaitMilliseconds(loop, loop, 2050);
  const std::vector<float> displacement = session.trial.Displacement;
  const RecoveredSamples r = ReadRecoveryFile(path);
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(r.header.athlete.FirstName, "Ada");
  c.keepRecoveryFile = true;  // as record does: the file outlives the collection
  StartOrStopCollection(cx);
  EXPECT_TRUE(std::filesystem::exists(path));

  session.settings.frequency = 200;
  session.settings.RecordForce = false;
  ClearTrialData(session.trial, session.settings.samples);
  log.clear();
  ASSERT_TRUE(RestoreRecoveredTrial(cx, r));
  const TrialDataSet& t = session.trial;
  EXPECT_EQ(session.settings.samples, RecoveredSampleCount(r));
  EXPECT_EQ(session.settings.frequency, 600);
  EXPECT_TRUE(session.settings.RecordForce);
  EXPECT_TRUE(t.DataCollected);
  EXPECT_FALSE(t.DataSaved);
  EXPECT_EQ(t.CollectionDateTime, r.header.collectionDateTime);
  ASSERT_TRUE(t.Athlete);
  EXPECT_EQ(t.Athlete->LastName, "Lind");
  EXPECT_EQ(c.outcome, CollectionOutcome::CutShort);
  EXPECT_EQ(session.view.Marker2Sample, RecoveredSampleCount(r) - 1);
  for (std::uint32_t i = 0; i < r.points; ++i) ASSERT_EQ(t.Displacement[i], displacement[i]) << i;
  // Processed as after a collection: velocity and power derived.
  const auto end = t.Power.begin() + RecoveredSampleCount(r);
  EXPECT_TRUE(std::any_of(t.Power.begin(), end, [](float p) { return p != 0.0f; }));
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log.back(), RecoveredTrialText(r));
  EXPECT_EQ(RecoveryOfferText(r), "A collection was interrupted on " + r.header.collectionDateTime +
                                      " with " + std::to_string(r.points - 1) +
                                      " samples. Open the trial it holds?");
}

TEST_F(CollectionRecoveryTest, AZeroingReadingKeepsNoRecoveryFile) {
  c.readingSeconds = 1.5;
  ZeroForce(cx);
  EXPECT_FALSE(std::filesystem::exists(path));
  EXPECT_EQ(c.recoveryAppends, 0);
}

}  // namespace
}  // namespace torvane::testing
