#include "clock/TextCp932.h"

bool IsLeadByte(unsigned char byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

bool IsTrailByte(unsigned char byte) {
  return (byte >= 0x40 && byte <= 0x7E) || (byte >= 0x80 && byte <= 0xFC);
}

size_t CharLength(std::string_view text, size_t pos) {
  return IsLeadByte(static_cast<unsigned char>(text[pos])) && pos + 1 < text.size() ? 2 : 1;
}

size_t FindText(std::string_view text, std::string_view what) {
  for (size_t pos = 0; pos + what.size() <= text.size(); pos += CharLength(text, pos)) {
    if (text.compare(pos, what.size(), what) == 0)
      return pos;
  }
  return std::string_view::npos;
}

namespace {
char FoldAscii(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}
} // namespace

bool SameTextIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size())
    return false;
  for (size_t pos = 0; pos < a.size();) {
    const size_t length = CharLength(a, pos);
    if (length != CharLength(b, pos))
      return false;
    if (length == 2) {
      if (a.compare(pos, 2, b.substr(pos, 2)) != 0)
        return false;
    } else if (FoldAscii(a[pos]) != FoldAscii(b[pos])) {
      return false;
    }
    pos += length;
  }
  return true;
}

std::string CutAtCharBoundary(std::string_view text, size_t maxBytes) {
  size_t end = 0;
  while (end < text.size()) {
    const size_t next = end + CharLength(text, end);
    if (next > maxBytes)
      break;
    end = next;
  }
  return std::string(text.substr(0, end));
}

bool IsWellFormedCp932(std::string_view text) {
  for (size_t pos = 0; pos < text.size(); ++pos) {
    if (!IsLeadByte(static_cast<unsigned char>(text[pos])))
      continue;
    if (pos + 1 == text.size() || !IsTrailByte(static_cast<unsigned char>(text[pos + 1])))
      return false;
    ++pos;
  }
  return true;
}
