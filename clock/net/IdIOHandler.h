// One TCP connection of the client: the connect on a worker thread, the
// sends, and the waits for data, all of which keep the message pump going.
#pragma once

#include <cstdint>
#include <string>

#include "clock/net/IdSocket.h"

class TIdIOHandlerSocket {
public:
  // Throws EIdSocketError when no socket can be made, EIdConnectException
  // when the connect fails and EIdConnectTimeout after timeoutMs.
  void Open(TIdSocketLayer& layer, std::uint32_t address, std::uint16_t port, int timeoutMs,
            bool useNagle);
  bool Connected() const { return socket_.IsOpen(); }
  // Drops the socket and whatever was received but not read.
  void Close();

  // Hands all the bytes to the socket.
  void Write(const std::string& bytes);
  // Waits at most timeoutMs for data, then appends one receive of at most
  // pieceSize bytes to InputBuffer. A peer's close closes our side too and
  // throws EIdConnClosedGracefully. Window messages are dispatched once a
  // slice, whether data comes meanwhile or not.
  void ReadFromSource(int timeoutMs, int pieceSize);

  std::string InputBuffer;
  // On the layer's microsecond counter: when the last write handed its last
  // byte to the socket, and when the first data after it arrived.
  std::int64_t SentUs = 0;
  std::int64_t FirstByteUs = 0;

private:
  [[noreturn]] void ClosedByPeer();
  void Pump(std::int64_t now);

  TIdSocketLayer* layer_ = nullptr;
  TIdSocket socket_;
  // When the pump last ran, on the layer's clock.
  std::int64_t lastPump_ = 0;
  bool awaitingAnswer_ = false;
};
