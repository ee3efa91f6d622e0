// Where the thin gaps of the integer lines go, and which bit a BIN digit is.

#include "ui/digit_groups.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/case_table.h"

namespace {

// The line with a '_' drawn at every gap, for comparing whole lines.
std::string WithGaps(int form, const std::string& line) {
  const DigitGaps gaps = FindDigitGaps(form, line.c_str());
  std::string shown;
  int next = 0;
  for (int i = 0; i < static_cast<int>(line.size()); ++i) {
    if (next < gaps.count && gaps.before[next] == i) {
      shown += '_';
      ++next;
    }
    shown += line[static_cast<std::size_t>(i)];
  }
  return shown;
}

TEST(DigitGroupsTest, GapsCountFromTheRightInGroupsOfTheForm) {
  const struct {
    int line;
    int form;
    const char* text;
    const char* shown;
  } cases[] = {
      {__LINE__, kFormHex, "0", "0"},
      {__LINE__, kFormHex, "FFFF", "FFFF"},
      {__LINE__, kFormHex, "12345", "1_2345"},
      {__LINE__, kFormHex, "FF", "FF"},                                      // 8 bits
      {__LINE__, kFormHex, "8000", "8000"},                                  // 16 bits
      {__LINE__, kFormHex, "FFFFFFFF", "FFFF_FFFF"},                         // 32 bits
      {__LINE__, kFormHex, "FFFF0000FFFF0001", "FFFF_0000_FFFF_0001"},       // 64 bits
      {__LINE__, kFormHex, "0x12345", "0x1_2345"},                           // no gap after the prefix
      {__LINE__, kFormHex, "0X1234", "0X1234"},
      {__LINE__, kFormHex, "-12345", "-1_2345"},
      {__LINE__, kFormHex, "-0xabcdef", "-0xab_cdef"},
      {__LINE__, kFormBin, "1", "1"},
      {__LINE__, kFormBin, "10000", "1_0000"},
      {__LINE__, kFormBin, "11111111", "1111_1111"},                         // 8 bits
      {__LINE__, kFormBin, "1000000000000000", "1000_0000_0000_0000"},       // 16 bits
      {__LINE__, kFormBin, "0b101010", "0b10_1010"},
      {__LINE__, kFormBin, "+101", "+101"},
      // 64 bits in two rows of 32: no gap at a row's start, groups run on.
      {__LINE__, kFormBin, "11111111111111110000000000000000\n11111111111111110000000000000001",
       "1111_1111_1111_1111_0000_0000_0000_0000\n1111_1111_1111_1111_0000_0000_0000_0001"},
      {__LINE__, kFormBin, "110\n11111111111111110000000000000001",
       "110\n1111_1111_1111_1111_0000_0000_0000_0001"},
      {__LINE__, kFormOct, "7", "7"},
      {__LINE__, kFormOct, "1777", "1_777"},
      {__LINE__, kFormOct, "37777777777", "37_777_777_777"},                 // 32 bits
      {__LINE__, kFormOct, "0o1234", "0o1_234"},
      // Not numbers of the form: messages, other digits, empty lines.
      {__LINE__, kFormHex, "Too large for HEX, BIN and OCT", "Too large for HEX, BIN and OCT"},
      {__LINE__, kFormHex, "Division by zero", "Division by zero"},
      {__LINE__, kFormHex, "", ""},
      {__LINE__, kFormHex, "-", "-"},
      {__LINE__, kFormHex, "0x", "0x"},
      {__LINE__, kFormHex, "12 345", "12 345"},
      {__LINE__, kFormBin, "10201", "10201"},
      {__LINE__, kFormBin, "1010\n", "1010\n"},
      {__LINE__, kFormBin, "\n1010", "\n1010"},
      {__LINE__, kFormOct, "1238", "1238"},
      {__LINE__, kFormHex, "FFFF\n0000", "FFFF\n0000"},                      // rows only in BIN
      // DEC and EXP are never grouped.
      {__LINE__, kFormDec, "1234567", "1234567"},
      {__LINE__, kFormExp, "1.234567000000000E+0006", "1.234567000000000E+0006"},
  };
  ForEachCase(cases, [](const auto& row) { EXPECT_EQ(WithGaps(row.form, row.text), row.shown); });
}

// The strip's rule for every bit of a word agrees with the gaps of the
// line that shows all of the word's digits, in one row or two.
TEST(DigitGroupsTest, StripGapsAgreeWithTheGapsOfAFullLine) {
  for (const char* line : {"10000000", "1000000000000000", "10000000000000000000000000000000",
                           "10000000000000000000000000000000\n00000000000000000000000000000001"}) {
    SCOPED_TRACE(line);
    const DigitGaps gaps = FindDigitGaps(kFormBin, line);
    EXPECT_EQ(gaps.groupSize, 4);
    std::string fromLine, fromBits;
    for (int i = 0; line[i] != '\0'; ++i) {
      const int bit = BitOfBinaryDigit(line, i);
      if (bit < 0 || i == 0) continue;  // nothing stands left of the word's top bit
      if (GapLeftOfBit(bit, gaps.groupSize)) fromBits += std::to_string(i) + " ";
    }
    for (int k = 0; k < gaps.count; ++k) fromLine += std::to_string(gaps.before[k]) + " ";
    EXPECT_EQ(fromBits, fromLine);
  }
  EXPECT_FALSE(GapLeftOfBit(3, 0));
  EXPECT_EQ(FindDigitGaps(kFormHex, "Division by zero").groupSize, 0);
}

TEST(DigitGroupsTest, NoLineHoldsMoreGapsThanItsCapacity) {
  const std::string digits(kResultLineCapacity - 1, 'F');
  const DigitGaps gaps = FindDigitGaps(kFormHex, digits.c_str());
  EXPECT_EQ(gaps.count, kDigitGapCapacity);
  EXPECT_EQ(gaps.before[gaps.count - 1], static_cast<int>(digits.size()) - 4);  // the rightmost kept
}

TEST(DigitGroupsTest, BinaryDigitsNameTheirBitsAcrossRows) {
  const std::string twoRows = std::string(32, '1') + "\n" + std::string(32, '0');
  const struct {
    int line;
    std::string text;
    int index;
    int bit;
  } cases[] = {
      {__LINE__, "1", 0, 0},
      {__LINE__, "101", 0, 2},
      {__LINE__, "101", 2, 0},
      {__LINE__, "101", 3, -1},
      {__LINE__, "101", -1, -1},
      {__LINE__, "0b101", 1, -1},  // the prefix is no digit
      {__LINE__, "0b101", 2, 2},
      {__LINE__, twoRows, 0, 63},
      {__LINE__, twoRows, 31, 32},
      {__LINE__, twoRows, 32, -1},  // the row break
      {__LINE__, twoRows, 33, 31},
      {__LINE__, twoRows, 64, 0},
      {__LINE__, "Division by zero", 0, -1},
      {__LINE__, "12", 1, -1},
  };
  ForEachCase(cases, [](const auto& row) { EXPECT_EQ(BitOfBinaryDigit(row.text.c_str(), row.index), row.bit); });
}

}  // namespace
