// The program's one tray icon. One record is kept between the requests, as
// the shell's protocol expects: a modify reuses what the last add or remove
// left in it.
#pragma once

#include <cstdint>
#include <string>

#include "clock/platform/TrayShell.h"

constexpr uint32_t TrayIconId = 1;
constexpr uint32_t TrayIconFlags = 7; // callback message, icon and tip
constexpr uint32_t TrayCallbackMessage = 0x400 + 100;

// The tip as the record's 64-byte field holds it: at most 63 bytes, cut
// before a double-byte character that would not fit, zero-terminated.
void CopyTrayTip(const std::string& text, char (&field)[64]);

class TTrayIcon {
public:
  // A refused request (the icon exists, or does not) changes nothing and is
  // not reported.
  void Add(platform::WindowHandle window, const char* iconName, const std::string& tip);
  void Modify(const char* iconName, const std::string& tip);
  void Remove(platform::WindowHandle window);

  const platform::TTrayRecord& Record() const { return record_; }

private:
  platform::TTrayRecord record_;
};
