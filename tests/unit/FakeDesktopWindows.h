// Top-level windows in a list, read through the same 79-byte buffers as the
// system's; records which windows were brought forward.
#pragma once

#include <string>
#include <vector>

#include "clock/platform/DesktopWindows.h"
#include "tests/unit/FakeInstalled.h"

class FakeDesktopWindows : public TFakeInstalled<platform::TDesktopWindows> {
public:
  struct Window {
    platform::WindowHandle Handle;
    std::string ClassName;
    std::string Text;
    platform::WindowHandle LastActivePopup;
  };

  std::vector<platform::WindowHandle> TopLevelWindows() override {
    std::vector<platform::WindowHandle> handles;
    for (const Window& window : Windows)
      handles.push_back(window.Handle);
    return handles;
  }
  std::string ClassName(platform::WindowHandle handle) override {
    return Find(handle).ClassName.substr(0, 78);
  }
  std::string Text(platform::WindowHandle handle) override {
    return Find(handle).Text.substr(0, 78);
  }
  platform::WindowHandle LastActivePopup(platform::WindowHandle handle) override {
    return Find(handle).LastActivePopup;
  }
  void BringToForeground(platform::WindowHandle handle) override { Foreground.push_back(handle); }

  std::vector<Window> Windows;
  std::vector<platform::WindowHandle> Foreground;

private:
  const Window& Find(platform::WindowHandle handle) const {
    for (const Window& window : Windows) {
      if (window.Handle == handle)
        return window;
    }
    static const Window none{};
    return none;
  }
};
