#include "tests/hosted/Hosted_win.h"

#include <cstdlib>

namespace hosted {

namespace {
std::string LogPath;
}

bool OpenLog() {
  if (__argc < 2)
    return false;
  LogPath = __argv[1];
  return true;
}

void Log(const std::string& text) {
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  unsigned long long ticks =
      (static_cast<unsigned long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
  std::string line = std::to_string(ticks / 10000) + " " + text + "\r\n";
  HANDLE file = CreateFileA(LogPath.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE)
    return;
  DWORD written = 0;
  WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  CloseHandle(file);
}

void LogStart() {
  Log("start");
  Log("pid " + std::to_string(GetCurrentProcessId()));
  char directory[MAX_PATH] = "";
  GetCurrentDirectoryA(sizeof directory, directory);
  Log(std::string("cwd ") + directory);
  Log(std::string("cmdline ") + GetCommandLineA());
}

unsigned ArgumentMilliseconds(unsigned fallback) {
  return __argc >= 3 ? static_cast<unsigned>(std::strtoul(__argv[2], nullptr, 10)) : fallback;
}

int ArgumentExitCode() {
  return __argc >= 4 ? static_cast<int>(std::strtoul(__argv[3], nullptr, 10)) : 0;
}

void RegisterWindowClass(const char* name, WNDPROC procedure, HINSTANCE instance) {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = name;
  windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  RegisterClassA(&windowClass);
}

int RunMessageLoop() {
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return static_cast<int>(message.wParam);
}

} // namespace hosted
