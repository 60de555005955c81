#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

#include "clock/Exceptions.h"
#include "clock/time/Calendar.h"
#include "clock/time/HttpDate.h"
#include "tests/unit/FakeSystemClock.h"

namespace {

std::string Show(const CalendarTime& t) {
  char text[64];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", t.Year, t.Month, t.Day, t.Hour,
                t.Minute, t.Second);
  std::string shown = text;
  if (t.Millisecond != 0) {
    std::snprintf(text, sizeof text, ".%03d", t.Millisecond);
    shown += text;
  }
  return shown;
}

const char* const NotRecognised = "not recognised";
const char* const EncodingError = "encoding error";

std::string ParseAndShow(std::string_view text) {
  try {
    const std::optional<DateTime> gmt = TryParseHttpDate(text);
    return gmt ? Show(DateTimeToCalendarTime(*gmt)) : NotRecognised;
  } catch (const EConvertError&) {
    return EncodingError;
  }
}

struct DateCase {
  const char* Text;
  const char* Expected; // GMT, NotRecognised or EncodingError
};

const DateCase DateCases[] = {
    // The three forms.
    {"Sun, 06 Nov 1994 08:49:37 GMT", "1994-11-06 08:49:37"},
    {"Sunday, 06-Nov-94 08:49:37 GMT", "1994-11-06 08:49:37"},
    {"Sun Nov 16 08:49:37 1994", "1994-11-16 08:49:37"},
    // A space-padded asctime day shifts the fields: day and year read as 0.
    {"Sun Nov  6 08:49:37 1994", EncodingError},
    // Without weekday, any letter case, surrounding blanks, comma without blank.
    {"06 Nov 1994 08:49:37 GMT", "1994-11-06 08:49:37"},
    {"06-Nov-94 08:49:37 GMT", "1994-11-06 08:49:37"},
    {"Nov 16 08:49:37 1994", "1994-11-16 08:49:37"},
    {"sun, 06 nov 1994 08:49:37 gmt", "1994-11-06 08:49:37"},
    {"SUNDAY, 06-NOV-94 08:49:37 GMT", "1994-11-06 08:49:37"},
    {" \t Sun, 06 Nov 1994 08:49:37 GMT\r\n", "1994-11-06 08:49:37"},
    {"Sun,06 Nov 1994 08:49:37 GMT", "1994-11-06 08:49:37"},
    // The weekday is not compared with the date.
    {"Fri, 06 Nov 1994 08:49:37 GMT", "1994-11-06 08:49:37"},
    // Two-digit years of the dashed form only.
    {"06-Nov-49 08:49:37 GMT", "2049-11-06 08:49:37"},
    {"06-Nov-50 08:49:37 GMT", "1950-11-06 08:49:37"},
    {"06-Nov-1994 08:49:37 GMT", "1994-11-06 08:49:37"},
    {"06 Nov 94 08:49:37 GMT", "0094-11-06 08:49:37"},
    // Clock forms.
    {"06 Nov 1994 0849 GMT", "1994-11-06 08:49:00"},
    {"06 Nov 1994 08:49 GMT", "1994-11-06 08:49:00"},
    {"06 Nov 1994", "1994-11-06 00:00:00"},
    {"06 Nov 1994 GMT", "1994-11-06 00:00:00"},
    {"06 Nov 1994 08 GMT", "1994-11-06 00:00:00"},
    {"06 Nov 1994 08:49:37:00 GMT", "1994-11-06 00:00:00"},
    // A clock in no known form drops its zone as well.
    {"06 Nov 1994 08 +0900", "1994-11-06 00:00:00"},
    {"06 Nov 1994 25:49:60 GMT", "1994-11-06 23:49:59"},
    {"06 Nov 1994 -1:-5:xx GMT", "1994-11-06 00:00:00"},
    {"06 Nov 1994 08:49:37 GMT and more", "1994-11-06 08:49:37"},
    // Zones move the instant across days.
    {"06 Nov 1994 08:49:37 +0900", "1994-11-05 23:49:37"},
    {"06 Nov 1994 20:00:00 -0500", "1994-11-07 01:00:00"},
    {"06 Nov 1994 20:00:00 EST", "1994-11-07 01:00:00"},
    {"06 Nov 1994 08:49:37 UTC", "1994-11-06 08:49:37"},
    {"06 Nov 1994 08:49:37 JST", "1994-11-06 08:49:37"},
    {"06 Nov 1994 08:49:37 J", "1994-11-06 08:49:37"},
    {"06 Nov 1994 08:49:37 I", "1994-11-06 17:49:37"},
    {"31 Dec 1999 23:30:00 -0100", "2000-01-01 00:30:00"},
    {"01 Mar 2000 00:10:00 +0020", "2000-02-29 23:50:00"},
    // Calendar limits.
    {"29 Feb 2000 12:00:00 GMT", "2000-02-29 12:00:00"},
    {"29 Feb 1900 12:00:00 GMT", EncodingError},
    {"29 Feb 2019 12:00:00 GMT", EncodingError},
    {"31 Apr 2020 12:00:00 GMT", EncodingError},
    {"00 Nov 1994 08:49:37 GMT", EncodingError},
    {"01 Jan 0001 00:00:00 GMT", "0001-01-01 00:00:00"},
    {"31 Dec 9999 23:59:59 GMT", "9999-12-31 23:59:59"},
    {"01 Jan 10000 00:00:00 GMT", EncodingError},
    {"06 Nov 99999999999 08:49:37 GMT", EncodingError},
    {"Nov 16 08:49:37", EncodingError},
    // Not in a known form.
    {"", NotRecognised},
    {"   ", NotRecognised},
    {"garbage", NotRecognised},
    {"Sun,", NotRecognised},
    {"06-Nov-94 08:49:37", NotRecognised},
    {"06-Nov 08:49:37 GMT", NotRecognised},
    {"06-Foo-94 08:49:37 GMT", NotRecognised},
    {"06 November 1994 08:49:37 GMT", NotRecognised},
    {"Foo, 06 Nov 1994 08:49:37 GMT", NotRecognised},
    {"\x93\xfa\x95\x74 06 Nov 1994", NotRecognised},
};

