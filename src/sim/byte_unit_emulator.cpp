// The ZRA6 and ZRA6+: one command byte of 200 or more, a parameter byte for
// most commands; frames of the sync byte and 12-bit values.
#include <vector>

#include "sim/frame_encoding.hpp"
#include "sim/unit_emulator.hpp"

namespace torvane::sim {

namespace {

constexpr std::uint8_t kBrake = 203;
constexpr std::uint8_t kPeriod = 204;
constexpr std::uint8_t kMask = 205;
constexpr std::uint8_t kIdentity = 207;
constexpr std::int64_t kMidScale = 2048;  // channels 2 and 3 carry nothing here

class ByteUnitEmulator final : public UnitEmulator {
 public:
  using UnitEmulator::UnitEmulator;

 protected:
  void OnByte(char byte, std::uint64_t nowMs) override {
    const auto b = static_cast<std::uint8_t>(byte);
    if (pending_ != 0) {
      Command(pending_, b, nowMs);
      pending_ = 0;
    } else if (b == kIdentity) {
      Reply(EncodeByteIdentityReply(options_.versionMajor, options_.versionMinor,
                                    options_.serialDigits),
            nowMs, true);
    } else if (b == kBrake || b == kPeriod || b == kMask) {
      pending_ = b;
    }
  }

  std::string EncodeSample(std::uint64_t sample, bool corrupt) override {
    const RawSample raw = CountsAt(sample);
    std::vector<std::int64_t> values;
    const auto clip = [](std::int64_t v) { return v < 0 ? 0 : v > 4095 ? 4095 : v; };
    const std::uint8_t mask = status_.channelMask;
    if (mask & 1) values.push_back(clip(raw.displacement) | (corrupt ? 0x1000 : 0));
    if (mask & 2) values.push_back(clip(raw.force));
    if (mask & 4) values.push_back(kMidScale);
    if (mask & 8) values.push_back(kMidScale);
    return EncodeZra6Frame(values);
  }

  double SampleRateHz() const override { return 1000.0 / status_.samplePeriodMs; }

 private:
  void Command(std::uint8_t code, std::uint8_t parameter, std::uint64_t nowMs) {
    switch (code) {
      case kBrake:
        status_.brakePercent = parameter * 100.0 / 255.0;
        break;
      case kPeriod:
        // A period of 0 ms cannot be kept; the last one stays.
        if (parameter != 0) status_.samplePeriodMs = parameter;
        break;
      case kMask:
        status_.channelMask = parameter & 0x0F;
        if (status_.channelMask == 0) {
          StopStream();
        } else {
          StartStream(nowMs);
        }
        break;
      default:
        break;
    }
  }

  std::uint8_t pending_ = 0;
};

}  // namespace

std::unique_ptr<UnitEmulator> MakeByteUnitEmulator(const UnitOptions& options) {
  return std::make_unique<ByteUnitEmulator>(options);
}

}  // namespace torvane::sim
