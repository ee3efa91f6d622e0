#pragma once
// Lines typed at a terminal, with a prompt. One implementation is built per
// platform: libedit (line editing, Up and Down through the recalled lines,
// Ctrl+R search), the Windows console's cooked input (its own editing and
// history), or a plain prompt that reads whole lines.

#include <string>
#include <vector>

#include "cli/line_reader.h"

// The prompt shown before each line; ASCII.
inline constexpr char kPrompt[] = "> ";

// A typed line; text holds it without its line end.
struct TypedLine {
  LineKind kind;  // as a piped line's: TooLong or HasNul leave text empty
  std::string text;
};

// Starts reading the terminal. recall holds earlier lines, oldest first, for
// the Up arrow; recallLimit is how many lines are kept at most. False when
// the terminal cannot be set up; then nothing else may be called.
bool StartLineEditor(const std::vector<std::string>& recall, int recallLimit);

// Shows the prompt and reads one line. End when the user ends the input
// (Ctrl+D on an empty line, or Escape on an empty line; Ctrl+Z then Enter on
// Windows); Failed with errno set when reading failed.
ReadOutcome ReadTypedLine(TypedLine& line);

// Adds text to the lines the Up arrow recalls.
void RecallLater(const std::string& text);

// Gives the terminal back as it was.
void StopLineEditor();
