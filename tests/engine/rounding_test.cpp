#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>

#include "engine/extended_rounding.h"

namespace {

__extension__ using Wide = unsigned __int128;  // exact products of two 64-bit significands

// Rounds the integer value * 2^exponent to 53 bits, to nearest even; a set
// `sticky` means there are non-zero bits below `value`.
double RoundToDouble(Wide value, int exponent, bool sticky) {
  int bits = 0;
  for (Wide v = value; v != 0; v >>= 1) ++bits;
  int shift = bits - 53;
  if (shift <= 0) return std::ldexp(static_cast<double>(static_cast<uint64_t>(value)), exponent);
  Wide kept = value >> shift;
  const Wide rest = value & ((Wide(1) << shift) - 1);
  const Wide half = Wide(1) << (shift - 1);
  if (rest > half || (rest == half && (sticky || (kept & 1) != 0))) ++kept;
  return std::ldexp(static_cast<double>(static_cast<uint64_t>(kept)), exponent + shift);
}

struct Significand {
  uint64_t bits;  // integer significand
  int exponent;   // value = bits * 2^exponent
};

Significand SplitSignificand(long double value, int digits) {
  int exponent = 0;
  const long double fraction = std::frexp(value, &exponent);
  return {static_cast<uint64_t>(std::ldexp(fraction, digits)), exponent - digits};
}

double ReferenceProduct(long double a, long double b) {
  const Significand x = SplitSignificand(a, 64);
  const Significand y = SplitSignificand(b, 64);
  return RoundToDouble(Wide(x.bits) * y.bits, x.exponent + y.exponent, false);
}

double ReferenceQuotient(long double n, long double d) {
  const Significand x = SplitSignificand(n, 64);
  const Significand y = SplitSignificand(d, 64);
  const Wide numerator = Wide(x.bits) << 63;
  return RoundToDouble(numerator / y.bits, x.exponent - 63 - y.exponent, numerator % y.bits != 0);
}

// Products close to the midpoint between two doubles are where rounding to
// 64 bits first and then to 53 goes wrong; the search aims at them.
TEST(ExtendedRounding, ProductsRoundOnceEvenNearMidpoints) {
  std::mt19937_64 random(12345);
  std::uniform_real_distribution<double> unit(1.0, 2.0);
  int naiveDiffers = 0;
  for (int i = 0; i < 200000; ++i) {
    const double a = unit(random);
    // Half a unit in the last place above a double in [1, 2).
    const long double midpoint = static_cast<long double>(unit(random)) + std::ldexp(1.0L, -53);
    const long double b = (i % 2 == 0) ? midpoint / a : std::nextafter(midpoint / a, 0.0L);
    const double expected = ReferenceProduct(a, b);
    ASSERT_EQ(RoundedProduct(a, b), expected) << a << " * " << static_cast<double>(b);
    ASSERT_EQ(RoundedProduct(-a, b), -expected);
    ASSERT_EQ(RoundedProduct(a, -b), -expected);
    naiveDiffers += static_cast<double>(static_cast<long double>(a) * b) != expected;
  }
  EXPECT_GT(naiveDiffers, 0);  // the cases do reach the double-rounding trap
}

TEST(ExtendedRounding, QuotientsRoundOnce) {
  std::mt19937_64 random(54321);
  std::uniform_real_distribution<double> unit(1.0, 2.0);
  int naiveDiffers = 0;
  for (int i = 0; i < 200000; ++i) {
    const long double d = static_cast<long double>(unit(random)) + std::ldexp(static_cast<long double>(unit(random)), -53);
    const long double midpoint = static_cast<long double>(unit(random)) + std::ldexp(1.0L, -53);
    const long double n = midpoint * d;
    const double expected = ReferenceQuotient(n, d);
    ASSERT_EQ(RoundedQuotient(n, d), expected);
    ASSERT_EQ(RoundedQuotient(-n, d), -expected);
    naiveDiffers += static_cast<double>(n / d) != expected;
  }
  EXPECT_GT(naiveDiffers, 0);
}

TEST(ExtendedRounding, ConstantTakenApartMatchesItsValue) {
  const ExtendedParts parts = Decompose(kLog2E);
  EXPECT_EQ(parts.negative, kLog2EParts.negative);
  EXPECT_EQ(parts.significand, kLog2EParts.significand);
  EXPECT_EQ(parts.exponent, kLog2EParts.exponent);
}

TEST(ExtendedRounding, OnePlusRoundsOnce) {
  // 1 + 2^-53 + 2^-64 lies just above the midpoint between 1 and the next
  // double: one rounding goes up, two roundings (to 64 bits, then 53) go to 1.
  const long double m = std::ldexp(1.0L, -53) + std::ldexp(1.0L, -66);
  EXPECT_EQ(RoundedOnePlus(m), 1.0 + std::ldexp(1.0, -52));
  EXPECT_EQ(static_cast<double>(1.0L + m), 1.0);
  EXPECT_EQ(RoundedOnePlus(-std::ldexp(1.0L, -60)), 1.0);
  EXPECT_EQ(RoundedOnePlus(0.25L), 1.25);
  // Just below 1 by less than half a unit of 64 bits: stays 1.
  EXPECT_EQ(RoundedOnePlus(-std::ldexp(1.0L, -66)), 1.0);
  // 1 - 2^-54 - tiny lies below the midpoint under 1: rounds down.
  EXPECT_EQ(RoundedOnePlus(-std::ldexp(1.0L, -54) - std::ldexp(1.0L, -70)), 1.0 - std::ldexp(1.0, -53));
}

}  // namespace
