// The scripted peer's sockets on Windows, linked against Winsock
// directly: only the client under test loads it by name.
#pragma once

#include <winsock2.h>

#include <cstdint>

namespace peer {

using TSocket = SOCKET;
constexpr TSocket NoSocket = INVALID_SOCKET;

inline void Startup() {
  static const bool started = [] {
    WSADATA data;
    return WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }();
  (void)started;
}

// A listener on 127.0.0.1 and an ephemeral port.
inline TSocket Listen(std::uint16_t& port, int backlog = 16) {
  Startup();
  const SOCKET fd = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in address = {};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  int length = sizeof address;
  if (fd == INVALID_SOCKET || bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) ||
      listen(fd, backlog) || getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length)) {
    if (fd != INVALID_SOCKET)
      closesocket(fd);
    return NoSocket;
  }
  port = ntohs(address.sin_port);
  return fd;
}

// 1 when there is something to read (or accept), 0 after the time.
inline int Wait(TSocket socket, int milliseconds) {
  fd_set set;
  set.fd_count = 1;
  set.fd_array[0] = socket;
  timeval wait = {milliseconds / 1000, (milliseconds % 1000) * 1000};
  return select(0, &set, nullptr, nullptr, &wait) > 0 ? 1 : 0;
}

inline TSocket Accept(TSocket listener) {
  const SOCKET fd = accept(listener, nullptr, nullptr);
  if (fd != INVALID_SOCKET) {
    const BOOL on = TRUE;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof on);
  }
  return fd;
}

// Bytes read, 0 when the client closed, -1 on an error.
inline int Receive(TSocket socket, char* data, int size) {
  return recv(socket, data, size, 0);
}

inline bool Send(TSocket socket, const char* data, int size) {
  return send(socket, data, size, 0) == size;
}

inline void Close(TSocket socket) {
  closesocket(socket);
}

// Under Wine a close with zero linger reaches the client as an orderly
// close, so scripts that reset are not played there.
constexpr bool CanReset = false;

// Closes with a reset instead of the orderly end.
inline void Reset(TSocket socket) {
  const linger abort = {1, 0};
  setsockopt(socket, SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&abort), sizeof abort);
  closesocket(socket);
}

} // namespace peer
