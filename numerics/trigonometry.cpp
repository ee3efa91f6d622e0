// The trigonometric functions, correctly rounded.
//
// Each function first computes its result as a double-double with a known
// bound on the relative error (the fast path, within about 2^-64), and
// returns the double that both ends of the error interval round to. When the
// two ends round differently, which happens for about one argument in a
// thousand, a second try computes more of the terms as double-doubles
// (within about 2^-80) and tests again. Only when that too fails, for about
// one argument in 2^36, the slow path recomputes the result with 256-bit
// fixed-point arithmetic (numerics/internal/wide_fixed.h), accurate to far
// more bits than the hardest known double arguments of these functions need,
// and rounds that once.
//
// Argument reduction for the circular functions: below 2^20 it subtracts
// the nearest multiple of pi/2 held in four parts (Cody and Waite), enough
// unless the remainder is below 2^-25. Beyond, and for those rare remainders,
// it is exact for every double: |x| * 2/pi is formed with integer arithmetic
// from 384 bits of 2/pi around the argument's exponent (trig_tables.h),
// giving the quadrant and the remainder with more than 320 correct bits,
// even for the doubles closest to a multiple of pi/2.

#include "numerics/numerics.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

#include "numerics/internal/double_double.h"
#include "numerics/internal/force_inline.h"
#include "numerics/internal/rounding.h"
#include "numerics/internal/slow_path.h"
#include "numerics/internal/trig_tables.h"
#include "numerics/internal/wide_fixed.h"

// The helpers of the fast paths are inlined into each caller: passing their
// small records through memory would cost more than the arithmetic.

