#include "tests/e2e/Harness_win.h"

#include <shellapi.h>

#include <fstream>
#include <sstream>
#include <stdexcept>
#include <vector>

namespace e2e {

THandle& THandle::operator=(THandle&& other) noexcept {
  if (this != &other)
    Reset(other.Release());
  return *this;
}

HANDLE THandle::Release() {
  HANDLE handle = handle_;
  handle_ = nullptr;
  return handle;
}

void THandle::Reset(HANDLE handle) {
  if (*this)
    CloseHandle(handle_);
  handle_ = handle;
}

namespace {
// An environment variable of the run, or fallback when it is not set.
std::string Setting(const char* name, const std::string& fallback) {
  char value[MAX_PATH];
  const DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
  return length == 0 || length >= sizeof value ? fallback : std::string(value, length);
}
} // namespace

std::string BinDir() {
  const std::string dir = Setting("VELMORA_BIN_DIR", "");
  if (dir.empty())
    throw std::runtime_error("VELMORA_BIN_DIR is not set");
  return dir;
}

TTempFolder::TTempFolder() {
  char base[MAX_PATH];
  DWORD length = GetTempPathA(sizeof base, base);
  if (length == 0 || length >= sizeof base)
    throw std::runtime_error("GetTempPath failed");
  for (unsigned attempt = 0; attempt < 1000; ++attempt) {
    std::string candidate = std::string(base) + "velmora-e2e-" +
                            std::to_string(GetCurrentProcessId()) + "-" +
                            std::to_string(GetTickCount() + attempt);
    if (CreateDirectoryA(candidate.c_str(), nullptr)) {
      path_ = candidate;
      return;
    }
  }
  throw std::runtime_error("no fresh temporary folder");
}

namespace {
void RemoveTree(const std::string& path) {
  WIN32_FIND_DATAA entry;
  HANDLE search = FindFirstFileA((path + "\\*").c_str(), &entry);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      std::string name = entry.cFileName;
      if (name == "." || name == "..")
        continue;
      std::string child = path + "\\" + name;
      if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        RemoveTree(child);
      else
        DeleteFileA(child.c_str());
    } while (FindNextFileA(search, &entry));
    FindClose(search);
  }
  RemoveDirectoryA(path.c_str());
}
} // namespace

TTempFolder::~TTempFolder() {
  RemoveTree(path_);
}

namespace {
std::string CopyFrom(const std::string& dir, const std::string& name, const std::string& folder) {
  std::string target = folder + "\\" + name;
  if (!CopyFileA((dir + "\\" + name).c_str(), target.c_str(), FALSE))
    throw std::runtime_error("cannot copy " + name);
  return target;
}
} // namespace

std::string CopyProgram(const std::string& name, const std::string& folder) {
  return CopyFrom(BinDir(), name, folder);
}

std::string ReadFileText(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

bool FileExists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

TProcess::TProcess(const std::string& commandLine, const std::string& currentDirectory) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info = {};
  std::vector<char> line(commandLine.begin(), commandLine.end());
  line.push_back('\0');
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      currentDirectory.c_str(), &startup, &info))
    throw std::runtime_error("CreateProcess failed: " + commandLine);
  CloseHandle(info.hThread);
  process_.Reset(info.hProcess);
  id_ = info.dwProcessId;
}

TProcess::TProcess(DWORD processId)
    : process_(OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE | PROCESS_QUERY_INFORMATION |
                               PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE,
                           FALSE, processId)),
      id_(processId) {
  if (!process_)
    throw std::runtime_error("cannot open process " + std::to_string(processId));
}

TProcess::~TProcess() {
  if (!WaitForExit(0)) {
    TerminateProcess(process_.Get(), 1);
    WaitForExit(5000);
  }
}

bool TProcess::WaitForExit(DWORD milliseconds) {
  return WaitForSingleObject(process_.Get(), milliseconds) == WAIT_OBJECT_0;
}

