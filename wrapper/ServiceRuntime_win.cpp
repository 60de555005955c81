#include "wrapper/ServiceRuntime_win.h"

#include "wrapper/HostedStop.h"
#include "wrapper/Paths.h"
#include "wrapper/Settings.h"

namespace kestrun {

SERVICE_STATUS_HANDLE StatusHandle;
TKernelHandle InstanceMutex;
int StartRefused;

namespace {

// A hosted window that does not answer holds us no longer than this per message.
constexpr UINT SendTimeout = 5000;
// How long a stop waits for the hosted program before the service reports stopped.
constexpr DWORD StopWait = 20000;
constexpr DWORD PollInterval = 100;

// Both threads report; the lock keeps each check and its report together.
struct TReportLock {
  TReportLock() { InitializeCriticalSection(&Section); }
  ~TReportLock() { DeleteCriticalSection(&Section); }
  CRITICAL_SECTION Section;
} ReportLock;
DWORD LastReportedState;

// A report never goes back from stopping to running, nor from stopped to anything.
int ReportAllowed(DWORD state) {
  if (LastReportedState == SERVICE_STOPPED)
    return 0;
  if (LastReportedState == SERVICE_STOP_PENDING)
    return state == SERVICE_STOP_PENDING || state == SERVICE_STOPPED;
  return 1;
}

void SendBounded(HWND window, UINT message, WPARAM first) {
  DWORD_PTR result = 0;
  SendMessageTimeoutA(window, message, first, 0, SMTO_ABORTIFHUNG, SendTimeout, &result);
}

// Polls until the hosted process ends; after a stop request, at most StopWait,
// reporting progress about once a second.
void WaitForHostedEnd(HANDLE process) {
  DWORD stopTick = 0;
  DWORD checkPoint = 1;
  unsigned polls = 0;
  while (WaitForSingleObject(process, 0) == WAIT_TIMEOUT) {
    if (Hosted.Requested) {
      DWORD now = GetTickCount();
      if (!stopTick)
        stopTick = now;
      else if (now - stopTick >= StopWait)
        return;
      if (++polls % 10 == 0)
        ReportServiceStatus(SERVICE_STOP_PENDING, 0, ++checkPoint);
    }
    Sleep(PollInterval);
  }
}

void RunHostedProgram() {
  PROCESS_INFORMATION info = {};
  if (!LaunchHostedProgram(Settings.ProgramPath, Settings.Options, Settings.StopMethod, &info))
    return;
  TKernelHandle process(info.hProcess);
  TKernelHandle thread(info.hThread);
  int stopNow = HostedProcessStarted(Hosted, info.dwProcessId);
  ReportServiceStatus(SERVICE_RUNNING, 0, 0);
  if (stopNow)
    SendStopRequest(Settings.StopMethod);
  WaitForHostedEnd(process.Get());
}

} // namespace

void ReportServiceStatus(DWORD state, DWORD exitCode, DWORD checkPoint) {
  EnterCriticalSection(&ReportLock.Section);
  if (!ReportAllowed(state)) {
    LeaveCriticalSection(&ReportLock.Section);
    return;
  }
  SERVICE_STATUS status = {};
  status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
  status.dwCurrentState = state;
  status.dwControlsAccepted = SERVICE_ACCEPT_STOP | SERVICE_ACCEPT_SHUTDOWN;
  status.dwWin32ExitCode = exitCode;
  status.dwServiceSpecificExitCode = 0;
  status.dwCheckPoint = checkPoint;
  status.dwWaitHint = 3000;
  if (SetServiceStatus(StatusHandle, &status))
    LastReportedState = state;
  LeaveCriticalSection(&ReportLock.Section);
}

void WINAPI ServiceMain(DWORD, LPSTR*) {
  StatusHandle = RegisterServiceCtrlHandlerA(Settings.ServiceName, ServiceCtrlHandler);
  if (StatusHandle) {
    ReportServiceStatus(SERVICE_START_PENDING, 0, 1);
    if (!StartRefused) {
      ReportServiceStatus(SERVICE_RUNNING, 0, 0);
      RunHostedProgram();
      if (Settings.StopMethod == StopByCtrlBreak)
        FreeConsole();
    }
    InstanceMutex.Reset();
  }
  ReportServiceStatus(SERVICE_STOPPED, 0, 0);
}

void WINAPI ServiceCtrlHandler(DWORD control) {
  if (control != SERVICE_CONTROL_STOP && control != SERVICE_CONTROL_SHUTDOWN)
    return;
  if (Hosted.Requested)
    return;
  ReportServiceStatus(SERVICE_STOP_PENDING, 0, 1);
  // Without a process yet, the service thread sends it once there is one;
  // it also reports stopped once the program has ended or the wait is over.
  if (RequestHostedStop(Hosted))
    SendStopRequest(Settings.StopMethod);
}

int LaunchHostedProgram(const char* programPath, const char* options, int stopMethod,
                        PROCESS_INFORMATION* info) {
  STARTUPINFOA startup = {};
  GetStartupInfoA(&startup);
  char commandLine[PathBufferSize];
  char directory[PathBufferSize];
  if (!ComposeCommandLine(commandLine, sizeof commandLine, programPath, options) ||
      !ComposeWorkingDirectory(directory, sizeof directory, programPath))
    return 0;
  DWORD flags = CREATE_DEFAULT_ERROR_MODE;
  if (stopMethod == StopByCtrlBreak) {
    AllocConsole();
    flags |= CREATE_NEW_PROCESS_GROUP;
  }
  return CreateProcessA(nullptr, commandLine, nullptr, nullptr, FALSE, flags, nullptr, directory,
                        &startup, info)
             ? 1
             : 0;
}

void SendStopRequest(int stopMethod) {
  DWORD processId = Hosted.HostedProcessId;
  // Group 0 would be our own console, and no window belongs to process 0.
  if (processId == 0)
    return;
  if (stopMethod == StopByCtrlBreak)
    GenerateConsoleCtrlEvent(CTRL_BREAK_EVENT, processId);
  else
    EnumWindows(CloseHostedWindows, stopMethod);
}

BOOL CALLBACK CloseHostedWindows(HWND window, LPARAM stopMethod) {
  if (GetWindow(window, GW_OWNER))
    return TRUE;
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  if (processId != Hosted.HostedProcessId)
    return TRUE;
  if (stopMethod == StopBySysCommandThenClose) {
    SendBounded(window, WM_SYSCOMMAND, SC_CLOSE);
    SendBounded(window, WM_CLOSE, 0);
  } else if (stopMethod == StopBySysCommand) {
    SendBounded(window, WM_SYSCOMMAND, SC_CLOSE);
  } else {
    SendBounded(window, WM_CLOSE, 0);
  }
  return TRUE;
}

} // namespace kestrun
