// Native builds run the model headless: there are no windows.
#ifndef _WIN32

#include "clock/ui/WindowHandles.h"

platform::WindowHandle FormWindowHandle(const TForm&) {
  return nullptr;
}

platform::WindowHandle ApplicationWindowHandle() {
  return nullptr;
}

#endif
