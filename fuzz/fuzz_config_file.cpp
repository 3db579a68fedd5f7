// The configuration file reader and the number conversions on any bytes:
// no crash, no read or write outside what they were given.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include <unistd.h>

#include "common/number_text.hpp"
#include "config/ini_file.hpp"
#include "config/settings_io.hpp"
#include "common/text_file.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  static const std::string path = [] {
    char name[] = "/tmp/torvane-fuzz-ini-XXXXXX";
    const int fd = mkstemp(name);
    if (fd >= 0) close(fd);
    return std::string(name);
  }();
  torvane::WriteFileReplacing(path, text);
  torvane::SettingsRecord settings;
  torvane::LoadSettingsReadOnly(settings, path, "/tmp");
  const double v = torvane::LeadingNumber(text);
  (void)torvane::FormatNumber(v, "##0.0##");
  (void)torvane::ShortNumericText(v);
  (void)torvane::GeneralSingleText(static_cast<float>(v));
  (void)torvane::Utf8ToCp1252(torvane::Cp1252ToUtf8(text));
  return 0;
}
