#include "cli/analyse_options.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "analysis/derivation.hpp"
#include "common/text_file.hpp"
#include "config/settings_io.hpp"
#include "results/trial_file_texts.hpp"
#include "shell/analysis_session.hpp"
#include "shell/trial_analysis.hpp"
#include "test_support.hpp"

namespace torvane::cli {
namespace {

using torvane::testing::JumpFile;
using torvane::testing::JumpShape;
using torvane::testing::ScopedEnv;
using torvane::testing::TempDir;
using torvane::testing::WriteText;

OptionsParse Parse(std::vector<std::string> args, bool output = true) {
  return ParseAnalyseOptions(args, output);
}

TEST(ParseAnalyseOptions, AcceptedFormsAndUsageErrors) {
  const OptionsParse ok = Parse({"a.qlx", "--from", "0.5", "--to=1.5", "--mass-from-force",
                                 "--set=RFDepoch=20", "--mode", "df", "-o", "-", "b.qlx"});
  ASSERT_TRUE(ok.ok) << ok.error;
  EXPECT_EQ(ok.options.files, (std::vector<std::string>{"a.qlx", "b.qlx"}));
  EXPECT_EQ(ok.options.fromSeconds, 0.5);
  EXPECT_EQ(ok.options.toSeconds, 1.5);
  EXPECT_TRUE(ok.options.massFromForce);
  EXPECT_EQ(ok.options.mode, ModeChoice::DF);
  EXPECT_EQ(ok.options.settingOverrides.at(0).second, "20");
  const std::vector<std::vector<std::string>> wrong = {
      {"a.qlx", "--mass", "0"},      {"a.qlx", "--mass", "-3"},
      {"a.qlx", "--mass", "heavy"},  {"a.qlx", "--mass"},
      {"a.qlx", "--from", "-1"},     {"a.qlx", "--from", "2", "--to", "1"},
      {"a.qlx", "--set", "nokey=1"}, {"a.qlx", "--set", "forceFc"},
      {"a.qlx", "--bogus"},          {"a.qlx", "--mode", "X"},
      {"a.qlx", "--reverse=yes"},    {"a.qlx", "--json", "--csv"},
  };
  for (const auto& args : wrong) {
    const OptionsParse p = Parse(args);
    EXPECT_FALSE(p.ok) << args.back();
    EXPECT_FALSE(p.error.empty());
  }
  EXPECT_FALSE(Parse({"a.qlx", "-o", "x"}, false).ok);  // analyse has no -o
}

TEST(LoadPipelineSettings, ConfigFileThenOverridesAndNothingWritten) {
  TempDir dir;
  ScopedEnv home("HOME", dir.path());
  ScopedEnv data("TORVANE_DATA_DIR", dir.path() + "/data");
  AnalyseOptions o;
  SettingsRecord s;
  std::string error;
  // No configuration file anywhere: the built-in defaults.
  ASSERT_TRUE(LoadPipelineSettings(s, o, error)) << error;
  EXPECT_EQ(s.velocFc, 16.0f);
  EXPECT_EQ(s.forceFc, 0.0f);
  EXPECT_FALSE(FolderExists(dir.path() + "/data"));

  // The program's own file, read as it is.
  MakeFolders(dir.path() + "/data");
  const std::string own = dir.path() + "/data/QLXConfig.ini";
  WriteText(own, "[Data Processing]\r\nforceFc=25\r\n");
  ASSERT_TRUE(LoadPipelineSettings(s, o, error));
  EXPECT_EQ(s.forceFc, 25.0f);
  EXPECT_EQ(ReadWholeFile(own).bytes, "[Data Processing]\r\nforceFc=25\r\n");

  // --config wins, then --set.
  const std::string other = dir.File("other.ini");
  WriteText(other, "[Data Processing]\r\nforceFc=30\r\nvelocFc=12\r\n");
  o.configPath = other;
  o.settingOverrides = {{"velocfc", "8"}};
  ASSERT_TRUE(LoadPipelineSettings(s, o, error));
  EXPECT_EQ(s.forceFc, 30.0f);
  EXPECT_EQ(s.velocFc, 8.0f);
  EXPECT_EQ(ReadWholeFile(other).bytes, "[Data Processing]\r\nforceFc=30\r\nvelocFc=12\r\n");

  o.configPath = dir.File("missing.ini");
  EXPECT_FALSE(LoadPipelineSettings(s, o, error));
  EXPECT_NE(error.find("missing.ini"), std::string::npos);
}

std::string Version2(int frequency, float weight, bool force,
                     const std::vector<std::string>& data) {
  std::string out = "\"QLX Data File Version 2\"\r\n\"2026-01-02 10:00:00\"\r\n" +
                    std::to_string(frequency) + (force ? ",1," : ",0,") + std::to_string(weight) +
                    ",\"1\",\"A\",\"B\",80\r\n";
  for (const std::string& line : data) out += line + "\r\n";
  return out;
}

class PipelineTest : public ::testing::Test {
 protected:
  std::string Write(const std::string& name, const std::string& bytes) {
    WriteText(dir.File(name), bytes);
    return dir.File(name);
  }
  TrialRun Run(const std::string& file, AnalyseOptions o = {}) {
    return RunTrialPipeline(headless.session(), base, file, o);
  }
  TempDir dir;
  HeadlessSession headless;
  SettingsRecord base;
};

TEST_F(PipelineTest, RefusalsNameTheFile) {
  const std::string training = Write("set.qlx", "QLX Training File for A B ID: 1\r\n");
  TrialRun r = Run(training);
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.error,
            training + ": Selected File is a QLX Training File. Open from the Training Window.");
  r = Run(Write("one.qlx", Version2(500, 80, true, {"0.1 700"})));
  EXPECT_NE(r.error.find("fewer than two data lines"), std::string::npos);
  for (const std::string& refused :
       {Write("nofreq.qlx", Version2(0, 80, true, {"0.1 700", "0.1 700"})),
        Write("garbage.qlx", std::string("\x01\x02\x03", 3))}) {
    r = Run(refused);
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error.find(refused), std::string::npos);
  }
}

