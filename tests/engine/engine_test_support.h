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
#include "engine/messages.h"
#include "tests/support/case_table.h"

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

// How every test spells a failure with `message`: "error:N".
inline std::string ErrorText(int message) { return "error:" + std::to_string(message); }

// "error:N" after a failure, else the value.
inline std::string Outcome(const EngineState& state) {
  if (state.tokenKind == TokenKind::Error) return ErrorText(state.messageIndex);
  return Shortest(state.result);
}

// An expected outcome in a table row: a text (a value, a queue, tokens) or
// the message of a failure, written by its name.
struct Expected {
  Expected(const char* value) : text(value) {}
  Expected(MessageIndex message) : text(ErrorText(message)) {}
  std::string text;
};

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

inline const char* KindName(TokenKind kind) {
  switch (kind) {
    case TokenKind::End: return "End";
    case TokenKind::Error: return "Error";
    case TokenKind::Decimal: return "Decimal";
    case TokenKind::Operator: return "Operator";
    case TokenKind::Name: return "Name";
    case TokenKind::Real: return "Real";
    case TokenKind::Hex: return "Hex";
    case TokenKind::Octal: return "Octal";
    case TokenKind::Binary: return "Binary";
  }
  return "?";
}

// Every token of the input as "Kind:text", space-separated, up to the end or
// the first error, which reads "error:N".
inline std::string Tokens(const std::string& input) {
  auto state = NewState();
  SetExpression(*state, input.c_str());
  std::string tokens;
  for (int guard = 0; guard < 100; ++guard) {
    state->tokenWritePos = 0;
    NextToken(*state);
    if (state->tokenKind == TokenKind::End) break;
    if (!tokens.empty()) tokens += ' ';
    if (state->tokenKind == TokenKind::Error) return tokens + ErrorText(state->messageIndex);
    tokens += std::string(KindName(state->tokenKind)) + ":" + state->tokenText;
  }
  return tokens;
}

// One row of an outcome table: the expression and what it calculates to.
struct OutcomeCase {
  int line;
  const char* expression;
  Expected outcome;  // shortest value text, "nan", "inf", or the failure's message
};

inline void ExpectOutcomes(std::span<const OutcomeCase> cases) {
  ForEachCase(cases, [&](const OutcomeCase& c) {
    EXPECT_EQ(OutcomeOf(c.expression), c.outcome.text);
  });
}

}  // namespace engine_test
