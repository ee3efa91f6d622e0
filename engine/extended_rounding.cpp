// Rounding of exact extended-precision results to double in ONE rounding.
// An extended operation followed by a conversion would round twice and can
// land one unit off in the last place.

#include "engine/extended_rounding.h"

#include <cmath>
#include <cstdint>
#include <cstring>

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

bool LowestSignificandBitIsSet(Extended value) {
  std::uint64_t significand = 0;
  std::memcpy(&significand, &value, sizeof(significand));  // x87 layout: significand first
  return (significand & 1U) != 0;
}

// Rounds head + tail to double once. Rounding to odd into 64 bits first, then
// to nearest into 53, equals one rounding to nearest, since 64 >= 53 + 2.
double RoundOnceToDouble(ExtendedPair exact) {
  Extended value = exact.head;
  if (exact.tail != 0 && !LowestSignificandBitIsSet(value)) {
    value = std::nextafter(value, exact.tail > 0 ? std::numeric_limits<Extended>::infinity()
                                                 : -std::numeric_limits<Extended>::infinity());
  }
  return static_cast<double>(value);
}

}  // namespace

double RoundedProduct(Extended a, Extended b) {
  const ExtendedPair exact = ExactProduct(a, b);
  if (!std::isfinite(exact.head)) return static_cast<double>(exact.head);
  return RoundOnceToDouble(exact);
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

