#include "graphs/chartticks.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

// Values a step of float noise away from a tick still count as on it.
constexpr double Slack = 1e-9;

double PowerOfTen(int exponent) { return std::pow(10.0, exponent); }

// Year, month and day of a day since 1970-01-01 (the proleptic Gregorian
// calendar, by eras of 400 years).
struct TCivil {
  long long Year;
  int Month, Day;
};
TCivil CivilOf(long long day) {
  const long long z = day + 719468;
  const long long era = (z >= 0 ? z : z - 146096) / 146097;
  const long long doe = z - era * 146097;
  const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const long long mp = (5 * doy + 2) / 153;
  const int d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  const int m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  return {yoe + era * 400 + (m <= 2 ? 1 : 0), m, d};
}

long long FloorDiv(long long a, long long b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }
long long Mod(long long a, long long b) { return a - FloorDiv(a, b) * b; }

}  // namespace

double NiceStep(double low, double high, int maxTicks) {
  const double span = high - low;
  if (!(span > 0) || !std::isfinite(span)) return 1;
  const double raw = span / std::max(maxTicks, 1);
  const double magnitude = PowerOfTen(static_cast<int>(std::floor(std::log10(raw))));
  for (const double m : {1.0, 2.0, 5.0})
    if (m * magnitude >= raw * (1 - Slack)) return m * magnitude;
  return 10 * magnitude;
}

std::pair<double, double> NiceRange(double low, double high, int maxTicks) {
  if (!(high > low)) {
    const double pad = low == 0 ? 1 : std::abs(low) * 0.1;
    low -= pad;
    high += pad;
  }
  const double step = NiceStep(low, high, maxTicks);
  return {std::floor(low / step + Slack) * step, std::ceil(high / step - Slack) * step};
}

std::vector<TAxisTick> NiceTicks(double low, double high, int maxTicks) {
  std::vector<TAxisTick> ticks;
  if (!(high >= low) || !std::isfinite(high - low)) return ticks;
  const double step = NiceStep(low, high, maxTicks);
  const double first = std::ceil(low / step - Slack), last = std::floor(high / step + Slack);
  for (double k = first; k <= last && ticks.size() < 1000; ++k) {
    double value = k * step;
    if (std::abs(value) < step * Slack) value = 0;  // no "-0"
    ticks.push_back({value, ChartTickLabel(value, step)});
  }
  return ticks;
}

std::string ChartTickLabel(double value, double step) {
  char text[64];
  const double magnitude = std::max(std::abs(value), step);
  if (magnitude >= 1e9 || step < 1e-6) {
    std::snprintf(text, sizeof text, "%g", value);
    return text;
  }
  const int decimals = std::max(0, -static_cast<int>(std::floor(std::log10(step) + Slack)));
  std::snprintf(text, sizeof text, "%.*f", decimals, value == 0 ? 0.0 : value);
  return text;
}

std::string DayText(long long day) {
  const TCivil c = CivilOf(day);
  char text[40];
  std::snprintf(text, sizeof text, "%04lld-%02d-%02d", c.Year, c.Month, c.Day);
  return text;
}

long long DayOf(long long year, int month, int day) {
  const long long y = year - (month <= 2 ? 1 : 0);
  const long long era = FloorDiv(y, 400);
  const long long yoe = y - era * 400;
  const long long doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

std::vector<TAxisTick> DateTicks(double low, double high, int maxTicks) {
  std::vector<TAxisTick> ticks;
  // Far outside any calendar there is nothing to label.
  if (!(high >= low) || low < -1e8 || high > 1e8) return ticks;
  const long long first = static_cast<long long>(std::ceil(low));
  const long long last = static_cast<long long>(std::floor(high));
  const auto limit = static_cast<std::size_t>(std::max(maxTicks, 1));
  for (const long long n : {1, 2, 7, 14}) {
    if ((last - first) / n + 1 > maxTicks) continue;
    for (long long d = first + Mod(n - Mod(first, n), n); d <= last; d += n)
      ticks.push_back({static_cast<double>(d), DayText(d)});
    return ticks;
  }
  const TCivil from = CivilOf(first);
  for (const int n : {1, 2, 3, 6}) {
    ticks.clear();
    const long long months0 = from.Year * 12 + (from.Month - 1);
    for (long long m = months0; ticks.size() <= limit; ++m) {
      if (Mod(m, 12) % n != 0) continue;
      const long long d = DayOf(FloorDiv(m, 12), static_cast<int>(Mod(m, 12)) + 1, 1);
      if (d < first) continue;
      if (d > last) break;
      ticks.push_back({static_cast<double>(d), DayText(d)});
    }
    if (ticks.size() <= limit) return ticks;
  }
  for (const long long n : {1, 2, 5, 10, 20, 50, 100, 200, 500, 1000, 10000, 100000}) {
    ticks.clear();
    for (long long y = from.Year + Mod(n - Mod(from.Year, n), n); ticks.size() <= limit; y += n) {
      const long long d = DayOf(y, 1, 1);
      if (d < first) continue;
      if (d > last) break;
      ticks.push_back({static_cast<double>(d), std::to_string(y)});
    }
    if (ticks.size() <= limit) return ticks;
  }
  return {};
}

std::pair<double, double> LogRange(double low, double high) {
  if (!(low > 0) || !(high >= low)) return {1, 10};
  auto down = [](double v) {
    const int e = static_cast<int>(std::floor(std::log10(v) + Slack));
    for (const double m : {5.0, 2.0, 1.0})
      if (m * PowerOfTen(e) <= v * (1 + Slack)) return m * PowerOfTen(e);
    return PowerOfTen(e);
  };
  auto up = [](double v) {
    const int e = static_cast<int>(std::floor(std::log10(v) - Slack));
    for (const double m : {1.0, 2.0, 5.0, 10.0})
      if (m * PowerOfTen(e) >= v * (1 - Slack)) return m * PowerOfTen(e);
    return PowerOfTen(e + 1);
  };
  double l = down(low), h = up(high);
  if (h <= l) h = up(l * 1.5);
  return {l, h};
}

std::vector<TAxisTick> LogTicks(double low, double high, int maxTicks) {
  std::vector<TAxisTick> ticks;
  if (!(low > 0) || !(high >= low) || !std::isfinite(high)) return ticks;
  const int e0 = static_cast<int>(std::floor(std::log10(low) + Slack));
  const int e1 = static_cast<int>(std::floor(std::log10(high) + Slack));
  const auto limit = static_cast<std::size_t>(std::max(maxTicks, 1));
  auto collect = [&](const std::vector<int>& mantissas, int every) {
    ticks.clear();
    for (int e = e0; e <= e1; ++e) {
      if (Mod(e, every) != 0) continue;
      for (const int m : mantissas) {
        const double v = m * PowerOfTen(e);
        if (v < low * (1 - Slack) || v > high * (1 + Slack)) continue;
        // The decimals the value needs, and no more.
        ticks.push_back({v, ChartTickLabel(v, PowerOfTen(std::min(e, 0)))});
        if (ticks.size() > limit) return false;
      }
    }
    return true;
  };
  if (collect({1, 2, 3, 4, 5, 6, 7, 8, 9}, 1)) return ticks;
  if (collect({1, 2, 5}, 1)) return ticks;
  for (int every = 1; every <= 400; every *= 2)
    if (collect({1}, every)) return ticks;
  return {};
}
