// log2 x and 2^f - 1 to 64 bits, correctly rounded. On the table rows (the
// common case) a quick attempt in 128-bit fixed point with a short series
// comes first (see QuickLog); where it cannot decide, or near the series'
// centre, each is computed in 128-bit fixed point to about 82 bits; when the
// result lies too close to the midpoint between two 64-bit values for that
// accuracy to decide the rounding (about once in 2^13 arguments), it is
// computed again in 256 bits. All reduce the argument with a table of 128
// rows, so a short series remains:
//   log2 x = e + log2(1 + i/128 ...) via x = 2^e m, m r_i = 1 + z, 0 <= z < 2^-6.8
//   2^f = 2^(i/128) 2^r, 0 <= r < 2^-7.
// Arguments near the series' centre (x near 1, f near 0) use the series
// directly, scaled so that tiny results keep their relative precision.

#include "engine/extended_log_exp.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cmath>
#include <cstdint>
#include <optional>

#include "engine/extended_tables.h"
#include "engine/force_inline.h"
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

// x = significand * 2^(binaryExponent - 52), the significand's bit 52 set
// (subnormals normalised).
struct NormalisedArgument {
  std::uint64_t significand;
  int binaryExponent;
};

QUILLO_FORCE_INLINE NormalisedArgument Normalise(double x) {
  const Extended parts = Decompose(x);
  const int normalise = std::countl_zero(parts.significand) - 11;  // bit 52 set
  return {parts.significand << normalise, parts.exponent - normalise + 52};
}

// log2 of a power of two: its exponent, exactly.
Extended ExactBinaryLog(int binaryExponent) {
  if (binaryExponent == 0) return {false, 0, 0};
  const auto magnitude = static_cast<std::uint64_t>(binaryExponent < 0 ? -binaryExponent : binaryExponent);
  const int leading = std::countl_zero(magnitude);
  return {binaryExponent < 0, magnitude << leading, -leading};
}

// Closer to 1 than this, log2 x is summed from its own series rather than
// taken from the table.
constexpr double kLogNearOne = 1.0 / 128;

