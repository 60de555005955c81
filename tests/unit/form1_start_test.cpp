#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "clock/HTTPDem.h"
#include "tests/unit/Form1Platform.h"

namespace {

using form1test::kServerList;
using form1test::kSetIni;
using TLog = std::vector<std::string>;

// One start of the program, with a log of the messages it pumped, the waits
// it made and the update it ran.
struct TRun {
  TRun() {
    backend.OnProcessMessages = [this] {
      Log.push_back("messages");
      // A wait that spins instead of waiting ends, and fails, rather than hang.
      if (Log.size() > 1000)
        os.Clock.Ticks += 30000;
    };
    backend.OnWaitForMessage = [this](unsigned milliseconds) {
      Log.push_back("wait " + std::to_string(milliseconds));
      os.Clock.Ticks += std::min(milliseconds, WakeAfter);
    };
  }

  TLog Log;
  // A wait ends early after this long, as when a message comes.
  unsigned WakeAfter = 0xFFFFFFFF;
  form1test::TForm1Platform os;
  THeadlessBackend backend;
  TApplication application{backend};
};

TRun* run = nullptr;

// The main window with a stand-in for the update, which notes when it ran
// and what the window was like then: these tests are about the start-up.
class TProbedForm1 : public TForm1 {
public:
  TProbedForm1() : TProbedForm1(diTerminate) {}

protected:
  explicit TProbedForm1(TDupInstAction duplicateAction) : TForm1(duplicateAction) {
    Button1.OnClick = [this](TObject*) {
      run->Log.push_back("update at " + std::to_string(run->os.Clock.Ticks) +
                         (Visible() ? " shown" : " hidden") + (StartupMode ? " startup" : ""));
    };
    TNotifyEvent create = OnCreate;
    OnCreate = [this, create](TObject* Sender) {
      run->Log.push_back(Application().Terminated() ? "create after a terminate request"
                                                    : "create");
      create(Sender);
    };
  }
};

class TRaisingForm1 : public TProbedForm1 {
public:
  TRaisingForm1() : TProbedForm1(diException) {}
};

class TActivatingForm1 : public TProbedForm1 {
public:
  TActivatingForm1() : TProbedForm1(diActivateFirst) {}
};

class Form1Start : public ::testing::Test {
protected:
  Form1Start() { run = &r; }
  ~Form1Start() override { run = nullptr; }

  template <class TForm = TProbedForm1> TForm& Create(const char* setIni = nullptr) {
    if (setIni)
      r.os.Profiles.Files[kSetIni] = setIni;
    return r.application.CreateForm<TForm>();
  }

  std::string Shown() const {
    std::string shown;
    for (const THeadlessBackend::TShown& entry : r.backend.Shown)
      shown += (entry.Kind == THeadlessBackend::TKind::Error ? "error " : "message ") +
               entry.Caption + ": " + entry.Text + "\n";
    return shown;
  }

