#pragma once
// The rounding test every fast path ends with.

#include "numerics/internal/double_double.h"

namespace numerics {

// The double nearest value, when every number within bound of it (or within
// relativeError of it) rounds to the same double. Rounding is monotonic, so the two sums bracket
// the rounding of every number between value - bound and value + bound; lo
// need only be small against hi. False when they differ.
inline bool RoundsWithin(dd::DoubleDouble value, double bound, double& rounded) {
  const double up = value.hi + (value.lo + bound);  // the sign of bound does not matter
  const double down = value.hi + (value.lo - bound);
  if (up != down) return false;
  rounded = up;
  return true;
}

inline bool RoundsUnambiguously(dd::DoubleDouble value, double relativeError, double& rounded) {
  return RoundsWithin(value, relativeError * value.hi, rounded);
}

}  // namespace numerics
