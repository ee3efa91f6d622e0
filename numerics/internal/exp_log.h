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

// The steps they share: e^x for x given in fixed point; ln x in fixed
// point, erring by less than 2^-200. Results are rounded by
// wide::RoundToDouble.
double SlowExponential(const wide::Fixed& x);
wide::Fixed SlowLogarithm(double x, dd::DoubleDouble estimate);

}  // namespace numerics::exp_log
