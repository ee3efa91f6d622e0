// The vocabulary table against the lexer, the parser and itself. A row the
// lexer cannot read, that no lookup reaches, or whose messages or priority do
// not fit the language, is an operator or function a user cannot use, or one
// that fails with another operator's message.

#include "engine/vocabulary.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <set>
#include <string>

#include "engine_test_support.h"

namespace {

// What the lexer must deliver for a row's text: one token of its kind, the
// text unchanged. So a function name is lower-case, starts with a letter and
// has at most 9 letters and digits; an operator is one or two operator
// characters the lexer pairs.
TEST(Vocabulary, EveryRowIsReadAsOneTokenOfItsKind) {
  for (const Operation& row : kVocabulary) {
    SCOPED_TRACE(row.text);
    const std::string kind = IsFunction(row) ? "Name:" : "Operator:";
    EXPECT_EQ(engine_test::Tokens(row.text), kind + row.text);
  }
}

// The parser turns "pi" into a number before it looks for a function, and a
// name the lexer cuts at 9 characters could never be written.
TEST(Vocabulary, FunctionNamesAreNamesOfAtMostNineCharactersOtherThanPi) {
  for (const Operation& row : kVocabulary) {
    if (!IsFunction(row)) continue;
    SCOPED_TRACE(row.text);
    EXPECT_LE(std::strlen(row.text), static_cast<std::size_t>(kNameMaxLength));
    EXPECT_STRNE(row.text, "pi");
  }
}

// A second row with the same text would never be found.
TEST(Vocabulary, EveryRowIsFoundByItsText) {
  for (const Operation& row : kVocabulary) {
    SCOPED_TRACE(row.text);
    EXPECT_EQ(FindOperation(row.text), &row);
  }
  EXPECT_EQ(FindOperation(""), nullptr);
  EXPECT_EQ(FindOperation("><"), nullptr);
  EXPECT_EQ(FindOperation("("), nullptr);
  EXPECT_EQ(FindOperation("pi"), nullptr);
  EXPECT_EQ(FindOperation("SIN"), nullptr);
}

// Each operator names itself when an operand is missing, with a message of
// the evaluator's range that no other failure uses. Every function shares the
// two function messages; a refused operator divides by zero.
TEST(Vocabulary, MessagesAreDistinctAndInRange) {
  std::set<int> operatorMessages;
  for (const Operation& row : kVocabulary) {
    SCOPED_TRACE(row.text);
    if (row.refusal.refuses != nullptr) {
      EXPECT_EQ(row.refusal.message, IsFunction(row) ? kMsgArgumentOutOfDomain : kMsgDivisionByZero);
    }
    if (row.operandCount == 1) {  // functions and "~"
      EXPECT_EQ(row.tooFewMessage, kMsgFunctionWithoutArgument);
      continue;
    }
    EXPECT_GE(row.tooFewMessage, kMsgTooFewForPlus);
    EXPECT_LE(row.tooFewMessage, kMsgTooFewForExclusiveOr);
    EXPECT_NE(row.tooFewMessage, kMsgDivisionByZero);
    EXPECT_TRUE(operatorMessages.insert(row.tooFewMessage).second) << "message shared with another operator";
  }
}

// The twenty operators of the language at their priorities: "+ -" below
// "* /" below everything else.
TEST(Vocabulary, OperatorsAndTheirPriorities) {
  const struct {
    int priority;
    std::set<std::string> texts;
  } levels[] = {
      {kAdditivePriority, {"+", "-"}},
      {kMultiplicativePriority, {"*", "/"}},
      {kHighPriority, {"!", "%", "<<", ">>", "^", "<", ">", ">=", "<=", "<>", "=", "&", "|", "&&", "||", "\\"}},
  };
  int operatorCount = 0;
  for (const Operation& row : kVocabulary) {
    if (IsFunction(row) || row.isPrefix) continue;
    SCOPED_TRACE(row.text);
    ++operatorCount;
    const auto level = std::find_if(std::begin(levels), std::end(levels),
                                    [&row](const auto& candidate) { return candidate.texts.contains(row.text); });
    ASSERT_NE(level, std::end(levels)) << "not an operator of the language";
    EXPECT_EQ(row.priority, level->priority);
  }
  EXPECT_EQ(operatorCount, 20);
}

// "~" is the one operator written before its operand; it waits on the stack
// like a function.
TEST(Vocabulary, ComplementIsTheOnlyPrefixOperator) {
  std::set<std::string> prefixes;
  for (const Operation& row : kVocabulary) {
    if (!row.isPrefix) continue;
    prefixes.insert(row.text);
    EXPECT_EQ(row.operandCount, 1);
    EXPECT_EQ(row.priority, kHighPriority);
  }
  EXPECT_EQ(prefixes, std::set<std::string>{"~"});
}

// A function waits under its bracket and must leave for the queue before any
// operator that follows it, so it binds at least as tightly as every operator.
TEST(Vocabulary, FunctionsHaveTheHighestPriority) {
  for (const Operation& row : kVocabulary) {
    SCOPED_TRACE(row.text);
    if (IsFunction(row)) {
      EXPECT_EQ(row.priority, kHighPriority);
    } else {
      EXPECT_LE(row.priority, kHighPriority);
    }
  }
}

// Only "+" and "-" may stand where an operand is expected.
TEST(Vocabulary, OnlyPlusAndMinusAreSigns) {
  for (const Operation& row : kVocabulary) {
    SCOPED_TRACE(row.text);
    const SignUse expected = std::string(row.text) == "+"   ? SignUse::Dropped
                             : std::string(row.text) == "-" ? SignUse::Negates
                                                            : SignUse::NotASign;
    EXPECT_EQ(row.asSign, expected);
  }
}

// The parser queues every row: a function applied to a bracket, an operator
// between two operands.
TEST(Vocabulary, ParserQueuesEveryRow) {
  for (const Operation& row : kVocabulary) {
    SCOPED_TRACE(row.text);
    const std::string text = row.text;
    const std::string expression = IsFunction(row) ? text + "(1)" : "1" + text + "2";
    const std::string queue = IsFunction(row) ? "1 " + text : "1 2 " + text;
    EXPECT_EQ(engine_test::QueueText(*engine_test::Calculate(expression)), queue);
  }
}

// The evaluator's quick path takes these rows without looking at traces,
// operand counts or refusals: they must need none of that.
TEST(Vocabulary, QuickRowsAreBinaryOperatorsRefusingAtMostAZeroDivisor) {
  for (const Operation& operation : kVocabulary) {
    if (!IsQuickStep(operation.integer)) continue;
    SCOPED_TRACE(operation.text);
    EXPECT_EQ(operation.operandCount, 2);
    EXPECT_FALSE(operation.tracesQueue);
    const bool refusesZeroDivisor = operation.integer == IntegerStep::Quotient &&
                                    operation.refusal.refuses == kZeroDivisorRefused.refuses;
    EXPECT_TRUE(operation.refusal.refuses == nullptr || refusesZeroDivisor);
  }
}

}  // namespace
