#include <windows.h>

#include <gtest/gtest.h>

#include "tests/e2e/KestrunHarness_win.h"

#include <algorithm>
#include <cstdio>

namespace {

using namespace e2e;

const char* const StopMethods[] = {"WM_CLOSE", "WM_SYSCOMMAND(SC_CLOSE)", "WM_SYSCOMMAND→WM_CLOSE",
                                   "コンソール(CTRL_BREAK)"};
const int FieldIds[] = {1000, 1002, 1005, 1003, 1001, 1010, 1011};

std::string ClassOf(HWND window) {
  char name[64] = "";
  GetClassNameA(window, name, sizeof name);
  return name;
}

void ExpectFieldsEnabled(HWND dialog, bool enabled) {
  for (int id : FieldIds)
    EXPECT_EQ(IsWindowEnabled(GetDlgItem(dialog, id)) != 0, enabled) << "control " << id;
  for (int id : {1, 2, 1004})
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, id))) << "control " << id;
}

TEST(KestrunDialog, OpensInItsOwnFolderWithControlsAndDefaults) {
  TKestrunFolder folder;
  TSettingsProgram program(folder);
  HWND dialog = program.Dialog;
  ASSERT_NE(dialog, nullptr) << "no settings dialog";

  struct TControl {
    int Id;
    const char* Class;
    const char* Text;
  };
  const TControl controls[] = {
      {1000, "Edit", ""},
      {1001, "Button", "参照..."},
      {1002, "Edit", ""},
      {1005, "Edit", ""},
      {1003, "ComboBox", "WM_SYSCOMMAND→WM_CLOSE"},
      {1, "Button", "OK"},
      {2, "Button", "ｷｬﾝｾﾙ"},
      {1004, "Button", "テスト起動(&T)"},
      {1010, "Button", "自動起動(&A)"},
      {1011, "Button", "デスクトップとの対話を許可(&K)"},
  };
  for (const TControl& c : controls) {
    HWND control = GetDlgItem(dialog, c.Id);
    ASSERT_NE(control, nullptr) << "control " << c.Id;
    EXPECT_EQ(ClassOf(control), c.Class) << "control " << c.Id;
    EXPECT_EQ(ControlText(dialog, c.Id), c.Text) << "control " << c.Id;
  }
  std::string labels = StaticTexts(dialog);
  EXPECT_EQ(labels, "プログラム名(&N)起動時オプション(&O)サービス名(&S)終了方法(&E)");

  // Tab order is template order.
  const int tabOrder[] = {1000, 1001, 1002, 1005, 1003, 1, 2, 1004, 1010, 1011, 1000};
  for (int i = 0; i + 1 < 11; ++i)
    EXPECT_EQ(GetNextDlgTabItem(dialog, GetDlgItem(dialog, tabOrder[i]), FALSE),
              GetDlgItem(dialog, tabOrder[i + 1]))
        << "after " << tabOrder[i];

  ASSERT_EQ(SendToControl(dialog, 1003, CB_GETCOUNT), 4);
  for (int i = 0; i < 4; ++i)
    EXPECT_EQ(ComboEntry(dialog, 1003, i), StopMethods[i]);
  EXPECT_EQ(SendToControl(dialog, 1003, CB_GETCURSEL), 2);
  EXPECT_EQ(SendToControl(dialog, 1010, BM_GETCHECK), BST_CHECKED);
  EXPECT_EQ(SendToControl(dialog, 1011, BM_GETCHECK), BST_UNCHECKED);
  ExpectFieldsEnabled(dialog, true);

  PressButton(dialog, 2);
  ASSERT_TRUE(program.Process.WaitForExit(10000)) << "ｷｬﾝｾﾙ did not end the program";
  EXPECT_EQ(program.Process.ExitCode(), 0u);
  EXPECT_EQ(GetFileAttributesA(folder.IniPath().c_str()), INVALID_FILE_ATTRIBUTES)
      << "nothing is saved before OK";
}

