#include <windows.h>

#include <vector>

#include "clock/platform/ProfileFiles.h"

namespace platform {
namespace {

class TWin32ProfileFiles : public TProfileFiles {
public:
  std::string ReadString(const std::string& file, const std::string& section,
                         const std::string& key, const std::string& defaultValue) override {
    char buffer[2048];
    const DWORD length = GetPrivateProfileStringA(
        section.c_str(), key.c_str(), defaultValue.c_str(), buffer, sizeof buffer, file.c_str());
    return std::string(buffer, length);
  }

  bool WriteString(const std::string& file, const std::string& section, const std::string& key,
                   const std::string& value) override {
    return WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), file.c_str()) !=
           FALSE;
  }

  // Without MB_ERR_INVALID_CHARS: the profile functions convert without it,
  // and bytes that are not text come back as the default character, which
  // the comparison catches.
  bool CodePageRoundTrips(const std::string& text) override {
    if (text.empty())
      return true;
    const int size = static_cast<int>(text.size());
    const int wide = MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
    if (wide <= 0)
      return false;
    std::vector<wchar_t> characters(static_cast<size_t>(wide));
    MultiByteToWideChar(CP_ACP, 0, text.data(), size, characters.data(), wide);
    const int narrow =
        WideCharToMultiByte(CP_ACP, 0, characters.data(), wide, nullptr, 0, nullptr, nullptr);
    if (narrow != size)
      return false;
    std::string back(static_cast<size_t>(narrow), '\0');
    WideCharToMultiByte(CP_ACP, 0, characters.data(), wide, &back[0], narrow, nullptr, nullptr);
    return back == text;
  }
};

} // namespace

template <> TProfileFiles* TSeam<TProfileFiles>::Platform() {
  static TWin32ProfileFiles files;
  return &files;
}

} // namespace platform
