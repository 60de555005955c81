#include <windows.h>

#include "clock/platform/DesktopWindows.h"

namespace platform {
namespace {

constexpr int NameBuffer = 79;

BOOL CALLBACK CollectWindow(HWND window, LPARAM windows) {
  reinterpret_cast<std::vector<WindowHandle>*>(windows)->push_back(window);
  return TRUE;
}

class TWin32DesktopWindows : public TDesktopWindows {
public:
  std::vector<WindowHandle> TopLevelWindows() override {
    std::vector<WindowHandle> windows;
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
  }

  std::string ClassName(WindowHandle window) override {
    char name[NameBuffer];
    const int length = GetClassNameA(static_cast<HWND>(window), name, NameBuffer);
    return std::string(name, length > 0 ? static_cast<size_t>(length) : 0);
  }

  std::string Text(WindowHandle window) override {
    char text[NameBuffer];
    const int length = GetWindowTextA(static_cast<HWND>(window), text, NameBuffer);
    return std::string(text, length > 0 ? static_cast<size_t>(length) : 0);
  }

  WindowHandle LastActivePopup(WindowHandle window) override {
    return GetLastActivePopup(static_cast<HWND>(window));
  }

  void BringToForeground(WindowHandle window) override {
    SetForegroundWindow(static_cast<HWND>(window));
  }
};

} // namespace

template <> TDesktopWindows* TSeam<TDesktopWindows>::Platform() {
  static TWin32DesktopWindows windows;
  return &windows;
}

} // namespace platform
