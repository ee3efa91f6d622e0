#pragma once
// Small helpers shared by the lexer and the parser.

#include "engine/engine_state.h"

// Marks the calculation failed with `message` at the token starting at
// `offset`; later stages see tokenKind and stop.
inline void FailAt(EngineState& state, int message, int32_t offset) {
  state.tokenKind = TokenKind::Error;
  state.messageIndex = message;
  state.errorOffset = offset;
}
// The same, at the token read last: where the lexer and the parser fail.
inline void FailWith(EngineState& state, int message) { FailAt(state, message, state.tokenStart); }

// The lexer's general token reader, behind its short path for plain
// digits and one-character operators; `first` is the token's first
// character, not the terminator.
void ReadAnyToken(EngineState& state, char first);

inline bool TokenIs(const char* text, const char* expected) {
  while (*text != '\0' && *text == *expected) {
    ++text;
    ++expected;
  }
  return *text == *expected;
}
