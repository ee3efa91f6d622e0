#pragma once
// Message indices of the language files' OPERATIONS section. The engine names
// a failure only by its index; the text comes from the loaded language.

inline constexpr int kMessageCount = 36;
// A translated text keeps at most 39 characters: 39 bytes of a single-byte
// text, or 39 UTF-8 characters of up to 4 bytes each, and the terminator.
inline constexpr int kTextCharacterLimit = 39;
inline constexpr int kTextSlotCapacity = 4 * kTextCharacterLimit + 1;

// The translated message texts, one slot per index.
using MessageTexts = char[kMessageCount][kTextSlotCapacity];

enum MessageIndex : int {
  kMsgTooLargeForIntegerForms = 0,
  kMsgHexLetterBeyondF = 1,
  kMsgOctalSuffixBadDigit = 2,
  kMsgBinarySuffixBadDigit = 3,
  kMsgHexWithoutSuffix = 4,
  kMsgExponentWithoutDigits = 5,
  kMsgSyntax = 6,  // default: operands left over
  kMsgNameTooLong = 7,
  kMsgUnexpectedCharacter = 8,
  kMsgTableFull = 9,
  kMsgUnknownName = 10,
  kMsgMissingOpeningBracket = 11,
  kMsgUnbalancedBracket = 12,
  kMsgTooFewForPlus = 13,
  kMsgTooFewForMinus = 14,
  kMsgTooFewForMultiply = 15,
  kMsgTooFewForDivide = 16,
  kMsgDivisionByZero = 17,
  kMsgTooFewForIntegerDivide = 18,    // "!"
  kMsgTooFewForRemainder = 19,        // "%"
  kMsgTooFewForShiftLeft = 20,        // "<<"
  kMsgTooFewForShiftRight = 21,       // ">>"
  kMsgTooFewForLess = 22,             // "<"
  kMsgTooFewForGreater = 23,          // ">"
  kMsgTooFewForGreaterOrEqual = 24,   // ">="
  kMsgTooFewForLessOrEqual = 25,      // "<="
  kMsgTooFewForNotEqual = 26,         // "<>"
  kMsgTooFewForEqual = 27,            // "="
  kMsgTooFewForPower = 28,            // "^"
  kMsgTooFewForBitwiseAnd = 29,       // "&"
  kMsgTooFewForBitwiseOr = 30,        // "|"
  kMsgTooFewForLogicalAnd = 31,       // "&&"
  kMsgTooFewForLogicalOr = 32,        // "||"
  kMsgTooFewForExclusiveOr = 33,      // "\\", one backslash
  kMsgFunctionWithoutArgument = 34,
  kMsgArgumentOutOfDomain = 35,
};
// Every index of the language files has its name; the last one closes the table.
static_assert(kMsgArgumentOutOfDomain == kMessageCount - 1);
