#include "acquisition/stream_decoders.hpp"

#include <algorithm>
#include <string_view>

#include "common/number_text.hpp"

namespace torvane {

namespace {

constexpr std::int64_t kWordRange = 65536;

std::string_view TrimLeading(std::string_view text) {
  const std::size_t p = text.find_first_not_of(' ');
  return p == std::string_view::npos ? std::string_view() : text.substr(p);
}

std::string_view Trim(std::string_view text) {
  text = TrimLeading(text);
  const std::size_t p = text.find_last_not_of(' ');
  return p == std::string_view::npos ? std::string_view() : text.substr(0, p + 1);
}

std::size_t FindSync(const std::string& text, std::size_t from) {
  for (std::size_t i = from; i < text.size(); ++i) {
    const auto b = static_cast<std::uint8_t>(text[i]);
    if (b == kZra6SyncByte || b == kZra6SyncByteLower) return i;
  }
  return std::string::npos;
}

std::int32_t Zra6Value(const std::string& text, std::size_t at) {
  return static_cast<std::uint8_t>(text[at]) * 256 + static_cast<std::uint8_t>(text[at + 1]);
}

// One comma field as the ZRA7 field helpers read it: the text is trimmed of
// blanks, the field ends at the first comma that is not its first
// character, and the rest starts after that comma without leading blanks.
std::string_view NextField(std::string_view& rest) {
  const std::string_view t = Trim(rest);
  if (t.size() >= 2) {
    if (const std::size_t c = t.find(',', 1); c != std::string_view::npos) {
      rest = TrimLeading(t.substr(c + 1));
      return t.substr(0, c);
    }
  }
  rest = {};
  return {};
}

// A field's count: the leading number rounded to a 32-bit integer; the unit
// sends 16-bit values that may read as negative.
std::int64_t Zra7Count(std::string_view field) {
  std::int64_t v = ToInt32(LeadingNumber(field));
  if (v < 0) v += kWordRange;
  return v;
}

// "X=" in either letter case, from `from`.
std::size_t FindReadingMarker(const std::string& text, std::size_t from) {
  for (std::size_t i = from; i + 1 < text.size(); ++i) {
    if ((text[i] == 'X' || text[i] == 'x') && text[i + 1] == '=') return i;
  }
  return std::string::npos;
}

}  // namespace

Calibration CalibrationOf(const SettingsRecord& settings) {
  return {settings.DispCalSlope, settings.DispInt, settings.ForceCalSlope, settings.ForceInt};
}

float CalibratedDisplacement(const Calibration& c, double rawCount) {
  return static_cast<float>((rawCount - c.dispOffset) * c.dispSlope);
}

float CalibratedForce(const Calibration& c, double rawCount) {
  return static_cast<float>((rawCount - c.forceOffset) * c.forceSlope);
}

namespace {

// Whether the frame at `p` can be judged, and whether it is whole: its
// values within 12 bits and the next frame's sync byte right after it.
enum class FrameVerdict { Whole, NotWhole, Undecided };

FrameVerdict JudgeZra6Frame(const std::string& text, std::size_t p, std::size_t length) {
  if (p + length >= text.size()) return FrameVerdict::Undecided;
  if (FindSync(text, p + length) != p + length) return FrameVerdict::NotWhole;
  for (std::size_t v = p + 1; v < p + length; v += 2) {
    if (Zra6Value(text, v) >= kZra6ValueLimit) return FrameVerdict::NotWhole;
  }
  return FrameVerdict::Whole;
}

}  // namespace

void DecodeZra6Frames(std::string& streamText, std::int32_t& searchStart, TrialDataSet& trial,
                      bool withForce, std::int32_t samples, DecodeCounts* counts) {
  std::vector<std::int32_t>& raw = trial.RawSampleBuffer;
  const std::size_t length = withForce ? 5 : 3;  // sync byte and values
  const std::int64_t perSample = withForce ? 2 : 1;
  const auto store = [&](std::int32_t displacement, std::int32_t force) {
    const std::int64_t index = trial.RawSampleIndex;
    if (index < 0 || index + perSample > static_cast<std::int64_t>(raw.size())) return false;
    raw[static_cast<std::size_t>(index)] = displacement;
    if (withForce) raw[static_cast<std::size_t>(index + 1)] = force;
    trial.RawSampleIndex = static_cast<std::int32_t>(index + perSample);
    trial.SampleCount += 1;
    return true;
  };
  while (trial.SampleCount < samples) {
    const std::size_t due = searchStart < 1 ? 0 : static_cast<std::size_t>(searchStart) - 1;
    // The first whole frame from where the next one is due.
    std::size_t p = due;
    FrameVerdict verdict = FrameVerdict::Undecided;
    for (p = FindSync(streamText, due); p != std::string::npos; p = FindSync(streamText, p + 1)) {
      verdict = JudgeZra6Frame(streamText, p, length);
      if (verdict != FrameVerdict::NotWhole) break;
    }
    if (p == std::string::npos || verdict == FrameVerdict::Undecided) return;  // more to come
    const std::int64_t index = trial.RawSampleIndex;
    if (index < 0 || index + perSample > static_cast<std::int64_t>(raw.size())) return;
    if (p > due) {
      // Not whole frames: the last whole sample stands for each period.
      if (counts) ++counts->rejected;
      if (index >= perSample) {
        const std::size_t periods = (p - due + length / 2) / length;
        const std::int32_t d = raw[static_cast<std::size_t>(index - perSample)];
        const std::int32_t f = withForce ? raw[static_cast<std::size_t>(index - 1)] : 0;
        for (std::size_t k = 0; k < periods && trial.SampleCount < samples; ++k) {
          if (!store(d, f)) return;
          if (counts) ++counts->held;
        }
        if (trial.SampleCount >= samples) {
          searchStart = static_cast<std::int32_t>(p + 1);
          return;
        }
      }
    }
    store(Zra6Value(streamText, p + 1), withForce ? Zra6Value(streamText, p + 3) : 0);
    searchStart = static_cast<std::int32_t>(p + 1 + length);
    if (counts) ++counts->accepted;
  }
}

void ScaleZra6Samples(TrialDataSet& trial, const Calibration& calibration,
                      std::int32_t fromRawIndex, bool withForce) {
  const std::vector<std::int32_t>& raw = trial.RawSampleBuffer;
  const std::int64_t end = trial.RawSampleIndex;
  const std::int64_t channelSize =
      static_cast<std::int64_t>(std::min(trial.Displacement.size(), trial.Force.size()));
  const auto rawSize = static_cast<std::int64_t>(raw.size());
  const std::int64_t from = std::max<std::int64_t>(fromRawIndex, 0);
  if (!withForce) {
    for (std::int64_t r = from; r <= end && r < rawSize && r < channelSize; ++r) {
      const auto i = static_cast<std::size_t>(r);
      trial.Displacement[i] = CalibratedDisplacement(calibration, raw[i]);
    }
    return;
  }
  for (std::int64_t r = from; r <= end && r + 1 < rawSize && r / 2 < channelSize; r += 2) {
    const auto s = static_cast<std::size_t>(r / 2);
    const auto i = static_cast<std::size_t>(r);
    trial.Displacement[s] = CalibratedDisplacement(calibration, raw[i]);
    trial.Force[s] = CalibratedForce(calibration, raw[i + 1]);
  }
}

void CompactStreamText(std::string& text, std::int32_t& searchStart) {
  if (searchStart <= 1) return;
  const std::size_t drop = std::min(text.size(), static_cast<std::size_t>(searchStart) - 1);
  text.erase(0, drop);
  searchStart = 1;
}

std::int32_t FrameDivider(std::int32_t maxInterfaceFrequency, std::int32_t frequency) {
  if (frequency <= 0) return 1;
  const double d = RoundHalfEven(static_cast<double>(maxInterfaceFrequency) / frequency);
  return d < 1 ? 1 : ToInt32(d);
}

namespace {

// Stores one frame's values at RawSampleIndex, and a sample from every
// d-th frame; false when the trial has no room (or wants no more samples).
bool StoreZra7Slot(TrialDataSet& trial, const std::int64_t (&values)[6],
                   const Calibration& calibration, std::int64_t d, std::int32_t samples,
                   std::int32_t rawBound, const AfterSample& afterSample) {
  const std::int64_t at = trial.RawSampleIndex;
  const std::size_t rawSize =
      std::min({trial.RawForce1.size(), trial.RawForce2.size(), trial.RawForce3.size(),
                trial.RawForce4.size(), trial.RawDisplacement.size(), trial.RawChannel6.size()});
  const auto channelSize =
      static_cast<std::int64_t>(std::min(trial.Displacement.size(), trial.Force.size()));
  if (at > rawBound || trial.SampleCount >= samples) return false;
  if (at < 0 || static_cast<std::size_t>(at) >= rawSize) return false;
  if (static_cast<std::int64_t>(trial.SampleCount) + 1 >= channelSize) return false;
  const auto r = static_cast<std::size_t>(at);
  trial.RawForce1[r] = static_cast<std::int32_t>(values[0]);
  trial.RawForce2[r] = static_cast<std::int32_t>(values[1]);
  trial.RawForce3[r] = static_cast<std::int32_t>(values[2]);
  trial.RawForce4[r] = static_cast<std::int32_t>(values[3]);
  trial.RawDisplacement[r] = static_cast<std::int32_t>(values[4]);
  trial.RawChannel6[r] = static_cast<std::int32_t>(values[5]);
  if (at > 1 && at % d == 0) {
    trial.SampleCount += 1;
    const auto s = static_cast<std::size_t>(trial.SampleCount);
    trial.Displacement[s] = CalibratedDisplacement(calibration, static_cast<double>(values[4]));
    trial.Force[s] = CalibratedForce(
        calibration, static_cast<double>(values[0] + values[1] + values[2] + values[3]));
    if (afterSample) afterSample();
  }
  trial.RawSampleIndex += 1;
  if (trial.SampleCount == 3) {
    // The first samples of a stream repeat the first that came in whole.
    for (std::size_t i = 0; i < 3; ++i) {
      trial.Displacement[i] = trial.Displacement[3];
      trial.Force[i] = trial.Force[3];
    }
  }
  return true;
}

}  // namespace

void DecodeZra7Frames(std::string& buffer, TrialDataSet& trial, const Calibration& calibration,
                      std::int32_t samples, std::int32_t rawBound, std::int32_t divider,
                      const AfterSample& afterSample, DecodeCounts* counts) {
  const std::string_view all(buffer);
  const std::int64_t d = divider < 1 ? 1 : divider;
  const std::size_t rawSize =
      std::min({trial.RawForce1.size(), trial.RawForce2.size(), trial.RawForce3.size(),
                trial.RawForce4.size(), trial.RawDisplacement.size(), trial.RawChannel6.size()});
  const auto channelSize =
      static_cast<std::int64_t>(std::min(trial.Displacement.size(), trial.Force.size()));
  std::size_t start = 0;                       // where the undecoded text begins
  std::size_t knownFrame = std::string::npos;  // a "#" already found to start the next frame
  for (;;) {
    if (Trim(all.substr(start)).size() < kZra7MinimumBuffer) break;
    std::size_t hash = knownFrame;
    knownFrame = std::string::npos;
    if (hash == std::string::npos) {
      // The frame begins at the first "#" that is not the first character.
      const std::string_view text = TrimLeading(all.substr(start));
      const std::size_t lead = all.size() - text.size();
      const std::size_t h = text.size() >= 2 ? text.find('#', 1) : std::string_view::npos;
      if (h == std::string_view::npos) {
        start = all.size();
        break;
      }
      hash = lead + h;
    }
    if (trial.RawSampleIndex > rawBound || trial.SampleCount >= samples) break;
    const std::int64_t index = trial.RawSampleIndex;
    if (index < 0 || static_cast<std::size_t>(index) >= rawSize) break;
    if (static_cast<std::int64_t>(trial.SampleCount) + 1 >= channelSize) break;

    // A frame is decoded only when its eight fields are all there.
    const std::size_t next = all.find('#', hash + 1);
    const std::size_t segmentEnd = next == std::string_view::npos ? all.size() : next;
    std::size_t commas = 0;
    for (std::size_t i = hash + 1; i < segmentEnd; ++i) commas += all[i] == ',';
    std::int64_t values[6];
    bool whole = false;
    std::size_t heldSlots = 0;  // frame periods after it that it stands for
    if (commas < kZra7FrameCommas) {
      if (next == std::string_view::npos) {
        if (segmentEnd - hash <= kZra7MaximumFrame) break;  // still arriving
        // Line noise: dropped, nothing stands for it.
        if (counts) ++counts->rejected;
        start = all.size();
        break;
      }
      // Cut short by the next frame: its slot is held.
      start = next;
      knownFrame = next;
      heldSlots = 1;
    } else {
      std::string_view rest = TrimLeading(all.substr(hash + 1, segmentEnd - hash - 1));
      std::int64_t sum = 0;
      for (std::int64_t& v : values) {
        v = Zra7Count(NextField(rest));
        sum += v;
      }
      const std::int64_t check = Zra7Count(NextField(rest));
      NextField(rest);  // field 8: a measured channel the system does not use
      start = rest.empty() ? segmentEnd : static_cast<std::size_t>(rest.data() - all.data());
      if (sum > kWordRange - 1) sum -= ((sum - kWordRange) / kWordRange + 1) * kWordRange;
      whole = sum == check;
      // Frames that ran together (a "#" lost): a slot for each frame whose
      // fields are there, held after this one when it is whole.
      const std::size_t frames = (commas + kZra7FrameCommas / 2) / kZra7FrameCommas;
      heldSlots = whole ? frames - 1 : frames;
    }
    if (counts) counts->rejected += whole ? heldSlots : std::max<std::size_t>(heldSlots, 1);
    if (whole) {
      if (counts) ++counts->accepted;
      if (!StoreZra7Slot(trial, values, calibration, d, samples, rawBound, afterSample)) break;
    }
    // A stream's slots start at 1: nothing is held before its first whole frame.
    if (heldSlots > 0 && trial.RawSampleIndex >= 2) {
      // The last whole frame's values stand for the slots it could not fill.
      const auto previous = static_cast<std::size_t>(trial.RawSampleIndex - 1);
      const std::int64_t last[6] = {trial.RawForce1[previous], trial.RawForce2[previous],
                                    trial.RawForce3[previous], trial.RawForce4[previous],
                                    trial.RawDisplacement[previous], trial.RawChannel6[previous]};
      for (std::size_t k = 0; k < heldSlots; ++k) {
        if (!StoreZra7Slot(trial, last, calibration, d, samples, rawBound, afterSample)) break;
        if (counts) ++counts->held;
      }
    }
  }
  buffer.erase(0, std::min(start, buffer.size()));
}

void DecodeAccelerometerText(std::string& text, std::int32_t& searchStart, TrialDataSet& trial,
                             std::int32_t samples, float accelerometerOffset,
                             DecodeCounts* counts) {
  std::vector<float>& acceleration = trial.Acceleration;
  while (trial.SampleCount < samples) {
    const std::size_t from = searchStart < 1 ? 0 : static_cast<std::size_t>(searchStart) - 1;
    const std::size_t p1 = FindReadingMarker(text, from);
    if (p1 == std::string::npos) return;
    const std::size_t p2 = FindReadingMarker(text, p1 + 2);
    if (p2 == std::string::npos) return;  // the reading may not be complete yet
    if (trial.SampleCount < 0 ||
        static_cast<std::size_t>(trial.SampleCount) >= acceleration.size()) {
      return;
    }
    searchStart = static_cast<std::int32_t>(p2 + 1);
    const std::string_view reading = std::string_view(text).substr(p1 + 2, p2 - p1 - 2);
    if (reading.empty()) continue;
    acceleration[static_cast<std::size_t>(trial.SampleCount)] = static_cast<float>(
        -((LeadingNumber(reading) + 1.0) * kStandardGravity) - accelerometerOffset);
    trial.SampleCount += 1;
    if (counts) ++counts->accepted;
  }
}

}  // namespace torvane
