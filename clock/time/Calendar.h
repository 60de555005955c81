// Calendar arithmetic on the proleptic Gregorian calendar, done here rather
// than with the C library so that it does not depend on the host's time zone
// or on the range of time_t.
#pragma once

#include <cstdint>

#include "clock/time/DateTime.h"

constexpr int64_t MillisecondsPerDay = 86'400'000;
// Day number of 1899-12-30, the zero of DateTime.
constexpr int64_t DateTimeDayZero = 693'594;

// The quotient rounded towards minus infinity, as calendar counts need it
// for times before their zero.
int64_t FloorDiv(int64_t a, int64_t b);

bool IsLeapYear(int year);
// 0 for a month outside 1..12.
int DaysInMonth(int year, int month);
// Year 1 to 9999, month 1 to 12, day within the month.
bool IsValidDate(int year, int month, int day);

// Day 1 is 0001-01-01. Defined for any year, also outside 1..9999.
int64_t DayNumber(int year, int month, int day);
// 0 = Sunday.
int DayOfWeek(int64_t dayNumber);

CalendarTime CalendarMillisecondsToCalendarTime(CalendarMilliseconds ms);
// The day of week is ignored.
CalendarMilliseconds CalendarTimeToCalendarMilliseconds(const CalendarTime& time);

// Rounded to the nearest millisecond.
CalendarMilliseconds DateTimeToCalendarMilliseconds(DateTime value);
DateTime CalendarMillisecondsToDateTime(CalendarMilliseconds ms);

CalendarTime DateTimeToCalendarTime(DateTime value);
DateTime CalendarTimeToDateTime(const CalendarTime& time);
