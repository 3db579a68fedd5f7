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

void NoteSequence(DecodeCounts& counts, std::int64_t sequence) {
  if (counts.lastSequence >= 0) {
    const std::int64_t expected = (counts.lastSequence + 1) % kWordRange;
    counts.sequenceGaps +=
        static_cast<std::uint64_t>(((sequence - expected) % kWordRange + kWordRange) % kWordRange);
  }
  counts.lastSequence = sequence;
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

void DecodeZra6Frames(std::string& streamText, std::int32_t& searchStart, TrialDataSet& trial,
                      bool withForce, std::int32_t samples, DecodeCounts* counts) {
  std::vector<std::int32_t>& raw = trial.RawSampleBuffer;
  const std::size_t tail = withForce ? 4 : 2;  // bytes after the sync byte
  const std::int64_t perSample = withForce ? 2 : 1;
  while (trial.SampleCount < samples) {
    const std::size_t from = searchStart < 1 ? 0 : static_cast<std::size_t>(searchStart) - 1;
    const std::size_t p = FindSync(streamText, from);
    if (p == std::string::npos) {
      streamText.clear();
      searchStart = 1;
      return;
    }
    if (streamText.size() - p - 1 < tail) return;  // the rest of the frame comes next tick
    const std::int64_t index = trial.RawSampleIndex;
    if (index < 0 || index + perSample > static_cast<std::int64_t>(raw.size())) return;
    // A corrupted value takes the previous value of its own channel: with
    // force the values alternate, so that is two places back.
    const auto previous = [&](std::int64_t at) {
      return at >= 0 ? raw[static_cast<std::size_t>(at)] : 0;
    };
    std::int32_t displacement = Zra6Value(streamText, p + 1);
    if (displacement >= kZra6ValueLimit) displacement = previous(index - perSample);
    raw[static_cast<std::size_t>(index)] = displacement;
    if (withForce) {
      std::int32_t force = Zra6Value(streamText, p + 3);
      if (force >= kZra6ValueLimit) force = previous(index - 1);
      raw[static_cast<std::size_t>(index + 1)] = force;
    }
    trial.RawSampleIndex = static_cast<std::int32_t>(index + perSample);
    searchStart = static_cast<std::int32_t>(p + 2 + tail);
    trial.SampleCount += 1;
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
    int commas = 0;
    for (std::size_t i = hash + 1; i < segmentEnd && commas < 8; ++i) commas += all[i] == ',';
    if (commas < 8) {
      if (next != std::string_view::npos) {
        // Cut short by the next frame: dropped, and the next frame is read.
        if (counts) ++counts->rejected;
        start = next;
        knownFrame = next;
        continue;
      }
      if (segmentEnd - hash > kZra7MaximumFrame) {
        if (counts) ++counts->rejected;
        start = all.size();
      }
      break;  // still arriving
    }

    std::string_view rest = TrimLeading(all.substr(hash + 1));
    std::int64_t values[6];
    std::int64_t sum = 0;
    for (std::int64_t& v : values) {
      v = Zra7Count(NextField(rest));
      sum += v;
    }
    const std::int64_t check = Zra7Count(NextField(rest));
    const std::string_view sequence = NextField(rest);  // field 8
    if (counts) NoteSequence(*counts, Zra7Count(sequence));
    start = rest.empty() ? all.size() : static_cast<std::size_t>(rest.data() - all.data());
    if (sum > kWordRange - 1) sum -= ((sum - kWordRange) / kWordRange + 1) * kWordRange;
    if (sum != check) {
      if (counts) ++counts->rejected;
      continue;
    }
    const auto r = static_cast<std::size_t>(index);
    trial.RawForce1[r] = static_cast<std::int32_t>(values[0]);
    trial.RawForce2[r] = static_cast<std::int32_t>(values[1]);
    trial.RawForce3[r] = static_cast<std::int32_t>(values[2]);
    trial.RawForce4[r] = static_cast<std::int32_t>(values[3]);
    trial.RawDisplacement[r] = static_cast<std::int32_t>(values[4]);
    trial.RawChannel6[r] = static_cast<std::int32_t>(values[5]);
    if (counts) ++counts->accepted;
    if (index > 1 && index % d == 0) {
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
