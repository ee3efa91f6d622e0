#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

#include "numerics/numerics.h"
#include "tests/support/case_table.h"

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Compares bits, so that -0.0 and 0.0 differ; every NaN is alike.
void ExpectSameDouble(double actual, double expected) {
  if (std::isnan(expected)) {
    EXPECT_TRUE(std::isnan(actual)) << std::hexfloat << actual;
    return;
  }
  EXPECT_EQ(std::bit_cast<uint64_t>(actual), std::bit_cast<uint64_t>(expected))
      << std::hexfloat << actual << " instead of " << expected;
}

struct UnaryCase {
  int line;
  double (*function)(double);
  double argument;
  double expected;  // the double nearest the true value
};

// Correctly rounded values (MPFR), among them results that are exactly
// doubles, the edges of overflow and underflow, and arguments next to 1.
TEST(ExpLog, CorrectlyRoundedValues) {
  const UnaryCase cases[] = {
      {__LINE__, numerics::Exponential, 1.0, 2.718281828459045},
      {__LINE__, numerics::Exponential, 0.0, 1.0},
      {__LINE__, numerics::Exponential, -0.0, 1.0},
      {__LINE__, numerics::Exponential, 709.782712893384, 1.7976931348622732e308},
      {__LINE__, numerics::Exponential, 709.79, kInf},
      {__LINE__, numerics::Exponential, -745.1332191019411, 0x1p-1074},
      {__LINE__, numerics::Exponential, -745.1332191019412, 0.0},
      {__LINE__, numerics::Exponential, -708.5, 0x0.e6cf6d08897acp-1022},
      {__LINE__, numerics::Exponential, 0x1p-54, 1.0},
      {__LINE__, numerics::Exponential, -0x1p-54, 1.0},
      {__LINE__, numerics::Exponential, 0x1p-53, 0x1.0000000000001p0},
      {__LINE__, numerics::Exponential, kInf, kInf},
      {__LINE__, numerics::Exponential, -kInf, 0.0},
      {__LINE__, numerics::NaturalLogarithm, 2.0, 0.6931471805599453},
      {__LINE__, numerics::NaturalLogarithm, 10.0, 2.302585092994046},
      {__LINE__, numerics::NaturalLogarithm, 1.0, 0.0},
      {__LINE__, numerics::NaturalLogarithm, 2.718281828459045, 1.0},
      {__LINE__, numerics::NaturalLogarithm, 0x1.0000000000001p0, 0x1.fffffffffffffp-53},
      {__LINE__, numerics::NaturalLogarithm, 0x1.fffffffffffffp-1, -0x1.0000000000000p-53},
      {__LINE__, numerics::NaturalLogarithm, 0x1p-1074, -744.4400719213812},
      {__LINE__, numerics::NaturalLogarithm, std::numeric_limits<double>::max(), 709.782712893384},
      {__LINE__, numerics::NaturalLogarithm, 0.0, -kInf},
      {__LINE__, numerics::NaturalLogarithm, -1.0, kNaN},
      {__LINE__, numerics::DecimalLogarithm, 1000.0, 3.0},
      {__LINE__, numerics::DecimalLogarithm, 1e-5, -5.0},
      {__LINE__, numerics::DecimalLogarithm, 1e22, 22.0},
      {__LINE__, numerics::DecimalLogarithm, 1e23, 23.0},
      {__LINE__, numerics::DecimalLogarithm, 1e36, 36.0},
      {__LINE__, numerics::DecimalLogarithm, 2.0, 0.3010299956639812},
      {__LINE__, numerics::DecimalLogarithm, 9999999999999997952.0, 19.0},
      {__LINE__, numerics::DecimalLogarithm, 0x1p-1074, -323.3062153431158},
  };
  for (const UnaryCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "case at line " << c.line);
    ExpectSameDouble(c.function(c.argument), c.expected);
  }
}

struct PowerCase {
  int line;
  double base;
  double exponent;
  double expected;
};

