// What the hosted test programs share. Their log has one line per event,
// "<ms since 1601> <text>", appended and closed at once so that a reader sees
// every line written.
#pragma once

#include <windows.h>

#include <string>

namespace hosted {

// The log file is the first argument; returns false when there is none.
bool OpenLog();
void Log(const std::string& text);
// Start, process id, current directory and command line: the first lines of every log.
void LogStart();
// The second argument as a number of milliseconds, or fallback.
unsigned ArgumentMilliseconds(unsigned fallback);
// The third argument: the exit code to end with, 0 when there is none.
int ArgumentExitCode();

void RegisterWindowClass(const char* name, WNDPROC procedure, HINSTANCE instance);
// Until WM_QUIT; its exit code.
int RunMessageLoop();

} // namespace hosted
