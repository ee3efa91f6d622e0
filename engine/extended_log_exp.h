#pragma once
// The two transcendental steps of "^", "exp", "ln", "lg" and the
// decimal-size test, each correctly rounded to a 64-bit significand, from
// integer arithmetic alone so that every platform gives the same bits.

#include "engine/extended_rounding.h"

// log2 x rounded to nearest 64-bit significand; x finite and above 0
// (subnormals included). Powers of two give their exponent exactly.
Extended BinaryLogarithm(double x);
// 2^f - 1 rounded to nearest 64-bit significand, for |f| <= 1/2.
Extended PowerOfTwoMinusOne(double f);

// The same from the precise path alone, skipping the fast attempt; the
// tests compare both.
Extended PreciseBinaryLogarithm(double x);
Extended PrecisePowerOfTwoMinusOne(double f);
