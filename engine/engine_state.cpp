#include "engine/engine_state.h"

#include <cstring>

EngineState& ProgramEngineState() {
  // Static storage is zero-filled: before the first calculation the state
  // reads as a success with the value 0.0.
  static EngineState state;
  return state;
}

void SetExpression(EngineState& state, std::string_view text) {
  std::size_t length = text.size();
  if (length > kExpressionMaxLength) length = kExpressionMaxLength;
  std::memcpy(state.expression, text.data(), length);
  state.expression[length] = '\0';
}

void SetWordSize(EngineState& state, const WordSize& word) {
  const WordSize valid = MakeWordSize(word.bits, word.isUnsigned);
  state.wordBits = valid.bits;
  state.wordUnsigned = valid.isUnsigned;
}

void KeepResultAsAnswer(EngineState& state) {
  state.answer = state.result;
  state.answerExact = state.resultExact;
}

void ResetAnswer(EngineState& state) {
  state.answer = 0.0;
  state.answerExact = kExactZero;
}
