#include "numerics/internal/wide_fixed.h"

#include <algorithm>
#include <bit>
#include <cmath>

namespace wide {

Fixed Zero() { return Fixed{}; }

Fixed FromLimbs(const uint64_t (&limbs)[kLimbs]) {
  Fixed result{};
  for (int i = 0; i < kLimbs; ++i) result.limb[i] = limbs[i];
  return result;
}

bool IsNegative(const Fixed& a) { return (a.limb[kLimbs - 1] >> 63) != 0; }

bool IsZero(const Fixed& a) {
  return std::ranges::all_of(a.limb, [](uint64_t limb) { return limb == 0; });
}

Fixed Add(const Fixed& a, const Fixed& b) {
  Fixed sum{};
  uint64_t carry = 0;
  for (int i = 0; i < kLimbs; ++i) {
    const uint64_t partial = a.limb[i] + carry;
    const uint64_t carryOut = partial < carry ? 1u : 0u;
    sum.limb[i] = partial + b.limb[i];
    carry = carryOut + (sum.limb[i] < partial ? 1u : 0u);
  }
  return sum;
}

// -a = ~a + 1: the one carries up through the limbs that were 0.
Fixed Negate(const Fixed& a) {
  Fixed negated{};
  uint64_t carry = 1;
  for (int i = 0; i < kLimbs; ++i) {
    negated.limb[i] = ~a.limb[i] + carry;
    carry = (carry != 0 && a.limb[i] == 0) ? 1u : 0u;
  }
  return negated;
}

Fixed Subtract(const Fixed& a, const Fixed& b) {
  Fixed difference{};
  uint64_t borrow = 0;
  for (int i = 0; i < kLimbs; ++i) {
    const uint64_t partial = a.limb[i] - borrow;
    const uint64_t borrowOut = a.limb[i] < borrow ? 1u : 0u;
    difference.limb[i] = partial - b.limb[i];
    borrow = borrowOut + (partial < b.limb[i] ? 1u : 0u);
  }
  return difference;
}

namespace {

Fixed Magnitude(const Fixed& a) { return IsNegative(a) ? Negate(a) : a; }

}  // namespace

Fixed Multiply(const Fixed& a, const Fixed& b) {
  const bool negative = IsNegative(a) != IsNegative(b);
  const Fixed x = Magnitude(a);
  const Fixed y = Magnitude(b);
  // y's limbs above its leading one add nothing: the series' values are
  // mostly below 1 and leave the integer limbs 0.
  int yLimbs = kLimbs;
  while (yLimbs > 0 && y.limb[yLimbs - 1] == 0) --yLimbs;
  // Partial products x_i y_j with i + j <= kDropped - 2 lie wholly below the
  // kept limbs and would only carry into the lowest of them: together less
  // than four units of it, left out.
  constexpr int kDropped = kFractionBits / 64;
  uint64_t product[2 * kLimbs] = {};
  for (int i = 0; i < kLimbs; ++i) {
    if (x.limb[i] == 0) continue;
    uint64_t carry = 0;
    for (int j = std::max(0, kDropped - 1 - i); j < yLimbs; ++j) {
      uint64_t high = 0;
      uint64_t low = 0;
      MultiplyFull(x.limb[i], y.limb[j], high, low);
      low += carry;
      high += low < carry ? 1u : 0u;
      product[i + j] += low;
      high += product[i + j] < low ? 1u : 0u;
      carry = high;
    }
    product[i + yLimbs] += carry;
  }
  Fixed result{};
  for (int i = 0; i < kLimbs; ++i) result.limb[i] = product[i + kDropped];
  return negative ? Negate(result) : result;
}

Fixed DivideBySmall(const Fixed& a, uint32_t divisor) {
  const bool negative = IsNegative(a);
  const Fixed x = Magnitude(a);
  Fixed result{};
  uint64_t remainder = 0;
  for (int i = kLimbs - 1; i >= 0; --i) {
    uint64_t quotient = 0;
    for (int half = 1; half >= 0; --half) {
      const uint64_t part = (x.limb[i] >> (32 * half)) & 0xFFFFFFFFu;
      const uint64_t dividend = (remainder << 32) | part;
      quotient = (quotient << 32) | (dividend / divisor);
      remainder = dividend % divisor;
    }
    result.limb[i] = quotient;
  }
  return negative ? Negate(result) : result;
}

Fixed FromDouble(double x) {
  Fixed result{};
  if (x == 0.0 || !std::isfinite(x)) return result;
  int exponent = 0;
  const double fraction = std::frexp(std::fabs(x), &exponent);  // x = fraction * 2^exponent
  const auto significand = static_cast<uint64_t>(std::ldexp(fraction, 53));
  // |x| = significand * 2^(exponent - 53); its bit 0 lands at bit `shift` of N.
  const int shift = exponent - 53 + kFractionBits;
  if (shift >= 0) {
    const int limb = shift / 64;
    const int bit = shift % 64;
    if (limb < kLimbs) result.limb[limb] = significand << bit;
    if (bit != 0 && limb + 1 < kLimbs) result.limb[limb + 1] = significand >> (64 - bit);
  } else if (shift > -64) {
    result.limb[0] = significand >> (-shift);
  }
  return x < 0.0 ? Negate(result) : result;
}

namespace {

// Bits low .. low+63 of x; bits below bit 0 read as 0.
uint64_t Window(const Fixed& x, int low) {
  if (low < 0) return x.limb[0] << -low;
  const int index = low / 64;
  const int shift = low % 64;
  uint64_t bits = x.limb[index] >> shift;
  if (shift != 0 && index + 1 < kLimbs) bits |= x.limb[index + 1] << (64 - shift);
  return bits;
}

}  // namespace

namespace {

// 64 bits of a non-negative x from bit `low` on; bits outside x read as 0.
uint64_t WindowAnywhere(const Fixed& x, int low) {
  if (low <= -64 || low >= 64 * kLimbs) return 0;
  return Window(x, low);
}

// How far below a kept bit the rounding looks for a midpoint: a value this
// close to one is taken for it.
constexpr int kMidpointWindow = 90;

// Whether the kMidpointWindow bits below `position` (exclusive) all equal
// `bit`.
bool WindowBitsAre(const Fixed& x, int position, bool bit) {
  const uint64_t all = bit ? ~uint64_t{0} : 0;
  const uint64_t first = WindowAnywhere(x, position - 64);
  constexpr int kRest = kMidpointWindow - 64;
  const uint64_t second = WindowAnywhere(x, position - 64 - kRest) & ((uint64_t{1} << kRest) - 1);
  return first == all && second == (all & ((uint64_t{1} << kRest) - 1));
}

}  // namespace

double RoundToDouble(const Fixed& a, int scale) {
  const bool negative = IsNegative(a);
  const Fixed x = Magnitude(a);
  int top = kLimbs - 1;
  while (top >= 0 && x.limb[top] == 0) --top;
  if (top < 0) return negative ? -0.0 : 0.0;
  const int highest = 64 * top + 63 - std::countl_zero(x.limb[top]);  // position of the leading one
  // The leading bit weighs 2^leading; the last bit kept 2^last (fewer than
  // 53 bits for a subnormal result).
  const int leading = highest - kFractionBits + scale;
  if (leading > 1023) return negative ? -HUGE_VAL : HUGE_VAL;
  const int last = std::max(leading - 52, -1074);
  const int lastPosition = last - scale + kFractionBits;
  const int kept = highest - lastPosition + 1;
  uint64_t significand = kept <= 0 ? 0 : WindowAnywhere(x, lastPosition) & ((uint64_t{1} << kept) - 1);
  const bool roundBit = ((WindowAnywhere(x, lastPosition - 1) & 1u) != 0);
  // A value this close to a midpoint is the midpoint: ties go to even.
  const bool tie = WindowBitsAre(x, lastPosition - 1, !roundBit);
  if (tie ? (significand & 1u) != 0 : roundBit) ++significand;  // 2^53 stays exact
  const double magnitude = std::ldexp(static_cast<double>(significand), last);
  return negative ? -magnitude : magnitude;
}

double ToDouble(const Fixed& a) { return RoundToDouble(a, 0); }

namespace {

// a / 2^shift rounded toward minus infinity (an arithmetic shift of the
// two's-complement limbs), 0 < shift < 64.
Fixed ShiftRight(const Fixed& a, int shift) {
  Fixed shifted{};
  for (int i = 0; i < kLimbs - 1; ++i) shifted.limb[i] = (a.limb[i] >> shift) | (a.limb[i + 1] << (64 - shift));
  const auto top = static_cast<int64_t>(a.limb[kLimbs - 1]);
  shifted.limb[kLimbs - 1] = static_cast<uint64_t>(top >> shift);  // arithmetic on every supported compiler
  return shifted;
}

// sin(h) and cos(h) by their Taylor series for |h| <= 2^-5: term = h^n / n!,
// added to the cosine for even n and to the sine for odd n, with the signs of
// the series, until the terms vanish (about thirty of them).
void SineCosineOfSmall(const Fixed& h, Fixed& sine, Fixed& cosine) {
  Fixed term{};
  term.limb[kFractionBits / 64] = 1;  // 1.0
  sine = Zero();
  cosine = term;
  for (uint32_t n = 1; n < 400; ++n) {
    term = DivideBySmall(Multiply(term, h), n);
    if (IsZero(term)) break;
    switch (n % 4) {
      case 0: cosine = Add(cosine, term); break;
      case 1: sine = Add(sine, term); break;
      case 2: cosine = Subtract(cosine, term); break;
      default: sine = Subtract(sine, term); break;
    }
  }
}

}  // namespace

// With h = y / 2^7, |h| < 2^-5: the series of h, then the angle doubled
// seven times (sin 2h = 2 sin h cos h, cos 2h = (cos h - sin h)(cos h + sin h)).
// Each doubling about doubles the error: h itself is off by up to 2^-256 (the
// shift drops bits), so y by 2^-249, and sine and cosine end within a few
// units of 2^-248.
void SineCosine(const Fixed& y, Fixed& sine, Fixed& cosine) {
  constexpr int kHalvings = 7;
  SineCosineOfSmall(ShiftRight(y, kHalvings), sine, cosine);
  for (int i = 0; i < kHalvings; ++i) {
    const Fixed product = Multiply(sine, cosine);
    const Fixed nextCosine = Multiply(Subtract(cosine, sine), Add(cosine, sine));
    sine = Add(product, product);
    cosine = nextCosine;
  }
}

}  // namespace wide