TEST(KestrunDialog, OkChecksServiceNameThenProgramThenLength) {
  TKestrunFolder folder;
  TSettingsProgram program(folder);
  HWND dialog = program.Dialog;
  ASSERT_NE(dialog, nullptr);

  PressButton(dialog, 1);
  EXPECT_EQ(AnswerMessageBox(program.Process, "Error", IDOK), "サービス名を設定してください。");

  // The profile functions would drop blanks at the ends of the name.
  for (const char* name : {"kscheck ", " kscheck"}) {
    SetControlText(dialog, 1005, name);
    PressButton(dialog, 1);
    EXPECT_EQ(AnswerMessageBox(program.Process, "Error", IDOK),
              "サービス名の前後に空白は使えません。")
        << "[" << name << "]";
  }

  SetControlText(dialog, 1005, "kscheck");
  for (const char* path : {"", "C:\\a.d\\b", "C:\\tools\\server.com"}) {
    SetControlText(dialog, 1000, path);
    PressButton(dialog, 1);
    EXPECT_EQ(AnswerMessageBox(program.Process, "Error", IDOK), "プログラム名を設定してください。")
        << path;
  }

  // The command line would not fit its buffer.
  SetControlText(dialog, 1000, "C:\\tools\\B.EXE");
  SetControlText(dialog, 1002, std::string(250, 'o'));
  PressButton(dialog, 1);
  EXPECT_EQ(AnswerMessageBox(program.Process, "Error", IDOK),
            "プログラム名と起動時オプションが長すぎます。");

  SetControlText(dialog, 1002, "");
  SetControlText(dialog, 1005, std::string(250, 'n'));
  PressButton(dialog, 1);
  EXPECT_EQ(AnswerMessageBox(program.Process, "Error", IDOK), "サービス名が長すぎます。");

  EXPECT_TRUE(IsWindow(dialog)) << "the dialog stays after an input error";
  EXPECT_EQ(GetFileAttributesA(folder.IniPath().c_str()), INVALID_FILE_ATTRIBUTES);
  PressButton(dialog, 2);
  EXPECT_TRUE(program.Process.WaitForExit(10000));
}

TEST(KestrunDialog, ReopenedWhileRunningStopsShowsRegisteredAndRestarts) {
  TKestrunFolder folder;
  TTestService service;
  // The file says automatic and no desktop; the registration says otherwise.
  ASSERT_TRUE(service.Register(folder, "kshost_windows.exe", folder.LogPath(), 0,
                               SERVICE_WIN32_OWN_PROCESS | SERVICE_INTERACTIVE_PROCESS));
  ASSERT_TRUE(service.Start());
  ASSERT_TRUE(service.WaitForState(SERVICE_RUNNING, 10000));
  ASSERT_TRUE(WaitForLogLine(folder.LogPath(), "ready", 10000));

  {
    TSettingsProgram program(folder);
    HWND dialog = program.Dialog;
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(service.WaitForState(SERVICE_STOPPED, 15000)) << "not stopped while open";
    EXPECT_EQ(ControlText(dialog, 1004), "削除(&D)");
    EXPECT_EQ(ControlText(dialog, 1000), folder.Hosted("kshost_windows.exe"));
    EXPECT_EQ(ControlText(dialog, 1005), service.Name());
    EXPECT_EQ(SendToControl(dialog, 1003, CB_GETCURSEL), 0);
    EXPECT_EQ(SendToControl(dialog, 1010, BM_GETCHECK), BST_UNCHECKED);
    EXPECT_EQ(SendToControl(dialog, 1011, BM_GETCHECK), BST_CHECKED);
    ExpectFieldsEnabled(dialog, false);

    DeleteFileA(folder.LogPath().c_str());
    PressButton(dialog, 2);
    ASSERT_TRUE(program.Process.WaitForExit(15000));
  }
  EXPECT_TRUE(service.WaitForState(SERVICE_RUNNING, 10000)) << "not started again on close";
  // Its windows exist before the service is stopped at the end.
  EXPECT_TRUE(WaitForLogLine(folder.LogPath(), "ready", 10000));
  EXPECT_EQ(folder.IniValue("auto"), "1") << "the file is not written";
}

