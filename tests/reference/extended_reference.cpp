// Compares the 64-bit-significand steps with MPFR, which rounds every result
// correctly at the precision asked for. Usage:
//   extended_reference <step> <count>
// draws <count> random arguments for the step (tiny, huge, near 1, near
// powers of two, subnormal, near the overflow edge, ordinary) plus fixed edge
// values, prints the first differences and their number, and exits with 1 if
// there is any. The steps are the ones the program rounds: binary-log,
// power-of-two (2^f - 1), natural-log (ln 2 times the binary logarithm),
// product, quotient, one-plus; and the whole functions built from them:
// power, exp, ln, lg, decimal-size (the size test of the result lines).

// <cstdint> first: MPFR declares its intmax_t functions only after it.
#include <cstdint>
// clang-format off
#include <mpfr.h>
// clang-format on

#include <bit>
#include <cinttypes>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "engine/extended_log_exp.h"
#include "engine/extended_math.h"
#include "engine/extended_rounding.h"
#include "format/result_format.h"

namespace {

// One MPFR number of a fixed precision for the whole run.
class Number {
 public:
  explicit Number(mpfr_prec_t precision) { mpfr_init2(value_, precision); }
  ~Number() { mpfr_clear(value_); }
  Number(const Number&) = delete;
  Number& operator=(const Number&) = delete;
  mpfr_ptr get() { return value_; }

 private:
  mpfr_t value_;
};

void SetExtended(mpfr_ptr target, const Extended& value) {
  mpfr_set_uj_2exp(target, value.significand, value.exponent, MPFR_RNDN);  // exact at 64 bits or more
  if (value.negative) mpfr_neg(target, target, MPFR_RNDN);
}

bool SameExtended(mpfr_ptr expected, const Extended& got) {
  Number value(64);
  SetExtended(value.get(), got);
  if (mpfr_zero_p(expected) != 0) return got.significand == 0;
  if (got.significand != 0 && (got.significand >> 63) == 0) return false;  // not normalised
  return mpfr_equal_p(expected, value.get()) != 0;
}

std::string Describe(const Extended& value) {
  char text[80];
  std::snprintf(text, sizeof(text), "%s0x%016" PRIX64 "p%d", value.negative ? "-" : "", value.significand,
                value.exponent);
  return text;
}

std::string Describe(mpfr_ptr value) {
  char text[120];
  mpfr_snprintf(text, sizeof(text), "%Ra", value);
  return text;
}

std::string Describe(double value) {
  char text[60];
  std::snprintf(text, sizeof(text), "%a", value);
  return text;
}

// ---- MPFR's version of each step --------------------------------------

void ReferenceBinaryLog(mpfr_ptr result64, double x) {
  Number argument(53);
  mpfr_set_d(argument.get(), x, MPFR_RNDN);
  mpfr_log2(result64, argument.get(), MPFR_RNDN);
}

void ReferencePowerOfTwoMinusOne(mpfr_ptr result64, double f) {
  Number argument(53);
  mpfr_set_d(argument.get(), f, MPFR_RNDN);
  mpfr_exp2m1(result64, argument.get(), MPFR_RNDN);
}

void ReferenceNaturalLog(mpfr_ptr result64, double x) {
  Number binaryLog(64);
  Number ln2(64);
  ReferenceBinaryLog(binaryLog.get(), x);
  SetExtended(ln2.get(), kLn2);
  mpfr_mul(result64, ln2.get(), binaryLog.get(), MPFR_RNDN);
}

// The exact product of a double and a 64-bit value, then one rounding.
double ReferenceProduct(mpfr_ptr a, mpfr_ptr b) {
  Number exact(128);
  mpfr_mul(exact.get(), a, b, MPFR_RNDN);  // exact: at most 117 bits
  return mpfr_get_d(exact.get(), MPFR_RNDN);
}

double ReferenceOnePlus(mpfr_ptr m) {
  Number sum(53);
  mpfr_add_ui(sum.get(), m, 1, MPFR_RNDN);
  return mpfr_get_d(sum.get(), MPFR_RNDN);
}

double ReferenceScaledPowerOfTwo(double x) {
  if (std::isnan(x)) return x;
  if (std::isinf(x)) return x > 0 ? x : 0.0;
  const double n = std::nearbyint(x);
  Number m(64);
  ReferencePowerOfTwoMinusOne(m.get(), x - n);
  const double mantissa = ReferenceOnePlus(m.get());
  return std::ldexp(mantissa, static_cast<int>(std::fmax(std::fmin(n, 100000.0), -100000.0)));
}

double ReferenceExp(double x) {
  if (!std::isfinite(x) || x == 0.0) return ReferenceScaledPowerOfTwo(x * 1.4426950408889634);
  Number argument(53);
  Number log2e(64);
  mpfr_set_d(argument.get(), x, MPFR_RNDN);
  SetExtended(log2e.get(), kLog2E);
  return ReferenceScaledPowerOfTwo(ReferenceProduct(argument.get(), log2e.get()));
}

// Finite a > 0 other than 1, finite b other than 0.
double ReferencePower(double a, double b) {
  Number lnA(64);
  Number exponent(53);
  ReferenceNaturalLog(lnA.get(), a);
  mpfr_set_d(exponent.get(), b, MPFR_RNDN);
  return ReferenceExp(ReferenceProduct(exponent.get(), lnA.get()));
}

double ReferenceLogQuotient(double x, mpfr_ptr denominator) {
  if (x == 1.0) return 0.0;
  Number numerator(64);
  Number quotient(53);
  ReferenceNaturalLog(numerator.get(), x);
  mpfr_div(quotient.get(), numerator.get(), denominator, MPFR_RNDN);
  return mpfr_get_d(quotient.get(), MPFR_RNDN);
}

// ln of the value "exp" gives for 1, and ln 10, each computed once.
mpfr_ptr DenominatorFor(double argument, Number& storage) {
  ReferenceNaturalLog(storage.get(), argument);
  return storage.get();
}

double ReferenceLn(double x) {
  static Number storage(64);
  static mpfr_ptr const denominator = DenominatorFor(ReferenceExp(1.0), storage);
  return ReferenceLogQuotient(x, denominator);
}

double ReferenceLg(double x) {
  static Number storage(64);
  static mpfr_ptr const denominator = DenominatorFor(10.0, storage);
  return ReferenceLogQuotient(x, denominator);
}

// ---- Arguments ----------------------------------------------------------

class Arguments {
 public:
  explicit Arguments(std::uint64_t seed) : random_(seed) {}

