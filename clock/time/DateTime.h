// The two time scales of the clock program and the calendar record.
#pragma once

#include <cstdint>

// Days since 1899-12-30 00:00; the fraction is the time of day.
using DateTime = double;

// Whole milliseconds on the proleptic Gregorian calendar, 0001-01-01 being
// day 1: day number * 86 400 000 + milliseconds since midnight.
using CalendarMilliseconds = int64_t;

// The operating system's local-time record (as SetLocalTime takes it).
struct CalendarTime {
  int Year = 0;
  int Month = 0;
  int Day = 0;
  int DayOfWeek = 0; // 0 = Sunday
  int Hour = 0;
  int Minute = 0;
  int Second = 0;
  int Millisecond = 0;
};
