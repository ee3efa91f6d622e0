#pragma once
// Small helpers shared by the lexer and the parser.

#include "engine/engine_state.h"

// Marks the calculation failed with `message`; later stages see tokenKind and stop.
inline void FailWith(EngineState& state, int message) {
  state.tokenKind = TokenKind::Error;
  state.messageIndex = message;
}

inline bool TokenIs(const char* text, const char* expected) {
  while (*text != '\0' && *text == *expected) {
    ++text;
    ++expected;
  }
  return *text == *expected;
}
