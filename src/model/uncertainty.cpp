#include "model/uncertainty.h"

#include <algorithm>
#include <cmath>
#include <random>

#include "base/numformat.h"
#include "model/quickrun.h"
#include "model/routing.h"
#include "model/workpool.h"

namespace {

// Samples judged between two calls of the progress.
constexpr std::size_t Block = 256;

// A uniform number strictly inside (0, 1) from 53 random bits, the same on
// every library (std's distributions are not).
double Unit(std::mt19937_64& random) {
  return (static_cast<double>(random() >> 11) + 0.5) * 0x1.0p-53;
}

// The Latin hypercube: every dimension's N strata each taken once, in an
// order of its own; coordinates in (0, 1).
std::vector<std::vector<double>> LatinHypercube(std::size_t n, std::size_t dims,
                                                std::uint64_t seed) {
  std::mt19937_64 random(seed);
  std::vector<std::vector<double>> x(n, std::vector<double>(dims));
  std::vector<std::size_t> order(n);
  for (std::size_t d = 0; d < dims; ++d) {
    for (std::size_t i = 0; i < n; ++i) order[i] = i;
    for (std::size_t i = n; i > 1; --i) std::swap(order[i - 1], order[random() % i]);
    for (std::size_t i = 0; i < n; ++i)
      x[i][d] = (static_cast<double>(order[i]) + Unit(random)) / static_cast<double>(n);
  }
  return x;
}

TExtensions ExtensionsOf(const TUncertaintySample& s, const TUncertaintySettings& settings,
                         std::size_t n) {
  TExtensions e;
  e.SlowPath = settings.SlowPath;
  if (e.SlowPath) {
    e.BaseShare = s.BaseShare;
    e.BaseAlpha = s.BaseAlpha;
  }
  e.Evaporation = !settings.Pet.empty();
  if (e.Evaporation)
    e.PetMean = settings.PetMean > 0 ? settings.PetMean
                                     : PetMeanOf(settings.Pet.first(std::min(n, settings.Pet.size())));
  return e;
}

void Determine(const TRecordView& record, TUncertaintySample& s,
               const TUncertaintySettings& settings) {
  TRunSettings run;
  run.WarmUp = settings.WarmUp;
  run.Extensions = ExtensionsOf(s, settings, record.Size());
  run.Pet = settings.Pet;
  const TRun result = DetermineRun(record, s.Store, run);
  s.Determined = true;
  s.Valid = result.Ok();
  s.NrOfRes = s.Valid ? result.NrOfRes : 0;
  s.Alpha = s.Valid ? result.Alpha : 0;
  s.Fit = s.Valid ? result.Fit : TFitCriteria{};
  s.Objective = s.Valid ? ObjectiveOf(settings.Objective, result.Fit)
                        : -std::numeric_limits<double>::infinity();
}

void Guess(const TRecordView& record, std::span<const double> measured, TUncertaintySample& s,
           const TUncertaintySettings& settings) {
  thread_local std::vector<double> calculated;
  const std::size_t n = measured.size();
  const TExtensions e = ExtensionsOf(s, settings, n);
  if (!ExtensionsFault(e, settings.Pet, n).empty()) return;
  const TQuickRun run = QuickRun(record.Time.first(n), record.Rain.first(n), measured, s.Store, e,
                                 settings.Pet, calculated);
  if (!run.Valid) return;
  s.Valid = true;
  s.NrOfRes = run.NrOfRes;
  s.Alpha = run.Alpha;
  const auto skip = std::min(static_cast<std::size_t>(std::max(settings.WarmUp, 0)), n);
  s.Fit = FitCriteria(measured.subspan(skip), std::span<const double>(calculated).subspan(skip));
  s.Objective = ObjectiveOf(settings.Objective, s.Fit);
}

}  // namespace

std::vector<TUncertaintySample> SampleUncertainty(
    const TRecordView& record, const TUncertaintySettings& settings, TWorkPool* pool,
    const std::function<void(const TUncertaintyProgress&)>& progress) {
  const auto count = static_cast<std::size_t>(std::max(settings.Samples, 0));
  const std::size_t dims = settings.SlowPath ? 5 : 3;
  const auto x = LatinHypercube(count, dims, settings.Seed);
  const double low = settings.Bounds.MaxStoLow, high = settings.Bounds.MaxStoHigh;
  std::vector<TUncertaintySample> samples(count);
  for (std::size_t i = 0; i < count; ++i) {
    TUncertaintySample& s = samples[i];
    s.Store.MaxSto = low * std::pow(high / low, x[i][0]);
    s.Store.IniSto = x[i][1] * s.Store.MaxSto;
    s.Store.MaxEsc = x[i][2] * s.Store.MaxSto / 10;
    if (settings.SlowPath) {
      s.BaseShare = x[i][3];
      s.BaseAlpha = BaseAlphaAt(x[i][4]);
    }
  }
  const std::vector<double> measured = MeasuredAsTaken(record);
  for (std::size_t first = 0; first < count; first += Block) {
    const std::size_t size = std::min(Block, count - first);
    ForEachOn(pool, size, [&](std::size_t k) {
      TUncertaintySample& s = samples[first + k];
      if (settings.DetermineAll)
        Determine(record, s, settings);
      else
        Guess(record, measured, s, settings);
    });
    if (progress) progress({static_cast<int>(first + size), static_cast<int>(count)});
  }
  return samples;
}

