#pragma once
// The operators and functions of the expression language, one row each: the
// text, the priority, the operand count, the computation, the domain check
// with its message and the "too few operands" message. Every stage reads this
// one table: the lexer takes its operator characters and two-character
// operators from it (lexer.cpp), the parser the priorities and sign rules
// (parser.cpp), the evaluator everything else (evaluator.cpp).
//
// Brackets "(" ")" and the "$" of hexadecimal numbers are not rows: they are
// grammar and number notation, known to the lexer and the parser alone. So is
// the constant "pi", which the parser turns into a number.

#include <array>
#include <cmath>
#include <cstdint>
#include <iterator>

#include "engine/calculate.h"
#include "engine/engine_state.h"
#include "engine/lexer_internal.h"
#include "engine/messages.h"
#include "engine/operations.h"
#include "numerics/numerics.h"

// Priorities on the parser's operator stack. An entry waits there until an
// operator of the same or a lower priority arrives, so equal priorities are
// left-associative. The parser gives "(" priority 0, below every row, so that
// popping down to a row's priority never passes a bracket.
inline constexpr int32_t kAdditivePriority = 1;
inline constexpr int32_t kMultiplicativePriority = 2;
inline constexpr int32_t kHighPriority = 5;  // functions and every other operator

// What an operator means where an operand is expected: at the start, after
// "(" and after another sign.
enum class SignUse : uint8_t {
  NotASign,  // read as the binary operator there too
  Dropped,   // a unary plus: the token is dropped
  Negates,   // a unary minus: queued as 0, the operand, then the operator
};

using Computation = double (*)(double a, double b);  // b is unused by functions
using DomainCheck = bool (*)(double a, double b);    // true refuses the operands

// A domain check and the message its refusal shows.
struct Refusal {
  DomainCheck refuses;  // nullptr: every operand is accepted
  MessageIndex message;
};

struct Operation {
  const char* text;            // exactly as the lexer delivers it; names are lower-case
  int32_t priority;            // on the operator stack, see above
  int operandCount;            // 2 for an operator between operands, 1 for a function or "~"
  MessageIndex tooFewMessage;  // the operand stack holds fewer than operandCount
  Computation compute;         // a is the left operand or the argument, b the right operand;
                               // nullptr where `integer` always decides
  Refusal refusal;             // checked before compute
  SignUse asSign;              // operators only
  bool tracesQueue;            // sends the RPN trace each time it runs
  IntegerStep integer;         // asked first where not None (engine/operations.h)
  bool isPrefix;               // "~": an operator written before its one operand
};

constexpr bool IsFunction(const Operation& operation) { return operation.operandCount == 1 && !operation.isPrefix; }

// The refusals the rows share. Equality tests are exact: only the listed
// doubles are refused, and -0.0 equals 0. "%" also refuses a divisor whose
// word is zero; its integer computation finds that.
inline constexpr Refusal kAcceptsEveryOperand{nullptr, kMsgSyntax};  // its message is never shown
inline constexpr Refusal kZeroDivisorRefused{[](double, double b) { return b == 0.0; }, kMsgDivisionByZero};
inline constexpr Refusal kZeroBaseNegativePowerRefused{[](double a, double b) { return a == 0.0 && b < 0.0; },
                                                       kMsgDivisionByZero};
inline constexpr Refusal kTangentPolesRefused{[](double x, double) { return x == kHalfPi || x == kThreeHalvesPi; },
                                              kMsgArgumentOutOfDomain};
inline constexpr Refusal kSineZerosRefused{[](double x, double) { return x == 0.0 || x == kPi; },
                                           kMsgArgumentOutOfDomain};
inline constexpr Refusal kNotPositiveRefused{[](double x, double) { return x <= 0.0; }, kMsgArgumentOutOfDomain};
inline constexpr Refusal kNegativeRefused{[](double x, double) { return x < 0.0; }, kMsgArgumentOutOfDomain};

constexpr Operation BinaryOperator(const char* text, int32_t priority, MessageIndex tooFew, Computation compute,
                                   IntegerStep integer = IntegerStep::None, Refusal refusal = kAcceptsEveryOperand,
                                   SignUse asSign = SignUse::NotASign) {
  return {text, priority, 2, tooFew, compute, refusal, asSign, false, integer, false};
}

// An operator of the integer word only: its integer computation always decides.
constexpr Operation WordOperator(const char* text, MessageIndex tooFew, IntegerStep integer,
                                 Refusal refusal = kAcceptsEveryOperand) {
  return BinaryOperator(text, kHighPriority, tooFew, nullptr, integer, refusal);
}

