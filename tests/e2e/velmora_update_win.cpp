#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "tests/e2e/Harness_win.h"
#include "tests/e2e/UpdateHarness_win.h"

namespace {

const char kCaption[] = "Velmora Ver1.32";
const char kLimit300[] = "WebSite=0\r\nGosa=On\r\nGosaTime=300\r\n";

// The program in a folder of its own, with the time server as its one site.
class VelmoraUpdate : public ::testing::Test {
protected:
  void Launch(const std::string& setLines, const std::string& arguments = "") {
    e2e::WriteFixtures(folder_, server_.Site(), setLines);
    program_ = e2e::CopyProgram("Velmora.exe", folder_);
    velmora_ = std::make_unique<e2e::TProcess>("\"" + program_ + "\"" + arguments, folder_.Path());
    id_ = velmora_->Id();
  }
  void Start(const std::string& setLines) {
    Launch(setLines);
    form_ = e2e::WaitForWindow(id_, "TForm1", 30000);
    ASSERT_NE(form_, nullptr) << "no TForm1 window; " << OpenBox();
  }
  // What an error report of the program says, when one is open.
  std::string OpenBox() {
    HWND box = e2e::WaitForWindow(id_, "#32770", 0);
    return box ? "error report: " + e2e::MessageBoxText(box) : "no error report";
  }
  // With Wine's debug channels on and its standard error kept in Log().
  void StartLogged(const std::string& setLines, const std::string& wineDebug) {
    e2e::WriteFixtures(folder_, server_.Site(), setLines);
    program_ = e2e::CopyProgram("Velmora.exe", folder_);
    logged_ = std::make_unique<e2e::TLoggedProcess>(program_, "", folder_.Path(), Log(), wineDebug);
    id_ = logged_->Id();
    form_ = e2e::WaitForWindow(id_, "TForm1", 20000);
    ASSERT_NE(form_, nullptr) << "no TForm1 window";
  }
  void WaitVisible() {
    for (int i = 0; i < 100 && !IsWindowVisible(form_); ++i)
      Sleep(100);
    ASSERT_TRUE(IsWindowVisible(form_));
  }
  void ClickUpdate() {
    HWND button = e2e::FindChild(form_, "TButton", "時刻更新(&K)");
    ASSERT_NE(button, nullptr);
    PostMessageA(button, BM_CLICK, 0, 0);
  }
  bool WaitStatus(const std::string& text, DWORD milliseconds = 20000) {
    return e2e::WaitForStatus(form_, id_, text, milliseconds);
  }
  // The information message appears and Timer3 clicks it away by itself.
  void ExpectMessageClosedByTimer3() {
    HWND message = e2e::WaitForDialog(id_, "TMessageForm", kCaption, 3000);
    ASSERT_NE(message, nullptr) << "no information message";
    EXPECT_TRUE(e2e::WaitGone(message, 5000)) << "the message stayed open";
  }
  std::string Log() const { return folder_.File("stderr.txt"); }

  void TearDown() override {
    if (form_ && IsWindow(form_)) {
      PostMessageA(form_, WM_CLOSE, 0, 0);
      EXPECT_TRUE(velmora_ ? velmora_->WaitForExit(10000) : logged_->WaitForExit(10000));
    }
  }

