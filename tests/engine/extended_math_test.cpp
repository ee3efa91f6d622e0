#include <gtest/gtest.h>

#include <string>

#include "engine/extended_math.h"
#include "engine_test_support.h"

namespace {

// The power keeps a 64-bit significand between its steps and rounds each
// step to double once; these digits show it (a plain double computation
// differs in the last bit for about one pair in five).
TEST(ExtendedMath, PowerDigits) {
  const engine_test::OutcomeCase cases[] = {
      {__LINE__, "2^10", "1024"},
      {__LINE__, "2^0.5", "1.4142135623730951"},
      {__LINE__, "2^3", "7.999999999999997"},
      {__LINE__, "5^2", "24.999999999999993"},
      {__LINE__, "3^2", "9.000000000000002"},
      {__LINE__, "15^1", "15.000000000000002"},
      {__LINE__, "2^(-1)", "0.5"},
      {__LINE__, "10^400", "inf"},
      {__LINE__, "10^(-400)", "0"},
      // Zero and negative bases.
      {__LINE__, "0^2", "0"},
      {__LINE__, "(-0.0)^2", "0"},
      {__LINE__, "0^0", "1"},
      {__LINE__, "0^(-1)", kMsgDivisionByZero},
      {__LINE__, "(-0.0)^(-2)", kMsgDivisionByZero},
      {__LINE__, "(-2)^2", "4"},
      {__LINE__, "(-2)^3", "-7.999999999999997"},
      {__LINE__, "(-2)^0.5", "nan"},
      {__LINE__, "(-2)^(-1)", "-0.5"},
      {__LINE__, "0^arcsin(2)", "nan"},
  };
  engine_test::ExpectOutcomes(cases);
}

TEST(ExtendedMath, DecimalLogarithmExactAtPowersOfTen) {
  for (int exponent = -300; exponent <= 300; ++exponent) {
    const double value = std::stod("1e" + std::to_string(exponent));
    SCOPED_TRACE(exponent);
    EXPECT_EQ(ExtendedLg(value), static_cast<double>(exponent));
  }
}

TEST(ExtendedMath, LargeAndSpecialArguments) {
  EXPECT_EQ(PowerOfPositiveBase(INFINITY, 2.0), INFINITY);
  EXPECT_EQ(PowerOfPositiveBase(INFINITY, -2.0), 0.0);
  EXPECT_EQ(PowerOfPositiveBase(2.0, INFINITY), INFINITY);
  EXPECT_EQ(PowerOfPositiveBase(2.0, -INFINITY), 0.0);
  EXPECT_EQ(PowerOfPositiveBase(1e300, 1e300), INFINITY);
  EXPECT_EQ(ExtendedExp(INFINITY), INFINITY);
  EXPECT_EQ(ExtendedExp(-INFINITY), 0.0);
  EXPECT_TRUE(std::isnan(ExtendedExp(NAN)));
  EXPECT_EQ(ExtendedLg(INFINITY), INFINITY);
}

}  // namespace
