// Hosted console program: logs whether it has a console, and every console
// control event; a CTRL_BREAK_EVENT ends it. It also ends by itself after the
// second argument in milliseconds (default 120 000). Either way its exit code
// is the third argument (default 0).
#include <windows.h>

#include "tests/hosted/Hosted_win.h"

namespace {

HANDLE BreakReceived;

BOOL WINAPI OnConsoleControl(DWORD event) {
  if (event == CTRL_BREAK_EVENT) {
    hosted::Log("CTRL_BREAK_EVENT");
    SetEvent(BreakReceived);
  } else {
    hosted::Log("console event " + std::to_string(event));
  }
  return TRUE;
}

} // namespace

int main() {
  if (!hosted::OpenLog())
    return 2;
  hosted::LogStart();
  hosted::Log(std::string("console ") + (GetConsoleWindow() ? "1" : "0"));
  BreakReceived = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  SetConsoleCtrlHandler(OnConsoleControl, TRUE);
  hosted::Log("ready");
  DWORD result = WaitForSingleObject(BreakReceived, hosted::ArgumentMilliseconds(120000));
  hosted::Log(result == WAIT_OBJECT_0 ? "exit" : "exit unasked");
  return hosted::ArgumentExitCode();
}
