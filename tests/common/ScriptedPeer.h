// A server on 127.0.0.1 that records each request head it gets and answers
// it with a byte script: sends (whole, or one byte per send), pauses,
// closes and resets. Every wait in it is bounded, so it ends by itself.
#pragma once

#include <atomic>
#include <chrono>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "tests/common/HttpDateText.h"

#ifdef _WIN32
#include "tests/common/PeerSocket_win.h"
#else
#include "tests/common/PeerSocket_posix.h"
#endif

namespace peer {

struct TStep {
  enum TKind { Send, Delay, Close, Reset, DateLine } Kind;
  std::string Bytes;
  int Milliseconds;
};

inline TStep Send(std::string bytes) {
  return {TStep::Send, std::move(bytes), 0};
}
inline TStep Delay(int milliseconds) {
  return {TStep::Delay, std::string(), milliseconds};
}
// A Date header line of the host's clock, skewed by that many milliseconds.
inline TStep DateLine(int skewMilliseconds) {
  return {TStep::DateLine, std::string(), skewMilliseconds};
}
inline TStep Close() {
  return {TStep::Close, std::string(), 0};
}
inline TStep Reset() {
  return {TStep::Reset, std::string(), 0};
}

using TScript = std::vector<TStep>;
using TClock = std::chrono::steady_clock;

// "Date: Fri, 11 Dec 2026 05:46:37 GMT\r\n" for the host's time plus skew.
inline std::string DateLineNow(int skewMilliseconds) {
  return "Date: " +
         FormatHttpDate(CalendarMillisecondsOf(std::chrono::system_clock::now()) +
                        skewMilliseconds) +
         "\r\n";
}

class TScriptedPeer {
public:
  // Plays the script for every request head, on every connection.
  explicit TScriptedPeer(TScript script, bool bytewise = false)
      : script_(std::move(script)), bytewise_(bytewise) {
    listener_ = Listen(port_);
    if (listener_ == NoSocket)
      throw std::runtime_error("the peer cannot listen on 127.0.0.1");
    thread_ = std::thread([this] { Serve(); });
  }
  ~TScriptedPeer() {
    stop_ = true;
    thread_.join();
    peer::Close(listener_);
  }
  TScriptedPeer(const TScriptedPeer&) = delete;
  TScriptedPeer& operator=(const TScriptedPeer&) = delete;

  std::uint16_t Port() const { return port_; }
  std::vector<std::string> Requests() const {
    std::lock_guard<std::mutex> lock(lock_);
    return requests_;
  }
  int Connections() const { return connections_; }
  // When the peer began to send its last answer.
  TClock::time_point LastSendStart() const {
    std::lock_guard<std::mutex> lock(lock_);
    return sendStart_;
  }

  // Bounds that keep a peer from outliving its test.
  static constexpr int RequestLimitMs = 10000;
  static constexpr int IdleLimitMs = 40000;

private:
  void Serve() {
    while (!stop_) {
      if (Wait(listener_, 50) == 0)
        continue;
      const TSocket client = Accept(listener_);
      if (client == NoSocket)
        continue;
      ++connections_;
      if (ServeConnection(client))
        peer::Close(client);
    }
  }

  // False when the script has already closed the socket.
  bool ServeConnection(TSocket client) {
    std::string received;
    const auto idleSince = TClock::now();
    while (!stop_ && TClock::now() - idleSince < std::chrono::milliseconds(IdleLimitMs)) {
      const std::size_t end = received.find("\r\n\r\n");
      if (end != std::string::npos) {
        {
          std::lock_guard<std::mutex> lock(lock_);
          requests_.push_back(received.substr(0, end + 4));
        }
        received.erase(0, end + 4);
        if (!Play(client))
          return false;
        continue;
      }
      if (Wait(client, 50) == 0)
        continue;
      char piece[4096];
      const int count = Receive(client, piece, sizeof piece);
      if (count <= 0)
        return true;
      received.append(piece, static_cast<std::size_t>(count));
    }
    return true;
  }

  bool Play(TSocket client) {
    bool first = true;
    for (const TStep& step : script_) {
      switch (step.Kind) {
      case TStep::Send:
        if (first) {
          std::lock_guard<std::mutex> lock(lock_);
          sendStart_ = TClock::now();
          first = false;
        }
        if (bytewise_) {
          for (char byte : step.Bytes)
            if (!peer::Send(client, &byte, 1))
              return true;
        } else if (!peer::Send(client, step.Bytes.data(), static_cast<int>(step.Bytes.size()))) {
          return true;
        }
        break;
      case TStep::DateLine: {
        const std::string line = DateLineNow(step.Milliseconds);
        if (!peer::Send(client, line.data(), static_cast<int>(line.size())))
          return true;
        break;
      }
      case TStep::Delay:
        std::this_thread::sleep_for(std::chrono::milliseconds(step.Milliseconds));
        break;
      case TStep::Close:
        peer::Close(client);
        return false;
      case TStep::Reset:
        peer::Reset(client);
        return false;
      }
    }
    return true;
  }

  TScript script_;
  bool bytewise_;
  std::uint16_t port_ = 0;
  TSocket listener_ = NoSocket;
  std::atomic<bool> stop_{false};
  std::atomic<int> connections_{0};
  mutable std::mutex lock_;
  std::vector<std::string> requests_;
  TClock::time_point sendStart_;
  std::thread thread_;
};

} // namespace peer
