// Where a failure is found: the offset of the token the lexer or the parser
// stopped at, or of the operator or function whose evaluation failed.

#include <gtest/gtest.h>

#include <string>

#include "tests/engine/engine_test_support.h"

namespace {

using engine_test::Calculate;
using engine_test::Expected;

// "error:N@offset" for a failure, the value otherwise.
std::string FailurePlace(const std::string& expression) {
  const auto state = Calculate(expression);
  const std::string outcome = engine_test::Outcome(*state);
  if (state->tokenKind != TokenKind::Error) return outcome;
  return outcome + "@" + std::to_string(state->errorOffset);
}

std::string At(MessageIndex message, int offset) {
  return engine_test::ErrorText(message) + "@" + std::to_string(offset);
}

TEST(ErrorOffset, NamesTheTokenOfEveryStage) {
  const struct {
    int line;
    std::string expression;
    std::string place;
  } cases[] = {
      // Lexer: the start of the token that cannot be read.
      {__LINE__, "1+0xG", At(kMsgHexLetterBeyondF, 2)},
      {__LINE__, "  12b", At(kMsgBinarySuffixBadDigit, 2)},
      {__LINE__, "7*18o", At(kMsgOctalSuffixBadDigit, 2)},
      {__LINE__, "1+1e", At(kMsgHexWithoutSuffix, 2)},
      {__LINE__, "2 * 1.5e+", At(kMsgExponentWithoutDigits, 4)},
      {__LINE__, "1+abcdefghij", At(kMsgNameTooLong, 2)},
      {__LINE__, "1 + #", At(kMsgUnexpectedCharacter, 4)},
      {__LINE__, "1+\xC3\xA9", At(kMsgUnexpectedCharacter, 2)},
      // Parser: the token it stopped at; the end of the text when it ran out.
      {__LINE__, "2+foo(1)", At(kMsgUnknownName, 2)},
      {__LINE__, "sin 30", At(kMsgMissingOpeningBracket, 4)},
      {__LINE__, "1+sin", At(kMsgMissingOpeningBracket, 5)},
      {__LINE__, "cos #", At(kMsgMissingOpeningBracket, 4)},
      {__LINE__, "1)", At(kMsgMissingOpeningBracket, 1)},
      {__LINE__, "(1+2))*3", At(kMsgMissingOpeningBracket, 5)},
      {__LINE__, "1+2)", At(kMsgUnbalancedBracket, 3)},
      // An unclosed bracket is the bracket itself, the innermost one open.
      {__LINE__, "((1+2)*(3", At(kMsgUnbalancedBracket, 7)},
      {__LINE__, "sin(1", At(kMsgUnbalancedBracket, 3)},
      // Evaluator: the operator or function that failed, however nested.
      {__LINE__, "2+", At(kMsgTooFewForPlus, 1)},
      {__LINE__, "2*-3", At(kMsgTooFewForMultiply, 1)},
      {__LINE__, "1+(2/(3-3))", At(kMsgDivisionByZero, 4)},
      {__LINE__, "10 ! 0", At(kMsgDivisionByZero, 3)},
      {__LINE__, "1+sqrt(2-sqrt(-4))", At(kMsgArgumentOutOfDomain, 9)},
      {__LINE__, "3*ln(0)", At(kMsgArgumentOutOfDomain, 2)},
      {__LINE__, "sin()", At(kMsgFunctionWithoutArgument, 0)},
      {__LINE__, "cos(sqr())", At(kMsgFunctionWithoutArgument, 4)},
      {__LINE__, "((3)>>)", At(kMsgTooFewForShiftRight, 4)},
      // Operands left over: the first one no operator took.
      {__LINE__, "2 3", At(kMsgSyntax, 2)},
      {__LINE__, "(1+1)(3*4)", At(kMsgSyntax, 6)},
      {__LINE__, "pi(2)", At(kMsgSyntax, 3)},
      // Success leaves nothing to mark.
      {__LINE__, "2*(3+4)", "14"},
  };
  ForEachCase(cases, [](const auto& c) { EXPECT_EQ(FailurePlace(c.expression), c.place); });
}

// A failure found first in one calculation does not leak into the next.
TEST(ErrorOffset, EachCalculationStartsAfresh) {
  auto state = Calculate("1+2+3+(");
  ASSERT_EQ(state->errorOffset, 6);
  SetExpression(*state, "2 3");
  CalculateExpression(*state);
  EXPECT_EQ(state->errorOffset, 2);
  SetExpression(*state, "x");
  CalculateExpression(*state);
  EXPECT_EQ(state->errorOffset, 0);
}

}  // namespace
