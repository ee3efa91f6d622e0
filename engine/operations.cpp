// The computations that the vocabulary rows name.

#include "engine/operations.h"

#include <cmath>
#include <cstdint>

#include "numerics/numerics.h"

namespace {

bool IsTrue(double value) { return value != 0.0; }  // NaN counts as true

bool BothExact(const RpnItem& a, const RpnItem& b) { return IsExact(a.exact) && IsExact(b.exact); }

// Sets `out` to the exact integer `value`; false, leaving it alone, when the
// value lies outside the exact range.
[[gnu::always_inline]] inline bool SetExact(WideInt value, Number& out) {
  if (value < kExactLowest || value > kExactHighest) return false;
  const auto bits = static_cast<uint64_t>(value);
  if (value < 0) {
    out.value = static_cast<double>(static_cast<int64_t>(bits));
    out.exact.sign = ExactSign::Negative;
  } else {
    out.value = static_cast<double>(bits);
    out.exact.sign = ExactSign::NonNegative;
  }
  out.exact.bits = bits;
  return true;
}

[[gnu::always_inline]] inline IntegerOutcome ExactOrDouble(WideInt value, Number& out) {
  return SetExact(value, out) ? IntegerOutcome::Done : IntegerOutcome::UseDouble;
}

IntegerOutcome Truth(bool holds, Number& out) {
  out = holds ? Number{1.0, ExactOfUnsigned(1)} : Number{0.0, kExactZero};
  return IntegerOutcome::Done;
}

// The operand's value in the word, signed or unsigned.
WideInt WordValueOf(const RpnItem& item, const WordSize& word) { return WordValue(PatternOf(item, word), word); }

// The ordering of two operands: -1, 0 or 1; 2 when a NaN makes them unordered.
int Order(const RpnItem& a, const RpnItem& b) {
  if (BothExact(a, b)) {
    const WideInt x = WideOf(a.exact);
    const WideInt y = WideOf(b.exact);
    return x < y ? -1 : (x > y ? 1 : 0);
  }
  if (a.value < b.value) return -1;
  if (a.value > b.value) return 1;
  return a.value == b.value ? 0 : 2;
}

// x^n for n >= 0 by squaring; false when a step leaves the exact range.
bool RaiseExactly(WideInt base, WideInt exponent, WideInt& result) {
  result = 1;
  while (exponent > 0) {
    if ((exponent & 1) != 0 && (__builtin_mul_overflow(result, base, &result) || !IsExact(ExactOf(result)))) {
      return false;
    }
    exponent >>= 1;
    if (exponent > 0 && (__builtin_mul_overflow(base, base, &base) || !IsExact(ExactOf(base)))) return false;
  }
  return true;
}

// The whole part of a double as the word's integer: what "int" has always
// done with 32 bits.
uint64_t TruncatedPattern(double x, const WordSize& word) { return WordPatternOfDouble(x, word.bits); }

// Operands or a result beyond the signed 64-bit integers: in 128 bits.
IntegerOutcome WideSum(const RpnItem& a, const RpnItem& b, Number& out) {
  if (!BothExact(a, b)) return IntegerOutcome::UseDouble;
  return ExactOrDouble(WideOf(a.exact) + WideOf(b.exact), out);
}

IntegerOutcome WideDifference(const RpnItem& a, const RpnItem& b, Number& out) {
  if (!BothExact(a, b)) return IntegerOutcome::UseDouble;
  return ExactOrDouble(WideOf(a.exact) - WideOf(b.exact), out);
}

IntegerOutcome WideProduct(const RpnItem& a, const RpnItem& b, Number& out) {
  if (!BothExact(a, b)) return IntegerOutcome::UseDouble;
  WideInt product = 0;
  if (__builtin_mul_overflow(WideOf(a.exact), WideOf(b.exact), &product)) return IntegerOutcome::UseDouble;
  return ExactOrDouble(product, out);
}

// The divisor is not zero: "/" refuses a zero divisor before.
IntegerOutcome WideQuotient(const RpnItem& a, const RpnItem& b, Number& out) {
  if (!BothExact(a, b)) return IntegerOutcome::UseDouble;
  const WideInt dividend = WideOf(a.exact);
  const WideInt divisor = WideOf(b.exact);
  if (divisor == 0 || dividend % divisor != 0) return IntegerOutcome::UseDouble;
  return ExactOrDouble(dividend / divisor, out);
}

IntegerOutcome ExactSum(const RpnItem& a, const RpnItem& b, Number& out) {
  int64_t x = 0, y = 0, sum = 0;
  if (BothSigned64(a, b, x, y) && !__builtin_add_overflow(x, y, &sum)) return SetSigned64(sum, out);
  return WideSum(a, b, out);
}

IntegerOutcome ExactDifference(const RpnItem& a, const RpnItem& b, Number& out) {
  int64_t x = 0, y = 0, difference = 0;
  if (BothSigned64(a, b, x, y) && !__builtin_sub_overflow(x, y, &difference)) return SetSigned64(difference, out);
  return WideDifference(a, b, out);
}

IntegerOutcome ExactProduct(const RpnItem& a, const RpnItem& b, Number& out) {
  int64_t x = 0, y = 0, product = 0;
  if (BothSigned64(a, b, x, y) && !__builtin_mul_overflow(x, y, &product)) return SetSigned64(product, out);
  return WideProduct(a, b, out);
}

// The divisor is not zero: "/" refuses a zero divisor before. Operands
// that are their doubles exactly are divided as on the quick path; larger
// signed 64-bit operands take a 64-bit division, except the lowest one
// divided by -1, whose quotient 2^63 only the 128-bit path holds.
IntegerOutcome ExactQuotient(const RpnItem& a, const RpnItem& b, Number& out) {
  int64_t x = 0, y = 0;
  if (!BothSigned64(a, b, x, y) || y == 0 || y == -1) return WideQuotient(a, b, out);
  if (FitsDouble(x) && FitsDouble(y)) {
    DivideSmallIntegers(a, b, x, y, out);
    return IntegerOutcome::Done;
  }
  if (x % y != 0) return IntegerOutcome::UseDouble;
  return SetSigned64(x / y, out);
}

IntegerOutcome ExactPower(const RpnItem& a, const RpnItem& b, Number& out) {
  if (!BothExact(a, b) || WideOf(b.exact) < 0) return IntegerOutcome::UseDouble;
  WideInt result = 0;
  if (!RaiseExactly(WideOf(a.exact), WideOf(b.exact), result)) return IntegerOutcome::UseDouble;
  return ExactOrDouble(result, out);
}

IntegerOutcome ExactAbsolute(const RpnItem& x, Number& out) {
  if (!IsExact(x.exact)) return IntegerOutcome::UseDouble;
  const WideInt value = WideOf(x.exact);
  return ExactOrDouble(value < 0 ? -value : value, out);
}

IntegerOutcome ExactSquare(const RpnItem& x, Number& out) {
  if (!IsExact(x.exact)) return IntegerOutcome::UseDouble;
  WideInt square = 0;
  if (__builtin_mul_overflow(WideOf(x.exact), WideOf(x.exact), &square)) return IntegerOutcome::UseDouble;
  return ExactOrDouble(square, out);
}

IntegerOutcome CompareLess(const RpnItem& a, const RpnItem& b, Number& out) {
  return Truth(Order(a, b) == -1, out);
}
IntegerOutcome CompareGreater(const RpnItem& a, const RpnItem& b, Number& out) {
  return Truth(Order(a, b) == 1, out);
}
IntegerOutcome CompareGreaterOrEqual(const RpnItem& a, const RpnItem& b, Number& out) {
  const int order = Order(a, b);
  return Truth(order == 1 || order == 0, out);
}
IntegerOutcome CompareLessOrEqual(const RpnItem& a, const RpnItem& b, Number& out) {
  const int order = Order(a, b);
  return Truth(order == -1 || order == 0, out);
}
IntegerOutcome CompareNotEqual(const RpnItem& a, const RpnItem& b, Number& out) {
  return Truth(Order(a, b) != 0, out);
}
IntegerOutcome CompareEqual(const RpnItem& a, const RpnItem& b, Number& out) {
  return Truth(Order(a, b) == 0, out);
}

// An exact integer is zero exactly when its double is.
IntegerOutcome TruthAnd(const RpnItem& a, const RpnItem& b, Number& out) {
  return Truth(IsTrue(a.value) && IsTrue(b.value), out);
}
IntegerOutcome TruthOr(const RpnItem& a, const RpnItem& b, Number& out) {
  return Truth(IsTrue(a.value) || IsTrue(b.value), out);
}

IntegerOutcome SignOf(const RpnItem& x, Number& out) {
  const double sign = Sign(x.value, 0.0);
  out = {sign, ExactOfSigned(static_cast<int64_t>(sign))};
  return IntegerOutcome::Done;
}

// The quotient is taken first: exactly between exact integers (the divisor
// is not zero, "!" refuses that before), in double precision otherwise, as
// it always was.
IntegerOutcome WordQuotient(const RpnItem& a, const RpnItem& b, const WordSize& word, Number& out) {
  if (BothExact(a, b) && WideOf(b.exact) != 0) {
    return WordResult(static_cast<uint64_t>(WideOf(a.exact) / WideOf(b.exact)), word, out);
  }
  return WordResult(TruncatedPattern(a.value / b.value, word), word, out);
}

// Truncating division in the word, so the remainder has the dividend's
// sign. A divisor whose word is zero is refused. The one signed quotient
// without a remainder in the word, the lowest value divided by -1, gives 0.
IntegerOutcome WordRemainder(const RpnItem& a, const RpnItem& b, const WordSize& word, Number& out) {
  const WideInt divisor = WordValueOf(b, word);
  if (divisor == 0) return IntegerOutcome::Refused;
  if (divisor == -1) return WordResult(0, word, out);
  return WordResult(static_cast<uint64_t>(WordValueOf(a, word) % divisor), word, out);
}

IntegerOutcome WordIntegerPart(const RpnItem& x, const WordSize& word, Number& out) {
  return WordResult(PatternOf(x, word), word, out);
}

// x minus its "int": exact for an exact x (its double where the difference
// leaves the range), else in double precision as always.
IntegerOutcome WordFractionalPart(const RpnItem& x, const WordSize& word, Number& out) {
  if (IsExact(x.exact)) {
    const WideInt difference = WideOf(x.exact) - WordValueOf(x, word);
    if (!SetExact(difference, out)) out = {NearestDoubleOfWide(difference), kNotExact};
    return IntegerOutcome::Done;
  }
  out = {x.value - NearestDoubleOfWide(WordValueOf(x, word)), kNotExact};
  return IntegerOutcome::Done;
}

// The word's integer of x when x lies within one half of it; otherwise the
// word's integer of x moved one away from zero. For values that fit the
// word that is rounding half away from zero.
IntegerOutcome WordRound(const RpnItem& x, const WordSize& word, Number& out) {
  if (IsExact(x.exact)) {
    const WideInt value = WideOf(x.exact);
    if (value == WordValueOf(x, word)) return WordResult(x.exact.bits, word, out);
    return WordResult(static_cast<uint64_t>(value > 0 ? value + 1 : value - 1), word, out);
  }
  const WideInt truncated = WordValueOf(x, word);
  if (std::fabs(x.value - NearestDoubleOfWide(truncated)) < 0.5) {
    return WordResult(static_cast<uint64_t>(truncated), word, out);
  }
  return WordResult(TruncatedPattern(x.value > 0.0 ? x.value + 1.0 : x.value - 1.0, word), word, out);
}

// n! of the word's integer n of x (a negative x is refused before): exact
// while it stays in the range (up to 20!), then in double precision from
// the start, stopping at the first infinite product.
IntegerOutcome WordFactorial(const RpnItem& x, const WordSize& word, Number& out) {
  const WideInt n = WordValueOf(x, word);
  WideInt exact = 1;
  bool fits = true;
  for (WideInt factor = 2; factor <= n && fits; ++factor) {
    fits = !__builtin_mul_overflow(exact, factor, &exact) && IsExact(ExactOf(exact));
  }
  if (fits) return ExactOrDouble(exact, out);
  double product = 1.0;
  for (WideInt factor = 2; factor <= n && !std::isinf(product); ++factor) product *= NearestDoubleOfWide(factor);
  out = {product, kNotExact};
  return IntegerOutcome::Done;
}

}  // namespace

