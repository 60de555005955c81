// The program against peers that misbehave: it reports each case, stays
// responsive, and the next update starts afresh.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <iostream>
#include <string>

#include "tests/common/ScriptedPeer.h"
#include "tests/e2e/UpdateHarness_win.h"
#include "tests/e2e/VelmoraScenario_win.h"

namespace {

const char kLimit300[] = "WebSite=0\r\nGosa=On\r\nGosaTime=300\r\n";

std::string SiteOf(const peer::TScriptedPeer& peer) {
  return "127.0.0.1:" + std::to_string(peer.Port());
}

class VelmoraPeers : public e2e::TVelmoraScenario {};

// A 404 on a kept-alive connection that the server then closes while idle:
// the next update opens a new connection and succeeds.
TEST_F(VelmoraPeers, UpdateAfterKeptAlive404UsesANewConnection) {
  e2e::TTimeServer server;
  server.FirstStatusLine = "HTTP/1.1 404 Not Found";
  server.IdleCloseMs = 1000;
  Start(server.Site(), kLimit300);
  ClickUpdate();
  EXPECT_EQ(TakeErrorReport(20000), "HTTP/1.1 404 Not Found.");
  Sleep(2000);
  ClickUpdate();
  EXPECT_TRUE(WaitStatus("時刻更新に成功しました。"))
      << e2e::StatusText(form_, id_) << "; " << OpenBox();
  EXPECT_EQ(server.Requests(), 2);
  EXPECT_EQ(server.Connections(), 2);
}

// A head that comes a byte every half second ends 30 s after the request.
TEST_F(VelmoraPeers, DrippingHeadEndsWithReadTimeout) {
  peer::TScript drip;
  for (char byte : std::string("HTTP/1.1 200 OK\r\nX-Drip: ") + std::string(70, 'd')) {
    drip.push_back(peer::Send(std::string(1, byte)));
    drip.push_back(peer::Delay(500));
  }
  peer::TScriptedPeer server(drip);
  Start(SiteOf(server), kLimit300);
  e2e::TAnswerProbe probe(form_);
  ClickUpdate();
  const std::string report = TakeErrorReport(40000);
  const auto waited = peer::TClock::now() - server.LastSendStart();
  EXPECT_EQ(report, "Read Timeout.");
  EXPECT_GE(waited, std::chrono::milliseconds(30000));
  EXPECT_LT(waited, std::chrono::milliseconds(31000));
  std::cout << "drip: request to report "
            << std::chrono::duration_cast<std::chrono::milliseconds>(waited).count()
            << " ms; the window answered " << probe.Answers() << " messages, worst "
            << probe.WorstMs() << " ms, next " << probe.SecondWorstMs() << " ms\n";
  // In one full run a single answer waited 882 ms while the rest took under
  // 250 ms, which the scenario alone never showed: one outlier is let pass,
  // a pump that falls behind slows many.
  EXPECT_LT(probe.SecondWorstMs(), 400.0);
}

// Header lines that keep coming end with the size error, and the window
// answers throughout.
TEST_F(VelmoraPeers, FloodingHeadEndsWithTheSizeError) {
  std::string lines;
  while (lines.size() < 1000)
    lines += "X-Flood: " + std::string(40, 'f') + "\r\n";
  peer::TScript flood = {peer::Send("HTTP/1.1 200 OK\r\n")};
  for (int i = 0; i < 400; ++i) {
    flood.push_back(peer::Send(lines));
    flood.push_back(peer::Delay(10));
  }
  peer::TScriptedPeer server(flood);
  Start(SiteOf(server), kLimit300);
  e2e::TAnswerProbe probe(form_);
  ClickUpdate();
  EXPECT_EQ(TakeErrorReport(40000), "Response head too large.");
  std::cout << "flood: the window answered " << probe.Answers() << " messages, worst "
            << probe.WorstMs() << " ms\n";
  EXPECT_GT(probe.Answers(), 10);
  EXPECT_LT(probe.WorstMs(), 400.0);
}

// A close right after a 100 block is judged on that block.
TEST_F(VelmoraPeers, ContinueThenCloseReportsTheContinueLine) {
  peer::TScriptedPeer server({peer::Send("HTTP/1.1 100 Continue\r\n\r\n"), peer::Close()});
  Start(SiteOf(server), kLimit300);
  ClickUpdate();
  EXPECT_EQ(TakeErrorReport(20000), "HTTP/1.1 100 Continue.");
}

TEST_F(VelmoraPeers, TabsInTheStatusLineSeparateItsWords) {
  e2e::TTimeServer server;
  server.StatusLine = "HTTP/1.1\t200\tOK";
  Start(server.Site(), kLimit300);
  ClickUpdate();
  EXPECT_TRUE(WaitStatus("時刻更新に成功しました。"))
      << e2e::StatusText(form_, id_) << "; " << OpenBox();
  ExpectMessageClosedByTimer3();
}

} // namespace
