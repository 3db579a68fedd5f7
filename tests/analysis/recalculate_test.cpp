#include "analysis/recalculate.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "analysis/derivation.hpp"
#include "analysis/low_pass_filter.hpp"
#include "common/text_file.hpp"
#include "shell/analysis_session.hpp"
#include "test_support.hpp"

namespace torvane {
namespace {

using testing::TempDir;
using testing::TestSession;
using testing::WriteText;

CalculationMode Mode(bool d, bool f, bool a = false, bool r = false) {
  return CalculationMode{d, f, a, r};
}

// A jump-like trial with displacement and force, filters at their defaults.
void FillTrial(Session& s, std::int32_t n = 800) {
  DimensionDataArrays(s.trial, n);
  s.settings.samples = n;
  s.settings.frequency = 500;
  s.settings.weight = 80.0f;
  s.settings.velocFc = 16.0f;
  s.settings.accelFc = 10.0f;
  s.settings.dispFc = 0.0f;
  s.settings.forceFc = 0.0f;
  for (std::int32_t i = 0; i < n; ++i) {
    s.trial.Displacement[i] = static_cast<float>(0.2 * std::sin(i / 60.0) + 0.0005 * (i % 3));
    s.trial.Force[i] = static_cast<float>(784.56 + 300.0 * std::sin(i / 45.0) + (i % 4));
  }
}

// A test session holding a trial from FillTrial.
struct FilledSession {
  explicit FilledSession(std::int32_t n = 800) { FillTrial(t.session, n); }
  TestSession t;
  Session& s = t.session;
};

struct Channels {
  std::vector<float> d, v, a, f, p;
  bool operator==(const Channels&) const = default;
};
Channels Snapshot(const Session& s) {
  const auto n = static_cast<std::ptrdiff_t>(s.settings.samples);
  const auto head = [n](const std::vector<float>& x) {
    return std::vector<float>(x.begin(), x.begin() + n);
  };
  return {head(s.trial.Displacement), head(s.trial.Velocity), head(s.trial.Acceleration),
          head(s.trial.Force), head(s.trial.Power)};
}

TEST(ReCalculateRoute, ModeBoxesAndFileKind) {
  using R = DerivationRoute;
  const std::int16_t file = kFileKindVersion2;
  EXPECT_EQ(ReCalculateRoute(Mode(false, true), file), R::IntegrateForce);
  EXPECT_EQ(ReCalculateRoute(Mode(false, true, false, true), file), R::IntegrateForceReverse);
  EXPECT_EQ(ReCalculateRoute(Mode(true, true), file), R::PowerFromForce);
  EXPECT_EQ(ReCalculateRoute(Mode(true, true, false, true), file), R::PowerFromForce);
  EXPECT_EQ(ReCalculateRoute(Mode(true, false), file), R::ForceFromDisplacement);
  EXPECT_EQ(ReCalculateRoute(Mode(true, false, true), file), R::ForceFromDisplacement);
  EXPECT_EQ(ReCalculateRoute(Mode(false, false, true), file), R::None);  // A plays no part
  for (const CalculationMode m :
       {Mode(true, false), Mode(false, false), Mode(true, true, true, true)}) {
    EXPECT_EQ(ReCalculateRoute(m, kFileKindImport), R::ImportIntegrateForce);
  }
}

TEST(ReCalculate, RoutesThroughDisplacementEqualTheLiteralDoubleDerivation) {
  // With D ticked the displacement is derived once directly and once inside
  // the called procedure; the results must match that sequence exactly,
  // with and without a dispFc filter (which makes the two runs differ).
  for (float dispFc : {0.0f, 12.0f}) {
    for (bool withForce : {true, false}) {
      TestSession literal, routed;
      FillTrial(literal.session);
      FillTrial(routed.session);
      literal.session.settings.dispFc = routed.session.settings.dispFc = dispFc;
      DeriveFromDisplacement(literal.session.trial, literal.session.settings);
      if (withForce) {
        PowerFromForce(literal.session.trial, literal.session.settings);
      } else {
        ForceFromDisplacement(literal.session.trial, literal.session.settings);
      }
      ReCalculate(routed.session.trial, routed.session.settings, Mode(true, withForce));
      EXPECT_TRUE(Snapshot(routed.session) == Snapshot(literal.session))
          << "dispFc " << dispFc << " force " << withForce;
    }
  }
}

TEST(ReCalculate, RepeatsExactlyWithoutDisplacementFilterAndSmoothsWithIt) {
  FilledSession f;
  Session& s = f.s;
  ReCalculate(s.trial, s.settings, Mode(true, true));
  const Channels first = Snapshot(s);
  ReCalculate(s.trial, s.settings, Mode(true, true));
  EXPECT_TRUE(Snapshot(s) == first);

  s.settings.dispFc = 6.0f;
  std::vector<float> expected = first.d;
  ReCalculate(s.trial, s.settings, Mode(true, false));
  // Filtered twice by one recalculation, and again by the next.
  LowPassFilter(s.settings.samples, expected, 500.0f, 6.0f);
  LowPassFilter(s.settings.samples, expected, 500.0f, 6.0f);
  EXPECT_EQ(Snapshot(s).d, expected);
  ReCalculate(s.trial, s.settings, Mode(true, false));
  LowPassFilter(s.settings.samples, expected, 500.0f, 6.0f);
  LowPassFilter(s.settings.samples, expected, 500.0f, 6.0f);
  EXPECT_EQ(Snapshot(s).d, expected);
}

TEST(ReCalculate, ForceRoutesIntegrateAndAnImportStillGetsItsResults) {
  FilledSession f;
  Session& s = f.s;
  int resultsRuns = 0;
  const AfterDerivation results = [&] { ++resultsRuns; };
  ReCalculate(s.trial, s.settings, Mode(false, true, false, true), results);
  EXPECT_EQ(s.trial.Velocity[799], 0.0f);  // at rest at the end
  EXPECT_NE(s.trial.Velocity[0], 0.0f);
  ReCalculate(s.trial, s.settings, Mode(false, true), results);
  EXPECT_EQ(s.trial.Velocity[0], 0.0f);
  EXPECT_NE(s.trial.Velocity[799], 0.0f);

  s.trial.FileKind = kFileKindImport;
  FillTrial(s);
  const Channels before = Snapshot(s);
  EXPECT_EQ(ReCalculate(s.trial, s.settings, Mode(true, false), results),
            DerivationRoute::ImportIntegrateForce);
  EXPECT_EQ(resultsRuns, 3);
  EXPECT_EQ(Snapshot(s).f, before.f);  // the recorded force stays
  EXPECT_NE(Snapshot(s).d, before.d);  // integrated, not differentiated
  EXPECT_EQ(s.trial.Displacement[0], 0.0f);

  s.trial.FileKind = kFileKindVersion2;
  FillTrial(s);
  EXPECT_EQ(ReCalculate(s.trial, s.settings, Mode(false, false, true), results),
            DerivationRoute::None);
  EXPECT_TRUE(Snapshot(s) == before);
  EXPECT_EQ(resultsRuns, 4);
}

TEST(DeriveCollectedTrial, EachModeFiltersWhatItUsesOnce) {
  // F only integrates, D and F take power from it: both after filtering the
  // force once at forceFc.
  for (const bool withDisplacement : {false, true}) {
    TestSession a, b;
    FillTrial(a.session);
    FillTrial(b.session);
    a.session.settings.forceFc = b.session.settings.forceFc = 50.0f;
    EXPECT_TRUE(DeriveCollectedTrial(a.session.trial, a.session.settings,
                                     Mode(withDisplacement, true), false));
    LowPassFilter(800, b.session.trial.Force, 500.0f, 50.0f);
    withDisplacement ? PowerFromForce(b.session.trial, b.session.settings)
                     : IntegrateForce(b.session.trial, b.session.settings);
    EXPECT_TRUE(Snapshot(a.session) == Snapshot(b.session)) << withDisplacement;
  }
  // A only: the measured acceleration is filtered at accelFc and integrated;
  // the force uses 9.80665.
  {
    TestSession a;
    FillTrial(a.session, 200);
    for (int i = 0; i < 200; ++i) a.session.trial.Acceleration[i] = 0.0f;
    EXPECT_TRUE(
        DeriveCollectedTrial(a.session.trial, a.session.settings, Mode(false, false, true), false));
    EXPECT_EQ(a.session.trial.Force[0], static_cast<float>(9.80665 * 80.0));
    EXPECT_EQ(a.session.trial.Force[199], static_cast<float>(9.80665 * 80.0));
    EXPECT_EQ(a.session.trial.Velocity[199], 0.0f);
  }
  // Zeroing, and combinations that derive nothing.
  for (const auto& [mode, zeroing] :
       {std::pair{Mode(false, true), true}, std::pair{Mode(true, false, true), false},
        std::pair{Mode(true, true, true), false}, std::pair{Mode(false, false), false}}) {
    TestSession a;
    FillTrial(a.session);
    a.session.settings.forceFc = 40.0f;
    const Channels before = Snapshot(a.session);
    EXPECT_FALSE(DeriveCollectedTrial(a.session.trial, a.session.settings, mode, zeroing));
    EXPECT_TRUE(Snapshot(a.session) == before);
  }
}

TEST(LoadTrialFileAndRecalculate, FiltersTheForceOnceAndOnlyForAnOpenedFile) {
  TempDir dir;
  TestSession t;
  Session& s = t.session;
  std::string text = "500,1\r\n";
  for (int i = 0; i < 300; ++i) text += "0.0 " + std::to_string(800 + (i % 2) * 40) + "\r\n";
  WriteText(dir.File("zigzag.dat"), text);
  s.settings.forceFc = 20.0f;
  s.settings.weight = 80.0f;
  int recalculations = 0;
  const AfterDerivation after = [&] { ++recalculations; };
  ASSERT_TRUE(LoadTrialFileAndRecalculate(TrialFileContextOf(s), s.view, dir.File("zigzag.dat"),
                                          Mode(false, true), after));
  EXPECT_EQ(recalculations, 1);
  std::vector<float> expected(300);
  for (int i = 0; i < 300; ++i) expected[i] = static_cast<float>(800 + (i % 2) * 40);
  LowPassFilter(299, expected, 500.0f, 20.0f);  // samples = 300 lines - 1
  EXPECT_EQ(std::vector<float>(s.trial.Force.begin(), s.trial.Force.begin() + 299),
            std::vector<float>(expected.begin(), expected.begin() + 299));
  EXPECT_EQ(s.trial.Velocity[0], 0.0f);

  const std::vector<float> before(s.trial.Force.begin(), s.trial.Force.begin() + 299);
  WriteText(dir.File("set.qlx"), "QLX Training File for A B ID: 1\r\n");
  EXPECT_FALSE(LoadTrialFileAndRecalculate(TrialFileContextOf(s), s.view, dir.File("set.qlx"),
                                           Mode(false, true), after));
  EXPECT_EQ(std::vector<float>(s.trial.Force.begin(), s.trial.Force.begin() + 299), before);
  EXPECT_EQ(recalculations, 1);
}

TEST(SetMassFromForce, MeanForceOverTheRangeAndOneRecalculation) {
  FilledSession f(100);
  Session& s = f.s;
  for (int i = 0; i < 100; ++i) s.trial.Force[i] = i < 50 ? 784.56f : 0.0f;
  s.view.AnalysisStart = 0;
  s.view.AnalysisEnd = 49;
  int recalculations = 0;
  const AfterDerivation after = [&] { ++recalculations; };
  SetMassResult r = SetMassFromForce(s.trial, s.settings, s.view, Mode(false, true), after);
  EXPECT_TRUE(r.massComputed);
  EXPECT_NEAR(r.mass, 80.0f, 1e-4f);
  EXPECT_EQ(r.massText, "80.000");
  EXPECT_EQ(s.settings.weight, r.mass);  // the computed mass, not its text
  EXPECT_EQ(recalculations, 1);
  // The recalculation used the new mass: standing still on it.
  EXPECT_NEAR(s.trial.Velocity[49], 0.0f, 1e-5f);

  // A mean force of 0 gives 10 kg.
  s.view.AnalysisStart = 50;
  s.view.AnalysisEnd = 99;
  r = SetMassFromForce(s.trial, s.settings, s.view, Mode(false, true), after);
  EXPECT_EQ(r.mass, 10.0f);
  EXPECT_EQ(r.massText, "10.000");
  EXPECT_EQ(s.settings.weight, 10.0f);

  // A single sample is its own mean; a negative mean also gives 10 kg.
  s.trial.Force[60] = -500.0f;
  s.view.AnalysisStart = s.view.AnalysisEnd = 60;
  EXPECT_EQ(SetMassFromForce(s.trial, s.settings, s.view, Mode(false, true), after).mass, 10.0f);
  s.view.AnalysisStart = s.view.AnalysisEnd = 10;
  EXPECT_NEAR(SetMassFromForce(s.trial, s.settings, s.view, Mode(false, true), after).mass, 80.0f,
              1e-4f);

  // A range outside the trial keeps the mass and still recalculates.
  s.settings.weight = 72.0f;
  recalculations = 0;
  for (const auto& [start, end] : {std::pair{0, 100}, std::pair{-1, 50}}) {
    s.view.AnalysisStart = start;
    s.view.AnalysisEnd = end;
    r = SetMassFromForce(s.trial, s.settings, s.view, Mode(false, true), after);
    EXPECT_FALSE(r.massComputed);
    EXPECT_EQ(s.settings.weight, 72.0f);
  }
  EXPECT_EQ(recalculations, 2);
}

TEST(EnterMassText, TypedMassIsCheckedThenRecalculates) {
  FilledSession f(100);
  Session& s = f.s;
  TestSession& t = f.t;
  s.settings.weight = 80.0f;
  int recalculations = 0;
  const AfterDerivation after = [&] { ++recalculations; };
  EXPECT_FALSE(EnterMassText(s.trial, s.settings, s.dialogs(), "", Mode(true, false), after));
  EXPECT_FALSE(EnterMassText(s.trial, s.settings, s.dialogs(), " ", Mode(true, false), after));
  EXPECT_TRUE(t.dialogs.shown.empty());
  for (const char* refused : {"0", "-5", "abc", "0.0"}) {
    EXPECT_FALSE(EnterMassText(s.trial, s.settings, s.dialogs(), refused, Mode(true, false), after))
        << refused;
  }
  ASSERT_EQ(t.dialogs.shown.size(), 4u);
  EXPECT_EQ(t.dialogs.shown[0].title, "Error in mass");
  EXPECT_EQ(t.dialogs.shown[0].text, "Mass must be greater than zero kilograms");
  EXPECT_EQ(t.dialogs.shown[0].icon, MessageIcon::Critical);
  EXPECT_EQ(s.settings.weight, 80.0f);
  EXPECT_EQ(recalculations, 0);

  EXPECT_TRUE(EnterMassText(s.trial, s.settings, s.dialogs(), "65.5", Mode(true, false), after));
  EXPECT_EQ(s.settings.weight, 65.5f);
  EXPECT_EQ(recalculations, 1);
}

}  // namespace
}  // namespace torvane
