#pragma once
// The simulated units: what a ZRA6, ZRA6+, ZRA7 or accelerometer answers to
// the bytes it receives, and what it streams as time passes. The emulators
// keep no clock of their own: they are told the time with every call, so
// that a test can drive them on simulated time and the simulator on the
// real clock. Sample times come from the sample counter.

#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "sim/movement_profile.hpp"
#include "sim/sensor_model.hpp"

namespace torvane::sim {

enum class UnitModel { Zra6, Zra6Plus, Zra7, Accelerometer };

std::optional<UnitModel> ParseUnitModel(std::string_view name);  // zra6|zra6plus|zra7|accel
std::string_view UnitModelName(UnitModel model);                 // "ZRA6", "ZRA6+", …

// Faults a test can ask for.
struct FaultOptions {
  bool silent = false;                // answers nothing, streams nothing
  std::uint32_t replyDelayMs = 0;     // identity replies come this late
  std::uint32_t corruptEvery = 0;     // every n-th frame is corrupted (0: none)
  std::uint32_t dropEvery = 0;        // every n-th streamed byte is lost (0: none)
  double disconnectAfterSeconds = 0;  // the unit goes away (0: never); the runner acts on it
};

struct UnitOptions {
  UnitModel model = UnitModel::Zra7;
  ProfileKind profile = ProfileKind::Cmj;
  ProfileParameters body;
  SensorModel sensor;
  int versionMajor = 2;  // ZRA6 and ZRA6+ identity
  int versionMinor = 1;
  std::string serialDigits = "123456";
  std::string zra7Firmware = "V3.10";
  std::string zra7Serial = "700123";
  double accelerometerRateHz = 200;
  FaultOptions faults;
};

struct UnitStatus {
  bool streaming = false;
  double samplePeriodMs = 5;      // ZRA6 and ZRA6+: as last commanded
  std::uint8_t channelMask = 0;   // ZRA6 and ZRA6+
  double brakePercent = 0;        // the level last commanded
  std::uint64_t samplesSent = 0;  // since the stream last started
  std::uint64_t samplesSentInAll = 0;  // over every stream of the run
  std::uint64_t identityQueries = 0;
};

class UnitEmulator {
 public:
  explicit UnitEmulator(const UnitOptions& options);
  virtual ~UnitEmulator() = default;

  // Bytes from the program.
  void Receive(std::string_view bytes, std::uint64_t nowMs);
  // Everything the unit has to send up to `nowMs`: replies that are due and
  // the samples of the stream.
  std::string Produce(std::uint64_t nowMs);

  const UnitStatus& status() const { return status_; }
  const UnitOptions& options() const { return options_; }
  const MovementProfile& profile() const { return profile_; }

 protected:
  virtual void OnByte(char byte, std::uint64_t nowMs) = 0;
  // The stream's next sample, number `sample` counted from the start.
  virtual std::string EncodeSample(std::uint64_t sample, bool corrupt) = 0;
  virtual double SampleRateHz() const = 0;

  void Reply(std::string bytes, std::uint64_t nowMs, bool identity);
  void StartStream(std::uint64_t nowMs);
  void StopStream();
  // The body and its counts at sample `sample` of the stream.
  BodyState BodyAt(std::uint64_t sample) const;
  RawSample CountsAt(std::uint64_t sample) const;

  UnitOptions options_;
  MovementProfile profile_;
  UnitStatus status_;

 private:
  struct Pending {
    std::uint64_t dueMs;
    std::string bytes;
  };
  std::deque<Pending> replies_;
  std::uint64_t streamStartMs_ = 0;
  std::uint64_t streamedBytes_ = 0;
};

std::unique_ptr<UnitEmulator> MakeUnitEmulator(const UnitOptions& options);

// The emulator of each family, made by MakeUnitEmulator.
std::unique_ptr<UnitEmulator> MakeByteUnitEmulator(const UnitOptions& options);
std::unique_ptr<UnitEmulator> MakeZra7Emulator(const UnitOptions& options);
std::unique_ptr<UnitEmulator> MakeAccelerometerEmulator(const UnitOptions& options);

}  // namespace torvane::sim
