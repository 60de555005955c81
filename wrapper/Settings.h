// The wrapper's settings record, its process-wide state and the
// "kestrun.ini" format. Portable: the profile functions come through TProfile.
#pragma once

#include <cstddef>

namespace kestrun {

// Every path and text setting lives in a buffer of this size.
constexpr std::size_t PathBufferSize = 260;

enum StopMethodValue {
  StopByWmClose = 0,
  StopBySysCommand = 1,
  StopBySysCommandThenClose = 2,
  StopByCtrlBreak = 3,
};

struct WrapperSettings {
  char ProgramPath[PathBufferSize];
  char Options[PathBufferSize];
  char ServiceName[PathBufferSize];
  int StopMethod;
  int AutoStart;
  int AllowDesktop;
};

extern WrapperSettings Settings;
extern char ModulePath[PathBufferSize];
extern char ModuleDirectory[PathBufferSize];
extern char IniPath[PathBufferSize];
extern int IsNtPlatform;
extern int RunsAsService;
extern int IsRegistered;
extern int WasRunning;

extern const char* const SettingsSection;

// The three profile functions the settings need; the Windows build passes the
// system's, the tests a fake.
class TProfile {
public:
  // Reads a text into out (size bytes, always terminated), defaultText when missing.
  virtual void ReadText(const char* section, const char* key, const char* defaultText, char* out,
                        std::size_t size, const char* file) = 0;
  virtual int ReadInt(const char* section, const char* key, int defaultValue, const char* file) = 0;
  virtual int WriteText(const char* section, const char* key, const char* value,
                        const char* file) = 0;

protected:
  ~TProfile() = default;
};

void LoadSettings(TProfile& profile);
void SaveSettings(TProfile& profile);
int WriteProfileInt(TProfile& profile, const char* section, const char* key, int value,
                    const char* file);

} // namespace kestrun
