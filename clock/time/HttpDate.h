// The Date header of an HTTP response, turned into GMT and local DateTime.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "clock/time/DateTime.h"

struct ZoneDesignator {
  std::string_view Name;
  int OffsetMinutes; // local time = GMT + offset
};

extern const std::array<std::string_view, 7> WeekdayNames;
extern const std::array<std::string_view, 7> WeekdayAbbrevs;
// Month n is entry n - 1.
extern const std::array<std::string_view, 12> MonthAbbrevs;
extern const std::array<ZoneDesignator, 35> ZoneDesignators;

struct ClockTime {
  int Hour = 0;
  int Minute = 0;
  int Second = 0;
  int OffsetMinutes = 0;
};

// GMT of a date text; nullopt when the text is in none of the accepted
// forms. Fails with EConvertError when its fields give no valid date.
std::optional<DateTime> TryParseHttpDate(std::string_view text);
// TryParseHttpDate, with 0 (1899-12-30 00:00) for a text not recognised.
DateTime ParseHttpDate(std::string_view text);

ClockTime ParseClockTime(std::string_view text);
// 0 for a name that is not known.
int ZoneOffsetMinutes(std::string_view designator);
DateTime EncodeParsedDateTime(int year, int month, int day, int hour, int minute, int second,
                              int offsetMinutes);
int ExpandTwoDigitYear(int year);

// The zone bias in effect now (GMT = local + bias), daylight time included.
int32_t LocalZoneBias();
DateTime GmtToLocal(DateTime gmt, int32_t biasMinutes);
DateTime GmtToLocal(DateTime gmt);
DateTime HttpDateToLocal(std::string_view text);
