// Path scanning that respects Shift-JIS double-byte characters, and every
// text the wrapper composes into a fixed buffer. A composition that would not
// fit returns 0 and leaves an empty text; nothing is written past the buffer.
#pragma once

#include <cstddef>

namespace kestrun {

int IsSjisLeadByte(unsigned char byte);
// Cuts the path in place at its last backslash; no backslash, no change.
void StripLastPathComponent(char* path);
// out (PathBufferSize bytes): the last component up to its first dot.
void BaseNameWithoutExtension(char* out, const char* path);
// The text after the last dot of the last component, inside path.
const char* ExtensionOf(const char* path);
// 1 when the path is not empty and its extension is "exe" in any case.
int IsExePath(const char* path);
// 1 when the text begins or ends with a blank, a control byte or the
// full-width blank of code page 932.
int HasBlankAtEnds(const char* text);

// directory + "\kestrun.ini".
int ComposeIniPath(char* out, std::size_t size, const char* directory);
// "$$kestrun$$<name>$$".
int ComposeMutexName(char* out, std::size_t size, const char* serviceName);
// The path, in double quotes when it holds a blank and is not quoted yet.
int ComposeQuotedPath(char* out, std::size_t size, const char* path);
// The text inside one pair of double quotes, whatever it holds.
int ComposeInQuotes(char* out, std::size_t size, const char* text);
// "<path> <options>", the path quoted as by ComposeQuotedPath.
int ComposeCommandLine(char* out, std::size_t size, const char* programPath, const char* options);
// The folder of the program, its quotes removed.
int ComposeWorkingDirectory(char* out, std::size_t size, const char* programPath);

} // namespace kestrun
