// One installable implementation per operating-system interface: tests
// install a fake for their lifetime, otherwise the platform's own serves.
// Native builds have none, so reaching it there without a fake is a logic
// error.
#pragma once

#include <stdexcept>

namespace platform {

// Opaque handles of the operating system (a window, an icon), so that the
// portable code can hold and pass them without the system's headers.
using WindowHandle = void*;
using IconHandle = void*;

template <typename Interface> class TSeam {
public:
  static Interface& Get() {
    if (installed_)
      return *installed_;
    if (Interface* own = Platform())
      return *own;
    throw std::logic_error("no platform implementation here; install one");
  }
  // nullptr goes back to the platform's own.
  static void Install(Interface* replacement) { installed_ = replacement; }

private:
  // Specialised by each interface's *_win.cpp; natively by Native.cpp.
  static Interface* Platform();
  static inline Interface* installed_ = nullptr;
};

} // namespace platform
