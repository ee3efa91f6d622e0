#include <gtest/gtest.h>

#include <string>

#include "engine_test_support.h"
#include "tests/support/case_table.h"

namespace {

// The queue an expression converts to, or "error:N" when the conversion
// fails. Evaluation failures leave the queue readable, so they show the queue.
std::string QueueOrConversionError(const std::string& expression) {
  auto state = engine_test::Calculate(expression);
  if (state->tokenKind == TokenKind::Error && state->result == 0.0 && state->messageIndex != kMsgSyntax &&
      state->messageIndex < kMsgTooFewForPlus) {
    return engine_test::ErrorText(state->messageIndex);
  }
  return engine_test::QueueText(*state);
}

TEST(Parser, QueuesInEvaluationOrder) {
  struct Case {
    int line;
    const char* expression;
    engine_test::Expected queue;  // or the message of a conversion error
  };
  const Case cases[] = {
      {__LINE__, "1+2*3", "1 2 3 * +"},
      {__LINE__, "1*2+3", "1 2 * 3 +"},
      {__LINE__, "8-3-2", "8 3 - 2 -"},
      {__LINE__, "2^3^2", "2 3 ^ 2 ^"},
      {__LINE__, "1+2=3", "1 2 3 = +"},
      {__LINE__, "1<2+1", "1 2 < 1 +"},
      {__LINE__, "-2^2", "0 2 2 ^ -"},
      {__LINE__, "-3+2", "0 3 - 2 +"},
      {__LINE__, "(-3)", "0 3 -"},
      {__LINE__, "--3", "0 0 3 - -"},
      {__LINE__, "+3", "3"},
      {__LINE__, "++3", "3"},
      {__LINE__, "-+3", "0 3 -"},
      {__LINE__, "2*-3", "2 * 3 -"},
      {__LINE__, "2*(-3)", "2 0 3 - *"},
      {__LINE__, "sin(30)", "30 sin"},
      {__LINE__, "sin (30)", "30 sin"},
      {__LINE__, "sin(0)+1", "0 sin 1 +"},
      {__LINE__, "sin(1)^2", "1 sin 2 ^"},
      {__LINE__, "2^sin(1)", "2 1 sin ^"},
      {__LINE__, "sin(-30)", "0 30 - sin"},
      {__LINE__, "SIN(30)", "30 sin"},
      {__LINE__, "PI", "3.141592653589793"},
      {__LINE__, "()5", "5"},
      {__LINE__, "sin()", "sin"},
      {__LINE__, "2 3", "2 3"},
      {__LINE__, "2(3)", "2 3"},
      {__LINE__, "pi(2)", "3.141592653589793 2"},
      {__LINE__, "2 >< 3", "2 3"},
      {__LINE__, "", ""},
      {__LINE__, "   ", ""},
      {__LINE__, "1+2*3-4/5", "1 2 3 * + 4 5 / -"},
      {__LINE__, "arcctg(1)", "1 arcctg"},
      {__LINE__, "sin 30", kMsgMissingOpeningBracket},
      {__LINE__, "sin", kMsgMissingOpeningBracket},
      {__LINE__, "sin#", kMsgMissingOpeningBracket},
      {__LINE__, "sin$g", kMsgMissingOpeningBracket},
      {__LINE__, "foo(1)", kMsgUnknownName},
      {__LINE__, ")", kMsgMissingOpeningBracket},
      {__LINE__, "1)", kMsgMissingOpeningBracket},
      {__LINE__, "1+2)", kMsgUnbalancedBracket},
      {__LINE__, "(", kMsgUnbalancedBracket},
      {__LINE__, "(1", kMsgUnbalancedBracket},
      {__LINE__, "((1)", kMsgUnbalancedBracket},
      {__LINE__, "(1))", kMsgMissingOpeningBracket},
      {__LINE__, "2#", kMsgUnexpectedCharacter},
  };
  ForEachCase(cases, [&](const Case& c) {
    EXPECT_EQ(QueueOrConversionError(c.expression), c.queue.text);
  });
}

TEST(Parser, ConversionErrorLeavesZeroResult) {
  auto state = engine_test::Calculate("1+2)");
  EXPECT_EQ(state->tokenKind, TokenKind::Error);
  EXPECT_EQ(state->messageIndex, kMsgUnbalancedBracket);
  EXPECT_EQ(state->result, 0.0);
}

TEST(Parser, CalculationAfterFailureStartsClean) {
  auto state = engine_test::Calculate("foo");
  ASSERT_EQ(state->messageIndex, kMsgUnknownName);
  SetExpression(*state, "2+3");
  CalculateExpression(*state);
  EXPECT_EQ(engine_test::Outcome(*state), "5");
  SetExpression(*state, "2 3");
  CalculateExpression(*state);
  EXPECT_EQ(state->messageIndex, kMsgSyntax);
}

TEST(Parser, FreshStateReadsAsSuccessWithZero) {
  auto state = std::make_unique<EngineState>();
  EXPECT_EQ(state->tokenKind, TokenKind::End);
  EXPECT_EQ(state->result, 0.0);
  EXPECT_EQ(ProgramEngineState().tokenKind, TokenKind::End);
}

}  // namespace
