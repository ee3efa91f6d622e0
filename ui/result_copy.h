#pragma once
// What the copy commands put on the clipboard.

#include <cstddef>

#include "engine/engine_state.h"
#include "format/result_format.h"

// Room for the five labelled lines: each label, a blank, the line and a
// line break.
inline constexpr std::size_t kCopyAllCapacity =
    static_cast<std::size_t>(kResultFormCount) * (4 + static_cast<std::size_t>(kResultLineCapacity) + 1);

// The five lines one per line, each after its label and a blank ("DEC 255"),
// every line ended by "\n": the same text as quillo-cli's default output.
// Cut to capacity - 1 bytes, always terminated.
void ComposeAllLinesText(const ResultLines& lines, char* buffer, std::size_t capacity);
