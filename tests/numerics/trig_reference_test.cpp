// Compares the engine's trigonometric functions with MPFR's correctly rounded
// results, bit for bit, on a fixed-seed sample of arguments from every range
// where they could go wrong.
//
//   trig_reference_test <function> <shard> <shards> <count>
//
// checks `count` arguments (the shard's share of them: every argument whose
// position modulo `shards` is `shard`) of one function: sin, cos, tan, atan,
// asin or acos. Prints the number of arguments, of differences (with the
// first few) and of results that took the slow path; exits 1 on any
// difference.

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

namespace {

using EngineFunction = double (*)(double);
using MpfrFunction = int (*)(mpfr_ptr, mpfr_srcptr, mpfr_rnd_t);

struct FunctionUnderTest {
  const char* name;
  EngineFunction engine;
  MpfrFunction reference;
  bool inverseOfSine;  // asin and acos: most arguments from [-1, 1]
};

const FunctionUnderTest kFunctions[] = {
    {"sin", numerics::Sine, mpfr_sin, false},       {"cos", numerics::Cosine, mpfr_cos, false},
    {"tan", numerics::Tangent, mpfr_tan, false},    {"atan", numerics::Arctangent, mpfr_atan, false},
    {"asin", numerics::Arcsine, mpfr_asin, true},   {"acos", numerics::Arccosine, mpfr_acos, true},
};

uint64_t Bits(double x) {
  uint64_t bits = 0;
  std::memcpy(&bits, &x, sizeof bits);
  return bits;
}

double FromBits(uint64_t bits) {
  double x = 0.0;
  std::memcpy(&x, &bits, sizeof x);
  return x;
}

// splitmix64: a fixed generator, so every run checks the same arguments.
struct Generator {
  uint64_t state;
  uint64_t Next() {
    uint64_t z = (state += 0x9E3779B97F4A7C15u);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
    return z ^ (z >> 31);
  }
  double Unit() { return static_cast<double>(Next() >> 11) * 0x1p-53; }  // [0, 1)
  int Below(int n) { return static_cast<int>(Next() % static_cast<uint64_t>(n)); }
};

double StepUlps(double x, int steps) {
  for (; steps > 0; --steps) x = std::nextafter(x, std::numeric_limits<double>::infinity());
  for (; steps < 0; ++steps) x = std::nextafter(x, -std::numeric_limits<double>::infinity());
  return x;
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
    // Convergent denominators q(k) = a(k) q(k-1) + q(k-2).
    uint64_t previous = 0;
    uint64_t current = 1;
    for (int step = 0; step < 80; ++step) {
      if (mpfr_zero_p(alpha)) break;
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

double Argument(const FunctionUnderTest& function, Generator& random) {
  const int kind = random.Below(function.inverseOfSine ? 10 : 8);
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
    std::fprintf(stderr, "usage: %s <sin|cos|tan|atan|asin|acos> <shard> <shards> <count>\n", argv[0]);
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

  // Double's exponent range, so that MPFR rounds subnormal results as a
  // double does.
  mpfr_set_emin(-1073);
  mpfr_set_emax(1024);
  mpfr_t x;
  mpfr_t y;
  mpfr_init2(x, 53);
  mpfr_init2(y, 53);

  long long checked = 0;
  long long differences = 0;
  auto check = [&](double argument) {
    ++checked;
    const double ours = function->engine(argument);
    mpfr_set_d(x, argument, MPFR_RNDN);
    const int inexact = function->reference(y, x, MPFR_RNDN);
    mpfr_subnormalize(y, inexact, MPFR_RNDN);
    const double expected = mpfr_get_d(y, MPFR_RNDN);
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
  if (shard == 0) {
    for (double argument : EdgeCases()) check(argument);
    if (!function->inverseOfSine) {
      for (double argument : HardReductionCases()) check(argument);
    }
  }
  Generator random{0x5EED0F7215u + static_cast<uint64_t>(function - kFunctions)};
  for (long long i = 0; i < count; ++i) {
    const double argument = Argument(*function, random);
    if (i % shards == shard) check(argument);
  }
  const unsigned long long slow = numerics::testing::SlowPathCount() - slowBefore;

  std::printf("%s shard %ld/%ld: %lld arguments, %lld differences, %llu on the slow path\n", function->name, shard,
              shards, checked, differences, slow);
  mpfr_clears(x, y, static_cast<mpfr_ptr>(nullptr));
  mpfr_free_cache();
  return differences == 0 ? 0 : 1;
}
