#include "format/result_format.h"

#include "engine/calculate.h"
#include "numerics/numerics.h"
#include "tests/format/test_messages.h"
#include "tests/support/case_table.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <iomanip>
#include <limits>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

struct MessageSlots {
  MessageTexts texts{};
};

using format_test::TestMessages;

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
      {__LINE__, 2.0 / 3.0, "0.6666667 | 0 | 0 | 0 | 6.666666666666666E-0001"},
      {__LINE__, -1234.5, "-1234.5 | FFFFFB2E | 11111111111111111111101100101110 | 37777775456 | -1.234500000000000E+0003"},
      {__LINE__, 1234567.891, "1234567.891 | 12D687 | 100101101011010000111 | 4553207 | 1.234567891000000E+0006"},
      {__LINE__, 4294967296.0, "4294967296 | 0 | 0 | 0 | 4.294967296000000E+0009"},
      {__LINE__, 0.000123456789, "0.0001235 | 0 | 0 | 0 | 1.234567890000000E-0004"},
      {__LINE__, 7.999999999999997, "8 | 7 | 111 | 7 | 7.999999999999997E+0000"},
      {__LINE__, 65536, "65536 | 10000 | 10000000000000000 | 200000 | 6.553600000000000E+0004"},
      {__LINE__, 4096, "4096 | 1000 | 1000000000000 | 10000 | 4.096000000000000E+0003"},
      {__LINE__, 2147483648.0, "2147483648 | 80000000 | 10000000000000000000000000000000 | 20000000000 | 2.147483648000000E+0009"},
      {__LINE__, -2147483649.0, "-2147483649 | 7FFFFFFF | 1111111111111111111111111111111 | 17777777777 | -2.147483649000000E+0009"},
      {__LINE__, 1e10, "10000000000 | 540BE400 | 1010100000010111110010000000000 | 12402762000 | 1.000000000000000E+0010"},
      {__LINE__, 1234567.8912345, "1234567.8912345 | 12D687 | 100101101011010000111 | 4553207 | 1.234567891234500E+0006"},
      {__LINE__, 1.7976931348623157e308, "1.797693134862316E+0308 | msg0 | msg0 | msg0 | 1.797693134862316E+0308"},
  };
  ForEachCase(cases, [&](const auto& c) {
    EXPECT_EQ(ComposedLines(c.value), c.expected);
  });
}

TEST(ResultLines, OnlyTheDecLineRoundsAtTheSeventhDecimal) {
  const LinesCase cases[] = {
      {__LINE__, 9.99999999, "10 | 9 | 1001 | 11 | 9.999999990000000E+0000"},
      {__LINE__, -9.99999999, "-10 | FFFFFFF7 | 11111111111111111111111111110111 | 37777777767 | -9.999999990000000E+0000"},
      // Just below 1 the 7-decimal text reads 1.0000000; the EXP line keeps
      // the value's own digits.
      {__LINE__, 0.99999999, "1 | 0 | 0 | 0 | 9.999999900000000E-0001"},
      {__LINE__, -0.99999999, "-1 | 0 | 0 | 0 | -9.999999900000000E-0001"},
      {__LINE__, 0.99999996, "1 | 0 | 0 | 0 | 9.999999600000000E-0001"},
      {__LINE__, 0.99999994, "0.9999999 | 0 | 0 | 0 | 9.999999400000000E-0001"},
      {__LINE__, 0.00000016, "0.0000002 | 0 | 0 | 0 | 1.600000000000000E-0007"},
  };
  ForEachCase(cases, [&](const auto& c) {
    EXPECT_EQ(ComposedLines(c.value), c.expected);
  });
}