TEST(HttpDate, ParsesDateTexts) {
  for (const DateCase& c : DateCases)
    EXPECT_EQ(ParseAndShow(c.Text), c.Expected) << "input: \"" << c.Text << "\"";
}

TEST(HttpDate, UnrecognisedTextGivesZero) {
  EXPECT_EQ(ParseHttpDate("garbage"), 0.0);
  EXPECT_EQ(ParseHttpDate("Sun, 06 Nov 1994 08:49:37 GMT"),
            34644 + (8 * 3600 + 49 * 60 + 37) / 86400.0);
}

TEST(HttpDate, ImpossibleDateFailsWithThePlatformText) {
  try {
    ParseHttpDate("31 Feb 2020 00:00:00 GMT");
    FAIL() << "no exception";
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message, "日付に変換できない値が渡されました");
    EXPECT_STREQ(e.what(), "日付に変換できない値が渡されました");
  }
}

TEST(HttpDate, ZoneOffsets) {
  const struct {
    const char* Designator;
    int Offset;
  } cases[] = {
      {"GMT", 0},      {"ut", 0},       {"EST", -300}, {"EDT", -240},  {"CST", -360},
      {"CDT", -300},   {"MST", -420},   {"MDT", -360}, {"pst", -480},  {"PDT", -420},
      {"Z", 0},        {"A", -60},      {"M", -720},   {"N", 60},      {"y", 720},
      {"J", 0},        {"UTC", 0},      {"JST", 0},    {"", 0},        {" EST ", -300},
      {"+0900", 540},  {"-0500", -300}, {"+09", 540},  {"+0930", 570}, {"-0930", -570},
      {"+2500", 1380}, {"-0075", -59},  {"+", 0},      {"+x", 0},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ZoneOffsetMinutes(c.Designator), c.Offset)
        << "designator: \"" << c.Designator << "\"";
}

TEST(HttpDate, GmtToLocalWithJapanBias) {
  const DateTime gmt = ParseHttpDate("Sun, 06 Nov 1994 08:49:37 GMT");
  EXPECT_EQ(Show(DateTimeToCalendarTime(GmtToLocal(gmt, -540))), "1994-11-06 17:49:37");
  EXPECT_EQ(GmtToLocal(gmt, -540) - gmt, 0.375);
}

TEST(HttpDate, LocalZoneBiasAddsDaylightBiasOnlyWhileInEffect) {
  FakeSystemClock clock;
  clock.Zone.Bias = 480;
  clock.Zone.StandardBias = 30;
  clock.Zone.DaylightBias = -60;

  clock.Zone.ResultCode = 2;
  EXPECT_EQ(LocalZoneBias(), 420);
  const DateTime gmt = ParseHttpDate("06 Nov 1994 20:00:00 GMT");
  EXPECT_EQ(Show(DateTimeToCalendarTime(HttpDateToLocal("06 Nov 1994 20:00:00 GMT"))),
            "1994-11-06 13:00:00");
  EXPECT_EQ(GmtToLocal(gmt), GmtToLocal(gmt, 420));

  for (uint32_t code : {0u, 1u, 0xFFFFFFFFu}) {
    clock.Zone.ResultCode = code;
    EXPECT_EQ(LocalZoneBias(), 480) << "result code " << code;
  }
}

