// The slow paths of the exponential, the logarithms and the power: 256-bit
// fixed-point steps whose error stays far below what the hardest arguments
// need, rounded once.

#include <bit>
#include <cmath>
#include <cstdint>

#include "numerics/internal/exp_log.h"
#include "numerics/internal/exp_log_tables.h"
#include "numerics/internal/slow_path.h"

namespace numerics::exp_log {
namespace {

using wide::Fixed;

Fixed One() {
  Fixed one{};
  one.limb[wide::kFractionBits / 64] = 1;
  return one;
}

Fixed Ln2() { return wide::FromLimbs(exp_log_tables::kLn2Fixed); }

// e^r for |r| <= 1/2: the series of r / 256, squared eight times. The
// squarings multiply the series' error of a few units of 2^-256 by 2^8.
Fixed ExpOfSmall(const Fixed& r) {
  constexpr int kHalvings = 8;
  const Fixed s = wide::DivideBySmall(r, 1U << kHalvings);
  Fixed sum = One();
  Fixed term = One();
  for (uint32_t n = 1; n < 64; ++n) {
    term = wide::DivideBySmall(wide::Multiply(term, s), n);
    if (wide::IsZero(term)) break;
    sum = wide::Add(sum, term);
  }
  for (int i = 0; i < kHalvings; ++i) sum = wide::Multiply(sum, sum);
  return sum;
}

}  // namespace

double SlowExponential(const Fixed& x) {
  internal::CountSlowPath();
  const double approximate = wide::ToDouble(x);
  if (approximate > 709.8) return INFINITY;
  if (approximate < -745.2) return 0.0;
  const double k = std::nearbyint(approximate * 1.4426950408889634);
  const Fixed r = wide::Subtract(x, wide::Multiply(wide::FromDouble(k), Ln2()));
  return wide::RoundToDouble(ExpOfSmall(r), static_cast<int>(k));
}

Fixed SlowLogarithm(double x, dd::DoubleDouble estimate) {
  internal::CountSlowPath();
  int e = 0;
  double m = std::frexp(x, &e);  // x = m 2^e, m in [1/2, 1)
  if (m < 0.70710678118654752) {
    m *= 2.0;
    --e;
  }
  const Fixed eLn2 = wide::Multiply(wide::FromDouble(e), Ln2());
  const Fixed mFixed = wide::FromDouble(m);
  // Newton's method for y = ln m: y + m e^-y - 1. Each step squares the
  // error; two take the estimate's 2^-60 to the fixed-point floor.
  Fixed y = wide::Subtract(wide::Add(wide::FromDouble(estimate.hi), wide::FromDouble(estimate.lo)), eLn2);
  for (int step = 0; step < 2; ++step) {
    const Fixed residual = wide::Subtract(wide::Multiply(mFixed, ExpOfSmall(wide::Negate(y))), One());
    y = wide::Add(y, residual);
  }
  return wide::Add(y, eLn2);
}

double SlowExponential(double x) { return SlowExponential(wide::FromDouble(x)); }

double SlowNaturalLogarithm(double x, dd::DoubleDouble estimate) { return wide::RoundToDouble(SlowLogarithm(x, estimate), 0); }

double SlowDecimalLogarithm(double x, dd::DoubleDouble estimate) {
  return wide::RoundToDouble(wide::Multiply(SlowLogarithm(x, estimate), wide::FromLimbs(exp_log_tables::kInverseLn10Fixed)), 0);
}

double SlowPower(double x, double y, dd::DoubleDouble logEstimate) {
  return SlowExponential(wide::Multiply(SlowLogarithm(x, logEstimate), wide::FromDouble(y)));
}

}  // namespace numerics::exp_log
