#pragma once
// Correctly rounded sine, cosine, tangent and their inverses: each returns the
// double nearest the exact value of the function at its argument's double
// (ties to even), with the engine's own code, so every platform and compiler
// gives the same bits. Zeros, infinities and NaN behave as in the C library:
// Sine(±0) = ±0, Sine(inf) = NaN, Arcsine(2) = NaN, Arctangent(±inf) = ±pi/2.

namespace trig {

double Sine(double x);
double Cosine(double x);
double Tangent(double x);
double Arctangent(double x);
double Arcsine(double x);
double Arccosine(double x);

// How many results so far needed the slow, precise path because the fast
// one could not decide the rounding. For tests and measurements.
unsigned long long SlowPathCount();

}  // namespace trig
