#pragma once
// Command-line options of quillo-cli, parsed without side effects so that
// tests can feed argument lists directly.

#include <string>
#include <string_view>
#include <vector>

#include "format/result_format.h"

enum class OutputMode {
  Lines,  // five labelled lines per expression
  Tsv,    // one line of seven tab-separated fields per expression
  Form,   // one line: the text Calculate puts into the box in `form`
};

struct CliOptions {
  std::string languageFile;              // --lang FILE; empty: the shipped English file
  OutputMode mode = OutputMode::Lines;
  int form = kFormDec;                   // ResultForm for OutputMode::Form
  bool trace = false;                    // --trace: RPN trace to standard error
  int wordBits = 32;                     // --bits 8|16|32|64: the word of the integer operators and lines
  bool wordUnsigned = false;             // --unsigned: the word reads back unsigned
  bool help = false;                     // -h / --help: print usage, calculate nothing
  bool version = false;                  // --version: print the version, calculate nothing
  bool noHistory = false;                // --no-history: a terminal session leaves the shared history alone
  // How the five lines are dressed for a person. Set by the program from
  // where its output goes, never by an option; both off, the output is the
  // bytes scripts rely on.
  bool colour = false;  // labels and messages in colour: output to a terminal, NO_COLOR unset
  bool spaced = false;  // a blank line between results: output to a terminal
  std::vector<std::string> expressions;  // in order; empty: read standard input
};

// Reads argv[1..argc-1]. "-h" and arguments starting with "--" and a letter
// are options wherever they stand, up to a lone "--" after which everything is
// an expression; any other argument ("-3+2", "--3") is an expression. Returns false with a
// one-line reason in `error` for a usage error.
bool ParseCliOptions(int argc, const char* const* argv, CliOptions& options, std::string& error);

// text as a message may echo it: control characters (a carriage return, an
// escape sequence) become "?", since written as they are they would move
// the terminal's cursor or change its state.
std::string EchoableText(std::string_view text);

// The usage text printed by --help.
const char* CliUsageText();

// The line printed by --version: the program's name and the version it was
// built as.
const char* CliVersionText();
