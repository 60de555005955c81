#include "clock/net/IdURI.h"

namespace {

bool IsLeadByte(unsigned char c) {
  return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// Backslashes become slashes, but never the second byte of a double-byte
// character, which may well be 0x5C.
std::string ForwardSlashes(const std::string& url) {
  std::string out = url;
  for (std::size_t i = 0; i < out.size(); ++i) {
    if (IsLeadByte(static_cast<unsigned char>(out[i])) && i + 1 < out.size())
      ++i;
    else if (out[i] == '\\')
      out[i] = '/';
  }
  return out;
}

} // namespace

TIdURI ParseURI(const std::string& url) {
  TIdURI uri;
  std::string rest = ForwardSlashes(url);

  const std::size_t scheme = rest.find("://");
  if (scheme != std::string::npos) {
    uri.Protocol = rest.substr(0, scheme);
    rest.erase(0, scheme + 3);
  }

  const std::size_t slash = rest.find('/');
  std::string authority = rest.substr(0, slash);
  rest = slash == std::string::npos ? std::string() : rest.substr(slash + 1);

  const std::size_t at = authority.rfind('@');
  if (at != std::string::npos)
    authority.erase(0, at + 1);
  const std::size_t colon = authority.find(':');
  uri.Host = authority.substr(0, colon);
  if (colon != std::string::npos)
    uri.Port = authority.substr(colon + 1);
  if (uri.Port.empty())
    uri.Port = "80";

  std::size_t query = rest.find('?');
  if (query == std::string::npos)
    query = rest.find('=');
  if (query == std::string::npos)
    query = rest.size();
  uri.Params = rest.substr(query);
  const std::size_t lastSlash = rest.substr(0, query).rfind('/');
  const std::size_t documentStart = lastSlash == std::string::npos ? 0 : lastSlash + 1;
  uri.Path = "/" + rest.substr(0, documentStart);
  uri.Document = rest.substr(documentStart, query - documentStart);

  const std::size_t hash = uri.Document.find('#');
  if (hash != std::string::npos)
    uri.Document.erase(hash);
  else if (const std::size_t queryHash = uri.Params.find('#'); queryHash != std::string::npos)
    uri.Params.erase(queryHash);
  return uri;
}
