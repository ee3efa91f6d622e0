// Power, exponential and logarithms through the base-2 exponential and
// logarithm with 64-bit significands in between. The digits users see depend
// on it (2^3 shows 7.999999999999997, lg of 1000 gives exactly 3), so each
// step rounds exactly where stated: a product, sum or quotient of 64-bit
// values goes to double in ONE rounding, and the logarithm and 2^f - 1 are
// each correctly rounded to 64 bits.

#include "engine/extended_math.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <optional>

#include "engine/extended_log_exp.h"
#include "engine/extended_rounding.h"

namespace {

// ln x = ln 2 * log2 x, both held with 64-bit significands, the product
// rounded once to 64 bits. x finite and above 0.
Extended NaturalLog(double x) {
  // For 2^e with |e| a power of two (2, 4, 16, 1/2, ...) the product is
  // ln 2 itself, scaled: no logarithm and no rounding needed.
  const auto bits = std::bit_cast<std::uint64_t>(x);
  constexpr std::uint64_t kFractionMask = (std::uint64_t{1} << 52) - 1;
  const int biased = static_cast<int>(bits >> 52);  // x > 0
  const int e = biased - 1023;
  const auto magnitude = static_cast<unsigned>(e < 0 ? -e : e);
  // A power of two without the library's bit count (no instruction for it on
  // every processor).
  const bool singleBit = magnitude != 0 && (magnitude & (magnitude - 1)) == 0;
  if ((bits & kFractionMask) == 0 && biased != 0 && singleBit) {
    return {e < 0, kLn2.significand, kLn2.exponent + std::countr_zero(magnitude)};
  }
  return RoundedExtendedProduct(kLn2, BinaryLogarithm(x));
}

// Exponents beyond the int range overflow or underflow alike.
int ExponentForScaling(double n) {
  if (n > 100000.0) return 100000;
  if (n < -100000.0) return -100000;
  return static_cast<int>(n);
}

// 2^n as a double, for the normal range of exponents.
double PowerOfTwo(int n) { return std::bit_cast<double>(static_cast<std::uint64_t>(n + 1023) << 52); }

// mantissa * 2^n in one rounding. Multiplying by an exact power of two is
// the same single rounding as ldexp, without the call, wherever 2^n itself
// is a normal double.
double TimesPowerOfTwo(double mantissa, double n) {
  if (n >= -1022.0 && n <= 1023.0) return mantissa * PowerOfTwo(static_cast<int>(n));
  return std::ldexp(mantissa, ExponentForScaling(n));
}

// The integer nearest to x, ties to even, as nearbyint gives it in the
// default rounding mode, without the library call: below 2^51 in magnitude,
// adding and taking away 1.5 * 2^52 rounds away exactly the fraction.
double NearestInteger(double x) {
  constexpr double kShifter = 0x1.8p52;
  if (!(std::fabs(x) < 0x1p51)) return std::nearbyint(x);
  return (x + kShifter) - kShifter;
}

// 2^x: split at the nearest integer n (ties to even), 2^(x-n) - 1 with a
// 64-bit significand, plus 1 rounded to double, scaled by 2^n exactly.
double ScaledPowerOfTwo(double x) {
  if (std::isnan(x)) return x;
  if (std::isinf(x)) return x > 0 ? x : 0.0;
  const double n = NearestInteger(x);
  const double fraction = x - n;  // exact: |fraction| <= 1/2
  // An integer x (2^10 as the power computes it) needs no 2^f - 1.
  const double mantissa = fraction == 0.0 ? 1.0 : RoundedOnePlus(PowerOfTwoMinusOne(fraction));
  return TimesPowerOfTwo(mantissa, n);
}

// The same for a normal t taken apart (RoundedProductIfNormal), with n and
// f = t - n split off in integer arithmetic: |t| = whole + fraction * 2^-64
// where t's last bit lies at or above 2^-64; f goes on in fixed point.
double ScaledPowerOfTwo(Extended t) {
  const int shift = -t.exponent;  // |t| = significand * 2^-shift
  // |t| >= 2^52 (an integer, the result far beyond the double range) or
  // |t| < 2^-11 (f = t, its bits below 2^-64) take the general way.
  if (shift <= 0 || shift > 64) return ScaledPowerOfTwo(AssembleDouble(t.negative, t.significand, t.exponent));
  const std::uint64_t whole = shift == 64 ? 0 : t.significand >> shift;
  const std::uint64_t fraction = t.significand << (64 - shift);
  constexpr std::uint64_t kHalf = std::uint64_t{1} << 63;
  const bool roundsUp = fraction > kHalf || (fraction == kHalf && (whole & 1U) != 0);
  // |t| - n is -(2^64 - fraction) * 2^-64 when n rounded up.
  const std::uint64_t magnitude = roundsUp ? std::uint64_t{0} - fraction : fraction;
  const auto n = static_cast<std::int64_t>(whole + (roundsUp ? 1 : 0));
  const std::int64_t signedN = t.negative ? -n : n;
  const auto scale = static_cast<double>(signedN);  // exact: below 2^52
  if (magnitude == 0) return TimesPowerOfTwo(1.0, scale);
  if (const auto quick = QuickScaledPowerOfTwo(roundsUp != t.negative, magnitude, signedN)) return *quick;
  return TimesPowerOfTwo(RoundedOnePlus(PowerOfTwoMinusOneOfFixed(roundsUp != t.negative, magnitude)), scale);
}

// y * ln base rounded once to double; ln base is 0, infinite or NaN only
// for a base of 1, +infinity or NaN, where the plain product is exact.
double ExponentTimesLog(double base, double exponent) {
  if (std::isnan(base) || std::isinf(base)) return exponent * std::log(base);
  if (base == 1.0) return exponent * 0.0;
  if (!std::isfinite(exponent) || exponent == 0.0) {
    // The logarithm is finite and not zero: only its sign matters.
    return exponent * (base > 1.0 ? 1.0 : -1.0);
  }
  return RoundedProduct(Decompose(exponent), NaturalLog(base));
}

// ln of the value that "exp" gives for 1, slightly below 1; computed once.
const Extended& LogOfExpOne() {
  static const Extended value = NaturalLog(ExtendedExp(1.0));
  return value;
}

// ln 10 as the decimal logarithm divides by it; computed once.
const Extended& LogOfTen() {
  static const Extended value = NaturalLog(10.0);
  return value;
}

// log(x) / divisor rounded once; x > 0, with the special values of the
// logarithm for 1, +infinity and NaN.
double LogQuotient(double x, const Extended& divisor) {
  if (std::isnan(x) || std::isinf(x)) return x;
  if (x == 1.0) return 0.0;
  return RoundedQuotient(NaturalLog(x), divisor);
}

}  // namespace

