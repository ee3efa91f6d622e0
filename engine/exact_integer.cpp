#include "engine/exact_integer.h"

int WriteExactDigits(const ExactInteger& exact, char* text) {
  const bool negative = exact.sign == ExactSign::Negative;
  // The magnitude of -2^63 still fits 64 unsigned bits.
  uint64_t magnitude = negative ? uint64_t{0} - exact.bits : exact.bits;
  char reversed[kExactDigitsCapacity];
  int count = 0;
  do {
    reversed[count++] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  int length = 0;
  if (negative) text[length++] = '-';
  while (count > 0) text[length++] = reversed[--count];
  text[length] = '\0';
  return length;
}
