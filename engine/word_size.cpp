#include "engine/word_size.h"

#include <cmath>

namespace {

constexpr double kTwoTo63 = 9223372036854775808.0;
constexpr double kTwoTo64 = 18446744073709551616.0;
constexpr uint64_t kIndefinite = uint64_t{1} << 63;  // -2^63 as a pattern

// The low 64 bits of a double's whole part, for |value| < 2^64.
uint64_t LowBitsBelowTwoTo64(double value) {
  const double magnitude = std::fabs(value);
  const uint64_t bits = magnitude < kTwoTo63 ? static_cast<uint64_t>(static_cast<int64_t>(magnitude))
                                             : static_cast<uint64_t>(magnitude);
  return value < 0.0 ? uint64_t{0} - bits : bits;
}

}  // namespace

uint64_t WordPatternOfDouble(double value, int bits) {
  const double magnitude = std::fabs(value);
  if (bits >= 64) return magnitude < kTwoTo64 ? LowBitsBelowTwoTo64(value) : kIndefinite;
  const uint64_t wide = magnitude < kTwoTo63 ? static_cast<uint64_t>(static_cast<int64_t>(value)) : kIndefinite;
  return wide & WordMask(bits);
}
