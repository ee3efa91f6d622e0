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

void CopyDigits(EngineState& state) {
  while (IsDigit(CurrentChar(state))) {
    AppendToToken(state, CurrentChar(state));
    Advance(state);
  }
}

// Digits after "0x" or "$": letters are upper-cased and must not pass "F";
// the token ends at the first character that is neither digit nor letter.
void ReadPrefixedHexDigits(EngineState& state) {
  state.tokenKind = TokenKind::Hex;
  for (char c = CurrentChar(state); IsDigit(c) || IsLetter(c); c = CurrentChar(state)) {
    c = ToUpper(c);
    if (c > 'F') return FailWith(state, kMsgHexLetterBeyondF);
    AppendToToken(state, c);
    Advance(state);
  }
}

// Decimal digits already read, continued with letters up to a closing "h".
void ReadSuffixedHexDigits(EngineState& state) {
  state.tokenKind = TokenKind::Hex;
  for (char c = CurrentChar(state); IsDigit(c) || IsLetter(c); c = CurrentChar(state)) {
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

// A number starting with a digit: prefix hex, or digits decided by what follows.
void ReadNumber(EngineState& state) {
  if (CurrentChar(state) == '0' && (CharAhead(state, 1) == 'x' || CharAhead(state, 1) == 'X')) {
    Advance(state);
    Advance(state);
    return ReadPrefixedHexDigits(state);
  }
  state.tokenKind = TokenKind::Decimal;
  bool allOctal = true;
  bool allBinary = true;
  for (char c = CurrentChar(state); IsDigit(c); c = CurrentChar(state)) {
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

// Digits up to this many are an integer below 2^53: exact as a double.
constexpr int kExactIntegerDigits = 15;

// The two commonest tokens, read in one go with the positions in locals:
// digits alone (no prefix, suffix, fraction or exponent follows), whose
// value is taken on the way when it is exact, and an operator of one
// character. False leaves the state untouched for the general readers,
// which also take a token appended to an earlier one.
bool ReadPlainToken(EngineState& state, char first) {
  if (state.tokenWritePos != 0) return false;
  const int start = state.inputPos;
  int end = start + 1;
  TokenKind kind = TokenKind::Operator;
  bool valueKnown = false;
  if (IsDigit(first)) {
    if (first == '0' && ToUpper(CharAt(state, end)) == 'X') return false;
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
    if (next == '.' || IsLetter(next)) return false;
    kind = TokenKind::Decimal;
    valueKnown = end - start <= kExactIntegerDigits;
    state.tokenValue = static_cast<double>(value);
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
