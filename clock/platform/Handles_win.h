// Owners for the handle kinds the clock program holds, so that every path
// releases what it got.
#pragma once

#include <windows.h>

namespace platform {

template <typename Handle, typename Result, Result(WINAPI* Close)(Handle)> class TOwnedHandle {
public:
  TOwnedHandle() = default;
  explicit TOwnedHandle(Handle handle) : handle_(handle) {}
  ~TOwnedHandle() {
    if (handle_)
      Close(handle_);
  }
  TOwnedHandle(const TOwnedHandle&) = delete;
  TOwnedHandle& operator=(const TOwnedHandle&) = delete;

  Handle Get() const { return handle_; }
  // For the calls that hand out a new handle through a pointer.
  Handle* Receive() { return &handle_; }

private:
  Handle handle_ = nullptr;
};

using TRegistryKey = TOwnedHandle<HKEY, LONG, RegCloseKey>;
using TKernelHandle = TOwnedHandle<HANDLE, BOOL, CloseHandle>;

} // namespace platform
