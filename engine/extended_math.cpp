// Power, exponential and logarithms through the base-2 exponential and
// logarithm with 64-bit significands in between, as the x87 unit computes
// them. The digits users see depend on it (2^3 shows 7.999999999999997, lg of
// 1000 gives exactly 3), so each step rounds exactly where stated: a product,
// sum or quotient of extended values goes to double in ONE rounding. Doing it
// as an extended operation followed by a conversion would round twice.

#include "engine/extended_math.h"

#include "engine/extended_rounding.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

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
