#pragma once
// Double-double arithmetic: a value held as the unevaluated sum hi + lo of two
// doubles, |lo| at most half an ulp of hi, about 106 significant bits. Every
// step is built from IEEE additions and multiplications (no contraction into
// fused multiply-adds, which would round differently from one compiler and
// platform to another), so the results are the same bits everywhere. The
// one use of a fused multiply-add, the exact error of a product where the
// processor has one, gives the same bits as Dekker's method. The files that
// include this one are compiled with floating-point contraction off.

#include <cmath>

#include "numerics/internal/fused_multiply_add.h"

namespace dd {

struct DoubleDouble {
  double hi;
  double lo;
};

// a + b exactly, when |a| >= |b| or a is zero.
constexpr DoubleDouble FastTwoSum(double a, double b) {
  const double sum = a + b;
  return {sum, b - (sum - a)};
}

// a + b exactly, for any order of magnitude.
constexpr DoubleDouble TwoSum(double a, double b) {
  const double sum = a + b;
  const double bPart = sum - a;
  const double aPart = sum - bPart;
  return {sum, (a - aPart) + (b - bPart)};
}

// a = hi + lo with hi holding the upper 26 bits of the significand (Veltkamp).
constexpr DoubleDouble Split(double a) {
  constexpr double kSplitter = 134217729.0;  // 2^27 + 1
  const double scaled = kSplitter * a;
  const double hi = scaled - (scaled - a);
  return {hi, a - hi};
}

// a * b - product exactly, for product = a * b rounded, as long as nothing
// overflows or underflows (Dekker), with a's halves (Split) given: for a
// constant they are known beforehand, and Dekker's method then splits only b.
inline double ProductError(double a, DoubleDouble aHalves, double b, double product) {
  if (numerics::internal::hasFusedMultiplyAdd) return numerics::internal::FusedMultiplySubtract(a, b, product);
  const DoubleDouble bHalves = Split(b);
  return ((aHalves.hi * bHalves.hi - product) + aHalves.hi * bHalves.lo + aHalves.lo * bHalves.hi) +
         aHalves.lo * bHalves.lo;
}

// a * b exactly, under the same conditions.
inline DoubleDouble TwoProduct(double a, double b) {
  const double product = a * b;
  if (numerics::internal::hasFusedMultiplyAdd) {
    return {product, numerics::internal::FusedMultiplySubtract(a, b, product)};
  }
  return {product, ProductError(a, Split(a), b, product)};
}

inline DoubleDouble Negate(DoubleDouble a) { return {-a.hi, -a.lo}; }

// Relative error about 2^-104, also when a and b nearly cancel.
inline DoubleDouble Add(DoubleDouble a, DoubleDouble b) {
  const DoubleDouble high = TwoSum(a.hi, b.hi);
  const DoubleDouble low = TwoSum(a.lo, b.lo);
  DoubleDouble sum = FastTwoSum(high.hi, high.lo + low.hi);
  return FastTwoSum(sum.hi, sum.lo + low.lo);
}

inline DoubleDouble Subtract(DoubleDouble a, DoubleDouble b) { return Add(a, Negate(b)); }

// Relative error below 2^-103.
inline DoubleDouble Multiply(DoubleDouble a, DoubleDouble b) {
  const DoubleDouble product = TwoProduct(a.hi, b.hi);
  return FastTwoSum(product.hi, product.lo + (a.hi * b.lo + a.lo * b.hi));
}

inline DoubleDouble Multiply(DoubleDouble a, double b) {
  const DoubleDouble product = TwoProduct(a.hi, b);
  return FastTwoSum(product.hi, product.lo + a.lo * b);
}

// a / b by three quotient digits; relative error below 2^-104. b nonzero.
inline DoubleDouble Divide(DoubleDouble a, DoubleDouble b) {
  const double q1 = a.hi / b.hi;
  DoubleDouble rest = Subtract(a, Multiply(b, q1));
  const double q2 = rest.hi / b.hi;
  rest = Subtract(rest, Multiply(b, q2));
  const double q3 = rest.hi / b.hi;
  const DoubleDouble q = FastTwoSum(q1, q2);
  return Add(q, {q3, 0.0});
}

// The square root of a >= 0; relative error about 2^-104. The square root
// of a double is one IEEE operation, the same everywhere.
inline DoubleDouble SquareRoot(DoubleDouble a) {
  if (a.hi <= 0.0) return {0.0, 0.0};
  const double root = std::sqrt(a.hi);
  const DoubleDouble square = TwoProduct(root, root);
  const double correction = ((a.hi - square.hi) - square.lo + a.lo) / (2.0 * root);
  return FastTwoSum(root, correction);
}

}  // namespace dd
