#include "model/criteria.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "base/numformat.h"

namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

static_assert([] {
  for (std::size_t i = 0; i < Criteria.size(); ++i)
    if (static_cast<std::size_t>(Criteria[i].Id) != i) return false;
  return true;
}(), "the criteria table is in the order of TCriterion");

double Mean(double sum, int points) { return points > 0 ? sum / points : NaN; }

// NSE of both series transformed point by point.
template <typename TTransform>
double TransformedNse(const TFitSeries& s, TTransform transform) {
  const std::size_t n = std::min(s.Measured.size(), s.Calculated.size());
  if (n == 0) return NaN;
  double meanMeas = 0;
  for (std::size_t i = 0; i < n; ++i) meanMeas += transform(s.Measured[i]);
  meanMeas /= static_cast<double>(n);
  double sq = 0, ss = 0;
  for (std::size_t i = 0; i < n; ++i) {
    const double m = transform(s.Measured[i]);
    const double d = m - transform(s.Calculated[i]);
    sq += d * d;
    ss += (m - meanMeas) * (m - meanMeas);
  }
  return ss > 0 ? 1 - sq / ss : NaN;
}

}  // namespace

double RSquareOf(const TFitSeries& series) {
  const TFitSums& s = series.Sums;
  const double meanMeas = s.Points > 0 ? s.SumMeas / s.Points : 0;
  return 1 - (s.SumAbs / s.Points) / meanMeas;
}

double NseOf(const TFitSeries& series) {
  const TFitSums& s = series.Sums;
  return s.SsMeas > 0 ? 1 - s.SumSq / s.SsMeas : NaN;
}

double KgeOf(const TFitSeries& series) {
  const TFitSums& s = series.Sums;
  const double meanMeas = Mean(s.SumMeas, s.Points);
  if (!(s.SsMeas > 0 && s.SsCalc > 0 && meanMeas != 0)) return NaN;
  const double r = s.Cross / std::sqrt(s.SsMeas * s.SsCalc);
  const double a = std::sqrt(s.SsCalc / s.SsMeas);
  const double b = Mean(s.SumCalc, s.Points) / meanMeas;
  return 1 - std::sqrt((r - 1) * (r - 1) + (a - 1) * (a - 1) + (b - 1) * (b - 1));
}

double Kge2012Of(const TFitSeries& series) {
  const TFitSums& s = series.Sums;
  const double meanMeas = Mean(s.SumMeas, s.Points), meanCalc = Mean(s.SumCalc, s.Points);
  if (!(s.SsMeas > 0 && s.SsCalc > 0 && meanMeas != 0 && meanCalc != 0)) return NaN;
  const double r = s.Cross / std::sqrt(s.SsMeas * s.SsCalc);
  // The standard deviations' common factor 1/n cancels in the ratio.
  const double g = (std::sqrt(s.SsCalc) / meanCalc) / (std::sqrt(s.SsMeas) / meanMeas);
  const double b = meanCalc / meanMeas;
  return 1 - std::sqrt((r - 1) * (r - 1) + (g - 1) * (g - 1) + (b - 1) * (b - 1));
}

double LogNseOf(const TFitSeries& series) {
  const double meanMeas = Mean(series.Sums.SumMeas, series.Sums.Points);
  if (!(meanMeas > 0)) return NaN;
  const double e = meanMeas / 100;
  return TransformedNse(series, [e](double q) { return std::log(std::max(q, 0.0) + e); });
}

double SqrtNseOf(const TFitSeries& series) {
  return TransformedNse(series, [](double q) { return std::sqrt(std::max(q, 0.0)); });
}

double VolumeErrorOf(const TFitSeries& series) {
  const TFitSums& s = series.Sums;
  return s.SumMeas != 0 ? 100 * (s.SumCalc - s.SumMeas) / s.SumMeas : NaN;
}

double RmseOf(const TFitSeries& series) {
  const TFitSums& s = series.Sums;
  return s.Points > 0 ? std::sqrt(s.SumSq / s.Points) : NaN;
}

const TCriterionInfo& InfoOf(TCriterion criterion) {
  return Criteria[static_cast<std::size_t>(criterion)];
}

std::optional<TCriterion> CriterionByKey(std::string_view key) {
  for (const auto& info : Criteria)
    if (key == info.Key) return info.Id;
  return std::nullopt;
}

std::string ObjectiveKeys() {
  std::string keys;
  for (const auto& info : Criteria) {
    if (!info.Objective) continue;
    if (!keys.empty()) keys += "|";
    keys += info.Key;
  }
  return keys;
}

TFitSums FitSums(std::span<const double> measured, std::span<const double> calculated) {
  TFitSums s;
  const std::size_t n = std::min(measured.size(), calculated.size());
  s.Points = static_cast<int>(n);
  // The output file's R square comes from these sums: they are made in the
  // order its writer always made them.
  for (std::size_t i = 0; i < n; ++i) {
    const double diff = measured[i] - calculated[i];
    s.SumMeas += measured[i];
    s.SumSq += diff * diff;
    s.SumAbs += std::fabs(diff);
  }
  // Deviations from the means in a second pass: no cancellation of large sums.
  for (std::size_t i = 0; i < n; ++i) s.SumCalc += calculated[i];
  const double meanMeas = n > 0 ? s.SumMeas / static_cast<double>(n) : 0;
  const double meanCalc = s.SumCalc / static_cast<double>(n);
  for (std::size_t i = 0; i < n; ++i) {
    const double dm = measured[i] - meanMeas;
    const double dc = calculated[i] - meanCalc;
    s.SsMeas += dm * dm;
    s.SsCalc += dc * dc;
    s.Cross += dm * dc;
  }
  return s;
}

double CriterionOf(TCriterion criterion, std::span<const double> measured,
                   std::span<const double> calculated) {
  const std::size_t n = std::min(measured.size(), calculated.size());
  const TFitSeries series{measured.first(n), calculated.first(n), FitSums(measured, calculated)};
  return InfoOf(criterion).Compute(series);
}

TFitCriteria FitCriteria(std::span<const double> measured, std::span<const double> calculated) {
  const std::size_t n = std::min(measured.size(), calculated.size());
  TFitCriteria fit;
  fit.Sums = FitSums(measured, calculated);
  const TFitSeries series{measured.first(n), calculated.first(n), fit.Sums};
  for (const auto& info : Criteria)
    fit.Values[static_cast<std::size_t>(info.Id)] = info.Compute(series);
  return fit;
}

TFitCriteria FitCriteria(const double* measured, const double* calculated, int n) {
  const auto count = static_cast<std::size_t>(n < 0 ? 0 : n);
  return FitCriteria(std::span<const double>(measured + 1, count),
                     std::span<const double>(calculated + 1, count));
}

namespace {

template <typename TFormat>
std::string Line(const TFitCriteria& fit, TFormat format) {
  std::string line;
  for (const auto& info : Criteria) {
    if (!line.empty()) line += ", ";
    line += std::string(info.Name) + " " + format(info, fit[info.Id]);
    if (*info.Unit) line += std::string(" ") + info.Unit;
  }
  return line;
}

}  // namespace

std::string CriteriaLine(const TFitCriteria& fit) {
  return Line(fit, [](const TCriterionInfo&, double value) { return FullPrecision(value); });
}

std::string RoundedCriteriaLine(const TFitCriteria& fit) {
  return Line(fit, [](const TCriterionInfo& info, double value) {
    return FormatFixed(value, 0, info.Decimals);
  });
}
