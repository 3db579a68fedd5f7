#include "shell/operational_report.hpp"

#include <gtest/gtest.h>

#include "common/text_file.hpp"
#include "shell/session.hpp"
#include "test_support.hpp"
#include "torvane_version.hpp"

namespace torvane {
namespace {

using testing::ReadText;
using testing::TempDir;
using testing::TestSession;

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> out;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
    out.push_back(text.substr(start, end - start));
  }
  EXPECT_EQ(start, text.size()) << "every line ends with CR LF";
  return out;
}

std::vector<std::string> LinesBetween(const std::vector<std::string>& lines,
                                      const std::string& from, const std::string& to) {
  auto begin = std::find(lines.begin(), lines.end(), from);
  auto end = std::find(lines.begin(), lines.end(), to);
  EXPECT_TRUE(begin != lines.end() && end != lines.end() && begin < end);
  if (begin == lines.end() || end == lines.end() || begin >= end) return {};
  return {begin + 1, end};
}

TEST(OperationalReport, SectionsLabelsAndValuesAreLaidOutLineByLine) {
  TestSession t;
  SettingsRecord& s = t.session.settings;
  s.frequency = 500;
  s.samples = 1000;
  s.RecordForce = true;
  s.repthreshold = 0.05f;
  s.DispCalSlope = 0.009f;
  s.DispInt = -12.5f;
  s.ProgramDataDirectory = "/data/Torvane Measurement System";
  s.DataDirectory = "/data/trials";
  t.session.ExcelVersion = "1.1.4";
  const std::vector<std::string> lines =
      Lines(OperationalReportText(t.session, {"HOME=/home/ann", "LANG=C.UTF-8"}));
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines[0], "Torvane Measurement System - Operational Report");
  EXPECT_EQ(lines[1], "Thursday, 15 January 2026 10:30:00 AM");
  const std::vector<std::string> collection =
      LinesBetween(lines, "DATA COLLECTION", "INTERFACE HARDWARE");
  ASSERT_EQ(collection.size(), 11u);
  EXPECT_EQ(collection[0], "\tFrequency                         \t 500");
  EXPECT_EQ(collection[1], "\tSamples                            \t 1000");
  EXPECT_EQ(collection[2], "\tZRA6 Interface selected            \tno");
  EXPECT_EQ(collection[5], "\tZRA7 Maximum sample rate              \t 600");
  EXPECT_EQ(collection[9], "\tRecord Force                           \tyes");
  // No unit selected: only the threshold, version and build lines.
  const std::vector<std::string> hardware =
      LinesBetween(lines, "INTERFACE HARDWARE", "TRAINING MODE SETTINGS");
  EXPECT_EQ(hardware, (std::vector<std::string>{
                          "\tRepetition threshold                 \t .05",
                          "\tQLX Software Version              \t1.0.0",
                          std::string("\tQLX Software Build Date               \t") + kBuildDate}));
  const std::vector<std::string> calibration =
      LinesBetween(lines, "CALIBRATION", "FILES AND FOLDERS");
  ASSERT_EQ(calibration.size(), 4u);
  EXPECT_EQ(calibration[0], "\tDistance calibration slope          \t .009");
  EXPECT_EQ(calibration[1], "\tDistance zero offset (intercept)   \t-12.5");
  const std::vector<std::string> files = LinesBetween(lines, "FILES AND FOLDERS", "BRAKE SETTINGS");
  ASSERT_EQ(files.size(), 5u);
  EXPECT_EQ(files[0], "\tData Directory                       \t/data/trials");
  EXPECT_EQ(files[3], "\tSend results to a workbook (.xlsx)   \tno");
  EXPECT_EQ(files[4], "\tResults workbook writer              \tlibxlsxwriter 1.1.4");
  EXPECT_EQ(LinesBetween(lines, "BRAKE SETTINGS", "GENERAL SETTINGS").size(), 6u);
  EXPECT_EQ(LinesBetween(lines, "TRAINING MODE SETTINGS", "CALIBRATION").size(), 8u);
  // The environment, in the platform's order, ends with a line holding a single tab.
  const auto env = std::find(lines.begin(), lines.end(), "ENVIRONMENT");
  ASSERT_NE(env, lines.end());
  EXPECT_EQ(std::vector<std::string>(env + 1, lines.end()),
            (std::vector<std::string>{"\tLANG=C.UTF-8", "\t"}));
}