TEST(KestrunDialog, RemovalConversationDeletesTheService) {
  TKestrunFolder folder;
  TTestService service;
  ASSERT_TRUE(service.Register(folder, "kshost_windows.exe", folder.LogPath(), 2));

  TSettingsProgram program(folder);
  HWND dialog = program.Dialog;
  ASSERT_NE(dialog, nullptr);
  ASSERT_EQ(ControlText(dialog, 1004), "削除(&D)");

  PressButton(dialog, 1004);
  EXPECT_EQ(AnswerMessageBox(program.Process, "kestrun", IDNO), "サービスから削除しますか？");
  EXPECT_TRUE(service.Exists()) << "No keeps the service";

  PressButton(dialog, 1004);
  EXPECT_EQ(AnswerMessageBox(program.Process, "kestrun", IDYES), "サービスから削除しますか？");
  EXPECT_EQ(AnswerMessageBox(program.Process, "kestrun", IDOK), "サービスから削除しました。");
  EXPECT_FALSE(service.Exists());
  EXPECT_EQ(ControlText(dialog, 1004), "テスト起動(&T)");
  ExpectFieldsEnabled(dialog, true);

  PressButton(dialog, 2);
  EXPECT_TRUE(program.Process.WaitForExit(10000));
}

TEST(KestrunDialog, TrialRunStartsShowsItsMessageAndStops) {
  TKestrunFolder folder;
  folder.WriteIni(folder.Hosted("kshost_windows.exe"), folder.LogPath(), "kstrial", 2, 1, 0);
  TSettingsProgram program(folder);
  HWND dialog = program.Dialog;
  ASSERT_NE(dialog, nullptr);

  PressButton(dialog, 1004);
  ASSERT_TRUE(WaitForLogLine(folder.LogPath(), "ready", 10000)) << "program not started";
  EXPECT_EQ(LogValue(folder.LogPath(), "cwd"), folder.HostDir());
  EXPECT_EQ(AnswerMessageBox(program.Process, "kestrun", IDOK),
            "プログラムを起動しました。\nＯＫをクリックするとプログラムを終了します。\n"
            "終了しない場合、手動でプログラムを終了させてください。");
  ASSERT_TRUE(WaitForLogLine(folder.LogPath(), "exit", 10000)) << "program not stopped";
  std::vector<std::string> requests;
  for (const std::string& line : ReadLog(folder.LogPath()))
    if (line.find(" WM_") != std::string::npos)
      requests.push_back(line);
  EXPECT_EQ(requests.size(), 4u);
  for (const std::string& line : requests)
    EXPECT_EQ(line.rfind("owned", 0), std::string::npos) << line;

  // The dialog answers again after the trial.
  EXPECT_EQ(ControlText(dialog, 1005), "kstrial");
  PressButton(dialog, 2);
  EXPECT_TRUE(program.Process.WaitForExit(10000));
  EXPECT_EQ(folder.IniValue("end"), "2") << "a trial saves nothing";
}

// The raw line of a key in the ini file.
std::string IniLine(const TKestrunFolder& folder, const std::string& key) {
  const std::string text = ReadFileText(folder.IniPath());
  const std::size_t at = text.find("\r\n" + key + "=");
  if (at == std::string::npos)
    return "<missing>";
  const std::size_t begin = at + 2;
  return text.substr(begin, text.find("\r\n", begin) - begin);
}

