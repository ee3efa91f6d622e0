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
      // Beside 3/4, where asin and acos change from the table to the
      // half-angle square root, beside 1/2, and far from it on either side.
      {__LINE__, numerics::Arcsine, 0x1.fffffffffffffp-2, 0x1.0c152382d7365p-1},
      {__LINE__, numerics::Arcsine, 0x1.0000000000001p-1, 0x1.0c152382d7367p-1},
      {__LINE__, numerics::Arcsine, 0x1.fep-2, 0x1.0aedba3221c1dp-1},
      {__LINE__, numerics::Arcsine, 0.75, 0x1.b235315c680dcp-1},
      {__LINE__, numerics::Arcsine, 0x1.7fp-1, 0x1.b0b2cd6b287dcp-1},
      {__LINE__, numerics::Arcsine, -0.99, -0x1.6de3c6f33d51dp+0},
      {__LINE__, numerics::Arccosine, 0x1.0000000000001p-1, 0x1.0c152382d7365p+0},
      {__LINE__, numerics::Arccosine, -0x1.0000000000001p-1, 0x1.0c152382d7366p+1},
      {__LINE__, numerics::Arccosine, 0.75, 0x1.720a392c1d955p-1},
      {__LINE__, numerics::Arccosine, 0x1.7fp-1, 0x1.738c9d1d5d254p-1},
      {__LINE__, numerics::Arccosine, -0.99, 0x1.8001be1bc011bp+1},
      {__LINE__, numerics::Arccosine, 0x1p-1074, 0x1.921fb54442d18p+0},
      {__LINE__, numerics::Arccosine, -0x1p-60, 0x1.921fb54442d18p+0},
  };
  ForEachCase(cases, [](const ValueCase& c) { ExpectSameDouble(c.function(c.argument), c.expected); });
}

// The inverse functions on both sides of each point where the fast path
// changes its formula (|x| = 3/4 for asin and acos, |x| = 1 for atan and
// acot) and in each of the four cases of acos and acot by side and sign:
// every folding has its own constant and factor. Values from MPFR.
TEST(Trigonometry, InverseFunctionsOnEitherSideOfTheirFolds) {
  const ValueCase cases[] = {
      {__LINE__, numerics::Arcsine, 0x1.8p-1, 0x1.b235315c680dcp-1},
      {__LINE__, numerics::Arcsine, 0x1.8000000000001p-1, 0x1.b235315c680dep-1},
      {__LINE__, numerics::Arcsine, -0x1.8p-1, -0x1.b235315c680dcp-1},
      {__LINE__, numerics::Arcsine, -0x1.8000000000001p-1, -0x1.b235315c680dep-1},
      {__LINE__, numerics::Arccosine, 0x1.7ffffffffffffp-1, 0x1.720a392c1d956p-1},
      {__LINE__, numerics::Arccosine, 0x1.8000000000001p-1, 0x1.720a392c1d953p-1},
      {__LINE__, numerics::Arccosine, -0x1.7ffffffffffffp-1, 0x1.359d26f93b6c3p+1},
      {__LINE__, numerics::Arccosine, -0x1.8000000000001p-1, 0x1.359d26f93b6c4p+1},
      {__LINE__, numerics::Arctangent, 0x1.fffffffffffffp-1, 0x1.921fb54442d18p-1},
      {__LINE__, numerics::Arctangent, 0x1.0000000000001p+0, 0x1.921fb54442d19p-1},
      {__LINE__, numerics::Arctangent, -0x1.0000000000001p+0, -0x1.921fb54442d19p-1},
      {__LINE__, numerics::Arctangent, -0x1p+1, -0x1.1b6e192ebbe44p+0},
      {__LINE__, numerics::Arccotangent, 0x1.fffffffffffffp-1, 0x1.921fb54442d19p-1},
      {__LINE__, numerics::Arccotangent, 0x1.0000000000001p+0, 0x1.921fb54442d17p-1},
      {__LINE__, numerics::Arccotangent, -0x1.fffffffffffffp-1, 0x1.2d97c7f3321d2p+1},
      {__LINE__, numerics::Arccotangent, -0x1.0000000000001p+0, 0x1.2d97c7f3321d2p+1},
      {__LINE__, numerics::Arccotangent, 0x1p+1, 0x1.dac670561bb4fp-2},
      {__LINE__, numerics::Arccotangent, -0x1p+1, 0x1.56c6e7397f5aep+1},
  };
  ForEachCase(cases, [](const ValueCase& c) { ExpectSameDouble(c.function(c.argument), c.expected); });
}

