// The program against a real web server and a real proxy that the test
// command starts on 127.0.0.1 (nginx and squid, see scripts/real-servers.sh).
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <stdexcept>
#include <optional>
#include <string>

#include "tests/e2e/UpdateHarness_win.h"
#include "tests/e2e/VelmoraScenario_win.h"

namespace {

std::string Setting(const char* name) {
  char value[1024];
  const DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
  if (length == 0 || length >= sizeof value)
    throw std::runtime_error(std::string(name) + " is not set: run the test command");
  return std::string(value, length);
}

// The password as Set.ini stores it: each byte shifted by 63.
std::string Scrambled(const std::string& password) {
  std::string text = password;
  for (char& c : text)
    c = static_cast<char>(static_cast<unsigned char>(c) + 63);
  return text;
}

// The host's file as this Windows process sees it (Wine's drive Z:).
std::string HostFile(const std::string& path) {
  std::string windows = "Z:" + path;
  for (char& c : windows)
    if (c == '/')
      c = '\\';
  return e2e::ReadFileText(windows);
}

const char kLimit300[] = "WebSite=0\r\nGosa=On\r\nGosaTime=300\r\n";

class VelmoraRealServers : public e2e::TVelmoraScenario {
protected:
  // The proxy lines of Set.ini for squid, with the given password.
  static std::string ThroughSquid(const std::string& password, const char* version) {
    const std::string squid = Setting("VELMORA_SQUID");
    return "Proxy=On\r\nAddress=127.0.0.1\r\nPort=" + squid.substr(squid.find(':') + 1) +
           "\r\nUser=On\r\nName=" + Setting("VELMORA_SQUID_USER") +
           "\r\nPass=" + Scrambled(password) + "\r\nHTTPV=" + version + "\r\n";
  }

  // Under Wine the clock is set only when the time asked for is within
  // 0.5 s of now. A whole-second Date leaves the program up to a second
  // behind, so a run counts when it succeeds, or when Wine refused a time
  // within 1000 ms of now (its report of that refusal is then closed).
  void ExpectTimeTaken() {
    const DWORD start = GetTickCount();
    std::string status;
    while (GetTickCount() - start < 20000) {
      status = e2e::StatusText(form_, id_);
      if (status == "時刻更新に成功しました。" || status == "時刻更新は失敗しました。")
        break;
      Sleep(50);
    }
    if (status == "時刻更新に成功しました。")
      return;
    ASSERT_EQ(status, "時刻更新は失敗しました。") << OpenBox();
    TakeErrorReport(5000);
    const std::string log = e2e::ReadFileText(Log());
    const std::optional<long> difference = e2e::RequestedDifferenceMs(log);
    ASSERT_TRUE(difference) << "standard error:\n" << log;
    EXPECT_LE(std::labs(*difference), 1000) << log;
  }

  void UpdateThroughSquid(const char* version) {
    const std::string nginx = Setting("VELMORA_NGINX");
    const std::string user = Setting("VELMORA_SQUID_USER");
    const std::size_t before = SquidLinesFor(user).size();
    StartLogged(nginx,
                std::string(kLimit300) + ThroughSquid(Setting("VELMORA_SQUID_PASSWORD"), version),
                "err+sync");
    ClickUpdate();
    ExpectTimeTaken();
    std::string lines;
    for (int i = 0; i < 50 && lines.size() <= before; ++i, Sleep(100))
      lines = SquidLinesFor(user);
    const std::string added = lines.substr(std::min(before, lines.size()));
    EXPECT_NE(added.find("/200 "), std::string::npos) << added;
    EXPECT_NE(added.find(" HEAD http://" + nginx + "/ "), std::string::npos) << added;
  }

  // The squid access log's lines that name this user and a HEAD.
  static std::string SquidLinesFor(const std::string& user) {
    const std::string log = HostFile(Setting("VELMORA_SQUID_ACCESS_LOG"));
    std::string found;
    std::size_t begin = 0;
    while (begin < log.size()) {
      std::size_t end = log.find('\n', begin);
      if (end == std::string::npos)
        end = log.size();
      const std::string line = log.substr(begin, end - begin);
      if (line.find(" HEAD ") != std::string::npos &&
          line.find(" " + user + " ") != std::string::npos)
        found += line + "\n";
      begin = end + 1;
    }
    return found;
  }
};

TEST_F(VelmoraRealServers, StraightToNginx) {
  StartLogged(Setting("VELMORA_NGINX"), kLimit300, "err+sync");
  ClickUpdate();
  ExpectTimeTaken();
}

// Through squid with the right user and password: squid's log shows the
// user and the forwarded HEAD with nginx's answer.
TEST_F(VelmoraRealServers, ThroughSquidAsHttp11) {
  UpdateThroughSquid("pv1_1");
}

TEST_F(VelmoraRealServers, ThroughSquidAsHttp10) {
  UpdateThroughSquid("pv1_0");
}

TEST_F(VelmoraRealServers, ThroughSquidWithAWrongPasswordReports407) {
  Start(Setting("VELMORA_NGINX"), std::string(kLimit300) + ThroughSquid("wrong", "pv1_1"));
  ClickUpdate();
  EXPECT_EQ(TakeErrorReport(20000), "HTTP/1.1 407 Proxy Authentication Required.");
}

} // namespace
