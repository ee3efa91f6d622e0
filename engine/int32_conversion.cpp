#include <cmath>
#include <cstdint>

#include "engine/calculate.h"

int32_t TruncateToInt32(double value) {
  // Values without a 64-bit integer (|value| >= 2^63, infinities, NaN) become
  // the "integer indefinite" -2^63, whose low 32 bits are zero.
  int64_t wide = INT64_MIN;
  if (std::fabs(value) < 9223372036854775808.0) wide = static_cast<int64_t>(value);
  return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(wide)));
}
