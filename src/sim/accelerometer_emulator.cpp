// The accelerometer on its serial port: "1" switches its stream of "X="
// readings in g.
#include "common/physical_constants.hpp"
#include "sim/frame_encoding.hpp"
#include "sim/unit_emulator.hpp"

namespace torvane::sim {

namespace {

// The accelerometer: "1" switches its stream of "X=" readings in g.
class AccelerometerEmulator final : public UnitEmulator {
 public:
  using UnitEmulator::UnitEmulator;

 protected:
  void OnByte(char byte, std::uint64_t nowMs) override {
    if (byte != '1') return;
    if (status_.streaming) {
      StopStream();
    } else {
      StartStream(nowMs);
    }
  }

  std::string EncodeSample(std::uint64_t sample, bool corrupt) override {
    if (corrupt) return "#@!\r\n";  // line noise: no reading in it
    // At rest the sensor reads -1 g; in free fall 0.
    const double reading =
        -BodyAt(sample).acceleration / kStandardGravity - 1.0 +
        options_.sensor.noise * 0.002 * NoiseValue(options_.sensor.seed, sample, 2);
    return EncodeAccelerometerReading(reading);
  }

  double SampleRateHz() const override {
    return options_.accelerometerRateHz > 0 ? options_.accelerometerRateHz : 1.0;
  }
};

}  // namespace

std::unique_ptr<UnitEmulator> MakeAccelerometerEmulator(const UnitOptions& options) {
  return std::make_unique<AccelerometerEmulator>(options);
}

}  // namespace torvane::sim
