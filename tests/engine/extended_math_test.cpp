#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <string>

#include "engine/extended_log_exp.h"
#include "engine/extended_math.h"
#include "engine/extended_rounding.h"
#include "engine_test_support.h"

namespace {

// The power keeps a 64-bit significand between its steps and rounds each
// step to double once; these digits show it (a plain double computation
// differs in the last bit for about one pair in five).
TEST(ExtendedMath, PowerDigits) {
  const engine_test::OutcomeCase cases[] = {
      {__LINE__, "2^10", "1024"},
      {__LINE__, "2^0.5", "1.4142135623730951"},
      {__LINE__, "2^3", "7.999999999999997"},
      {__LINE__, "5^2", "24.999999999999993"},
      {__LINE__, "3^2", "9.000000000000002"},
      {__LINE__, "15^1", "15.000000000000002"},
      {__LINE__, "2^(-1)", "0.5"},
      {__LINE__, "10^400", "inf"},
      {__LINE__, "10^(-400)", "0"},
      // Zero and negative bases.
      {__LINE__, "0^2", "0"},
      {__LINE__, "(-0.0)^2", "0"},
      {__LINE__, "0^0", "1"},
      {__LINE__, "0^(-1)", kMsgDivisionByZero},
      {__LINE__, "(-0.0)^(-2)", kMsgDivisionByZero},
      {__LINE__, "(-2)^2", "4"},
      {__LINE__, "(-2)^3", "-7.999999999999997"},
      {__LINE__, "(-2)^0.5", "nan"},
      {__LINE__, "(-2)^(-1)", "-0.5"},
      {__LINE__, "0^arcsin(2)", "nan"},
  };
  engine_test::ExpectOutcomes(cases);
}

TEST(ExtendedMath, DecimalLogarithmExactAtPowersOfTen) {
  for (int exponent = -300; exponent <= 300; ++exponent) {
    const double value = std::stod("1e" + std::to_string(exponent));
    SCOPED_TRACE(exponent);
    EXPECT_EQ(ExtendedLg(value), static_cast<double>(exponent));
  }
}

TEST(ExtendedMath, LargeAndSpecialArguments) {
  EXPECT_EQ(PowerOfPositiveBase(INFINITY, 2.0), INFINITY);
  EXPECT_EQ(PowerOfPositiveBase(INFINITY, -2.0), 0.0);
  EXPECT_EQ(PowerOfPositiveBase(2.0, INFINITY), INFINITY);
  EXPECT_EQ(PowerOfPositiveBase(2.0, -INFINITY), 0.0);
  EXPECT_EQ(PowerOfPositiveBase(1e300, 1e300), INFINITY);
  EXPECT_EQ(ExtendedExp(INFINITY), INFINITY);
  EXPECT_EQ(ExtendedExp(-INFINITY), 0.0);
  EXPECT_TRUE(std::isnan(ExtendedExp(NAN)));
  EXPECT_EQ(ExtendedLg(INFINITY), INFINITY);
}

}  // namespace

