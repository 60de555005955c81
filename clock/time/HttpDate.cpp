// Date header texts. Accepted forms, each with or without a leading weekday
// (full or abbreviated, followed by a blank or a comma):
//
//   06 Nov 1994 08:49:37 GMT     day, month name, four-digit year, clock, zone
//   06-Nov-94 08:49:37 GMT       day-month-year (two-digit years expanded), clock, zone
//   Nov  6 08:49:37 1994         month name, day, clock, year
//
// The clock is hh:mm:ss, hh:mm or hhmm, optionally followed by a zone: a
// name of ZoneDesignators or a numeric +hhmm / -hhmm offset. Names compare
// without regard to ASCII letter case. Fields are separated by single blanks
// (any character up to code 32): a second blank makes an empty field, so a
// space-padded day shifts the fields. Fields that are not integers read as 0,
// clock fields out of range are clamped, and an impossible date fails.
#include "clock/time/HttpDate.h"

#include <algorithm>
#include <string>
#include <vector>

#include "clock/Exceptions.h"
#include "clock/platform/SystemClock.h"
#include "clock/time/Calendar.h"
#include "clock/time/NumberText.h"

const std::array<std::string_view, 7> WeekdayNames = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                                      "Thursday", "Friday", "Saturday"};

const std::array<std::string_view, 7> WeekdayAbbrevs = {"Sun", "Mon", "Tue", "Wed",
                                                        "Thu", "Fri", "Sat"};

const std::array<std::string_view, 12> MonthAbbrevs = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                       "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

const std::array<ZoneDesignator, 35> ZoneDesignators = {{
    {"GMT", 0},    {"UT", 0},     {"EST", -300}, {"EDT", -240}, {"CST", -360}, {"CDT", -300},
    {"MST", -420}, {"MDT", -360}, {"PST", -480}, {"PDT", -420}, {"Z", 0},      {"A", -60},
    {"B", -120},   {"C", -180},   {"D", -240},   {"E", -300},   {"F", -360},   {"G", -420},
    {"H", -480},   {"I", -540},   {"K", -600},   {"L", -660},   {"M", -720},   {"N", 60},
    {"O", 120},    {"P", 180},    {"Q", 240},    {"R", 300},    {"S", 360},    {"T", 420},
    {"U", 480},    {"V", 540},    {"W", 600},    {"X", 660},    {"Y", 720},
}};

namespace {

bool IsBlank(char c) {
  return static_cast<unsigned char>(c) <= 32;
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front()))
    text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back()))
    text.remove_suffix(1);
  return text;
}

char FoldAscii(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return FoldAscii(x) == FoldAscii(y);
         });
}

template <size_t N>
bool IsNameIn(const std::array<std::string_view, N>& names, std::string_view s) {
  return std::any_of(names.begin(), names.end(),
                     [s](std::string_view name) { return SameName(name, s); });
}

// 1 to 12, or 0 when the text is no month name.
int MonthNumber(std::string_view s) {
  for (size_t i = 0; i < MonthAbbrevs.size(); ++i) {
    if (SameName(MonthAbbrevs[i], s))
      return static_cast<int>(i) + 1;
  }
  return 0;
}

int IntegerField(std::string_view s) {
  return TryStrToInt(s).value_or(0);
}

// Every separator ends a field, so neighbouring separators give empty fields.
template <typename IsSeparator>
std::vector<std::string_view> Split(std::string_view text, IsSeparator isSeparator) {
  std::vector<std::string_view> fields;
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (isSeparator(text[i])) {
      fields.push_back(text.substr(start, i - start));
      start = i + 1;
    }
  }
  fields.push_back(text.substr(start));
  return fields;
}

std::vector<std::string_view> SplitAt(std::string_view text, char separator) {
  return Split(text, [separator](char c) { return c == separator; });
}

// The weekday is dropped unread: nothing compares it with the date.
std::string_view DropWeekday(std::string_view text) {
  size_t end = 0;
  while (end < text.size() && !IsBlank(text[end]) && text[end] != ',')
    ++end;
  if (end == text.size())
    return text;
  const std::string_view word = text.substr(0, end);
  if (IsNameIn(WeekdayNames, word) || IsNameIn(WeekdayAbbrevs, word))
    return Trim(text.substr(end + 1));
  return text;
}

int Clamp(int value, int low, int high) {
  return std::min(std::max(value, low), high);
}

struct DateFields {
  int Year = 0;
  int Month = 0;
  int Day = 0;
  std::string Clock;
};

// 06-Nov-94 08:49:37 GMT
std::optional<DateFields> ReadRfc850(const std::vector<std::string_view>& f) {
  const std::vector<std::string_view> parts = SplitAt(f[0], '-');
  if (parts.size() != 3)
    return std::nullopt;
  DateFields date;
  date.Month = MonthNumber(parts[1]);
  if (date.Month == 0)
    return std::nullopt;
  date.Day = IntegerField(parts[0]);
  date.Year = IntegerField(parts[2]);
  if (date.Year < 100)
    date.Year = ExpandTwoDigitYear(date.Year);
  date.Clock = std::string(f[1]) + " " + std::string(f[2]);
  return date;
}