// Every function takes its argument from a bracket and shares the two
// messages: nothing to take, and an argument outside the domain.
constexpr Operation Function(const char* text, Computation compute, Refusal refusal = kAcceptsEveryOperand,
                             bool tracesQueue = false, IntegerStep integer = IntegerStep::None) {
  return {text, kHighPriority, 1, kMsgFunctionWithoutArgument, compute, refusal, SignUse::NotASign, tracesQueue,
          integer, false};
}
constexpr Operation IntegerFunction(const char* text, IntegerStep integer,
                                    Refusal refusal = kAcceptsEveryOperand, Computation compute = nullptr) {
  return Function(text, compute, refusal, false, integer);
}
inline constexpr bool kSendsRpnTrace = true;

// "~" binds like a function but needs no bracket: it waits on the operator
// stack with the functions' priority until the next operator, ")" or the end.
constexpr Operation PrefixOperator(const char* text, IntegerStep integer) {
  return {text, kHighPriority, 1, kMsgFunctionWithoutArgument, nullptr, kAcceptsEveryOperand, SignUse::NotASign,
          false, integer, true};
}

// The vocabulary. Adding a function is one row here plus a test of its
// values (tests/engine/functions_test.cpp): the lexer reads every name, the
// parser accepts the name of every function row, the evaluator applies it,
// and tests/engine/vocabulary_test.cpp checks the new row against the lexer
// and the other rows. An operator of one or two characters is one row as
// well, with a "too few operands" message of its own. The evaluator finds
// rows by text, so their order does not matter.
inline constexpr Operation kVocabulary[] = {
    BinaryOperator("+", kAdditivePriority, kMsgTooFewForPlus, [](double a, double b) { return a + b; }, IntegerStep::Sum,
                   kAcceptsEveryOperand, SignUse::Dropped),
    BinaryOperator("-", kAdditivePriority, kMsgTooFewForMinus, [](double a, double b) { return a - b; },
                   IntegerStep::Difference, kAcceptsEveryOperand, SignUse::Negates),
    BinaryOperator("*", kMultiplicativePriority, kMsgTooFewForMultiply, [](double a, double b) { return a * b; },
                   IntegerStep::Product),
    BinaryOperator("/", kMultiplicativePriority, kMsgTooFewForDivide, [](double a, double b) { return a / b; },
                   IntegerStep::Quotient, kZeroDivisorRefused),
    WordOperator("!", kMsgTooFewForIntegerDivide, IntegerStep::WordQuotient, kZeroDivisorRefused),
    WordOperator("%", kMsgTooFewForRemainder, IntegerStep::WordRemainder, kZeroDivisorRefused),
    WordOperator("<<", kMsgTooFewForShiftLeft, IntegerStep::WordShiftLeft),
    WordOperator(">>", kMsgTooFewForShiftRight, IntegerStep::WordShiftRight),
    WordOperator("<", kMsgTooFewForLess, IntegerStep::Less),
    WordOperator(">", kMsgTooFewForGreater, IntegerStep::Greater),
    WordOperator(">=", kMsgTooFewForGreaterOrEqual, IntegerStep::GreaterOrEqual),
    WordOperator("<=", kMsgTooFewForLessOrEqual, IntegerStep::LessOrEqual),
    WordOperator("<>", kMsgTooFewForNotEqual, IntegerStep::NotEqual),
    WordOperator("=", kMsgTooFewForEqual, IntegerStep::Equal),
    BinaryOperator("^", kHighPriority, kMsgTooFewForPower, Power, IntegerStep::Power, kZeroBaseNegativePowerRefused),
    WordOperator("&", kMsgTooFewForBitwiseAnd, IntegerStep::WordAnd),
    WordOperator("|", kMsgTooFewForBitwiseOr, IntegerStep::WordOr),
    WordOperator("&&", kMsgTooFewForLogicalAnd, IntegerStep::LogicalAnd),
    WordOperator("||", kMsgTooFewForLogicalOr, IntegerStep::LogicalOr),
    WordOperator("\\", kMsgTooFewForExclusiveOr, IntegerStep::WordExclusiveOr),
    PrefixOperator("~", IntegerStep::WordComplement),
    Function("cos", [](double x, double) { return numerics::Cosine(x); }, kAcceptsEveryOperand, kSendsRpnTrace),
    Function("sin", [](double x, double) { return numerics::Sine(x); }),
    Function("exp", [](double x, double) { return numerics::Exponential(x); }),
    Function("ln", [](double x, double) { return numerics::NaturalLogarithm(x); }, kNotPositiveRefused),
    Function("tg", [](double x, double) { return numerics::Tangent(x); }, kTangentPolesRefused),
    Function("ctg", [](double x, double) { return numerics::Cotangent(x); }, kSineZerosRefused),
    Function("arctg", [](double x, double) { return numerics::Arctangent(x); }),
    Function("arcctg", [](double x, double) { return numerics::Arccotangent(x); }),
    IntegerFunction("int", IntegerStep::WordIntegerPart),
    IntegerFunction("frac", IntegerStep::WordFractionalPart),
    Function("rad", [](double x, double) { return numerics::DegreesToRadians(x); }),
    Function("grad", [](double x, double) { return numerics::RadiansToDegrees(x); }),
    IntegerFunction("sign", IntegerStep::SignOf),
    Function("lg", [](double x, double) { return numerics::DecimalLogarithm(x); }, kNotPositiveRefused),
    IntegerFunction("sqr", IntegerStep::Square, kAcceptsEveryOperand, [](double x, double) { return x * x; }),
    Function("sqrt", [](double x, double) { return std::sqrt(x); }, kNegativeRefused),
    Function("arcsin", [](double x, double) { return numerics::Arcsine(x); }),
    Function("arccos", [](double x, double) { return numerics::Arccosine(x); }),
    IntegerFunction("fact", IntegerStep::WordFactorial, kNegativeRefused),
    IntegerFunction("abs", IntegerStep::Absolute, kAcceptsEveryOperand, [](double x, double) { return std::fabs(x); }),
    IntegerFunction("round", IntegerStep::WordRound),
    Function("cosec", [](double x, double) { return numerics::Cosecant(x); }, kSineZerosRefused),
    Function("sec", [](double x, double) { return numerics::Secant(x); }, kTangentPolesRefused),
};
inline constexpr int kVocabularySize = static_cast<int>(std::size(kVocabulary));

