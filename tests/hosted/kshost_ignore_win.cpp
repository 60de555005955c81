// Hosted program that ignores every request: its window logs close requests
// and stays, console events are swallowed. It ends by itself after the second
// argument in milliseconds (default 90 000).
#include <windows.h>

#include "tests/hosted/Hosted_win.h"

namespace {

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM first, LPARAM second) {
  switch (message) {
  case WM_SYSCOMMAND:
    if ((first & 0xFFF0) == SC_CLOSE) {
      hosted::Log("ignore WM_SYSCOMMAND(SC_CLOSE)");
      return 0;
    }
    break;
  case WM_CLOSE:
    hosted::Log("ignore WM_CLOSE");
    return 0;
  case WM_TIMER:
    hosted::Log("exit unasked");
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(window, message, first, second);
}

BOOL WINAPI SwallowConsoleControl(DWORD) {
  return TRUE;
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  if (!hosted::OpenLog())
    return 2;
  hosted::LogStart();
  SetConsoleCtrlHandler(SwallowConsoleControl, TRUE);
  hosted::RegisterWindowClass("KsHostIgnore", WindowProc, instance);
  HWND window = CreateWindowExA(0, "KsHostIgnore", "ignore", WS_OVERLAPPEDWINDOW, 60, 60, 240, 120,
                                nullptr, nullptr, instance, nullptr);
  ShowWindow(window, SW_SHOW);
  SetTimer(window, 1, hosted::ArgumentMilliseconds(90000), nullptr);
  hosted::Log("ready");
  return hosted::RunMessageLoop();
}
