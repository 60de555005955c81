#include "tests/e2e/UpdateHarness_win.h"

#include <shellapi.h>
#include <commctrl.h>

#include <chrono>
#include <cstdio>
#include <stdexcept>
#include <vector>

namespace e2e {

namespace {
const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                               "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// 100-ns units since 1601, as the system clock counts.
ULONGLONG UtcNow() {
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  return (ULONGLONG{now.dwHighDateTime} << 32) | now.dwLowDateTime;
}

std::string HttpDate(ULONGLONG whole) {
  FILETIME file = {static_cast<DWORD>(whole), static_cast<DWORD>(whole >> 32)};
  SYSTEMTIME time;
  FileTimeToSystemTime(&file, &time);
  char text[64];
  std::snprintf(text, sizeof text, "%s, %02u %s %04u %02u:%02u:%02u GMT", kDays[time.wDayOfWeek],
                time.wDay, kMonths[time.wMonth - 1], time.wYear, time.wHour, time.wMinute,
                time.wSecond);
  return text;
}
} // namespace

TTimeServer::TTimeServer() {
  listener_ = peer::Listen(port_);
  if (listener_ == peer::NoSocket)
    throw std::runtime_error("the time server cannot listen on 127.0.0.1");
  thread_ = std::thread([this] { Serve(); });
}

TTimeServer::~TTimeServer() {
  stop_ = true;
  thread_.join();
  peer::Close(listener_);
}

void TTimeServer::Serve() {
  while (!stop_) {
    if (peer::Wait(listener_, 50) == 0)
      continue;
    const peer::TSocket client = peer::Accept(listener_);
    if (client == peer::NoSocket)
      continue;
    ++connections_;
    ServeConnection(client);
    peer::Close(client);
  }
}

void TTimeServer::ServeConnection(peer::TSocket client) {
  const ULONGLONG second = 10000000;
  std::string received;
  const DWORD start = GetTickCount();
  DWORD idleSince = start;
  while (!stop_ && GetTickCount() - start < static_cast<DWORD>(ConnectionLimitMs)) {
    if (IdleCloseMs > 0 && GetTickCount() - idleSince >= static_cast<DWORD>(IdleCloseMs))
      return;
    const std::size_t end = received.find("\r\n\r\n");
    if (end != std::string::npos) {
      received.erase(0, end + 4);
      const bool first = ++requests_ == 1;
      ULONGLONG now = UtcNow();
      if (!AnswerAtOnce && now % second >= second / 2) {
        Sleep(static_cast<DWORD>((second - now % second) / 10000) + 1);
        now = UtcNow();
      }
      const ULONGLONG date = now - now % second + OffsetSeconds * static_cast<LONGLONG>(second);
      const std::string answer =
          (first && !FirstStatusLine.empty() ? FirstStatusLine : StatusLine) +
          "\r\nDate: " + HttpDate(date) + "\r\nContent-Length: 0\r\n\r\n";
      if (!peer::Send(client, answer.data(), static_cast<int>(answer.size())))
        return;
      idleSince = GetTickCount();
      continue;
    }
    if (peer::Wait(client, 50) == 0)
      continue;
    char piece[4096];
    const int count = peer::Receive(client, piece, sizeof piece);
    if (count <= 0)
      return;
    received.append(piece, static_cast<std::size_t>(count));
  }
}

void WriteFixtures(const TTempFolder& folder, const std::string& site,
                   const std::string& setLines) {
  WriteBytes(folder.File("ServerList.txt"), site + "\r\n");
  WriteBytes(folder.File("Set.ini"), "[Set]\r\n" + setLines);
}

namespace {
// The host's path of a file of ours, from Wine's own export.
std::string UnixPath(const std::string& path) {
  using TToUnix = char*(CDECL*)(LPCWSTR);
  FARPROC found = GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name");
  auto toUnix = reinterpret_cast<TToUnix>(reinterpret_cast<void*>(found));
  if (!toUnix)
    throw std::runtime_error("not running under Wine");
  std::wstring wide(path.begin(), path.end());
  char* unix = toUnix(wide.c_str());
  if (!unix)
    throw std::runtime_error("no host path for " + path);
  std::string result = unix;
  HeapFree(GetProcessHeap(), 0, unix);
  return result;
}

struct TProcessSearch {
  DWORD Found = 0;
};

BOOL CALLBACK FindFormProcess(HWND window, LPARAM parameter) {
  char className[64] = {};
  GetClassNameA(window, className, sizeof className);
  if (lstrcmpA(className, "TForm1") != 0)
    return TRUE;
  GetWindowThreadProcessId(window, &reinterpret_cast<TProcessSearch*>(parameter)->Found);
  return FALSE;
}
} // namespace

TLoggedProcess::TLoggedProcess(const std::string& program, const std::string& arguments,
                               const std::string& currentDirectory, const std::string& logPath,
                               const std::string& wineDebug) {
  // Wine writes its debug channels to the host's standard error, which no
  // handle given to CreateProcess reaches: a host shell starts the program
  // with its standard error sent to the log.
  const std::string folder = UnixPath(currentDirectory);
  const std::string prefix = UnixPath("C:\\") + "/..";
  const std::string script = "cd '" + folder + "' && exec 2>'" + UnixPath(logPath) +
                             "' && WINEPREFIX='" + prefix + "' WINEDEBUG=" + wineDebug +
                             " exec /usr/lib/wine/wine64 '" + program + "'" + arguments;
  std::string commandLine = "Z:\\bin\\sh -c \"" + script + "\"";
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info = {};
  std::vector<char> line(commandLine.begin(), commandLine.end());
  line.push_back('\0');
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      currentDirectory.c_str(), &startup, &info))
    throw std::runtime_error("CreateProcess failed: " + commandLine);
  if (info.hThread)
    CloseHandle(info.hThread);
  if (info.hProcess)
    CloseHandle(info.hProcess);
  // The program is not our child; it is the one main window in this prefix.
  const DWORD start = GetTickCount();
  TProcessSearch search;
  while (!search.Found && GetTickCount() - start < 30000) {
    Sleep(100);
    EnumWindows(FindFormProcess, reinterpret_cast<LPARAM>(&search));
  }
  if (!search.Found)
    throw std::runtime_error("the program's window did not appear: " + commandLine);
  id_ = search.Found;
  process_.Reset(OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE | PROCESS_QUERY_INFORMATION |
                                 PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE,
                             FALSE, id_));
}

