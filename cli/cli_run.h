#pragma once
// What quillo-cli does once its options are read: load the message texts,
// calculate each expression and write its result lines.

#include <cstdio>
#include <string>

#include "cli/cli_options.h"
#include "engine/messages.h"

// Loads the language texts into ProgramSettings().MessageTable: from `languageFile`, else from
// english.lng in LanguageFolder() (every message reads "no translation" when
// that file is missing). False with a reason when the named file cannot be
// read or its path does not fit LanguagePath.
bool LoadCliMessages(const std::string& languageFile, std::string& error);

// Calculates every expression of `options`, or every line of `input` when it
// names none, and writes one result per expression to `out` in the selected
// mode. An expression longer than 999 characters is not calculated: it gets a
// refusal in place of its result and counts as failed. Returns the exit
// status: 0 when every expression calculated, 1 when any failed.
int RunCalculations(const CliOptions& options, const MessageTexts& messages, std::FILE* input,
                    std::FILE* out);
