#include "wrapper/Profile_win.h"

#include <windows.h>

namespace kestrun {

namespace {

class TSystemProfile : public TProfile {
public:
  void ReadText(const char* section, const char* key, const char* defaultText, char* out,
                std::size_t size, const char* file) override {
    GetPrivateProfileStringA(section, key, defaultText, out, static_cast<DWORD>(size), file);
  }
  int ReadInt(const char* section, const char* key, int defaultValue, const char* file) override {
    return static_cast<int>(GetPrivateProfileIntA(section, key, defaultValue, file));
  }
  int WriteText(const char* section, const char* key, const char* value,
                const char* file) override {
    return WritePrivateProfileStringA(section, key, value, file) ? 1 : 0;
  }
};

TSystemProfile Profile;

} // namespace

TProfile& SystemProfile() {
  return Profile;
}

} // namespace kestrun
