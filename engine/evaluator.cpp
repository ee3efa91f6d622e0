// Evaluates the RPN queue on the operand stack.

#include "engine/calculate.h"
#include "engine/lexer_internal.h"
#include "engine/messages.h"
#include "engine/operations.h"
#include "engine/vocabulary.h"

namespace {

bool PushOperand(EngineState& state, const RpnItem& item) {
  if (state.operandCount >= kTableCapacity) {
    FailAt(state, kMsgTableFull, item.offset);
    return false;
  }
  // The stack needs the value and where it came from; the rest of the item
  // (its name, its row) is never read there.
  RpnItem& entry = state.operandStack[state.operandCount++];
  entry.kind = RpnItemKind::Number;
  entry.value = item.value;
  CopyExact(entry.exact, item.exact);
  entry.offset = item.offset;
  return true;
}

// Replaces the operation's operands by its result: the left operand's entry
// (or the single argument's) receives it. The integer computation, where
// the row has one, decides first; otherwise, or where it hands over, the
// double computation gives a value without an exact integer. A failure is
// placed at the operation's own token.
bool ApplyOperation(EngineState& state, const Operation& operation, int32_t offset) {
  if (state.operandCount < operation.operandCount) {
    FailAt(state, operation.tooFewMessage, offset);
    return false;
  }
  RpnItem& target = state.operandStack[state.operandCount - operation.operandCount];
  const RpnItem& right = state.operandStack[state.operandCount - 1];
  const double a = target.value;
  const double b = right.value;
  if (operation.tracesQueue) TraceRpn(state);
  if (operation.refusal.refuses != nullptr && operation.refusal.refuses(a, b)) {
    FailAt(state, operation.refusal.message, offset);
    return false;
  }
  Number result{0.0, kNotExact};
  const IntegerOutcome outcome = operation.integer == nullptr
                                     ? IntegerOutcome::UseDouble
                                     : operation.integer(target, right, WordOf(state), result);
  if (outcome == IntegerOutcome::Refused) {
    FailAt(state, operation.refusal.message, offset);
    return false;
  }
  // Rows without a double computation always decide in their integer one.
  if (outcome == IntegerOutcome::UseDouble) result = {operation.compute(a, b), kNotExact};
  target.kind = RpnItemKind::Number;
  target.value = result.value;
  CopyExact(target.exact, result.exact);
  state.operandCount -= operation.operandCount - 1;
  return true;
}

bool EvaluateItem(EngineState& state, const RpnItem& item) {
  if (item.kind != RpnItemKind::Operation) return PushOperand(state, item);
  // The parser resolved the row when it queued the item; a queue built any
  // other way without a valid row is a syntax error rather than an item the
  // walk could stall on.
  if (item.operation < 0 || item.operation >= kVocabularySize) {
    FailAt(state, kMsgSyntax, item.offset);
    return false;
  }
  return ApplyOperation(state, kVocabulary[item.operation], item.offset);
}

}  // namespace

void EvaluateRpn(EngineState& state) {
  state.result = 0.0;
  state.resultExact = kNotExact;
  state.operandCount = 0;
  state.operandStack[0].value = 0.0;
  state.operandStack[0].exact = kExactZero;
  const int count = state.rpnCount;  // evaluation never changes the queue
  for (int i = 0; i < count; ++i) {
    if (!EvaluateItem(state, state.rpnQueue[i])) return;
  }
  // Operands with no operator between them leave more than one value: the
  // calculation fails with the default message but shows the bottom value.
  // The place is the first operand left without an operator.
  if (state.operandCount > 1) {
    state.tokenKind = TokenKind::Error;
    state.errorOffset = state.operandStack[1].offset;
  }
  state.result = state.operandStack[0].value;
  CopyExact(state.resultExact, state.operandStack[0].exact);
}
