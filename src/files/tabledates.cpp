#include "files/tabledates.h"

#include <chrono>
#include <cmath>
#include <cstdio>

namespace {

// Reads minDigits to maxDigits decimal digits at text[i].
std::optional<int> Digits(std::string_view text, std::size_t& i, std::size_t minDigits,
                          std::size_t maxDigits) {
  int value = 0;
  std::size_t n = 0;
  while (i < text.size() && n < maxDigits && text[i] >= '0' && text[i] <= '9') {
    value = value * 10 + (text[i] - '0');
    ++i;
    ++n;
  }
  if (n < minDigits) return std::nullopt;
  return value;
}

bool Expect(std::string_view text, std::size_t& i, char c) {
  if (i >= text.size() || text[i] != c) return false;
  ++i;
  return true;
}

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

}  // namespace

std::optional<TTableDate> TableDateOf(int year, int month, int day) {
  using namespace std::chrono;
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > 31)
    return std::nullopt;
  const year_month_day ymd{std::chrono::year{year}, std::chrono::month{static_cast<unsigned>(month)},
                           std::chrono::day{static_cast<unsigned>(day)}};
  if (!ymd.ok()) return std::nullopt;
  TTableDate date;
  date.Seconds = static_cast<long long>(sys_days{ymd}.time_since_epoch().count()) * SecondsPerDay;
  return date;
}

std::optional<TTableDate> ParseTableDate(std::string_view text) {
  text = TrimBlanks(text);
  std::size_t i = 0;
  std::optional<int> year, month, day;
  // The first group tells the form: four digits lead the year first.
  std::size_t probe = 0;
  const auto lead = Digits(text, probe, 1, 4);
  if (!lead) return std::nullopt;
  if (probe == 4) {
    year = Digits(text, i, 4, 4);
    const char sep = i < text.size() ? text[i] : '\0';
    if (sep != '-' && sep != '/') return std::nullopt;
    ++i;
    month = Digits(text, i, 1, 2);
    if (!month || !Expect(text, i, sep)) return std::nullopt;
    day = Digits(text, i, 1, 2);
  } else {
    day = Digits(text, i, 1, 2);
    if (!day || !Expect(text, i, '.')) return std::nullopt;
    month = Digits(text, i, 1, 2);
    if (!month || !Expect(text, i, '.')) return std::nullopt;
    year = Digits(text, i, 4, 4);
  }
  if (!year || !month || !day) return std::nullopt;
  auto date = TableDateOf(*year, *month, *day);
  if (!date) return std::nullopt;
  if (i == text.size()) return date;

  if (text[i] == 'T') {
    ++i;
  } else {
    if (text[i] != ' ') return std::nullopt;
    while (i < text.size() && text[i] == ' ') ++i;
  }
  const auto hour = Digits(text, i, 1, 2);
  if (!hour || !Expect(text, i, ':')) return std::nullopt;
  const auto minute = Digits(text, i, 2, 2);
  if (!minute) return std::nullopt;
  int second = 0;
  if (i < text.size()) {
    if (!Expect(text, i, ':')) return std::nullopt;
    const auto s = Digits(text, i, 2, 2);
    if (!s || i != text.size()) return std::nullopt;
    second = *s;
  }
  if (*minute > 59 || second > 59) return std::nullopt;
  if (*hour > 24 || (*hour == 24 && (*minute != 0 || second != 0))) return std::nullopt;
  date->Seconds += *hour * SecondsPerHour + *minute * 60LL + second;
  date->HasTime = true;
  return date;
}

std::string FormatTableDate(long long seconds, bool withTime) {
  using namespace std::chrono;
  long long days = seconds / SecondsPerDay;
  long long rest = seconds % SecondsPerDay;
  if (rest < 0) {
    rest += SecondsPerDay;
    --days;
  }
  const year_month_day ymd{sys_days{std::chrono::days{days}}};
  char text[40];
  std::snprintf(text, sizeof text, "%04d-%02u-%02u", static_cast<int>(ymd.year()),
                static_cast<unsigned>(ymd.month()), static_cast<unsigned>(ymd.day()));
  std::string out = text;
  if (withTime) {
    const auto h = static_cast<int>(rest / SecondsPerHour);
    const auto m = static_cast<int>(rest % SecondsPerHour / 60);
    const auto s = static_cast<int>(rest % 60);
    std::snprintf(text, sizeof text, " %02d:%02d", h, m);
    out += text;
    if (s != 0) {
      std::snprintf(text, sizeof text, ":%02d", s);
      out += text;
    }
  }
  return out;
}

std::string TRecordDates::DateOf(double time) const {
  const double offset = (time - 1) * static_cast<double>(UnitSeconds);
  // Beyond some 30 000 years either way the calendar has no date for it.
  if (!(std::fabs(offset) < 1e12)) return "";
  return FormatTableDate(FirstSeconds + std::llround(offset), WithTime);
}

std::optional<TRecordDates> RecordDatesOf(std::string_view title2) {
  constexpr std::string_view lead = "time 1 = ", unit = ", time unit 1 ";
  title2 = TrimBlanks(title2);
  if (!title2.starts_with(lead)) return std::nullopt;
  title2.remove_prefix(lead.size());
  const auto at = title2.find(unit);
  if (at == std::string_view::npos) return std::nullopt;
  const auto date = ParseTableDate(title2.substr(0, at));
  const std::string_view word = title2.substr(at + unit.size());
  if (!date || (word != "day" && word != "hour")) return std::nullopt;
  TRecordDates dates;
  dates.FirstSeconds = date->Seconds;
  dates.UnitSeconds = word == "hour" ? SecondsPerHour : SecondsPerDay;
  dates.WithTime = date->HasTime || word == "hour";
  return dates;
}
