#include <windows.h>

#include <string>

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

  std::string ErrorText(uint32_t error) override {
    char text[512] = {};
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, error, 0, text, sizeof text, nullptr);
    // System texts end with a line break, which a message box would show.
    while (length > 0 && static_cast<unsigned char>(text[length - 1]) <= ' ')
      --length;
    // A number the system has no text for is at least named.
    if (length == 0)
      return std::to_string(error);
    return std::string(text, length);
  }
};

} // namespace

template <> TSystemInfo* TSeam<TSystemInfo>::Platform() {
  static TWin32SystemInfo info;
  return &info;
}

} // namespace platform
