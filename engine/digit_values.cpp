#include "engine/calculate.h"

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
