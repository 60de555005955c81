#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "clock/HTTPDem.h"
#include "tests/unit/FakeNamedMutexes.h"

namespace {

class Form1Layout : public ::testing::Test {
protected:
  FakeNamedMutexes mutexes;
  THeadlessBackend backend;
  TApplication application{backend};
  // The design state, made directly: FormCreate (form1_start_test) then
  // loads the settings over it.
  TForm1 designed;
  TForm1* form = &designed;
};

// Labels measure themselves in the window (width and height 0 here); edit
// fields and combo boxes take the 20-pixel height of the font.
struct TLayoutRow {
  const char* name;
  const char* kind;
  const char* parent;
  int left, top, width, height;
  const char* text;
  const char* hint;
  bool enabled, visible;
};

const TLayoutRow kLayout[] = {
    {"Panel3", "TPanel", "Form1", 0, 0, 318, 32, "", "", true, true},
    {"Label7", "TLabel", "Panel3", 16, 12, 0, 0, "現在時刻:", "", true, true},
    {"Label1", "TLabel", "Panel3", 72, 12, 0, 0, "", "", true, true},
    {"Label4", "TLabel", "Panel3", 136, 12, 0, 0, "", "", true, true},
    {"Button1", "TButton", "Panel3", 238, 3, 75, 25, "時刻更新(&K)", "時刻更新を行います。", true,
     true},
    {"Panel2", "TPanel", "Form1", 0, 32, 318, 185, "", "", true, true},
    {"Label13", "TLabel", "Panel2", 16, 12, 0, 0, "接続先:", "", true, true},
    {"ComboBox3", "TComboBox", "Panel2", 64, 8, 161, 20, "", "", true, true},
    {"Button3", "TButton", "Panel2", 238, 8, 75, 25, "設定保存(&H)", "全ての設定保存を行います。",
     true, true},
    {"Label10", "TLabel", "Panel2", 16, 44, 0, 0, "HTTP Protocol Version", "通常はそのまま", true,
     true},
    {"ComboBox2", "TComboBox", "Panel2", 144, 40, 49, 20, "1.1", "", true, true},
    {"CheckBox1", "TCheckBox", "Panel2", 24, 72, 97, 17, "Proxyを使う", "Proxyを使う場合はﾁｪｯｸ",
     true, true},
    {"Label5", "TLabel", "Panel2", 24, 102, 0, 0, "Proxy:", "", false, true},
    {"Edit3", "TEdit", "Panel2", 64, 98, 121, 20, "", "Proxyを入力して下さい。", false, true},
    {"Label6", "TLabel", "Panel2", 208, 102, 0, 0, "Port:", "", false, true},
    {"Edit4", "TEdit", "Panel2", 240, 98, 65, 20, "8080", "ProxyのPortを入力して下さい。", false,
     true},
    {"CheckBox2", "TCheckBox", "Panel2", 24, 128, 81, 17, "Proxy認証", "Proxy認証を行う場合はﾁｪｯｸ",
     false, true},
    {"Label2", "TLabel", "Panel2", 8, 156, 0, 0, "ﾕｰｻﾞｰ名:", "", false, true},
    {"Edit1", "TEdit", "Panel2", 64, 152, 97, 20, "", "", false, true},
    {"Label3", "TLabel", "Panel2", 168, 156, 0, 0, "Password:", "", false, true},
    {"Edit2", "TEdit", "Panel2", 224, 152, 81, 20, "", "", false, true},
    {"CheckBox4", "TCheckBox", "Form1", 24, 224, 233, 25, "ｽﾀｰﾄｱｯﾌﾟ時にｿﾌﾄ起動を30秒遅らせる。", "",
     true, true},
    {"CheckBox5", "TCheckBox", "Form1", 24, 254, 129, 17, "ﾀﾞｲｱﾛｸﾞを出さない。",
     "ﾁｪｯｸすると全てのﾀﾞｲｱﾛｸﾞを出さないようにします。", true, true},
    {"Button2", "TButton", "Form1", 232, 248, 57, 25, "Install", "", true, false},
    {"CheckBox6", "TCheckBox", "Form1", 24, 280, 89, 17, "常駐させる。", "ﾀｽｸﾄﾚｲに常駐させます。",
     true, true},
    {"Edit5", "TEdit", "Form1", 136, 279, 25, 20, "8", "", false, true},
    {"UpDown1", "TUpDown", "Form1", 161, 279, 16, 20, "", "", false, true},
    {"Label8", "TLabel", "Form1", 184, 282, 0, 0, "時間毎に時刻更新する。", "", false, true},
    {"Button4", "TButton", "Form1", 232, 296, 57, 25, "Remove", "", true, false},
    {"CheckBox3", "TCheckBox", "Form1", 24, 299, 185, 25, "強制的に夏時間の調整を行う。",
     "Windows9X系のみ", false, true},
    {"CheckBox7", "TCheckBox", "Form1", 24, 323, 17, 17, "", "", true, true},
    {"Edit6", "TEdit", "Form1", 48, 326, 33, 20, "300", "", true, true},
    {"Label9", "TLabel", "Form1", 88, 330, 0, 0, "秒以上の誤差は修正しない。", "", true, true},
    {"Label11", "TLabel", "Form1", 24, 356, 0, 0, "時刻補正値", "時刻更新値に加算します。", true,
     true},
    {"ComboBox1", "TComboBox", "Form1", 88, 352, 35, 20, "－", "", true, true},
    {"Edit7", "TEdit", "Form1", 128, 352, 25, 20, "0", "", true, true},
    {"Label12", "TLabel", "Form1", 160, 356, 0, 0, "秒", "", true, true},
    {"StatusBar1", "TStatusBar", "Form1", 0, 377, 318, 20, "", "", true, true},
};

TEST_F(Form1Layout, EveryControlWhereTheDesignPutsIt) {
  std::vector<std::string> controls;
  for (TComponent* component : form->Components())
    if (dynamic_cast<TControl*>(component))
      controls.push_back(component->Name());
  std::vector<std::string> expected;
  for (const auto& row : kLayout)
    expected.push_back(row.name);
  EXPECT_EQ(controls, expected) << "the controls and their creation (tab) order";

  for (const auto& row : kLayout) {
    SCOPED_TRACE(row.name);
    auto* control = dynamic_cast<TControl*>(form->FindComponent(row.name));
    ASSERT_NE(control, nullptr);
    EXPECT_STREQ(control->ClassName(), row.kind);
    ASSERT_NE(control->Parent(), nullptr);
    EXPECT_EQ(control->Parent()->Name(), row.parent);
    EXPECT_EQ(control->Left(), row.left);
    EXPECT_EQ(control->Top(), row.top);
    EXPECT_EQ(control->Width(), row.width);
    EXPECT_EQ(control->Height(), row.height);
    EXPECT_EQ(control->Text(), row.text);
    EXPECT_EQ(control->Hint(), row.hint);
    EXPECT_EQ(control->Enabled(), row.enabled);
    EXPECT_EQ(control->Visible(), row.visible);
  }
}

TEST_F(Form1Layout, BuiltInStateOfTheControls) {
  EXPECT_TRUE(form->Button1.Default);
  EXPECT_EQ(form->Panel3.Bevel, TPanelBevel::Lowered);
  EXPECT_EQ(form->Panel2.Bevel, TPanelBevel::Lowered);

  for (TCheckBox* box : {&form->CheckBox1, &form->CheckBox2, &form->CheckBox3, &form->CheckBox4,
                         &form->CheckBox5, &form->CheckBox6})
    EXPECT_FALSE(box->Checked()) << box->Name();
  EXPECT_TRUE(form->CheckBox7.Checked());

  EXPECT_EQ(form->ComboBox3.Style, TComboBoxStyle::DropDownList);
  EXPECT_TRUE(form->ComboBox3.Items().empty());
  EXPECT_EQ(form->ComboBox3.ItemIndex(), -1);
  EXPECT_EQ(form->ComboBox2.Style, TComboBoxStyle::DropDown);
  EXPECT_EQ(form->ComboBox2.Items(), (std::vector<std::string>{"1.1", "1.0"}));
  EXPECT_EQ(form->ComboBox2.ItemIndex(), -1);
  EXPECT_EQ(form->ComboBox1.Style, TComboBoxStyle::DropDown);
  EXPECT_EQ(form->ComboBox1.Items(), (std::vector<std::string>{"－", "＋"}));
  EXPECT_EQ(form->ComboBox1.ItemIndex(), -1);
  EXPECT_EQ(form->ComboBox1.DropDownCount, 2);
  // CP932: the full-width minus is 0x81 0x7C.
  EXPECT_EQ(form->ComboBox1.Items()[0], "\x81\x7C");

  EXPECT_EQ(form->Edit2.PasswordChar, '*');
  for (TEdit* edit : {&form->Edit1, &form->Edit2, &form->Edit3, &form->Edit4, &form->Edit5})
    EXPECT_TRUE(edit->InputMethodOff) << edit->Name();
  EXPECT_FALSE(form->Edit6.InputMethodOff);
  EXPECT_TRUE(form->ComboBox2.InputMethodOff);

  EXPECT_EQ(form->UpDown1.Associate, &form->Edit5);
  EXPECT_EQ(form->UpDown1.Min(), 1);
  EXPECT_EQ(form->UpDown1.Max(), 168);
  EXPECT_EQ(form->UpDown1.Position(), 8);
  EXPECT_FALSE(form->UpDown1.Thousands);
  EXPECT_FALSE(form->UpDown1.Wrap);

  EXPECT_EQ(form->StatusBar1.SimpleText(), "");
}

TEST_F(Form1Layout, WindowTimersAndFields) {
  EXPECT_STREQ(form->ClassName(), "TForm1");
  EXPECT_EQ(form->Left(), 192);
  EXPECT_EQ(form->Top(), 109);
  EXPECT_EQ(form->ClientWidth(), 318);
  EXPECT_EQ(form->ClientHeight(), 397);
  EXPECT_EQ(form->Font.Name, "ＭＳ Ｐゴシック");
  EXPECT_EQ(form->Font.Height, 12);
  EXPECT_EQ(form->Menu, &form->MainMenu1);
  EXPECT_TRUE(form->ShowHint);
  EXPECT_TRUE(form->Visible());

  struct {
    TTimer* timer;
    unsigned interval;
    bool enabled;
  } timers[] = {
      {&form->Timer1, 1000, true}, {&form->Timer2, 28800000, false}, {&form->Timer3, 5000, false}};
  for (const auto& t : timers) {
    EXPECT_EQ(t.timer->Interval(), t.interval) << t.timer->Name();
    EXPECT_EQ(t.timer->Enabled(), t.enabled) << t.timer->Name();
  }

  EXPECT_EQ(form->HttpVersion, "");
  EXPECT_FALSE(form->SuppressErrorDialog);
  EXPECT_FALSE(form->Resident);
  EXPECT_FALSE(form->StartupMode);
}

struct TMenuRow {
  const char* name;
  const char* caption;
  const char* hint;
};

std::vector<std::string> Flatten(const TMenuItem& root) {
  std::vector<std::string> rows;
  for (const auto& item : root.Items()) {
    rows.push_back(item->Name() + "|" + item->Caption() + "|" + item->Hint());
    for (const std::string& sub : Flatten(*item))
      rows.push_back("  " + sub);
  }
  return rows;
}

TEST_F(Form1Layout, MenusInOrder) {
  EXPECT_EQ(Flatten(form->MainMenu1.Items),
            (std::vector<std::string>{
                "N1|設定(&S)|",
                "  N2|ｽﾀｰﾄｱｯﾌﾟに登録(&S)|自動起動＆終了したい場合ﾁｪｯｸ",
                "  K1|ｽﾀｰﾄｱｯﾌﾟから削除(&K)|",
                "  P1|高精度モード(&P)|時刻を1秒より細かく測って合わせます",
                "  N3|-|",
                "  E1|ｱﾌﾟﾘｹｰｼｮﾝの終了(&E)|",
                "Help1|ﾍﾙﾌﾟ(&H)|",
                "  ReadMeR1|ReadMeを読む(&R)|",
                "  N4|-|",
                "  S1|作者のﾎｰﾑﾍﾟｰｼﾞへ(&S)|作者のﾎｰﾑﾍﾟｰｼﾞへGo!",
            }));
  EXPECT_EQ(Flatten(form->PopupMenu1.Items), (std::vector<std::string>{
                                                 "E2|ｱﾌﾟﾘｹｰｼｮﾝの終了(&E)|",
                                                 "N5|-|",
                                                 "K2|今すぐ時刻更新(&K)|",
                                                 "Open1|開く(&O)|元のWindowを表示します。",
                                             }));
  EXPECT_EQ(form->MainMenu1.Items.Find("S1"), &form->S1);
  EXPECT_EQ(form->PopupMenu1.Items.Find("Open1"), &form->Open1);
  EXPECT_TRUE(form->N3.IsSeparator());
}

} // namespace
