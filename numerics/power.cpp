// The power x^y, correctly rounded.
//
// For x > 0, x^y = e^t with t = y ln x. The fast path takes ln x from the
// logarithm's quick step (a double-double with a known absolute error), t as
// a double-double, and e^t from the exponential's fast step; the error of t
// becomes a relative error of the result, so the rounding test allows the
// exponential's own error plus |y| times the logarithm's. Where that does
// not decide, the logarithm's precise step tries once more. x^2, x^-1 and
// x^(1/2) are single IEEE operations; other small positive integer exponents
// are taken by squaring. Exact results
// (2^3, 10^22, 0.5^10) lie on a double and round at once. A result that is
// exactly a midpoint between two doubles ((2^27 - 1)^2) needs the slow
// path, which rounds it to even.

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "numerics/internal/exp_core.h"
#include "numerics/internal/exp_log.h"
#include "numerics/internal/force_inline.h"
#include "numerics/internal/log_core.h"
#include "numerics/internal/rounding.h"
#include "numerics/numerics.h"

namespace numerics {
namespace {

// Where |t| exceeds this, e^t overflows or rounds to zero.
constexpr double kOutOfRange = 746.0;

bool IsInteger(double y) { return std::isfinite(y) && y == std::trunc(y); }
bool IsOddInteger(double y) { return IsInteger(y) && std::fmod(y, 2.0) != 0.0; }

// x^n for a small integer n > 0 by squaring in double-double: at most five
// products of relative error 2^-103 each, so the result errs by less than
// 2^-98. Every intermediate value lies between 1 and x^n, which the caller
// keeps within 2^-900 .. 2^900, where the products' error terms are exact.
// False when the rounding is not decided. Up to n = 8 this is quicker than
// the logarithm and the exponential; beyond, and for negative n, whose
// quotient costs as much again, it is slower.
constexpr double kSmallPowerLimit = 8.0;
constexpr double kSmallPowerError = 0x1p-98;

QUILLO_FORCE_INLINE bool SmallIntegerPower(double x, double y, double& rounded) {
  // |log2 x| from the exponent bits, within one.
  const int exponent = static_cast<int>(std::bit_cast<uint64_t>(x) >> 52) - 1023;
  if (std::fabs(y) * (std::abs(exponent) + 1) > 900.0) return false;
  auto n = static_cast<unsigned>(std::fabs(y));
  dd::DoubleDouble result{1.0, 0.0};
  dd::DoubleDouble square{x, 0.0};
  for (;;) {
    if ((n & 1U) != 0) result = dd::Multiply(result, square);
    n >>= 1U;
    if (n == 0) break;
    square = dd::Multiply(square, square);
  }
  return RoundsUnambiguously(result, kSmallPowerError, rounded);
}

// e^(y ln x) from a logarithm with the given error: the error of t = y ln x
// becomes a relative error of the result, beside the exponential's own.
// The logarithm need not be normalised: t = y ln x is taken as the exact
// product of y and ln x's high part and a low part, y times ln x's low part
// and the product's error, which the exponential takes as its argument's
// low part. So the exponential's reduction needs only the high part, known
// before the logarithm's series, and runs while the series is computed.
// The low part's two roundings add 2^-52 of it to the error of t, its
// rounding in the exponential as much again; where it exceeds what the
// exponential allows (|y| large and x near 1), false.
QUILLO_FORCE_INLINE bool RoundsWithLog(const exp_log::Logarithm& log, double logError, double y, double& rounded) {
  const dd::DoubleDouble product = dd::TwoProduct(log.value.hi, y);
  const double t = product.hi;
  const double tLow = product.lo + log.value.lo * y;
  if (!(std::fabs(tLow) <= exp_log::kExpCoreLowLimit)) return false;
  const double error = exp_log::ExpCoreError(tLow) + 0x1p-52 * std::fabs(tLow) + std::fabs(y) * logError;
  return exp_log::RoundScaled(exp_log::ExpCore(t, tLow), error, rounded);
}

// The logarithm's precise step and the slow path, out of line so that the
// quick step keeps its values in registers. It reduces x again rather than
// keep the quick step's reduction alive across the exponential.
[[gnu::noinline]] double PrecisePower(double x, double y) {
  const exp_log::Logarithm log = exp_log::LogCore(x);
  double rounded = 0.0;
  if (RoundsWithLog(log, exp_log::LogError(log), y, rounded)) return rounded;
  return exp_log::SlowPower(x, y, log.value);
}

// x^y for a finite x > 0 other than 1 and a finite y other than 0.
double PowerOfFinite(double x, double y) {
  // Each of these is one correctly rounded IEEE operation.
  if (y == 2.0) return x * x;
  if (y == -1.0) return 1.0 / x;
  if (y == 0.5) return std::sqrt(x);
  double rounded = 0.0;
  // The integer test without a library call: 0 < y <= 8 converts exactly.
  if (y > 0.0 && y <= kSmallPowerLimit && static_cast<double>(static_cast<int>(y)) == y &&
      SmallIntegerPower(x, y, rounded)) {
    return rounded;
  }
  const exp_log::Logarithm quick = exp_log::UnnormalisedQuickLog(exp_log::ReduceLogArgument(x));
  // The low part counts here: it may reach 2^-9.4 of the high part (x near 1).
  const double roughT = y * (quick.value.hi + quick.value.lo);
  if (!(std::fabs(roughT) < kOutOfRange)) return roughT > 0.0 ? INFINITY : 0.0;
  if (RoundsWithLog(quick, exp_log::QuickLogError(quick), y, rounded)) return rounded;
  return PrecisePower(x, y);
}

// x^y for x > 0, with what the product y ln x gives for the special
// values: NaN for 1^±infinity and infinity^0, 1 for x^0.
double PowerOfPositive(double x, double y) {
  if (std::isnan(y)) return y;
  if (x == 1.0) return std::isinf(y) ? NAN : 1.0;
  if (y == 0.0) return std::isinf(x) ? NAN : 1.0;
  if (std::isinf(x)) return y > 0.0 ? INFINITY : 0.0;
  if (std::isinf(y)) return (y > 0.0) == (x > 1.0) ? INFINITY : 0.0;
  return PowerOfFinite(x, y);
}

}  // namespace

double Power(double x, double y) {
  // The common case first: a finite x > 0 other than 1, a finite y other
  // than 0 (the comparisons also fail for NaN).
  constexpr double kLargest = 0x1.fffffffffffffp1023;
  if (x > 0.0 && x <= kLargest && x != 1.0 && std::fabs(y) <= kLargest && y != 0.0) return PowerOfFinite(x, y);
  if (std::isnan(x)) return x;
  if (x > 0.0) return PowerOfPositive(x, y);
  if (x == 0.0) {
    if (y > 0.0) return 0.0;
    if (y == 0.0) return 1.0;
    return y < 0.0 ? INFINITY : y;
  }
  if (IsInteger(y)) {  // a negative base: the real power exists for an integer exponent
    const double magnitude = PowerOfPositive(-x, y);
    return IsOddInteger(y) ? -magnitude : magnitude;
  }
  return NAN;
}

}  // namespace numerics