// asin and acos above 3/4, where the fast path takes table points that come
// closer together as 1 comes nearer (32 in each binade of 1 - |x|), and acos
// of a positive argument starts from acos of the point: at the first of
// those points, on both sides of two binades' edges (7/8 and 15/16) and of
// 31/32, beyond which the half-angle square root takes over, for both
// signs. Values from MPFR.
TEST(Trigonometry, InverseSinesAndCosinesAtTheTablePointsNearOne) {
  const ValueCase cases[] = {
      {__LINE__, numerics::Arcsine, 0x1.effffffffffffp-1, 0x1.51f4bd13f858fp+0},
      {__LINE__, numerics::Arccosine, 0x1.effffffffffffp-1, 0x1.00abe0c129e26p-2},
      {__LINE__, numerics::Arcsine, -0x1.effffffffffffp-1, -0x1.51f4bd13f858fp+0},
      {__LINE__, numerics::Arccosine, -0x1.effffffffffffp-1, 0x1.720a392c1d954p+1},
      {__LINE__, numerics::Arcsine, 0x1.fp-1, 0x1.51f4bd13f8591p+0},
      {__LINE__, numerics::Arccosine, 0x1.fp-1, 0x1.00abe0c129e1ep-2},
      {__LINE__, numerics::Arcsine, -0x1.fp-1, -0x1.51f4bd13f8591p+0},
      {__LINE__, numerics::Arccosine, -0x1.fp-1, 0x1.720a392c1d955p+1},
      {__LINE__, numerics::Arcsine, 0x1.f000000000001p-1, 0x1.51f4bd13f8593p+0},
      {__LINE__, numerics::Arccosine, 0x1.f000000000001p-1, 0x1.00abe0c129e16p-2},
      {__LINE__, numerics::Arcsine, -0x1.f000000000001p-1, -0x1.51f4bd13f8593p+0},
      {__LINE__, numerics::Arccosine, -0x1.f000000000001p-1, 0x1.720a392c1d956p+1},
      {__LINE__, numerics::Arcsine, 0x1.bffffffffffffp-1, 0x1.10c066d3e6931p+0},
      {__LINE__, numerics::Arccosine, 0x1.bffffffffffffp-1, 0x1.02be9ce0b87cfp-1},
      {__LINE__, numerics::Arccosine, -0x1.bffffffffffffp-1, 0x1.51700e0c14b24p+1},
      {__LINE__, numerics::Arcsine, 0x1.cp-1, 0x1.10c066d3e6932p+0},
      {__LINE__, numerics::Arccosine, 0x1.cp-1, 0x1.02be9ce0b87cdp-1},
      {__LINE__, numerics::Arccosine, -0x1.cp-1, 0x1.51700e0c14b25p+1},
      {__LINE__, numerics::Arcsine, 0x1.c000000000001p-1, 0x1.10c066d3e6933p+0},
      {__LINE__, numerics::Arccosine, 0x1.c000000000001p-1, 0x1.02be9ce0b87cbp-1},
      {__LINE__, numerics::Arccosine, -0x1.c000000000001p-1, 0x1.51700e0c14b26p+1},
      {__LINE__, numerics::Arcsine, 0x1.dffffffffffffp-1, 0x1.3722d2feb24c6p+0},
      {__LINE__, numerics::Arccosine, 0x1.dffffffffffffp-1, 0x1.6bf3891642147p-2},
      {__LINE__, numerics::Arccosine, -0x1.dffffffffffffp-1, 0x1.64a144217a8efp+1},
      {__LINE__, numerics::Arcsine, 0x1.ep-1, 0x1.3722d2feb24c8p+0},
      {__LINE__, numerics::Arccosine, 0x1.ep-1, 0x1.6bf3891642142p-2},
      {__LINE__, numerics::Arccosine, -0x1.ep-1, 0x1.64a144217a8fp+1},
      {__LINE__, numerics::Arcsine, 0x1.e000000000001p-1, 0x1.3722d2feb24c9p+0},
      {__LINE__, numerics::Arccosine, 0x1.e000000000001p-1, 0x1.6bf389164213cp-2},
      {__LINE__, numerics::Arccosine, -0x1.e000000000001p-1, 0x1.64a144217a8f1p+1},
      {__LINE__, numerics::Arcsine, 0x1.81p-1, 0x1.b3b8e10e12d3cp-1},
      {__LINE__, numerics::Arccosine, 0x1.81p-1, 0x1.7086897a72cf5p-1},
  };
  ForEachCase(cases, [](const ValueCase& c) { ExpectSameDouble(c.function(c.argument), c.expected); });
}

