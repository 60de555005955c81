// The scripted peer's sockets on POSIX.
#pragma once

#include <cstdint>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace peer {

using TSocket = int;
constexpr TSocket NoSocket = -1;

// A listener on 127.0.0.1 and an ephemeral port.
inline TSocket Listen(std::uint16_t& port, int backlog = 16) {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address = {};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  if (fd < 0 || bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      listen(fd, backlog) != 0 ||
      getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    if (fd >= 0)
      close(fd);
    return NoSocket;
  }
  port = ntohs(address.sin_port);
  return fd;
}

// 1 when there is something to read (or accept), 0 after the time.
inline int Wait(TSocket socket, int milliseconds) {
  pollfd entry = {socket, POLLIN, 0};
  return poll(&entry, 1, milliseconds) > 0 ? 1 : 0;
}

inline TSocket Accept(TSocket listener) {
  const int fd = accept(listener, nullptr, nullptr);
  if (fd >= 0) {
    const int on = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
  }
  return fd;
}

// Bytes read, 0 when the client closed, -1 on an error.
inline int Receive(TSocket socket, char* data, int size) {
  return static_cast<int>(recv(socket, data, static_cast<size_t>(size), 0));
}

inline bool Send(TSocket socket, const char* data, int size) {
  return send(socket, data, static_cast<size_t>(size), MSG_NOSIGNAL) == size;
}

inline void Close(TSocket socket) {
  close(socket);
}

constexpr bool CanReset = true;

// Closes with a reset instead of the orderly end.
inline void Reset(TSocket socket) {
  const linger abort = {1, 0};
  setsockopt(socket, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
  close(socket);
}

} // namespace peer
