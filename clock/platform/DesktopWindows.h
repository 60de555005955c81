// The top-level windows of every program on the desktop.
#pragma once

#include <string>
#include <vector>

#include "clock/platform/Seam.h"

namespace platform {

class TDesktopWindows {
public:
  virtual ~TDesktopWindows() = default;
  // In the system's order.
  virtual std::vector<WindowHandle> TopLevelWindows() = 0;
  // Class name and window text, each read through a buffer of 79 bytes
  // (terminator included), so at most 78 bytes come back.
  virtual std::string ClassName(WindowHandle window) = 0;
  virtual std::string Text(WindowHandle window) = 0;
  // The window last active among window and the windows it owns.
  virtual WindowHandle LastActivePopup(WindowHandle window) = 0;
  virtual void BringToForeground(WindowHandle window) = 0;
};

template <> TDesktopWindows* TSeam<TDesktopWindows>::Platform();
inline TDesktopWindows& DesktopWindows() {
  return TSeam<TDesktopWindows>::Get();
}

} // namespace platform
