// POSIX sockets behind the Winsock-numbered layer.
#include "clock/net/Socket_posix.h"

#include <cerrno>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "clock/net/IdSocket.h"

namespace {

struct TErrnoMap {
  int Errno;
  int Winsock;
};

const TErrnoMap ErrnoMap[] = {
    {EINTR, 10004},
    {EBADF, 10009},
    {EACCES, 10013},
    {EPERM, 10013},
    {EFAULT, 10014},
    {EINVAL, 10022},
    {EMFILE, 10024},
    {ENFILE, 10024},
    {EWOULDBLOCK, 10035},
    {EINPROGRESS, 10036},
    {EALREADY, 10037},
    {ENOTSOCK, 10038},
    {EDESTADDRREQ, 10039},
    {EMSGSIZE, 10040},
    {EPROTOTYPE, 10041},
    {ENOPROTOOPT, 10042},
    {EPROTONOSUPPORT, 10043},
    {ESOCKTNOSUPPORT, 10044},
    {EOPNOTSUPP, 10045},
    {EPFNOSUPPORT, 10046},
    {EAFNOSUPPORT, 10047},
    {EADDRINUSE, 10048},
    {EADDRNOTAVAIL, 10049},
    {ENETDOWN, 10050},
    {ENETUNREACH, 10051},
    {ENETRESET, 10052},
    {ECONNABORTED, 10053},
    {ECONNRESET, 10054},
    {ENOBUFS, 10055},
    {EISCONN, 10056},
    {ENOTCONN, 10057},
    {ESHUTDOWN, 10058},
    // A send after the connection has gone.
    {EPIPE, 10058},
    {ETOOMANYREFS, 10059},
    {ETIMEDOUT, 10060},
    {ECONNREFUSED, 10061},
    {ELOOP, 10062},
    {ENAMETOOLONG, 10063},
    {EHOSTDOWN, 10064},
    {EHOSTUNREACH, 10065},
    {ENOTEMPTY, 10066},
};

int LastError() {
  return WinsockErrorFromErrno(errno);
}

int Fd(TIdSocketHandle socket) {
  return static_cast<int>(socket);
}

class TPosixSocketLayer : public TIdSocketLayer {
public:
  int Resolve(const std::string& host, std::uint32_t& address) override {
    addrinfo hints = {};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const int result = getaddrinfo(host.c_str(), nullptr, &hints, &found);
    if (result != 0)
      return WinsockErrorFromResolver(result, errno);
    address = reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr.s_addr;
    freeaddrinfo(found);
    return 0;
  }

  int Open(TIdSocketHandle& socket) override {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, IPPROTO_TCP);
    if (fd < 0)
      return LastError();
    sockaddr_in local = {};
    local.sin_family = AF_INET;
    if (bind(fd, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
      const int error = LastError();
      ::close(fd);
      return error;
    }
    socket = static_cast<TIdSocketHandle>(fd);
    return 0;
  }

  int SetNoDelay(TIdSocketHandle socket) override {
    const int on = 1;
    return setsockopt(Fd(socket), IPPROTO_TCP, TCP_NODELAY, &on, sizeof on) == 0 ? 0 : LastError();
  }

  int Connect(TIdSocketHandle socket, std::uint32_t address, std::uint16_t port) override {
    sockaddr_in peer = {};
    peer.sin_family = AF_INET;
    peer.sin_addr.s_addr = address;
    peer.sin_port = htons(port);
    int result;
    do
      result = connect(Fd(socket), reinterpret_cast<const sockaddr*>(&peer), sizeof peer);
    while (result != 0 && errno == EINTR);
    return result == 0 ? 0 : LastError();
  }

  int WaitReadable(TIdSocketHandle socket, int milliseconds, bool& readable) override {
    pollfd entry = {Fd(socket), POLLIN, 0};
    const int result = poll(&entry, 1, milliseconds);
    if (result < 0 && errno != EINTR)
      return LastError();
    readable = result > 0;
    return 0;
  }

  int Send(TIdSocketHandle socket, const char* data, int size, int& sent) override {
    const ssize_t result = send(Fd(socket), data, static_cast<size_t>(size), MSG_NOSIGNAL);
    if (result < 0)
      return LastError();
    sent = static_cast<int>(result);
    return 0;
  }

  int Receive(TIdSocketHandle socket, char* data, int size, int& received) override {
    ssize_t result;
    do
      result = recv(Fd(socket), data, static_cast<size_t>(size), 0);
    while (result < 0 && errno == EINTR);
    if (result < 0)
      return LastError();
    received = static_cast<int>(result);
    return 0;
  }

  // Shutting down also wakes a connect that another thread still waits in.
  void Close(TIdSocketHandle socket) override {
    shutdown(Fd(socket), SHUT_WR);
    ::close(Fd(socket));
  }
};

} // namespace

int WinsockErrorFromErrno(int error) {
  for (const TErrnoMap& entry : ErrnoMap)
    if (entry.Errno == error)
      return entry.Winsock;
  return error;
}

int WinsockErrorFromResolver(int result, int systemError) {
  switch (result) {
  case EAI_SYSTEM:
    return WinsockErrorFromErrno(systemError);
  case EAI_NONAME:
    return 11001;
#ifdef EAI_NODATA
  // The name exists but has no IPv4 address.
  case EAI_NODATA:
#endif
#ifdef EAI_ADDRFAMILY
  case EAI_ADDRFAMILY:
#endif
    return 11004;
  case EAI_AGAIN:
    return 11002;
  case EAI_FAIL:
    return 11003;
  case EAI_MEMORY:
    return 10055;
  default:
    return 11003;
  }
}

TIdSocketLayer& AcquireSocketLayer() {
  static TPosixSocketLayer layer;
  return layer;
}

void ReleaseSocketLayer() {}
