// Compares the portable 64-bit-significand steps with the x87 path they
// replaced (fyl2x for ln 2 * log2 x, f2xm1 for 2^f - 1, long double for the
// roundings), on the same random arguments, and prints per step how many
// results differ and the first few. Where they differ the portable result is
// the correctly rounded one (tests/reference checks it against MPFR).
// Built only for x86-64 with GCC or Clang; not a test: it reports, it does
// not judge.
//   x87_compare [count]

#include <bit>
#include <cinttypes>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>

#include "engine/extended_log_exp.h"
#include "engine/extended_math.h"
#include "engine/extended_rounding.h"

// The replaced x87 code, kept here only.
namespace x87 {

using Extended = long double;
static_assert(std::numeric_limits<long double>::digits == 64);

struct ExtendedParts {
  bool negative;
  std::uint64_t significand;
  int exponent;
};
inline constexpr Extended kLog2E = 1.442695040888963407359924681001892137L;
inline constexpr ExtendedParts kLog2EParts = {false, 0xB8AA3B295C17F0BCULL, -63};
ExtendedParts Decompose(Extended value);
ExtendedParts Decompose(double value);
double RoundedProduct(Extended a, Extended b);
double RoundedProduct(const ExtendedParts& x, const ExtendedParts& y);
double RoundedQuotient(Extended numerator, Extended denominator);
double RoundedOnePlus(Extended m);
double PowerOfPositiveBase(double base, double exponent);
double ExtendedExp(double x);
double ExtendedLn(double x);
double ExtendedLg(double x);

namespace {

// An exact value as a rounded 64-bit head and the exact remainder.
struct ExtendedPair {
  Extended head;
  Extended tail;
};

// Veltkamp split of a 64-bit significand into two 32-bit halves.
ExtendedPair Split(Extended value) {
  constexpr Extended kSplitter = 4294967297.0L;  // 2^32 + 1
  const Extended scaled = kSplitter * value;
  const Extended high = scaled - (scaled - value);
  return {high, value - high};
}

// Dekker's exact product: head + tail == a * b.
ExtendedPair ExactProduct(Extended a, Extended b) {
  const Extended product = a * b;
  const ExtendedPair x = Split(a);
  const ExtendedPair y = Split(b);
  const Extended error =
      ((x.head * y.head - product) + x.head * y.tail + x.tail * y.head) + x.tail * y.tail;
  return {product, error};
}

// Rounds head + tail to double once. Rounding to odd into 64 bits first, then
// to nearest into 53, equals one rounding to nearest, since 64 >= 53 + 2.
// Round to odd: when the tail is not zero and head's last significand bit is
// clear, step to the neighbour on the tail's side, whose last bit is set.
// The step works on the significand bits directly: nextafter on long double
// costs more than the rest of a power.
double RoundOnceToDouble(ExtendedPair exact) {
  Extended value = exact.head;
  std::uint64_t significand = 0;
  std::memcpy(&significand, &value, sizeof(significand));  // x87 layout: significand first
  if (exact.tail == 0 || (significand & 1U) != 0) return static_cast<double>(value);
  const bool awayFromZero = (exact.tail > 0) == (value > 0);
  constexpr std::uint64_t kPowerOfTwo = std::uint64_t{1} << 63;
  if (awayFromZero) {
    significand |= 1U;
  } else if (significand != kPowerOfTwo) {
    significand -= 1U;
  } else {
    // Just below a power of two everything rounds to it: nothing to mark.
    return static_cast<double>(value);
  }
  std::memcpy(&value, &significand, sizeof(significand));
  return static_cast<double>(value);
}

__extension__ using UInt128 = unsigned __int128;

int CountLeadingZeros(UInt128 value) {
  const auto high = static_cast<std::uint64_t>(value >> 64);
  if (high != 0) return __builtin_clzll(high);
  return 64 + __builtin_clzll(static_cast<std::uint64_t>(value));
}

}  // namespace

ExtendedParts Decompose(Extended value) {
  std::uint64_t significand = 0;
  std::uint16_t signAndExponent = 0;
  std::memcpy(&significand, &value, sizeof(significand));  // x87 layout
  std::memcpy(&signAndExponent, reinterpret_cast<const char*>(&value) + 8, sizeof(signAndExponent));
  const int biased = signAndExponent & 0x7FFF;
  constexpr int kBias = 16383 + 63;
  return {(signAndExponent & 0x8000) != 0, significand, (biased == 0 ? 1 : biased) - kBias};
}

ExtendedParts Decompose(double value) {
  std::uint64_t bits = 0;
  std::memcpy(&bits, &value, sizeof(bits));
  const int biased = static_cast<int>((bits >> 52) & 0x7FF);
  std::uint64_t significand = bits & ((std::uint64_t{1} << 52) - 1);
  if (biased != 0) significand |= std::uint64_t{1} << 52;
  constexpr int kBias = 1023 + 52;
  return {(bits >> 63) != 0, significand, (biased == 0 ? 1 : biased) - kBias};
}

double RoundedProduct(Extended a, Extended b) {
  if (!std::isfinite(a) || !std::isfinite(b) || a == 0 || b == 0) {
    return static_cast<double>(a * b);
  }
  return RoundedProduct(Decompose(a), Decompose(b));
}

// The product of two significands of at most 64 bits is exact in 128 bits;
// rounding its top 53 bits to nearest even is the one rounding to double.
double RoundedProduct(const ExtendedParts& x, const ExtendedParts& y) {
  UInt128 product = static_cast<UInt128>(x.significand) * y.significand;
  int exponent = x.exponent + y.exponent;
  // Normalise so that bit 127 is set; short or subnormal significands need more.
  const int leadingZeros = CountLeadingZeros(product);
  product <<= leadingZeros;
  exponent -= leadingZeros;
  constexpr int kDropped = 128 - 53;
  std::uint64_t kept = static_cast<std::uint64_t>(product >> kDropped);
  const UInt128 rest = product & ((UInt128{1} << kDropped) - 1);
  const UInt128 half = UInt128{1} << (kDropped - 1);
  if (rest > half || (rest == half && (kept & 1U) != 0)) ++kept;
  return ::AssembleDouble(x.negative != y.negative, kept, exponent + kDropped);
}

// The quotient rounded once: the sign of the exact remainder n - q*d tells on
// which side of q the true quotient lies.
double RoundedQuotient(Extended numerator, Extended denominator) {
  const Extended quotient = numerator / denominator;
  if (!std::isfinite(quotient) || quotient == 0) return static_cast<double>(quotient);
  const ExtendedPair back = ExactProduct(quotient, denominator);
  const Extended remainder = (numerator - back.head) - back.tail;
  const Extended direction = (denominator > 0) ? remainder : -remainder;
  return RoundOnceToDouble({quotient, direction});
}

// 1 + m rounded once, for |m| < 1 (Fast2Sum gives the exact tail).
double RoundedOnePlus(Extended m) {
  const Extended sum = 1.0L + m;
  const Extended tail = m - (sum - 1.0L);
  return RoundOnceToDouble({sum, tail});
}

namespace {

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
// ln 2 * log2 x in one x87 instruction, rounded once to 64 bits.
Extended NaturalLog(Extended x) {
  Extended result;
  __asm__("fldln2\n\tfxch\n\tfyl2x" : "=t"(result) : "0"(x) : "st(1)");
  return result;
}
// 2^f - 1 for |f| <= 1, to 64 bits.
Extended TwoToThePowerMinusOne(Extended f) {
  __asm__("f2xm1" : "+t"(f));
  return f;
}
#else
// ln 2 rounded to 64 bits, as the x87 unit loads it.
constexpr Extended kLn2 = 0.693147180559945309417232121458176568L;
Extended NaturalLog(Extended x) { return kLn2 * std::log2(x); }
Extended TwoToThePowerMinusOne(Extended f) { return std::expm1(f * kLn2); }
#endif

// Exponents beyond the int range overflow or underflow alike.
int ExponentForScaling(double n) {
  if (n > 100000.0) return 100000;
  if (n < -100000.0) return -100000;
  return static_cast<int>(n);
}

// 2^n as a double, for the normal range of exponents.
double PowerOfTwo(int n) {
  const std::uint64_t bits = static_cast<std::uint64_t>(n + 1023) << 52;
  double value = 0.0;
  std::memcpy(&value, &bits, sizeof(value));
  return value;
}

// 2^x: split at the nearest integer n (ties to even), 2^(x-n) - 1 in
// extended precision, plus 1 rounded to double, scaled by 2^n exactly.
double ScaledPowerOfTwo(double x) {
  if (std::isnan(x)) return x;
  if (std::isinf(x)) return x > 0 ? x : 0.0;
  const double n = std::nearbyint(x);
  const double fraction = x - n;  // exact: |fraction| <= 1/2
  const double mantissa = RoundedOnePlus(TwoToThePowerMinusOne(fraction));
  // Multiplying by an exact power of two is the same single rounding as
  // ldexp, without the call, wherever 2^n itself is a normal double.
  if (n >= -1022.0 && n <= 1023.0) return mantissa * PowerOfTwo(static_cast<int>(n));
  return std::ldexp(mantissa, ExponentForScaling(n));
}

}  // namespace

double PowerOfPositiveBase(double base, double exponent) {
  const Extended lnBase = NaturalLog(base);
  // For a finite base other than 1 the logarithm is finite and not zero, so
  // the exponent can be taken apart from its double bits directly.
  const bool ordinary = std::isfinite(base) && base != 1.0 && std::isfinite(exponent) && exponent != 0.0;
  const double y = ordinary ? RoundedProduct(Decompose(exponent), Decompose(lnBase))
                            : RoundedProduct(exponent, lnBase);
  if (std::isnan(y)) return y;
  return ExtendedExp(y);
}

double ExtendedExp(double x) {
  // x * log2 e rounded once; the constant's significand is fixed.
  if (!std::isfinite(x) || x == 0.0) return ScaledPowerOfTwo(RoundedProduct(x, kLog2E));
  return ScaledPowerOfTwo(RoundedProduct(Decompose(x), kLog2EParts));
}

double ExtendedLn(double x) {
  // Dividing by ln of exp(1) as computed above, slightly below 1, is what the
  // "ln" function has always shown (ln 2 = 0.6931471805599454).
  return RoundedQuotient(NaturalLog(x), NaturalLog(ExtendedExp(1.0)));
}

double ExtendedLg(double x) { return RoundedQuotient(NaturalLog(x), NaturalLog(10.0L)); }

}  // namespace x87

