// The Win32 side of the clock program's platform seams, against the real
// system functions, and the profile fake against the files they write.
#include <windows.h>

#include <shellapi.h>

#include <gtest/gtest.h>

#include <string>

#include "clock/ProxyImport.h"
#include "clock/Settings.h"
#include "clock/TrayIcon.h"
#include "clock/platform/FileSystem.h"
#include "clock/platform/NamedMutexes.h"
#include "clock/platform/ProfileFiles.h"
#include "clock/platform/Registry.h"
#include "clock/platform/SystemInfo.h"
#include "tests/e2e/Harness_win.h"
#include "tests/unit/FakeProfileFiles.h"

namespace {

TEST(PlatformProfile, RealFileTextMatchesTheFake) {
  platform::TProfileFiles& real = platform::ProfileFiles();
  FakeProfileFiles fake;
  e2e::TTempFolder folder;
  const std::string path = folder.File("Set.ini");
  struct Write {
    const char *section, *key, *value, *expected;
  } writes[] = {
      {"Set", "WebSite", "1", "[Set]\r\nWebSite=1\r\n"},
      {"Set", "Proxy", "On", "[Set]\r\nWebSite=1\r\nProxy=On\r\n"},
      {"Position", "Top", "5", "[Set]\r\nWebSite=1\r\nProxy=On\r\n[Position]\r\nTop=5\r\n"},
      {"SET", "webSITE", "22", "[Set]\r\nWebSite=22\r\nProxy=On\r\n[Position]\r\nTop=5\r\n"},
      {"set", "Pass", "\xA0\xA1\xA2",
       "[Set]\r\nWebSite=22\r\nProxy=On\r\nPass=\xA0\xA1\xA2\r\n[Position]\r\nTop=5\r\n"},
      {"Position", "Left", "7",
       "[Set]\r\nWebSite=22\r\nProxy=On\r\nPass=\xA0\xA1\xA2\r\n[Position]\r\nTop=5\r\nLeft=7\r\n"},
  };
  for (const Write& w : writes) {
    ASSERT_TRUE(real.WriteString(path, w.section, w.key, w.value)) << w.key;
    fake.WriteString(path, w.section, w.key, w.value);
    EXPECT_EQ(e2e::ReadFileText(path), w.expected) << w.section << "/" << w.key;
    EXPECT_EQ(fake.Files[path], w.expected) << w.section << "/" << w.key;
  }
  EXPECT_EQ(real.ReadString(path, "POSITION", "left", "-"), "7");
  EXPECT_EQ(real.ReadString(path, "Set", "Missing", "-"), "-");
  EXPECT_EQ(real.ReadString(folder.File("none.ini"), "Set", "WebSite", "-1"), "-1");

  EXPECT_TRUE(real.WriteString(path, "Set", "Long", std::string(3000, 'x').c_str()));
  EXPECT_EQ(real.ReadString(path, "Set", "Long", ""), std::string(2047, 'x'));
  EXPECT_FALSE(real.WriteString(folder.File("no such folder\\Set.ini"), "Set", "A", "1"));
}

// The storability rule says yes exactly when a value comes back unchanged.
TEST(PlatformProfile, StorableValuesComeBackUnchanged) {
  platform::TProfileFiles& files = platform::ProfileFiles();
  e2e::TTempFolder folder;
  const std::string path = folder.File("probe.ini");
  std::vector<std::string> values;
  for (int b = 1; b < 256; ++b) {
    values.push_back(std::string("x") + static_cast<char>(b) + "y");
    values.push_back(std::string("x") + static_cast<char>(b));
  }
  for (const char* odd :
       {"\x85\x40", "\x81\xAD", "\x87\x90", "\xFA\x4A", "\xED\x40", "\xF0\x40", "\x82\xA0", " x",
        "\vx", "\x1Ax", "x\x1Ay", "x\t", "\"x\"", "'x\"", "\x80\xA0\xFD\xFE\xFF"})
    values.push_back(odd);
  for (const std::string& value : values) {
    ASSERT_TRUE(files.WriteString(path, "T", "k", value));
    const bool cameBack = files.ReadString(path, "T", "k", "") == value;
    EXPECT_EQ(IsStorableProfileValue(value), cameBack) << testing::PrintToString(value);
  }
}

class PlatformRegistry : public testing::Test {
protected:
  void SetUp() override { RegDeleteKeyA(HKEY_CURRENT_USER, kKey); }
  void TearDown() override { RegDeleteKeyA(HKEY_CURRENT_USER, kKey); }
  void Set(const char* name, DWORD type, const void* data, DWORD size) {
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                              nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size),
              ERROR_SUCCESS);
    RegCloseKey(key);
  }
  static constexpr const char* kKey = "Software\\VelmoraPlatformTest";
};

