// The computations that the vocabulary rows name.

#include "engine/operations.h"

#include <cmath>
#include <cstdint>
#include <limits>

#include "engine/calculate.h"
#include "numerics/numerics.h"

namespace {


double AsDouble(int32_t value) { return static_cast<double>(value); }
bool IsTrue(double value) { return value != 0.0; }  // NaN counts as true
int ShiftCount(double b) { return TruncateToInt32(b) & 31; }

}  // namespace

double IntegerQuotient(double a, double b) { return AsDouble(TruncateToInt32(a / b)); }

double Remainder(double a, double b) {
  const int32_t dividend = TruncateToInt32(a);
  const int32_t divisor = TruncateToInt32(b);
  if (divisor == -1) return 0.0;  // also the one quotient without a 32-bit remainder
  return AsDouble(dividend % divisor);
}

double ShiftLeft(double a, double b) {
  const uint32_t pattern = static_cast<uint32_t>(TruncateToInt32(a)) << ShiftCount(b);
  return AsDouble(static_cast<int32_t>(pattern));
}

double ShiftRight(double a, double b) { return AsDouble(TruncateToInt32(a) >> ShiftCount(b)); }

// The real power, correctly rounded. A zero base with a negative exponent
// is refused before; with a NaN exponent it gives NaN.
double Power(double a, double b) { return numerics::Power(a, b); }

double BitwiseAnd(double a, double b) { return AsDouble(TruncateToInt32(a) & TruncateToInt32(b)); }
double BitwiseOr(double a, double b) { return AsDouble(TruncateToInt32(a) | TruncateToInt32(b)); }
double ExclusiveOr(double a, double b) { return AsDouble(TruncateToInt32(a) ^ TruncateToInt32(b)); }
double LogicalAnd(double a, double b) { return IsTrue(a) && IsTrue(b) ? 1.0 : 0.0; }
double LogicalOr(double a, double b) { return IsTrue(a) || IsTrue(b) ? 1.0 : 0.0; }

double IntegerPart(double x, double) { return AsDouble(TruncateToInt32(x)); }
double FractionalPart(double x, double) { return x - TruncateToInt32(x); }

double Round(double x, double) {
  const int32_t truncated = TruncateToInt32(x);
  if (std::fabs(x - truncated) < 0.5) return AsDouble(truncated);
  return AsDouble(TruncateToInt32(x > 0.0 ? x + 1.0 : x - 1.0));
}

double Factorial(double x, double) {
  const int32_t n = TruncateToInt32(x);
  double product = 1.0;
  for (int32_t factor = 2; factor <= n && !std::isinf(product); ++factor) product *= factor;
  return product;
}

double Sign(double x, double) { return x < 0.0 ? -1.0 : (x > 0.0 ? 1.0 : 0.0); }
