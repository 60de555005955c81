#include "clock/time/NumberText.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "clock/Exceptions.h"

std::optional<int32_t> TryStrToInt(std::string_view text) {
  size_t pos = 0;
  bool negative = false;
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
    negative = text[pos] == '-';
    ++pos;
  }
  if (pos == text.size())
    return std::nullopt;
  // Accumulate the magnitude in 64 bits; stop as soon as it leaves the range
  // so that any number of digits is safe.
  const int64_t limit = negative ? -int64_t{std::numeric_limits<int32_t>::min()}
                                 : int64_t{std::numeric_limits<int32_t>::max()};
  int64_t magnitude = 0;
  for (; pos < text.size(); ++pos) {
    const char c = text[pos];
    if (c < '0' || c > '9')
      return std::nullopt;
    magnitude = magnitude * 10 + (c - '0');
    if (magnitude > limit)
      return std::nullopt;
  }
  return static_cast<int32_t>(negative ? -magnitude : magnitude);
}

int32_t StrToInt(std::string_view text) {
  if (std::optional<int32_t> value = TryStrToInt(text))
    return *value;
  throw EConvertError("'" + std::string(text) + "' は整数ではありません");
}

std::string FormatDecimal(double value, char decimalSeparator) {
  if (std::isnan(value))
    return "NAN";
  if (std::isinf(value))
    return value < 0 ? "-INF" : "INF";
  if (value == 0)
    return "0";

  // The exponent form rounds to 15 significant digits for us; the digits are
  // then placed around the decimal separator by hand, so no exponent and no
  // locale decimal point can reach the result.
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "%.14e", value);
  std::string digits;
  const char* p = buffer;
  for (; *p != 'e'; ++p) {
    if (*p >= '0' && *p <= '9')
      digits += *p;
  }
  const int exponent = std::atoi(p + 1);
  while (digits.size() > 1 && digits.back() == '0')
    digits.pop_back();

  // The first digit stands for 10^exponent.
  std::string result = value < 0 ? "-" : "";
  const int integerDigits = exponent + 1;
  if (integerDigits <= 0) {
    result += '0';
    result += decimalSeparator;
    result.append(static_cast<size_t>(-integerDigits), '0');
    result += digits;
  } else if (static_cast<size_t>(integerDigits) >= digits.size()) {
    result += digits;
    result.append(static_cast<size_t>(integerDigits) - digits.size(), '0');
  } else {
    result.append(digits, 0, static_cast<size_t>(integerDigits));
    result += decimalSeparator;
    result.append(digits, static_cast<size_t>(integerDigits), std::string::npos);
  }
  return result;
}
