#include <windows.h>

#include "clock/platform/WindowMessages.h"

namespace platform {
namespace {

class TWin32WindowMessages : public TWindowMessages {
public:
  WindowHandle FindTopLevel(const std::string& className, const std::string& caption) override {
    return FindWindowA(className.c_str(), caption.c_str());
  }

  WindowHandle FindChild(WindowHandle parent, const std::string& className) override {
    return FindWindowExA(static_cast<HWND>(parent), nullptr, className.c_str(), nullptr);
  }

  std::intptr_t Send(WindowHandle window, unsigned message, std::uintptr_t wParam,
                     std::intptr_t lParam) override {
    return SendMessageA(static_cast<HWND>(window), message, wParam, lParam);
  }
};

} // namespace

template <> TWindowMessages* TSeam<TWindowMessages>::Platform() {
  static TWin32WindowMessages messages;
  return &messages;
}

} // namespace platform