constexpr int TextLength(const char* text) {
  int length = 0;
  while (text[length] != '\0') ++length;
  return length;
}

// Every text must fit the operator stack's entries and the queue's items,
// which copy it with its terminator.
constexpr bool EveryTextFitsTheStackAndQueue() {
  for (const Operation& operation : kVocabulary) {
    if (TextLength(operation.text) >= kOperatorTextCapacity) return false;
  }
  return kOperatorTextCapacity <= kRpnNameCapacity;
}
static_assert(EveryTextFitsTheStackAndQueue());

// Rows by first character, so that a lookup compares only the few texts that
// share it, and the row of each one-character text directly: the parser
// looks up every operator and name token, the evaluator every operation it
// meets, and most of them are one character long.
struct VocabularyIndex {
  std::array<uint8_t, 129> start{};  // rows of character c: order[start[c] .. start[c+1])
  std::array<uint8_t, kVocabularySize> order{};
  std::array<uint8_t, 128> singleCharacterRow{};  // the row whose text is c alone, or kNoRow
};
inline constexpr uint8_t kNoRow = 255;
static_assert(kVocabularySize < kNoRow, "row numbers are stored in uint8_t");

constexpr VocabularyIndex BuildVocabularyIndex() {
  VocabularyIndex index;
  std::array<int, 129> next{};  // first counts per character, then the next free place
  for (const Operation& operation : kVocabulary) ++next[static_cast<unsigned char>(operation.text[0]) + 1];
  for (int c = 1; c < 129; ++c) next[c] += next[c - 1];
  for (int c = 0; c < 129; ++c) index.start[c] = static_cast<uint8_t>(next[c]);
  index.singleCharacterRow.fill(kNoRow);
  for (int row = 0; row < kVocabularySize; ++row) {
    const unsigned char first = static_cast<unsigned char>(kVocabulary[row].text[0]);
    index.order[next[first]++] = static_cast<uint8_t>(row);
    if (TextLength(kVocabulary[row].text) == 1) index.singleCharacterRow[first] = static_cast<uint8_t>(row);
  }
  return index;
}
inline constexpr VocabularyIndex kVocabularyIndex = BuildVocabularyIndex();

// The row whose text is exactly `text` (case matters), or nullptr.
inline const Operation* FindOperation(const char* text) {
  const unsigned char first = static_cast<unsigned char>(text[0]);
  if (first == '\0' || first >= 128) return nullptr;
  if (text[1] == '\0') {
    const uint8_t row = kVocabularyIndex.singleCharacterRow[first];
    return row == kNoRow ? nullptr : &kVocabulary[row];
  }
  for (int i = kVocabularyIndex.start[first]; i < kVocabularyIndex.start[first + 1]; ++i) {
    const Operation& operation = kVocabulary[kVocabularyIndex.order[i]];
    if (TokenIs(operation.text, text)) return &operation;
  }
  return nullptr;
}
