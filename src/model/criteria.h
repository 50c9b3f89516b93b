// How well a calculated runoff reproduces the measured one: the program's own
// R square and the figures hydrologists compare models by. Each criterion is
// one row of the table below and one function of the two series; every
// listing, parsing and printing of criteria goes through the table, so a new
// criterion (a transform of the flows, say) is one row and one function.
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

// What a criterion is computed from: the two series of one length and
// their sums, made once for all criteria.
struct TFitSeries {
  std::span<const double> Measured, Calculated;
  TFitSums Sums;
};

enum class TCriterion { RSquare, Nse, Kge, Kge2012, LogNse, SqrtNse, VolumeError, Rmse };

struct TCriterionInfo {
  TCriterion Id;
  const char* Key;   // on the command line, in tables and model files
  const char* Name;  // in reports
  const char* Tag;   // in names of things made for each, such as a window's labels
  // Not a number where the criterion does not exist (a flat series).
  double (*Compute)(const TFitSeries&);
  // A calibration may maximise it.
  bool Objective;
  // Decimals of the rounded report, and the unit after the value ("" for none).
  int Decimals;
  const char* Unit;
};

// 1 - mean absolute difference / mean measured runoff.
double RSquareOf(const TFitSeries& s);
// Nash-Sutcliffe: 1 - sum of squared differences / sum of squared
// deviations of the measured runoff from its mean.
double NseOf(const TFitSeries& s);
// Kling-Gupta (2009): 1 - sqrt((r-1)^2 + (a-1)^2 + (b-1)^2) with r the
// correlation, a the ratio of standard deviations and b of means
// (calculated over measured).
double KgeOf(const TFitSeries& s);
// Kling-Gupta as revised in 2012: the ratio of the coefficients of
// variation in place of that of the standard deviations, so that a bias
// does not count twice.
double Kge2012Of(const TFitSeries& s);
// NSE of ln(Q + e), e a hundredth of the mean measured runoff: judges the
// low flows, and a flow of 0 still has a logarithm.
double LogNseOf(const TFitSeries& s);
// NSE of the square roots: between the high flows of NSE and the low ones
// of log NSE.
double SqrtNseOf(const TFitSeries& s);
// 100 x (sum calculated - sum measured) / sum measured: how much water the
// model makes too much (above 0) or too little.
double VolumeErrorOf(const TFitSeries& s);
// Root of the mean squared difference, in the unit of the runoff.
double RmseOf(const TFitSeries& s);

inline constexpr std::array<TCriterionInfo, 8> Criteria = {{
    {TCriterion::RSquare, "rsquare", "R square", "RSquare", RSquareOf, true, 2, ""},
    {TCriterion::Nse, "nse", "NSE", "Nse", NseOf, true, 3, ""},
    {TCriterion::Kge, "kge", "KGE", "Kge", KgeOf, true, 3, ""},
    {TCriterion::Kge2012, "kge2012", "KGE 2012", "Kge2012", Kge2012Of, true, 3, ""},
    {TCriterion::LogNse, "lognse", "log NSE", "LogNse", LogNseOf, true, 3, ""},
    {TCriterion::SqrtNse, "sqrtnse", "sqrt NSE", "SqrtNse", SqrtNseOf, true, 3, ""},
    {TCriterion::VolumeError, "volume_error", "volume error", "Volume", VolumeErrorOf, false, 2, "%"},
    {TCriterion::Rmse, "rmse", "RMSE", "Rmse", RmseOf, false, 3, ""},
}};

const TCriterionInfo& InfoOf(TCriterion criterion);
// The criterion of a key; empty when none has it.
std::optional<TCriterion> CriterionByKey(std::string_view key);
// The keys of the objectives, "rsquare|nse|kge|...".
std::string ObjectiveKeys();

struct TFitCriteria {
  TFitSums Sums;
  std::array<double, Criteria.size()> Values{};
  double operator[](TCriterion criterion) const {
    return Values[static_cast<std::size_t>(criterion)];
  }
};

// The sums of two 0-based series of one length (the shorter decides).
TFitSums FitSums(std::span<const double> measured, std::span<const double> calculated);
// One criterion alone: what a search needs of each candidate.
double CriterionOf(TCriterion criterion, std::span<const double> measured,
                   std::span<const double> calculated);

// Of points 1..n of two 1-based series (n >= 1).
TFitCriteria FitCriteria(const double* measured, const double* calculated, int n);
// Of two 0-based series of one length.
TFitCriteria FitCriteria(std::span<const double> measured, std::span<const double> calculated);

// "R square x, NSE y, KGE z, ...": every criterion of the table in full
// precision.
std::string CriteriaLine(const TFitCriteria& fit);
// The same rounded to the table's decimals, for reading at a glance.
std::string RoundedCriteriaLine(const TFitCriteria& fit);
