#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "clock/HTTPDem.h"
#include "clock/ProxyImport.h"
#include "tests/unit/Form1Platform.h"

namespace {

using form1test::kServerList;
using form1test::kSetIni;
using TState = std::map<std::string, std::string>;

std::string Edit(const TEdit& edit) {
  return "'" + edit.Text() + "'" + (edit.Enabled() ? "" : " disabled");
}

std::string Box(const TCheckBox& box) {
  return std::string(box.Checked() ? "checked" : "unchecked") + (box.Enabled() ? "" : " disabled");
}

std::string Enabled(const TControl& control) {
  return control.Enabled() ? "enabled" : "disabled";
}

std::string Combo(const TComboBox& combo) {
  return std::to_string(combo.ItemIndex()) + " '" + combo.Text() + "'";
}

std::string Timer(const TTimer& timer) {
  return std::to_string(timer.Interval()) + (timer.Enabled() ? " on" : " off");
}

std::string Flag(bool flag) {
  return flag ? "true" : "false";
}

// What the settings load decides, control by control.
TState Describe(const TForm1& form, const THeadlessBackend& backend, const FakeTrayShell& tray) {
  std::string sites;
  for (const std::string& item : form.ComboBox3.Items())
    sites += (sites.empty() ? "" : "|") + item;
  std::string errors;
  for (const THeadlessBackend::TShown& shown : backend.Shown)
    errors += (shown.Kind == THeadlessBackend::TKind::Error ? "error " : "message ") + shown.Text;
  return {
      {"Sites", sites},
      {"ComboBox3", Combo(form.ComboBox3)},
      {"Position", std::to_string(form.Left()) + "," + std::to_string(form.Top())},
      {"CheckBox1", Box(form.CheckBox1)},
      {"Label5", Enabled(form.Label5)},
      {"Label6", Enabled(form.Label6)},
      {"Edit3", Edit(form.Edit3)},
      {"Edit4", Edit(form.Edit4)},
      {"CheckBox2", Box(form.CheckBox2)},
      {"Label2", Enabled(form.Label2)},
      {"Label3", Enabled(form.Label3)},
      {"Edit1", Edit(form.Edit1)},
      {"Edit2", Edit(form.Edit2)},
      {"HttpVersion", form.HttpVersion},
      {"ComboBox2", Combo(form.ComboBox2)},
      {"CheckBox3", Box(form.CheckBox3)},
      {"CheckBox4", Box(form.CheckBox4)},
      {"CheckBox5", Box(form.CheckBox5)},
      {"SuppressErrorDialog", Flag(form.SuppressErrorDialog)},
      {"CheckBox6", Box(form.CheckBox6)},
      {"Resident", Flag(form.Resident)},
      {"Edit5", Edit(form.Edit5)},
      {"UpDown1", std::to_string(form.UpDown1.Position()) + " " + Enabled(form.UpDown1)},
      {"Label8", Enabled(form.Label8)},
      {"Timer2", Timer(form.Timer2)},
      {"Timer3", Timer(form.Timer3)},
      {"Tray icons", std::to_string(tray.Icons.size())},
      {"CheckBox7", Box(form.CheckBox7)},
      {"Edit6", Edit(form.Edit6)},
      {"Label9", Enabled(form.Label9)},
      {"ComboBox1", Combo(form.ComboBox1)},
      {"Edit7", Edit(form.Edit7)},
      {"Shown", errors},
  };
}

// The first start: no Set.ini, the site list of three, the site drawn with
// the seed of 03:34:56.789 UTC.
const TState kFirstStart = {
    {"Sites", "a.example|b.example|c.example"},
    {"ComboBox3", "1 'b.example'"},
    {"Position", "192,109"},
    {"CheckBox1", "unchecked"},
    {"Label5", "disabled"},
    {"Label6", "disabled"},
    {"Edit3", "'' disabled"},
    {"Edit4", "'' disabled"},
    {"CheckBox2", "unchecked disabled"},
    {"Label2", "disabled"},
    {"Label3", "disabled"},
    {"Edit1", "'' disabled"},
    {"Edit2", "'' disabled"},
    {"HttpVersion", "pv1_1"},
    {"ComboBox2", "-1 '1.1'"},
    {"CheckBox3", "unchecked disabled"},
    {"CheckBox4", "unchecked"},
    {"CheckBox5", "unchecked"},
    {"SuppressErrorDialog", "false"},
    {"CheckBox6", "unchecked"},
    {"Resident", "false"},
    {"Edit5", "'8' disabled"},
    {"UpDown1", "8 disabled"},
    {"Label8", "disabled"},
    {"Timer2", "28800000 off"},
    {"Timer3", "5000 off"},
    {"Tray icons", "0"},
    {"CheckBox7", "checked"},
    {"Edit6", "'300'"},
    {"Label9", "enabled"},
    {"ComboBox1", "-1 '－'"},
    {"Edit7", "'0'"},
    {"Shown", ""},
};

const char kSites[] = "a.example\r\nb.example\r\nc.example\r\n";

// One start of the program: the system, the application and its window.
class TStart {
public:
  // nullptr: the file is missing.
  explicit TStart(const char* setIni, const char* serverList = kSites,
                  const std::function<void(form1test::TForm1Platform&)>& prepare = {}) {
    if (prepare)
      prepare(os);
    if (setIni)
      os.Profiles.Files[kSetIni] = setIni;
    if (serverList)
      os.Files.Files[kServerList] = serverList;
    else
      os.Files.Files.erase(kServerList);
    form = &application.CreateForm<TForm1>();
  }