TEST_F(PipelineTest, AutoModeFollowsWhatTheFileHolds) {
  std::vector<std::string> moving, still, noForce;
  for (int i = 0; i < 50; ++i) {
    moving.push_back(std::to_string(0.01 * i) + " 790");
    still.push_back("0.0000 790");
    noForce.push_back(std::to_string(0.01 * i));
  }
  EXPECT_EQ(Run(Write("df.qlx", Version2(500, 80, true, moving))).mode, ModeChoice::DF);
  const TrialRun f = Run(Write("f.qlx", Version2(500, 80, true, still)));
  EXPECT_EQ(f.mode, ModeChoice::F);
  EXPECT_TRUE(f.boxes.fromForce && !f.boxes.fromDisplacement);
  EXPECT_EQ(Run(Write("d.qlx", Version2(500, 80, false, noForce))).mode, ModeChoice::D);
  AnalyseOptions o;
  o.mode = ModeChoice::F;
  o.reverse = true;
  const TrialRun reverse = Run(Write("r.qlx", Version2(500, 80, true, moving)), o);
  EXPECT_TRUE(reverse.boxes.reverseIntegrate);
  EXPECT_EQ(headless.session().trial.Velocity[49], 0.0f);  // at rest at the end
  o.mode = ModeChoice::DF;
  EXPECT_FALSE(Run(dir.File("r.qlx"), o).boxes.reverseIntegrate);  // R is off with D
}

TEST_F(PipelineTest, MassRangeAndForceFilter) {
  std::vector<std::string> data;
  for (int i = 0; i < 500; ++i) data.push_back("0.0000 " + std::to_string(i < 250 ? 784.56 : 0.0));
  const std::string path = Write("jump.qlx", Version2(500, 0, true, data));
  Session& s = headless.session();

  // A mass of 0 in the file becomes 10 kg.
  ASSERT_TRUE(Run(path).ok);
  EXPECT_EQ(s.settings.weight, 10.0f);
  EXPECT_EQ(s.view.AnalysisStart, 0);
  EXPECT_EQ(s.view.AnalysisEnd, 498);  // 500 lines: 499 samples

  AnalyseOptions o;
  o.mass = 75.0;
  ASSERT_TRUE(Run(path, o).ok);
  EXPECT_EQ(s.settings.weight, 75.0f);

  // Markers at round(T × frequency); the mass from the force over that range.
  o.fromSeconds = 0.1;
  o.toSeconds = 0.3;
  o.massFromForce = true;
  ASSERT_TRUE(Run(path, o).ok);
  EXPECT_EQ(s.view.Marker1Sample, 50);
  EXPECT_EQ(s.view.AnalysisEnd, 150);
  EXPECT_NEAR(s.settings.weight, 80.0f, 1e-3f);
  EXPECT_NEAR(s.trial.Velocity[200], 0.0f, 1e-5f);  // standing on that mass

  // Times beyond the trial stay within it.
  o.fromSeconds = std::nullopt;
  o.toSeconds = 100.0;
  o.massFromForce = false;
  ASSERT_TRUE(Run(path, o).ok);
  EXPECT_EQ(s.view.Marker2Sample, 498);

  // The force is filtered once at forceFc when that is >= 1.
  base.forceFc = 20.0f;
  ASSERT_TRUE(Run(path).ok);
  EXPECT_GT(s.trial.Force[250], 1.0f);
  EXPECT_LT(s.trial.Force[249], 784.0f);
}

