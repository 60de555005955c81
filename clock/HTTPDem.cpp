#include "clock/HTTPDem.h"

#include <optional>
#include <vector>

#include "clock/TextCp932.h"
#include "clock/platform/CommandLine.h"
#include "clock/platform/SystemClock.h"
#include "clock/platform/SystemInfo.h"
#include "clock/ui/WindowHandles.h"

const char kMainCaption[] = "Velmora Ver1.32";

namespace {
void Place(TControl& control, int left, int top, int width, int height, const std::string& text,
           const std::string& hint = "") {
  control.SetBounds(left, top, width, height);
  control.SetText(text);
  control.SetHint(hint);
}

// Sizes the window measures itself: labels by their text; edit fields and
// combo boxes take their height from the font.
const int kNatural = 0;
const int kFieldHeight = 20;

// The delay of start-up mode that CheckBox4 asks for.
const uint32_t kStartupDelayMs = 30000;
} // namespace

TForm1::TForm1() : TForm1(diTerminate) {}

TForm1::TForm1(TDupInstAction duplicateAction)
    : TForm("Form1"), Panel3(*this, "Panel3"), Label7(Panel3, "Label7"), Label1(Panel3, "Label1"),
      Label4(Panel3, "Label4"), Button1(Panel3, "Button1"), Panel2(*this, "Panel2"),
      Label13(Panel2, "Label13"), ComboBox3(Panel2, "ComboBox3"), Button3(Panel2, "Button3"),
      Label10(Panel2, "Label10"), ComboBox2(Panel2, "ComboBox2"), CheckBox1(Panel2, "CheckBox1"),
      Label5(Panel2, "Label5"), Edit3(Panel2, "Edit3"), Label6(Panel2, "Label6"),
      Edit4(Panel2, "Edit4"), CheckBox2(Panel2, "CheckBox2"), Label2(Panel2, "Label2"),
      Edit1(Panel2, "Edit1"), Label3(Panel2, "Label3"), Edit2(Panel2, "Edit2"),
      CheckBox4(*this, "CheckBox4"), CheckBox5(*this, "CheckBox5"), Button2(*this, "Button2"),
      CheckBox6(*this, "CheckBox6"), Edit5(*this, "Edit5"), UpDown1(*this, "UpDown1"),
      Label8(*this, "Label8"), Button4(*this, "Button4"), CheckBox3(*this, "CheckBox3"),
      CheckBox7(*this, "CheckBox7"), Edit6(*this, "Edit6"), Label9(*this, "Label9"),
      Label11(*this, "Label11"), ComboBox1(*this, "ComboBox1"), Edit7(*this, "Edit7"),
      Label12(*this, "Label12"), StatusBar1(*this, "StatusBar1"), Timer1(*this, "Timer1"),
      Timer2(*this, "Timer2"), Timer3(*this, "Timer3"), MainMenu1(*this, "MainMenu1"),
      N1(MainMenu1.Items.Add("N1", "設定(&S)")),
      N2(N1.Add("N2", "ｽﾀｰﾄｱｯﾌﾟに登録(&S)", "自動起動＆終了したい場合ﾁｪｯｸ")),
      K1(N1.Add("K1", "ｽﾀｰﾄｱｯﾌﾟから削除(&K)")),
      P1(N1.Add("P1", "高精度モード(&P)", "時刻を1秒より細かく測って合わせます")),
      N3(N1.Add("N3", "-")), E1(N1.Add("E1", "ｱﾌﾟﾘｹｰｼｮﾝの終了(&E)")),
      Help1(MainMenu1.Items.Add("Help1", "ﾍﾙﾌﾟ(&H)")),
      ReadMeR1(Help1.Add("ReadMeR1", "ReadMeを読む(&R)")), N4(Help1.Add("N4", "-")),
      S1(Help1.Add("S1", "作者のﾎｰﾑﾍﾟｰｼﾞへ(&S)", "作者のﾎｰﾑﾍﾟｰｼﾞへGo!")),
      PopupMenu1(*this, "PopupMenu1"), E2(PopupMenu1.Items.Add("E2", "ｱﾌﾟﾘｹｰｼｮﾝの終了(&E)")),
      N5(PopupMenu1.Items.Add("N5", "-")), K2(PopupMenu1.Items.Add("K2", "今すぐ時刻更新(&K)")),
      Open1(PopupMenu1.Items.Add("Open1", "開く(&O)", "元のWindowを表示します。")),
      ShellLink1(ApplicationWindowHandle),
      SingleInstance1(
          TGuardedProgram{ApplicationWindowHandle(), [] { Application().Terminate(); }}) {
  ShellLink1.Arguments = "-s";
  ShellLink1.LinkType = lnkStartup;
  SetBounds(192, 109, 0, 0);
  SetClientSize(318, 397);
  Font = {"ＭＳ Ｐゴシック", 12};
  Menu = &MainMenu1;
  SetVisible(true);

  Panel3.SetBounds(0, 0, 318, 32);
  Panel3.Bevel = TPanelBevel::Lowered;
  Place(Label7, 16, 12, kNatural, kNatural, "現在時刻:");
  Place(Label1, 72, 12, kNatural, kNatural, "");
  Place(Label4, 136, 12, kNatural, kNatural, "");
  Place(Button1, 238, 3, 75, 25, "時刻更新(&K)", "時刻更新を行います。");
  Button1.Default = true;

  Panel2.SetBounds(0, 32, 318, 185);
  Panel2.Bevel = TPanelBevel::Lowered;
  Place(Label13, 16, 12, kNatural, kNatural, "接続先:");
  Place(ComboBox3, 64, 8, 161, kFieldHeight, "");
  ComboBox3.Style = TComboBoxStyle::DropDownList;
  Place(Button3, 238, 8, 75, 25, "設定保存(&H)", "全ての設定保存を行います。");
  Place(Label10, 16, 44, kNatural, kNatural, "HTTP Protocol Version", "通常はそのまま");
  Place(ComboBox2, 144, 40, 49, kFieldHeight, "");
  ComboBox2.SetItems({"1.1", "1.0"});
  ComboBox2.SetText("1.1");
  ComboBox2.InputMethodOff = true;
  Place(CheckBox1, 24, 72, 97, 17, "Proxyを使う", "Proxyを使う場合はﾁｪｯｸ");
  Place(Label5, 24, 102, kNatural, kNatural, "Proxy:");
  Place(Edit3, 64, 98, 121, kFieldHeight, "", "Proxyを入力して下さい。");
  Place(Label6, 208, 102, kNatural, kNatural, "Port:");
  Place(Edit4, 240, 98, 65, kFieldHeight, "8080", "ProxyのPortを入力して下さい。");
  Place(CheckBox2, 24, 128, 81, 17, "Proxy認証", "Proxy認証を行う場合はﾁｪｯｸ");
  Place(Label2, 8, 156, kNatural, kNatural, "ﾕｰｻﾞｰ名:");
  Place(Edit1, 64, 152, 97, kFieldHeight, "");
  Place(Label3, 168, 156, kNatural, kNatural, "Password:");
  Place(Edit2, 224, 152, 81, kFieldHeight, "");
  Edit2.PasswordChar = '*';
  for (TControl* control : {static_cast<TControl*>(&Label5), static_cast<TControl*>(&Edit3),
                            static_cast<TControl*>(&Label6), static_cast<TControl*>(&Edit4),
                            static_cast<TControl*>(&CheckBox2), static_cast<TControl*>(&Label2),
                            static_cast<TControl*>(&Edit1), static_cast<TControl*>(&Label3),
                            static_cast<TControl*>(&Edit2)})
    control->SetEnabled(false);
  for (TEdit* edit : {&Edit1, &Edit2, &Edit3, &Edit4, &Edit5})
    edit->InputMethodOff = true;

  Place(CheckBox4, 24, 224, 233, 25, "ｽﾀｰﾄｱｯﾌﾟ時にｿﾌﾄ起動を30秒遅らせる。");
  Place(CheckBox5, 24, 254, 129, 17, "ﾀﾞｲｱﾛｸﾞを出さない。",
        "ﾁｪｯｸすると全てのﾀﾞｲｱﾛｸﾞを出さないようにします。");
  Place(Button2, 232, 248, 57, 25, "Install");
  Button2.SetVisible(false);
  Place(CheckBox6, 24, 280, 89, 17, "常駐させる。", "ﾀｽｸﾄﾚｲに常駐させます。");
  Place(Edit5, 136, 279, 25, kFieldHeight, "8");
  Edit5.SetEnabled(false);
  UpDown1.SetBounds(161, 279, 16, kFieldHeight);
  UpDown1.Associate = &Edit5;
  UpDown1.Thousands = false;
  UpDown1.SetRange(1, 168);
  UpDown1.SetPosition(8);
  UpDown1.SetEnabled(false);
  Place(Label8, 184, 282, kNatural, kNatural, "時間毎に時刻更新する。");
  Label8.SetEnabled(false);
  Place(Button4, 232, 296, 57, 25, "Remove");
  Button4.SetVisible(false);
  Place(CheckBox3, 24, 299, 185, 25, "強制的に夏時間の調整を行う。", "Windows9X系のみ");
  CheckBox3.SetEnabled(false);
  Place(CheckBox7, 24, 323, 17, 17, "");
  CheckBox7.SetChecked(true);
  Place(Edit6, 48, 326, 33, kFieldHeight, "300");
  Place(Label9, 88, 330, kNatural, kNatural, "秒以上の誤差は修正しない。");
  Place(Label11, 24, 356, kNatural, kNatural, "時刻補正値", "時刻更新値に加算します。");
  Place(ComboBox1, 88, 352, 35, kFieldHeight, "");
  ComboBox1.SetItems({"－", "＋"});
  ComboBox1.SetText("－");
  ComboBox1.DropDownCount = 2;
  Place(Edit7, 128, 352, 25, kFieldHeight, "0");
  Place(Label12, 160, 356, kNatural, kNatural, "秒");

  StatusBar1.SetBounds(0, 397 - 20, 318, 20);

  Timer1.SetInterval(1000);
  Timer1.SetEnabled(true);
  Timer2.SetEnabled(false);
  Timer2.SetInterval(28800000);
  Timer3.SetEnabled(false);
  Timer3.SetInterval(5000);

  // Handlers are bound after the design state above, which must run none.
  OnCreate = [this](TObject* Sender) { FormCreate(Sender); };
  OnClose = [this](TObject* Sender) { FormClose(Sender); };
  OnDestroy = [this](TObject* Sender) { FormDestroy(Sender); };
  Button3.OnClick = [this](TObject* Sender) { Button3Click(Sender); };
  CheckBox1.OnClick = [this](TObject* Sender) { CheckBox1Click(Sender); };
  CheckBox2.OnClick = [this](TObject* Sender) { CheckBox2Click(Sender); };
  ComboBox2.OnChange = [this](TObject* Sender) { ComboBox2Change(Sender); };
  CheckBox7.OnClick = [this](TObject* Sender) { CheckBox7Click(Sender); };
  BindRunHandlers();

  // The stored values are in: another copy is looked for now, before
  // FormCreate. A terminate request takes effect when the message loop
  // starts; diException leaves the window uncreated.
  SingleInstance1.DupInstAction = duplicateAction;
  SingleInstance1.UniqueName = "Ident1684";
  SingleInstance1.Loaded();
}

