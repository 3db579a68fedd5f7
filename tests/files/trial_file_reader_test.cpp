#include <gtest/gtest.h>

#include <sys/stat.h>
#include <cstring>
#include <memory>

#include <random>
#include <string>
#include <vector>

#include "common/text_file.hpp"
#include "files/trial_file.hpp"
#include "shell/analysis_session.hpp"
#include "test_support.hpp"

namespace torvane {
namespace {

using testing::TempDir;
using testing::TestSession;
using testing::WriteText;

std::string Lines(const std::vector<std::string>& lines, const char* end = "\r\n") {
  std::string out;
  for (const std::string& l : lines) out += l + end;
  return out;
}

// A session already holding a trial, so that a refusal can be seen to
// change nothing.
struct ReaderTest : ::testing::Test {
  ReaderTest() {
    Session& s = t.session;
    DimensionDataArrays(s.trial, 40000);
    s.settings.samples = 3;
    s.settings.frequency = 250;
    s.settings.weight = 66.0f;
    s.settings.RecordForce = false;
    s.trial.Displacement[0] = 9.0f;
    s.trial.Force[0] = 99.0f;
    s.trial.Force[39000] = 5.0f;
    s.trial.DataFileName = "old.qlx";
    s.trial.CollectionDateTime = "old date";
    s.trial.FileKind = kFileKindVersion2;
    s.squad.CurrentAthlete = 1;
    s.squad.SquadMembers[1] = SquadMember{"1", "Old", "Athlete", 70.0f};
  }
  std::string Write(const std::string& name, const std::string& bytes) {
    const std::string path = dir.File(name);
    WriteText(path, bytes);
    return path;
  }
  // samples, frequency, mass and RecordForce, as the trial left them.
  std::tuple<std::int32_t, std::int32_t, float, bool> Settings() const {
    const SettingsRecord& r = t.session.settings;
    return {r.samples, r.frequency, r.weight, r.RecordForce};
  }
  void ExpectUnchanged() {
    const Session& s = t.session;
    EXPECT_EQ(Settings(), std::tuple(3, 250, 66.0f, false));
    EXPECT_EQ(s.trial.Displacement[0], 9.0f);
    EXPECT_EQ(s.trial.Force[0], 99.0f);
    EXPECT_EQ(s.trial.UpperBound(), 40002);
    EXPECT_EQ(s.trial.DataFileName, "old.qlx");
    EXPECT_EQ(s.trial.FileKind, kFileKindVersion2);
    EXPECT_EQ(s.squad.SquadMembers[1].FirstName, "Old");
  }
  TempDir dir;
  TestSession t;
};

TEST_F(ReaderTest, Version2KeepsItsAthleteWithTheTrialNotInTheSquadTable) {
  const std::string path =
      Write("v2.qlx",
            Lines({"\"QLX Data File Version 2\"", "\"2026-01-02 10:00:00\"",
                   "600, 1, 72.5 ,\"12\",\"Jo, Ann\",\"Smith\", 71.25", "0.0000        700.00000",
                   "0.0010,701.5", "-0.0020\t 702.25", "  0.0030   703"}));
  const OpenTrialResult opened = OpenTrialFile(TrialFileContextOf(t.session), path);
  ASSERT_TRUE(opened.opened);
  const Session& s = t.session;
  EXPECT_EQ(opened.kind, kFileKindVersion2);
  EXPECT_EQ(opened.squadSearchText, "12 - Jo, Ann Smith");
  EXPECT_TRUE(t.dialogs.shown.empty());  // no message box for version 2
  EXPECT_EQ(Settings(), std::tuple(3, 600, 72.5f, true));
  EXPECT_EQ(s.trial.CollectionDateTime, "2026-01-02 10:00:00");
  EXPECT_EQ(s.trial.DataFileName, path);
  EXPECT_EQ(s.trial.UpperBound(), 32002);  // 4 lines + 1000, at least 32000
  EXPECT_EQ(s.trial.Displacement[2], -0.002f);
  EXPECT_EQ(s.trial.Force[1], 701.5f);
  EXPECT_EQ(s.trial.Force[3], 703.0f);
  EXPECT_EQ(s.trial.Force[4], 0.0f);
  ASSERT_TRUE(s.trial.Athlete.has_value());
  const SquadMember& athlete = *s.trial.Athlete;
  EXPECT_EQ(std::tie(athlete.Id, athlete.FirstName, athlete.LastName, athlete.BodyMass),
            std::tuple("12", "Jo, Ann", "Smith", 71.25f));
  // The squad's entry stays the squad's; the trial and its results name the file's athlete.
  EXPECT_EQ(s.squad.SquadMembers[1].FirstName, "Old");
  EXPECT_TRUE(s.squad.SquadMembers[0].Id.empty());
  EXPECT_EQ(&AthleteOfTrial(s.trial, s.squad), &*s.trial.Athlete);
  // Saved again, the file keeps its athlete; closed, the next trial names the selected one.
  ASSERT_EQ(SaveTrialFile(TrialFileContextOf(t.session), 0), SaveOutcome::Saved);
  EXPECT_NE(testing::ReadText(path).find("\"12\",\"Jo, Ann\",\"Smith\""), std::string::npos);
  t.dialogs.answers.push_back(DialogAnswer::No);
  CloseTrialFile(TrialFileContextOf(t.session));
  EXPECT_FALSE(s.trial.Athlete.has_value());
  EXPECT_EQ(AthleteOfTrial(s.trial, s.squad).FirstName, "Old");
}

TEST_F(ReaderTest, Version1LeavesTheSquadAndReportsTheTrial) {
  std::vector<std::string> lines = {"\"QLX Data File\"", "\"2026-01-02 10:00:00\"", "500,0,80.5"};
  for (int i = 0; i < 10; ++i) lines.push_back("0." + std::to_string(1000 + i));
  const std::string path = Write("v1.qlx", Lines(lines, "\n"));  // LF line ends read too
  ASSERT_TRUE(OpenTrialFile(TrialFileContextOf(t.session), path).opened);
  const Session& s = t.session;
  EXPECT_EQ(s.trial.FileKind, kFileKindVersion1);
  EXPECT_EQ(Settings(), std::tuple(9, 500, 80.5f, false));  // 10 data lines
  EXPECT_EQ(s.trial.Displacement[9], 0.1009f);
  EXPECT_EQ(s.trial.Force[0], 0.0f);  // arrays dimensioned afresh
  EXPECT_EQ(s.trial.UpperBound(), 32002);
  EXPECT_EQ(s.squad.SquadMembers[1].FirstName, "Old");
  ASSERT_EQ(t.dialogs.shown.size(), 1u);
  EXPECT_EQ(t.dialogs.shown[0].text,
            "Data file saved: 2026-01-02 10:00:00\r\nSamples =  9\r\nFrequency =  500\r\n"
            "Mass =  80.5\r\nForce calculated");
}

TEST_F(ReaderTest, HeaderlessFileTakesForceAsRecordedAndKeepsTheMass) {
  const std::string path =
      Write("legacy.dat", Lines({"500 0", "0.1000 700.0", "0.2000 710.0", "0.3000 720.0"}));
  ASSERT_TRUE(OpenTrialFile(TrialFileContextOf(t.session), path).opened);
  const Session& s = t.session;
  EXPECT_EQ(s.trial.FileKind, kFileKindHeaderless);
  EXPECT_EQ(Settings(), std::tuple(2, 500, 66.0f, true));
  EXPECT_EQ(s.trial.Force[2], 720.0f);
  EXPECT_TRUE(s.trial.CollectionDateTime.empty());  // no date in such a file
  ASSERT_EQ(t.dialogs.shown.size(), 1u);
  EXPECT_EQ(t.dialogs.shown[0].text, "Samples =  2 Frequency =  500");
}

std::string ImportFile(int declared, int lines) {
  std::vector<std::string> out = {"BioWare 3.0 Export,", "Subject: test",
                                  "Number of samples:        " + std::to_string(declared),
                                  "Sampling rate (Hz):       1000.000000"};
  while (out.size() < 9) out.push_back("header line " + std::to_string(out.size() + 1));
  out.push_back("Body weight (N):         784.560000");
  out.push_back("abs time (s)\tFz");
  out.push_back("s\tN");
  for (int i = 0; i < lines; ++i) out.push_back("0.000\t" + std::to_string(700 + i) + ".5");
  return Lines(out);
}

TEST_F(ReaderTest, ForcePlatformExportReadsItsFixedPositionsAndRecordsForce) {
  const std::string path = Write("export.txt", ImportFile(5, 7));
  ASSERT_TRUE(OpenTrialFile(TrialFileContextOf(t.session), path).opened);
  const Session& s = t.session;
  EXPECT_EQ(s.trial.FileKind, kFileKindImport);
  // Force recorded, whatever the previous trial had.
  EXPECT_EQ(Settings(), std::tuple(5, 1000, static_cast<float>(784.56 / 9.807), true));
  EXPECT_EQ(s.trial.Force[4], 704.5f);
  EXPECT_EQ(s.trial.Force[5], 0.0f);  // nothing of the previous trial remains
  EXPECT_EQ(s.trial.Force[39000], 0.0f);
  EXPECT_EQ(s.trial.UpperBound(), 40002);  // arrays kept when they have room
  EXPECT_EQ(t.dialogs.shown.at(0).text, "Samples =  5 Frequency =  1000");

  // An import larger than the arrays enlarges them.
  const std::string big = Write("big.txt", ImportFile(45000, 45000));
  ASSERT_TRUE(ReadTrialFile(TrialFileContextOf(t.session), big).ok());
  EXPECT_EQ(s.settings.samples, 45000);
  EXPECT_GE(s.trial.UpperBound(), 45002);
  EXPECT_EQ(s.trial.Force[44999], 45699.5f);
}

TEST_F(ReaderTest, TrainingFilesAreRefusedAndChangeNothing) {
  for (const std::string first :
       {"QLX Training File", "QLX Training File for Ann Lee ID: 7", "\"QLX Training File\""}) {
    t.dialogs.shown.clear();
    const std::string path = Write("set.trn", Lines({first, " 3 reps completed on 2026", "1,2"}));
    EXPECT_FALSE(OpenTrialFile(TrialFileContextOf(t.session), path).opened) << first;
    ASSERT_EQ(t.dialogs.shown.size(), 1u);
    EXPECT_EQ(t.dialogs.shown[0].text,
              "Selected File is a QLX Training File. Open from the Training Window.");
    EXPECT_EQ(t.dialogs.shown[0].icon, MessageIcon::Exclamation);
    ExpectUnchanged();
  }
}

TEST_F(ReaderTest, TruncatedAndGarbageFilesAreRefusedNamingTheFile) {
  struct Case {
    const char* name;
    std::string bytes;
    const char* says;
  };
  const std::string header =
      Lines({"\"QLX Data File Version 2\"", "\"2026-01-02\"", "500,1,80,\"1\",\"A\",\"B\",80"});
  const Case cases[] = {
      {"empty.qlx", "", "holds no trial data"},
      {"blank.qlx", "\r\n\r\n  \r\n", "holds no trial data"},
      {"header-only.qlx", header, "holds no trial data"},
      {"cut-header.qlx", Lines({"\"QLX Data File Version 2\"", "\"2026-01-02\""}), "line 3"},
      {"short-header.qlx", Lines({"\"QLX Data File Version 2\"", "\"d\"", "500,1,80"}), "line 3"},
      {"no-force.qlx", header + Lines({"0.1000        700.00000", "0.2000"}),
       "line 5 has no force"},
      {"word.qlx", header + Lines({"0.1000 700", "abc 701"}), "line 5 is not a number"},
      {"junk.qlx", header + Lines({"0.1000 700", "0.2x 701"}), "line 5 is not a number"},
      {"nan.qlx", header + Lines({"nan 700"}), "line 4 is not a number"},
      {"huge.qlx", header + Lines({"1e39 700"}), "line 4 is not a number"},
      {"letter.txt", Lines({"Dear athlete,", "your results follow.", "Regards"}),
       "not a trial data file"},
      {"binary.bin",
       std::string("\x7f"
                   "ELF\x02\x01\x01\0\0\0\x03\0>\0\x01",
                   16) +
           std::string(200, '\xff'),
       "not a trial data file"},
      {"cut-import.txt", ImportFile(100, 40), "ends after 40 of its 100 data lines"},
      {"empty-import.txt", ImportFile(0, 3), "holds no trial data"},
  };
  for (const Case& c : cases) {
    t.dialogs.shown.clear();
    const std::string path = Write(c.name, c.bytes);
    const TrialReadResult r = ReadTrialFile(TrialFileContextOf(t.session), path);
    EXPECT_EQ(r.status, TrialReadStatus::Unreadable) << c.name;
    EXPECT_NE(r.message.find(path), std::string::npos) << r.message;
    EXPECT_NE(r.message.find(c.says), std::string::npos) << c.name << ": " << r.message;
    ExpectUnchanged();
    EXPECT_FALSE(OpenTrialFile(TrialFileContextOf(t.session), path).opened);
    ASSERT_EQ(t.dialogs.shown.size(), 1u);
    EXPECT_EQ(t.dialogs.shown[0].icon, MessageIcon::Critical);
    EXPECT_EQ(t.dialogs.shown[0].text, r.message);
  }
  EXPECT_NE(ReadTrialFile(TrialFileContextOf(t.session), dir.File("missing.qlx"))
                .message.find("missing.qlx"),
            std::string::npos);
  EXPECT_EQ(ReadTrialFile(TrialFileContextOf(t.session), dir.path()).status,
            TrialReadStatus::Unreadable);
  ExpectUnchanged();
  // An empty path does nothing at all.
  t.dialogs.shown.clear();
  EXPECT_FALSE(OpenTrialFile(TrialFileContextOf(t.session), "").opened);
  EXPECT_TRUE(t.dialogs.shown.empty());
}

TEST_F(ReaderTest, DecimalCommasOddFrequenciesAndSpecialFilesAreRefused) {
  const auto header = [](const char* numbers) {
    return Lines({"\"QLX Data File Version 2\"", "\"2026-01-02\"",
                  std::string(numbers) + ",\"1\",\"A\",\"B\",80"});
  };
  const std::string force = header("500,1,80");
  const std::string fifo = dir.File("fifo.qlx");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const std::pair<std::string, std::string> cases[] = {
      {force + Lines({"0,9990  786"}), "line 4 holds a decimal comma"},
      {force + Lines({"1.0000  786.5", "1.0000  786,5"}), "line 5 holds a decimal comma"},
      {header("500,0,80") + Lines({"0,999"}), "line 4 holds a decimal comma"},
      {header("1e30,1,80") + Lines({"1.0 786"}), "the frequency on line 3 is not a whole number"},
      {header("500.5,1,80") + Lines({"1.0 786"}), "the frequency on line 3 is not a whole"},
      {Lines({"-3e9,0", "1.0 786"}), "the frequency on line 1 is not a whole number"},
  };
  for (const auto& [bytes, says] : cases) {
    const std::string path = Write("odd.qlx", bytes);
    const TrialReadResult r = ReadTrialFile(TrialFileContextOf(t.session), path);
    EXPECT_EQ(r.status, TrialReadStatus::Unreadable) << says;
    EXPECT_NE(r.message.find(says), std::string::npos) << r.message;
    ExpectUnchanged();
  }
  TrialFileReader reader;
  EXPECT_EQ(reader.Read(TrialFileContextOf(t.session), fifo).message,
            "The file \"" + fifo + "\" cannot be read: it is not a regular file.");
  ExpectUnchanged();
}

TEST(ParseTrialFile, ByteOrderMarkAndCommaSeparatedValuesAreRead) {
  const std::string header =
      Lines({"\"QLX Data File Version 2\"", "\"2026-01-02\"", "500.0,1,80,\"1\",\"A\",\"B\",80"});
  const std::pair<std::string, std::vector<float>> cases[] = {
      {"\xEF\xBB\xBF" + header + Lines({"0.5 786", "0.25 790"}), {0.5f, 786, 0.25f, 790}},
      {header + Lines({"0.5,786", "0.25, 790.5"}), {0.5f, 786, 0.25f, 790.5f}},
      {header + Lines({"1,786", "2 , 790"}), {1, 786, 2, 790}},
  };
  for (const auto& [bytes, values] : cases) {
    const TrialReadResult r = ParseTrialFile(bytes, "x.qlx");
    ASSERT_TRUE(r.ok()) << r.message;
    EXPECT_EQ(r.trial.kind, kFileKindVersion2);
    EXPECT_EQ(r.trial.frequency, 500);
    EXPECT_EQ(r.trial.displacement, (std::vector<float>{values[0], values[2]}));
    EXPECT_EQ(r.trial.force, (std::vector<float>{values[1], values[3]}));
  }
  EXPECT_EQ(RecogniseTrialFileKind("\xEF\xBB\xBF\"QLX Data File\"\r\n"), kFileKindVersion1);
}

TEST_F(ReaderTest, NoMoreThan999999Samples) {
  std::string body = Lines({"\"QLX Data File\"", "\"d\"", "500,0,80"});
  std::string data;
  data.reserve(3 * 1000001);
  for (int i = 0; i < 1000000; ++i) data += "0\r\n";
  // 1 000 000 data lines are 999 999 samples: accepted.
  const TrialReadResult most = ParseTrialFile(body + data, "most.qlx");
  ASSERT_TRUE(most.ok()) << most.message;
  EXPECT_EQ(most.trial.samples, 999999);
  // One more is refused with the maximum-size message.
  const std::string path = Write("too-long.qlx", body + data + "0\r\n");
  EXPECT_FALSE(OpenTrialFile(TrialFileContextOf(t.session), path).opened);
  ASSERT_EQ(t.dialogs.shown.size(), 1u);
  EXPECT_EQ(t.dialogs.shown[0].title, "Maximum sample number exceeded");
  EXPECT_EQ(t.dialogs.shown[0].text,
            "Maximum data size exceeded. Reduce sample frequency or duration");
  ExpectUnchanged();
}

TEST_F(ReaderTest, AnyBytesAreReadOrRefusedWithoutHarm) {
  const std::string valid = Lines({"\"QLX Data File Version 2\"", "\"2026-01-02 10:00:00\"",
                                   "500,1,80,\"7\",\"Ann\",\"Lee\",80", "0.1000        700.00000",
                                   "0.2000        701.00000"});
  const std::string import = ImportFile(3, 3);
  std::mt19937 rng(2024);
  for (int round = 0; round < 3000; ++round) {
    std::string bytes = round % 2 ? valid : import;
    const int edits = 1 + static_cast<int>(rng() % 6);
    for (int e = 0; e < edits && !bytes.empty(); ++e) {
      const std::size_t at = rng() % bytes.size();
      switch (rng() % 3) {
        case 0:
          bytes[at] = static_cast<char>(rng() % 256);
          break;
        case 1:
          bytes.erase(at, 1 + rng() % 8);
          break;
        default:
          bytes.resize(at);
          break;
      }
    }
    if (round == 0) bytes = "8\r\r8";  // a last line that ends at the last byte (found by fuzzing)
    // Read from a buffer of exactly the file's size, so that the sanitizer
    // build sees a single byte read past its end.
    const std::unique_ptr<char[]> exact(new char[bytes.size()]);
    std::memcpy(exact.get(), bytes.data(), bytes.size());
    const TrialReadResult r =
        ParseTrialFile(std::string_view(exact.get(), bytes.size()), "mutated.qlx");
    if (r.ok()) {
      EXPECT_EQ(r.trial.displacement.size(), r.trial.kind == kFileKindImport
                                                 ? static_cast<std::size_t>(r.trial.samples)
                                                 : static_cast<std::size_t>(r.trial.samples) + 1);
      if (r.trial.recordForce) {
        EXPECT_EQ(r.trial.force.size(), r.trial.displacement.size());
      }
    } else {
      EXPECT_FALSE(r.message.empty());
    }
  }
}

TEST(RecogniseTrialFileKind, FirstFieldOfTheFirstLine) {
  EXPECT_EQ(RecogniseTrialFileKind("\"QLX Data File Version 2\"\r\n"), kFileKindVersion2);
  EXPECT_EQ(RecogniseTrialFileKind("\"QLX Data File\"\r\n"), kFileKindVersion1);
  EXPECT_EQ(RecogniseTrialFileKind("QLX Data File,x\r\n"), kFileKindVersion1);
  EXPECT_EQ(RecogniseTrialFileKind("  BioWare 3.0 Export\r\n"), kFileKindImport);
  EXPECT_EQ(RecogniseTrialFileKind("QLX Training File for A B ID: 1\r\n"), kFileKindTraining);
  EXPECT_EQ(RecogniseTrialFileKind("\"QLX Data File Version 3\"\r\n"), kFileKindHeaderless);
  EXPECT_EQ(RecogniseTrialFileKind("500,0\r\n"), kFileKindHeaderless);
  EXPECT_EQ(RecogniseTrialFileKind(""), kFileKindHeaderless);
}

TEST(OpenTrialFileCommand, AsksInTheDataFolderAndShowsTheWholeTrial) {
  TempDir dir;
  TestSession t;
  Session& s = t.session;
  s.settings.DataDirectory = dir.path();
  WriteText(dir.File("test.dat"), "500,0\r\n0.1 1\r\n0.2 2\r\n0.3 3\r\n");
  EXPECT_TRUE(OpenTrialFileCommand(TrialFileContextOf(s), s.view, true).opened);
  EXPECT_EQ(s.trial.DataFileName, dir.File("test.dat"));
  EXPECT_EQ(s.settings.samples, 2);
  EXPECT_EQ(s.view.Marker2Sample, 1);
  EXPECT_EQ(s.view.ViewEnd, 1);
  EXPECT_TRUE(t.dialogs.fileRequests.empty());

  EXPECT_FALSE(OpenTrialFileCommand(TrialFileContextOf(s), s.view, false).opened);  // cancelled
  ASSERT_EQ(t.dialogs.fileRequests.size(), 1u);
  EXPECT_EQ(t.dialogs.fileRequests[0].initialFolder, dir.path());
  EXPECT_EQ(t.dialogs.fileRequests[0].filter,
            "QLX Data (*.qlx)|*.qlx|Data (*.dat)|*.dat|All files (*.*)|*.*");
}

}  // namespace
}  // namespace torvane
