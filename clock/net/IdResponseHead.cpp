#include "clock/net/IdResponseHead.h"

#include <algorithm>

#include "clock/net/IdException.h"

int StatusCodeOf(const std::string& statusLine) {
  const std::size_t first = statusLine.find(' ');
  if (first == std::string::npos)
    return -1;
  const std::size_t begin = statusLine.find_first_not_of(' ', first);
  if (begin == std::string::npos)
    return -1;
  const std::size_t end = std::min(statusLine.find(' ', begin), statusLine.size());
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
bool TIdResponseHeadReader::CutLine(std::string& buffer, std::string& line) {
  std::size_t lf = buffer.find('\n');
  const std::size_t length = lf == std::string::npos ? buffer.size() : lf;
  if (length > maxLineLength_) {
    if (maxLineAction_ == maException)
      throw EIdReadLnMaxLineLengthExceeded();
    line = buffer.substr(0, maxLineLength_);
    buffer.erase(0, maxLineLength_);
    return true;
  }
  if (lf == std::string::npos)
    return false;
  line = buffer.substr(0, lf);
  buffer.erase(0, lf + 1);
  if (!line.empty() && line.back() == '\r')
    line.pop_back();
  return true;
}

bool TIdResponseHeadReader::Consume(std::string& buffer) {
  std::string line;
  while (CutLine(buffer, line)) {
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
      return true;
    }
  }
  return false;
}