// The reciprocal functions and acot, correctly rounded (from MPFR): at the
// doubles nearest pi/2, pi and 3pi/2 (the poles the calculator does not
// refuse give finite values), the argument nearest a multiple of pi/2, the
// largest double, and where 1/x takes over near 0: cot and csc of x below
// 2^-1024 overflow, acot of a large x is a subnormal 1/x.
TEST(Trigonometry, ReciprocalFunctionsAndArccotangent) {
  constexpr double kInf = std::numeric_limits<double>::infinity();
  const ValueCase cases[] = {
      {__LINE__, numerics::Cotangent, 1.0, 0x1.48c05d04e1cfep-1},
      {__LINE__, numerics::Cotangent, -0.5, -0x1.d49ad7e47c0a3p+0},
      {__LINE__, numerics::Cotangent, 0x1.921fb54442d18p+0, 0x1.1a62633145c07p-54},
      {__LINE__, numerics::Cotangent, 0x1.921fb54442d18p+1, -0x1.d02967c31cdb5p+52},
      {__LINE__, numerics::Cotangent, 1e22, -0x1.3a5896abad502p-1},
      {__LINE__, numerics::Cotangent, 0x1.fffffffffffffp+1023, -0x1.930fdeac14c4cp+7},
      {__LINE__, numerics::Cotangent, 0x1.6ac5b262ca1ffp+849, -0x1.14ae72e6ba22fp-61},
      {__LINE__, numerics::Cotangent, 1e-10, 0x1.2a05f2p+33},
      {__LINE__, numerics::Cotangent, 0x1p-54, 0x1p+54},
      {__LINE__, numerics::Cotangent, 0x1.0000000000001p-54, 0x1.ffffffffffffep+53},
      {__LINE__, numerics::Cotangent, 0x1p-1024, kInf},
      {__LINE__, numerics::Cotangent, 0x1.0000000000004p-1024, 0x1.ffffffffffff8p+1023},
      {__LINE__, numerics::Cotangent, -0x1.0000000000004p-1024, -0x1.ffffffffffff8p+1023},
      {__LINE__, numerics::Cotangent, 0x1p-1074, kInf},
      {__LINE__, numerics::Secant, 1.0, 0x1.d9cf0f125cc2ap+0},
      {__LINE__, numerics::Secant, 0x1.921fb54442d18p+0, 0x1.d02967c31cdb5p+53},
      {__LINE__, numerics::Secant, 0x1.921fb54442d18p+1, -1.0},
      {__LINE__, numerics::Secant, 0x1.921fb54442d18p+2, 1.0},
      {__LINE__, numerics::Secant, 1e22, 0x1.e948662e9d66bp+0},
      {__LINE__, numerics::Secant, 0x1.6ac5b262ca1ffp+849, -0x1.d9ba9a7975636p+60},
      {__LINE__, numerics::Secant, 0x1.fffffffffffffp+1023, -0x1.0000ce8a29467p+0},
      {__LINE__, numerics::Secant, 0x1p-27, 1.0},
      {__LINE__, numerics::Cosecant, 1.0, 0x1.303aa9620b224p+0},
      {__LINE__, numerics::Cosecant, 0x1.921fb54442d18p+0, 1.0},
      {__LINE__, numerics::Cosecant, 0x1.921fb54442d18p+1, 0x1.d02967c31cdb5p+52},
      {__LINE__, numerics::Cosecant, 0x1.2d97c7f3321d2p+2, -1.0},
      {__LINE__, numerics::Cosecant, 1e-300, 0x1.7e43c8800759bp+996},
      {__LINE__, numerics::Cosecant, 0x1p-1074, kInf},
      {__LINE__, numerics::Cosecant, 0x1.6ac5b262ca1ffp+849, 1.0},
      {__LINE__, numerics::Arccotangent, 1.0, 0x1.921fb54442d18p-1},
      {__LINE__, numerics::Arccotangent, -1.0, 0x1.2d97c7f3321d2p+1},
      {__LINE__, numerics::Arccotangent, 0.5, 0x1.1b6e192ebbe44p+0},
      {__LINE__, numerics::Arccotangent, -0.5, 0x1.0468a8ace4df6p+1},
      {__LINE__, numerics::Arccotangent, 1e10, 0x1.b7cdfd9d7bdbbp-34},
      {__LINE__, numerics::Arccotangent, 1e16, 0x1.cd2b297d889bcp-54},
      {__LINE__, numerics::Arccotangent, -1e16, 0x1.921fb54442d18p+1},
      {__LINE__, numerics::Arccotangent, 0x1p+54, 0x1p-54},
      {__LINE__, numerics::Arccotangent, 0x1.fffffffffffffp+1023, 0x0.4p-1022},
      {__LINE__, numerics::Arccotangent, 1e-20, 0x1.921fb54442d18p+0},
      {__LINE__, numerics::Arccotangent, -0x1p-55, 0x1.921fb54442d18p+0},
  };
  ForEachCase(cases, [](const ValueCase& c) { ExpectSameDouble(c.function(c.argument), c.expected); });
}

