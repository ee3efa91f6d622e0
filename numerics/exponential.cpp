// The exponential, correctly rounded.
//
// Fast path: x = k ln2/128 + r with |r| <= ln2/256 (Cody-Waite with a
// three-part constant, exact for every |k| below 2^18), e^x =
// 2^(k/128 div 1) * 2^((k mod 128)/128) * e^r with the middle factor from a
// table of double-doubles and e^r - 1 = r + r^2/2 + ... + r^6/720. The
// result's relative error stays below 2^-69 (the degree-6 series drops
// 2^-72, its rounding adds about 2^-70); kExpCoreError allows eight times
// that. When the two ends of the error interval round differently, about
// one argument in four thousand, or when the result is subnormal, the slow
// path decides.

#include <bit>
#include <cmath>
#include <cstdint>

#include "numerics/internal/exp_log.h"
#include "numerics/internal/exp_log_tables.h"
#include "numerics/internal/rounding.h"
#include "numerics/numerics.h"

namespace numerics {
namespace exp_log {
namespace {

namespace tables = exp_log_tables;
using dd::DoubleDouble;

constexpr double kRoundingShift = 0x1.8p52;
constexpr double kStepsPerUnit = 0x1.71547652b82fep7;  // 128 / ln 2

// The table's high parts split into 26-bit halves once, at compile time.
struct SplitPower {
  double hiHigh;
  double hiLow;
  double hi;
  double lo;
};

struct SplitPowers {
  SplitPower entry[tables::kExpStep];
};

constexpr SplitPowers MakeSplitPowers() {
  SplitPowers split{};
  for (int j = 0; j < tables::kExpStep; ++j) {
    const DoubleDouble halves = dd::Split(tables::kPowersOfTwo[j].hi);
    split.entry[j] = {halves.hi, halves.lo, tables::kPowersOfTwo[j].hi, tables::kPowersOfTwo[j].lo};
  }
  return split;
}

constexpr SplitPowers kSplitPowers = MakeSplitPowers();

// 2^n for a normal exponent n.
double PowerOfTwo(int n) { return std::bit_cast<double>(static_cast<uint64_t>(n + 1023) << 52); }

}  // namespace

ScaledValue ExpCore(double xHi, double xLo) {
  const double shifted = xHi * kStepsPerUnit + kRoundingShift;
  const auto k = static_cast<int32_t>(static_cast<uint32_t>(std::bit_cast<uint64_t>(shifted)));
  const double kd = shifted - kRoundingShift;
  // x - k hi is exact (Sterbenz), so is k mid; their sum is taken exactly.
  const DoubleDouble head = dd::TwoSum(xHi - kd * tables::kLn2StepHi, -(kd * tables::kLn2StepMid));
  const DoubleDouble r = dd::TwoSum(head.hi, head.lo + (xLo - kd * tables::kLn2StepLo));
  const double z = r.hi;
  const double z2 = z * z;
  // e^r - 1 - r.hi: the series from the second order on, and r.lo with its
  // first-order effect.
  const double tail = z2 * (0.5 + z * (1.0 / 6.0)) + z2 * z2 * ((1.0 / 24.0 + z * (1.0 / 120.0)) + z2 * (1.0 / 720.0)) +
                      r.lo * (1.0 + z);
  const SplitPower& t = kSplitPowers.entry[k & (tables::kExpStep - 1)];
  // t.hi * z exactly, from the split halves.
  const DoubleDouble zHalves = dd::Split(z);
  const double product = t.hi * z;
  const double productError =
      ((t.hiHigh * zHalves.hi - product) + t.hiHigh * zHalves.lo + t.hiLow * zHalves.hi) + t.hiLow * zHalves.lo;
  const DoubleDouble sum = dd::FastTwoSum(t.hi, product);
  const double low = sum.lo + (productError + (t.hi * tail + t.lo * (1.0 + z)));
  return {{sum.hi, low}, k >> 7};
}

bool RoundScaled(ScaledValue scaled, double relativeError, double& rounded) {
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

}  // namespace exp_log

double Exponential(double x) {
  // Beyond these every result overflows or rounds to zero; NaN passes.
  if (!(x <= 709.8)) return x > 0.0 ? INFINITY : x;
  if (!(x >= -745.2)) return 0.0;
  // Below 2^-54 e^x rounds to 1 (from below 1 for a negative x, where ties
  // cannot occur).
  if (std::fabs(x) < 0x1p-54) return 1.0 + x;
  const exp_log::ScaledValue value = exp_log::ExpCore(x, 0.0);
  double rounded = 0.0;
  if (exp_log::RoundScaled(value, exp_log::kExpCoreError, rounded)) return rounded;
  return exp_log::SlowExponential(wide::FromDouble(x));
}

}  // namespace numerics