// Options in quotes, and a program path with blanks at its end, come back
// from kestrun.ini as typed: the dialog shows them, and the service starts
// the program with the same command line as the trial run.
TEST(KestrunDialog, TextsComeBackFromTheFileAsTyped) {
  TKestrunFolder folder;
  TTestService service;
  const std::string options = "\"" + folder.LogPath() + "\" -x \"two words\"";
  {
    TSettingsProgram program(folder);
    HWND dialog = program.Dialog;
    ASSERT_NE(dialog, nullptr);
    SetControlText(dialog, 1000, folder.Hosted("kshost_windows.exe"));
    SetControlText(dialog, 1002, options);
    SetControlText(dialog, 1005, service.Name());
    SendToControl(dialog, 1003, CB_SETCURSEL, 0);
    PressButton(dialog, 1004);
    ASSERT_TRUE(WaitForLogLine(folder.LogPath(), "ready", 10000));
    AnswerMessageBox(program.Process, "kestrun", IDOK);
    ASSERT_TRUE(WaitForLogLine(folder.LogPath(), "exit", 10000));
    PressButton(dialog, 1);
    EXPECT_EQ(AnswerMessageBox(program.Process, "kestrun", IDYES), "サービスに登録しますか？");
    AnswerMessageBox(program.Process, "kestrun", IDNO);
    EXPECT_TRUE(program.Process.WaitForExit(15000));
  }
  EXPECT_EQ(IniLine(folder, "option"), "option=\"" + options + "\"") << "one more pair of quotes";
  EXPECT_EQ(IniLine(folder, "exe"), "exe=" + folder.Hosted("kshost_windows.exe"))
      << "a plain value is written as it is";
  const std::vector<std::string> trial = LogValues(folder.LogPath(), "cmdline");
  ASSERT_EQ(trial.size(), 1u);

  ASSERT_TRUE(service.Start());
  // Ready: the stop below finds the program's windows.
  ASSERT_TRUE(WaitForLogLine(folder.LogPath(), "ready", 10000, 2));
  const std::vector<std::string> both = LogValues(folder.LogPath(), "cmdline");
  ASSERT_EQ(both.size(), 2u);
  EXPECT_EQ(both[1], trial[0]) << "the service started the program otherwise than the trial";
  ASSERT_TRUE(service.Stop());
  ASSERT_TRUE(service.WaitForState(SERVICE_STOPPED, 30000));

  TSettingsProgram reopened(folder);
  ASSERT_NE(reopened.Dialog, nullptr);
  EXPECT_EQ(ControlText(reopened.Dialog, 1002), options);
  PressButton(reopened.Dialog, 2);
  EXPECT_TRUE(reopened.Process.WaitForExit(40000));
}

// The dialog opened while the service runs stops it; a program that
// ignores the request keeps the service stopping for 20 s. Closed at once,
// the dialog still gets the service running again.
TEST(KestrunDialog, ServiceRunsAgainAfterAStopThatOutlastsTheDialog) {
  TKestrunFolder folder;
  TTestService service;
  ASSERT_TRUE(service.Register(folder, "kshost_ignore.exe", folder.LogPath(), 2));
  ASSERT_TRUE(service.Start());
  ASSERT_TRUE(service.WaitForState(SERVICE_RUNNING, 10000));
  ASSERT_TRUE(WaitForLogLine(folder.LogPath(), "ready", 10000));

  TSettingsProgram program(folder);
  ASSERT_NE(program.Dialog, nullptr);
  EXPECT_EQ(service.State(), static_cast<DWORD>(SERVICE_STOP_PENDING));
  const DWORD closed = GetTickCount();
  PressButton(program.Dialog, 2);
  EXPECT_TRUE(service.WaitForState(SERVICE_RUNNING, 40000)) << "not started again";
  std::printf("dialog closed to service running again: %lu ms\n",
              static_cast<unsigned long>(GetTickCount() - closed));
  EXPECT_TRUE(program.Process.WaitForExit(10000));
  EXPECT_EQ(WaitForWindow(program.Process.Id(), "#32770", 0), nullptr) << "a message was shown";
  for (int i = 0; i < 100 && LogValues(folder.LogPath(), "pid").size() < 2; ++i)
    Sleep(100);
  EXPECT_EQ(LogValues(folder.LogPath(), "pid").size(), 2u) << "the program was not started again";
  service.Delete();
  for (const std::string& pid : LogValues(folder.LogPath(), "pid"))
    EndProcess(std::stoul(pid));
}