// 06 Nov 1994 08:49:37 GMT
DateFields ReadRfc1123(const std::vector<std::string_view>& f) {
  DateFields date;
  date.Month = MonthNumber(f[1]);
  date.Day = IntegerField(f[0]);
  date.Year = IntegerField(f[2]);
  if (f.size() == 4)
    date.Clock = std::string(f[3]);
  else if (f.size() >= 5)
    date.Clock = std::string(f[3]) + " " + std::string(f[4]);
  return date;
}

// Nov 6 08:49:37 1994
DateFields ReadAsctime(const std::vector<std::string_view>& f) {
  DateFields date;
  date.Month = MonthNumber(f[0]);
  date.Day = IntegerField(f[1]);
  date.Year = f.size() > 3 ? IntegerField(f[3]) : 0;
  date.Clock = std::string(f[2]);
  return date;
}

std::optional<DateFields> ReadDateFields(std::string_view text) {
  const std::vector<std::string_view> f = Split(DropWeekday(Trim(text)), IsBlank);
  if (f.size() < 3)
    return std::nullopt;
  if (f[0].find('-') != std::string_view::npos)
    return ReadRfc850(f);
  if (MonthNumber(f[1]) != 0)
    return ReadRfc1123(f);
  if (MonthNumber(f[0]) != 0)
    return ReadAsctime(f);
  return std::nullopt;
}

} // namespace

std::optional<DateTime> TryParseHttpDate(std::string_view text) {
  const std::optional<DateFields> date = ReadDateFields(text);
  if (!date)
    return std::nullopt;
  const ClockTime clock = ParseClockTime(date->Clock);
  return EncodeParsedDateTime(date->Year, date->Month, date->Day, clock.Hour, clock.Minute,
                              clock.Second, clock.OffsetMinutes);
}

DateTime ParseHttpDate(std::string_view text) {
  return TryParseHttpDate(text).value_or(0.0);
}

ClockTime ParseClockTime(std::string_view text) {
  ClockTime clock;
  text = Trim(text);
  if (text.empty())
    return clock;

  int offset = 0;
  size_t lastBlank = text.size();
  while (lastBlank > 0 && !IsBlank(text[lastBlank - 1]))
    --lastBlank;
  if (lastBlank > 0) {
    offset = ZoneOffsetMinutes(text.substr(lastBlank));
    text = Trim(text.substr(0, lastBlank - 1));
  }

  const std::vector<std::string_view> fields = SplitAt(text, ':');
  if (fields.size() == 1 && fields[0].size() == 4) {
    clock.Hour = IntegerField(fields[0].substr(0, 2));
    clock.Minute = IntegerField(fields[0].substr(2, 2));
  } else if (fields.size() == 2 || fields.size() == 3) {
    clock.Hour = IntegerField(Trim(fields[0]));
    clock.Minute = IntegerField(Trim(fields[1]));
    if (fields.size() == 3)
      clock.Second = IntegerField(Trim(fields[2]));
  } else {
    return clock;
  }
  clock.Hour = Clamp(clock.Hour, 0, 23);
  clock.Minute = Clamp(clock.Minute, 0, 59);
  clock.Second = Clamp(clock.Second, 0, 59);
  clock.OffsetMinutes = offset;
  return clock;
}

int ZoneOffsetMinutes(std::string_view designator) {
  if (!designator.empty() && (designator[0] == '+' || designator[0] == '-')) {
    const int hours = Clamp(IntegerField(designator.substr(1, 2)), -23, 23);
    const int minutes =
        designator.size() > 3 ? Clamp(IntegerField(designator.substr(3)), 0, 59) : 0;
    const int offset = hours * 60 + minutes;
    return designator[0] == '-' ? -offset : offset;
  }
  const std::string_view name = Trim(designator);
  for (const ZoneDesignator& zone : ZoneDesignators) {
    if (SameName(zone.Name, name))
      return zone.OffsetMinutes;
  }
  return 0;
}

DateTime EncodeParsedDateTime(int year, int month, int day, int hour, int minute, int second,
                              int offsetMinutes) {
  if (!IsValidDate(year, month, day))
    throw EConvertError("日付に変換できない値が渡されました");
  const int64_t seconds = (int64_t{hour} * 60 + minute - offsetMinutes) * 60 + second;
  return CalendarMillisecondsToDateTime(DayNumber(year, month, day) * MillisecondsPerDay +
                                        seconds * 1000);
}

int ExpandTwoDigitYear(int year) {
  return year < 50 ? year + 2000 : year + 1900;
}

int32_t LocalZoneBias() {
  const platform::ZoneInformation zone = platform::SystemClock().TimeZoneInformation();
  // 2: daylight time is in effect.
  return zone.ResultCode == 2 ? zone.Bias + zone.DaylightBias : zone.Bias;
}

DateTime GmtToLocal(DateTime gmt, int32_t biasMinutes) {
  return gmt - biasMinutes / 1440.0;
}

DateTime GmtToLocal(DateTime gmt) {
  return GmtToLocal(gmt, LocalZoneBias());
}

DateTime HttpDateToLocal(std::string_view text) {
  return GmtToLocal(ParseHttpDate(text));
}
