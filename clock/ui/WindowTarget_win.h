// The binding of our own windows to the C++ objects that handle them.
#pragma once

#include <windows.h>

// An object that receives its window's messages. The window is bound to it
// at WM_NCCREATE from lpCreateParams, which must point to this base.
class TWindowTarget {
public:
  virtual LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) = 0;
  static LRESULT CALLBACK StaticProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

protected:
  ~TWindowTarget() = default;
};

// Registers a class of ours once; its windows go to their TWindowTarget.
void RegisterTargetClass(HINSTANCE instance, const char* name, HICON icon);
