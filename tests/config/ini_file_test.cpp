#include "config/ini_file.hpp"

#include <gtest/gtest.h>

#include "test_support.hpp"

namespace torvane {
namespace {

using testing::ReadText;
using testing::TempDir;
using testing::WriteText;

TEST(IniFile, MissingFileSectionOrKeyGivesTheDefaultAndWritesIt) {
  TempDir dir;
  const std::string path = dir.File("a.ini");
  EXPECT_EQ(ReadIniValue("Data Collection", "samples", "1000", path), "1000");
  EXPECT_EQ(ReadText(path), "[Data Collection]\r\nsamples=1000\r\n");
  EXPECT_EQ(ReadIniValue("Data Collection", "frequency", "500", path), "500");
  EXPECT_EQ(ReadIniValue("Miscellaneous", "soundstart", "false", path), "false");
  EXPECT_EQ(ReadText(path),
            "[Data Collection]\r\nsamples=1000\r\nfrequency=500\r\n"
            "[Miscellaneous]\r\nsoundstart=false\r\n");
}

TEST(IniFile, EmptyValueIsReplacedByTheDefaultAndAnEmptyDefaultWritesNothing) {
  TempDir dir;
  const std::string path = dir.File("a.ini");
  WriteText(path, "[S]\r\nk=\r\n");
  EXPECT_EQ(ReadIniValue("S", "k", "7", path), "7");
  EXPECT_EQ(ReadText(path), "[S]\r\nk=7\r\n");
  EXPECT_EQ(ReadIniValue("S", "missing", "", path), "");
  EXPECT_EQ(ReadText(path), "[S]\r\nk=7\r\n");
}

TEST(IniFile, NamesMatchWithoutRegardToCaseAndSpacing) {
  TempDir dir;
  const std::string path = dir.File("a.ini");
  WriteText(path, "  [ data collection ]  \nSAMPLES =  250  \n  ZRA7input=true\n");
  EXPECT_EQ(ReadIniValue("Data Collection", "samples", "1000", path), "250");
  EXPECT_EQ(ReadIniValue("Data Collection", "ZRA7Input", "false", path), "true");
  // A write replaces the key where it stands, under its old spelling's line.
  EXPECT_TRUE(WriteIniValue("DATA COLLECTION", "Samples", "300", path));
  EXPECT_EQ(ReadText(path), "  [ data collection ]  \r\nSamples=300\r\n  ZRA7input=true\r\n");
}

TEST(IniFile, DuplicateKeysAndSectionsUseTheFirst) {
  TempDir dir;
  const std::string path = dir.File("a.ini");
  WriteText(path, "[S]\nk=1\nk=2\n[T]\nx=0\n[S]\nk=3\n");
  EXPECT_EQ(ReadIniValue("S", "k", "9", path), "1");
  EXPECT_TRUE(WriteIniValue("S", "k", "5", path));
  EXPECT_EQ(ReadText(path), "[S]\r\nk=5\r\nk=2\r\n[T]\r\nx=0\r\n[S]\r\nk=3\r\n");
}

TEST(IniFile, NewKeysGoAtTheEndOfTheirSectionBeforeBlankLines) {
  TempDir dir;
  const std::string path = dir.File("a.ini");
  WriteText(path, "[A]\r\na=1\r\n\r\n[B]\r\nb=2");
  EXPECT_TRUE(WriteIniValue("A", "c", "3", path));
  EXPECT_TRUE(WriteIniValue("B", "d", "4", path));
  EXPECT_TRUE(WriteIniValue("C", "e", "5", path));
  EXPECT_EQ(ReadText(path), "[A]\r\na=1\r\nc=3\r\n\r\n[B]\r\nb=2\r\nd=4\r\n[C]\r\ne=5\r\n");
}

TEST(IniFile, CrOnlyAndLfOnlyLinesAreRead) {
  TempDir dir;
  const std::string path = dir.File("a.ini");
  WriteText(path, "[A]\ra=1\r[B]\rb=2\r");
  EXPECT_EQ(ReadIniValue("A", "a", "", path), "1");
  EXPECT_EQ(ReadIniValue("B", "b", "", path), "2");
  WriteText(path, "[A]\na=1\n[B]\nb=2\n");
  EXPECT_EQ(ReadIniValue("B", "b", "", path), "2");
  EXPECT_EQ(ReadIniValue("A", "b", "", path), "");  // keys belong to their own section
}

TEST(IniFile, ValuesAreCutTo254CharactersAndQuotesAreRemoved) {
  TempDir dir;
  const std::string path = dir.File("a.ini");
  WriteText(path, "[A]\nlong=" + std::string(300, 'x') + "\nq=\"C:\\a b\"\n");
  EXPECT_EQ(ReadIniValue("A", "long", "", path), std::string(254, 'x'));
  EXPECT_EQ(ReadIniValue("A", "q", "", path), "C:\\a b");
}

TEST(IniFile, ALineBreakInAValueIsRefusedAndInjectsNothing) {
  TempDir dir;
  const std::string path = dir.File("a.ini");
  EXPECT_TRUE(WriteIniValue("A", "name", "x", path));
  EXPECT_FALSE(WriteIniValue("A", "name", "evil\r\nsamples=1", path));
  EXPECT_FALSE(WriteIniValue("A", "k=v", "x", path));
  EXPECT_FALSE(WriteIniValue("A]", "k", "x", path));
  EXPECT_EQ(ReadText(path), "[A]\r\nname=x\r\n");
}

TEST(IniFile, EmptyPathReadsDefaultsAndWritesNothing) {
  EXPECT_EQ(ReadIniValue("A", "k", "d", ""), "d");
  EXPECT_FALSE(WriteIniValue("A", "k", "d", ""));
}

TEST(IniFile, TextIsWindows1252OnDisk) {
  TempDir dir;
  const std::string path = dir.File("a.ini");
  EXPECT_TRUE(WriteIniValue("A", "name", "Zoë €", path));
  EXPECT_EQ(ReadText(path), "[A]\r\nname=Zo\xEB \x80\r\n");
  EXPECT_EQ(ReadIniValue("A", "name", "", path), "Zoë €");
}

TEST(IniFile, TextToBoolTakesOnlyTrueInAnyCase) {
  EXPECT_TRUE(TextToBool("TRUE"));
  EXPECT_TRUE(TextToBool("True"));
  EXPECT_TRUE(TextToBool("true"));
  EXPECT_FALSE(TextToBool("1"));
  EXPECT_FALSE(TextToBool("yes"));
  EXPECT_FALSE(TextToBool(""));
  EXPECT_FALSE(TextToBool("truex"));
  EXPECT_EQ(BoolToText(true), "true");
  EXPECT_EQ(BoolToText(false), "false");
}

}  // namespace
}  // namespace torvane