  std::uint64_t Bits() { return random_(); }
  int Between(int low, int high) { return low + static_cast<int>(random_() % static_cast<std::uint64_t>(high - low + 1)); }
  double Unit() { return static_cast<double>(random_() >> 11) * 0x1p-53; }  // [0, 1)
  double Sign(double value) { return (random_() & 1U) != 0 ? -value : value; }
  double StepUlps(double value, int ulps) {
    for (int i = 0; i < std::abs(ulps); ++i) value = std::nextafter(value, ulps > 0 ? INFINITY : 0.0);
    return value;
  }

  // A positive finite double of every kind, in turn.
  double Positive(int kind) {
    switch (kind % 8) {
      case 0: return AnyPositive();
      case 1: return std::bit_cast<double>(Bits() & ((std::uint64_t{1} << 52) - 1)) + 0x1p-1074;  // subnormal
      case 2: return 1.0 + Sign(std::ldexp(1.0 + Unit(), -Between(7, 53)));                         // near 1
      case 3: return std::fmax(0x1p-1074, StepUlps(std::ldexp(1.0, Between(-1074, 1023)), Between(-3, 3)));
      case 4: return std::bit_cast<double>((static_cast<std::uint64_t>(Between(2000, 2046)) << 52) | (Bits() >> 12));
      case 5: return std::bit_cast<double>((static_cast<std::uint64_t>(Between(1, 60)) << 52) | (Bits() >> 12));
      case 6: return std::ldexp(1.0 + Unit(), Between(-20, 20));
      default: return StepUlps(std::pow(10.0, Between(-307, 308)), Between(-4, 4));  // near 10^k
    }
  }

  double AnyPositive() {
    for (;;) {
      const double value = std::bit_cast<double>(Bits() >> 1);
      if (std::isfinite(value) && value > 0) return value;
    }
  }