namespace {

bool SameExtended(const Extended& a, const Extended& b) {
  return a.negative == b.negative && a.significand == b.significand &&
         (a.significand == 0 || a.exponent == b.exponent);
}

// The quick attempt, the 128-bit path and the 256-bit path are computations
// of the same correctly rounded value: on arguments of every kind they must agree
// bit for bit (the reference tests compare both with MPFR at length).
TEST(ExtendedMath, FastAndPrecisePathsAgree) {
  std::mt19937_64 random(4242);
  auto unit = [&] { return static_cast<double>(random() >> 11) * 0x1p-53; };
  for (int i = 0; i < 20000; ++i) {
    const double positive[] = {
        std::ldexp(1.0 + unit(), static_cast<int>(random() % 2098) - 1074),  // every binade
        1.0 + std::ldexp(unit() - 0.5, -static_cast<int>(random() % 50) - 6),  // near 1
        std::nextafter(std::ldexp(1.0, static_cast<int>(random() % 200) - 100), 0.0),
    };
    for (double x : positive) {
      SCOPED_TRACE(testing::Message() << std::hexfloat << x);
      const Extended precise = PreciseBinaryLogarithm(x);
      ASSERT_TRUE(SameExtended(BinaryLogarithm(x), precise));
      ASSERT_TRUE(SameExtended(WideBinaryLogarithm(x), precise));
    }
    const double fractions[] = {unit() - 0.5, std::ldexp(unit() - 0.5, -static_cast<int>(random() % 1070)),
                                std::nextafter((static_cast<int>(random() % 129) - 64) / 128.0, unit() - 0.5)};
    for (double f : fractions) {
      SCOPED_TRACE(testing::Message() << std::hexfloat << f);
      const Extended precise = PrecisePowerOfTwoMinusOne(f);
      ASSERT_TRUE(SameExtended(PowerOfTwoMinusOne(f), precise));
      ASSERT_TRUE(SameExtended(WidePowerOfTwoMinusOne(f), precise));
    }
  }
}

// The seams of the reductions: each row of the tables at its first and last
// arguments, the switch to the series around 1 (|x - 1| = 2^-7) and 0
// (|f| = 2^-8), the ends of the range of f, and the binades at both ends.
TEST(ExtendedMath, PathsAgreeAtTheSeamsOfTheReductions) {
  auto expectSameLog = [](double x) {
    for (const double value : {x, std::nextafter(x, 0.0), std::nextafter(x, 4.0)}) {
      SCOPED_TRACE(testing::Message() << std::hexfloat << value);
      ASSERT_TRUE(SameExtended(BinaryLogarithm(value), PreciseBinaryLogarithm(value)));
    }
  };
  auto expectSamePower = [](double f) {
    for (const double value : {f, std::nextafter(f, -1.0), std::nextafter(f, 1.0)}) {
      if (std::fabs(value) > 0.5) continue;
      SCOPED_TRACE(testing::Message() << std::hexfloat << value);
      ASSERT_TRUE(SameExtended(PowerOfTwoMinusOne(value), PrecisePowerOfTwoMinusOne(value)));
    }
  };
  for (int row = 0; row <= 128; ++row) {
    for (const int binade : {-1074, -1022, -1, 0, 1, 1023}) {
      const double x = std::ldexp(1.0 + row / 128.0, binade);
      if (std::isfinite(x)) expectSameLog(x);
    }
    expectSamePower(row / 256.0);
    expectSamePower(-row / 256.0);
  }
  for (const double x : {1.0 + 0x1p-7, 1.0 - 0x1p-7, 3.0, 10.0, 0.1}) expectSameLog(x);
  for (const double f : {0x1p-8, -0x1p-8, 0.5, -0.5, 0x1p-7}) expectSamePower(f);
}

TEST(ExtendedMath, ExactBinaryLogarithms) {
  struct Case {
    int line;
    double x;
    double log2;
  };
  const Case cases[] = {
      {__LINE__, 1.0, 0.0}, {__LINE__, 2.0, 1.0}, {__LINE__, 0.5, -1.0}, {__LINE__, 0x1p-1074, -1074.0},
      {__LINE__, 0x1p1023, 1023.0}, {__LINE__, 0x1p-1022, -1022.0},
  };
  for (const Case& row : cases) {
    SCOPED_TRACE(row.line);
    const Extended log2 = BinaryLogarithm(row.x);
    EXPECT_EQ(log2.negative, row.log2 < 0);
    EXPECT_EQ(std::ldexp(static_cast<double>(log2.significand), log2.exponent), std::fabs(row.log2));
  }
}

// The exponential and the power taken step by step, each step a function of
// its own (compared with MPFR by the reference tests): the engine keeps the
// steps' values in integer registers and decides two roundings at once
// where it can, which must never change a bit.
double ScaledPowerOfTwoBySteps(double t) {
  const double n = std::nearbyint(t);
  const double f = t - n;
  const double mantissa = f == 0.0 ? 1.0 : RoundedOnePlus(PowerOfTwoMinusOne(f));
  return std::ldexp(mantissa, static_cast<int>(std::fmax(std::fmin(n, 100000.0), -100000.0)));
}

double ExpBySteps(double x) { return ScaledPowerOfTwoBySteps(RoundedProduct(Decompose(x), kLog2E)); }

double PowerBySteps(double base, double exponent) {
  const Extended naturalLog = RoundedExtendedProduct(kLn2, BinaryLogarithm(base));
  const double y = RoundedProduct(Decompose(exponent), naturalLog);
  return y == 0.0 ? 1.0 : ExpBySteps(y);
}

TEST(ExtendedMath, PowerAndExpEqualTheirStepsOneByOne) {
  std::mt19937_64 random(777);
  auto unit = [&] { return static_cast<double>(random() >> 11) * 0x1p-53; };
  auto same = [](double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; };
  for (int i = 0; i < 30000; ++i) {
    // Arguments of exp over the whole range, tiny ones included, and t at a
    // half-integer, where the split into n and f ties.
    const double x[] = {(unit() - 0.5) * 1490.0, std::ldexp(unit() - 0.5, -static_cast<int>(random() % 60)),
                        (static_cast<int>(random() % 2001) - 1000 + 0.5) * 0.6931471805599453};
    for (const double value : x) {
      SCOPED_TRACE(testing::Message() << std::hexfloat << value);
      ASSERT_TRUE(same(ExtendedExp(value), ExpBySteps(value)));
    }
    // Small integer bases and exponents (the common case), powers of two,
    // and bases and exponents of every size.
    const double base[] = {static_cast<double>(random() % 40 + 2), std::ldexp(1.0, static_cast<int>(random() % 80) - 40),
                           std::ldexp(0.5 + unit(), static_cast<int>(random() % 200) - 100)};
    const double exponent[] = {static_cast<double>(static_cast<int>(random() % 41) - 20), (unit() - 0.5) * 64.0,
                               std::ldexp(unit() - 0.5, static_cast<int>(random() % 40) - 30)};
    for (const double a : base) {
      for (const double b : exponent) {
        if (b == 0.0) continue;
        SCOPED_TRACE(testing::Message() << std::hexfloat << a << " ^ " << b);
        ASSERT_TRUE(same(PowerOfPositiveBase(a, b), PowerBySteps(a, b)));
      }
    }
  }
}

}  // namespace
