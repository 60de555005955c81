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
// It is set up by ServiceMain and never deleted: once stopped is reported
// the process may end at any moment, static destructors first.
CRITICAL_SECTION ReportLock;
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

// The codes of the stopped report that follows the hosted program's run.
TStopCodes RunHostedProgram() {
  PROCESS_INFORMATION info = {};
  if (!LaunchHostedProgram(Settings.ProgramPath, Settings.Options, Settings.StopMethod, &info))
    return StoppedCodes(Hosted.Requested, GetLastError(), 0);
  TKernelHandle process(info.hProcess);
  TKernelHandle thread(info.hThread);
  int stopNow = HostedProcessStarted(Hosted, info.dwProcessId);
  ReportServiceStatus(SERVICE_RUNNING, 0, 0);
  if (stopNow)
    SendStopRequest(Settings.StopMethod);
  WaitForHostedEnd(process.Get());
  DWORD exitCode = 0;
  GetExitCodeProcess(process.Get(), &exitCode);
  return StoppedCodes(Hosted.Requested, 0, exitCode);
}

SERVICE_STATUS StatusRecord(DWORD state, TStopCodes codes, DWORD checkPoint) {
  SERVICE_STATUS status = {};
  status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
  status.dwCurrentState = state;
  status.dwControlsAccepted = SERVICE_ACCEPT_STOP | SERVICE_ACCEPT_SHUTDOWN;
  status.dwWin32ExitCode = codes.Win32ExitCode;
  status.dwServiceSpecificExitCode = codes.ServiceSpecificExitCode;
  status.dwCheckPoint = checkPoint;
  status.dwWaitHint = 3000;
  return status;
}

// The last thing the service thread does: no report may follow, so the
// state is settled under the lock and the report made outside it, and
// nothing of the process is touched after it.
void ReportStopped(TStopCodes codes) {
  EnterCriticalSection(&ReportLock);
  const int allowed = ReportAllowed(SERVICE_STOPPED);
  LastReportedState = SERVICE_STOPPED;
  const SERVICE_STATUS_HANDLE handle = StatusHandle;
  LeaveCriticalSection(&ReportLock);
  SERVICE_STATUS status = StatusRecord(SERVICE_STOPPED, codes, 0);
  if (allowed && handle)
    SetServiceStatus(handle, &status);
}

} // namespace

void ReportServiceStatus(DWORD state, DWORD exitCode, DWORD checkPoint) {
  EnterCriticalSection(&ReportLock);
  if (ReportAllowed(state)) {
    SERVICE_STATUS status = StatusRecord(state, {exitCode, 0}, checkPoint);
    if (SetServiceStatus(StatusHandle, &status))
      LastReportedState = state;
  }
  LeaveCriticalSection(&ReportLock);
}

void WINAPI ServiceMain(DWORD, LPSTR*) {
  InitializeCriticalSection(&ReportLock);
  StatusHandle = RegisterServiceCtrlHandlerA(Settings.ServiceName, ServiceCtrlHandler);
  if (!StatusHandle)
    return;
  ReportServiceStatus(SERVICE_START_PENDING, 0, 1);
  // A path or name that did not fit its buffer: nothing can be started.
  TStopCodes codes = {ERROR_FILENAME_EXCED_RANGE, 0};
  if (!StartRefused) {
    ReportServiceStatus(SERVICE_RUNNING, 0, 0);
    codes = RunHostedProgram();
    if (Settings.StopMethod == StopByCtrlBreak)
      FreeConsole();
  }
  InstanceMutex.Reset();
  ReportStopped(codes);
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
      !ComposeWorkingDirectory(directory, sizeof directory, programPath)) {
    SetLastError(ERROR_FILENAME_EXCED_RANGE);
    return 0;
  }
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
