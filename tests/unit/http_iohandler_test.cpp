// The connection's answers to socket errors, over a socket layer that
// fails on request.
#include <gtest/gtest.h>

#include <string>

#include "clock/net/IdException.h"
#include "clock/net/IdIOHandler.h"

namespace {

class TFailingLayer : public TIdSocketLayer {
public:
  int Resolve(const std::string&, std::uint32_t&) override { return 0; }
  int Open(TIdSocketHandle& socket) override {
    socket = 7;
    return 0;
  }
  int SetNoDelay(TIdSocketHandle) override { return 0; }
  int Connect(TIdSocketHandle, std::uint32_t, std::uint16_t) override { return 0; }
  int WaitReadable(TIdSocketHandle, int, bool& readable) override {
    readable = true;
    return 0;
  }
  int Send(TIdSocketHandle, const char*, int size, int& sent) override {
    sent = size;
    return SendError;
  }
  int Receive(TIdSocketHandle, char*, int, int& received) override {
    received = 0;
    return ReceiveError;
  }
  void Close(TIdSocketHandle) override { ++Closes; }

  int SendError = 0;
  int ReceiveError = 0;
  int Closes = 0;
};

TEST(HttpConnection, SendErrorsThatEndTheConnectionCloseTheSocket) {
  const struct {
    int Error;
    bool Closed;
  } cases[] = {{10053, true}, {10054, true}, {10058, true}, {10055, false}, {10035, false}};
  for (const auto& c : cases) {
    TFailingLayer layer;
    layer.SendError = c.Error;
    TIdIOHandlerSocket connection;
    connection.Open(layer, 0, 80, 1000, true);
    try {
      connection.Write("HEAD / HTTP/1.1\r\n\r\n");
      ADD_FAILURE() << "no failure for " << c.Error;
    } catch (const EIdSocketError& e) {
      EXPECT_EQ(e.LastError, c.Error);
    }
    EXPECT_EQ(connection.Connected(), !c.Closed) << c.Error;
  }
}

// 10053 and 10058 after data has come end the read like the peer's close.
TEST(HttpConnection, ReceiveAbortWithDataBufferedEndsLikeAClose) {
  const struct {
    int Error;
    bool Buffered;
    const char* Failure;
  } cases[] = {
      {10053, true, "EIdConnClosedGracefully"}, {10058, true, "EIdConnClosedGracefully"},
      {10053, false, "EIdSocketError"},         {10058, false, "EIdSocketError"},
      {10054, true, "EIdSocketError"},          {0, false, "EIdConnClosedGracefully"},
  };
  for (const auto& c : cases) {
    TFailingLayer layer;
    layer.ReceiveError = c.Error;
    TIdIOHandlerSocket connection;
    connection.Open(layer, 0, 80, 1000, true);
    if (c.Buffered)
      connection.InputBuffer = "HTTP/1.1 200 OK\r\n";
    std::string failure;
    try {
      connection.ReadFromSource(1000, 32768);
    } catch (const EIdConnClosedGracefully&) {
      failure = "EIdConnClosedGracefully";
    } catch (const EIdSocketError& e) {
      failure = "EIdSocketError";
      EXPECT_EQ(e.LastError, c.Error);
    }
    EXPECT_EQ(failure, c.Failure) << c.Error << (c.Buffered ? " buffered" : "");
    if (failure == "EIdConnClosedGracefully") {
      EXPECT_FALSE(connection.Connected()) << c.Error;
      EXPECT_EQ(layer.Closes, 1) << c.Error;
    }
  }
}

} // namespace
