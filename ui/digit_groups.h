#pragma once
// Digit groups of the integer result lines: where a thin gap stands between
// the digits of a HEX or BIN line (every 4 digits) or an OCT line (every 3),
// counted from the right. The gap is drawn, never a character: the line's
// text, its copies and the command-line output keep the digits in one piece.
// Computed here once, so that every front end puts the gaps at the same
// places; also which bit a binary digit stands for, for the bit strip.

#include "format/result_format.h"

// No line holds more gaps than this: 64 binary digits give 15.
inline constexpr int kDigitGapCapacity = 64;

// One row of the BIN line holds this many digits: a 64-bit word shows as two
// rows, broken 32 digits from the right.
inline constexpr int kBinaryRowDigits = 32;

// The gaps of one line as shown: a gap stands before each byte offset in
// before[0..count-1], which rise. groupSize is the digits per group of a
// grouped number, 0 for a line without groups (count then 0 too).
struct DigitGaps {
  int count = 0;
  int before[kDigitGapCapacity] = {};
  int groupSize = 0;
};

// How many digits make one group in a form's line: 4 for HEX and BIN, 3 for
// OCT, 0 for the forms that are not grouped (DEC, EXP).
int DigitGroupSize(int form);

// The gaps of `line` (as the window shows it) in `form`. The line must be
// one number: an optional sign, an optional radix prefix ("0x", "0b", "0o"),
// then only the form's digits, a BIN line broken into rows by '\n'. Groups
// count from the last digit leftwards across the rows; no gap stands at the
// start of a row or next to the prefix. Anything else (a message, an empty
// line) gets no gaps, as do the forms that are not grouped.
DigitGaps FindDigitGaps(int form, const char* line);

// Whether a gap stands on the left of bit `bit`'s digit in a bit strip
// grouped by groupSize (rows of kBinaryRowDigits from bit 0, none grouped
// when groupSize is 0): the same places FindDigitGaps gives a BIN line, for
// the digits the line leaves out (leading zeros) as well.
bool GapLeftOfBit(int bit, int groupSize);

// The bit a character of a BIN line stands for: 0 for the last digit, one
// more for each digit to its left, rows counted as one number; -1 where
// `index` is no binary digit of a line that is one number.
int BitOfBinaryDigit(const char* line, int index);