// tan and cot from the table of tan(i/128) (from MPFR): on table points and
// halfway between them, at the first point (where the table's value is 0)
// and the last ones (the remainder may reach a little beyond pi/4), and in
// every quadrant, where the two take each other's quotient.
TEST(Trigonometry, TangentAndCotangentAroundTheirTablePoints) {
  const ValueCase cases[] = {
      {__LINE__, numerics::Tangent, 0x1p-8, 0x1.0000555577778p-8},
      {__LINE__, numerics::Cotangent, 0x1p-8, 0x1.ffff555549f4ap+7},
      {__LINE__, numerics::Tangent, 0x1.0000000000001p-8, 0x1.0000555577779p-8},
      {__LINE__, numerics::Cotangent, 0x1.0000000000001p-8, 0x1.ffff555549f48p+7},
      {__LINE__, numerics::Tangent, 0x1.fffffffffffffp-9, 0x1.0000555577778p-8},
      {__LINE__, numerics::Cotangent, 0x1.fffffffffffffp-9, 0x1.ffff555549f4bp+7},
      {__LINE__, numerics::Tangent, 0x1.8p-7, 0x1.80048010336e3p-7},
      {__LINE__, numerics::Cotangent, 0x1.8p-7, 0x1.55515552eeecep+6},
      {__LINE__, numerics::Tangent, 0x1p-7, 0x1.00015557777afp-7},
      {__LINE__, numerics::Cotangent, 0x1p-7, 0x1.fffd55549f49bp+6},
      {__LINE__, numerics::Tangent, 0x1.92p-1, 0x1.ffc099648e404p-1},
      {__LINE__, numerics::Cotangent, 0x1.92p-1, 0x1.001fb73b1fc81p+0},
      {__LINE__, numerics::Tangent, 0x1.94p-1, 0x1.01e20f7e06e4bp+0},
      {__LINE__, numerics::Cotangent, 0x1.94p-1, 0x1.fc42eb3ef116p-1},
      {__LINE__, numerics::Tangent, 0x1.921fb54442d18p-1, 0x1.fffffffffffffp-1},
      {__LINE__, numerics::Cotangent, 0x1.921fb54442d18p-1, 0x1p+0},
      {__LINE__, numerics::Tangent, 0x1.921fb54442d19p-1, 0x1.0000000000001p+0},
      {__LINE__, numerics::Cotangent, 0x1.921fb54442d19p-1, 0x1.fffffffffffffp-1},
      {__LINE__, numerics::Tangent, 0x1.93p-1, 0x1.00e0ad36afd0ep+0},
      {__LINE__, numerics::Cotangent, 0x1.93p-1, 0x1.fe402e98dacb4p-1},
      {__LINE__, numerics::Tangent, 0x1.9p-1, 0x1.fbc511df5917fp-1},
      {__LINE__, numerics::Cotangent, 0x1.9p-1, 0x1.0221f9db45cd1p+0},
      {__LINE__, numerics::Tangent, 0x1p+1, -0x1.17af62e0950f8p+1},
      {__LINE__, numerics::Cotangent, 0x1p+1, -0x1.d4a42e92faa4ep-2},
      {__LINE__, numerics::Tangent, -0x1p+1, 0x1.17af62e0950f8p+1},
      {__LINE__, numerics::Cotangent, -0x1p+1, 0x1.d4a42e92faa4ep-2},
      {__LINE__, numerics::Tangent, 0x1p+2, 0x1.2866f9be4de13p+0},
      {__LINE__, numerics::Cotangent, 0x1p+2, 0x1.ba35ba1c6b75dp-1},
      {__LINE__, numerics::Tangent, -0x1p+2, -0x1.2866f9be4de13p+0},
      {__LINE__, numerics::Cotangent, -0x1p+2, -0x1.ba35ba1c6b75dp-1},
      {__LINE__, numerics::Tangent, 0x1.2d97c7f3321d2p+1, -0x1.0000000000001p+0},
      {__LINE__, numerics::Cotangent, 0x1.2d97c7f3321d2p+1, -0x1.ffffffffffffep-1},
      {__LINE__, numerics::Tangent, 0x1.2d97c7f3321d3p+1, -0x1.ffffffffffffap-1},
      {__LINE__, numerics::Cotangent, 0x1.2d97c7f3321d3p+1, -0x1.0000000000003p+0},
      {__LINE__, numerics::Tangent, 0x1.9p+6, -0x1.2ca74d62b5d38p-1},
      {__LINE__, numerics::Cotangent, 0x1.9p+6, -0x1.b3f4fc136efffp+0},
      {__LINE__, numerics::Tangent, 0x1.8p+0, 0x1.c33ed50b88777p+3},
      {__LINE__, numerics::Cotangent, 0x1.8p+0, 0x1.22779a914b0e5p-4},
      {__LINE__, numerics::Tangent, 0x1.e8481p+19, 0x1.25b28c37e452ep-3},
      {__LINE__, numerics::Cotangent, 0x1.e8481p+19, 0x1.be484a85dd938p+2},
      {__LINE__, numerics::Tangent, -0x1.8p-1, -0x1.dcfa36110eeecp-1},
      {__LINE__, numerics::Cotangent, -0x1.8p-1, -0x1.12cc0e5ab0d93p+0},
      {__LINE__, numerics::Tangent, 0x1.fffep+19, 0x1.6f28d247af299p-5},
      {__LINE__, numerics::Cotangent, 0x1.fffep+19, 0x1.64fd4319ab355p+4},
  };
  ForEachCase(cases, [](const ValueCase& c) { ExpectSameDouble(c.function(c.argument), c.expected); });
}

