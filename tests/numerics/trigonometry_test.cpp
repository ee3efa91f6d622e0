#include "numerics/numerics.h"
#include "numerics/testing.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

#include "tests/support/case_table.h"

namespace {

using Function = double (*)(double);

struct ValueCase {
  int line;
  Function function;
  double argument;
  double expected;  // the double nearest the true value
};

// Compares bits, so that -0.0 and 0.0 differ.
void ExpectSameDouble(double actual, double expected) {
  EXPECT_EQ(std::bit_cast<uint64_t>(actual), std::bit_cast<uint64_t>(expected))
      << std::hexfloat << actual << " instead of " << expected;
}

// Correctly rounded values (from MPFR). Among them the arguments nearest a
// multiple of pi/2 (6381956970095103 * 2^797), the largest double, 1e22, the
// values where the Windows build's results differed, and the ends of the
// ranges where a function returns its argument or a constant.
TEST(Trigonometry, CorrectlyRoundedValues) {
  const ValueCase cases[] = {
      {__LINE__, numerics::Sine, 0x1p-1, 0x1.eaee8744b05fp-2},
      {__LINE__, numerics::Sine, -0x1p+0, -0x1.aed548f090ceep-1},
      {__LINE__, numerics::Sine, 0x1.921fb54442d18p+1, 0x1.1a62633145c07p-53},
      {__LINE__, numerics::Sine, 1e22, -0x1.b453ab76bf397p-1},
      {__LINE__, numerics::Sine, 63102.0, -0x1.ec19f657f0c92p-6},
      {__LINE__, numerics::Sine, 5.0, -0x1.eaf81f5e09933p-1},
      {__LINE__, numerics::Sine, 0x1.6ac5b262ca1ffp+849, 0x1p+0},
      {__LINE__, numerics::Sine, 0x1.fffffffffffffp+1023, 0x1.452fc98b34e97p-8},
      {__LINE__, numerics::Sine, 0x1p-27, 0x1p-27},
      {__LINE__, numerics::Sine, 1e-300, 1e-300},
      {__LINE__, numerics::Cosine, 0x1p-1, 0x1.c1528065b7d5p-1},
      {__LINE__, numerics::Cosine, 4005689863.0, 0x1.7baaf438106b6p-2},
      {__LINE__, numerics::Cosine, 0x1.921fb54442d18p+0, 0x1.1a62633145c07p-54},
      {__LINE__, numerics::Cosine, 1e22, 0x1.0be2cef01c8f4p-1},
      {__LINE__, numerics::Cosine, 0x1.fffffffffffffp+1023, -0x1.fffe62ecfab75p-1},
      {__LINE__, numerics::Cosine, 0x1.6ac5b262ca1ffp+849, -0x1.14ae72e6ba22fp-61},
      {__LINE__, numerics::Cosine, 0x1.fffffffffffffp-28, 0x1p+0},
      {__LINE__, numerics::Tangent, 0x1.921fb54442d18p+0, 0x1.d02967c31cdb5p+53},
      {__LINE__, numerics::Tangent, 0x1.921fb54442d18p+1, -0x1.1a62633145c07p-53},
      {__LINE__, numerics::Tangent, 1e22, -0x1.a0f79c1b6b257p+0},
      {__LINE__, numerics::Tangent, -0x1.eaf81f5e09933p-1, -0x1.6cd2d5ab3396fp+0},
      {__LINE__, numerics::Tangent, 0x1.fffffffffffffp-28, 0x1.fffffffffffffp-28},
      {__LINE__, numerics::Tangent, 0x1.6ac5b262ca1ffp+849, -0x1.d9ba9a7975636p+60},
      {__LINE__, numerics::Tangent, 255710759300.0, -0x1.f44234efe6659p-1},
      {__LINE__, numerics::Arctangent, 1.0, 0x1.921fb54442d18p-1},
      {__LINE__, numerics::Arctangent, -1.0, -0x1.921fb54442d18p-1},
      {__LINE__, numerics::Arctangent, 0.5, 0x1.dac670561bb4fp-2},
      {__LINE__, numerics::Arctangent, 1e-10, 1e-10},
      {__LINE__, numerics::Arctangent, 7.0, 0x1.6dcc57bb565fdp+0},
      {__LINE__, numerics::Arctangent, 0x1.fffffffffffffp+52, 0x1.921fb54442d18p+0},
      {__LINE__, numerics::Arctangent, 0x1p+53, 0x1.921fb54442d18p+0},
      {__LINE__, numerics::Arctangent, 1e300, 0x1.921fb54442d18p+0},
      {__LINE__, numerics::Arcsine, 0.5, 0x1.0c152382d7366p-1},
      {__LINE__, numerics::Arcsine, -0.5, -0x1.0c152382d7366p-1},
      {__LINE__, numerics::Arcsine, 0.9, 0x1.1ea93705fa172p+0},
      {__LINE__, numerics::Arcsine, 0x1.fffffffffffffp-1, 0x1.921fb50442d18p+0},
      {__LINE__, numerics::Arcsine, -0x1.fffffffffffffp-1, -0x1.921fb50442d18p+0},
      {__LINE__, numerics::Arcsine, 1e-20, 1e-20},
      {__LINE__, numerics::Arccosine, 0.5, 0x1.0c152382d7366p+0},
      {__LINE__, numerics::Arccosine, -0.5, 0x1.0c152382d7366p+1},
      {__LINE__, numerics::Arccosine, 0x1.fffffffffffffp-1, 0x1p-26},
      {__LINE__, numerics::Arccosine, -0x1.fffffffffffffp-1, 0x1.921fb52442d18p+1},
      {__LINE__, numerics::Arccosine, 1e-20, 0x1.921fb54442d18p+0},
  };
  ForEachCase(cases, [](const ValueCase& c) { ExpectSameDouble(c.function(c.argument), c.expected); });
}

// Arguments whose fast-path result lies too near the middle between two
// doubles to round safely: the slow path decides them.
TEST(Trigonometry, SlowPathDecidesTheCloseCases) {
  const ValueCase cases[] = {
      {__LINE__, numerics::Sine, 0x1.262681334b20fp+6, -0x1.eaa57e659a543p-1},
      {__LINE__, numerics::Sine, 0x1.d3e1be63120d8p+8, 0x1.b5ec8c77d8b1p-3},
      {__LINE__, numerics::Cosine, 0x1.3d3fd8e3fb34dp+9, 0x1.fd4a8fbb04476p-1},
      {__LINE__, numerics::Cosine, 0x1.3fd64d5ad3fa1p+10, -0x1.80d616e391b8p-1},
      {__LINE__, numerics::Tangent, 0x1.41516fdc70d17p+8, 0x1.32f3f85d1e94p+0},
      {__LINE__, numerics::Tangent, 0x1.aa000a516c39fp+8, -0x1.89af228136515p+1},
      {__LINE__, numerics::Arctangent, 0x1.b8ef8fed6901fp+7, 0x1.90f6738fa62aap+0},
      {__LINE__, numerics::Arctangent, 0x1.6f03b1171db36p+8, 0x1.916d24b0e4d71p+0},
      {__LINE__, numerics::Arcsine, 0x1.e8f3cf3b517e2p-1, 0x1.450522ba264bcp+0},
      {__LINE__, numerics::Arcsine, 0x1.9b860389441eep-2, 0x1.a77e2e34c3048p-2},
      {__LINE__, numerics::Arccosine, 0x1.82b7f795be2p-2, 0x1.2efc1565852c1p+0},
      {__LINE__, numerics::Arccosine, 0x1.450cdca2416fp-2, 0x1.3f6e43d3338a7p+0},
  };
  ForEachCase(cases, [](const ValueCase& c) {
    const unsigned long long before = numerics::testing::SlowPathCount();
    ExpectSameDouble(c.function(c.argument), c.expected);
    EXPECT_EQ(numerics::testing::SlowPathCount(), before + 1);
  });
}

// Zeros keep their sign where the function is odd; infinities give NaN for
// sin, cos and tan and pi/2 for atan; outside [-1, 1] asin and acos give NaN.
TEST(Trigonometry, ZerosInfinitiesAndNaN) {
  constexpr double kInf = std::numeric_limits<double>::infinity();
  constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
  constexpr double kHalfPi = 0x1.921fb54442d18p+0;
  const ValueCase cases[] = {
      {__LINE__, numerics::Sine, 0.0, 0.0},
      {__LINE__, numerics::Sine, -0.0, -0.0},
      {__LINE__, numerics::Sine, kInf, kNaN},
      {__LINE__, numerics::Sine, -kInf, kNaN},
      {__LINE__, numerics::Sine, kNaN, kNaN},
      {__LINE__, numerics::Cosine, -0.0, 1.0},
      {__LINE__, numerics::Cosine, kInf, kNaN},
      {__LINE__, numerics::Cosine, kNaN, kNaN},
      {__LINE__, numerics::Tangent, -0.0, -0.0},
      {__LINE__, numerics::Tangent, -kInf, kNaN},
      {__LINE__, numerics::Tangent, kNaN, kNaN},
      {__LINE__, numerics::Arctangent, -0.0, -0.0},
      {__LINE__, numerics::Arctangent, kInf, kHalfPi},
      {__LINE__, numerics::Arctangent, -kInf, -kHalfPi},
      {__LINE__, numerics::Arctangent, kNaN, kNaN},
      {__LINE__, numerics::Arcsine, -0.0, -0.0},
      {__LINE__, numerics::Arcsine, 1.0, kHalfPi},
      {__LINE__, numerics::Arcsine, -1.0, -kHalfPi},
      {__LINE__, numerics::Arcsine, 0x1.0000000000001p+0, kNaN},
      {__LINE__, numerics::Arcsine, -kInf, kNaN},
      {__LINE__, numerics::Arcsine, kNaN, kNaN},
      {__LINE__, numerics::Arccosine, 1.0, 0.0},
      {__LINE__, numerics::Arccosine, -1.0, 0x1.921fb54442d18p+1},
      {__LINE__, numerics::Arccosine, -0.0, kHalfPi},
      {__LINE__, numerics::Arccosine, 2.0, kNaN},
      {__LINE__, numerics::Arccosine, kInf, kNaN},
      {__LINE__, numerics::Arccosine, kNaN, kNaN},
  };
  ForEachCase(cases, [](const ValueCase& c) {
    const double actual = c.function(c.argument);
    if (std::isnan(c.expected)) {
      EXPECT_TRUE(std::isnan(actual)) << actual;
    } else {
      ExpectSameDouble(actual, c.expected);
    }
  });
}

}  // namespace
