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
// Inlined: it is most of the work of every exact "+", "-" and "*".
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

// The common case of exact arithmetic: both operands signed 64-bit
// integers, whose sum, difference or product the processor checks for
// overflow directly; the 128-bit path takes the rest.
[[gnu::always_inline]] inline bool AsSigned64(const ExactInteger& exact, int64_t& value) {
  value = static_cast<int64_t>(exact.bits);
  return exact.sign == (value < 0 ? ExactSign::Negative : ExactSign::NonNegative);
}
[[gnu::always_inline]] inline bool BothSigned64(const RpnItem& a, const RpnItem& b, int64_t& x, int64_t& y) {
  return AsSigned64(a.exact, x) && AsSigned64(b.exact, y);
}
[[gnu::always_inline]] inline IntegerOutcome SetSigned64(int64_t value, Number& out) {
  out.value = static_cast<double>(value);
  out.exact.bits = static_cast<uint64_t>(value);
  out.exact.sign = value < 0 ? ExactSign::Negative : ExactSign::NonNegative;
  return IntegerOutcome::Done;
}

[[gnu::always_inline]] inline IntegerOutcome ExactOrDouble(WideInt value, Number& out) {
  return SetExact(value, out) ? IntegerOutcome::Done : IntegerOutcome::UseDouble;
}

IntegerOutcome Truth(bool holds, Number& out) {
  out = holds ? Number{1.0, ExactOfUnsigned(1)} : Number{0.0, kExactZero};
  return IntegerOutcome::Done;
}

// A word result: always exact, since every word value lies in the range.
IntegerOutcome WordResult(uint64_t pattern, const WordSize& word, Number& out) {
  const ExactInteger exact = ReadWord(pattern, word);
  out.value = NearestDouble(exact);
  CopyExact(out.exact, exact);
  return IntegerOutcome::Done;
}

uint64_t PatternOf(const RpnItem& item, const WordSize& word) {
  return WordPattern(item.value, item.exact, word.bits);
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

}  // namespace

double Power(double a, double b) { return numerics::Power(a, b); }
double LogicalAnd(double a, double b) { return IsTrue(a) && IsTrue(b) ? 1.0 : 0.0; }
double LogicalOr(double a, double b) { return IsTrue(a) || IsTrue(b) ? 1.0 : 0.0; }
double Sign(double x, double) { return x < 0.0 ? -1.0 : (x > 0.0 ? 1.0 : 0.0); }

IntegerOutcome ExactSum(const RpnItem& a, const RpnItem& b, const WordSize&, Number& out) {
  int64_t x = 0, y = 0, sum = 0;
  if (BothSigned64(a, b, x, y) && !__builtin_add_overflow(x, y, &sum)) return SetSigned64(sum, out);
  if (!BothExact(a, b)) return IntegerOutcome::UseDouble;
  return ExactOrDouble(WideOf(a.exact) + WideOf(b.exact), out);
}

IntegerOutcome ExactDifference(const RpnItem& a, const RpnItem& b, const WordSize&, Number& out) {
  int64_t x = 0, y = 0, difference = 0;
  if (BothSigned64(a, b, x, y) && !__builtin_sub_overflow(x, y, &difference)) return SetSigned64(difference, out);
  if (!BothExact(a, b)) return IntegerOutcome::UseDouble;
  return ExactOrDouble(WideOf(a.exact) - WideOf(b.exact), out);
}

IntegerOutcome ExactProduct(const RpnItem& a, const RpnItem& b, const WordSize&, Number& out) {
  int64_t x = 0, y = 0, product64 = 0;
  if (BothSigned64(a, b, x, y) && !__builtin_mul_overflow(x, y, &product64)) return SetSigned64(product64, out);
  if (!BothExact(a, b)) return IntegerOutcome::UseDouble;
  WideInt product = 0;
  if (__builtin_mul_overflow(WideOf(a.exact), WideOf(b.exact), &product)) return IntegerOutcome::UseDouble;
  return ExactOrDouble(product, out);
}

// The divisor is not zero: "/" refuses a zero divisor before.
IntegerOutcome ExactQuotient(const RpnItem& a, const RpnItem& b, const WordSize&, Number& out) {
  if (!BothExact(a, b)) return IntegerOutcome::UseDouble;
  const WideInt dividend = WideOf(a.exact);
  const WideInt divisor = WideOf(b.exact);
  if (divisor == 0 || dividend % divisor != 0) return IntegerOutcome::UseDouble;
  return ExactOrDouble(dividend / divisor, out);
}

IntegerOutcome ExactPower(const RpnItem& a, const RpnItem& b, const WordSize&, Number& out) {
  if (!BothExact(a, b) || WideOf(b.exact) < 0) return IntegerOutcome::UseDouble;
  WideInt result = 0;
  if (!RaiseExactly(WideOf(a.exact), WideOf(b.exact), result)) return IntegerOutcome::UseDouble;
  return ExactOrDouble(result, out);
}

