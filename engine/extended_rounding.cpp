// Rounding of exact results to double or to a 64-bit significand in ONE
// rounding. Rounding to 64 bits first and then to 53 can land one unit off in
// the last place, so every result here is formed exactly in 128-bit integers
// (two 64-bit words) and rounded from there.

#include "engine/extended_rounding.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "engine/wide_fraction.h"

namespace {

// An unsigned 128-bit integer as two words.
struct Wide {
  std::uint64_t high;
  std::uint64_t low;
};

bool IsZero(Wide value) { return value.high == 0 && value.low == 0; }

bool IsLess(Wide a, Wide b) { return a.high < b.high || (a.high == b.high && a.low < b.low); }

Wide Plus(Wide a, Wide b) {
  const std::uint64_t low = a.low + b.low;
  return {a.high + b.high + (low < a.low ? 1 : 0), low};
}

Wide Minus(Wide a, Wide b) {
  return {a.high - b.high - (a.low < b.low ? 1 : 0), a.low - b.low};
}

Wide ShiftLeft(Wide value, int count) {
  if (count == 0) return value;
  if (count >= 128) return {0, 0};
  if (count >= 64) return {value.low << (count - 64), 0};
  return {(value.high << count) | (value.low >> (64 - count)), value.low << count};
}

// value >> count; `lost` reports whether any 1 bit was shifted out.
Wide ShiftRight(Wide value, int count, bool& lost) {
  if (count == 0) {
    lost = false;
    return value;
  }
  if (count >= 128) {
    lost = !IsZero(value);
    return {0, 0};
  }
  if (count >= 64) {
    const int inner = count - 64;
    lost = value.low != 0 || (inner != 0 && (value.high << (64 - inner)) != 0);
    return {0, inner == 0 ? value.high : value.high >> inner};
  }
  lost = (value.low << (64 - count)) != 0;
  return {value.high >> count, (value.low >> count) | (value.high << (64 - count))};
}

int LeadingZeros(Wide value) {
  return value.high != 0 ? std::countl_zero(value.high) : 64 + std::countl_zero(value.low);
}

Wide Product(std::uint64_t a, std::uint64_t b) {
  const WordProduct product = MultiplyWords(a, b);
  return {product.high, product.low};
}


// RoundToDouble for any value, subnormals included.
double RoundToDoubleInGeneral(bool negative, Wide value, int exponent, bool sticky) {
  if (IsZero(value)) return negative ? -0.0 : 0.0;
  const int leadingZeros = LeadingZeros(value);
  value = ShiftLeft(value, leadingZeros);
  exponent -= leadingZeros;
  // Bits to keep: 53, fewer where the leading bit lies below 2^-1022.
  const int leadingBit = exponent + 127;
  int keep = 53;
  if (leadingBit < -1022) keep = 53 - (-1022 - leadingBit);
  if (keep < 0) return negative ? -0.0 : 0.0;  // below half the smallest subnormal
  const int dropped = 128 - keep;
  bool lostBelowHalf = false;
  const Wide kept = ShiftRight(value, dropped, lostBelowHalf);
  // The rounding bit is the highest dropped bit; the rest decide ties.
  bool belowRounding = false;
  const Wide withRoundingBit = ShiftRight(value, dropped - 1, belowRounding);
  const bool roundingBit = (withRoundingBit.low & 1U) != 0;
  std::uint64_t result = kept.low;
  if (roundingBit && (belowRounding || sticky || (result & 1U) != 0)) ++result;
  return AssembleDouble(negative, result, exponent + dropped);
}

// sign * (value + a fraction below its last bit when `sticky`) * 2^exponent,
// rounded once to nearest even, subnormals included. The common case, a high
// word that is not zero and a result in the normal range, goes straight to
// the bits: the top 53 of the normalised 128 bits, rounded by the 75 below.
double RoundToDouble(bool negative, Wide value, int exponent, bool sticky) {
  if (value.high == 0) return RoundToDoubleInGeneral(negative, value, exponent, sticky);
  const int leadingZeros = std::countl_zero(value.high);
  const int leadingBit = exponent - leadingZeros + 127;
  if (leadingBit < -1022 || leadingBit > 1023) return RoundToDoubleInGeneral(negative, value, exponent, sticky);
  const std::uint64_t kept = RoundedLeading53(value.high, value.low, leadingZeros, sticky);
  // Adding the significand without its leading bit to the biased exponent
  // carries a round-up to 2^53 into the exponent, and from the largest
  // binade into the pattern of infinity.
  constexpr std::uint64_t kImplicitBit = std::uint64_t{1} << 52;
  const std::uint64_t bits = (std::uint64_t{negative} << 63) +
                             (static_cast<std::uint64_t>(leadingBit + 1023) << 52) + (kept - kImplicitBit);
  return std::bit_cast<double>(bits);
}

}  // namespace

