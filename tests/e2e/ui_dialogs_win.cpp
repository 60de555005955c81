// The toolkit's information message and error report, run in this process
// on a thread of their own and found and operated from the test thread the
// way another program does it.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>

#include "clock/ui/Backend_win.h"
#include "tests/e2e/Harness_win.h"

namespace {

const char kTitle[] = "Velmora Ver1.32";

HWND WaitForTopLevel(const char* className, const char* caption, DWORD milliseconds) {
  for (DWORD waited = 0; waited < milliseconds; waited += 50) {
    HWND window = FindWindowA(className, caption);
    if (window && IsWindowVisible(window))
      return window;
    Sleep(50);
  }
  return nullptr;
}

// Runs show on a toolkit thread with the title set; Returned tells when it
// came back.
class TToolkitThread {
public:
  explicit TToolkitThread(std::function<void(TApplication&)> show)
      : thread_([this, show] {
          TWin32Backend backend(GetModuleHandleA(nullptr));
          TApplication application(backend);
          application.SetTitle(kTitle);
          show(application);
          returned_ = true;
        }) {}
  ~TToolkitThread() {
    // A dialog the test could not close would keep the thread forever.
    if (WaitReturned(5000))
      thread_.join();
    else
      thread_.detach();
  }
  bool Returned() const { return returned_; }
  bool WaitReturned(DWORD milliseconds) const {
    for (DWORD waited = 0; waited < milliseconds && !returned_; waited += 20)
      Sleep(20);
    return returned_;
  }

private:
  std::atomic<bool> returned_{false};
  std::thread thread_;
};

TEST(ToolkitDialogs, InformationMessageClosesByPressAndReleaseOnItsButton) {
  TToolkitThread toolkit(
      [](TApplication& application) { application.ShowMessage("設定を保存しました。"); });
  HWND message = WaitForTopLevel("TMessageForm", kTitle, 10000);
  ASSERT_NE(message, nullptr) << "no TMessageForm with the title as caption";
  HWND button = FindWindowExA(message, nullptr, "TButton", nullptr);
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(e2e::WindowText(button), "OK");
  EXPECT_EQ(FindWindowExA(message, button, nullptr, nullptr), nullptr) << "one child only";
  Sleep(300);
  EXPECT_FALSE(toolkit.Returned()) << "the caller waits while the message is open";

  // What the program's dialog closer sends: the point x 10, y 0.
  SendMessageA(button, WM_LBUTTONDOWN, 0, 10);
  Sleep(100);
  SendMessageA(button, WM_LBUTTONUP, 0, 10);
  EXPECT_TRUE(toolkit.WaitReturned(5000)) << "the click did not close the message";
  EXPECT_FALSE(IsWindow(message));
}

TEST(ToolkitDialogs, ErrorReportIsASystemBoxWithTheTitleAndTheFinalPeriod) {
  TToolkitThread toolkit([](TApplication& application) {
    application.ShowException("ファイル Set.ini は開けません");
  });
  HWND box = WaitForTopLevel("#32770", kTitle, 10000);
  ASSERT_NE(box, nullptr) << "no message box with the title as caption";
  EXPECT_EQ(FindWindowA("TMessageForm", kTitle), nullptr);
  char text[256] = {};
  GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
  EXPECT_STREQ(text, "ファイル Set.ini は開けません.");
  EXPECT_FALSE(toolkit.Returned());
  SendMessageA(box, WM_COMMAND, IDOK, 0);
  EXPECT_TRUE(toolkit.WaitReturned(5000));
}

} // namespace
