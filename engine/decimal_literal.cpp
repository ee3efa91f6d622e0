#include "engine/decimal_literal.h"

#include <charconv>
#include <cstdint>
#include <cstring>
#include <limits>

namespace {

// Decimal exponent of the literal's first non-zero digit, so that an
// out-of-range literal can be told apart as overflow or underflow.
long LeadingDigitExponent(const char* text) {
  const char* c = text;
  long integerDigits = 0;
  while (*c >= '0' && *c <= '9') ++c, ++integerDigits;
  long leading = 0;
  bool found = false;
  for (long i = 0; i < integerDigits && !found; ++i) {
    if (text[i] != '0') leading = integerDigits - 1 - i, found = true;
  }
  if (*c == '.') ++c;
  for (long position = 1; *c >= '0' && *c <= '9'; ++c, ++position) {
    if (!found && *c != '0') leading = -position, found = true;
  }
  long exponent = 0;
  if (*c == 'E') {
    ++c;
    const bool negative = (*c == '-');
    if (*c == '-' || *c == '+') ++c;
    // Saturate: any exponent beyond the double range decides alike.
    for (; *c >= '0' && *c <= '9'; ++c) {
      if (exponent < 100000000L) exponent = exponent * 10 + (*c - '0');
    }
    if (negative) exponent = -exponent;
  }
  return leading + exponent;
}

}  // namespace

double DecimalLiteralToValue(const char* text) {
  // Up to 15 digits and nothing else is an integer below 2^53: exact in a
  // double, so the common case skips the general conversion.
  std::uint64_t integer = 0;
  int digits = 0;
  while (digits < 16 && text[digits] >= '0' && text[digits] <= '9') {
    integer = integer * 10 + static_cast<std::uint64_t>(text[digits] - '0');
    ++digits;
  }
  if (digits < 16 && text[digits] == '\0') return static_cast<double>(integer);

  double value = 0.0;
  const char* end = text + std::strlen(text);
  const auto [next, error] = std::from_chars(text, end, value, std::chars_format::general);
  (void)next;
  if (error == std::errc::result_out_of_range) {
    // from_chars leaves the value alone here; atof gives infinity or zero.
    return LeadingDigitExponent(text) > 0 ? std::numeric_limits<double>::infinity() : 0.0;
  }
  return value;
}
