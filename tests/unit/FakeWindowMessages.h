// Windows found by class and caption, with their children, and every
// message sent to them recorded.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "clock/platform/WindowMessages.h"
#include "tests/unit/FakeInstalled.h"

class FakeWindowMessages : public TFakeInstalled<platform::TWindowMessages> {
public:
  struct Window {
    platform::WindowHandle Handle;
    platform::WindowHandle Parent; // nullptr: top level
    std::string ClassName;
    std::string Caption;
  };
  struct Sent {
    platform::WindowHandle Window;
    unsigned Message;
    std::uintptr_t WParam;
    std::intptr_t LParam;
  };

  platform::WindowHandle FindTopLevel(const std::string& className,
                                      const std::string& caption) override {
    for (const Window& window : Windows)
      if (!window.Parent && window.ClassName == className && window.Caption == caption)
        return window.Handle;
    return nullptr;
  }
  platform::WindowHandle FindChild(platform::WindowHandle parent,
                                   const std::string& className) override {
    for (const Window& window : Windows)
      if (window.Parent == parent && window.ClassName == className)
        return window.Handle;
    return nullptr;
  }
  std::intptr_t Send(platform::WindowHandle window, unsigned message, std::uintptr_t wParam,
                     std::intptr_t lParam) override {
    Messages.push_back({window, message, wParam, lParam});
    if (OnSend)
      OnSend(Messages.back());
    return 0;
  }

  std::vector<Window> Windows;
  std::vector<Sent> Messages;
  std::function<void(const Sent&)> OnSend;
};
