#include "tests/e2e/UpdateHarness_win.h"

#include <shellapi.h>
#include <commctrl.h>

#include <cstdlib>
#include <stdexcept>
#include <vector>

#include "clock/time/Calendar.h"
#include "tests/common/HttpDateText.h"

namespace e2e {

namespace {
// The system clock counts 100-ns units since 1601.
constexpr ULONGLONG kSecond = 10000000;

ULONGLONG UtcNow() {
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  return (ULONGLONG{now.dwHighDateTime} << 32) | now.dwLowDateTime;
}

std::string HttpDate(ULONGLONG whole) {
  return peer::FormatHttpDate(DayNumber(1601, 1, 1) * MillisecondsPerDay +
                              static_cast<CalendarMilliseconds>(whole / 10000));
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
    const ULONGLONG acceptedAt = UtcNow();
    if (client == peer::NoSocket)
      continue;
    ++connections_;
    ServeConnection(client, acceptedAt);
    peer::Close(client);
  }
}

void TTimeServer::ServeConnection(peer::TSocket client, ULONGLONG acceptedAt) {
  bool firstOnConnection = true;
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
      if (DelayMs > 0)
        Sleep(static_cast<DWORD>(DelayMs));
      const ULONGLONG now = UtcNow();
      ULONGLONG taken = now;
      if (!AnswerAtOnce) {
        const ULONGLONG placed = firstOnConnection ? acceptedAt : now;
        taken = placed + kSecond / 2 - (placed + kSecond / 2) % kSecond;
        if (taken > now)
          Sleep(static_cast<DWORD>((taken - now) / 10000) + 1);
      }
      firstOnConnection = false;
      const ULONGLONG skewed =
          taken + OffsetSeconds * static_cast<LONGLONG>(kSecond) + SkewMs * LONGLONG{10000};
      const ULONGLONG date = skewed - skewed % kSecond;
      const std::string answer =
          (first && !FirstStatusLine.empty() ? FirstStatusLine : StatusLine) +
          "\r\nDate: " + HttpDate(date) + "\r\nContent-Length: 0\r\n\r\n";
      if (DelayMs > 0)
        Sleep(static_cast<DWORD>(DelayMs));
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

void WaitForTheSecond() {
  Sleep(static_cast<DWORD>((kSecond - UtcNow() % kSecond) / 10000) + 1);
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

// Wine writes its debug channels to the host's standard error, which no
// handle given to CreateProcess reaches: a host shell starts the program
// with its standard error sent to the log. The program is not our child;
// it is the one main window in this prefix.
DWORD StartLogged(const std::string& program, const std::string& arguments,
                  const std::string& currentDirectory, const std::string& logPath,
                  const std::string& wineDebug) {
  const std::string prefix = UnixPath("C:\\") + "/..";
  StartHostShell("exec 2>'" + UnixPath(logPath) + "' && WINEPREFIX='" + prefix + "' WINEDEBUG=" +
                     wineDebug + " exec " + WineLoader() + " '" + program + "'" + arguments,
                 currentDirectory);
  HWND form = WaitForAnyWindow("TForm1", 30000);
  if (!form)
    throw std::runtime_error("the program's window did not appear: " + program);
  DWORD found = 0;
  GetWindowThreadProcessId(form, &found);
  return found;
}
} // namespace

std::optional<long> RequestedDifferenceMs(const std::string& log) {
  const std::string line = "err:sync:NtSetSystemTime not allowed: difference ";
  const std::size_t at = log.find(line);
  if (at == std::string::npos)
    return std::nullopt;
  return std::strtol(log.c_str() + at + line.size(), nullptr, 10);
}

void StartHostShell(const std::string& script, const std::string& currentDirectory) {
  const std::string commandLine =
      "Z:\\bin\\sh -c \"cd '" + UnixPath(currentDirectory) + "' && " + script + "\"";
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info = {};
  std::vector<char> line(commandLine.begin(), commandLine.end());
  line.push_back('\0');
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      currentDirectory.c_str(), &startup, &info))
    throw std::runtime_error("CreateProcess failed: " + commandLine);
  // A Unix program gets no Windows process: no process handle then, and
  // 32-bit Wine leaves another of our handles' numbers in hThread.
  if (info.hProcess) {
    THandle thread(info.hThread);
    THandle shell(info.hProcess);
  }
}

TLoggedProcess::TLoggedProcess(const std::string& program, const std::string& arguments,
                               const std::string& currentDirectory, const std::string& logPath,
                               const std::string& wineDebug)
    : TProcess(StartLogged(program, arguments, currentDirectory, logPath, wineDebug)) {}

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
      if (ms > worstMs_) {
        secondWorstMs_ = worstMs_.load();
        worstMs_ = ms;
      } else if (ms > secondWorstMs_) {
        secondWorstMs_ = ms;
      }
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
  if (lstrcmpA(className, search->ClassName) == 0 && (!search->Text || *search->Text == text)) {
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
  TChildSearch search = {"TStatusBar", nullptr, nullptr};
  EnumChildWindows(form, MatchChild, reinterpret_cast<LPARAM>(&search));
  if (!search.Found)
    return "<no status bar>";
  return RemoteText(search.Found, processId, SB_GETTEXTA, 0);
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

std::string MessageBoxText(HWND box) {
  char text[1024] = {};
  GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
  return text;
}

} // namespace e2e
