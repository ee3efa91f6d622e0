#pragma once
// The calculator's mathematical functions, each correctly rounded: every
// function returns the double nearest the exact value of the function at its
// argument's double (round to nearest, ties to even), for every argument.
// The code is the library's own and uses only IEEE additions,
// multiplications, divisions and square roots plus integer arithmetic, so the
// same argument gives the same bits on every processor and compiler.
//
// Special values follow the C library: a NaN argument gives NaN, an
// argument outside the real domain gives NaN, an overflow gives an infinity
// and an underflow the correctly rounded subnormal or zero. Poles and zeros
// that the calculator refuses are refused by its caller, not here.
// Angles are in radians.

namespace numerics {

double Sine(double x);
double Cosine(double x);
double Tangent(double x);
// 1 / tan x, 1 / cos x and 1 / sin x, each rounded once.
double Cotangent(double x);
double Secant(double x);
double Cosecant(double x);

// atan x in [-pi/2, pi/2]; asin x in [-pi/2, pi/2]; acos x in [0, pi].
double Arctangent(double x);
double Arcsine(double x);
double Arccosine(double x);
// pi/2 - atan x, in (0, pi).
double Arccotangent(double x);

// x * pi / 180 and x * 180 / pi, each rounded once.
double DegreesToRadians(double x);
double RadiansToDegrees(double x);

// e^x.
double Exponential(double x);
// ln x and log10 x; -infinity for ±0, NaN below 0.
double NaturalLogarithm(double x);
double DecimalLogarithm(double x);
// x^y as a real number: for a negative x only where y is an integer (NaN
// otherwise); 0^0 = 1, 0^y = 0 for y > 0 and +infinity for y < 0; NaN for
// 1^±infinity and ±infinity^0, whose logarithmic form y ln x has no value.
double Power(double x, double y);

}  // namespace numerics
