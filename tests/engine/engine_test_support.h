#pragma once
// Shared helpers of the engine tests: run a calculation on a fresh state and
// describe its outcome as one comparable text.

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <memory>
#include <span>
#include <string>

#include "engine/calculate.h"

namespace engine_test {

inline std::unique_ptr<EngineState> NewState() { return std::make_unique<EngineState>(); }

inline std::unique_ptr<EngineState> Calculate(const std::string& expression) {
  auto state = NewState();
  SetExpression(*state, expression.c_str());
  CalculateExpression(*state);
  return state;
}

// Shortest text that reads back to the same double.
inline std::string Shortest(double value) {
  if (std::isnan(value)) return "nan";
  char text[64];
  const auto end = std::to_chars(text, text + sizeof(text), value).ptr;
  return std::string(text, end);
}

// "error:N" after a failure, else the value.
inline std::string Outcome(const EngineState& state) {
  if (state.tokenKind == TokenKind::Error) return "error:" + std::to_string(state.messageIndex);
  return Shortest(state.result);
}

inline std::string OutcomeOf(const std::string& expression) { return Outcome(*Calculate(expression)); }

// The queue as "1 2 3 * +": numbers by shortest value, operations by name.
inline std::string QueueText(const EngineState& state) {
  std::string text;
  for (int i = 0; i < state.rpnCount; ++i) {
    if (!text.empty()) text += ' ';
    const RpnItem& item = state.rpnQueue[i];
    text += item.kind == RpnItemKind::Number ? Shortest(item.value) : std::string(item.name);
  }
  return text;
}

// One row of an outcome table: the expression and what it calculates to.
struct OutcomeCase {
  int line;
  const char* expression;
  const char* outcome;  // shortest value text, "nan", "inf", or "error:N"
};

inline void ExpectOutcomes(std::span<const OutcomeCase> cases) {
  for (const OutcomeCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "line " << c.line << ": " << c.expression);
    EXPECT_EQ(OutcomeOf(c.expression), c.outcome);
  }
}

}  // namespace engine_test
