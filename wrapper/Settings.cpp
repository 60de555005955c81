#include "wrapper/Settings.h"

namespace kestrun {

WrapperSettings Settings;
char ModulePath[PathBufferSize];
char ModuleDirectory[PathBufferSize];
char IniPath[PathBufferSize];
int IsNtPlatform;
int RunsAsService;
int IsRegistered;
int WasRunning;

const char* const SettingsSection = "kestrun";

void LoadSettings(TProfile& profile) {
  profile.ReadText(SettingsSection, "exe", "", Settings.ProgramPath, PathBufferSize, IniPath);
  profile.ReadText(SettingsSection, "option", "", Settings.Options, PathBufferSize, IniPath);
  profile.ReadText(SettingsSection, "name", "", Settings.ServiceName, PathBufferSize, IniPath);
  Settings.StopMethod = profile.ReadInt(SettingsSection, "end", StopBySysCommandThenClose, IniPath);
  Settings.AutoStart = profile.ReadInt(SettingsSection, "auto", 1, IniPath);
  Settings.AllowDesktop = profile.ReadInt(SettingsSection, "desktop", 0, IniPath);
}

void SaveSettings(TProfile& profile) {
  profile.WriteText(SettingsSection, "exe", Settings.ProgramPath, IniPath);
  profile.WriteText(SettingsSection, "option", Settings.Options, IniPath);
  profile.WriteText(SettingsSection, "name", Settings.ServiceName, IniPath);
  WriteProfileInt(profile, SettingsSection, "end", Settings.StopMethod, IniPath);
  WriteProfileInt(profile, SettingsSection, "auto", Settings.AutoStart, IniPath);
  WriteProfileInt(profile, SettingsSection, "desktop", Settings.AllowDesktop, IniPath);
}

// "%d" without the C library's formatter, which alone would double the program's size.
int WriteProfileInt(TProfile& profile, const char* section, const char* key, int value,
                    const char* file) {
  char text[16];
  char* p = text + sizeof text - 1;
  *p = '\0';
  unsigned magnitude = value < 0 ? 0u - static_cast<unsigned>(value) : static_cast<unsigned>(value);
  do {
    *--p = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude);
  if (value < 0)
    *--p = '-';
  return profile.WriteText(section, key, p, file);
}

} // namespace kestrun
