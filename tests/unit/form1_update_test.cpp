#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "tests/common/ScriptedPeer.h"
#include "tests/unit/Form1RunFixture.h"

#include "clock/net/MessagePump_posix.h"
#include "clock/time/Calendar.h"

namespace {

using form1test::Form1Run;
using form1test::Joined;
using form1test::TLog;

const char kDate[] = "Date: Mon, 07 Dec 2026 05:46:37 GMT\r\n";

std::string Answer(const std::string& statusLine) {
  return statusLine + "\r\n" + kDate + "\r\n";
}

// What the client writes into the status bar on the way, for a direct
// exchange with the peer that ends with the update's CloseConnection.
const char kExchange[] = "status 時刻更新を開始します。\n"
                         "status Connecting to 127.0.0.1.\n"
                         "status Connected.\n"
                         "status 接続しました\n"
                         "status Disconnecting.\n"
                         "status Disconnected.\n";
const std::string kAheadEntry = "message 日本標準時に対し\r\n約 2.95秒進んでいました。\r\n\r\n"
                                "時刻更新に成功しました。";
const std::string kAhead = kAheadEntry + "\n";

class Form1Update : public Form1Run {
protected:
  void Serve(const std::string& answer) {
    peer_ = std::make_unique<peer::TScriptedPeer>(peer::TScript{peer::Send(answer)});
    UseSite("127.0.0.1:" + std::to_string(peer_->Port()));
  }
  void SetResident() {
    form.CheckBox6.SetChecked(true);
    tray.Requests.clear();
  }
  std::unique_ptr<peer::TScriptedPeer> peer_;
};

// The worked run: local clock 14:46:40.250 at UTC+9, server 05:46:37 GMT,
// 300 ms exchange: set to 14:46:37.300, the PC was 2.95 s ahead.
TEST_F(Form1Update, SetShowsEffectsInOrder) {
  Serve(Answer("HTTP/1.1 200 OK"));
  EXPECT_EQ(Joined(Click()), std::string(kExchange) +
                                 "set 2026-12-07 14:46:37.300\n"
                                 "tray Delete\n"
                                 "status 時刻更新に成功しました。\n"
                                 "Timer3 on\n"
                                 "sleep 500\n" +
                                 kAhead);
  EXPECT_EQ(form.TrayTipText, "2.95秒の誤差");
  EXPECT_TRUE(form.Button1.Enabled());
  EXPECT_TRUE(form.Timer1.Enabled());
  EXPECT_TRUE(form.Timer3.Enabled()) << "keeps running after the run";
}

TEST_F(Form1Update, ResidentShowsNetThenResultIcon) {
  Serve(Answer("HTTP/1.1 200 OK"));
  SetResident();
  EXPECT_EQ(Joined(Click()), "tray Modify NET\n" + std::string(kExchange) +
                                 "Timer3 off\n"
                                 "set 2026-12-07 14:46:37.300\n"
                                 "tray Modify ICON1\n"
                                 "status 時刻更新に成功しました。\n"
                                 "Timer3 on\n"
                                 "sleep 500\n" +
                                 kAhead);
  // The tip shown is the one from before the run; the new one comes with
  // the next tray request.
  EXPECT_STREQ(tray.Requests.back().Record.Tip, "Velmora Ver1.32");
}

TEST_F(Form1Update, RefusedAndFailedOutcomes) {
  const struct {
    const char* Name;
    const char* StatusLine;
    int LocalMinute; // 14:MM:40.250; 56 is ten minutes off
    bool Resident;
    const char* Effects;
  } cases[] = {
      {"refused", "HTTP/1.1 200 OK", 56, false,
       "tray Delete\nstatus 時刻更新を行いませんでした。\nTimer3 on\nsleep 500\n"
       "message 時刻更新を行いませんでした。\n"},
      {"refused resident", "HTTP/1.1 200 OK", 56, true,
       "tray Modify ICON2\nstatus 時刻更新を行いませんでした。\nTimer3 on\nsleep 500\n"
       "message 時刻更新を行いませんでした。\n"},
      {"204 failed", "HTTP/1.1 204 No Content", 46, false, "status 時刻更新は失敗しました。\n"},
      {"204 failed resident", "HTTP/1.1 204 No Content", 46, true,
       "tray Modify ICON2\nstatus 時刻更新は失敗しました。\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    Serve(Answer(c.StatusLine));
    form.CheckBox6.SetChecked(c.Resident);
    form.Timer3.SetEnabled(false);
    clock.Local.Minute = c.LocalMinute;
    const std::string net = c.Resident ? "tray Modify NET\n" : "";
    EXPECT_EQ(Joined(Click()), net + kExchange + c.Effects);
    EXPECT_EQ(form.TrayTipText, "Velmora Ver1.32");
    EXPECT_TRUE(clock.SetTimes.empty());
  }
}

// Anything but a socket error abandons the run: the window comes back,
// the failure goes to the error report and the icon stays "NET".
TEST_F(Form1Update, AbandonedRunsReportTheirError) {
  const struct {
    const char* Name;
    const char* Answer;
    const char* Edit4;
    bool Proxy;
    const char* Edit6;
    bool Limit;
    const char* Error;
  } cases[] = {
      {"404", "HTTP/1.1 404 Not Found\r\n\r\n", "8080", false, "300", true,
       "error HTTP/1.1 404 Not Found."},
      {"no Date line", "HTTP/1.1 200 OK\r\ndate: x\r\n\r\n", "8080", false, "300", true,
       "error リストのインデックスが範囲を超えています (1)"},
      {"limit text, limit off", "", "8080", false, "3OO", false,
       "error '3OO' は整数ではありません."},
      {"proxy port text, proxy on", "", "80x", true, "300", true,
       "error '80x' は整数ではありません."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    Serve(*c.Answer ? std::string(c.Answer) : Answer("HTTP/1.1 200 OK"));
    SetResident();
    form.Edit3.SetText("127.0.0.1");
    form.Edit4.SetText(c.Edit4);
    form.CheckBox1.SetChecked(c.Proxy);
    form.Edit6.SetText(c.Edit6);
    form.CheckBox7.SetChecked(c.Limit);
    const TLog run = Click();
    ASSERT_FALSE(run.empty());
    EXPECT_EQ(run.back(), c.Error);
    EXPECT_EQ(tray.Requests.back().Command, platform::TTrayCommand::Modify);
    EXPECT_EQ(tray.IconName(tray.Requests.back().Record.Icon), "NET");
    EXPECT_TRUE(clock.SetTimes.empty());
    EXPECT_TRUE(form.Button1.Enabled());
    EXPECT_TRUE(form.Timer1.Enabled());
    EXPECT_FALSE(form.IdHTTP1.Connected()) << "the next update must start afresh";
  }
}

// A 404 on a kept-alive connection that the peer closes while idle: the
// next update reaches the peer again on a new connection.
TEST_F(Form1Update, UpdateAfterAnAbandonedRunUsesANewConnection) {
  peer_ = std::make_unique<peer::TScriptedPeer>(
      peer::TScript{peer::Send("HTTP/1.1 404 Not Found\r\nContent-Length: 9\r\n\r\n"),
                    peer::Delay(100), peer::Close()});
  UseSite("127.0.0.1:" + std::to_string(peer_->Port()));
  for (int run = 0; run < 2; ++run) {
    EXPECT_EQ(Click().back(), "error HTTP/1.1 404 Not Found.") << "run " << run;
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
  }
  EXPECT_EQ(peer_->Requests().size(), 2u);
  EXPECT_EQ(peer_->Connections(), 2);
}

// A port text that is no number matters only while the proxy is on.
TEST_F(Form1Update, ProxyPortTextIgnoredWithoutProxy) {
  Serve(Answer("HTTP/1.1 200 OK"));
  form.Edit4.SetText("80x");
  Click();
  EXPECT_EQ(form.StatusBar1.SimpleText(), "時刻更新に成功しました。");
  EXPECT_EQ(clock.SetTimes.size(), 1u);
}

// A socket error shows its own text, then the run decides on the lines
// that arrived before it; each flag hides only its own dialogs, and the
// pause before a dialog comes also when the dialog is hidden.
TEST_F(Form1Update, SocketErrorAndResultDialogsInAllFourCombinations) {
  const std::string socketText = "message Socket Error # 10054\r\nConnection reset by peer.";
  const struct {
    bool SuppressErrorDialog, SuppressDialogs;
    bool SocketDialog, ResultDialog;
  } cases[] = {
      {false, false, true, true},
      {true, false, false, true},
      {false, true, true, false},
      {true, true, false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "SuppressErrorDialog " << c.SuppressErrorDialog
                                    << ", SuppressDialogs " << c.SuppressDialogs);
    peer::TScriptedPeer server(
        {peer::Send("HTTP/1.1 200 OK\r\n" + std::string(kDate)), peer::Delay(200), peer::Reset()});
    UseSite("127.0.0.1:" + std::to_string(server.Port()));
    form.SuppressErrorDialog = c.SuppressErrorDialog;
    form.CheckBox5.SetChecked(c.SuppressDialogs);
    form.Timer3.SetEnabled(false);
    TLog expected;
    if (c.SocketDialog) {
      expected.push_back("Timer3 on");
      expected.push_back("sleep 500");
      expected.push_back(socketText);
      expected.push_back("Timer3 off");
    }
    expected.push_back("set 2026-12-07 14:46:37.300");
    expected.push_back("Timer3 on");
    expected.push_back("sleep 500");
    if (c.ResultDialog)
      expected.push_back(kAheadEntry);
    TLog seen;
    for (const std::string& entry : Click())
      if (entry.rfind("status ", 0) != 0 && entry.rfind("tray ", 0) != 0)
        seen.push_back(entry);
    EXPECT_EQ(Joined(seen), Joined(expected));
    EXPECT_EQ(form.StatusBar1.SimpleText(), "時刻更新に成功しました。");
  }
}

// No site chosen: "http://" fails to resolve at once, with nothing received.
TEST_F(Form1Update, SocketErrorWithNothingReceivedFails) {
  EXPECT_EQ(Joined(Click()), "status 時刻更新を開始します。\n"
                             "status Resolving hostname .\n"
                             "Timer3 on\n"
                             "sleep 500\n"
                             "message Socket Error # 11001\r\nHost not found.\n"
                             "status 時刻更新は失敗しました。\n");
}

// Refused by the system: a failure with the system's reason, not a success.
TEST_F(Form1Update, SetLocalTimeRefusedIsAFailure) {
  Serve(Answer("HTTP/1.1 200 OK"));
  SetResident();
  clock.SetSucceeds = false;
  EXPECT_EQ(Joined(Click()), "tray Modify NET\n" + std::string(kExchange) +
                                 "Timer3 off\n"
                                 "set 2026-12-07 14:46:37.300\n"
                                 "tray Modify ICON2\n"
                                 "status 時刻更新は失敗しました。\n"
                                 "Timer3 on\n"
                                 "error A required privilege is not held.\n");
  EXPECT_EQ(form.TrayTipText, "Velmora Ver1.32");
  EXPECT_TRUE(form.Button1.Enabled());
}

// Start-up mode ends the program after every outcome unless resident.
TEST(Form1StartupRun, EndsAfterEveryOutcomeUnlessResident) {
  const struct {
    const char* Name;
    std::string Answer;
    int LocalMinute;
  } outcomes[] = {
      {"set", Answer("HTTP/1.1 200 OK"), 46},
      {"refused", Answer("HTTP/1.1 200 OK"), 56},
      {"failed", Answer("HTTP/1.1 204 No Content"), 46},
      {"abandoned", "HTTP/1.1 500 Internal Server Error\r\n\r\n", 46},
  };
  for (bool resident : {false, true}) {
    for (const auto& outcome : outcomes) {
      SCOPED_TRACE(std::string(outcome.Name) + (resident ? ", resident" : ""));
      form1test::TForm1Bench bench;
      TForm1& form = bench.form;
      form.Show();
      peer::TScriptedPeer server({peer::Send(outcome.Answer)});
      bench.UseSite("127.0.0.1:" + std::to_string(server.Port()));
      form.CheckBox6.SetChecked(resident);
      bench.clock.Local.Minute = outcome.LocalMinute;
      form.StartupMode = true;
      const TLog run = bench.Click();
      EXPECT_EQ(bench.application.Terminated(), !resident);
      EXPECT_EQ(bench.application.Minimized(), !resident);
      EXPECT_EQ(form.Visible(), resident);
      EXPECT_EQ(form.WindowState() == TWindowState::Minimized, !resident);
      EXPECT_TRUE(form.Button1.Enabled());
      EXPECT_EQ(run.back().rfind("error ", 0) == 0, outcome.Name == std::string("abandoned"));
    }
  }
}

// Requests that come in while the exchange waits (tray double click, the
// pop-up's update, Timer2) are dropped: one request, one run.
TEST_F(Form1Update, UpdateRequestedDuringARunIsIgnored) {
  peer::TScriptedPeer server({peer::Delay(600), peer::Send(Answer("HTTP/1.1 200 OK"))});
  UseSite("127.0.0.1:" + std::to_string(server.Port()));
  bool requested = false;
  PostPendingMessage([&] {
    form.Perform(TrayCallbackMessage, 1, 0x203);
    form.K2.UserClick();
    form.Timer2.Tick();
    requested = true;
  });
  const TLog run = Click();
  EXPECT_TRUE(requested);
  EXPECT_EQ(server.Requests().size(), 1u);
  EXPECT_EQ(clock.SetTimes.size(), 1u);
  int starts = 0;
  for (const std::string& entry : run)
    starts += entry == "status 時刻更新を開始します。";
  EXPECT_EQ(starts, 1);
  EXPECT_TRUE(form.Button1.Enabled());
}

// A proxy run sets Pragma, and no later run clears it.
TEST_F(Form1Update, PragmaStaysAfterAProxyRun) {
  peer::TScriptedPeer server({peer::Send(Answer("HTTP/1.1 200 OK"))});
  const std::string port = std::to_string(server.Port());
  UseSite("time.example");
  form.Edit3.SetText("127.0.0.1");
  form.Edit4.SetText(port);
  form.CheckBox1.SetChecked(true);
  Click();
  form.CheckBox1.SetChecked(false);
  UseSite("127.0.0.1:" + port);
  Click();
  const std::vector<std::string> requests = server.Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0].rfind("HEAD http://time.example:80/ HTTP/1.1\r\n", 0), 0u) << requests[0];
  EXPECT_EQ(requests[1].rfind("HEAD / HTTP/1.1\r\n", 0), 0u) << requests[1];
  for (const std::string& request : requests)
    EXPECT_NE(request.find("\r\nPragma: no-cache\r\n"), std::string::npos) << request;
  EXPECT_EQ(form.IdHTTP1.ProxyParams.ProxyPort, 8080);
}

// A tick of Timer2 is one whole update: a request reaches the peer and the
// result is shown.
TEST_F(Form1Update, Timer2TickRunsOneWholeUpdate) {
  Serve(Answer("HTTP/1.1 200 OK"));
  SetResident();
  log.clear();
  form.Timer2.Tick();
  EXPECT_EQ(peer_->Requests().size(), 1u);
  EXPECT_EQ(clock.SetTimes.size(), 1u);
  EXPECT_EQ(form.StatusBar1.SimpleText(), "時刻更新に成功しました。");
  EXPECT_EQ(log.back(), kAheadEntry);
}

// The window's settings reach the client: proxy credentials only while
// CheckBox2 is checked (unchecked, the client keeps what it had), and the
// protocol version.
TEST_F(Form1Update, CredentialsAndVersionReachTheRequest) {
  peer::TScriptedPeer proxy({peer::Send(Answer("HTTP/1.1 200 OK"))});
  UseSite("time.example");
  form.Edit3.SetText("127.0.0.1");
  form.Edit4.SetText(std::to_string(proxy.Port()));
  form.CheckBox1.SetChecked(true);
  form.CheckBox2.SetChecked(true);
  form.Edit1.SetText("user");
  form.Edit2.SetText("pa ss:1");
  Click();
  form.CheckBox2.SetChecked(false);
  form.Edit1.SetText("other");
  form.Edit2.SetText("secret");
  form.HttpVersion = "pv1_0";
  Click();
  const std::vector<std::string> requests = proxy.Requests();
  ASSERT_EQ(requests.size(), 2u);
  for (const std::string& request : requests)
    EXPECT_NE(request.find("\r\nProxy-Authorization: Basic dXNlcjpwYSBzczox\r\n"),
              std::string::npos)
        << request;
  EXPECT_EQ(requests[0].rfind("HEAD http://time.example:80/ HTTP/1.1\r\n", 0), 0u) << requests[0];
  EXPECT_EQ(requests[1].rfind("HEAD http://time.example:80/ HTTP/1.0\r\n", 0), 0u) << requests[1];
}

// The limit's reference takes the zone's standard bias, the date's
// conversion the bias in force: with daylight time in force the two differ
// by an hour, and the PC is found an hour behind.
TEST_F(Form1Update, ZoneBiasAndConversionBiasComeFromTheirOwnSources) {
  Serve(Answer("HTTP/1.1 200 OK"));
  clock.Zone.ResultCode = 2;
  clock.Zone.DaylightBias = -60;
  form.CheckBox7.SetChecked(false);
  const TLog run = Click();
  ASSERT_EQ(clock.SetTimes.size(), 1u);
  EXPECT_EQ(clock.SetTimes[0].Hour, 15);
  EXPECT_EQ(run.back(), "message 日本標準時に対し\r\n約 3597.05秒遅れていました。\r\n\r\n"
                        "時刻更新に成功しました。");
}

// The correction (Edit7 with ComboBox1's sign) and the summer hour, which
// counts only while CheckBox3 is enabled, reach the decision.
TEST_F(Form1Update, CorrectionAndSummerHourReachTheDecision) {
  const struct {
    const char* Correction;
    int Sign;
    bool Summer, SummerEnabled;
    const char* Set;
  } cases[] = {
      {"0", 0, false, false, "14:46:37.300"}, {"2", 0, false, false, "14:46:39.300"},
      {"2", 1, false, false, "14:46:35.300"}, {"2", -1, false, false, "14:46:37.300"},
      {"0", 0, true, false, "14:46:37.300"},  {"0", 0, true, true, "15:46:37.300"},
  };
  for (const auto& c : cases) {
    Serve(Answer("HTTP/1.1 200 OK"));
    form.Edit7.SetText(c.Correction);
    form.ComboBox1.SetItemIndex(c.Sign);
    form.CheckBox3.SetEnabled(c.SummerEnabled);
    form.CheckBox3.SetChecked(c.Summer);
    form.CheckBox7.SetChecked(false);
    clock.SetTimes.clear();
    Click();
    ASSERT_EQ(clock.SetTimes.size(), 1u);
    char set[16];
    std::snprintf(set, sizeof set, "%02d:%02d:%02d.%03d", clock.SetTimes[0].Hour,
                  clock.SetTimes[0].Minute, clock.SetTimes[0].Second,
                  clock.SetTimes[0].Millisecond);
    EXPECT_STREQ(set, c.Set) << c.Correction << " " << c.Sign << " " << c.Summer << " "
                             << c.SummerEnabled;
  }
}

} // namespace