TEST(ResultLines, TinyMagnitudesShowZeroOnTheDecLineAndTheirDigitsOnTheExpLine) {
  const LinesCase cases[] = {
      {__LINE__, 0.00000004, "0 | 0 | 0 | 0 | 4.000000000000000E-0008"},
      {__LINE__, -0.00000004, "-0 | 0 | 0 | 0 | -4.000000000000000E-0008"},
      {__LINE__, 3e-9, "0 | 0 | 0 | 0 | 3.000000000000000E-0009"},
      {__LINE__, 0.00000005, "0 | 0 | 0 | 0 | 5.000000000000000E-0008"},
      {__LINE__, 1.25e-10, "0 | 0 | 0 | 0 | 1.250000000000000E-0010"},
      {__LINE__, 1.2345678901234568e-10, "0 | 0 | 0 | 0 | 1.234567890123457E-0010"},
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
    EXPECT_EQ(TruncatedDecimalLog(value), static_cast<int>(std::trunc(numerics::DecimalLogarithm(std::fabs(value)))));
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

struct ExponentCase {
  int line;
  double value;
  const char* expected;
};

std::string ExponentText(double value) {
  char text[kResultLineCapacity];
  FormatExponent(*StateWithResult(value), text, sizeof text);
  return text;
}

// The shortest text that reads back to the value, where it has at most 16
// significant digits; the value rounded to 16 otherwise; zeros after either.
TEST(ExponentForm, ShowsTheValuesOwnDigits) {
  const ExponentCase cases[] = {
      {__LINE__, 3.141592653589793, "3.141592653589793E+0000"},
      {__LINE__, 0.3, "3.000000000000000E-0001"},
      {__LINE__, 0.000123456789, "1.234567890000000E-0004"},
      {__LINE__, 1.99999999e30, "1.999999990000000E+0030"},
      {__LINE__, 0.1 + 0.2, "3.000000000000000E-0001"},  // 0.30000000000000004: 17 digits
      {__LINE__, 1234567.891, "1.234567891000000E+0006"},
      // 16 digits are the value's own; 17 are rounded to 16, up or down.
      {__LINE__, 2.0 / 3.0, "6.666666666666666E-0001"},           // 0.6666666666666666
      {__LINE__, 9007199254740992.0, "9.007199254740992E+0015"},  // 2^53
      {__LINE__, 1e16 + 2, "1.000000000000000E+0016"},            // 10000000000000002
      {__LINE__, 1.2345678901234568e17, "1.234567890123457E+0017"},
      {__LINE__, 0.49999999999999994, "4.999999999999999E-0001"},
      {__LINE__, 1152921504606846976.0, "1.152921504606847E+0018"},  // 2^60, exactly 19 digits
      // Rounding that carries: into the leading digit, and from a value
      // whose exact digits start 9999... into the exponent.
      {__LINE__, 1.9999999999999998, "2.000000000000000E+0000"},
      {__LINE__, 9.9999999999999999e22, "1.000000000000000E+0023"},  // 99999999999999991611392
      {__LINE__, 1e23, "1.000000000000000E+0023"},
      {__LINE__, 9.999999999999997e22, "9.999999999999997E+0022"},
      {__LINE__, 0.9999999999999999, "9.999999999999999E-0001"},
      // Subnormals and the ends of the double range.
      {__LINE__, 5e-324, "5.000000000000000E-0324"},
      {__LINE__, 6.099e-320, "6.099000000000000E-0320"},
      {__LINE__, 2.225073858507201e-308, "2.225073858507201E-0308"},   // largest subnormal
      {__LINE__, 2.2250738585072014e-308, "2.225073858507201E-0308"},  // smallest normal
      {__LINE__, 1.7976931348623157e308, "1.797693134862316E+0308"},
      {__LINE__, 1.7976931348623155e308, "1.797693134862316E+0308"},
      {__LINE__, 1.7976931348623153e308, "1.797693134862315E+0308"},
      // Negative values, zeros, infinities and NaN.
      {__LINE__, -3.141592653589793, "-3.141592653589793E+0000"},
      {__LINE__, -(0.1 + 0.2), "-3.000000000000000E-0001"},
      {__LINE__, -5e-324, "-5.000000000000000E-0324"},
      {__LINE__, -1.7976931348623157e308, "-1.797693134862316E+0308"},
      {__LINE__, 0.0, "0.000000000000000E+0000"},
      {__LINE__, -0.0, "-0.000000000000000E+0000"},
      {__LINE__, kInf, "inf"},
      {__LINE__, -kInf, "-inf"},
      {__LINE__, kNaN, "nan"},
      {__LINE__, -kNaN, "nan"},
  };
  ForEachCase(cases, [&](const auto& c) {
    EXPECT_EQ(ExponentText(c.value), c.expected);
  });
}

// The DEC line from 1e36 up is the EXP text, with the same digits.
TEST(ExponentForm, IsTheDecLineFrom1e36) {
  auto state = StateWithResult(1.2345678901234567e40);
  char text[kResultLineCapacity];
  FormatDecimal(*state, text, sizeof text);
  EXPECT_STREQ(text, "1.234567890123457E+0040");
}

TEST(ShortestText, ReadsBackToTheValue) {
  const ExponentCase cases[] = {
      {__LINE__, 7.999999999999997, "7.999999999999997"},
      {__LINE__, 2.5, "2.5"},
      {__LINE__, 6227020800.0, "6227020800"},
      {__LINE__, -0.5, "-0.5"},
      {__LINE__, 1e18, "1e+18"},
      {__LINE__, 5e-324, "5e-324"},
      {__LINE__, -2.2250738585072014e-308, "-2.2250738585072014e-308"},
      {__LINE__, kInf, "inf"},
      {__LINE__, -kInf, "-inf"},
      {__LINE__, -kNaN, "nan"},
  };
  ForEachCase(cases, [&](const auto& c) {
    char text[kResultLineCapacity];
    FormatShortest(c.value, text, sizeof text);
    EXPECT_STREQ(text, c.expected);
  });
}

struct CalculateTextCase {
  int line;
  double value;
  int form;
  bool written;
  const char* expected;  // the box text, or the line shown where Calculate refuses
};

// Composes what Calculate writes for value in form; the outcome is
// "written: <text>" or "refused: <line>".
std::string CalculateTextOf(const EngineState& state, int form) {
  char text[kCalculateTextCapacity];
  const bool written = ComposeCalculateText(state, TestMessages(), form, text, sizeof text);
  return std::string(written ? "written: " : "refused: ") + text;
}

std::string Expected(bool written, const char* text) {
  return std::string(written ? "written: " : "refused: ") + text;
}

TEST(CalculateText, AddsTheNotationMarks) {
  const CalculateTextCase cases[] = {
      {__LINE__, 255, kFormDec, true, "255"},
      {__LINE__, 255, kFormHex, true, "0xFF"},
      {__LINE__, 255, kFormBin, true, "11111111b"},
      {__LINE__, 255, kFormOct, true, "377o"},
      {__LINE__, 255, kFormExp, true, "2.550000000000000E+0002"},
      {__LINE__, -1, kFormHex, true, "0xFFFFFFFF"},
      {__LINE__, -1, kFormBin, true, "11111111111111111111111111111111b"},
      {__LINE__, -1, kFormOct, true, "37777777777o"},
      {__LINE__, 0, kFormHex, true, "0x0"},
      // Below 1e19 the integer lines show the 32-bit pattern, and so does the box.
      {__LINE__, 1e10, kFormHex, true, "0x540BE400"},
      {__LINE__, 1e36, kFormDec, true, "1.000000000000000E+0036"},
      {__LINE__, 0.99999999, kFormExp, true, "9.999999900000000E-0001"},
      {__LINE__, 2.0 / 3.0, kFormDec, true, "0.6666667"},
      {__LINE__, 255, 7, true, "255"},  // a form out of range writes DEC
  };
  ForEachCase(cases, [&](const auto& c) {
    EXPECT_EQ(CalculateTextOf(*StateWithResult(c.value), c.form), Expected(c.written, c.expected));
  });
}

// A non-zero value never becomes 0 in the box, and a value no text reads back
// to is refused with the line the window shows.
TEST(CalculateText, NeverWritesATextThatReadsBackAsSomethingElse) {
  const CalculateTextCase cases[] = {
      {__LINE__, 1e-9, kFormDec, true, "1.000000000000000E-0009"},
      {__LINE__, -1e-9, kFormDec, true, "-1.000000000000000E-0009"},
      {__LINE__, 4.9e-8, kFormDec, true, "4.900000000000000E-0008"},
      {__LINE__, 5e-324, kFormDec, true, "5.000000000000000E-0324"},
      {__LINE__, 5.1e-8, kFormDec, true, "0.0000001"},  // rounds up: not zero
      {__LINE__, 0.0, kFormDec, true, "0"},
      // A negative zero is written as zero, so that Calculate gives the same
      // text again.
      {__LINE__, -0.0, kFormDec, true, "0"},
      {__LINE__, -0.0, kFormExp, true, "0.000000000000000E+0000"},
      {__LINE__, 1e-9, kFormHex, true, "0x0"},  // the line shows 0, marked as the whole part
      {__LINE__, kInf, kFormDec, false, "inf"},
      {__LINE__, -kInf, kFormExp, false, "-inf"},
      {__LINE__, kNaN, kFormDec, false, "nan"},
      {__LINE__, kInf, kFormHex, false, "0"},  // the integer lines show 0 for a value without bits
      {__LINE__, kNaN, kFormOct, false, "0"},
      {__LINE__, 1e20, kFormHex, false, "msg0"},
      {__LINE__, 1e20, kFormBin, false, "msg0"},
      {__LINE__, -1e19, kFormOct, false, "msg0"},
      {__LINE__, 1e20, kFormDec, true, "100000000000000000000"},
      // Rounded to 16 digits, the two largest doubles lie beyond the range.
      {__LINE__, 1.7976931348623157e308, kFormExp, false, "1.797693134862316E+0308"},
      {__LINE__, -1.7976931348623155e308, kFormDec, false, "-1.797693134862316E+0308"},
      {__LINE__, 1.7976931348623153e308, kFormExp, true, "1.797693134862315E+0308"},
  };
  ForEachCase(cases, [&](const auto& c) {
    EXPECT_EQ(CalculateTextOf(*StateWithResult(c.value), c.form), Expected(c.written, c.expected));
  });
}

TEST(CalculateText, AFailureIsRefusedWithItsMessageInEveryForm) {
  auto state = StateWithResult(0.0);
  state->tokenKind = TokenKind::Error;
  state->messageIndex = kMsgDivisionByZero;
  for (int form = 0; form < kResultFormCount; ++form) {
    SCOPED_TRACE(form);
    EXPECT_EQ(CalculateTextOf(*state, form), "refused: msg17");
  }
}

// The outcome of calculating text.
std::unique_ptr<EngineState> Calculated(const char* text) {
  auto state = std::make_unique<EngineState>();
  SetExpression(*state, text);
  CalculateExpression(*state);
  return state;
}

// What Calculate writes is calculated again: in a form that holds the value
// exactly, to the same double; in every form, to a value whose text in that
// form is the same again, and never to an error or a non-finite value.
TEST(CalculateText, WhatIsWrittenCalculatesBackToTheValue) {
  // The integer forms read back as the unsigned 32-bit pattern.
  const std::vector<double> patterns = {0, 1, 255, 4294967295.0, 2147483648.0, 123456789};
  const std::vector<double> integers = {-1, -2147483648.0, 1e15};
  const std::vector<double> decimals = {2.5,  -1234.5, 0.0000001, 1e-9,  -3e-9,   5e-324, 1e-300,
                                        1e20, 1e36,    -1e300,    1e23,  -6.099e-320,
                                        1152921504606846976.0};
  const std::vector<double> sixteenDigits = {3.141592653589793, 0.1,    2.0 / 3.0, 1.0 / 3.0, 1e23, 1.99999999e30,
                                             -2.225073858507201e-308, 1.797693134862315e308, 9007199254740992.0};
  struct FormSample {
    int form;
    std::vector<double> exact;
  };
  std::vector<double> decimalSample = patterns;
  decimalSample.insert(decimalSample.end(), integers.begin(), integers.end());
  decimalSample.insert(decimalSample.end(), decimals.begin(), decimals.end());
  std::vector<double> exponentSample = decimalSample;
  exponentSample.insert(exponentSample.end(), sixteenDigits.begin(), sixteenDigits.end());
  const FormSample samples[] = {
      {kFormDec, decimalSample}, {kFormHex, patterns}, {kFormBin, patterns}, {kFormOct, patterns},
      {kFormExp, exponentSample},
  };
  for (const FormSample& sample : samples) {
    for (double value : sample.exact) {
      SCOPED_TRACE(testing::Message() << "form " << sample.form << ", " << std::setprecision(17) << value);
      char text[kCalculateTextCapacity];
      ASSERT_TRUE(ComposeCalculateText(*StateWithResult(value), TestMessages(), sample.form, text, sizeof text));
      const auto again = Calculated(text);
      ASSERT_EQ(again->tokenKind, TokenKind::End) << text;
      EXPECT_EQ(again->result, value) << text;
    }
  }
}

TEST(CalculateText, WhatIsWrittenShowsTheSameTextWhenCalculatedAgain) {
  // Magnitudes spread over the whole double range, and values with many digits.
  std::vector<double> values;
  std::mt19937_64 random(19);
  std::uniform_real_distribution<double> mantissa(1.0, 10.0);
  std::uniform_int_distribution<int> exponent(-323, 307);
  for (int i = 0; i < 400; ++i) {
    const double value = mantissa(random) * std::pow(10.0, exponent(random));
    values.push_back(value);
    values.push_back(-value / 3);
  }
  for (int i = 0; i < 200; ++i) values.push_back(mantissa(random) * 1e9 - 5e9);
  for (double value : values) {
    for (int form = 0; form < kResultFormCount; ++form) {
      SCOPED_TRACE(testing::Message() << "form " << form << ", " << std::setprecision(17) << value);
      char text[kCalculateTextCapacity];
      if (!ComposeCalculateText(*StateWithResult(value), TestMessages(), form, text, sizeof text)) continue;
      const auto again = Calculated(text);
      ASSERT_EQ(again->tokenKind, TokenKind::End) << text;
      ASSERT_TRUE(std::isfinite(again->result)) << text;
      if (form == kFormDec || form == kFormExp) {
        EXPECT_EQ(again->result == 0.0, value == 0.0) << text;
      }
      char textAgain[kCalculateTextCapacity];
      ASSERT_TRUE(ComposeCalculateText(*again, TestMessages(), form, textAgain, sizeof textAgain));
      EXPECT_STREQ(textAgain, text);
    }
  }
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
  ComposeCalculateText(state, TestMessages(), kFormHex, buffer, capacity);
}
void FormatBoxBinary(const EngineState& state, char* buffer, std::size_t capacity) {
  ComposeCalculateText(state, TestMessages(), kFormBin, buffer, capacity);
}
void FormatBoxDecimal(const EngineState& state, char* buffer, std::size_t capacity) {
  ComposeCalculateText(state, TestMessages(), kFormDec, buffer, capacity);
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
      {__LINE__, FormatExponent, -1.7976931348623157e308, "-1.797693134862316E+0308"},
      {__LINE__, FormatHex, -1, "FFFFFFFF"},
      {__LINE__, FormatBinary, -1, std::string(32, '1')},
      {__LINE__, FormatOctal, -1, "37777777777"},
      {__LINE__, FormatBoxHex, -1, "0xFFFFFFFF"},
      {__LINE__, FormatBoxBinary, 5, "101b"},
      {__LINE__, FormatBoxDecimal, -1e-9, "-1.000000000000000E-0009"},
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
  EXPECT_EQ(ComposedLines(0.000123456789), "0.0001235 | 0 | 0 | 0 | 1.234567890000000E-0004");
  EXPECT_EQ(ComposedLines(3e-9), "0 | 0 | 0 | 0 | 3.000000000000000E-0009");
  char text[kCalculateTextCapacity];
  ComposeCalculateText(*StateWithResult(1234567.891), TestMessages(), kFormDec, text, sizeof text);
  EXPECT_STREQ(text, "1234567.891");
  ComposeCalculateText(*StateWithResult(1e-9), TestMessages(), kFormDec, text, sizeof text);
  EXPECT_STREQ(text, "1.000000000000000E-0009");
  FormatShortest(-2.5, text, sizeof text);
  EXPECT_STREQ(text, "-2.5");
}

}  // namespace
