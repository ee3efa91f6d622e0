#pragma once
// Standard input and output as quillo-cli uses them: raw bytes through the
// descriptors, with its own buffering (cli/output_buffer.h) rather than
// stdio's, so that every failure is seen.

#include <cstddef>

#include "cli/line_reader.h"
#include "cli/output_buffer.h"

// Puts standard input into binary mode on Windows, where the C runtime would
// otherwise turn "\r\n" into "\n" and end the input at a Ctrl-Z byte. A
// console stays as it is, so that Ctrl-Z still ends typed input.
void PrepareStandardStreams();

// True when standard input is a terminal (or console).
bool StandardInputIsTerminal();

ByteSource StandardInput();
ByteSink StandardOutput();

// Closes standard output, so that a failure the system reports only at the
// close (a full disk on a network file system) is seen. Returns 0, or the
// errno of the failed close.
int CloseStandardOutput();
