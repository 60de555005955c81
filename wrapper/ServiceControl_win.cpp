#include "wrapper/ServiceControl_win.h"

#include "wrapper/Handles_win.h"
#include "wrapper/Paths.h"
#include "wrapper/Settings.h"

namespace kestrun {

const char* const StartFailedText = "サービスを起動できませんでした。";

namespace {

const char* const ServiceCaption = "kestrun";

TServiceHandle OpenManager() {
  return TServiceHandle(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CREATE_SERVICE));
}

// The manager and the wrapper's own service, both closed on return.
struct TOpenedService {
  TOpenedService()
      : Manager(OpenManager()),
        Service(Manager ? OpenServiceA(Manager.Get(), Settings.ServiceName, SERVICE_ALL_ACCESS)
                        : nullptr) {}
  TServiceHandle Manager;
  TServiceHandle Service;
};

} // namespace

int InstallWrapperService() {
  TServiceHandle manager = OpenManager();
  if (!manager)
    return 0;
  // Unquoted, a path with blanks would let C:\Program.exe run in our place.
  char imagePath[PathBufferSize];
  if (!ComposeQuotedPath(imagePath, sizeof imagePath, ModulePath)) {
    SetLastError(ERROR_FILENAME_EXCED_RANGE);
    return 0;
  }
  DWORD type = SERVICE_WIN32_OWN_PROCESS;
  if (Settings.AllowDesktop)
    type |= SERVICE_INTERACTIVE_PROCESS;
  DWORD startType = Settings.AutoStart ? SERVICE_AUTO_START : SERVICE_DEMAND_START;
  TServiceHandle service(CreateServiceA(manager.Get(), Settings.ServiceName, Settings.ServiceName,
                                        SERVICE_ALL_ACCESS, type, startType, SERVICE_ERROR_NORMAL,
                                        imagePath, nullptr, nullptr, nullptr, nullptr, nullptr));
  return service ? 1 : 0;
}

int RemoveWrapperService() {
  TOpenedService opened;
  SC_HANDLE service = opened.Service.Get();
  if (!service)
    return 0;
  SERVICE_STATUS status = {};
  if (QueryServiceStatus(service, &status) && status.dwCurrentState != SERVICE_STOPPED &&
      ControlService(service, SERVICE_CONTROL_STOP, &status))
    Sleep(500);
  return DeleteService(service) ? 1 : 0;
}

int StartWrapperService() {
  TOpenedService opened;
  SC_HANDLE service = opened.Service.Get();
  if (!service)
    return 0;
  // The manager refuses to start a service that has not finished stopping,
  // which may take as long as the hosted program's stop.
  SERVICE_STATUS status = {};
  const DWORD start = GetTickCount();
  while (QueryServiceStatus(service, &status) && status.dwCurrentState == SERVICE_STOP_PENDING &&
         GetTickCount() - start < StoppedWaitMs)
    Sleep(250);
  return StartServiceA(service, 0, nullptr) || GetLastError() == ERROR_SERVICE_ALREADY_RUNNING ? 1
                                                                                               : 0;
}

void RunRegistrationConversation(HWND dialog) {
  if (MessageBoxA(dialog, "サービスに登録しますか？", ServiceCaption, MB_YESNO) != IDYES)
    return;
  if (!InstallWrapperService()) {
    // Our own path too long to be registered quoted is no matter of rights.
    MessageBoxA(dialog,
                GetLastError() == ERROR_FILENAME_EXCED_RANGE
                    ? "サービスに登録できませんでした。\n"
                      "kestrun のフォルダのパスが長すぎます。"
                    : "サービスに登録できませんでした。\n"
                      "サービスの権限があるユーザーでログインして実行してください。",
                ServiceCaption, MB_OK);
    return;
  }
  if (MessageBoxA(dialog, "サービスに登録しました。サービスとして起動しますか？", ServiceCaption,
                  MB_YESNO) == IDYES &&
      !StartWrapperService())
    MessageBoxA(dialog, StartFailedText, ServiceCaption, MB_OK);
}

int RunRemovalConversation(HWND dialog) {
  if (MessageBoxA(dialog, "サービスから削除しますか？", ServiceCaption, MB_YESNO) != IDYES)
    return 0;
  if (!RemoveWrapperService()) {
    MessageBoxA(dialog,
                "サービスから削除できませんでした。\n"
                "サービスの権限があるユーザーでログインして実行してください。",
                ServiceCaption, MB_OK);
    return 0;
  }
  MessageBoxA(dialog, "サービスから削除しました。", ServiceCaption, MB_OK);
  return 1;
}

} // namespace kestrun