template <typename T>
bool SameBits(const std::vector<T>& a, const std::vector<T>& b) {
  return a.size() == b.size() &&
         (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(T)) == 0);
}

// Everything of the trial that a later step or the next file could see.
void ExpectSameTrial(const Session& plain, const Session& reused, const std::string& file) {
  const TrialDataSet& a = plain.trial;
  const TrialDataSet& b = reused.trial;
  for (const auto member :
       {&TrialDataSet::Displacement, &TrialDataSet::Velocity, &TrialDataSet::Acceleration,
        &TrialDataSet::Force, &TrialDataSet::Power}) {
    EXPECT_TRUE(SameBits(a.*member, b.*member)) << file;
  }
  for (const auto member :
       {&TrialDataSet::RawForce1, &TrialDataSet::RawForce2, &TrialDataSet::RawForce3,
        &TrialDataSet::RawForce4, &TrialDataSet::RawDisplacement, &TrialDataSet::RawChannel6,
        &TrialDataSet::RawSampleBuffer}) {
    EXPECT_TRUE(SameBits(a.*member, b.*member)) << file;
  }
  EXPECT_EQ(a.FileKind, b.FileKind) << file;
  EXPECT_EQ(a.DataFileName, b.DataFileName) << file;
  EXPECT_EQ(a.CollectionDateTime, b.CollectionDateTime) << file;
  EXPECT_EQ(plain.settings.samples, reused.settings.samples) << file;
  EXPECT_EQ(plain.settings.weight, reused.settings.weight) << file;
  EXPECT_EQ(plain.view.LandingTime, reused.view.LandingTime) << file;
  EXPECT_EQ(AthleteOfTrial(a, plain.squad).Id, AthleteOfTrial(b, reused.squad).Id) << file;
}

// Trial files of every kind, in pairs of the same length (long before
// short, so that anything left of an earlier file would show), with an
// import, which keeps the arrays, and a refused file.
std::vector<std::string> VariedTrialFiles(const TempDir& dir) {
  std::vector<std::string> files;
  const auto add = [&](const std::string& name, const std::string& text) {
    WriteText(dir.File(name), text);
    files.push_back(dir.File(name));
  };
  const auto jump = [](int lines, double mass, double takeOff, bool displacement, bool force) {
    JumpShape shape;
    shape.lines = lines;
    shape.mass = mass;
    shape.takeOffVelocity = takeOff;
    return JumpFile(shape, displacement, force);
  };
  add("long.qlx", Version2Text(jump(34000, 90, 2.5, true, true)));  // arrays grow
  add("long2.qlx", Version2Text(jump(34000, 80, 2.2, true, true)));
  add("typical.qlx", Version2Text(jump(1886, 70, 2.4, true, true)));  // and shrink back
  add("typical2.qlx", Version2Text(jump(1886, 75, 2.1, true, true)));
  add("no-force.qlx", Version2Text(jump(1500, 60, 2.5, true, false)));
  add("import.txt", ForcePlatformExportText(jump(1200, 75, 2.5, false, true)));
  add("garbage.qlx", "not a trial\r\n");
  add("version1.qlx", Version1Text(jump(900, 85, 2.5, true, true)));
  add("headerless.qlx", HeaderlessText(jump(700, 65, 2.5, true, true)));
  add("tiny.qlx", Version2Text(jump(5, 80, 2.5, true, true)));
  add("again.qlx", Version2Text(jump(1001, 72, 2.5, true, true)));
  return files;
}

