// The client's exchanges over POSIX sockets, and the native socket layer's
// error numbering.
#include <cerrno>
#include <netdb.h>

#include "clock/net/Socket_posix.h"
#include "tests/common/HttpClientTests.h"

namespace {

TEST(HttpPosixSocketLayer, MapsErrnoAndResolverFailuresToWinsockNumbers) {
  const struct {
    int Errno, Winsock;
  } errnoCases[] = {
      {ECONNREFUSED, 10061}, {ENETUNREACH, 10051}, {EHOSTUNREACH, 10065}, {ECONNRESET, 10054},
      {ECONNABORTED, 10053}, {ETIMEDOUT, 10060},   {EPIPE, 10058},        {EBADF, 10009},
      {ENOTSOCK, 10038},     {EADDRINUSE, 10048},  {EINTR, 10004},        {EWOULDBLOCK, 10035},
  };
  for (const auto& c : errnoCases)
    EXPECT_EQ(WinsockErrorFromErrno(c.Errno), c.Winsock) << "errno " << c.Errno;
  EXPECT_EQ(WinsockErrorFromResolver(EAI_NONAME, 0), 11001);
  EXPECT_EQ(WinsockErrorFromResolver(EAI_SYSTEM, ECONNREFUSED), 10061);
  EXPECT_EQ(SocketErrorText(WinsockErrorFromResolver(EAI_AGAIN, 0)), "");
}

// The native pump runs once per idle slice of a wait and not for sends.
TEST(HttpNativePump, RunsOncePerIdleSliceOfAWait) {
  TIdAntiFreeze antiFreeze;
  peer::TScriptedPeer server({peer::Delay(625), peer::Send(httptest::Ok)});
  httptest::TClient client;
  const unsigned before = PumpCalls();
  ASSERT_EQ(client.Head(httptest::PeerUrl(server)), "");
  EXPECT_EQ(PumpCalls() - before, 2u);
}

// A peer that never pauses long enough for an idle slice still lets the
// pump run at least once a slice.
TEST(HttpNativePump, RunsWhileDataKeepsComing) {
  TIdAntiFreeze antiFreeze;
  peer::TScript flood = {peer::Send("HTTP/1.1 200 OK\r\n")};
  for (int i = 0; i < 100; ++i) {
    flood.push_back(peer::Send("X-Flood: " + std::to_string(i) + "\r\n"));
    flood.push_back(peer::Delay(20));
  }
  flood.push_back(peer::Send("\r\n"));
  peer::TScriptedPeer server(flood);
  httptest::TClient client;
  const unsigned before = PumpCalls();
  ASSERT_EQ(client.Head(httptest::PeerUrl(server)), "");
  EXPECT_EQ(client.Http.ResponseHeaders().Lines.size(), 100u);
  // About 2 s of data: eight slices; four leave room for a slow machine.
  EXPECT_GE(PumpCalls() - before, 4u);
}

} // namespace
