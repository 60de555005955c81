#include "wrapper/SettingsDialog_win.h"

#include <commdlg.h>
#include <shellapi.h>

#include "wrapper/DialogFiles.h"
#include "wrapper/Handles_win.h"
#include "wrapper/HostedStop.h"
#include "wrapper/Paths.h"
#include "wrapper/Profile_win.h"
#include "wrapper/ServiceControl_win.h"
#include "wrapper/ServiceRuntime_win.h"
#include "wrapper/Settings.h"
#include "wrapper/resources/DialogIds.h"

namespace kestrun {

HINSTANCE AppInstance;

namespace {

const char* const InputCaption = "Error";
const char* const TestLabel = "テスト起動(&T)";
const char* const RemoveLabel = "削除(&D)";
const char* const CommandLineTooLong = "プログラム名と起動時オプションが長すぎます。";

// A program that does not become idle holds the trial run no longer than this.
constexpr DWORD IdleWait = 10000;
constexpr DWORD TrialEndWait = 30000;

const char* const StopMethodEntries[] = {
    "WM_CLOSE",
    "WM_SYSCOMMAND(SC_CLOSE)",
    "WM_SYSCOMMAND→WM_CLOSE",
    "コンソール(CTRL_BREAK)",
};

const int FieldIds[] = {IDC_PROGRAM, IDC_OPTIONS,    IDC_SERVICE_NAME, IDC_STOP_METHOD,
                        IDC_BROWSE,  IDC_AUTO_START, IDC_ALLOW_DESKTOP};

void ShowInputError(HWND dialog, const char* text) {
  MessageBoxA(dialog, text, InputCaption, MB_OK);
}

void EnableFields(HWND dialog, BOOL enable) {
  for (int id : FieldIds)
    EnableWindow(GetDlgItem(dialog, id), enable);
}

int CommandLineFits(const char* programPath, const char* options) {
  char commandLine[PathBufferSize];
  return ComposeCommandLine(commandLine, sizeof commandLine, programPath, options);
}

// The dialog's fields for the file handling.
class TDialogWindow : public TDialogFields {
public:
  explicit TDialogWindow(HWND dialog) : dialog_(dialog) {}
  void SetProgram(const char* path) override { SetDlgItemTextA(dialog_, IDC_PROGRAM, path); }
  void SetServiceName(const char* name) override {
    SetDlgItemTextA(dialog_, IDC_SERVICE_NAME, name);
  }
  void ShowInputError(const char* text) override { kestrun::ShowInputError(dialog_, text); }
  void BringToFront() override { SetForegroundWindow(dialog_); }

private:
  HWND dialog_;
};

class TShellDrop : public TDroppedFiles {
public:
  explicit TShellDrop(HDROP drop) : drop_(drop) {}
  void FileAt(unsigned index, char* out, std::size_t size) override {
    if (!DragQueryFileA(drop_, index, out, static_cast<UINT>(size)) && size)
      out[0] = '\0';
  }
  void Finish() override { DragFinish(drop_); }

private:
  HDROP drop_;
};

void OnInitDialog(HWND dialog) {
  HICON icon = LoadIconA(AppInstance, MAKEINTRESOURCEA(IDI_KESTRUN));
  if (icon) {
    SendMessageA(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    SendMessageA(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
  }
  SetDlgItemTextA(dialog, IDC_PROGRAM, Settings.ProgramPath);
  SetDlgItemTextA(dialog, IDC_OPTIONS, Settings.Options);
  SetDlgItemTextA(dialog, IDC_SERVICE_NAME, Settings.ServiceName);
  for (const char* entry : StopMethodEntries)
    SendDlgItemMessageA(dialog, IDC_STOP_METHOD, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry));
  SendDlgItemMessageA(dialog, IDC_STOP_METHOD, CB_SETCURSEL, Settings.StopMethod, 0);
  if (IsRegistered)
    SetDlgItemTextA(dialog, IDC_TEST_OR_REMOVE, RemoveLabel);
  CheckDlgButton(dialog, IDC_AUTO_START, Settings.AutoStart ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(dialog, IDC_ALLOW_DESKTOP, Settings.AllowDesktop ? BST_CHECKED : BST_UNCHECKED);
  EnableFields(dialog, !IsRegistered);
}

void OnOk(HWND dialog) {
  if (IsRegistered) {
    DestroyWindow(dialog);
    return;
  }
  GetDlgItemTextA(dialog, IDC_SERVICE_NAME, Settings.ServiceName, PathBufferSize);
  if (!Settings.ServiceName[0]) {
    ShowInputError(dialog, "サービス名を設定してください。");
    return;
  }
  // The profile functions would drop them, and the name in the file would
  // no longer be the one registered.
  if (HasBlankAtEnds(Settings.ServiceName)) {
    ShowInputError(dialog, "サービス名の前後に空白は使えません。");
    return;
  }
  char mutexName[PathBufferSize];
  if (!ComposeMutexName(mutexName, sizeof mutexName, Settings.ServiceName)) {
    ShowInputError(dialog, "サービス名が長すぎます。");
    return;
  }
  GetDlgItemTextA(dialog, IDC_PROGRAM, Settings.ProgramPath, PathBufferSize);
  if (!IsExePath(Settings.ProgramPath)) {
    ShowInputError(dialog, "プログラム名を設定してください。");
    return;
  }
  GetDlgItemTextA(dialog, IDC_OPTIONS, Settings.Options, PathBufferSize);
  if (!CommandLineFits(Settings.ProgramPath, Settings.Options)) {
    ShowInputError(dialog, CommandLineTooLong);
    return;
  }
  Settings.StopMethod =
      static_cast<int>(SendDlgItemMessageA(dialog, IDC_STOP_METHOD, CB_GETCURSEL, 0, 0));
  Settings.AutoStart = IsDlgButtonChecked(dialog, IDC_AUTO_START) == BST_CHECKED;
  Settings.AllowDesktop = IsDlgButtonChecked(dialog, IDC_ALLOW_DESKTOP) == BST_CHECKED;
  SaveSettings(SystemProfile());
  RunRegistrationConversation(dialog);
  DestroyWindow(dialog);
}

void OnBrowse(HWND dialog) {
  char path[PathBufferSize] = "";
  OPENFILENAMEA request = {};
  request.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
  request.hwndOwner = dialog;
  request.lpstrFilter = "実行ファイル(*.exe)\0*.exe\0";
  request.lpstrFile = path;
  request.nMaxFile = sizeof path;
  request.lpstrTitle = "実行ファイルの選択";
  request.Flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  TDialogWindow fields(dialog);
  if (GetOpenFileNameA(&request))
    TakeProgramFile(fields, path);
}

void OnTestOrRemove(HWND dialog) {
  if (IsRegistered) {
    if (!RunRemovalConversation(dialog))
      return;
    IsRegistered = 0;
    EnableFields(dialog, TRUE);
    SetDlgItemTextA(dialog, IDC_TEST_OR_REMOVE, TestLabel);
    return;
  }
  char programPath[PathBufferSize];
  char options[PathBufferSize];
  GetDlgItemTextA(dialog, IDC_PROGRAM, programPath, sizeof programPath);
  GetDlgItemTextA(dialog, IDC_OPTIONS, options, sizeof options);
  int stopMethod =
      static_cast<int>(SendDlgItemMessageA(dialog, IDC_STOP_METHOD, CB_GETCURSEL, 0, 0));
  TestStart(dialog, programPath, options, stopMethod);
}

void OnDropFiles(HWND dialog, HDROP drop) {
  TDialogWindow fields(dialog);
  TShellDrop files(drop);
  DropFiles(fields, files, IsRegistered);
}

void OnDestroy() {
  if (WasRunning && !StartWrapperService())
    MessageBoxA(GetDesktopWindow(), StartFailedText, "kestrun", MB_OK);
  PostQuitMessage(0);
}

} // namespace

INT_PTR CALLBACK SettingsDialogProc(HWND dialog, UINT message, WPARAM first, LPARAM) {
  switch (message) {
  case WM_INITDIALOG:
    OnInitDialog(dialog);
    break;
  case WM_COMMAND:
    switch (LOWORD(first)) {
    case IDOK:
      OnOk(dialog);
      break;
    case IDCANCEL:
      DestroyWindow(dialog);
      break;
    case IDC_BROWSE:
      OnBrowse(dialog);
      break;
    case IDC_TEST_OR_REMOVE:
      OnTestOrRemove(dialog);
      break;
    }
    break;
  case WM_DROPFILES:
    OnDropFiles(dialog, reinterpret_cast<HDROP>(first));
    break;
  case WM_DESTROY:
    OnDestroy();
    break;
  }
  return 0;
}

void TestStart(HWND dialog, const char* programPath, const char* options, int stopMethod) {
  if (!CommandLineFits(programPath, options)) {
    ShowInputError(dialog, CommandLineTooLong);
    return;
  }
  PROCESS_INFORMATION info = {};
  if (LaunchHostedProgram(programPath, options, stopMethod, &info)) {
    TKernelHandle process(info.hProcess);
    TKernelHandle thread(info.hThread);
    WaitForInputIdle(process.Get(), IdleWait);
    SetForegroundWindow(dialog);
    MessageBoxA(dialog,
                "プログラムを起動しました。\n"
                "ＯＫをクリックするとプログラムを終了します。\n"
                "終了しない場合、手動でプログラムを終了させてください。",
                "kestrun", MB_OK);
    Hosted.HostedProcessId = info.dwProcessId;
    SendStopRequest(stopMethod);
    DWORD start = GetTickCount();
    while (WaitForSingleObject(process.Get(), 0) == WAIT_TIMEOUT &&
           GetTickCount() - start < TrialEndWait)
      Sleep(100);
  }
  if (stopMethod == StopByCtrlBreak)
    FreeConsole();
}

} // namespace kestrun
