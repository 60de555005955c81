// The main window as a user sees it: minimised and restored, started at
// log-on in the tray, the tray's pop-up menu, and the hour field's check,
// which runs only when the focus goes to another control of the window.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/e2e/SettingsHarness_win.h"
#include "tests/e2e/UpdateHarness_win.h"
#include "tests/e2e/VelmoraScenario_win.h"

namespace {

const char kResident[] = "WebSite=0\r\nGosa=On\r\nGosaTime=300\r\nNonError=On\r\nServer=On\r\n";

// Waits until the window's visibility is as wanted; false after the time.
bool WaitShown(HWND window, bool visible, DWORD milliseconds = 5000) {
  const DWORD start = GetTickCount();
  while ((IsWindowVisible(window) != FALSE) != visible) {
    if (GetTickCount() - start >= milliseconds)
      return false;
    Sleep(50);
  }
  return true;
}

class VelmoraWindows : public e2e::TVelmoraScenario {
protected:
  // The tray icon's right button: the program's pop-up menu opens.
  HWND OpenTrayMenu() {
    PostMessageA(form_, 1124, 1, WM_RBUTTONDOWN);
    return e2e::WaitForWindow(id_, "#32768", 5000);
  }
  // An item of an open menu, by its mnemonic.
  static void Choose(HWND menu, char mnemonic) {
    PostMessageA(menu, WM_CHAR, static_cast<WPARAM>(mnemonic), 0);
  }

  e2e::TTimeServer server_;
};

// Minimised, the main window itself goes, not only the task-bar entry; it
// comes back by the tray's "開く(&O)" and by a restore of the program.
TEST_F(VelmoraWindows, MinimiseHidesTheMainWindowAndBothWaysBringItBack) {
  Start(server_.Site(), kResident);
  ASSERT_TRUE(IsWindowVisible(form_));
  HWND application = e2e::WaitForWindow(id_, "TApplication", 1000);
  ASSERT_NE(application, nullptr);

  PostMessageA(form_, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  EXPECT_TRUE(WaitShown(form_, false)) << "the main window stayed after a minimise";
  HWND menu = OpenTrayMenu();
  ASSERT_NE(menu, nullptr) << "no pop-up menu";
  Choose(menu, 'o');
  EXPECT_TRUE(WaitShown(form_, true)) << "開く(&O) did not bring the window back";
  EXPECT_FALSE(IsIconic(form_));

  PostMessageA(form_, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  EXPECT_TRUE(WaitShown(form_, false));
  PostMessageA(application, WM_SYSCOMMAND, SC_RESTORE, 0);
  EXPECT_TRUE(WaitShown(form_, true)) << "a restore did not bring the window back";
}

// The pop-up's "今すぐ時刻更新(&K)" runs an update.
TEST_F(VelmoraWindows, TrayMenuUpdatesNow) {
  Start(server_.Site(), kResident);
  HWND menu = OpenTrayMenu();
  ASSERT_NE(menu, nullptr) << "no pop-up menu";
  e2e::WaitForTheSecond();
  Choose(menu, 'k');
  EXPECT_TRUE(WaitStatus("時刻更新に成功しました。"))
      << e2e::StatusText(form_, id_) << "; " << OpenBox();
  EXPECT_EQ(server_.Requests(), 1);
}

// Started at log-on ("-s") while resident: one update, the main window out
// of sight all along, the tray icon there, and the program stays.
TEST_F(VelmoraWindows, LogOnStartStaysInTheTrayOutOfSight) {
  Launch(server_.Site(), kResident, " -s");
  const DWORD start = GetTickCount();
  bool everShown = false;
  HWND form = nullptr;
  while (GetTickCount() - start < 15000) {
    if (!form)
      form = e2e::WaitForWindow(id_, "TForm1", 0);
    everShown = everShown || (form && IsWindowVisible(form));
    if (form && server_.Requests() > 0 && GetTickCount() - start > 8000)
      break;
    Sleep(20);
  }
  ASSERT_NE(form, nullptr);
  EXPECT_FALSE(everShown) << "the main window was on the screen";
  EXPECT_EQ(server_.Requests(), 1);
  EXPECT_TRUE(e2e::TrayIconExists(form));
  EXPECT_FALSE(velmora_->WaitForExit(0)) << "the program ended";
  HWND application = e2e::WaitForWindow(id_, "TApplication", 0);
  EXPECT_FALSE(application && IsWindowVisible(application)) << "a task-bar entry is there";
  form_ = form;
}

// A field's check must not run when another program takes the focus; it
// runs when the focus goes to the next control.
TEST_F(VelmoraWindows, HourFieldIsCheckedOnlyWhenAnotherControlTakesTheFocus) {
  Start(server_.Site(), kResident);
  HWND hours = e2e::ChildAt(form_, "TEdit", 136, 279);
  ASSERT_NE(hours, nullptr);
  SetForegroundWindow(form_);
  PostMessageA(hours, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  PostMessageA(hours, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  Sleep(300);
  SendMessageA(hours, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("x"));

  // Another program comes to the front, then the window again.
  HWND other = CreateWindowExA(0, "STATIC", "other program", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10,
                               10, 200, 100, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(other, nullptr);
  SetForegroundWindow(other);
  Sleep(1000);
  EXPECT_EQ(OpenBox(), "no error report") << "checked when another program took the focus";
  SetForegroundWindow(form_);
  Sleep(1000);
  EXPECT_EQ(OpenBox(), "no error report") << "checked when the window came back";
  DestroyWindow(other);

  PostMessageA(hours, WM_KEYDOWN, VK_TAB, 0);
  EXPECT_EQ(TakeErrorReport(5000), "'x' は整数ではありません.");
}

} // namespace