// rad and grad, each rounded once (from MPFR): the right angles the
// calculator's pole refusals rely on, overflow at the threshold of grad,
// subnormal results of rad and grad, and the largest doubles.
TEST(Trigonometry, AngleConversions) {
  constexpr double kInf = std::numeric_limits<double>::infinity();
  const ValueCase cases[] = {
      {__LINE__, numerics::DegreesToRadians, 90.0, 0x1.921fb54442d18p+0},
      {__LINE__, numerics::DegreesToRadians, 180.0, 0x1.921fb54442d18p+1},
      {__LINE__, numerics::DegreesToRadians, 270.0, 0x1.2d97c7f3321d2p+2},
      {__LINE__, numerics::DegreesToRadians, -90.0, -0x1.921fb54442d18p+0},
      {__LINE__, numerics::DegreesToRadians, 45.0, 0x1.921fb54442d18p-1},
      {__LINE__, numerics::DegreesToRadians, 360.0, 0x1.921fb54442d18p+2},
      {__LINE__, numerics::DegreesToRadians, 1.0, 0x1.1df46a2529d39p-6},
      {__LINE__, numerics::DegreesToRadians, 0x1.f2fcf8a18a34ep-1, 0x1.16b00466ffef2p-6},
      {__LINE__, numerics::DegreesToRadians, 0x1.fffffffffffffp+1023, 0x1.1df46a2529d39p+1018},
      {__LINE__, numerics::DegreesToRadians, 1e308, 0x1.3e229d5a58044p+1017},
      {__LINE__, numerics::DegreesToRadians, 0x1p-1074, 0.0},
      {__LINE__, numerics::DegreesToRadians, -0x1p-1074, -0.0},
      {__LINE__, numerics::DegreesToRadians, 0x0.000000000001dp-1022, 0x0.0000000000001p-1022},
      {__LINE__, numerics::DegreesToRadians, 1e-310, 0x0.000523fda0e37p-1022},
      {__LINE__, numerics::DegreesToRadians, 0x1.646b8d05abdcap-1017, 0x0.c7100324fff3fp-1022},
      {__LINE__, numerics::DegreesToRadians, 0x0.54e7fd97f0b0bp-1022, 0x0.017b5d5690f8bp-1022},
      {__LINE__, numerics::RadiansToDegrees, 0x1.921fb54442d18p+1, 180.0},
      {__LINE__, numerics::RadiansToDegrees, 0x1.921fb54442d18p+0, 90.0},
      {__LINE__, numerics::RadiansToDegrees, 1.0, 0x1.ca5dc1a63c1f8p+5},
      {__LINE__, numerics::RadiansToDegrees, 0x1.2eb176c1f58fcp-1, 0x1.0efc2cf3bf3dcp+5},
      {__LINE__, numerics::RadiansToDegrees, 0x1.1df46a2529d38p+1018, 0x1.ffffffffffffep+1023},
      {__LINE__, numerics::RadiansToDegrees, 0x1.1df46a2529d39p+1018, kInf},
      {__LINE__, numerics::RadiansToDegrees, -0x1.fffffffffffffp+1023, -kInf},
      {__LINE__, numerics::RadiansToDegrees, 0x1p-1074, 0x0.0000000000039p-1022},
      {__LINE__, numerics::RadiansToDegrees, 1e-320, 0x0.000000001c4ffp-1022},
      {__LINE__, numerics::RadiansToDegrees, 0x1.106c847b5d016p-1021, 0x1.e7c5ea838b6f2p-1016},
  };
  ForEachCase(cases, [](const ValueCase& c) { ExpectSameDouble(c.function(c.argument), c.expected); });
}

