#include "model/criteria.h"

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

}  // namespace

double RSquareOf(const TFitSums& s) {
  const double meanMeas = s.Points > 0 ? s.SumMeas / s.Points : 0;
  return 1 - (s.SumAbs / s.Points) / meanMeas;
}

double NseOf(const TFitSums& s) { return s.SsMeas > 0 ? 1 - s.SumSq / s.SsMeas : NaN; }

double KgeOf(const TFitSums& s) {
  const double meanMeas = s.SumMeas / s.Points;
  if (!(s.SsMeas > 0 && s.SsCalc > 0 && meanMeas != 0)) return NaN;
  const double r = s.Cross / std::sqrt(s.SsMeas * s.SsCalc);
  const double a = std::sqrt(s.SsCalc / s.SsMeas);
  const double b = (s.SumCalc / s.Points) / meanMeas;
  return 1 - std::sqrt((r - 1) * (r - 1) + (a - 1) * (a - 1) + (b - 1) * (b - 1));
}

double VolumeErrorOf(const TFitSums& s) {
  return s.SumMeas != 0 ? 100 * (s.SumCalc - s.SumMeas) / s.SumMeas : NaN;
}

double RmseOf(const TFitSums& s) {
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

TFitCriteria FitCriteria(std::span<const double> measured, std::span<const double> calculated) {
  TFitCriteria fit;
  TFitSums& s = fit.Sums;
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
  for (const auto& info : Criteria) fit.Values[static_cast<std::size_t>(info.Id)] = info.Compute(s);
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
