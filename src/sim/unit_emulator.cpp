#include "sim/unit_emulator.hpp"

#include <cmath>

namespace torvane::sim {

namespace {

// A unit that fell behind (the simulator was held up) sends at most this
// much of its backlog at once and skips the rest, as a real unit's buffer
// would overflow.
constexpr double kMaxBacklogSeconds = 2.0;

}  // namespace

std::optional<UnitModel> ParseUnitModel(std::string_view name) {
  if (name == "zra6") return UnitModel::Zra6;
  if (name == "zra6plus") return UnitModel::Zra6Plus;
  if (name == "zra7") return UnitModel::Zra7;
  if (name == "accel") return UnitModel::Accelerometer;
  return std::nullopt;
}

std::string_view UnitModelName(UnitModel model) {
  switch (model) {
    case UnitModel::Zra6:
      return "ZRA6";
    case UnitModel::Zra6Plus:
      return "ZRA6+";
    case UnitModel::Zra7:
      return "ZRA7";
    case UnitModel::Accelerometer:
      return "accelerometer";
  }
  return "";
}

UnitEmulator::UnitEmulator(const UnitOptions& options)
    : options_(options), profile_(options.profile, options.body) {}

void UnitEmulator::Receive(std::string_view bytes, std::uint64_t nowMs) {
  if (options_.faults.silent) return;
  for (const char b : bytes) OnByte(b, nowMs);
}

void UnitEmulator::Reply(std::string bytes, std::uint64_t nowMs, bool identity) {
  const std::uint64_t due = nowMs + (identity ? options_.faults.replyDelayMs : 0);
  if (identity) ++status_.identityQueries;
  replies_.push_back({due, std::move(bytes)});
}

void UnitEmulator::StartStream(std::uint64_t nowMs) {
  status_.streaming = true;
  status_.samplesSent = 0;
  streamStartMs_ = nowMs;
}

void UnitEmulator::StopStream() {
  status_.streaming = false;
}

BodyState UnitEmulator::BodyAt(std::uint64_t sample) const {
  return profile_.At(static_cast<double>(sample) / SampleRateHz());
}

RawSample UnitEmulator::CountsAt(std::uint64_t sample) const {
  return ToRawCounts(BodyAt(sample), options_.sensor, sample);
}

std::unique_ptr<UnitEmulator> MakeUnitEmulator(const UnitOptions& options) {
  switch (options.model) {
    case UnitModel::Zra6:
    case UnitModel::Zra6Plus:
      return MakeByteUnitEmulator(options);
    case UnitModel::Zra7:
      return MakeZra7Emulator(options);
    case UnitModel::Accelerometer:
      return MakeAccelerometerEmulator(options);
  }
  return MakeZra7Emulator(options);
}

std::string UnitEmulator::Produce(std::uint64_t nowMs) {
  std::string out;
  while (!replies_.empty() && replies_.front().dueMs <= nowMs) {
    out += replies_.front().bytes;
    replies_.pop_front();
  }
  if (!status_.streaming || nowMs < streamStartMs_) return out;
  const double rate = SampleRateHz();
  const auto due = static_cast<std::uint64_t>(
                       std::floor(static_cast<double>(nowMs - streamStartMs_) * rate / 1000.0)) +
                   1;
  const auto backlog = static_cast<std::uint64_t>(kMaxBacklogSeconds * rate);
  if (due > status_.samplesSent + backlog) status_.samplesSent = due - backlog;
  std::string stream;
  const std::uint32_t corruptEvery = options_.faults.corruptEvery;
  while (status_.samplesSent < due) {
    const std::uint64_t n = status_.samplesSent++;
    ++status_.samplesSentInAll;
    stream += EncodeSample(n, corruptEvery != 0 && (n + 1) % corruptEvery == 0);
  }
  if (const std::uint32_t every = options_.faults.dropEvery; every != 0) {
    std::string kept;
    for (const char b : stream) {
      if (++streamedBytes_ % every != 0) kept.push_back(b);
    }
    stream.swap(kept);
  }
  return out + stream;
}

}  // namespace torvane::sim