// Arguments whose fast-path result lies too near the middle between two
// doubles to round safely: a second, more accurate double-double evaluation
// decides them; the slow path stays out.
TEST(Trigonometry, AccuratePathDecidesTheCloseCases) {
  const ValueCase cases[] = {
      {__LINE__, numerics::Sine, -0x1.40feddd9659fcp+4, -0x1.df840bbe9e2dcp-1},
      {__LINE__, numerics::Sine, -0x1.84507b80fbaep+3, 0x1.ac5073f86dfbp-2},
      {__LINE__, numerics::Cosine, -0x1.4195c955bfa1cp+7, -0x1.aeafbbcb83515p-1},
      {__LINE__, numerics::Cosine, -0x1.84156846709b4p+1, -0x1.fcec46f87e0f7p-1},
      {__LINE__, numerics::Tangent, -0x1.60cc8bfa4146p-1, -0x1.a5c39af1d65cp-1},
      {__LINE__, numerics::Tangent, -0x1.b409d5c21fa22p-2, -0x1.d074a7200d22dp-2},
      {__LINE__, numerics::Cotangent, 0x1.54d027be13552p+7, 0x1.0d0c9ae56596bp+0},
      {__LINE__, numerics::Cotangent, 0x1.48be9486fc05ap-2, 0x1.80e97e9ae7798p+1},
      {__LINE__, numerics::Secant, -0x1.fa7b82150c6a6p+6, 0x1.bc67bf8ce461ap+0},
      {__LINE__, numerics::Secant, 0x1.7a1705dd904dp+7, 0x1.2c2cf4cc6b9f9p+0},
      {__LINE__, numerics::Cosecant, -0x1.d0797e72c826cp+4, 0x1.756f66ccc185ep+0},
      {__LINE__, numerics::Cosecant, -0x1.3b85e40f1b188p+5, -0x1.03c3e2e8300e3p+0},
      {__LINE__, numerics::Arctangent, -0x1.655e8053aa1dcp+2, -0x1.64c2347727689p+0},
      {__LINE__, numerics::Arctangent, 0x1.eb38a377cbafcp+3, 0x1.81787865b7d39p+0},
      {__LINE__, numerics::Arccotangent, -0x1.c30bbd91fdb7p-1, 0x1.25808e6660a8cp+1},
      {__LINE__, numerics::Arccotangent, 0x1.2d5fbbc8396a8p+5, 0x1.b2d00d83c7ec3p-6},
      {__LINE__, numerics::Arcsine, -0x1.af3ea2741fa28p-1, -0x1.00619ac9a4971p+0},
      {__LINE__, numerics::Arcsine, -0x1.cd9c28db596aep-3, -0x1.d19c56461e36fp-3},
      {__LINE__, numerics::Arccosine, -0x1.0c90cc9209ec4p-2, 0x1.d60f522f9f61ep+0},
      {__LINE__, numerics::Arccosine, -0x1.6a0fa78e3b3cap-4, 0x1.a8c841cb25e1bp+0},
  };
  ForEachCase(cases, [](const ValueCase& c) {
    const unsigned long long before = numerics::testing::SlowPathCount();
    ExpectSameDouble(c.function(c.argument), c.expected);
    EXPECT_EQ(numerics::testing::SlowPathCount(), before);
  });
}

