// Degrees to radians and back, correctly rounded: x * pi/180 and x * 180/pi,
// each rounded once.
//
// The fast path multiplies by the constant held as a double-double and keeps
// the result when the rounding is certain. Everything else (the rare close
// cases, subnormal results, overflow, arguments whose product would underflow
// the double-double steps) multiplies the argument's 53-bit significand by
// the constant's leading 256 bits in integer arithmetic and rounds that once.

#include <bit>
#include <cmath>
#include <cstdint>

#include "numerics/internal/double_double.h"
#include "numerics/internal/force_inline.h"
#include "numerics/internal/rounding.h"
#include "numerics/internal/slow_path.h"
#include "numerics/internal/trig_tables.h"
#include "numerics/internal/wide_fixed.h"
#include "numerics/numerics.h"

namespace numerics {
namespace {

namespace tables = trig_tables;

// The constant c = (K + theta) * 2^exponent, 0 <= theta < 1, K of 256 bits
// with its top bit set (four limbs, least significant first); also c as a
// double-double hi + lo, with hi split into two halves of 26 bits once, at
// compile time, so that the fast path splits only x.
struct ExactConstant {
  double hi;
  double lo;
  const uint64_t (&bits)[4];
  int exponent;
  dd::DoubleDouble hiHalves;
};

constexpr ExactConstant kDegreeInRadians{tables::kDegreeInRadiansHi, tables::kDegreeInRadiansLo,
                                         tables::kDegreeInRadiansBits, tables::kDegreeInRadiansExponent,
                                         dd::Split(tables::kDegreeInRadiansHi)};
constexpr ExactConstant kRadianInDegrees{tables::kRadianInDegreesHi, tables::kRadianInDegreesLo,
                                         tables::kRadianInDegreesBits, tables::kRadianInDegreesExponent,
                                         dd::Split(tables::kRadianInDegreesHi)};

constexpr int kProductLimbs = 5;  // a 53-bit significand times K: at most 309 bits

// Bits low .. low+63 of the product; bits outside it read as 0.
uint64_t ProductBits(const uint64_t (&limbs)[kProductLimbs], int low) {
  if (low <= -64 || low >= 64 * kProductLimbs) return 0;
  if (low < 0) return limbs[0] << -low;
  const int index = low / 64;
  const int shift = low % 64;
  uint64_t bits = limbs[index] >> shift;
  if (shift != 0 && index + 1 < kProductLimbs) bits |= limbs[index + 1] << (64 - shift);
  return bits;
}

// x * c rounded once, for any finite nonzero x, subnormal results and overflow
// included. With |x| = m * 2^e, m * K is exact and the true product lies
// strictly between m * K and m * (K + 1) (c is irrational); the rounding uses
// m * K with a sticky bit. The two ends round apart only if the 200 or more
// bits of m * K below the rounding position are all ones, where the product
// would be within 2^-200 of a midpoint: linear functions of doubles come no
// nearer than about 2^-120 to one (the continued fractions of c bound it).
double MultiplyExactly(double x, const ExactConstant& c) {
  const uint64_t xBits = std::bit_cast<uint64_t>(x);
  const bool negative = (xBits >> 63) != 0;
  const int biased = static_cast<int>((xBits >> 52) & 0x7FF);
  uint64_t m = xBits & ((uint64_t{1} << 52) - 1);
  int e = biased - 1075;
  if (biased != 0) {
    m |= uint64_t{1} << 52;
  } else {
    e = -1074;
  }
  uint64_t product[kProductLimbs] = {};
  uint64_t carry = 0;
  for (int k = 0; k < 4; ++k) {
    uint64_t high = 0;
    uint64_t low = 0;
    wide::MultiplyFull(m, c.bits[k], high, low);
    low += carry;
    high += low < carry ? 1u : 0u;
    product[k] = low;
    carry = high;
  }
  product[4] = carry;
  // The leading one of the product and the weight of each of its bits.
  int top = kProductLimbs - 1;
  while (product[top] == 0) --top;
  const int leading = 64 * top + 63 - std::countl_zero(product[top]);
  const int weight = e + c.exponent;              // bit 0 of the product weighs 2^weight
  const int resultExponent = leading + weight;    // |x * c| in [2^resultExponent, 2^(resultExponent+1))
  if (resultExponent > 1023) return negative ? -HUGE_VAL : HUGE_VAL;
  // Bit position of the last bit kept: 53 significant bits, or 2^-1074 for
  // subnormal results.
  const int lastExponent = resultExponent - 52 < -1074 ? -1074 : resultExponent - 52;
  const int last = lastExponent - weight;
  uint64_t kept = last > leading ? 0 : ProductBits(product, last) & ((uint64_t{1} << (leading - last + 1)) - 1);
  const uint64_t roundBit = ProductBits(product, last - 1) & 1u;
  kept += roundBit;  // never a tie: the rest below is nonzero
  // A normal result's kept bits include the implicit one, which adds one to
  // the biased exponent field; a carry into 2^53 moves on to the next binade
  // (or to infinity) by the same addition.
  const int biasedExponent = resultExponent + 1022;
  const uint64_t bits =
      resultExponent - 52 < -1074 ? kept : (static_cast<uint64_t>(biasedExponent) << 52) + kept;
  return std::bit_cast<double>(bits | (negative ? uint64_t{1} << 63 : 0));
}

// The fast path's range: TwoProduct needs |x| * 2^27 finite and the error
// term of x * hi clear of the subnormals.
constexpr double kFastPathLow = 0x1p-960;
constexpr double kFastPathHigh = 0x1p990;
// x * (hi + lo) differs from x * c by less than 2^-104 of it; the bound leaves
// a factor of eight.
constexpr double kProductError = 0x1p-101;

// Everything the fast path leaves, out of line.
[[gnu::noinline]] double MultiplyOtherwise(double x, const ExactConstant& c) {
  if (x == 0.0 || !std::isfinite(x)) return x * c.hi;  // ±0, ±inf, NaN
  internal::CountSlowPath();
  return MultiplyExactly(x, c);
}

// x * c.hi exactly (c.hi split beforehand), plus x * c.lo.
QUILLO_FORCE_INLINE double MultiplyByConstant(double x, const ExactConstant& c) {
  const double magnitude = std::fabs(x);
  if (magnitude >= kFastPathLow && magnitude <= kFastPathHigh) {
    const double product = x * c.hi;
    const double error = dd::ProductError(c.hi, c.hiHalves, x, product);
    double rounded = 0.0;
    if (RoundsUnambiguously({product, error + x * c.lo}, kProductError, rounded)) return rounded;
  }
  return MultiplyOtherwise(x, c);
}

}  // namespace

double DegreesToRadians(double x) { return MultiplyByConstant(x, kDegreeInRadians); }
double RadiansToDegrees(double x) { return MultiplyByConstant(x, kRadianInDegrees); }

}  // namespace numerics
