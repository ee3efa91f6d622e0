// Infix to RPN in one left-to-right pass (shunting yard), then evaluation.
// Brackets, the constant "pi" and the rule that a function name is followed
// by "(" live here; operators, functions, their priorities and which
// operators are signs come from the vocabulary (engine/vocabulary.h).

#include <cstring>

#include "engine/calculate.h"
#include "engine/decimal_literal.h"
#include "engine/lexer_internal.h"
#include "engine/messages.h"
#include "engine/operations.h"
#include "engine/vocabulary.h"

namespace {

// "(" waits on the operator stack below every row of the vocabulary.
constexpr int kBracketPriority = 0;
static_assert(kBracketPriority < kAdditivePriority && kAdditivePriority < kMultiplicativePriority &&
              kMultiplicativePriority < kHighPriority);

bool AppendNumber(EngineState& state, double value, const ExactInteger& exact) {
  if (state.rpnCount >= kTableCapacity) {
    FailWith(state, kMsgTableFull);
    return false;
  }
  RpnItem& item = state.rpnQueue[state.rpnCount++];
  item.kind = RpnItemKind::Number;
  item.value = value;
  CopyExact(item.exact, exact);
  item.offset = state.tokenStart;
  return true;
}

// Moves the top stack entry to the queue as an operation.
bool MoveTopEntry(EngineState& state) {
  if (state.rpnCount >= kTableCapacity) {
    FailWith(state, kMsgTableFull);
    return false;
  }
  const OperatorStackEntry& top = state.operatorStack[--state.operatorTop];
  RpnItem& item = state.rpnQueue[state.rpnCount++];
  item.kind = RpnItemKind::Operation;
  static_assert(sizeof(item.name) >= sizeof(top.text));
  std::memcpy(item.name, top.text, sizeof(top.text));
  item.offset = top.offset;
  // The row was found when the token was read; the evaluator applies it
  // without looking at the name.
  item.operation = top.operation;
  return true;
}

// Pushes an operator or function of the vocabulary with its row, so that
// nothing looks its name up again.
bool PushOperation(EngineState& state, const Operation& operation, int priority) {
  return PushEntry(state, priority, static_cast<int16_t>(&operation - kVocabulary));
}

// Moves entries of at least `priority`; never passes "(" (priority 0).
bool PopDownToPriority(EngineState& state, int priority) {
  while (state.operatorTop > 0 && state.operatorStack[state.operatorTop - 1].priority >= priority) {
    if (!MoveTopEntry(state)) return false;
  }
  return true;
}

void ReadToken(EngineState& state) {
  state.tokenWritePos = 0;
  NextToken(state);
}

// Only "(" waits with the bracket priority; every row has a higher one.
bool IsOpeningBracket(const OperatorStackEntry& entry) { return entry.priority == kBracketPriority; }

// A function name must be followed at once by "(".
bool HandleFunction(EngineState& state, const Operation& function) {
  if (!PushOperation(state, function, function.priority)) return false;
  ReadToken(state);
  if (state.tokenKind != TokenKind::Operator || !TokenIs(state.tokenText, "(")) {
    FailWith(state, kMsgMissingOpeningBracket);
    return false;
  }
  if (!PushOperator(state, kBracketPriority)) return false;
  state.expectOperand = 1;
  return true;
}

// "pi" and "ans" are numbers: pi's double, and the value the caller keeps
// as the answer (the last Calculate, the previous line).
bool HandleName(EngineState& state) {
  if (TokenIs(state.tokenText, "pi")) {
    state.expectOperand = 0;
    return AppendNumber(state, kPi, kNotExact);
  }
  if (TokenIs(state.tokenText, "ans")) {
    state.expectOperand = 0;
    return AppendNumber(state, state.answer, state.answerExact);
  }
  const Operation* function = FindOperation(state.tokenText);
  if (function != nullptr && IsFunction(*function)) return HandleFunction(state, *function);
  FailWith(state, kMsgUnknownName);
  return false;
}

// Moves entries until the matching "(", which is discarded.
bool HandleClosingBracket(EngineState& state) {
  if (state.operatorTop == 0) {
    FailWith(state, kMsgMissingOpeningBracket);
    return false;
  }
  while (state.operatorTop > 0) {
    if (IsOpeningBracket(state.operatorStack[state.operatorTop - 1])) {
      --state.operatorTop;
      return true;
    }
    if (!MoveTopEntry(state)) return false;
  }
  FailWith(state, kMsgUnbalancedBracket);
  return false;
}

bool PushBinary(EngineState& state, const Operation& operation) {
  state.expectOperand = 0;
  return PopDownToPriority(state, operation.priority) && PushOperation(state, operation, operation.priority);
}

// Where an operand is expected, a unary minus queues 0 now and itself after
// its operand, a unary plus is dropped; signs after it are signs too.
bool HandleSign(EngineState& state, const Operation& sign) {
  if (sign.asSign == SignUse::Dropped) return true;
  return AppendNumber(state, 0.0, kExactZero) && PushOperation(state, sign, sign.priority);
}

// "~" applies to the operand that follows it, wherever it stands: it waits
// on the stack like a function, and what follows it is an operand, so a
// "-" there is a sign.
bool HandlePrefix(EngineState& state, const Operation& operation) {
  state.expectOperand = 1;
  return PushOperation(state, operation, operation.priority);
}

// An operator of the vocabulary, where it is a binary operator or a sign.
bool HandleVocabularyOperator(EngineState& state, const Operation& operation) {
  if (operation.isPrefix) return HandlePrefix(state, operation);
  if (state.expectOperand == 1 && operation.asSign != SignUse::NotASign) return HandleSign(state, operation);
  return PushBinary(state, operation);
}

bool HandleOperator(EngineState& state) {
  const Operation* operation = FindOperation(state.tokenText);
  if (operation != nullptr && !IsFunction(*operation)) return HandleVocabularyOperator(state, *operation);
  if (TokenIs(state.tokenText, ")")) return HandleClosingBracket(state);
  if (TokenIs(state.tokenText, "(")) {
    state.expectOperand = 1;
    return PushOperator(state, kBracketPriority);
  }
  return true;  // "><" names nothing: dropped
}

// The value of a number token, by its notation: integer literals keep their
// exact integer beside the nearest double while they fit the exact range;
// beyond it, and for real literals, the double alone as always.
// The double of a number token that has no exact integer, by its notation.
double NumberTokenValue(const EngineState& state) {
  switch (state.tokenKind) {
    case TokenKind::Hex: return HexDigitsToValue(state.tokenText);
    case TokenKind::Octal: return OctalDigitsToValue(state.tokenText);
    case TokenKind::Binary: return BinaryDigitsToValue(state.tokenText);
    default: return DecimalLiteralToValue(state.tokenText);
  }
}

bool AppendNumberToken(EngineState& state) {
  ExactInteger exact = kNotExact;
  switch (state.tokenKind) {
    case TokenKind::Hex:
      if (state.tokenValueKnown) return AppendNumber(state, state.tokenValue, state.tokenExact);
      exact = DigitsToExact(state.tokenText, 4);
      break;
    case TokenKind::Octal: exact = DigitsToExact(state.tokenText, 3); break;
    case TokenKind::Binary: exact = DigitsToExact(state.tokenText, 1); break;
    case TokenKind::Decimal:
      if (state.tokenValueKnown) return AppendNumber(state, state.tokenValue, state.tokenExact);
      exact = DecimalDigitsToExact(state.tokenText);
      break;
    default: break;
  }
  if (IsExact(exact)) return AppendNumber(state, NearestDouble(exact), exact);
  return AppendNumber(state, NumberTokenValue(state), kNotExact);
}

bool HandleToken(EngineState& state) {
  switch (state.tokenKind) {
    case TokenKind::Decimal:
    case TokenKind::Real:
    case TokenKind::Hex:
    case TokenKind::Octal:
    case TokenKind::Binary:
      state.expectOperand = 0;
      return AppendNumberToken(state);
    case TokenKind::Name:
      return HandleName(state);
    case TokenKind::Operator:
      return HandleOperator(state);
    case TokenKind::Error:
    case TokenKind::End:
      break;
  }
  return false;
}

// Moves what is left on the stack; an unclosed "(" is an error.
bool FlushOperators(EngineState& state) {
  while (state.operatorTop > 0) {
    const OperatorStackEntry& top = state.operatorStack[state.operatorTop - 1];
    if (IsOpeningBracket(top)) {
      FailAt(state, kMsgUnbalancedBracket, top.offset);  // the bracket left open
      return false;
    }
    if (!MoveTopEntry(state)) return false;
  }
  return true;
}

void ResetForCalculation(EngineState& state) {
  state.inputPos = 0;
  state.result = 0.0;
  state.resultExact = kNotExact;
  state.rpnCount = 0;
  state.operatorTop = 0;
  state.expectOperand = 1;
  state.messageIndex = kMsgSyntax;
  state.errorOffset = 0;
}

}  // namespace

bool PushOperator(EngineState& state, int32_t priority) { return PushEntry(state, priority, kNoOperation); }

bool PushEntry(EngineState& state, int32_t priority, int16_t row) {
  if (state.operatorTop >= kTableCapacity) {
    FailWith(state, kMsgTableFull);
    return false;
  }
  OperatorStackEntry& entry = state.operatorStack[state.operatorTop];
  // Tokens pushed here are at most 9 characters; a fixed-size copy with a
  // forced terminator is both bounded and cheaper than measuring the text.
  static_assert(sizeof(entry.text) <= sizeof(state.tokenText));
  std::memcpy(entry.text, state.tokenText, sizeof(entry.text));
  entry.text[sizeof(entry.text) - 1] = '\0';
  entry.priority = priority;
  entry.offset = state.tokenStart;
  entry.operation = row;
  ++state.operatorTop;
  return true;
}

void CalculateExpression(EngineState& state) {
  ResetForCalculation(state);
  for (ReadToken(state); state.tokenKind != TokenKind::End; ReadToken(state)) {
    if (!HandleToken(state)) return;
  }
  if (!FlushOperators(state)) return;
  EvaluateRpn(state);
}
