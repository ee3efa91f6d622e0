#pragma once
// The two transcendental steps of "^", "exp", "ln", "lg" and the
// decimal-size test, each correctly rounded to a 64-bit significand, from
// integer arithmetic alone so that every platform gives the same bits.

#include <cstdint>
#include <optional>

#include "engine/extended_rounding.h"

// log2 x rounded to nearest 64-bit significand; x finite and above 0
// (subnormals included). Powers of two give their exponent exactly.
Extended BinaryLogarithm(double x);
// 2^f - 1 rounded to nearest 64-bit significand, for |f| <= 1/2.
Extended PowerOfTwoMinusOne(double f);
// The same for f = +-magnitude * 2^-64 given in fixed point, magnitude at
// most 2^63 with at most 53 significant bits (f a double).
Extended PowerOfTwoMinusOneOfFixed(bool negative, std::uint64_t magnitude);
// 2^f * 2^n for such an f with 2^-8 <= |f|, as the exponential takes it:
// 2^f - 1 rounded to 64 bits, plus 1 rounded once to double, times 2^n.
// Straight from the quick attempt when its value lies clear of the sum's
// rounding midpoints and the result is a normal double; nothing otherwise
// (about one argument in 2^11), for the steps one by one.
std::optional<double> QuickScaledPowerOfTwo(bool negative, std::uint64_t magnitude, std::int64_t n);

// The same without the quick attempt (the 128-bit path, then the precise
// one where it cannot decide), and from the precise path alone; the tests
// compare all three.
Extended WideBinaryLogarithm(double x);
Extended WidePowerOfTwoMinusOne(double f);
Extended PreciseBinaryLogarithm(double x);
Extended PrecisePowerOfTwoMinusOne(double f);
