// What the update scenarios need around the program: a time server on
// 127.0.0.1, the fixture files, a program whose standard error is kept,
// and readings of its windows and its tray icon.
#pragma once

#include <windows.h>

#include <atomic>
#include <optional>
#include <string>
#include <thread>

#include "tests/common/PeerSocket_win.h"
#include "tests/e2e/Harness_win.h"

namespace e2e {

// Answers every HEAD request with a status line and a Date shifted by
// Offset seconds: the whole second nearest to the instant the request is
// placed at, its connection's acceptance for the first request on a
// connection and its arrival for a later one; an answer is not sent before
// its second. The program adds the whole exchange to the Date, so the time
// it asks for is off by the time from its start of the exchange to that
// instant plus the rounding: within the half second Wine accepts when the
// update starts near a whole second (WaitForTheSecond).
class TTimeServer {
public:
  TTimeServer();
  ~TTimeServer();
  TTimeServer(const TTimeServer&) = delete;
  TTimeServer& operator=(const TTimeServer&) = delete;

  std::uint16_t Port() const { return port_; }
  std::string Site() const { return "127.0.0.1:" + std::to_string(port_); }
  int Requests() const { return requests_; }
  int Connections() const { return connections_; }

  std::atomic<int> OffsetSeconds{0};
  // A further offset below the second, and a pause before and after the
  // Date is taken: the one-way delays of a distant server.
  std::atomic<int> SkewMs{0};
  std::atomic<int> DelayMs{0};
  // Set before the first request; the first answer may have its own.
  std::string StatusLine = "HTTP/1.1 200 OK";
  std::string FirstStatusLine;
  // Answer without waiting for a second boundary.
  bool AnswerAtOnce = false;
  // Close a connection that has been idle that long, as servers do; 0: keep
  // it until ConnectionLimitMs.
  int IdleCloseMs = 0;

  static constexpr int ConnectionLimitMs = 20000;

private:
  void Serve();
  void ServeConnection(peer::TSocket client, ULONGLONG acceptedAt);

  std::uint16_t port_ = 0;
  peer::TSocket listener_ = peer::NoSocket;
  std::atomic<bool> stop_{false};
  std::atomic<int> requests_{0};
  std::atomic<int> connections_{0};
  std::thread thread_;
};

// Sleeps until just after the system clock's next whole second: an update
// started then asks the time server for a time Wine accepts even when its
// exchange takes a few hundred milliseconds.
void WaitForTheSecond();

// ServerList.txt with the one site and Set.ini with the given lines of its
// section Set (CR LF each).
void WriteFixtures(const TTempFolder& folder, const std::string& site, const std::string& setLines);

// What a program asked Wine to set the clock to, from Wine's refusal on
// standard error (WINEDEBUG err+sync): the difference from Wine's clock in
// milliseconds; empty when the log holds no refusal.
std::optional<long> RequestedDifferenceMs(const std::string& log);

// Starts /bin/sh of the host with the script, in that folder; it is not our
// child, so nothing waits for it.
void StartHostShell(const std::string& script, const std::string& currentDirectory);

// The program started by a host shell with WINEDEBUG set to the given
// channels and Wine's standard error in a file; it is found by its main
// window, so only one may run in the prefix.
class TLoggedProcess : public TProcess {
public:
  TLoggedProcess(const std::string& program, const std::string& arguments,
                 const std::string& currentDirectory, const std::string& logPath,
                 const std::string& wineDebug);
};

// Sends the window an empty message from this process every 50 ms while
// it lives, and keeps the longest time the window took to answer.
class TAnswerProbe {
public:
  explicit TAnswerProbe(HWND window);
  ~TAnswerProbe();
  TAnswerProbe(const TAnswerProbe&) = delete;
  TAnswerProbe& operator=(const TAnswerProbe&) = delete;

  double WorstMs() const { return worstMs_; }
  // The worst but one, for a bound that lets one outlier pass.
  double SecondWorstMs() const { return secondWorstMs_; }
  int Answers() const { return answers_; }

private:
  HWND window_;
  std::atomic<bool> stop_{false};
  std::atomic<double> worstMs_{0};
  std::atomic<double> secondWorstMs_{0};
  std::atomic<int> answers_{0};
  std::thread thread_;
};

// A child window of the form by class and text, or nullptr.
HWND FindChild(HWND form, const char* className, const std::string& text);
// The status bar's simple text.
std::string StatusText(HWND form, DWORD processId);
// Waits until the status bar shows the text; false after the time.
bool WaitForStatus(HWND form, DWORD processId, const std::string& text, DWORD milliseconds);
// The static text of a system message box.
std::string MessageBoxText(HWND box);

} // namespace e2e
