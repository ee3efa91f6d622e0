#include "ui/result_notes.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "settings/optional_texts.h"

namespace {

bool IsWordChar(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '.' || c == '$';
}
bool IsPairChar(char c) { return c == '<' || c == '>' || c == '=' || c == '&' || c == '|'; }

int ExpressionLength(const EngineState& state) {
  const void* end = std::memchr(state.expression, '\0', kExpressionCapacity);
  return end == nullptr ? kExpressionMaxLength : static_cast<int>(static_cast<const char*>(end) - state.expression);
}

// Characters before byte `offset`, counting a UTF-8 sequence once.
int CharactersBefore(const char* text, int offset) {
  int count = 0;
  for (int i = 0; i < offset; ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) ++count;
  }
  return count;
}

}  // namespace

ErrorPlace FindErrorPlace(const EngineState& state) {
  const int length = ExpressionLength(state);
  const int start = state.errorOffset < 0 ? 0 : (state.errorOffset > length ? length : state.errorOffset);
  int end = start;
  const char* text = state.expression;
  if (end < length && IsWordChar(text[end])) {
    while (end < length && IsWordChar(text[end])) ++end;
  } else if (end < length) {
    ++end;
    // A byte of a UTF-8 character belongs with the rest of the character.
    while (end < length && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) ++end;
    if (end < length && IsPairChar(text[start]) && IsPairChar(text[end])) ++end;
  }
  return {start, end};
}

void ComposeErrorNote(const EngineState& state, const ErrorPlace& place, char* buffer, std::size_t capacity) {
  if (capacity == 0) return;
  const char* lead = OptionalText(OptionalTextIndex("errorat"));
  const int position = CharactersBefore(state.expression, place.start) + 1;
  if (place.end > place.start) {
    std::snprintf(buffer, capacity, "%s %d: %.*s", lead, position, place.end - place.start,
                  state.expression + place.start);
  } else {
    std::snprintf(buffer, capacity, "%s %d", lead, position);
  }
}

// The lead of the note for the word's size: "low 16 bits of".
const char* LowBitsLead(int bits) {
  switch (bits) {
    case 8: return OptionalText(OptionalTextIndex("lowbits8"));
    case 16: return OptionalText(OptionalTextIndex("lowbits16"));
    case 64: return OptionalText(OptionalTextIndex("lowbits64"));
    default: return OptionalText(OptionalTextIndex("lowbits"));
  }
}

void ComposeHiddenBitsNote(const EngineState& state, char* buffer, std::size_t capacity) {
  if (capacity == 0) return;
  buffer[0] = '\0';
  const double value = state.result;
  if (state.tokenKind == TokenKind::Error || IntegerLinesShowMessage(state) || !IntegerLinesHideBits(state)) return;
  // A fraction whose whole part fits the word loses only the fraction.
  const WordSize word = WordOf(state);
  const double whole = std::trunc(value);
  const bool inRange = std::isfinite(value) && !IsExact(state.resultExact) &&
                       whole >= -std::ldexp(1.0, word.bits - 1) && whole <= std::ldexp(1.0, word.bits) - 1.0;
  const char* lead = inRange ? OptionalText(OptionalTextIndex("wholepart")) : LowBitsLead(word.bits);
  char shown[kNoteCapacity];
  FormatShortestResult(state, shown, sizeof shown);
  std::snprintf(buffer, capacity, "%s %s", lead, shown);
}
