#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "clock/Exceptions.h"
#include "clock/FilePaths.h"
#include "clock/ProxyImport.h"
#include "clock/Settings.h"
#include "clock/TextCp932.h"
#include "tests/unit/FakeFileSystem.h"
#include "tests/unit/FakeProfileFiles.h"
#include "tests/unit/FakeRegistry.h"

namespace {

std::string Bytes(std::initializer_list<int> values) {
  std::string text;
  for (int value : values)
    text += static_cast<char>(value);
  return text;
}

TEST(PasswordShift, ShiftsEachByteBy63AndBack) {
  EXPECT_EQ(ScramblePassword("abc"), Bytes({0xA0, 0xA1, 0xA2}));
  EXPECT_EQ(ScramblePassword(Bytes({0xC1, 0xFF, 0x00})), Bytes({0x00, 0x3E, 0x3F}));
  EXPECT_EQ(UnscramblePassword(Bytes({0xA0, 0xA1, 0xA2})), "abc");
  std::string every;
  for (int b = 0; b < 256; ++b)
    every += static_cast<char>(b);
  EXPECT_EQ(UnscramblePassword(ScramblePassword(every)), every);
  EXPECT_EQ(ScramblePassword(every).size(), 256u);
}

TEST(PasswordShift, RefusesPasswordsThatWouldNotComeBack) {
  FakeProfileFiles profiles;
  struct Case {
    std::string password;
    bool storable;
    const char* why;
  } cases[] = {
      {"", true, "empty"},
      {"abc", true, "shifts to single bytes A0 A1 A2"},
      {"Password1", true, "the lead byte 0x8F gets the trail 0xA0"},
      {Bytes({0xC1}), false, "shifts to a zero byte"},
      {Bytes({'a', 0xCE, 'b'}), false, "shifts to CR"},
      {Bytes({'a', 0xCB, 'b'}), false, "shifts to LF"},
      {Bytes({0xE1, 'a'}), false, "shifts to a leading blank"},
      {Bytes({'a', 0xCA}), false, "shifts to a trailing tab"},
      {Bytes({0xCC, 'a'}), false, "shifts to a leading vertical tab"},
      {Bytes({'a', 0xCD}), false, "shifts to a trailing form feed"},
      {Bytes({'a', 0xDB}), false, "shifts to a trailing 0x1A"},
      {Bytes({'a', 0xDB, 'b'}), true, "0x1A inside stays"},
      {Bytes({0xE3, 'a', 0xE3}), false, "shifts to a quoted text"},
      {Bytes({0xE8, 'a', 0xE3}), true, "different quotes stay"},
      {"B", false, "a lone lead byte 0x81 at the end"},
      {"B@", false, "lead 0x81 then 0x7F, no trail byte"},
      {Bytes({'B', 0xC3}), false, "lead 0x81 then 0x02, no trail byte"},
  };
  for (const Case& c : cases) {
    if (c.storable) {
      EXPECT_NO_THROW(CheckPasswordStorable(c.password)) << c.why;
    } else {
      try {
        CheckPasswordStorable(c.password);
        ADD_FAILURE() << "accepted: " << c.why;
      } catch (const Exception& error) {
        EXPECT_STREQ(error.what(), "パスワードに保存できない文字が含まれています") << c.why;
      }
    }
  }
}

TEST(SiteList, SplitsAtEveryLineEnd) {
  struct Case {
    std::string text;
    std::vector<std::string> entries;
  } cases[] = {
      {"", {}},
      {"a", {"a"}},
      {"a\r\n", {"a"}},
      {"a\r\nb\nc\rd", {"a", "b", "c", "d"}},
      {"a\n\rb", {"a", "", "b"}},
      {"\r\n", {""}},
      {"a\r\n\r\nb\r\n\r\n", {"a", "", "b", ""}},
      {" a \r\n\tb", {" a ", "\tb"}},
      {std::string("a\r\nb\0c\r\nd", 10), {"a", "b"}},
      {std::string("\0a", 2), {}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ParseSiteList(c.text), c.entries) << testing::PrintToString(c.text);
}

TEST(SiteList, ReadsServerListBesideTheProgram) {
  FakeFileSystem files;
  files.ExePath = "C:\\Program Files\\Velmora\\Velmora.exe";
  try {
    ReadSiteList();
    ADD_FAILURE() << "a missing file was read";
  } catch (const Exception& error) {
    EXPECT_STREQ(error.what(), "ファイル C:\\Program Files\\Velmora\\ServerList.txt は開けません");
  }
  files.Files["C:\\Program Files\\Velmora\\ServerList.txt"] = "a.example\r\nb.example\r\n";
  EXPECT_EQ(ReadSiteList(), (std::vector<std::string>{"a.example", "b.example"}));
}

TEST(FilePaths, FolderAndBaseNameGoByCharacters) {
  // "表" is 0x95 0x5C: its trail byte is a backslash.
  const std::string hyo = "表";
  ASSERT_EQ(hyo, Bytes({0x95, 0x5C}));
  struct Case {
    std::string path, folder, baseName;
  } cases[] = {
      {"C:\\Velmora\\Velmora.exe", "C:\\Velmora", "Velmora"},
      {"C:\\Velmora.exe", "C:\\", "Velmora"},
      {"C:Velmora.exe", "C:", "Velmora"},
      {"\\\\server\\share\\V.exe", "\\\\server\\share", "V"},
      {"Velmora.exe", "", "Velmora"},
      {"C:\\a.b\\Velmora.tar.exe", "C:\\a.b", "Velmora.tar"},
      {"C:\\a.b\\Velmora", "C:\\a.b", "Velmora"},
      {"C:\\" + hyo + "\\" + hyo + ".exe", "C:\\" + hyo, hyo},
      {"C:\\" + hyo + ".exe", "C:\\", hyo},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ExtractFileDir(c.path), c.folder) << c.path;
    EXPECT_EQ(ExtractFileBaseName(c.path), c.baseName) << c.path;
  }
}

TEST(FilePaths, SettingsFilesSitBesideTheProgram) {
  FakeFileSystem files;
  files.ExePath = "D:\\Tools\\Velmora.exe";
  EXPECT_EQ(SettingsFilePath(), "D:\\Tools\\Set.ini");
  EXPECT_EQ(ServerListFilePath(), "D:\\Tools\\ServerList.txt");
  files.ExePath = "D:\\Velmora.exe";
  EXPECT_EQ(SettingsFilePath(), "D:\\\\Set.ini");
}

TEST(SettingsFile, ReadsAndWritesSetIniWithTheProgramsErrors) {
  FakeFileSystem files;
  FakeProfileFiles profiles;
  EXPECT_EQ(ReadSetting("Set", "WebSite", "-1"), "-1");
  WriteSetting("Set", "WebSite", "3");
  WriteSetting("Position", "Top", "109");
  EXPECT_EQ(profiles.Files["C:\\Velmora\\Set.ini"],
            "[Set]\r\nWebSite=3\r\n[Position]\r\nTop=109\r\n");
  EXPECT_EQ(ReadSetting("set", "WEBSITE", "-1"), "3");

  profiles.Unwritable.insert("C:\\Velmora\\Set.ini");
  try {
    WriteSetting("Set", "Proxy", "On");
    ADD_FAILURE() << "a refused write passed";
  } catch (const Exception& error) {
    EXPECT_STREQ(error.what(), "C:\\Velmora\\Set.ini に書き込めません");
  }
}

TEST(RandomDraw, FollowsTheLinearCongruence) {
  struct Case {
    uint32_t seed, n, result, nextSeed;
  } cases[] = {
      {0, 100, 0, 1},
      {0xFFFFFFFFu, 100, 96, 4160191484u},
      {12345, 7, 2, 1655067934u},
      {86399999, 1000, 723, 3106359292u},
      {5, 0, 0, 673879066u},
  };
  for (const Case& c : cases) {
    TRandom random;
    random.Randomize(c.seed);
    EXPECT_EQ(random.Random(c.n), c.result) << c.seed;
    EXPECT_EQ(random.Seed, c.nextSeed) << c.seed;
  }
  TRandom random;
  random.Randomize(7);
  for (int i = 0; i < 1000; ++i)
    EXPECT_LT(random.Random(3), 3u);
}

TEST(RandomDraw, SeedIsMillisecondsSinceMidnightUtc) {
  struct Case {
    int hour, minute, second, millisecond;
    int32_t bias, standardBias, daylightBias;
    uint32_t resultCode;
    uint32_t expected;
  } cases[] = {
      {9, 0, 0, 0, -540, 0, 0, 0, 0},
      {8, 59, 59, 999, -540, 0, 0, 0, 86399999},
      {23, 30, 15, 250, 0, 0, 0, 1, 84615250},
      {1, 0, 0, 0, 300, 0, -60, 2, 5 * 3600000},
      {1, 0, 0, 0, 300, 0, -60, 1, 6 * 3600000},
      {20, 0, 0, 0, 300, 0, -60, 0, 3600000},
  };
  for (const Case& c : cases) {
    CalendarTime local;
    local.Hour = c.hour;
    local.Minute = c.minute;
    local.Second = c.second;
    local.Millisecond = c.millisecond;
    platform::ZoneInformation zone;
    zone.Bias = c.bias;
    zone.StandardBias = c.standardBias;
    zone.DaylightBias = c.daylightBias;
    zone.ResultCode = c.resultCode;
    EXPECT_EQ(UtcMillisecondsOfDay(local, zone), c.expected) << c.hour << ":" << c.minute;
  }
}

TEST(TextCp932, CutsFindsAndComparesByCharacters) {
  const std::string a = "あ"; // 0x82 0xA0
  ASSERT_EQ(a, Bytes({0x82, 0xA0}));
  EXPECT_EQ(CutAtCharBoundary("abc", 2), "ab");
  EXPECT_EQ(CutAtCharBoundary("a" + a, 2), "a");
  EXPECT_EQ(CutAtCharBoundary("a" + a, 3), "a" + a);
  EXPECT_EQ(CutAtCharBoundary("ｱｲ", 1), "ｱ"); // half-width kana are one byte
  // 0x82 0x68 is a character whose trail byte is "h".
  EXPECT_EQ(FindText(Bytes({0x82}) + "http=", "http="), std::string::npos);
  EXPECT_EQ(FindText("x" + Bytes({0x82}) + "http=", "http="), std::string::npos);
  EXPECT_EQ(FindText(a + "http=", "http="), 2u);
  EXPECT_TRUE(SameTextIgnoringCase("TApplication", "tapplication"));
  EXPECT_FALSE(SameTextIgnoringCase(Bytes({0x82, 'a'}), Bytes({0x82, 'A'})));
  EXPECT_TRUE(SameTextIgnoringCase(a + "x", a + "X"));
  EXPECT_FALSE(SameTextIgnoringCase("ab", "abc"));
  EXPECT_TRUE(IsWellFormedCp932("abc" + a + "ｱ"));
  EXPECT_FALSE(IsWellFormedCp932("abc" + Bytes({0x82})));
  EXPECT_FALSE(IsWellFormedCp932(Bytes({0xE0, 0x3F})));
  EXPECT_TRUE(IsWellFormedCp932(Bytes({0xFC, 0xFC, 0xA0, 0x80})));
}

TEST(ProxyImport, SplitsTheProxyServerText) {
  struct Case {
    std::string value, address;
    std::optional<std::string> port;
  } cases[] = {
      {"proxy.example:8080", "proxy.example", "8080"},
      {"ftp=f.example:21;http=h.example:3128;https=s.example:443", "h.example", "3128"},
      {"http=h.example:80", "h.example", "80"},
      {"HTTP=h.example:80", "HTTP=h.example", "80"},
      {"ftp=f.example:21;https=s.example:443", "ftp=f.example", "21"},
      {"a:1:2", "a", "1:2"},
      {"http=h.example;ftp=f:21", "h.example", std::nullopt},
      {"proxy.example", "proxy.example", std::nullopt},
      {"http=:8080", "", "8080"},
      {Bytes({0x82}) + "http=x:1", Bytes({0x82}) + "http=x", "1"},
  };
  for (const Case& c : cases) {
    const TBrowserProxy proxy = SplitProxyServer(c.value);
    EXPECT_EQ(proxy.Address, c.address) << c.value;
    EXPECT_EQ(proxy.Port, c.port) << c.value;
  }
}

TEST(ProxyImport, ReadsTheBrowsersValue) {
  FakeRegistry registry;
  using platform::TRegistryText;
  registry.Answer = {TRegistryText::Found, "h.example:3128"};
  std::optional<TBrowserProxy> proxy = ReadBrowserProxy();
  ASSERT_TRUE(proxy);
  EXPECT_EQ(proxy->Address, "h.example");
  EXPECT_EQ(proxy->Port, "3128");
  EXPECT_EQ(registry.Reads.back(),
            "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings|ProxyServer");

  for (TRegistryText::TStatus nothing :
       {TRegistryText::KeyUnavailable, TRegistryText::Missing, TRegistryText::Found}) {
    registry.Answer = {nothing, ""};
    EXPECT_FALSE(ReadBrowserProxy()) << nothing;
  }

  registry.Answer = {TRegistryText::OtherType, ""};
  try {
    ReadBrowserProxy();
    ADD_FAILURE() << "a value of another type was taken";
  } catch (const Exception& error) {
    EXPECT_STREQ(error.what(), "'ProxyServer' のデータ型が不正です");
  }
}

} // namespace
