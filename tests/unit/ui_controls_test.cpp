#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "clock/Exceptions.h"
#include "clock/ui/Forms.h"

namespace {

class TTestForm : public TForm {
public:
  TTestForm()
      : TForm("TestForm"), Box(*this, "Box"), Button(*this, "Button"), Edit(*this, "Edit"),
        Combo(*this, "Combo"), UpDown(*this, "UpDown"), Timer(*this, "Timer") {
    UpDown.Associate = &Edit;
  }
  const char* ClassName() const override { return "TTestForm"; }

  TCheckBox Box;
  TButton Button;
  TEdit Edit;
  TComboBox Combo;
  TUpDown UpDown;
  TTimer Timer;
};

class UiControls : public ::testing::Test {
protected:
  THeadlessBackend backend;
  TApplication application{backend};
  TTestForm& form = application.CreateForm<TTestForm>();

  std::vector<std::string> Errors() const {
    std::vector<std::string> texts;
    for (const auto& shown : backend.Shown)
      if (shown.Kind == THeadlessBackend::TKind::Error)
        texts.push_back(shown.Text);
    return texts;
  }
};

TEST_F(UiControls, CheckedFromCodeRunsOnClickOnlyOnChange) {
  std::vector<bool> seen;
  form.Box.OnClick = [&](TObject* sender) {
    EXPECT_EQ(sender, &form.Box);
    seen.push_back(form.Box.Checked());
  };
  form.Box.SetChecked(false);
  form.Box.SetChecked(true);
  form.Box.SetChecked(true);
  form.Box.SetChecked(false);
  form.Box.UserClick();
  EXPECT_EQ(seen, (std::vector<bool>{true, false, true}));
}

TEST_F(UiControls, ErrorFromCodePropagatesAndFromUserIsReported) {
  form.Box.OnClick = [](TObject*) { throw EConvertError("'x' は整数ではありません"); };
  EXPECT_THROW(form.Box.SetChecked(true), EConvertError);
  EXPECT_TRUE(form.Box.Checked()) << "the mark stays set, as the handler saw it";
  EXPECT_TRUE(Errors().empty());

  form.Box.UserClick();
  ASSERT_EQ(Errors(), (std::vector<std::string>{"'x' は整数ではありません."}));
  EXPECT_FALSE(form.Box.Checked());

  // The program carries on: the next event runs normally.
  int clicks = 0;
  form.Button.OnClick = [&](TObject*) { ++clicks; };
  form.Button.UserClick();
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(Errors().size(), 1u);
}

TEST_F(UiControls, EveryDispatchPointReportsWithTheTitleAsCaption) {
  application.SetTitle("Velmora Ver1.32");
  auto fail = [](TObject*) { throw Exception("boom"); };
  form.Button.OnClick = fail;
  form.Edit.OnExit = fail;
  form.Timer.OnTimer = fail;
  form.Combo.OnChange = fail;
  form.Button.UserClick();
  form.Edit.UserExit();
  form.Timer.Tick();
  form.Combo.UserText("x");
  ASSERT_EQ(Errors(), std::vector<std::string>(4, "boom."));
  for (const auto& shown : backend.Shown)
    EXPECT_EQ(shown.Caption, "Velmora Ver1.32");
}

TEST(UiErrorReport, AppendsAPeriodWhenTheLastByteSortsAfterIt) {
  struct Case {
    std::string text;
    std::string shown;
  } cases[] = {
      {"ファイル C:\\a\\ServerList.txt は開けません",
       "ファイル C:\\a\\ServerList.txt は開けません."},
      {"時刻更新は失敗しました。", "時刻更新は失敗しました。."},
      {"HTTP/1.1 404 Not Found", "HTTP/1.1 404 Not Found."},
      {"Socket Error # 10061", "Socket Error # 10061."},
      {"Connection closed gracefully.", "Connection closed gracefully."},
      {"Read timed out (10060)", "Read timed out (10060)"},
      {"a-", "a-"},
      {"a/", "a/."},
      {"", ""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ErrorReportText(c.text), c.shown) << c.text;
}

TEST_F(UiControls, TimerRestartsItsCountOnlyOnARealChange) {
  int ticks = 0;
  form.Timer.OnTimer = [&](TObject*) { ++ticks; };
  form.Timer.SetInterval(1000);
  form.Timer.SetEnabled(true);

  form.Timer.Elapse(600);
  form.Timer.SetEnabled(true); // running already: the count goes on
  form.Timer.SetInterval(1000);
  form.Timer.Elapse(400);
  EXPECT_EQ(ticks, 1);

  form.Timer.Elapse(600);
  form.Timer.SetInterval(2000); // another interval: from zero
  form.Timer.Elapse(1999);
  EXPECT_EQ(ticks, 1);
  form.Timer.Elapse(1);
  EXPECT_EQ(ticks, 2);

  form.Timer.Elapse(1500);
  form.Timer.SetEnabled(false);
  form.Timer.Elapse(5000);
  EXPECT_EQ(ticks, 2);
  form.Timer.SetEnabled(true); // started again: from zero
  form.Timer.Elapse(1999);
  EXPECT_EQ(ticks, 2);
  form.Timer.Elapse(4001);
  EXPECT_EQ(ticks, 5);

  form.Timer.SetInterval(0);
  form.Timer.Elapse(10000);
  EXPECT_EQ(ticks, 5);
}

TEST_F(UiControls, TimerStoppedByItsOwnTickTicksNoMore) {
  int ticks = 0;
  form.Timer.SetInterval(100);
  form.Timer.OnTimer = [&](TObject*) {
    ++ticks;
    form.Timer.SetEnabled(false);
  };
  form.Timer.Elapse(1000);
  EXPECT_EQ(ticks, 1);
}

TEST_F(UiControls, ComboBoxIndexAndText) {
  TComboBox& combo = form.Combo;
  int changes = 0;
  combo.OnChange = [&](TObject*) { ++changes; };

  combo.SetItems({"1.1", "1.0"});
  combo.SetText("1.1");
  EXPECT_EQ(combo.ItemIndex(), -1) << "a drop-down box's text selects nothing";
  EXPECT_EQ(combo.Text(), "1.1");

  combo.SetItemIndex(1);
  EXPECT_EQ(combo.Text(), "1.0");
  combo.SetItemIndex(2);
  EXPECT_EQ(combo.ItemIndex(), -1);
  EXPECT_EQ(combo.Text(), "");
  EXPECT_EQ(changes, 0) << "changes from code raise no OnChange";

  combo.UserSelect(0);
  EXPECT_EQ(combo.ItemIndex(), 0);
  EXPECT_EQ(combo.Text(), "1.1");
  combo.UserText("1.0");
  EXPECT_EQ(combo.ItemIndex(), -1) << "typed text is no selection, even of an item's text";
  EXPECT_EQ(combo.Text(), "1.0");
  EXPECT_EQ(changes, 2);

  combo.Style = TComboBoxStyle::DropDownList;
  combo.SetText("1.0");
  EXPECT_EQ(combo.ItemIndex(), 1);
  combo.SetText("2.0");
  EXPECT_EQ(combo.ItemIndex(), -1);
  EXPECT_EQ(combo.Text(), "");
  combo.SetItemIndex(0);
  combo.SetItems({"a.example", "b.example"});
  EXPECT_EQ(combo.ItemIndex(), -1);
  EXPECT_EQ(combo.Text(), "");
}

TEST_F(UiControls, UpDownKeepsItsRangeAndShowsThePositionInTheField) {
  form.UpDown.SetRange(1, 168);
  form.UpDown.SetPosition(8);
  EXPECT_EQ(form.Edit.Text(), "8");
  form.UpDown.SetPosition(169);
  EXPECT_EQ(form.UpDown.Position(), 168);
  EXPECT_EQ(form.Edit.Text(), "168");
  form.UpDown.SetPosition(0);
  EXPECT_EQ(form.UpDown.Position(), 1);
  EXPECT_EQ(form.Edit.Text(), "1");
}

TEST_F(UiControls, EditReportsUserTextAndExit) {
  std::vector<std::string> events;
  form.Edit.OnChange = [&](TObject*) { events.push_back("change " + form.Edit.Text()); };
  form.Edit.OnExit = [&](TObject*) { events.push_back("exit " + form.Edit.Text()); };
  form.Edit.UserText("16");
  form.Edit.UserText("16");
  form.Edit.UserExit();
  form.Edit.SetText("8");
  EXPECT_EQ(events, (std::vector<std::string>{"change 16", "exit 16", "change 8"}));
}

// The exit event follows the form's focused control: it runs when the
// focus goes from the field to another control of the form, and not when
// the focus leaves the form (another program, a message, a menu) or comes
// back to the field.
TEST_F(UiControls, ExitRunsWhenTheFocusGoesToAnotherControlOfTheForm) {
  int exits = 0;
  form.Edit.OnExit = [&](TObject*) { ++exits; };
  form.UserFocused(form.Edit);
  form.UserFocused(form.Edit);
  EXPECT_EQ(exits, 0);
  form.UserFocused(form.Button);
  EXPECT_EQ(exits, 1);
  EXPECT_EQ(form.ActiveControl(), &form.Button);
  form.UserFocused(form.Edit);
  // The focus leaves the form and comes back to the field.
  form.UserFocused(form.Edit);
  EXPECT_EQ(exits, 1);
  form.UserFocused(form.Combo);
  EXPECT_EQ(exits, 2);
}

// The main form is off the screen while the program is minimised, however
// the minimise came, and back when it is restored; a hidden form stays
// hidden.
TEST_F(UiControls, MainFormShowsOnlyWhileTheProgramIsNotMinimised) {
  form.Show();
  EXPECT_TRUE(form.Showing());
  application.Minimize();
  EXPECT_FALSE(form.Showing());
  EXPECT_TRUE(form.Visible());
  application.Restore();
  EXPECT_TRUE(form.Showing());
  application.UserMinimized(true);
  EXPECT_FALSE(form.Showing());
  application.UserMinimized(false);
  EXPECT_TRUE(form.Showing());
  form.Hide();
  EXPECT_FALSE(form.Showing());
}

class TLifeForm : public TForm {
public:
  TLifeForm() : TForm("LifeForm") { SetVisible(true); }
  const char* ClassName() const override { return "TLifeForm"; }
  static std::vector<std::string>* Log;
};
std::vector<std::string>* TLifeForm::Log = nullptr;

class TFailingForm : public TLifeForm {
public:
  TFailingForm() {
    OnCreate = [](TObject*) {
      Log->push_back("create");
      throw Exception("ファイル Set.ini は開けません");
    };
    OnDestroy = [](TObject*) { Log->push_back("destroy"); };
  }
};

TEST(UiApplication, ErrorInOnCreateIsReportedAndTheFormStillShows) {
  std::vector<std::string> log;
  TLifeForm::Log = &log;
  THeadlessBackend backend;
  {
    TApplication application(backend);
    application.SetTitle("Velmora");
    application.ShowMainForm = false;
    TFailingForm& form = application.CreateForm<TFailingForm>();
    EXPECT_TRUE(form.Visible());
    EXPECT_EQ(application.MainForm(), &form);
    ASSERT_EQ(backend.Shown.size(), 1u);
    EXPECT_EQ(backend.Shown[0].Text, "ファイル Set.ini は開けません.");
    EXPECT_EQ(backend.Shown[0].Caption, "Velmora");
  }
  EXPECT_EQ(log, (std::vector<std::string>{"create", "destroy"}));
}

TEST(UiApplication, TerminateEndsTheLoopWithoutCloseCloseEndsItWith) {
  for (bool byClose : {false, true}) {
    std::vector<std::string> log;
    THeadlessBackend backend;
    TApplication application(backend);
    TLifeForm& form = application.CreateForm<TLifeForm>();
    form.OnClose = [&](TObject*) { log.push_back("close"); };
    form.OnDestroy = [&](TObject*) { log.push_back("destroy"); };
    if (byClose)
      form.UserClose();
    else
      application.Terminate();
    EXPECT_TRUE(application.Terminated());
    EXPECT_TRUE(log.empty() == !byClose);
    application.Run();
    EXPECT_EQ(log.back(), "destroy");
    EXPECT_EQ(log.size(), byClose ? 2u : 1u);
    EXPECT_EQ(application.MainForm(), nullptr);
  }
}

TEST(UiApplication, QuitSeenWhileProcessingMessagesTerminates) {
  THeadlessBackend backend;
  TApplication application(backend);
  application.ProcessMessages();
  EXPECT_FALSE(application.Terminated());
  backend.PostQuit();
  application.ProcessMessages();
  EXPECT_TRUE(application.Terminated());
}

TEST(UiApplication, MinimizeAndRestoreRunTheirHandlersOncePerChange) {
  THeadlessBackend backend;
  TApplication application(backend);
  std::vector<std::string> log;
  application.OnMinimize = [&](TObject*) { log.push_back("minimize"); };
  application.OnRestore = [&](TObject*) { log.push_back("restore"); };
  application.Restore();
  application.Minimize();
  application.Minimize();
  EXPECT_TRUE(application.Minimized());
  application.Restore();
  application.Restore();
  EXPECT_EQ(log, (std::vector<std::string>{"minimize", "restore"}));
  EXPECT_EQ(backend.MinimizeCalls, 1);
  EXPECT_EQ(backend.RestoreCalls, 1);
}

TEST(UiApplication, ShowMessageUsesTheTitleAndWaitsInTheSink) {
  THeadlessBackend backend;
  TApplication application(backend);
  application.SetTitle("Velmora Ver1.32");
  bool open = false;
  backend.OnShow = [&](const THeadlessBackend::TShown&) { open = true; };
  ShowMessage("設定を保存しました。");
  EXPECT_TRUE(open);
  ASSERT_EQ(backend.Shown.size(), 1u);
  EXPECT_EQ(backend.Shown[0].Kind, THeadlessBackend::TKind::Message);
  EXPECT_EQ(backend.Shown[0].Caption, "Velmora Ver1.32");
  EXPECT_EQ(backend.Shown[0].Text, "設定を保存しました。") << "no period for messages";
}

TEST(UiMenu, ItemsInOrderAndPopupClickDispatches) {
  THeadlessBackend backend;
  TApplication application(backend);
  TLifeForm& form = application.CreateForm<TLifeForm>();
  TPopupMenu menu(form, "Menu");
  TMenuItem& quit = menu.Items.Add("E2", "ｱﾌﾟﾘｹｰｼｮﾝの終了(&E)");
  menu.Items.Add("N5", "-");
  ASSERT_EQ(menu.Items.Items().size(), 2u);
  EXPECT_TRUE(menu.Items.Items()[1]->IsSeparator());
  EXPECT_EQ(menu.Items.Find("E2"), &quit);
  EXPECT_EQ(menu.Items.Find("nothing"), nullptr);

  quit.OnClick = [](TObject*) { throw Exception("menu"); };
  quit.UserClick();
  ASSERT_EQ(backend.Shown.size(), 1u);
  EXPECT_EQ(backend.Shown[0].Text, "menu.");

  menu.Popup(10, 20);
  ASSERT_EQ(backend.Popups.size(), 1u);
  EXPECT_EQ(backend.Popups[0].Menu, &menu);
  EXPECT_EQ(backend.Popups[0].At.X, 10);
  EXPECT_EQ(backend.Popups[0].At.Y, 20);
}

} // namespace