  TState State() const { return Describe(*form, backend, os.Tray); }
  std::string SetIni() const {
    auto found = os.Profiles.Files.find(kSetIni);
    return found == os.Profiles.Files.end() ? "<none>" : found->second;
  }

  form1test::TForm1Platform os;
  THeadlessBackend backend;
  TApplication application{backend};
  TForm1* form = nullptr;
};

struct TLoadCase {
  const char* name;
  const char* setIni;                                       // nullptr: no file
  const char* serverList;                                   // nullptr: no file
  std::vector<std::pair<std::string, std::string>> changes; // from the first start
};

const TLoadCase kLoadCases[] = {
    {"first start", nullptr, kSites, {}},
    {"every key",
     "[Set]\r\nWebSite=2\r\nProxy=On\r\nAddress=proxy.example\r\nPort=3128\r\nUser=On\r\n"
     "Name=user1\r\nPass=\xAF\xB6\r\nSummer=On\r\nHTTPV=pv1_0\r\nWait=On\r\nNonError=On\r\n"
     "Server=On\r\nServerTime=2\r\nGosa=Off\r\nGosaTime=60\r\nHosei=+\r\nHoseiti=5\r\n"
     "[Position]\r\nTop=200\r\nLeft=300\r\n",
     kSites,
     {{"ComboBox3", "2 'c.example'"},
      {"Position", "300,200"},
      {"CheckBox1", "checked"},
      {"Label5", "enabled"},
      {"Label6", "enabled"},
      {"Edit3", "'proxy.example'"},
      {"Edit4", "'3128'"},
      {"CheckBox2", "checked"},
      {"Label2", "enabled"},
      {"Label3", "enabled"},
      {"Edit1", "'user1'"},
      {"Edit2", "'pw'"},
      {"HttpVersion", "pv1_0"},
      {"ComboBox2", "1 '1.0'"},
      {"CheckBox3", "checked disabled"},
      {"CheckBox4", "checked"},
      {"CheckBox5", "checked"},
      {"SuppressErrorDialog", "true"},
      {"CheckBox6", "checked"},
      {"Resident", "true"},
      {"Edit5", "'2'"},
      {"UpDown1", "2 enabled"},
      {"Label8", "enabled"},
      {"Timer2", "7200000 on"},
      {"Timer3", "5000 on"},
      {"Tray icons", "1"},
      {"CheckBox7", "unchecked"},
      {"Edit6", "'60' disabled"},
      {"Label9", "disabled"},
      {"ComboBox1", "1 '＋'"},
      {"Edit7", "'5'"}}},
    {"on and ON count as off",
     "[Set]\r\nProxy=on\r\nUser=ON\r\nSummer=on\r\nWait=ON\r\nNonError=on\r\nServer=oN\r\n"
     "Gosa=on\r\n",
     kSites,
     {}},
    {"Gosa On keeps the limit", "[Set]\r\nGosa=On\r\n", kSites, {}},
    {"Gosa Off switches it off",
     "[Set]\r\nGosa=Off\r\n",
     kSites,
     {{"CheckBox7", "unchecked"}, {"Edit6", "'300' disabled"}, {"Label9", "disabled"}}},
    {"Gosa off or empty changes nothing", "[Set]\r\nGosa=off\r\nGosaTime=\r\n", kSites, {}},
    {"WebSite chooses the site",
     "[Set]\r\nWebSite=0\r\n",
     kSites,
     {{"ComboBox3", "0 'a.example'"}}},
    {"WebSite beyond the list", "[Set]\r\nWebSite=3\r\n", kSites, {{"ComboBox3", "-1 ''"}}},
    {"WebSite -1 draws a site", "[Set]\r\nWebSite=-1\r\n", kSites, {}},
    {"WebSite -1 with an empty list",
     "[Set]\r\nWebSite=-1\r\n",
     "",
     {{"Sites", ""}, {"ComboBox3", "-1 ''"}}},
    {"an empty line is a site of its own",
     "[Set]\r\nWebSite=1\r\n",
     "a.example\r\n\nc.example",
     {{"Sites", "a.example||c.example"}, {"ComboBox3", "1 ''"}}},
    {"Port empty, address and password kept as stored",
     "[Set]\r\nAddress=p.example\r\nPort=\r\nName=n\r\nPass=\xA0\xA1\xA2\r\n",
     kSites,
     {{"Edit3", "'p.example' disabled"}, {"Edit1", "'n' disabled"}, {"Edit2", "'abc' disabled"}}},
    {"another protocol token stays as read",
     "[Set]\r\nHTTPV=pv2\r\n",
     kSites,
     {{"HttpVersion", "pv2"}}},
    {"correction sign minus and seconds",
     "[Set]\r\nHosei=-\r\nHoseiti=-3\r\nGosaTime=10\r\n",
     kSites,
     {{"ComboBox1", "0 '－'"}, {"Edit7", "'-3'"}, {"Edit6", "'10'"}}},
    {"an unknown sign changes nothing", "[Set]\r\nHosei=x\r\n", kSites, {}},
    {"hours beyond the range are held at 168",
     "[Set]\r\nServer=On\r\nServerTime=500\r\n",
     kSites,
     {{"CheckBox6", "checked"},
      {"Resident", "true"},
      {"Edit5", "'168'"},
      {"UpDown1", "168 enabled"},
      {"Label8", "enabled"},
      {"Timer2", "604800000 on"},
      {"Timer3", "5000 on"},
      {"Tray icons", "1"}}},
    // A failing step leaves its controls and raises its error at the end;
    // the steps after it still load.
    {"a number that is not one, in the middle",
     "[Set]\r\nProxy=On\r\nAddress=p.example\r\nServerTime=abc\r\nGosa=Off\r\nHoseiti=7\r\n",
     kSites,
     {{"CheckBox1", "checked"},
      {"Label5", "enabled"},
      {"Label6", "enabled"},
      {"Edit3", "'p.example'"},
      {"Edit4", "''"},
      {"CheckBox2", "unchecked"},
      {"Label2", "enabled"},
      {"Label3", "enabled"},
      {"Edit1", "''"},
      {"Edit2", "''"},
      {"CheckBox7", "unchecked"},
      {"Edit6", "'300' disabled"},
      {"Label9", "disabled"},
      {"Edit7", "'7'"},
      {"Shown", "error 'abc' は整数ではありません."}}},
    {"a position that is not a number moves nothing",
     "[Position]\r\nTop=1x\r\nLeft=10\r\n",
     kSites,
     {{"Shown", "error '1x' は整数ではありません."}}},
    {"a stored but empty WebSite",
     "[Set]\r\nWebSite=\r\n",
     kSites,
     {{"ComboBox3", "-1 ''"}, {"Shown", "error '' は整数ではありません."}}},
    {"no site list: the settings still load",
     "[Set]\r\nWebSite=1\r\nWait=On\r\n[Position]\r\nTop=x\r\n",
     nullptr,
     {{"Sites", ""},
      {"ComboBox3", "-1 ''"},
      {"CheckBox4", "checked"},
      {"Shown", "error ファイル C:\\Velmora\\ServerList.txt は開けません."}}},
};

TEST(Form1Settings, LoadFillsTheControls) {
  for (const TLoadCase& c : kLoadCases) {
    SCOPED_TRACE(c.name);
    TStart start(c.setIni, c.serverList);
    TState expected = kFirstStart;
    for (const auto& [key, value] : c.changes)
      expected[key] = value;
    const TState got = start.State();
    for (const auto& [key, value] : expected)
      EXPECT_EQ(got.at(key), value) << key;
  }
}

std::string Messages(const THeadlessBackend& backend) {
  std::string shown;
  for (const THeadlessBackend::TShown& entry : backend.Shown)
    shown +=
        (entry.Kind == THeadlessBackend::TKind::Error ? "error " : "message ") + entry.Text + "\n";
  return shown;
}

TEST(Form1Save, FirstStartWritesNoListChoiceThatWasNotMade) {
  TStart start(nullptr);
  start.form->Button3.UserClick();
  EXPECT_EQ(start.SetIni(), "[Set]\r\nWebSite=1\r\nProxy=Off\r\nUser=Off\r\nSummer=Off\r\n"
                            "Wait=Off\r\nNonError=Off\r\nServer=Off\r\nGosa=On\r\nGosaTime=300\r\n"
                            "Hoseiti=0\r\n");
  EXPECT_EQ(Messages(start.backend), "message 設定を保存しました。\n");
  EXPECT_EQ(start.backend.Shown[0].Caption, "Velmora Ver1.32");
}

// The precise mode's key comes after every other key of Set, and only once
// the mode has been on: a file of a user who never turned it on stays as it
// was. It loads with the other keys; a missing key means off.
TEST(Form1Save, PreciseModeIsSavedOnceUsedAndLoaded) {
  std::string saved;
  {
    TStart start(nullptr);
    TForm1& form = *start.form;
    EXPECT_FALSE(form.P1.Checked());
    form.Button3.UserClick();
    EXPECT_EQ(start.SetIni().find("Precise"), std::string::npos) << start.SetIni();
    form.P1.UserClick();
    EXPECT_TRUE(form.P1.Checked());
    form.Button3.UserClick();
    saved = start.SetIni();
    EXPECT_EQ(saved.substr(saved.size() - 23), "Hoseiti=0\r\nPrecise=On\r\n");
  }
  {
    TStart on(saved.c_str());
    EXPECT_TRUE(on.form->P1.Checked());
    on.form->P1.UserClick();
    on.form->Button3.UserClick();
    EXPECT_NE(on.SetIni().find("\r\nPrecise=Off\r\n"), std::string::npos) << on.SetIni();
  }
  EXPECT_FALSE(TStart("[Set]\r\nPrecise=Off\r\n").form->P1.Checked());
}

TEST(Form1Save, EveryKeyInOrderThenSkippedKeysKeepTheirLines) {
  std::string saved;
  {
    TStart start(nullptr);
    TForm1& form = *start.form;
    form.ComboBox3.UserSelect(2);
    form.CheckBox1.UserClick();
    form.Edit3.UserText("proxy.example");
    form.Edit4.UserText("3128");
    form.CheckBox2.UserClick();
    form.Edit1.UserText("user1");
    form.Edit2.UserText("abc");
    // Stored as checked even while the box is disabled (NT).
    form.CheckBox3.SetChecked(true);
    form.ComboBox2.UserSelect(1);
    form.CheckBox4.UserClick();
    form.CheckBox5.UserClick();
    form.CheckBox6.UserClick();
    form.Edit5.UserText("12");
    form.CheckBox7.UserClick();
    form.ComboBox1.UserSelect(1);
    form.Edit7.UserText("5");
    form.Button3.UserClick();
    EXPECT_EQ(start.SetIni(),
              "[Set]\r\nWebSite=2\r\nProxy=On\r\nAddress=proxy.example\r\nPort=3128\r\nUser=On\r\n"
              "Name=user1\r\nPass=\xA0\xA1\xA2\r\nSummer=On\r\nHTTPV=pv1_0\r\nWait=On\r\n"
              "NonError=On\r\nServer=On\r\nServerTime=12\r\nGosa=Off\r\nHosei=+\r\nHoseiti=5\r\n");

    form.CheckBox1.UserClick();
    form.CheckBox2.UserClick();
    form.CheckBox6.UserClick();
    form.CheckBox7.UserClick();
    form.Edit6.UserText("99");
    form.ComboBox2.UserSelect(0);
    form.Button3.UserClick();
    saved = start.SetIni();
    EXPECT_EQ(saved, "[Set]\r\nWebSite=2\r\nProxy=Off\r\nAddress=proxy.example\r\nPort=3128\r\n"
                     "User=Off\r\nName=user1\r\nPass=\xA0\xA1\xA2\r\nSummer=On\r\nHTTPV=pv1_1\r\n"
                     "Wait=On\r\nNonError=On\r\nServer=Off\r\nServerTime=12\r\nGosa=On\r\n"
                     "Hosei=+\r\nHoseiti=5\r\nGosaTime=99\r\n");
    EXPECT_EQ(Messages(start.backend),
              "message 設定を保存しました。\nmessage 設定を保存しました。\n");
  }

  // The kept lines load again, into fields that stay disabled.
  TState reloaded = TStart(saved.c_str()).State();
  EXPECT_EQ(reloaded["Edit3"], "'proxy.example' disabled");
  EXPECT_EQ(reloaded["Edit4"], "'3128' disabled");
  EXPECT_EQ(reloaded["Edit1"], "'user1' disabled");
  EXPECT_EQ(reloaded["Edit2"], "'abc' disabled");
  EXPECT_EQ(reloaded["Edit5"], "'12' disabled");
  EXPECT_EQ(reloaded["Edit6"], "'99'");
  EXPECT_EQ(reloaded["CheckBox3"], "checked disabled");
}

// A stored site that the load could not select stays stored until the
// user chooses one: the list is missing, shorter than it was, or the text
// is no number.
TEST(Form1Save, AStoredSiteTheLoadCouldNotSelectIsKept) {
  const struct {
    const char* Case;
    const char* SetIni;
    const char* Sites;
  } cases[] = {
      {"list missing", "[Set]\r\nWebSite=2\r\n", nullptr},
      {"list shorter", "[Set]\r\nWebSite=5\r\n", kSites},
      {"no number", "[Set]\r\nWebSite=x\r\n", kSites},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Case);
    TStart start(c.SetIni, c.Sites);
    start.form->Button3.UserClick();
    EXPECT_EQ(start.SetIni().rfind(c.SetIni, 0), 0u) << start.SetIni();
  }
  TStart chosen("[Set]\r\nWebSite=5\r\n");
  chosen.form->ComboBox3.UserSelect(1);
  chosen.form->Button3.UserClick();
  EXPECT_EQ(chosen.SetIni().rfind("[Set]\r\nWebSite=1\r\n", 0), 0u) << chosen.SetIni();
}