// A service that cannot be started again when the dialog closes is said so.
TEST(KestrunDialog, FailedStartOnCloseIsReported) {
  TKestrunFolder folder;
  TTestService service;
  ASSERT_TRUE(service.Register(folder, "kshost_windows.exe", folder.LogPath(), 0));
  ASSERT_TRUE(service.Start());
  ASSERT_TRUE(service.WaitForState(SERVICE_RUNNING, 10000));
  // A stop request before the program's windows exist reaches none of them,
  // and the service then ends the program only after its 20 s wait.
  ASSERT_TRUE(WaitForLogLine(folder.LogPath(), "ready", 10000));
  TSettingsProgram program(folder);
  ASSERT_NE(program.Dialog, nullptr);
  ASSERT_TRUE(service.WaitForState(SERVICE_STOPPED, 15000));
  service.Delete();
  PressButton(program.Dialog, 2);
  EXPECT_EQ(AnswerMessageBox(program.Process, "kestrun", IDOK), "サービスを起動できませんでした。");
  EXPECT_TRUE(program.Process.WaitForExit(10000));
}

// 参照... opens the file-open dialog; the chosen program fills the program
// field and proposes its name; a file that is no program is refused.
TEST(KestrunDialog, BrowseTakesTheChosenProgram) {
  TKestrunFolder folder;
  const std::string text = folder.HostDir() + "\\notes.txt";
  WriteBytes(text, "not a program");
  TSettingsProgram program(folder);
  HWND dialog = program.Dialog;
  ASSERT_NE(dialog, nullptr);
  SetControlText(dialog, 1005, "typed");

  const struct {
    std::string Path;
    const char* Refusal;
  } choices[] = {{text, "プログラムファイルのみ登録可能です。"},
                 {folder.Hosted("kshost_console.exe"), nullptr}};
  for (const auto& choice : choices) {
    PressButton(dialog, 1001);
    HWND open = WaitForShownWindow(program.Process.Id(), "#32770", "実行ファイルの選択", 10000);
    ASSERT_NE(open, nullptr) << "no file-open dialog";
    HWND name = GetDlgItem(open, 0x47C);
    if (!name)
      name = GetDlgItem(open, 0x480);
    ASSERT_NE(name, nullptr) << "no file-name field";
    SendMessageA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(choice.Path.c_str()));
    PressButton(open, IDOK);
    WaitGone(open, 5000);
    if (choice.Refusal) {
      EXPECT_EQ(AnswerMessageBox(program.Process, "Error", IDOK), choice.Refusal);
      EXPECT_EQ(ControlText(dialog, 1000), "") << "fields unchanged";
      EXPECT_EQ(ControlText(dialog, 1005), "typed");
    } else {
      EXPECT_EQ(ControlText(dialog, 1000), choice.Path);
      EXPECT_EQ(ControlText(dialog, 1005), "kshost_console");
    }
  }
  PressButton(dialog, 2);
  EXPECT_TRUE(program.Process.WaitForExit(10000));
}

