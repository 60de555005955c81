// The HTTP date text a server sends, and the host's time it is made from,
// for test peers; written with the clock's own calendar arithmetic.
#pragma once

#include <chrono>
#include <cstdio>
#include <string>

#include "clock/time/Calendar.h"

namespace peer {

// A moment of the host's clock on the calendar's scale.
inline CalendarMilliseconds CalendarMillisecondsOf(std::chrono::system_clock::time_point at) {
  return DayNumber(1970, 1, 1) * MillisecondsPerDay +
         std::chrono::duration_cast<std::chrono::milliseconds>(at.time_since_epoch()).count();
}

// "Fri, 11 Dec 2026 05:46:37 GMT" for a GMT time; milliseconds are dropped.
inline std::string FormatHttpDate(CalendarMilliseconds gmt) {
  static const char* const days[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  static const char* const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                       "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  const CalendarTime t = CalendarMillisecondsToCalendarTime(gmt);
  char text[40];
  std::snprintf(text, sizeof text, "%s, %02d %s %04d %02d:%02d:%02d GMT", days[t.DayOfWeek], t.Day,
                months[t.Month - 1], t.Year, t.Hour, t.Minute, t.Second);
  return text;
}

} // namespace peer
