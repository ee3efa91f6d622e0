// The exponential, correctly rounded: the fast step of exp_core.h, and
// when the two ends of its error interval round differently (about one
// argument in four thousand) or the result is subnormal, the slow path.

#include <cmath>

#include "numerics/internal/exp_core.h"
#include "numerics/internal/exp_log.h"
#include "numerics/numerics.h"

namespace numerics {

double Exponential(double x) {
  // Beyond these every result overflows or rounds to zero; NaN passes.
  if (!(x <= 709.8)) return x > 0.0 ? INFINITY : x;
  if (!(x >= -745.2)) return 0.0;
  // Below 2^-54 e^x rounds to 1 (from below 1 for a negative x, where ties
  // cannot occur).
  if (std::fabs(x) < 0x1p-54) return 1.0 + x;
  const exp_log::ScaledValue value = exp_log::ExpCore(x, 0.0);
  double rounded = 0.0;
  if (exp_log::RoundScaled(value, exp_log::kExpCoreError, rounded)) return rounded;
  return exp_log::SlowExponential(x);
}

}  // namespace numerics
