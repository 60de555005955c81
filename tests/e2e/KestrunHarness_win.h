// What the kestrun scenarios share: a wrapper copy in a folder with a blank,
// the hosted test programs and their logs, services, and the dialog.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "tests/e2e/Harness_win.h"

namespace e2e {

// Owns one service control manager handle.
class TScHandle {
public:
  explicit TScHandle(SC_HANDLE handle = nullptr) : handle_(handle) {}
  ~TScHandle() {
    if (handle_)
      CloseServiceHandle(handle_);
  }
  TScHandle(const TScHandle&) = delete;
  TScHandle& operator=(const TScHandle&) = delete;
  SC_HANDLE Get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }

private:
  SC_HANDLE handle_;
};

struct TServiceConfig {
  DWORD Type = 0;
  DWORD StartType = 0;
  DWORD ErrorControl = 0;
  std::string ImagePath;
};

class TKestrunFolder;

// A service of our own, deleted (stopped first) at destruction.
class TTestService {
public:
  TTestService();
  ~TTestService();
  TTestService(const TTestService&) = delete;
  TTestService& operator=(const TTestService&) = delete;

  const std::string& Name() const { return name_; }
  // Registers imagePath directly, as the dialog would.
  bool Create(const std::string& imagePath, DWORD type, DWORD startType);
  // The folder's kestrun.ini for a hosted program (automatic start, no
  // desktop) and the folder's wrapper registered on demand under our name.
  bool Register(const TKestrunFolder& folder, const std::string& program,
                const std::string& options, int stopMethod, DWORD type = SERVICE_WIN32_OWN_PROCESS);
  bool Exists() const;
  bool Start();
  bool Stop();
  // Stops it when it runs, then deletes it.
  void Delete();
  // The service's process, 0 when none runs.
  DWORD ProcessId() const;
  // 0 when the service does not exist.
  DWORD State() const;
  bool Query(SERVICE_STATUS* status) const;
  bool WaitForState(DWORD state, DWORD milliseconds) const;
  bool Config(TServiceConfig* config) const;

private:
  std::string name_;
};

// kestrun.exe in "<temp>\svc dir", the hosted programs in "<temp>\host dir",
// the hosted program's log in the temporary folder itself.
class TKestrunFolder {
public:
  TKestrunFolder();
  const std::string& Kestrun() const { return kestrun_; }
  const std::string& KestrunDir() const { return kestrunDir_; }
  const std::string& HostDir() const { return hostDir_; }
  std::string Hosted(const std::string& program) const { return hostDir_ + "\\" + program; }
  std::string IniPath() const { return kestrunDir_ + "\\kestrun.ini"; }
  const std::string& LogPath() const { return logPath_; }
  void WriteIni(const std::string& program, const std::string& options, const std::string& name,
                int stopMethod, int autoStart, int allowDesktop) const;
  // The value in section "kestrun", or "<missing>".
  std::string IniValue(const char* key) const;

private:
  TTempFolder temp_;
  std::string kestrunDir_;
  std::string hostDir_;
  std::string kestrun_;
  std::string logPath_;
};

// A running process with that file name whose parent is the given one; 0
// when there is none.
DWORD ChildProcess(DWORD parentId, const char* exeName);
// Ends a process that we caused to start, by its id.
void EndProcess(DWORD processId);

// The hosted program's log, times stripped.
std::vector<std::string> ReadLog(const std::string& path);
// Waits until the log holds the line that many times.
bool WaitForLogLine(const std::string& path, const std::string& line, DWORD milliseconds,
                    int times = 1);
// The milliseconds of the first line of the log, 0 when there is none.
unsigned long long FirstLogTime(const std::string& path);
// The value of the first log line "<key> <value>", and of every such line.
std::string LogValue(const std::string& path, const std::string& key);
std::vector<std::string> LogValues(const std::string& path, const std::string& key);
// Now in the hosted programs' log time.
unsigned long long LogClock();

// A message box of the process with that caption; the texts of its labels.
HWND WaitForMessageBox(DWORD processId, const std::string& caption, DWORD milliseconds);
std::string StaticTexts(HWND box);
// Answers the message box with that caption by the button; returns its text.
std::string AnswerMessageBox(const TProcess& process, const std::string& caption, int button);
// Presses a button of a dialog or message box as a click would.
void PressButton(HWND dialog, int id);

std::string ControlText(HWND dialog, int id);
void SetControlText(HWND dialog, int id, const std::string& text);
// Asked in UTF-16: Wine does not convert this answer between processes.
std::string ComboEntry(HWND dialog, int id, int index);
LRESULT SendToControl(HWND dialog, int id, UINT message, WPARAM first = 0, LPARAM second = 0);

// The settings program started in its own folder, and its dialog.
struct TSettingsProgram {
  explicit TSettingsProgram(const TKestrunFolder& folder);
  TProcess Process;
  HWND Dialog;
};

} // namespace e2e
