#include "common/number_text.hpp"

#include <gtest/gtest.h>

namespace torvane {
namespace {

TEST(LeadingNumber, TakesTheNumberAtTheStartAndZeroOtherwise) {
  EXPECT_EQ(LeadingNumber("abc"), 0.0);
  EXPECT_EQ(LeadingNumber(""), 0.0);
  EXPECT_EQ(LeadingNumber("   72.5 kg"), 72.5);
  EXPECT_EQ(LeadingNumber(" .5"), 0.5);
  EXPECT_EQ(LeadingNumber("-.25"), -0.25);
  EXPECT_EQ(LeadingNumber("+3"), 3.0);
  EXPECT_EQ(LeadingNumber("1.5e3x"), 1500.0);
  EXPECT_EQ(LeadingNumber("2E-2"), 0.02);
  EXPECT_EQ(LeadingNumber("7e"), 7.0);   // an exponent without digits is not part of it
  EXPECT_EQ(LeadingNumber("-"), 0.0);
  EXPECT_EQ(LeadingNumber("."), 0.0);
  EXPECT_EQ(LeadingNumber("0.009"), 0.009);
  EXPECT_EQ(LeadingNumber("1e999"), 0.0);  // no usable number
  EXPECT_DOUBLE_EQ(LeadingNumber(std::string(300, '9')), 1e300);
  EXPECT_EQ(LeadingNumber(std::string(400, '9')), 0.0);
  EXPECT_DOUBLE_EQ(LeadingNumber(std::string(200, '1') + "e-190"), 1.1111111111111111e9);
}

TEST(RoundHalfEven, HalvesGoToTheEvenNeighbour) {
  EXPECT_EQ(ToInt16(2.5), 2);
  EXPECT_EQ(ToInt16(3.5), 4);
  EXPECT_EQ(ToInt16(-2.5), -2);
  EXPECT_EQ(ToInt16(2.6), 3);
  EXPECT_EQ(ToInt32(0.5), 0);
  EXPECT_EQ(ToInt32(1.5), 2);
  EXPECT_EQ(ToInt16(1e9), 32767);
  EXPECT_EQ(ToInt32(-1e12), INT32_MIN);
}

struct PatternCase {
  double value;
  const char* pattern;
  const char* text;
};

TEST(FormatNumber, PatternsOfTheSystem) {
  const PatternCase cases[] = {
      {2.0, "0.0", "2.0"},          {1.96, "0", "2"},           {0.5, "0", "1"},
      {-0.5, "0", "-1"},            {2.5, "0", "3"},            {0.0, "0.000", "0.000"},
      {0.5123, "0.000", "0.512"},   {0.0005, "0.000", "0.001"}, {-0.0004, "0.000", "0.000"},
      {2.675, "0.00", "2.68"},      {1.005, "0.00", "1.01"},    {-1.25, "0.0", "-1.3"},
      {0.45, "#0.000", "0.450"},    {-2.3456, "#0.000", "-2.346"},
      {1234.56, "###0.0", "1234.6"}, {0.04, "###0.0", "0.0"},   {99999.95, "####0.0", "100000.0"},
      {5.0, "##000", "005"},        {12345.5, "##000", "12346"}, {-5.0, "##000", "-005"},
      {3.14159, "00.00", "03.14"},  {123.456, "00.00", "123.46"}, {1.5, "00.000", "01.500"},
      {1.5, "000.000", "001.500"},  {2.0, "0.0##", "2.0"},      {2.12345, "0.0##", "2.123"},
      {2.1, "0.0##", "2.1"},        {0.00012, "0.0#########", "0.00012"},
      {3.0, "0.########", "3"},     {0.125, "0.########", "0.125"},
      {0.009, "0.000000", "0.009000"}, {3.0, "0.00000000", "3.00000000"},
      {0.1f, "0.0000", "0.1000"},   {0.30000001192092896, "0.00000", "0.30000"},
      {1e20, "0", "100000000000000000000"}, {9.9996, "0.000", "10.000"},
      {0.99, "#0.0#", "0.99"},      {12.5, "##0.0#", "12.5"},  {0.1234, "##0.0##", "0.123"},
  };
  for (const PatternCase& c : cases) {
    EXPECT_EQ(FormatNumber(c.value, c.pattern), c.text) << c.value << " with " << c.pattern;
  }
}

TEST(ShortNumericText, LeadingBlankNoZeroBeforeThePoint) {
  EXPECT_EQ(ShortNumericText(0.5), " .5");
  EXPECT_EQ(ShortNumericText(-0.25), "-.25");
  EXPECT_EQ(ShortNumericText(100.0), " 100");
  EXPECT_EQ(ShortNumericText(0.0), " 0");
  EXPECT_EQ(ShortNumericText(-0.0), " 0");
  EXPECT_EQ(ShortNumericText(static_cast<double>(0.05f)), " .05");
  EXPECT_EQ(ShortNumericText(static_cast<double>(0.009f)), " .009");
  EXPECT_EQ(ShortNumericText(static_cast<double>(72.3f)), " 72.3");
  EXPECT_EQ(ShortNumericText(2047.5), " 2047.5");
  EXPECT_EQ(ShortNumericText(1.0 / 3.0), " .3333333");
  EXPECT_EQ(ShortNumericText(12345678.0), " 1.234568E+07");
  EXPECT_EQ(ShortNumericText(0.000015), " 1.5E-05");
  EXPECT_EQ(ShortNumericText(0.00015), " .00015");
  EXPECT_EQ(ShortNumericText(9999999.0), " 9999999");
  EXPECT_EQ(ShortNumericText(std::int64_t{-7}), "-7");
  EXPECT_EQ(ShortNumericText(std::int64_t{115200}), " 115200");
  EXPECT_EQ(ShortNumericTextUnsigned(0.5), ".5");
  EXPECT_EQ(ShortNumericTextUnsigned(-0.25), "-.25");
}

TEST(GeneralSingleText, SevenDigitsAndAZeroBeforeThePoint) {
  EXPECT_EQ(GeneralSingleText(0.5f), "0.5");
  EXPECT_EQ(GeneralSingleText(-1.25f), "-1.25");
  EXPECT_EQ(GeneralSingleText(100.0f), "100");
  EXPECT_EQ(GeneralSingleText(0.0f), "0");
  EXPECT_EQ(GeneralSingleText(-0.0f), "0");
  EXPECT_EQ(GeneralSingleText(0.1f), "0.1");
  EXPECT_EQ(GeneralSingleText(784.8f), "784.8");
  EXPECT_EQ(GeneralSingleText(-0.0123456789f), "-0.01234568");
  EXPECT_EQ(GeneralSingleText(1.0e10f), "1E+10");
  EXPECT_EQ(GeneralSingleText(3.0e-7f), "3E-07");
}

TEST(PrintZone, PadsToTheNextFourteenColumnZone) {
  std::string line = "0.1234";
  PadToNextPrintZone(line);
  EXPECT_EQ(line, "0.1234        ");  // 8 blanks after 6 characters
  line = std::string(14, 'x');
  PadToNextPrintZone(line);
  EXPECT_EQ(line.size(), 28u);  // at least one blank
  line = std::string(13, 'x');
  PadToNextPrintZone(line);
  EXPECT_EQ(line.size(), 14u);
  line.clear();
  PadToNextPrintZone(line);
  EXPECT_EQ(line.size(), 14u);
}

}  // namespace
}  // namespace torvane
