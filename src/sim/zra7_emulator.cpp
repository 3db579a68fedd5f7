// The ZRA7: two-letter text commands (or "D2=" and a value) ended by a
// carriage return; comma-separated replies; "#" frames at 600 Hz.
#include <cstdlib>

#include "sim/frame_encoding.hpp"
#include "sim/unit_emulator.hpp"

namespace torvane::sim {

namespace {

constexpr double kZra7RateHz = 600.0;
constexpr std::size_t kMaxCommandLength = 64;

class Zra7Emulator final : public UnitEmulator {
 public:
  using UnitEmulator::UnitEmulator;

 protected:
  void OnByte(char byte, std::uint64_t nowMs) override {
    if (byte == '\r' || byte == '\n') {
      Command(line_, nowMs);
      line_.clear();
    } else if (line_.size() < kMaxCommandLength) {
      line_.push_back(byte);
    }
  }

  std::string EncodeSample(std::uint64_t sample, bool corrupt) override {
    const RawSample raw = CountsAt(sample);
    const auto clip = [](std::int64_t v) { return v < 0 ? 0 : v > 65535 ? 65535 : v; };
    const std::array<std::int64_t, 4> force = SplitForce(clip(raw.force));
    const std::array<std::int64_t, 6> fields{
        force[0], force[1], force[2], force[3], clip(raw.displacement), 0};
    return EncodeZra7Frame(fields, static_cast<std::uint32_t>(sample), corrupt ? 1 : 0);
  }

  double SampleRateHz() const override { return kZra7RateHz; }

 private:
  void Command(std::string text, std::uint64_t nowMs) {
    while (!text.empty() && text.front() == ' ') text.erase(0, 1);
    while (!text.empty() && text.back() == ' ') text.pop_back();
    if (text == "VO") {
      Reply(EncodeZra7Identity(options_.zra7Firmware, options_.zra7Serial), nowMs, true);
    } else if (text == "VH") {
      Reply(EncodeZra7Parameters(), nowMs, false);
    } else if (text == "U1") {
      StartStream(nowMs);
    } else if (text == "U0") {
      StopStream();
    } else if (text.rfind("D2=", 0) == 0) {
      status_.brakePercent = std::strtod(text.c_str() + 3, nullptr) * 100.0 / 4095.0;
    }
  }

  std::string line_;
};

}  // namespace

std::unique_ptr<UnitEmulator> MakeZra7Emulator(const UnitOptions& options) {
  return std::make_unique<Zra7Emulator>(options);
}

}  // namespace torvane::sim
