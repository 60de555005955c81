#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <optional>
#include <string>

#include "tests/e2e/Harness_win.h"
#include "tests/e2e/UpdateHarness_win.h"
#include "tests/e2e/VelmoraScenario_win.h"

namespace {

const char kLimit300[] = "WebSite=0\r\nGosa=On\r\nGosaTime=300\r\n";

// The error report of a refused clock: the system's text for error 1314.
std::string RefusalReport() {
  char text[512] = {};
  DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                ERROR_PRIVILEGE_NOT_HELD, 0, text, sizeof text, nullptr);
  while (length > 0 && static_cast<unsigned char>(text[length - 1]) <= ' ')
    text[--length] = '\0';
  std::string report = text;
  if (!report.empty() && static_cast<unsigned char>(report.back()) > '.')
    report += ".";
  return report;
}

// The program with the time server as its one site.
class VelmoraUpdate : public e2e::TVelmoraScenario {
protected:
  void Launch(const std::string& setLines, const std::string& arguments = "") {
    TVelmoraScenario::Launch(server_.Site(), setLines, arguments);
  }
  void Start(const std::string& setLines) { TVelmoraScenario::Start(server_.Site(), setLines); }
  void StartLogged(const std::string& setLines, const std::string& wineDebug) {
    TVelmoraScenario::StartLogged(server_.Site(), setLines, wineDebug);
  }

  e2e::TTimeServer server_;
};

TEST_F(VelmoraUpdate, ServerOnTheSecondSetsTheClock) {
  Start(kLimit300);
  ClickUpdate();
  ASSERT_TRUE(WaitStatus("時刻更新に成功しました。")) << e2e::StatusText(form_, id_);
  ExpectMessageClosedByTimer3();
  EXPECT_EQ(server_.Requests(), 1);
}

TEST_F(VelmoraUpdate, ServerBeyondTheLimitIsRefused) {
  server_.OffsetSeconds = 400;
  Start(kLimit300);
  ClickUpdate();
  ASSERT_TRUE(WaitStatus("時刻更新を行いませんでした。")) << e2e::StatusText(form_, id_);
  ExpectMessageClosedByTimer3();
}

// Wine refuses to move the clock by 37 s (error 1314) and says on standard
// error what time was asked for; the program reports the refusal.
TEST_F(VelmoraUpdate, ClockRefusedBySystemIsReportedAsFailure) {
  server_.OffsetSeconds = 37;
  StartLogged("WebSite=0\r\nGosa=Off\r\n", "err+sync");
  ClickUpdate();
  HWND box = e2e::WaitForShownWindow(id_, "#32770", e2e::kVelmoraCaption, 20000);
  ASSERT_NE(box, nullptr) << "no error report; status " << e2e::StatusText(form_, id_);
  EXPECT_EQ(e2e::MessageBoxText(box), RefusalReport());
  EXPECT_EQ(e2e::StatusText(form_, id_), "時刻更新は失敗しました。");
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  EXPECT_TRUE(e2e::WaitGone(box, 5000));

  const std::string log = e2e::ReadFileText(Log());
  const std::optional<long> difference = e2e::RequestedDifferenceMs(log);
  ASSERT_TRUE(difference) << "standard error:\n" << log;
  EXPECT_NEAR(std::labs(*difference), 37000, 1000) << log;
  EXPECT_TRUE(IsWindowEnabled(e2e::FindChild(form_, "TButton", "時刻更新(&K)")));
}

TEST_F(VelmoraUpdate, NotFoundGivesTheErrorReportWithTheStatusLine) {
  server_.StatusLine = "HTTP/1.1 404 Not Found";
  Start(kLimit300);
  ClickUpdate();
  HWND box = e2e::WaitForShownWindow(id_, "#32770", e2e::kVelmoraCaption, 20000);
  ASSERT_NE(box, nullptr) << "no error report";
  EXPECT_EQ(e2e::MessageBoxText(box), "HTTP/1.1 404 Not Found.");
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  EXPECT_TRUE(e2e::WaitGone(box, 5000));
}

// Started with "-s": one update, then the program ends by itself and
// leaves the window position unwritten.
// The first exchange of a new process can take long enough for Wine to
// refuse the time asked for (see TTimeServer); that report is closed as the
// user would, and the program must still end by itself.
TEST_F(VelmoraUpdate, StartupSwitchUpdatesOnceAndEnds) {
  Launch(std::string(kLimit300) + "NonError=On\r\n", " -s");
  const DWORD start = GetTickCount();
  while (!velmora_->WaitForExit(100) && GetTickCount() - start < 40000)
    if (HWND box = e2e::WaitForWindow(id_, "#32770", 0)) {
      EXPECT_EQ(e2e::MessageBoxText(box), RefusalReport());
      PostMessageA(box, WM_COMMAND, IDOK, 0);
      e2e::WaitGone(box, 5000);
    }
  ASSERT_TRUE(velmora_->WaitForExit(0)) << "the program did not end; " << OpenBox();
  EXPECT_EQ(server_.Requests(), 1);
  const std::string settings = e2e::ReadFileText(folder_.File("Set.ini"));
  EXPECT_EQ(settings.find("Top="), std::string::npos) << settings;
  EXPECT_EQ(settings.find("Left="), std::string::npos) << settings;
}

// Residence: the tray icon comes, a minimised program keeps only the icon,
// and a double click on the icon runs an update.
TEST_F(VelmoraUpdate, ResidentTrayIconAndDoubleClick) {
  Start(std::string(kLimit300) + "NonError=On\r\n");
  EXPECT_FALSE(e2e::TrayIconExists(form_));
  HWND resident = e2e::FindChild(form_, "TCheckBox", "常駐させる。");
  ASSERT_NE(resident, nullptr);
  PostMessageA(resident, BM_CLICK, 0, 0);
  for (int i = 0; i < 50 && !e2e::TrayIconExists(form_); ++i)
    Sleep(100);
  EXPECT_TRUE(e2e::TrayIconExists(form_));

  HWND application = e2e::WaitForWindow(id_, "TApplication", 1000);
  ASSERT_NE(application, nullptr);
  PostMessageA(form_, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  for (int i = 0; i < 50 && IsWindowVisible(application); ++i)
    Sleep(100);
  EXPECT_FALSE(IsWindowVisible(application)) << "the task-bar entry stayed";

  e2e::WaitForTheSecond();
  PostMessageA(form_, 1124, 1, 0x203);
  for (int i = 0; i < 200 && server_.Requests() == 0; ++i)
    Sleep(100);
  EXPECT_EQ(server_.Requests(), 1);
  ASSERT_TRUE(WaitStatus("時刻更新に成功しました。")) << e2e::StatusText(form_, id_);
  EXPECT_TRUE(e2e::TrayIconExists(form_));
}

} // namespace
