// Whole exchanges of the HTTP client with a peer that sends arbitrary bytes
// in pieces after delays, on a simulated clock: every exchange ends within
// the head's time bound, the client never takes in more than the head's
// size bound allows, and pieces without delays give what the bytes sent
// at once give.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "clock/net/IdException.h"
#include "clock/net/IdResponseHead.h"
#include "clock/net/TIdHTTP.h"

namespace {

void Require(bool condition) {
  if (!condition)
    std::abort();
}

struct TPiece {
  std::int64_t Delay; // after the piece before, or after the request
  std::string Bytes;
};

// The peer: each piece becomes readable once its delay has passed on the
// simulated clock; after the last one the peer closes or stays silent.
class TPeerLayer : public TIdSocketLayer {
public:
  TPeerLayer(std::vector<TPiece> pieces, bool closeAtEnd)
      : pieces_(std::move(pieces)), closeAtEnd_(closeAtEnd) {}

  int Resolve(const std::string&, std::uint32_t&) override { return 11001; }
  int Open(TIdSocketHandle& socket) override {
    socket = 1;
    return 0;
  }
  int SetNoDelay(TIdSocketHandle) override { return 0; }
  int Connect(TIdSocketHandle, std::uint32_t, std::uint16_t) override { return 0; }
  int WaitReadable(TIdSocketHandle, int milliseconds, bool& readable) override {
    const std::int64_t due = Due();
    readable = due <= now_ + milliseconds;
    now_ = readable ? std::max(now_, due) : now_ + milliseconds;
    return 0;
  }
  int Send(TIdSocketHandle, const char*, int size, int& sent) override {
    sent = size;
    sentAt_ = now_;
    readyAt_ = now_ + (pieces_.empty() ? 0 : pieces_[0].Delay);
    return 0;
  }
  int Receive(TIdSocketHandle, char* data, int size, int& received) override {
    received = 0;
    if (next_ == pieces_.size())
      return 0;
    const std::string& bytes = pieces_[next_].Bytes;
    const std::size_t count = std::min(static_cast<std::size_t>(size), bytes.size() - offset_);
    std::copy_n(bytes.data() + offset_, count, data);
    received = static_cast<int>(count);
    offset_ += count;
    if (offset_ == bytes.size()) {
      offset_ = 0;
      if (++next_ < pieces_.size())
        readyAt_ = now_ + pieces_[next_].Delay;
    }
    total_ += count;
    Require(total_ <= TIdResponseHeadReader::MaxHeadBytes + 16384 + 32768);
    return 0;
  }
  void Close(TIdSocketHandle) override {}
  std::int64_t Milliseconds() override { return now_; }

  std::int64_t SentAt() const { return sentAt_; }
  std::int64_t Now() const { return now_; }

private:
  // When the next piece, or the close, can be read.
  std::int64_t Due() const {
    if (next_ < pieces_.size())
      return readyAt_;
    return closeAtEnd_ ? readyAt_ : INT64_MAX / 2;
  }

  std::vector<TPiece> pieces_;
  bool closeAtEnd_;
  std::size_t next_ = 0;
  std::size_t offset_ = 0;
  std::size_t total_ = 0;
  std::int64_t now_ = 1000;
  std::int64_t sentAt_ = 0;
  std::int64_t readyAt_ = 0;
};

struct TOutcome {
  std::string Failure;
  std::string StatusLine;
  std::vector<std::string> Headers;
};

TOutcome Exchange(std::vector<TPiece> pieces, bool closeAtEnd) {
  TPeerLayer layer(std::move(pieces), closeAtEnd);
  TIdHTTP http;
  http.SocketLayer = &layer;
  TOutcome outcome;
  try {
    http.HeadRequest("http://127.0.0.1/");
  } catch (const EIdException& e) {
    outcome.Failure = e.Message;
  }
  Require(layer.Now() - layer.SentAt() <= TIdHTTP::NoResponseLimitMs);
  outcome.StatusLine = http.StatusLine();
  outcome.Headers = http.ResponseHeaders().Lines;
  if (!outcome.Failure.empty() || http.Connected())
    http.CloseConnection();
  return outcome;
}

} // namespace

// The first byte says whether the peer closes at the end. Then pieces, each
// a length byte, a delay byte and that many bytes; a length byte with the
// high bit set repeats its bytes 4096 times, so floods fit in small inputs.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1)
    return 0;
  const bool closeAtEnd = data[0] & 1;
  std::vector<TPiece> pieces;
  std::string all;
  bool delayed = false;
  for (std::size_t at = 1; at + 3 <= size;) {
    const std::size_t length = std::min<std::size_t>(1 + (data[at] & 0x3F), size - at - 2);
    const bool repeated = data[at] & 0x80;
    // Mostly none, sometimes up to 12.75 s.
    const std::int64_t delay = data[at + 1] < 192 ? 0 : (data[at + 1] - 191) * 200;
    std::string bytes(reinterpret_cast<const char*>(data) + at + 2, length);
    if (repeated) {
      std::string flood;
      for (int i = 0; i < 4096; ++i)
        flood += bytes;
      bytes.swap(flood);
    }
    at += 2 + length;
    delayed = delayed || delay > 0;
    all += bytes;
    pieces.push_back({delay, std::move(bytes)});
  }

  const TOutcome outcome = Exchange(pieces, closeAtEnd);
  if (!delayed) {
    std::vector<TPiece> once;
    if (!all.empty())
      once.push_back({0, all});
    const TOutcome whole = Exchange(once, closeAtEnd);
    Require(outcome.Failure == whole.Failure);
    Require(outcome.StatusLine == whole.StatusLine);
    Require(outcome.Headers == whole.Headers);
  }
  return 0;
}
