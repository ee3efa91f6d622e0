// The natural and the decimal logarithm, correctly rounded.
//
// Fast path: x = 2^e m, and with c from a table (about 1/m, at most 11
// significant bits) ln x = e ln2 - ln c + ln(1 + r), r = m c - 1 exactly
// and |r| <= 2^-8.4. ln(1 + r) is r - r^2/2 (the square exact) plus a series
// to r^9 in doubles. The absolute error stays below 2^-70 |r| plus the
// tables' 2^-100 |ln x|, so the relative error of ln x below 2^-67: near
// x = 1 the table row is c = 1 and ln x is r itself, and elsewhere |ln x|
// is at least about |r| / 2. When the error interval straddles a rounding
// boundary the slow path decides; a result that is exactly a double (ln 1,
// lg 1000) rounds at once.

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

constexpr uint64_t kFractionMask = (uint64_t{1} << 52) - 1;
constexpr uint64_t kExponentOfOne = uint64_t{1023} << 52;

// ln(1 + r) - r + r^2/2 for |r| <= 2^-8.4: r^3 (1/3 - r/4 + ... + r^6/9).
double SeriesTail(double r) {
  const double r2 = r * r;
  const double r4 = r2 * r2;
  const double low = (1.0 / 3.0 - r * (1.0 / 4.0)) + r2 * (1.0 / 5.0 - r * (1.0 / 6.0));
  const double high = (1.0 / 7.0 - r * (1.0 / 8.0)) + r2 * (1.0 / 9.0);
  return r * r2 * (low + r4 * high);
}

}  // namespace

Logarithm LogCore(double x) {
  uint64_t bits = std::bit_cast<uint64_t>(x);
  int e = static_cast<int>(bits >> 52) - 1023;
  if ((bits >> 52) == 0) {  // subnormal: scale into the normal range first
    bits = std::bit_cast<uint64_t>(x * 0x1p52);
    e = static_cast<int>(bits >> 52) - 1023 - 52;
  }
  const uint64_t fraction = bits & kFractionMask;
  // The row nearest m = 1.fraction; rows from kLogHalfFrom on stand for m/2.
  const int row = static_cast<int>((fraction + (uint64_t{1} << 43)) >> 44);
  if (row >= tables::kLogHalfFrom) ++e;
  const tables::LogEntry& entry = tables::kLogTable[row];
  // m c - 1 exactly: the upper 42 bits of m times c and the lower 11 times
  // c are exact products, and the first lies within 2^-8 of 1.
  const double m = std::bit_cast<double>(fraction | kExponentOfOne);
  const double mHigh = std::bit_cast<double>((fraction | kExponentOfOne) & ~uint64_t{0x7FF});
  const DoubleDouble r = dd::TwoSum(mHigh * entry.c - 1.0, (m - mHigh) * entry.c);
  // -r^2/2 exactly, then everything smaller in one sum.
  const DoubleDouble square = dd::TwoProduct(r.hi, r.hi);
  const DoubleDouble series = dd::FastTwoSum(r.hi, -0.5 * square.hi);
  const double seriesLow = series.lo + (r.lo - 0.5 * square.lo - r.hi * r.lo + SeriesTail(r.hi));
  // e ln2 + (-ln c): e * kLn2Hi is exact.
  const double ed = static_cast<double>(e);
  const DoubleDouble head = dd::TwoSum(ed * tables::kLn2Hi, entry.minusLogHi);
  const DoubleDouble sum = dd::TwoSum(head.hi, series.hi);
  const double low = sum.lo + (head.lo + seriesLow + (ed * tables::kLn2Lo + entry.minusLogLo));
  return {dd::FastTwoSum(sum.hi, low), r.hi};
}

namespace {

// The relative error bound of LogCore's value: its absolute bound over |ln x|.
double RelativeLogError(const Logarithm& log) {
  return (kLogSeriesError * std::fabs(log.series)) / std::fabs(log.value.hi) + kLogTableError;
}

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

double NaturalLogarithm(double x) {
  double result = 0.0;
  if (exp_log::SpecialLogarithm(x, result)) return result;
  const exp_log::Logarithm log = exp_log::LogCore(x);
  if (RoundsUnambiguously(log.value, exp_log::RelativeLogError(log), result)) return result;
  return exp_log::RoundWide(exp_log::SlowLogarithm(x, log.value), 0);
}

double DecimalLogarithm(double x) {
  double result = 0.0;
  if (exp_log::SpecialLogarithm(x, result)) return result;
  const exp_log::Logarithm log = exp_log::LogCore(x);
  const dd::DoubleDouble inverseLn10{exp_log_tables::kInverseLn10Hi, exp_log_tables::kInverseLn10Lo};
  const dd::DoubleDouble value = dd::Multiply(log.value, inverseLn10);
  // The product adds less than 2^-103 to the logarithm's relative error.
  if (RoundsUnambiguously(value, exp_log::RelativeLogError(log) + 0x1p-100, result)) return result;
  const wide::Fixed ln = exp_log::SlowLogarithm(x, log.value);
  return exp_log::RoundWide(wide::Multiply(ln, wide::FromLimbs(exp_log_tables::kInverseLn10Fixed)), 0);
}

}  // namespace numerics
