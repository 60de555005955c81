#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "wrapper/HostedStop.h"
#include "wrapper/Settings.h"

namespace {

using namespace kestrun;

// An ini file in memory that records every call in order. Reading does to
// a stored text what the system's profile functions do: blanks at both ends
// go, then one pair of matching quotes around it.
class TFakeProfile : public TProfile {
public:
  std::map<std::string, std::string> Values; // "section/key" -> stored text
  std::vector<std::string> Calls;

  void ReadText(const char* section, const char* key, const char* defaultText, char* out,
                std::size_t size, const char* file) override {
    Record("read", section, key, file);
    auto found = Values.find(Key(section, key));
    std::string text = found == Values.end() ? defaultText : found->second;
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ')
      text.pop_back();
    while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ')
      text.erase(0, 1);
    if (text.size() >= 2 && (text[0] == '"' || text[0] == '\'') && text.back() == text[0])
      text = text.substr(1, text.size() - 2);
    text = text.substr(0, size - 1);
    std::memcpy(out, text.c_str(), text.size() + 1);
  }
  int ReadInt(const char* section, const char* key, int defaultValue, const char* file) override {
    Record("read", section, key, file);
    auto found = Values.find(Key(section, key));
    return found == Values.end() ? defaultValue : std::atoi(found->second.c_str());
  }
  int WriteText(const char* section, const char* key, const char* value,
                const char* file) override {
    Record("write", section, key, file);
    Values[Key(section, key)] = value;
    return 1;
  }

private:
  static std::string Key(const char* section, const char* key) {
    return std::string(section) + "/" + key;
  }
  void Record(const char* what, const char* section, const char* key, const char* file) {
    Calls.push_back(std::string(what) + " " + section + "/" + key + " " + file);
  }
};

class WrapperSettingsFile : public ::testing::Test {
protected:
  void SetUp() override {
    std::strcpy(IniPath, "C:\\svc\\kestrun.ini");
    std::memset(&Settings, 'x', sizeof Settings);
  }
  TFakeProfile Profile;
};

std::vector<std::string> CallsOf(const char* what) {
  std::vector<std::string> calls;
  for (const char* key : {"exe", "option", "name", "end", "auto", "desktop"})
    calls.push_back(std::string(what) + " kestrun/" + key + " C:\\svc\\kestrun.ini");
  return calls;
}

TEST_F(WrapperSettingsFile, MissingKeysGiveTheDefaults) {
  LoadSettings(Profile);
  EXPECT_EQ(Profile.Calls, CallsOf("read"));
  EXPECT_STREQ(Settings.ProgramPath, "");
  EXPECT_STREQ(Settings.Options, "");
  EXPECT_STREQ(Settings.ServiceName, "");
  EXPECT_EQ(Settings.StopMethod, StopBySysCommandThenClose);
  EXPECT_EQ(Settings.AutoStart, 1);
  EXPECT_EQ(Settings.AllowDesktop, 0);
}

TEST_F(WrapperSettingsFile, StoredValuesAreTakenAsTheyStand) {
  Profile.Values = {{"kestrun/exe", "C:\\my tools\\web.exe"},
                    {"kestrun/option", "-p 80"},
                    {"kestrun/name", "web"},
                    {"kestrun/end", "7"},
                    {"kestrun/auto", "0"},
                    {"kestrun/desktop", "1"},
                    {"other/name", "not ours"}};
  LoadSettings(Profile);
  EXPECT_STREQ(Settings.ProgramPath, "C:\\my tools\\web.exe");
  EXPECT_STREQ(Settings.Options, "-p 80");
  EXPECT_STREQ(Settings.ServiceName, "web");
  EXPECT_EQ(Settings.StopMethod, 7) << "an out-of-range method is not corrected";
  EXPECT_EQ(Settings.AutoStart, 0);
  EXPECT_EQ(Settings.AllowDesktop, 1);
}

TEST_F(WrapperSettingsFile, SaveWritesSixKeysInOrderWithDecimalIntegers) {
  std::strcpy(Settings.ProgramPath, "C:\\my tools\\web.exe");
  std::strcpy(Settings.Options, "");
  std::strcpy(Settings.ServiceName, "web");
  Settings.StopMethod = -1;
  Settings.AutoStart = 0;
  Settings.AllowDesktop = 1;
  SaveSettings(Profile);
  EXPECT_EQ(Profile.Calls, CallsOf("write"));
  const std::map<std::string, std::string> expected = {{"kestrun/exe", "C:\\my tools\\web.exe"},
                                                       {"kestrun/option", ""},
                                                       {"kestrun/name", "web"},
                                                       {"kestrun/end", "-1"},
                                                       {"kestrun/auto", "0"},
                                                       {"kestrun/desktop", "1"}};
  EXPECT_EQ(Profile.Values, expected);
}

// Every text comes back as it was saved: plain ones are stored byte for
// byte, those that reading would change inside one more pair of quotes.
TEST_F(WrapperSettingsFile, TextsComeBackExactlyAsSaved) {
  const std::string longPath = "C:\\" + std::string(249, 'd') + "\\a.exe ";
  ASSERT_EQ(longPath.size(), PathBufferSize - 1);
  const struct {
    std::string Text;
    bool Wrapped;
  } cases[] = {
      {"C:\\my tools\\web.exe", false},
      {"\"C:\\data dir\\app.ini\" -x \"two words\"", true},
      {"\"quoted\"", true},
      {"'single'", true},
      {"web ", true},
      {" web", true},
      {"\tweb", true},
      {"全角\x81\x40", true},
      {"\"open", false},
      {"-x \"a b\"", false},
      {"\"", false},
      {"", false},
      {longPath, true},
  };
  for (const auto& c : cases) {
    for (char* field : {Settings.ProgramPath, Settings.Options, Settings.ServiceName})
      std::strcpy(field, c.Text.c_str());
    SaveSettings(Profile);
    const std::string stored = c.Wrapped ? "\"" + c.Text + "\"" : c.Text;
    for (const char* key : {"kestrun/exe", "kestrun/option", "kestrun/name"})
      EXPECT_EQ(Profile.Values[key], stored) << key << " [" << c.Text << "]";
    std::memset(&Settings, 'x', sizeof Settings);
    LoadSettings(Profile);
    EXPECT_EQ(Settings.ProgramPath, c.Text);
    EXPECT_EQ(Settings.Options, c.Text);
    EXPECT_EQ(Settings.ServiceName, c.Text);
  }
}

TEST_F(WrapperSettingsFile, WriteProfileIntWritesPlainDecimal) {
  const struct {
    int Value;
    const char* Text;
  } cases[] = {
      {0, "0"}, {7, "7"}, {-1, "-1"}, {2147483647, "2147483647"}, {-2147483647 - 1, "-2147483648"}};
  for (const auto& c : cases) {
    ASSERT_EQ(WriteProfileInt(Profile, "kestrun", "end", c.Value, IniPath), 1);
    EXPECT_EQ(Profile.Values["kestrun/end"], c.Text) << c.Value;
  }
}

TEST(WrapperHostedStop, RequestBeforeTheProcessIsSentOnceItExists) {
  THostedStop stop;
  EXPECT_EQ(RequestHostedStop(stop), 0) << "no process yet: nothing to send to";
  EXPECT_EQ(HostedProcessStarted(stop, 0), 0) << "a failed start never leads to process 0";
  EXPECT_EQ(HostedProcessStarted(stop, 4242), 1);
  EXPECT_EQ(stop.HostedProcessId, 4242u);
  EXPECT_EQ(RequestHostedStop(stop), 0) << "sent already";
}

TEST(WrapperHostedStop, RequestAfterTheProcessIsSentByTheHandler) {
  THostedStop stop;
  EXPECT_EQ(HostedProcessStarted(stop, 4242), 0);
  EXPECT_EQ(RequestHostedStop(stop), 1);
  EXPECT_EQ(RequestHostedStop(stop), 0);
}

// The two sides on two threads: whatever the interleaving, exactly one sends.
TEST(WrapperHostedStop, RacingSidesSendExactlyOnce) {
  for (int round = 0; round < 2000; ++round) {
    THostedStop stop;
    int byHandler = 0;
    int byService = 0;
    std::thread handler([&] { byHandler = RequestHostedStop(stop); });
    std::thread service([&] { byService = HostedProcessStarted(stop, 77); });
    handler.join();
    service.join();
    ASSERT_EQ(byHandler + byService, 1) << "round " << round;
  }
}

// What the stopped report tells the manager for each way the program's run
// ends: only a failure that nobody asked for is reported as one.
TEST(WrapperStoppedCodes, OnlyUnaskedFailuresAreReportedAsSuch) {
  const struct {
    const char* Case;
    int Requested;
    std::uint32_t CreateError, ExitCode;
    std::uint32_t Win32, Specific;
  } cases[] = {
      {"program file missing", 0, 2, 0, 2, 0},
      {"path not found", 0, 3, 0, 3, 0},
      {"access denied", 0, 5, 0, 5, 0},
      {"not a program", 0, 193, 0, 193, 0},
      {"ended by itself with 0", 0, 0, 0, 0, 0},
      {"ended by itself with 7", 0, 0, 7, ServiceSpecificError, 7},
      {"crashed", 0, 0, 0xC0000005u, ServiceSpecificError, 0xC0000005u},
      {"ended after a stop request with 1", 1, 0, 1, 0, 0},
      {"ended after a stop request with 0", 1, 0, 0, 0, 0},
      {"not created, a stop request came first", 1, 2, 0, 0, 0},
  };
  for (const auto& c : cases) {
    const TStopCodes codes = StoppedCodes(c.Requested, c.CreateError, c.ExitCode);
    EXPECT_EQ(codes.Win32ExitCode, c.Win32) << c.Case;
    EXPECT_EQ(codes.ServiceSpecificExitCode, c.Specific) << c.Case;
  }
}

} // namespace
