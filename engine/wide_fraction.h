#pragma once
// Binary fractions of N 64-bit words, the working precision of the logarithm
// and the power of two: value = sum of word[k] * 2^(-64 (k + 1)), word 0 most
// significant, so every value lies in [0, 1). Built from 64-bit integers
// only, so the bits are the same on every compiler and processor. Products
// are truncated, which errs below the exact value by less than one unit of
// the last word.

#include <bit>
#include <cstdint>

// The exact 128-bit product of two 64-bit words.
struct WordProduct {
  std::uint64_t high;
  std::uint64_t low;
};

// Portable form, from four 32-bit partial products.
constexpr WordProduct MultiplyWordsPortably(std::uint64_t a, std::uint64_t b) {
  constexpr std::uint64_t kHalfMask = 0xFFFFFFFFULL;
  const std::uint64_t aLow = a & kHalfMask;
  const std::uint64_t aHigh = a >> 32;
  const std::uint64_t bLow = b & kHalfMask;
  const std::uint64_t bHigh = b >> 32;
  const std::uint64_t lowLow = aLow * bLow;
  const std::uint64_t lowHigh = aLow * bHigh;
  const std::uint64_t highLow = aHigh * bLow;
  const std::uint64_t highHigh = aHigh * bHigh;
  const std::uint64_t middle = (lowLow >> 32) + (lowHigh & kHalfMask) + (highLow & kHalfMask);
  return {highHigh + (lowHigh >> 32) + (highLow >> 32) + (middle >> 32), (middle << 32) | (lowLow & kHalfMask)};
}

// Where the compiler has a 128-bit integer it gives the same bits faster.
constexpr WordProduct MultiplyWords(std::uint64_t a, std::uint64_t b) {
#if defined(__SIZEOF_INT128__)
  __extension__ using Unsigned128 = unsigned __int128;
  const Unsigned128 product = static_cast<Unsigned128>(a) * b;
  return {static_cast<std::uint64_t>(product >> 64), static_cast<std::uint64_t>(product)};
#else
  return MultiplyWordsPortably(a, b);
#endif
}

template <int N>
struct WideFraction {
  std::uint64_t word[N];
};

// The first N words of a longer constant (truncation).
template <int N, int M>
constexpr WideFraction<N> LeadingWords(const std::uint64_t (&words)[M]) {
  static_assert(N <= M);
  WideFraction<N> result{};
  for (int k = 0; k < N; ++k) result.word[k] = words[k];
  return result;
}

// a + b; the caller knows the sum stays below 1.
template <int N>
constexpr WideFraction<N> Add(const WideFraction<N>& a, const WideFraction<N>& b) {
  WideFraction<N> sum{};
  std::uint64_t carry = 0;
  for (int k = N - 1; k >= 0; --k) {
    const std::uint64_t partial = a.word[k] + carry;
    const std::uint64_t carryIn = partial < carry ? 1 : 0;
    sum.word[k] = partial + b.word[k];
    carry = carryIn + (sum.word[k] < partial ? 1 : 0);
  }
  return sum;
}

// a - b; the caller knows a >= b.
template <int N>
constexpr WideFraction<N> Subtract(const WideFraction<N>& a, const WideFraction<N>& b) {
  WideFraction<N> difference{};
  std::uint64_t borrow = 0;
  for (int k = N - 1; k >= 0; --k) {
    const std::uint64_t partial = a.word[k] - b.word[k];
    const std::uint64_t borrowOut = (a.word[k] < b.word[k] ? 1 : 0) + (partial < borrow ? 1 : 0);
    difference.word[k] = partial - borrow;
    borrow = borrowOut;
  }
  return difference;
}

// 1 - a for a > 0: the two's complement of the words.
template <int N>
constexpr WideFraction<N> OneMinus(const WideFraction<N>& a) {
  return Subtract(WideFraction<N>{}, a);
}

template <int N>
constexpr bool IsZero(const WideFraction<N>& a) {
  for (int k = 0; k < N; ++k) {
    if (a.word[k] != 0) return false;
  }
  return true;
}

// a * u * 2^-shift, where u = word / 2^64: the fraction times one word,
// scaled down (shift may exceed 64N, giving 0).
template <int N>
constexpr WideFraction<N> MultiplyByWord(const WideFraction<N>& a, std::uint64_t word, int shift) {
  std::uint64_t product[N + 1] = {};
  std::uint64_t carry = 0;
  for (int k = N - 1; k >= 0; --k) {
    const WordProduct partial = MultiplyWords(a.word[k], word);
    const std::uint64_t low = partial.low + carry;
    product[k + 1] = low;
    carry = partial.high + (low < carry ? 1 : 0);
  }
  product[0] = carry;
  // Shift the N + 1 words right by `shift` bits and keep the first N.
  const int wordShift = shift / 64;
  const int bitShift = shift % 64;
  WideFraction<N> result{};
  for (int k = 0; k < N; ++k) {
    const int source = k - wordShift;
    if (source < 0) continue;
    std::uint64_t value = product[source] >> bitShift;
    if (bitShift != 0 && source > 0) value |= product[source - 1] << (64 - bitShift);
    result.word[k] = value;
  }
  return result;
}

// a * b, truncated to N words.
template <int N>
constexpr WideFraction<N> Multiply(const WideFraction<N>& a, const WideFraction<N>& b) {
  std::uint64_t product[2 * N] = {};
  for (int i = N - 1; i >= 0; --i) {
    std::uint64_t carry = 0;
    for (int j = N - 1; j >= 0; --j) {
      const WordProduct partial = MultiplyWords(a.word[i], b.word[j]);
      const std::uint64_t low = partial.low + carry;
      const std::uint64_t withLow = product[i + j + 1] + low;
      product[i + j + 1] = withLow;
      carry = partial.high + (low < carry ? 1 : 0) + (withLow < low ? 1 : 0);
    }
    product[i] = carry;
  }
  WideFraction<N> result{};
  for (int k = 0; k < N; ++k) result.word[k] = product[k];
  return result;
}

// Number of leading zero bits of a non-zero word.
constexpr int LeadingZeros(std::uint64_t word) { return std::countl_zero(word); }
