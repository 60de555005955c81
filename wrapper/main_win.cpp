// Entry point: one image, two modes. Started from its own folder it is the
// settings program; started by the service control manager, the service.
#include <windows.h>

#include <shellapi.h>

#include "wrapper/Handles_win.h"
#include "wrapper/Paths.h"
#include "wrapper/Profile_win.h"
#include "wrapper/ServiceRuntime_win.h"
#include "wrapper/Settings.h"
#include "wrapper/SettingsDialog_win.h"
#include "wrapper/resources/DialogIds.h"

namespace kestrun {

namespace {

// 1 when the module path and the ini path fit their buffers.
int LocateFiles() {
  DWORD length = GetModuleFileNameA(nullptr, ModulePath, sizeof ModulePath);
  // A path that filled the buffer was cut short.
  int fits = length > 0 && length < sizeof ModulePath;
  ModulePath[sizeof ModulePath - 1] = '\0';
  lstrcpyA(ModuleDirectory, ModulePath);
  StripLastPathComponent(ModuleDirectory);
  return ComposeIniPath(IniPath, sizeof IniPath, ModuleDirectory) && fits;
}

// Reads the registered service back into the settings, and stops it while
// the dialog is open.
void InspectRegisteredService(SC_HANDLE service) {
  DWORD needed = 0;
  QueryServiceConfigA(service, nullptr, 0, &needed);
  if (needed) {
    auto* config = static_cast<QUERY_SERVICE_CONFIGA*>(LocalAlloc(LPTR, needed));
    if (config) {
      if (QueryServiceConfigA(service, config, needed, &needed)) {
        if (config->dwStartType == SERVICE_AUTO_START)
          Settings.AutoStart = 1;
        else if (config->dwStartType == SERVICE_DEMAND_START)
          Settings.AutoStart = 0;
        Settings.AllowDesktop = (config->dwServiceType & SERVICE_INTERACTIVE_PROCESS) ? 1 : 0;
      }
      LocalFree(config);
    }
  }
  SERVICE_STATUS status = {};
  if (!QueryServiceStatus(service, &status)) {
    MessageBoxA(GetDesktopWindow(),
                "サービスを停止できません。\n"
                "サービスの権限のあるユーザーでログインしてください。",
                "kestrun", MB_OK);
    return;
  }
  if (status.dwCurrentState != SERVICE_STOPPED)
    WasRunning = 1;
  ControlService(service, SERVICE_CONTROL_STOP, &status);
  Sleep(500);
}

int DetectMode() {
  IsNtPlatform = 0;
  IsRegistered = 0;
  WasRunning = 0;
  OSVERSIONINFOA version = {};
  version.dwOSVersionInfoSize = sizeof version;
  if (!GetVersionExA(&version) || version.dwPlatformId != VER_PLATFORM_WIN32_NT)
    return 0;
  IsNtPlatform = 1;

  char current[PathBufferSize];
  DWORD length = GetCurrentDirectoryA(sizeof current, current);
  if (length == 0 || length >= sizeof current || lstrcmpiA(current, ModuleDirectory) != 0) {
    SetCurrentDirectoryA(ModuleDirectory);
    return 1;
  }

  TServiceHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CREATE_SERVICE));
  if (!manager)
    return 0;
  TServiceHandle service(OpenServiceA(manager.Get(), Settings.ServiceName, SERVICE_ALL_ACCESS));
  if (!service)
    return 0;
  IsRegistered = 1;
  InspectRegisteredService(service.Get());
  return 0;
}

int AcquireInstanceGuard() {
  char name[PathBufferSize];
  if (!ComposeMutexName(name, sizeof name, Settings.ServiceName)) {
    StartRefused = 1;
    return 0;
  }
  HANDLE existing = OpenMutexA(MUTEX_ALL_ACCESS, FALSE, name);
  if (existing) {
    InstanceMutex.Reset(existing);
    return 1;
  }
  // A null DACL, so that whatever account runs the next copy may open it.
  SECURITY_DESCRIPTOR descriptor;
  SECURITY_ATTRIBUTES attributes = {};
  attributes.nLength = sizeof attributes;
  attributes.bInheritHandle = TRUE;
  if (InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION) &&
      SetSecurityDescriptorDacl(&descriptor, TRUE, nullptr, FALSE))
    attributes.lpSecurityDescriptor = &descriptor;
  InstanceMutex.Reset(CreateMutexA(&attributes, FALSE, name));
  return 0;
}

void RunServiceDispatcher() {
  SERVICE_TABLE_ENTRYA table[] = {{Settings.ServiceName, ServiceMain}, {nullptr, nullptr}};
  StartServiceCtrlDispatcherA(table);
}

void RunSettingsDialog(HINSTANCE instance) {
  AppInstance = instance;
  HWND dialog = CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_SETTINGS), GetDesktopWindow(),
                                   SettingsDialogProc, 0);
  if (!dialog)
    return;
  ShowWindow(dialog, SW_SHOW);
  DragAcceptFiles(dialog, TRUE);
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    if (IsDialogMessageA(dialog, &message))
      continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

} // namespace

} // namespace kestrun

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  using namespace kestrun;
  int filesFit = LocateFiles();
  if (filesFit)
    LoadSettings(SystemProfile());
  RunsAsService = DetectMode();
  if (!IsNtPlatform) {
    MessageBoxA(GetDesktopWindow(), "Windows NT/2000/XP で起動してください。", "Error", MB_OK);
    return 0;
  }
  if (!RunsAsService) {
    if (!filesFit) {
      MessageBoxA(GetDesktopWindow(), "フォルダのパスが長すぎます。", "Error", MB_OK);
      return 0;
    }
    RunSettingsDialog(instance);
    return 0;
  }
  if (!filesFit)
    StartRefused = 1;
  else if (AcquireInstanceGuard())
    return 0;
  RunServiceDispatcher();
  return 0;
}