  TRun r;
};

TEST_F(Form1Start, FormCreateSetsTitlesAndMinimiseHandlerThenShowsTheClock) {
  TForm1& form = Create("[Set]\r\nServer=On\r\n");
  EXPECT_EQ(r.application.Title(), "Velmora Ver1.32");
  EXPECT_EQ(r.backend.Title, "Velmora Ver1.32");
  EXPECT_EQ(form.TrayTipText, "Velmora Ver1.32");
  EXPECT_EQ(form.Text(), "Velmora Ver1.32");
  EXPECT_EQ(Shown(), "");
  EXPECT_EQ(form.Label1.Text(), "2026/12/10");
  EXPECT_EQ(form.Label4.Text(), "12:34:56");
  EXPECT_TRUE(form.Visible());
  EXPECT_FALSE(form.StartupMode);
  EXPECT_EQ(r.Log, (TLog{"create"}));

  // Resident: minimising leaves only the tray icon.
  r.application.Minimize();
  EXPECT_FALSE(r.backend.TaskbarEntryVisible);
}

TEST_F(Form1Start, SummerTimeOptionOnThe95FamilyOnly) {
  struct {
    std::optional<uint32_t> platformId;
    bool enabled;
  } cases[] = {{0u, true}, {1u, true}, {2u, false}, {std::nullopt, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.platformId ? std::to_string(*c.platformId) : "query failed");
    TRun fresh;
    run = &fresh;
    fresh.os.System.PlatformId = c.platformId;
    fresh.os.Profiles.Files[kSetIni] = "[Set]\r\nSummer=On\r\n";
    TForm1& form = fresh.application.CreateForm<TProbedForm1>();
    EXPECT_EQ(form.CheckBox3.Enabled(), c.enabled);
    EXPECT_TRUE(form.CheckBox3.Checked()) << "the stored mark shows on NT too";
  }
}

TEST_F(Form1Start, StartupModeByTheFirstArgumentOnly) {
  struct {
    std::vector<std::string> arguments;
    bool startup;
  } cases[] = {{{}, false},          {{"-s"}, true},   {{"-S"}, true},
               {{"x", "-s"}, false}, {{"-sx"}, false}, {{"/s"}, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.arguments.empty() ? "none" : c.arguments[0]);
    TRun fresh;
    run = &fresh;
    fresh.os.CommandLine.Given = c.arguments;
    TForm1& form = fresh.application.CreateForm<TProbedForm1>();
    EXPECT_EQ(form.StartupMode, c.startup);
    EXPECT_EQ(form.Visible(), !c.startup);
    const TLog expected = c.startup ? TLog{"create", "update at 0 hidden startup"} : TLog{"create"};
    EXPECT_EQ(fresh.Log, expected);
  }
}

TEST_F(Form1Start, StartupModeResidentStaysInTheTray) {
  r.os.CommandLine.Given = {"-s"};
  TForm1& form = Create("[Set]\r\nServer=On\r\n");
  EXPECT_EQ(r.Log, (TLog{"create", "update at 0 hidden startup"}));
  EXPECT_FALSE(form.Timer1.Enabled());
  EXPECT_TRUE(form.Visible());
  EXPECT_FALSE(form.Showing()) << "only the tray icon is left";
  EXPECT_TRUE(r.application.Minimized());
  EXPECT_EQ(r.backend.MinimizeCalls, 1);
  EXPECT_FALSE(r.backend.TaskbarEntryVisible);
  EXPECT_EQ(r.os.Tray.Icons.size(), 1u);

  form.Open1.UserClick();
  EXPECT_TRUE(form.Showing());
  EXPECT_TRUE(form.Timer1.Enabled());
}

TEST_F(Form1Start, DelayedStartupWaitsForMessagesAndKeepsItsTime) {
  r.os.CommandLine.Given = {"-s"};
  // The tick counter wraps during the wait.
  r.os.Clock.Ticks = 0xFFFFFFFFu - 9999;
  r.WakeAfter = 7000;
  Create("[Set]\r\nWait=On\r\n");
  EXPECT_EQ(r.Log, (TLog{"create", "messages", "wait 30000", "messages", "wait 23000", "messages",
                         "wait 16000", "messages", "wait 9000", "messages", "wait 2000", "messages",
                         "update at 20000 hidden startup"}));
}

TEST_F(Form1Start, AnErrorInFormCreateSkipsTheStepsAfterIt) {
  r.os.Files.Files.erase(kServerList);
  r.os.System.PlatformId = 1u;
  r.os.CommandLine.Given = {"-s"};
  TForm1& form = Create("[Set]\r\nSummer=On\r\nWait=On\r\n");
  EXPECT_EQ(Shown(), "error Velmora Ver1.32: ファイル C:\\Velmora\\ServerList.txt は開けません.\n");
  EXPECT_EQ(r.Log, (TLog{"create"})) << "no delay, no update";
  EXPECT_FALSE(form.StartupMode);
  EXPECT_TRUE(form.Visible());
  EXPECT_FALSE(form.CheckBox3.Enabled());
  EXPECT_TRUE(form.CheckBox3.Checked()) << "the load itself went on";
  EXPECT_TRUE(form.CheckBox4.Checked());
  EXPECT_EQ(form.Label1.Text(), "") << "the clock fills at the first tick";
}

TEST_F(Form1Start, FirstCopyHoldsTheMutex) {
  Create();
  EXPECT_EQ(r.os.Mutexes.HeldHere.count("Ident1684"), 1u);
  EXPECT_FALSE(r.application.Terminated());
}

TEST_F(Form1Start, SecondCopyEndsQuietlyAfterFormCreate) {
  r.os.Mutexes.HeldElsewhere.insert("Ident1684");
  r.os.CommandLine.Given = {"-s"};
  TForm1& form = Create("[Set]\r\nServer=On\r\n");
  // The request is made before FormCreate, which still runs to its end.
  EXPECT_EQ(r.Log, (TLog{"create after a terminate request", "update at 0 hidden startup"}));
  EXPECT_EQ(form.Label1.Text(), "2026/12/10");
  EXPECT_EQ(Shown(), "");
  EXPECT_TRUE(r.os.Mutexes.HeldHere.empty());
  EXPECT_EQ(r.os.Tray.Icons.size(), 1u);
  r.application.Run();
  EXPECT_EQ(r.os.Profiles.Files.count(kSetIni), 1u);
  EXPECT_EQ(r.os.Profiles.Files[kSetIni], "[Set]\r\nServer=On\r\n") << "no position saved";
  EXPECT_TRUE(r.os.Tray.Icons.empty()) << "FormDestroy removes the icon";
}

TEST_F(Form1Start, SecondCopyRaisingLeavesTheWindowUnmade) {
  r.os.Mutexes.HeldElsewhere.insert("Ident1684");
  try {
    Create<TRaisingForm1>();
    ADD_FAILURE() << "the window was made";
  } catch (const EMultiAppInstance& error) {
    EXPECT_STREQ(error.what(), "すでに起動されています");
  }
  EXPECT_TRUE(r.Log.empty()) << "FormCreate ran";
  EXPECT_EQ(r.application.MainForm(), nullptr);
  EXPECT_FALSE(r.application.Terminated());
}

TEST_F(Form1Start, SecondCopyActivatingTheFirstFindsItsApplicationWindow) {
  auto handle = [](uintptr_t n) { return reinterpret_cast<platform::WindowHandle>(n); };
  struct {
    const char* className;
    const char* text;
    bool broughtForward;
  } cases[] = {{"TApplication", "Velmora", true},
               {"tapplication", "VELMORA", true},
               {"TApplication", "Velmora Ver1.32", false},
               {"TForm1", "Velmora", false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.className) + " " + c.text);
    TRun fresh;
    run = &fresh;
    fresh.os.Mutexes.HeldElsewhere.insert("Ident1684");
    fresh.os.Desktop.Windows = {{handle(1), "Shell_TrayWnd", "", nullptr},
                                {handle(2), c.className, c.text, handle(22)}};
    fresh.application.CreateForm<TActivatingForm1>();
    EXPECT_TRUE(fresh.application.Terminated());
    fresh.application.Run();
    TSingleInstance::ActivateFirstInstance();
    EXPECT_EQ(fresh.os.Desktop.Foreground, c.broughtForward
                                               ? std::vector<platform::WindowHandle>{handle(22)}
                                               : std::vector<platform::WindowHandle>{});
  }
}

