// Compares the exponential, the logarithms and the power with MPFR's
// correctly rounded results, bit for bit, on a fixed-seed sample of
// arguments from every range where they could go wrong.
//
//   exp_log_reference_test <exp|ln|lg|pow|slow|bounds> <shard> <shards> <count>
//
// checks `count` arguments (the shard's share of them: every argument whose
// position modulo `shards` is `shard`) of one function, plus, in shard 0,
// the fixed cases: every power b^n with 2 <= b <= 1000 whose value is a
// double, exact midpoints, the edges of overflow and underflow, and the
// arguments next to 1. "slow" checks the slow paths on their own, "bounds"
// that the fast steps err by less than they claim. Prints
// the number of arguments, of differences (with the first few) and of
// results that took the slow path; exits 1 on any difference.

#include <mpfr.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <vector>

#include "numerics/internal/exp_core.h"
#include "numerics/internal/exp_log.h"
#include "numerics/internal/log_core.h"
#include "numerics/numerics.h"
#include "numerics/testing.h"
#include "tests/support/fixed_random.h"

namespace {

using fixed_random::Bits;
using fixed_random::FromBits;
using fixed_random::Generator;
using fixed_random::StepUlps;

constexpr double kInf = std::numeric_limits<double>::infinity();

// The double `steps` places above (or below, for a negative count) x > 0.
double NextTo(double x, int steps) { return FromBits(Bits(x) + static_cast<uint64_t>(static_cast<int64_t>(steps))); }

double WithExponent(Generator& random, int minExponent, int maxExponent) {
  return std::ldexp(1.0 + random.Unit(), minExponent + random.Below(maxExponent - minExponent + 1));
}

// MPFR's results, rounded as a double rounds them (subnormals included).
struct Reference {
  mpfr_t x, y, z;
  Reference() {
    mpfr_set_emin(-1073);
    mpfr_set_emax(1024);
    mpfr_inits2(53, x, y, z, static_cast<mpfr_ptr>(nullptr));
  }
  ~Reference() {
    mpfr_clears(x, y, z, static_cast<mpfr_ptr>(nullptr));
    mpfr_free_cache();
  }
  Reference(const Reference&) = delete;
  Reference& operator=(const Reference&) = delete;

  double Finish(int inexact) {
    mpfr_subnormalize(z, inexact, MPFR_RNDN);
    return mpfr_get_d(z, MPFR_RNDN);
  }
  double Unary(int (*function)(mpfr_ptr, mpfr_srcptr, mpfr_rnd_t), double a) {
    mpfr_set_d(x, a, MPFR_RNDN);
    return Finish(function(z, x, MPFR_RNDN));
  }
  // The calculator's power: a negative base only with an integer exponent.
  double Power(double a, double b) {
    if (a < 0.0 && !(std::isfinite(b) && b == std::trunc(b))) return std::numeric_limits<double>::quiet_NaN();
    if (a == 1.0 && std::isinf(b)) return std::numeric_limits<double>::quiet_NaN();
    if (std::isinf(a) && b == 0.0) return std::numeric_limits<double>::quiet_NaN();
    if (std::isnan(a) || std::isnan(b)) return std::numeric_limits<double>::quiet_NaN();
    if (a == 0.0) return b > 0.0 ? 0.0 : (b == 0.0 ? 1.0 : kInf);
    if (a < 0.0 && std::isinf(a)) {
      const double magnitude = Power(-a, b);
      return std::fmod(b, 2.0) != 0.0 ? -magnitude : magnitude;
    }
    mpfr_set_d(x, a, MPFR_RNDN);
    mpfr_set_d(y, b, MPFR_RNDN);
    return Finish(mpfr_pow(z, x, y, MPFR_RNDN));
  }
};

using Check = void (*)(double a, double b);

struct Session {
  Reference reference;
  long long checked = 0;
  long long differences = 0;

