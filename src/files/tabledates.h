// The dates of a spreadsheet's table: the forms exports write them in, and
// the form the program writes them back in.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// A civil date and time, no time zone: the seconds from 1970-01-01 00:00.
struct TTableDate {
  long long Seconds = 0;
  bool HasTime = false;  // the text gave a time of day
};

constexpr long long SecondsPerDay = 86400;
constexpr long long SecondsPerHour = 3600;

// yyyy-mm-dd, yyyy/mm/dd or dd.mm.yyyy (months and days with one or two
// digits), each optionally followed by a blank or a T and hh:mm or
// hh:mm:ss. 24:00 is the next day's 00:00, as some loggers write the end of
// a day. Blanks around the text are allowed; empty for anything else,
// impossible dates (1985-02-30) included.
std::optional<TTableDate> ParseTableDate(std::string_view text);

// The date of three whole numbers, as a MOPEX record has them; empty when
// there is no such day.
std::optional<TTableDate> TableDateOf(int year, int month, int day);

// yyyy-mm-dd, with " hh:mm" (and ":ss" when not 0) when withTime.
std::string FormatTableDate(long long seconds, bool withTime);

// The dates of a record whose second title keeps them as import writes it:
// "time 1 = 1985-01-01, time unit 1 day" (or "1 hour"), so that the times of
// its input file can be named by date again.
struct TRecordDates {
  long long FirstSeconds = 0;  // the date of time 1
  long long UnitSeconds = SecondsPerDay;
  bool WithTime = false;  // the dates are written with a time of day
  // The date of a time value; empty for one far outside any calendar.
  std::string DateOf(double time) const;
};
std::optional<TRecordDates> RecordDatesOf(std::string_view title2);
