// Cuts the response head out of received bytes: the status line, then the
// header lines up to the first empty one, again after every status 100.
#pragma once

#include <cstddef>
#include <string>

#include "clock/net/TIdHeaderList.h"

enum TIdMaxLineAction { maException, maSplit };

// The second blank-separated word of a status line as a decimal number, or
// -1 when it is not one.
int StatusCodeOf(const std::string& statusLine);

class TIdResponseHeadReader {
public:
  // The reader writes each line into these as it is cut, so a head that
  // breaks off leaves what had arrived.
  TIdResponseHeadReader(std::string& statusLine, int& responseCode, TIdHeaderList& headers,
                        std::size_t maxLineLength, TIdMaxLineAction maxLineAction);

  // Takes the complete lines from the front of buffer and leaves the rest.
  // True once the head is complete; the bytes after it stay in buffer.
  bool Consume(std::string& buffer);
  bool StatusLineRead() const { return !expectStatus_; }

private:
  bool CutLine(std::string& buffer, std::string& line);

  std::string& statusLine_;
  int& responseCode_;
  TIdHeaderList& headers_;
  std::size_t maxLineLength_;
  TIdMaxLineAction maxLineAction_;
  bool expectStatus_ = true;
};
