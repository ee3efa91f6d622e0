#pragma once
// The slow paths of the exponential, the logarithms and the power, which
// work with 256-bit fixed-point numbers. The fast steps are in exp_core.h
// and log_core.h.

#include "numerics/internal/double_double.h"
#include "numerics/internal/wide_fixed.h"

namespace numerics::exp_log {

// The slow paths: correctly rounded results from 256-bit fixed-point steps,
// each out of line so that the fast paths keep no wide numbers on their
// stack. An exact midpoint between two doubles is rounded to even. The
// logarithms start from an estimate of ln x accurate to about 2^-60 or
// better.
double SlowExponential(double x);
double SlowNaturalLogarithm(double x, dd::DoubleDouble estimate);
double SlowDecimalLogarithm(double x, dd::DoubleDouble estimate);
double SlowPower(double x, double y, dd::DoubleDouble logEstimate);

// The steps they share, for tests: e^x for x given in fixed point; ln x in
// fixed point; the double nearest value * 2^scale for value >= 0,
// subnormal results included. A value within 2^-90 of an ulp of a midpoint
// is taken for the midpoint itself and rounded to even: none of the
// functions comes that close to a midpoint unless it lies on it, and the
// slow paths err by less than 2^-150 of the value.
double SlowExponential(const wide::Fixed& x);
wide::Fixed SlowLogarithm(double x, dd::DoubleDouble estimate);
double RoundWide(const wide::Fixed& value, int scale);

}  // namespace numerics::exp_log
