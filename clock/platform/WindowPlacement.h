// Activating, moving and showing one of the program's top-level windows.
#pragma once

#include "clock/platform/Seam.h"

namespace platform {

const int kShowMinimize = 6;
const int kShowRestore = 9;

class TWindowPlacement {
public:
  virtual ~TWindowPlacement() = default;
  // Makes the window the active one of the program.
  virtual void Activate(WindowHandle window) = 0;
  // Screen position and whole size; repaint redraws what the move uncovers.
  virtual void Move(WindowHandle window, int left, int top, int width, int height,
                    bool repaint) = 0;
  // One of the system's show commands, with its animation.
  virtual void Show(WindowHandle window, int showCommand) = 0;
  virtual int ScreenWidth() = 0;
};

template <> TWindowPlacement* TSeam<TWindowPlacement>::Platform();
inline TWindowPlacement& WindowPlacement() {
  return TSeam<TWindowPlacement>::Get();
}

} // namespace platform