TEST(Form1Save, APasswordTheFileCannotHoldWritesNothing) {
  const char stored[] = "[Set]\r\nWebSite=0\r\n";
  // 0xC1 shifts to a zero byte; "x" then "B" ends on a lead byte alone.
  for (const char* password : {"\xC1", "xB"}) {
    SCOPED_TRACE(password);
    TStart start(stored);
    start.form->CheckBox1.UserClick();
    start.form->CheckBox2.UserClick();
    start.form->Edit2.UserText(password);
    start.form->Button3.UserClick();
    EXPECT_EQ(start.SetIni(), stored);
    EXPECT_EQ(Messages(start.backend), "error パスワードに保存できない文字が含まれています.\n");
  }
  // Without authentication the password is not written, so not refused.
  TStart start(stored);
  start.form->CheckBox1.UserClick();
  start.form->Edit2.UserText("\xC1");
  start.form->Button3.UserClick();
  EXPECT_EQ(Messages(start.backend), "message 設定を保存しました。\n");
  EXPECT_EQ(start.SetIni().find("Pass="), std::string::npos);
}

TEST(Form1Save, ARefusedWriteIsReportedAndNotCalledSaved) {
  TStart start(nullptr);
  start.os.Profiles.Unwritable.insert(kSetIni);
  start.form->Button3.UserClick();
  EXPECT_EQ(start.SetIni(), "<none>");
  EXPECT_EQ(Messages(start.backend), "error C:\\Velmora\\Set.ini に書き込めません.\n");
}