TEST(Calendar, DayNumbersAndWeekdays) {
  EXPECT_EQ(DayNumber(1, 1, 1), 1);
  EXPECT_EQ(DayNumber(1899, 12, 30), 693594);
  EXPECT_EQ(DateTimeToCalendarMilliseconds(0), 693594 * MillisecondsPerDay);
  EXPECT_EQ(DayOfWeek(DayNumber(1, 1, 1)), 1);      // Monday
  EXPECT_EQ(DayOfWeek(DayNumber(1899, 12, 30)), 6); // Saturday
  EXPECT_EQ(DayOfWeek(DayNumber(1994, 11, 6)), 0);  // Sunday
  EXPECT_EQ(DayOfWeek(DayNumber(2026, 12, 7)), 1);  // Monday
  EXPECT_EQ(DayOfWeek(DayNumber(0, 12, 31)), 0);    // the day before day 1
}

// Walks day by day with the month lengths and checks that numbering and
// decoding agree with the walk across four centuries of leap rules.
TEST(Calendar, DayByDayAgreesWithMonthLengths) {
  int year = 1600, month = 1, day = 1;
  const int64_t first = DayNumber(year, month, day);
  for (int64_t n = first; year < 2401; ++n) {
    ASSERT_EQ(DayNumber(year, month, day), n) << year << "-" << month << "-" << day;
    const CalendarTime t = CalendarMillisecondsToCalendarTime(n * MillisecondsPerDay);
    ASSERT_TRUE(t.Year == year && t.Month == month && t.Day == day) << "day " << n;
    ASSERT_EQ(t.DayOfWeek, (n - first + 6) % 7) << "day " << n; // 1600-01-01 was a Saturday
    if (++day > DaysInMonth(year, month)) {
      day = 1;
      if (++month > 12) {
        month = 1;
        ++year;
      }
    }
  }
}

TEST(Calendar, LeapYearsAndValidDates) {
  EXPECT_TRUE(IsLeapYear(2000));
  EXPECT_TRUE(IsLeapYear(2024));
  EXPECT_FALSE(IsLeapYear(1900));
  EXPECT_FALSE(IsLeapYear(2023));
  EXPECT_EQ(DaysInMonth(2024, 2), 29);
  EXPECT_EQ(DaysInMonth(2023, 2), 28);
  EXPECT_EQ(DaysInMonth(2023, 13), 0);
  EXPECT_TRUE(IsValidDate(9999, 12, 31));
  EXPECT_FALSE(IsValidDate(0, 1, 1));
  EXPECT_FALSE(IsValidDate(2023, 0, 1));
  EXPECT_FALSE(IsValidDate(2023, 6, 31));
}

TEST(Calendar, DateTimeConversions) {
  // Rounded to the nearest millisecond, carrying into the next day.
  const DateTime almostMidnight = 1 - 0.4 / MillisecondsPerDay;
  EXPECT_EQ(Show(DateTimeToCalendarTime(almostMidnight)), "1899-12-31 00:00:00");
  EXPECT_EQ(Show(DateTimeToCalendarTime(1 - 0.6 / MillisecondsPerDay)), "1899-12-30 23:59:59.999");

  // Before the zero the scale runs on without a gap.
  const CalendarTime before = {1899, 12, 29, 5, 6, 0, 0, 0};
  EXPECT_EQ(CalendarTimeToDateTime(before), -0.75);
  EXPECT_EQ(Show(DateTimeToCalendarTime(-0.75)), "1899-12-29 06:00:00");

  const CalendarTime t = {2026, 12, 7, 1, 14, 46, 40, 250};
  const CalendarTime back = DateTimeToCalendarTime(CalendarTimeToDateTime(t));
  EXPECT_EQ(Show(back), "2026-12-07 14:46:40.250");
  EXPECT_EQ(back.DayOfWeek, 1);
  EXPECT_EQ(CalendarMillisecondsToDateTime(CalendarTimeToCalendarMilliseconds(t)),
            CalendarTimeToDateTime(t));
}

} // namespace
