// Numbers as the user reads and types them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// An optional sign then decimal digits, within the signed 32-bit range.
// Anything else (empty, blanks, trailing characters) is not an integer.
std::optional<int32_t> TryStrToInt(std::string_view text);

// TryStrToInt, failing with EConvertError "'text' は整数ではありません".
int32_t StrToInt(std::string_view text);

// Plain decimal notation: at most 15 significant digits, no trailing zeros,
// no exponent, no digit grouping, a leading minus when negative.
std::string FormatDecimal(double value, char decimalSeparator);
