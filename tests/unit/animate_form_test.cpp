#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "clock/SysCtrls/TAnimateForm.h"
#include "tests/unit/FakeSounds.h"
#include "tests/unit/FakeWindowPlacement.h"

namespace {

const unsigned kEraseBackground = 0x0014;
const unsigned kPaint = 0x000F;
const unsigned kSysCommand = 0x0112;
const std::uintptr_t kMinimize = 0xF020;
const std::uintptr_t kRestore = 0xF120;

// Everything the minimise and restore paths do, in one list.
std::vector<std::string>* eventLog = nullptr;
void Log(const std::string& event) {
  if (eventLog)
    eventLog->push_back(event);
}

class TLoggingBackend : public THeadlessBackend {
public:
  void SetTitle(const std::string& title) override {
    Log("title " + title);
    THeadlessBackend::SetTitle(title);
  }
  void NormalizeTopMosts() override { Log("normalize topmost"); }
};

class TAnimatedForm : public TForm {
public:
  TAnimatedForm() : TForm("Form1"), AnimateForm1(this) {
    SetText("Velmora Ver1.32");
    SetBounds(192, 109, 324, 445);
  }
  const char* ClassName() const override { return "TAnimatedForm"; }
  TAnimateForm AnimateForm1;

protected:
  void WndProc(TMessage& message) override {
    Log("form message " + std::to_string(message.Msg) + " " + std::to_string(message.WParam));
    TForm::WndProc(message);
  }
};

class TSecondForm : public TForm {
public:
  TSecondForm() : TForm("Form2"), AnimateForm1(this) {}
  const char* ClassName() const override { return "TSecondForm"; }
  TAnimateForm AnimateForm1;
};

class TPlainForm : public TForm {
public:
  TPlainForm() : TForm("Form3"), Button(*this, "Button1"), Timer(*this, "Timer1") {}
  const char* ClassName() const override { return "TPlainForm"; }
  TButton Button;
  TTimer Timer;
};

std::string CreationError(const std::function<void()>& create) {
  try {
    create();
  } catch (const EAnimateFormError& error) {
    return error.Message;
  }
  return "(created)";
}

TEST(AnimateFormCreation, OwnerMustBeTheFormThatBecomesTheMainForm) {
  THeadlessBackend backend;
  TApplication application(backend);
  TPlainForm plain;
  const char kNotAForm[] = "Owner must be a form";
  const char kNotMain[] = "AnimateForm muse be placed in a main form";
  EXPECT_EQ(CreationError([&] { TAnimateForm component(&plain.Button); }), kNotAForm);
  EXPECT_EQ(CreationError([&] { TAnimateForm component(&plain.Timer); }), kNotAForm);
  EXPECT_EQ(CreationError([&] { TAnimateForm component(nullptr); }), kNotAForm);
  EXPECT_TRUE(plain.Components().size() == 2) << "a refused component does not join the form";

  TAnimatedForm* main = nullptr;
  EXPECT_EQ(CreationError([&] { main = &application.CreateForm<TAnimatedForm>(); }), "(created)");
  ASSERT_EQ(application.MainForm(), main);
  EXPECT_EQ(main->FindComponent("AnimateForm1"), &main->AnimateForm1);

  // Every form after the main one, and a component added to the main form
  // later on, fail; the second form is not created at all.
  EXPECT_EQ(CreationError([&] { application.CreateForm<TSecondForm>(); }), kNotMain);
  EXPECT_EQ(CreationError([&] { TAnimateForm late(main, "AnimateForm2"); }), kNotMain);
  EXPECT_EQ(CreationError([&] { TAnimateForm other(&plain); }), kNotMain);
  EXPECT_EQ(application.MainForm(), main);
}

class AnimateForm : public ::testing::Test {
protected:
  AnimateForm() {
    eventLog = &log;
    application.SetTitle("Velmora");
    form.AnimateForm1.SetWindows(&mainWindow, &applicationWindow);
    windows.Name = [this](platform::WindowHandle window) -> std::string {
      if (window == &applicationWindow)
        return "application";
      return window == &mainWindow ? "main" : "?";
    };
    windows.OnCall = Log;
    sounds.OnPlay = [](const FakeSounds::Played& played) {
      Log("sound " + played.Name + " " + std::to_string(played.Flags));
    };
    application.OnMinimize = [this](TObject*) {
      Log("minimize event, title " + application.Title());
    };
    application.OnRestore = [](TObject*) { Log("restore event"); };
    log.clear();
  }
  ~AnimateForm() override { eventLog = nullptr; }

  // Hands the message to one of the two windows' procedures.
  bool Send(bool (TAnimateForm::*window)(TMessage&), unsigned msg, std::uintptr_t wParam,
            std::intptr_t* result = nullptr) {
    TMessage message{msg, wParam, 0, -7};
    bool handled = (form.AnimateForm1.*window)(message);
    if (result)
      *result = message.Result;
    return handled;
  }
  bool ToMain(unsigned msg, std::uintptr_t wParam, std::intptr_t* result = nullptr) {
    return Send(&TAnimateForm::MainWindowMessage, msg, wParam, result);
  }
  bool ToApplication(unsigned msg, std::uintptr_t wParam, std::intptr_t* result = nullptr) {
    return Send(&TAnimateForm::ApplicationWindowMessage, msg, wParam, result);
  }

