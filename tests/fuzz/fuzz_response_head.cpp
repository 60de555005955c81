// The response head reader on arbitrary bytes: no crash, no undefined
// behaviour, lines within the limit, and the same head whether the bytes
// come at once or in small pieces.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "clock/net/IdException.h"
#include "clock/net/IdResponseHead.h"

namespace {

void Require(bool condition) {
  if (!condition)
    std::abort();
}

struct THead {
  std::string StatusLine;
  int Code = -1;
  TIdHeaderList Headers;
  bool Complete = false;
  bool TooLong = false;
  std::string Rest;
  std::size_t Fed = 0;
};

THead Read(const std::string& bytes, std::size_t piece, std::size_t maxLine,
           TIdMaxLineAction action) {
  THead head;
  TIdResponseHeadReader reader(head.StatusLine, head.Code, head.Headers, maxLine, action);
  try {
    for (std::size_t at = 0; at < bytes.size() && !head.Complete; at += piece) {
      const std::string next = bytes.substr(at, piece);
      head.Fed += next.size();
      head.Rest += next;
      head.Complete = reader.Consume(head.Rest);
    }
  } catch (const EIdReadLnMaxLineLengthExceeded&) {
    head.TooLong = true;
  }
  return head;
}

void CheckLine(const std::string& line, std::size_t maxLine) {
  Require(line.size() <= maxLine);
  Require(line.find('\n') == std::string::npos);
}

} // namespace

// The first three bytes choose the line limit, the action and the piece size.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3)
    return 0;
  const std::size_t maxLine = (data[0] & 1) ? 16384 : 1 + data[1] % 64;
  const TIdMaxLineAction action = (data[0] & 2) ? maSplit : maException;
  const std::size_t piece = 1 + data[2] % 16;
  const std::string bytes(reinterpret_cast<const char*>(data) + 3, size - 3);

  const THead whole = Read(bytes, bytes.size() + 1, maxLine, action);
  const THead pieces = Read(bytes, piece, maxLine, action);

  Require(whole.StatusLine == pieces.StatusLine);
  Require(whole.Code == pieces.Code);
  Require(whole.Headers.Lines == pieces.Headers.Lines);
  Require(whole.Complete == pieces.Complete);
  Require(whole.TooLong == pieces.TooLong);
  Require(action == maException || !whole.TooLong);
  // The head ends at the same byte.
  if (whole.Complete)
    Require(whole.Fed - whole.Rest.size() == pieces.Fed - pieces.Rest.size());
  else if (!whole.TooLong)
    Require(whole.Rest == pieces.Rest);

  Require(whole.Code == StatusCodeOf(whole.StatusLine));
  Require(!whole.Complete || whole.Code != 100);
  CheckLine(whole.StatusLine, maxLine);
  for (const std::string& line : whole.Headers.Lines) {
    CheckLine(line, maxLine);
    Require(!line.empty());
  }
  return 0;
}