// Enabled states of Label5 Label6 Edit3 Edit4 CheckBox2 Label2 Label3 Edit1
// Edit2, then the check mark of CheckBox2.
std::string ProxyGroup(const TForm1& form) {
  std::string bits;
  for (const TControl* control :
       {static_cast<const TControl*>(&form.Label5), static_cast<const TControl*>(&form.Label6),
        static_cast<const TControl*>(&form.Edit3), static_cast<const TControl*>(&form.Edit4),
        static_cast<const TControl*>(&form.CheckBox2), static_cast<const TControl*>(&form.Label2),
        static_cast<const TControl*>(&form.Label3), static_cast<const TControl*>(&form.Edit1),
        static_cast<const TControl*>(&form.Edit2)})
    bits += control->Enabled() ? '1' : '0';
  return bits + (form.CheckBox2.Checked() ? " checked" : " unchecked");
}

TEST(Form1Proxy, ControlsEnableOneAnother) {
  TStart start(nullptr);
  TForm1& form = *start.form;
  EXPECT_EQ(ProxyGroup(form), "000000000 unchecked");
  form.CheckBox1.UserClick();
  EXPECT_EQ(ProxyGroup(form), "111111111 unchecked") << "name and password open with the proxy";
  form.CheckBox2.UserClick();
  EXPECT_EQ(ProxyGroup(form), "111111111 checked");
  form.CheckBox2.UserClick();
  EXPECT_EQ(ProxyGroup(form), "111110000 unchecked");
  form.CheckBox2.UserClick();
  form.CheckBox1.UserClick();
  EXPECT_EQ(ProxyGroup(form), "000000000 checked") << "the mark stays while disabled";

  form.CheckBox7.UserClick();
  EXPECT_FALSE(form.Edit6.Enabled());
  EXPECT_FALSE(form.Label9.Enabled());
  form.CheckBox7.UserClick();
  EXPECT_TRUE(form.Edit6.Enabled());
  EXPECT_TRUE(form.Label9.Enabled());
}

