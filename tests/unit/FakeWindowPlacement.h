// Window placements described as text in call order, e.g. "move W 1,2,3,4
// repaint", with a screen of the width given.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "clock/platform/WindowPlacement.h"
#include "tests/unit/FakeInstalled.h"

class FakeWindowPlacement : public TFakeInstalled<platform::TWindowPlacement> {
public:
  void Activate(platform::WindowHandle window) override { Record("activate " + Name(window)); }
  void Move(platform::WindowHandle window, int left, int top, int width, int height,
            bool repaint) override {
    Record("move " + Name(window) + " " + std::to_string(left) + "," + std::to_string(top) + "," +
           std::to_string(width) + "," + std::to_string(height) +
           (repaint ? " repaint" : " no repaint"));
  }
  void Show(platform::WindowHandle window, int showCommand) override {
    Record("show " + Name(window) + " " + std::to_string(showCommand));
  }
  int ScreenWidth() override { return ScreenWidthPixels; }

  int ScreenWidthPixels = 1024;
  // Names for the handles; others show as "?".
  std::function<std::string(platform::WindowHandle)> Name = [](platform::WindowHandle) {
    return std::string("?");
  };
  std::vector<std::string> Calls;
  std::function<void(const std::string&)> OnCall;

private:
  void Record(const std::string& call) {
    Calls.push_back(call);
    if (OnCall)
      OnCall(call);
  }
};