std::optional<TBehavioural> SelectBehavioural(std::span<const TUncertaintySample> samples,
                                              const TBehaviouralRule& rule, std::string& error) {
  if (rule.Threshold.has_value() == rule.BestShare.has_value()) {
    error = "give either a threshold or a best share";
    return std::nullopt;
  }
  std::vector<std::size_t> valid;
  for (std::size_t i = 0; i < samples.size(); ++i)
    if (samples[i].Valid && std::isfinite(samples[i].Objective)) valid.push_back(i);
  double best = -std::numeric_limits<double>::infinity();
  for (std::size_t i : valid) best = std::max(best, samples[i].Objective);
  TBehavioural b;
  if (rule.Threshold) {
    const double t = *rule.Threshold;
    if (!std::isfinite(t) || t > 1) {
      error = "the threshold " + FormatGeneral(t, '.') +
              " is out of range: the objectives are at most 1";
      return std::nullopt;
    }
    b.Threshold = t;
    for (std::size_t i : valid)
      if (samples[i].Objective >= t) b.Members.push_back(i);
    if (b.Members.empty()) {
      error = "no sample is behavioural: none reaches the threshold " + FormatGeneral(t, '.') +
              (valid.empty() ? std::string(" (no sample gives a fit)")
                             : "; the best reaches " + FormatGeneral(best, '.') +
                                   ": give a lower threshold");
      return std::nullopt;
    }
  } else {
    const double p = *rule.BestShare;
    if (!(p > 0 && p <= 1)) {
      error = "the best share " + FormatGeneral(p, '.') + " is out of range: it must be above 0 "
              "and at most 1";
      return std::nullopt;
    }
    if (valid.empty()) {
      error = "no sample is behavioural: no sample gives a fit";
      return std::nullopt;
    }
    // Best first, ties in sample order.
    std::stable_sort(valid.begin(), valid.end(), [&](std::size_t a, std::size_t c) {
      return samples[a].Objective > samples[c].Objective;
    });
    const auto keep = std::clamp<std::size_t>(
        static_cast<std::size_t>(std::ceil(p * static_cast<double>(samples.size()) - 1e-9)), 1,
        valid.size());
    b.Members.assign(valid.begin(), valid.begin() + static_cast<std::ptrdiff_t>(keep));
    b.Threshold = keep < valid.size() ? samples[valid[keep]].Objective
                                      : samples[valid[keep - 1]].Objective;
    std::sort(b.Members.begin(), b.Members.end());
  }
  double sum = 0;
  for (std::size_t i : b.Members) {
    b.Weights.push_back(samples[i].Objective - b.Threshold);
    sum += b.Weights.back();
  }
  // All on the threshold itself: each weighs the same.
  for (double& w : b.Weights) w = sum > 0 ? w / sum : 1.0 / static_cast<double>(b.Members.size());
  return b;
}

std::optional<TBehavioural> SelectConfirmed(const TRecordView& record,
                                            std::vector<TUncertaintySample>& samples,
                                            const TBehaviouralRule& rule,
                                            const TUncertaintySettings& settings, TWorkPool* pool,
                                            std::string& error, int* determined) {
  int total = 0;
  for (;;) {
    std::string why;
    const auto chosen = SelectBehavioural(samples, rule, why);
    // The level below which no guess is looked at again.
    double level = 0;
    if (chosen) {
      level = chosen->Threshold;
    } else if (rule.Threshold && std::isfinite(*rule.Threshold) && *rule.Threshold <= 1) {
      level = *rule.Threshold;
    } else {
      error = why;
      return std::nullopt;
    }
    std::vector<std::size_t> open;
    for (std::size_t i = 0; i < samples.size(); ++i)
      if (!samples[i].Determined && samples[i].Valid && samples[i].Objective >= level - ConfirmMargin)
        open.push_back(i);
    if (chosen)
      for (std::size_t i : chosen->Members)
        if (!samples[i].Determined && std::find(open.begin(), open.end(), i) == open.end())
          open.push_back(i);
    if (open.empty()) {
      if (determined) *determined = total;
      if (!chosen) error = why;
      return chosen;
    }
    ForEachOn(pool, open.size(), [&](std::size_t k) { Determine(record, samples[open[k]], settings); });
    total += static_cast<int>(open.size());
  }
}
