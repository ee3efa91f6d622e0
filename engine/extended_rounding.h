#pragma once
// Exact products, quotients and sums of extended values, rounded to double in
// a single rounding.

#include <limits>

static_assert(std::numeric_limits<long double>::digits == 64,
              "Quillo needs long double with a 64-bit significand (x87 extended precision) for the "
              "digits of ^, exp, ln and lg; build with GCC or Clang for x86 or x86-64.");

using Extended = long double;

double RoundedProduct(Extended a, Extended b);
double RoundedQuotient(Extended numerator, Extended denominator);
// 1 + m for |m| < 1.
double RoundedOnePlus(Extended m);
