// The client's protocol pieces on their own: header lists, URLs, Base64,
// the response head reader, the error texts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "clock/net/IdCoderMIME.h"
#include "clock/net/IdException.h"
#include "clock/net/IdResponseHead.h"
#include "clock/net/IdSocket.h"
#include "clock/net/IdURI.h"
#include "clock/net/TIdHeaderList.h"

namespace {

TEST(HttpHeaderList, LooksUpWithoutCaseTrimsAndJoinsContinuations) {
  TIdHeaderList list;
  list.Lines = {"Server:  peer ", "X-Note: one", " two", "\tthree", "Date: D", "Empty:"};
  EXPECT_EQ(list.Values("server"), "peer");
  EXPECT_EQ(list.Values("X-NOTE"), "one two three");
  EXPECT_EQ(list.Values("Date"), "D");
  EXPECT_EQ(list.Values("Empty"), "");
  EXPECT_EQ(list.Values("two"), "");
  EXPECT_EQ(list.Values("Missing"), "");
}

TEST(HttpHeaderList, SetsInPlaceAppendsAndRemoves) {
  TIdHeaderList list;
  list.Lines = {"A: 1", "X-Note: one", " two", "B: 2"};
  list.SetValue("x-note", "new");
  list.SetValue("C", "3");
  list.SetValue("A", "");
  list.SetValue("Absent", "");
  EXPECT_EQ(list.Lines, (std::vector<std::string>{"x-note: new", "B: 2", "C: 3"}));
}

TEST(HttpHeaderList, FoldsLongLinesOnlyAtBlanksTabsAndCommasOutsideQuotes) {
  const std::string a(600, 'a'), b(600, 'b'), c(300, 'c');
  const std::string quoted = "\"" + std::string(1100, 'q') + ", still quoted\"";
  const struct {
    std::string Line;
    std::vector<std::string> Folded;
  } cases[] = {
      {"Short: " + a, {"Short: " + a}},
      {"X: " + a + "," + b, {"X: " + a + ",", " " + b}},
      {"X: " + a + " " + c + "\t" + b, {"X: " + a + " " + c + "\t", " " + b}},
      {"X: " + std::string(1100, 'n'), {"X: " + std::string(1100, 'n')}},
      {"X: " + quoted + " " + a, {"X: " + quoted + " ", " " + a}},
      {"X: " + a + "," + b + "," + b, {"X: " + a + ",", " " + b + ",", " " + b}},
  };
  for (const auto& c : cases) {
    TIdHeaderList list;
    list.Lines = {c.Line};
    EXPECT_EQ(list.FoldedLines(), c.Folded) << c.Line.substr(0, 40);
  }
}

TEST(HttpUri, SplitsAsTheClientSendsIt) {
  const struct {
    const char* Url;
    const char* Host;
    const char* Port;
    const char* Target;
  } cases[] = {
      {"http://site.test", "site.test", "80", "/"},
      {"http://site.test:8080/dir/page.html", "site.test", "8080", "/dir/page.html"},
      {"http://site.test/a/b.cgi?x=1/2", "site.test", "80", "/a/b.cgi?x=1/2"},
      {"http://site.test/a/b=c/d", "site.test", "80", "/a/b=c/d"},
      {"http://site.test/page.html#top", "site.test", "80", "/page.html"},
      {"http://site.test/dir/?q=1#top", "site.test", "80", "/dir/?q=1"},
      {"http://u:p@w@site.test:81/", "site.test", "81", "/"},
      {"http://site.test\\a\\b.html", "site.test", "80", "/a/b.html"},
      {"http://site.test:/x", "site.test", "80", "/x"},
      {"http://", "", "80", "/"},
  };
  for (const auto& c : cases) {
    const TIdURI uri = ParseURI(c.Url);
    EXPECT_EQ(uri.Host, c.Host) << c.Url;
    EXPECT_EQ(uri.Port, c.Port) << c.Url;
    EXPECT_EQ(uri.Target(), c.Target) << c.Url;
  }
  const TIdURI uri = ParseURI("http://site.test/dir/page.html?q");
  EXPECT_EQ(uri.Path, "/dir/");
  EXPECT_EQ(uri.Document, "page.html");
  EXPECT_EQ(uri.Params, "?q");
}

TEST(HttpBase64, EncodesAsRfc2045) {
  const struct {
    std::string In, Out;
  } cases[] = {{"", ""},
               {":", "Og=="},
               {"ab", "YWI="},
               {"abc", "YWJj"},
               {"user:pass", "dXNlcjpwYXNz"},
               {"\xff\xfe\xfd", "//79"}};
  for (const auto& c : cases)
    EXPECT_EQ(EncodeBase64(c.In), c.Out) << c.In;
}

TEST(HttpErrors, MessagesCarryTheNumberAndItsText) {
  EXPECT_EQ(EIdSocketError(10035).Message, "Socket Error # 10035\r\nOperation would block. ");
  EXPECT_EQ(EIdSocketError(10066).Message, "Socket Error # 10066\r\nDirectory not empty");
  EXPECT_EQ(EIdSocketError(12345).Message, "Socket Error # 12345\r\n");
  EXPECT_EQ(EIdConnectException(10061).Message, "Socket Error # 10061\r\nConnection refused.");
  const EIdHTTPProtocolException protocol("HTTP/1.1 404 Not Found", 404);
  EXPECT_EQ(protocol.ErrorCode, 404);
  EXPECT_EQ(protocol.ErrorMessage, "");
}

TEST(HttpStatusCode, IsTheSecondWordAsADecimalNumber) {
  const struct {
    const char* Line;
    int Code;
  } cases[] = {{"HTTP/1.1 200 OK", 200},
               {"HTTP/1.0 404", 404},
               {"HTTP/1.1 2OO OK", -1},
               {"HTTP/1.1", -1},
               {"", -1},
               {"HTTP/1.1 99999999999 X", -1},
               {"HTTP/1.1 -1 X", -1}};
  for (const auto& c : cases)
    EXPECT_EQ(StatusCodeOf(c.Line), c.Code) << c.Line;
}

TEST(HttpIPv4, ReadsDottedAddressesOnly) {
  std::uint32_t address = 0;
  ASSERT_TRUE(ParseIPv4("127.0.0.1", address));
  EXPECT_EQ(FormatIPv4(address), "127.0.0.1");
  ASSERT_TRUE(ParseIPv4("255.1.02.0", address));
  EXPECT_EQ(FormatIPv4(address), "255.1.2.0");
  for (const char* text : {"256.0.0.1", "1.2.3", "1.2.3.4.", "1.2.3.4.5", "a.b.c.d", "localhost",
                           "", "1..2.3", "0001.2.3.4"})
    EXPECT_FALSE(ParseIPv4(text, address)) << text;
}

struct THead {
  std::string StatusLine;
  int Code = 0;
  TIdHeaderList Headers;
  bool Complete = false;
  std::string Error;
  std::string Rest;
};

// Feeds the bytes in pieces of the given size.
THead ReadHead(const std::string& bytes, std::size_t piece, TIdMaxLineAction action = maException) {
  THead head;
  TIdResponseHeadReader reader(head.StatusLine, head.Code, head.Headers, 16, action);
  std::string buffer;
  try {
    for (std::size_t at = 0; at < bytes.size() && !head.Complete; at += piece) {
      buffer += bytes.substr(at, piece);
      head.Complete = reader.Consume(buffer);
    }
  } catch (const EIdException& e) {
    head.Error = e.Message;
  }
  head.Rest = buffer;
  return head;
}

// Each head is read whole and one byte at a time, with the same result.
TEST(HttpResponseHead, ReadsTheSameWholeAndByteByByte) {
  const struct {
    std::string Bytes;
    std::string StatusLine;
    std::vector<std::string> Headers;
    bool Complete;
    std::string Error;
  } cases[] = {
      {"HTTP/1.1 200 OK\r\nA: 1\r\n\r\n", "HTTP/1.1 200 OK", {"A: 1"}, true, ""},
      {"HTTP/1.1 200 OK\nA: 1\n\n", "HTTP/1.1 200 OK", {"A: 1"}, true, ""},
      {"HTTP/1.1 100 Go\r\nX: 1\r\n\r\nHTTP/1.1 204 N\r\n\r\n", "HTTP/1.1 204 N", {}, true, ""},
      {"HTTP/1.1 200 OK\r\nA: 1\r\n", "HTTP/1.1 200 OK", {"A: 1"}, false, ""},
      // 15 characters and the CR fill the 16-byte limit; one more is over it.
      {"HTTP/1.1 200 OK\r\n123456789012345\r\n\r\n",
       "HTTP/1.1 200 OK",
       {"123456789012345"},
       true,
       ""},
      {"HTTP/1.1 200 OK\r\n1234567890123456\r\n\r\n",
       "HTTP/1.1 200 OK",
       {},
       false,
       "Max line length exceeded."},
      {"HTTP/1.1 200 OK\r\n12345678901234567",
       "HTTP/1.1 200 OK",
       {},
       false,
       "Max line length exceeded."},
      {"HTTP/1.1 200 OK\r\n1234567890123456", "HTTP/1.1 200 OK", {}, false, ""},
  };
  for (const auto& c : cases) {
    for (std::size_t piece : {c.Bytes.size(), std::size_t(1)}) {
      const THead head = ReadHead(c.Bytes, piece);
      EXPECT_EQ(head.StatusLine, c.StatusLine) << c.Bytes << " piece " << piece;
      EXPECT_EQ(head.Headers.Lines, c.Headers) << c.Bytes << " piece " << piece;
      EXPECT_EQ(head.Complete, c.Complete) << c.Bytes << " piece " << piece;
      EXPECT_EQ(head.Error, c.Error) << c.Bytes << " piece " << piece;
    }
  }
}

TEST(HttpResponseHead, LeavesTheBytesAfterTheHeadAndSplitsWhenAskedTo) {
  const THead head = ReadHead("HTTP/1.1 200 OK\r\n\r\nbody", 64);
  EXPECT_TRUE(head.Complete);
  EXPECT_EQ(head.Rest, "body");

  const THead split = ReadHead("HTTP/1.1 200 OK\r\n12345678901234567890\r\n\r\n", 64, maSplit);
  EXPECT_TRUE(split.Complete);
  EXPECT_EQ(split.Headers.Lines, (std::vector<std::string>{"1234567890123456", "7890"}));
}

} // namespace
