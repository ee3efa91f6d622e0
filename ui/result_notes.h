#pragma once
// The notes the window adds to what it shows without changing it: where a
// failed expression went wrong, and that the integer lines show only part of
// the value. The texts come from the language file's optional texts.

#include <cstddef>

#include "engine/engine_state.h"
#include "format/result_format.h"

// Room for a note: its text, a position, a token or a value.
inline constexpr std::size_t kNoteCapacity = 256;

// The place of a failure in the expression, as byte offsets into it: the
// token [start, end), empty at the end of the text.
struct ErrorPlace {
  int start;
  int end;
};

// Where the failure of the last calculation lies in `expression`; the token
// there runs over letters, digits and "." (a number or a name), or over one
// or two operator characters. Only meaningful after a failure.
ErrorPlace FindErrorPlace(const EngineState& state);

// "error at position 5: +": the position counted in characters from 1 (a
// UTF-8 character counts once), then the token; at the end of the text only
// the position. Terminated, cut to capacity - 1 bytes.
void ComposeErrorNote(const EngineState& state, const ErrorPlace& place, char* buffer, std::size_t capacity);

// The note for the integer lines when they show only part of the value:
// "low 32 bits of 6227020800" beyond the range of the word (or not finite),
// with the word's size ("low 16 bits of 70000"); "whole part of 2.5" for a
// fraction within it, naming the value by its shortest text that reads back
// to it ("7.999999999999997", not the DEC line's rounded 8), or by all the
// digits of an exact integer. Empty when the lines show the whole value, after a failure,
// and when they show a message instead of digits.
void ComposeHiddenBitsNote(const EngineState& state, char* buffer, std::size_t capacity);
