#pragma once
// The field and number rules of the system's text files: fields split at
// commas (numbers also at blanks), leading blanks skipped, a quoted text taken
// up to its closing quote; and a line cursor over a whole file in memory that
// accepts CR LF, LF or a lone CR.

#include <cstddef>
#include <cstring>
#include <optional>
#include <string_view>

namespace torvane {

inline bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

// A decimal number at the start of `text` ("-0.1234", "+5", ".5", "1E+03"),
// correctly rounded to single precision; sets `used` to the characters taken.
// No number (also "inf" and "nan", which no trial file holds) gives nullopt,
// as does a magnitude beyond single precision. Tiny magnitudes become 0 or a
// subnormal as the conversion gives them.
std::optional<float> ParseSingle(std::string_view text, std::size_t& used);
// The same on a range: the end of the number, or nullptr when there is none.
// Plain decimals ("-0.1234", "784.56000") take a short exact path; anything
// else goes through the general conversion, with the same result.
const char* ParseSingleAt(const char* p, const char* end, float& value);
std::optional<double> ParseDouble(std::string_view text, std::size_t& used);

// Reads the fields of one header line, one at a time.
class FieldReader {
 public:
  explicit FieldReader(std::string_view line) : line_(line) {}
  // A text field: quoted up to the closing quote, or up to the next comma
  // with blanks around it removed. Nothing when the line has no more fields.
  std::optional<std::string_view> Text();
  // A number field, ended by a comma or a blank. Nothing when the line has no
  // more fields or the field is not a number.
  std::optional<double> Number();
  bool AtEnd();

 private:
  void SkipBlanks();
  void SkipSeparator();
  std::string_view line_;
  std::size_t pos_ = 0;
};

// The lines of a text in memory, without their line ends; `number` is the
// 1-based number of the line last returned.
class LineCursor {
 public:
  explicit LineCursor(std::string_view text) : p_(text.data()), end_(text.data() + text.size()) {}
  bool Next(std::string_view& line) {
    if (p_ >= end_) return false;
    const char* start = p_;
    const char* lf =
        static_cast<const char*>(std::memchr(start, '\n', static_cast<std::size_t>(end_ - start)));
    const char* stop = lf ? lf : end_;
    const char* cr =
        static_cast<const char*>(std::memchr(start, '\r', static_cast<std::size_t>(stop - start)));
    if (cr) {
      line = std::string_view(start, static_cast<std::size_t>(cr - start));
      p_ = cr + 1;
      if (p_ < end_ && *p_ == '\n') ++p_;
    } else {
      line = std::string_view(start, static_cast<std::size_t>(stop - start));
      p_ = lf ? lf + 1 : end_;
    }
    ++number_;
    return true;
  }
  std::size_t number() const { return number_; }
  std::size_t remaining() const { return static_cast<std::size_t>(end_ - p_); }
  const char* position() const { return p_; }

 private:
  const char* p_;
  const char* end_;
  std::size_t number_ = 0;
};

}  // namespace torvane