// No to the registration keeps the saved settings and registers nothing;
// Escape closes the dialog as ｷｬﾝｾﾙ does.
TEST(KestrunDialog, NoToRegistrationAndEscape) {
  TKestrunFolder folder;
  TTestService service;
  TSettingsProgram program(folder);
  HWND dialog = program.Dialog;
  ASSERT_NE(dialog, nullptr);
  SetControlText(dialog, 1000, folder.Hosted("kshost_windows.exe"));
  SetControlText(dialog, 1005, service.Name());
  PressButton(dialog, 1);
  EXPECT_EQ(AnswerMessageBox(program.Process, "kestrun", IDNO), "サービスに登録しますか？");
  EXPECT_TRUE(program.Process.WaitForExit(10000));
  EXPECT_EQ(folder.IniValue("name"), service.Name());
  EXPECT_FALSE(service.Exists());

  TSettingsProgram second(folder);
  ASSERT_NE(second.Dialog, nullptr);
  PostMessageA(GetDlgItem(second.Dialog, 1000), WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_TRUE(second.Process.WaitForExit(10000)) << "Escape did not close the dialog";
}

// The manager refuses a name that is taken, and a removal of a service that
// is gone: both conversations say so and the dialog stays.
TEST(KestrunDialog, RefusedRegistrationAndRemovalAreReported) {
  TKestrunFolder folder;
  TTestService taken;
  TSettingsProgram program(folder);
  HWND dialog = program.Dialog;
  ASSERT_NE(dialog, nullptr);
  ASSERT_TRUE(taken.Create("\"" + folder.Kestrun() + "\"", SERVICE_WIN32_OWN_PROCESS,
                           SERVICE_DEMAND_START));
  SetControlText(dialog, 1000, folder.Hosted("kshost_windows.exe"));
  SetControlText(dialog, 1005, taken.Name());
  PressButton(dialog, 1);
  AnswerMessageBox(program.Process, "kestrun", IDYES);
  EXPECT_EQ(AnswerMessageBox(program.Process, "kestrun", IDOK),
            "サービスに登録できませんでした。\n"
            "サービスの権限があるユーザーでログインして実行してください。");
  EXPECT_TRUE(program.Process.WaitForExit(10000));

  TSettingsProgram registered(folder);
  ASSERT_NE(registered.Dialog, nullptr);
  ASSERT_EQ(ControlText(registered.Dialog, 1004), "削除(&D)");
  taken.Delete();
  PressButton(registered.Dialog, 1004);
  AnswerMessageBox(registered.Process, "kestrun", IDYES);
  EXPECT_EQ(AnswerMessageBox(registered.Process, "kestrun", IDOK),
            "サービスから削除できませんでした。\n"
            "サービスの権限があるユーザーでログインして実行してください。");
  EXPECT_EQ(ControlText(registered.Dialog, 1004), "削除(&D)") << "still registered";
  PressButton(registered.Dialog, 2);
  EXPECT_TRUE(registered.Process.WaitForExit(10000));
}

// A copy of kestrun whose own path has a blank and 258 bytes cannot be
// registered quoted within 260 bytes: the failure says so, not rights.
TEST(KestrunDialog, OwnPathTooLongToRegisterIsSaidSo) {
  TTempFolder temp;
  std::string folder = temp.Path() + "\\deep dir";
  CreateDirectoryA(folder.c_str(), nullptr);
  while (folder.size() + 1 + 12 < 258) {
    const std::size_t room = 258 - 12 - 1 - folder.size();
    folder += "\\" + std::string(std::min<std::size_t>(room, 60), 'd');
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr)) << folder;
  }
  const std::string kestrun = CopyProgram("kestrun.exe", folder);
  ASSERT_EQ(kestrun.size(), 258u);
  TProcess process("\"" + kestrun + "\"", folder);
  HWND dialog = WaitForShownWindow(process.Id(), "#32770", "kestrun 起動プログラム設定", 20000);
  ASSERT_NE(dialog, nullptr);
  SetControlText(dialog, 1000, "C:\\windows\\notepad.exe");
  SetControlText(dialog, 1005, "kslongpath");
  PressButton(dialog, 1);
  AnswerMessageBox(process, "kestrun", IDYES);
  EXPECT_EQ(AnswerMessageBox(process, "kestrun", IDOK),
            "サービスに登録できませんでした。\nkestrun のフォルダのパスが長すぎます。");
  EXPECT_TRUE(process.WaitForExit(10000));
}

} // namespace
