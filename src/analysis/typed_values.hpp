#pragma once
// Values typed into the editing and seek windows, and the refusals of those
// that would do harm: an epoch of 0 ms makes every rate infinite, and a
// scaling factor that is not a number would multiply a channel by 0.

#include <optional>
#include <string_view>

namespace torvane {

// Whether a text starts with a number (blanks, an optional sign, then a
// digit, or a point and a digit): "72.5 kg" does, "", "kg" and "-" do not.
bool StartsWithNumber(std::string_view text);

inline constexpr const char* kSeekOptionsTitle = "Seek Options";
inline constexpr const char* kSeekEpochRefused =
    "The epoch must be a number of milliseconds greater than zero.";

// The epoch (TextEpoch) a text gives, in milliseconds; nothing when the
// text is empty, not a number, or not above 0.
std::optional<double> SeekEpochFromText(std::string_view text);

inline constexpr const char* kScaleOffsetTitle = "Scale and Offset";
inline constexpr const char* kScaleFactorRefused =
    "The scaling factor must be a number. The data has not been changed.";

}  // namespace torvane
