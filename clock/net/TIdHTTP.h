// The clock's own HTTP/1.x client: one HEAD exchange at a time, direct or
// through a proxy, with the response head kept for the caller to read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "clock/net/IdIOHandler.h"
#include "clock/net/IdResponseHead.h"
#include "clock/net/IdSocket.h"
#include "clock/net/TIdHeaderList.h"

enum TIdHTTPProtocolVersion { pv1_0, pv1_1 };

enum TIdStatus { hsResolving, hsConnecting, hsConnected, hsDisconnecting, hsDisconnected };

enum TIdHTTPOption { hoForceEncodeParams = 1 };

class TIdHTTP;

struct TIdProxyConnectionInfo {
  std::string ProxyServer; // empty: connect directly
  int ProxyPort = 0;
  std::string ProxyUsername;
  std::string ProxyPassword;
  bool BasicAuthentication = true;
};

// Lives as long as the client: what is set here is sent with every later
// exchange. The client writes Connection, ProxyConnection and Host itself.
struct TIdHTTPRequest {
  std::string Accept = "text/html, */*";
  std::string AcceptLanguage = "en";
  std::string UserAgent = "Mozilla/4.0 (compatible; Velmora)";
  std::string ContentType = "text/html";
  std::string Pragma;
  std::string Connection;
  std::string ProxyConnection;
  std::string Host;
  // No credentials for the web server are ever sent.
  bool BasicAuthentication = false;
};

// The current exchange's response; emptied when an exchange begins.
struct TIdHTTPResponse {
  std::string StatusLine;
  int ResponseCode = -1;
  TIdHeaderList RawHeaders;
  std::string Location;
  std::string Connection;
  std::string ProxyConnection;
  std::int64_t ContentLength = -1;
  std::string WWWAuthenticate;
  std::string ProxyAuthenticate;
};

class TIdHTTP {
public:
  using TStatusEvent =
      std::function<void(TIdHTTP* sender, TIdStatus status, const std::string& text)>;
  using TNotifyEvent = std::function<void(TIdHTTP* sender)>;

  // Starts the process's socket layer on first use (EIdWS2StubError when
  // it is missing).
  TIdHTTP();
  ~TIdHTTP();
  TIdHTTP(const TIdHTTP&) = delete;
  TIdHTTP& operator=(const TIdHTTP&) = delete;

  // One exchange; returns only for a 2xx status.
  void HeadRequest(const std::string& url);
  // Closes the connection when one is open.
  void CloseConnection();
  bool Connected() const { return io_.Connected(); }

  const std::string& StatusLine() const { return Response.StatusLine; }
  const TIdHeaderList& ResponseHeaders() const { return Response.RawHeaders; }
  // The last exchange on the socket layer's microsecond counter: the end of
  // the request's send, and the first byte of the answer.
  std::int64_t RequestSentUs() const { return io_.SentUs; }
  std::int64_t AnswerStartUs() const { return io_.FirstByteUs; }

  TIdHTTPProtocolVersion ProtocolVersion = pv1_1;
  TIdProxyConnectionInfo ProxyParams;
  TIdHTTPRequest Request;
  TIdHTTPResponse Response;
  // These three have no effect: redirects are never followed, there is no
  // credentials handler and no cookie store.
  bool HandleRedirects = false;
  int RedirectMaximum = 15;
  int AuthRetries = 3;
  bool AllowCookies = false;
  // No effect on HEAD.
  unsigned HTTPOptions = hoForceEncodeParams;
  TIdMaxLineAction MaxLineAction = maException;
  std::size_t MaxLineLength = 16384;
  // Each wait for data ends after this; 0: no bound but the head's own.
  int ReadTimeout = 0;
  // 0: the connect ends after DefaultConnectTimeoutMs.
  int ConnectTimeout = 0;
  int RecvBufferSize = 32768;
  bool UseNagle = true;
  // The current TCP peer.
  std::string Host;
  int Port = 80;

  TStatusEvent OnStatus;
  TNotifyEvent OnConnected;

  // Where the client resolves and connects; the process's layer unless a
  // test puts its own in front.
  TIdSocketLayer* SocketLayer;

  static constexpr int DefaultConnectTimeoutMs = 120000;
  // The whole response head must arrive within this of the request.
  static constexpr int NoResponseLimitMs = 30000;

private:
  void Exchange(const std::string& url);
  void Connect();
  void ReadHead();
  void Judge();
  bool MayPersist() const;
  void Disconnect();
  void DoStatus(TIdStatus status, const std::string& text);

  TIdStack stack_;
  TIdIOHandlerSocket io_;
  bool busy_ = false;
  bool headComplete_ = false;
};
