// The socket layer the client runs on: Winsock on Windows, POSIX sockets
// natively. Every failure is a Winsock error number, so the protocol code
// and its messages are the same on both.
#pragma once

#include <cstdint>
#include <string>

using TIdSocketHandle = std::uintptr_t;
constexpr TIdSocketHandle IdInvalidSocket = ~TIdSocketHandle(0);

// The calls return 0 or a Winsock error number.
class TIdSocketLayer {
public:
  virtual ~TIdSocketLayer() = default;

  // An IPv4 address in network byte order, the first the resolver gives.
  virtual int Resolve(const std::string& host, std::uint32_t& address) = 0;
  // A TCP socket bound to any local address and an ephemeral port.
  virtual int Open(TIdSocketHandle& socket) = 0;
  virtual int SetNoDelay(TIdSocketHandle socket) = 0;
  // Blocks until the connection is up or has failed.
  virtual int Connect(TIdSocketHandle socket, std::uint32_t address, std::uint16_t port) = 0;
  // Waits at most milliseconds for data or a close to read.
  virtual int WaitReadable(TIdSocketHandle socket, int milliseconds, bool& readable) = 0;
  virtual int Send(TIdSocketHandle socket, const char* data, int size, int& sent) = 0;
  // received is 0 when the peer has closed.
  virtual int Receive(TIdSocketHandle socket, char* data, int size, int& received) = 0;
  // Shuts the sending side and releases the socket.
  virtual void Close(TIdSocketHandle socket) = 0;
  // The monotonic clock, in milliseconds, that the waits for data are
  // measured by.
  virtual std::int64_t Milliseconds();
  // The finest monotonic counter there is, in microseconds, for timing an
  // exchange.
  virtual std::int64_t Microseconds();
};

// Holds the process's socket layer while it lives: the first one starts it,
// the last one ends it.
class TIdStack {
public:
  TIdStack();
  ~TIdStack();
  TIdStack(const TIdStack&) = delete;
  TIdStack& operator=(const TIdStack&) = delete;

  TIdSocketLayer& Layer() const { return *layer_; }

private:
  TIdSocketLayer* layer_;
};

// Owns one socket of a layer.
class TIdSocket {
public:
  TIdSocket() = default;
  TIdSocket(TIdSocketLayer& layer, TIdSocketHandle handle) : layer_(&layer), handle_(handle) {}
  ~TIdSocket() { Close(); }
  TIdSocket(TIdSocket&& other) noexcept : layer_(other.layer_), handle_(other.Release()) {}
  TIdSocket& operator=(TIdSocket&& other) noexcept;
  TIdSocket(const TIdSocket&) = delete;
  TIdSocket& operator=(const TIdSocket&) = delete;

  TIdSocketHandle Handle() const { return handle_; }
  bool IsOpen() const { return handle_ != IdInvalidSocket; }
  TIdSocketHandle Release();
  void Close();

private:
  TIdSocketLayer* layer_ = nullptr;
  TIdSocketHandle handle_ = IdInvalidSocket;
};

// True for four dotted decimal numbers of 0 to 255; address in network order.
bool ParseIPv4(const std::string& text, std::uint32_t& address);
std::string FormatIPv4(std::uint32_t address);

// The Winsock-numbered process socket layer, counted per user.
TIdSocketLayer& AcquireSocketLayer();
void ReleaseSocketLayer();
