#pragma once
// Letter case folded out of UTF-8 text, for searches that people type: an
// athlete's name found whatever the case of either side, in the Latin,
// Greek and Cyrillic letters of European names ("ÅSA" finds "Åsa", "łukasz"
// finds "Łukasz", "STRASSE" finds "Straße", "иван" finds "Иван"). Bytes
// that are not UTF-8 pass through unchanged.

#include <string>
#include <string_view>

namespace torvane {

std::string FoldCase(std::string_view text);

}  // namespace torvane
