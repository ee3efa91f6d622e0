#pragma once
// The engine's entry points. Each works on the caller's EngineState only and
// allocates nothing.

#include "engine/engine_state.h"

// Lexer: each looks at or moves `inputPos` of `expression`.
bool SkipBlanks(EngineState& state);  // false at the terminator
bool IsDigitAt(const EngineState& state);
bool IsLetterAt(const EngineState& state);
bool IsOperatorCharAt(const EngineState& state);
void NextToken(EngineState& state);

// Positional value of a digit string of a binary, octal or hexadecimal token.
double BinaryDigitsToValue(const char* digits);
double OctalDigitsToValue(const char* digits);
double HexDigitsToValue(const char* digits);

// Pushes tokenText with `priority`; false (message 9) when the stack is full.
bool PushOperator(EngineState& state, int32_t priority);
// The same for an operator or function with its row of the vocabulary.
bool PushEntry(EngineState& state, int32_t priority, int16_t row);

// Calculates `expression`: result, or tokenKind Error with messageIndex.
void CalculateExpression(EngineState& state);
void EvaluateRpn(EngineState& state);

// Truncates toward zero to 64 bits (-2^63 when impossible) and keeps the low
// 32 bits, read as signed.
int32_t TruncateToInt32(double value);

// Sends the RPN queue, one piece per call, to the installed trace sink.
void TraceRpn(const EngineState& state);

// Receives the pieces of the RPN trace; none is installed by default.
using RpnTraceSink = void (*)(const char* text);
void InstallRpnTraceSink(RpnTraceSink sink);

// The exact integer of a digit string of a binary, octal or hexadecimal
// token (bitsPerDigit 1, 3 or 4) or a decimal one; kNotExact when its value
// exceeds 2^64-1. An empty string is 0.
ExactInteger DigitsToExact(const char* digits, int bitsPerDigit);
ExactInteger DecimalDigitsToExact(const char* digits);