void TForm1::FormCreate(TObject*) {
  platform::TSystemClock& clock = platform::SystemClock();
  random_.Randomize(UtcMillisecondsOfDay(clock.LocalTime(), clock.TimeZoneInformation()));
  // Every message box carries this caption from here on.
  Application().SetTitle(kMainCaption);
  TrayTipText = kMainCaption;
  SetText(kMainCaption);
  Application().OnMinimize = [this](TObject* Sender) { HideTaskbarEntry(Sender); };

  // A failure from here on ends FormCreate: the error report shows it and the
  // window opens all the same, without the steps below.
  LoadClockSettings();

  const std::optional<uint32_t> platformId = platform::SystemInfo().VersionPlatformId();
  // Win32s and the 95 family; NT or a failed query leave the box disabled.
  if (platformId && (*platformId == 0 || *platformId == 1))
    CheckBox3.SetEnabled(true);

  if (StartedForStartup()) {
    Hide();
    if (CheckBox4.Checked())
      WaitProcessingMessages(kStartupDelayMs);
    StartupMode = true;
    // Without residence the update ends the program.
    Button1.Click();
    if (CheckBox6.Checked()) {
      Timer1.SetEnabled(false);
      Show();
      // The minimise handler then hides the task-bar entry.
      Application().Minimize();
    }
  }
  ShowClock();
}

bool TForm1::StartedForStartup() const {
  const std::vector<std::string> arguments = platform::CommandLine().Arguments();
  return !arguments.empty() && SameTextIgnoringCase(arguments.front(), "-s");
}

void TForm1::WaitProcessingMessages(uint32_t milliseconds) {
  platform::TSystemClock& clock = platform::SystemClock();
  const uint32_t start = clock.TickCount();
  for (;;) {
    Application().ProcessMessages();
    // Unsigned, so that a wrap of the tick counter costs nothing.
    const uint32_t elapsed = clock.TickCount() - start;
    if (elapsed >= milliseconds)
      return;
    // Sleeps until a message comes or the time is up, rather than spinning.
    Application().WaitForMessage(milliseconds - elapsed);
  }
}

void TForm1::FormClose(TObject*) {
  SavePosition();
}

void TForm1::FormDestroy(TObject*) {
  RemoveTrayIcon();
}
