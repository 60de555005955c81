#include <windows.h>

#include "clock/net/TIdAntiFreeze.h"

void ProcessPendingMessages(bool all) {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    // The message loop must still see the request to end.
    if (message.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    TranslateMessage(&message);
    DispatchMessageA(&message);
    if (!all)
      return;
  }
}
