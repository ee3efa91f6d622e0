#include "numerics/internal/wide_fixed.h"

#include <algorithm>
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

Fixed Negate(const Fixed& a) {
  Fixed inverted{};
  for (int i = 0; i < kLimbs; ++i) inverted.limb[i] = ~a.limb[i];
  Fixed one{};
  one.limb[0] = 1;
  return Add(inverted, one);
}

Fixed Subtract(const Fixed& a, const Fixed& b) { return Add(a, Negate(b)); }

namespace {

Fixed Magnitude(const Fixed& a) { return IsNegative(a) ? Negate(a) : a; }

}  // namespace

Fixed Multiply(const Fixed& a, const Fixed& b) {
  const bool negative = IsNegative(a) != IsNegative(b);
  const Fixed x = Magnitude(a);
  const Fixed y = Magnitude(b);
  uint64_t product[2 * kLimbs] = {};
  for (int i = 0; i < kLimbs; ++i) {
    if (x.limb[i] == 0) continue;
    uint64_t carry = 0;
    for (int j = 0; j < kLimbs; ++j) {
      uint64_t high = 0;
      uint64_t low = 0;
      MultiplyFull(x.limb[i], y.limb[j], high, low);
      low += carry;
      high += low < carry ? 1u : 0u;
      product[i + j] += low;
      high += product[i + j] < low ? 1u : 0u;
      carry = high;
    }
    product[i + kLimbs] += carry;
  }
  Fixed result{};
  constexpr int kDropped = kFractionBits / 64;
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

double ToDouble(const Fixed& a) {
  const bool negative = IsNegative(a);
  const Fixed x = Magnitude(a);
  int top = kLimbs - 1;
  while (top >= 0 && x.limb[top] == 0) --top;
  if (top < 0) return 0.0;
  int leading = 63;
  while (((x.limb[top] >> leading) & 1u) == 0) --leading;
  const int highest = 64 * top + leading;  // position of the leading one
  auto bitAt = [&x](int position) -> uint64_t {
    if (position < 0) return 0;
    return (x.limb[position / 64] >> (position % 64)) & 1u;
  };
  uint64_t significand = 0;
  for (int position = highest; position > highest - 53; --position) significand = (significand << 1) | bitAt(position);
  const int roundPosition = highest - 53;
  const uint64_t roundBit = bitAt(roundPosition);
  bool sticky = false;
  for (int position = roundPosition - 1; position >= 0 && !sticky; --position) sticky = bitAt(position) != 0;
  if (roundBit != 0 && (sticky || (significand & 1u) != 0)) ++significand;  // 2^53 stays exact
  const double magnitude = std::ldexp(static_cast<double>(significand), highest - 52 - kFractionBits);
  return negative ? -magnitude : magnitude;
}

void SineCosine(const Fixed& y, Fixed& sine, Fixed& cosine) {
  // term = y^n / n!, added to the cosine for even n and to the sine for odd
  // n, with the signs of the series.
  Fixed term{};
  term.limb[kFractionBits / 64] = 1;  // 1.0
  sine = Zero();
  cosine = term;
  for (uint32_t n = 1; n < 400; ++n) {
    term = DivideBySmall(Multiply(term, y), n);
    if (IsZero(term)) break;
    switch (n % 4) {
      case 0: cosine = Add(cosine, term); break;
      case 1: sine = Add(sine, term); break;
      case 2: cosine = Subtract(cosine, term); break;
      default: sine = Subtract(sine, term); break;
    }
  }
}

}  // namespace wide
