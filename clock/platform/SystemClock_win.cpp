#include <windows.h>

#include <mmsystem.h>

#include "clock/platform/SystemClock.h"

namespace platform {
namespace {

class TWin32SystemClock : public TSystemClock {
public:
  ZoneInformation TimeZoneInformation() override {
    TIME_ZONE_INFORMATION info = {};
    ZoneInformation zone;
    zone.ResultCode = GetTimeZoneInformation(&info);
    zone.Bias = info.Bias;
    zone.StandardBias = info.StandardBias;
    zone.DaylightBias = info.DaylightBias;
    return zone;
  }

  uint32_t TickCount() override { return GetTickCount(); }

  CalendarTime LocalTime() override {
    SYSTEMTIME now;
    GetLocalTime(&now);
    CalendarTime time;
    time.Year = now.wYear;
    time.Month = now.wMonth;
    time.Day = now.wDay;
    time.DayOfWeek = now.wDayOfWeek;
    time.Hour = now.wHour;
    time.Minute = now.wMinute;
    time.Second = now.wSecond;
    time.Millisecond = now.wMilliseconds;
    return time;
  }

  bool SetLocalTime(const CalendarTime& time, uint32_t& error) override {
    SYSTEMTIME wanted = {};
    wanted.wYear = static_cast<WORD>(time.Year);
    wanted.wMonth = static_cast<WORD>(time.Month);
    wanted.wDay = static_cast<WORD>(time.Day);
    wanted.wDayOfWeek = static_cast<WORD>(time.DayOfWeek);
    wanted.wHour = static_cast<WORD>(time.Hour);
    wanted.wMinute = static_cast<WORD>(time.Minute);
    wanted.wSecond = static_cast<WORD>(time.Second);
    wanted.wMilliseconds = static_cast<WORD>(time.Millisecond);
    if (::SetLocalTime(&wanted))
      return true;
    error = GetLastError();
    return false;
  }

  void SetFineTimer(bool on) override {
    if (on)
      timeBeginPeriod(1);
    else
      timeEndPeriod(1);
  }

  void WaitForInput(uint32_t milliseconds) override {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds, QS_ALLINPUT);
  }
};

} // namespace

template <> TSystemClock* TSeam<TSystemClock>::Platform() {
  static TWin32SystemClock clock;
  return &clock;
}

} // namespace platform
