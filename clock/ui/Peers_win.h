// Inside the Win32 backend: the window-procedure binding and the peers'
// entry points that the backend calls.
#pragma once

#include <windows.h>

#include <memory>

#include "clock/ui/Backend_win.h"
#include "clock/ui/WindowTarget_win.h"

// A peer that has a window.
class TWindowed {
public:
  virtual HWND Handle() const = 0;

protected:
  ~TWindowed() = default;
};

std::unique_ptr<TPeer> CreateComponentPeer(TWin32Backend& backend, TComponent& component);

// A child window's notification (WM_COMMAND, WM_NOTIFY, WM_HSCROLL,
// WM_VSCROLL) to its control, or a menu command; false for anything else.
bool RouteNotification(TWin32Backend& backend, UINT message, WPARAM wParam, LPARAM lParam,
                       LRESULT& result);

void PopupMenuAt(TPopupMenu& menu, int x, int y);

// The font of a form: its name at its character height, in the Japanese
// character set.
TFontHandle CreateFormFont(const TFont& font);

// The top-level window that holds the window, or the window itself (what
// GetAncestor with GA_ROOT gives from Windows 98 and 2000 on).
HWND RootWindow(HWND window);

// Marks our forms' windows, whose keyboard navigation the loop runs.
extern const char kFormProperty[];
// Posted to a form when the keyboard focus went to one of its windows
// (wParam); the form then tells which of its controls has the focus.
constexpr UINT kFocusMovedMessage = WM_APP + 1;