  std::vector<std::string> log;
  int mainWindow = 0;
  int applicationWindow = 0;
  FakeSounds sounds;
  FakeWindowPlacement windows;
  TLoggingBackend backend;
  TApplication application{backend};
  TAnimatedForm& form = application.CreateForm<TAnimatedForm>();
};

const std::string kMinimizeSound = "sound Minimize 65539";

TEST_F(AnimateForm, MinimiseFromTheMainWindowAnimatesFromItsRectangle) {
  std::intptr_t result = -1;
  ASSERT_TRUE(ToMain(kSysCommand, kMinimize, &result));
  EXPECT_EQ(result, 0);
  EXPECT_EQ(log, (std::vector<std::string>{
                     "title Velmora Ver1.32",
                     "normalize topmost",
                     "activate application",
                     "move application 192,109,324,445 repaint",
                     kMinimizeSound,
                     "show application 6",
                     "title Velmora",
                     "minimize event, title Velmora",
                 }));
  EXPECT_EQ(backend.MinimizeCalls, 0) << "the component minimises, not the framework";
  EXPECT_TRUE(application.Minimized()) << "the framework knows, so that its Restore works";

  log.clear();
  application.Restore();
  EXPECT_EQ(backend.RestoreCalls, 1);
  EXPECT_EQ(log, (std::vector<std::string>{"restore event"}));
}

TEST_F(AnimateForm, MinimiseWithoutAnEventHandlerStillPutsTheTitleBack) {
  application.OnMinimize = nullptr;
  ASSERT_TRUE(ToMain(kSysCommand, kMinimize));
  EXPECT_EQ(application.Title(), "Velmora");
  EXPECT_EQ(log.back(), "title Velmora");
}

TEST_F(AnimateForm, RestoreFromTheTaskbarParksTheApplicationWindowAtHalfTheWidth) {
  application.Minimize();
  ASSERT_TRUE(application.Minimized());
  // An odd width: halved toward zero, and used for both axes.
  windows.ScreenWidthPixels = 1281;
  log.clear();
  std::intptr_t result = -1;
  ASSERT_TRUE(ToApplication(kSysCommand, kRestore, &result));
  EXPECT_EQ(result, 1);
  EXPECT_EQ(log, (std::vector<std::string>{
                     "sound RestoreUp 65539",
                     "activate application",
                     "show application 9",
                     "move application 640,640,0,0 no repaint",
                 }));
  EXPECT_FALSE(application.Minimized());
  EXPECT_EQ(backend.RestoreCalls, 0) << "not passed on to the framework";
}

TEST_F(AnimateForm, MinimiseFromTheTaskbarGoesToTheFormsOwnHandling) {
  std::intptr_t result = -1;
  ASSERT_TRUE(ToApplication(kSysCommand, kMinimize, &result));
  EXPECT_EQ(result, 0);
  EXPECT_EQ(log,
            (std::vector<std::string>{
                kMinimizeSound,
                "form message " + std::to_string(kSysCommand) + " " + std::to_string(kMinimize),
            }));
}

TEST_F(AnimateForm, ApplicationWindowAnswersEraseBackgroundItself) {
  std::intptr_t result = -1;
  ASSERT_TRUE(ToApplication(kEraseBackground, 0, &result));
  EXPECT_EQ(result, 1);
  EXPECT_TRUE(log.empty());
}

TEST_F(AnimateForm, EveryOtherMessageGoesToThePreviousProcedure) {
  struct Case {
    unsigned Msg;
    std::uintptr_t WParam;
  };
  // Commands are compared whole, without masking the low four bits.
  const Case mainCases[] = {{kSysCommand, kMinimize | 2},
                            {kSysCommand, kRestore},
                            {kSysCommand, 0xF060},
                            {kEraseBackground, 0},
                            {kPaint, 0},
                            {0x0400, kMinimize}};
  for (const Case& c : mainCases)
    EXPECT_FALSE(ToMain(c.Msg, c.WParam)) << c.Msg << " " << c.WParam;
  const Case applicationCases[] = {{kSysCommand, kMinimize | 1},
                                   {kSysCommand, kRestore | 2},
                                   {kSysCommand, 0xF060},
                                   {kSysCommand, 0xF030},
                                   {kPaint, 0},
                                   {0x0400, kRestore}};
  for (const Case& c : applicationCases)
    EXPECT_FALSE(ToApplication(c.Msg, c.WParam)) << c.Msg << " " << c.WParam;
  EXPECT_TRUE(log.empty());
  EXPECT_TRUE(sounds.Sounds.empty());
}

TEST_F(AnimateForm, AnErrorInTheMinimiseEventIsReportedAndTheMessageStaysHandled) {
  application.OnMinimize = [](TObject*) { throw Exception("boom"); };
  ASSERT_TRUE(ToMain(kSysCommand, kMinimize));
  ASSERT_EQ(backend.Shown.size(), 1u);
  EXPECT_EQ(backend.Shown[0].Text, "boom.");
  EXPECT_EQ(application.Title(), "Velmora");
}

} // namespace
