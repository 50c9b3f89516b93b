// The bands of the behavioural samples: weighted quantiles of their runs at
// every point, for a report (ComputeBands, memory bounded) and for a
// window that changes the behavioural set often (TBandTable).
#include <algorithm>
#include <cmath>
#include <limits>

#include "model/quickrun.h"
#include "model/routing.h"
#include "model/uncertainty.h"
#include "model/workpool.h"

namespace {

constexpr double Levels[3] = {0.05, 0.5, 0.95};
// Points a pool item takes when the quantiles are made.
constexpr std::size_t PointBlock = 64;

// The three quantiles of values met in ascending order: value(k) and
// weight(k) of the k-th of count, total the sum of the weights.
template <class Value, class Weight>
void Quantiles(std::size_t count, const Value& value, const Weight& weight, double total,
               double (&out)[3]) {
  std::size_t level = 0;
  double sum = 0;
  for (std::size_t k = 0; k < count && level < 3; ++k) {
    const double w = weight(k);
    if (!(w > 0)) continue;
    sum += w;
    while (level < 3 && sum >= Levels[level] * total) out[level++] = value(k);
  }
  for (; level < 3; ++level) out[level] = std::numeric_limits<double>::quiet_NaN();
}

// One sample's run on the record, with its own reservoirs and alpha.
bool RunOf(const TRecordView& record, std::span<const double> measured, const TUncertaintySample& s,
           const TUncertaintySettings& settings, std::vector<double>& calculated) {
  TExtensions e;
  e.SlowPath = settings.SlowPath;
  if (e.SlowPath) {
    e.BaseShare = s.BaseShare;
    e.BaseAlpha = s.BaseAlpha;
  }
  const std::size_t n = measured.size();
  e.Evaporation = !settings.Pet.empty();
  if (e.Evaporation)
    e.PetMean = settings.PetMean > 0 ? settings.PetMean
                                     : PetMeanOf(settings.Pet.first(std::min(n, settings.Pet.size())));
  if (!ExtensionsFault(e, settings.Pet, n).empty()) return false;
  return GivenRun(record.Time.first(n), record.Rain.first(n), measured, s.Store, s.NrOfRes,
                  s.Alpha, e, settings.Pet, calculated);
}

// The member of highest objective, the first of equals.
std::size_t BestMember(std::span<const TUncertaintySample> samples, const TBehavioural& b) {
  std::size_t best = b.Members.front();
  for (std::size_t i : b.Members)
    if (samples[i].Objective > samples[best].Objective) best = i;
  return best;
}

std::vector<double> BestRun(const TRecordView& record, std::span<const double> measured,
                            const TUncertaintySample& s, const TUncertaintySettings& settings) {
  std::vector<double> run;
  if (!RunOf(record, measured, s, settings, run))
    run.assign(measured.size(), std::numeric_limits<double>::quiet_NaN());
  return run;
}

void Resize(TBands& bands, std::size_t n) {
  bands.Q05.resize(n);
  bands.Q50.resize(n);
  bands.Q95.resize(n);
}

}  // namespace

double WeightedQuantile(std::span<const double> values, std::span<const double> weights, double p) {
  const std::size_t n = std::min(values.size(), weights.size());
  std::vector<std::size_t> order;
  double total = 0;
  for (std::size_t i = 0; i < n; ++i)
    if (weights[i] > 0 && !std::isnan(values[i])) {
      order.push_back(i);
      total += weights[i];
    }
  if (order.empty()) return std::numeric_limits<double>::quiet_NaN();
  std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    return values[a] < values[b] || (values[a] == values[b] && a < b);
  });
  double sum = 0;
  for (std::size_t i : order) {
    sum += weights[i];
    if (sum >= p * total) return values[i];
  }
  return values[order.back()];
}

TBands ComputeBands(const TRecordView& record, std::span<const TUncertaintySample> samples,
                    const TBehavioural& behavioural, const TUncertaintySettings& settings,
                    TWorkPool* pool, std::size_t memory) {
  TBands bands;
  const std::vector<double> measured = MeasuredAsTaken(record);
  const std::size_t n = measured.size(), m = behavioural.Members.size();
  if (m == 0 || n == 0) return bands;
  bands.Best = BestRun(record, measured, samples[BestMember(samples, behavioural)], settings);
  Resize(bands, n);
  const std::size_t block = std::clamp<std::size_t>(memory / (m * sizeof(float)), 1, n);
  std::vector<float> runs(m * block);
  std::vector<char> ran(m, 0);
  double total = 0;
  for (std::size_t first = 0; first < n; first += block) {
    const std::size_t size = std::min(block, n - first);
    ForEachOn(pool, m, [&](std::size_t k) {
      thread_local std::vector<double> run;
      ran[k] = RunOf(record, measured, samples[behavioural.Members[k]], settings, run);
      if (ran[k])
        std::copy_n(run.begin() + static_cast<std::ptrdiff_t>(first), size, runs.begin() + static_cast<std::ptrdiff_t>(k * size));
    });
    if (first == 0)
      for (std::size_t k = 0; k < m; ++k)
        if (ran[k]) total += behavioural.Weights[k];
    ForEachOn(pool, (size + PointBlock - 1) / PointBlock, [&](std::size_t item) {
      thread_local std::vector<std::pair<float, std::uint32_t>> sorted;
      for (std::size_t t = item * PointBlock; t < std::min(size, (item + 1) * PointBlock); ++t) {
        sorted.clear();
        for (std::size_t k = 0; k < m; ++k)
          if (ran[k]) sorted.emplace_back(runs[k * size + t], static_cast<std::uint32_t>(k));
        std::sort(sorted.begin(), sorted.end());
        double q[3];
        Quantiles(
            sorted.size(), [&](std::size_t j) { return static_cast<double>(sorted[j].first); },
            [&](std::size_t j) { return behavioural.Weights[sorted[j].second]; }, total, q);
        bands.Q05[first + t] = q[0];
        bands.Q50[first + t] = q[1];
        bands.Q95[first + t] = q[2];
      }
    });
  }
  return bands;
}

