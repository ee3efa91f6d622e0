#pragma once
// An integer kept exactly beside its double. A value holds one while it lies
// in -2^63 .. 2^64-1 and came from integer literals through operations that
// keep integers: then no bit of a 64-bit mask or address is lost to the
// double's 53-bit significand. The record is two words, no heap.

#include <cstdint>

// Arithmetic on exact integers is done in 128 bits, wide enough for every
// sum, difference and the overflow test of every product of two of them.
__extension__ using WideInt = __int128;

// Whether a value has an exact integer, and how `bits` reads.
// A zero-filled record has no exact integer: a caller that sets only the
// double (a test, an old caller) gets what it set.
enum class ExactSign : uint8_t {
  None = 0,         // no exact integer: only the double counts
  NonNegative = 1,  // the value is `bits`, 0 .. 2^64-1
  Negative = 2,     // the value is `bits` read as a signed 64-bit integer, -2^63 .. -1
};

struct ExactInteger {
  uint64_t bits;   // the value's low 64 bits in two's complement
  ExactSign sign;  // None: `bits` means nothing
};

inline constexpr ExactInteger kNotExact{0, ExactSign::None};
inline constexpr ExactInteger kExactZero{0, ExactSign::NonNegative};

inline constexpr WideInt kExactLowest = -(WideInt{1} << 63);
inline constexpr WideInt kExactHighest = (WideInt{1} << 64) - 1;

// Copies field by field. A copy of the whole record right after its fields
// were written one by one would be one wide load that the processor cannot
// take from the narrower stores still in flight, and stalls; the engine
// copies these on every number and operation.
inline void CopyExact(ExactInteger& to, const ExactInteger& from) {
  to.bits = from.bits;
  to.sign = from.sign;
}

constexpr bool IsExact(const ExactInteger& exact) { return exact.sign != ExactSign::None; }

constexpr WideInt WideOf(const ExactInteger& exact) {
  return exact.sign == ExactSign::Negative ? WideInt{static_cast<int64_t>(exact.bits)} : WideInt{exact.bits};
}

// The exact integer of `value`, or kNotExact when it lies outside the range.
constexpr ExactInteger ExactOf(WideInt value) {
  if (value < kExactLowest || value > kExactHighest) return kNotExact;
  return {static_cast<uint64_t>(value), value < 0 ? ExactSign::Negative : ExactSign::NonNegative};
}

constexpr ExactInteger ExactOfSigned(int64_t value) { return ExactOf(WideInt{value}); }
constexpr ExactInteger ExactOfUnsigned(uint64_t value) { return {value, ExactSign::NonNegative}; }

// The double nearest the exact integer (ties to even), as the conversions of
// 64-bit integers round; below 2^53 in magnitude it is the integer itself.
inline double NearestDouble(const ExactInteger& exact) {
  return exact.sign == ExactSign::Negative ? static_cast<double>(static_cast<int64_t>(exact.bits))
                                           : static_cast<double>(exact.bits);
}

// The double nearest a wide integer of any size; used where an exact result
// leaves the range and only its double is kept.
inline double NearestDoubleOfWide(WideInt value) { return static_cast<double>(value); }

// Writes the decimal digits of the exact integer, "-" first when negative,
// into `text` (room for 21 characters and the terminator); returns the length.
int WriteExactDigits(const ExactInteger& exact, char* text);
inline constexpr int kExactDigitsCapacity = 22;
