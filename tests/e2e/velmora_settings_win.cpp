#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>

#include "tests/e2e/Harness_win.h"
#include "tests/e2e/SettingsHarness_win.h"
#include "tests/e2e/VelmoraScenario_win.h"
#include "tests/e2e/UpdateHarness_win.h"

namespace {

const char kCaption[] = "Velmora Ver1.32";
const char kSites[] = "site-a.example\r\nsite-b.example\r\nsite-c.example\r\n";

using TState = std::map<std::string, std::string>;

// Where the settings' controls sit in the form's client area.
struct TPlace {
  const char* name;
  const char* className;
  int left, top;
};

const TPlace kPlaces[] = {
    {"ComboBox3", "TComboBox", 64, 40},  {"ComboBox2", "TComboBox", 144, 72},
    {"CheckBox1", "TCheckBox", 24, 104}, {"Edit3", "TEdit", 64, 130},
    {"Edit4", "TEdit", 240, 130},        {"CheckBox2", "TCheckBox", 24, 160},
    {"Edit1", "TEdit", 64, 184},         {"CheckBox4", "TCheckBox", 24, 224},
    {"CheckBox5", "TCheckBox", 24, 254}, {"CheckBox6", "TCheckBox", 24, 280},
    {"Edit5", "TEdit", 136, 279},        {"CheckBox3", "TCheckBox", 24, 299},
    {"CheckBox7", "TCheckBox", 24, 323}, {"Edit6", "TEdit", 48, 326},
    {"ComboBox1", "TComboBox", 88, 352}, {"Edit7", "TEdit", 128, 352},
};

std::string Describe(const TPlace& place, HWND control) {
  const std::string disabled = IsWindowEnabled(control) ? "" : " disabled";
  const std::string className = place.className;
  if (className == "TCheckBox")
    return (SendMessageA(control, BM_GETCHECK, 0, 0) == BST_CHECKED ? "checked" : "unchecked") +
           disabled;
  if (className == "TComboBox")
    return std::to_string(SendMessageA(control, CB_GETCURSEL, 0, 0)) + " '" +
           e2e::ControlText(control) + "'" + disabled;
  return "'" + e2e::ControlText(control) + "'" + disabled;
}

// The first start's state: no Set.ini, Wine answering as NT.
const TState kFirstStart = {
    {"ComboBox2", "-1 '1.1'"},
    {"CheckBox1", "unchecked"},
    {"Edit3", "'' disabled"},
    {"Edit4", "'' disabled"},
    {"CheckBox2", "unchecked disabled"},
    {"Edit1", "'' disabled"},
    {"CheckBox4", "unchecked"},
    {"CheckBox5", "unchecked"},
    {"CheckBox6", "unchecked"},
    {"Edit5", "'8' disabled"},
    {"CheckBox3", "unchecked disabled"},
    {"CheckBox7", "checked"},
    {"Edit6", "'300'"},
    {"ComboBox1", "-1 '－'"},
    {"Edit7", "'0'"},
};

// Velmora in a folder of its own with a site list of three.
class VelmoraSettings : public e2e::TVelmoraScenario {
protected:
  void Launch(const char* setIni, bool withSiteList = true) {
    LaunchFiles(withSiteList ? kSites : nullptr, setIni);
  }
  void Start(const char* setIni) {
    Launch(setIni);
    WaitForForm();
  }
  HWND Control(const char* name) const {
    for (const TPlace& place : kPlaces)
      if (std::string(place.name) == name)
        return e2e::ChildAt(form_, place.className, place.left, place.top);
    return nullptr;
  }
  TState State() const {
    TState state;
    for (const TPlace& place : kPlaces) {
      HWND control = e2e::ChildAt(form_, place.className, place.left, place.top);
      state[place.name] = control ? Describe(place, control) : "<missing>";
    }
    return state;
  }
  void ExpectState(const TState& expected) const {
    const TState got = State();
    for (const auto& [name, value] : expected)
      EXPECT_EQ(got.at(name), value) << name;
  }
  POINT Position() const {
    RECT bounds;
    GetWindowRect(form_, &bounds);
    return {bounds.left, bounds.top};
  }
  std::string SetIni() const { return e2e::ReadFileText(folder_.File("Set.ini")); }
};

TEST_F(VelmoraSettings, FirstStartWithoutSetIni) {
  Start(nullptr);
  ExpectState(kFirstStart);
  HWND sites = Control("ComboBox3");
  ASSERT_NE(sites, nullptr);
  EXPECT_EQ(SendMessageA(sites, CB_GETCOUNT, 0, 0), 3);
  const LRESULT drawn = SendMessageA(sites, CB_GETCURSEL, 0, 0);
  EXPECT_TRUE(drawn >= 0 && drawn < 3) << "a site is drawn at random: " << drawn;
  EXPECT_EQ(Position().x, 192);
  EXPECT_EQ(Position().y, 109);
  EXPECT_EQ(e2e::WaitForShownWindow(id_, "#32770", kCaption, 0), nullptr);
  EXPECT_FALSE(e2e::FileExists(folder_.File("Set.ini"))) << "a start writes nothing";
}

TEST_F(VelmoraSettings, FullSetIniLoadsIntoTheControls) {
  Start("[Set]\r\nWebSite=2\r\nProxy=On\r\nAddress=proxy.example\r\nPort=3128\r\nUser=On\r\n"
        "Name=user1\r\nPass=\xAF\xB6pq\r\nSummer=On\r\nHTTPV=pv1_0\r\nWait=On\r\nNonError=On\r\n"
        "Server=On\r\nServerTime=2\r\nGosa=Off\r\nGosaTime=60\r\nHosei=+\r\nHoseiti=5\r\n"
        "[Position]\r\nTop=150\r\nLeft=250\r\n");
  ExpectState({
      {"ComboBox3", "2 'site-c.example'"},
      {"ComboBox2", "1 '1.0'"},
      {"CheckBox1", "checked"},
      {"Edit3", "'proxy.example'"},
      {"Edit4", "'3128'"},
      {"CheckBox2", "checked"},
      {"Edit1", "'user1'"},
      {"CheckBox4", "checked"},
      {"CheckBox5", "checked"},
      {"CheckBox6", "checked"},
      {"Edit5", "'2'"},
      {"CheckBox3", "checked disabled"},
      {"CheckBox7", "unchecked"},
      {"Edit6", "'60' disabled"},
      {"ComboBox1", "1 '＋'"},
      {"Edit7", "'5'"},
  });
  EXPECT_EQ(Position().x, 250);
  EXPECT_EQ(Position().y, 150);
  HWND password = e2e::ChildAt(form_, "TEdit", 224, 184);
  ASSERT_NE(password, nullptr);
  EXPECT_TRUE(IsWindowEnabled(password));
}

TEST_F(VelmoraSettings, SaveWritesTheFileByteForByte) {
  Start(nullptr);
  const LRESULT site = SendMessageA(Control("ComboBox3"), CB_GETCURSEL, 0, 0);
  // Sent, not posted, so that each step is taken before the next.
  SendMessageA(Control("CheckBox1"), BM_CLICK, 0, 0);
  SendMessageA(Control("Edit3"), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("proxy.example"));
  SendMessageA(Control("Edit4"), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("3128"));
  SendMessageA(Control("CheckBox2"), BM_CLICK, 0, 0);
  SendMessageA(Control("Edit1"), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("user1"));
  SendMessageA(e2e::ChildAt(form_, "TEdit", 224, 184), WM_SETTEXT, 0,
               reinterpret_cast<LPARAM>("pw12"));
  SendMessageA(Control("CheckBox4"), BM_CLICK, 0, 0);
  SendMessageA(Control("CheckBox5"), BM_CLICK, 0, 0);
  SendMessageA(Control("CheckBox7"), BM_CLICK, 0, 0);
  SendMessageA(Control("Edit7"), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("-2"));

  HWND save = e2e::FindChild(form_, "TButton", "設定保存(&H)");
  ASSERT_NE(save, nullptr);
  // The information message is modal: the click returns when it closes.
  PostMessageA(save, BM_CLICK, 0, 0);
  HWND message = e2e::WaitForShownWindow(id_, "TMessageForm", kCaption, 10000);
  ASSERT_NE(message, nullptr) << "no information message";
  EXPECT_EQ(SetIni(), "[Set]\r\nWebSite=" + std::to_string(site) +
                          "\r\nProxy=On\r\nAddress=proxy.example\r\nPort=3128\r\nUser=On\r\n"
                          "Name=user1\r\nPass=\xAF\xB6pq\r\nSummer=Off\r\nWait=On\r\n"
                          "NonError=On\r\nServer=Off\r\nGosa=Off\r\nHoseiti=-2\r\n");
  HWND ok = FindWindowExA(message, nullptr, "TButton", nullptr);
  ASSERT_NE(ok, nullptr);
  PostMessageA(ok, BM_CLICK, 0, 0);
  EXPECT_TRUE(e2e::WaitGone(message, 5000));
}

TEST_F(VelmoraSettings, MissingSiteListIsReportedAndTheWindowOpens) {
  Launch("[Set]\r\nWait=On\r\n", false);
  HWND box = e2e::WaitForShownWindow(id_, "#32770", kCaption, 20000);
  ASSERT_NE(box, nullptr) << "no error box";
  EXPECT_EQ(e2e::MessageBoxText(box),
            "ファイル " + folder_.File("ServerList.txt") + " は開けません.");
  EXPECT_EQ(e2e::WaitForWindow(id_, "TForm1", 0), nullptr) << "the window comes after the report";
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  WaitForForm();
  EXPECT_EQ(State().at("CheckBox4"), "checked") << "the settings after the site list loaded";
}

TEST_F(VelmoraSettings, ClosingByTheCloseBoxWritesThePosition) {
  Start("[Set]\r\nHoseiti=3\r\n");
  SetWindowPos(form_, nullptr, 250, 150, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  PostMessageA(form_, WM_SYSCOMMAND, SC_CLOSE, 0);
  ASSERT_TRUE(velmora_->WaitForExit(10000));
  EXPECT_EQ(velmora_->ExitCode(), 0u);
  EXPECT_EQ(SetIni(), "[Set]\r\nHoseiti=3\r\n[Position]\r\nTop=150\r\nLeft=250\r\n");
}

TEST_F(VelmoraSettings, SecondCopyEndsAtOnceAndTheFirstStays) {
  Start(nullptr);
  e2e::TProcess second("\"" + program_ + "\"", folder_.Path());
  ASSERT_TRUE(second.WaitForExit(20000)) << "the second copy kept running";
  EXPECT_EQ(second.ExitCode(), 0u);
  EXPECT_EQ(e2e::WaitForShownWindow(second.Id(), "#32770", kCaption, 0), nullptr);
  EXPECT_FALSE(velmora_->WaitForExit(0)) << "the first copy ended";
  EXPECT_TRUE(IsWindowVisible(form_));
  EXPECT_FALSE(e2e::FileExists(folder_.File("Set.ini"))) << "the second copy saved a position";
}

} // namespace
