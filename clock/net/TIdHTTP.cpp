#include "clock/net/TIdHTTP.h"

#include <algorithm>

#include "clock/net/IdCoderMIME.h"
#include "clock/net/IdException.h"
#include "clock/net/IdURI.h"

namespace {

// Marks the client busy for one call. The waits dispatch window messages,
// and a handler that starts another call would take the socket from under
// the waiting exchange, so such a call is refused.
class TBusyGuard {
public:
  explicit TBusyGuard(bool& busy) : busy_(busy) {
    if (busy_)
      throw EIdException("An exchange is already in progress.");
    busy_ = true;
  }
  ~TBusyGuard() { busy_ = false; }
  TBusyGuard(const TBusyGuard&) = delete;
  TBusyGuard& operator=(const TBusyGuard&) = delete;

private:
  bool& busy_;
};

int PortNumber(const std::string& text) {
  int port = 0;
  for (char c : text) {
    if (c < '0' || c > '9' || port > 65535)
      throw EIdException("Invalid port: " + text);
    port = port * 10 + (c - '0');
  }
  if (text.empty() || port > 65535)
    throw EIdException("Invalid port: " + text);
  return port;
}

} // namespace

TIdHTTP::TIdHTTP() {
  SocketLayer = &stack_.Layer();
}

TIdHTTP::~TIdHTTP() = default;

void TIdHTTP::DoStatus(TIdStatus status, const std::string& text) {
  if (OnStatus)
    OnStatus(this, status, text);
}

void TIdHTTP::HeadRequest(const std::string& url) {
  TBusyGuard guard(busy_);
  Response = TIdHTTPResponse();
  headComplete_ = false;
  try {
    Exchange(url);
  } catch (...) {
    // A head that broke off leaves unread bytes that the next exchange
    // would take for its response, so that connection never persists.
    if (Connected() && (!headComplete_ || !MayPersist()))
      Disconnect();
    throw;
  }
  if (Connected() && !MayPersist())
    Disconnect();
}

void TIdHTTP::CloseConnection() {
  TBusyGuard guard(busy_);
  if (Connected())
    Disconnect();
}

void TIdHTTP::Exchange(const std::string& url) {
  const TIdURI uri = ParseURI(url);
  const bool viaProxy = !ProxyParams.ProxyServer.empty();
  const std::string peerHost = viaProxy ? ProxyParams.ProxyServer : uri.Host;
  const int peerPort =
      viaProxy ? PortNumber(std::to_string(ProxyParams.ProxyPort)) : PortNumber(uri.Port);
  if (Connected() && (!SameText(peerHost, Host) || peerPort != Port))
    Disconnect();
  Host = peerHost;
  Port = peerPort;

  if (ProtocolVersion == pv1_0 && Request.Connection.empty())
    (viaProxy ? Request.ProxyConnection : Request.Connection) = "keep-alive";
  Request.Host = uri.Port == "80" ? uri.Host : uri.Host + ":" + uri.Port;
  const std::string target =
      viaProxy ? "http://" + uri.Host + ":" + uri.Port + uri.Target() : uri.Target();

  if (!Connected())
    Connect();

  TIdHeaderList headers;
  headers.SetValue("Connection", Request.Connection);
  headers.SetValue("Content-Type", Request.ContentType);
  headers.SetValue("Pragma", Request.Pragma);
  headers.SetValue("Proxy-Connection", Request.ProxyConnection);
  headers.SetValue("Host", Request.Host);
  headers.SetValue("Accept", Request.Accept);
  headers.SetValue("Accept-Language", Request.AcceptLanguage);
  headers.SetValue("User-Agent", Request.UserAgent);
  // Only a proxy gets the proxy's credentials, never a web server, and
  // they are the ones set now.
  if (viaProxy && ProxyParams.BasicAuthentication)
    headers.SetValue("Proxy-Authorization",
                     "Basic " +
                         EncodeBase64(ProxyParams.ProxyUsername + ":" + ProxyParams.ProxyPassword));

  std::string bytes =
      "HEAD " + target + " HTTP/" + (ProtocolVersion == pv1_0 ? "1.0" : "1.1") + "\r\n";
  for (const std::string& line : headers.FoldedLines())
    bytes += line + "\r\n";
  bytes += "\r\n";
  io_.Write(bytes);

  ReadHead();
  Judge();
}

