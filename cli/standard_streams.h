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

// True when standard output is a terminal (on Windows: a console, not the
// NUL device, which is a character device too).
bool StandardOutputIsTerminal();

// Makes the terminal of standard output take colour sequences: on Windows
// the console's virtual terminal mode, elsewhere nothing to do. False when
// it cannot.
bool EnableTerminalColour();

ByteSource StandardInput();
// On Windows, a console's output goes through WriteConsoleW from UTF-8, so
// every character shows whatever the console's code page; elsewhere, and
// to files and pipes, the bytes go out as they are.
ByteSink StandardOutput();

// Closes standard output, so that a failure the system reports only at the
// close (a full disk on a network file system) is seen. Returns 0, or the
// errno of the failed close.
int CloseStandardOutput();