template <int N, int kTerms>
Extended LogAttempt(double x, bool& certain) {
  const NormalisedArgument argument = Normalise(x);
  certain = true;
  if (argument.significand == kImplicitBit) return ExactBinaryLog(argument.binaryExponent);
  const Unrounded value = std::fabs(x - 1.0) < kLogNearOne
                              ? LogNearOne<N, kTerms>(x)
                              : LogByTable<N, kTerms>(argument.significand, argument.binaryExponent);
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

// The quick attempt for the table rows (the common case), ahead of the
// 128-bit path above: the same reductions, but the series evaluated with
// as few dependent multiplications as its accuracy needs. The terms from
// the third on are summed in single words pairwise (Estrin's scheme: the
// pairs and the powers of the argument are independent), and only the two
// lowest levels take two words. Its error stays below 2^-81 absolute for
// both (the truncated words of the tail, times z^3 or r^3, dominate; 4 M
// random arguments give at most 2^-83.5 and 2^-82.6), i.e. below 2^-72 of
// the result's leading bit (at least 2^-7 and 2^-9 on these rows), so a
// rounding counts as certain only beyond 2^-71 of the leading bit from the
// midpoint (about one argument in 64 is left undecided); otherwise the
// 128-bit path decides.
constexpr std::uint64_t kQuickUncertainty = std::uint64_t{1} << 57;

// The high word of a * b: a product of fractions truncated to one word.
std::uint64_t HighProduct(std::uint64_t a, std::uint64_t b) { return MultiplyWords(a, b).high; }

// The exact 128-bit product of two one-word fractions.
WideFraction<2> ExactProduct(std::uint64_t a, std::uint64_t b) {
  const WordProduct product = MultiplyWords(a, b);
  return {{product.high, product.low}};
}

// word * a for a two-word fraction, truncated to two words.
WideFraction<2> WordTimes(std::uint64_t word, const WideFraction<2>& a) {
  const WordProduct high = MultiplyWords(word, a.word[0]);
  const std::uint64_t low = HighProduct(word, a.word[1]);
  const std::uint64_t sum = high.low + low;
  return {{high.high + (sum < low ? 1 : 0), sum}};
}

// Two-word sums, differences and products for the quick attempt, in
// straight-line code; the caller knows that sums stay below 1 and
// differences above 0.
WideFraction<2> QuickAdd(const WideFraction<2>& a, const WideFraction<2>& b) {
  const std::uint64_t low = a.word[1] + b.word[1];
  return {{a.word[0] + b.word[0] + (low < a.word[1] ? 1 : 0), low}};
}

WideFraction<2> QuickSubtract(const WideFraction<2>& a, const WideFraction<2>& b) {
  return {{a.word[0] - b.word[0] - (a.word[1] < b.word[1] ? 1 : 0), a.word[1] - b.word[1]}};
}


// a * b without the product of the low words and the low halves of the
// cross products: below the exact value by less than 3 * 2^-128.
WideFraction<2> QuickMultiply(const WideFraction<2>& a, const WideFraction<2>& b) {
  const WordProduct high = MultiplyWords(a.word[0], b.word[0]);
  const std::uint64_t cross1 = HighProduct(a.word[0], b.word[1]);
  const std::uint64_t cross2 = HighProduct(a.word[1], b.word[0]);
  const std::uint64_t low1 = high.low + cross1;
  const std::uint64_t low2 = low1 + cross2;
  return {{high.high + (low1 < cross1 ? 1 : 0) + (low2 < cross2 ? 1 : 0), low2}};
}

// Even and odd terms of c_k z^(k-2) for k = 2..11 from rows 2..11 of a
// coefficient table, by Estrin's scheme: with p_j = c_(2j+2) -+ c_(2j+3) z
// the sum is p0 + z^2 p1 + z^4 (p2 + z^2 p3) + z^8 p4. `alternating`
// subtracts the odd terms (each pair stays positive, the even coefficient
// being the larger), otherwise all terms add.
QUILLO_FORCE_INLINE std::uint64_t QuickTail(CoefficientRows rows, std::uint64_t z, bool alternating) {
  const std::uint64_t z2 = HighProduct(z, z);
  const std::uint64_t z4 = HighProduct(z2, z2);
  auto pair = [&](int k) {
    const std::uint64_t odd = HighProduct(rows[k + 1][0], z);
    return alternating ? rows[k][0] - odd : rows[k][0] + odd;
  };
  const std::uint64_t low = pair(2) + HighProduct(z2, pair(4));
  const std::uint64_t high = pair(6) + HighProduct(z2, pair(8)) + HighProduct(z4, pair(10));
  return low + HighProduct(z4, high);
}

// The power's tail d_k r^(k-2) for k = 2..7 alone: with r <= 2^-7 the terms
// from k = 8 on stay below 2^-65, beyond what Q needs (2^-61: it is
// multiplied by r^3 T on its way into the result). p0 + r^2 p1 + r^4 p2
// with p_j = d_(2j+2) + d_(2j+3) r.
QUILLO_FORCE_INLINE std::uint64_t QuickPowerTail(std::uint64_t r) {
  const std::uint64_t r2 = HighProduct(r, r);
  const std::uint64_t r4 = HighProduct(r2, r2);
  auto pair = [&](int k) { return kPowerCoefficients[k][0] + HighProduct(kPowerCoefficients[k + 1][0], r); };
  return pair(2) + HighProduct(r2, pair(4)) + HighProduct(r4, pair(6));
}

// The reciprocals r of LogByTable, ceil(2^18 / (128 + i)), looked up rather
// than divided for.
constexpr auto kReciprocals = [] {
  std::array<std::uint16_t, kLogRows> table{};
  for (int row = 0; row < kLogRows; ++row) {
    table[static_cast<std::size_t>(row)] = static_cast<std::uint16_t>(((1 << 18) + 128 + row - 1) / (128 + row));
  }
  return table;
}();

// Rounds sign * (w0 2^128 + w1 2^64 + w2) * 2^exponent to nearest, as
// RoundToExtended does, in straight-line code for the quick attempt
// ((w >> 1) >> (63 - n) is w >> (64 - n), also for n = 0).
QUILLO_FORCE_INLINE Extended RoundThreeWords(bool negative, std::uint64_t w0, std::uint64_t w1, std::uint64_t w2, int exponent,
                         bool& certain) {
  std::uint64_t significand = 0;
  std::uint64_t rest = 0;
  int shift = 0;
  if (w0 != 0) {
    shift = std::countl_zero(w0);
    significand = (w0 << shift) | ((w1 >> 1) >> (63 - shift));
    rest = (w1 << shift) | ((w2 >> 1) >> (63 - shift));
    exponent += 128 - shift;
  } else if (w1 != 0) {
    shift = std::countl_zero(w1);
    significand = (w1 << shift) | ((w2 >> 1) >> (63 - shift));
    rest = w2 << shift;
    exponent += 64 - shift;
  } else if (w2 != 0) {
    shift = std::countl_zero(w2);
    significand = w2 << shift;
    exponent -= shift;
  } else {
    certain = true;
    return {negative, 0, 0};
  }
  const std::uint64_t distance = rest >= kHalfWord ? rest - kHalfWord : kHalfWord - rest;
  certain = distance > kQuickUncertainty;
  if (rest >= kHalfWord) {
    ++significand;
    if (significand == 0) {
      significand = kHalfWord;
      ++exponent;
    }
  }
  return {negative, significand, exponent};
}

// log2 x on the table rows (|x - 1| >= 2^-7): as LogByTable, with the
// series of log2(1 + z) itself, a_k = 1 / (k ln 2):
//   log2(1 + z) = a1 z - z^2 (a2 - z W),  W = a3 - a4 z + a5 z^2 - ...
// The first-order term and the table row are summed while W is evaluated,
// so only W, two products and the rounding lie on the chain of dependent
// steps. Sums are taken modulo 1: the result, log2 of the significand, lies
// in [0, 1) even where a partial sum does not.
QUILLO_FORCE_INLINE Extended QuickLogByTable(std::uint64_t significand, int binaryExponent, bool& certain) {
  const auto row = static_cast<int>((significand >> 45) & 127U);
  const std::uint64_t reciprocal = kReciprocals[static_cast<std::size_t>(row)];
  const std::uint64_t z = ((significand * reciprocal) - kHalfWord) << 1;
  const std::uint64_t w = QuickTail(kBinaryLogCoefficients, z, true);
  const WideFraction<2> v = QuickSubtract(LeadingWords<2>(kBinaryLogCoefficients[1]), ExactProduct(z, w));
  // a1 z = z + (1/ln 2 - 1) z.
  const WideFraction<2> firstOrder = QuickAdd(WideFraction<2>{{z, 0}}, WordTimes(z, LeadingWords<2>(kBinaryLogCoefficients[0])));
  const WideFraction<2> linear = QuickAdd(LeadingWords<2>(kLogTable[row]), firstOrder);
  const WideFraction<2> fraction = QuickSubtract(linear, QuickMultiply(ExactProduct(z, z), v));
  // e + fraction; for e < 0 the magnitude is (|e| - 1) + (1 - fraction).
  const auto magnitude = static_cast<std::uint64_t>(binaryExponent < 0 ? -binaryExponent : binaryExponent);
  const bool borrow = binaryExponent < 0 && !IsZero(fraction);
  const WideFraction<2> rest = borrow ? QuickSubtract({}, fraction) : fraction;
  return RoundThreeWords(binaryExponent < 0, borrow ? magnitude - 1 : magnitude, rest.word[0], rest.word[1], -128,
                         certain);
}

// 2^f - 1 on the table rows (2^-8 <= |f| <= 1/2): as PowerByTable, with
// T g = T ln 2 r + T r^2 (d1 + r Q), Q the tail above and T ln 2 a table of
// its own, so that T r^2 and the first-order term are ready while Q is
// evaluated.
QUILLO_FORCE_INLINE WideFraction<2> QuickPowerMagnitude(int row, std::uint64_t r) {
  const WideFraction<2> v =
      QuickAdd(LeadingWords<2>(kPowerCoefficients[1]), ExactProduct(r, QuickPowerTail(r)));
  const WideFraction<2> table = LeadingWords<2>(kPowerTable[row + 64]);
  const WideFraction<2> rSquared = ExactProduct(r, r);
  // T = 1 + table from row 0 on, T = table below.
  const WideFraction<2> tableTimesRSquared =
      row >= 0 ? QuickAdd(rSquared, QuickMultiply(table, rSquared)) : QuickMultiply(table, rSquared);
  const WideFraction<2> firstOrder = WordTimes(r, LeadingWords<2>(kPowerTableTimesLn2[row + 64]));
  const WideFraction<2> tableTimesG = QuickAdd(firstOrder, QuickMultiply(tableTimesRSquared, v));
  // 2^f - 1 = (T - 1) + T g, or 1 - 2^f = (1 - T) - T g below row 0.
  return row >= 0 ? QuickAdd(table, tableTimesG) : QuickSubtract(QuickSubtract({}, table), tableTimesG);
}

QUILLO_FORCE_INLINE Extended QuickPowerByTable(int row, std::uint64_t r, bool& certain) {
  const WideFraction<2> magnitude = QuickPowerMagnitude(row, r);
  return RoundThreeWords(row < 0, 0, magnitude.word[0], magnitude.word[1], -128, certain);
}

// log2 x from the quick attempt; `certain` is false near 1 (left to the
// 128-bit path) and where the rounding is undecided.
QUILLO_FORCE_INLINE Extended QuickLog(double x, bool& certain) {
  const NormalisedArgument argument = Normalise(x);
  certain = true;
  if (argument.significand == kImplicitBit) return ExactBinaryLog(argument.binaryExponent);
  if (std::fabs(x - 1.0) < kLogNearOne) {
    certain = false;
    return {};
  }
  return QuickLogByTable(argument.significand, argument.binaryExponent, certain);
}

// floor(128 f) and r = f - row/128 as a word (r * 2^64) for f =
// +-magnitude * 2^-64 on the table rows: r is what remains below the row's
// bit of the fixed-point f.
struct TableArgument {
  int row;
  std::uint64_t r;
};

constexpr std::uint64_t kPowerNearZero = std::uint64_t{1} << 56;  // |f| < 2^-8 in fixed point

QUILLO_FORCE_INLINE TableArgument SplitForTable(bool negative, std::uint64_t magnitude) {
  constexpr int kRowShift = 57;  // one row is 2^-7
  constexpr std::uint64_t kRowSize = std::uint64_t{1} << kRowShift;
  if (!negative) {
    // f = 1/2 takes row 63 with r = 2^-7.
    const int row = std::min(static_cast<int>(magnitude >> kRowShift), 63);
    return {row, magnitude - (static_cast<std::uint64_t>(row) << kRowShift)};
  }
  const std::uint64_t rowsBelow = (magnitude + kRowSize - 1) >> kRowShift;  // ceil(128 |f|)
  return {-static_cast<int>(rowsBelow), (rowsBelow << kRowShift) - magnitude};
}

// 2^f - 1 from the quick attempt for f = +-magnitude * 2^-64; `certain` is
// false near 0 (left to the 128-bit path) and where the rounding is
// undecided.
QUILLO_FORCE_INLINE Extended QuickPowerOfFixed(bool negative, std::uint64_t magnitude, bool& certain) {
  certain = true;
  if (magnitude == 0) return {false, 0, 0};
  if (magnitude < kPowerNearZero) {
    certain = false;
    return {};
  }
  const TableArgument argument = SplitForTable(negative, magnitude);
  return QuickPowerByTable(argument.row, argument.r, certain);
}

// |f| * 2^64 for 2^-8 <= |f| <= 1/2: f's significand shifted, exactly.
std::uint64_t FixedMagnitude(double f) {
  const Extended parts = Decompose(f);
  return parts.significand << (parts.exponent + 64);
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

Extended WideBinaryLogarithm(double x) {
  bool certain = true;
  const Extended fast = LogAttempt<kFastWords, kFastLogTerms>(x, certain);
  return certain ? fast : PreciseBinaryLogarithm(x);
}

Extended BinaryLogarithm(double x) {
  bool certain = true;
  const Extended quick = QuickLog(x, certain);
  return certain ? quick : WideBinaryLogarithm(x);
}

Extended WidePowerOfTwoMinusOne(double f) {
  bool certain = true;
  const Extended fast = PowerAttempt<kFastWords, kFastPowerTerms>(f, certain);
  return certain ? fast : PrecisePowerOfTwoMinusOne(f);
}

Extended PowerOfTwoMinusOne(double f) {
  constexpr double kNearZero = 1.0 / 256;
  if (!(std::fabs(f) >= kNearZero)) return f == 0.0 ? Extended{false, 0, 0} : WidePowerOfTwoMinusOne(f);
  bool certain = true;
  const Extended quick = QuickPowerOfFixed(f < 0, FixedMagnitude(f), certain);
  return certain ? quick : WidePowerOfTwoMinusOne(f);
}

Extended PowerOfTwoMinusOneOfFixed(bool negative, std::uint64_t magnitude) {
  bool certain = true;
  const Extended quick = QuickPowerOfFixed(negative, magnitude, certain);
  if (certain) return quick;
  // Exact: the caller's f has at most 53 significant bits.
  const double f = static_cast<double>(magnitude) * 0x1p-64;
  return WidePowerOfTwoMinusOne(negative ? -f : f);
}

std::optional<double> QuickScaledPowerOfTwo(bool negative, std::uint64_t magnitude, std::int64_t n) {
  if (magnitude < kPowerNearZero || n < -1021 || n > 1023) return std::nullopt;
  const TableArgument argument = SplitForTable(negative, magnitude);
  const WideFraction<2> m = QuickPowerMagnitude(argument.row, argument.r);
  // The sum's last bit is 2^-52 for 1 + m in [1, 2) and 2^-53 for 1 - m in
  // (1/2, 1). Rounding m to 64 bits first moves it by at most 2^-66 (|m| <
  // 1/2), the attempt errs by less than 2^-81: beyond 2^-64 from the sum's
  // midpoint between two doubles, neither can change the side it rounds to.
  const bool below = argument.row < 0;
  const WideFraction<2> sum = below ? QuickSubtract({}, m) : m;  // the fraction bits of 1 + m or 1 - m
  const int dropped = below ? 11 : 12;  // bits of the first word below the sum's last bit
  const std::uint64_t halfway = std::uint64_t{1} << (dropped - 1);
  const std::uint64_t rest = sum.word[0] & ((std::uint64_t{1} << dropped) - 1);
  if (rest == halfway || rest == halfway - 1) return std::nullopt;  // within 2^-64 of the midpoint
  const std::uint64_t units = (sum.word[0] >> dropped) + (rest > halfway ? 1 : 0);
  // 1 + m: exponent n, fraction field `units`; 1 - m: one binade down, the
  // implicit bit included in `units` (a carry into the exponent when 1 - m
  // rounds to 1).
  const std::uint64_t bits = below ? (static_cast<std::uint64_t>(n + 1022) << 52) + (units - kImplicitBit)
                                   : (static_cast<std::uint64_t>(n + 1023) << 52) + units;
  return std::bit_cast<double>(bits);
}
