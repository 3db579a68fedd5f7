// Case folding for typed searches: the letters of European names, and text
// that is not UTF-8 kept as it is.
#include "common/case_folding.hpp"

#include <gtest/gtest.h>

namespace torvane {
namespace {

TEST(CaseFolding, LatinGreekAndCyrillicLettersFoldAndOtherTextStays) {
  EXPECT_EQ(FoldCase("Ann LEE - 72.5"), "ann lee - 72.5");
  EXPECT_EQ(FoldCase("ÅSA ØRJAN ÉLODIE"), "åsa ørjan élodie");
  EXPECT_EQ(FoldCase("× ÷"), "× ÷");  // signs, not letters
  // Latin Extended-A: pairs in both orders, and the letters without one.
  EXPECT_EQ(FoldCase("ŁUKASZ ŽELJKO ĽUBOŠ ŸVES İPEK ı"), "łukasz željko ľuboš ÿves ipek ı");
  EXPECT_EQ(FoldCase("Straße STRAẞE"), "strasse strasse");
  EXPECT_EQ(FoldCase("ΝΊΚΟΣ Νίκος"), "νίκοσ νίκοσ");
  EXPECT_EQ(FoldCase("ИВАН Ёлкин Їжак"), "иван ёлкин їжак");
  // Bytes that are not UTF-8 (a name in Windows-1252) and other scripts pass.
  EXPECT_EQ(FoldCase("Jos\xC9 \xFF"), "jos\xC9 \xFF");
  EXPECT_EQ(FoldCase("王 😀"), "王 😀");
}

}  // namespace
}  // namespace torvane
