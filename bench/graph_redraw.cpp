// The analysis window's graph offscreen: a redraw of one channel of 1 000 000
// samples and of a 32 000-sample trial at 1200 × 600, and a 32 000-sample
// trial with force opened, derived and drawn.
#include <benchmark/benchmark.h>

#include <qcustomplot.h>
#include <QApplication>
#include <QTemporaryDir>
#include <cmath>

#include "analysis/recalculate.hpp"
#include "analysis/ui/graph_widget.hpp"
#include "common/fake_event_loop.hpp"
#include "files/trial_file.hpp"
#include "shell/analysis_session.hpp"
#include "shell/session.hpp"

namespace {

std::vector<float> Wave(std::size_t n) {
  std::vector<float> v(n);
  for (std::size_t i = 0; i < n; ++i) v[i] = static_cast<float>(std::sin(i * 0.001) * 800 + 800);
  return v;
}

void Redraw(benchmark::State& state) {
  const auto n = static_cast<std::int32_t>(state.range(0));
  const std::vector<float> values = Wave(static_cast<std::size_t>(n));
  torvane::GraphWidget graph;
  graph.resize(1200, 600);
  graph.SetChannel(values, n, 500, "N");
  graph.SetView(0, n - 1, {0, 1600});
  graph.SetMarkers(10, n - 10);
  graph.Redraw();
  for (auto _ : state) graph.Plot()->replot(QCustomPlot::rpImmediateRefresh);
}
BENCHMARK(Redraw)->Arg(1000000)->Arg(32000)->Unit(benchmark::kMillisecond);

void OpenDeriveDraw(benchmark::State& state) {
  torvane::FakeEventLoop loop;
  torvane::ScriptedDialogs dialogs;
  torvane::Session session(torvane::PlatformServices{loop, loop, loop, dialogs});
  torvane::SettingsRecord& s = session.settings;
  s.samples = 32000;
  s.frequency = 500;
  s.RecordForce = true;
  s.weight = 80;
  s.velocFc = 16;  // the cut-offs of a new installation
  s.accelFc = 10;
  torvane::DimensionDataArrays(session.trial, s.samples);
  const std::vector<float> wave = Wave(32000);
  for (int i = 0; i < 32000; ++i) {
    session.trial.Displacement[i] = wave[i] / 1000;
    session.trial.Force[i] = wave[i];
  }
  QTemporaryDir dir;
  const std::string path = (dir.path() + "/big.qlx").toStdString();
  dialogs.paths.push_back(path);
  torvane::SaveTrialFile(torvane::TrialFileContextOf(session), 1);
  torvane::GraphWidget graph;
  graph.resize(1200, 600);
  const torvane::CalculationMode mode{.fromDisplacement = true, .fromForce = true};
  for (auto _ : state) {
    if (!torvane::LoadTrialFileAndRecalculate(torvane::TrialFileContextOf(session), session.view,
                                              path, mode)) {
      state.SkipWithError("the trial file was not opened");
      break;
    }
    graph.SetChannel(session.trial.Force, s.samples, s.frequency, "N");
    graph.SetView(0, s.samples - 1, {0, 1600});
    graph.Redraw();
  }
}
BENCHMARK(OpenDeriveDraw)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
