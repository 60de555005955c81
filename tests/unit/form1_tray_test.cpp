#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/unit/Form1RunFixture.h"

namespace {

using form1test::Form1Run;
using form1test::Joined;
using form1test::TLog;

using Form1Tray = Form1Run;

TEST_F(Form1Tray, CheckBox6SwitchesResidenceOnAndOff) {
  form.Edit5.SetText("3");
  form.CheckBox6.SetChecked(true);
  EXPECT_TRUE(form.Resident);
  EXPECT_TRUE(form.Timer2.Enabled());
  EXPECT_EQ(form.Timer2.Interval(), 3u * 3600000u);
  EXPECT_TRUE(form.Timer3.Enabled());
  EXPECT_TRUE(form.Edit5.Enabled());
  EXPECT_TRUE(form.UpDown1.Enabled());
  EXPECT_TRUE(form.Label8.Enabled());
  ASSERT_EQ(tray.Requests.size(), 1u);
  EXPECT_EQ(tray.Requests[0].Command, platform::TTrayCommand::Add);
  EXPECT_EQ(tray.IconName(tray.Requests[0].Record.Icon), "ICON1");
  EXPECT_STREQ(tray.Requests[0].Record.Tip, "Velmora Ver1.32");
  EXPECT_EQ(tray.Icons.size(), 1u);

  form.CheckBox6.SetChecked(false);
  EXPECT_FALSE(form.Resident);
  EXPECT_FALSE(form.Timer2.Enabled());
  EXPECT_FALSE(form.Timer3.Enabled());
  EXPECT_FALSE(form.Edit5.Enabled());
  EXPECT_FALSE(form.UpDown1.Enabled());
  EXPECT_FALSE(form.Label8.Enabled());
  EXPECT_EQ(tray.Requests.back().Command, platform::TTrayCommand::Delete);
  EXPECT_TRUE(tray.Icons.empty());
}

// The error comes after Resident is set: no timer, no icon, box checked.
TEST_F(Form1Tray, CheckBox6WithAnHourTextThatIsNoNumber) {
  form.Edit5.SetText("x");
  form.CheckBox6.UserClick();
  EXPECT_EQ(Joined(log), "error 'x' は整数ではありません.\n");
  EXPECT_TRUE(form.CheckBox6.Checked());
  EXPECT_TRUE(form.Resident);
  EXPECT_FALSE(form.Timer2.Enabled());
  EXPECT_FALSE(form.Timer3.Enabled());
  EXPECT_TRUE(tray.Requests.empty());
}

TEST_F(Form1Tray, Edit5ExitKeepsOneTo168) {
  const struct {
    const char* Text;
    const char* After;
  } cases[] = {{"0", "8"}, {"169", "8"}, {"-3", "8"}, {"1", "1"}, {"168", "168"}, {"x", "x"}};
  for (const auto& c : cases) {
    log.clear();
    form.Edit5.SetText(c.Text);
    form.Edit5.UserExit();
    EXPECT_EQ(form.Edit5.Text(), c.After) << c.Text;
    EXPECT_EQ(log.empty(), std::string(c.Text) != "x") << c.Text;
  }
}

// Switching to another program, a message or the tray menu takes the
// focus out of the window: no exit; the next control of the window does.
TEST_F(Form1Tray, Edit5ExitRunsWhenAnotherControlTakesTheFocus) {
  form.Edit5.SetEnabled(true);
  form.Edit5.SetText("x");
  form.UserFocused(form.Edit5);
  form.UserFocused(form.Edit5);
  EXPECT_TRUE(log.empty());
  form.UserFocused(form.Edit6);
  EXPECT_EQ(Joined(log), "error 'x' は整数ではありません.\n");
}

TEST_F(Form1Tray, Timer1ShowsTheClockWithoutLeadingZeros) {
  clock.Local = {2004, 3, 5, 5, 9, 5, 7, 0};
  form.Timer1.Tick();
  EXPECT_EQ(form.Label1.Text(), "2004/3/5");
  EXPECT_EQ(form.Label4.Text(), "9:5:7");
  clock.Local = {2026, 12, 31, 4, 23, 59, 58, 999};
  form.ShowClock();
  EXPECT_EQ(form.Label1.Text(), "2026/12/31");
  EXPECT_EQ(form.Label4.Text(), "23:59:58");
}

// Press, 100 ms, release on the message's OK button; the pause comes on
// every tick. Other programs' messages and the error report are left alone.
TEST_F(Form1Tray, Timer3ClicksAwayTheProgramsMessage) {
  int dialog = 0, button = 0, other = 0, otherButton = 0;
  windows.Windows = {
      {&other, nullptr, "TMessageForm", "Other program"},
      {&otherButton, &other, "TButton", ""},
      {&dialog, nullptr, "TMessageForm", "Velmora Ver1.32"},
      {&button, &dialog, "TButton", ""},
  };
  windows.OnSend = [&](const FakeWindowMessages::Sent& sent) {
    log.push_back((sent.Message == 0x201 ? "down " : "up ") + std::to_string(sent.LParam) + " " +
                  std::to_string(sent.WParam));
    EXPECT_EQ(sent.Window, &button);
  };
  form.Timer3.Tick();
  EXPECT_EQ(Joined(log), "down 10 0\nsleep 100\nup 10 0\n");

  log.clear();
  windows.Windows = {{&dialog, nullptr, "#32770", "Velmora Ver1.32"}};
  form.Timer3.Tick();
  EXPECT_EQ(Joined(log), "sleep 100\n");
}

// The icon comes back when the shell lost it, only while resident and idle.
TEST_F(Form1Tray, Timer3ReaddsALostIconWhenResidentAndIdle) {
  form.CheckBox6.SetChecked(true);
  const struct {
    bool Resident, ButtonEnabled, Added;
  } cases[] = {{true, true, true}, {true, false, false}, {false, true, false}};
  for (const auto& c : cases) {
    tray.Icons.clear();
    tray.Requests.clear();
    form.Resident = c.Resident;
    form.Button1.SetEnabled(c.ButtonEnabled);
    form.Timer3.Tick();
    EXPECT_EQ(tray.Icons.size(), c.Added ? 1u : 0u) << c.Resident << c.ButtonEnabled;
    if (c.Added) {
      EXPECT_EQ(tray.IconName(tray.Requests.back().Record.Icon), "ICON1");
    }
  }
  // An icon that is there is not replaced.
  form.Resident = true;
  form.Button1.SetEnabled(true);
  form.AddTrayIcon("ICON1");
  form.ModifyTrayIcon("ICON2");
  form.Timer3.Tick();
  EXPECT_FALSE(tray.Requests.back().Accepted);
  EXPECT_EQ(tray.Requests.back().Command, platform::TTrayCommand::Add);
}

// The record's tip field holds 63 bytes: a longer tip is cut before a
// double-byte character that would not fit.
TEST_F(Form1Tray, LongTipIsCutAtACharacterBoundary) {
  form.TrayTipText = "a";
  for (int i = 0; i < 40; ++i)
    form.TrayTipText += "秒";
  form.AddTrayIcon("ICON1");
  const std::string tip = tray.Requests.back().Record.Tip;
  EXPECT_EQ(tip, form.TrayTipText.substr(0, 63));
  form.TrayTipText = form.TrayTipText.substr(1);
  form.ModifyTrayIcon("NET");
  EXPECT_EQ(std::string(tray.Requests.back().Record.Tip), form.TrayTipText.substr(0, 62));
}

// A form window that records what the form's WndProc passes on.
class TFormWatch : public TFormPeer {
public:
  void Changed(TChange) override {}
  void DefaultHandler(TMessage& message) override { Passed.push_back(message.Msg); }
  void SetForeground() override { ++Foreground; }
  std::vector<unsigned> Passed;
  int Foreground = 0;
};

TEST_F(Form1Tray, TrayMessages) {
  auto watch = std::make_unique<TFormWatch>();
  TFormWatch& window = *watch;
  form.SetPeer(std::move(watch));
  backend.Cursor = {700, 500};

  // A double click runs the update (no site: it fails at once), whatever
  // Button1 says; the window is not opened.
  form.SuppressErrorDialog = true;
  form.Button1.SetEnabled(false);
  form.Perform(TrayCallbackMessage, 1, 0x203);
  EXPECT_EQ(form.StatusBar1.SimpleText(), "時刻更新は失敗しました。");
  EXPECT_EQ(window.Foreground, 1);
  EXPECT_EQ(backend.RestoreCalls, 0);

  // The pop-up opens on the right button's press, not on its release.
  form.Perform(TrayCallbackMessage, 1, 0x205);
  EXPECT_TRUE(backend.Popups.empty());
  form.Perform(TrayCallbackMessage, 1, 0x204);
  ASSERT_EQ(backend.Popups.size(), 1u);
  EXPECT_EQ(backend.Popups[0].Menu, &form.PopupMenu1);
  EXPECT_EQ(backend.Popups[0].At.X, 700);
  EXPECT_EQ(backend.Popups[0].At.Y, 500);
  EXPECT_EQ(window.Foreground, 2);

  EXPECT_TRUE(window.Passed.empty()) << "the tray message is not passed on";
  form.Perform(0x0010, 0, 0);
  EXPECT_EQ(window.Passed, std::vector<unsigned>{0x0010});
  form.SetPeer(nullptr);
}

TEST_F(Form1Tray, MinimiseHidesTheTaskbarEntryOnlyWhenResident) {
  form.HideTaskbarEntry(nullptr);
  EXPECT_TRUE(backend.TaskbarEntryVisible);
  form.Resident = true;
  form.HideTaskbarEntry(nullptr);
  EXPECT_FALSE(backend.TaskbarEntryVisible);
}

TEST_F(Form1Tray, Open1StartsTheClockAndRestores) {
  form.Timer1.SetEnabled(false);
  form.Open1.UserClick();
  EXPECT_TRUE(form.Timer1.Enabled());
  EXPECT_EQ(backend.RestoreCalls, 0) << "not minimised: nothing to restore";
  application.Minimize();
  form.Timer1.SetEnabled(false);
  form.Open1.UserClick();
  EXPECT_TRUE(form.Timer1.Enabled());
  EXPECT_EQ(backend.RestoreCalls, 1);
  EXPECT_FALSE(application.Minimized());
}

using Form1Menu = Form1Run;

TEST(Form1EndCommands, BothTerminate) {
  for (const char* item : {"E1", "E2"}) {
    form1test::TForm1Bench bench;
    TMenuItem* command = bench.form.MainMenu1.Items.Find(item);
    if (!command)
      command = bench.form.PopupMenu1.Items.Find(item);
    ASSERT_NE(command, nullptr) << item;
    command->UserClick();
    EXPECT_TRUE(bench.application.Terminated()) << item;
  }
}

TEST_F(Form1Menu, K2RunsTheUpdate) {
  form.SuppressErrorDialog = true;
  form.K2.UserClick();
  EXPECT_EQ(Joined(log), "status 時刻更新を開始します。\n"
                         "status Resolving hostname .\n"
                         "status 時刻更新は失敗しました。\n");
}

TEST_F(Form1Menu, ReadMeAndHomePageGoToTheShell) {
  files.ExePath = "D:\\Tools\\Velmora\\Velmora.exe";
  files.Current = "C:\\Work";
  form.ReadMeR1.UserClick();
  form.S1.UserClick();
  const struct {
    const char* File;
    const char* Directory;
  } expected[] = {{"ReadMe.txt", "D:\\Tools\\Velmora"}, {"http://velmora.example/", "C:\\Work"}};
  ASSERT_EQ(shell.Requests.size(), 2u);
  for (size_t i = 0; i < 2; ++i) {
    const FakeShell::Request& request = shell.Requests[i];
    EXPECT_EQ(request.Owner, nullptr) << "headless: no application window";
    EXPECT_EQ(request.Verb, "open");
    EXPECT_EQ(request.File, expected[i].File);
    EXPECT_EQ(request.Parameters, "");
    EXPECT_EQ(request.Directory, expected[i].Directory);
    EXPECT_EQ(request.ShowCommand, 5);
  }
}

} // namespace
