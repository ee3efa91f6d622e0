// The natural and the decimal logarithm, correctly rounded: the quick step
// of log_core.h, which decides all but about one argument in a hundred next
// to 1 and almost every other; then the precise step; and when its error
// interval still straddles a rounding boundary, the slow path. A result that
// is exactly a double (ln 1, lg 1000) rounds at once.

#include <bit>
#include <cmath>
#include <cstdint>

#include "numerics/internal/exp_log.h"
#include "numerics/internal/exp_log_tables.h"
#include "numerics/internal/log_core.h"
#include "numerics/internal/rounding.h"
#include "numerics/numerics.h"

namespace numerics {
namespace exp_log {
namespace {

// The special values of both logarithms; false for a finite x > 0 other
// than 1, which is left to the caller.
bool SpecialLogarithm(double x, double& result) {
  if (x == 1.0) {
    result = 0.0;
    return true;
  }
  if (x > 0.0 && x <= 0x1.fffffffffffffp1023) return false;
  if (x == 0.0) {
    result = -INFINITY;
  } else if (x > 0.0 || std::isnan(x)) {
    result = x;  // +infinity, NaN
  } else {
    result = NAN;
  }
  return true;
}

}  // namespace
}  // namespace exp_log

namespace {

// The bits of the smallest positive normal double, and the count of the
// positive normal doubles: x is one of them exactly when its bits minus the
// first lie below the count, one unsigned comparison.
constexpr uint64_t kSmallestNormalBits = uint64_t{1} << 52;
constexpr uint64_t kPositiveNormalCount = (uint64_t{0x7FF} << 52) - kSmallestNormalBits;

// The precise step and the slow path of ln, out of line so that the quick
// step keeps its registers. It reduces x again rather than take the quick
// step's reduction, which would have to pass through memory on every call.
[[gnu::noinline]] double PreciseNaturalLogarithm(double x) {
  const exp_log::Logarithm log = exp_log::LogCore(x);
  double result = 0.0;
  if (RoundsWithin(log.value, exp_log::LogError(log), result)) return result;
  return exp_log::SlowNaturalLogarithm(x, log.value);
}

}  // namespace

// Zero, subnormals, negative and non-finite x take the general way; the
// quick step itself gives ln 1 = 0 exactly (r, the head and the table's
// second parts are all 0 there, and so is the bound).
double NaturalLogarithm(double x) {
  double result = 0.0;
  if (std::bit_cast<uint64_t>(x) - kSmallestNormalBits >= kPositiveNormalCount &&
      exp_log::SpecialLogarithm(x, result)) {
    return result;
  }
  const exp_log::LogReduction reduced = exp_log::ReduceLogArgument(x);
  // The rounding test takes the quick value unnormalised, a step shorter.
  // It rounds lo plus or minus the bound, which may err by 2^-53 of lo:
  // 2^-52 |lo| <= 2^-61.4 |r| + 2^-105 |head|; with the step's own error
  // (below 2^-59.95 |r| + 2^-86 |head|) that stays within one and a half
  // times its bound.
  const exp_log::Logarithm quick = exp_log::UnnormalisedQuickLog(reduced);
  // The factor folds into the constants at compile time.
  const double bound = (1.5 * exp_log::kQuickLogSeriesError) * std::fabs(quick.series) +
                       (1.5 * exp_log::kTableError) * std::fabs(quick.head);
  if (RoundsWithin(quick.value, bound, result)) return result;
  return PreciseNaturalLogarithm(x);
}

namespace {

// The high part of 1/ln 10 split into two halves of 26 bits once, at
// compile time, so that the product splits only the logarithm.
constexpr dd::DoubleDouble kInverseLn10Halves = dd::Split(exp_log_tables::kInverseLn10Hi);

// lg x from ln x: 1/ln 10 < 1/2, and the product adds less than 2^-103 of
// the value to the logarithm's error. The product is Dekker's exact product
// of the high parts plus the cross terms, left unnormalised (the low part
// stays within two ulps of the high part) for the rounding test.
bool DecimalFromNatural(const exp_log::Logarithm& log, double logError, double& result) {
  const double product = log.value.hi * exp_log_tables::kInverseLn10Hi;
  const dd::DoubleDouble halves = dd::Split(log.value.hi);
  const double error = ((halves.hi * kInverseLn10Halves.hi - product) + halves.hi * kInverseLn10Halves.lo +
                        halves.lo * kInverseLn10Halves.hi) +
                       halves.lo * kInverseLn10Halves.lo;
  const double cross = log.value.hi * exp_log_tables::kInverseLn10Lo + log.value.lo * exp_log_tables::kInverseLn10Hi;
  return RoundsWithin({product, error + cross}, 0.5 * logError + 0x1p-100 * std::fabs(product), result);
}

// The precise step and the slow path of lg, out of line as for ln.
[[gnu::noinline]] double PreciseDecimalLogarithm(double x) {
  const exp_log::Logarithm log = exp_log::LogCore(x);
  double result = 0.0;
  if (DecimalFromNatural(log, exp_log::LogError(log), result)) return result;
  return exp_log::SlowDecimalLogarithm(x, log.value);
}

}  // namespace

// The special values and the quick step as for ln.
double DecimalLogarithm(double x) {
  double result = 0.0;
  if (std::bit_cast<uint64_t>(x) - kSmallestNormalBits >= kPositiveNormalCount &&
      exp_log::SpecialLogarithm(x, result)) {
    return result;
  }
  const exp_log::Logarithm quick = exp_log::QuickLog(exp_log::ReduceLogArgument(x));
  if (DecimalFromNatural(quick, exp_log::QuickLogError(quick), result)) return result;
  return PreciseDecimalLogarithm(x);
}

}  // namespace numerics