IntegerOutcome ExactAbsolute(const RpnItem& x, const RpnItem&, const WordSize&, Number& out) {
  if (!IsExact(x.exact)) return IntegerOutcome::UseDouble;
  const WideInt value = WideOf(x.exact);
  return ExactOrDouble(value < 0 ? -value : value, out);
}

IntegerOutcome ExactSquare(const RpnItem& x, const RpnItem&, const WordSize&, Number& out) {
  if (!IsExact(x.exact)) return IntegerOutcome::UseDouble;
  WideInt square = 0;
  if (__builtin_mul_overflow(WideOf(x.exact), WideOf(x.exact), &square)) return IntegerOutcome::UseDouble;
  return ExactOrDouble(square, out);
}

IntegerOutcome CompareLess(const RpnItem& a, const RpnItem& b, const WordSize&, Number& out) {
  return Truth(Order(a, b) == -1, out);
}
IntegerOutcome CompareGreater(const RpnItem& a, const RpnItem& b, const WordSize&, Number& out) {
  return Truth(Order(a, b) == 1, out);
}
IntegerOutcome CompareGreaterOrEqual(const RpnItem& a, const RpnItem& b, const WordSize&, Number& out) {
  const int order = Order(a, b);
  return Truth(order == 1 || order == 0, out);
}
IntegerOutcome CompareLessOrEqual(const RpnItem& a, const RpnItem& b, const WordSize&, Number& out) {
  const int order = Order(a, b);
  return Truth(order == -1 || order == 0, out);
}
IntegerOutcome CompareNotEqual(const RpnItem& a, const RpnItem& b, const WordSize&, Number& out) {
  return Truth(Order(a, b) != 0, out);
}
IntegerOutcome CompareEqual(const RpnItem& a, const RpnItem& b, const WordSize&, Number& out) {
  return Truth(Order(a, b) == 0, out);
}

// An exact integer is zero exactly when its double is.
IntegerOutcome TruthAnd(const RpnItem& a, const RpnItem& b, const WordSize&, Number& out) {
  return Truth(IsTrue(a.value) && IsTrue(b.value), out);
}
IntegerOutcome TruthOr(const RpnItem& a, const RpnItem& b, const WordSize&, Number& out) {
  return Truth(IsTrue(a.value) || IsTrue(b.value), out);
}

IntegerOutcome SignOf(const RpnItem& x, const RpnItem&, const WordSize&, Number& out) {
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

// The count is taken modulo the word's bits: a count of W shifts by 0, a
// count of -1 by W-1.
int ShiftCount(const RpnItem& b, const WordSize& word) {
  return static_cast<int>(PatternOf(b, word) & static_cast<uint64_t>(word.bits - 1));
}

IntegerOutcome WordShiftLeft(const RpnItem& a, const RpnItem& b, const WordSize& word, Number& out) {
  return WordResult(PatternOf(a, word) << ShiftCount(b, word), word, out);
}

// Signed words copy the sign bit into the vacated bits; unsigned words shift
// in zeros.
IntegerOutcome WordShiftRight(const RpnItem& a, const RpnItem& b, const WordSize& word, Number& out) {
  const int count = ShiftCount(b, word);
  if (word.isUnsigned) return WordResult(PatternOf(a, word) >> count, word, out);
  return WordResult(static_cast<uint64_t>(WordValueOf(a, word) >> count), word, out);
}

IntegerOutcome WordAnd(const RpnItem& a, const RpnItem& b, const WordSize& word, Number& out) {
  return WordResult(PatternOf(a, word) & PatternOf(b, word), word, out);
}
IntegerOutcome WordOr(const RpnItem& a, const RpnItem& b, const WordSize& word, Number& out) {
  return WordResult(PatternOf(a, word) | PatternOf(b, word), word, out);
}
IntegerOutcome WordExclusiveOr(const RpnItem& a, const RpnItem& b, const WordSize& word, Number& out) {
  return WordResult(PatternOf(a, word) ^ PatternOf(b, word), word, out);
}
IntegerOutcome WordComplement(const RpnItem& x, const RpnItem&, const WordSize& word, Number& out) {
  return WordResult(~PatternOf(x, word), word, out);
}

IntegerOutcome WordIntegerPart(const RpnItem& x, const RpnItem&, const WordSize& word, Number& out) {
  return WordResult(PatternOf(x, word), word, out);
}

// x minus its "int": exact for an exact x (its double where the difference
// leaves the range), else in double precision as always.
IntegerOutcome WordFractionalPart(const RpnItem& x, const RpnItem&, const WordSize& word, Number& out) {
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
IntegerOutcome WordRound(const RpnItem& x, const RpnItem&, const WordSize& word, Number& out) {
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
IntegerOutcome WordFactorial(const RpnItem& x, const RpnItem&, const WordSize& word, Number& out) {
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
