// What the end-to-end scenarios share: the programs under test, fresh
// folders, processes we start, and windows found by class and process.
#pragma once

#include <windows.h>

#include <string>

namespace e2e {

// Owns one kernel handle.
class THandle {
public:
  THandle() = default;
  explicit THandle(HANDLE handle) : handle_(handle) {}
  ~THandle() { Reset(); }
  THandle(THandle&& other) noexcept : handle_(other.Release()) {}
  THandle& operator=(THandle&& other) noexcept;
  THandle(const THandle&) = delete;
  THandle& operator=(const THandle&) = delete;

  HANDLE Get() const { return handle_; }
  HANDLE Release();
  void Reset(HANDLE handle = nullptr);
  explicit operator bool() const { return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE; }

private:
  HANDLE handle_ = nullptr;
};

// The folder with the programs under test (VELMORA_BIN_DIR).
std::string BinDir();

// A new, empty folder under the temporary folder, removed with its contents.
class TTempFolder {
public:
  TTempFolder();
  ~TTempFolder();
  TTempFolder(const TTempFolder&) = delete;
  TTempFolder& operator=(const TTempFolder&) = delete;

  const std::string& Path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "\\" + name; }

private:
  std::string path_;
};

// Copies a program of BinDir into the folder; returns its full path.
std::string CopyProgram(const std::string& name, const std::string& folder);
inline std::string CopyProgram(const std::string& name, const TTempFolder& folder) {
  return CopyProgram(name, folder.Path());
}

// A whole file's bytes, empty when it cannot be read; a file written anew
// byte for byte.
std::string ReadFileText(const std::string& path);
void WriteBytes(const std::string& path, const std::string& bytes);
bool FileExists(const std::string& path);

// A process we started. One still running at destruction is ended: it is ours.
class TProcess {
public:
  TProcess(const std::string& commandLine, const std::string& currentDirectory);
  // A process we caused to start by other means, taken by its id.
  explicit TProcess(DWORD processId);
  ~TProcess();
  TProcess(const TProcess&) = delete;
  TProcess& operator=(const TProcess&) = delete;

  DWORD Id() const { return id_; }
  HANDLE Handle() const { return process_.Get(); }
  // True when the process ended within the time.
  bool WaitForExit(DWORD milliseconds);
  DWORD ExitCode() const;

private:
  THandle process_;
  DWORD id_ = 0;
};

// The first visible or hidden top-level window of the process with that
// class, waited for; nullptr when none appears in time.
HWND WaitForWindow(DWORD processId, const char* className, DWORD milliseconds);
// The same, of any process.
HWND WaitForAnyWindow(const char* className, DWORD milliseconds);
// The same, visible and with that caption (a dialog or message box).
HWND WaitForShownWindow(DWORD processId, const char* className, const std::string& caption,
                        DWORD milliseconds);
// True when the window is gone within the time.
bool WaitGone(HWND window, DWORD milliseconds);

std::string WindowText(HWND window);
// The text a control of another process writes into the buffer a message
// names (SB_GETTEXTA and the like are not carried across processes): the
// buffer is placed in that process.
std::string RemoteText(HWND window, DWORD processId, UINT message, WPARAM wParam);
// True exactly while the shell has the tray icon (window, id 1).
bool TrayIconExists(HWND window);
// The folder of the programs the hosted scenarios host (VELMORA_HOSTED_DIR,
// else BinDir()), and a copy of one of them.
std::string HostedDir();
std::string CopyHosted(const std::string& name, const std::string& folder);
// How this runner's Wine starts a program from a host shell
// (VELMORA_WINE_LOADER, else the 64-bit loader).
std::string WineLoader();

} // namespace e2e
