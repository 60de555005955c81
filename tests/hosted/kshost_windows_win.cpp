// Hosted GUI program: two unowned top-level windows ("main" and the hidden
// "hidden") and one owned by main ("owned"). Every close request a window
// receives is logged and answered without closing; once both unowned windows
// have been asked, the program ends after a grace time (second argument,
// default 300 ms) in which further requests are still logged. Its exit code
// is the third argument (default 0).
#include <windows.h>

#include "tests/hosted/Hosted_win.h"

namespace {

constexpr UINT_PTR GraceTimer = 1;
constexpr UINT_PTR LifeTimer = 2;
// Nobody asking: the program ends by itself.
constexpr UINT LifeTime = 120000;

HWND MainWindow;
HWND HiddenWindow;
bool MainAsked;
bool HiddenAsked;
bool Ending;

std::string NameOf(HWND window) {
  char name[64] = "";
  GetWindowTextA(window, name, sizeof name);
  return name;
}

void Asked(HWND window) {
  if (window == MainWindow)
    MainAsked = true;
  if (window == HiddenWindow)
    HiddenAsked = true;
  if (MainAsked && HiddenAsked && !Ending) {
    Ending = true;
    SetTimer(MainWindow, GraceTimer, hosted::ArgumentMilliseconds(300), nullptr);
  }
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM first, LPARAM second) {
  switch (message) {
  case WM_SYSCOMMAND:
    if ((first & 0xFFF0) == SC_CLOSE) {
      hosted::Log(NameOf(window) + " WM_SYSCOMMAND(SC_CLOSE)");
      Asked(window);
      return 0;
    }
    break;
  case WM_CLOSE:
    hosted::Log(NameOf(window) + " WM_CLOSE");
    Asked(window);
    return 0;
  case WM_TIMER:
    hosted::Log(first == GraceTimer ? "exit" : "exit unasked");
    PostQuitMessage(hosted::ArgumentExitCode());
    return 0;
  }
  return DefWindowProcA(window, message, first, second);
}

HWND Create(const char* name, HWND owner, HINSTANCE instance) {
  return CreateWindowExA(0, "KsHostWindow", name, WS_OVERLAPPEDWINDOW, 40, 40, 240, 120, owner,
                         nullptr, instance, nullptr);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  if (!hosted::OpenLog())
    return 2;
  hosted::LogStart();
  hosted::RegisterWindowClass("KsHostWindow", WindowProc, instance);
  MainWindow = Create("main", nullptr, instance);
  HiddenWindow = Create("hidden", nullptr, instance);
  HWND owned = Create("owned", MainWindow, instance);
  ShowWindow(MainWindow, SW_SHOW);
  ShowWindow(owned, SW_SHOW);
  SetTimer(MainWindow, LifeTimer, LifeTime, nullptr);
  hosted::Log("ready");
  return hosted::RunMessageLoop();
}
