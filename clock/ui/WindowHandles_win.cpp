#include "clock/ui/WindowHandles.h"

#include "clock/ui/Backend_win.h"

platform::WindowHandle FormWindowHandle(const TForm& form) {
  return WindowHandle(form);
}

platform::WindowHandle ApplicationWindowHandle() {
  // A program may run on another backend (the runner's in-process tests).
  auto* backend = dynamic_cast<TWin32Backend*>(&Application().Backend());
  return backend ? backend->ApplicationWindow() : nullptr;
}
