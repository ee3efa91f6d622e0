#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "engine/calculate.h"
#include "engine_test_support.h"

namespace {

const char* KindName(TokenKind kind) {
  switch (kind) {
    case TokenKind::End: return "End";
    case TokenKind::Error: return "Error";
    case TokenKind::Decimal: return "Decimal";
    case TokenKind::Operator: return "Operator";
    case TokenKind::Name: return "Name";
    case TokenKind::Real: return "Real";
    case TokenKind::Hex: return "Hex";
    case TokenKind::Octal: return "Octal";
    case TokenKind::Binary: return "Binary";
  }
  return "?";
}

// Every token of the input as "Kind:text", space-separated, up to the end or
// the first error, which reads "error:N".
std::string Tokens(const std::string& input) {
  auto state = engine_test::NewState();
  SetExpression(*state, input.c_str());
  std::string tokens;
  for (int guard = 0; guard < 100; ++guard) {
    state->tokenWritePos = 0;
    NextToken(*state);
    if (state->tokenKind == TokenKind::End) break;
    if (!tokens.empty()) tokens += ' ';
    if (state->tokenKind == TokenKind::Error) return tokens + "error:" + std::to_string(state->messageIndex);
    tokens += std::string(KindName(state->tokenKind)) + ":" + state->tokenText;
  }
  return tokens;
}

TEST(Lexer, TokensOfEveryNotation) {
  struct Case {
    int line;
    const char* input;
    const char* tokens;
  };
  const Case cases[] = {
      {__LINE__, "0x1F", "Hex:1F"},
      {__LINE__, "0X1f", "Hex:1F"},
      {__LINE__, "$1f", "Hex:1F"},
      {__LINE__, "1fh", "Hex:1F"},
      {__LINE__, "1FH", "Hex:1F"},
      {__LINE__, "0x", "Hex:"},
      {__LINE__, "$", "Hex:"},
      {__LINE__, "0xG", "error:1"},
      {__LINE__, "0xg", "error:1"},
      {__LINE__, "$z", "error:1"},
      {__LINE__, "1agh", "error:1"},
      {__LINE__, "$1fh", "error:1"},
      {__LINE__, "101b", "Binary:101"},
      {__LINE__, "12b", "error:3"},
      {__LINE__, "17o", "Octal:17"},
      {__LINE__, "17O", "Octal:17"},
      {__LINE__, "18o", "error:2"},
      {__LINE__, "1bh", "Binary:1 Name:h"},
      {__LINE__, "1Bh", "Binary:1 Name:h"},
      {__LINE__, "12bh", "error:3"},
      {__LINE__, "1e5h", "Real:1E+5 Name:h"},
      {__LINE__, "1e5", "Real:1E+5"},
      {__LINE__, "2.5E-3", "Real:2.5E-3"},
      {__LINE__, "7.", "Real:7."},
      {__LINE__, "1.e3", "Real:1.E+3"},
      {__LINE__, "1e", "error:4"},
      {__LINE__, "1ex", "error:1"},
      {__LINE__, "1.5e", "error:5"},
      {__LINE__, "1e+", "error:5"},
      {__LINE__, "010", "Decimal:010"},
      {__LINE__, "12x", "Decimal:12 Name:x"},
      {__LINE__, "1.5h", "Real:1.5 Name:h"},
      {__LINE__, ".5", "error:8"},
      {__LINE__, "abcdefghi", "Name:abcdefghi"},
      {__LINE__, "abcdefghij", "error:7"},
      {__LINE__, "SIN", "Name:sin"},
      {__LINE__, "a1", "Name:a1"},
      {__LINE__, "1a", "error:4"},
      {__LINE__, "\t1", "error:8"},
      {__LINE__, "\xC0", "error:8"},
      {__LINE__, "!=", "Operator:! Operator:="},
      {__LINE__, "><", "Operator:><"},
      {__LINE__, "<< <= <> >> >= && || & | \\", "Operator:<< Operator:<= Operator:<> Operator:>> "
                                               "Operator:>= Operator:&& Operator:|| Operator:& "
                                               "Operator:| Operator:\\"},
      {__LINE__, "<<<", "Operator:<< Operator:<"},
      {__LINE__, "   ", ""},
      {__LINE__, " 2 + 3 ", "Decimal:2 Operator:+ Decimal:3"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "line " << c.line << ": " << c.input);
    EXPECT_EQ(Tokens(c.input), c.tokens);
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