namespace {

// Both sides of a step as the bits of their value.
struct StepResult {
  bool negative;
  std::uint64_t significand;
  int exponent;
};

StepResult FromPortable(const Extended& value) { return {value.negative, value.significand, value.exponent}; }

StepResult FromX87(long double value) {
  if (value == 0) return {false, 0, 0};
  const x87::ExtendedParts parts = x87::Decompose(value);
  return {parts.negative, parts.significand, parts.exponent};
}

bool Same(const StepResult& a, const StepResult& b) {
  return a.negative == b.negative && a.significand == b.significand && (a.significand == 0 || a.exponent == b.exponent);
}

struct Counter {
  const char* name;
  long long compared = 0;
  long long differ = 0;
  void Note(bool same, double argument, double second, const char* portable, const char* old) {
    ++compared;
    if (same) return;
    if (++differ <= 5) std::printf("  %s(%a, %a): portable %s, x87 %s\n", name, argument, second, portable, old);
  }
  void Print() const { std::printf("%-13s %lld compared, %lld differ\n", name, compared, differ); }
};

void Text(char* out, std::size_t size, const StepResult& value) {
  std::snprintf(out, size, "%s0x%016" PRIX64 "p%d", value.negative ? "-" : "", value.significand, value.exponent);
}

void CompareSteps(Counter& counter, double argument, const StepResult& portable, const StepResult& old) {
  char a[64];
  char b[64];
  Text(a, sizeof(a), portable);
  Text(b, sizeof(b), old);
  counter.Note(Same(portable, old), argument, 0.0, a, b);
}

void CompareDoubles(Counter& counter, double argument, double second, double portable, double old) {
  char a[64];
  char b[64];
  std::snprintf(a, sizeof(a), "%a", portable);
  std::snprintf(b, sizeof(b), "%a", old);
  const bool same = std::bit_cast<std::uint64_t>(portable) == std::bit_cast<std::uint64_t>(old) ||
                    (std::isnan(portable) && std::isnan(old));
  counter.Note(same, argument, second, a, b);
}

}  // namespace

