#include "clock/net/IdSocket.h"

#include <chrono>

std::int64_t TIdSocketLayer::Milliseconds() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

std::int64_t TIdSocketLayer::Microseconds() {
  return std::chrono::duration_cast<std::chrono::microseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

TIdStack::TIdStack() : layer_(&AcquireSocketLayer()) {}

TIdStack::~TIdStack() {
  ReleaseSocketLayer();
}

TIdSocket& TIdSocket::operator=(TIdSocket&& other) noexcept {
  if (this != &other) {
    Close();
    layer_ = other.layer_;
    handle_ = other.Release();
  }
  return *this;
}

TIdSocketHandle TIdSocket::Release() {
  const TIdSocketHandle handle = handle_;
  handle_ = IdInvalidSocket;
  return handle;
}

void TIdSocket::Close() {
  if (IsOpen())
    layer_->Close(Release());
}

bool ParseIPv4(const std::string& text, std::uint32_t& address) {
  unsigned char octets[4];
  std::size_t pos = 0;
  for (int part = 0; part < 4; ++part) {
    if (part > 0) {
      if (pos >= text.size() || text[pos] != '.')
        return false;
      ++pos;
    }
    const std::size_t begin = pos;
    unsigned value = 0;
    while (pos < text.size() && pos - begin < 3 && text[pos] >= '0' && text[pos] <= '9')
      value = value * 10 + static_cast<unsigned>(text[pos++] - '0');
    if (pos == begin || value > 255)
      return false;
    octets[part] = static_cast<unsigned char>(value);
  }
  if (pos != text.size())
    return false;
  // The bytes in memory order are the network order.
  unsigned char* bytes = reinterpret_cast<unsigned char*>(&address);
  for (int part = 0; part < 4; ++part)
    bytes[part] = octets[part];
  return true;
}

std::string FormatIPv4(std::uint32_t address) {
  const unsigned char* bytes = reinterpret_cast<const unsigned char*>(&address);
  return std::to_string(bytes[0]) + "." + std::to_string(bytes[1]) + "." +
         std::to_string(bytes[2]) + "." + std::to_string(bytes[3]);
}
