#include "wrapper/Paths.h"

#include <cstring>

#include "wrapper/Settings.h"

namespace kestrun {

int IsSjisLeadByte(unsigned char byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

void StripLastPathComponent(char* path) {
  char* cut = nullptr;
  for (char* p = path; *p; ++p) {
    if (IsSjisLeadByte(static_cast<unsigned char>(*p))) {
      // A lead byte at the very end has no trail byte to pass over.
      if (p[1] == '\0')
        break;
      ++p;
    } else if (*p == '\\') {
      cut = p;
    }
  }
  if (cut)
    *cut = '\0';
}

void BaseNameWithoutExtension(char* out, const char* path) {
  const char* start = path;
  for (const char* p = path; *p; ++p) {
    if (IsSjisLeadByte(static_cast<unsigned char>(*p))) {
      if (p[1] == '\0')
        break;
      ++p;
    } else if (*p == '\\' || *p == ':') {
      start = p + 1;
    }
  }
  std::size_t length = 0;
  while (start[length] && start[length] != '.' && length + 1 < PathBufferSize)
    ++length;
  std::memcpy(out, start, length);
  out[length] = '\0';
}

const char* ExtensionOf(const char* path) {
  std::size_t length = std::strlen(path);
  for (std::size_t i = length; i-- > 1;) {
    char c = path[i];
    if (c == '.')
      return path + i + 1;
    if (c == '\\' || c == '/' || c == ':')
      return path + length;
  }
  return path;
}

int IsExePath(const char* path) {
  if (!path[0])
    return 0;
  const char* extension = ExtensionOf(path);
  const char* exe = "exe";
  for (; *exe; ++extension, ++exe)
    if ((*extension | 0x20) != *exe)
      return 0;
  return *extension == '\0';
}

namespace {

bool IsBlankAt(const unsigned char* at) {
  return at[0] <= ' ' || at[0] == 0x1A || (at[0] == 0x81 && at[1] == 0x40);
}

} // namespace

int HasBlankAtEnds(const char* text) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(text);
  if (!bytes[0])
    return 0;
  std::size_t last = 0;
  for (std::size_t i = 0; bytes[i]; i += IsSjisLeadByte(bytes[i]) && bytes[i + 1] ? 2 : 1)
    last = i;
  return IsBlankAt(bytes) || IsBlankAt(bytes + last);
}

namespace {

// Appends text to out[0..size) at *used; 0 when it would not fit with the terminator.
int Append(char* out, std::size_t size, std::size_t* used, const char* text) {
  std::size_t length = std::strlen(text);
  if (*used + length >= size)
    return 0;
  std::memcpy(out + *used, text, length + 1);
  *used += length;
  return 1;
}

int NeedsQuotes(const char* path) {
  return path[0] != '"' && std::strpbrk(path, " \t") != nullptr;
}

int Refuse(char* out, std::size_t size) {
  if (size)
    out[0] = '\0';
  return 0;
}

} // namespace

int ComposeIniPath(char* out, std::size_t size, const char* directory) {
  std::size_t used = 0;
  if (!size || !Append(out, size, &used, directory) || !Append(out, size, &used, "\\kestrun.ini"))
    return Refuse(out, size);
  return 1;
}

int ComposeMutexName(char* out, std::size_t size, const char* serviceName) {
  std::size_t used = 0;
  if (!size || !Append(out, size, &used, "$$kestrun$$") || !Append(out, size, &used, serviceName) ||
      !Append(out, size, &used, "$$"))
    return Refuse(out, size);
  return 1;
}

int ComposeQuotedPath(char* out, std::size_t size, const char* path) {
  std::size_t used = 0;
  if (!size)
    return 0;
  out[0] = '\0';
  int quote = NeedsQuotes(path);
  if ((quote && !Append(out, size, &used, "\"")) || !Append(out, size, &used, path) ||
      (quote && !Append(out, size, &used, "\"")))
    return Refuse(out, size);
  return 1;
}

int ComposeInQuotes(char* out, std::size_t size, const char* text) {
  std::size_t used = 0;
  if (!size || !Append(out, size, &used, "\"") || !Append(out, size, &used, text) ||
      !Append(out, size, &used, "\""))
    return Refuse(out, size);
  return 1;
}

int ComposeCommandLine(char* out, std::size_t size, const char* programPath, const char* options) {
  if (!ComposeQuotedPath(out, size, programPath))
    return 0;
  std::size_t used = std::strlen(out);
  if (!Append(out, size, &used, " ") || !Append(out, size, &used, options))
    return Refuse(out, size);
  return 1;
}

int ComposeWorkingDirectory(char* out, std::size_t size, const char* programPath) {
  const char* start = programPath[0] == '"' ? programPath + 1 : programPath;
  std::size_t length = std::strlen(start);
  if (programPath[0] == '"' && length && start[length - 1] == '"')
    --length;
  if (length >= size)
    return Refuse(out, size);
  std::memcpy(out, start, length);
  out[length] = '\0';
  StripLastPathComponent(out);
  return 1;
}

} // namespace kestrun
