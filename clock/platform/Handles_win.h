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

// CloseServiceHandle looked up at run time (ServiceManager_win.cpp).
BOOL WINAPI CloseServiceHandleLoaded(SC_HANDLE handle);

using TRegistryKey = TOwnedHandle<HKEY, LONG, RegCloseKey>;
using TKernelHandle = TOwnedHandle<HANDLE, BOOL, CloseHandle>;
using TServiceHandle = TOwnedHandle<SC_HANDLE, BOOL, CloseServiceHandleLoaded>;

// One reference to a COM interface, released with the owner.
template <typename Interface> class TComInterface {
public:
  TComInterface() = default;
  ~TComInterface() {
    if (interface_)
      interface_->Release();
  }
  TComInterface(const TComInterface&) = delete;
  TComInterface& operator=(const TComInterface&) = delete;

  Interface* operator->() const { return interface_; }
  // For CoCreateInstance and QueryInterface.
  void** Receive() { return reinterpret_cast<void**>(&interface_); }

private:
  Interface* interface_ = nullptr;
};

} // namespace platform
