#include "analysis/clipboard_texts.hpp"

#include <gtest/gtest.h>

#include "test_support.hpp"

namespace torvane {
namespace {

const LocalDateTime kNow{2026, 12, 6, 17, 5, 9, 0};

struct ClipSession {
  ClipSession() {
    Session& s = ts.session;
    DimensionDataArrays(s.trial, 10);
    s.settings.samples = 10;
    s.settings.frequency = 500;
    s.settings.weight = 80;
    for (std::size_t i = 0; i < 10; ++i) {
      s.trial.Displacement[i] = 0.5f * static_cast<float>(i);
      s.trial.Velocity[i] = -0.25f * static_cast<float>(i);
      s.trial.Acceleration[i] = 1234.5f;
      s.trial.Force[i] = 800.125f + static_cast<float>(i);
      s.trial.Power[i] = 0.0f;
    }
    s.view.AnalysisStart = 2;
    s.view.AnalysisEnd = 4;
  }
  testing::TestSession ts;
};

TEST(ClipboardTexts, AllDataSetsBetweenPoints) {
  ClipSession c;
  EXPECT_EQ(AllDataSetsClipboardText(c.ts.session.trial, c.ts.session.settings, c.ts.session.view,
                                     ClipboardRange::BetweenPoints, kNow),
            "Torvane Measurement System Data Analysis\r\n"
            "Sunday, 6 December 2026\t05:05:09 PM\tMass: \t 80\t kg\r\n"
            "time\tdisplacement\tvelocity\tacceleration\tforce\tpower\r\n"
            "0.000\t 1\t-.5\t 1234.5\t 802.125\t 0\r\n"
            "0.002\t 1.5\t-.75\t 1234.5\t 803.125\t 0\r\n"
            "0.004\t 2\t-1\t 1234.5\t 804.125\t 0\r\n");
}

TEST(ClipboardTexts, ShownDataSetWithAndWithoutTime) {
  ClipSession c;
  Session& s = c.ts.session;
  EXPECT_EQ(ShownDataSetClipboardText(s.trial, s.settings, s.view, ClipboardRange::BetweenPoints,
                                      ShownChannel::Displacement, false),
            "distance\r\n 1\r\n 1.5\r\n 2\r\n");
  EXPECT_EQ(ShownDataSetClipboardText(s.trial, s.settings, s.view, ClipboardRange::BetweenPoints,
                                      ShownChannel::Velocity, true),
            "time\tvelocity\r\n0.000\t-.5\r\n0.002\t-.75\r\n0.004\t-1\r\n");
  EXPECT_EQ(ClipboardChannelWord(ShownChannel::Acceleration), std::string("acceleration"));
  EXPECT_EQ(ClipboardChannelWord(ShownChannel::Power), std::string("power"));
}

TEST(ClipboardTexts, PhaseRangeRunsFromOnsetToLandingWithTimesFromTheAnalysisStart) {
  ClipSession c;
  Session& s = c.ts.session;
  s.view.MovementOnsetTime = 0.012;  // sample 6
  s.view.LandingTime = 0.016f;       // sample 8
  EXPECT_EQ(ShownDataSetClipboardText(s.trial, s.settings, s.view, ClipboardRange::Phase,
                                      ShownChannel::Force, true),
            "time\tforce\r\n0.008\t 806.125\r\n0.010\t 807.125\r\n0.012\t 808.125\r\n");
  // A landing past the trial stops at its last sample.
  s.view.LandingTime = 1.0f;
  const std::string text =
      AllDataSetsClipboardText(s.trial, s.settings, s.view, ClipboardRange::Phase, kNow);
  EXPECT_NE(text.find("0.014\t 4.5\t"), std::string::npos);
  EXPECT_EQ(text.find("0.016\t"), std::string::npos);
}

TEST(ClipboardTexts, SmallValuesHaveNoZeroBeforeThePoint) {
  ClipSession c;
  Session& s = c.ts.session;
  s.trial.Force[2] = 0.5f;
  s.trial.Force[3] = -0.0625f;
  s.trial.Force[4] = 123456789.0f;
  EXPECT_EQ(ShownDataSetClipboardText(s.trial, s.settings, s.view, ClipboardRange::BetweenPoints,
                                      ShownChannel::Force, false),
            "force\r\n .5\r\n-.0625\r\n 1.234568E+08\r\n");
}

}  // namespace
}  // namespace torvane
