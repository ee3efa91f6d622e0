#include "format/result_format.h"

#include "engine/extended_math.h"
#include "tests/support/case_table.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <iomanip>
#include <limits>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Message i reads "msg<i>", so a line shows which message it took.
struct MessageSlots {
  MessageTexts texts{};
};

const MessageTexts& TestMessages() {
  static const MessageSlots messages = [] {
    MessageSlots slots;
    for (int i = 0; i < kMessageCount; ++i) std::snprintf(slots.texts[i], kTextSlotCapacity, "msg%d", i);
    return slots;
  }();
  return messages.texts;
}

std::unique_ptr<EngineState> StateWithResult(double value) {
  auto state = std::make_unique<EngineState>();
  state->result = value;
  state->tokenKind = TokenKind::End;
  return state;
}

std::string JoinLines(const ResultLines& lines) {
  std::string joined;
  for (int form = 0; form < kResultFormCount; ++form) {
    if (form > 0) joined += " | ";
    joined += lines.text[form];
  }
  return joined;
}

// The five lines through ComposeResultLines.
std::string ComposedLines(double value) {
  auto state = StateWithResult(value);
  auto lines = std::make_unique<ResultLines>();
  ComposeResultLines(*state, TestMessages(), *lines);
  return JoinLines(*lines);
}

// The five lines through the single conversions, as a caller without the
// size limits of the window would get them.
std::string SingleConversions(double value) {
  auto state = StateWithResult(value);
  char text[kResultLineCapacity];
  std::string joined;
  using Format = void (*)(const EngineState&, char*, std::size_t);
  for (Format format : {FormatDecimal, FormatHex, FormatBinary, FormatOctal, FormatExponent}) {
    format(*state, text, sizeof text);
    if (!joined.empty()) joined += " | ";
    joined += text;
  }
  return joined;
}

struct LinesCase {
  int line;
  double value;
  const char* expected;  // DEC | HEX | BIN | OCT | EXP
};

TEST(ResultLines, ShowEveryFormOfTheValue) {
  const LinesCase cases[] = {
      {__LINE__, 0.0, "0 | 0 | 0 | 0 | 0.000000000000000E+0000"},
      {__LINE__, 255, "255 | FF | 11111111 | 377 | 2.550000000000000E+0002"},
      {__LINE__, -1, "-1 | FFFFFFFF | 11111111111111111111111111111111 | 37777777777 | -1.000000000000000E+0000"},
      {__LINE__, 16, "16 | 10 | 10000 | 20 | 1.600000000000000E+0001"},
      {__LINE__, 2.5, "2.5 | 2 | 10 | 2 | 2.500000000000000E+0000"},
      {__LINE__, 0.5, "0.5 | 0 | 0 | 0 | 5.000000000000000E-0001"},
      {__LINE__, -0.5, "-0.5 | 0 | 0 | 0 | -5.000000000000000E-0001"},
      {__LINE__, -2.7, "-2.7 | FFFFFFFE | 11111111111111111111111111111110 | 37777777776 | -2.700000000000000E+0000"},
      {__LINE__, 2.0 / 3.0, "0.6666667 | 0 | 0 | 0 | 6.666667000000000E-0001"},
      {__LINE__, -1234.5, "-1234.5 | FFFFFB2E | 11111111111111111111101100101110 | 37777775456 | -1.234500000000000E+0003"},
      {__LINE__, 1234567.891, "1234567.891 | 12D687 | 100101101011010000111 | 4553207 | 1.234567891000000E+0006"},
      {__LINE__, 4294967296.0, "4294967296 | 0 | 0 | 0 | 4.294967296000000E+0009"},
      {__LINE__, 0.000123456789, "0.0001235 | 0 | 0 | 0 | 1.235000000000000E-0004"},
      {__LINE__, 7.999999999999997, "8 | 7 | 111 | 7 | 8.000000000000000E+0000"},
      {__LINE__, 65536, "65536 | 10000 | 10000000000000000 | 200000 | 6.553600000000000E+0004"},
      {__LINE__, 4096, "4096 | 1000 | 1000000000000 | 10000 | 4.096000000000000E+0003"},
      {__LINE__, 2147483648.0, "2147483648 | 80000000 | 10000000000000000000000000000000 | 20000000000 | 2.147483648000000E+0009"},
      {__LINE__, -2147483649.0, "-2147483649 | 7FFFFFFF | 1111111111111111111111111111111 | 17777777777 | -2.147483649000000E+0009"},
      {__LINE__, 1e10, "10000000000 | 540BE400 | 1010100000010111110010000000000 | 12402762000 | 1.000000000000000E+0010"},
      // Mantissa digits beyond the 15th are cut, not rounded.
      {__LINE__, 1234567.8912345, "1234567.8912345 | 12D687 | 100101101011010000111 | 4553207 | 1.234567891234500E+0006"},
      {__LINE__, 1.7976931348623157e308, "1.797693134862315E+0308 | msg0 | msg0 | msg0 | 1.797693134862315E+0308"},
  };
  ForEachCase(cases, [&](const auto& c) {
    EXPECT_EQ(ComposedLines(c.value), c.expected);
  });
}

