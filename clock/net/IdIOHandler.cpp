#include "clock/net/IdIOHandler.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "clock/net/IdException.h"
#include "clock/net/TIdAntiFreeze.h"

namespace {

using TClock = std::chrono::steady_clock;

int ElapsedMs(TClock::time_point since) {
  return static_cast<int>(
      std::chrono::duration_cast<std::chrono::milliseconds>(TClock::now() - since).count());
}

// What the connect worker hands back; shared, so it outlives either side.
struct TConnectResult {
  std::mutex Lock;
  std::condition_variable Finished;
  bool Done = false;
  int Error = 0;
};

} // namespace

void TIdIOHandlerSocket::Open(TIdSocketLayer& layer, std::uint32_t address, std::uint16_t port,
                              int timeoutMs, bool useNagle) {
  layer_ = &layer;
  TIdSocketHandle handle;
  if (const int error = layer.Open(handle))
    throw EIdSocketError(error);
  TIdSocket socket(layer, handle);
  if (!useNagle)
    if (const int error = layer.SetNoDelay(handle))
      throw EIdSocketError(error);

  auto result = std::make_shared<TConnectResult>();
  std::thread worker([&layer, handle, address, port, result] {
    const int error = layer.Connect(handle, address, port);
    std::lock_guard<std::mutex> lock(result->Lock);
    // The socket was closed under the connect by the time-out.
    if (error != 10009 && error != 10038)
      result->Error = error;
    result->Done = true;
    result->Finished.notify_all();
  });

  const auto start = TClock::now();
  const auto slice = std::chrono::milliseconds(std::min(TIdAntiFreeze::SliceMilliseconds(), 125));
  try {
    for (;;) {
      {
        std::unique_lock<std::mutex> lock(result->Lock);
        if (result->Finished.wait_for(lock, slice, [&] { return result->Done; }))
          break;
      }
      if (ElapsedMs(start) >= timeoutMs) {
        socket.Close();
        worker.join();
        throw EIdConnectTimeout();
      }
      TIdAntiFreeze::DoProcess(true);
    }
  } catch (...) {
    if (worker.joinable()) {
      socket.Close();
      worker.join();
    }
    throw;
  }
  worker.join();
  if (result->Error != 0)
    throw EIdConnectException(result->Error);
  socket_ = std::move(socket);
  InputBuffer.clear();
  lastPump_ = layer.Milliseconds();
}

void TIdIOHandlerSocket::Close() {
  socket_.Close();
  InputBuffer.clear();
}

void TIdIOHandlerSocket::ClosedByPeer() {
  socket_.Close();
  throw EIdConnClosedGracefully();
}

void TIdIOHandlerSocket::Write(const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    if (!socket_.IsOpen())
      throw EIdSocketError(10058);
    int sent = 0;
    const int error = layer_->Send(socket_.Handle(), bytes.data() + done,
                                   static_cast<int>(bytes.size() - done), sent);
    if (error != 0) {
      if (error == 10053 || error == 10054 || error == 10058)
        socket_.Close();
      throw EIdSocketError(error);
    }
    done += static_cast<std::size_t>(sent);
    TIdAntiFreeze::DoProcess(false);
  }
}

void TIdIOHandlerSocket::Pump(std::int64_t now) {
  TIdAntiFreeze::DoProcess(true);
  lastPump_ = now;
}

void TIdIOHandlerSocket::ReadFromSource(int timeoutMs, int pieceSize) {
  if (!socket_.IsOpen())
    throw EIdConnClosedGracefully();
  const int sliceMs = TIdAntiFreeze::SliceMilliseconds();
  const std::int64_t start = layer_->Milliseconds();
  // The pump runs once a slice whether or not data comes meanwhile: a peer
  // that never pauses must not hold the window either.
  for (;;) {
    const std::int64_t now = layer_->Milliseconds();
    if (now - lastPump_ >= sliceMs)
      Pump(now);
    const std::int64_t left = timeoutMs - (now - start);
    if (left <= 0)
      throw EIdReadTimeout();
    bool readable = false;
    const std::int64_t wait = std::min(lastPump_ + sliceMs - now, left);
    if (const int error = layer_->WaitReadable(socket_.Handle(), static_cast<int>(wait), readable))
      throw EIdSocketError(error);
    if (readable)
      break;
  }

  std::vector<char> piece(static_cast<std::size_t>(pieceSize));
  int received = 0;
  if (const int error = layer_->Receive(socket_.Handle(), piece.data(), pieceSize, received)) {
    if ((error == 10053 || error == 10058) && !InputBuffer.empty())
      ClosedByPeer();
    throw EIdSocketError(error);
  }
  if (received == 0)
    ClosedByPeer();
  InputBuffer.append(piece.data(), static_cast<std::size_t>(received));
}
