// Exact integers beside the double, the word size and signedness of the
// integer operators, "~", the "0b" / "0o" prefixes, "_" between digits and
// "ans".

#include <gtest/gtest.h>

#include <string>

#include "engine/calculate.h"
#include "tests/engine/engine_test_support.h"

namespace {

// "exact N" when the result carries an exact integer, "double D" (its
// shortest text) when only the double counts, "error:N" after a failure.
std::string ExactOutcome(const EngineState& state) {
  if (state.tokenKind == TokenKind::Error) return engine_test::ErrorText(state.messageIndex);
  if (!IsExact(state.resultExact)) return "double " + engine_test::Shortest(state.result);
  char digits[kExactDigitsCapacity];
  WriteExactDigits(state.resultExact, digits);
  return std::string("exact ") + digits;
}

std::string CalculateIn(const std::string& expression, int bits, bool isUnsigned) {
  auto state = engine_test::NewState();
  SetWordSize(*state, {bits, isUnsigned});
  ResetAnswer(*state);
  SetExpression(*state, expression);
  CalculateExpression(*state);
  return ExactOutcome(*state);
}

struct ExactCase {
  int line;
  const char* expression;
  engine_test::Expected outcome;  // at 32 bits signed
};

// Integer literals and the operations that keep integers stay exact over the
// whole range -2^63 .. 2^64-1; leaving it, or a fraction, gives the double.
TEST(ExactIntegers, KeptThroughTheOperationsThatKeepIntegers) {
  const ExactCase cases[] = {
      {__LINE__, "9007199254740993", "exact 9007199254740993"},
      {__LINE__, "0xFFFFFFFFFFFFFFFF", "exact 18446744073709551615"},
      {__LINE__, "18446744073709551615", "exact 18446744073709551615"},
      {__LINE__, "18446744073709551616", "double 18446744073709551616"},  // 20 digits beyond the range
      {__LINE__, "99999999999999999999", "double 1e+20"},
      {__LINE__, "0x10000000000000000", "double 18446744073709551616"},
      {__LINE__, "-9223372036854775808", "exact -9223372036854775808"},
      {__LINE__, "-9223372036854775809", "double -9223372036854775808"},
      {__LINE__, "9223372036854775807+1", "exact 9223372036854775808"},
      {__LINE__, "18446744073709551615+1", "double 18446744073709551616"},
      {__LINE__, "9007199254740993-9007199254740992", "exact 1"},
      {__LINE__, "4294967296*4294967295", "exact 18446744069414584320"},
      {__LINE__, "4294967296*4294967296", "double 18446744073709551616"},  // leaves the range
      {__LINE__, "-4294967296*2147483648", "exact -9223372036854775808"},
      {__LINE__, "18446744073709551615/5", "exact 3689348814741910323"},
      {__LINE__, "7/2", "double 3.5"},
      {__LINE__, "2^63", "exact 9223372036854775808"},
      {__LINE__, "2^64", "double 18446744073709551616"},
      {__LINE__, "(-2)^63", "exact -9223372036854775808"},
      {__LINE__, "2^(-1)", "double 0.5"},
      {__LINE__, "0^0", "exact 1"},
      {__LINE__, "abs(-9223372036854775808)", "exact 9223372036854775808"},
      {__LINE__, "sqr(4294967295)", "exact 18446744065119617025"},
      {__LINE__, "sqr(4294967296)", "double 18446744073709551616"},
      {__LINE__, "sign(-0xFFFFFFFFFFFF)", "exact -1"},
      {__LINE__, "fact(20)", "exact 2432902008176640000"},
      {__LINE__, "fact(21)", "double 51090942171709440000"},
      {__LINE__, "9007199254740993=9007199254740992", "exact 0"},
      {__LINE__, "9007199254740993>9007199254740992", "exact 1"},
      {__LINE__, "2.5<3", "exact 1"},
      {__LINE__, "1.5+1.5", "double 3"},  // a sum of reals is no exact integer
      {__LINE__, "pi", "double 3.141592653589793"},
      {__LINE__, "", "exact 0"},
  };
  ForEachCase(cases, [](const ExactCase& c) { EXPECT_EQ(CalculateIn(c.expression, 32, false), c.outcome.text); });
}

// The evaluator's quick path for "+", "-", "*", "/" and the lexer's for
// "0x" and for reals without exponent give what the general computations
// give, on both sides of where they hand over: beyond the signed 64-bit
// integers, beyond 2^53 for "/", on overflow, for a double operand, for a
// zero divisor, and where a separator, an exponent or a letter follows.
TEST(ExactIntegers, QuickPathsHandOverAtTheirEdges) {
  const ExactCase cases[] = {
      {__LINE__, "9007199254740992/2", "exact 4503599627370496"},
      {__LINE__, "(-9007199254740992)/(-1)", "exact 9007199254740992"},
      {__LINE__, "9007199254740993/3", "exact 3002399751580331"},  // beyond 2^53: an integer division
      {__LINE__, "9007199254740995/2", "double 4503599627370498"},  // no integer: the doubles divided
      {__LINE__, "(-9223372036854775808)/(-1)", "exact 9223372036854775808"},
      {__LINE__, "18446744073709551614/2", "exact 9223372036854775807"},
      {__LINE__, "-6/3", "exact -2"},
      {__LINE__, "10/4", "double 2.5"},
      {__LINE__, "6/1.5", "double 4"},
      {__LINE__, "7/0", kMsgDivisionByZero},
      {__LINE__, "7.5/0", kMsgDivisionByZero},
      {__LINE__, "9223372036854775807*2", "exact 18446744073709551614"},  // overflows 64 signed bits
      {__LINE__, "-9223372036854775808-1", "double -9223372036854775808"},
      {__LINE__, "18446744073709551615-1", "exact 18446744073709551614"},
      {__LINE__, "(-3)*(-5)", "exact 15"},
      {__LINE__, "2.5*2", "double 5"},
      {__LINE__, "0.1+0.2", "double 0.30000000000000004"},
      {__LINE__, "0xfF", "exact 255"},
      {__LINE__, "0x1_0", "exact 16"},
      {__LINE__, "0x00000000000000001", "exact 1"},  // 17 digits
      {__LINE__, "0xFFFFFFFFFFFFFFFF0", "double 295147905179352825856"},
      {__LINE__, "0x", "exact 0"},
      {__LINE__, "0x1G", kMsgHexLetterBeyondF},
      {__LINE__, "1.5e1", "double 15"},
      {__LINE__, "1.5_5", "double 1.55"},
      {__LINE__, "12.", "double 12"},
      {__LINE__, "2.5.5", kMsgUnexpectedCharacter},
  };
  ForEachCase(cases, [](const ExactCase& c) { EXPECT_EQ(CalculateIn(c.expression, 32, false), c.outcome.text); });
}

struct WordCase {
  int line;
  const char* expression;
  int bits;
  bool isUnsigned;
  engine_test::Expected outcome;
};

// The integer operators reduce their operands to the word, work in it and
// read the result back signed or unsigned; ">>" is logical when unsigned.
TEST(WordSize, IntegerOperatorsWorkInTheWord) {
  const WordCase cases[] = {
      {__LINE__, "~0", 32, false, "exact -1"},
      {__LINE__, "~0", 32, true, "exact 4294967295"},
      {__LINE__, "~0", 8, true, "exact 255"},
      {__LINE__, "~0", 64, true, "exact 18446744073709551615"},
      {__LINE__, "~(-1)", 16, false, "exact 0"},
      {__LINE__, "~~5", 8, false, "exact 5"},
      {__LINE__, "~5+1", 32, false, "exact -5"},  // binds like a function
      {__LINE__, "2*~3", 32, false, "exact -8"},
      {__LINE__, "~(1+2)", 8, true, "exact 252"},
      {__LINE__, "~", 32, false, kMsgFunctionWithoutArgument},
      {__LINE__, "1<<7", 8, false, "exact -128"},
      {__LINE__, "1<<7", 8, true, "exact 128"},
      {__LINE__, "1<<8", 8, false, "exact 1"},  // the count modulo the word
      {__LINE__, "1<<16", 8, false, "exact 1"},
      {__LINE__, "1<<63", 64, false, "exact -9223372036854775808"},
      {__LINE__, "1<<63", 64, true, "exact 9223372036854775808"},
      {__LINE__, "1<<64", 64, true, "exact 1"},
      {__LINE__, "1<<128", 64, true, "exact 1"},
      {__LINE__, "1<<(-1)", 16, false, "exact -32768"},
      {__LINE__, "(-8)>>1", 32, false, "exact -4"},
      {__LINE__, "(-8)>>1", 32, true, "exact 2147483644"},
      {__LINE__, "(-1)>>63", 64, false, "exact -1"},
      {__LINE__, "(-1)>>63", 64, true, "exact 1"},
      {__LINE__, "0xFFFFFFFFFFFFFFFF & 0xF0", 64, false, "exact 240"},
      {__LINE__, "0xFFFFFFFFFFFFFFFF | 0", 64, false, "exact -1"},
      {__LINE__, "0xFFFFFFFFFFFFFFFF | 0", 64, true, "exact 18446744073709551615"},
      {__LINE__, "0xFFFFFFFFFFFFFFFF & 1", 32, false, "exact 1"},  // the exact low bits, not 2^64's
      {__LINE__, "70000 | 0", 16, false, "exact 4464"},
      {__LINE__, "40000 | 0", 16, false, "exact -25536"},
      {__LINE__, "40000 | 0", 16, true, "exact 40000"},
      {__LINE__, "12\\10", 8, false, "exact 6"},
      {__LINE__, "(-7)%3", 32, false, "exact -1"},
      {__LINE__, "(-7)%3", 32, true, "exact 0"},  // 4294967289 % 3
      {__LINE__, "(-128)%(-1)", 8, false, "exact 0"},
      {__LINE__, "5%256", 8, false, kMsgDivisionByZero},  // the divisor's word is 0
      {__LINE__, "18446744073709551615!3", 64, true, "exact 6148914691236517205"},
      {__LINE__, "7!2", 8, false, "exact 3"},
      {__LINE__, "300!1", 8, false, "exact 44"},
      {__LINE__, "int(300)", 8, false, "exact 44"},
      {__LINE__, "int(300)", 8, true, "exact 44"},
      {__LINE__, "int(200)", 8, false, "exact -56"},
      {__LINE__, "int(-2.5)", 64, false, "exact -2"},
      {__LINE__, "int(1e19)", 64, true, "exact 10000000000000000000"},
      {__LINE__, "int(1e19)", 32, false, "exact 0"},  // as always: no 64-bit integer
      {__LINE__, "round(2.5)", 16, false, "exact 3"},
      {__LINE__, "frac(2.75)", 16, false, "double 0.75"},
      {__LINE__, "frac(70000)", 16, false, "exact 65536"},
      {__LINE__, "fact(5)", 8, false, "exact 120"},
  };
  ForEachCase(cases,
              [](const WordCase& c) { EXPECT_EQ(CalculateIn(c.expression, c.bits, c.isUnsigned), c.outcome.text); });
}

// A word size outside 8, 16, 32 and 64 reads as 32, so a zero-filled state
// calculates as it always did.
TEST(WordSize, OtherSizesReadAsThirtyTwo) {
  EXPECT_EQ(CalculateIn("~0", 0, false), "exact -1");
  EXPECT_EQ(CalculateIn("1<<31", 12, false), "exact -2147483648");
  EXPECT_EQ(CalculateIn("1<<31", 0, true), "exact 2147483648");
}

struct LiteralCase {
  int line;
  const char* expression;
  engine_test::Expected outcome;
  // The message the same text gave before these notations existed (taken
  // from the program without them): every one failed, so no expression that
  // calculated before changes meaning. Kept with the row as its record.
  MessageIndex before;
};

TEST(Literals, NewNotationsWereAllErrorsBefore) {
  const LiteralCase cases[] = {
      {__LINE__, "0b1010", "exact 10", kMsgSyntax},  // was binary 0, then 1010
      {__LINE__, "0B11", "exact 3", kMsgSyntax},
      {__LINE__, "0o17", "exact 15", kMsgSyntax},
      {__LINE__, "0O7", "exact 7", kMsgSyntax},
      {__LINE__, "1_000", "exact 1000", kMsgUnexpectedCharacter},
      {__LINE__, "0xFFFF_FFFF", "exact 4294967295", kMsgUnexpectedCharacter},
      {__LINE__, "101_1b", "exact 11", kMsgUnexpectedCharacter},
      {__LINE__, "1_7o", "exact 15", kMsgUnexpectedCharacter},
      {__LINE__, "1F_FFh", "exact 8191", kMsgHexWithoutSuffix},
      {__LINE__, "1.5_5", "double 1.55", kMsgUnexpectedCharacter},
      {__LINE__, "0b1111_0000", "exact 240", kMsgSyntax},
      {__LINE__, "~0", "exact -1", kMsgUnexpectedCharacter},
      {__LINE__, "~-1", "exact 0", kMsgUnexpectedCharacter},
      {__LINE__, "ans", "exact 0", kMsgUnknownName},
      {__LINE__, "ans+1", "exact 1", kMsgUnknownName},
  };
  ForEachCase(cases, [](const LiteralCase& c) { EXPECT_EQ(CalculateIn(c.expression, 32, false), c.outcome.text); });
}

// What stays as it was, and where "_" or a prefix is misplaced.
TEST(Literals, OldFormsAndMisplacedSeparators) {
  const ExactCase cases[] = {
      {__LINE__, "0b", "exact 0"},  // binary 0 in suffix notation, as before
      {__LINE__, "0o", "exact 0"},
      {__LINE__, "0bh", kMsgUnknownName},
      {__LINE__, "0b2", kMsgBinarySuffixBadDigit},
      {__LINE__, "0b1012", kMsgBinarySuffixBadDigit},
      {__LINE__, "0o18", kMsgOctalSuffixBadDigit},
      {__LINE__, "1_", kMsgUnexpectedCharacter},
      {__LINE__, "1__0", kMsgUnexpectedCharacter},
      {__LINE__, "_1", kMsgUnexpectedCharacter},
      {__LINE__, "0x_F", kMsgUnexpectedCharacter},
      {__LINE__, "0b_1", kMsgUnexpectedCharacter},
      {__LINE__, "1._5", kMsgUnexpectedCharacter},
      {__LINE__, "1_.5", kMsgUnexpectedCharacter},
      {__LINE__, "1_e5", kMsgUnexpectedCharacter},
      {__LINE__, "0b1_2", kMsgUnexpectedCharacter},  // "_" only between digits of the base
      {__LINE__, "1e1_0", "double 1e+10"},
      {__LINE__, "1_000_000", "exact 1000000"},
      {__LINE__, "1b", "exact 1"},
      {__LINE__, "010", "exact 10"},
  };
  ForEachCase(cases, [](const ExactCase& c) { EXPECT_EQ(CalculateIn(c.expression, 32, false), c.outcome.text); });
}

// "ans" is the value the caller kept, exact where it was exact.
TEST(Answer, IsTheKeptValue) {
  auto state = engine_test::NewState();
  SetExpression(*state, "0xFFFFFFFFFFFFFFFF");
  CalculateExpression(*state);
  KeepResultAsAnswer(*state);
  SetExpression(*state, "ans-1");
  CalculateExpression(*state);
  EXPECT_EQ(ExactOutcome(*state), "exact 18446744073709551614");
  SetExpression(*state, "ANS/2");
  CalculateExpression(*state);
  EXPECT_EQ(ExactOutcome(*state), "double 9223372036854775808");  // odd: no exact quotient
  SetExpression(*state, "ans(1)");
  CalculateExpression(*state);
  EXPECT_EQ(ExactOutcome(*state), engine_test::ErrorText(kMsgSyntax));
}

}  // namespace
