#pragma once
// The computations of the vocabulary rows (engine/vocabulary.h) that take
// more than one expression. Each takes the operands as the
// evaluator hands them over: a the left operand or the function's argument,
// b the right operand (not used by functions).
//
// Two kinds: a double computation gives the double of a result that has no
// exact integer; an integer computation looks at the operands' exact
// integers and the word size first. It either decides the result (an exact
// integer, or for a few functions a double), refuses the operands, or hands
// over to the row's double computation: the value is then the double
// exactly as it would be without exact integers.

#include "engine/engine_state.h"
#include "engine/exact_integer.h"
#include "engine/word_size.h"

// The double nearest pi: the value of "pi" and an argument some functions refuse.
inline constexpr double kPi = 3.141592653589793;
inline constexpr double kHalfPi = 1.5707963267948966;
inline constexpr double kThreeHalvesPi = 4.71238898038469;

double Power(double a, double b);
double LogicalAnd(double a, double b);
double LogicalOr(double a, double b);
double Sign(double x, double);

// What an integer computation decided.
enum class IntegerOutcome : uint8_t {
  UseDouble,  // the row's double computation gives the value, without an exact integer
  Done,       // `out` holds the result
  Refused,    // the operands are refused with the row's refusal message
};

// A result: its double and, where it has one, its exact integer.
struct Number {
  double value;
  ExactInteger exact;
};

// Which integer computation a vocabulary row has. The evaluator takes the
// commonest steps on a quick path inline in its loop (ComputeQuickly
// below) and the others through one switch (ComputeInteger), never through
// a pointer.
enum class IntegerStep : uint8_t {
  None,  // the row has only its double computation
  // The quick steps (IsQuickStep), first so that one comparison finds them.
  // "+", "-", "*": kept exact while both operands and the result are exact
  // integers.
  Sum,
  Difference,
  Product,
  Quotient,  // exact only when the quotient is an integer
  // The integer operators: operands reduced to the word's bits, the result
  // read back as the word's signed or unsigned integer, always exact.
  WordShiftLeft,
  WordShiftRight,
  WordAnd,
  WordOr,
  WordExclusiveOr,
  // The other steps. "^" exact only for an exponent of 0 or more.
  Power,
  Absolute,
  Square,
  // Comparisons and logic: always an exact 0 or 1. Exact integers compare
  // exactly, anything else as doubles (a NaN is unordered: only "<>" holds).
  Less,
  Greater,
  GreaterOrEqual,
  LessOrEqual,
  NotEqual,
  Equal,
  LogicalAnd,
  LogicalOr,
  SignOf,
  // More integer operators, and the functions that convert to the word:
  // "int", "frac", "round", "fact".
  WordQuotient,
  WordRemainder,
  WordComplement,
  WordIntegerPart,
  WordFractionalPart,
  WordRound,
  WordFactorial,
};

// Computes the row's integer step on the operands (b is unused by
// functions and "~"), in `word`: the result in `out`, a refusal, or a
// hand-over to the row's double computation.
IntegerOutcome ComputeInteger(IntegerStep step, const RpnItem& a, const RpnItem& b, const WordSize& word,
                              Number& out);

// The helpers of the quick path, shared with ComputeInteger.

// Both operands signed 64-bit integers, the common case of exact
// arithmetic: the processor checks their sum, difference or product for
// overflow directly; the 128-bit path takes the rest.
[[gnu::always_inline]] inline bool AsSigned64(const ExactInteger& exact, int64_t& value) {
  value = static_cast<int64_t>(exact.bits);
  return exact.sign == (value < 0 ? ExactSign::Negative : ExactSign::NonNegative);
}
// Both below 2^63 and not negative, the commonest case, is tested first at
// once: `sign` is NonNegative (1) for both exactly when the two signs
// share bit 0, None being 0 and Negative 2.
[[gnu::always_inline]] inline bool BothSigned64(const RpnItem& a, const RpnItem& b, int64_t& x, int64_t& y) {
  static_assert(static_cast<int>(ExactSign::NonNegative) == 1 && static_cast<int>(ExactSign::None) == 0 &&
                static_cast<int>(ExactSign::Negative) == 2);
  const bool bothNonNegative = (static_cast<int>(a.exact.sign) & static_cast<int>(b.exact.sign)) == 1 &&
                               static_cast<int64_t>(a.exact.bits | b.exact.bits) >= 0;
  if (bothNonNegative) {
    x = static_cast<int64_t>(a.exact.bits);
    y = static_cast<int64_t>(b.exact.bits);
    return true;
  }
  return AsSigned64(a.exact, x) && AsSigned64(b.exact, y);
}
[[gnu::always_inline]] inline IntegerOutcome SetSigned64(int64_t value, Number& out) {
  out.value = static_cast<double>(value);
  out.exact.bits = static_cast<uint64_t>(value);
  out.exact.sign = value < 0 ? ExactSign::Negative : ExactSign::NonNegative;
  return IntegerOutcome::Done;
}

// A word result: always exact, since every word value lies in the range.
[[gnu::always_inline]] inline IntegerOutcome WordResult(uint64_t pattern, const WordSize& word, Number& out) {
  const ExactInteger exact = ReadWord(pattern, word);
  out.value = NearestDouble(exact);
  CopyExact(out.exact, exact);
  return IntegerOutcome::Done;
}

[[gnu::always_inline]] inline uint64_t PatternOf(const RpnItem& item, const WordSize& word) {
  return WordPattern(item.value, item.exact, word.bits);
}

// The count is taken modulo the word's bits: a count of W shifts by 0, a
// count of -1 by W-1.
[[gnu::always_inline]] inline int ShiftCount(const RpnItem& b, const WordSize& word) {
  return static_cast<int>(PatternOf(b, word) & static_cast<uint64_t>(word.bits - 1));
}

