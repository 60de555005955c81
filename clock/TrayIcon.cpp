#include "clock/TrayIcon.h"

#include <cstring>

#include "clock/TextCp932.h"

void CopyTrayTip(const std::string& text, char (&field)[64]) {
  const std::string tip = CutAtCharBoundary(text, sizeof field - 1);
  std::memset(field, 0, sizeof field);
  std::memcpy(field, tip.data(), tip.size());
}

void TTrayIcon::Add(platform::WindowHandle window, const char* iconName, const std::string& tip) {
  platform::TTrayShell& shell = platform::TrayShell();
  record_.Window = window;
  record_.Id = TrayIconId;
  record_.Flags = TrayIconFlags;
  record_.CallbackMessage = TrayCallbackMessage;
  record_.Icon = shell.LoadProgramIcon(iconName);
  CopyTrayTip(tip, record_.Tip);
  shell.NotifyIcon(platform::TTrayCommand::Add, record_);
}

void TTrayIcon::Modify(const char* iconName, const std::string& tip) {
  platform::TTrayShell& shell = platform::TrayShell();
  record_.Icon = shell.LoadProgramIcon(iconName);
  CopyTrayTip(tip, record_.Tip);
  shell.NotifyIcon(platform::TTrayCommand::Modify, record_);
}

void TTrayIcon::Remove(platform::WindowHandle window) {
  record_.Window = window;
  record_.Id = TrayIconId;
  platform::TrayShell().NotifyIcon(platform::TTrayCommand::Delete, record_);
}
