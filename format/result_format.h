#pragma once
// The five texts of a result value: decimal, hexadecimal, binary, octal and
// exponent form. Each writes a NUL-terminated text into the caller's buffer,
// never more than `capacity` bytes, and never fails.

#include <cstddef>
#include <cstdint>

#include "engine/engine_state.h"
#include "engine/messages.h"

inline constexpr int kResultLineCapacity = 1000;  // one result line of the window
inline constexpr int kCalculateTextCapacity = 100;  // what Calculate puts into the box

// The selectable output forms, in the order of the radio buttons.
enum ResultForm : int { kFormDec = 0, kFormHex = 1, kFormBin = 2, kFormOct = 3, kFormExp = 4 };
inline constexpr int kResultFormCount = 5;
// The name of each form's line, as labels in front of the five lines.
inline constexpr const char* kResultFormLabels[kResultFormCount] = {"DEC", "HEX", "BIN", "OCT", "EXP"};

// Whether the integer lines (HEX, BIN, OCT) show a message instead of digits
// for the state's result in its word: from 1e19 upward in magnitude up to 32
// bits; at 64 bits from 2^64 upward, where no 64-bit pattern is left.
bool IntegerLinesShowMessage(const EngineState& state);
// Whether the integer lines' W bits are only part of the result: it has a
// fraction, is not finite, or lies outside -2^(W-1) .. 2^W-1, where the
// W-bit pattern no longer reads back as the value.
bool IntegerLinesHideBits(const EngineState& state);
// The W-bit pattern the integer lines show: of the exact integer where the
// result has one, else of the double truncated toward zero.
std::uint64_t IntegerLinesPattern(const EngineState& state);

// The decimal logarithm of |value| truncated toward zero; 0 for a zero,
// infinite or NaN value. The result lines switch forms on it: from 19 the
// integer lines show message 0, from 36 the DEC line shows the exponent form.
int TruncatedDecimalLog(double value);

// The DEC text: every digit of an exact integer; otherwise the value with up
// to 7 decimals, trimmed, or the EXP text from 1e36 upward.
void FormatDecimal(const EngineState& state, char* buffer, std::size_t capacity);
void FormatHex(const EngineState& state, char* buffer, std::size_t capacity);
void FormatBinary(const EngineState& state, char* buffer, std::size_t capacity);
void FormatOctal(const EngineState& state, char* buffer, std::size_t capacity);
// The EXP text: one digit, ".", 15 digits, "E", the exponent's sign and four
// digits. The digits are the value's own: its shortest text that reads back
// to it where that has at most 16 significant digits, else the value
// correctly rounded to 16; zeros pad the rest. "inf", "-inf", "nan".
void FormatExponent(const EngineState& state, char* buffer, std::size_t capacity);

// The shortest text that reads back to the same double, as std::to_chars
// writes it ("2.5", "7.999999999999997", "1e+20"); "inf", "-inf", and "nan"
// for any NaN. Terminated, cut to capacity - 1 bytes.
void FormatShortest(double value, char* buffer, std::size_t capacity);
// The same for a result: the digits of its exact integer where it has one.
void FormatShortestResult(const EngineState& state, char* buffer, std::size_t capacity);

// What Calculate writes into the box for the outcome in `form`, decided here
// for every front end. True with the result in that form and its notation
// mark ("0x" before hex digits, "b" after binary, "o" after octal), a text
// the lexer reads back to the value the form's line shows; a non-zero value
// whose DEC text would read 0 or -0 is written in the EXP form instead.
// False where no such text exists: the calculation failed, the integer forms
// show message 0 (from 1e19 upward), the value is infinite or NaN, or its
// EXP text lies beyond the double range (the two largest doubles). The
// buffer then holds the form's line as the window shows it (the message,
// "inf", ...). A form outside 0..4 counts as DEC. Terminated, cut to
// capacity - 1 bytes.
bool ComposeCalculateText(const EngineState& state, const MessageTexts& messages, int form, char* buffer,
                          std::size_t capacity);

// The five result lines, DEC, HEX, BIN, OCT, EXP, as the window shows them:
// the message text on all five after a failure; message 0 on the integer
// lines for values from 1e19 upward.
struct ResultLines {
  char text[kResultFormCount][kResultLineCapacity];
};
void ComposeResultLines(const EngineState& state, const MessageTexts& messages, ResultLines& lines);
