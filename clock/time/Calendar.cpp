#include "clock/time/Calendar.h"

#include <cmath>

namespace {

// Day 1 (0001-01-01) counts from 1970-01-01 as day 1 - 719 163.
constexpr int64_t UnixEpochDayNumber = 719'163;

int64_t FloorMod(int64_t a, int64_t b) {
  return a - FloorDiv(a, b) * b;
}

// Days since 1970-01-01 of a civil date, counting in 400-year eras that
// start on 1 March so that the leap day ends each era's year.
int64_t DaysFromCivil(int64_t y, int m, int d) {
  y -= m <= 2;
  const int64_t era = FloorDiv(y, 400);
  const int64_t yearOfEra = y - era * 400;
  const int64_t dayOfYear = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
  const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146'097 + dayOfEra - 719'468;
}

void CivilFromDays(int64_t z, int& year, int& month, int& day) {
  z += 719'468;
  const int64_t era = FloorDiv(z, 146'097);
  const int64_t dayOfEra = z - era * 146'097;
  const int64_t yearOfEra =
      (dayOfEra - dayOfEra / 1460 + dayOfEra / 36'524 - dayOfEra / 146'096) / 365;
  const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const int64_t mp = (5 * dayOfYear + 2) / 153;
  day = static_cast<int>(dayOfYear - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int>(yearOfEra + era * 400 + (month <= 2));
}

} // namespace

int64_t FloorDiv(int64_t a, int64_t b) {
  return a / b - (a % b != 0 && (a < 0) != (b < 0));
}

bool IsLeapYear(int year) {
  return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

int DaysInMonth(int year, int month) {
  static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12)
    return 0;
  return month == 2 && IsLeapYear(year) ? 29 : days[month - 1];
}

bool IsValidDate(int year, int month, int day) {
  return year >= 1 && year <= 9999 && day >= 1 && day <= DaysInMonth(year, month);
}

int64_t DayNumber(int year, int month, int day) {
  return DaysFromCivil(year, month, day) + UnixEpochDayNumber;
}

int DayOfWeek(int64_t dayNumber) {
  // Day 1 was a Monday.
  return static_cast<int>(FloorMod(dayNumber, 7));
}

CalendarTime CalendarMillisecondsToCalendarTime(CalendarMilliseconds ms) {
  const int64_t days = FloorDiv(ms, MillisecondsPerDay);
  int64_t rest = ms - days * MillisecondsPerDay;
  CalendarTime time;
  CivilFromDays(days - UnixEpochDayNumber, time.Year, time.Month, time.Day);
  time.DayOfWeek = DayOfWeek(days);
  time.Millisecond = static_cast<int>(rest % 1000);
  rest /= 1000;
  time.Second = static_cast<int>(rest % 60);
  rest /= 60;
  time.Minute = static_cast<int>(rest % 60);
  time.Hour = static_cast<int>(rest / 60);
  return time;
}

CalendarMilliseconds CalendarTimeToCalendarMilliseconds(const CalendarTime& time) {
  const int64_t timeOfDay =
      ((int64_t{time.Hour} * 60 + time.Minute) * 60 + time.Second) * 1000 + time.Millisecond;
  return DayNumber(time.Year, time.Month, time.Day) * MillisecondsPerDay + timeOfDay;
}

// A DateTime is read as a plain count of days: before 1899-12-30 the whole
// part is the floor, so that -0.75 is 06:00 of 1899-12-29 and the scale has
// no gap around zero.
CalendarMilliseconds DateTimeToCalendarMilliseconds(DateTime value) {
  const double days = std::floor(value);
  const int64_t timeOfDay = std::llround((value - days) * MillisecondsPerDay);
  return (static_cast<int64_t>(days) + DateTimeDayZero) * MillisecondsPerDay + timeOfDay;
}

DateTime CalendarMillisecondsToDateTime(CalendarMilliseconds ms) {
  const int64_t days = FloorDiv(ms, MillisecondsPerDay);
  const int64_t timeOfDay = ms - days * MillisecondsPerDay;
  return static_cast<double>(days - DateTimeDayZero) +
         static_cast<double>(timeOfDay) / MillisecondsPerDay;
}

CalendarTime DateTimeToCalendarTime(DateTime value) {
  return CalendarMillisecondsToCalendarTime(DateTimeToCalendarMilliseconds(value));
}

DateTime CalendarTimeToDateTime(const CalendarTime& time) {
  return CalendarMillisecondsToDateTime(CalendarTimeToCalendarMilliseconds(time));
}