TEST(ResultLines, CarryRoundingOfTheSeventhDecimal) {
  const LinesCase cases[] = {
      {__LINE__, 9.99999999, "10 | 9 | 1001 | 11 | 1.000000000000000E+0001"},
      {__LINE__, -9.99999999, "-10 | FFFFFFF7 | 11111111111111111111111111110111 | 37777777767 | -1.000000000000000E+0001"},
      // Just below 1 the 7-decimal text reads 1.0000000: the EXP line carries too.
      {__LINE__, 0.99999999, "1 | 0 | 0 | 0 | 1.000000000000000E+0000"},
      {__LINE__, -0.99999999, "-1 | 0 | 0 | 0 | -1.000000000000000E+0000"},
      {__LINE__, 0.99999996, "1 | 0 | 0 | 0 | 1.000000000000000E+0000"},
      {__LINE__, 0.99999994, "0.9999999 | 0 | 0 | 0 | 9.999999000000000E-0001"},
      {__LINE__, 0.00000016, "0.0000002 | 0 | 0 | 0 | 2.000000000000000E-0007"},
  };
  ForEachCase(cases, [&](const auto& c) {
    EXPECT_EQ(ComposedLines(c.value), c.expected);
  });
}

TEST(ResultLines, TinyMagnitudesTakeTheShortestText) {
  const LinesCase cases[] = {
      {__LINE__, 0.00000004, "0 | 0 | 0 | 0 | 4.000000000000000E-0008"},
      {__LINE__, -0.00000004, "-0 | 0 | 0 | 0 | -4.000000000000000E-0008"},
      {__LINE__, 3e-9, "0 | 0 | 0 | 0 | 3.000000000000000E-0009"},
      {__LINE__, 0.00000005, "0 | 0 | 0 | 0 | 5.000000000000000E-0008"},
      {__LINE__, 1.25e-10, "0 | 0 | 0 | 0 | 1.250000000000000E-0010"},
      // 17 significant digits: cut after the 15th decimal.
      {__LINE__, 1.2345678901234568e-10, "0 | 0 | 0 | 0 | 1.234567890123456E-0010"},
      {__LINE__, 5e-324, "0 | 0 | 0 | 0 | 5.000000000000000E-0324"},
  };
  ForEachCase(cases, [&](const auto& c) {
    EXPECT_EQ(ComposedLines(c.value), c.expected);
  });
}

TEST(ResultLines, SignedZeroInfinityAndNaN) {
  const LinesCase cases[] = {
      {__LINE__, -0.0, "-0 | 0 | 0 | 0 | -0.000000000000000E+0000"},
      {__LINE__, kInf, "inf | 0 | 0 | 0 | inf"},
      {__LINE__, -kInf, "-inf | 0 | 0 | 0 | -inf"},
      {__LINE__, kNaN, "nan | 0 | 0 | 0 | nan"},
      // The sign of a NaN depends on the processor that made it: not shown.
      {__LINE__, -kNaN, "nan | 0 | 0 | 0 | nan"},
  };
  ForEachCase(cases, [&](const auto& c) {
    EXPECT_EQ(ComposedLines(c.value), c.expected);
  });
}

TEST(ResultLines, SizeLimitsSwitchAtPowersOfTen) {
  const LinesCase cases[] = {
      {__LINE__, 5e18, "5000000000000000000 | 44F40000 | 1000100111101000000000000000000 | 10475000000 | 5.000000000000000E+0018"},
      {__LINE__, 1e19, "10000000000000000000 | msg0 | msg0 | msg0 | 1.000000000000000E+0019"},
      {__LINE__, -1e19, "-10000000000000000000 | msg0 | msg0 | msg0 | -1.000000000000000E+0019"},
      {__LINE__, 9.9e35, "990000000000000046423649577968074752 | msg0 | msg0 | msg0 | 9.900000000000000E+0035"},
      {__LINE__, 1e36, "1.000000000000000E+0036 | msg0 | msg0 | msg0 | 1.000000000000000E+0036"},
      {__LINE__, -1e300, "-1.000000000000000E+0300 | msg0 | msg0 | msg0 | -1.000000000000000E+0300"},
  };
  ForEachCase(cases, [&](const auto& c) {
    EXPECT_EQ(ComposedLines(c.value), c.expected);
  });
}