// Arguments whose result lies so near a midpoint that only the slow path
// decides it: small arguments where sin x - x, tan x - x, atan x - x,
// asin x - x or 1 - cos x come within 2^-50 of an ulp of half an ulp, and
// arguments where acot and acos are nearly pi/2 - x or atan and acot nearly
// pi/2 - 1/x and pi - 1/x and do the same; and three that the random sample
// of the comparison with MPFR found.
TEST(Trigonometry, SlowPathDecidesTheHardestCases) {
  const ValueCase cases[] = {
      {__LINE__, numerics::Sine, 0x1.943f3c536d6e7p-24, 0x1.943f3c536d6ddp-24},
      {__LINE__, numerics::Sine, 0x1.4f747439b348cp-25, 0x1.4f747439b348ap-25},
      {__LINE__, numerics::Cosine, 0x1.1a9dc8f6df103p-24, 0x1.fffffffffffedp-1},
      {__LINE__, numerics::Cosine, 0x1.6a09e667f3bcdp-27, 0x1.fffffffffffffp-1},
      {__LINE__, numerics::Tangent, 0x1.976e211b4a5f4p-24, 0x1.976e211b4a609p-24},
      {__LINE__, numerics::Tangent, 0x1.fdaa9d61dc898p-21, 0x1.fdaa9d61dd31dp-21},
      {__LINE__, numerics::Secant, 0x1.854bfb363dc2dp-24, 0x1.0000000000012p+0},
      {__LINE__, numerics::Secant, 0x1.bb67ae8584ca9p-26, 0x1.0000000000001p+0},
      {__LINE__, numerics::Cotangent, -0x1.90330c39b5211p+672, -0x1.682dad15213cep+3},
      {__LINE__, numerics::Cosecant, 0x1.3320d2e1c0648p-18, 0x1.aac431f814703p+17},
      {__LINE__, numerics::Arctangent, 0x1.976e211b4a60ap-24, 0x1.976e211b4a5f5p-24},
      {__LINE__, numerics::Arctangent, 0x1.a2fecc163762ap+48, 0x1.921fb54442d0fp+0},
      {__LINE__, numerics::Arccotangent, 0x1.3c69898cc516fp-48, 0x1.921fb54442d05p+0},
      {__LINE__, numerics::Arccotangent, -0x1.12174c5d51f7cp+45, 0x1.921fb54442cddp+1},
      {__LINE__, numerics::Arcsine, 0x1.943f3c536d6ddp-24, 0x1.943f3c536d6e7p-24},
      {__LINE__, numerics::Arcsine, 0x1.21f63ff409036p-23, 0x1.21f63ff409046p-23},
      {__LINE__, numerics::Arcsine, 0x1.e4125fbdabdccp-2, 0x1.f83302418363bp-2},
      {__LINE__, numerics::Arccosine, 0x1.3c69898cc516fp-48, 0x1.921fb54442d05p+0},
      {__LINE__, numerics::Arccosine, -0x1.7e72cece675d3p-45, 0x1.921fb54442dd8p+0},
  };
  ForEachCase(cases, [](const ValueCase& c) {
    const unsigned long long before = numerics::testing::SlowPathCount();
    ExpectSameDouble(c.function(c.argument), c.expected);
    EXPECT_EQ(numerics::testing::SlowPathCount(), before + 1);
  });
}