TEST_F(Form1Start, ClosingSavesThePositionEndingOnRequestDoesNot) {
  {
    TRun closing;
    run = &closing;
    TForm1& form = closing.application.CreateForm<TProbedForm1>();
    form.UserBounds(300, 200, form.Width(), form.Height());
    form.UserClose();
    EXPECT_TRUE(closing.application.Terminated());
    EXPECT_EQ(closing.os.Profiles.Files[kSetIni], "[Position]\r\nTop=200\r\nLeft=300\r\n");
  }
  {
    TRun ending;
    run = &ending;
    ending.os.Profiles.Files[kSetIni] = "[Set]\r\nServer=On\r\n";
    TForm1& form = ending.application.CreateForm<TProbedForm1>();
    form.UserBounds(300, 200, form.Width(), form.Height());
    EXPECT_EQ(ending.os.Tray.Icons.size(), 1u);
    ending.application.Terminate();
    ending.application.Run();
    EXPECT_EQ(ending.os.Profiles.Files[kSetIni], "[Set]\r\nServer=On\r\n");
    EXPECT_TRUE(ending.os.Tray.Icons.empty()) << "FormDestroy removes the icon";
  }
  {
    TRun refused;
    run = &refused;
    refused.os.Profiles.Unwritable.insert(kSetIni);
    TForm1& form = refused.application.CreateForm<TProbedForm1>();
    form.UserClose();
    EXPECT_FALSE(refused.application.Terminated()) << "the window stays open";
    ASSERT_EQ(refused.backend.Shown.size(), 1u);
    EXPECT_EQ(refused.backend.Shown[0].Text, "C:\\Velmora\\Set.ini に書き込めません.");
  }
}

} // namespace