  e2e::TTimeServer server_;
  e2e::TTempFolder folder_;
  std::string program_;
  std::unique_ptr<e2e::TProcess> velmora_;
  std::unique_ptr<e2e::TLoggedProcess> logged_;
  DWORD id_ = 0;
  HWND form_ = nullptr;
};

TEST_F(VelmoraUpdate, ServerOnTheSecondSetsTheClock) {
  Start(kLimit300);
  WaitVisible();
  ClickUpdate();
  ASSERT_TRUE(WaitStatus("時刻更新に成功しました。")) << e2e::StatusText(form_, id_);
  ExpectMessageClosedByTimer3();
  EXPECT_EQ(server_.Requests(), 1);
}

TEST_F(VelmoraUpdate, ServerBeyondTheLimitIsRefused) {
  server_.OffsetSeconds = 400;
  Start(kLimit300);
  WaitVisible();
  ClickUpdate();
  ASSERT_TRUE(WaitStatus("時刻更新を行いませんでした。")) << e2e::StatusText(form_, id_);
  ExpectMessageClosedByTimer3();
}

// Wine refuses to move the clock by 37 s (error 1314) and says on standard
// error what time was asked for; the program reports the refusal.
TEST_F(VelmoraUpdate, ClockRefusedBySystemIsReportedAsFailure) {
  server_.OffsetSeconds = 37;
  StartLogged("WebSite=0\r\nGosa=Off\r\n", "err+sync");
  WaitVisible();
  ClickUpdate();
  HWND box = e2e::WaitForDialog(id_, "#32770", kCaption, 20000);
  ASSERT_NE(box, nullptr) << "no error report; status " << e2e::StatusText(form_, id_);
  char expected[512] = {};
  DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                ERROR_PRIVILEGE_NOT_HELD, 0, expected, sizeof expected, nullptr);
  while (length > 0 && static_cast<unsigned char>(expected[length - 1]) <= ' ')
    expected[--length] = '\0';
  ASSERT_GT(length, 0u);
  std::string report = expected;
  if (static_cast<unsigned char>(report.back()) > '.')
    report += ".";
  EXPECT_EQ(e2e::MessageBoxText(box), report);
  EXPECT_EQ(e2e::StatusText(form_, id_), "時刻更新は失敗しました。");
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  EXPECT_TRUE(e2e::WaitGone(box, 5000));

  const std::string log = e2e::ReadFile(Log());
  const std::string line = "err:sync:NtSetSystemTime not allowed: difference ";
  const std::size_t at = log.find(line);
  ASSERT_NE(at, std::string::npos) << "standard error:\n" << log;
  const long difference = std::strtol(log.c_str() + at + line.size(), nullptr, 10);
  EXPECT_NEAR(std::labs(difference), 37000, 1000) << log.substr(at, 80);
  EXPECT_TRUE(IsWindowEnabled(e2e::FindChild(form_, "TButton", "時刻更新(&K)")));
}

TEST_F(VelmoraUpdate, NotFoundGivesTheErrorReportWithTheStatusLine) {
  server_.StatusLine = "HTTP/1.1 404 Not Found";
  Start(kLimit300);
  WaitVisible();
  ClickUpdate();
  HWND box = e2e::WaitForDialog(id_, "#32770", kCaption, 20000);
  ASSERT_NE(box, nullptr) << "no error report";
  EXPECT_EQ(e2e::MessageBoxText(box), "HTTP/1.1 404 Not Found.");
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  EXPECT_TRUE(e2e::WaitGone(box, 5000));
}

// Started with "-s": one update, then the program ends by itself and
// leaves the window position unwritten.
TEST_F(VelmoraUpdate, StartupSwitchUpdatesOnceAndEnds) {
  Launch(std::string(kLimit300) + "NonError=On\r\n", " -s");
  ASSERT_TRUE(velmora_->WaitForExit(40000)) << "the program did not end";
  EXPECT_EQ(server_.Requests(), 1);
  const std::string settings = e2e::ReadFile(folder_.File("Set.ini"));
  EXPECT_EQ(settings.find("Top="), std::string::npos) << settings;
  EXPECT_EQ(settings.find("Left="), std::string::npos) << settings;
}

// Residence: the tray icon comes, a minimised program keeps only the icon,
// and a double click on the icon runs an update.
TEST_F(VelmoraUpdate, ResidentTrayIconAndDoubleClick) {
  Start(std::string(kLimit300) + "NonError=On\r\n");
  WaitVisible();
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

  PostMessageA(form_, 1124, 1, 0x203);
  for (int i = 0; i < 200 && server_.Requests() == 0; ++i)
    Sleep(100);
  EXPECT_EQ(server_.Requests(), 1);
  ASSERT_TRUE(WaitStatus("時刻更新に成功しました。")) << e2e::StatusText(form_, id_);
  EXPECT_TRUE(e2e::TrayIconExists(form_));
}

} // namespace