void TIdHTTP::Connect() {
  std::uint32_t address = 0;
  if (!ParseIPv4(Host, address)) {
    DoStatus(hsResolving, "Resolving hostname " + Host + ".");
    if (SameText(Host, "localhost"))
      ParseIPv4("127.0.0.1", address);
    // An empty name would give this machine's own address on Windows.
    else if (Host.empty())
      throw EIdSocketError(11001);
    else if (const int error = SocketLayer->Resolve(Host, address))
      throw EIdSocketError(error);
  }
  DoStatus(hsConnecting, "Connecting to " + FormatIPv4(address) + ".");
  io_.Open(*SocketLayer, address, static_cast<std::uint16_t>(Port),
           ConnectTimeout > 0 ? ConnectTimeout : DefaultConnectTimeoutMs, UseNagle);
  DoStatus(hsConnected, "Connected.");
  if (OnConnected)
    OnConnected(this);
}

// No body is read after the head of a HEAD response, whatever the head
// announces. The whole head, 100 blocks included, must come within
// NoResponseLimitMs of the request: a peer that drips it byte by byte is
// bounded like a silent one.
void TIdHTTP::ReadHead() {
  TIdResponseHeadReader reader(Response.StatusLine, Response.ResponseCode, Response.RawHeaders,
                               MaxLineLength, MaxLineAction);
  const std::int64_t deadline = SocketLayer->Milliseconds() + NoResponseLimitMs;
  try {
    while (!reader.Consume(io_.InputBuffer)) {
      const std::int64_t left = deadline - SocketLayer->Milliseconds();
      io_.ReadFromSource(
          static_cast<int>(ReadTimeout > 0 ? std::min<std::int64_t>(ReadTimeout, left) : left),
          RecvBufferSize);
    }
  } catch (const EIdConnClosedGracefully&) {
    // A close inside the head is judged on the lines read so far: a 100
    // block alone fails with its status line.
    if (!reader.StatusLineSeen())
      throw;
  }
  headComplete_ = true;

  const TIdHeaderList& headers = Response.RawHeaders;
  Response.Location = headers.Values("Location");
  Response.Connection = headers.Values("Connection");
  Response.ProxyConnection = headers.Values("Proxy-Connection");
  Response.WWWAuthenticate = headers.Values("WWW-Authenticate");
  Response.ProxyAuthenticate = headers.Values("Proxy-Authenticate");
  const std::string length = headers.Values("Content-Length");
  Response.ContentLength = -1;
  if (!length.empty() && length.size() <= 18 &&
      length.find_first_not_of("0123456789") == std::string::npos)
    Response.ContentLength = std::stoll(length);
}

// Redirects are not followed and there is no credentials handler, so 3xx,
// 401 and 407 fail like any status outside 2xx.
void TIdHTTP::Judge() {
  const int code = Response.ResponseCode;
  const bool redirect = (code >= 300 && code <= 399 && code != 304) || !Response.Location.empty();
  if (!redirect && code >= 200 && code <= 299) {
    if (!Connected())
      throw EIdException("Undefined situation");
    return;
  }
  throw EIdHTTPProtocolException(Response.StatusLine, code);
}

// Judged by the client's own version, not the one in the status line.
bool TIdHTTP::MayPersist() const {
  if (!Connected())
    return false;
  const std::string& connection = Response.Connection;
  const std::string& proxyConnection = Response.ProxyConnection;
  if (ProtocolVersion == pv1_0)
    return SameText(connection, "keep-alive") || SameText(proxyConnection, "keep-alive");
  return !SameText(connection, "close") && !SameText(proxyConnection, "close");
}

void TIdHTTP::Disconnect() {
  DoStatus(hsDisconnecting, "Disconnecting.");
  io_.Close();
  DoStatus(hsDisconnected, "Disconnected.");
}
