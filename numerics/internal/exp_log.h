#pragma once
// The shared steps of the exponential, the logarithms and the power. Each
// fast step gives a double-double with a bound on its error; the caller
// rounds when every value within that bound rounds alike, and otherwise
// takes the slow path, which works with 256-bit fixed-point numbers.

#include "numerics/internal/double_double.h"
#include "numerics/internal/wide_fixed.h"

namespace numerics::exp_log {

// e^x = (value.hi + value.lo) * 2^scale with value in about [0.99, 2.01]:
// the fast exponential of x = xHi + xLo, |xHi| <= 746, |xLo| below an ulp
// of xHi. The relative error of value stays below kExpCoreError.
struct ScaledValue {
  dd::DoubleDouble value;
  int scale;
};
inline constexpr double kExpCoreError = 0x1p-66;
ScaledValue ExpCore(double xHi, double xLo);

// ln x as a double-double for a finite x > 0, with the parts the error
// bound depends on: the value's absolute error stays below
// kLogSeriesError * |series| + kLogTableError * |value.hi|, where series is
// the argument of the series step (at most 2^-8.4 in magnitude).
struct Logarithm {
  dd::DoubleDouble value;
  double series;
};
inline constexpr double kLogSeriesError = 0x1p-68;
inline constexpr double kLogTableError = 0x1p-92;
Logarithm LogCore(double x);

// The double nearest (value.hi + value.lo) * 2^scale when every number
// within relativeError of it rounds alike and the result is a normal double
// (or overflows); false otherwise.
bool RoundScaled(ScaledValue scaled, double relativeError, double& rounded);

// The slow paths: correctly rounded results from 256-bit fixed-point steps.
// An exact midpoint between two doubles is rounded to even.
double SlowExponential(const wide::Fixed& x);
// ln x of a finite x > 0 as a fixed-point number, from a first estimate
// accurate to about 2^-60 or better.
wide::Fixed SlowLogarithm(double x, dd::DoubleDouble estimate);
// The double nearest value * 2^scale for value >= 0, subnormal results
// included. A value within 2^-90 of an ulp of a midpoint is taken for the
// midpoint itself and rounded to even: none of the functions comes that
// close to a midpoint unless it lies on it, and the slow paths err by less
// than 2^-150 of the value.
double RoundWide(const wide::Fixed& value, int scale);

}  // namespace numerics::exp_log
