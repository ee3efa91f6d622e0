#pragma once
// The fast steps of the logarithm, shared by the logarithms and the power and
// inlined into them.
//
// x = 2^e m, and with c from a table (about 1/m, at most 11 significant
// bits) ln x = e ln2 - ln c + ln(1 + r), r = m c - 1 exactly and
// |r| <= 2^-8.4. ln(1 + r) is r - r^2/2 plus a series to r^9 in doubles.
// Near x = 1 the table row is c = 1 and ln x is r itself; elsewhere |ln x|
// is at least about |r| / 2. Two steps share the reduction: a quick one
// with r^2/2 in plain doubles (without its cross term r.hi r.lo) and the
// series to r^7, its absolute error below 2^-59.95 |r| (2^-61.5 from the
// roundings, 2^-61.8 from the series left out, 2^-61.4 from the cross
// term), and a precise one with the square exact, below 2^-70 |r|; to both
// the tables and ln 2 add at most 2^-86 of the head. The bounds the steps
// claim allow more (the quick one 1.5 * 2^-60 |r|, the precise one 2^-68 |r|,
// both 2^-84 of the head), and "bounds" of the MPFR comparison checks them.

#include <bit>
#include <cmath>
#include <cstdint>

#include "numerics/internal/double_double.h"
#include "numerics/internal/exp_log_tables.h"