// Exact results stay exact, an exact midpoint goes to even, and the
// special operands keep the calculator's meaning: the real power of a
// negative base for an integer exponent only, NaN for 1^inf and inf^0.
TEST(ExpLog, PowerValues) {
  const PowerCase cases[] = {
      {__LINE__, 2.0, 3.0, 8.0},
      {__LINE__, -2.0, 3.0, -8.0},
      {__LINE__, -2.0, 2.0, 4.0},
      {__LINE__, 5.0, 2.0, 25.0},
      {__LINE__, 10.0, 22.0, 1e22},
      {__LINE__, 10.0, 23.0, 1e23},
      {__LINE__, 10.0, 308.0, 1e308},
      {__LINE__, 10.0, -2.0, 0.01},
      {__LINE__, 10.0, 9.0, 1e9},
      {__LINE__, 2.0, 0.5, 1.4142135623730951},
      {__LINE__, 4.0, 1.5, 8.0},
      {__LINE__, 0.5, 1074.0, 0x1p-1074},
      {__LINE__, 0.5, 1075.0, 0.0},
      {__LINE__, 2.0, 1024.0, kInf},
      {__LINE__, 0x1.0ce003654d04bp+922, 0x1.24e7bfa47d6bep+0, kInf},  // far beyond the largest double
      {__LINE__, 0x1.d4ac763c9802p+633, 0x1.abb1847b2bdbp+0, kInf},
      {__LINE__, 3.0, 40.0, 12157665459056928768.0},
      {__LINE__, 134217727.0, 2.0, 18014398241046528.0},  // 2^54 - 2^28 + 1, a midpoint
      {__LINE__, -134217727.0, 3.0, -0x1.ffffff4000001p80},
      {__LINE__, 262143.0, 3.0, 0x1.fffe80006p+53},  // 2^54 - 3 * 2^36 + 3 * 2^18 - 1, a midpoint: to even
      {__LINE__, 3.0, -1.0, 0x1.5555555555555p-2},
      {__LINE__, 10.0, -2.0, 0.01},
      {__LINE__, 0x1.8p-537, 2.0, 0x1p-1073},  // 2.25 * 2^-1074 rounds to the subnormal 2 * 2^-1074
      {__LINE__, 0x1p-1074, -1.0, kInf},
      {__LINE__, 0.0, 2.0, 0.0},
      {__LINE__, 0.0, 0.0, 1.0},
      {__LINE__, -0.0, 0.0, 1.0},
      {__LINE__, 0.0, kNaN, kNaN},
      {__LINE__, -2.0, 0.5, kNaN},
      {__LINE__, -2.0, kInf, kNaN},
      {__LINE__, 1.0, kInf, kNaN},
      {__LINE__, kInf, 0.0, kNaN},
      {__LINE__, kInf, -1.0, 0.0},
      {__LINE__, 2.0, kInf, kInf},
      {__LINE__, 0.5, kInf, 0.0},
      {__LINE__, 2.0, -kInf, 0.0},
      {__LINE__, -kInf, 3.0, -kInf},
      {__LINE__, kNaN, 0.0, kNaN},
      {__LINE__, 7.0, 0.0, 1.0},
  };
  for (const PowerCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "case at line " << c.line);
    ExpectSameDouble(numerics::Power(c.base, c.exponent), c.expected);
  }
}

// b^n for the bases people try first: the double nearest the exact integer,
// which a 128-bit integer holds exactly (its conversion rounds to nearest).
TEST(ExpLog, IntegerPowersAreTheNearestDouble) {
  for (const int base : {2, 3, 5, 7, 10, 16}) {
    __extension__ using Unsigned128 = unsigned __int128;
    Unsigned128 exact = 1;
    for (int n = 1; n <= 31; ++n) {
      exact *= static_cast<unsigned>(base);
      SCOPED_TRACE(testing::Message() << base << "^" << n);
      ExpectSameDouble(numerics::Power(base, n), static_cast<double>(exact));
      ExpectSameDouble(numerics::Power(-base, n), (n % 2 != 0 ? -1.0 : 1.0) * static_cast<double>(exact));
    }
  }
}

}  // namespace
