#pragma once
// The expression engine's whole state: one fixed-size record, no heap.
// CalculateExpression fills it from `expression`; the result lines and the
// dialog read `result`, `tokenKind` and `messageIndex` afterwards.

#include <cstdint>
#include <string_view>

#include "engine/exact_integer.h"
#include "engine/word_size.h"

// Capacities of the engine's tables and texts; every write is bounded by them.
inline constexpr int kTableCapacity = 1000;       // operator stack, RPN queue, operand stack
inline constexpr int kExpressionCapacity = 1000;  // 999 characters and the terminator
inline constexpr int kExpressionMaxLength = kExpressionCapacity - 1;
// A real literal filling the whole expression grows by one character (the "+"
// inserted into an unsigned exponent), so the token text is two bytes longer.
inline constexpr int kTokenTextCapacity = kExpressionCapacity + 2;
inline constexpr int kNameMaxLength = 9;
inline constexpr int kOperatorTextCapacity = 12;  // "(" , an operator or a function name
inline constexpr int kRpnNameCapacity = 16;

// What the lexer read last; the value Error doubles as the engine's error flag.
enum class TokenKind : int32_t {
  End = 0,       // nothing but blanks left
  Error = 1,     // a stage failed; messageIndex names why
  Decimal = 2,   // digits only
  Operator = 3,  // one or two operator characters
  Name = 4,      // letters and digits, lower-cased, at most 9
  Real = 5,      // digits with a fraction, an exponent or both
  Hex = 6,       // hexadecimal digits only, upper-cased
  Octal = 7,     // octal digits only
  Binary = 8,    // binary digits only
};

enum class RpnItemKind : int16_t {
  Number = 1,     // an operand
  Operation = 2,  // an operator or function, named by `name`
};

// The row of a queue item that names no row of the vocabulary.
inline constexpr int16_t kNoOperation = -1;

// A pending operator, function or "(" on the parser's stack.
struct OperatorStackEntry {
  char text[kOperatorTextCapacity];  // NUL-terminated token text
  int32_t priority;                  // 0 "(", 1 "+ -", 2 "* /", 5 everything else
  int32_t offset;                    // where the token starts in `expression`
  int16_t operation;                 // its row of the vocabulary; kNoOperation for "("
};

// One element of the RPN queue and of the operand stack.
struct RpnItem {
  RpnItemKind kind;             // which of the fields below is meaningful
  // For Operation: its row of the vocabulary, set when the parser queues it.
  int16_t operation = kNoOperation;
  int32_t offset;               // where its token starts in `expression` (the "-" for a sign's 0)
  // kind, operation and offset share the first 8 bytes, so an item stays 32.
  double value;                 // the operand, for Number; the nearest double of `exact` when it has one
  union {
    char name[kRpnNameCapacity];  // the operator or function text, for Operation (kept for the trace)
    ExactInteger exact;           // for Number: its exact integer, or kNotExact
  };
};
static_assert(sizeof(RpnItem) == 32);

struct EngineState {
  int32_t messageIndex;          // message of the current failure, 0..35; 6 after each reset
  double result;                 // value of the last calculation; 0.0 after each reset
  ExactInteger resultExact;      // the exact integer of `result` when it has one; kNotExact after each reset
  TokenKind tokenKind;           // kind of the last token; Error after a failed calculation, End after success
  int32_t tokenWritePos;         // next write position in tokenText, 0..kTokenTextCapacity-1
  int32_t inputPos;              // next unread character of expression; only moves forward
  int32_t tokenStart;            // offset in expression of the token read last (its length at End)
  int32_t errorOffset;           // offset of the token the failure was found at; read only after Error
  // The value of a Decimal token of digits only, or of a Hex token of "0x"
  // and digits only, taken while the lexer read it, when tokenValueKnown;
  // the parser then need not read the text again.
  bool tokenValueKnown;
  double tokenValue;
  ExactInteger tokenExact;       // the exact integer of tokenValue, read with it
  OperatorStackEntry operatorStack[kTableCapacity];  // entries 0..operatorTop-1 are live
  char tokenText[kTokenTextCapacity];                // current token, NUL-terminated
  int32_t expectOperand;         // 1 where "+" or "-" is a sign, else 0
  int32_t rpnCount;              // live items of rpnQueue, 0..kTableCapacity
  int32_t operatorTop;           // live entries of operatorStack, 0..kTableCapacity
  int32_t operandCount;          // live entries of operandStack, 0..kTableCapacity
  char expression[kExpressionCapacity];  // input text, NUL-terminated, at most 999 characters
  RpnItem operandStack[kTableCapacity];  // evaluator's stack; entry operandCount-1 is the top
  RpnItem rpnQueue[kTableCapacity];      // items 0..rpnCount-1 in evaluation order
  // Set by the caller, read by every calculation and the result lines.
  // The word of the integer operators and lines: 8, 16, 32 or 64 bits; any
  // other value (0 in a zero-filled record) reads as 32.
  int32_t wordBits;
  bool wordUnsigned;             // the word reads back unsigned; false (signed) by default
  double answer;                 // the value of the name "ans"; 0.0 until the caller sets it
  ExactInteger answerExact;      // its exact integer, or kNotExact (also in a zero-filled record)
};

// The program's one engine, zero-filled at start so it reads as success with 0.0.
EngineState& ProgramEngineState();

// Copies text into `expression`, cut to 999 characters, always terminated.
// A text need not be terminated itself: a line read into a larger buffer is
// taken as it stands.
void SetExpression(EngineState& state, std::string_view text);

// The word size the calculations use, and the caller's choice of it. Read
// for every operation, so inline.
inline WordSize WordOf(const EngineState& state) { return MakeWordSize(state.wordBits, state.wordUnsigned); }
void SetWordSize(EngineState& state, const WordSize& word);

// Makes the last calculation's value (exact where exact) the value of "ans";
// the caller does this after a calculation it counts as successful.
void KeepResultAsAnswer(EngineState& state);
// Makes "ans" the exact 0 it is before the first calculation.
void ResetAnswer(EngineState& state);
