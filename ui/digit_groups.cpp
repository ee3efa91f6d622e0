#include "ui/digit_groups.h"

#include <cstring>

namespace {

// The part of a line that holds its digits: [first, end), after any sign
// and prefix. Empty (first == end) when the line is not one number.
struct DigitSpan {
  int first = 0;
  int end = 0;
};

bool IsFormDigit(int form, char c) {
  switch (form) {
    case kFormBin:
      return c == '0' || c == '1';
    case kFormOct:
      return c >= '0' && c <= '7';
    case kFormHex:
      return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
    default:
      return false;
  }
}

// The radix prefix a form's number may carry.
const char* FormPrefix(int form) {
  switch (form) {
    case kFormBin:
      return "0b";
    case kFormOct:
      return "0o";
    case kFormHex:
      return "0x";
    default:
      return "";
  }
}

// Skips a sign and the form's prefix (either case), then checks that only
// digits of the form follow, with row breaks only in a BIN line and only
// between digits.
DigitSpan FindDigitSpan(int form, const char* line) {
  int first = (line[0] == '-' || line[0] == '+') ? 1 : 0;
  const char* prefix = FormPrefix(form);
  if (line[first] == prefix[0] && line[first + 1] != '\0' && (line[first + 1] | 0x20) == prefix[1]) first += 2;
  const int end = static_cast<int>(std::strlen(line));
  if (first == end) return {};
  for (int i = first; i < end; ++i) {
    if (IsFormDigit(form, line[i])) continue;
    const bool rowBreak = form == kFormBin && line[i] == '\n' && i > first && i + 1 < end && line[i + 1] != '\n';
    if (!rowBreak) return {};
  }
  return {first, end};
}

}  // namespace

int DigitGroupSize(int form) {
  switch (form) {
    case kFormHex:
    case kFormBin:
      return 4;
    case kFormOct:
      return 3;
    default:
      return 0;
  }
}

DigitGaps FindDigitGaps(int form, const char* line) {
  DigitGaps gaps;
  const int size = DigitGroupSize(form);
  if (size == 0) return gaps;
  const DigitSpan span = FindDigitSpan(form, line);
  if (span.first == span.end) return gaps;
  gaps.groupSize = size;
  // Walks from the last digit leftwards; a gap goes before every digit that
  // closes a group on its left, unless a row starts there.
  int counted = 0;
  int reversed[kDigitGapCapacity] = {};
  for (int i = span.end - 1; i > span.first && gaps.count < kDigitGapCapacity; --i) {
    if (line[i] == '\n') continue;
    ++counted;
    if (counted % size == 0 && line[i - 1] != '\n') reversed[gaps.count++] = i;
  }
  for (int k = 0; k < gaps.count; ++k) gaps.before[k] = reversed[gaps.count - 1 - k];
  return gaps;
}

bool GapLeftOfBit(int bit, int groupSize) {
  const int counted = bit + 1;
  return groupSize > 0 && counted % groupSize == 0 && counted % kBinaryRowDigits != 0;
}

int BitOfBinaryDigit(const char* line, int index) {
  const DigitSpan span = FindDigitSpan(kFormBin, line);
  if (index < span.first || index >= span.end || line[index] == '\n') return -1;
  int bit = 0;
  for (int i = index + 1; i < span.end; ++i) bit += line[i] != '\n' ? 1 : 0;
  return bit;
}
