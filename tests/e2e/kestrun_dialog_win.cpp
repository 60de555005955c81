#include <windows.h>

#include <gtest/gtest.h>

#include "tests/e2e/KestrunHarness_win.h"

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

} // namespace
