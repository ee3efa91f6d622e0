#pragma once
// What quillo-cli does once its options are read: load the message texts,
// calculate each expression and write its result lines.

#include <cstdio>
#include <string>

#include "cli/cli_options.h"
#include "cli/line_reader.h"
#include "cli/output_buffer.h"
#include "engine/messages.h"

// The exit statuses of quillo-cli.
inline constexpr int kExitAllCalculated = 0;  // every expression calculated
inline constexpr int kExitSomeFailed = 1;     // some expression failed or was refused
inline constexpr int kExitUsageError = 2;     // bad options or language file; nothing calculated
inline constexpr int kExitIoError = 3;        // reading the input or writing the output failed

// Loads the language texts into ProgramSettings().MessageTable: from `languageFile`, else from
// english.lng in LanguageFolder() (every message reads "no translation" when
// that file is missing). A named file must be a regular file of at most
// kLanguageFileSizeLimit bytes holding at least one known key; it is opened
// without blocking, so a FIFO or device is refused rather than waited on.
// False with a one-line reason otherwise.
bool LoadCliMessages(const std::string& languageFile, std::string& error);

// Calculates every expression of `options`, or every line of `input` when it
// names none, and writes one result per expression to `out` in the selected
// mode. A line over 999 characters or holding a NUL byte is not calculated:
// it gets a refusal in place of its result and counts as failed. `out` is
// flushed before each read of `input`, so a program talking to quillo-cli
// line by line gets each answer at once, and at the end.
// Returns the exit status. A failed read or write ends the run at once with
// kExitIoError, after one line "quillo-cli: read error: ..." or
// "quillo-cli: write error: ..." on `errors` (ReportIoError).
int RunCalculations(const CliOptions& options, const MessageTexts& messages, ByteSource input,
                    OutputBuffer& out, std::FILE* errors);

// Sets the engine's word from options and "ans" to 0: the start of a run.
void StartCalculations(const CliOptions& options);

// Calculates one line, or writes its refusal when it is too long or holds a
// NUL byte, and writes its output in the mode of options; false when it
// counts as failed. A calculation without error becomes "ans".
bool CalculateLine(const CliOptions& options, const MessageTexts& messages, const InputLine& line,
                   OutputBuffer& out);

// Which stream failed.
enum class IoFailure { Read, Write };

// Writes "quillo-cli: read error: <reason of errno value>" (or "write
// error") on `errors`, "read error" and "write error" in the loaded language.
void ReportIoError(std::FILE* errors, IoFailure failure, int error);

// Writes the hint shown when expressions are to be typed on a terminal, in
// the loaded language, as one line on `errors`.
void WriteInputHint(std::FILE* errors);