// Zeros keep their sign where the function is odd (cot and csc of ±0 are
// ±infinity); infinities give NaN for the circular functions, ±pi/2 for atan,
// 0 and pi for acot and keep their sign through rad and grad; outside
// [-1, 1] asin and acos give NaN.
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
      {__LINE__, numerics::Cotangent, 0.0, kInf},
      {__LINE__, numerics::Cotangent, -0.0, -kInf},
      {__LINE__, numerics::Cotangent, kInf, kNaN},
      {__LINE__, numerics::Cotangent, kNaN, kNaN},
      {__LINE__, numerics::Secant, 0.0, 1.0},
      {__LINE__, numerics::Secant, -0.0, 1.0},
      {__LINE__, numerics::Secant, -kInf, kNaN},
      {__LINE__, numerics::Secant, kNaN, kNaN},
      {__LINE__, numerics::Cosecant, 0.0, kInf},
      {__LINE__, numerics::Cosecant, -0.0, -kInf},
      {__LINE__, numerics::Cosecant, kInf, kNaN},
      {__LINE__, numerics::Cosecant, kNaN, kNaN},
      {__LINE__, numerics::Arccotangent, 0.0, kHalfPi},
      {__LINE__, numerics::Arccotangent, -0.0, kHalfPi},
      {__LINE__, numerics::Arccotangent, kInf, 0.0},
      {__LINE__, numerics::Arccotangent, -kInf, 0x1.921fb54442d18p+1},
      {__LINE__, numerics::Arccotangent, kNaN, kNaN},
      {__LINE__, numerics::DegreesToRadians, 0.0, 0.0},
      {__LINE__, numerics::DegreesToRadians, -0.0, -0.0},
      {__LINE__, numerics::DegreesToRadians, -kInf, -kInf},
      {__LINE__, numerics::DegreesToRadians, kNaN, kNaN},
      {__LINE__, numerics::RadiansToDegrees, -0.0, -0.0},
      {__LINE__, numerics::RadiansToDegrees, kInf, kInf},
      {__LINE__, numerics::RadiansToDegrees, kNaN, kNaN},
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
