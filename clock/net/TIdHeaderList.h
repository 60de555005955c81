// An ordered list of header lines "Name: value". Names compare without
// regard to case; a line that begins with a blank or a tab continues the
// value of the line before it.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

class TIdHeaderList {
public:
  // The value of the first line with that name, trimmed, with its
  // continuation lines joined by one space; empty when there is none.
  std::string Values(const std::string& name) const;
  // Replaces the line in place (dropping its continuations), appends a new
  // one, or removes it when the value is empty.
  void SetValue(const std::string& name, const std::string& value);

  // The lines as they go on the wire: each longer than FoldLength is broken
  // onto continuation lines at blanks, tabs or commas outside double quotes.
  std::vector<std::string> FoldedLines() const;

  std::vector<std::string> Lines;

  static constexpr std::size_t FoldLength = 1024;

private:
  // Index of the named line, or Lines.size().
  std::size_t Find(const std::string& name) const;
  // One past the last continuation line of the line at index.
  std::size_t EndOfEntry(std::size_t index) const;
};

std::string TrimBlanks(const std::string& text);
bool SameText(const std::string& a, const std::string& b);
