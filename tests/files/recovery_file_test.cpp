#include "files/recovery_file.hpp"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>

namespace torvane {
namespace {

RecoveryHeader SampleHeader() {
  RecoveryHeader h;
  h.frequency = 600;
  h.samplesWanted = 12000;
  h.recordForce = true;
  h.fromForce = true;
  h.channels = kRecoverDisplacement | kRecoverForce;
  h.weight = 81.5f;
  h.collectionDateTime = "07/12/2026 09:41:07";
  h.athlete = {"A17", "Zoë", "Brandt", 80.25f};
  return h;
}

std::vector<float> Ramp(std::size_t n, float step) {
  std::vector<float> v(n);
  for (std::size_t i = 0; i < n; ++i) v[i] = 0.1f + step * static_cast<float>(i) / 7.0f;
  return v;
}

// A header and three blocks: points 0-9, 10-24, 25-39.
std::string ThreeBlocks(const std::vector<float>& d, const std::vector<float>& f) {
  const std::uint8_t ch = kRecoverDisplacement | kRecoverForce;
  return RecoveryHeaderBytes(SampleHeader()) + RecoveryBlockBytes(ch, 0, d, f, {}, 10) +
         RecoveryBlockBytes(ch, 10, d, f, {}, 15) + RecoveryBlockBytes(ch, 25, d, f, {}, 15);
}

TEST(RecoveryFile, RoundTripKeepsHeaderAndEverySampleBitForBit) {
  const auto d = Ramp(40, 0.37f), f = Ramp(40, 913.1f);
  const RecoveredSamples r = ParseRecoveryFile(ThreeBlocks(d, f), "x.qlxr");
  ASSERT_TRUE(r.ok()) << r.message;
  EXPECT_EQ(r.header.frequency, 600);
  EXPECT_EQ(r.header.samplesWanted, 12000);
  EXPECT_TRUE(r.header.recordForce && r.header.fromForce && !r.header.fromAcceleration);
  EXPECT_EQ(r.header.weight, 81.5f);
  EXPECT_EQ(r.header.collectionDateTime, "07/12/2026 09:41:07");
  EXPECT_EQ(r.header.athlete.FirstName, "Zoë");
  EXPECT_EQ(r.header.athlete.BodyMass, 80.25f);
  EXPECT_EQ(r.points, 40u);
  EXPECT_EQ(r.blocks, 3u);
  EXPECT_EQ(r.displacement, d);
  EXPECT_EQ(r.force, f);
  EXPECT_TRUE(r.acceleration.empty());
  EXPECT_EQ(r.droppedBytes, 0u);
}

TEST(RecoveryFile, TornLastBlockIsDroppedAndEverythingBeforeKept) {
  const auto d = Ramp(40, 0.37f), f = Ramp(40, 913.1f);
  const std::string whole = ThreeBlocks(d, f);
  // Cut anywhere inside the last block (15 points × 2 channels × 4 + 16 bytes).
  for (std::size_t cut = 1; cut < 136; cut += 9) {
    const RecoveredSamples r = ParseRecoveryFile(whole.substr(0, whole.size() - cut), "x");
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.points, 25u) << cut;
    EXPECT_EQ(r.droppedBytes, 136 - cut);
    EXPECT_EQ(r.displacement, std::vector<float>(d.begin(), d.begin() + 25));
    EXPECT_EQ(r.force, std::vector<float>(f.begin(), f.begin() + 25));
  }
}

TEST(RecoveryFile, DamagedMiddleBlockEndsTheReadThere) {
  const auto d = Ramp(40, 0.37f), f = Ramp(40, 913.1f);
  std::string bytes = ThreeBlocks(d, f);
  const std::size_t secondBlock = RecoveryHeaderBytes(SampleHeader()).size() + 4 + 8 + 80 + 4;
  bytes[secondBlock + 20] ^= 0x10;  // one bit of one value
  const RecoveredSamples r = ParseRecoveryFile(bytes, "x");
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(r.points, 10u);
  EXPECT_EQ(r.blocks, 1u);
  // A block that does not follow on (a lost block) ends it too.
  const std::uint8_t ch = kRecoverDisplacement | kRecoverForce;
  const RecoveredSamples gap = ParseRecoveryFile(RecoveryHeaderBytes(SampleHeader()) +
                                                     RecoveryBlockBytes(ch, 0, d, f, {}, 10) +
                                                     RecoveryBlockBytes(ch, 11, d, f, {}, 5),
                                                 "x");
  EXPECT_EQ(gap.points, 10u);
}

TEST(RecoveryFile, RefusesWhatIsNotARecoveryFileOrHoldsNoWholeBlock) {
  const auto d = Ramp(4, 1), f = Ramp(4, 1);
  const std::string header = RecoveryHeaderBytes(SampleHeader());
  EXPECT_EQ(ParseRecoveryFile("\"QLX Data File Version 2\"\r\n", "t.qlx").status,
            RecoveryReadStatus::NotRecoveryFile);
  EXPECT_EQ(ParseRecoveryFile(header.substr(0, header.size() - 3), "t").status,
            RecoveryReadStatus::NotRecoveryFile);
  std::string badHeader = header;
  badHeader[14] ^= 1;
  EXPECT_EQ(ParseRecoveryFile(badHeader, "t").status, RecoveryReadStatus::NotRecoveryFile);
  EXPECT_EQ(ParseRecoveryFile(header, "t").status, RecoveryReadStatus::NoWholeBlock);
  const std::string block =
      RecoveryBlockBytes(kRecoverDisplacement | kRecoverForce, 0, d, f, {}, 4);
  const RecoveredSamples torn = ParseRecoveryFile(header + block.substr(0, 20), "t.qlxr");
  EXPECT_EQ(torn.status, RecoveryReadStatus::NoWholeBlock);
  EXPECT_NE(torn.message.find("t.qlxr"), std::string::npos);
  EXPECT_EQ(ReadRecoveryFile("/nonexistent/r.qlxr").status, RecoveryReadStatus::Unreadable);
}

TEST(RecoveryFile, JournalAppendsOnlyNewPointsAndRemoveDeletesTheFile) {
  const std::string path =
      (std::filesystem::temp_directory_path() / ("journal-" + std::to_string(getpid()) + ".qlxr"))
          .string();
  const auto d = Ramp(30, 0.5f), f = Ramp(30, 700);
  RecoveryJournal journal;
  ASSERT_EQ(journal.Begin(path, SampleHeader()), "");
  EXPECT_EQ(ReadRecoveryFile(path).status, RecoveryReadStatus::NoWholeBlock);
  EXPECT_EQ(journal.Append(d, f, {}, 12), "");
  EXPECT_EQ(journal.Append(d, f, {}, 12), "");  // nothing new: no block
  EXPECT_EQ(journal.Append(d, f, {}, 30), "");
  const RecoveredSamples r = ReadRecoveryFile(path);
  EXPECT_EQ(r.blocks, 2u);
  EXPECT_EQ(r.displacement, d);
  journal.Close();  // a program that dies leaves the file
  EXPECT_TRUE(std::filesystem::exists(path));
  journal.Remove();
  EXPECT_FALSE(std::filesystem::exists(path));
  EXPECT_NE(journal.Begin("/nonexistent/folder/r.qlxr", SampleHeader()), "");
  EXPECT_FALSE(journal.IsOpen());
}

}  // namespace
}  // namespace torvane