TEST(ResultLines, TruncatedDecimalLogIsExactAtPowersOfTen) {
  const struct {
    int line;
    double value;
    int expected;
  } cases[] = {
      {__LINE__, 1e19, 19}, {__LINE__, 9.9e18, 18}, {__LINE__, 1e36, 36},  {__LINE__, 9.9e35, 35},
      {__LINE__, -1e36, 36}, {__LINE__, 1e17, 17},  {__LINE__, 0.05, -1},  {__LINE__, 0.0, 0},
      {__LINE__, kInf, 0},   {__LINE__, kNaN, 0},   {__LINE__, -0.0, 0},
  };
  ForEachCase(cases, [&](const auto& c) {
    EXPECT_EQ(TruncatedDecimalLog(c.value), c.expected);
  });
}

TEST(ResultLines, TruncatedDecimalLogAgreesWithTheLogarithmEverywhere) {
  // Powers of ten, their neighbouring doubles and values spread over every
  // decade: the shortcut taken between powers must give what the logarithm
  // gives.
  std::vector<double> values;
  for (int power = -3; power <= 24; ++power) {
    const double ten = std::pow(10.0, power);
    for (double value : {ten, std::nextafter(ten, 0.0), std::nextafter(ten, kInf), ten * (1 + 1e-9),
                         ten * (1 - 1e-9), ten * 1.5, ten * 9.999999}) {
      values.push_back(value);
      values.push_back(-value);
    }
  }
  for (int step = 0; step < 4300; ++step) values.push_back(0.01 * std::pow(1.0137, step));  // up to 3e23
  for (double value : values) {
    SCOPED_TRACE(testing::Message() << std::setprecision(17) << value);
    EXPECT_EQ(TruncatedDecimalLog(value), static_cast<int>(std::trunc(ExtendedLg(std::fabs(value)))));
  }
}

TEST(ResultLines, SingleConversionsIgnoreTheSizeLimitOfTheIntegerLines) {
  EXPECT_EQ(SingleConversions(255), ComposedLines(255));
  EXPECT_EQ(SingleConversions(-0.0), ComposedLines(-0.0));
  // 1e19 has no 64-bit integer: the integer indefinite value keeps 0 low bits.
  EXPECT_EQ(SingleConversions(1e19), "10000000000000000000 | 0 | 0 | 0 | 1.000000000000000E+0019");
}

TEST(ResultLines, FailureShowsItsMessageOnEveryLine) {
  auto state = StateWithResult(0.0);
  state->tokenKind = TokenKind::Error;
  state->messageIndex = kMsgDivisionByZero;
  auto lines = std::make_unique<ResultLines>();
  ComposeResultLines(*state, TestMessages(), *lines);
  const std::string shown = TestMessages()[kMsgDivisionByZero];  // "msg17"
  EXPECT_EQ(JoinLines(*lines), shown + " | " + shown + " | " + shown + " | " + shown + " | " + shown);

  // A slot filled to its 39 bytes is shown whole.
  MessageSlots full;
  std::memset(full.texts[kMsgDivisionByZero], 'x', kTextSlotCapacity - 1);
  ComposeResultLines(*state, full.texts, *lines);
  EXPECT_EQ(std::string(lines->text[kFormExp]), std::string(kTextSlotCapacity - 1, 'x'));
}

TEST(BoxText, AddsTheNotationMarks) {
  const struct {
    int line;
    double value;
    int form;
    const char* expected;
  } cases[] = {
      {__LINE__, 255, kFormDec, "255"},
      {__LINE__, 255, kFormHex, "0xFF"},
      {__LINE__, 255, kFormBin, "11111111b"},
      {__LINE__, 255, kFormOct, "377o"},
      {__LINE__, 255, kFormExp, "2.550000000000000E+0002"},
      {__LINE__, -1, kFormHex, "0xFFFFFFFF"},
      {__LINE__, -1, kFormBin, "11111111111111111111111111111111b"},
      {__LINE__, -1, kFormOct, "37777777777o"},
      {__LINE__, 0, kFormHex, "0x0"},
      // No size limit in the box: the 32-bit pattern of 1e10, not message 0.
      {__LINE__, 1e10, kFormHex, "0x540BE400"},
      {__LINE__, 1e19, kFormHex, "0x0"},
      {__LINE__, 1e36, kFormDec, "1.000000000000000E+0036"},
      {__LINE__, 0.99999999, kFormExp, "1.000000000000000E+0000"},
  };
  char text[kCalculateTextCapacity];
  ForEachCase(cases, [&](const auto& c) {
    FormatForBox(*StateWithResult(c.value), c.form, text, sizeof text);
    EXPECT_STREQ(text, c.expected);
  });
}