namespace numerics {
namespace {

using dd::DoubleDouble;
namespace tables = trig_tables;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
// Below this magnitude sin, tan, atan and asin round to x itself and cos to
// 1: the rest of the series stays below half an ulp.
constexpr double kTiny = 0x1p-27;
// The double nearest pi/4, which lies below pi/4.
constexpr double kQuarterPi = 0x1.921fb54442d18p-1;
// From 2^53 on, atan(x) rounds to the double nearest pi/2.
constexpr double kArctangentFlat = 0x1p53;
constexpr DoubleDouble kHalfPi{tables::kHalfPiHi, tables::kHalfPiMid};
constexpr DoubleDouble kPi{tables::kPiHi, tables::kPiMid};

// Bounds on the relative error of the fast paths' double-doubles. The
// analysis (see the functions) gives about 2^-65.5 for sine and cosine and
// 2^-64.5 for the others; the bounds leave a factor of about three (the
// largest errors measured against MPFR are smaller still, about 2^-67 for
// sine). Every halving of a bound halves the share of arguments sent to the
// slow path.
constexpr double kSineCosineError = 0x1p-64;
constexpr double kTangentError = 0x1p-63;
constexpr double kArctangentError = 0x1p-63;
// The bound of the accurate second try of atan, acot, asin and acos (the
// analysis gives 2^-82 and 2^-79).
constexpr double kAccurateInverseError = 0x1p-78;

// ------------------------------------------------------------ reduction

// Adding and subtracting 1.5 * 2^52 rounds a double below 2^51 to an integer,
// which then sits in the low bits of the sum.
constexpr double kRoundingShift = 0x1.8p52;

// The table point i/kStep nearest x >= 0 (ties to even) and the low eight
// bits of i, for x below 2^40 and a power of two kStep: adding and
// subtracting 1.5 * 2^52 / kStep rounds x to a multiple of 1/kStep directly,
// as rounding x * kStep to an integer would, one multiplication sooner.
struct GridPoint {
  int index;
  double point;
};

template <int kStep>
QUILLO_FORCE_INLINE GridPoint NearestGridPoint(double x) {
  static_assert((kStep & (kStep - 1)) == 0);
  constexpr double kShift = kRoundingShift / kStep;
  const double shifted = x + kShift;
  return {static_cast<int>(std::bit_cast<uint64_t>(shifted) & 0xFFu), shifted - kShift};  // exact
}

// 64 bits of 2/pi from bit `offset` on (offset 0 is the bit of weight 2^-1),
// most significant first; positions before the binary point are 0.
uint64_t TwoOverPiBits(int offset) {
  auto word = [](int index) -> uint64_t { return index < tables::kTwoOverPiWordCount ? tables::kTwoOverPi[index] : 0; };
  if (offset <= -64) return 0;
  if (offset < 0) return word(0) >> -offset;
  const int index = offset / 64;
  const int shift = offset % 64;
  if (shift == 0) return word(index);
  return (word(index) << shift) | (word(index + 1) >> (64 - shift));
}

constexpr int kReductionLimbs = 6;  // 384 bits, little-endian
constexpr int kReductionFractionBits = 382;

// Bits low .. low+63 of a 384-bit number; bits outside it read as 0.
uint64_t Extract64(const uint64_t (&limbs)[kReductionLimbs], int low) {
  if (low <= -64) return 0;
  if (low < 0) return limbs[0] << -low;
  const int index = low / 64;
  const int shift = low % 64;
  if (index >= kReductionLimbs) return 0;
  uint64_t bits = limbs[index] >> shift;
  if (shift != 0 && index + 1 < kReductionLimbs) bits |= limbs[index + 1] << (64 - shift);
  return bits;
}

// |x| * 2/pi = quadrant + f (mod 4) with |f| <= 1/2; |f| = magnitude / 2^382.
struct ReducedBits {
  int quadrant;
  bool negative;
  uint64_t magnitude[kReductionLimbs];
};

// For |x| >= pi/4, finite. With |x| = m * 2^e (m a 53-bit integer), bit i of
// 2/pi (weight 2^-i) contributes m * 2^(e-i): the bits with e - i >= 2 add
// multiples of 4 and are skipped, the 384 bits from i = e - 1 on are used,
// and the rest adds less than 2^-329 to the fraction.
ReducedBits ReduceExactly(double absoluteX) {
  int exponent = 0;
  const double fraction = std::frexp(absoluteX, &exponent);
  const auto significand = static_cast<uint64_t>(std::ldexp(fraction, 53));
  const int e = exponent - 53;
  uint64_t window[kReductionLimbs];
  for (int j = 0; j < kReductionLimbs; ++j) window[kReductionLimbs - 1 - j] = TwoOverPiBits(e - 2 + 64 * j);
  // significand * window mod 2^384 is |x| * 2/pi mod 4, scaled by 2^382.
  ReducedBits reduced{};
  uint64_t carry = 0;
  for (int k = 0; k < kReductionLimbs; ++k) {
    uint64_t high = 0;
    uint64_t low = 0;
    wide::MultiplyFull(significand, window[k], high, low);
    low += carry;
    high += low < carry ? 1u : 0u;
    reduced.magnitude[k] = low;
    carry = high;
  }
  // Adding 1/2 makes the integer part the nearest quadrant.
  uint64_t& top = reduced.magnitude[kReductionLimbs - 1];
  top += uint64_t{1} << 61;
  reduced.quadrant = static_cast<int>(top >> 62);
  top &= (uint64_t{1} << 62) - 1;
  constexpr uint64_t kHalf = uint64_t{1} << 61;
  if ((top & kHalf) != 0) {
    top &= ~kHalf;  // f = (fraction + 1/2) - 1/2 >= 0
  } else {
    // f < 0: |f| = 1/2 - (fraction + 1/2), by two's complement.
    reduced.negative = true;
    uint64_t borrowIn = 1;
    for (uint64_t& limb : reduced.magnitude) {
      limb = ~limb + borrowIn;
      borrowIn = (borrowIn != 0 && limb == 0) ? 1u : 0u;
    }
    top += kHalf;
  }
  return reduced;
}

// x = quadrant * pi/2 + r (mod 2 pi) with |r| <= pi/4, r as a double-double
// with a relative error below 2^-102 and |r.lo| at most about an ulp of r.hi.
struct Reduction {
  int quadrant;
  DoubleDouble r;
};

// Below this magnitude the nearest multiple k of pi/2 is below 2^20 and
// ReduceShort subtracts it in parts.
constexpr double kShortReductionLimit = 0x1p20;
// The double nearest 2/pi.
constexpr double kTwoOverPi = 0x1.45f306dc9c883p-1;
// ReduceShort keeps its result from this magnitude on.
constexpr double kShortReductionSmallest = 0x1p-25;

// r = x - k pi/2 for 0 <= x < 2^20 (Cody and Waite), with k the integer
// nearest x 2/pi (a neighbour when that product lies near a half, which
// leaves |r| a little above pi/4). pi/2 comes in four parts, the first three
// of 33 bits, so k times each of them is exact; x - k part1 is exact (x
// itself for k = 0; otherwise x >= pi/4 - 2^-50, both are multiples of
// 2^-53 and the difference is below 1), and the next two
// steps are exact sums. The rest adds below 2^-104 |r| + 2^-135; so the
// result is kept only when |r| >= 2^-25, where that is a relative error
// below 2^-103, and the exact reduction decides the rarer arguments nearer a
// multiple of pi/2. The pair is left unnormalised (|lo| stays within about
// an ulp of hi), so that the next steps can start from hi before lo is known.
QUILLO_FORCE_INLINE bool ReduceShort(double absoluteX, Reduction& reduction) {
  const double shifted = absoluteX * kTwoOverPi + kRoundingShift;
  const double k = shifted - kRoundingShift;
  const double first = absoluteX - k * tables::kHalfPiPart1;
  const DoubleDouble second = dd::TwoSum(first, -(k * tables::kHalfPiPart2));
  const DoubleDouble third = dd::TwoSum(second.hi, -(k * tables::kHalfPiPart3));
  const DoubleDouble r{third.hi, (second.lo + third.lo) - k * tables::kHalfPiPart4};
  if (!(std::fabs(r.hi) >= kShortReductionSmallest)) return false;
  reduction = {static_cast<int>(std::bit_cast<uint64_t>(shifted) & 3u), r};
  return true;
}

// The exact reduction for pi/4 < x, kept out of line: its 384-bit
// numbers would cost every call of the short one a large stack frame.
[[gnu::noinline]] Reduction ReduceLarge(double absoluteX) {
  const ReducedBits bits = ReduceExactly(absoluteX);
  int top = kReductionLimbs - 1;
  while (top >= 0 && bits.magnitude[top] == 0) --top;
  if (top < 0) return {bits.quadrant, {0.0, 0.0}};
  int leading = 63;
  while (((bits.magnitude[top] >> leading) & 1u) == 0) --leading;
  const int highest = 64 * top + leading;
  const uint64_t first = Extract64(bits.magnitude, highest - 63);
  const uint64_t second = Extract64(bits.magnitude, highest - 127);
  const double hi = std::ldexp(static_cast<double>(first >> 11), highest - 52 - kReductionFractionBits);
  const uint64_t next = ((first & 0x7FFu) << 53) | (second >> 11);
  const double lo = std::ldexp(static_cast<double>(next), highest - 116 - kReductionFractionBits);
  DoubleDouble r = dd::Multiply(dd::FastTwoSum(hi, lo), kHalfPi);
  if (bits.negative) r = dd::Negate(r);
  return {bits.quadrant, r};
}

// The short reduction also takes |x| <= pi/4 (k = 0 leaves r = x exactly,
// or k = 1 a remainder a little beyond -pi/4), so that no branch depends on
// which side of pi/4 the argument lies; only the rare remainders below
// 2^-25 ask again.
QUILLO_FORCE_INLINE Reduction Reduce(double absoluteX) {
  Reduction shortReduction{};
  if (absoluteX < kShortReductionLimit && ReduceShort(absoluteX, shortReduction)) return shortReduction;
  if (absoluteX <= kQuarterPi) return {0, {absoluteX, 0.0}};
  return ReduceLarge(absoluteX);
}

// The same reduction for the slow path, r as a wide fixed-point number with
// an absolute error of a few units of 2^-256.
wide::Fixed ReduceWide(double absoluteX, int& quadrant) {
  if (absoluteX <= kQuarterPi) {
    quadrant = 0;
    return wide::FromDouble(absoluteX);
  }
  const ReducedBits bits = ReduceExactly(absoluteX);
  quadrant = bits.quadrant;
  wide::Fixed f{};
  constexpr int kDropped = kReductionFractionBits - wide::kFractionBits;
  for (int k = 0; k < wide::kLimbs; ++k) f.limb[k] = Extract64(bits.magnitude, kDropped + 64 * k);
  const wide::Fixed r = wide::Multiply(f, wide::FromLimbs(tables::kHalfPiFixed));
  return bits.negative ? wide::Negate(r) : r;
}

// ------------------------------------------------------------ sin, cos, tan

// The table of sin(i/128) and cos(i/128) with each high part split into two
// halves of 26 bits, done once at compile time, so that a product with it
// needs to split only the other factor.
struct SplitEntry {
  double hiHigh;
  double hiLow;
  double hi;
  double lo;
};

// sin, cos and -sin, one after the other, so that a table is chosen by an
// offset rather than a branch: the parts of cos(a + t) are those of
// sin(a + t) with cos a for sin a and -sin a for cos a.
struct SplitTables {
  SplitEntry sine[tables::kSinCosCount];
  SplitEntry cosine[tables::kSinCosCount];
  SplitEntry negatedSine[tables::kSinCosCount];
};

constexpr SplitEntry SplitTableEntry(tables::DoubleDoubleEntry entry) {
  const DoubleDouble halves = dd::Split(entry.hi);
  return {halves.hi, halves.lo, entry.hi, entry.lo};
}

constexpr SplitTables MakeSplitTables() {
  SplitTables split{};
  for (int i = 0; i < tables::kSinCosCount; ++i) {
    split.sine[i] = SplitTableEntry(tables::kSinTable[i]);
    split.cosine[i] = SplitTableEntry(tables::kCosTable[i]);
    split.negatedSine[i] = SplitTableEntry({-tables::kSinTable[i].hi, -tables::kSinTable[i].lo});
  }
  return split;
}

constexpr SplitTables kSplitTables = MakeSplitTables();

// entry * t as an exact product (the double nearest it and the error of that)
// plus the cross terms with the low parts, t = tHi + tLo with tHi already
// split; tLo is left out when kHasLow is false.
struct TableProduct {
  double product;
  double rest;
};

template <bool kHasLow>
QUILLO_FORCE_INLINE TableProduct TimesTableEntry(const SplitEntry& entry, double tHi, DoubleDouble tHiHalves,
                                                double tLo) {
  const double product = entry.hi * tHi;
  const double error = ((entry.hiHigh * tHiHalves.hi - product) + entry.hiHigh * tHiHalves.lo +
                        entry.hiLow * tHiHalves.hi) +
                       entry.hiLow * tHiHalves.lo;
  const double cross = kHasLow ? entry.hi * tLo + entry.lo * tHi : entry.lo * tHi;
  return {product, error + cross};
}

// The parts of sin(a + t) and cos(a + t) with a = i/128 the table point
// nearest |r| (|r| <= pi/4, a little beyond is fine) and t = |r| - a,
// |t| <= 2^-8:
//   sin(a+t) = S + C t + S (cos t - 1) + C (sin t - t)
//   cos(a+t) = C - S t + C (cos t - 1) - S (sin t - t)
// S and C come from the table (error 2^-107); the products S t and C t are
// double-doubles; the tails |cos t - 1| <= 2^-17 and |sin t - t| <= 2^-26.5 |t|
// are plain doubles with errors below 2^-69 (the terms left out of their
// series are below 2^-79), and the low-order sum adds at most five roundings
// of 2^-70 each. The result is at least half of S (or of C, or of t when
// a = 0), so the relative error stays below 2^-65.5. Measured against MPFR,
// the largest error is about 2^-67.
struct Angle {
  int index;
  DoubleDouble t;
  DoubleDouble tHiHalves;
  double sineTail;
  double cosineTail;
};

// r = (hi, lo) >= 0; without a low part when kHasLow is false.
template <bool kHasLow>
QUILLO_FORCE_INLINE Angle SplitAngle(DoubleDouble r) {
  Angle angle{};
  const GridPoint point = NearestGridPoint<tables::kSinCosStep>(r.hi);
  angle.index = point.index;
  const double a = point.point;
  // r.hi - a is exact (Sterbenz). t = (r.hi - a) + r.lo stays unnormalised,
  // which keeps r.lo off the chain of dependent steps: every use below takes
  // t.lo (|t.lo| <= 2^-52) to the first order, exactly as for a normalised
  // pair, and its square stays below 2^-104.
  angle.t = DoubleDouble{r.hi - a, kHasLow ? r.lo : 0.0};
  const double t = angle.t.hi;
  const double z = t * t;
  const double z2 = z * z;
  angle.sineTail = t * z * ((-1.0 / 6.0 + z * (1.0 / 120.0)) + z2 * (-1.0 / 5040.0));
  angle.cosineTail = z * (-0.5 + z * (1.0 / 24.0)) + z * z2 * (-1.0 / 720.0);
  if (kHasLow) {
    // The first-order effect of t.lo on the tails.
    angle.sineTail -= 0.5 * z * angle.t.lo;
    angle.cosineTail -= t * angle.t.lo;
  }
  angle.tHiHalves = dd::Split(t);
  return angle;
}

// The results are pairs hi + lo that are not normalised: lo may reach 2^-16
// of hi. The rounding test does not need more; tan normalises them first.
// Adding the table value and the rounded product first, and everything
// smaller in one sum after, keeps the chain of dependent operations short.
// |S| >= |C t| and |C| >= |S t| (or S = 0), so the first sums are exact.
template <bool kHasLow>
QUILLO_FORCE_INLINE DoubleDouble SineOfAngle(const Angle& angle) {
  const SplitEntry& s = kSplitTables.sine[angle.index];
  const SplitEntry& c = kSplitTables.cosine[angle.index];
  const TableProduct ct = TimesTableEntry<kHasLow>(c, angle.t.hi, angle.tHiHalves, angle.t.lo);
  const DoubleDouble sum = dd::FastTwoSum(s.hi, ct.product);
  return {sum.hi, sum.lo + ((s.lo + ct.rest) + (s.hi * angle.cosineTail + c.hi * angle.sineTail))};
}

template <bool kHasLow>
QUILLO_FORCE_INLINE DoubleDouble CosineOfAngle(const Angle& angle) {
  const SplitEntry& s = kSplitTables.sine[angle.index];
  const SplitEntry& c = kSplitTables.cosine[angle.index];
  const TableProduct st = TimesTableEntry<kHasLow>(s, angle.t.hi, angle.tHiHalves, angle.t.lo);
  const DoubleDouble sum = dd::FastTwoSum(c.hi, -st.product);
  return {sum.hi, sum.lo + ((c.lo - st.rest) + (c.hi * angle.cosineTail - s.hi * angle.sineTail))};
}

// sin(a + t) (useCosine 0) or cos(a + t) (useCosine 1), as SineOfAngle: the
// same sum with the table entries chosen by offset.
QUILLO_FORCE_INLINE DoubleDouble SineOrCosineOfAngle(const Angle& angle, int useCosine) {
  const SplitEntry* entries = &kSplitTables.sine[0];
  const SplitEntry& p = entries[useCosine * tables::kSinCosCount + angle.index];
  const SplitEntry& q = entries[(useCosine + 1) * tables::kSinCosCount + angle.index];
  const TableProduct qt = TimesTableEntry<true>(q, angle.t.hi, angle.tHiHalves, angle.t.lo);
  const DoubleDouble sum = dd::FastTwoSum(p.hi, qt.product);
  return {sum.hi, sum.lo + ((p.lo + qt.rest) + (p.hi * angle.cosineTail + q.hi * angle.sineTail))};
}

// The table of tan(i/128), split as the sine and cosine tables are.
struct SplitTangents {
  SplitEntry entry[tables::kSinCosCount];
};

constexpr SplitTangents MakeSplitTangents() {
  SplitTangents split{};
  for (int i = 0; i < tables::kSinCosCount; ++i) split.entry[i] = SplitTableEntry(tables::kTanTable[i]);
  return split;
}

constexpr SplitTangents kSplitTangents = MakeSplitTangents();

// tan(a + t) = N / D with N = T + tan t and D = 1 - T tan t, for r = a + t
// >= 0 as SplitAngle takes it (a = i/128 the table point nearest r.hi,
// |t| <= 2^-8) and T = tan a from the table (error 2^-107); cot(a + t) is
// D / N. One table product and one short series instead of sin and cos with
// two table products each. With z = t^2, tan t - t = t z (1/3 + 2z/15 +
// 17z^2/315 + 62z^3/2835) is below 2^-17.5 |t| and errs by a few 2^-53 of
// that; the terms left out are below 2^-86 |t|; r.lo enters through its
// first-order effect r.lo (1 + z). T.hi t is an exact product from the split
// halves, T.hi + t an exact sum (T.hi >= 2^-7 >= 2|t| or T.hi = 0), 1 - T.hi t
// too. N is at least |t| (i = 0) or 2^-8, D within 2^-7.9 of 1, so each errs
// by less than 2^-68 of itself. Neither is normalised: |N.lo| stays below
// 2^-16 |N.hi| and |D.lo| below 2^-24.
struct TangentParts {
  DoubleDouble numerator;    // N = T + tan t
  DoubleDouble denominator;  // D = 1 - T tan t
};

QUILLO_FORCE_INLINE TangentParts TangentOfAngle(DoubleDouble r) {
  const GridPoint point = NearestGridPoint<tables::kSinCosStep>(r.hi);
  const int index = point.index;
  const double a = point.point;
  const double t = r.hi - a;  // exact (Sterbenz)
  const double z = t * t;
  const double series = (1.0 / 3.0 + z * (2.0 / 15.0)) + (z * z) * (17.0 / 315.0 + z * (62.0 / 2835.0));
  const double rest = (r.lo + z * r.lo) + t * z * series;  // tan(t + r.lo) - t
  const SplitEntry& e = kSplitTangents.entry[index];
  const DoubleDouble tHalves = dd::Split(t);
  const double product = e.hi * t;
  const double productError =
      ((e.hiHigh * tHalves.hi - product) + e.hiHigh * tHalves.lo + e.hiLow * tHalves.hi) + e.hiLow * tHalves.lo;
  const DoubleDouble numerator = dd::FastTwoSum(e.hi, t);
  const DoubleDouble denominator = dd::FastTwoSum(1.0, -product);
  // The series, the last part to be known, is added last.
  return {{numerator.hi, (numerator.lo + e.lo) + rest},
          {denominator.hi, (denominator.lo - (productError + e.lo * t)) - e.hi * rest}};
}

// 1.0 or -1.0 for a sign bit 0 or 1: multiplying by it is exact, and choosing
// it by index keeps unpredictable signs off the branch predictor.
constexpr double kSigns[2] = {1.0, -1.0};

QUILLO_FORCE_INLINE DoubleDouble WithSign(DoubleDouble value, int negative) {
  return {value.hi * kSigns[negative], value.lo * kSigns[negative]};
}

enum class CircularFunction { kSine, kCosine, kTangent, kCotangent, kSecant, kCosecant };

// The even functions of x; the others are odd.
constexpr bool IsEven(CircularFunction function) {
  return function == CircularFunction::kCosine || function == CircularFunction::kSecant;
}

// n / d, rounded once, by correcting a double quotient four times with its
// fixed-point residual; each step gains about 52 bits.
double RoundedQuotient(const wide::Fixed& n, const wide::Fixed& d) {
  const double divisor = wide::ToDouble(d);
  wide::Fixed q = wide::FromDouble(wide::ToDouble(n) / divisor);
  for (int step = 0; step < 4; ++step) {
    const wide::Fixed residual = wide::Subtract(n, wide::Multiply(q, d));
    q = wide::Add(q, wide::FromDouble(wide::ToDouble(residual) / divisor));
  }
  return wide::ToDouble(q);
}

double SlowCircular(double x, CircularFunction function) {
  internal::CountSlowPath();
  int quadrant = 0;
  const wide::Fixed r = ReduceWide(std::fabs(x), quadrant);
  wide::Fixed s{};
  wide::Fixed c{};
  wide::SineCosine(r, s, c);
  // Rotate by the quadrant: sin and cos of |x|.
  wide::Fixed sine = s;
  wide::Fixed cosine = c;
  if ((quadrant & 1) != 0) {
    sine = c;
    cosine = wide::Negate(s);
  }
  if ((quadrant & 2) != 0) {
    sine = wide::Negate(sine);
    cosine = wide::Negate(cosine);
  }
  wide::Fixed one{};
  one.limb[wide::kFractionBits / 64] = 1;
  double result = 0.0;
  switch (function) {
    case CircularFunction::kSine: result = wide::ToDouble(sine); break;
    case CircularFunction::kCosine: result = wide::ToDouble(cosine); break;
    case CircularFunction::kTangent: result = RoundedQuotient(sine, cosine); break;
    case CircularFunction::kCotangent: result = RoundedQuotient(cosine, sine); break;
    case CircularFunction::kSecant: result = RoundedQuotient(one, cosine); break;
    case CircularFunction::kCosecant: result = RoundedQuotient(one, sine); break;
  }
  return x < 0.0 && !IsEven(function) ? -result : result;
}

// 1 / (hi + lo) for a normalised pair: q = 1/hi corrected by the residual
// 1 - q hi (exact) and by lo; relative error about 2^-104.
// The pair is left unnormalised (|lo| stays within about an ulp of hi): the
// rounding test needs no more, and Reciprocal normalises it for the steps
// that go on with it.
QUILLO_FORCE_INLINE DoubleDouble UnnormalisedReciprocal(DoubleDouble a) {
  const double q = 1.0 / a.hi;
  const DoubleDouble product = dd::TwoProduct(q, a.hi);
  const double residual = ((1.0 - product.hi) - product.lo) - q * a.lo;  // 1 - product.hi is exact
  return {q, q * residual};
}

QUILLO_FORCE_INLINE DoubleDouble Reciprocal(DoubleDouble a) {
  const DoubleDouble unnormalised = UnnormalisedReciprocal(a);
  return dd::FastTwoSum(unnormalised.hi, unnormalised.lo);
}

// n / d for normalised pairs: q = n.hi / d.hi corrected by the residual
// n - q d over d.hi. Both divisions are multiplications by one reciprocal of
// d.hi, which starts as soon as d.hi is known and leaves one division in
// the chain instead of two. q then errs by up to 2^-52 rather than 2^-53,
// so q d.hi still lies within a factor 2 of n.hi and n.hi - q d.hi is exact
// (Sterbenz); the residual, about 2^-52 of n, is computed to 2^-103 of n and
// scaled by the reciprocal to within 2^-52 of itself, and leaving d.lo out of
// that scaling adds 2^-105. Relative error below 2^-101. The pair is left
// unnormalised as the reciprocal's (|lo| within about two ulps of hi).
//
// n need not be normalised either: with |n.lo| up to 2^-16 |n.hi| the steps
// above stay exact, the residual grows to about 2^-16 of n, and its three
// roundings and its scaling add below 2^-66.5 of the quotient.
QUILLO_FORCE_INLINE DoubleDouble UnnormalisedQuotient(DoubleDouble n, DoubleDouble d) {
  const double inverse = 1.0 / d.hi;
  const double q = n.hi * inverse;
  const DoubleDouble product = dd::TwoProduct(q, d.hi);
  const double residual = (((n.hi - product.hi) - product.lo) + n.lo) - q * d.lo;
  return {q, residual * inverse};
}

QUILLO_FORCE_INLINE DoubleDouble Quotient(DoubleDouble n, DoubleDouble d) {
  const DoubleDouble unnormalised = UnnormalisedQuotient(n, d);
  return dd::FastTwoSum(unnormalised.hi, unnormalised.lo);
}

// The circular functions of |x| = quadrant pi/2 + r from sin |r| and cos |r|
// (S and C), with sr the sign of r and f = (-1)^(quadrant >> 1):
//   sin |x| = f (odd ? C : sr S)       cos |x| = f (odd ? -sr S : C)
//   tan |x| = (odd ? -C / (sr S) : sr S / C)
// and the reciprocals. Every choice is an index and every sign a bit, so
// that no branch depends on the argument.
struct Quadrant {
  int odd;
  int rNegative;
  int sineSign;    // of sin |x| and csc |x|, with x's sign for the odd functions
  int cosineSign;  // of cos |x| and sec |x|
  int tangentSign; // of tan |x| and cot |x|, with x's sign
};

template <CircularFunction function>
QUILLO_FORCE_INLINE Quadrant QuadrantOf(double x, const Reduction& reduction) {
  const int odd = reduction.quadrant & 1;
  const int flip = (reduction.quadrant >> 1) & 1;
  const int rNegative = std::signbit(reduction.r.hi) ? 1 : 0;
  const int xNegative = std::signbit(x) && !IsEven(function) ? 1 : 0;
  return {odd, rNegative, flip ^ (rNegative & (1 - odd)) ^ xNegative, flip ^ (odd & (1 - rNegative)),
          odd ^ rNegative ^ xNegative};
}

// The function's value from parts = {sin |r|, cos |r|}, normalised.
template <CircularFunction function>
QUILLO_FORCE_INLINE DoubleDouble FromParts(const DoubleDouble (&parts)[2], const Quadrant& q) {
  switch (function) {
    case CircularFunction::kSine: return WithSign(parts[q.odd], q.sineSign);
    case CircularFunction::kCosine: return WithSign(parts[1 - q.odd], q.cosineSign);
    case CircularFunction::kTangent: return WithSign(Quotient(parts[q.odd], parts[1 - q.odd]), q.tangentSign);
    case CircularFunction::kCotangent: return WithSign(Quotient(parts[1 - q.odd], parts[q.odd]), q.tangentSign);
    case CircularFunction::kSecant: return WithSign(Reciprocal(parts[1 - q.odd]), q.cosineSign);
    default: return WithSign(Reciprocal(parts[q.odd]), q.sineSign);
  }
}

// 1/6 as a double-double.
constexpr DoubleDouble kSixth{0x1.5555555555555p-3, 0x1.5555555555555p-57};
// The accurate path's bound on its relative error: the analysis below gives
// about 2^-87; the bound leaves a factor of 2^7.
constexpr double kAccurateError = 0x1p-80;

// sin(a + t) and cos(a + t) for r = a + t >= 0 (a the table point nearest r,
// |t| <= 2^-8) as normalised double-doubles, for the arguments whose fast
// result lies too near a midpoint between doubles. With z = t^2,
//   cos t - 1 = -z/2 + z^2 (1/24 - z/720 + z^2/40320)
//   sin t - t = -t z/6 + t z^2 (1/120 - z/5040 + z^2/362880)
// the first terms as double-doubles and the second in plain doubles: those
// are below 2^-36.5 and 2^-46.9 (z <= 2^-16), so their errors stay below
// 2^-88.5 and 2^-98, and the terms left out below 2^-100. The products with
// S = sin a and C = cos a and the sums are double-doubles (2^-103 each), and
// the result is at least half of S, C or t.
struct SineAndCosine {
  DoubleDouble sine;
  DoubleDouble cosine;
};

SineAndCosine AccurateSineCosine(DoubleDouble r) {
  const GridPoint point = NearestGridPoint<tables::kSinCosStep>(r.hi);
  const int index = point.index;
  const double a = point.point;
  const DoubleDouble t = dd::TwoSum(r.hi - a, r.lo);
  const DoubleDouble z = dd::Multiply(t, t);
  const double z2 = z.hi * z.hi;
  const DoubleDouble cosineTail =
      dd::Add({-0.5 * z.hi, -0.5 * z.lo}, {z2 * (1.0 / 24.0 + z.hi * (-1.0 / 720.0 + z.hi * (1.0 / 40320.0))), 0.0});
  const DoubleDouble sineTail =
      dd::Add(dd::Negate(dd::Multiply(dd::Multiply(t, z), kSixth)),
              {t.hi * z2 * (1.0 / 120.0 + z.hi * (-1.0 / 5040.0 + z.hi * (1.0 / 362880.0))), 0.0});
  const DoubleDouble sineOfA{tables::kSinTable[index].hi, tables::kSinTable[index].lo};
  const DoubleDouble cosineOfA{tables::kCosTable[index].hi, tables::kCosTable[index].lo};
  const DoubleDouble sine = dd::Add(dd::Add(sineOfA, dd::Multiply(cosineOfA, t)),
                                    dd::Add(dd::Multiply(sineOfA, cosineTail), dd::Multiply(cosineOfA, sineTail)));
  const DoubleDouble cosine =
      dd::Add(dd::Subtract(cosineOfA, dd::Multiply(sineOfA, t)),
              dd::Subtract(dd::Multiply(cosineOfA, cosineTail), dd::Multiply(sineOfA, sineTail)));
  return {sine, cosine};
}

// The second try of the circular functions, and the slow path when that too
// leaves the rounding open (about one argument in 2^26 of those it sees). It
// reduces x again rather than take the fast path's reduction, which would
// have to pass through memory on every call.
template <CircularFunction function>
[[gnu::noinline]] double AccurateCircular(double x) {
  const Reduction reduction = Reduce(std::fabs(x));
  const Quadrant q = QuadrantOf<function>(x, reduction);
  const SineAndCosine accurate = AccurateSineCosine(WithSign(reduction.r, q.rNegative));
  const DoubleDouble parts[2] = {accurate.sine, accurate.cosine};
  double rounded = 0.0;
  if (RoundsUnambiguously(FromParts<function>(parts, q), kAccurateError, rounded)) return rounded;
  return SlowCircular(x, function);
}

// The fast path from x's reduction.
template <CircularFunction function>
QUILLO_FORCE_INLINE double CircularFromReduction(double x, const Reduction& reduction) {
  const Quadrant q = QuadrantOf<function>(x, reduction);
  // |r| with the same bits as WithSign(r, rNegative) gives, but the high
  // part by clearing its sign: the table lookup that follows starts from it,
  // and the sign's own lookup would stand before it in the chain.
  const DoubleDouble absoluteR{std::fabs(reduction.r.hi), reduction.r.lo * kSigns[q.rNegative]};
  DoubleDouble value{};
  double error = kTangentError;
  if constexpr (function == CircularFunction::kSine || function == CircularFunction::kCosine) {
    const bool sine = function == CircularFunction::kSine;
    const Angle angle = SplitAngle<true>(absoluteR);
    value = WithSign(SineOrCosineOfAngle(angle, sine ? q.odd : 1 - q.odd), sine ? q.sineSign : q.cosineSign);
    error = kSineCosineError;
  } else if constexpr (function == CircularFunction::kSecant || function == CircularFunction::kCosecant) {
    // Only the part in the denominator, as sin and cos take it.
    const bool cosecant = function == CircularFunction::kCosecant;
    const DoubleDouble part = SineOrCosineOfAngle(SplitAngle<true>(absoluteR), cosecant ? q.odd : 1 - q.odd);
    value = WithSign(UnnormalisedReciprocal(dd::FastTwoSum(part.hi, part.lo)), cosecant ? q.sineSign : q.cosineSign);
  } else {
    // tan |x| = N / D or D / N for |r| (with its sign); cot the other way
    // round. The numerator goes in unnormalised (|lo| up to 2^-16 of hi),
    // which adds below 2^-66.5; with the parts' 2^-68 each the error stays
    // below 2^-65.5.
    const TangentParts parts = TangentOfAngle(absoluteR);
    const int tangentOnTop = function == CircularFunction::kTangent ? 1 - q.odd : q.odd;
    const DoubleDouble both[2] = {parts.denominator, parts.numerator};
    const DoubleDouble denominator = both[1 - tangentOnTop];
    value = WithSign(UnnormalisedQuotient(both[tangentOnTop], dd::FastTwoSum(denominator.hi, denominator.lo)),
                     q.tangentSign);
  }
  double rounded = 0.0;
  if (RoundsUnambiguously(value, error, rounded)) return rounded;
  return AccurateCircular<function>(x);
}

// The fast path for the arguments the short reduction leaves (from 2^20 on,
// and the rare remainders below 2^-25), out of line: the exact reduction
// returns its record through memory, which would cost every call a stack
// frame and its guard.
template <CircularFunction function>
[[gnu::noinline]] double CircularOfOtherReduction(double x) {
  return CircularFromReduction<function>(x, Reduce(std::fabs(x)));
}

template <CircularFunction function>
double CircularFastPath(double x) {
  const double absoluteX = std::fabs(x);
  Reduction reduction{};
  if (!(absoluteX < kShortReductionLimit && ReduceShort(absoluteX, reduction))) {
    return CircularOfOtherReduction<function>(x);
  }
  return CircularFromReduction<function>(x, reduction);
}

// ------------------------------------------------------------ atan, asin, acos

// atan(c) + atan(t) for the table point c = index/64 and |t| <= 2^-7 (a
// little beyond is fine): atan(t) = t + tail with the tail (below 2^-15.5 |t|)
// in plain doubles. Relative error below 2^-65.
QUILLO_FORCE_INLINE DoubleDouble ArctangentFromTable(int index, DoubleDouble t) {
  const double z = t.hi * t.hi;
  const double tail =
      t.hi * z *
          (-1.0 / 3.0 + z * (1.0 / 5.0 + z * (-1.0 / 7.0 + z * (1.0 / 9.0 + z * (-1.0 / 11.0 + z * (1.0 / 13.0)))))) -
      z * t.lo;
  const DoubleDouble base{tables::kAtanTable[index].hi, tables::kAtanTable[index].lo};
  const DoubleDouble sum = dd::TwoSum(base.hi, t.hi);
  return dd::FastTwoSum(sum.hi, sum.lo + (base.lo + t.lo + tail));
}

// 1/3 as a double-double.
constexpr DoubleDouble kThird{0x1.5555555555555p-2, 0x1.5555555555555p-56};

// ArctangentFromTable for the arguments whose fast result lies too near a
// midpoint: -t^3/3 as a double-double and only t^5 (1/5 - t^2/7 + ...) in
// plain doubles, below 2^-30.3 |t| (t^2 <= 2^-14), so its error stays below
// 2^-82 of t; t itself is within 2^-101 of itself (its quotient) and the
// sums are double-doubles. Relative error below 2^-82.
DoubleDouble AccurateArctangentFromTable(int index, DoubleDouble t) {
  const DoubleDouble z = dd::Multiply(t, t);
  const DoubleDouble cube = dd::Multiply(dd::Multiply(t, z), kThird);
  const double rest =
      t.hi * z.hi * z.hi *
      (1.0 / 5.0 + z.hi * (-1.0 / 7.0 + z.hi * (1.0 / 9.0 + z.hi * (-1.0 / 11.0 + z.hi * (1.0 / 13.0 + z.hi * (-1.0 / 15.0))))));
  const DoubleDouble base{tables::kAtanTable[index].hi, tables::kAtanTable[index].lo};
  return dd::Add(base, dd::Add(t, dd::Subtract({rest, 0.0}, cube)));
}

// The table point c = i/64 nearest u >= 0 (u at most a little above 1),
// and i.
struct TablePoint {
  int index;
  double c;
};

QUILLO_FORCE_INLINE TablePoint NearestTablePoint(double u) {
  const GridPoint point = NearestGridPoint<tables::kAtanStep>(u);
  return {point.index, point.point};
}

// 1 + u c for 0 <= u, c <= 1 (a little beyond is fine), normalised: the
// product is exact, 1 + its head an exact sum (1 is the larger), and the
// rest adds two roundings of 2^-106. Relative error below 2^-104.
QUILLO_FORCE_INLINE DoubleDouble OnePlusProduct(DoubleDouble u, double c) {
  const DoubleDouble product = dd::TwoProduct(u.hi, c);
  const DoubleDouble sum = dd::FastTwoSum(1.0, product.hi);
  return dd::FastTwoSum(sum.hi, sum.lo + (product.lo + u.lo * c));
}

// atan(u) for 0 <= u <= 1 (a little beyond is fine): with c the table point
// nearest u, atan(u) = atan(c) + atan(t), t = (u - c) / (1 + u c),
// |t| <= 2^-7. Relative error below 2^-65.
template <bool kAccurate = false>
DoubleDouble ArctangentCore(DoubleDouble u) {
  const TablePoint point = NearestTablePoint(u.hi);
  DoubleDouble t = dd::TwoSum(u.hi - point.c, u.lo);  // u.hi - c is exact (Sterbenz)
  if (point.index != 0) t = Quotient(t, OnePlusProduct(u, point.c));
  if constexpr (kAccurate) return AccurateArctangentFromTable(point.index, t);
  return ArctangentFromTable(point.index, t);
}

// The table of asin's Taylor coefficients has points i/128 on [0, 3/4]: up
// to there the series at the nearest point converges fast enough, and the
// arguments up to there need no square root (the slowest step of the
// folding below). Above 3/4 the fast paths take further points nearer 1,
// closer together as 1 comes nearer (see NearestPointNearOne).
constexpr double kArcsineTableLimit = 0.75;
static_assert(tables::kAsinUniformCount - 1 == kArcsineTableLimit * tables::kAsinStep);

// asin(a) for 0 <= a <= 3/4 plus the first-order effect of a low part aLo of
// the argument (|aLo| <= 2^-53 a), from the Taylor coefficients at the
// nearest table point x = i/128: with d = a - x (exact: Sterbenz, or x = 0),
// |d| <= 2^-8,
//   asin(a + aLo) = a0 + a1 d + d^2 (a2 + a3 d + ... + a11 d^9) + aLo (a1 + 2 a2 d).
// a0 and a1 are double-doubles, a1 d an exact head and a tail (below); the
// polynomial, in plain doubles with a relative error of a few 2^-53, is below
// 2^-15.3 of the result (the most at a = 3/4 - 2^-8; below 1/2 it is below
// 2^-17), and the terms left out of the series (below 2^-79 of the result at
// 3/4, the nearest point to the singularity at 1) and of the low part's
// effect stay below 2^-75. So the relative error stays below 2^-65. The result is
// normalised only in the accurate version; the fast one's low part stays
// below 2^-15 of its high part (d^2 a2 against a0), which is all that the
// unfolding below needs.
template <bool kAccurate = false>
DoubleDouble ArcsineNearTable(double a, double aLo);

// d^2 (a2 + a3 d + ... + a11 d^9) in plain doubles, as its first two terms
// and the rest, in pairs (Estrin's scheme) rather than by Horner's rule: the
// pairs are independent of each other, so the chain of dependent steps is
// short, and the caller adds the rest, which is known last, last of all.
// The coefficients are all positive or 0 (asin is absolutely monotonic on
// [0, 1)), and in the table a_(n+1) |d| stays below a_n / 6 wherever a_n is
// not 0, so the terms shrink fast, the sums cancel little, and every order
// of the sums has a relative error of a few 2^-53.
struct ArcsineHigherTerms {
  double quadratic;  // d^2 (a2 + a3 d)
  double rest;       // d^4 (a4 + a5 d + ... + a11 d^7)
};

QUILLO_FORCE_INLINE ArcsineHigherTerms ArcsinePolynomial(const tables::AsinEntry& entry, double d, double square) {
  static_assert(tables::kAsinHigherCount == 8);
  const double* h = entry.higher;
  const double fourth = square * square;
  const double low = (h[0] + d * h[1]) + square * (h[2] + d * h[3]);
  const double high = (h[4] + d * h[5]) + square * (h[6] + d * h[7]);
  const double higher = low + fourth * high;
  return {square * (entry.leading[2].hi + d * entry.leading[3].hi), fourth * higher};
}

// The high part of each table row's a1 split into two halves of 26 bits,
// done once at compile time, so that a1 d splits only d.
struct AsinSlopeHalves {
  DoubleDouble row[tables::kAsinCount];
};

constexpr AsinSlopeHalves MakeAsinSlopeHalves() {
  AsinSlopeHalves halves{};
  for (int i = 0; i < tables::kAsinCount; ++i) halves.row[i] = dd::Split(tables::kAsinTable[i].leading[1].hi);
  return halves;
}

constexpr AsinSlopeHalves kAsinSlopeHalves = MakeAsinSlopeHalves();

// The points above 3/4: c = 1 - v with v = (1 + m/32) 2^-e, 32 points per
// binade of v, from v = 1/4 - 1/256 (row kAsinUniformCount) down to 1/32
// (the last row), v = 1/4 being the uniform points' last. For a in
// (3/4, kArcsineNearOneLimit], v = 1 - a is exact and rounds to the nearest
// point by its bits: adding half a unit of the significand's fifth bit and
// keeping the exponent and the first five bits gives e and m, the carry
// moving on to the next binade where v rounds up to its first point. Then
// |d| = |a - c| <= 2^-6 (1 - c), as at 3/4 - 2^-8 for the uniform points,
// so the series converges as fast, and d is exact (Sterbenz).
constexpr double kArcsineNearOneLimit = 1.0 - 0x1p-5;
constexpr int kNearOneKeyShift = 47;  // 52 bits of significand, 5 kept
constexpr uint64_t kNearOneKeyOfQuarter = std::bit_cast<uint64_t>(0.25) >> kNearOneKeyShift;
static_assert(tables::kAsinPointsPerBinade == 1 << (52 - kNearOneKeyShift));
static_assert(kNearOneKeyOfQuarter - (std::bit_cast<uint64_t>(1.0 - kArcsineNearOneLimit) >> kNearOneKeyShift) ==
              tables::kAsinCount - tables::kAsinUniformCount);

QUILLO_FORCE_INLINE GridPoint NearestPointNearOne(double a) {
  const uint64_t key = (std::bit_cast<uint64_t>(1.0 - a) + (uint64_t{1} << (kNearOneKeyShift - 1))) >> kNearOneKeyShift;
  const double v = std::bit_cast<double>(key << kNearOneKeyShift);
  return {static_cast<int>(kNearOneKeyOfQuarter - key) + tables::kAsinUniformCount - 1, 1.0 - v};
}

// The fast series of ArcsineNearTable at a table row for d = a - c: with
// kSign = 1, base + a1 d + a2 d^2 + ... for base = a0 = asin c; with
// kSign = -1, base - a1 d - ... for base = acos c = pi/2 - a0. Without the
// low part's term when kHasLow is false (aLo is then 0, and the term would
// add exactly 0). |base| >= |a1 d| for both (below).
template <bool kHasLow, int kSign = 1>
QUILLO_FORCE_INLINE DoubleDouble FastArcsineSeries(int index, double d, DoubleDouble base, double aLo) {
  constexpr double sign = kSign;
  const tables::AsinEntry& entry = tables::kAsinTable[index];
  const double square = d * d;
  const ArcsineHigherTerms polynomial = ArcsinePolynomial(entry, d, square);
  // a1 d as an exact head, the product of the upper 26 bits of each, and a
  // tail below 2^-25 of it: the upper bits of a1 times the lower of d is
  // exact too, and the lower bits of a1 times d errs by 2^-78 of a1 d. Fewer
  // steps than the exact product with its rounding error.
  const DoubleDouble slope = kAsinSlopeHalves.row[index];
  const DoubleDouble step = dd::Split(d);
  const double head = sign * (slope.hi * step.hi);
  const double tail = slope.hi * step.lo + slope.lo * d;
  double low = base.lo + sign * (tail + (entry.leading[1].lo * d + polynomial.quadratic));
  if constexpr (kHasLow) low += aLo * (entry.leading[1].hi + 2.0 * d * entry.leading[2].hi);
  const DoubleDouble sum = dd::FastTwoSum(base.hi, head);
  return {sum.hi, (sum.lo + low) + sign * polynomial.rest};
}

// asin a from the series at the table point c: a0 = asin c is the base.
template <bool kHasLow>
QUILLO_FORCE_INLINE DoubleDouble FastArcsineAt(GridPoint point, double a, double aLo) {
  const tables::AsinEntry& entry = tables::kAsinTable[point.index];
  return FastArcsineSeries<kHasLow>(point.index, a - point.point, {entry.leading[0].hi, entry.leading[0].lo}, aLo);
}

// The fast ArcsineNearTable. |a0| >= |a1 d| where a0 is not 0 (a0 >= 2^-7,
// |a1 d| <= 1.52 * 2^-8).
template <bool kHasLow>
QUILLO_FORCE_INLINE DoubleDouble FastArcsineNearTable(double a, double aLo) {
  return FastArcsineAt<kHasLow>(NearestGridPoint<tables::kAsinStep>(a), a, aLo);
}

// asin a for 3/4 < a <= kArcsineNearOneLimit from the points near 1, with
// the fast series's relative error (below 2^-65): with v = 1 - c, a1 is
// about 1/sqrt(2v) and |d| <= v/64, so |a1 d| <= 2^-6.5 sqrt(v) stays below
// a0 (at least 0.84), and the polynomial's part of the result stays below
// 2^-15.5 of it, as for the uniform points.
QUILLO_FORCE_INLINE DoubleDouble FastArcsineNearOne(double a) {
  return FastArcsineAt<false>(NearestPointNearOne(a), a, 0.0);
}

// acos a = pi/2 - asin a for 3/4 < a <= kArcsineNearOneLimit from the same
// points, starting from acos c = pi/2 - a0 rather than subtracting asin a
// from pi/2, which would lose up to 2.5 bits to cancellation. acos c is
// about sqrt(2v), so |a1 d| stays below 2^-7 of it and the polynomial's
// part below 2^-15; the relative error stays below 2^-65 as for asin.
// acos c's high part is exact (Sterbenz: a0 lies between pi/4 and pi/2) and
// its low part errs by 2^-106, 2^-104 of acos c (at least 0.25).
QUILLO_FORCE_INLINE DoubleDouble FastArccosineNearOne(double a) {
  const GridPoint point = NearestPointNearOne(a);
  const tables::AsinEntry& entry = tables::kAsinTable[point.index];
  const DoubleDouble base{tables::kHalfPiHi - entry.leading[0].hi, tables::kHalfPiMid - entry.leading[0].lo};
  return FastArcsineSeries<false, -1>(point.index, a - point.point, base, 0.0);
}

template <>
QUILLO_FORCE_INLINE DoubleDouble ArcsineNearTable<false>(double a, double aLo) {
  return FastArcsineNearTable<true>(a, aLo);
}

// The same for the arguments whose fast result lies too near a midpoint:
// a1 d, a2 d^2 and a3 d^3 as double-doubles and only d^4 (a4 + a5 d + ...) in
// plain doubles, below 2^-28.9 of the result (the most at a = 3/4 - 2^-8;
// below 1/2 it is below 2^-30, a4 d^4 <= 3 * 2^-32 where the result is above
// 1/4, and a4 is about x where it is smaller), so its error stays below
// 2^-79.5 of the result; the low part's effect aLo (a1 + 2 a2 d + 3 a3 d^2)
// in plain doubles adds 2^-104. Relative error below 2^-79.
template <>
DoubleDouble ArcsineNearTable<true>(double a, double aLo) {
  const GridPoint point = NearestGridPoint<tables::kAsinStep>(a);
  const int index = point.index;
  const double d = a - point.point;
  const tables::AsinEntry& entry = tables::kAsinTable[index];
  auto leading = [&entry](int n) { return DoubleDouble{entry.leading[n].hi, entry.leading[n].lo}; };
  double polynomial = entry.higher[tables::kAsinHigherCount - 1];
  for (int k = tables::kAsinHigherCount - 2; k >= 0; --k) polynomial = entry.higher[k] + d * polynomial;
  const DoubleDouble square = dd::TwoProduct(d, d);
  const DoubleDouble cube = dd::Multiply(square, d);
  const double rest = square.hi * square.hi * polynomial +
                      aLo * (entry.leading[1].hi + d * (2.0 * entry.leading[2].hi + 3.0 * d * entry.leading[3].hi));
  const DoubleDouble upper = dd::Add(leading(0), dd::Multiply(leading(1), d));
  const DoubleDouble lower = dd::Add(dd::Multiply(leading(2), square), dd::Add(dd::Multiply(leading(3), cube), {rest, 0.0}));
  return dd::Add(upper, lower);
}

// 2 asin(s) with s = sqrt((1 - a) / 2) for 3/4 <= a <= 1, which is
// pi/2 - asin(a) = acos(a); 1 - a and the halving are exact, the square root
// a double-double with a relative error near 2^-104.
template <bool kAccurate>
DoubleDouble TwiceArcsineOfHalfComplement(double a) {
  const DoubleDouble s = dd::SquareRoot({(1.0 - a) * 0.5, 0.0});
  const DoubleDouble w = ArcsineNearTable<kAccurate>(s.hi, s.lo);
  return {2.0 * w.hi, 2.0 * w.lo};
}

enum class Inverse { kArctangent, kArcsine, kArccosine, kArccotangent };

// sin(y0 + delta) and cos(y0 + delta) from s0 = sin y0 and c0 = cos y0 for
// |delta| <= 2^-55, by their Taylor series in delta to the third power: the
// next terms stay below 2^-220.
void ShiftSineCosine(const wide::Fixed& s0, const wide::Fixed& c0, const wide::Fixed& delta, wide::Fixed& sine,
                     wide::Fixed& cosine) {
  const wide::Fixed halfSquare = wide::DivideBySmall(wide::Multiply(delta, delta), 2);
  const wide::Fixed sixthCube = wide::DivideBySmall(wide::Multiply(halfSquare, delta), 3);
  sine = wide::Add(s0, wide::Subtract(wide::Multiply(c0, delta), wide::Multiply(s0, halfSquare)));
  sine = wide::Subtract(sine, wide::Multiply(c0, sixthCube));
  cosine = wide::Subtract(c0, wide::Add(wide::Multiply(s0, delta), wide::Multiply(c0, halfSquare)));
  cosine = wide::Add(cosine, wide::Multiply(s0, sixthCube));
}

// Newton's method on y = y0 + delta from the fast path's estimate y0:
// sin y - x cos y, sin y - x, cos y - x or cos y - x sin y computed in fixed
// point, divided by the derivative in double precision. sin y0 and cos y0
// come from their series once; each step shifts them by delta. Each step
// multiplies the error by about 2^-50 (the estimate starts within 2^-62 of
// y), so three steps reach 2^-210, far nearer than the results of these
// functions come to a midpoint between doubles, also near |x| = 1, where the
// derivative of asin and acos is large. x is exact in fixed point:
// 2^-27 <= |x| <= 2^53 for atan and asin; for acos a tiny x is dropped, which
// is far below the result's last bit; 2^-55 <= |x| <= 2^54 for acot.
double SlowInverse(double x, Inverse function, DoubleDouble estimate) {
  internal::CountSlowPath();
  const wide::Fixed target = wide::FromDouble(x);
  const wide::Fixed y0 = wide::Add(wide::FromDouble(estimate.hi), wide::FromDouble(estimate.lo));
  wide::Fixed s0{};
  wide::Fixed c0{};
  wide::SineCosine(y0, s0, c0);
  wide::Fixed delta = wide::Zero();
  for (int step = 0; step < 3; ++step) {
    wide::Fixed s{};
    wide::Fixed c{};
    ShiftSineCosine(s0, c0, delta, s, c);
    wide::Fixed residual{};
    double slope = 0.0;
    switch (function) {
      case Inverse::kArctangent:
        residual = wide::Subtract(s, wide::Multiply(target, c));
        slope = wide::ToDouble(c) + x * wide::ToDouble(s);
        break;
      case Inverse::kArcsine:
        residual = wide::Subtract(s, target);
        slope = wide::ToDouble(c);
        break;
      case Inverse::kArccosine:
        residual = wide::Subtract(c, target);
        slope = -wide::ToDouble(s);
        break;
      case Inverse::kArccotangent:
        residual = wide::Subtract(c, wide::Multiply(target, s));
        slope = -wide::ToDouble(s) - x * wide::ToDouble(c);
        break;
    }
    delta = wide::Subtract(delta, wide::FromDouble(wide::ToDouble(residual) / slope));
  }
  return wide::ToDouble(wide::Add(y0, delta));
}

}  // namespace

// Arguments up to pi/4 need no reduction, and their value has no low part.
double Sine(double x) {
  const double absoluteX = std::fabs(x);
  if (absoluteX <= kQuarterPi) {
    if (!(absoluteX >= kTiny)) return x;  // also ±0 (and NaN, which fails both tests)
    DoubleDouble value = SineOfAngle<false>(SplitAngle<false>({absoluteX, 0.0}));
    if (x < 0.0) value = dd::Negate(value);
    double rounded = 0.0;
    if (RoundsUnambiguously(value, kSineCosineError, rounded)) return rounded;
    return AccurateCircular<CircularFunction::kSine>(x);
  }
  if (!(absoluteX <= std::numeric_limits<double>::max())) return std::isnan(x) ? x : kNaN;
  return CircularFastPath<CircularFunction::kSine>(x);
}

double Cosine(double x) {
  const double absoluteX = std::fabs(x);
  if (absoluteX <= kQuarterPi) {
    if (absoluteX < kTiny) return 1.0;
    const DoubleDouble value = CosineOfAngle<false>(SplitAngle<false>({absoluteX, 0.0}));
    double rounded = 0.0;
    if (RoundsUnambiguously(value, kSineCosineError, rounded)) return rounded;
    return AccurateCircular<CircularFunction::kCosine>(x);
  }
  if (!(absoluteX <= std::numeric_limits<double>::max())) return std::isnan(x) ? x : kNaN;
  return CircularFastPath<CircularFunction::kCosine>(x);
}

double Tangent(double x) {
  if (!(std::fabs(x) >= kTiny)) return x;
  if (std::isinf(x)) return kNaN;
  return CircularFastPath<CircularFunction::kTangent>(x);
}

// c + k w with w a table core's result (atan or asin of a folded argument):
// the constant c (a double-double) and the factor k (a power of two, so k w
// is exact) undo the folding.
// |k w| <= |c| wherever c is not 0, so c.hi + k w.hi is an exact sum, and the
// result is at least half of |k w|: w's relative error at most doubles,
// and the low sum adds 2^-103, or 2^-68 for the arcsine core's unnormalised
// w (w.lo up to 2^-15 of w.hi). The result is not normalised.
struct Unfolding {
  double cHi;
  double cLo;
  double k;
};

QUILLO_FORCE_INLINE DoubleDouble Unfold(const Unfolding& unfolding, DoubleDouble w) {
  const DoubleDouble sum = dd::FastTwoSum(unfolding.cHi, unfolding.k * w.hi);
  return {sum.hi, sum.lo + (unfolding.cLo + unfolding.k * w.lo)};
}

// atan |x|: w, or pi/2 - w for the core of 1/|x| (w <= pi/4, the result
// >= pi/4).
constexpr Unfolding kArctangentUnfolding[2] = {{0.0, 0.0, 1.0}, {tables::kHalfPiHi, tables::kHalfPiMid, -1.0}};

// atan |x| for 2^-27 <= |x| < 2^53, from the fast or the accurate core.
template <bool kAccurate>
DoubleDouble ArctangentOfMagnitude(double absoluteX) {
  return absoluteX <= 1.0 ? ArctangentCore<kAccurate>({absoluteX, 0.0})
                          : dd::Subtract(kHalfPi, ArctangentCore<kAccurate>(Reciprocal({absoluteX, 0.0})));
}

double Arctangent(double x) {
  const double absoluteX = std::fabs(x);
  if (!(absoluteX >= kTiny)) return x;
  if (absoluteX >= kArctangentFlat) return x > 0.0 ? tables::kHalfPiHi : -tables::kHalfPiHi;
  const int negative = std::signbit(x) ? 1 : 0;
  // The fast path: the core (2^-65) unfolded, which adds 2^-103.
  const int reciprocal = absoluteX > 1.0 ? 1 : 0;
  const DoubleDouble u = reciprocal != 0 ? Reciprocal({absoluteX, 0.0}) : DoubleDouble{absoluteX, 0.0};
  const DoubleDouble value = WithSign(Unfold(kArctangentUnfolding[reciprocal], ArctangentCore<false>(u)), negative);
  double rounded = 0.0;
  if (RoundsUnambiguously(value, kArctangentError, rounded)) return rounded;
  const DoubleDouble accurate = WithSign(ArctangentOfMagnitude<true>(absoluteX), negative);
  if (RoundsUnambiguously(accurate, kAccurateInverseError, rounded)) return rounded;
  return SlowInverse(x, Inverse::kArctangent, accurate);
}

// asin |x| for 2^-27 <= |x| < 1: from the table up to 3/4, beyond as
// pi/2 - 2 asin(sqrt((1 - |x|)/2)), 2 asin(s) at most 0.73 and the result at
// least 0.84 there, so the subtraction loses at most one bit.
template <bool kAccurate>
DoubleDouble ArcsineOfMagnitude(double absoluteX) {
  return absoluteX <= kArcsineTableLimit ? ArcsineNearTable<kAccurate>(absoluteX, 0.0)
                          : dd::Subtract(kHalfPi, TwiceArcsineOfHalfComplement<kAccurate>(absoluteX));
}

// The table core's argument on the fast paths of asin and acos for
// 3/4 < |x| < 1: s = sqrt((1 - |x|)/2) with its low part. 1 - |x| and the
// halving are exact there, and s.lo = (v - s.hi^2) / (2 s.hi) puts s within
// 2^-104 of itself; it multiplies by 1 / (2 s.hi), which the divider
// computes while the square is formed.
QUILLO_FORCE_INLINE DoubleDouble HalfComplementRoot(double absoluteX) {
  const double v = (1.0 - absoluteX) * 0.5;
  const double root = std::sqrt(v);
  const double inverseOfTwice = 0.5 / root;
  const DoubleDouble square = dd::TwoProduct(root, root);
  return {root, ((v - square.hi) - square.lo) * inverseOfTwice};
}

// asin |x| for |x| > 3/4: pi/2 - 2w (2w <= 0.73, the result >= 0.84).
constexpr Unfolding kArcsineUnfolding{tables::kHalfPiHi, tables::kHalfPiMid, -2.0};
// acos x by 2 folded + (x < 0): pi/2 - w and pi/2 + w (w <= 0.85, the result
// >= 0.72), 2w, and pi - 2w (the result >= 2.41).
constexpr Unfolding kArccosineUnfolding[4] = {{tables::kHalfPiHi, tables::kHalfPiMid, -1.0},
                                              {tables::kHalfPiHi, tables::kHalfPiMid, 1.0},
                                              {0.0, 0.0, 2.0},
                                              {tables::kPiHi, tables::kPiMid, -2.0}};
// acos x near ±1 from w = acos |x| (w <= 0.73): w, and pi - w (the result
// >= 2.41).
constexpr Unfolding kArccosineNearOneUnfolding[2] = {{0.0, 0.0, 1.0}, {tables::kPiHi, tables::kPiMid, -1.0}};

// The second try and the slow path of asin, out of line so that the fast
// path keeps a small frame.
[[gnu::noinline]] double AccurateArcsine(double x) {
  const DoubleDouble accurate = WithSign(ArcsineOfMagnitude<true>(std::fabs(x)), std::signbit(x) ? 1 : 0);
  double rounded = 0.0;
  if (RoundsUnambiguously(accurate, kAccurateInverseError, rounded)) return rounded;
  return SlowInverse(x, Inverse::kArcsine, accurate);
}

// The fast path: the table core has a relative error below 2^-65 and the
// unfolding at most doubles it and adds 2^-68, within kArctangentError. Up
// to 31/32 the core's own result is the value: no unfolding, and no low part
// of the argument; beyond, the half-angle square root (at most one argument
// in thirty-two of [-1, 1]). The rounding test is symmetric in the sign (it rounds -v
// to minus what it rounds v to, or fails for both), so it runs on asin |x|
// and the sign goes onto the rounded double.
double Arcsine(double x) {
  const double absoluteX = std::fabs(x);
  if (!(absoluteX >= kTiny && absoluteX < 1.0)) {  // NaN fails both tests
    if (!(absoluteX >= kTiny)) return x;
    if (absoluteX > 1.0) return kNaN;
    return x > 0.0 ? tables::kHalfPiHi : -tables::kHalfPiHi;
  }
  DoubleDouble value{};
  if (absoluteX <= kArcsineTableLimit) {
    value = FastArcsineNearTable<false>(absoluteX, 0.0);
  } else if (absoluteX <= kArcsineNearOneLimit) {
    value = FastArcsineNearOne(absoluteX);
  } else {
    const DoubleDouble s = HalfComplementRoot(absoluteX);
    value = Unfold(kArcsineUnfolding, ArcsineNearTable<false>(s.hi, s.lo));
  }
  double rounded = 0.0;
  if (RoundsUnambiguously(value, kArctangentError, rounded)) return std::copysign(rounded, x);
  return AccurateArcsine(x);
}

// acos x for 0 < |x| < 1: pi/2 - asin x for |x| <= 3/4 (at least 0.72),
// 2 asin(s) above and pi - 2 asin(s) below, s = sqrt((1 - |x|)/2).
template <bool kAccurate>
DoubleDouble ArccosineOfModerate(double x) {
  const double absoluteX = std::fabs(x);
  if (absoluteX <= kArcsineTableLimit) {
    return dd::Subtract(kHalfPi, WithSign(ArcsineNearTable<kAccurate>(absoluteX, 0.0), std::signbit(x) ? 1 : 0));
  }
  const DoubleDouble twice = TwiceArcsineOfHalfComplement<kAccurate>(absoluteX);
  return x > 0.0 ? twice : dd::Subtract(kPi, twice);
}

[[gnu::noinline]] double AccurateArccosine(double x) {
  const DoubleDouble accurate = ArccosineOfModerate<true>(x);
  double rounded = 0.0;
  if (RoundsUnambiguously(accurate, kAccurateInverseError, rounded)) return rounded;
  return SlowInverse(x, Inverse::kArccosine, accurate);
}

// The fast path as for asin, the same bound; above 3/4 from acos of the
// table point.
double Arccosine(double x) {
  const double absoluteX = std::fabs(x);
  if (!(absoluteX < 1.0 && x != 0.0)) {  // NaN fails the first test
    if (std::isnan(x)) return x;
    if (absoluteX > 1.0) return kNaN;
    if (x == 1.0) return 0.0;
    return x == -1.0 ? tables::kPiHi : tables::kHalfPiHi;
  }
  const int negative = std::signbit(x) ? 1 : 0;
  DoubleDouble value{};
  if (absoluteX <= kArcsineTableLimit) {
    value = Unfold(kArccosineUnfolding[negative], FastArcsineNearTable<false>(absoluteX, 0.0));
  } else if (absoluteX <= kArcsineNearOneLimit) {
    value = Unfold(kArccosineNearOneUnfolding[negative], FastArccosineNearOne(absoluteX));
  } else {
    const DoubleDouble s = HalfComplementRoot(absoluteX);
    value = Unfold(kArccosineUnfolding[2 + negative], ArcsineNearTable<false>(s.hi, s.lo));
  }
  double rounded = 0.0;
  if (RoundsUnambiguously(value, kArctangentError, rounded)) return rounded;
  return AccurateArccosine(x);
}

// cos x is 1 below this magnitude: x^2/2 stays below half an ulp of 1.
constexpr double kSecantFlat = 0x1p-27;
// Below this magnitude cot x = 1/x - x/3 - ... and csc x = 1/x + x/6 + ...
// round as 1/x does. 1/x = 2^-e / m (x = m 2^e, m a 53-bit integer) lies at
// least 2^-107 of itself from a midpoint between doubles, further than the
// other terms (x^2/3 of it) reach; when it is a double, a power of two, the
// other terms stay below the half ulp on its side. The IEEE division rounds
// it once, overflow included.
constexpr double kReciprocalRegion = 0x1p-54;

double Cotangent(double x) {
  if (!(std::fabs(x) >= kReciprocalRegion)) return 1.0 / x;  // ±0 gives ±infinity; NaN stays
  if (std::isinf(x)) return kNaN;
  return CircularFastPath<CircularFunction::kCotangent>(x);
}

double Secant(double x) {
  const double absoluteX = std::fabs(x);
  if (absoluteX < kSecantFlat) return 1.0;
  if (!(absoluteX <= std::numeric_limits<double>::max())) return std::isnan(x) ? x : kNaN;
  return CircularFastPath<CircularFunction::kSecant>(x);
}

double Cosecant(double x) {
  if (!(std::fabs(x) >= kReciprocalRegion)) return 1.0 / x;
  if (std::isinf(x)) return kNaN;
  return CircularFastPath<CircularFunction::kCosecant>(x);
}

// Below this magnitude acot x = pi/2 - x + ... rounds to the double nearest
// pi/2, which lies 2^-53.9 below pi/2, well inside its half ulp of 2^-53.
constexpr double kArccotangentFlat = 0x1p-55;
// From here on acot x = 1/x - 1/(3x^3) + ... rounds as 1/x does (the same
// reasoning as for cot near 0, subnormal results included), and below
// -2^53 pi + atan(1/x) rounds to the double nearest pi.
constexpr double kArccotangentReciprocal = 0x1p54;

// acot x = pi/2 - atan x, from atan of the argument or of its reciprocal,
// whichever is at most 1: for x > 0 it is atan(1/x), for x < 0
// pi + atan(1/x), and near 0 pi/2 - atan x.
// acot x for 2^-55 <= |x| < 2^54 from atan |x| or atan(1/|x|), from the fast
// or the accurate core.
template <bool kAccurate>
DoubleDouble ArccotangentOfModerate(double x) {
  const double absoluteX = std::fabs(x);
  if (absoluteX <= 1.0) {
    const DoubleDouble atan = ArctangentCore<kAccurate>({absoluteX, 0.0});
    return x > 0.0 ? dd::Subtract(kHalfPi, atan) : dd::Add(kHalfPi, atan);
  }
  const DoubleDouble atan = ArctangentCore<kAccurate>(Reciprocal({absoluteX, 0.0}));
  return x > 0.0 ? atan : dd::Subtract(kPi, atan);
}

// acot x by 2 (|x| > 1) + (x < 0), from w = atan |x| or atan(1/|x|) (at most
// pi/4): pi/2 - w and pi/2 + w (the result >= pi/4), w, and pi - w (the
// result >= 3 pi/4).
constexpr Unfolding kArccotangentUnfolding[4] = {{tables::kHalfPiHi, tables::kHalfPiMid, -1.0},
                                                 {tables::kHalfPiHi, tables::kHalfPiMid, 1.0},
                                                 {0.0, 0.0, 1.0},
                                                 {tables::kPiHi, tables::kPiMid, -1.0}};

double Arccotangent(double x) {
  const double absoluteX = std::fabs(x);
  if (!(absoluteX >= kArccotangentFlat)) return std::isnan(x) ? x : tables::kHalfPiHi;
  if (x >= kArccotangentReciprocal) return 1.0 / x;  // +infinity gives +0
  if (x <= -kArctangentFlat) return tables::kPiHi;
  double rounded = 0.0;
  // The fast path: the core (2^-65) unfolded, which adds 2^-103.
  const int reciprocal = absoluteX > 1.0 ? 1 : 0;
  const DoubleDouble u = reciprocal != 0 ? Reciprocal({absoluteX, 0.0}) : DoubleDouble{absoluteX, 0.0};
  const Unfolding& unfolding = kArccotangentUnfolding[2 * reciprocal + (std::signbit(x) ? 1 : 0)];
  if (RoundsUnambiguously(Unfold(unfolding, ArctangentCore<false>(u)), kArctangentError, rounded)) return rounded;
  const DoubleDouble accurate = ArccotangentOfModerate<true>(x);
  if (RoundsUnambiguously(accurate, kAccurateInverseError, rounded)) return rounded;
  return SlowInverse(x, Inverse::kArccotangent, accurate);
}

}  // namespace numerics
