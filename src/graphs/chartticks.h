// The ticks of a chart's axes: round numbers, dates, decades; each with its
// label. maxTicks bounds how many ticks an axis gets; the layout lowers it
// until the labels fit.
#pragma once

#include <string>
#include <utility>
#include <vector>

struct TAxisTick {
  double Value;
  std::string Label;
  friend bool operator==(const TAxisTick&, const TAxisTick&) = default;
};

// The step 1, 2 or 5 times a power of ten that cuts low .. high into at
// most maxTicks intervals.
double NiceStep(double low, double high, int maxTicks);
// low .. high widened to whole steps of NiceStep; a range of nothing is
// widened around its value first.
std::pair<double, double> NiceRange(double low, double high, int maxTicks);
// The multiples of NiceStep within low .. high.
std::vector<TAxisTick> NiceTicks(double low, double high, int maxTicks);

// Days since 1970-01-01 as YYYY-MM-DD, and back (day may run past the
// month's end: March 0 is the last of February).
std::string DayText(long long day);
long long DayOf(long long year, int month, int day);

// Midnights within low .. high (days since 1970-01-01): every n days,
// first days of every n months or first days of every n years, the
// finest that gives no more than maxTicks; labelled YYYY-MM-DD, or YYYY for
// years.
std::vector<TAxisTick> DateTicks(double low, double high, int maxTicks);

// A log axis (low > 0): low .. high widened to 1, 2 or 5 times a power of
// ten; its ticks at 1 .. 9, 1, 2, 5 or 1 times the powers of ten, every
// decade or every few, the finest that gives no more than maxTicks.
std::pair<double, double> LogRange(double low, double high);
std::vector<TAxisTick> LogTicks(double low, double high, int maxTicks);

// A tick label with as many decimals as the step needs.
std::string ChartTickLabel(double value, double step);
