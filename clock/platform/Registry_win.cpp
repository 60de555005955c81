#include <windows.h>

#include <vector>

#include "clock/platform/Handles_win.h"
#include "clock/platform/Registry.h"

namespace platform {
namespace {

class TWin32Registry : public TRegistry {
public:
  TRegistryText ReadCurrentUserText(const std::string& keyPath,
                                    const std::string& valueName) override {
    TRegistryText result;
    TRegistryKey key;
    DWORD disposition = 0;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, key.Receive(), &disposition) != ERROR_SUCCESS)
      return result;

    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(key.Get(), valueName.c_str(), nullptr, &type, nullptr, &size) !=
        ERROR_SUCCESS) {
      result.Status = TRegistryText::Missing;
      return result;
    }
    if (type != REG_SZ && type != REG_EXPAND_SZ) {
      result.Status = TRegistryText::OtherType;
      return result;
    }
    // One spare byte, so that a value stored without its terminator still
    // ends in one.
    std::vector<char> data(size + 1, '\0');
    if (RegQueryValueExA(key.Get(), valueName.c_str(), nullptr, &type,
                         reinterpret_cast<BYTE*>(data.data()), &size) != ERROR_SUCCESS) {
      result.Status = TRegistryText::Missing;
      return result;
    }
    result.Status = TRegistryText::Found;
    result.Text = data.data();
    return result;
  }
};

} // namespace

template <> TRegistry* TSeam<TRegistry>::Platform() {
  static TWin32Registry registry;
  return &registry;
}

} // namespace platform
