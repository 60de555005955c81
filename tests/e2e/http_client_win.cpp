// The client's exchanges through Winsock, loaded by name as the program
// does it, against a peer on 127.0.0.1 in this process.
#include "tests/common/HttpClientTests.h"

#include "clock/net/Socket_win.h"

namespace {

TEST(HttpWinsock, MissingLibraryOrFunctionGivesStubErrors) {
  try {
    TWinsockLibrary library("NO_SUCH_WS2.DLL");
    FAIL() << "no failure";
  } catch (const EIdWS2StubError& e) {
    EXPECT_EQ(e.Message, "Error on loading Winsock2 library (NO_SUCH_WS2.DLL)");
  }
  TWinsockLibrary library("WS2_32.DLL");
  EXPECT_NE(library.Function("select"), nullptr);
  try {
    library.Function("NoSuchFunction");
    FAIL() << "no failure";
  } catch (const EIdWS2StubError& e) {
    EXPECT_EQ(e.Message, "Error on call Winsock2 library function NoSuchFunction");
  }
}

} // namespace