TEST(OperationalReport, TheEnvironmentHoldsOnlyWhatConcernsTheProgram) {
  TestSession t;
  const std::vector<std::string> environment = {"TORVANE_DATA_DIR=/srv/t",
                                                "GITHUB_TOKEN=secret",
                                                "XDG_DATA_HOME=/h/.local/share",
                                                "LANG=de_DE.UTF-8",
                                                "LANGUAGE=de",
                                                "LC_NUMERIC=C",
                                                "DISPLAY=:0",
                                                "WAYLAND_DISPLAY=w-0",
                                                "QT_SCALE_FACTOR=1.5",
                                                "SSH_AUTH_SOCK=/run/a",
                                                "PATH=/usr/bin",
                                                "QT=x",
                                                "MY_DISPLAY=:1",
                                                "XDG_=odd"};
  const std::vector<std::string> lines = Lines(OperationalReportText(t.session, environment));
  const auto env = std::find(lines.begin(), lines.end(), "ENVIRONMENT");
  ASSERT_NE(env, lines.end());
  EXPECT_EQ(
      std::vector<std::string>(env + 1, lines.end()),
      (std::vector<std::string>{"\tTORVANE_DATA_DIR=/srv/t", "\tXDG_DATA_HOME=/h/.local/share",
                                "\tLANG=de_DE.UTF-8", "\tLC_NUMERIC=C", "\tDISPLAY=:0",
                                "\tWAYLAND_DISPLAY=w-0", "\tQT_SCALE_FACTOR=1.5", "\t"}));
}

TEST(OperationalReport, TheHardwareSectionShowsTheSelectedUnitsIdentity) {
  TestSession t;
  t.session.link.serial.UnitVersion = "V2.1";
  t.session.link.serial.UnitSerialNumber = "123456";
  t.session.link.zra7.Zra7FirmwareVersion = "FW 3.20              ";
  t.session.link.zra7.Zra7SerialNumber = "SN0042               ";
  const auto hardware = [&] {
    return LinesBetween(Lines(OperationalReportText(t.session, {})), "INTERFACE HARDWARE",
                        "TRAINING MODE SETTINGS");
  };
  t.session.settings.ZRA6PlusInput = true;
  auto lines = hardware();
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[3], "\tFirmware version                 \tV2.1");
  EXPECT_EQ(lines[4], "\tInterface serial number         \t123456");
  t.session.settings.ZRA6PlusInput = false;
  t.session.settings.ZRA6Input = true;
  lines = hardware();
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[3], "\tFirmware version                  \tV2.1");
  EXPECT_EQ(lines[4], "\tInterface serial number          \t123456");
  t.session.settings.ZRA6Input = false;
  t.session.settings.ZRA7Input = true;
  lines = hardware();
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[3], "\tFirmware version                 \tFW 3.20              ");
  EXPECT_EQ(lines[4], "\tInterface serial number         \tSN0042               ");
}

TEST(OperationalReport, IsWrittenInFullToTheDataFolderInTheEightBitCodePage) {
  TempDir dir;
  TestSession t;
  t.session.settings.ProgramDataDirectory = dir.path();
  t.session.settings.DataDirectory = dir.path() + "/Läufe";
  ASSERT_EQ(WriteOperationalReport(t.session), "");
  const std::string bytes = ReadText(dir.File("QLXSystemReport.txt"));
  EXPECT_NE(bytes.find("/L\xE4ufe\r\n"), std::string::npos);
  EXPECT_EQ(bytes.substr(bytes.size() - 3), "\t\r\n");
  // Rewritten in full: a second report does not grow the file.
  ASSERT_EQ(WriteOperationalReport(t.session), "");
  EXPECT_EQ(ReadText(dir.File("QLXSystemReport.txt")).size(), bytes.size());

  TestSession nowhere;
  EXPECT_NE(WriteOperationalReport(nowhere.session), "");
}

}  // namespace
}  // namespace torvane
