// The window animation component on a main form of the toolkit, run in
// this process on a thread of its own and driven with the messages the
// system sends for the caption button and the task-bar button.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "clock/SysCtrls/TAnimateForm.h"
#include "clock/ui/Backend_win.h"
#include "tests/e2e/Harness_win.h"
#include "tests/unit/FakeSounds.h"

namespace {

const char kTitle[] = "Velmora";
const char kCaption[] = "Velmora Ver1.32";

class TAnimatedWindow : public TForm {
public:
  TAnimatedWindow()
      : TForm("Form1"), AnimateForm1(std::make_unique<TAnimateForm>(this)), Button1(*this, "B") {
    SetText(kCaption);
    SetBounds(192, 109, 0, 0);
    SetClientSize(318, 397);
    Button1.SetBounds(8, 8, 75, 25);
    Show();
  }
  const char* ClassName() const override { return "TAnimatedWindow"; }
  std::unique_ptr<TAnimateForm> AnimateForm1;
  TButton Button1;
};

std::string Text(HWND window) {
  char text[256] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

LONG_PTR Procedure(HWND window) {
  return GetWindowLongPtrA(window, GWLP_WNDPROC);
}

// The toolkit with one animated main form, on a thread that keeps its
// messages flowing until the end of the test.
class TAnimatedProgram {
public:
  TAnimatedProgram() : thread_([this] { Run(); }) {
    for (int waited = 0; waited < 10000 && !ready_; waited += 20)
      Sleep(20);
  }
  ~TAnimatedProgram() {
    quit_ = true;
    thread_.join();
  }

  bool Ready() const { return ready_; }
  HWND MainWindow() const { return mainWindow_; }
  HWND ApplicationWindow() const { return applicationWindow_; }
  HWND TopmostWindow() const { return topmostWindow_; }
  // The application window's procedure before the form was made.
  LONG_PTR ApplicationProcedureBefore() const { return applicationProcedureBefore_; }
  int MinimizeEvents() const { return minimizeEvents_; }
  // The application title when the minimise event ran.
  std::string TitleAtEvent() const { return titleAtEvent_; }

  // Runs the action on the program's thread and waits for it.
  void Invoke(std::function<void(TApplication&, TAnimatedWindow&)> action) {
    action_ = std::move(action);
    pending_ = true;
    for (int waited = 0; waited < 5000 && pending_; waited += 20)
      Sleep(20);
  }

private:
  void Run() {
    TWin32Backend backend(GetModuleHandleA(nullptr));
    TApplication application(backend);
    application.SetTitle(kTitle);
    application.OnMinimize = [this, &application](TObject*) {
      titleAtEvent_ = application.Title();
      ++minimizeEvents_;
    };
    applicationWindow_ = backend.ApplicationWindow();
    applicationProcedureBefore_ = Procedure(applicationWindow_);
    TAnimatedWindow& form = application.CreateForm<TAnimatedWindow>();
    mainWindow_ = WindowHandle(form);
    // Another window of the program that stays on top.
    topmostWindow_ =
        CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0,
                        20, 20, nullptr, nullptr, nullptr, nullptr);
    ready_ = true;
    while (!quit_) {
      application.ProcessMessages();
      if (pending_) {
        action_(application, form);
        pending_ = false;
      }
      application.WaitForMessage(20);
    }
    DestroyWindow(topmostWindow_);
  }

  std::atomic<bool> ready_{false};
  std::atomic<bool> quit_{false};
  std::atomic<bool> pending_{false};
  std::function<void(TApplication&, TAnimatedWindow&)> action_;
  std::atomic<int> minimizeEvents_{0};
  std::string titleAtEvent_;
  HWND mainWindow_ = nullptr;
  HWND applicationWindow_ = nullptr;
  HWND topmostWindow_ = nullptr;
  LONG_PTR applicationProcedureBefore_ = 0;
  std::thread thread_;
};

class VelmoraAnimate : public ::testing::Test {
protected:
  VelmoraAnimate() {
    sounds.OnPlay = [this](const FakeSounds::Played&) {
      titlesAtSound.push_back(Text(program.ApplicationWindow()));
    };
  }
  void SetUp() override {
    ASSERT_TRUE(program.Ready());
    ASSERT_NE(program.MainWindow(), nullptr);
    ASSERT_TRUE(IsWindowVisible(program.MainWindow()));
  }
  void Command(HWND window, WPARAM command) { SendMessageA(window, WM_SYSCOMMAND, command, 0); }
  std::vector<std::string> SoundNames() const {
    std::vector<std::string> names;
    for (const auto& played : sounds.Sounds) {
      EXPECT_EQ(played.Flags, 0x10003u) << played.Name;
      names.push_back(played.Name);
    }
    return names;
  }

