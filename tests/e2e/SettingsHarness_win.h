// What the settings scenarios need besides the update's helpers: files
// written byte for byte, and controls found by class and place.
#pragma once

#include <windows.h>

#include <string>

namespace e2e {

void WriteBytes(const std::string& path, const std::string& bytes);
bool FileExists(const std::string& path);

// The child window of that class whose top left corner is at the point of
// the form's client area, or nullptr.
HWND ChildAt(HWND form, const char* className, int left, int top);
// The text a control keeps itself (edit fields, combo boxes).
std::string ControlText(HWND control);

} // namespace e2e