double RoundedProduct(Extended a, Extended b) {
  return RoundToDouble(a.negative != b.negative, Product(a.significand, b.significand), a.exponent + b.exponent,
                       false);
}

// The quotient of the significands is in (1/2, 2); an estimate in double is
// within a few units of the truncated 53-bit quotient Q, which the exact
// remainder then corrects; twice the remainder against the divisor rounds.
double RoundedQuotient(Extended numerator, Extended denominator) {
  const std::uint64_t n = numerator.significand;
  const std::uint64_t d = denominator.significand;
  const int scale = n >= d ? 52 : 53;  // Q in [2^52, 2^53)
  // Scaling by 2^52 or 2^53 is exact: the quotient lies in (1/2, 2).
  const double estimate = (static_cast<double>(n) / static_cast<double>(d)) * (scale == 52 ? 0x1p52 : 0x1p53);
  auto quotient = static_cast<std::uint64_t>(estimate);
  const Wide dividend = ShiftLeft({0, n}, scale);
  Wide back = Product(quotient, d);
  while (IsLess(dividend, back)) {
    --quotient;
    back = Minus(back, {0, d});
  }
  Wide remainder = Minus(dividend, back);
  while (!IsLess(remainder, {0, d})) {
    ++quotient;
    remainder = Minus(remainder, {0, d});
  }
  // remainder < d < 2^64: compare it with d - remainder.
  const std::uint64_t rest = remainder.low;
  const std::uint64_t other = d - rest;
  if (rest > other || (rest == other && (quotient & 1U) != 0)) ++quotient;
  return AssembleDouble(numerator.negative != denominator.negative, quotient,
                        numerator.exponent - denominator.exponent - scale);
}

// 1 + m exactly in units of 2^-126, where 1 is bit 126 and |m| < 1 fits
// below it; bits of m beyond that only make the sum inexact (sticky).
double RoundedOnePlus(Extended m) {
  if (m.significand == 0) return 1.0;
  constexpr int kOneBit = 126;
  const int shift = m.exponent + kOneBit;
  bool sticky = false;
  Wide aligned{};
  if (shift > 0 && shift < 64) {
    aligned = {m.significand >> (64 - shift), m.significand << shift};
  } else {
    aligned = shift >= 0 ? ShiftLeft({0, m.significand}, shift) : ShiftRight({0, m.significand}, -shift, sticky);
  }
  const Wide one = {std::uint64_t{1} << (kOneBit - 64), 0};
  if (!m.negative) return RoundToDouble(false, Plus(one, aligned), -kOneBit, sticky);
  // 1 - (aligned + e) with 0 < e < 1 is (1 - aligned - 1) + (1 - e).
  Wide difference = Minus(one, aligned);
  if (sticky) difference = Minus(difference, {0, 1});
  return RoundToDouble(false, difference, -kOneBit, sticky);
}

// A normal result is built from its bits; the rest (subnormal, overflow) by
// ldexp, which is exact for a representable value.
double AssembleDouble(bool negative, std::uint64_t kept, int exponent) {
  constexpr std::uint64_t kImplicitBit = std::uint64_t{1} << 52;
  if (kept == 2 * kImplicitBit) {
    kept = kImplicitBit;
    ++exponent;
  }
  const int biased = exponent + 52 + 1023;
  if (kept < kImplicitBit || biased <= 0 || biased >= 2047) {
    const double magnitude = std::ldexp(static_cast<double>(kept), exponent);
    return negative ? -magnitude : magnitude;
  }
  const std::uint64_t bits = (std::uint64_t{negative} << 63) |
                             (static_cast<std::uint64_t>(biased) << 52) | (kept - kImplicitBit);
  return std::bit_cast<double>(bits);
}
