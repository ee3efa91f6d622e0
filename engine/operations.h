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

using IntegerComputation = IntegerOutcome (*)(const RpnItem& a, const RpnItem& b, const WordSize& word,
                                              Number& out);

// Arithmetic kept exact while both operands and the result are exact
// integers; "/" only when the quotient is one, "^" only for an exponent of
// 0 or more.
IntegerOutcome ExactSum(const RpnItem& a, const RpnItem& b, const WordSize&, Number& out);
IntegerOutcome ExactDifference(const RpnItem& a, const RpnItem& b, const WordSize&, Number& out);
IntegerOutcome ExactProduct(const RpnItem& a, const RpnItem& b, const WordSize&, Number& out);
IntegerOutcome ExactQuotient(const RpnItem& a, const RpnItem& b, const WordSize&, Number& out);
IntegerOutcome ExactPower(const RpnItem& a, const RpnItem& b, const WordSize&, Number& out);
IntegerOutcome ExactAbsolute(const RpnItem& x, const RpnItem&, const WordSize&, Number& out);
IntegerOutcome ExactSquare(const RpnItem& x, const RpnItem&, const WordSize&, Number& out);

// Comparisons and logic: always an exact 0 or 1. Exact integers compare
// exactly, anything else as doubles (a NaN is unordered: only "<>" holds).
IntegerOutcome CompareLess(const RpnItem& a, const RpnItem& b, const WordSize&, Number& out);
IntegerOutcome CompareGreater(const RpnItem& a, const RpnItem& b, const WordSize&, Number& out);
IntegerOutcome CompareGreaterOrEqual(const RpnItem& a, const RpnItem& b, const WordSize&, Number& out);
IntegerOutcome CompareLessOrEqual(const RpnItem& a, const RpnItem& b, const WordSize&, Number& out);
IntegerOutcome CompareNotEqual(const RpnItem& a, const RpnItem& b, const WordSize&, Number& out);
IntegerOutcome CompareEqual(const RpnItem& a, const RpnItem& b, const WordSize&, Number& out);
IntegerOutcome TruthAnd(const RpnItem& a, const RpnItem& b, const WordSize&, Number& out);
IntegerOutcome TruthOr(const RpnItem& a, const RpnItem& b, const WordSize&, Number& out);
IntegerOutcome SignOf(const RpnItem& x, const RpnItem&, const WordSize&, Number& out);

// The integer operators: operands reduced to the word's bits, the result
// read back as the word's signed or unsigned integer, always exact.
IntegerOutcome WordQuotient(const RpnItem& a, const RpnItem& b, const WordSize& word, Number& out);
IntegerOutcome WordRemainder(const RpnItem& a, const RpnItem& b, const WordSize& word, Number& out);
IntegerOutcome WordShiftLeft(const RpnItem& a, const RpnItem& b, const WordSize& word, Number& out);
IntegerOutcome WordShiftRight(const RpnItem& a, const RpnItem& b, const WordSize& word, Number& out);
IntegerOutcome WordAnd(const RpnItem& a, const RpnItem& b, const WordSize& word, Number& out);
IntegerOutcome WordOr(const RpnItem& a, const RpnItem& b, const WordSize& word, Number& out);
IntegerOutcome WordExclusiveOr(const RpnItem& a, const RpnItem& b, const WordSize& word, Number& out);
IntegerOutcome WordComplement(const RpnItem& x, const RpnItem&, const WordSize& word, Number& out);

// The functions that convert to the word: "int", "frac", "round", "fact".
IntegerOutcome WordIntegerPart(const RpnItem& x, const RpnItem&, const WordSize& word, Number& out);
IntegerOutcome WordFractionalPart(const RpnItem& x, const RpnItem&, const WordSize& word, Number& out);
IntegerOutcome WordRound(const RpnItem& x, const RpnItem&, const WordSize& word, Number& out);
IntegerOutcome WordFactorial(const RpnItem& x, const RpnItem&, const WordSize& word, Number& out);
