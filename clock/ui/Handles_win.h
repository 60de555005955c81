// Owners of the toolkit's Win32 handles, one per kind, so that every path
// gives back what it got.
#pragma once

#include <windows.h>
#include <objbase.h>

#include <utility>

template <class THandleType, class TTraits> class TOwned {
public:
  TOwned() = default;
  explicit TOwned(THandleType handle) : handle_(handle) {}
  ~TOwned() { Reset(); }
  TOwned(TOwned&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
  TOwned& operator=(TOwned&& other) noexcept {
    if (this != &other)
      Reset(std::exchange(other.handle_, nullptr));
    return *this;
  }
  TOwned(const TOwned&) = delete;
  TOwned& operator=(const TOwned&) = delete;

  THandleType Get() const { return handle_; }
  THandleType Release() { return std::exchange(handle_, nullptr); }
  void Reset(THandleType handle = nullptr) {
    if (handle_)
      TTraits::Free(handle_);
    handle_ = handle;
  }
  explicit operator bool() const { return handle_ != nullptr; }

private:
  THandleType handle_ = nullptr;
};

struct TWindowTraits {
  static void Free(HWND window) { DestroyWindow(window); }
};
struct TFontTraits {
  static void Free(HFONT font) { DeleteObject(font); }
};
struct TMenuTraits {
  static void Free(HMENU menu) { DestroyMenu(menu); }
};
struct THookTraits {
  static void Free(HHOOK hook) { UnhookWindowsHookEx(hook); }
};

// A window we created.
using TWindow = TOwned<HWND, TWindowTraits>;
using TFontHandle = TOwned<HFONT, TFontTraits>;
using TMenuHandle = TOwned<HMENU, TMenuTraits>;
using THook = TOwned<HHOOK, THookTraits>;

// A screen device context, for measuring text.
class TScreenDC {
public:
  TScreenDC() : dc_(GetDC(nullptr)) {}
  ~TScreenDC() { ReleaseDC(nullptr, dc_); }
  TScreenDC(const TScreenDC&) = delete;
  TScreenDC& operator=(const TScreenDC&) = delete;
  HDC Get() const { return dc_; }

private:
  HDC dc_;
};

// The GUI thread's COM apartment (single-threaded), for the program's life.
class TComApartment {
public:
  TComApartment() : initialised_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
  ~TComApartment() {
    if (initialised_)
      CoUninitialize();
  }
  TComApartment(const TComApartment&) = delete;
  TComApartment& operator=(const TComApartment&) = delete;

private:
  bool initialised_;
};