double PowerOfPositiveBase(double base, double exponent) {
  // The common case in integer registers from end to end: y = b * ln a and
  // t = y * log2 e each one rounding, both normal doubles.
  if (std::isfinite(base) && base != 1.0 && std::isfinite(exponent) && exponent != 0.0) {
    Extended y;
    Extended t;
    if (RoundedProductIfNormal(Decompose(exponent), NaturalLog(base), y) && RoundedProductIfNormal(y, kLog2E, t)) {
      return ScaledPowerOfTwo(t);
    }
  }
  const double y = ExponentTimesLog(base, exponent);
  if (std::isnan(y)) return y;
  return ExtendedExp(y);
}

double ExtendedExp(double x) {
  // x * log2 e rounded once; the constant's significand is fixed.
  if (!std::isfinite(x) || x == 0.0) return ScaledPowerOfTwo(x * 1.4426950408889634);
  Extended t;
  if (RoundedProductIfNormal(Decompose(x), kLog2E, t)) return ScaledPowerOfTwo(t);
  return ScaledPowerOfTwo(RoundedProduct(Decompose(x), kLog2E));
}

double ExtendedLn(double x) {
  // Dividing by ln of exp(1) as computed above, slightly below 1, is what the
  // "ln" function has always shown (ln 2 = 0.6931471805599454).
  return LogQuotient(x, LogOfExpOne());
}

double ExtendedLg(double x) { return LogQuotient(x, LogOfTen()); }
