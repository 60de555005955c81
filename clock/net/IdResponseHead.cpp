#include "clock/net/IdResponseHead.h"

#include <algorithm>

#include "clock/net/IdException.h"

int StatusCodeOf(const std::string& statusLine) {
  const char* const blanks = " \t";
  const std::size_t first = statusLine.find_first_of(blanks);
  if (first == std::string::npos)
    return -1;
  const std::size_t begin = statusLine.find_first_not_of(blanks, first);
  if (begin == std::string::npos)
    return -1;
  const std::size_t end = std::min(statusLine.find_first_of(blanks, begin), statusLine.size());
  // Nine digits at most keep the value within an int.
  if (end - begin > 9)
    return -1;
  int code = 0;
  for (std::size_t i = begin; i < end; ++i) {
    if (statusLine[i] < '0' || statusLine[i] > '9')
      return -1;
    code = code * 10 + (statusLine[i] - '0');
  }
  return code;
}

TIdResponseHeadReader::TIdResponseHeadReader(std::string& statusLine, int& responseCode,
                                             TIdHeaderList& headers, std::size_t maxLineLength,
                                             TIdMaxLineAction maxLineAction)
    : statusLine_(statusLine), responseCode_(responseCode), headers_(headers),
      maxLineLength_(maxLineLength), maxLineAction_(maxLineAction) {}

// A line may hold maxLineLength bytes before its LF, a CR among them; more
// than that without an LF is an over-long line even before the LF comes.
bool TIdResponseHeadReader::CutLine(const std::string& buffer, std::size_t& at, std::string& line) {
  const std::size_t lf = buffer.find('\n', at);
  const std::size_t length = (lf == std::string::npos ? buffer.size() : lf) - at;
  std::size_t kept = length;
  std::size_t taken = length + 1;
  if (length > maxLineLength_) {
    if (maxLineAction_ == maException)
      throw EIdReadLnMaxLineLengthExceeded();
    kept = taken = maxLineLength_;
  } else if (lf == std::string::npos) {
    return false;
  }
  bytes_ += taken;
  if (++lines_ > MaxHeadLines || bytes_ > MaxHeadBytes)
    throw EIdResponseHeadTooLarge();
  line.assign(buffer, at, kept);
  at += taken;
  if (kept == length && !line.empty() && line.back() == '\r')
    line.pop_back();
  return true;
}

bool TIdResponseHeadReader::Consume(std::string& buffer) {
  std::string line;
  std::size_t at = 0;
  bool complete = false;
  while (!complete && CutLine(buffer, at, line)) {
    if (expectStatus_) {
      statusLine_ = line;
      responseCode_ = StatusCodeOf(line);
      headers_.Lines.clear();
      expectStatus_ = false;
    } else if (!line.empty()) {
      headers_.Lines.push_back(line);
    } else if (responseCode_ == 100) {
      expectStatus_ = true;
    } else {
      complete = true;
    }
  }
  // Once per call: erasing line by line would move the rest each time.
  buffer.erase(0, at);
  return complete;
}
