// Cuts the response head out of received bytes: the status line, then the
// header lines up to the first empty one, again after every status 100.
#pragma once

#include <cstddef>
#include <string>

#include "clock/net/TIdHeaderList.h"

enum TIdMaxLineAction { maException, maSplit };

// The second word of a status line, words being separated by blanks or
// tabs, as a decimal number; -1 when it is not one.
int StatusCodeOf(const std::string& statusLine);

class TIdResponseHeadReader {
public:
  // The reader writes each line into these as it is cut, so a head that
  // breaks off leaves what had arrived.
  TIdResponseHeadReader(std::string& statusLine, int& responseCode, TIdHeaderList& headers,
                        std::size_t maxLineLength, TIdMaxLineAction maxLineAction);

  // Takes the complete lines from the front of buffer and leaves the rest.
  // True once the head is complete; the bytes after it stay in buffer.
  // Throws EIdResponseHeadTooLarge beyond MaxHeadBytes or MaxHeadLines.
  bool Consume(std::string& buffer);
  // At least one status line has come, a 100 one included.
  bool StatusLineSeen() const { return lines_ > 0; }

  // Far above the few kilobytes that real servers send, counted over every
  // status block of the head: a peer cannot make the client hold more.
  static constexpr std::size_t MaxHeadBytes = 262144;
  static constexpr std::size_t MaxHeadLines = 10000;

private:
  // Cuts the line that starts at at and moves at past it.
  bool CutLine(const std::string& buffer, std::size_t& at, std::string& line);

  std::string& statusLine_;
  int& responseCode_;
  TIdHeaderList& headers_;
  std::size_t maxLineLength_;
  TIdMaxLineAction maxLineAction_;
  bool expectStatus_ = true;
  std::size_t bytes_ = 0;
  std::size_t lines_ = 0;
};