namespace {

// Precise mode against a peer whose clock runs 37.333 s ahead of the host:
// several requests on one kept-alive connection, the system timer fine only
// meanwhile, and the clock set to the peer's time to the millisecond (the
// bound leaves room for a loaded machine; the Wine scenario holds 20 ms).
TEST_F(Form1Update, PreciseUpdateSetsThePeersTimeToTheMillisecond) {
  peer_ = std::make_unique<peer::TScriptedPeer>(
      peer::TScript{peer::Send("HTTP/1.1 200 OK\r\n"), peer::DateLine(37'333),
                    peer::Send("Content-Length: 0\r\n\r\n")});
  UseSite("127.0.0.1:" + std::to_string(peer_->Port()));
  form.P1.SetChecked(true);
  // The peer's time is days from the fake local clock's.
  form.CheckBox7.SetChecked(false);
  Click();
  ASSERT_EQ(clock.SetTimes.size(), 1u);
  const CalendarMilliseconds expected =
      peer::CalendarMillisecondsOf(clock.SetAt[0]) + 37'333 + 9 * 3'600'000;
  EXPECT_NEAR(static_cast<double>(CalendarTimeToCalendarMilliseconds(clock.SetTimes[0])),
              static_cast<double>(expected), 30);
  EXPECT_GE(peer_->Requests().size(), 2u);
  EXPECT_LE(peer_->Requests().size(), 8u);
  EXPECT_EQ(peer_->Connections(), 1);
  EXPECT_EQ(clock.FineTimerChanges, 2);
  EXPECT_FALSE(clock.FineTimer);
  EXPECT_EQ(form.StatusBar1.SimpleText(), "時刻更新に成功しました。");
}

// A server whose Date stands still contradicts itself once more than a
// second has passed: the update takes the first answer as the ordinary one
// would, and the status bar says why.
TEST_F(Form1Update, PreciseUpdateFallsBackOnAStandingDate) {
  Serve(Answer("HTTP/1.1 200 OK"));
  form.P1.SetChecked(true);
  const TLog log = Click();
  ASSERT_EQ(clock.SetTimes.size(), 1u);
  EXPECT_EQ(CalendarTimeToCalendarMilliseconds(clock.SetTimes[0]) / 1000,
            CalendarTimeToCalendarMilliseconds({2026, 12, 7, 1, 14, 46, 37, 0}) / 1000);
  EXPECT_LE(peer_->Requests().size(), 8u);
  EXPECT_EQ(form.StatusBar1.SimpleText(),
            "時刻更新に成功しました。(高精度の測定は応答の時刻が食い違ったため通常の精度)");
}

} // namespace
