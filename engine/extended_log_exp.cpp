// log2 x and 2^f - 1 to 64 bits, correctly rounded. Each is first computed in
// 128-bit fixed point to about 82 bits; when the result lies too close to the
// midpoint between two 64-bit values for that accuracy to decide the rounding
// (about once in 2^13 arguments), it is computed again in 256 bits. Both reduce the argument
// with a table of 128 rows, so a short series remains:
//   log2 x = e + log2(1 + i/128 ...) via x = 2^e m, m r_i = 1 + z, 0 <= z < 2^-6.8
//   2^f = 2^(i/128) 2^r, 0 <= r < 2^-7.
// Arguments near the series' centre (x near 1, f near 0) use the series
// directly, scaled so that tiny results keep their relative precision.

#include "engine/extended_log_exp.h"

#include <bit>
#include <cmath>
#include <cstdint>

#include "engine/extended_tables.h"
#include "engine/wide_fraction.h"

namespace {

constexpr std::uint64_t kImplicitBit = std::uint64_t{1} << 52;
constexpr std::uint64_t kHalfWord = std::uint64_t{1} << 63;

// A result before its rounding: sign * word[0..count) read as one integer
// (word 0 most significant) * 2^exponent.
struct Unrounded {
  bool negative = false;
  std::uint64_t word[5] = {};
  int count = 0;
  int exponent = 0;
};

// How far (in units of 2^-128 of the leading bit) the 64 bits after the kept
// 64 may lie from the midpoint before the rounding counts as uncertain. The
// fast path errs by less than 2^-80 relative, i.e. 2^48 units; about one
// argument in 2^13 then takes the 256-bit path.
constexpr std::uint64_t kUncertainty = std::uint64_t{1} << 50;

// Rounds to nearest; `certain` is false when the error of the computation
// could have moved the value across the midpoint.
Extended RoundToExtended(const Unrounded& value, bool& certain) {
  int first = 0;
  while (first < value.count && value.word[first] == 0) ++first;
  certain = true;
  if (first == value.count) return {value.negative, 0, 0};
  const int shift = std::countl_zero(value.word[first]);
  auto wordAt = [&](int index) { return index < value.count ? value.word[index] : std::uint64_t{0}; };
  auto bitsFrom = [&](int index) {
    if (shift == 0) return wordAt(index);
    return (wordAt(index) << shift) | (wordAt(index + 1) >> (64 - shift));
  };
  std::uint64_t significand = bitsFrom(first);
  const std::uint64_t rest = bitsFrom(first + 1);
  int exponent = 64 * (value.count - 1 - first) + value.exponent - shift;
  const std::uint64_t distance = rest >= kHalfWord ? rest - kHalfWord : kHalfWord - rest;
  certain = distance > kUncertainty;
  if (rest >= kHalfWord) {
    ++significand;
    if (significand == 0) {
      significand = kHalfWord;
      ++exponent;
    }
  }
  return {value.negative, significand, exponent};
}

// |value| as a normalised word and the scale that makes it a fraction:
// |value| = word * 2^-64 * 2^-shift.
struct ScaledWord {
  std::uint64_t word;
  int shift;
};

ScaledWord ScaleToWord(double magnitude) {
  const Extended parts = Decompose(magnitude);
  const int normalise = std::countl_zero(parts.significand);
  return {parts.significand << normalise, -(parts.exponent - normalise + 64)};
}

// The exact product a * word, N + 1 words, into `out`.
template <int N>
void MultiplyExactly(const WideFraction<N>& a, std::uint64_t word, Unrounded& out) {
  std::uint64_t carry = 0;
  for (int k = N - 1; k >= 0; --k) {
    const WordProduct partial = MultiplyWords(a.word[k], word);
    const std::uint64_t low = partial.low + carry;
    out.word[k + 1] = low;
    carry = partial.high + (low < carry ? 1 : 0);
  }
  out.word[0] = carry;
  out.count = N + 1;
}

template <int N>
WideFraction<N> LogCoefficient(int k) {
  return LeadingWords<N>(kLogCoefficients[k]);
}

template <int N>
WideFraction<N> PowerCoefficient(int k) {
  return LeadingWords<N>(kPowerCoefficients[k]);
}

// The fast path needs only about 2^-82 relative accuracy: its rounding test
// leaves the rare undecided cases to the 256-bit path. Where the Horner
// scheme's value at level k is multiplied by u^k < 2^-20 on its way into the
// result, one word (error 2^-64) is precise enough, so levels from
// kFastWideLevels up run on single words and only the lowest ones on two.
// The series stops where its terms drop below 2^-86.
constexpr int kFastWideLevels = 3;
constexpr int kFastAccuracyBits = 86;

// The highest series level that u = word * 2^-64 * 2^-shift needs: the
// first whose coefficient times u^level lies below 2^-86 (the coefficient's
// size read from its leading zeros).
// Coefficient rows are passed as pointers to their first row.
using CoefficientRows = const std::uint64_t (*)[kTableWords];

int FastLevels(CoefficientRows rows, ScaledWord u, int maximum) {
  const int bits = u.shift + std::countl_zero(u.word);  // u < 2^-bits
  int level = kFastWideLevels;
  while (level < maximum && std::countl_zero(rows[level][0]) + level * bits < kFastAccuracyBits) ++level;
  return level;
}

std::uint64_t ScaledHighProduct(std::uint64_t a, ScaledWord u) {
  const std::uint64_t high = MultiplyWords(a, u.word).high;
  return u.shift >= 64 ? 0 : high >> u.shift;
}

// Horner over coefficient rows first..last (last highest): single words from
// the top down to kFastWideLevels, two words below. Returns the value at
// level `first`.
WideFraction<2> MixedHorner(CoefficientRows rows, int first, int last, ScaledWord u, bool alternating) {
  std::uint64_t narrow = rows[last][0];
  int level = last - 1;
  for (; level >= kFastWideLevels && level >= first; --level) {
    const std::uint64_t term = ScaledHighProduct(narrow, u);
    narrow = alternating ? rows[level][0] - term : rows[level][0] + term;
  }
  WideFraction<2> sum{{narrow, 0}};
  for (; level >= first; --level) {
    const WideFraction<2> term = MultiplyByWord(sum, u.word, u.shift);
    const WideFraction<2> coefficient = LeadingWords<2>(rows[level]);
    sum = alternating ? Subtract(coefficient, term) : Add(coefficient, term);
  }
  return sum;
}

// S(u) = u (c1 - u (c2 - ...)) (alternating) or u (c1 + u (c2 + ...)), with
// c_k = 1 / (k + 1): ln(1 + u) = u - u S-(u) and ln(1 - u) = -(u + u S+(u)).
template <int N, int kTerms>
WideFraction<N> LogSeriesTail(ScaledWord u, bool alternating) {
  if constexpr (N == 2) {
    const WideFraction<2> sum = MixedHorner(kLogCoefficients, 1, FastLevels(kLogCoefficients, u, kTerms - 1), u, alternating);
    return MultiplyByWord(sum, u.word, u.shift);
  } else {
    WideFraction<N> sum = LogCoefficient<N>(kTerms - 1);
    for (int k = kTerms - 2; k >= 1; --k) {
      const WideFraction<N> term = MultiplyByWord(sum, u.word, u.shift);
      sum = alternating ? Subtract(LogCoefficient<N>(k), term) : Add(LogCoefficient<N>(k), term);
    }
    return MultiplyByWord(sum, u.word, u.shift);
  }
}

// (2^u - 1) / u or (1 - 2^-u) / u: the sum of d_k (-u)^k or d_k u^k with
// d_k = (ln 2)^(k+1) / (k+1)!.
template <int N, int kTerms>
WideFraction<N> PowerSeries(ScaledWord u, bool alternating) {
  if constexpr (N == 2) {
    return MixedHorner(kPowerCoefficients, 0, FastLevels(kPowerCoefficients, u, kTerms - 1), u, alternating);
  } else {
    WideFraction<N> sum = PowerCoefficient<N>(kTerms - 1);
    for (int k = kTerms - 2; k >= 0; --k) {
      const WideFraction<N> term = MultiplyByWord(sum, u.word, u.shift);
      sum = alternating ? Subtract(PowerCoefficient<N>(k), term) : Add(PowerCoefficient<N>(k), term);
    }
    return sum;
  }
}

template <int N>
WideFraction<N> TwiceOf(const WideFraction<N>& a) {
  return Add(a, a);
}

// log2 x for x within 2^-7 of 1: z = x - 1 is exact, and
// log2(1 + z) = z (1 -+ S) / ln 2 = 2 z h (1 -+ S), h = 1 / (2 ln 2).
template <int N, int kTerms>
Unrounded LogNearOne(double x) {
  const double z = x - 1.0;
  const ScaledWord u = ScaleToWord(std::fabs(z));
  const WideFraction<N> tail = LogSeriesTail<N, kTerms>(u, z > 0);
  const WideFraction<N> half = LeadingWords<N>(kHalfInverseLn2);
  const WideFraction<N> scaledTail = Multiply(half, tail);
  const WideFraction<N> factor = z > 0 ? Subtract(half, scaledTail) : Add(half, scaledTail);
  Unrounded result;
  result.negative = z < 0;
  MultiplyExactly(factor, u.word, result);
  result.exponent = -64 * N - 64 - u.shift + 1;
  return result;
}

// log2 x elsewhere: x = 2^e m with m in [1, 2) and i its top 7 fraction bits;
// r = ceil(2^18 / (128 + i)) / 2^11 >= 1 / (1 + i/128), so 1 + z = m r lies in
// [1, 1 + 2^-6.8) and z is exact in one word.
template <int N, int kTerms>
Unrounded LogByTable(std::uint64_t significand, int binaryExponent) {
  const auto row = static_cast<int>((significand >> 45) & 127U);
  const std::uint64_t reciprocal = ((std::uint64_t{1} << 18) + 128 + row - 1) / (128 + row);
  const std::uint64_t product = significand * reciprocal;  // m r * 2^63, below 2^64
  const ScaledWord z = {(product - kHalfWord) << 1, 0};
  const WideFraction<N> tail = LogSeriesTail<N, kTerms>(z, true);
  WideFraction<N> zWide{};
  zWide.word[0] = z.word;
  const WideFraction<N> naturalLog = Subtract(zWide, MultiplyByWord(tail, z.word, 0));
  const WideFraction<N> binaryLog = TwiceOf(Multiply(naturalLog, LeadingWords<N>(kHalfInverseLn2)));
  const WideFraction<N> fraction = Add(LeadingWords<N>(kLogTable[row]), binaryLog);
  // e + fraction; for e < 0 the magnitude is (|e| - 1) + (1 - fraction).
  Unrounded result;
  result.count = N + 1;
  result.exponent = -64 * N;
  result.negative = binaryExponent < 0;
  const auto magnitude = static_cast<std::uint64_t>(binaryExponent < 0 ? -binaryExponent : binaryExponent);
  const bool borrow = binaryExponent < 0 && !IsZero(fraction);
  const WideFraction<N> rest = borrow ? OneMinus(fraction) : fraction;
  result.word[0] = borrow ? magnitude - 1 : magnitude;
  for (int k = 0; k < N; ++k) result.word[k + 1] = rest.word[k];
  return result;
}

template <int N, int kTerms>
Extended LogAttempt(double x, bool& certain) {
  Extended parts = Decompose(x);
  const int normalise = std::countl_zero(parts.significand) - 11;  // bit 52 set
  parts.significand <<= normalise;
  const int binaryExponent = parts.exponent - normalise + 52;
  certain = true;
  if (parts.significand == kImplicitBit) {
    // A power of two: its exponent, exactly.
    if (binaryExponent == 0) return {false, 0, 0};
    const auto magnitude = static_cast<std::uint64_t>(binaryExponent < 0 ? -binaryExponent : binaryExponent);
    const int leading = std::countl_zero(magnitude);
    return {binaryExponent < 0, magnitude << leading, -leading};
  }
  constexpr double kNearOne = 1.0 / 128;
  const Unrounded value = std::fabs(x - 1.0) < kNearOne ? LogNearOne<N, kTerms>(x)
                                                        : LogByTable<N, kTerms>(parts.significand, binaryExponent);
  return RoundToExtended(value, certain);
}

// 2^f - 1 for |f| < 2^-8: f P(f) with P from the series, exact in scale.
template <int N, int kTerms>
Unrounded PowerNearZero(double f) {
  const ScaledWord u = ScaleToWord(std::fabs(f));
  const WideFraction<N> series = PowerSeries<N, kTerms>(u, f < 0);
  Unrounded result;
  result.negative = f < 0;
  MultiplyExactly(series, u.word, result);
  result.exponent = -64 * N - 64 - u.shift;
  return result;
}

// 2^f - 1 elsewhere: i = floor(128 f), r = f - i/128 in [0, 2^-7] exact, with
// 2^f = T (1 + g), T = 2^(i/128), g = 2^r - 1 = r P(r).
template <int N, int kTerms>
Unrounded PowerByTable(double f) {
  // f = 1/2 would give row 64: it takes row 63 and r = 2^-7.
  const double row = std::fmin(std::floor(f * 128.0), 63.0);
  const double r = f - row / 128.0;  // exact: a multiple of f's last bit
  // r * 2^64 is an integer below 2^58; shifting the significand is exact.
  const Extended parts = Decompose(r);
  const int toWord = parts.exponent + 64;
  const ScaledWord scaledR = {toWord >= 0 ? parts.significand << toWord
                                          : (-toWord >= 64 ? 0 : parts.significand >> -toWord), 0};
  const WideFraction<N> g = MultiplyByWord(PowerSeries<N, kTerms>(scaledR, false), scaledR.word, 0);
  const WideFraction<N> table = LeadingWords<N>(kPowerTable[static_cast<int>(row) + 64]);
  WideFraction<N> magnitude{};
  if (row >= 0) {
    // 2^f - 1 = D + g + D g with D = T - 1.
    magnitude = Add(Add(table, g), Multiply(table, g));
  } else {
    // 1 - 2^f = (1 - T) - T g.
    magnitude = Subtract(OneMinus(table), Multiply(table, g));
  }
  Unrounded result;
  result.negative = row < 0;
  result.count = N;
  result.exponent = -64 * N;
  for (int k = 0; k < N; ++k) result.word[k] = magnitude.word[k];
  return result;
}

template <int N, int kTerms>
Extended PowerAttempt(double f, bool& certain) {
  certain = true;
  if (f == 0.0) return {false, 0, 0};
  constexpr double kNearZero = 1.0 / 256;
  const Unrounded value = std::fabs(f) < kNearZero ? PowerNearZero<N, kTerms>(f) : PowerByTable<N, kTerms>(f);
  return RoundToExtended(value, certain);
}

// 128 bits, the series cut adaptively (see FastLevels); 256 bits with enough
// terms for 2^-240, far beyond what any double argument needs to round
// correctly.
constexpr int kFastWords = 2;
constexpr int kFastLogTerms = 22;
constexpr int kFastPowerTerms = 18;
constexpr int kPreciseWords = 4;
constexpr int kPreciseLogTerms = 38;
constexpr int kPrecisePowerTerms = 27;
static_assert(kPreciseLogTerms <= kLogTerms && kPrecisePowerTerms <= kPowerTerms);

}  // namespace

Extended PreciseBinaryLogarithm(double x) {
  bool certain = true;
  return LogAttempt<kPreciseWords, kPreciseLogTerms>(x, certain);
}

Extended PrecisePowerOfTwoMinusOne(double f) {
  bool certain = true;
  return PowerAttempt<kPreciseWords, kPrecisePowerTerms>(f, certain);
}

Extended BinaryLogarithm(double x) {
  bool certain = true;
  const Extended fast = LogAttempt<kFastWords, kFastLogTerms>(x, certain);
  return certain ? fast : PreciseBinaryLogarithm(x);
}

Extended PowerOfTwoMinusOne(double f) {
  bool certain = true;
  const Extended fast = PowerAttempt<kFastWords, kFastPowerTerms>(f, certain);
  return certain ? fast : PrecisePowerOfTwoMinusOne(f);
}
