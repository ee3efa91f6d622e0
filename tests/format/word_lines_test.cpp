// The five result lines at every word size and signedness: the integer
// lines take the low W bits, of the exact integer where the result has one;
// the DEC line writes every digit of an exact integer.

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

#include "engine/calculate.h"
#include "format/result_format.h"
#include "tests/format/test_messages.h"
#include "tests/support/case_table.h"

namespace {

using format_test::TestMessages;

std::unique_ptr<EngineState> CalculatedIn(const char* expression, int bits, bool isUnsigned) {
  auto state = std::make_unique<EngineState>();
  SetWordSize(*state, {bits, isUnsigned});
  SetExpression(*state, expression);
  CalculateExpression(*state);
  return state;
}

std::string LinesOf(const EngineState& state) {
  auto lines = std::make_unique<ResultLines>();
  ComposeResultLines(state, TestMessages(), *lines);
  std::string joined;
  for (int form = 0; form < kResultFormCount; ++form) joined += (form > 0 ? " | " : "") + std::string(lines->text[form]);
  return joined;
}

struct WordLinesCase {
  int line;
  const char* expression;
  int bits;
  bool isUnsigned;
  const char* lines;  // DEC | HEX | BIN | OCT | EXP
};

TEST(WordLines, FiveLinesAtEachWordSize) {
  const WordLinesCase cases[] = {
      {__LINE__, "9223372036854775807", 8, false, "9223372036854775807 | FF | 11111111 | 377 | 9.223372036854776E+0018"},
      {__LINE__, "9223372036854775807", 32, false, "9223372036854775807 | FFFFFFFF | 11111111111111111111111111111111 | 37777777777 | 9.223372036854776E+0018"},
      {__LINE__, "9223372036854775807", 64, false, "9223372036854775807 | 7FFFFFFFFFFFFFFF | 111111111111111111111111111111111111111111111111111111111111111 | 777777777777777777777 | 9.223372036854776E+0018"},
      {__LINE__, "9223372036854775808", 32, false, "9223372036854775808 | 0 | 0 | 0 | 9.223372036854776E+0018"},
      {__LINE__, "9223372036854775808", 64, false, "9223372036854775808 | 8000000000000000 | 1000000000000000000000000000000000000000000000000000000000000000 | 1000000000000000000000 | 9.223372036854776E+0018"},
      {__LINE__, "9223372036854775808", 64, true, "9223372036854775808 | 8000000000000000 | 1000000000000000000000000000000000000000000000000000000000000000 | 1000000000000000000000 | 9.223372036854776E+0018"},
      {__LINE__, "18446744073709551615", 32, false, "18446744073709551615 | msg0 | msg0 | msg0 | 1.844674407370955E+0019"},
      {__LINE__, "18446744073709551615", 64, false, "18446744073709551615 | FFFFFFFFFFFFFFFF | 1111111111111111111111111111111111111111111111111111111111111111 | 1777777777777777777777 | 1.844674407370955E+0019"},
      {__LINE__, "18446744073709551616", 32, false, "18446744073709551616 | msg0 | msg0 | msg0 | 1.844674407370955E+0019"},
      {__LINE__, "18446744073709551616", 64, true, "18446744073709551616 | msg0 | msg0 | msg0 | 1.844674407370955E+0019"},
      {__LINE__, "-9223372036854775808", 16, false, "-9223372036854775808 | 0 | 0 | 0 | -9.223372036854776E+0018"},
      {__LINE__, "-9223372036854775808", 64, false, "-9223372036854775808 | 8000000000000000 | 1000000000000000000000000000000000000000000000000000000000000000 | 1000000000000000000000 | -9.223372036854776E+0018"},
      {__LINE__, "1<<7", 8, false, "-128 | 80 | 10000000 | 200 | -1.280000000000000E+0002"},
      {__LINE__, "1<<7", 8, true, "128 | 80 | 10000000 | 200 | 1.280000000000000E+0002"},
      {__LINE__, "1<<8", 8, false, "1 | 1 | 1 | 1 | 1.000000000000000E+0000"},
      {__LINE__, "1<<16", 8, true, "1 | 1 | 1 | 1 | 1.000000000000000E+0000"},
      {__LINE__, "1<<15", 16, false, "-32768 | 8000 | 1000000000000000 | 100000 | -3.276800000000000E+0004"},
      {__LINE__, "1<<15", 16, true, "32768 | 8000 | 1000000000000000 | 100000 | 3.276800000000000E+0004"},
      {__LINE__, "1<<32", 16, false, "1 | 1 | 1 | 1 | 1.000000000000000E+0000"},
      {__LINE__, "1<<32", 32, false, "1 | 1 | 1 | 1 | 1.000000000000000E+0000"},
      {__LINE__, "1<<31", 32, false, "-2147483648 | 80000000 | 10000000000000000000000000000000 | 20000000000 | -2.147483648000000E+0009"},
      {__LINE__, "1<<31", 32, true, "2147483648 | 80000000 | 10000000000000000000000000000000 | 20000000000 | 2.147483648000000E+0009"},
      {__LINE__, "1<<64", 32, false, "1 | 1 | 1 | 1 | 1.000000000000000E+0000"},
      {__LINE__, "1<<64", 64, false, "1 | 1 | 1 | 1 | 1.000000000000000E+0000"},
      {__LINE__, "1<<63", 64, false, "-9223372036854775808 | 8000000000000000 | 1000000000000000000000000000000000000000000000000000000000000000 | 1000000000000000000000 | -9.223372036854776E+0018"},
      {__LINE__, "1<<63", 64, true, "9223372036854775808 | 8000000000000000 | 1000000000000000000000000000000000000000000000000000000000000000 | 1000000000000000000000 | 9.223372036854776E+0018"},
      {__LINE__, "1<<128", 64, true, "1 | 1 | 1 | 1 | 1.000000000000000E+0000"},
      {__LINE__, "~0", 8, false, "-1 | FF | 11111111 | 377 | -1.000000000000000E+0000"},
      {__LINE__, "~0", 8, true, "255 | FF | 11111111 | 377 | 2.550000000000000E+0002"},
      {__LINE__, "~0", 16, true, "65535 | FFFF | 1111111111111111 | 177777 | 6.553500000000000E+0004"},
      {__LINE__, "~0", 32, false, "-1 | FFFFFFFF | 11111111111111111111111111111111 | 37777777777 | -1.000000000000000E+0000"},
      {__LINE__, "~0", 32, true, "4294967295 | FFFFFFFF | 11111111111111111111111111111111 | 37777777777 | 4.294967295000000E+0009"},
      {__LINE__, "~0", 64, false, "-1 | FFFFFFFFFFFFFFFF | 1111111111111111111111111111111111111111111111111111111111111111 | 1777777777777777777777 | -1.000000000000000E+0000"},
      {__LINE__, "~0", 64, true, "18446744073709551615 | FFFFFFFFFFFFFFFF | 1111111111111111111111111111111111111111111111111111111111111111 | 1777777777777777777777 | 1.844674407370955E+0019"},
      {__LINE__, "~(-1)", 8, true, "0 | 0 | 0 | 0 | 0.000000000000000E+0000"},
      {__LINE__, "~(-1)", 64, false, "0 | 0 | 0 | 0 | 0.000000000000000E+0000"},
      {__LINE__, "(-1)>>1", 16, false, "-1 | FFFF | 1111111111111111 | 177777 | -1.000000000000000E+0000"},
      {__LINE__, "(-1)>>1", 16, true, "32767 | 7FFF | 111111111111111 | 77777 | 3.276700000000000E+0004"},
      {__LINE__, "(-1)>>1", 64, true, "9223372036854775807 | 7FFFFFFFFFFFFFFF | 111111111111111111111111111111111111111111111111111111111111111 | 777777777777777777777 | 9.223372036854776E+0018"},
      {__LINE__, "4294967296*4294967295", 64, false, "18446744069414584320 | FFFFFFFF00000000 | 1111111111111111111111111111111100000000000000000000000000000000 | 1777777777740000000000 | 1.844674406941458E+0019"},
      {__LINE__, "4294967296*4294967296", 64, true, "18446744073709551616 | msg0 | msg0 | msg0 | 1.844674407370955E+0019"},
      {__LINE__, "18446744073709551615/5", 64, true, "3689348814741910323 | 3333333333333333 | 11001100110011001100110011001100110011001100110011001100110011 | 314631463146314631463 | 3.689348814741911E+0018"},
      {__LINE__, "18446744073709551615/2", 32, false, "9223372036854775808 | 0 | 0 | 0 | 9.223372036854776E+0018"},
      {__LINE__, "18446744073709551615/2", 64, false, "9223372036854775808 | 8000000000000000 | 1000000000000000000000000000000000000000000000000000000000000000 | 1000000000000000000000 | 9.223372036854776E+0018"},
      {__LINE__, "1234567890123456789", 16, false, "1234567890123456789 | 8115 | 1000000100010101 | 100425 | 1.234567890123457E+0018"},
      {__LINE__, "1234567890123456789", 64, false, "1234567890123456789 | 112210F47DE98115 | 1000100100010000100001111010001111101111010011000000100010101 | 104420417217572300425 | 1.234567890123457E+0018"},
      {__LINE__, "12345678901234567890", 32, false, "12345678901234567890 | msg0 | msg0 | msg0 | 1.234567890123457E+0019"},
      {__LINE__, "12345678901234567890", 64, true, "12345678901234567890 | AB54A98CEB1F0AD2 | 1010101101010100101010011000110011101011000111110000101011010010 | 1255245230635307605322 | 1.234567890123457E+0019"},
      {__LINE__, "70000", 8, false, "70000 | 70 | 1110000 | 160 | 7.000000000000000E+0004"},
      {__LINE__, "70000", 16, false, "70000 | 1170 | 1000101110000 | 10560 | 7.000000000000000E+0004"},
      {__LINE__, "-1", 8, false, "-1 | FF | 11111111 | 377 | -1.000000000000000E+0000"},
      {__LINE__, "-1", 64, false, "-1 | FFFFFFFFFFFFFFFF | 1111111111111111111111111111111111111111111111111111111111111111 | 1777777777777777777777 | -1.000000000000000E+0000"},
      {__LINE__, "2.5", 64, false, "2.5 | 2 | 10 | 2 | 2.500000000000000E+0000"},
      {__LINE__, "1e19", 32, false, "10000000000000000000 | msg0 | msg0 | msg0 | 1.000000000000000E+0019"},
      {__LINE__, "1e19", 64, false, "10000000000000000000 | 8AC7230489E80000 | 1000101011000111001000110000010010001001111010000000000000000000 | 1053071060221172000000 | 1.000000000000000E+0019"},
      {__LINE__, "-1e19", 64, false, "-10000000000000000000 | 7538DCFB76180000 | 111010100111000110111001111101101110110000110000000000000000000 | 724706717556606000000 | -1.000000000000000E+0019"},
      {__LINE__, "0xFFFF_FFFF_FFFF_FFFF & 0xF0F0", 64, false, "61680 | F0F0 | 1111000011110000 | 170360 | 6.168000000000000E+0004"},
      {__LINE__, "1__0", 64, false, "msg8 | msg8 | msg8 | msg8 | msg8"},
      {__LINE__, "1_", 32, true, "msg8 | msg8 | msg8 | msg8 | msg8"},
  };
  ForEachCase(cases, [](const WordLinesCase& c) {
    EXPECT_EQ(LinesOf(*CalculatedIn(c.expression, c.bits, c.isUnsigned)), c.lines);
  });
}

// The single conversions and the lines agree at every size: a caller that
// formats one line gets the text the window shows.
TEST(WordLines, SingleConversionsAgreeWithTheLines) {
  for (const int bits : kWordBitChoices) {
    SCOPED_TRACE(bits);
    const auto state = CalculatedIn("0x7EDC_BA98_7654_3210", bits, false);
    auto lines = std::make_unique<ResultLines>();
    ComposeResultLines(*state, TestMessages(), *lines);
    char text[kResultLineCapacity];
    FormatDecimal(*state, text, sizeof text);
    EXPECT_STREQ(text, lines->text[kFormDec]);
    FormatHex(*state, text, sizeof text);
    EXPECT_STREQ(text, lines->text[kFormHex]);
    FormatBinary(*state, text, sizeof text);
    EXPECT_STREQ(text, lines->text[kFormBin]);
    FormatOctal(*state, text, sizeof text);
    EXPECT_STREQ(text, lines->text[kFormOct]);
  }
}

struct CalculateCase {
  int line;
  const char* expression;
  int bits;
  int form;
  bool written;
  const char* text;
};

// Calculate writes exact digits and the word's bits, texts that calculate
// back to what the line shows.
TEST(WordLines, CalculateWritesExactDigitsAndTheWordsBits) {
  const CalculateCase cases[] = {
      {__LINE__, "9007199254740993", 32, kFormDec, true, "9007199254740993"},
      {__LINE__, "0xFFFFFFFFFFFFFFFF", 32, kFormDec, true, "18446744073709551615"},
      {__LINE__, "0xFFFFFFFFFFFFFFFF", 32, kFormHex, false, "msg0"},
      {__LINE__, "0xFFFFFFFFFFFFFFFF", 64, kFormHex, true, "0xFFFFFFFFFFFFFFFF"},
      {__LINE__, "-1", 64, kFormBin, true, "1111111111111111111111111111111111111111111111111111111111111111b"},
      {__LINE__, "-1", 8, kFormOct, true, "377o"},
      {__LINE__, "70000", 16, kFormHex, true, "0x1170"},
      {__LINE__, "1e19", 64, kFormHex, true, "0x8AC7230489E80000"},
      {__LINE__, "2^64", 64, kFormHex, false, "msg0"},
  };
  ForEachCase(cases, [](const CalculateCase& c) {
    const auto state = CalculatedIn(c.expression, c.bits, false);
    char text[kCalculateTextCapacity];
    EXPECT_EQ(ComposeCalculateText(*state, TestMessages(), c.form, text, sizeof text), c.written);
    EXPECT_STREQ(text, c.text);
    if (!c.written) return;
    // Calculated again in the same word, the text shows the same line.
    const auto again = CalculatedIn(text, c.bits, false);
    const auto first = CalculatedIn(c.expression, c.bits, false);
    const std::string expected = LinesOf(*first);
    const std::string reread = LinesOf(*again);
    const auto field = [](const std::string& lines, int form) {
      std::size_t start = 0;
      for (int i = 0; i < form; ++i) start = lines.find(" | ", start) + 3;
      return lines.substr(start, lines.find(" | ", start) - start);
    };
    EXPECT_EQ(field(reread, c.form), field(expected, c.form));
  });
}

// Up to 32 bits the limit of the integer lines is 1e19, at 64 bits 2^64;
// beyond the word the lines are marked as showing only part of the value.
TEST(WordLines, LimitsAndHiddenBitsFollowTheWord) {
  struct Row {
    int line;
    const char* expression;
    int bits;
    bool message;
    bool hidden;
  };
  const Row rows[] = {
      {__LINE__, "9999999999999999999", 32, false, true},
      {__LINE__, "10000000000000000000", 32, true, true},
      {__LINE__, "18446744073709551615", 64, false, false},
      {__LINE__, "18446744073709551616", 64, true, true},
      {__LINE__, "-9223372036854775808", 64, false, false},
      {__LINE__, "-1e19", 64, false, true},
      {__LINE__, "255", 8, false, false},
      {__LINE__, "-128", 8, false, false},
      {__LINE__, "256", 8, false, true},
      {__LINE__, "-129", 8, false, true},
      {__LINE__, "65535", 16, false, false},
      {__LINE__, "70000", 16, false, true},
      {__LINE__, "4294967296", 32, false, true},
      {__LINE__, "4294967296", 64, false, false},
      {__LINE__, "2.5", 64, false, true},
  };
  ForEachCase(rows, [](const Row& row) {
    const auto state = CalculatedIn(row.expression, row.bits, false);
    EXPECT_EQ(IntegerLinesShowMessage(*state), row.message);
    EXPECT_EQ(IntegerLinesHideBits(*state), row.hidden);
  });
}

}  // namespace
