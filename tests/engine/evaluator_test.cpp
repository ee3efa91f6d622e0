#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "engine/vocabulary.h"
#include "engine_test_support.h"

namespace {

TEST(Evaluator, OperatorResults) {
  const engine_test::OutcomeCase cases[] = {
      {__LINE__, "", "0"},
      {__LINE__, "42", "42"},
      {__LINE__, "2+3", "5"},
      {__LINE__, "1/3", "0.3333333333333333"},
      {__LINE__, "7!2", "3"},
      {__LINE__, "(-7)!2", "-3"},
      {__LINE__, "1!3", "0"},
      {__LINE__, "7!0.5", "14"},
      {__LINE__, "7%3", "1"},
      {__LINE__, "(-7)%3", "-1"},
      {__LINE__, "7%(-3)", "1"},
      {__LINE__, "7.9%2.5", "1"},
      {__LINE__, "(0-2147483648)%(-1)", "0"},
      {__LINE__, "1<<31", "-2147483648"},
      {__LINE__, "1<<32", "1"},
      {__LINE__, "1<<(-1)", "-2147483648"},
      {__LINE__, "256>>33", "128"},
      {__LINE__, "(-8)>>1", "-4"},
      {__LINE__, "(-1)>>31", "-1"},
      {__LINE__, "2147483648|0", "-2147483648"},
      {__LINE__, "4294967297&1", "1"},
      {__LINE__, "(-1)&255", "255"},
      {__LINE__, "12\\10", "6"},
      {__LINE__, "12|10", "14"},
      {__LINE__, "3<5", "1"},
      {__LINE__, "5<=5", "1"},
      {__LINE__, "5<>5", "0"},
      {__LINE__, "5=5.0", "1"},
      {__LINE__, "5>=6", "0"},
      {__LINE__, "6>5", "1"},
      {__LINE__, "0&&7", "0"},
      {__LINE__, "0||(-0.0)", "0"},
      {__LINE__, "2||0", "1"},
      {__LINE__, "arcsin(2)&&1", "1"},  // NaN counts as true
      {__LINE__, "arcsin(2)=arcsin(2)", "0"},
      {__LINE__, "arcsin(2)<>1", "1"},
      {__LINE__, "1+2*3", "7"},
      {__LINE__, "1+2=3", "1"},   // 2=3 first, then 1+0
      {__LINE__, "-2^2", "-4"},
      {__LINE__, "1e400", "inf"},
      {__LINE__, "1e-400", "0"},
      {__LINE__, "-1e400", "-inf"},
      {__LINE__, "0x1F+$1f+1fh+17o+101b", "113"},
  };
  engine_test::ExpectOutcomes(cases);
}

TEST(Evaluator, Failures) {
  const engine_test::OutcomeCase cases[] = {
      {__LINE__, "5+", kMsgTooFewForPlus},
      {__LINE__, "5-", kMsgTooFewForMinus},
      {__LINE__, "5*", kMsgTooFewForMultiply},
      {__LINE__, "5/", kMsgTooFewForDivide},
      {__LINE__, "5!", kMsgTooFewForIntegerDivide},
      {__LINE__, "5%", kMsgTooFewForRemainder},
      {__LINE__, "5<<", kMsgTooFewForShiftLeft},
      {__LINE__, "5>>", kMsgTooFewForShiftRight},
      {__LINE__, "5<", kMsgTooFewForLess},
      {__LINE__, "5>", kMsgTooFewForGreater},
      {__LINE__, "5>=", kMsgTooFewForGreaterOrEqual},
      {__LINE__, "5<=", kMsgTooFewForLessOrEqual},
      {__LINE__, "5<>", kMsgTooFewForNotEqual},
      {__LINE__, "5=", kMsgTooFewForEqual},
      {__LINE__, "5^", kMsgTooFewForPower},
      {__LINE__, "5&", kMsgTooFewForBitwiseAnd},
      {__LINE__, "5|", kMsgTooFewForBitwiseOr},
      {__LINE__, "5&&", kMsgTooFewForLogicalAnd},
      {__LINE__, "5||", kMsgTooFewForLogicalOr},
      {__LINE__, "5\\", kMsgTooFewForExclusiveOr},
      {__LINE__, "2*-3", kMsgTooFewForMultiply},
      {__LINE__, "7/0", kMsgDivisionByZero},
      {__LINE__, "7/(-0.0)", kMsgDivisionByZero},
      {__LINE__, "0/0", kMsgDivisionByZero},
      {__LINE__, "7!0", kMsgDivisionByZero},
      {__LINE__, "7%0", kMsgDivisionByZero},
      {__LINE__, "5%0.5", kMsgDivisionByZero},
      {__LINE__, "5%4294967296", kMsgDivisionByZero},
      {__LINE__, "5%arcsin(2)", kMsgDivisionByZero},
      {__LINE__, "7/arcsin(2)", "nan"},  // NaN is not equal to 0
      {__LINE__, "2 3", kMsgSyntax},
      {__LINE__, "2(3)", kMsgSyntax},
      {__LINE__, "sin()", kMsgFunctionWithoutArgument},
  };
  engine_test::ExpectOutcomes(cases);
}

TEST(Evaluator, LeftoverOperandsKeepTheBottomValue) {
  auto state = engine_test::Calculate("2 3");
  EXPECT_EQ(state->tokenKind, TokenKind::Error);
  EXPECT_EQ(state->messageIndex, kMsgSyntax);
  EXPECT_EQ(state->result, 2.0);
}

TEST(Evaluator, FailureInTheWalkLeavesZero) {
  auto state = engine_test::Calculate("5+7/0");
  EXPECT_EQ(state->messageIndex, kMsgDivisionByZero);
  EXPECT_EQ(state->result, 0.0);
}

// Items without a valid row (never queued by the parser) are refused instead
// of stalling the walk.
TEST(Evaluator, OperationWithoutARowFails) {
  for (const int row : {-1, kVocabularySize, 999}) {
    SCOPED_TRACE(row);
    auto state = engine_test::NewState();
    state->rpnCount = 2;
    state->rpnQueue[0] = {RpnItemKind::Number, kNoOperation, 0, 1.0, ""};
    state->rpnQueue[1] = {RpnItemKind::Operation, static_cast<int16_t>(row), 2, 0.0, "sin"};
    EvaluateRpn(*state);
    EXPECT_EQ(state->tokenKind, TokenKind::Error);
    EXPECT_EQ(state->messageIndex, kMsgSyntax);
    EXPECT_EQ(state->result, 0.0);
    EXPECT_EQ(state->errorOffset, 2);
  }
}

// Every operator and function, binary use, sign and function call alike,
// reaches the queue with the row its name stands for.
TEST(Evaluator, QueuedItemsCarryTheRowOfTheirName) {
  for (const Operation& operation : kVocabulary) {
    std::string expression = "-2";
    if (IsFunction(operation)) {
      expression.append("+").append(operation.text).append("(-3)");
    } else {
      expression.append(operation.text).append("3");
    }
    SCOPED_TRACE(expression);
    auto state = engine_test::Calculate(expression);
    ASSERT_GT(state->rpnCount, 0);
    for (int i = 0; i < state->rpnCount; ++i) {
      const RpnItem& item = state->rpnQueue[i];
      if (item.kind != RpnItemKind::Operation) continue;
      ASSERT_GE(item.operation, 0);
      ASSERT_LT(item.operation, kVocabularySize);
      EXPECT_STREQ(kVocabulary[item.operation].text, item.name);
    }
  }
}

TEST(Evaluator, TruncateToInt32) {
  struct Conversion {
    double value;
    int32_t expected;
  };
  const Conversion cases[] = {
      {3.9, 3},           {-3.9, -3},         {2147483648.0, INT32_MIN}, {4294967297.0, 1},
      {1e19, 0},          {-1e19, 0},         {NAN, 0},                  {INFINITY, 0},
      {-0.5, 0},          {-2147483649.0, 2147483647}, {9223372036854774784.0, -1024},
  };
  for (const Conversion& c : cases) {
    SCOPED_TRACE(c.value);
    EXPECT_EQ(TruncateToInt32(c.value), c.expected);
  }
}

}  // namespace