TLoggedProcess::~TLoggedProcess() {
  if (!WaitForExit(0)) {
    TerminateProcess(process_.Get(), 1);
    WaitForExit(5000);
  }
}

bool TLoggedProcess::WaitForExit(DWORD milliseconds) {
  return WaitForSingleObject(process_.Get(), milliseconds) == WAIT_OBJECT_0;
}

TAnswerProbe::TAnswerProbe(HWND window) : window_(window) {
  thread_ = std::thread([this] {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    while (!stop_) {
      LARGE_INTEGER before, after;
      QueryPerformanceCounter(&before);
      DWORD_PTR result = 0;
      if (SendMessageTimeoutA(window_, WM_NULL, 0, 0, SMTO_NORMAL, 30000, &result))
        ++answers_;
      QueryPerformanceCounter(&after);
      const double ms = 1000.0 * static_cast<double>(after.QuadPart - before.QuadPart) /
                        static_cast<double>(frequency.QuadPart);
      if (ms > worstMs_)
        worstMs_ = ms;
      Sleep(50);
    }
  });
}

TAnswerProbe::~TAnswerProbe() {
  stop_ = true;
  thread_.join();
}

namespace {
struct TChildSearch {
  const char* ClassName;
  const std::string* Text;
  HWND Found;
};

BOOL CALLBACK MatchChild(HWND window, LPARAM parameter) {
  auto* search = reinterpret_cast<TChildSearch*>(parameter);
  char className[64] = {};
  GetClassNameA(window, className, sizeof className);
  char text[256] = {};
  SendMessageA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
  if (lstrcmpA(className, search->ClassName) == 0 && *search->Text == text) {
    search->Found = window;
    return FALSE;
  }
  return TRUE;
}

struct TDialogSearch {
  DWORD ProcessId;
  const char* ClassName;
  const std::string* Caption;
  HWND Found;
};

BOOL CALLBACK MatchDialog(HWND window, LPARAM parameter) {
  auto* search = reinterpret_cast<TDialogSearch*>(parameter);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  char className[64] = {};
  GetClassNameA(window, className, sizeof className);
  if (owner == search->ProcessId && lstrcmpA(className, search->ClassName) == 0 &&
      IsWindowVisible(window) && WindowText(window) == *search->Caption) {
    search->Found = window;
    return FALSE;
  }
  return TRUE;
}
} // namespace

HWND FindChild(HWND form, const char* className, const std::string& text) {
  TChildSearch search = {className, &text, nullptr};
  EnumChildWindows(form, MatchChild, reinterpret_cast<LPARAM>(&search));
  return search.Found;
}

std::string StatusText(HWND form, DWORD processId) {
  const std::string none;
  HWND bar = nullptr;
  EnumChildWindows(
      form,
      [](HWND window, LPARAM found) -> BOOL {
        char className[64] = {};
        GetClassNameA(window, className, sizeof className);
        if (lstrcmpA(className, "TStatusBar") != 0)
          return TRUE;
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&bar));
  if (!bar)
    return "<no status bar>";
  THandle process(
      OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId));
  if (!process)
    return "<no process>";
  const SIZE_T size = 1024;
  void* remote = VirtualAllocEx(process.Get(), nullptr, size, MEM_COMMIT, PAGE_READWRITE);
  if (!remote)
    return "<no memory>";
  DWORD_PTR result = 0;
  SendMessageTimeoutA(bar, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(remote), SMTO_ABORTIFHUNG, 2000,
                      &result);
  std::string text(size, '\0');
  SIZE_T read = 0;
  ReadProcessMemory(process.Get(), remote, &text[0], size, &read);
  VirtualFreeEx(process.Get(), remote, 0, MEM_RELEASE);
  text.resize(read ? text.find('\0') : 0);
  return text;
}

bool WaitForStatus(HWND form, DWORD processId, const std::string& text, DWORD milliseconds) {
  const DWORD start = GetTickCount();
  while (StatusText(form, processId) != text) {
    if (GetTickCount() - start >= milliseconds)
      return false;
    Sleep(50);
  }
  return true;
}

HWND WaitForDialog(DWORD processId, const char* className, const std::string& caption,
                   DWORD milliseconds) {
  const DWORD start = GetTickCount();
  for (;;) {
    TDialogSearch search = {processId, className, &caption, nullptr};
    EnumWindows(MatchDialog, reinterpret_cast<LPARAM>(&search));
    if (search.Found)
      return search.Found;
    if (GetTickCount() - start >= milliseconds)
      return nullptr;
    Sleep(50);
  }
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

std::string MessageBoxText(HWND box) {
  char text[1024] = {};
  GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
  return text;
}

bool TrayIconExists(HWND window) {
  NOTIFYICONDATAA data = {};
  data.cbSize = NOTIFYICONDATAA_V1_SIZE;
  data.hWnd = window;
  data.uID = 1;
  data.uFlags = 0;
  return Shell_NotifyIconA(NIM_MODIFY, &data) != FALSE;
}

} // namespace e2e
