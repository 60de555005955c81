#include "clock/platform/SystemClock.h"

#include <stdexcept>

namespace platform {

// Supplied by the platform's implementation file.
TSystemClock* PlatformSystemClock();

namespace {
TSystemClock* installed = nullptr;
}

TSystemClock& SystemClock() {
  if (installed)
    return *installed;
  if (TSystemClock* clock = PlatformSystemClock())
    return *clock;
  throw std::logic_error("no system clock on this platform; install one");
}

void InstallSystemClock(TSystemClock* clock) {
  installed = clock;
}

#ifndef _WIN32
TSystemClock* PlatformSystemClock() {
  return nullptr;
}
#endif

} // namespace platform