DWORD TProcess::ExitCode() const {
  DWORD code = STILL_ACTIVE;
  GetExitCodeProcess(process_.Get(), &code);
  return code;
}

namespace {
struct TWindowSearch {
  DWORD ProcessId; // any when 0
  const char* ClassName;
  const std::string* Caption; // any when nullptr
  bool VisibleOnly;
  HWND Found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM parameter) {
  auto* search = reinterpret_cast<TWindowSearch*>(parameter);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  char className[256];
  if ((search->ProcessId == 0 || owner == search->ProcessId) &&
      GetClassNameA(window, className, sizeof className) &&
      lstrcmpA(className, search->ClassName) == 0 &&
      (!search->VisibleOnly || IsWindowVisible(window)) &&
      (!search->Caption || WindowText(window) == *search->Caption)) {
    search->Found = window;
    return FALSE;
  }
  return TRUE;
}

HWND WaitForMatch(TWindowSearch search, DWORD milliseconds) {
  const DWORD start = GetTickCount();
  for (;;) {
    search.Found = nullptr;
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    if (search.Found)
      return search.Found;
    if (GetTickCount() - start >= milliseconds)
      return nullptr;
    Sleep(50);
  }
}
} // namespace

HWND WaitForWindow(DWORD processId, const char* className, DWORD milliseconds) {
  return WaitForMatch({processId, className, nullptr, false, nullptr}, milliseconds);
}

HWND WaitForAnyWindow(const char* className, DWORD milliseconds) {
  return WaitForMatch({0, className, nullptr, false, nullptr}, milliseconds);
}

HWND WaitForShownWindow(DWORD processId, const char* className, const std::string& caption,
                        DWORD milliseconds) {
  return WaitForMatch({processId, className, &caption, true, nullptr}, milliseconds);
}

bool WaitGone(HWND window, DWORD milliseconds) {
  const DWORD start = GetTickCount();
  while (IsWindow(window)) {
    if (GetTickCount() - start >= milliseconds)
      return false;
    Sleep(50);
  }
  return true;
}

std::string WindowText(HWND window) {
  char buffer[1024];
  int length = GetWindowTextA(window, buffer, sizeof buffer);
  return std::string(buffer, length > 0 ? length : 0);
}

std::string RemoteText(HWND window, DWORD processId, UINT message, WPARAM wParam) {
  THandle process(
      OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId));
  if (!process)
    return "<no process>";
  const SIZE_T size = 1024;
  void* remote = VirtualAllocEx(process.Get(), nullptr, size, MEM_COMMIT, PAGE_READWRITE);
  if (!remote)
    return "<no memory>";
  DWORD_PTR result = 0;
  SendMessageTimeoutA(window, message, wParam, reinterpret_cast<LPARAM>(remote), SMTO_ABORTIFHUNG,
                      2000, &result);
  std::string text(size, '\0');
  SIZE_T read = 0;
  ReadProcessMemory(process.Get(), remote, &text[0], size, &read);
  VirtualFreeEx(process.Get(), remote, 0, MEM_RELEASE);
  text.resize(read ? text.find('\0') : 0);
  return text;
}

bool TrayIconExists(HWND window) {
  NOTIFYICONDATAA probe = {};
  probe.cbSize = NOTIFYICONDATAA_V1_SIZE;
  probe.hWnd = window;
  probe.uID = 1;
  probe.uFlags = 0;
  return Shell_NotifyIconA(NIM_MODIFY, &probe) != FALSE;
}

std::string HostedDir() {
  return Setting("VELMORA_HOSTED_DIR", BinDir());
}

std::string CopyHosted(const std::string& name, const std::string& folder) {
  return CopyFrom(HostedDir(), name, folder);
}

std::string WineLoader() {
  return Setting("VELMORA_WINE_LOADER", "/usr/lib/wine/wine64");
}

} // namespace e2e
