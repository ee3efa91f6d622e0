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
