// How well a calculated runoff reproduces the measured one: the program's own
// R square and the figures hydrologists compare models by. Each criterion is
// one row of the table below and one function of the sums of a fit; every
// listing, parsing and printing of criteria goes through the table.
#pragma once

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>

// Sums over the points of a fit, in point order.
struct TFitSums {
  int Points = 0;
  double SumSq = 0;    // of the squared differences measured - calculated
  double SumAbs = 0;   // of the absolute differences
  double SumMeas = 0;  // of the measured runoff
  double SumCalc = 0;  // of the calculated runoff
  // Of the squared and crossed deviations from the two means.
  double SsMeas = 0, SsCalc = 0, Cross = 0;
};

enum class TCriterion { RSquare, Nse, Kge, VolumeError, Rmse };

struct TCriterionInfo {
  TCriterion Id;
  const char* Key;   // on the command line
  const char* Name;  // in reports
  // Not a number where the criterion does not exist (a flat series).
  double (*Compute)(const TFitSums&);
  // A calibration may maximise it.
  bool Objective;
  // Decimals of the rounded report, and the unit after the value ("" for none).
  int Decimals;
  const char* Unit;
};

// 1 - mean absolute difference / mean measured runoff.
double RSquareOf(const TFitSums& s);
// Nash-Sutcliffe: 1 - sum of squared differences / sum of squared
// deviations of the measured runoff from its mean.
double NseOf(const TFitSums& s);
// Kling-Gupta (2009): 1 - sqrt((r-1)^2 + (a-1)^2 + (b-1)^2) with r the
// correlation, a the ratio of standard deviations and b of means
// (calculated over measured).
double KgeOf(const TFitSums& s);
// 100 x (sum calculated - sum measured) / sum measured: how much water the
// model makes too much (above 0) or too little.
double VolumeErrorOf(const TFitSums& s);
// Root of the mean squared difference, in the unit of the runoff.
double RmseOf(const TFitSums& s);

inline constexpr std::array<TCriterionInfo, 5> Criteria = {{
    {TCriterion::RSquare, "rsquare", "R square", RSquareOf, true, 2, ""},
    {TCriterion::Nse, "nse", "NSE", NseOf, true, 3, ""},
    {TCriterion::Kge, "kge", "KGE", KgeOf, true, 3, ""},
    {TCriterion::VolumeError, "volume-error", "volume error", VolumeErrorOf, false, 2, "%"},
    {TCriterion::Rmse, "rmse", "RMSE", RmseOf, false, 3, ""},
}};

const TCriterionInfo& InfoOf(TCriterion criterion);
// The criterion of a command-line key; empty when none has it.
std::optional<TCriterion> CriterionByKey(std::string_view key);
// The keys of the objectives, "rsquare|nse|kge".
std::string ObjectiveKeys();

struct TFitCriteria {
  TFitSums Sums;
  std::array<double, Criteria.size()> Values{};
  double operator[](TCriterion criterion) const {
    return Values[static_cast<std::size_t>(criterion)];
  }
};

// Of points 1..n of two 1-based series (n >= 1).
TFitCriteria FitCriteria(const double* measured, const double* calculated, int n);
// Of two 0-based series of one length.
TFitCriteria FitCriteria(std::span<const double> measured, std::span<const double> calculated);

// "R square x, NSE y, KGE z, volume error v %, RMSE w": every criterion of
// the table in full precision.
std::string CriteriaLine(const TFitCriteria& fit);
// The same rounded to the table's decimals, for reading at a glance.
std::string RoundedCriteriaLine(const TFitCriteria& fit);
