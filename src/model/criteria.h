// How well a calculated runoff reproduces the measured one: the program's own
// R square and the two efficiencies hydrologists compare models by.
#pragma once

struct TFitCriteria {
  // Sums over the points, in point order: squared and absolute differences
  // and the measured runoff.
  double SumSq = 0;
  double SumAbs = 0;
  double SumMeas = 0;
  // 1 - mean absolute difference / mean measured runoff.
  double RSquare = 0;
  // Nash-Sutcliffe: 1 - sum of squared differences / sum of squared
  // deviations of the measured runoff from its mean.
  double Nse = 0;
  // Kling-Gupta (2009): 1 - sqrt((r-1)^2 + (a-1)^2 + (b-1)^2) with r the
  // correlation, a the ratio of standard deviations and b of means
  // (calculated over measured). Not a number when either series is flat.
  double Kge = 0;
};

// Of points 1..n of two 1-based series (n >= 1).
TFitCriteria FitCriteria(const double* measured, const double* calculated, int n);
