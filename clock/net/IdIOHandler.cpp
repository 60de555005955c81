#include "clock/net/IdIOHandler.h"

#include <algorithm>
#include <chrono>
#include <vector>

#include "clock/net/IdException.h"
#include "clock/net/IdThread.h"
#include "clock/net/TIdAntiFreeze.h"

namespace {

using TClock = std::chrono::steady_clock;

int ElapsedMs(TClock::time_point since) {
  return static_cast<int>(
      std::chrono::duration_cast<std::chrono::milliseconds>(TClock::now() - since).count());
}

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

  // Written by the worker before it ends, read after it has.
  int connectError = 0;
  TIdWorker worker([&layer, handle, address, port, &connectError] {
    const int error = layer.Connect(handle, address, port);
    // The socket was closed under the connect by the time-out.
    if (error != 10009 && error != 10038)
      connectError = error;
  });

  const auto start = TClock::now();
  const int slice = std::min(TIdAntiFreeze::SliceMilliseconds(), 125);
  try {
    while (!worker.WaitFor(slice)) {
      if (ElapsedMs(start) >= timeoutMs)
        throw EIdConnectTimeout();
      TIdAntiFreeze::DoProcess(true);
    }
  } catch (...) {
    // Closed under it, the blocking connect returns; the worker may end.
    socket.Close();
    worker.Join();
    throw;
  }
  worker.Join();
  if (connectError != 0)
    throw EIdConnectException(connectError);
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
  SentUs = layer_->Microseconds();
  awaitingAnswer_ = true;
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
  if (awaitingAnswer_) {
    FirstByteUs = layer_->Microseconds();
    awaitingAnswer_ = false;
  }
  InputBuffer.append(piece.data(), static_cast<std::size_t>(received));
}
