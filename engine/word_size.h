#pragma once
// The word the integer operators and the integer lines work in: 8, 16, 32 or
// 64 bits, read back as signed or unsigned. 32 bits signed is the default.

#include <cstdint>

#include "engine/exact_integer.h"

inline constexpr int kDefaultWordBits = 32;
inline constexpr int kWordBitChoices[] = {8, 16, 32, 64};

struct WordSize {
  int bits = kDefaultWordBits;  // 8, 16, 32 or 64
  bool isUnsigned = false;      // false: the top bit is the sign
};

// Whether `bits` is one of the four word sizes.
constexpr bool IsWordBits(int bits) { return bits == 8 || bits == 16 || bits == 32 || bits == 64; }

// A word size from stored or typed numbers; any other size reads as 32.
constexpr WordSize MakeWordSize(int bits, bool isUnsigned) {
  return {IsWordBits(bits) ? bits : kDefaultWordBits, isUnsigned};
}

constexpr uint64_t WordMask(int bits) { return bits >= 64 ? ~uint64_t{0} : (uint64_t{1} << bits) - 1; }

// The word's bits of a double: truncated toward zero, then the low `bits`
// bits in two's complement. Up to 32 bits a double without a signed 64-bit
// integer (magnitude 2^63 or more, infinite, NaN) gives -2^63, whose low bits
// are zero: the conversion integer lines have always made. At 64 bits every
// double below 2^64 in magnitude keeps its own low 64 bits, so 1e19 is not
// taken for -2^63; beyond, -2^63 as well.
uint64_t WordPatternOfDouble(double value, int bits);

// The word's bits of a number: of its exact integer when it has one (all 64
// low bits are kept, above 2^63 too), else of its double. Inline, with the
// two readers below: every integer operator takes its operands through them.
inline uint64_t WordPattern(double value, const ExactInteger& exact, int bits) {
  return IsExact(exact) ? exact.bits & WordMask(bits) : WordPatternOfDouble(value, bits);
}

// The word's bits read back as the word's signed or unsigned integer.
inline ExactInteger ReadWord(uint64_t pattern, const WordSize& word) {
  if (word.isUnsigned) return ExactOfUnsigned(pattern & WordMask(word.bits));
  // The sign bit copied into the bits above the word.
  const int unused = 64 - word.bits;
  const auto value = static_cast<int64_t>(pattern << unused) >> unused;
  return {static_cast<uint64_t>(value), value < 0 ? ExactSign::Negative : ExactSign::NonNegative};
}

// The same as a signed 64-bit integer or an unsigned one, for arithmetic in
// the word: the value of the pattern, which for an unsigned 64-bit word may
// exceed int64_t, hence WideInt.
inline WideInt WordValue(uint64_t pattern, const WordSize& word) {
  pattern &= WordMask(word.bits);
  const uint64_t signBit = uint64_t{1} << (word.bits - 1);
  if (word.isUnsigned || (pattern & signBit) == 0) return WideInt{pattern};
  // Negative: the pattern minus 2^bits.
  return WideInt{pattern} - (WideInt{1} << word.bits);
}
