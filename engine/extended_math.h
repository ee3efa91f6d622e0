#pragma once
// Steps that keep a 64-bit significand in between and round once to double.
// They fix the last digit of "^", "exp", "ln", "lg" and the decimal-size test
// of the result lines.

// a to the power b for a > 0.
double PowerOfPositiveBase(double base, double exponent);
// e to the power x.
double ExtendedExp(double x);
// Natural logarithm over ln(exp(1)), as the "ln" function shows it; x > 0.
double ExtendedLn(double x);
// Decimal logarithm, exact at powers of ten; x > 0.
double ExtendedLg(double x);
