#pragma once
// The fast step of the exponential, shared by the exponential and the power
// and inlined into both.
//
// x = k ln2/128 + r with |r| <= ln2/256 (Cody-Waite with a three-part
// constant, exact for every |k| below 2^18), e^x = 2^(k div 128) *
// 2^((k mod 128)/128) * e^r with the middle factor from a table of
// double-doubles and e^r - 1 = r + r^2/2 + ... + r^6/720. x comes as a
// high part, which alone chooses k, and a low part of at most 2^-11 (the
// power passes y ln x so, the logarithm's series still in the low part).
// So |r| <= ln2/256 + 2^-11 < 2^-8.27. The result's relative error stays
// below 2^-68.5 (the degree-6 series drops 2^-70.2, its rounding adds about
// 2^-70, and the low part's effect up to 2^-70 more; kExpCoreError allows
// about six times that), plus the rounding of the low part's sum with k's
// middle part, 2^-53 of the low part (ExpCoreError).

#include <bit>
#include <cmath>
#include <cstdint>

#include "numerics/internal/double_double.h"
#include "numerics/internal/exp_log_tables.h"
#include "numerics/internal/fused_multiply_add.h"
#include "numerics/internal/rounding.h"

namespace numerics::exp_log {

// e^x = (value.hi + value.lo) * 2^scale with value in about [0.99, 2.01].
struct ScaledValue {
  dd::DoubleDouble value;
  int scale;
};
inline constexpr double kExpCoreError = 0x1p-66;
// The largest low part of x the bounds allow.
inline constexpr double kExpCoreLowLimit = 0x1p-11;
// The bound on the relative error for a low part xLo (twice what its
// rounding adds).
inline double ExpCoreError(double xLo) { return kExpCoreError + 0x1p-52 * std::fabs(xLo); }

inline constexpr double kExpRoundingShift = 0x1.8p52;
inline constexpr double kStepsPerUnit = 0x1.71547652b82fep7;  // 128 / ln 2

// The table's high parts split into 26-bit halves once, at compile time.
struct SplitPower {
  double hiHigh;
  double hiLow;
  double hi;
  double lo;
};

struct SplitPowers {
  SplitPower entry[exp_log_tables::kExpStep];
};

constexpr SplitPowers MakeSplitPowers() {
  SplitPowers split{};
  for (int j = 0; j < exp_log_tables::kExpStep; ++j) {
    const dd::DoubleDouble halves = dd::Split(exp_log_tables::kPowersOfTwo[j].hi);
    split.entry[j] = {halves.hi, halves.lo, exp_log_tables::kPowersOfTwo[j].hi, exp_log_tables::kPowersOfTwo[j].lo};
  }
  return split;
}

inline constexpr SplitPowers kSplitPowers = MakeSplitPowers();

// 2^n for a normal exponent n.
inline double PowerOfTwo(int n) { return std::bit_cast<double>(static_cast<uint64_t>(n + 1023) << 52); }

inline ScaledValue ExpCore(double xHi, double xLo) {
  const double shifted = xHi * kStepsPerUnit + kExpRoundingShift;
  const auto k = static_cast<int32_t>(static_cast<uint32_t>(std::bit_cast<uint64_t>(shifted)));
  const double kd = shifted - kExpRoundingShift;
  // x's high part minus k hi is exact (Sterbenz), and so is k mid; the low
  // part minus k mid rounds (by 2^-53 of the low part and 2^-78), and the
  // sum of the two is taken exactly. r = z + rLo is left unnormalised: the
  // series starts from z as soon as that sum is known, and rLo = its error
  // and k lo (below 2^-42.5) enters through its effect
  // e^z rLo = rLo (1 + z + z^2/2 + ...), to the second order: the terms left
  // out, rLo z^3/6 and rLo^2/2, stay below 2^-70.
  const dd::DoubleDouble head =
      dd::TwoSum(xHi - kd * exp_log_tables::kLn2StepHi, xLo - kd * exp_log_tables::kLn2StepMid);
  const double z = head.hi;
  const double rLo = head.lo - kd * exp_log_tables::kLn2StepLo;
  const double z2 = z * z;
  // e^r - 1 - z: the series from the second order on, and rLo's effect.
  const double tail = z2 * (0.5 + z * (1.0 / 6.0)) + z2 * z2 * ((1.0 / 24.0 + z * (1.0 / 120.0)) + z2 * (1.0 / 720.0)) +
                      rLo * ((1.0 + z) + 0.5 * z2);
  const SplitPower& t = kSplitPowers.entry[k & (exp_log_tables::kExpStep - 1)];
  const double product = t.hi * z;
  const double productError = dd::ProductError(t.hi, {t.hiHigh, t.hiLow}, z, product);
  const dd::DoubleDouble sum = dd::FastTwoSum(t.hi, product);
  // The series, the last part to be known, is added last.
  const double low = (sum.lo + (productError + t.lo * (1.0 + z))) + t.hi * tail;
  return {{sum.hi, low}, k >> 7};
}

inline bool RoundScaled(ScaledValue scaled, double relativeError, double& rounded) {
  if (scaled.scale < -1021) return false;  // a subnormal result may round at another place
  if (scaled.scale > 1024) {  // the value is at least 2^1024 * 0.99
    rounded = INFINITY;
    return true;
  }
  double mantissa = 0.0;
  if (!RoundsUnambiguously(scaled.value, relativeError, mantissa)) return false;
  rounded = scaled.scale <= 1023 ? mantissa * PowerOfTwo(scaled.scale) : mantissa * PowerOfTwo(1023) * 2.0;
  return true;
}

}  // namespace numerics::exp_log