namespace numerics::exp_log {

// ln x = head + r + ln(1 + r) - r + tableLow, head exact.
struct LogReduction {
  double head;      // e ln2 - ln c, their first parts: exact, on the grid of 2^-42
  double tableLow;  // the second parts of e ln2 and -ln c
  dd::DoubleDouble r;
};

inline LogReduction ReduceLogArgument(double x) {
  constexpr uint64_t kFractionMask = (uint64_t{1} << 52) - 1;
  constexpr uint64_t kExponentOfOne = uint64_t{1023} << 52;
  uint64_t bits = std::bit_cast<uint64_t>(x);
  int e = static_cast<int>(bits >> 52) - 1023;
  if ((bits >> 52) == 0) {  // subnormal: scale into the normal range first
    bits = std::bit_cast<uint64_t>(x * 0x1p52);
    e = static_cast<int>(bits >> 52) - 1023 - 52;
  }
  const uint64_t fraction = bits & kFractionMask;
  // The row nearest m = 1.fraction; rows from kLogHalfFrom on stand for m/2.
  const int row = static_cast<int>((fraction + (uint64_t{1} << 43)) >> 44);
  if (row >= exp_log_tables::kLogHalfFrom) ++e;
  const exp_log_tables::LogEntry& entry = exp_log_tables::kLogTable[row];
  // m c - 1 exactly: the upper 42 bits of m times c and the lower 11 times
  // c are exact products, and the first lies within 2^-8 of 1. Their sum
  // needs no general two-sum: the first minus 1 is a multiple of 2^-52 (c is
  // one of 2^-11) and the second below 2^-40 a multiple of 2^-63, so either
  // the first is the larger, or the sum, below 2^-39, is itself a double.
  const double m = std::bit_cast<double>(fraction | kExponentOfOne);
  const double mHigh = std::bit_cast<double>((fraction | kExponentOfOne) & ~uint64_t{0x7FF});
  const double ed = static_cast<double>(e);
  return {ed * exp_log_tables::kLn2Hi + entry.minusLogHi, ed * exp_log_tables::kLn2Lo + entry.minusLogLo,
          dd::FastTwoSum(mHigh * entry.c - 1.0, (m - mHigh) * entry.c)};
}

// ln(1 + r) - r + r^2/2 for |r| <= 2^-8.4: r^3 (1/3 - r/4 + ... + r^6/9).
inline double LogSeriesTail(double r) {
  const double r2 = r * r;
  const double r4 = r2 * r2;
  const double low = (1.0 / 3.0 - r * (1.0 / 4.0)) + r2 * (1.0 / 5.0 - r * (1.0 / 6.0));
  const double high = (1.0 / 7.0 - r * (1.0 / 8.0)) + r2 * (1.0 / 9.0);
  return r * r2 * (low + r4 * high);
}

// ln x as a double-double for a finite x > 0, with the argument of its
// series step, on which its error depends.
struct Logarithm {
  dd::DoubleDouble value;
  double series;
  double head;
};

// What e ln 2 and the table add: e ln2 in two parts and the table's second
// part each err by less than 2^-96 and their sum by about as much, while
// |head| is 0 (and they are all 0) or at least 2^-8.
inline constexpr double kTableError = 0x1p-84;
inline double TableError(const Logarithm& log) { return kTableError * std::fabs(log.head); }

// The same to r^7, for the quick step: r^3 (1/3 - r/4 + ... + r^4/7). The
// terms left out alternate and shrink, so they sum to less than
// |r|^8/8 <= 2^-61.8 |r|.
inline double ShortLogSeriesTail(double r) {
  const double r2 = r * r;
  const double low = (1.0 / 3.0 - r * (1.0 / 4.0)) + r2 * (1.0 / 5.0 - r * (1.0 / 6.0));
  return r * r2 * (low + (r2 * r2) * (1.0 / 7.0));
}

// The quick step before its last normalisation: value.lo may reach 2^-9.4
// of value.hi (where the head is 0 and the value is r - r^2/2 + ...) and
// stays below 2^-53 |head| + r^2/2 elsewhere. Its error stays below
// QuickLogError. The head is 0 or at least twice |r| (checked for every
// table row), so the first sum is exact without the general two-sum. The
// cross term -r.hi r.lo of the square is left out: |r.lo| is at most
// 2^-53 |r.hi|, so it stays below 2^-61.4 |r|.
inline Logarithm UnnormalisedQuickLog(const LogReduction& reduced) {
  const double z = reduced.r.hi;
  const double series = -0.5 * (z * z) + ShortLogSeriesTail(z);
  const dd::DoubleDouble sum = dd::FastTwoSum(reduced.head, z);
  // The series, the last part to be known, is added last.
  return {{sum.hi, ((sum.lo + reduced.r.lo) + reduced.tableLow) + series}, z, reduced.head};
}

// The quick step, normalised for the products that use it.
inline Logarithm QuickLog(const LogReduction& reduced) {
  Logarithm log = UnnormalisedQuickLog(reduced);
  log.value = dd::FastTwoSum(log.value.hi, log.value.lo);
  return log;
}

// The quick step's bound per unit of |r|, apart so that a caller can scale
// it (and kTableError) at compile time.
inline constexpr double kQuickLogSeriesError = 0x1.8p-60;

inline double QuickLogError(const Logarithm& log) {
  return kQuickLogSeriesError * std::fabs(log.series) + TableError(log);
}

// The precise step; its error stays below LogError.
inline Logarithm LogCore(const LogReduction& reduced) {
  const dd::DoubleDouble r = reduced.r;
  // -r^2/2 exactly, then everything smaller in one sum.
  const dd::DoubleDouble square = dd::TwoProduct(r.hi, r.hi);
  const dd::DoubleDouble series = dd::FastTwoSum(r.hi, -0.5 * square.hi);
  const double seriesLow = series.lo + (r.lo - 0.5 * square.lo - r.hi * r.lo + LogSeriesTail(r.hi));
  const dd::DoubleDouble sum = dd::FastTwoSum(reduced.head, series.hi);
  const double low = sum.lo + (seriesLow + reduced.tableLow);
  return {dd::FastTwoSum(sum.hi, low), r.hi, reduced.head};
}

inline Logarithm LogCore(double x) { return LogCore(ReduceLogArgument(x)); }

inline double LogError(const Logarithm& log) { return 0x1p-68 * std::fabs(log.series) + TableError(log); }

}  // namespace numerics::exp_log
