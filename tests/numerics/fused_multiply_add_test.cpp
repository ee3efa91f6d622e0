// The exact products through the processor's fused multiply-add give the
// same bits as Dekker's method, so every function gives the same results
// with it and without it. Skipped on processors without it.

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <string>

#include "numerics/internal/double_double.h"
#include "numerics/numerics.h"
#include "numerics/testing.h"
#include "tests/support/fixed_random.h"

namespace {

// Turns the fused multiply-add on for one test and back to what the
// processor offers afterwards.
class FusedMultiplyAdd : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!numerics::testing::UseFusedMultiplyAdd(true)) GTEST_SKIP() << "this processor has no fused multiply-add";
  }
  void TearDown() override { numerics::testing::UseFusedMultiplyAdd(true); }

  // f's results, by their bits, with and without the fused multiply-add.
  template <typename Function>
  static std::pair<uint64_t, uint64_t> BothWays(Function f) {
    numerics::testing::UseFusedMultiplyAdd(false);
    const double plain = f();
    numerics::testing::UseFusedMultiplyAdd(true);
    const double fused = f();
    return {std::bit_cast<uint64_t>(plain), std::bit_cast<uint64_t>(fused)};
  }
};

// |x| log-uniform between 2^low and 2^high, random sign.
double Draw(fixed_random::Generator& random, double low, double high) {
  const double x = std::exp2(random.Between(low, high));
  return (random.Next() & 1) != 0 ? -x : x;
}

TEST_F(FusedMultiplyAdd, ExactProductsAreDekkers) {
  fixed_random::Generator random{0xF3Au};
  for (int i = 0; i < 100000; ++i) {
    // Products from 2^-900 to 2^900: their errors are normal doubles.
    const double a = Draw(random, -450.0, 450.0);
    const double b = Draw(random, -450.0, 450.0);
    const auto [plainHi, fusedHi] = BothWays([&] { return dd::TwoProduct(a, b).hi; });
    const auto [plainLo, fusedLo] = BothWays([&] { return dd::TwoProduct(a, b).lo; });
    ASSERT_EQ(plainHi, fusedHi) << std::hexfloat << a << " * " << b;
    ASSERT_EQ(plainLo, fusedLo) << std::hexfloat << a << " * " << b;
  }
}

struct Function {
  const char* name;
  double (*unary)(double);
  double (*binary)(double, double);
  double low;  // |x| log-uniform in [2^low, 2^high]
  double high;
};

TEST_F(FusedMultiplyAdd, EveryFunctionGivesTheSameResults) {
  const Function functions[] = {
      {"sin", numerics::Sine, nullptr, -30.0, 30.0},
      {"cos", numerics::Cosine, nullptr, -30.0, 30.0},
      {"tan", numerics::Tangent, nullptr, -30.0, 30.0},
      {"cot", numerics::Cotangent, nullptr, -30.0, 30.0},
      {"atan", numerics::Arctangent, nullptr, -30.0, 30.0},
      {"acot", numerics::Arccotangent, nullptr, -30.0, 30.0},
      {"asin", numerics::Arcsine, nullptr, -30.0, 0.0},
      {"acos", numerics::Arccosine, nullptr, -30.0, 0.0},
      {"rad", numerics::DegreesToRadians, nullptr, -30.0, 30.0},
      {"grad", numerics::RadiansToDegrees, nullptr, -30.0, 30.0},
      {"exp", numerics::Exponential, nullptr, -30.0, 9.5},
      {"ln", numerics::NaturalLogarithm, nullptr, -1000.0, 1000.0},
      {"lg", numerics::DecimalLogarithm, nullptr, -1000.0, 1000.0},
      {"pow", nullptr, numerics::Power, -7.0, 7.0},
  };
  fixed_random::Generator random{0xF3Bu};
  for (const Function& function : functions) {
    SCOPED_TRACE(function.name);
    for (int i = 0; i < 20000; ++i) {
      const double x = Draw(random, function.low, function.high);
      if (function.unary != nullptr) {
        const auto [plain, fused] = BothWays([&] { return function.unary(x); });
        ASSERT_EQ(plain, fused) << std::hexfloat << x;
      } else {
        // Bases near 1 and far from it, exponents whole and not.
        const double base = std::fabs(x);
        const double exponent = (i % 2 == 0) ? std::round(random.Between(-40.0, 40.0)) : random.Between(-40.0, 40.0);
        const auto [plain, fused] = BothWays([&] { return function.binary(base, exponent); });
        ASSERT_EQ(plain, fused) << std::hexfloat << base << " ^ " << exponent;
      }
    }
  }
}

}  // namespace
