// The program-wide message pump that network waits call, so that the
// window stays served while the client waits on the GUI thread.
#pragma once

#include <cstdint>

class TIdAntiFreeze {
public:
  // Registers itself as the program's pump; the creating thread is the
  // GUI thread.
  TIdAntiFreeze();
  ~TIdAntiFreeze();
  TIdAntiFreeze(const TIdAntiFreeze&) = delete;
  TIdAntiFreeze& operator=(const TIdAntiFreeze&) = delete;

  // Called by every wait; idle is false for sends, which are no idle time.
  static void DoProcess(bool idle = true);
  // The pump's slice length, 250 ms when there is no pump.
  static int SliceMilliseconds();

  bool Active = true;
  // Every pending message per call, not only one.
  bool ApplicationHasPriority = true;
  int IdleTimeOut = 250;
  bool OnlyWhenIdle = true;

private:
  std::uintptr_t guiThread_;
};

// The platform's part: dispatch the pending window messages, all of them
// or only the first.
void ProcessPendingMessages(bool all);
