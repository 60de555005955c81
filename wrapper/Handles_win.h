// Owners for the handle kinds the wrapper holds: every path releases what it got.
#pragma once

#include <windows.h>

namespace kestrun {

template <typename Handle, BOOL(WINAPI* Close)(Handle)> class TOwnedHandle {
public:
  TOwnedHandle() = default;
  explicit TOwnedHandle(Handle handle) : handle_(handle) {}
  ~TOwnedHandle() { Reset(); }
  TOwnedHandle(const TOwnedHandle&) = delete;
  TOwnedHandle& operator=(const TOwnedHandle&) = delete;

  Handle Get() const { return handle_; }
  void Reset(Handle handle = nullptr) {
    if (*this)
      Close(handle_);
    handle_ = handle;
  }
  explicit operator bool() const {
    return handle_ != nullptr && handle_ != reinterpret_cast<Handle>(INVALID_HANDLE_VALUE);
  }

private:
  Handle handle_ = nullptr;
};

using TKernelHandle = TOwnedHandle<HANDLE, CloseHandle>;
using TServiceHandle = TOwnedHandle<SC_HANDLE, CloseServiceHandle>;

} // namespace kestrun