// The settings of batch, and then every filter and the results run twice.
void ForEachBatchSetting(
    const std::function<void(const SettingsRecord&, const AnalyseOptions&)>& run) {
  for (const bool everyStep : {false, true}) {
    SettingsRecord base;
    RestoreDefaultSettings(base);
    AnalyseOptions options;
    options.massFromForce = true;
    if (everyStep) {
      base.dispFc = 8.0f;
      base.forceFc = 40.0f;
      options.frameJump = true;
    }
    run(base, options);
  }
}

void ExpectSameAnalysis(const TrialAnalysis& expected, const TrialAnalysis& got,
                        const std::string& file) {
  ASSERT_EQ(expected.run.ok, got.run.ok) << file;
  EXPECT_EQ(expected.run.error, got.run.error);
  EXPECT_EQ(expected.results.texts, got.results.texts) << file;
}

// Files one after another through the reader of a batch worker give, file
// by file, the trial and results of a full read.
TEST(TrialFileReader, FileAfterFileEqualsTheFullReadOfEachFile) {
  TempDir dir;
  const std::vector<std::string> files = VariedTrialFiles(dir);
  ForEachBatchSetting([&](const SettingsRecord& base, const AnalyseOptions& options) {
    HeadlessSession plain, reused;
    for (const std::string& file : files) {
      const TrialAnalysis expected = AnalyseTrialFile(plain.session(), base, file, options);
      ExpectSameAnalysis(expected,
                         AnalyseTrialFile(reused.session(), base, file, options, &reused.reader()),
                         file);
      ExpectSameTrial(plain.session(), reused.session(), file);
    }
  });
}

// Two files at a time, each in a session of its own with their filters run
// side by side, as the batch workers do, give what each file gives alone.
TEST(TrialFileReader, TrialsSideBySideEqualTrialsOneByOne) {
  TempDir dir;
  const std::vector<std::string> files = VariedTrialFiles(dir);
  ForEachBatchSetting([&](const SettingsRecord& base, const AnalyseOptions& options) {
    HeadlessSession plain, first, second;
    HeadlessSession* const sessions[] = {&first, &second};
    for (std::size_t i = 0; i < files.size(); i += 2) {
      const std::size_t count = std::min<std::size_t>(2, files.size() - i);
      TrialAnalysis got[2];
      AnalyseTrialFiles(std::span(sessions, count), base, std::span(files).subspan(i, count),
                        options, std::span(got, count));
      EXPECT_EQ(PairsFilteredAhead(), 0u);  // each filter run ahead was taken
      for (std::size_t k = 0; k < count; ++k) {
        const std::string& file = files[i + k];
        ExpectSameAnalysis(AnalyseTrialFile(plain.session(), base, file, options), got[k], file);
        // A refused file leaves each session with the trial it had before.
        if (got[k].run.ok) ExpectSameTrial(plain.session(), sessions[k]->session(), file);
      }
    }
  });
}

TEST(TrialFileReader, ArraysDimensionedAgainInBetweenAreNoticed) {
  TempDir dir;
  WriteText(dir.File("a.qlx"), Version2Text(JumpFile(JumpShape{}, true, true)));
  HeadlessSession plain, reused;
  Session& p = plain.session();
  Session& r = reused.session();
  ASSERT_TRUE(ReadTrialFile(TrialFileContextOf(p), dir.File("a.qlx")).ok());
  ASSERT_TRUE(reused.reader().Read(TrialFileContextOf(r), dir.File("a.qlx")).ok());
  // A recording in between: larger arrays, written beyond the file.
  for (Session* s : {&p, &r}) {
    DimensionDataArrays(s->trial, 50000);
    s->trial.Velocity[20000] = 1.0f;
    s->trial.RawForce2[30000] = 7;
  }
  ASSERT_TRUE(ReadTrialFile(TrialFileContextOf(p), dir.File("a.qlx")).ok());
  ASSERT_TRUE(reused.reader().Read(TrialFileContextOf(r), dir.File("a.qlx")).ok());
  ExpectSameTrial(p, r, "after the recording");
  EXPECT_EQ(r.trial.Velocity.size(), 32003u);
}

}  // namespace
}  // namespace torvane::cli
