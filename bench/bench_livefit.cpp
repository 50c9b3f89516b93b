// Speed of the calibration window's live path: one change of a parameter
// to the refit, the chart's series replaced and the chart painted, for a
// year of days and for 1500 points. "frames" is the time of one change as
// a share of a 16 ms frame: under 1 keeps up with a drag. And how the
// window goes on while its search runs: "wait_ms" is the longest time
// between two turns of its event loop (on a loaded machine it includes
// waits for a processor), "work_ms" the most processor time the window's
// thread spent between two. And a change of the Uncertainty tab's
// threshold after 1000 and 3000 samples, in frames as well.
//
//   build/bench/tolvane_bench_livefit
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDoubleSpinBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <ctime>

#include "bench_record.h"
#include "model/dmquorell.h"
#include "model/livefit.h"
#include "model/workpool.h"
#include "ui/calibrationform.h"
#include "ui/uncertaintypanel.h"

namespace {

// The benchmarks' record as the sheet would give it, stored as Save/Run stores it.
TRunInput Record(int n) {
  TDMQuorell dm;
  FillDailyRecord(dm, n);
  return *StoredDetermination(dm);
}

void Report(benchmark::State& state, double seconds) {
  const double perChange = seconds / static_cast<double>(state.iterations());
  state.counters["frames"] = perChange / 0.016;
}

// The model alone: the refit and the series the chart takes.
void Refit(benchmark::State& state) {
  const TRecord data = RecordOf(Record(static_cast<int>(state.range(0))).Points);
  TWorkPool pool;
  double maxSto = 10;
  const auto start = std::chrono::steady_clock::now();
  for (auto _ : state) {
    maxSto = maxSto > 60 ? 10 : maxSto + 0.01;
    benchmark::DoNotOptimize(RefitLive(data.View(), {maxSto, maxSto / 2, maxSto / 20}, &pool).Fit);
  }
  Report(state, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
}

// The chart alone: the series of a fit replaced, then painted.
void Chart(benchmark::State& state) {
  const TRecord data = RecordOf(Record(static_cast<int>(state.range(0))).Points);
  const TLiveFit fits[2] = {RefitLive(data.View(), {20, 10, 1}), RefitLive(data.View(), {40, 10, 2})};
  TCalibrationChart chart;
  chart.resize(940, 340);
  chart.show();
  chart.ShowRecord(fits[0]);
  int k = 0;
  const auto start = std::chrono::steady_clock::now();
  for (auto _ : state) {
    chart.ShowFit(fits[k ^= 1]);
    // The chart lays its series out when the event loop next turns.
    QApplication::processEvents();
    if (state.range(1)) chart.viewport()->repaint();
  }
  Report(state, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
}

// The window: a change of the spin box, the refit it starts, the series
// replaced, and the chart painted.
void Change(benchmark::State& state) {
  auto* form = TCalibrationForm::Open(Record(static_cast<int>(state.range(0))), "", nullptr);
  auto* spin = form->findChild<QDoubleSpinBox*>("MaxStorageSpin");
  auto* chart = form->findChild<TCalibrationChart*>();
  QApplication::processEvents();
  double maxSto = 10;
  const auto start = std::chrono::steady_clock::now();
  for (auto _ : state) {
    maxSto = maxSto > 60 ? 10 : maxSto + 0.01;
    spin->setValue(maxSto);
    QApplication::processEvents();  // the refit
    chart->viewport()->repaint();
  }
  Report(state, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  if (form->LastFit().Store.MaxSto != StoredParameter(maxSto)) state.SkipWithError("the last change was not fitted");
  delete form;
}

// The Uncertainty tab: range(1) samples of the record drawn once, then a
// change of the threshold, the behavioural set chosen, its band and dots
// drawn and the chart painted.
void Threshold(benchmark::State& state) {
  auto* form = TCalibrationForm::Open(Record(static_cast<int>(state.range(0))), "", nullptr);
  auto* panel = form->UncertaintyPart();
  form->findChild<QSpinBox*>("SamplesSpin")->setValue(static_cast<int>(state.range(1)));
  QEventLoop loop;
  QObject::connect(panel, &TUncertaintyPanel::SamplingChanged, &loop, [&](bool on) {
    if (!on) loop.quit();
  });
  form->findChild<QPushButton*>("SampleButton")->click();
  loop.exec();
  auto* spin = form->findChild<QDoubleSpinBox*>("ThresholdSpin");
  auto* chart = form->findChild<TCalibrationChart*>();
  const double low = spin->minimum(), high = spin->value();
  int k = 0;
  const auto start = std::chrono::steady_clock::now();
  for (auto _ : state) {
    // From the best tenth to halfway down and back: hundreds of samples in and out.
    spin->setValue((k ^= 1) ? (low + high) / 2 : high);
    QApplication::processEvents();
    chart->viewport()->repaint();
  }
  Report(state, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  if (!panel->Behavioural()) state.SkipWithError("no behavioural samples");
  delete form;
}

// The processor time of the calling thread, in ms.
double ThreadMs() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

// The window's event loop, beaten every 5 ms, while "Calibrate" searches.
void Calibrate(benchmark::State& state) {
  auto* form = TCalibrationForm::Open(Record(static_cast<int>(state.range(0))), "", nullptr);
  auto* button = form->findChild<QPushButton*>("CalibrateButton");
  QApplication::processEvents();
  double wait = 0, work = 0;
  for (auto _ : state) {
    QEventLoop loop;
    QObject::connect(form, &TCalibrationForm::CalibrationEnded, &loop, &QEventLoop::quit);
    QElapsedTimer clock;
    qint64 last = 0;
    double lastCpu = ThreadMs();
    QTimer beat;
    QObject::connect(&beat, &QTimer::timeout, [&] {
      const qint64 now = clock.elapsed();
      const double cpu = ThreadMs();
      wait = std::max(wait, static_cast<double>(now - last));
      work = std::max(work, cpu - lastCpu);
      last = now;
      lastCpu = cpu;
    });
    clock.start();
    button->click();
    beat.start(5);
    loop.exec();
  }
  state.counters["wait_ms"] = wait;
  state.counters["work_ms"] = work;
  delete form;
}

}  // namespace

BENCHMARK(Refit)->Arg(365)->Arg(1500)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(Chart)->ArgsProduct({{365, 1500}, {0, 1}})->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(Change)->Arg(365)->Arg(1500)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(Threshold)->ArgsProduct({{1500}, {1000, 3000}})->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(Calibrate)->Arg(365)->Arg(1500)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
