// Compares the trigonometric functions and the angle conversions with MPFR's
// correctly rounded results, bit for bit, on a fixed-seed sample of
// arguments from every range where they could go wrong, and on hard cases:
// arguments nearest a multiple of pi/2, and arguments whose exact result lies
// within 2^-40 of an ulp of a midpoint between doubles.
//
//   trig_reference_test <function> <shard> <shards> <count>
//
// checks `count` arguments (the shard's share of them: every argument whose
// position modulo `shards` is `shard`) of one function: sin, cos, tan, cot,
// sec, csc, atan, asin, acos, acot, rad or grad. Prints the number of
// arguments, of hard cases, of differences (with the first few) and of
// results that took the slow path; exits 1 on any difference.

#include <mpfr.h>

#include <cinttypes>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "numerics/numerics.h"
#include "numerics/testing.h"
#include "tests/support/fixed_random.h"

namespace {

using fixed_random::Bits;
using fixed_random::FromBits;
using fixed_random::Generator;
using fixed_random::StepUlps;

using EngineFunction = double (*)(double);
enum class Family {
  kCircular,  // sin, cos, tan and their reciprocals: reduction hard cases
  kTangent,   // atan, acot: every magnitude
  kSine,      // asin, acos: most arguments from [-1, 1]
  kScale,     // rad, grad: every magnitude, products near overflow and underflow
};

// f(x) rounded to nearest at y's precision, in MPFR's full exponent range;
// returns the ternary value (the sign of the rounded value minus the exact).
using ExactFunction = int (*)(mpfr_ptr y, mpfr_srcptr x);

struct FunctionUnderTest {
  const char* name;
  EngineFunction engine;
  ExactFunction exact;
  Family family;
};

int ExactSin(mpfr_ptr y, mpfr_srcptr x) { return mpfr_sin(y, x, MPFR_RNDN); }
int ExactCos(mpfr_ptr y, mpfr_srcptr x) { return mpfr_cos(y, x, MPFR_RNDN); }
int ExactTan(mpfr_ptr y, mpfr_srcptr x) { return mpfr_tan(y, x, MPFR_RNDN); }
int ExactCot(mpfr_ptr y, mpfr_srcptr x) { return mpfr_cot(y, x, MPFR_RNDN); }
int ExactSec(mpfr_ptr y, mpfr_srcptr x) { return mpfr_sec(y, x, MPFR_RNDN); }
int ExactCsc(mpfr_ptr y, mpfr_srcptr x) { return mpfr_csc(y, x, MPFR_RNDN); }
int ExactAtan(mpfr_ptr y, mpfr_srcptr x) { return mpfr_atan(y, x, MPFR_RNDN); }
int ExactAsin(mpfr_ptr y, mpfr_srcptr x) { return mpfr_asin(y, x, MPFR_RNDN); }
int ExactAcos(mpfr_ptr y, mpfr_srcptr x) { return mpfr_acos(y, x, MPFR_RNDN); }
// acot x = pi/2 - atan x in (0, pi): the angle of the point (x, 1).
int ExactAcot(mpfr_ptr y, mpfr_srcptr x) {
  mpfr_t one;
  mpfr_init2(one, 2);
  mpfr_set_ui(one, 1, MPFR_RNDN);
  const int inexact = mpfr_atan2(y, one, x, MPFR_RNDN);
  mpfr_clear(one);
  return inexact;
}
// x * pi/180 and x * 180/pi with 200 bits more than y keeps: rounding that
// to y's precision is a second rounding, wrong only for a result within
// 2^-(precision of y + 190) of a midpoint, far nearer than any double comes.
int ExactScale(mpfr_ptr y, mpfr_srcptr x, bool toRadians) {
  mpfr_t pi;
  mpfr_init2(pi, mpfr_get_prec(y) + 200);
  mpfr_const_pi(pi, MPFR_RNDN);
  if (toRadians) {
    mpfr_mul(pi, pi, x, MPFR_RNDN);
    mpfr_div_ui(pi, pi, 180, MPFR_RNDN);
  } else {
    mpfr_ui_div(pi, 180, pi, MPFR_RNDN);
    mpfr_mul(pi, pi, x, MPFR_RNDN);
  }
  const int inexact = mpfr_set(y, pi, MPFR_RNDN);
  mpfr_clear(pi);
  return inexact;
}
int ExactRad(mpfr_ptr y, mpfr_srcptr x) { return ExactScale(y, x, true); }
int ExactGrad(mpfr_ptr y, mpfr_srcptr x) { return ExactScale(y, x, false); }

const FunctionUnderTest kFunctions[] = {
    {"sin", numerics::Sine, ExactSin, Family::kCircular},
    {"cos", numerics::Cosine, ExactCos, Family::kCircular},
    {"tan", numerics::Tangent, ExactTan, Family::kCircular},
    {"cot", numerics::Cotangent, ExactCot, Family::kCircular},
    {"sec", numerics::Secant, ExactSec, Family::kCircular},
    {"csc", numerics::Cosecant, ExactCsc, Family::kCircular},
    {"atan", numerics::Arctangent, ExactAtan, Family::kTangent},
    {"asin", numerics::Arcsine, ExactAsin, Family::kSine},
    {"acos", numerics::Arccosine, ExactAcos, Family::kSine},
    {"acot", numerics::Arccotangent, ExactAcot, Family::kTangent},
    {"rad", numerics::DegreesToRadians, ExactRad, Family::kScale},
    {"grad", numerics::RadiansToDegrees, ExactGrad, Family::kScale},
};

// The double nearest f(x) as MPFR rounds it, subnormals and overflow
// included: computed in MPFR's full exponent range (rad of a subnormal has
// an intermediate below double's), then brought into double's.
double Expected(const FunctionUnderTest& function, double argument) {
  static mpfr_t x;
  static mpfr_t y;
  static bool ready = false;
  if (!ready) {
    mpfr_init2(x, 53);
    mpfr_init2(y, 53);
    ready = true;
  }
  mpfr_set_d(x, argument, MPFR_RNDN);
  int inexact = function.exact(y, x);
  const mpfr_exp_t savedMin = mpfr_get_emin();
  const mpfr_exp_t savedMax = mpfr_get_emax();
  mpfr_set_emin(-1073);
  mpfr_set_emax(1024);
  inexact = mpfr_check_range(y, inexact, MPFR_RNDN);
  mpfr_subnormalize(y, inexact, MPFR_RNDN);
  const double expected = mpfr_get_d(y, MPFR_RNDN);
  mpfr_set_emin(savedMin);
  mpfr_set_emax(savedMax);
  return expected;
}

// A double with a random significand and sign and an exponent from
// minExponent to maxExponent.
double WithExponent(Generator& random, int minExponent, int maxExponent) {
  const double significand = 1.0 + random.Unit();
  const int exponent = minExponent + random.Below(maxExponent - minExponent + 1);
  const double x = std::ldexp(significand, exponent);
  return (random.Next() & 1) != 0 ? -x : x;
}

// The doubles nearest to k * pi/2 and k * pi/4 for random k of every size,
// and a few ulps beside them.
double NearMultipleOfQuarterPi(Generator& random) {
  static mpfr_t quarterPi;
  static mpfr_t product;
  static bool ready = false;
  if (!ready) {
    mpfr_init2(quarterPi, 1300);
    mpfr_init2(product, 1300);
    mpfr_const_pi(quarterPi, MPFR_RNDN);
    mpfr_div_2ui(quarterPi, quarterPi, 2, MPFR_RNDN);
    ready = true;
  }
  const int bits = 1 + random.Below(1020);
  double k = std::ldexp(1.0 + random.Unit(), bits - 1);
  k = std::floor(k);
  if (k < 1.0) k = 1.0;
  mpfr_mul_d(product, quarterPi, k, MPFR_RNDN);
  double x = mpfr_get_d(product, MPFR_RNDN);
  if (std::isinf(x)) x = std::numeric_limits<double>::max();
  x = StepUlps(x, random.Below(7) - 3);
  return (random.Next() & 1) != 0 ? -x : x;
}

// The denominators q(k) = a(k) q(k-1) + q(k-2) of the convergents of the
// continued fraction of alpha in [0, 1), while they stay below 2^53: the
// integers q for which q alpha comes closest to an integer. alpha is used
// up; integer is scratch space.
std::vector<uint64_t> ConvergentDenominators(mpfr_ptr alpha, mpfr_ptr integer) {
  std::vector<uint64_t> denominators;
  uint64_t previous = 0;
  uint64_t current = 1;
  for (int step = 0; step < 80 && !mpfr_zero_p(alpha); ++step) {
    mpfr_ui_div(alpha, 1, alpha, MPFR_RNDN);
    mpfr_floor(integer, alpha);
    mpfr_sub(alpha, alpha, integer, MPFR_RNDN);
    if (mpfr_cmp_ui(integer, uint64_t{1} << 53) >= 0) break;
    const uint64_t a = mpfr_get_ui(integer, MPFR_RNDN);
    if (a != 0 && current > ((uint64_t{1} << 54) - previous) / a) break;
    const uint64_t next = a * current + previous;
    previous = current;
    current = next;
    if (current >= (uint64_t{1} << 53)) break;
    denominators.push_back(current);
  }
  return denominators;
}

// For each binary exponent, the doubles m * 2^e (m a 53-bit integer) for
// which m * 2^e * 2/pi comes closest to an integer: multiples, inside
// [2^52, 2^53), of the denominators of the convergents of the continued
// fraction of frac(2^e * 2/pi). These are the hardest arguments for the
// reduction.
std::vector<double> HardReductionCases() {
  std::vector<double> cases;
  mpfr_t twoOverPi;
  mpfr_t alpha;
  mpfr_t integer;
  mpfr_inits2(4000, twoOverPi, alpha, integer, static_cast<mpfr_ptr>(nullptr));
  mpfr_const_pi(twoOverPi, MPFR_RNDN);
  mpfr_ui_div(twoOverPi, 2, twoOverPi, MPFR_RNDN);
  for (int e = -53; e <= 971; ++e) {
    mpfr_mul_2si(alpha, twoOverPi, e, MPFR_RNDN);
    mpfr_frac(alpha, alpha, MPFR_RNDN);
    for (const uint64_t current : ConvergentDenominators(alpha, integer)) {
      if (current < (uint64_t{1} << 40)) continue;
      for (uint64_t m = current * (((uint64_t{1} << 52) + current - 1) / current), count = 0;
           m < (uint64_t{1} << 53) && count < 3; m += current, ++count) {
        const double x = std::ldexp(static_cast<double>(m), e);
        cases.push_back(x);
        cases.push_back(StepUlps(x, 1));
        cases.push_back(-x);
      }
    }
  }
  mpfr_clears(twoOverPi, alpha, integer, static_cast<mpfr_ptr>(nullptr));
  return cases;
}

// The edge values every function is checked on.
std::vector<double> EdgeCases() {
  const double inf = std::numeric_limits<double>::infinity();
  std::vector<double> cases = {0.0,
                               -0.0,
                               inf,
                               -inf,
                               std::numeric_limits<double>::quiet_NaN(),
                               -std::numeric_limits<double>::quiet_NaN(),
                               std::numeric_limits<double>::denorm_min(),
                               -std::numeric_limits<double>::denorm_min(),
                               std::numeric_limits<double>::min(),
                               std::numeric_limits<double>::max(),
                               -std::numeric_limits<double>::max(),
                               1.0,
                               -1.0,
                               2.0,
                               -2.0,
                               0.5,
                               0x1p-27,
                               0x1p-28,
                               0x1p53,
                               0x1p54,
                               3.141592653589793,
                               1.5707963267948966,
                               4.71238898038469,
                               0.7853981633974483,
                               0xEEC1FA07,
                               255710759300.0,
                               63102.0,
                               5.0,
                               1e22,
                               1e300,
                               6381956970095103.0 * 0x1p797,
                               5.319372648326541e+255};
  for (int steps = -40; steps <= 40; ++steps) {
    cases.push_back(StepUlps(1.0, steps));
    cases.push_back(StepUlps(-1.0, steps));
    cases.push_back(StepUlps(0x1p-27, steps));
    cases.push_back(StepUlps(0.5, steps));
  }
  return cases;
}

// ------------------------------------------------------------ midpoint hard cases
//
// Arguments whose exact result lies within 2^-40 of an ulp of a midpoint
// between doubles, where a fast path's rounding test must hand over to the
// slow path. They are built where the function has structure that lines up
// with the grid of doubles:
//   - flat regions (cos and sec near 0, atan and acot for large |x|, acot and
//     acos near 0): the result moves by far less than 2^-40 of its ulp per
//     ulp of the argument, so the double nearest f^-1(midpoint) is one;
//   - near the identity (sin, tan, atan, asin below 2^-20): f(x) - x moves by
//     less than 2^-40 of an ulp per ulp of x, so the double nearest the
//     solution of f(x) - x = (j + 1/2) ulp(x) is one;
//   - rad and grad, x * c: the denominators of the convergents of the
//     continued fraction of 2 c 2^k give m with m c 2^k within a tiny distance
//     of a half-integer.

constexpr mpfr_prec_t kSearchPrecision = 320;
constexpr double kHardDistance = 0x1p-40;

// |frac(f(x) / ulp) - 1/2|: the distance of the exact result from the
// nearest midpoint between doubles, in ulps of the result (subnormal ulps
// where the result is below 2^-1022); 1 when the result is 0 or not finite.
double DistanceToMidpoint(const FunctionUnderTest& function, double argument) {
  mpfr_t x;
  mpfr_t y;
  mpfr_init2(x, 53);
  mpfr_init2(y, kSearchPrecision);
  mpfr_set_d(x, argument, MPFR_RNDN);
  function.exact(y, x);
  double distance = 1.0;
  if (mpfr_regular_p(y)) {
    mpfr_abs(y, y, MPFR_RNDN);
    long ulpExponent = static_cast<long>(mpfr_get_exp(y)) - 53;  // y in [2^(exp-1), 2^exp)
    if (ulpExponent < -1074) ulpExponent = -1074;
    mpfr_mul_2si(y, y, -ulpExponent, MPFR_RNDN);
    mpfr_frac(y, y, MPFR_RNDN);
    mpfr_sub_d(y, y, 0.5, MPFR_RNDN);
    distance = std::fabs(mpfr_get_d(y, MPFR_RNDN));
  }
  mpfr_clears(x, y, static_cast<mpfr_ptr>(nullptr));
  return distance;
}

// Keeps x and its neighbours whose results lie within kHardDistance of a
// midpoint.
void KeepIfHard(const FunctionUnderTest& function, double x, std::vector<double>& cases) {
  for (int steps = -1; steps <= 1; ++steps) {
    const double candidate = StepUlps(x, steps);
    if (DistanceToMidpoint(function, candidate) < kHardDistance) cases.push_back(candidate);
  }
}

// The midpoint between doubles nearest y (y > 0, normal), into y.
void NearestMidpoint(mpfr_ptr y) {
  const mpfr_exp_t ulpExponent = mpfr_get_exp(y) - 53;
  mpfr_mul_2si(y, y, -ulpExponent, MPFR_RNDN);
  mpfr_floor(y, y);
  mpfr_add_d(y, y, 0.5, MPFR_RNDN);
  mpfr_mul_2si(y, y, ulpExponent, MPFR_RNDN);
}

// Flat regions: for random x0 in [low, high] (log-uniform, with `sign`),
// x = inverse(nearest midpoint to f(x0)).
using InverseFunction = void (*)(mpfr_ptr x, mpfr_srcptr y);
void FlatRegionCases(const FunctionUnderTest& function, InverseFunction inverse, double low, double high, double sign,
                     int count, Generator& random, std::vector<double>& cases) {
  mpfr_t x;
  mpfr_t y;
  mpfr_inits2(kSearchPrecision, x, y, static_cast<mpfr_ptr>(nullptr));
  for (int i = 0; i < count; ++i) {
    const double x0 = sign * low * std::exp2(random.Unit() * std::log2(high / low));
    mpfr_set_d(x, x0, MPFR_RNDN);
    function.exact(y, x);
    const bool negative = mpfr_sgn(y) < 0;
    mpfr_abs(y, y, MPFR_RNDN);
    NearestMidpoint(y);
    if (negative) mpfr_neg(y, y, MPFR_RNDN);
    inverse(x, y);
    KeepIfHard(function, mpfr_get_d(x, MPFR_RNDN), cases);
  }
  mpfr_clears(x, y, static_cast<mpfr_ptr>(nullptr));
}

// Near the identity: for random x0 in [low, high], the x of x0's binade
// with f(x) - x = d, d the nearest odd multiple of half an ulp of x0 to
// f(x0) - x0, by the secant method (f(x) - x is monotonic there).
void NearIdentityCases(const FunctionUnderTest& function, double low, double high, int count, Generator& random,
                       std::vector<double>& cases) {
  mpfr_t x;
  mpfr_t y;
  mpfr_t d;
  mpfr_t previousX;
  mpfr_t previousG;
  mpfr_t g;
  mpfr_t step;
  mpfr_inits2(kSearchPrecision, x, y, d, previousX, previousG, g, step, static_cast<mpfr_ptr>(nullptr));
  // g(x) = f(x) - x - d
  auto evaluate = [&](mpfr_ptr result, mpfr_srcptr at) {
    function.exact(result, at);
    mpfr_sub(result, result, at, MPFR_RNDN);
    mpfr_sub(result, result, d, MPFR_RNDN);
  };
  for (int i = 0; i < count; ++i) {
    const double x0 = low * std::exp2(random.Unit() * std::log2(high / low));
    int exponent = 0;
    std::frexp(x0, &exponent);
    const long ulpExponent = exponent - 53;
    mpfr_set_d(x, x0, MPFR_RNDN);
    function.exact(d, x);
    mpfr_sub(d, d, x, MPFR_RNDN);
    mpfr_mul_2si(d, d, -ulpExponent, MPFR_RNDN);
    mpfr_floor(d, d);
    mpfr_add_d(d, d, 0.5, MPFR_RNDN);
    mpfr_mul_2si(d, d, ulpExponent, MPFR_RNDN);
    mpfr_set_d(previousX, x0 * (1.0 + 0x1p-12), MPFR_RNDN);
    evaluate(previousG, previousX);
    for (int iteration = 0; iteration < 60; ++iteration) {
      evaluate(g, x);
      if (mpfr_zero_p(g) || mpfr_equal_p(g, previousG)) break;
      // step = g (x - previousX) / (g - previousG)
      mpfr_sub(step, x, previousX, MPFR_RNDN);
      mpfr_mul(step, step, g, MPFR_RNDN);
      mpfr_sub(y, g, previousG, MPFR_RNDN);
      mpfr_div(step, step, y, MPFR_RNDN);
      mpfr_set(previousX, x, MPFR_RNDN);
      mpfr_set(previousG, g, MPFR_RNDN);
      mpfr_sub(x, x, step, MPFR_RNDN);
    }
    const double solution = mpfr_get_d(x, MPFR_RNDN);
    KeepIfHard(function, solution, cases);
    KeepIfHard(function, -solution, cases);
  }
  mpfr_clears(x, y, d, previousX, previousG, g, step, static_cast<mpfr_ptr>(nullptr));
}

// rad and grad: for x = m 2^e, the result in units of its last place is
// m * alpha with alpha = c 2^(e - u), u the exponent of the result's ulp. The
// convergents' denominators q of 2 alpha bring q * 2 alpha near an integer,
// so m = q t (t small) brings m alpha near a multiple of 1/2; only those
// near an odd multiple are kept.
void ScaleCases(const FunctionUnderTest& function, bool toRadians, std::vector<double>& cases) {
  mpfr_t c;
  mpfr_t alpha;
  mpfr_t integer;
  mpfr_inits2(kSearchPrecision, c, alpha, integer, static_cast<mpfr_ptr>(nullptr));
  mpfr_const_pi(c, MPFR_RNDN);
  if (toRadians) {
    mpfr_div_ui(c, c, 180, MPFR_RNDN);
  } else {
    mpfr_ui_div(c, 180, c, MPFR_RNDN);
  }
  const long cExponent = static_cast<long>(mpfr_get_exp(c)) - 1;  // c in [2^cExponent, 2^(cExponent+1))
  std::vector<int> exponents = {-52, -300, 200, 600, 900, 960, 971};
  for (int e = -1074; e <= -1000; ++e) exponents.push_back(e);
  for (const int e : exponents) {
    for (long resultExponent = e + 52 + cExponent; resultExponent <= e + 53 + cExponent; ++resultExponent) {
      long ulpExponent = resultExponent - 52;
      if (ulpExponent < -1074) ulpExponent = -1074;
      mpfr_mul_2si(alpha, c, e - ulpExponent + 1, MPFR_RNDN);
      mpfr_frac(alpha, alpha, MPFR_RNDN);
      for (const uint64_t current : ConvergentDenominators(alpha, integer)) {
        if (current < (uint64_t{1} << 20)) continue;
        for (uint64_t t = 1; t <= 9 && current * t < (uint64_t{1} << 53); ++t) {
          const double x = std::ldexp(static_cast<double>(current * t), e);
          if (x != 0.0 && std::isfinite(x)) KeepIfHard(function, x, cases);
        }
      }
    }
  }
  mpfr_clears(c, alpha, integer, static_cast<mpfr_ptr>(nullptr));
}

void Tangent(mpfr_ptr x, mpfr_srcptr y) { mpfr_tan(x, y, MPFR_RNDN); }
void Cotangent(mpfr_ptr x, mpfr_srcptr y) { mpfr_cot(x, y, MPFR_RNDN); }
void Arccosine(mpfr_ptr x, mpfr_srcptr y) { mpfr_acos(x, y, MPFR_RNDN); }
void Cosine(mpfr_ptr x, mpfr_srcptr y) { mpfr_cos(x, y, MPFR_RNDN); }
void ArcsecantNearZero(mpfr_ptr x, mpfr_srcptr y) {
  mpfr_ui_div(x, 1, y, MPFR_RNDN);
  mpfr_acos(x, x, MPFR_RNDN);
}

// The hard cases of one function, from a fixed seed.
std::vector<double> MidpointCases(const FunctionUnderTest& function) {
  std::vector<double> cases;
  Generator random{0x4841524443u};
  const std::string name = function.name;
  constexpr int kSearches = 3000;
  if (name == "sin" || name == "tan" || name == "atan" || name == "asin") {
    NearIdentityCases(function, 0x1p-27, 0x1p-20, kSearches, random, cases);
  }
  if (name == "cos") FlatRegionCases(function, Arccosine, 0x1p-27, 0x1p-21, 1.0, kSearches, random, cases);
  if (name == "sec") FlatRegionCases(function, ArcsecantNearZero, 0x1p-26, 0x1p-21, 1.0, kSearches, random, cases);
  if (name == "atan") FlatRegionCases(function, Tangent, 0x1p41, 0x1p53, 1.0, kSearches, random, cases);
  if (name == "acot") {
    FlatRegionCases(function, Cotangent, 0x1p-55, 0x1p-41, 1.0, kSearches, random, cases);
    FlatRegionCases(function, Cotangent, 0x1p-55, 0x1p-41, -1.0, kSearches, random, cases);
    FlatRegionCases(function, Cotangent, 0x1p41, 0x1p53, -1.0, kSearches, random, cases);
  }
  if (name == "acos") {
    FlatRegionCases(function, Cosine, 0x1p-55, 0x1p-41, 1.0, kSearches, random, cases);
    FlatRegionCases(function, Cosine, 0x1p-55, 0x1p-41, -1.0, kSearches, random, cases);
  }
  if (name == "rad" || name == "grad") ScaleCases(function, name == "rad", cases);
  return cases;
}

double Argument(const FunctionUnderTest& function, Generator& random) {
  if (function.family == Family::kScale) {
    switch (random.Below(8)) {
      case 0: return FromBits(random.Next());                    // any double
      case 1: return WithExponent(random, -1074, 1023);          // every exponent equally often
      case 2: return WithExponent(random, -1074, -1000);         // subnormal and tiny results
      case 3: return WithExponent(random, 1010, 1023);           // grad's overflow
      case 4: return (random.Unit() * 2.0 - 1.0) * 720.0;        // the common range
      case 5: return static_cast<double>(random.Below(2000001) - 1000000) / (1 << random.Below(4));  // whole degrees
      case 6: return StepUlps(std::numeric_limits<double>::max() / 57.29577951308232, random.Below(65) - 32);
      default: return WithExponent(random, -30, 30);
    }
  }
  const int kind = random.Below(function.family == Family::kSine ? 10 : 8);
  switch (kind) {
    case 0: return FromBits(random.Next());                        // any double: all magnitudes, subnormals, NaN
    case 1: return WithExponent(random, -1074, 1023);              // every exponent equally often
    case 2: return WithExponent(random, -30, 3);                   // around the table and series ranges
    case 3: return WithExponent(random, 3, 64);                    // ordinary to large
    case 4: return NearMultipleOfQuarterPi(random);                // the reduction's hard cases
    case 5: return (random.Unit() * 2.0 - 1.0) * 10.0;             // the common range
    case 6: return WithExponent(random, -1074, -1000);             // subnormal and tiny
    case 7: return StepUlps(WithExponent(random, 50, 60), random.Below(3) - 1);  // atan's flat end
    case 8: {  // asin, acos: up to 2^20 doubles inside ±1
      const double nearOne = FromBits(Bits(1.0) - static_cast<uint64_t>(random.Below(1 << 20)));
      return random.Below(2) != 0 ? nearOne : -nearOne;
    }
    default: return random.Unit() * 2.0 - 1.0;                     // asin, acos: [-1, 1)
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5) {
    std::fprintf(stderr, "usage: %s <sin|cos|tan|cot|sec|csc|atan|asin|acos|acot|rad|grad> <shard> <shards> <count>\n", argv[0]);
    return 2;
  }
  const FunctionUnderTest* function = nullptr;
  for (const FunctionUnderTest& candidate : kFunctions) {
    if (std::strcmp(candidate.name, argv[1]) == 0) function = &candidate;
  }
  const long shard = std::strtol(argv[2], nullptr, 10);
  const long shards = std::strtol(argv[3], nullptr, 10);
  const long long count = std::strtoll(argv[4], nullptr, 10);
  if (function == nullptr || shards < 1 || shard < 0 || shard >= shards || count < 1) {
    std::fprintf(stderr, "bad arguments\n");
    return 2;
  }

  long long checked = 0;
  long long differences = 0;
  auto check = [&](double argument) {
    ++checked;
    const double ours = function->engine(argument);
    const double expected = Expected(*function, argument);
    const bool same = (std::isnan(ours) && std::isnan(expected)) || Bits(ours) == Bits(expected);
    if (!same) {
      if (++differences <= 10) {
        std::printf("%s(%a) = %a (%.17g), expected %a (%.17g)\n", function->name, argument, ours, ours, expected,
                    expected);
      }
    }
  };

  const unsigned long long slowBefore = numerics::testing::SlowPathCount();
  // The fixed cases go to shard 0, the random ones are dealt out.
  size_t hardCases = 0;
  if (shard == 0) {
    for (double argument : EdgeCases()) check(argument);
    if (function->family == Family::kCircular) {
      for (double argument : HardReductionCases()) check(argument);
    }
    const std::vector<double> midpointCases = MidpointCases(*function);
    hardCases = midpointCases.size();
    for (double argument : midpointCases) check(argument);
  }
  Generator random{0x5EED0F7215u + static_cast<uint64_t>(function - kFunctions)};
  for (long long i = 0; i < count; ++i) {
    const double argument = Argument(*function, random);
    if (i % shards == shard) check(argument);
  }
  const unsigned long long slow = numerics::testing::SlowPathCount() - slowBefore;

  std::printf("%s shard %ld/%ld: %lld arguments (%zu within 2^-40 of a midpoint), %lld differences, %llu on the slow "
              "path\n",
              function->name, shard, shards, checked, hardCases, differences, slow);
  mpfr_free_cache();
  return differences == 0 ? 0 : 1;
}
