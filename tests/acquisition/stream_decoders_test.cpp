// The three stream decoders on hand-made streams: frame finding and
// checking, the holding of samples for what was not a whole frame, frames
// split across ticks, scaling, and the arrays' bounds.
#include "acquisition/stream_decoders.hpp"

#include <gtest/gtest.h>

#include <string>

namespace torvane {
namespace {

std::string Bytes(std::initializer_list<int> values) {
  std::string s;
  for (const int v : values) s.push_back(static_cast<char>(v));
  return s;
}

struct Zra6Decoding {
  TrialDataSet trial;
  std::string text;
  std::int32_t searchStart = 1;
  DecodeCounts counts;
  explicit Zra6Decoding(std::string t = {}) : text(std::move(t)) {
    DimensionDataArrays(trial, 100);
  }
  void Decode(bool withForce, std::int32_t samples = 1000) {
    DecodeZra6Frames(text, searchStart, trial, withForce, samples, &counts);
  }
  std::vector<std::int32_t> Raw() const {
    return {trial.RawSampleBuffer.begin(), trial.RawSampleBuffer.begin() + trial.RawSampleIndex};
  }
};

Calibration DefaultCalibration() {
  SettingsRecord s;
  s.DispCalSlope = 0.009f;
  s.DispInt = 0.0f;
  s.ForceCalSlope = 3.0f;
  s.ForceInt = 0.0f;
  return CalibrationOf(s);
}

TEST(Zra6DecoderTest, AFrameGivesItsTwelveBitValueScaledInDoubleAndStoredInSingle) {
  Zra6Decoding z{Bytes({221, 0x01, 0x02, 221})};
  z.Decode(false);
  EXPECT_EQ(z.trial.SampleCount, 1);
  EXPECT_EQ(z.trial.RawSampleBuffer[0], 258);
  ScaleZra6Samples(z.trial, DefaultCalibration(), 0, false);
  EXPECT_EQ(z.trial.Displacement[0], static_cast<float>(258.0 * static_cast<double>(0.009f)));
  EXPECT_FLOAT_EQ(z.trial.Displacement[0], 2.322f);
}

TEST(Zra6DecoderTest, TheLowerCaseSyncByteIsFoundAndLineNoiseBeforeTheFirstFrameSkipped) {
  Zra6Decoding z{Bytes({0x41, 0x00, 253, 0x00, 0x07, 221, 0x00, 0x08, 221})};
  z.Decode(false);
  EXPECT_EQ(z.Raw(), (std::vector<std::int32_t>{7, 8}));
  EXPECT_EQ(z.counts.held, 0u);  // nothing whole came before the noise to hold
  // The last frame cannot be judged until the next sync byte is there.
  EXPECT_EQ(z.searchStart, 9);
}

// Only a whole frame is stored: one with a value over 12 bits, or bytes
// lost so that the next sync byte is not where the frame ends, is replaced
// by the last whole sample for each frame period its bytes span.
TEST(Zra6DecoderTest, WhatIsNotAWholeFrameHoldsTheLastWholeSampleForItsPeriods) {
  const struct {
    const char* what;
    bool withForce;
    std::vector<int> bytes;
    std::vector<std::int32_t> raw;
    std::uint64_t held;
  } cases[] = {
      {"a value over 12 bits", false, {221, 0, 5, 221, 0x10, 0, 221, 0, 6, 221}, {5, 5, 6}, 1},
      {"with force, both channels held",
       true,
       {221, 0, 5, 1, 0, 221, 0xFF, 0xFF, 0, 9, 221, 0, 6, 2, 0, 221},
       {5, 256, 5, 256, 6, 512},
       1},
      {"a byte lost inside a frame", false, {221, 0, 5, 221, 0, 221, 0, 7, 221}, {5, 5, 7}, 1},
      {"a sync byte lost: two periods",
       false,
       {221, 0, 5, 221, 0, 6, 0, 7, 221, 0, 8, 221},
       {5, 5, 5, 8},
       2},
      {"a value whose low byte is the sync byte", false, {221, 0, 5, 221, 0, 221, 221, 0, 7, 221},
       {5, 221, 7}, 0},
      {"nothing whole yet: nothing held", true, {221, 0x10, 0, 0x30, 0, 221, 0, 7, 0, 8, 221},
       {7, 8}, 0},
  };
  for (const auto& c : cases) {
    Zra6Decoding z;
    for (const int b : c.bytes) z.text.push_back(static_cast<char>(b));
    z.Decode(c.withForce);
    EXPECT_EQ(z.Raw(), c.raw) << c.what;
    EXPECT_EQ(z.counts.held, c.held) << c.what;
  }
}

TEST(Zra6DecoderTest, AFrameSplitAcrossTwoTicksIsDecodedOnTheSecond) {
  Zra6Decoding z{Bytes({221, 0x00, 0x01, 0x00, 0x02, 221, 0x00})};
  z.Decode(true);
  EXPECT_EQ(z.trial.SampleCount, 1);
  z.text += Bytes({0x03, 0x00, 0x04, 221});
  z.Decode(true);
  ASSERT_EQ(z.trial.SampleCount, 2);
  EXPECT_EQ(z.trial.RawSampleIndex, 4);
  EXPECT_EQ(z.trial.RawSampleBuffer[2], 3);
  EXPECT_EQ(z.trial.RawSampleBuffer[3], 4);
}

TEST(Zra6DecoderTest, DecodingStopsAtTheWantedSamplesAndCompactingKeepsTheRest) {
  Zra6Decoding z;
  for (int i = 0; i < 5; ++i) z.text += Bytes({221, 0x00, i});
  z.text += Bytes({221});
  z.Decode(false, 3);
  EXPECT_EQ(z.trial.SampleCount, 3);
  CompactStreamText(z.text, z.searchStart);
  EXPECT_EQ(z.text.size(), 7u);
  z.Decode(false, 5);
  EXPECT_EQ(z.trial.SampleCount, 5);
  EXPECT_EQ(z.trial.RawSampleBuffer[4], 4);
}

TEST(Zra6DecoderTest, NothingIsWrittenPastTheArraysWhateverTheStreamHolds) {
  Zra6Decoding z;
  z.trial.RawSampleBuffer.resize(7);
  z.trial.Displacement.resize(3);
  z.trial.Force.resize(3);
  for (int i = 0; i < 20; ++i) z.text += Bytes({221, 0x00, 0x01, 0x00, 0x02});
  z.Decode(true, 1000);
  EXPECT_EQ(z.trial.SampleCount, 3);  // 3 frames fill 6 of the 7 places
  ScaleZra6Samples(z.trial, DefaultCalibration(), 0, true);
  EXPECT_EQ(z.trial.Displacement.size(), 3u);
}

struct Zra7Decoding {
  TrialDataSet trial;
  std::string buffer;
  DecodeCounts counts;
  explicit Zra7Decoding(std::string b = {}) : buffer(std::move(b)) {
    DimensionDataArrays(trial, 100);
    trial.RawSampleIndex = 1;
    trial.SampleCount = 1;
  }
  void Decode(std::int32_t divider = 1, std::int32_t samples = 1000) {
    DecodeZra7Frames(buffer, trial, DefaultCalibration(), samples, samples * divider, divider, {},
                     &counts);
  }
};

std::string Frame(const std::string& fields) {
  return "#" + fields + ",\r\n";
}

// Frames of padding (displacement count 5) that the decoder needs after a
// frame before it reads it.
std::string Padding(int n, int firstSequence = 100) {
  std::string s;
  for (int i = 0; i < n; ++i) s += Frame("0,0,0,0,5,0,5," + std::to_string(firstSequence + i));
  return s;
}

// A frame whose check value differs, or two frames run together when a "#"
// was lost, are not stored as values: the last whole frame stands for each
// slot, so that the next whole frame keeps its place in time.
TEST(Zra7DecoderTest, AFrameThatIsNotWholeHoldsTheLastWholeFrameForItsSlot) {
  const std::string good = Frame("1,2,3,4,100,0,110,7");
  const struct {
    const char* what;
    std::string stream;
  } cases[] = {
      {"check value differs", good + Frame("1,2,3,4,200,0,111,8")},
      {"a \"#\" lost", good + Frame("1,2,3,4,200,0,210,8").substr(1)},
  };
  for (const auto& c : cases) {
    Zra7Decoding z{"\r\n" + c.stream + Padding(3)};
    z.Decode();
    EXPECT_EQ(z.counts.rejected, 1u) << c.what;
    EXPECT_EQ(z.counts.held, 1u) << c.what;
    EXPECT_EQ(z.trial.RawForce1[1], 1) << c.what;
    EXPECT_EQ(z.trial.RawDisplacement[1], 100) << c.what;
    EXPECT_EQ(z.trial.RawDisplacement[2], 100) << c.what;  // held
    EXPECT_EQ(z.trial.RawDisplacement[3], 5) << c.what;    // the next whole frame, in its place
    EXPECT_FLOAT_EQ(z.trial.Displacement[2], z.trial.Displacement[1]) << c.what;
  }
}

TEST(Zra7DecoderTest, NegativeFieldsAreSixteenBitCountsAndTheSumWrapsAt65536) {
  Zra7Decoding z;
  // -1 reads as 65535; 65535 + 2 wraps to 1.
  z.buffer = "\r\n" + Frame("-1,2,0,0,0,0,1,0") + Padding(3);
  z.Decode();
  EXPECT_EQ(z.counts.rejected, 0u);
  EXPECT_EQ(z.trial.RawForce1[1], 65535);
}

TEST(Zra7DecoderTest, TheCheckValueIsTheSumModulo65536PastSeveralWraps) {
  const struct {
    const char* fields;
    bool accepted;
  } frames[] = {
      {"60000,60000,11077,0,0,0,5", true},       // 2 × 65536 + 5
      {"60000,60000,11072,0,0,0,0", true},       // exactly 2 × 65536
      {"60000,60000,11077,0,0,0,65541", false},  // wrapped only once
      {"-1,-1,-1,-1,-1,-1,65530", true},         // 6 × 65535: five wraps
      {"-1,-1,-1,-1,-1,-1,131066", false},
  };
  for (const auto& f : frames) {
    Zra7Decoding z{"\r\n" + Frame(std::string(f.fields) + ",9") + Padding(3)};
    z.Decode();
    EXPECT_EQ(z.counts.rejected, f.accepted ? 0u : 1u) << f.fields;
    // A dropped frame leaves its place to the padding that follows it.
    EXPECT_EQ(z.trial.RawForce2[1] != 0, f.accepted) << f.fields;
  }
}

TEST(Zra7DecoderTest, TheFirstSamplesRepeatSampleThreeAndADividerKeepsEveryDthFrame) {
  Zra7Decoding z;
  for (int i = 1; i <= 12; ++i) {
    const int d = 100 + i;
    z.buffer += Frame("10,10,10,10," + std::to_string(d) + ",0," + std::to_string(40 + d) + "," +
                      std::to_string(i));
  }
  z.buffer = "\r\n" + z.buffer + Padding(3, 14);  // frame 13 never came
  z.Decode(3);
  // Frames at raw indices 3, 6, 9, 12 are samples 2, 3, 4, 5.
  EXPECT_EQ(z.trial.SampleCount, 5);
  EXPECT_FLOAT_EQ(z.trial.Displacement[3], static_cast<float>(106 * static_cast<double>(0.009f)));
  EXPECT_FLOAT_EQ(z.trial.Displacement[5], static_cast<float>(112 * static_cast<double>(0.009f)));
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(z.trial.Displacement[i], z.trial.Displacement[3]);
    EXPECT_EQ(z.trial.Force[i], 120.0f);
  }
}

TEST(Zra7DecoderTest, AFrameStillArrivingIsKeptAndDecodedOnTheNextTick) {
  Zra7Decoding z;
  // Enough text to look at, but the frame has five of its fields so far.
  z.buffer = std::string(55, 'z') + "#0,0,0,0,9";
  const std::string before = z.buffer;
  z.Decode();
  EXPECT_EQ(z.trial.RawSampleIndex, 1);
  EXPECT_EQ(z.buffer, before);
  z.buffer += ",0,9,4,\r\n" + Padding(3);
  z.Decode();
  EXPECT_EQ(z.trial.RawDisplacement[1], 9);
  EXPECT_EQ(z.counts.rejected, 0u);
}

TEST(Zra7DecoderTest, AFrameCutShortByTheNextCostsOnlyItself) {
  Zra7Decoding z{"\r\n#1,2,3" + Frame("0,0,0,0,7,0,7,2") + Frame("0,0,0,0,8,0,8,3") + Padding(3)};
  z.Decode();
  EXPECT_EQ(z.counts.rejected, 1u);
  EXPECT_EQ(z.trial.RawDisplacement[1], 7);
  EXPECT_EQ(z.trial.RawDisplacement[2], 8);
}

TEST(Zra7DecoderTest, ShortBuffersWaitAndDecodingStopsAtTheWantedSamples) {
  Zra7Decoding z{"\r\n" + Frame("0,0,0,0,7,0,7,1")};
  z.Decode();
  EXPECT_EQ(z.trial.RawSampleIndex, 1);  // under 60 characters: wait for more
  z.buffer += Padding(20);
  z.Decode(1, 4);
  EXPECT_EQ(z.trial.SampleCount, 4);
  EXPECT_FALSE(z.buffer.empty());
}

TEST(Zra7DecoderTest, TextWithoutAFrameIsDiscardedAndNoiseWithoutFieldsIsNotWaitedForForever) {
  Zra7Decoding z{std::string(100, 'x')};
  z.Decode();
  EXPECT_TRUE(z.buffer.empty());
  z.buffer = "x#" + std::string(kZra7MaximumFrame + 10, 'y');
  z.Decode();
  EXPECT_TRUE(z.buffer.empty());
  EXPECT_EQ(z.counts.rejected, 1u);
}

TEST(Zra7DecoderTest, NothingIsWrittenPastTheArrays) {
  Zra7Decoding z;
  for (auto* raw : {&z.trial.RawForce1, &z.trial.RawForce2, &z.trial.RawForce3, &z.trial.RawForce4,
                    &z.trial.RawDisplacement, &z.trial.RawChannel6}) {
    raw->resize(5);
  }
  z.trial.Displacement.resize(4);
  z.trial.Force.resize(4);
  z.buffer = "\r\n" + Padding(30);
  z.Decode();
  EXPECT_LE(z.trial.RawSampleIndex, 5);
  EXPECT_LE(z.trial.SampleCount, 3);
}

TEST(Zra7DecoderTest, TheDividerIsTheRoundedRatioOfTheRates) {
  EXPECT_EQ(FrameDivider(600, 600), 1);
  EXPECT_EQ(FrameDivider(600, 200), 3);
  EXPECT_EQ(FrameDivider(600, 250), 2);
  EXPECT_EQ(FrameDivider(600, 2000), 1);
  EXPECT_EQ(FrameDivider(600, 0), 1);
}

struct AccelDecoding {
  TrialDataSet trial;
  std::string text;
  std::int32_t searchStart = 1;
  explicit AccelDecoding(std::string t = {}) : text(std::move(t)) {
    DimensionDataArrays(trial, 100);
  }
  void Decode(std::int32_t samples = 1000, float offset = 0) {
    DecodeAccelerometerText(text, searchStart, trial, samples, offset);
  }
};

TEST(AccelerometerDecoderTest, AReadingBetweenTwoMarkersIsAnAccelerationInMetresPerSecondSquared) {
  AccelDecoding a{"X=0.5\r\nX="};
  a.Decode();
  ASSERT_EQ(a.trial.SampleCount, 1);
  EXPECT_FLOAT_EQ(a.trial.Acceleration[0], -14.709975f);

  AccelDecoding b{"x=-1.000\r\nX="};
  b.Decode(1000, 0.25f);
  EXPECT_FLOAT_EQ(b.trial.Acceleration[0], -0.25f);
}

TEST(AccelerometerDecoderTest, TheLastReadingWaitsForTheNextMarker) {
  AccelDecoding a{"X=-1.000\r\nX=-0.5"};
  a.Decode();
  EXPECT_EQ(a.trial.SampleCount, 1);
  a.text += "00\r\nX=";
  a.Decode();
  ASSERT_EQ(a.trial.SampleCount, 2);
  EXPECT_FLOAT_EQ(a.trial.Acceleration[1], static_cast<float>(-(0.5 * 9.80665)));
  // Empty readings are skipped; the decoding stops at the wanted samples.
  a.text += "X=X=0\r\nX=1\r\nX=2\r\nX=";
  a.Decode(3);
  EXPECT_EQ(a.trial.SampleCount, 3);
}

TEST(AccelerometerDecoderTest, NothingIsWrittenPastTheArray) {
  AccelDecoding a;
  a.trial.Acceleration.resize(2);
  for (int i = 0; i < 10; ++i) a.text += "X=0\r\n";
  a.Decode();
  EXPECT_EQ(a.trial.SampleCount, 2);
}

}  // namespace
}  // namespace torvane