// The word's bits `pattern` shifted right by `count` (below the word's
// bits). Signed words copy the sign bit into the vacated bits; unsigned
// words shift in zeros. A signed word's value fits 64 bits, so the
// arithmetic shift is done on the pattern with its sign bit copied above.
[[gnu::always_inline]] inline uint64_t ShiftPatternRight(uint64_t pattern, int count, const WordSize& word) {
  if (word.isUnsigned) return pattern >> count;
  const int unused = 64 - word.bits;
  return static_cast<uint64_t>((static_cast<int64_t>(pattern << unused) >> unused) >> count);
}

// The steps of the quick path: "+", "-", "*", "/" and the bit operators,
// binary operators that send no trace and refuse nothing but a zero divisor
// (the evaluator checks that of their rows).
constexpr bool IsQuickStep(IntegerStep step) {
  return step >= IntegerStep::Sum && step <= IntegerStep::WordExclusiveOr;
}

// Integers up to this magnitude are their doubles exactly.
inline constexpr int64_t kTwoTo53 = int64_t{1} << 53;
constexpr bool FitsDouble(int64_t value) { return value >= -kTwoTo53 && value <= kTwoTo53; }

// x / y for operands whose exact integers x and y (y not 0) are their
// doubles exactly. The double quotient, correctly rounded, is an integer
// whenever the exact one is, so a quotient that is none is found without
// an integer division and is the double "/" gives anyway; an integer double
// quotient is confirmed by multiplying back.
[[gnu::always_inline]] inline void DivideSmallIntegers(const RpnItem& a, const RpnItem& b, int64_t x, int64_t y,
                                                       Number& out) {
  const double quotient = a.value / b.value;
  const auto whole = static_cast<int64_t>(quotient);  // |quotient| <= 2^53
  if (static_cast<double>(whole) == quotient && whole * y == x) {
    SetSigned64(whole, out);
  } else {
    out = {quotient, kNotExact};
  }
}

// The quick path of "/": small exact integers as above, and the double
// quotient where either operand has no exact integer. False for a zero
// divisor, which the row refuses, and for larger exact integers, which
// need ComputeInteger.
[[gnu::always_inline]] inline bool ComputeQuotientQuickly(const RpnItem& a, const RpnItem& b, Number& out) {
  if (b.value == 0.0) return false;
  int64_t x = 0, y = 0;
  if (BothSigned64(a, b, x, y) && FitsDouble(x) && FitsDouble(y)) {
    DivideSmallIntegers(a, b, x, y, out);
    return true;
  }
  if (IsExact(a.exact) && IsExact(b.exact)) return false;
  out = {a.value / b.value, kNotExact};
  return true;
}

// The quick path of "+", "-" and "*": for two signed 64-bit integers whose
// result is one too, the exact result; where either operand has no exact
// integer, the double result, computed as the row's double computation
// does. All three are computed and one chosen, without a branch on the
// step. True with the result in `out`; false where the operands need
// ComputeInteger (exact integers beyond 64 bits, or an overflow).
[[gnu::always_inline]] inline bool ComputeArithmeticQuickly(IntegerStep step, const RpnItem& a, const RpnItem& b,
                                                            Number& out) {
  const bool isSum = step == IntegerStep::Sum;
  const bool isDifference = step == IntegerStep::Difference;
  int64_t x = 0, y = 0;
  if (!BothSigned64(a, b, x, y)) {
    if (IsExact(a.exact) && IsExact(b.exact)) return false;
    const double sum = a.value + b.value;
    const double difference = a.value - b.value;
    const double product = a.value * b.value;
    out = {isSum ? sum : (isDifference ? difference : product), kNotExact};
    return true;
  }
  int64_t sum = 0, difference = 0, product = 0;
  const bool sumOverflows = __builtin_add_overflow(x, y, &sum);
  const bool differenceOverflows = __builtin_sub_overflow(x, y, &difference);
  const bool productOverflows = __builtin_mul_overflow(x, y, &product);
  const int64_t result = isSum ? sum : (isDifference ? difference : product);
  if (isSum ? sumOverflows : (isDifference ? differenceOverflows : productOverflows)) return false;
  SetSigned64(result, out);
  return true;
}

// The bit operators in the word, the same way: every operand has a word
// pattern, so they always succeed.
[[gnu::always_inline]] inline void ComputeBitsQuickly(IntegerStep step, const RpnItem& a, const RpnItem& b,
                                                      const WordSize& word, Number& out) {
  const uint64_t left = PatternOf(a, word);
  const uint64_t right = PatternOf(b, word);
  const int count = ShiftCount(b, word);
  const uint64_t shiftedRight = ShiftPatternRight(left, count, word);
  uint64_t pattern = left ^ right;
  if (step == IntegerStep::WordShiftLeft) pattern = left << count;
  if (step == IntegerStep::WordShiftRight) pattern = shiftedRight;
  if (step == IntegerStep::WordAnd) pattern = left & right;
  if (step == IntegerStep::WordOr) pattern = left | right;
  WordResult(pattern, word, out);
}

// The quick path of a quick step. True with the result in `out`, the same
// that ComputeInteger gives; false where the operands need ComputeInteger.
[[gnu::always_inline]] inline bool ComputeQuickly(IntegerStep step, const RpnItem& a, const RpnItem& b,
                                                  const WordSize& word, Number& out) {
  if (step <= IntegerStep::Product) return ComputeArithmeticQuickly(step, a, b, out);
  if (step == IntegerStep::Quotient) return ComputeQuotientQuickly(a, b, out);
  ComputeBitsQuickly(step, a, b, word, out);
  return true;
}
