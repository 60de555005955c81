// Byte strings in code page 932, the program's ANSI code page: a lead byte
// and the byte after it are one character, so scanning goes by characters.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

bool IsLeadByte(unsigned char byte);
bool IsTrailByte(unsigned char byte);

// The byte length of the character at pos: 2 for a lead byte that has a byte
// after it, else 1.
size_t CharLength(std::string_view text, size_t pos);

// The first place of what that starts a character; npos when none.
size_t FindText(std::string_view text, std::string_view what);

// Equal, ignoring the case of single-byte letters (never of trail bytes).
bool SameTextIgnoringCase(std::string_view a, std::string_view b);

// At most maxBytes bytes of text, never ending inside a character.
std::string CutAtCharBoundary(std::string_view text, size_t maxBytes);

// Every lead byte is followed by a trail byte.
bool IsWellFormedCp932(std::string_view text);
