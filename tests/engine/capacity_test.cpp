#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "engine_test_support.h"
#include "tests/support/case_table.h"

namespace {

std::string Repeat(const std::string& piece, int count) {
  std::string text;
  for (int i = 0; i < count; ++i) text += piece;
  return text;
}

TEST(Capacity, PushOperatorTakesTheThousandthEntryAndRefusesTheNext) {
  auto state = engine_test::NewState();
  std::strcpy(state->tokenText, "(");
  for (int i = 0; i < kTableCapacity; ++i) ASSERT_TRUE(PushOperator(*state, 0)) << i;
  EXPECT_EQ(state->operatorTop, kTableCapacity);
  EXPECT_FALSE(PushOperator(*state, 0));
  EXPECT_EQ(state->operatorTop, kTableCapacity);
  EXPECT_EQ(state->tokenKind, TokenKind::Error);
  EXPECT_EQ(state->messageIndex, kMsgTableFull);
}

// Expressions near the limits of the queue and the stacks, each at most 999
// characters long as the window allows.
TEST(Capacity, TablesAtTheirLimit) {
  struct Case {
    int line;
    std::string expression;
    engine_test::Expected outcome;
  };
  const Case cases[] = {
      // 500 numbers and 499 "+" make 999 queue items; one more number fails.
      {__LINE__, Repeat("1+", 499) + "1", "500"},
      // 1000 queue items exactly: 500 signs each add 0 and "-".
      {__LINE__, Repeat("-", 499) + "1", "-1"},
      // 999 open brackets fill the stack to 999 and stay open.
      {__LINE__, Repeat("(", 999), kMsgUnbalancedBracket},
      // Numbers with no operator overflow nothing but leave operands.
      {__LINE__, Repeat("1 ", 499) + "1", kMsgSyntax},
      // The longest expression still calculates.
      {__LINE__, Repeat("1+2*3-", 166) + "111", "721"},
  };
  ForEachCase(cases, [&](const Case& c) {
    ASSERT_LE(c.expression.size(), static_cast<std::size_t>(kExpressionMaxLength));
    EXPECT_EQ(engine_test::OutcomeOf(c.expression), c.outcome.text);
  });
}

// A queue can reach 1000 items only with the engine driven directly; then the
// item after the thousandth fails with message 9 in every place that appends.
TEST(Capacity, QueueRefusesTheThousandAndFirstItem) {
  auto state = engine_test::NewState();
  // 1000 unary minus signs overflow the queue at the 1001st item (500 zeros
  // and 500 "-" fit; the operand after them does not).
  std::memset(state->expression, '-', 500);
  std::strcpy(state->expression + 500, "1");
  CalculateExpression(*state);
  EXPECT_EQ(engine_test::Outcome(*state), engine_test::ErrorText(kMsgTableFull));
  EXPECT_EQ(state->rpnCount, kTableCapacity);
}

TEST(Capacity, OperandStackHoldsAThousandOperands) {
  auto state = engine_test::NewState();
  state->messageIndex = kMsgSyntax;
  state->rpnCount = kTableCapacity;
  for (int i = 0; i < kTableCapacity; ++i) state->rpnQueue[i] = {RpnItemKind::Number, kNoOperation, i, 1.0, ""};
  EvaluateRpn(*state);
  // All 1000 operands fit; the failure is only that too many are left.
  EXPECT_EQ(state->tokenKind, TokenKind::Error);
  EXPECT_EQ(state->messageIndex, kMsgSyntax);
  EXPECT_EQ(state->operandCount, kTableCapacity);
}

TEST(Capacity, ExpressionIsCutAt999Characters) {
  auto state = engine_test::NewState();
  const std::string longText(1500, '1');
  SetExpression(*state, longText.c_str());
  EXPECT_EQ(std::strlen(state->expression), static_cast<std::size_t>(kExpressionMaxLength));
}

}  // namespace
