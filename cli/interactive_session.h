#pragma once
// quillo-cli at a terminal: a prompt, line editing, the history shared with
// the window, and the five lines of each result followed by a blank line.

#include <cstdio>

#include "cli/cli_options.h"
#include "cli/line_reader.h"
#include "cli/output_buffer.h"
#include "engine/messages.h"

// How many typed lines the Up arrow can reach in one session.
inline constexpr int kSessionRecallLimit = 1000;

// Reads typed lines through the line editor until the user ends the input,
// calculating each non-blank one and writing its result to out. Unless
// options.noHistory, the window's history is loaded for the Up arrow and
// every calculated line is added to it at once; a history that cannot be
// used or saved is said once on errors, and the session goes on without
// it. Where the terminal cannot be set up for editing, the lines of input
// are calculated as from a pipe. Returns the exit status, as
// RunCalculations does.
int RunTerminalSession(const CliOptions& options, const MessageTexts& messages, ByteSource input,
                       OutputBuffer& out, std::FILE* errors);
