// The lexer: one token per NextToken call, read from `expression` at
// `inputPos` into `tokenText`. Characters are signed 8-bit values, so bytes
// above 127 belong to no class and start no token.

#include <algorithm>
#include <array>
#include <cstdint>
#include <iterator>

#include "engine/calculate.h"
#include "engine/lexer_internal.h"
#include "engine/messages.h"
#include "engine/vocabulary.h"

namespace {

// The character at an offset from inputPos. The last byte of `expression`
// is always read as the terminator, so a text without one cannot be overrun.
char CharAt(const EngineState& state, int position) {
  return position < kExpressionMaxLength ? state.expression[position] : '\0';
}
char CharAhead(const EngineState& state, int offset) { return CharAt(state, state.inputPos + offset); }
char CurrentChar(const EngineState& state) { return CharAhead(state, 0); }
void Advance(EngineState& state) { ++state.inputPos; }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
char ToUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }
char ToLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
bool IsHexLetter(char c) { return (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

// Appends one character; the token text is sized for the longest token an
// expression can give, and the bound keeps that true for any input.
void AppendToToken(EngineState& state, char c) {
  if (state.tokenWritePos < kTokenTextCapacity - 1) state.tokenText[state.tokenWritePos++] = c;
}
void TerminateToken(EngineState& state) {
  const int end = state.tokenWritePos < kTokenTextCapacity ? state.tokenWritePos : kTokenTextCapacity - 1;
  state.tokenText[end] = '\0';
}

bool IsHexDigit(char c) { return IsDigit(c) || IsHexLetter(c); }
bool IsOctalDigit(char c) { return c >= '0' && c <= '7'; }
bool IsBinaryDigit(char c) { return c == '0' || c == '1'; }

// Whether the character at `position` is a "_" between two digits of the
// kind `isDigit` accepts.
bool IsDigitSeparatorAt(const EngineState& state, int position, bool (*isDigit)(char)) {
  return CharAt(state, position) == '_' && position > 0 && isDigit(CharAt(state, position - 1)) &&
         isDigit(CharAt(state, position + 1));
}

// Whether the cursor stands on a "_" that separates two digits of a number
// ("1_000", "0xFFFF_FFFF"): the character before it and the one after it
// are both digits of the kind `isDigit` accepts. Any other "_" is left to
// end the number, and then starts no token.
bool AtDigitSeparator(const EngineState& state, bool (*isDigit)(char)) {
  return IsDigitSeparatorAt(state, state.inputPos, isDigit);
}

// Steps over a separator; true when there was one.
bool SkipDigitSeparator(EngineState& state, bool (*isDigit)(char)) {
  if (!AtDigitSeparator(state, isDigit)) return false;
  Advance(state);
  return true;
}

// A separator is only skipped before a digit, so a digit is read next. The
// positions are kept in locals while the digits are read.
void CopyDigits(EngineState& state) {
  int position = state.inputPos;
  int written = state.tokenWritePos;
  for (char c = CharAt(state, position);; c = CharAt(state, position)) {
    if (!IsDigit(c)) {
      if (!IsDigitSeparatorAt(state, position, IsDigit)) break;
      c = CharAt(state, ++position);
    }
    if (written < kTokenTextCapacity - 1) state.tokenText[written++] = c;
    ++position;
  }
  state.inputPos = position;
  state.tokenWritePos = written;
}

// Digits after "0x" or "$": letters are upper-cased and must not pass "F";
// the token ends at the first character that is neither digit nor letter.
// The positions are kept in locals while the digits are read, and stored
// when the token ends.
void ReadPrefixedHexDigits(EngineState& state) {
  state.tokenKind = TokenKind::Hex;
  int position = state.inputPos;
  int written = state.tokenWritePos;
  for (char c = CharAt(state, position);; c = CharAt(state, position)) {
    if (!IsDigit(c) && !IsLetter(c)) {
      if (!IsDigitSeparatorAt(state, position, IsHexDigit)) break;
      ++position;
      continue;
    }
    c = ToUpper(c);
    if (c > 'F') {
      FailWith(state, kMsgHexLetterBeyondF);
      break;
    }
    if (written < kTokenTextCapacity - 1) state.tokenText[written++] = c;
    ++position;
  }
  state.inputPos = position;
  state.tokenWritePos = written;
}

// Decimal digits already read, continued with letters up to a closing "h".
void ReadSuffixedHexDigits(EngineState& state) {
  state.tokenKind = TokenKind::Hex;
  for (char c = CurrentChar(state); IsDigit(c) || IsLetter(c) || SkipDigitSeparator(state, IsHexDigit);
       c = CurrentChar(state)) {
    if (c == '_') continue;
    c = ToUpper(c);
    if (c == 'H') break;
    if (c > 'F') return FailWith(state, kMsgHexLetterBeyondF);
    AppendToToken(state, c);
    Advance(state);
  }
  if (ToUpper(CurrentChar(state)) != 'H') return FailWith(state, kMsgHexWithoutSuffix);
  Advance(state);
}

// "E", the sign ("+" when none is written) and at least one digit.
void ReadExponent(EngineState& state) {
  state.tokenKind = TokenKind::Real;
  AppendToToken(state, 'E');
  Advance(state);
  const char sign = CurrentChar(state);
  if (sign == '+' || sign == '-') {
    AppendToToken(state, sign);
    Advance(state);
  } else {
    AppendToToken(state, '+');
  }
  if (!IsDigit(CurrentChar(state))) return FailWith(state, kMsgExponentWithoutDigits);
  CopyDigits(state);
}

void ReadFraction(EngineState& state) {
  state.tokenKind = TokenKind::Real;
  AppendToToken(state, '.');
  Advance(state);
  CopyDigits(state);
  const char c = CurrentChar(state);
  if (c == 'e' || c == 'E') ReadExponent(state);
}

bool StartsExponent(const EngineState& state) {
  const char c = CurrentChar(state);
  const char next = CharAhead(state, 1);
  return (c == 'e' || c == 'E') && (IsDigit(next) || next == '-' || next == '+');
}

// Digits after "0b" or "0o", the first of which is a decimal digit: every
// digit must be one of the base, else message 3 or 2 as for the suffix
// notations.
void ReadPrefixedDigits(EngineState& state, TokenKind kind) {
  state.tokenKind = kind;
  const bool binary = kind == TokenKind::Binary;
  bool (*const isDigitOfBase)(char) = binary ? IsBinaryDigit : IsOctalDigit;
  for (char c = CurrentChar(state); IsDigit(c) || SkipDigitSeparator(state, isDigitOfBase); c = CurrentChar(state)) {
    if (c == '_') continue;
    if (!isDigitOfBase(c)) return FailWith(state, binary ? kMsgBinarySuffixBadDigit : kMsgOctalSuffixBadDigit);
    AppendToToken(state, c);
    Advance(state);
  }
}

// The prefix notations "0x", "0b" and "0o" (either case). "0b" and "0o"
// count as prefixes only before a digit: "0b" alone is the binary number 0
// in suffix notation, as it always was.
bool ReadPrefixedNumber(EngineState& state) {
  if (CurrentChar(state) != '0') return false;
  const char marker = ToUpper(CharAhead(state, 1));
  const bool digitFollows = IsDigit(CharAhead(state, 2));
  if (marker != 'X' && !((marker == 'B' || marker == 'O') && digitFollows)) return false;
  Advance(state);
  Advance(state);
  if (marker == 'X') {
    ReadPrefixedHexDigits(state);
  } else {
    ReadPrefixedDigits(state, marker == 'B' ? TokenKind::Binary : TokenKind::Octal);
  }
  return true;
}

// A number starting with a digit: a prefix notation, or digits decided by
// what follows.
void ReadNumber(EngineState& state) {
  if (ReadPrefixedNumber(state)) return;
  state.tokenKind = TokenKind::Decimal;
  bool allOctal = true;
  bool allBinary = true;
  for (char c = CurrentChar(state); IsDigit(c) || SkipDigitSeparator(state, IsDigit); c = CurrentChar(state)) {
    if (c == '_') continue;
    if (c > '7') allOctal = false;
    if (c > '1') allBinary = false;
    AppendToToken(state, c);
    Advance(state);
  }
  const char after = ToUpper(CurrentChar(state));
  if (after == 'H') {
    state.tokenKind = TokenKind::Hex;
    Advance(state);
  } else if (after == 'O') {
    if (!allOctal) return FailWith(state, kMsgOctalSuffixBadDigit);
    state.tokenKind = TokenKind::Octal;
    Advance(state);
  } else if (after == 'B') {
    if (!allBinary) return FailWith(state, kMsgBinarySuffixBadDigit);
    state.tokenKind = TokenKind::Binary;
    Advance(state);
  } else if (StartsExponent(state)) {
    ReadExponent(state);
  } else if (IsHexLetter(after)) {
    ReadSuffixedHexDigits(state);
  } else if (after == '.') {
    ReadFraction(state);
  }
}

// Letters and digits, lower-cased; the tenth character is an error.
void ReadName(EngineState& state) {
  state.tokenKind = TokenKind::Name;
  int count = 0;
  for (char c = CurrentChar(state); IsDigit(c) || IsLetter(c); c = CurrentChar(state)) {
    AppendToToken(state, ToLower(c));
    if (++count > kNameMaxLength) return FailWith(state, kMsgNameTooLong);
    Advance(state);
  }
}

// The lexer's view of the vocabulary: which characters start an operator
// token and which two characters form one, both derived from the rows.
// Brackets and the "$" of hexadecimal numbers start tokens too but are no
// rows. "><" is read as one token though it names no operation: the parser
// drops it without error.
constexpr char kBracketsAndHexPrefix[] = "()$";
constexpr const char* kPairsWithoutOperation[] = {"><"};

constexpr int kPairCount = [] {
  int count = static_cast<int>(std::size(kPairsWithoutOperation));
  for (const Operation& operation : kVocabulary) {
    if (!IsFunction(operation) && TextLength(operation.text) == 2) ++count;
  }
  return count;
}();

// Per character below 128: whether it starts an operator token, and whether
// it starts one of two characters; and the two-character operators.
struct OperatorShapes {
  std::array<uint8_t, 128> classes{};
  std::array<std::array<char, 2>, kPairCount> pairs{};
};
constexpr uint8_t kStartsOperator = 1;
constexpr uint8_t kStartsPair = 2;

constexpr void AddShape(OperatorShapes& shapes, int& pairs, const char* text) {
  shapes.classes[static_cast<unsigned char>(text[0])] |= kStartsOperator;
  if (TextLength(text) != 2) return;
  shapes.classes[static_cast<unsigned char>(text[0])] |= kStartsPair;
  shapes.pairs[pairs++] = {text[0], text[1]};
}

constexpr OperatorShapes BuildOperatorShapes() {
  OperatorShapes shapes;
  int pairs = 0;
  for (const Operation& operation : kVocabulary) {
    if (!IsFunction(operation)) AddShape(shapes, pairs, operation.text);
  }
  for (const char* text : kPairsWithoutOperation) AddShape(shapes, pairs, text);
  for (const char* c = kBracketsAndHexPrefix; *c != '\0'; ++c) {
    shapes.classes[static_cast<unsigned char>(*c)] |= kStartsOperator;
  }
  return shapes;
}
constexpr OperatorShapes kOperatorShapes = BuildOperatorShapes();

// The lexer reads at most two characters into an operator token.
constexpr bool EveryOperatorHasOneOrTwoCharacters() {
  return std::ranges::all_of(kVocabulary, [](const Operation& operation) {
    const int length = TextLength(operation.text);
    return IsFunction(operation) || (length >= 1 && length <= 2);
  });
}
static_assert(EveryOperatorHasOneOrTwoCharacters());

// Bytes above 127 belong to no class.
uint8_t OperatorClassOf(char c) {
  const unsigned char code = static_cast<unsigned char>(c);
  return code < kOperatorShapes.classes.size() ? kOperatorShapes.classes[code] : 0;
}

bool IsOperatorChar(char c) { return (OperatorClassOf(c) & kStartsOperator) != 0; }

// Whether `second` extends `first` into one of the two-character operators.
bool FormsPair(char first, char second) {
  if ((OperatorClassOf(first) & kStartsPair) == 0) return false;
  return std::ranges::any_of(kOperatorShapes.pairs,
                             [first, second](const auto& pair) { return pair[0] == first && pair[1] == second; });
}

void ReadOperator(EngineState& state) {
  const char first = CurrentChar(state);
  if (first == '$') {
    Advance(state);
    return ReadPrefixedHexDigits(state);
  }
  state.tokenKind = TokenKind::Operator;
  AppendToToken(state, first);
  Advance(state);
  if (FormsPair(first, CurrentChar(state))) {
    AppendToToken(state, CurrentChar(state));
    Advance(state);
  }
}

// Any string of this many decimal digits is at most 10^19-1, below 2^64;
// any of this many hexadecimal digits at most 2^64-1.
constexpr int kDigitsBelowTwoTo64 = 19;
constexpr int kHexDigitsIn64Bits = 16;

// "0x" (either case) and hexadecimal digits alone, read as plain digits
// are: upper-cased into the token text, their value taken on the way and
// kept where no digit can have been lost. False, for anything the general
// reader decides (no digit, a letter beyond "F" or a "_" after them),
// leaves the state as it was but for the token text, which that reader
// writes again.
bool ReadPlainHexToken(EngineState& state) {
  const int start = state.inputPos + 2;
  int end = start;
  std::uint64_t value = 0;
  for (char c = CharAt(state, end); IsHexDigit(c); c = CharAt(state, ++end)) {
    const char upper = ToUpper(c);
    state.tokenText[end - start] = upper;
    const int digit = upper >= 'A' ? upper - 'A' + 10 : upper - '0';
    value = (value << 4) | static_cast<std::uint64_t>(digit);  // loses bits only beyond 16 digits, unused then
  }
  const char next = CharAt(state, end);
  if (end == start || next == '_' || IsLetter(next)) return false;
  const int length = end - start;
  state.tokenText[length] = '\0';
  state.tokenWritePos = length;
  state.tokenKind = TokenKind::Hex;
  state.tokenValueKnown = length <= kHexDigitsIn64Bits;
  state.tokenValue = static_cast<double>(value);
  state.tokenExact = ExactOfUnsigned(value);
  state.inputPos = end;
  return true;
}

// The point at `end` and the digits after it, appended to the digits the
// token text holds from `start`; `end` moves past them. False where an
// exponent, a "_" or another letter follows, which the general reader
// decides.
bool CopyPlainFraction(EngineState& state, int start, int& end) {
  state.tokenText[end - start] = '.';
  for (char c = CharAt(state, ++end); IsDigit(c); c = CharAt(state, ++end)) state.tokenText[end - start] = c;
  const char next = CharAt(state, end);
  return next != '_' && !IsLetter(next);
}

// The commonest tokens, read in one go with the positions in locals:
// digits alone (no prefix, suffix, fraction or exponent follows), whose
// value is taken on the way when it is exact, digits with a fraction and
// no exponent, and an operator of one character. False leaves the state
// untouched for the general readers, which also take a token appended to
// an earlier one.
bool ReadPlainToken(EngineState& state, char first) {
  if (state.tokenWritePos != 0) return false;
  const int start = state.inputPos;
  int end = start + 1;
  TokenKind kind = TokenKind::Operator;
  bool valueKnown = false;
  if (IsDigit(first)) {
    if (first == '0' && ToUpper(CharAt(state, end)) == 'X') return ReadPlainHexToken(state);
    // The digits go into the token text as they are read (at most the 999
    // of the expression: it has room); should the token turn out not to be
    // plain, the general reader writes it again from the start.
    std::uint64_t value = static_cast<std::uint64_t>(first - '0');
    state.tokenText[0] = first;
    for (char c = CharAt(state, end); IsDigit(c); c = CharAt(state, ++end)) {
      state.tokenText[end - start] = c;
      value = value * 10 + static_cast<std::uint64_t>(c - '0');  // wraps only beyond 19 digits, unused then
    }
    const char next = CharAt(state, end);
    if (next == '.') {
      // A real literal of digits, a point and digits; the parser reads its
      // value from the text.
      if (!CopyPlainFraction(state, start, end)) return false;
      kind = TokenKind::Real;
    } else {
      if (next == '_' || IsLetter(next)) return false;
      kind = TokenKind::Decimal;
      // An exact integer's double is the nearest one, which the conversion
      // of the 64-bit integer gives. Longer digit strings, which may exceed
      // 2^64-1, the parser reads from the text with an overflow check.
      valueKnown = end - start <= kDigitsBelowTwoTo64;
      state.tokenValue = static_cast<double>(value);
      state.tokenExact = ExactOfUnsigned(value);
    }
  } else {
    const uint8_t shape = OperatorClassOf(first);
    if ((shape & kStartsOperator) == 0 || first == '$') return false;
    if ((shape & kStartsPair) != 0 && FormsPair(first, CharAt(state, end))) return false;
    state.tokenText[0] = first;
  }
  const int length = end - start;
  state.tokenText[length] = '\0';
  state.tokenWritePos = length;
  state.tokenKind = kind;
  state.tokenValueKnown = valueKnown;
  state.inputPos = end;
  return true;
}

}  // namespace

bool SkipBlanks(EngineState& state) {
  while (CurrentChar(state) == ' ') Advance(state);
  return CurrentChar(state) != '\0';
}

bool IsDigitAt(const EngineState& state) { return IsDigit(CurrentChar(state)); }
bool IsLetterAt(const EngineState& state) { return IsLetter(CurrentChar(state)); }

bool IsOperatorCharAt(const EngineState& state) { return IsOperatorChar(CurrentChar(state)); }

void ReadAnyToken(EngineState& state, char first) {
  state.tokenValueKnown = false;
  if (IsDigit(first)) {
    ReadNumber(state);
  } else if (IsLetter(first)) {
    ReadName(state);
  } else if (IsOperatorChar(first)) {
    ReadOperator(state);
  } else {
    FailWith(state, kMsgUnexpectedCharacter);
  }
  TerminateToken(state);
}

void NextToken(EngineState& state) {
  int position = state.inputPos;
  while (CharAt(state, position) == ' ') ++position;
  state.inputPos = position;
  state.tokenStart = position;
  const char first = CharAt(state, position);
  if (first == '\0') {
    state.tokenKind = TokenKind::End;
    state.tokenValueKnown = false;
    return;
  }
  if (!ReadPlainToken(state, first)) ReadAnyToken(state, first);
}
