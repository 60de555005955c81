// A system clock for tests: installs itself for its lifetime, answers with
// the values the test puts in, and records every request to set the clock
// instead of touching the host's.
#pragma once

#include <chrono>
#include <cstdint>
#include <thread>
#include <vector>

#include "clock/platform/SystemClock.h"
#include "tests/unit/FakeInstalled.h"

class FakeSystemClock : public TFakeInstalled<platform::TSystemClock> {
public:
  platform::ZoneInformation TimeZoneInformation() override { return Zone; }

  // Each reading advances the counter by TickStep (wrapping like the real one).
  uint32_t TickCount() override {
    const uint32_t now = Ticks;
    Ticks += TickStep;
    return now;
  }

  CalendarTime LocalTime() override { return Local; }

  bool SetLocalTime(const CalendarTime& time, uint32_t& error) override {
    SetTimes.push_back(time);
    SetAt.push_back(std::chrono::system_clock::now());
    error = SetSucceeds ? 0 : SetError;
    return SetSucceeds;
  }

  void SetFineTimer(bool on) override {
    FineTimer = on;
    ++FineTimerChanges;
  }

  // Really waits: the counter the waits are measured on is the real one.
  void WaitForInput(uint32_t milliseconds) override {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
  }

  platform::ZoneInformation Zone;
  uint32_t Ticks = 0;
  uint32_t TickStep = 0;
  CalendarTime Local;
  bool SetSucceeds = true;
  uint32_t SetError = 1314; // privilege not held
  std::vector<CalendarTime> SetTimes;
  // The host's time at each request to set the clock.
  std::vector<std::chrono::system_clock::time_point> SetAt;
  bool FineTimer = false;
  int FineTimerChanges = 0;
};
