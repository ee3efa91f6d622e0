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

// Bit `position` of a non-negative fixed-point number; 0 outside it.
unsigned BitAt(const Fixed& value, int position) {
  if (position < 0 || position >= 64 * wide::kLimbs) return 0;
  return static_cast<unsigned>((value.limb[position / 64] >> (position % 64)) & 1U);
}

int HighestBit(const Fixed& value) {
  for (int limb = wide::kLimbs - 1; limb >= 0; --limb) {
    if (value.limb[limb] != 0) return 64 * limb + 63 - std::countl_zero(value.limb[limb]);
  }
  return -1;
}

constexpr int kMidpointWindow = 90;

// Whether the `count` bits below `position` all equal `bit`.
bool BitsBelowAre(const Fixed& value, int position, unsigned bit) {
  for (int p = position - 1; p >= position - kMidpointWindow; --p) {
    if (BitAt(value, p) != bit) return false;
  }
  return true;
}

}  // namespace

double RoundWide(const Fixed& value, int scale) {
  const bool negative = wide::IsNegative(value);
  const Fixed magnitude = negative ? wide::Negate(value) : value;
  const int highest = HighestBit(magnitude);
  if (highest < 0) return negative ? -0.0 : 0.0;
  // The leading bit weighs 2^leading; the last bit kept weighs 2^last.
  const int leading = highest - wide::kFractionBits + scale;
  if (leading > 1023) return negative ? -INFINITY : INFINITY;
  const int last = leading - 52 > -1074 ? leading - 52 : -1074;
  const int lastPosition = last - scale + wide::kFractionBits;
  uint64_t significand = 0;
  for (int p = highest; p >= lastPosition; --p) significand = (significand << 1) | BitAt(magnitude, p);
  const unsigned roundBit = BitAt(magnitude, lastPosition - 1);
  // A value this close to a midpoint is the midpoint: ties go to even.
  const bool tie = BitsBelowAre(magnitude, lastPosition - 1, roundBit == 1 ? 0 : 1);
  const bool up = tie ? (significand & 1U) != 0 : roundBit == 1;
  const double result = std::ldexp(static_cast<double>(significand + (up ? 1 : 0)), last);
  return negative ? -result : result;
}

double SlowExponential(const Fixed& x) {
  internal::CountSlowPath();
  const double approximate = wide::ToDouble(x);
  if (approximate > 709.8) return INFINITY;
  if (approximate < -745.2) return 0.0;
  const double k = std::nearbyint(approximate * 1.4426950408889634);
  const Fixed r = wide::Subtract(x, wide::Multiply(wide::FromDouble(k), Ln2()));
  return RoundWide(ExpOfSmall(r), static_cast<int>(k));
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

double SlowNaturalLogarithm(double x, dd::DoubleDouble estimate) { return RoundWide(SlowLogarithm(x, estimate), 0); }

double SlowDecimalLogarithm(double x, dd::DoubleDouble estimate) {
  return RoundWide(wide::Multiply(SlowLogarithm(x, estimate), wide::FromLimbs(exp_log_tables::kInverseLn10Fixed)), 0);
}

double SlowPower(double x, double y, dd::DoubleDouble logEstimate) {
  return SlowExponential(wide::Multiply(SlowLogarithm(x, logEstimate), wide::FromDouble(y)));
}

}  // namespace numerics::exp_log
