#include <windows.h>

#include "clock/platform/SystemInfo.h"

namespace platform {
namespace {

class TWin32SystemInfo : public TSystemInfo {
public:
  std::optional<uint32_t> VersionPlatformId() override {
    OSVERSIONINFOA version = {};
    static_assert(sizeof version == 148, "the version record is 148 bytes");
    version.dwOSVersionInfoSize = sizeof version;
    if (!GetVersionExA(&version))
      return std::nullopt;
    return version.dwPlatformId;
  }

  char DecimalSeparator() override {
    char separator[8] = {};
    // A failed query leaves the neutral separator rather than none.
    if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator, sizeof separator) == 0)
      return '.';
    return separator[0];
  }

  void Sleep(uint32_t milliseconds) override { ::Sleep(milliseconds); }
};

} // namespace

template <> TSystemInfo* TSeam<TSystemInfo>::Platform() {
  static TWin32SystemInfo info;
  return &info;
}

} // namespace platform
