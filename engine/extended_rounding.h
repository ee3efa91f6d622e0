#pragma once
// Exact products, quotients and sums of extended values, rounded to double in
// a single rounding.

#include <limits>

static_assert(std::numeric_limits<long double>::digits == 64,
              "Quillo needs long double with a 64-bit significand (x87 extended precision) for the "
              "digits of ^, exp, ln and lg; build with GCC or Clang for x86 or x86-64.");

using Extended = long double;

#include <cstdint>

// A finite non-zero value as sign, integer significand and scale:
// value = significand * 2^exponent.
struct ExtendedParts {
  bool negative;
  std::uint64_t significand;
  int exponent;
};
ExtendedParts Decompose(Extended value);
ExtendedParts Decompose(double value);

double RoundedProduct(Extended a, Extended b);
// The same for operands already taken apart (a constant factor is taken
// apart once, at compile time).
double RoundedProduct(const ExtendedParts& x, const ExtendedParts& y);
double RoundedQuotient(Extended numerator, Extended denominator);
// 1 + m for |m| < 1.
double RoundedOnePlus(Extended m);

// log2 e rounded to 64 bits, as the x87 unit loads it, and the same constant
// taken apart (significand * 2^-63) for the products that use it.
inline constexpr Extended kLog2E = 1.442695040888963407359924681001892137L;
inline constexpr ExtendedParts kLog2EParts = {false, 0xB8AA3B295C17F0BCULL, -63};
