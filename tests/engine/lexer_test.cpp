#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <string>

#include "engine/calculate.h"
#include "engine_test_support.h"
#include "tests/support/case_table.h"

namespace {

TEST(Lexer, TokensOfEveryNotation) {
  struct Case {
    int line;
    const char* input;
    engine_test::Expected tokens;  // or the message of the first error
  };
  const Case cases[] = {
      {__LINE__, "0x1F", "Hex:1F"},
      {__LINE__, "0X1f", "Hex:1F"},
      {__LINE__, "$1f", "Hex:1F"},
      {__LINE__, "1fh", "Hex:1F"},
      {__LINE__, "1FH", "Hex:1F"},
      {__LINE__, "0x", "Hex:"},
      {__LINE__, "$", "Hex:"},
      {__LINE__, "0xG", kMsgHexLetterBeyondF},
      {__LINE__, "0xg", kMsgHexLetterBeyondF},
      {__LINE__, "$z", kMsgHexLetterBeyondF},
      {__LINE__, "1agh", kMsgHexLetterBeyondF},
      {__LINE__, "$1fh", kMsgHexLetterBeyondF},
      {__LINE__, "101b", "Binary:101"},
      {__LINE__, "12b", kMsgBinarySuffixBadDigit},
      {__LINE__, "17o", "Octal:17"},
      {__LINE__, "17O", "Octal:17"},
      {__LINE__, "18o", kMsgOctalSuffixBadDigit},
      {__LINE__, "1bh", "Binary:1 Name:h"},
      {__LINE__, "1Bh", "Binary:1 Name:h"},
      {__LINE__, "12bh", kMsgBinarySuffixBadDigit},
      {__LINE__, "1e5h", "Real:1E+5 Name:h"},
      {__LINE__, "1e5", "Real:1E+5"},
      {__LINE__, "2.5E-3", "Real:2.5E-3"},
      {__LINE__, "7.", "Real:7."},
      {__LINE__, "1.e3", "Real:1.E+3"},
      {__LINE__, "1e", kMsgHexWithoutSuffix},
      {__LINE__, "1ex", kMsgHexLetterBeyondF},
      {__LINE__, "1.5e", kMsgExponentWithoutDigits},
      {__LINE__, "1e+", kMsgExponentWithoutDigits},
      {__LINE__, "010", "Decimal:010"},
      {__LINE__, "12x", "Decimal:12 Name:x"},
      {__LINE__, "1.5h", "Real:1.5 Name:h"},
      {__LINE__, ".5", kMsgUnexpectedCharacter},
      {__LINE__, "abcdefghi", "Name:abcdefghi"},
      {__LINE__, "abcdefghij", kMsgNameTooLong},
      {__LINE__, "SIN", "Name:sin"},
      {__LINE__, "a1", "Name:a1"},
      {__LINE__, "1a", kMsgHexWithoutSuffix},
      {__LINE__, "\t1", kMsgUnexpectedCharacter},
      {__LINE__, "\xC0", kMsgUnexpectedCharacter},
      {__LINE__, "!=", "Operator:! Operator:="},
      {__LINE__, "><", "Operator:><"},
      {__LINE__, "<< <= <> >> >= && || & | \\", "Operator:<< Operator:<= Operator:<> Operator:>> "
                                               "Operator:>= Operator:&& Operator:|| Operator:& "
                                               "Operator:| Operator:\\"},
      {__LINE__, "<<<", "Operator:<< Operator:<"},
      {__LINE__, "   ", ""},
      {__LINE__, " 2 + 3 ", "Decimal:2 Operator:+ Decimal:3"},
  };
  ForEachCase(cases, [&](const Case& c) {
    EXPECT_EQ(engine_test::Tokens(c.input), c.tokens.text);
  });
}

// The characters that start an operator, bracket or "$" token: exactly the
// seventeen of the language, whatever the vocabulary's rows add up to.
TEST(Lexer, OperatorCharactersAreTheSeventeenOfTheLanguage) {
  const std::string operatorCharacters = "+-/*()$%<>^=&|\\!~";
  auto state = engine_test::NewState();
  for (int code = 1; code < 256; ++code) {
    const char c = static_cast<char>(code);
    SCOPED_TRACE(code);
    state->expression[0] = c;
    state->inputPos = 0;
    EXPECT_EQ(IsOperatorCharAt(*state), operatorCharacters.find(c) != std::string::npos);
  }
}

// Two operator characters in a row form one token only for the language's
// two-character operators and "><"; any other pair is two tokens.
TEST(Lexer, OnlyTheTwoCharacterOperatorsArePairs) {
  const std::string operatorCharacters = "+-/*()%<>^=&|\\!";  // "$" starts a number
  const std::string pairs[] = {"<<", "<=", "<>", ">>", ">=", "&&", "||", "><"};
  for (const char first : operatorCharacters) {
    for (const char second : operatorCharacters) {
      const std::string text{first, second};
      SCOPED_TRACE(text);
      const bool isPair = std::find(std::begin(pairs), std::end(pairs), text) != std::end(pairs);
      const std::string expected =
          isPair ? "Operator:" + text : std::string("Operator:") + first + " Operator:" + second;
      EXPECT_EQ(engine_test::Tokens(text), expected);
    }
  }
}

TEST(Lexer, ErrorOfTooLongNameKeepsTenCharacters) {
  auto state = engine_test::NewState();
  SetExpression(*state, "abcdefghijkl");
  NextToken(*state);
  EXPECT_EQ(state->tokenKind, TokenKind::Error);
  EXPECT_STREQ(state->tokenText, "abcdefghij");
}

TEST(Lexer, DigitStringsToValues) {
  EXPECT_EQ(HexDigitsToValue("1F"), 31.0);
  EXPECT_EQ(HexDigitsToValue(""), 0.0);
  EXPECT_EQ(HexDigitsToValue("FFFFFFFF"), 4294967295.0);
  EXPECT_EQ(OctalDigitsToValue("17"), 15.0);
  EXPECT_EQ(BinaryDigitsToValue("101"), 5.0);
  // Beyond 2^53 each addition rounds: 2^53 + 1 is not representable.
  EXPECT_EQ(HexDigitsToValue("20000000000001"), 9007199254740992.0);
}

// A real literal that fills the whole expression grows by the "+" inserted
// into its exponent; the token must still fit.
TEST(Lexer, LongestRealTokenFits) {
  std::string input(kExpressionMaxLength - 2, '1');
  input += "e5";
  auto state = engine_test::NewState();
  SetExpression(*state, input.c_str());
  NextToken(*state);
  ASSERT_EQ(state->tokenKind, TokenKind::Real);
  EXPECT_EQ(std::string(state->tokenText), input.substr(0, input.size() - 2) + "E+5");
}

// An expression buffer filled without a terminator is read as if the last
// byte ended it.
TEST(Lexer, UnterminatedExpressionStopsAtTheLastByte) {
  auto state = engine_test::NewState();
  std::memset(state->expression, '7', sizeof(state->expression));
  CalculateExpression(*state);
  EXPECT_EQ(state->tokenKind, TokenKind::End);
  EXPECT_EQ(engine_test::Outcome(*state), "inf");  // 999 sevens overflow a double
}

}  // namespace
