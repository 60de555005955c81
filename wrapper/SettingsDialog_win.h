// Settings mode: the modeless settings dialog and the trial run.
#pragma once

#include <windows.h>

namespace kestrun {

extern HINSTANCE AppInstance;

INT_PTR CALLBACK SettingsDialogProc(HWND dialog, UINT message, WPARAM first, LPARAM second);
void TestStart(HWND dialog, const char* programPath, const char* options, int stopMethod);

} // namespace kestrun