TEST_F(PlatformRegistry, ReadsTextValuesAndTellsOtherTypes) {
  platform::TRegistry& registry = platform::Registry();
  EXPECT_EQ(registry.ReadCurrentUserText(kKey, "ProxyServer").Status,
            platform::TRegistryText::Missing)
      << "the missing key is created";
  Set("Plain", REG_SZ, "h.example:3128", 15);
  Set("Expand", REG_EXPAND_SZ, "%TEMP%:1", 9);
  Set("Zero", REG_SZ, "a\0b", 4);
  Set("Unterminated", REG_SZ, "abc", 3);
  const DWORD number = 8080;
  Set("Number", REG_DWORD, &number, sizeof number);
  struct Case {
    const char* name;
    platform::TRegistryText::TStatus status;
    const char* text;
  } cases[] = {
      {"Plain", platform::TRegistryText::Found, "h.example:3128"},
      {"Expand", platform::TRegistryText::Found, "%TEMP%:1"},
      {"Zero", platform::TRegistryText::Found, "a"},
      {"Unterminated", platform::TRegistryText::Found, "abc"},
      {"Number", platform::TRegistryText::OtherType, ""},
      {"Absent", platform::TRegistryText::Missing, ""},
  };
  for (const Case& c : cases) {
    const platform::TRegistryText read = registry.ReadCurrentUserText(kKey, c.name);
    EXPECT_EQ(read.Status, c.status) << c.name;
    EXPECT_EQ(read.Text, c.text) << c.name;
  }
}

TEST(PlatformBrowserProxy, ImportsTheHttpEntryOfInternetSettings) {
  HKEY key;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, InternetSettingsKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                            nullptr, &key, nullptr),
            ERROR_SUCCESS);
  const char value[] = "ftp=f.example:21;http=h.example:3128;https=s.example:443";
  RegSetValueExA(key, ProxyServerValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                 sizeof value);
  const std::optional<TBrowserProxy> proxy = ReadBrowserProxy();
  RegDeleteValueA(key, ProxyServerValue);
  RegCloseKey(key);
  ASSERT_TRUE(proxy);
  EXPECT_EQ(proxy->Address, "h.example");
  EXPECT_EQ(proxy->Port, "3128");
}

TEST(PlatformTray, AddModifyRemoveReachTheShell) {
  HWND window = CreateWindowExA(0, "STATIC", "tray owner", 0, 0, 0, 0, 0, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(window, nullptr);
  TTrayIcon tray;
  tray.Modify("ICON1", "before any add");
  EXPECT_FALSE(e2e::TrayIconExists(window));
  tray.Add(window, "ICON1", "Velmora Ver1.32");
  EXPECT_TRUE(e2e::TrayIconExists(window));

  NOTIFYICONDATAA again = {};
  again.cbSize = NOTIFYICONDATAA_V1_SIZE;
  again.hWnd = window;
  again.uID = 1;
  EXPECT_FALSE(Shell_NotifyIconA(NIM_ADD, &again)) << "a second add must be refused";

  tray.Modify("NET", std::string(80, 'a'));
  EXPECT_TRUE(e2e::TrayIconExists(window));
  tray.Remove(window);
  EXPECT_FALSE(e2e::TrayIconExists(window));
  DestroyWindow(window);
}

TEST(PlatformMutex, CreateOrOpenIsOneStep) {
  platform::TNamedMutexes& mutexes = platform::NamedMutexes();
  const std::string name = "VelmoraPlatformTest" + std::to_string(GetCurrentProcessId());
  platform::TMutexOpening first = mutexes.CreateOrOpen(name);
  ASSERT_EQ(first.Status, platform::TMutexOpening::Created);
  EXPECT_TRUE(first.Hold);
  platform::TMutexOpening second = mutexes.CreateOrOpen(name);
  EXPECT_EQ(second.Status, platform::TMutexOpening::AlreadyExists);
  EXPECT_FALSE(second.Hold);
  first.Hold.reset();
  EXPECT_EQ(mutexes.CreateOrOpen(name).Status, platform::TMutexOpening::Created)
      << "releasing the hold ends the mutex";
}

TEST(PlatformSystem, AnswersAsTheSystemDoes) {
  platform::TSystemInfo& system = platform::SystemInfo();
  EXPECT_EQ(system.VersionPlatformId(), std::optional<uint32_t>(VER_PLATFORM_WIN32_NT));
  EXPECT_EQ(system.DecimalSeparator(), '.');

  platform::TFileSystem& files = platform::FileSystem();
  const std::string exe = files.ExecutablePath();
  EXPECT_EQ(exe.substr(exe.size() - 15), "velmora_e2e.exe") << exe;
  char current[MAX_PATH];
  GetCurrentDirectoryA(sizeof current, current);
  EXPECT_EQ(files.CurrentDirectory(), current);
  e2e::TTempFolder folder;
  const std::string path = folder.File("ServerList.txt");
  const std::string contents("a\r\nb\0c", 6);
  e2e::WriteBytes(path, contents);
  std::string read;
  ASSERT_TRUE(files.ReadWholeFile(path, read));
  EXPECT_EQ(read, contents);
  EXPECT_FALSE(files.ReadWholeFile(folder.File("missing.txt"), read));
}

} // namespace
