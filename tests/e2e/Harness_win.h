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

std::string WindowText(HWND window);

} // namespace e2e
