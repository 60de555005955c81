#include <windows.h>

#include "clock/platform/Handles_win.h"
#include "clock/platform/NamedMutexes.h"

namespace platform {
namespace {

class TWin32MutexHold : public TMutexHold {
public:
  explicit TWin32MutexHold(HANDLE mutex) : mutex_(mutex) {}

private:
  TKernelHandle mutex_;
};

class TWin32NamedMutexes : public TNamedMutexes {
public:
  TMutexOpening CreateOrOpen(const std::string& name) override {
    TMutexOpening opening;
    HANDLE created = CreateMutexA(nullptr, FALSE, name.c_str());
    const DWORD error = GetLastError();
    if (!created)
      return opening;
    if (error == ERROR_ALREADY_EXISTS) {
      // Only learning that it exists; the other holder keeps it alive.
      CloseHandle(created);
      opening.Status = TMutexOpening::AlreadyExists;
      return opening;
    }
    opening.Status = TMutexOpening::Created;
    opening.Hold = std::make_unique<TWin32MutexHold>(created);
    return opening;
  }
};

} // namespace

template <> TNamedMutexes* TSeam<TNamedMutexes>::Platform() {
  static TWin32NamedMutexes mutexes;
  return &mutexes;
}

} // namespace platform
