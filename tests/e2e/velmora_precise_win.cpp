#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "tests/e2e/Harness_win.h"
#include "tests/e2e/UpdateHarness_win.h"
#include "tests/e2e/VelmoraScenario_win.h"

namespace {

class VelmoraPrecise : public e2e::TVelmoraScenario {
protected:
  // 設定(&S), then 高精度モード(&P), by the keyboard as a user would.
  void ToggleByMenu() {
    PostMessageA(form_, WM_SYSCOMMAND, SC_KEYMENU, 's');
    HWND menu = e2e::WaitForWindow(id_, "#32768", 5000);
    ASSERT_NE(menu, nullptr) << "the settings menu did not open";
    PostMessageA(menu, WM_CHAR, 'p', 0);
    ASSERT_TRUE(e2e::WaitGone(menu, 5000));
  }
  // 設定保存, and the file it wrote.
  std::string Save() {
    HWND save = e2e::FindChild(form_, "TButton", "設定保存(&H)");
    EXPECT_NE(save, nullptr);
    PostMessageA(save, BM_CLICK, 0, 0);
    HWND message = e2e::WaitForShownWindow(id_, "TMessageForm", e2e::kVelmoraCaption, 10000);
    EXPECT_NE(message, nullptr) << "no information message";
    const std::string saved = e2e::ReadFileText(folder_.File("Set.ini"));
    if (HWND ok = message ? FindWindowExA(message, nullptr, "TButton", nullptr) : nullptr)
      PostMessageA(ok, BM_CLICK, 0, 0);
    EXPECT_TRUE(e2e::WaitGone(message, 5000));
    return saved;
  }
  void Close() {
    PostMessageA(form_, WM_CLOSE, 0, 0);
    ASSERT_TRUE(velmora_->WaitForExit(10000));
    velmora_.reset();
    form_ = nullptr;
  }

  e2e::TTimeServer server_;
};

TEST_F(VelmoraPrecise, MenuItemTogglesAndIsSavedAndLoaded) {
  Start(server_.Site(), "WebSite=0\r\n");
  ASSERT_NO_FATAL_FAILURE(ToggleByMenu());
  const std::string on = Save();
  EXPECT_NE(on.find("\r\nHoseiti=0\r\nPrecise=On\r\n"), std::string::npos) << on;
  Close();
  // Loaded checked: a save without a click keeps it on (the close has
  // added the window's position after section Set).
  Sleep(2000);
  LaunchFiles(nullptr, nullptr);
  WaitForForm();
  const std::string again = Save();
  EXPECT_EQ(again.substr(0, again.find("[Position]")), on);
  ASSERT_NO_FATAL_FAILURE(ToggleByMenu());
  EXPECT_NE(Save().find("\r\nPrecise=Off\r\n"), std::string::npos);
}

// A peer 37.333 s ahead that answers at once: Wine refuses to move the
// clock that far and says what time the program asked for, which is the
// peer's to within 20 ms.
TEST_F(VelmoraPrecise, UpdateAsksForThePeersTimeToWithin20Ms) {
  server_.AnswerAtOnce = true;
  server_.SkewMs = 37'333;
  StartLogged(server_.Site(), "WebSite=0\r\nGosa=Off\r\nPrecise=On\r\n", "err+sync");
  ClickUpdate();
  EXPECT_FALSE(TakeErrorReport(20000).empty())
      << "no refusal; status " << e2e::StatusText(form_, id_);
  const std::string log = e2e::ReadFileText(Log());
  const std::optional<long> difference = e2e::RequestedDifferenceMs(log);
  ASSERT_TRUE(difference) << "standard error:\n" << log;
  EXPECT_NEAR(*difference, 37'333, 20) << log;
  EXPECT_GE(server_.Requests(), 2);
  EXPECT_LE(server_.Requests(), 8);
  EXPECT_EQ(server_.Connections(), 1) << "the requests share one kept-alive connection";
}

} // namespace
