#include <windows.h>

#include "clock/platform/WindowPlacement.h"

namespace platform {
namespace {

static_assert(kShowMinimize == SW_MINIMIZE && kShowRestore == SW_RESTORE, "show commands");

HWND Window(WindowHandle window) {
  return static_cast<HWND>(window);
}

class TWin32WindowPlacement : public TWindowPlacement {
public:
  void Activate(WindowHandle window) override { SetActiveWindow(Window(window)); }
  void Move(WindowHandle window, int left, int top, int width, int height, bool repaint) override {
    MoveWindow(Window(window), left, top, width, height, repaint);
  }
  void Show(WindowHandle window, int showCommand) override {
    ShowWindow(Window(window), showCommand);
  }
  int ScreenWidth() override { return GetSystemMetrics(SM_CXSCREEN); }
};

} // namespace

template <> TWindowPlacement* TSeam<TWindowPlacement>::Platform() {
  static TWin32WindowPlacement placement;
  return &placement;
}

} // namespace platform
