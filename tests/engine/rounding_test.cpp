#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <random>

#include "engine/extended_rounding.h"
#include "engine/wide_fraction.h"

namespace {

// Significands with bit 63 set, drawn so that products and quotients fall
// near the midpoint between two doubles: that is where rounding to 64 bits
// first and then to 53 goes wrong.
std::uint64_t RandomSignificand(std::mt19937_64& random) { return random() | (std::uint64_t{1} << 63); }

// The reference rounds through the exact 128-bit value kept in two halves
// and an exact check of the quotient: m * 2^e as a double from the top 53
// bits plus a tie-to-even decision on the rest, written out plainly.
double RoundBitsToDouble(std::uint64_t high, std::uint64_t low, int exponent, bool sticky) {
  int shift = 0;
  while ((high >> 63) == 0) {
    high = (high << 1) | (low >> 63);
    low <<= 1;
    ++shift;
  }
  std::uint64_t kept = high >> 11;
  const std::uint64_t roundBit = (high >> 10) & 1U;
  const bool below = (high & 0x3FFU) != 0 || low != 0 || sticky;
  if (roundBit != 0 && (below || (kept & 1U) != 0)) ++kept;
  return std::ldexp(static_cast<double>(kept), exponent - shift + 64 + 11);
}

TEST(ExtendedRounding, ProductsRoundOnce) {
  std::mt19937_64 random(12345);
  int tiesOrNearTies = 0;
  for (int i = 0; i < 200000; ++i) {
    std::uint64_t a = RandomSignificand(random);
    std::uint64_t b = RandomSignificand(random);
    // Every fourth pair: make the product's bits below the 53 kept ones sit
    // at or next to a half, by forcing a low factor pattern.
    if (i % 4 == 0) b = (std::uint64_t{1} << 63) | (std::uint64_t{1} << (i % 11));
    const WordProduct exact = MultiplyWords(a, b);
    const double expected = RoundBitsToDouble(exact.high, exact.low, -128, false);
    tiesOrNearTies += (exact.high & 0x7FFU) == 0x400U;
    const Extended x{false, a, -64};
    const Extended y{false, b, -64};
    ASSERT_EQ(RoundedProduct(x, y), expected) << a << " * " << b;
    ASSERT_EQ(RoundedProduct({true, a, -64}, y), -expected);
  }
  EXPECT_GT(tiesOrNearTies, 0);
}

TEST(ExtendedRounding, ProductsIntoSubnormalsAndBeyondTheRange) {
  const Extended one{false, std::uint64_t{1} << 63, -63};
  const Extended smallest = Decompose(std::ldexp(1.0, -1074));
  EXPECT_EQ(RoundedProduct(one, smallest), std::ldexp(1.0, -1074));
  // Half the smallest subnormal ties to even (zero); a little more rounds up.
  const Extended half{false, std::uint64_t{1} << 63, -64};
  EXPECT_EQ(RoundedProduct(half, smallest), 0.0);
  const Extended justAboveHalf{false, (std::uint64_t{1} << 63) + 1, -64};
  EXPECT_EQ(RoundedProduct(justAboveHalf, smallest), std::ldexp(1.0, -1074));
  EXPECT_EQ(RoundedProduct(Decompose(1e300), Decompose(1e300)), INFINITY);
  EXPECT_EQ(RoundedProduct(Decompose(-1e300), Decompose(1e300)), -INFINITY);
}

// The edges of the normal range, where a result is assembled straight from
// its bits: a round-up that carries into the next binade or into infinity,
// and the smallest normal binade next to the subnormals.
TEST(ExtendedRounding, ProductsAtTheEdgesOfTheNormalRange) {
  const std::uint64_t top = std::uint64_t{1} << 63;
  const Extended one{false, top, -63};
  const Extended onePlusHalfUlp{false, top + (std::uint64_t{1} << 10), -63};    // 1 + 2^-53
  const Extended onePlusQuarterUlp{false, top + (std::uint64_t{1} << 9), -63};  // 1 + 2^-54
  const Extended onePlusUlp{false, top + (std::uint64_t{1} << 11), -63};        // 1 + 2^-52
  const double largest = std::numeric_limits<double>::max();
  const double smallestNormal = std::numeric_limits<double>::min();
  const double largestSubnormal = std::nextafter(smallestNormal, 0.0);
  struct Case {
    int line;
    Extended a, b;
    double expected;
  };
  const Case cases[] = {
      {__LINE__, Decompose(largest), one, largest},
      {__LINE__, Decompose(largest), onePlusQuarterUlp, largest},
      {__LINE__, Decompose(largest), onePlusHalfUlp, INFINITY},  // above the midpoint to 2^1024
      {__LINE__, Decompose(std::nextafter(1.0, 0.0)), onePlusHalfUlp, 1.0},  // 1 - 2^-106 carries to 1
      {__LINE__, Decompose(std::nextafter(1.0, 0.0)), one, std::nextafter(1.0, 0.0)},
      {__LINE__, Decompose(smallestNormal), one, smallestNormal},
      {__LINE__, Decompose(largestSubnormal), one, largestSubnormal},
      {__LINE__, Decompose(largestSubnormal), {false, top, -62}, 2 * largestSubnormal},
      {__LINE__, Decompose(largestSubnormal), onePlusHalfUlp, largestSubnormal},  // below the midpoint
      {__LINE__, Decompose(largestSubnormal), onePlusUlp, smallestNormal},
  };
  for (const Case& row : cases) {
    SCOPED_TRACE(row.line);
    EXPECT_EQ(RoundedProduct(row.a, row.b), row.expected);
    const Extended negated{!row.a.negative, row.a.significand, row.a.exponent};
    EXPECT_EQ(RoundedProduct(negated, row.b), -row.expected);
  }
}

TEST(ExtendedRounding, ProductsToSixtyFourBitsRoundToEven) {
  const std::uint64_t top = std::uint64_t{1} << 63;
  struct Case {
    int line;
    std::uint64_t a, b;
    std::uint64_t significand;
    int exponent;
  };
  const Case cases[] = {
      // (2^63 + 1)^2 = 2^126 + 2^64 + 1: the low half is just above 0.
      {__LINE__, top + 1, top + 1, top + 2, 63},
      // 3 * (2^63 + 1) = 2^64 + 2^63 + 3: one bit beyond 64, a tie to even.
      {__LINE__, top + 1, 3, 0xC000000000000002ULL, 1},
      {__LINE__, top + 3, 3, 0xC000000000000004ULL, 1},
  };
  for (const Case& row : cases) {
    SCOPED_TRACE(row.line);
    const Extended result = RoundedExtendedProduct({false, row.a, 0}, {false, row.b, 0});
    EXPECT_EQ(result.significand, row.significand);
    EXPECT_EQ(result.exponent, row.exponent);
  }
}

TEST(ExtendedRounding, QuotientsRoundOnce) {
  std::mt19937_64 random(54321);
  for (int i = 0; i < 200000; ++i) {
    const std::uint64_t d = RandomSignificand(random);
    // n = d * q for a 54-bit q: every second one exactly at a midpoint.
    std::uint64_t q = (random() >> 10) | (std::uint64_t{1} << 53);
    if (i % 2 == 0) q |= 1U;
    const WordProduct exact = MultiplyWords(d, q);
    // n must fit 64 bits: take its top 64 bits and keep the rest as a
    // nudge that decides which side of the midpoint the quotient lies on.
    const int shift = 64 - std::countl_zero(exact.high);
    const std::uint64_t n = (exact.high << (64 - shift)) | (exact.low >> shift);
    const bool nudged = (exact.low << (64 - shift)) != 0;
    const double expected = RoundBitsToDouble(0, q, 0, false);
    const double got = RoundedQuotient({false, n, shift}, {false, d, 0});
    if (!nudged) {
      ASSERT_EQ(got, expected) << n << " / " << d;
    } else {
      // Truncating n pulled the quotient just below d * q / d.
      ASSERT_LE(got, expected);
      ASSERT_GE(got, std::nextafter(expected, 0.0));
    }
    ASSERT_EQ(RoundedQuotient({true, n, shift}, {false, d, 0}), -got);
  }
}

TEST(ExtendedRounding, OnePlusRoundsOnce) {
  const std::uint64_t top = std::uint64_t{1} << 63;
  struct Case {
    int line;
    Extended m;
    double expected;
  };
  const Case cases[] = {
      // 2^-53 + 2^-66: just above the midpoint between 1 and the next double;
      // rounding to 64 bits first would drop the 2^-66 and tie down to 1.
      {__LINE__, {false, top + (top >> 13), -116}, 1.0 + std::ldexp(1.0, -52)},
      {__LINE__, {false, top, -116}, 1.0},  // exactly the midpoint: even
      {__LINE__, {true, top, -123}, 1.0},
      {__LINE__, {false, top, -65}, 1.25},
      {__LINE__, {true, top, -129}, 1.0},
      // 1 - 2^-54 - 2^-70 lies below the midpoint under 1.
      {__LINE__, {true, top + (top >> 16), -117}, 1.0 - std::ldexp(1.0, -53)},
      {__LINE__, {true, top, -117}, 1.0},  // 1 - 2^-54: midpoint, even is 1
      {__LINE__, {true, top, -1200}, 1.0},
      {__LINE__, {false, 0, 0}, 1.0},
  };
  for (const Case& row : cases) {
    SCOPED_TRACE(row.line);
    EXPECT_EQ(RoundedOnePlus(row.m), row.expected);
  }
}

TEST(ExtendedRounding, PortableWordProductMatchesTheCompilers) {
  std::mt19937_64 random(777);
  for (int i = 0; i < 100000; ++i) {
    const std::uint64_t a = random() >> (i % 64);
    const std::uint64_t b = random();
    const WordProduct portable = MultiplyWordsPortably(a, b);
    const WordProduct native = MultiplyWords(a, b);
    ASSERT_EQ(portable.high, native.high);
    ASSERT_EQ(portable.low, native.low);
  }
  const WordProduct largest = MultiplyWordsPortably(~std::uint64_t{0}, ~std::uint64_t{0});
  EXPECT_EQ(largest.high, ~std::uint64_t{0} - 1);
  EXPECT_EQ(largest.low, 1U);
}

}  // namespace