  void Compare(const char* name, double a, double b, double ours, double expected) {
    ++checked;
    const bool same = (std::isnan(ours) && std::isnan(expected)) || Bits(ours) == Bits(expected);
    if (!same && ++differences <= 10) {
      std::printf("%s(%a, %a) = %a (%.17g), expected %a (%.17g)\n", name, a, b, ours, ours, expected, expected);
    }
  }
  void Exp(double a) { Compare("exp", a, 0.0, numerics::Exponential(a), reference.Unary(mpfr_exp, a)); }
  void Ln(double a) { Compare("ln", a, 0.0, numerics::NaturalLogarithm(a), reference.Unary(mpfr_log, a)); }
  void Lg(double a) { Compare("lg", a, 0.0, numerics::DecimalLogarithm(a), reference.Unary(mpfr_log10, a)); }
  void Pow(double a, double b) { Compare("pow", a, b, numerics::Power(a, b), reference.Power(a, b)); }
  // The slow paths alone, on arguments the fast paths would decide.
  void Slow(double a, double b) {
    using numerics::exp_log::LogCore;
    using numerics::exp_log::SlowExponential;
    using numerics::exp_log::SlowLogarithm;
    if (std::fabs(b) < 700.0) Compare("slow exp", b, 0.0, SlowExponential(wide::FromDouble(b)), reference.Unary(mpfr_exp, b));
    if (a > 0.0 && a != 1.0 && std::isfinite(a)) {
      const wide::Fixed ln = SlowLogarithm(a, LogCore(a).value);
      Compare("slow ln", a, 0.0, wide::RoundToDouble(ln, 0), reference.Unary(mpfr_log, a));
    }
  }
};

// ------------------------------------------------------------ arguments

double ExpArgument(Generator& random) {
  switch (random.Below(6)) {
    case 0: return random.Between(-745.2, 709.8);
    case 1: return random.Between(-20.0, 20.0);
    case 2: return (random.Below(2) != 0 ? 1.0 : -1.0) * WithExponent(random, -60, 9);
    case 3: return StepUlps(709.782712893384, random.Below(2001) - 1000);      // overflow
    case 4: return random.Between(-745.2, -708.3);                             // subnormal results
    default: return StepUlps(-745.1332191019411, random.Below(2001) - 1000);   // underflow to zero
  }
}

double LogArgument(Generator& random) {
  switch (random.Below(5)) {
    case 0: return FromBits(random.Next() & ~(uint64_t{1} << 63));              // any positive double
    case 1: return WithExponent(random, -1074, 1023);                          // every binade alike
    case 2: return NextTo(1.0, random.Below(1 << 21) - (1 << 20));             // next to 1
    case 3: return 1.0 + (random.Below(2) != 0 ? 1.0 : -1.0) * WithExponent(random, -52, -2);
    default: return random.Between(0.0, 100.0);
  }
}

struct PowerArguments {
  double base;
  double exponent;
};

PowerArguments PowerArgument(Generator& random) {
  switch (random.Below(7)) {
    case 0: return {random.Between(0.1, 100.0), random.Between(-30.0, 30.0)};
    case 1: return {WithExponent(random, -1074, 1023), random.Between(-2.0, 2.0)};
    case 2: return {NextTo(1.0, random.Below(1 << 21) - (1 << 20)), random.Between(-1e18, 1e18)};
    case 3: {  // next to the overflow and the underflow thresholds: t near 709.78 and -745.13
      const double base = random.Between(1.5, 1e6);
      const double target = random.Below(2) != 0 ? 709.782712893384 : -745.1332191019411;
      return {base, StepUlps(target / std::log(base), random.Below(201) - 100)};
    }
    case 4: return {-random.Between(0.1, 100.0), static_cast<double>(random.Below(61) - 30)};
    case 5: return {random.Between(0.0, 1e6), static_cast<double>(random.Below(81) - 40)};
    default: return {FromBits(random.Next() & ~(uint64_t{1} << 63)), random.Between(-1.0, 1.0)};
  }
}

// b^n for every integer 2 <= b <= 1000 and n >= 1 while the value is a
// double (at most 53 significant bits, below 2^1024), and 1/b^n for b a
// power of two; each with its neighbours in the exponent.
std::vector<PowerArguments> ExactPowers() {
  std::vector<PowerArguments> cases;
  for (int b = 2; b <= 1000; ++b) {
    int oddPart = b;
    while (oddPart % 2 == 0) oddPart /= 2;
    double oddPower = 1.0;
    for (int n = 1; n <= 1100; ++n) {
      oddPower *= oddPart;
      if (oddPower >= 0x1p53) break;
      const double value = std::pow(static_cast<double>(b), n);
      if (std::isinf(value)) break;
      cases.push_back({static_cast<double>(b), static_cast<double>(n)});
      cases.push_back({-static_cast<double>(b), static_cast<double>(n)});
      if (oddPart == 1) cases.push_back({static_cast<double>(b), -static_cast<double>(n)});
      cases.push_back({static_cast<double>(b), StepUlps(n, 1)});
    }
  }
  // 0.1 * 10 style bases that are not exact, and fractional exact bases.
  for (double base : {0.5, 0.25, 1.5, 2.5, 0.75, 1.25, 0.1, 0.2}) {
    for (int n = -40; n <= 40; ++n) cases.push_back({base, static_cast<double>(n)});
  }
  return cases;
}

// Exact midpoints between two doubles: squares and cubes of odd integers
// of 27 and 18 bits, the roots that lead back to them, and their neighbours.
std::vector<PowerArguments> Midpoints(Generator& random) {
  std::vector<PowerArguments> cases;
  for (int i = 0; i < 2000; ++i) {
    const double square = static_cast<double>((uint64_t{1} << 26) + 2 * static_cast<uint64_t>(random.Below(1 << 25)) + 1);
    cases.push_back({square, 2.0});
    cases.push_back({square * 0x1p-300, 2.0});
    cases.push_back({StepUlps(square, 1), 2.0});
    const double cube = static_cast<double>((uint64_t{1} << 17) + 2 * static_cast<uint64_t>(random.Below(1 << 16)) + 1);
    cases.push_back({cube, 3.0});
    cases.push_back({-cube, 3.0});
  }
  cases.push_back({134217727.0, 2.0});  // (2^27 - 1)^2 = 2^54 - 2^28 + 1
  return cases;
}

// ------------------------------------------------------------ hard cases
//
// Arguments whose exact result lies within 2^-40 of an ulp of a midpoint
// between doubles, where a fast path must hand over to the slow path. They
// are built where the function lines up with the grid of doubles:
//   - exp next to 0 and x^y for tiny y: e^x = 1 + x + ..., so the double
//     nearest ln(M) for a midpoint M next to 1 gives a result within
//     2^-40 of an ulp of M;
//   - ln of 1 + k 2^-52 and 1 - k 2^-53 for small k: the value
//     k 2^-52 - k^2 2^-105 + ... has few bits, and its last ones fall on
//     or next to a midpoint for a few k (lg, whose 1/ln 10 scrambles
//     those bits, gets no such case from it: its slow path is checked
//     with the logarithm's in "slow").
// Each candidate is kept only when MPFR confirms the distance.

constexpr mpfr_prec_t kSearchPrecision = 320;
constexpr double kHardDistance = 0x1p-40;

// |frac(v / ulp) - 1/2| for the exact result v in y: its distance from the
// nearest midpoint between doubles, in ulps of the result; 1 when v is 0 or
// not finite.
double DistanceToMidpoint(mpfr_ptr y) {
  if (!mpfr_regular_p(y)) return 1.0;
  mpfr_abs(y, y, MPFR_RNDN);
  long ulpExponent = static_cast<long>(mpfr_get_exp(y)) - 53;
  if (ulpExponent < -1074) ulpExponent = -1074;
  mpfr_mul_2si(y, y, -ulpExponent, MPFR_RNDN);
  mpfr_frac(y, y, MPFR_RNDN);
  mpfr_sub_d(y, y, 0.5, MPFR_RNDN);
  return std::fabs(mpfr_get_d(y, MPFR_RNDN));
}

enum class HardFunction { kExp, kLn, kLg, kPow };

double Distance(HardFunction function, double a, double b) {
  mpfr_t x;
  mpfr_t y;
  mpfr_t z;
  mpfr_inits2(kSearchPrecision, x, y, z, static_cast<mpfr_ptr>(nullptr));
  mpfr_set_d(x, a, MPFR_RNDN);
  switch (function) {
    case HardFunction::kExp: mpfr_exp(z, x, MPFR_RNDN); break;
    case HardFunction::kLn: mpfr_log(z, x, MPFR_RNDN); break;
    case HardFunction::kLg: mpfr_log10(z, x, MPFR_RNDN); break;
    case HardFunction::kPow:
      mpfr_set_d(y, b, MPFR_RNDN);
      mpfr_pow(z, x, y, MPFR_RNDN);
      break;
  }
  const double distance = DistanceToMidpoint(z);
  mpfr_clears(x, y, z, static_cast<mpfr_ptr>(nullptr));
  return distance;
}

// ln of the midpoint 1 + (2k + 1) 2^-53 (above 1) or 1 - (2k + 1) 2^-54
// (below), to kSearchPrecision bits, into x.
void LogOfMidpointNextToOne(mpfr_ptr x, uint64_t k, bool above) {
  mpfr_set_ui(x, 2 * k + 1, MPFR_RNDN);
  mpfr_mul_2si(x, x, above ? -53 : -54, MPFR_RNDN);
  if (above) {
    mpfr_log1p(x, x, MPFR_RNDN);
  } else {
    mpfr_neg(x, x, MPFR_RNDN);
    mpfr_log1p(x, x, MPFR_RNDN);
  }
}

std::vector<PowerArguments> HardCases(HardFunction function, Generator& random) {
  std::vector<PowerArguments> cases;
  mpfr_t x;
  mpfr_t logBase;
  mpfr_inits2(kSearchPrecision, x, logBase, static_cast<mpfr_ptr>(nullptr));
  // ln and lg: the 2^15 doubles on either side of 1; exp and pow: 4000
  // random midpoints next to 1.
  const bool logarithm = function == HardFunction::kLn || function == HardFunction::kLg;
  const int count = logarithm ? 1 << 16 : 4000;
  for (int i = 0; i < count; ++i) {
    const uint64_t k = random.Next() >> (64 - 12);
    const bool above = logarithm ? i % 2 == 0 : random.Below(2) != 0;
    PowerArguments candidate{0.0, 0.0};
    switch (function) {
      case HardFunction::kExp:
        LogOfMidpointNextToOne(x, k, above);
        candidate = {mpfr_get_d(x, MPFR_RNDN), 0.0};
        break;
      case HardFunction::kLn:
      case HardFunction::kLg:
        candidate = {NextTo(1.0, above ? i / 2 + 1 : -(i / 2 + 1)), 0.0};
        break;
      case HardFunction::kPow: {
        const double base = random.Between(1.5, 100.0);
        LogOfMidpointNextToOne(x, k, above);
        mpfr_set_d(logBase, base, MPFR_RNDN);
        mpfr_log(logBase, logBase, MPFR_RNDN);
        mpfr_div(x, x, logBase, MPFR_RNDN);
        candidate = {base, mpfr_get_d(x, MPFR_RNDN)};
        break;
      }
    }
    if (Distance(function, candidate.base, candidate.exponent) < kHardDistance) cases.push_back(candidate);
  }
  mpfr_clears(x, logBase, static_cast<mpfr_ptr>(nullptr));
  return cases;
}

std::vector<double> FixedExpArguments() {
  std::vector<double> cases = {0.0, -0.0, kInf, -kInf, std::numeric_limits<double>::quiet_NaN(), 1.0, -1.0,
                               709.782712893384, 709.7827128933840, 709.78271289338397, 709.8, -745.1332191019411,
                               -745.1332191019412, -708.3964185322641, -708.39641853226408, 0x1p-54, -0x1p-54,
                               0x1p-53, -0x1p-53, std::numeric_limits<double>::denorm_min(), 1e-300};
  for (int k = -1100; k <= 1100; ++k) cases.push_back(k * 0.6931471805599453);
  return cases;
}

std::vector<double> FixedLogArguments() {
  std::vector<double> cases = {0.0, -0.0, -1.0, kInf, -kInf, std::numeric_limits<double>::quiet_NaN(), 1.0,
                               std::numeric_limits<double>::denorm_min(), std::numeric_limits<double>::min(),
                               std::numeric_limits<double>::max(), 2.718281828459045, 10.0};
  for (int k = -1074; k <= 1023; ++k) cases.push_back(std::ldexp(1.0, k));
  double power = 1.0;
  for (int k = 0; k <= 308; ++k, power *= 10.0) cases.push_back(std::pow(10.0, k));
  for (int k = 1; k <= 323; ++k) cases.push_back(std::pow(10.0, -k));
  for (int steps = -2000; steps <= 2000; ++steps) cases.push_back(StepUlps(1.0, steps));
  return cases;
}


// ------------------------------------------------------------ error bounds
//
// The fast steps' values against MPFR at 200 bits: the worst ratio of the
// actual error to the bound each step claims, which must stay below 1.

struct BoundCheck {
  const char* name;
  double worst = 0.0;
  double worstArgument = 0.0;
  void Record(double ratio, double argument) {
    if (ratio > worst) {
      worst = ratio;
      worstArgument = argument;
    }
  }
};

// |hi + lo - exact| in z (200 bits).
double ErrorOf(dd::DoubleDouble value, mpfr_srcptr exact, mpfr_ptr scratch) {
  mpfr_set_d(scratch, value.hi, MPFR_RNDN);
  mpfr_add_d(scratch, scratch, value.lo, MPFR_RNDN);
  mpfr_sub(scratch, scratch, exact, MPFR_RNDN);
  return std::fabs(mpfr_get_d(scratch, MPFR_RNDN));
}

// ExpCore(e, low)'s relative error against exp(e + low) from MPFR, over its
// bound. x holds 200 bits, enough for e + low exactly.
double ExpCoreErrorRatio(double e, double low, mpfr_ptr x, mpfr_ptr exact, mpfr_ptr scratch) {
  using namespace numerics::exp_log;
  mpfr_set_d(x, e, MPFR_RNDN);
  mpfr_add_d(x, x, low, MPFR_RNDN);
  mpfr_exp(exact, x, MPFR_RNDN);
  const ScaledValue v = ExpCore(e, low);
  mpfr_mul_2si(exact, exact, -v.scale, MPFR_RNDN);
  mpfr_div_d(exact, exact, v.value.hi, MPFR_RNDN);  // relative: compare value / value.hi with 1
  return ErrorOf({1.0, v.value.lo / v.value.hi}, exact, scratch) / ExpCoreError(low);
}

int CheckBounds(long long count) {
  using namespace numerics::exp_log;
  mpfr_t x;
  mpfr_t exact;
  mpfr_t scratch;
  mpfr_inits2(200, x, exact, scratch, static_cast<mpfr_ptr>(nullptr));
  BoundCheck quick{"quick log"};
  BoundCheck precise{"precise log"};
  BoundCheck exponential{"exp core"};
  // The power passes the low part of y ln x: the product's error, up to
  // about an ulp of it, and the logarithm's low part times y, up to the
  // largest low part the exponential takes.
  BoundCheck exponentialWithLow{"exp core with a low part"};
  BoundCheck exponentialWithLargeLow{"exp core with a large low part"};
  Generator random{0xB0D5u};
  for (long long i = 0; i < count; ++i) {
    const double a = (i % 2 == 0) ? LogArgument(random) : FromBits(Bits(1.0) + static_cast<uint64_t>(random.Below(1 << 24)) - (1 << 23));
    if (a > 0.0 && a != 1.0 && std::isfinite(a)) {
      mpfr_set_d(x, a, MPFR_RNDN);
      mpfr_log(exact, x, MPFR_RNDN);
      const LogReduction reduced = ReduceLogArgument(a);
      const Logarithm q = QuickLog(reduced);
      quick.Record(ErrorOf(q.value, exact, scratch) / QuickLogError(q), a);
      const Logarithm p = LogCore(reduced);
      precise.Record(ErrorOf(p.value, exact, scratch) / LogError(p), a);
    }
    const double e = random.Between(-700.0, 700.0);
    exponential.Record(ExpCoreErrorRatio(e, 0.0, x, exact, scratch), e);
    const double low = std::ldexp(random.Between(-1.0, 1.0), std::ilogb(e) - 52);
    exponentialWithLow.Record(ExpCoreErrorRatio(e, low, x, exact, scratch), e);
    const double largeLow = random.Between(-1.0, 1.0) * kExpCoreLowLimit;
    exponentialWithLargeLow.Record(ExpCoreErrorRatio(e, largeLow, x, exact, scratch), e);
  }
  int failures = 0;
  for (const BoundCheck* check : {&quick, &precise, &exponential, &exponentialWithLow, &exponentialWithLargeLow}) {
    std::printf("%s: worst error %.3f of its bound (at %a)\n", check->name, check->worst, check->worstArgument);
    if (check->worst >= 1.0) ++failures;
  }
  mpfr_clears(x, exact, scratch, static_cast<mpfr_ptr>(nullptr));
  return failures == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5) {
    std::fprintf(stderr, "usage: %s <exp|ln|lg|pow|slow> <shard> <shards> <count>\n", argv[0]);
    return 2;
  }
  const char* name = argv[1];
  const long shard = std::strtol(argv[2], nullptr, 10);
  const long shards = std::strtol(argv[3], nullptr, 10);
  const long long count = std::strtoll(argv[4], nullptr, 10);
  if (std::strcmp(name, "bounds") == 0) return CheckBounds(std::strtoll(argv[4], nullptr, 10));
  const bool known = std::strcmp(name, "exp") == 0 || std::strcmp(name, "ln") == 0 || std::strcmp(name, "lg") == 0 ||
                     std::strcmp(name, "pow") == 0 || std::strcmp(name, "slow") == 0;
  if (!known || shards < 1 || shard < 0 || shard >= shards || count < 1) {
    std::fprintf(stderr, "bad arguments\n");
    return 2;
  }
  Session session;
  const auto is = [name](const char* candidate) { return std::strcmp(name, candidate) == 0; };
  const unsigned long long slowBefore = numerics::testing::SlowPathCount();
  Generator random{0xE4B10C5EEDu + static_cast<uint64_t>(name[0]) * 131u + static_cast<uint64_t>(name[1])};
  std::size_t hardCount = 0;
  if (shard == 0) {
    const HardFunction hardFunction =
        is("exp") ? HardFunction::kExp : is("ln") ? HardFunction::kLn : is("lg") ? HardFunction::kLg : HardFunction::kPow;
    if (!is("slow")) {
      const std::vector<PowerArguments> hard = HardCases(hardFunction, random);
      hardCount = hard.size();
      for (const PowerArguments& p : hard) {
        if (is("exp")) session.Exp(p.base);
        if (is("ln")) session.Ln(p.base);
        if (is("lg")) session.Lg(p.base);
        if (is("pow")) session.Pow(p.base, p.exponent);
      }
    }
    if (is("exp")) {
      for (double a : FixedExpArguments()) session.Exp(a);
    } else if (is("ln") || is("lg")) {
      for (double a : FixedLogArguments()) is("ln") ? session.Ln(a) : session.Lg(a);
    } else if (is("pow")) {
      for (const PowerArguments& p : ExactPowers()) session.Pow(p.base, p.exponent);
      for (const PowerArguments& p : Midpoints(random)) session.Pow(p.base, p.exponent);
      for (double a : {0.0, -0.0, 1.0, -1.0, 2.0, -2.0, kInf, -kInf, 0.5, std::numeric_limits<double>::quiet_NaN()}) {
        for (double b : {0.0, -0.0, 1.0, -1.0, 2.0, 3.0, -3.0, 0.5, kInf, -kInf, std::numeric_limits<double>::quiet_NaN()}) {
          session.Pow(a, b);
        }
      }
    }
  }
  for (long long i = 0; i < count; ++i) {
    if (is("pow")) {
      const PowerArguments p = PowerArgument(random);
      if (i % shards == shard) session.Pow(p.base, p.exponent);
      continue;
    }
    const double a = is("exp") ? ExpArgument(random) : LogArgument(random);
    const double b = is("slow") ? ExpArgument(random) : 0.0;
    if (i % shards != shard) continue;
    if (is("exp")) session.Exp(a);
    if (is("ln")) session.Ln(a);
    if (is("lg")) session.Lg(a);
    if (is("slow")) session.Slow(a, b);
  }
  const unsigned long long slow = numerics::testing::SlowPathCount() - slowBefore;
  std::printf("%s shard %ld/%ld: %lld arguments (%zu within 2^-40 of a midpoint), %lld differences, %llu on the slow "
              "path\n",
              name, shard, shards, session.checked, hardCount, session.differences, slow);
  return session.differences == 0 ? 0 : 1;
}
