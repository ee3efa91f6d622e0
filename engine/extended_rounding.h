#pragma once
// Values with a 64-bit significand, and the roundings between them and
// double, each a single correct rounding to nearest (ties to even). Built on
// 64-bit integers only: no long double, no processor-specific instructions.

#include <bit>
#include <cstdint>

#include "engine/wide_fraction.h"

// sign * significand * 2^exponent. A normalised value has bit 63 of the
// significand set; 0 is a zero significand. Values taken apart from doubles
// (Decompose) keep the double's 53-bit significand unnormalised.
// The members are laid out in 16 bytes so that the value travels in two
// registers between functions rather than through memory; the constructor
// keeps the reading order sign, significand, exponent.
struct Extended {
  std::uint64_t significand = 0;
  int exponent = 0;
  bool negative = false;

  constexpr Extended() = default;
  constexpr Extended(bool isNegative, std::uint64_t bits, int scale)
      : significand(bits), exponent(scale), negative(isNegative) {}
};
static_assert(sizeof(Extended) == 16);

// A finite double taken apart exactly (inline: every step starts with it).
inline Extended Decompose(double value) {
  const auto bits = std::bit_cast<std::uint64_t>(value);
  const int biased = static_cast<int>((bits >> 52) & 0x7FF);
  std::uint64_t significand = bits & ((std::uint64_t{1} << 52) - 1);
  if (biased != 0) significand |= std::uint64_t{1} << 52;
  constexpr int kBias = 1023 + 52;
  return {(bits >> 63) != 0, significand, (biased == 0 ? 1 : biased) - kBias};
}

// a * b rounded once to double (products beyond the double range give an
// infinity, tiny ones a subnormal or zero).
double RoundedProduct(Extended a, Extended b);
// The 53 bits from the leading one of the 128-bit high:low (which has
// `leadingZeros` zeros above it in `high`, not 0), rounded to nearest even by
// the bits below and by `sticky`, standing for a fraction beyond them. The
// result may be 2^53 after rounding up.
inline std::uint64_t RoundedLeading53(std::uint64_t high, std::uint64_t low, int leadingZeros, bool sticky) {
  // (low >> 1) >> (63 - n) is low >> (64 - n), also for n = 0.
  const std::uint64_t top = (high << leadingZeros) | ((low >> 1) >> (63 - leadingZeros));
  const std::uint64_t below = low << leadingZeros;
  constexpr std::uint64_t kDroppedMask = (std::uint64_t{1} << 11) - 1;
  constexpr std::uint64_t kHalfOfLast = std::uint64_t{1} << 10;
  std::uint64_t kept = top >> 11;
  const std::uint64_t dropped = top & kDroppedMask;
  if (dropped > kHalfOfLast || (dropped == kHalfOfLast && (below != 0 || sticky || (kept & 1U) != 0))) ++kept;
  return kept;
}

// a * b rounded once to double when the result is a normal double: true,
// and `result` holds it taken apart as Decompose would (53-bit significand).
// Otherwise (zero, subnormal, overflow, a factor not normalised enough to
// fill the high word) false, and RoundedProduct gives the value. Inline and
// without assembling the double, so that chains of such steps (the power's
// y * log2 e after b * ln a) stay in integer registers.
inline bool RoundedProductIfNormal(Extended a, Extended b, Extended& result) {
  const WordProduct product = MultiplyWords(a.significand, b.significand);
  if (product.high == 0) return false;
  // A double's 53-bit significand times a normalised one puts the leading
  // bit 11 or 12 places below the top: a comparison is quicker than counting.
  const int leadingZeros = (product.high >> 52) != 0   ? 11
                           : (product.high >> 51) != 0 ? 12
                                                       : std::countl_zero(product.high);
  std::uint64_t kept = RoundedLeading53(product.high, product.low, leadingZeros, false);
  int exponent = a.exponent + b.exponent + 75 - leadingZeros;
  if (kept == std::uint64_t{1} << 53) {
    kept >>= 1;
    ++exponent;
  }
  const int leadingBit = exponent + 52;
  if (leadingBit < -1022 || leadingBit > 1023) return false;
  result = {a.negative != b.negative, kept, exponent};
  return true;
}
// a * b rounded once to a normalised 64-bit significand (inline: the
// power's natural logarithm takes it on its chain of dependent steps).
inline Extended RoundedExtendedProduct(Extended a, Extended b) {
  const bool negative = a.negative != b.negative;
  const WordProduct product = MultiplyWords(a.significand, b.significand);
  if (product.high == 0 && product.low == 0) return {negative, 0, 0};
  std::uint64_t high = product.high;
  std::uint64_t low = product.low;
  int leadingZeros = 0;
  if (high == 0) {
    leadingZeros = 64 + std::countl_zero(low);
    high = low << (leadingZeros - 64);
    low = 0;
  } else {
    // Two normalised significands put the leading bit at the top or one below.
    leadingZeros = (high >> 63) != 0 ? 0 : ((high >> 62) != 0 ? 1 : std::countl_zero(high));
    // (low >> 1) >> (63 - n) is low >> (64 - n), also for n = 0.
    high = (high << leadingZeros) | ((low >> 1) >> (63 - leadingZeros));
    low <<= leadingZeros;
  }
  std::uint64_t significand = high;
  int exponent = a.exponent + b.exponent - leadingZeros + 64;
  constexpr std::uint64_t kHalf = std::uint64_t{1} << 63;
  if (low > kHalf || (low == kHalf && (significand & 1U) != 0)) {
    ++significand;
    if (significand == 0) {
      significand = kHalf;
      ++exponent;
    }
  }
  return {negative, significand, exponent};
}
// numerator / denominator rounded once to double; both normalised and not
// zero, the quotient within the normal range of doubles.
double RoundedQuotient(Extended numerator, Extended denominator);
// 1 + m rounded once to double, for |m| < 1.
double RoundedOnePlus(Extended m);
// sign * kept * 2^exponent as a double, for a kept of at most 2^53 that needs
// no further rounding (a value taken apart by Decompose, or a rounded one).
double AssembleDouble(bool negative, std::uint64_t kept, int exponent);

// log2 e and ln 2 rounded to 64 bits (significand * 2^-63 and * 2^-64).
inline constexpr Extended kLog2E = {false, 0xB8AA3B295C17F0BCULL, -63};
inline constexpr Extended kLn2 = {false, 0xB17217F7D1CF79ACULL, -64};