TBandFit JudgeBands(std::span<const double> measured, const TBands& bands, int warmUp) {
  const std::size_t n = std::min({measured.size(), bands.Q05.size(), bands.Q95.size()});
  std::size_t inside = 0, count = 0;
  double width = 0, sum = 0;
  for (std::size_t t = std::min(static_cast<std::size_t>(std::max(warmUp, 0)), n); t < n; ++t) {
    if (std::isnan(measured[t]) || std::isnan(bands.Q05[t]) || std::isnan(bands.Q95[t])) continue;
    ++count;
    if (measured[t] >= bands.Q05[t] && measured[t] <= bands.Q95[t]) ++inside;
    width += bands.Q95[t] - bands.Q05[t];
    sum += measured[t];
  }
  TBandFit fit;
  if (count == 0) return fit;
  fit.ContainingRatio = static_cast<double>(inside) / static_cast<double>(count);
  fit.RelativeWidth = sum > 0 ? width / sum : std::numeric_limits<double>::quiet_NaN();
  return fit;
}

TBandTable::TBandTable(const TRecordView& record, std::span<const TUncertaintySample> samples,
                       const TUncertaintySettings& settings, TWorkPool* pool)
    : Samples(samples.begin(), samples.end()), Settings(settings), Pool(pool) {
  const std::size_t n = record.Size();
  Time.assign(record.Time.begin(), record.Time.begin() + static_cast<std::ptrdiff_t>(n));
  Rain.assign(record.Rain.begin(), record.Rain.begin() + static_cast<std::ptrdiff_t>(n));
  Measured = MeasuredAsTaken(record);
  if (!Settings.Pet.empty()) {
    if (!(Settings.PetMean > 0)) Settings.PetMean = PetMeanOf(Settings.Pet.first(std::min(n, Settings.Pet.size())));
    Pet.assign(Settings.Pet.begin(), Settings.Pet.end());
  }
  Settings.Pet = Pet;
  Points = n;
  const TRecordView own{Time, Rain, Measured};
  std::vector<std::uint32_t> kept;
  for (std::size_t i = 0; i < Samples.size(); ++i)
    if (Samples[i].Valid) kept.push_back(static_cast<std::uint32_t>(i));
  std::vector<float> runs(kept.size() * n);
  std::vector<char> ran(kept.size(), 0);
  ForEachOn(Pool, kept.size(), [&](std::size_t k) {
    thread_local std::vector<double> run;
    ran[k] = RunOf(own, Measured, Samples[kept[k]], Settings, run);
    if (ran[k]) std::copy(run.begin(), run.end(), runs.begin() + static_cast<std::ptrdiff_t>(k * n));
  });
  std::vector<std::size_t> rows;
  for (std::size_t k = 0; k < kept.size(); ++k)
    if (ran[k]) rows.push_back(k);
  Runs = rows.size();
  Sorted.resize(Runs * n);
  Whose.resize(Runs * n);
  ForEachOn(Pool, (n + PointBlock - 1) / PointBlock, [&](std::size_t item) {
    std::vector<std::pair<float, std::uint32_t>> sorted;
    for (std::size_t t = item * PointBlock; t < std::min(n, (item + 1) * PointBlock); ++t) {
      sorted.clear();
      for (std::size_t k : rows) sorted.emplace_back(runs[k * n + t], kept[k]);
      std::sort(sorted.begin(), sorted.end());
      for (std::size_t j = 0; j < Runs; ++j) {
        Sorted[t * Runs + j] = sorted[j].first;
        Whose[t * Runs + j] = sorted[j].second;
      }
    }
  });
  Has.assign(Samples.size(), 0);
  for (std::size_t k : rows) Has[kept[k]] = 1;
  // A copy of the table must not look at this one's series.
  Settings.Pet = {};
}

TBands TBandTable::Bands(const TBehavioural& behavioural) const {
  TBands bands;
  if (behavioural.Members.empty() || Points == 0) return bands;
  const TRecordView own{Time, Rain, Measured};
  TUncertaintySettings settings = Settings;
  settings.Pet = Pet;
  bands.Best = BestRun(own, Measured, Samples[BestMember(Samples, behavioural)], settings);
  Resize(bands, Points);
  std::vector<double> weight(Samples.size(), 0);
  double total = 0;
  for (std::size_t k = 0; k < behavioural.Members.size(); ++k) {
    const std::size_t i = behavioural.Members[k];
    if (i >= Samples.size() || !Has[i]) continue;
    weight[i] = behavioural.Weights[k];
    total += weight[i];
  }
  ForEachOn(Pool, (Points + PointBlock - 1) / PointBlock, [&](std::size_t item) {
    for (std::size_t t = item * PointBlock; t < std::min(Points, (item + 1) * PointBlock); ++t) {
      const float* values = Sorted.data() + t * Runs;
      const std::uint32_t* whose = Whose.data() + t * Runs;
      double q[3];
      Quantiles(
          Runs, [&](std::size_t j) { return static_cast<double>(values[j]); },
          [&](std::size_t j) { return weight[whose[j]]; }, total, q);
      bands.Q05[t] = q[0];
      bands.Q50[t] = q[1];
      bands.Q95[t] = q[2];
    }
  });
  return bands;
}
