#include "model/criteria.h"

#include <cmath>
#include <limits>

TFitCriteria FitCriteria(const double* measured, const double* calculated, int n) {
  TFitCriteria fit;
  // The output file's R square comes from these sums: they are made in the
  // order its writer always made them.
  for (int i = 1; i <= n; ++i) {
    const double diff = measured[i] - calculated[i];
    fit.SumMeas += measured[i];
    fit.SumSq += diff * diff;
    fit.SumAbs += std::fabs(diff);
  }
  const double meanMeas = n > 0 ? fit.SumMeas / n : 0;
  fit.RSquare = 1 - (fit.SumAbs / n) / meanMeas;

  // Deviations from the means in a second pass: no cancellation of large sums.
  double sumCalc = 0;
  for (int i = 1; i <= n; ++i) sumCalc += calculated[i];
  const double meanCalc = sumCalc / n;
  double ssMeas = 0, ssCalc = 0, cross = 0;
  for (int i = 1; i <= n; ++i) {
    const double dm = measured[i] - meanMeas;
    const double dc = calculated[i] - meanCalc;
    ssMeas += dm * dm;
    ssCalc += dc * dc;
    cross += dm * dc;
  }
  const double nan = std::numeric_limits<double>::quiet_NaN();
  fit.Nse = ssMeas > 0 ? 1 - fit.SumSq / ssMeas : nan;
  if (ssMeas > 0 && ssCalc > 0 && meanMeas != 0) {
    const double r = cross / std::sqrt(ssMeas * ssCalc);
    const double a = std::sqrt(ssCalc / ssMeas);
    const double b = meanCalc / meanMeas;
    fit.Kge = 1 - std::sqrt((r - 1) * (r - 1) + (a - 1) * (a - 1) + (b - 1) * (b - 1));
  } else {
    fit.Kge = nan;
  }
  return fit;
}