TEST(Form1Proxy, VersionFollowsTheChosenItemOnly) {
  TStart start(nullptr);
  TForm1& form = *start.form;
  form.ComboBox2.UserSelect(1);
  EXPECT_EQ(form.HttpVersion, "pv1_0");
  form.ComboBox2.UserText("1.1");
  EXPECT_EQ(form.HttpVersion, "pv1_0") << "a typed text selects no item";
  form.ComboBox2.UserSelect(0);
  EXPECT_EQ(form.HttpVersion, "pv1_1");
}

struct TImportCase {
  const char* name;
  platform::TRegistryText::TStatus status;
  const char* value;
  const char* address;
  const char* port;
  const char* shown;
};

const TImportCase kImportCases[] = {
    {"one proxy for all", platform::TRegistryText::Found, "proxy.example:8080", "proxy.example",
     "8080", ""},
    {"the http entry of a list", platform::TRegistryText::Found,
     "ftp=f.example:21;http=h.example:3128;https=s.example:443", "h.example", "3128", ""},
    {"an http entry alone", platform::TRegistryText::Found, "http=h.example:80", "h.example", "80",
     ""},
    {"HTTP= in capitals is no entry", platform::TRegistryText::Found, "HTTP=h.example:80",
     "HTTP=h.example", "80", ""},
    {"no port: the port field keeps its text", platform::TRegistryText::Found, "h.example",
     "h.example", "1234", ""},
    {"an empty value", platform::TRegistryText::Found, "", "", "1234", ""},
    {"no value", platform::TRegistryText::Missing, "", "", "1234", ""},
    {"no key", platform::TRegistryText::KeyUnavailable, "", "", "1234", ""},
    {"a value of another type", platform::TRegistryText::OtherType, "", "", "1234",
     "error 'ProxyServer' のデータ型が不正です.\n"},
};

