#include "clock/net/TIdHeaderList.h"

#include <cctype>

namespace {

bool IsContinuation(const std::string& line) {
  return !line.empty() && (line[0] == ' ' || line[0] == '\t');
}

// Where the line may break: the position after each blank, tab or comma
// that is not inside double quotes, from the given index on.
std::vector<std::size_t> BreakPlaces(const std::string& line, std::size_t from) {
  std::vector<std::size_t> places;
  bool quoted = false;
  for (std::size_t i = from; i < line.size(); ++i) {
    const char c = line[i];
    if (c == '"')
      quoted = !quoted;
    else if (!quoted && (c == ' ' || c == '\t' || c == ','))
      places.push_back(i + 1);
  }
  return places;
}

// The blanks after the name's colon are no place to break: the value would
// only move whole onto the next line.
void Fold(const std::string& line, std::vector<std::string>& out) {
  std::string rest = line;
  std::size_t from = line.find(':');
  from = from == std::string::npos ? 0 : line.find_first_not_of(" \t", from + 1);
  bool first = true;
  for (;;) {
    const std::string piece = first ? rest : " " + rest;
    if (piece.size() <= TIdHeaderList::FoldLength) {
      out.push_back(piece);
      return;
    }
    // The last break that keeps the piece within the length, else the
    // first one after it; a line without any stays whole.
    const std::size_t lead = first ? 0 : 1;
    std::size_t cut = 0;
    for (std::size_t place : BreakPlaces(rest, first ? from : 0)) {
      if (place >= rest.size())
        break;
      if (place + lead <= TIdHeaderList::FoldLength || cut == 0)
        cut = place;
      if (place + lead >= TIdHeaderList::FoldLength)
        break;
    }
    if (cut == 0) {
      out.push_back(piece);
      return;
    }
    out.push_back((first ? "" : " ") + rest.substr(0, cut));
    rest = rest.substr(cut);
    first = false;
  }
}

} // namespace

std::string TrimBlanks(const std::string& text) {
  std::size_t begin = 0, end = text.size();
  while (begin < end && static_cast<unsigned char>(text[begin]) <= ' ')
    ++begin;
  while (end > begin && static_cast<unsigned char>(text[end - 1]) <= ' ')
    --end;
  return text.substr(begin, end - begin);
}

bool SameText(const std::string& a, const std::string& b) {
  if (a.size() != b.size())
    return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

std::size_t TIdHeaderList::Find(const std::string& name) const {
  for (std::size_t i = 0; i < Lines.size(); ++i) {
    const std::string& line = Lines[i];
    const std::size_t colon = line.find(':');
    if (colon != std::string::npos && !IsContinuation(line) &&
        SameText(TrimBlanks(line.substr(0, colon)), name))
      return i;
  }
  return Lines.size();
}

std::size_t TIdHeaderList::EndOfEntry(std::size_t index) const {
  std::size_t end = index + 1;
  while (end < Lines.size() && IsContinuation(Lines[end]))
    ++end;
  return end;
}

std::string TIdHeaderList::Values(const std::string& name) const {
  const std::size_t index = Find(name);
  if (index == Lines.size())
    return std::string();
  std::string value = TrimBlanks(Lines[index].substr(Lines[index].find(':') + 1));
  const std::size_t end = EndOfEntry(index);
  for (std::size_t i = index + 1; i < end; ++i)
    value += " " + TrimBlanks(Lines[i]);
  return value;
}

void TIdHeaderList::SetValue(const std::string& name, const std::string& value) {
  const std::size_t index = Find(name);
  if (index == Lines.size()) {
    if (!value.empty())
      Lines.push_back(name + ": " + value);
    return;
  }
  const auto first = Lines.begin() + static_cast<std::ptrdiff_t>(index);
  Lines.erase(first + 1, Lines.begin() + static_cast<std::ptrdiff_t>(EndOfEntry(index)));
  if (value.empty())
    Lines.erase(first);
  else
    *first = name + ": " + value;
}

std::vector<std::string> TIdHeaderList::FoldedLines() const {
  std::vector<std::string> out;
  for (const std::string& line : Lines)
    Fold(line, out);
  return out;
}
