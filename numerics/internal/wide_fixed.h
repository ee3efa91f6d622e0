#pragma once
// Wide fixed-point numbers for the slow, precise path of the trigonometric
// functions: a 384-bit two's-complement integer N in six 64-bit limbs (least
// significant first) standing for N / 2^256. So 128 bits before the binary
// point and 256 after it: values up to 2^127 with an absolute resolution of
// 2^-256. Only integer operations, so every compiler gives the same bits.

#include <cstdint>

namespace wide {

inline constexpr int kLimbs = 6;
inline constexpr int kFractionBits = 256;

struct Fixed {
  uint64_t limb[kLimbs];
};

Fixed Zero();
Fixed FromLimbs(const uint64_t (&limbs)[kLimbs]);
bool IsNegative(const Fixed& a);
bool IsZero(const Fixed& a);
Fixed Negate(const Fixed& a);
Fixed Add(const Fixed& a, const Fixed& b);
Fixed Subtract(const Fixed& a, const Fixed& b);
// The magnitude truncated, less than four units of 2^-256 below the exact
// one; |a * b| must stay below 2^127.
Fixed Multiply(const Fixed& a, const Fixed& b);
// |a| / divisor truncated, with a's sign; 0 < divisor < 2^32.
Fixed DivideBySmall(const Fixed& a, uint32_t divisor);

// x exactly when |x| < 2^126; bits below 2^-256 are dropped (toward zero).
Fixed FromDouble(double x);
// The double nearest a (ties to even).
double ToDouble(const Fixed& a);
// The double nearest a * 2^scale (ties to even), subnormal results and
// overflow included. A value within 2^-90 of an ulp of a midpoint between
// doubles is taken for the midpoint: the slow paths err by far less, and no
// function comes that close to a midpoint unless it lies on it.
double RoundToDouble(const Fixed& a, int scale);

// sin(y) and cos(y) for |y| below 4, from the Taylor series of y / 2^7 and
// seven doublings of that angle. Absolute error of each a few units of
// 2^-248.
void SineCosine(const Fixed& y, Fixed& sine, Fixed& cosine);

// The 64-bit halves of a * b (the full 128-bit product): the compiler's
// 128-bit integers where it has them, 32-bit parts elsewhere; integer
// products are exact, so both give the same bits.
inline void MultiplyFull(uint64_t a, uint64_t b, uint64_t& high, uint64_t& low) {
#if defined(__SIZEOF_INT128__)
  __extension__ using Unsigned128 = unsigned __int128;
  const Unsigned128 product = static_cast<Unsigned128>(a) * b;
  high = static_cast<uint64_t>(product >> 64);
  low = static_cast<uint64_t>(product);
#else
  const uint64_t aLow = a & 0xFFFFFFFFu;
  const uint64_t aHigh = a >> 32;
  const uint64_t bLow = b & 0xFFFFFFFFu;
  const uint64_t bHigh = b >> 32;
  const uint64_t lowLow = aLow * bLow;
  const uint64_t highLow = aHigh * bLow;
  const uint64_t lowHigh = aLow * bHigh;
  const uint64_t highHigh = aHigh * bHigh;
  const uint64_t middle = (lowLow >> 32) + (highLow & 0xFFFFFFFFu) + (lowHigh & 0xFFFFFFFFu);
  low = (middle << 32) | (lowLow & 0xFFFFFFFFu);
  high = highHigh + (highLow >> 32) + (lowHigh >> 32) + (middle >> 32);
#endif
}

}  // namespace wide
