#include "wrapper/Settings.h"

#include <cstring>

#include "wrapper/Paths.h"

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

namespace {

// Reading a value, the profile functions trim blanks at both ends and then
// drop one pair of matching quotes around it.
bool ChangedByReading(const char* value) {
  const std::size_t length = std::strlen(value);
  return HasBlankAtEnds(value) ||
         (length >= 2 && (value[0] == '"' || value[0] == '\'') && value[length - 1] == value[0]);
}

// A value that reading would change goes inside one more pair of double
// quotes, which reading drops again; any other value is written as it is.
int WriteTextValue(TProfile& profile, const char* key, const char* value) {
  if (!ChangedByReading(value))
    return profile.WriteText(SettingsSection, key, value, IniPath);
  char quoted[PathBufferSize + 2];
  if (!ComposeInQuotes(quoted, sizeof quoted, value))
    return 0;
  return profile.WriteText(SettingsSection, key, quoted, IniPath);
}

} // namespace

void SaveSettings(TProfile& profile) {
  WriteTextValue(profile, "exe", Settings.ProgramPath);
  WriteTextValue(profile, "option", Settings.Options);
  WriteTextValue(profile, "name", Settings.ServiceName);
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
