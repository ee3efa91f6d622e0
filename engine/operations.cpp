// What each operator and function computes and which arguments it refuses.
// Integer operators work on the 32-bit conversion of their operands.

#include "engine/operations.h"

#include <array>
#include <iterator>
#include <cmath>
#include <cstdint>
#include <limits>

#include "engine/calculate.h"
#include "engine/extended_math.h"
#include "engine/lexer_internal.h"
#include "engine/messages.h"

namespace {

constexpr double kHalfPi = 1.5707963267948966;
constexpr double kThreeHalvesPi = 4.71238898038469;
constexpr double kRadiansPerDegree = 0.017453292519943295;
constexpr double kDegreesPerRadian = 57.29577951308232;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

double AsDouble(int32_t value) { return static_cast<double>(value); }
bool IsTrue(double value) { return value != 0.0; }  // NaN counts as true

// Checks. Equality tests are exact: only the listed doubles are refused.
bool RefusesZeroDivisor(double, double b) { return b == 0.0; }
bool RefusesZeroRemainderDivisor(double, double b) { return b == 0.0 || TruncateToInt32(b) == 0; }
bool RefusesZeroBaseNegativePower(double a, double b) { return a == 0.0 && b < 0.0; }
bool RefusesTangentPoles(double x, double) { return x == kHalfPi || x == kThreeHalvesPi; }
bool RefusesSineZeros(double x, double) { return x == 0.0 || x == kPi; }
bool RefusesNotPositive(double x, double) { return x <= 0.0; }
bool RefusesNegative(double x, double) { return x < 0.0; }

double Remainder(double a, double b) {
  const int32_t dividend = TruncateToInt32(a);
  const int32_t divisor = TruncateToInt32(b);
  if (divisor == -1) return 0.0;  // also the one quotient without a 32-bit remainder
  return AsDouble(dividend % divisor);
}

int ShiftCount(double b) { return TruncateToInt32(b) & 31; }

double ShiftLeft(double a, double b) {
  const uint32_t pattern = static_cast<uint32_t>(TruncateToInt32(a)) << ShiftCount(b);
  return AsDouble(static_cast<int32_t>(pattern));
}

double ShiftRight(double a, double b) { return AsDouble(TruncateToInt32(a) >> ShiftCount(b)); }

// Positive bases go through the base-2 exponential. A zero base gives 0 or 1
// (a negative power is refused before), a negative base with an integer
// exponent the power of its magnitude with the sign of an odd exponent.
double Power(double a, double b) {
  if (a > 0.0) return PowerOfPositiveBase(a, b);
  if (a == 0.0) return b > 0.0 ? 0.0 : (b == 0.0 ? 1.0 : kNaN);
  if (a < 0.0 && std::isfinite(b) && b == std::trunc(b)) {
    const double magnitude = PowerOfPositiveBase(-a, b);
    return std::fmod(b, 2.0) != 0.0 ? -magnitude : magnitude;
  }
  return kNaN;
}

double Round(double x) {
  const int32_t truncated = TruncateToInt32(x);
  if (std::fabs(x - truncated) < 0.5) return AsDouble(truncated);
  return AsDouble(TruncateToInt32(x > 0.0 ? x + 1.0 : x - 1.0));
}

double Factorial(double x) {
  const int32_t n = TruncateToInt32(x);
  double product = 1.0;
  for (int32_t factor = 2; factor <= n && !std::isinf(product); ++factor) product *= factor;
  return product;
}

double Sign(double x) { return x < 0.0 ? -1.0 : (x > 0.0 ? 1.0 : 0.0); }

constexpr Operation Binary(const char* name, int tooFew, double (*compute)(double, double),
                           bool (*refuses)(double, double) = nullptr,
                           int refusal = kMsgDivisionByZero) {
  return {name, 2, tooFew, refuses, refusal, compute, false};
}

constexpr Operation Function(const char* name, double (*compute)(double, double),
                             bool (*refuses)(double, double) = nullptr, bool traces = false) {
  return {name, 1, kMsgFunctionWithoutArgument, refuses, kMsgArgumentOutOfDomain, compute, traces};
}

using D = double;
constexpr Operation kOperations[] = {
    Binary("+", 13, [](D a, D b) { return a + b; }),
    Binary("-", 14, [](D a, D b) { return a - b; }),
    Binary("*", 15, [](D a, D b) { return a * b; }),
    Binary("/", 16, [](D a, D b) { return a / b; }, RefusesZeroDivisor),
    Binary("!", 18, [](D a, D b) { return AsDouble(TruncateToInt32(a / b)); }, RefusesZeroDivisor),
    Binary("%", 19, Remainder, RefusesZeroRemainderDivisor),
    Binary("<<", 20, ShiftLeft),
    Binary(">>", 21, ShiftRight),
    Binary("<", 22, [](D a, D b) { return D(a < b); }),
    Binary(">", 23, [](D a, D b) { return D(a > b); }),
    Binary(">=", 24, [](D a, D b) { return D(a >= b); }),
    Binary("<=", 25, [](D a, D b) { return D(a <= b); }),
    Binary("<>", 26, [](D a, D b) { return D(a != b); }),
    Binary("=", 27, [](D a, D b) { return D(a == b); }),
    Binary("^", 28, Power, RefusesZeroBaseNegativePower),
    Binary("&", 29, [](D a, D b) { return AsDouble(TruncateToInt32(a) & TruncateToInt32(b)); }),
    Binary("|", 30, [](D a, D b) { return AsDouble(TruncateToInt32(a) | TruncateToInt32(b)); }),
    Binary("&&", 31, [](D a, D b) { return D(IsTrue(a) && IsTrue(b)); }),
    Binary("||", 32, [](D a, D b) { return D(IsTrue(a) || IsTrue(b)); }),
    Binary("\\", 33, [](D a, D b) { return AsDouble(TruncateToInt32(a) ^ TruncateToInt32(b)); }),
    Function("cos", [](D x, D) { return std::cos(x); }, nullptr, true),
    Function("sin", [](D x, D) { return std::sin(x); }),
    Function("exp", [](D x, D) { return ExtendedExp(x); }),
    Function("ln", [](D x, D) { return ExtendedLn(x); }, RefusesNotPositive),
    Function("tg", [](D x, D) { return std::tan(x); }, RefusesTangentPoles),
    Function("ctg", [](D x, D) { return 1.0 / std::tan(x); }, RefusesSineZeros),
    Function("arctg", [](D x, D) { return std::atan(x); }),
    Function("arcctg", [](D x, D) { return kHalfPi - std::atan(x); }),
    Function("int", [](D x, D) { return AsDouble(TruncateToInt32(x)); }),
    Function("frac", [](D x, D) { return x - TruncateToInt32(x); }),
    Function("rad", [](D x, D) { return x * kRadiansPerDegree; }),
    Function("grad", [](D x, D) { return x * kDegreesPerRadian; }),
    Function("sign", [](D x, D) { return Sign(x); }),
    Function("lg", [](D x, D) { return ExtendedLg(x); }, RefusesNotPositive),
    Function("sqr", [](D x, D) { return x * x; }),
    Function("sqrt", [](D x, D) { return std::sqrt(x); }, RefusesNegative),
    Function("arcsin", [](D x, D) { return std::asin(x); }),
    Function("arccos", [](D x, D) { return std::acos(x); }),
    Function("fact", [](D x, D) { return Factorial(x); }, RefusesNegative),
    Function("abs", [](D x, D) { return std::fabs(x); }),
    Function("round", [](D x, D) { return Round(x); }),
    Function("cosec", [](D x, D) { return 1.0 / std::sin(x); }, RefusesSineZeros),
    Function("sec", [](D x, D) { return 1.0 / std::cos(x); }, RefusesTangentPoles),
};
constexpr int kOperationCount = static_cast<int>(std::size(kOperations));

// Index of the table by first character, so that a lookup compares only the
// few names that share it: the evaluator looks up every operation it meets.
struct FirstCharIndex {
  std::array<uint8_t, 129> start{};  // entries of character c: order[start[c] .. start[c+1])
  std::array<uint8_t, kOperationCount> order{};
};

constexpr FirstCharIndex BuildFirstCharIndex() {
  FirstCharIndex index;
  std::array<int, 129> counts{};
  for (const Operation& operation : kOperations) ++counts[static_cast<unsigned char>(operation.name[0]) + 1];
  for (int c = 1; c < 129; ++c) counts[c] += counts[c - 1];
  for (int c = 0; c < 129; ++c) index.start[c] = static_cast<uint8_t>(counts[c]);
  for (int i = 0; i < kOperationCount; ++i) {
    index.order[counts[static_cast<unsigned char>(kOperations[i].name[0])]++] = static_cast<uint8_t>(i);
  }
  return index;
}
constexpr FirstCharIndex kIndex = BuildFirstCharIndex();

}  // namespace

const Operation* FindOperation(const char* name) {
  const unsigned char first = static_cast<unsigned char>(name[0]);
  if (first >= 128) return nullptr;
  for (int i = kIndex.start[first]; i < kIndex.start[first + 1]; ++i) {
    const Operation& operation = kOperations[kIndex.order[i]];
    if (TokenIs(operation.name, name)) return &operation;
  }
  return nullptr;
}
