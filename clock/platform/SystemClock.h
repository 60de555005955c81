// The operating system's clock, behind a seam: the Win32 build asks the
// system, native tests install a fake. Nothing here ever sets the host clock
// except the Win32 implementation, on the user's request.
#pragma once

#include <cstdint>

#include "clock/platform/Seam.h"
#include "clock/time/DateTime.h"

namespace platform {

// What GetTimeZoneInformation reports: biases in minutes with the system's
// sign (UTC = local + bias), and its result code (2 = daylight time in effect).
struct ZoneInformation {
  int32_t Bias = 0;
  int32_t StandardBias = 0;
  int32_t DaylightBias = 0;
  uint32_t ResultCode = 0;
};

class TSystemClock {
public:
  virtual ~TSystemClock() = default;
  virtual ZoneInformation TimeZoneInformation() = 0;
  virtual uint32_t TickCount() = 0;
  virtual CalendarTime LocalTime() = 0;
  // Returns false with the system's error number when the clock was not set.
  virtual bool SetLocalTime(const CalendarTime& time, uint32_t& error) = 0;
  // The system timer at its finest resolution while on, for waits and
  // clock readings to the millisecond.
  virtual void SetFineTimer(bool on) = 0;
  // Blocks at most that long; a message for the thread's windows ends it.
  virtual void WaitForInput(uint32_t milliseconds) = 0;
};

template <> TSystemClock* TSeam<TSystemClock>::Platform();
inline TSystemClock& SystemClock() {
  return TSeam<TSystemClock>::Get();
}

} // namespace platform