double Power(double a, double b) { return numerics::Power(a, b); }
double LogicalAnd(double a, double b) { return IsTrue(a) && IsTrue(b) ? 1.0 : 0.0; }
double LogicalOr(double a, double b) { return IsTrue(a) || IsTrue(b) ? 1.0 : 0.0; }
double Sign(double x, double) { return x < 0.0 ? -1.0 : (x > 0.0 ? 1.0 : 0.0); }

IntegerOutcome ComputeInteger(IntegerStep step, const RpnItem& a, const RpnItem& b, const WordSize& word,
                              Number& out) {
  switch (step) {
    case IntegerStep::None: return IntegerOutcome::UseDouble;
    case IntegerStep::Sum: return ExactSum(a, b, out);
    case IntegerStep::Difference: return ExactDifference(a, b, out);
    case IntegerStep::Product: return ExactProduct(a, b, out);
    case IntegerStep::Quotient: return ExactQuotient(a, b, out);
    case IntegerStep::Power: return ExactPower(a, b, out);
    case IntegerStep::Absolute: return ExactAbsolute(a, out);
    case IntegerStep::Square: return ExactSquare(a, out);
    case IntegerStep::Less: return CompareLess(a, b, out);
    case IntegerStep::Greater: return CompareGreater(a, b, out);
    case IntegerStep::GreaterOrEqual: return CompareGreaterOrEqual(a, b, out);
    case IntegerStep::LessOrEqual: return CompareLessOrEqual(a, b, out);
    case IntegerStep::NotEqual: return CompareNotEqual(a, b, out);
    case IntegerStep::Equal: return CompareEqual(a, b, out);
    case IntegerStep::LogicalAnd: return TruthAnd(a, b, out);
    case IntegerStep::LogicalOr: return TruthOr(a, b, out);
    case IntegerStep::SignOf: return SignOf(a, out);
    case IntegerStep::WordQuotient: return WordQuotient(a, b, word, out);
    case IntegerStep::WordRemainder: return WordRemainder(a, b, word, out);
    case IntegerStep::WordShiftLeft: return WordResult(PatternOf(a, word) << ShiftCount(b, word), word, out);
    case IntegerStep::WordShiftRight:
      return WordResult(ShiftPatternRight(PatternOf(a, word), ShiftCount(b, word), word), word, out);
    case IntegerStep::WordAnd: return WordResult(PatternOf(a, word) & PatternOf(b, word), word, out);
    case IntegerStep::WordOr: return WordResult(PatternOf(a, word) | PatternOf(b, word), word, out);
    case IntegerStep::WordExclusiveOr: return WordResult(PatternOf(a, word) ^ PatternOf(b, word), word, out);
    case IntegerStep::WordComplement: return WordResult(~PatternOf(a, word), word, out);
    case IntegerStep::WordIntegerPart: return WordIntegerPart(a, word, out);
    case IntegerStep::WordFractionalPart: return WordFractionalPart(a, word, out);
    case IntegerStep::WordRound: return WordRound(a, word, out);
    case IntegerStep::WordFactorial: return WordFactorial(a, word, out);
  }
  return IntegerOutcome::UseDouble;
}