  FakeSounds sounds;
  std::vector<std::string> titlesAtSound;
  TAnimatedProgram program;
};

TEST_F(VelmoraAnimate, CaptionMinimiseThenTaskbarRestore) {
  HWND main = program.MainWindow();
  HWND application = program.ApplicationWindow();
  ASSERT_TRUE(GetWindowLongPtrA(program.TopmostWindow(), GWL_EXSTYLE) & WS_EX_TOPMOST);
  RECT mainBounds = {};
  GetWindowRect(main, &mainBounds);
  Command(main, SC_MINIMIZE);
  // The application window carries the minimise. Windows then hides the
  // windows it owns; Wine 8 leaves them shown, so that is not checked here.
  EXPECT_TRUE(IsIconic(application));
  EXPECT_FALSE(IsIconic(main));
  WINDOWPLACEMENT placement = {};
  placement.length = sizeof placement;
  GetWindowPlacement(application, &placement);
  EXPECT_TRUE(EqualRect(&placement.rcNormalPosition, &mainBounds))
      << "the animation starts from the main window's rectangle";
  EXPECT_FALSE(GetWindowLongPtrA(program.TopmostWindow(), GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_EQ(program.MinimizeEvents(), 1);
  EXPECT_EQ(SoundNames(), (std::vector<std::string>{"Minimize"}));
  EXPECT_EQ(titlesAtSound, (std::vector<std::string>{kCaption})) << "the caption on the button";
  EXPECT_EQ(Text(application), kTitle);
  EXPECT_EQ(program.TitleAtEvent(), kTitle);

  Command(application, SC_RESTORE);
  EXPECT_TRUE(IsWindowVisible(main));
  EXPECT_FALSE(IsIconic(application));
  EXPECT_EQ(SoundNames(), (std::vector<std::string>{"Minimize", "RestoreUp"}));
  const int half = GetSystemMetrics(SM_CXSCREEN) / 2;
  RECT parked = {};
  GetWindowRect(application, &parked);
  EXPECT_EQ(parked.left, half);
  EXPECT_EQ(parked.top, half) << "the width, not the height, on both axes";
  EXPECT_EQ(parked.right, half);
  EXPECT_EQ(parked.bottom, half);
  EXPECT_EQ(program.MinimizeEvents(), 1);
}

TEST_F(VelmoraAnimate, FrameworkRestoreAfterTheAnimationLeavesNoSizedApplicationWindow) {
  HWND application = program.ApplicationWindow();
  Command(program.MainWindow(), SC_MINIMIZE);
  ASSERT_TRUE(IsIconic(application));
  // As the tray's "open" command restores the program.
  bool minimized = false;
  program.Invoke([&minimized](TApplication& app, TAnimatedWindow&) {
    minimized = app.Minimized();
    app.Restore();
  });
  EXPECT_TRUE(minimized) << "the toolkit knows of the component's minimise";
  EXPECT_TRUE(IsWindowVisible(program.MainWindow()));
  EXPECT_FALSE(IsIconic(application));
  RECT bounds = {};
  GetWindowRect(application, &bounds);
  EXPECT_TRUE(IsRectEmpty(&bounds))
      << bounds.left << "," << bounds.top << "," << bounds.right << "," << bounds.bottom;
}

TEST_F(VelmoraAnimate, TaskbarMinimiseGoesTheFrameworksWay) {
  HWND application = program.ApplicationWindow();
  Command(application, SC_MINIMIZE);
  EXPECT_TRUE(IsIconic(application));
  EXPECT_FALSE(IsIconic(program.MainWindow()));
  EXPECT_EQ(SoundNames(), (std::vector<std::string>{"Minimize"}));
  EXPECT_EQ(program.MinimizeEvents(), 1);
  EXPECT_EQ(Text(application), kTitle);
}

TEST_F(VelmoraAnimate, DestructionPutsThePreviousProceduresBack) {
  HWND main = program.MainWindow();
  HWND application = program.ApplicationWindow();
  const LONG_PTR mainBefore = GetClassLongPtrA(main, GCLP_WNDPROC);
  EXPECT_NE(Procedure(main), mainBefore);
  EXPECT_NE(Procedure(application), program.ApplicationProcedureBefore());

  program.Invoke([](TApplication&, TAnimatedWindow& form) { form.AnimateForm1.reset(); });
  EXPECT_EQ(Procedure(main), mainBefore);
  EXPECT_EQ(Procedure(application), program.ApplicationProcedureBefore());

  // The toolkit's own minimise, without sound.
  Command(main, SC_MINIMIZE);
  EXPECT_TRUE(IsIconic(application));
  EXPECT_EQ(program.MinimizeEvents(), 1);
  EXPECT_TRUE(sounds.Sounds.empty());
}

} // namespace
