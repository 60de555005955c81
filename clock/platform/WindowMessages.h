// Finding a window by class and caption and sending it a message, as the
// dialog closer does with the program's information messages.
#pragma once

#include <cstdint>
#include <string>

#include "clock/platform/Seam.h"

namespace platform {

class TWindowMessages {
public:
  virtual ~TWindowMessages() = default;
  // The first top-level window of that class and caption, or nullptr.
  virtual WindowHandle FindTopLevel(const std::string& className, const std::string& caption) = 0;
  // The first child window of parent with that class, or nullptr.
  virtual WindowHandle FindChild(WindowHandle parent, const std::string& className) = 0;
  // Sends the message and waits for its result.
  virtual std::intptr_t Send(WindowHandle window, unsigned message, std::uintptr_t wParam,
                             std::intptr_t lParam) = 0;
};

template <> TWindowMessages* TSeam<TWindowMessages>::Platform();
inline TWindowMessages& WindowMessages() {
  return TSeam<TWindowMessages>::Get();
}

} // namespace platform
