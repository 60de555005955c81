// Timing of the HTTP client on loopback, for scripts/bench_http.sh.
//   bench_http serve COUNT          serve COUNT requests, print the port first
//   bench_http client PORT COUNT    COUNT whole exchanges against PORT (0: a
//                                   server in this process); one time per line
//   bench_http delays COUNT         for answers after 0, 50 and 300 ms: the
//                                   time from the peer's send to the return
//   bench_http lookup               a header lookup over 10 000 to 80 000
//                                   continuation lines: time per line
//   bench_http flood                the process's peak memory before and
//                                   after a head of endless header lines
//                                   (native only)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#ifndef _WIN32
#include <sys/resource.h>
#endif

#include "clock/net/IdException.h"
#include "clock/net/TIdAntiFreeze.h"
#include "clock/net/IdResponseHead.h"
#include "clock/net/TIdHTTP.h"
#include "tests/common/ScriptedPeer.h"

namespace {

using TClock = std::chrono::steady_clock;

const char* const Answer =
    "HTTP/1.1 200 OK\r\nDate: Thu, 10 Dec 2026 10:00:00 GMT\r\nContent-Length: 0\r\n\r\n";

double Milliseconds(TClock::duration span) {
  return std::chrono::duration<double, std::milli>(span).count();
}

std::string Url(std::uint16_t port) {
  return "http://127.0.0.1:" + std::to_string(port) + "/";
}

int Serve(int count) {
  peer::TScriptedPeer server({peer::Send(Answer)});
  std::printf("%u\n", static_cast<unsigned>(server.Port()));
  std::fflush(stdout);
  // Bounded: a run that never comes ends the server after a minute.
  const auto until = TClock::now() + std::chrono::seconds(60);
  while (static_cast<int>(server.Requests().size()) < count && TClock::now() < until)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  return 0;
}

int Client(std::uint16_t port, int count) {
  std::unique_ptr<peer::TScriptedPeer> local;
  if (port == 0) {
    local = std::make_unique<peer::TScriptedPeer>(peer::TScript{peer::Send(Answer)});
    port = local->Port();
  }
  TIdAntiFreeze antiFreeze;
  TIdHTTP http;
  const std::string url = Url(port);
  for (int i = 0; i < count; ++i) {
    const auto start = TClock::now();
    http.HeadRequest(url);
    http.CloseConnection();
    std::printf("%.6f\n", Milliseconds(TClock::now() - start));
  }
  return 0;
}

void Report(const char* what, std::vector<double> times) {
  std::sort(times.begin(), times.end());
  const std::size_t n = times.size();
  std::printf("%s median %.3f ms  p95 %.3f ms  max %.3f ms  (%zu runs)\n", what, times[n / 2],
              times[std::min(n - 1, n * 95 / 100)], times[n - 1], n);
}

int Delays(int count) {
  TIdAntiFreeze antiFreeze;
  for (int delay : {0, 50, 300}) {
    peer::TScriptedPeer server({peer::Delay(delay), peer::Send(Answer)});
    TIdHTTP http;
    TClock::time_point connecting, connected;
    http.OnStatus = [&](TIdHTTP*, TIdStatus status, const std::string&) {
      if (status == hsConnecting)
        connecting = TClock::now();
      else if (status == hsConnected)
        connected = TClock::now();
    };
    const std::string url = Url(server.Port());
    std::vector<double> afterSend, overDelay, connect;
    for (int i = 0; i < count; ++i) {
      const auto start = TClock::now();
      http.HeadRequest(url);
      const auto returned = TClock::now();
      http.CloseConnection();
      afterSend.push_back(Milliseconds(returned - server.LastSendStart()));
      overDelay.push_back(Milliseconds(returned - start) - delay);
      connect.push_back(Milliseconds(connected - connecting));
    }
    std::printf("answer after %3d ms:\n", delay);
    Report("  peer's send to return         ", afterSend);
    Report("  whole exchange less the delay ", overDelay);
    Report("  of which the connect          ", connect);
  }
  return 0;
}

// Time per line should not grow with the count.
int Lookup() {
  for (int count : {10000, 20000, 40000, 80000}) {
    TIdHeaderList headers;
    headers.Lines.push_back("X-Long: first");
    for (int i = 0; i < count; ++i)
      headers.Lines.push_back(" more");
    const auto start = TClock::now();
    const std::size_t length = headers.Values("X-Long").size();
    const double ms = Milliseconds(TClock::now() - start);
    std::printf("%6d continuation lines: %9.3f ms, %7.1f ns a line (value of %zu bytes)\n", count,
                ms, ms * 1e6 / count, length);
  }
  return 0;
}

#ifndef _WIN32
long PeakKilobytes() {
  rusage usage = {};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

// 4 MB of header lines as fast as the peer can send them.
int Flood() {
  std::string lines;
  while (lines.size() < 65536)
    lines += "X-Flood: " + std::string(40, 'f') + "\r\n";
  peer::TScript script = {peer::Send("HTTP/1.1 200 OK\r\n")};
  for (int i = 0; i < 64; ++i)
    script.push_back(peer::Send(lines));
  peer::TScriptedPeer server(script);
  TIdHTTP http;
  const long before = PeakKilobytes();
  const auto start = TClock::now();
  std::string outcome = "no failure";
  try {
    http.HeadRequest(Url(server.Port()));
  } catch (const EIdException& e) {
    outcome = e.Message;
  }
  std::printf("flood of up to %zu MB: \"%s\" after %.1f ms; peak resident %ld kB before, %ld kB "
              "after (+%ld kB); head bound %zu bytes\n",
              lines.size() * 64 >> 20, outcome.c_str(), Milliseconds(TClock::now() - start), before,
              PeakKilobytes(), PeakKilobytes() - before, TIdResponseHeadReader::MaxHeadBytes);
  return 0;
}
#endif

} // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  try {
    if (mode == "serve" && argc == 3)
      return Serve(std::atoi(argv[2]));
    if (mode == "client" && argc == 4)
      return Client(static_cast<std::uint16_t>(std::atoi(argv[2])), std::atoi(argv[3]));
    if (mode == "delays" && argc == 3)
      return Delays(std::atoi(argv[2]));
    if (mode == "lookup")
      return Lookup();
#ifndef _WIN32
    if (mode == "flood")
      return Flood();
#endif
  } catch (const EIdException& e) {
    std::fprintf(stderr, "bench_http: %s\n", e.what());
    return 1;
  }
  std::fprintf(
      stderr,
      "usage: bench_http serve COUNT | client PORT COUNT | delays COUNT | lookup | flood\n");
  return 2;
}