TEST(Form1Proxy, BrowserProxyFillsAnEmptyAddress) {
  for (const TImportCase& c : kImportCases) {
    SCOPED_TRACE(c.name);
    TStart start(nullptr);
    start.os.Registry.Answer = {c.status, c.value};
    start.form->Edit4.UserText("1234");
    start.form->CheckBox1.UserClick();
    EXPECT_EQ(start.form->Edit3.Text(), c.address);
    EXPECT_EQ(start.form->Edit4.Text(), c.port);
    EXPECT_EQ(Messages(start.backend), c.shown);
    EXPECT_EQ(ProxyGroup(*start.form), "111111111 unchecked");
    EXPECT_EQ(start.os.Registry.Reads,
              std::vector<std::string>{std::string(InternetSettingsKey) + "|ProxyServer"});
  }
}

TEST(Form1Proxy, AnAddressAlreadyThereIsKept) {
  {
    TStart start(nullptr);
    start.os.Registry.Answer = {platform::TRegistryText::Found, "other.example:1"};
    start.form->Edit3.UserText("typed.example");
    start.form->CheckBox1.UserClick();
    EXPECT_EQ(start.form->Edit3.Text(), "typed.example");
    EXPECT_TRUE(start.os.Registry.Reads.empty());
  }

  // The same at start-up: only an empty stored address asks the browser.
  auto browser = [](form1test::TForm1Platform& os) {
    os.Registry.Answer = {platform::TRegistryText::Found, "b.example:3128"};
  };
  {
    TStart stored("[Set]\r\nProxy=On\r\nAddress=s.example\r\nPort=1\r\n", kSites, browser);
    EXPECT_EQ(stored.form->Edit3.Text(), "s.example");
    EXPECT_EQ(stored.form->Edit4.Text(), "1");
    EXPECT_TRUE(stored.os.Registry.Reads.empty());
  }
  TStart empty("[Set]\r\nProxy=On\r\n", kSites, browser);
  EXPECT_EQ(empty.form->Edit3.Text(), "b.example");
  EXPECT_EQ(empty.form->Edit4.Text(), "3128");
}

} // namespace
