// Infix to RPN in one left-to-right pass (shunting yard), then evaluation.
// The operator vocabulary, priorities and sign rules live here.

#include <algorithm>
#include <cstring>
#include <iterator>

#include "engine/calculate.h"
#include "engine/decimal_literal.h"
#include "engine/lexer_internal.h"
#include "engine/messages.h"
#include "engine/operations.h"

namespace {

constexpr int kBracketPriority = 0;
constexpr int kAdditivePriority = 1;
constexpr int kMultiplicativePriority = 2;
constexpr int kHighPriority = 5;  // functions and every other binary operator

// The names that take a bracketed argument.
constexpr const char* kFunctionNames[] = {
    "sin", "cos", "exp", "ln", "tg", "ctg", "arctg", "arcctg", "int", "frac", "rad", "grad",
    "sign", "lg", "sqr", "sqrt", "arcsin", "arccos", "fact", "abs", "round", "sec", "cosec"};
static_assert(std::size(kFunctionNames) == 23);

// Binary operators of the highest priority; "+ - * /" are handled apart.
constexpr const char* kHighPriorityOperators[] = {
    "!", "%", "<<", ">>", "^", "<", ">", ">=", "<=", "<>", "=", "&", "|", "&&", "||", "\\"};
static_assert(std::size(kHighPriorityOperators) == 16);

template <std::size_t N>
bool IsOneOf(const char* text, const char* const (&list)[N]) {
  return std::any_of(std::begin(list), std::end(list),
                     [text](const char* candidate) { return TokenIs(text, candidate); });
}

bool AppendNumber(EngineState& state, double value) {
  if (state.rpnCount >= kTableCapacity) {
    FailWith(state, kMsgTableFull);
    return false;
  }
  RpnItem& item = state.rpnQueue[state.rpnCount++];
  item.kind = RpnItemKind::Number;
  item.value = value;
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
  return true;
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

bool IsOpeningBracket(const OperatorStackEntry& entry) { return TokenIs(entry.text, "("); }

// A function name must be followed at once by "(".
bool HandleFunction(EngineState& state) {
  if (!PushOperator(state, kHighPriority)) return false;
  ReadToken(state);
  if (state.tokenKind != TokenKind::Operator || !TokenIs(state.tokenText, "(")) {
    FailWith(state, kMsgMissingOpeningBracket);
    return false;
  }
  if (!PushOperator(state, kBracketPriority)) return false;
  state.expectOperand = 1;
  return true;
}

bool HandleName(EngineState& state) {
  if (TokenIs(state.tokenText, "pi")) {
    state.expectOperand = 0;
    return AppendNumber(state, kPi);
  }
  if (IsOneOf(state.tokenText, kFunctionNames)) return HandleFunction(state);
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

bool PushBinary(EngineState& state, int priority) {
  return PopDownToPriority(state, priority) && PushOperator(state, priority);
}

bool HandleSign(EngineState& state, bool isMinus) {
  if (state.expectOperand == 1) {
    // A sign: "-" queues 0 now and "-" after its operand, "+" is dropped;
    // further signs after it are signs too.
    if (!isMinus) return true;
    return AppendNumber(state, 0.0) && PushOperator(state, kAdditivePriority);
  }
  return PushBinary(state, kAdditivePriority);
}

bool HandleOperator(EngineState& state) {
  const char* text = state.tokenText;
  if (text[1] == '\0') {
    switch (text[0]) {
      case ')': return HandleClosingBracket(state);
      case '(':
        state.expectOperand = 1;
        return PushOperator(state, kBracketPriority);
      case '-': return HandleSign(state, true);
      case '+': return HandleSign(state, false);
      case '*':
      case '/':
        state.expectOperand = 0;
        return PushBinary(state, kMultiplicativePriority);
      default: break;
    }
  }
  if (IsOneOf(text, kHighPriorityOperators)) {
    state.expectOperand = 0;
    return PushBinary(state, kHighPriority);
  }
  return true;  // "><" is read as one token but means nothing: dropped
}

// The value of a number token, by its notation.
double NumberTokenValue(const EngineState& state) {
  switch (state.tokenKind) {
    case TokenKind::Hex: return HexDigitsToValue(state.tokenText);
    case TokenKind::Octal: return OctalDigitsToValue(state.tokenText);
    case TokenKind::Binary: return BinaryDigitsToValue(state.tokenText);
    default: return DecimalLiteralToValue(state.tokenText);
  }
}

bool HandleToken(EngineState& state) {
  switch (state.tokenKind) {
    case TokenKind::Decimal:
    case TokenKind::Real:
    case TokenKind::Hex:
    case TokenKind::Octal:
    case TokenKind::Binary:
      state.expectOperand = 0;
      return AppendNumber(state, NumberTokenValue(state));
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
    if (IsOpeningBracket(state.operatorStack[state.operatorTop - 1])) {
      FailWith(state, kMsgUnbalancedBracket);
      return false;
    }
    if (!MoveTopEntry(state)) return false;
  }
  return true;
}

void ResetForCalculation(EngineState& state) {
  state.inputPos = 0;
  state.result = 0.0;
  state.rpnCount = 0;
  state.operatorTop = 0;
  state.expectOperand = 1;
  state.messageIndex = kMsgSyntax;
}

}  // namespace

bool PushOperator(EngineState& state, int32_t priority) {
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