// Writes through `format` into a buffer of `capacity` bytes followed by guard
// bytes; returns the text, and fails when a guard byte was touched.
std::string WriteWithCapacity(void (*format)(const EngineState&, char*, std::size_t), double value,
                              std::size_t capacity) {
  constexpr char kGuard = '#';
  char buffer[64];
  std::memset(buffer, kGuard, sizeof buffer);
  format(*StateWithResult(value), buffer, capacity);
  for (std::size_t i = capacity; i < sizeof buffer; ++i) {
    EXPECT_EQ(buffer[i], kGuard) << "byte " << i << " written beyond capacity " << capacity;
  }
  if (capacity == 0) return "(untouched)";
  EXPECT_NE(std::memchr(buffer, '\0', capacity), nullptr) << "not terminated";
  return buffer;
}

void FormatBoxHex(const EngineState& state, char* buffer, std::size_t capacity) {
  FormatForBox(state, kFormHex, buffer, capacity);
}
void FormatBoxBinary(const EngineState& state, char* buffer, std::size_t capacity) {
  FormatForBox(state, kFormBin, buffer, capacity);
}

TEST(Capacity, FullTextFitsExactlyAndOneByteLessCutsIt) {
  using Format = void (*)(const EngineState&, char*, std::size_t);
  const struct {
    int line;
    Format format;
    double value;
    std::string full;
  } cases[] = {
      {__LINE__, FormatDecimal, -1234.5, "-1234.5"},
      {__LINE__, FormatDecimal, 1e36, "1.000000000000000E+0036"},
      {__LINE__, FormatDecimal, kInf, "inf"},
      {__LINE__, FormatExponent, -2.7, "-2.700000000000000E+0000"},
      {__LINE__, FormatExponent, 3e-9, "3.000000000000000E-0009"},
      {__LINE__, FormatHex, -1, "FFFFFFFF"},
      {__LINE__, FormatBinary, -1, std::string(32, '1')},
      {__LINE__, FormatOctal, -1, "37777777777"},
      {__LINE__, FormatBoxHex, -1, "0xFFFFFFFF"},
      {__LINE__, FormatBoxBinary, 5, "101b"},
  };
  ForEachCase(cases, [&](const auto& c) {
    const std::size_t exact = c.full.size() + 1;
    EXPECT_EQ(WriteWithCapacity(c.format, c.value, exact), c.full);
    EXPECT_EQ(WriteWithCapacity(c.format, c.value, exact - 1), c.full.substr(0, c.full.size() - 1));
    EXPECT_EQ(WriteWithCapacity(c.format, c.value, 1), "");
    EXPECT_EQ(WriteWithCapacity(c.format, c.value, 0), "(untouched)");
  });
}

// Restores the C locale however the test ends.
class GermanLocale : public testing::Test {
 protected:
  void SetUp() override {
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) GTEST_SKIP() << "locale de_DE.UTF-8 not installed";
  }
  void TearDown() override { std::setlocale(LC_ALL, "C"); }
};

TEST_F(GermanLocale, DecimalPointStaysAPoint) {
  EXPECT_EQ(ComposedLines(2.5), "2.5 | 2 | 10 | 2 | 2.500000000000000E+0000");
  EXPECT_EQ(ComposedLines(-1234.5),
            "-1234.5 | FFFFFB2E | 11111111111111111111101100101110 | 37777775456 | -1.234500000000000E+0003");
  EXPECT_EQ(ComposedLines(0.000123456789), "0.0001235 | 0 | 0 | 0 | 1.235000000000000E-0004");
  EXPECT_EQ(ComposedLines(3e-9), "0 | 0 | 0 | 0 | 3.000000000000000E-0009");
  char text[kCalculateTextCapacity];
  FormatForBox(*StateWithResult(1234567.891), kFormDec, text, sizeof text);
  EXPECT_STREQ(text, "1234567.891");
}

}  // namespace
