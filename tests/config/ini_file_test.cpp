#include "config/ini_file.hpp"

#include <gtest/gtest.h>

#include "test_support.hpp"

namespace torvane {
namespace {

using testing::ReadText;
using testing::WriteText;

class IniFile : public ::testing::Test {
 protected:
  std::string Read(const char* section, const char* key, const char* def = "") {
    return ReadIniValue(section, key, def, path);
  }
  testing::TempDir dir;
  const std::string path = dir.File("a.ini");
};

TEST_F(IniFile, MissingFileSectionOrKeyGivesTheDefaultAndWritesIt) {
  EXPECT_EQ(Read("Data Collection", "samples", "1000"), "1000");
  EXPECT_EQ(ReadText(path), "[Data Collection]\r\nsamples=1000\r\n");
  EXPECT_EQ(Read("Data Collection", "frequency", "500"), "500");
  EXPECT_EQ(Read("Miscellaneous", "soundstart", "false"), "false");
  EXPECT_EQ(ReadText(path),
            "[Data Collection]\r\nsamples=1000\r\nfrequency=500\r\n"
            "[Miscellaneous]\r\nsoundstart=false\r\n");
}

TEST_F(IniFile, EmptyValueIsReplacedByTheDefaultAndAnEmptyDefaultWritesNothing) {
  WriteText(path, "[S]\r\nk=\r\n");
  EXPECT_EQ(Read("S", "k", "7"), "7");
  EXPECT_EQ(Read("S", "missing"), "");
  EXPECT_EQ(ReadText(path), "[S]\r\nk=7\r\n");
}

TEST_F(IniFile, NamesMatchWithoutRegardToCaseAndSpacing) {
  WriteText(path, "  [ data collection ]  \nSAMPLES =  250  \n  ZRA7input=true\n");
  EXPECT_EQ(Read("Data Collection", "samples", "1000"), "250");
  EXPECT_EQ(Read("Data Collection", "ZRA7Input", "false"), "true");
  // A write replaces the key where it stands, under its old spelling's line.
  EXPECT_TRUE(WriteIniValue("DATA COLLECTION", "Samples", "300", path));
  EXPECT_EQ(ReadText(path), "  [ data collection ]  \r\nSamples=300\r\n  ZRA7input=true\r\n");
}

TEST_F(IniFile, DuplicateKeysAndSectionsUseTheFirst) {
  WriteText(path, "[S]\nk=1\nk=2\n[T]\nx=0\n[S]\nk=3\n");
  EXPECT_EQ(Read("S", "k", "9"), "1");
  EXPECT_TRUE(WriteIniValue("S", "k", "5", path));
  EXPECT_EQ(ReadText(path), "[S]\r\nk=5\r\nk=2\r\n[T]\r\nx=0\r\n[S]\r\nk=3\r\n");
}

TEST_F(IniFile, NewKeysGoAtTheEndOfTheirSectionBeforeBlankLines) {
  WriteText(path, "[A]\r\na=1\r\n\r\n[B]\r\nb=2");
  EXPECT_TRUE(WriteIniValue("A", "c", "3", path));
  EXPECT_TRUE(WriteIniValue("B", "d", "4", path));
  EXPECT_TRUE(WriteIniValue("C", "e", "5", path));
  EXPECT_EQ(ReadText(path), "[A]\r\na=1\r\nc=3\r\n\r\n[B]\r\nb=2\r\nd=4\r\n[C]\r\ne=5\r\n");
}

TEST_F(IniFile, CrOnlyAndLfOnlyLinesAreRead) {
  for (const char* text : {"[A]\ra=1\r[B]\rb=2\r", "[A]\na=1\n[B]\nb=2\n"}) {
    WriteText(path, text);
    EXPECT_EQ(Read("A", "a"), "1");
    EXPECT_EQ(Read("B", "b"), "2");
    EXPECT_EQ(Read("A", "b"), "");  // keys belong to their own section
  }
}

TEST_F(IniFile, ValuesAreCutTo254CharactersAndQuotesAreRemoved) {
  WriteText(path, "[A]\nlong=" + std::string(300, 'x') + "\nq=\"C:\\a b\"\n");
  EXPECT_EQ(Read("A", "long"), std::string(254, 'x'));
  EXPECT_EQ(Read("A", "q"), "C:\\a b");
}

TEST_F(IniFile, ALineBreakInAValueIsRefusedAndInjectsNothing) {
  EXPECT_TRUE(WriteIniValue("A", "name", "x", path));
  EXPECT_FALSE(WriteIniValue("A", "name", "evil\r\nsamples=1", path));
  EXPECT_FALSE(WriteIniValue("A", "k=v", "x", path));
  EXPECT_FALSE(WriteIniValue("A]", "k", "x", path));
  EXPECT_EQ(ReadText(path), "[A]\r\nname=x\r\n");
  // Without a path nothing is read or written.
  EXPECT_EQ(ReadIniValue("A", "k", "d", ""), "d");
  EXPECT_FALSE(WriteIniValue("A", "k", "d", ""));
}

TEST_F(IniFile, TextIsWindows1252OnDisk) {
  EXPECT_TRUE(WriteIniValue("A", "name", "Zoë €", path));
  EXPECT_EQ(ReadText(path), "[A]\r\nname=Zo\xEB \x80\r\n");
  EXPECT_EQ(Read("A", "name"), "Zoë €");
}

TEST(IniText, TextToBoolTakesOnlyTrueInAnyCase) {
  for (const char* yes : {"TRUE", "True", "true"}) EXPECT_TRUE(TextToBool(yes)) << yes;
  for (const char* no : {"1", "yes", "", "truex"}) EXPECT_FALSE(TextToBool(no)) << no;
  EXPECT_EQ(BoolToText(true), "true");
  EXPECT_EQ(BoolToText(false), "false");
}

}  // namespace
}  // namespace torvane
