#pragma once
// A fixed pseudo-random generator (splitmix64), so that every run of a test
// or a benchmark draws the same arguments, and the bit views of a double
// that argument tables are built with.

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

namespace fixed_random {

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
  double Between(double low, double high) { return low + (high - low) * Unit(); }
};

inline uint64_t Bits(double x) {
  uint64_t bits = 0;
  std::memcpy(&bits, &x, sizeof bits);
  return bits;
}

inline double FromBits(uint64_t bits) {
  double x = 0.0;
  std::memcpy(&x, &bits, sizeof x);
  return x;
}

// The double `steps` doubles above x (below, for a negative count).
inline double StepUlps(double x, int steps) {
  for (; steps > 0; --steps) x = std::nextafter(x, std::numeric_limits<double>::infinity());
  for (; steps < 0; ++steps) x = std::nextafter(x, -std::numeric_limits<double>::infinity());
  return x;
}

}  // namespace fixed_random
