// What the settings scenarios need besides the update's helpers: controls
// found by class and place.
#pragma once

#include <windows.h>

#include <string>

namespace e2e {

// The child window of that class whose top left corner is at the point of
// the form's client area, or nullptr.
HWND ChildAt(HWND form, const char* className, int left, int top);
// The text a control keeps itself (edit fields, combo boxes).
std::string ControlText(HWND control);

} // namespace e2e
