#include <windows.h>

#include <gtest/gtest.h>

#include "tests/e2e/KestrunHarness_win.h"

namespace {

using namespace e2e;

// The close requests of the log, "<window> <message>".
std::vector<std::string> Requests(const std::string& log) {
  std::vector<std::string> requests;
  for (const std::string& line : ReadLog(log))
    if (line.find(" WM_") != std::string::npos)
      requests.push_back(line);
  return requests;
}

// Ends every hosted program of the log that outlived its service; they are ours.
void EndHostedProgram(const std::string& log) {
  for (const std::string& pid : LogValues(log, "pid"))
    EndProcess(std::stoul(pid));
}

bool ProcessRuns(const std::string& log) {
  std::string pid = LogValue(log, "pid");
  if (pid[0] == '<')
    return false;
  THandle process(OpenProcess(SYNCHRONIZE, FALSE, std::stoul(pid)));
  return process && WaitForSingleObject(process.Get(), 0) == WAIT_TIMEOUT;
}

// Registration through the dialog: fields, OK, both questions.
void RegisterThroughDialog(const TKestrunFolder& folder, const TTestService& service,
                           const std::string& hosted, int stopMethod, bool autoStart,
                           bool allowDesktop, int startAnswer) {
  TSettingsProgram program(folder);
  HWND dialog = program.Dialog;
  ASSERT_NE(dialog, nullptr);
  SetControlText(dialog, 1000, folder.Hosted(hosted));
  SetControlText(dialog, 1002, folder.LogPath());
  SetControlText(dialog, 1005, service.Name());
  SendToControl(dialog, 1003, CB_SETCURSEL, stopMethod);
  SendToControl(dialog, 1010, BM_SETCHECK, autoStart ? BST_CHECKED : BST_UNCHECKED);
  SendToControl(dialog, 1011, BM_SETCHECK, allowDesktop ? BST_CHECKED : BST_UNCHECKED);
  PressButton(dialog, 1);

  HWND question = WaitForMessageBox(program.Process.Id(), "kestrun", 10000);
  ASSERT_NE(question, nullptr);
  EXPECT_EQ(StaticTexts(question), "サービスに登録しますか？");
  EXPECT_EQ(folder.IniValue("exe"), folder.Hosted(hosted)) << "saved before the question";
  EXPECT_EQ(folder.IniValue("option"), folder.LogPath());
  EXPECT_EQ(folder.IniValue("name"), service.Name());
  EXPECT_EQ(folder.IniValue("end"), std::to_string(stopMethod));
  EXPECT_EQ(folder.IniValue("auto"), autoStart ? "1" : "0");
  EXPECT_EQ(folder.IniValue("desktop"), allowDesktop ? "1" : "0");
  PressButton(question, IDYES);
  WaitGone(question, 5000);

  EXPECT_EQ(AnswerMessageBox(program.Process, "kestrun", startAnswer),
            "サービスに登録しました。サービスとして起動しますか？");
  EXPECT_TRUE(program.Process.WaitForExit(15000)) << "the dialog stays after registration";

  TServiceConfig config;
  ASSERT_TRUE(service.Config(&config));
  EXPECT_EQ(config.Type, allowDesktop ? 0x110u : 0x10u);
  EXPECT_EQ(config.StartType, autoStart ? 2u : 3u);
  EXPECT_EQ(config.ErrorControl, 1u);
  EXPECT_EQ(config.ImagePath, "\"" + folder.Kestrun() + "\"") << "a path with a blank is quoted";
}

class KestrunStopByWindows : public ::testing::TestWithParam<int> {};

// Stop method 0, 1 or 2: the unowned top-level windows (the hidden one too)
// get the method's messages in order, window by window; the owned one none.
TEST_P(KestrunStopByWindows, RegisteredServiceHostsAndStopsTheProgram) {
  const int method = GetParam();
  TKestrunFolder folder;
  TTestService service;
  RegisterThroughDialog(folder, service, "kshost_windows.exe", method, true, false, IDYES);
  if (HasFatalFailure())
    return;
  ASSERT_TRUE(service.WaitForState(SERVICE_RUNNING, 10000));
  ASSERT_TRUE(WaitForLogLine(folder.LogPath(), "ready", 10000)) << "hosted program not started";
  EXPECT_EQ(LogValue(folder.LogPath(), "cwd"), folder.HostDir());
  EXPECT_EQ(LogValue(folder.LogPath(), "cmdline"),
            "\"" + folder.Hosted("kshost_windows.exe") + "\" " + folder.LogPath());

  ASSERT_TRUE(service.Stop());
  EXPECT_TRUE(service.WaitForState(SERVICE_STOPPED, 15000));
  EXPECT_TRUE(WaitForLogLine(folder.LogPath(), "exit", 5000));

  const std::vector<std::string> perWindow[] = {
      {"WM_CLOSE"}, {"WM_SYSCOMMAND(SC_CLOSE)"}, {"WM_SYSCOMMAND(SC_CLOSE)", "WM_CLOSE"}};
  std::vector<std::string> requests = Requests(folder.LogPath());
  ASSERT_EQ(requests.size(), 2 * perWindow[method].size()) << ::testing::PrintToString(requests);
  std::string first = requests[0].substr(0, requests[0].find(' '));
  std::string second = first == "main" ? "hidden" : "main";
  std::vector<std::string> expected;
  for (const std::string& window : {first, second})
    for (const std::string& message : perWindow[method])
      expected.push_back(window + " " + message);
  EXPECT_EQ(requests, expected);
}

INSTANTIATE_TEST_SUITE_P(Kestrun, KestrunStopByWindows, ::testing::Values(0, 1, 2));

// Method 3: the console program runs in the wrapper's new console, and the
// stop ends the service within its bound even where the break is not
// delivered (Wine).
TEST(KestrunService, ConsoleMethodRegisteredOnDemandAndInteractive) {
  TKestrunFolder folder;
  TTestService service;
  RegisterThroughDialog(folder, service, "kshost_console.exe", 3, false, true, IDNO);
  if (HasFatalFailure())
    return;
  EXPECT_EQ(service.State(), static_cast<DWORD>(SERVICE_STOPPED)) << "No leaves it stopped";

  ASSERT_TRUE(service.Start());
  ASSERT_TRUE(WaitForLogLine(folder.LogPath(), "ready", 10000));
  EXPECT_EQ(LogValue(folder.LogPath(), "console"), "1");
  EXPECT_EQ(LogValue(folder.LogPath(), "cwd"), folder.HostDir());
  ASSERT_TRUE(service.WaitForState(SERVICE_RUNNING, 5000));

  ASSERT_TRUE(service.Stop());
  EXPECT_TRUE(service.WaitForState(SERVICE_STOPPED, 30000));
  bool broke = WaitForLogLine(folder.LogPath(), "CTRL_BREAK_EVENT", 1000);
  EXPECT_TRUE(broke || ProcessRuns(folder.LogPath()))
      << "the program ended without the break: something else ended it";
  EndHostedProgram(folder.LogPath());
}

// The stopped report tells the manager how the program's run ended: a
// program that could not be created gives the creation's error, one that
// ended by itself with a failure its code as the service's own; an end by
// itself with 0, and every end after a stop request, is a clean stop.
TEST(KestrunService, StoppedReportCarriesHowTheProgramEnded) {
  const struct {
    const char* Case;
    const char* Program;
    const char* Arguments; // after the log's path
    int StopMethod;
    bool Stop;
    DWORD Win32, Specific;
  } cases[] = {
      {"ends by itself with 0", "kshost_console.exe", " 500", 3, false, 0, 0},
      {"ends by itself with 7", "kshost_console.exe", " 500 7", 3, false, 1066, 7},
      {"ends with 5 after a stop", "kshost_windows.exe", " 300 5", 0, true, 0, 0},
      {"program missing", "kshost_missing.exe", "", 0, false, ERROR_FILE_NOT_FOUND, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Case);
    TKestrunFolder folder;
    TTestService service;
    ASSERT_TRUE(service.Register(folder, c.Program, folder.LogPath() + c.Arguments, c.StopMethod));
    ASSERT_TRUE(service.Start());
    if (c.Stop) {
      ASSERT_TRUE(WaitForLogLine(folder.LogPath(), "ready", 10000));
      ASSERT_TRUE(service.WaitForState(SERVICE_RUNNING, 5000));
      ASSERT_TRUE(service.Stop());
    }
    EXPECT_TRUE(service.WaitForState(SERVICE_STOPPED, 15000));
    SERVICE_STATUS status = {};
    ASSERT_TRUE(service.Query(&status));
    EXPECT_EQ(status.dwWin32ExitCode, c.Win32);
    EXPECT_EQ(status.dwServiceSpecificExitCode, c.Specific);
  }
}

TEST(KestrunService, SecondServiceProcessForTheSameNameEndsAtOnce) {
  TKestrunFolder folder;
  TTestService service;
  ASSERT_TRUE(service.Register(folder, "kshost_windows.exe", folder.LogPath(), 0));
  ASSERT_TRUE(service.Start());
  ASSERT_TRUE(WaitForLogLine(folder.LogPath(), "ready", 10000));

  // Started from another folder, a copy takes the service path.
  char windows[MAX_PATH];
  GetWindowsDirectoryA(windows, sizeof windows);
  TProcess second("\"" + folder.Kestrun() + "\"", windows);
  EXPECT_TRUE(second.WaitForExit(5000));
  EXPECT_EQ(service.State(), static_cast<DWORD>(SERVICE_RUNNING));
  ASSERT_TRUE(service.Stop());
  ASSERT_TRUE(service.WaitForState(SERVICE_STOPPED, 15000));

  // While another holds the name's mutex, a started service hosts nothing.
  DeleteFileA(folder.LogPath().c_str());
  THandle mutex(CreateMutexA(nullptr, FALSE, ("$$kestrun$$" + service.Name() + "$$").c_str()));
  ASSERT_TRUE(mutex);
  service.Start();
  Sleep(3000);
  EXPECT_EQ(GetFileAttributesA(folder.LogPath().c_str()), INVALID_FILE_ATTRIBUTES)
      << "the guarded copy started the program";
  EXPECT_NE(service.State(), static_cast<DWORD>(SERVICE_RUNNING));
}

// A program that ignores the request: the service stays stopping while it
// runs, with rising check points, and reports stopped after its wait,
// leaving the program running.
TEST(KestrunService, IgnoredStopReportsStoppedOnlyAfterItsWait) {
  TKestrunFolder folder;
  TTestService service;
  ASSERT_TRUE(service.Register(folder, "kshost_ignore.exe", folder.LogPath(), 2));
  ASSERT_TRUE(service.Start());
  ASSERT_TRUE(WaitForLogLine(folder.LogPath(), "ready", 10000));
  ASSERT_TRUE(service.WaitForState(SERVICE_RUNNING, 5000));

  ASSERT_TRUE(service.Stop());
  Sleep(5000);
  SERVICE_STATUS status = {};
  ASSERT_TRUE(service.Query(&status));
  EXPECT_EQ(status.dwCurrentState, static_cast<DWORD>(SERVICE_STOP_PENDING));
  DWORD early = status.dwCheckPoint;
  Sleep(2000);
  ASSERT_TRUE(service.Query(&status));
  EXPECT_GT(status.dwCheckPoint, early) << "check points do not rise";
  EXPECT_TRUE(service.WaitForState(SERVICE_STOPPED, 30000));
  EXPECT_TRUE(WaitForLogLine(folder.LogPath(), "ignore WM_SYSCOMMAND(SC_CLOSE)", 0));
  EXPECT_TRUE(WaitForLogLine(folder.LogPath(), "ignore WM_CLOSE", 0));
  EXPECT_TRUE(ProcessRuns(folder.LogPath())) << "the wrapper never ends the program";
  EndHostedProgram(folder.LogPath());
}

// Programs that no one here wrote, under the real service control manager:
// Wine's notepad ends on either window request, and a console program that
// no break reaches (Wine delivers none) still lets the service stop within
// its bound; it runs on and is ended here. Notepad's service may interact
// with the desktop: Wine puts other services in a window station of their
// own, whose windows this runner cannot see.
TEST(KestrunService, HostsProgramsOfTheSystem) {
  char system[MAX_PATH];
  GetSystemDirectoryA(system, sizeof system);
  for (int method : {0, 1}) {
    SCOPED_TRACE(method);
    TKestrunFolder folder;
    TTestService service;
    folder.WriteIni(std::string(system) + "\\notepad.exe", "", service.Name(), method, 1, 1);
    ASSERT_TRUE(service.Create("\"" + folder.Kestrun() + "\"",
                               SERVICE_WIN32_OWN_PROCESS | SERVICE_INTERACTIVE_PROCESS,
                               SERVICE_DEMAND_START));
    ASSERT_TRUE(service.Start());
    ASSERT_TRUE(service.WaitForState(SERVICE_RUNNING, 10000));
    DWORD notepad = 0;
    for (int i = 0; i < 100 && !notepad; ++i, Sleep(100))
      notepad = ChildProcess(service.ProcessId(), "notepad.exe");
    ASSERT_NE(notepad, 0u) << "notepad did not start";
    HWND window = WaitForWindow(notepad, "Notepad", 10000);
    EXPECT_NE(window, nullptr) << "no notepad window";
    ASSERT_TRUE(service.Stop());
    EXPECT_TRUE(service.WaitForState(SERVICE_STOPPED, 15000));
    THandle process(OpenProcess(SYNCHRONIZE, FALSE, notepad));
    EXPECT_TRUE(!process || WaitForSingleObject(process.Get(), 5000) == WAIT_OBJECT_0)
        << "notepad did not end on the request";
    EndProcess(notepad);
  }

  TKestrunFolder folder;
  TTestService service;
  folder.WriteIni(std::string(system) + "\\cmd.exe", "/k", service.Name(), 3, 1, 0);
  ASSERT_TRUE(service.Create("\"" + folder.Kestrun() + "\"", SERVICE_WIN32_OWN_PROCESS,
                             SERVICE_DEMAND_START));
  ASSERT_TRUE(service.Start());
  ASSERT_TRUE(service.WaitForState(SERVICE_RUNNING, 10000));
  DWORD console = 0;
  for (int i = 0; i < 100 && !console; ++i, Sleep(100))
    console = ChildProcess(service.ProcessId(), "cmd.exe");
  ASSERT_NE(console, 0u) << "cmd did not start";
  ASSERT_TRUE(service.Stop());
  EXPECT_TRUE(service.WaitForState(SERVICE_STOPPED, 25000));
  EndProcess(console);
}

} // namespace
