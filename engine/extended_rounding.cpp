// Rounding of exact extended-precision results to double in ONE rounding.
// An extended operation followed by a conversion would round twice and can
// land one unit off in the last place.

#include "engine/extended_rounding.h"

#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

// An exact value as a rounded 64-bit head and the exact remainder.
struct ExtendedPair {
  Extended head;
  Extended tail;
};

// Veltkamp split of a 64-bit significand into two 32-bit halves.
ExtendedPair Split(Extended value) {
  constexpr Extended kSplitter = 4294967297.0L;  // 2^32 + 1
  const Extended scaled = kSplitter * value;
  const Extended high = scaled - (scaled - value);
  return {high, value - high};
}

// Dekker's exact product: head + tail == a * b.
ExtendedPair ExactProduct(Extended a, Extended b) {
  const Extended product = a * b;
  const ExtendedPair x = Split(a);
  const ExtendedPair y = Split(b);
  const Extended error =
      ((x.head * y.head - product) + x.head * y.tail + x.tail * y.head) + x.tail * y.tail;
  return {product, error};
}

// Rounds head + tail to double once. Rounding to odd into 64 bits first, then
// to nearest into 53, equals one rounding to nearest, since 64 >= 53 + 2.
// Round to odd: when the tail is not zero and head's last significand bit is
// clear, step to the neighbour on the tail's side, whose last bit is set.
// The step works on the significand bits directly: nextafter on long double
// costs more than the rest of a power.
double RoundOnceToDouble(ExtendedPair exact) {
  Extended value = exact.head;
  std::uint64_t significand = 0;
  std::memcpy(&significand, &value, sizeof(significand));  // x87 layout: significand first
  if (exact.tail == 0 || (significand & 1U) != 0) return static_cast<double>(value);
  const bool awayFromZero = (exact.tail > 0) == (value > 0);
  constexpr std::uint64_t kPowerOfTwo = std::uint64_t{1} << 63;
  if (awayFromZero) {
    significand |= 1U;
  } else if (significand != kPowerOfTwo) {
    significand -= 1U;
  } else {
    // Just below a power of two everything rounds to it: nothing to mark.
    return static_cast<double>(value);
  }
  std::memcpy(&value, &significand, sizeof(significand));
  return static_cast<double>(value);
}

__extension__ using UInt128 = unsigned __int128;

int CountLeadingZeros(UInt128 value) {
  const auto high = static_cast<std::uint64_t>(value >> 64);
  if (high != 0) return __builtin_clzll(high);
  return 64 + __builtin_clzll(static_cast<std::uint64_t>(value));
}

// sign * kept * 2^exponent for kept < 2^53 + 1; built from its bits when the
// result is a normal double, which is all but never not the case here.
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
  double result = 0.0;
  std::memcpy(&result, &bits, sizeof(result));
  return result;
}

}  // namespace

ExtendedParts Decompose(Extended value) {
  std::uint64_t significand = 0;
  std::uint16_t signAndExponent = 0;
  std::memcpy(&significand, &value, sizeof(significand));  // x87 layout
  std::memcpy(&signAndExponent, reinterpret_cast<const char*>(&value) + 8, sizeof(signAndExponent));
  const int biased = signAndExponent & 0x7FFF;
  constexpr int kBias = 16383 + 63;
  return {(signAndExponent & 0x8000) != 0, significand, (biased == 0 ? 1 : biased) - kBias};
}

ExtendedParts Decompose(double value) {
  std::uint64_t bits = 0;
  std::memcpy(&bits, &value, sizeof(bits));
  const int biased = static_cast<int>((bits >> 52) & 0x7FF);
  std::uint64_t significand = bits & ((std::uint64_t{1} << 52) - 1);
  if (biased != 0) significand |= std::uint64_t{1} << 52;
  constexpr int kBias = 1023 + 52;
  return {(bits >> 63) != 0, significand, (biased == 0 ? 1 : biased) - kBias};
}

double RoundedProduct(Extended a, Extended b) {
  if (!std::isfinite(a) || !std::isfinite(b) || a == 0 || b == 0) {
    return static_cast<double>(a * b);
  }
  return RoundedProduct(Decompose(a), Decompose(b));
}

// The product of two significands of at most 64 bits is exact in 128 bits;
// rounding its top 53 bits to nearest even is the one rounding to double.
double RoundedProduct(const ExtendedParts& x, const ExtendedParts& y) {
  UInt128 product = static_cast<UInt128>(x.significand) * y.significand;
  int exponent = x.exponent + y.exponent;
  // Normalise so that bit 127 is set; short or subnormal significands need more.
  const int leadingZeros = CountLeadingZeros(product);
  product <<= leadingZeros;
  exponent -= leadingZeros;
  constexpr int kDropped = 128 - 53;
  std::uint64_t kept = static_cast<std::uint64_t>(product >> kDropped);
  const UInt128 rest = product & ((UInt128{1} << kDropped) - 1);
  const UInt128 half = UInt128{1} << (kDropped - 1);
  if (rest > half || (rest == half && (kept & 1U) != 0)) ++kept;
  return AssembleDouble(x.negative != y.negative, kept, exponent + kDropped);
}

// The quotient rounded once: the sign of the exact remainder n - q*d tells on
// which side of q the true quotient lies.
double RoundedQuotient(Extended numerator, Extended denominator) {
  const Extended quotient = numerator / denominator;
  if (!std::isfinite(quotient) || quotient == 0) return static_cast<double>(quotient);
  const ExtendedPair back = ExactProduct(quotient, denominator);
  const Extended remainder = (numerator - back.head) - back.tail;
  const Extended direction = (denominator > 0) ? remainder : -remainder;
  return RoundOnceToDouble({quotient, direction});
}

// 1 + m rounded once, for |m| < 1 (Fast2Sum gives the exact tail).
double RoundedOnePlus(Extended m) {
  const Extended sum = 1.0L + m;
  const Extended tail = m - (sum - 1.0L);
  return RoundOnceToDouble({sum, tail});
}

