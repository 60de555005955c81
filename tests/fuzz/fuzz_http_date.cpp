// Date header parsing on arbitrary bytes: no crash, no undefined behaviour,
// and every result stays within what the parser can produce.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string_view>

#include "clock/Exceptions.h"
#include "clock/time/Calendar.h"
#include "clock/time/HttpDate.h"

namespace {

// The largest zone offset a text can give: +/-23:59.
constexpr int64_t MaxOffsetMs = (23 * 60 + 59) * 60'000;
const int64_t EarliestMs = DayNumber(1, 1, 1) * MillisecondsPerDay - MaxOffsetMs;
const int64_t LatestMs =
    DayNumber(9999, 12, 31) * MillisecondsPerDay + (MillisecondsPerDay - 1000) + MaxOffsetMs;

void Require(bool condition) {
  if (!condition)
    std::abort();
}

void CheckClockTime(std::string_view text) {
  const ClockTime clock = ParseClockTime(text);
  Require(clock.Hour >= 0 && clock.Hour <= 23);
  Require(clock.Minute >= 0 && clock.Minute <= 59);
  Require(clock.Second >= 0 && clock.Second <= 59);
  Require(clock.OffsetMinutes >= -(23 * 60 + 59) && clock.OffsetMinutes <= 23 * 60 + 59);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  CheckClockTime(text);

  std::optional<DateTime> parsed;
  try {
    parsed = TryParseHttpDate(text);
  } catch (const EConvertError&) {
    return 0;
  }
  const DateTime value = ParseHttpDate(text);
  if (!parsed) {
    Require(value == 0);
    return 0;
  }
  Require(value == *parsed);

  // Whole seconds, within the calendar's range widened by the zone offset,
  // and the same instant after a round trip through the calendar record.
  const CalendarMilliseconds ms = DateTimeToCalendarMilliseconds(value);
  Require(ms % 1000 == 0);
  Require(ms >= EarliestMs && ms <= LatestMs);
  Require(CalendarTimeToCalendarMilliseconds(DateTimeToCalendarTime(value)) == ms);
  return 0;
}
