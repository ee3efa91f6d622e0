// Evaluates the RPN queue on the operand stack.

#include "engine/calculate.h"
#include "engine/lexer_internal.h"
#include "engine/messages.h"
#include "engine/operations.h"
#include "engine/vocabulary.h"

namespace {

// The walk over the queue keeps the top of the operand stack in a local
// pointer, `end` (one past the top entry), that the compiler holds in a
// register instead of the state's count, and stores the count when the
// walk ends; it reads the word size once.

int DepthOf(const EngineState& state, const RpnItem* end) { return static_cast<int>(end - state.operandStack); }

bool PushOperand(EngineState& state, RpnItem*& end, const RpnItem& item) {
  if (DepthOf(state, end) >= kTableCapacity) {
    FailAt(state, kMsgTableFull, item.offset);
    return false;
  }
  // The stack needs the value, its exact integer and where it came from;
  // the whole item is copied at once, in two wide moves. The queue was
  // written before the walk began, so no narrower store is still in flight.
  *end++ = item;
  return true;
}

// Replaces the operation's operands, the top of `depth` entries, by its
// result: the left operand's entry (or the single argument's) receives it;
// the caller then drops the others. The integer computation, where the row
// has one, decides first; otherwise, or where it hands over, the double
// computation gives a value without an exact integer. A failure is placed
// at the operation's own token.
bool ApplyOperation(EngineState& state, int depth, WordSize word, const Operation& operation, int32_t offset) {
  if (depth < operation.operandCount) {
    FailAt(state, operation.tooFewMessage, offset);
    return false;
  }
  RpnItem& target = state.operandStack[depth - operation.operandCount];
  const RpnItem& right = state.operandStack[depth - 1];
  const double a = target.value;
  const double b = right.value;
  if (operation.tracesQueue) TraceRpn(state);
  if (operation.refusal.refuses != nullptr && operation.refusal.refuses(a, b)) {
    FailAt(state, operation.refusal.message, offset);
    return false;
  }
  Number result;  // every outcome but Refused sets it
  const IntegerOutcome outcome = operation.integer == IntegerStep::None
                                     ? IntegerOutcome::UseDouble
                                     : ComputeInteger(operation.integer, target, right, word, result);
  if (outcome == IntegerOutcome::Refused) {
    FailAt(state, operation.refusal.message, offset);
    return false;
  }
  // Rows without a double computation always decide in their integer one.
  if (outcome == IntegerOutcome::UseDouble) result = {operation.compute(a, b), kNotExact};
  // The target is a Number already: only operands are pushed.
  target.value = result.value;
  CopyExact(target.exact, result.exact);
  return true;
}

// The rows of the quick steps are binary operators that send no trace and
// refuse nothing but a zero divisor, which the quick path declines (see
// ComputeQuotientQuickly); so it need not look at any of that. The
// vocabulary's test holds the rows to this. (Not a static_assert: a
// sanitizing build cannot compare the refusals' function pointers at
// compile time.)

// The quick path of the commonest operations of typed integers (see
// ComputeQuickly): the left operand's entry receives the result, and the
// caller drops the right one. False leaves everything to ApplyOperation.
[[gnu::always_inline]] inline bool ApplyQuickly(EngineState& state, RpnItem* end, WordSize word,
                                                const Operation& operation) {
  if (!IsQuickStep(operation.integer) || DepthOf(state, end) < 2) return false;
  RpnItem& target = end[-2];
  const RpnItem& right = end[-1];
  Number result;
  if (!ComputeQuickly(operation.integer, target, right, word, result)) return false;
  target.value = result.value;
  CopyExact(target.exact, result.exact);
  return true;
}

bool EvaluateItem(EngineState& state, RpnItem*& end, WordSize word, const RpnItem& item) {
  if (item.kind != RpnItemKind::Operation) return PushOperand(state, end, item);
  // The parser resolved the row when it queued the item; a queue built any
  // other way without a valid row is a syntax error rather than an item the
  // walk could stall on.
  if (item.operation < 0 || item.operation >= kVocabularySize) {
    FailAt(state, kMsgSyntax, item.offset);
    return false;
  }
  const Operation& operation = kVocabulary[item.operation];
  if (ApplyQuickly(state, end, word, operation)) {
    --end;  // a binary operator's right operand
    return true;
  }
  if (!ApplyOperation(state, DepthOf(state, end), word, operation, item.offset)) return false;
  end -= operation.operandCount - 1;
  return true;
}

// Walks the queue until its end or the first failure, which it returns as
// false; either way the operand count it leaves is in state.operandCount.
bool WalkQueue(EngineState& state) {
  const WordSize word = WordOf(state);
  const RpnItem* const queueEnd = state.rpnQueue + state.rpnCount;  // evaluation never changes the queue
  RpnItem* end = state.operandStack;
  for (const RpnItem* item = state.rpnQueue; item != queueEnd; ++item) {
    if (!EvaluateItem(state, end, word, *item)) {
      state.operandCount = DepthOf(state, end);
      return false;
    }
  }
  state.operandCount = DepthOf(state, end);
  return true;
}

}  // namespace

void EvaluateRpn(EngineState& state) {
  state.result = 0.0;
  state.resultExact = kNotExact;
  state.operandStack[0].value = 0.0;
  state.operandStack[0].exact = kExactZero;
  if (!WalkQueue(state)) return;
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
