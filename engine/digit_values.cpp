#include "engine/calculate.h"

#include <cstdint>

namespace {

// Adds each digit, then multiplies by the base; the last multiplication is
// undone by the reciprocal. All steps are exact while the value stays below
// 2^53 because the bases are powers of two.
double DigitsToValue(const char* digits, double base, double reciprocal) {
  double value = 0.0;
  for (const char* c = digits; *c != '\0'; ++c) {
    const int digit = (*c >= 'A') ? (*c - 55) : (*c - '0');
    value = (value + digit) * base;
  }
  return value * reciprocal;
}

}  // namespace

double BinaryDigitsToValue(const char* digits) { return DigitsToValue(digits, 2.0, 0.5); }
double OctalDigitsToValue(const char* digits) { return DigitsToValue(digits, 8.0, 0.125); }
double HexDigitsToValue(const char* digits) { return DigitsToValue(digits, 16.0, 0.0625); }

ExactInteger DigitsToExact(const char* digits, int bitsPerDigit) {
  uint64_t value = 0;
  const uint64_t limit = ~uint64_t{0} >> bitsPerDigit;  // above it, a shift would lose bits
  for (const char* c = digits; *c != '\0'; ++c) {
    if (value > limit) return kNotExact;
    const int digit = (*c >= 'A') ? (*c - 55) : (*c - '0');
    value = (value << bitsPerDigit) | static_cast<uint64_t>(digit);
  }
  return ExactOfUnsigned(value);
}

ExactInteger DecimalDigitsToExact(const char* digits) {
  uint64_t value = 0;
  for (const char* c = digits; *c != '\0'; ++c) {
    if (*c < '0' || *c > '9') return kNotExact;  // a real literal
    if (__builtin_mul_overflow(value, uint64_t{10}, &value) ||
        __builtin_add_overflow(value, static_cast<uint64_t>(*c - '0'), &value)) {
      return kNotExact;
    }
  }
  return ExactOfUnsigned(value);
}