  double AnyFinite() { return Sign(AnyPositive()); }

  // f with |f| <= 1/2, the argument of 2^f - 1.
  double Fraction(int kind) {
    switch (kind % 5) {
      case 0: return Sign(0.5 * Unit());
      case 1: return Sign(std::ldexp(1.0 + Unit(), -Between(9, 1074)));
      case 2: return std::fmax(-0.5, std::fmin(0.5, StepUlps(Between(-64, 64) / 128.0, Between(-5, 5))));
      case 3: return Sign(StepUlps(0x1p-8, Between(-5, 5)));
      default: return Sign(std::ldexp(1.0 + Unit(), -Between(2, 60)));
    }
  }

 private:
  std::mt19937_64 random_;
};

// ---- The comparison ------------------------------------------------------

struct Tally {
  long long compared = 0;
  long long differences = 0;
  void Report(const std::string& what) {
    ++differences;
    if (differences <= 10) std::printf("  differs: %s\n", what.c_str());
  }
};

using Check = std::function<void(Arguments&, long long, Tally&)>;

void CompareBinaryLog(double x, Tally& tally) {
  Number expected(64);
  ReferenceBinaryLog(expected.get(), x);
  const Extended got = BinaryLogarithm(x);
  ++tally.compared;
  if (!SameExtended(expected.get(), got)) {
    tally.Report("log2(" + Describe(x) + ") = " + Describe(got) + ", MPFR " + Describe(expected.get()));
  }
}

void ComparePowerOfTwo(double f, Tally& tally) {
  Number expected(64);
  ReferencePowerOfTwoMinusOne(expected.get(), f);
  const Extended got = PowerOfTwoMinusOne(f);
  ++tally.compared;
  if (!SameExtended(expected.get(), got)) {
    tally.Report("2^" + Describe(f) + " - 1 = " + Describe(got) + ", MPFR " + Describe(expected.get()));
  }
}

void CompareDoubles(const std::string& what, double got, double expected, Tally& tally) {
  ++tally.compared;
  const bool same = std::bit_cast<std::uint64_t>(got) == std::bit_cast<std::uint64_t>(expected) ||
                    (std::isnan(got) && std::isnan(expected));
  if (!same) tally.Report(what + " = " + Describe(got) + ", MPFR " + Describe(expected));
}

Extended RandomExtended(Arguments& arguments, int lowExponent, int highExponent) {
  return {(arguments.Bits() & 1U) != 0, arguments.Bits() | (std::uint64_t{1} << 63),
          arguments.Between(lowExponent, highExponent)};
}

const std::vector<double>& PositiveEdges() {
  static const std::vector<double> edges = {
      0x1p-1074, 0x1p-1022, 0x1.fffffffffffffp-1023, 0x1.fffffffffffffp+1023, 1.0, 2.0, 0.5,
      0x1.0000000000001p0, 0x1.fffffffffffffp-1, 0x1.fffffffffffffp0, 10.0, 1e-300, 1e300, 1000.0, 0.001,
      1e36, 1e19, 2.718281828459045, 0x1.02p0, 0x1.fcp-1, 0x1.0200000000001p0, 0x1.fbfffffffffffp-1};
  return edges;
}

const std::vector<double>& FractionEdges() {
  static const std::vector<double> edges = {
      0.0, -0.0, 0.5, -0.5, 0x1p-8, -0x1p-8, 0x1p-7, -0x1p-7, 0x1p-1074, -0x1p-1074, 0x1p-1022, 0.25, -0.25,
      0x1.fffffffffffffp-2, -0x1.fffffffffffffp-2, 0x1.fffffffffffffp-9, -0x1.fffffffffffffp-9};
  return edges;
}

void CheckPositiveFunction(const char* name, double (*function)(double), double (*reference)(double),
                           Arguments& arguments, long long count, Tally& tally) {
  auto one = [&](double x) {
    CompareDoubles(std::string(name) + "(" + Describe(x) + ")", function(x), reference(x), tally);
  };
  for (double x : PositiveEdges()) one(x);
  for (long long i = 0; i < count; ++i) one(arguments.Positive(static_cast<int>(i)));
}

double ExtendedExpOf(double x) { return ExtendedExp(x); }
double ExtendedLnOf(double x) { return ExtendedLn(x); }
double ExtendedLgOf(double x) { return ExtendedLg(x); }

const std::vector<std::pair<std::string, Check>>& Steps() {
  static const std::vector<std::pair<std::string, Check>> steps = {
      {"binary-log",
       [](Arguments& arguments, long long count, Tally& tally) {
         for (double x : PositiveEdges()) CompareBinaryLog(x, tally);
         for (long long i = 0; i < count; ++i) CompareBinaryLog(arguments.Positive(static_cast<int>(i)), tally);
       }},
      {"power-of-two",
       [](Arguments& arguments, long long count, Tally& tally) {
         for (double f : FractionEdges()) ComparePowerOfTwo(f, tally);
         for (long long i = 0; i < count; ++i) ComparePowerOfTwo(arguments.Fraction(static_cast<int>(i)), tally);
       }},
      {"natural-log",
       [](Arguments& arguments, long long count, Tally& tally) {
         Number ln2(64);
         Number factor(64);
         Number expected(64);
         SetExtended(ln2.get(), kLn2);
         for (long long i = 0; i < count; ++i) {
           const Extended x = RandomExtended(arguments, -80, 20);
           SetExtended(factor.get(), x);
           mpfr_mul(expected.get(), ln2.get(), factor.get(), MPFR_RNDN);
           const Extended got = RoundedExtendedProduct(kLn2, x);
           ++tally.compared;
           if (!SameExtended(expected.get(), got)) tally.Report("ln2 * " + Describe(x) + " = " + Describe(got));
         }
       }},
      {"product",
       [](Arguments& arguments, long long count, Tally& tally) {
         Number a(64);
         Number b(64);
         for (long long i = 0; i < count; ++i) {
           // A double times a 64-bit value, over the whole range of products.
           const double x = arguments.AnyFinite();
           const Extended y = RandomExtended(arguments, -1100, 1000);
           mpfr_set_d(a.get(), x, MPFR_RNDN);
           SetExtended(b.get(), y);
           CompareDoubles(Describe(x) + " * " + Describe(y), RoundedProduct(Decompose(x), y),
                          ReferenceProduct(a.get(), b.get()), tally);
         }
       }},
      {"quotient",
       [](Arguments& arguments, long long count, Tally& tally) {
         Number n(64);
         Number d(64);
         Number quotient(53);
         for (long long i = 0; i < count; ++i) {
           const Extended x = RandomExtended(arguments, -200, 100);
           const Extended y = RandomExtended(arguments, -200, 100);
           SetExtended(n.get(), x);
           SetExtended(d.get(), y);
           mpfr_div(quotient.get(), n.get(), d.get(), MPFR_RNDN);
           CompareDoubles(Describe(x) + " / " + Describe(y), RoundedQuotient(x, y),
                          mpfr_get_d(quotient.get(), MPFR_RNDN), tally);
         }
       }},
      {"one-plus",
       [](Arguments& arguments, long long count, Tally& tally) {
         Number m(64);
         for (long long i = 0; i < count; ++i) {
           Extended x = RandomExtended(arguments, -1200, -65);
           // Half of them near the midpoints beside 1: 2^-53 or 2^-54 give or take a little.
           if (i % 2 == 0) x.exponent = -116 - static_cast<int>(i % 4) / 2 - (x.negative ? 1 : 0);
           SetExtended(m.get(), x);
           CompareDoubles("1 + " + Describe(x), RoundedOnePlus(x), ReferenceOnePlus(m.get()), tally);
         }
       }},
      {"power",
       [](Arguments& arguments, long long count, Tally& tally) {
         auto one = [&](double a, double b) {
           if (!(a > 0) || !std::isfinite(a) || a == 1.0 || !std::isfinite(b) || b == 0.0) return;
           CompareDoubles(Describe(a) + " ^ " + Describe(b), PowerOfPositiveBase(a, b), ReferencePower(a, b), tally);
         };
         const double edges[][2] = {{2, 3}, {5, 2}, {3, 2}, {15, 1}, {2, 10}, {2, 0.5}, {10, 308}, {10, -308},
                                    {2, 1023.9999999999999}, {2, -1074}, {2, -1075}, {0.5, 1074}, {1e300, 1e300}};
         for (const auto& edge : edges) one(edge[0], edge[1]);
         for (long long i = 0; i < count; ++i) {
           switch (i % 6) {
             case 0: one(arguments.AnyPositive(), arguments.AnyFinite()); break;
             case 1: one(arguments.Positive(static_cast<int>(i / 6)), arguments.Sign(std::ldexp(arguments.Unit(), 6))); break;
             case 2: one(arguments.Between(2, 1000), arguments.Between(-60, 60)); break;
             case 3: {
               // Results near the top and the bottom of the double range.
               const double a = arguments.Positive(6);
               const double edge = (arguments.Bits() & 1U) != 0 ? 1024.0 : ((arguments.Bits() & 1U) != 0 ? -1022.0 : -1074.0);
               one(a, arguments.StepUlps(edge / std::log2(a), arguments.Between(-40, 40)));
               break;
             }
             case 4: one(1.0 + arguments.Sign(std::ldexp(1.0, -arguments.Between(20, 52))), arguments.Sign(std::ldexp(1.0 + arguments.Unit(), arguments.Between(40, 62)))); break;
             default: one(arguments.Positive(static_cast<int>(i / 6)), arguments.Sign(std::ldexp(1.0 + arguments.Unit(), -arguments.Between(1, 1074)))); break;
           }
         }
       }},
      {"exp",
       [](Arguments& arguments, long long count, Tally& tally) {
         auto one = [&](double x) { CompareDoubles("exp(" + Describe(x) + ")", ExtendedExpOf(x), ReferenceExp(x), tally); };
         for (double x : {1.0, -1.0, 709.782712893384, 709.7827128933841, -745.1332191019411, -708.3964185322641, 0x1p-1074})
           one(x);
         for (long long i = 0; i < count; ++i) {
           switch (i % 4) {
             case 0: one(arguments.AnyFinite()); break;
             case 1: one(-745.2 + 1455.0 * arguments.Unit()); break;
             case 2: {
               const double edges[] = {709.782712893384, -745.1332191019411, -708.3964185322641};
               one(arguments.StepUlps(edges[i / 4 % 3], arguments.Between(-1000, 1000)));
               break;
             }
             default: one(arguments.Sign(std::ldexp(1.0 + arguments.Unit(), -arguments.Between(1, 1074)))); break;
           }
         }
       }},
      {"ln",
       [](Arguments& arguments, long long count, Tally& tally) {
         CheckPositiveFunction("ln", ExtendedLnOf, ReferenceLn, arguments, count, tally);
       }},
      {"lg",
       [](Arguments& arguments, long long count, Tally& tally) {
         CheckPositiveFunction("lg", ExtendedLgOf, ReferenceLg, arguments, count, tally);
       }},
      {"decimal-size",
       [](Arguments& arguments, long long count, Tally& tally) {
         auto one = [&](double x) {
           const double signedValue = arguments.Sign(x);
           ++tally.compared;
           const int expected = static_cast<int>(std::trunc(ReferenceLg(x)));
           const int got = TruncatedDecimalLog(signedValue);
           if (got != expected) {
             tally.Report("size(" + Describe(signedValue) + ") = " + std::to_string(got) + ", MPFR " +
                          std::to_string(expected));
           }
         };
         for (double x : PositiveEdges()) one(x);
         for (long long i = 0; i < count; ++i) one(arguments.Positive(static_cast<int>(i)));
       }},
  };
  return steps;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: extended_reference <step> <count>\n");
    return 2;
  }
  const std::string name = argv[1];
  const long long count = std::atoll(argv[2]);
  for (const auto& [stepName, check] : Steps()) {
    if (stepName != name) continue;
    Arguments arguments(std::hash<std::string>{}(stepName) ^ 0x5157494C4C4FULL);
    Tally tally;
    check(arguments, count, tally);
    std::printf("%s: %lld compared, %lld differ from MPFR\n", name.c_str(), tally.compared, tally.differences);
    return tally.differences == 0 ? 0 : 1;
  }
  std::fprintf(stderr, "unknown step: %s\n", name.c_str());
  return 2;
}
