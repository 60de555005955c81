// Windows Sockets 2.2 behind the socket layer. The library is loaded by
// name at run time, so the program links against no socket library.
#include "clock/net/Socket_win.h"

#include <winsock2.h>

#include <memory>

#include "clock/net/IdException.h"
#include "clock/net/IdSocket.h"

TWinsockLibrary::TWinsockLibrary(const char* fileName) : module_(LoadLibraryA(fileName)) {
  if (module_ == nullptr)
    throw EIdWS2StubError(std::string("Error on loading Winsock2 library (") + fileName + ")");
}

TWinsockLibrary::~TWinsockLibrary() {
  FreeLibrary(module_);
}

FARPROC TWinsockLibrary::Function(const char* name) const {
  FARPROC function = GetProcAddress(module_, name);
  if (function == nullptr)
    throw EIdWS2StubError(std::string("Error on call Winsock2 library function ") + name);
  return function;
}

namespace {

template <typename T> void Bind(const TWinsockLibrary& library, const char* name, T& function) {
  function = reinterpret_cast<T>(reinterpret_cast<void (*)()>(library.Function(name)));
}

SOCKET Sock(TIdSocketHandle socket) {
  return static_cast<SOCKET>(socket);
}

class TWinsockLayer : public TIdSocketLayer {
public:
  TWinsockLayer() : library_("WS2_32.DLL") {
    Bind(library_, "WSAStartup", WSAStartup_);
    Bind(library_, "WSACleanup", WSACleanup_);
    Bind(library_, "WSAGetLastError", WSAGetLastError_);
    Bind(library_, "socket", socket_);
    Bind(library_, "bind", bind_);
    Bind(library_, "connect", connect_);
    Bind(library_, "select", select_);
    Bind(library_, "send", send_);
    Bind(library_, "recv", recv_);
    Bind(library_, "shutdown", shutdown_);
    Bind(library_, "closesocket", closesocket_);
    Bind(library_, "gethostbyname", gethostbyname_);
    Bind(library_, "htons", htons_);
    Bind(library_, "setsockopt", setsockopt_);
    WSADATA data;
    const int result = WSAStartup_(MAKEWORD(2, 2), &data);
    if (result != 0)
      throw EIdSocketError(result);
  }
  ~TWinsockLayer() override { WSACleanup_(); }

  std::int64_t Microseconds() override {
    LARGE_INTEGER count, frequency;
    if (!QueryPerformanceCounter(&count) || !QueryPerformanceFrequency(&frequency))
      return TIdSocketLayer::Microseconds();
    // In two steps: count * 1 000 000 would overflow after some days.
    const std::int64_t perSecond = frequency.QuadPart;
    return count.QuadPart / perSecond * 1'000'000 +
           count.QuadPart % perSecond * 1'000'000 / perSecond;
  }

  int Resolve(const std::string& host, std::uint32_t& address) override {
    const hostent* entry = gethostbyname_(host.c_str());
    if (entry == nullptr)
      return WSAGetLastError_();
    if (entry->h_addrtype != AF_INET || entry->h_addr_list[0] == nullptr)
      return WSAHOST_NOT_FOUND;
    CopyMemory(&address, entry->h_addr_list[0], sizeof address);
    return 0;
  }

  int Open(TIdSocketHandle& socket) override {
    const SOCKET handle = socket_(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (handle == INVALID_SOCKET)
      return WSAGetLastError_();
    sockaddr_in local = {};
    local.sin_family = AF_INET;
    if (bind_(handle, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
      const int error = WSAGetLastError_();
      closesocket_(handle);
      return error;
    }
    socket = static_cast<TIdSocketHandle>(handle);
    return 0;
  }

  int SetNoDelay(TIdSocketHandle socket) override {
    const BOOL on = TRUE;
    return setsockopt_(Sock(socket), IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on),
                       sizeof on) == 0
               ? 0
               : WSAGetLastError_();
  }

  int Connect(TIdSocketHandle socket, std::uint32_t address, std::uint16_t port) override {
    sockaddr_in peer = {};
    peer.sin_family = AF_INET;
    peer.sin_addr.s_addr = address;
    peer.sin_port = htons_(port);
    return connect_(Sock(socket), reinterpret_cast<const sockaddr*>(&peer), sizeof peer) == 0
               ? 0
               : WSAGetLastError_();
  }

  int WaitReadable(TIdSocketHandle socket, int milliseconds, bool& readable) override {
    fd_set readSet;
    readSet.fd_count = 1;
    readSet.fd_array[0] = Sock(socket);
    timeval wait = {milliseconds / 1000, (milliseconds % 1000) * 1000};
    const int result = select_(0, &readSet, nullptr, nullptr, &wait);
    if (result == SOCKET_ERROR)
      return WSAGetLastError_();
    readable = result > 0;
    return 0;
  }

  int Send(TIdSocketHandle socket, const char* data, int size, int& sent) override {
    const int result = send_(Sock(socket), data, size, 0);
    if (result == SOCKET_ERROR)
      return WSAGetLastError_();
    sent = result;
    return 0;
  }

  int Receive(TIdSocketHandle socket, char* data, int size, int& received) override {
    const int result = recv_(Sock(socket), data, size, 0);
    if (result == SOCKET_ERROR)
      return WSAGetLastError_();
    received = result;
    return 0;
  }

  void Close(TIdSocketHandle socket) override {
    shutdown_(Sock(socket), SD_SEND);
    closesocket_(Sock(socket));
  }

private:
  TWinsockLibrary library_;
  decltype(&::WSAStartup) WSAStartup_;
  decltype(&::WSACleanup) WSACleanup_;
  decltype(&::WSAGetLastError) WSAGetLastError_;
  decltype(&::socket) socket_;
  decltype(&::bind) bind_;
  decltype(&::connect) connect_;
  decltype(&::select) select_;
  decltype(&::send) send_;
  decltype(&::recv) recv_;
  decltype(&::shutdown) shutdown_;
  decltype(&::closesocket) closesocket_;
  decltype(&::gethostbyname) gethostbyname_;
  decltype(&::htons) htons_;
  decltype(&::setsockopt) setsockopt_;
};

// A critical section of the system rather than a library's mutex: the
// program then needs no threading library (see IdThread.h).
class TStackLock {
public:
  TStackLock() { InitializeCriticalSection(&section_); }
  ~TStackLock() { DeleteCriticalSection(&section_); }
  TStackLock(const TStackLock&) = delete;
  TStackLock& operator=(const TStackLock&) = delete;
  void Enter() { EnterCriticalSection(&section_); }
  void Leave() { LeaveCriticalSection(&section_); }

private:
  CRITICAL_SECTION section_;
};

class TStackLockHeld {
public:
  explicit TStackLockHeld(TStackLock& lock) : lock_(lock) { lock_.Enter(); }
  ~TStackLockHeld() { lock_.Leave(); }
  TStackLockHeld(const TStackLockHeld&) = delete;
  TStackLockHeld& operator=(const TStackLockHeld&) = delete;

private:
  TStackLock& lock_;
};

TStackLock StackLock;
int StackUsers = 0;
std::unique_ptr<TWinsockLayer> Stack;

} // namespace

TIdSocketLayer& AcquireSocketLayer() {
  TStackLockHeld held(StackLock);
  if (StackUsers == 0)
    Stack = std::make_unique<TWinsockLayer>();
  ++StackUsers;
  return *Stack;
}

void ReleaseSocketLayer() {
  TStackLockHeld held(StackLock);
  if (--StackUsers == 0)
    Stack.reset();
}