int main(int argc, char** argv) {
  const long long count = argc > 1 ? std::atoll(argv[1]) : 1000000;
  std::mt19937_64 random(20261208);
  auto unit = [&] { return static_cast<double>(random() >> 11) * 0x1p-53; };
  auto positive = [&] {
    for (;;) {
      const double value = std::bit_cast<double>(random() >> 1);
      if (std::isfinite(value) && value > 0) return value;
    }
  };
  Counter naturalLog{"ln2*log2 x"};
  Counter powerOfTwo{"2^f-1"};
  Counter power{"power"};
  Counter exp{"exp"};
  Counter ln{"ln"};
  Counter lg{"lg"};
  for (long long i = 0; i < count; ++i) {
    // Arguments of every size, and ordinary ones near 1 where most use is.
    const double x = (i % 2 == 0) ? positive() : std::ldexp(1.0 + unit(), static_cast<int>(random() % 40) - 20);
    CompareSteps(naturalLog, x, FromPortable(RoundedExtendedProduct(kLn2, BinaryLogarithm(x))),
                 FromX87(x87::NaturalLog(x)));
    const double f = (i % 2 == 0) ? unit() - 0.5 : std::ldexp(unit() - 0.5, -static_cast<int>(random() % 60));
    CompareSteps(powerOfTwo, f, FromPortable(PowerOfTwoMinusOne(f)), FromX87(x87::TwoToThePowerMinusOne(f)));
    const double base = std::ldexp(1.0 + unit(), static_cast<int>(random() % 20) - 10);
    const double exponent = (unit() - 0.5) * 40;
    CompareDoubles(power, base, exponent, PowerOfPositiveBase(base, exponent), x87::PowerOfPositiveBase(base, exponent));
    const double e = (unit() - 0.5) * 1400;
    CompareDoubles(exp, e, 0.0, ExtendedExp(e), x87::ExtendedExp(e));
    CompareDoubles(ln, x, 0.0, ExtendedLn(x), x87::ExtendedLn(x));
    CompareDoubles(lg, x, 0.0, ExtendedLg(x), x87::ExtendedLg(x));
  }
  for (const Counter* counter : {&naturalLog, &powerOfTwo, &power, &exp, &ln, &lg}) counter->Print();
  return 0;
}
