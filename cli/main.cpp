// quillo-cli: the calculator for scripts and terminals.

#include <clocale>
#include <cstdio>
#include <string>
#include <vector>

#include "cli/cli_options.h"
#include "cli/cli_run.h"
#include "cli/error_text.h"
#include "cli/interactive_session.h"
#include "cli/standard_streams.h"
#include "engine/calculate.h"
#include "settings/files/file_system.h"
#include "settings/language.h"

#ifdef _WIN32
#include "cli/wide_arguments.h"
#endif

namespace {

int ReportUsageError(const std::string& reason) {
  WriteErrorText(stderr, "quillo-cli: " + reason + "\n");
  return kExitUsageError;
}

// Everything goes to standard output through this one buffer.
OutputBuffer Output;

// The results before the trace are written first, so that the two stay in
// order where both streams go to one file or terminal.
void WriteTraceToStandardError(const char* text) {
  FlushOutput(Output);
  WriteErrorText(stderr, text);
}

// Flushes and closes standard output and reports a failure of either, as the
// last step of every run that wrote to it. Returns status, or kExitIoError.
int FinishOutput(int status) {
  if (!FlushOutput(Output)) {
    // RunCalculations has already said so; --help and --version have not.
    if (status != kExitIoError) ReportIoError(stderr, IoFailure::Write, Output.error);
    return kExitIoError;
  }
  if (const int error = CloseStandardOutput(); error != 0) {
    ReportIoError(stderr, IoFailure::Write, error);
    return kExitIoError;
  }
  return status;
}

// Colour is for a person: NO_COLOR set to any non-empty value turns it
// off, as it does for every program that follows that convention, and a
// terminal that says it is "dumb" shows the sequences as text.
bool ColourWanted() {
  return EnvironmentText("NO_COLOR").empty() && EnvironmentText("TERM") != "dumb";
}

// Dresses the five lines for a person when they go to a terminal; the
// one-line modes and every file or pipe keep their bytes.
void ChooseOutputStyle(CliOptions& options, bool outputIsTerminal) {
  if (options.mode != OutputMode::Lines || !outputIsTerminal) return;
  options.spaced = true;
  options.colour = ColourWanted() && EnableTerminalColour();
}

int RunCli(int argc, const char* const* argv) {
  // Take the locale from the environment as a desktop program does; numbers
  // are read and written without it, so "2.5" stays 2.5 under any locale.
  std::setlocale(LC_ALL, "");
  PrepareStandardStreams();
  StartOutputBuffer(Output, StandardOutput());
  CliOptions options;
  std::string error;
  if (!ParseCliOptions(argc, argv, options, error)) return ReportUsageError(error);
  if (options.help || options.version) {
    PutText(Output, options.help ? CliUsageText() : CliVersionText());
    return FinishOutput(kExitAllCalculated);
  }
  if (!LoadCliMessages(options.languageFile, error)) return ReportUsageError(error);
  if (options.trace) InstallRpnTraceSink(WriteTraceToStandardError);
  const bool typed = options.expressions.empty() && StandardInputIsTerminal();
  if (typed) WriteInputHint(stderr);
  const bool outputIsTerminal = StandardOutputIsTerminal();
  ChooseOutputStyle(options, outputIsTerminal);
  const MessageTexts& messages = ProgramSettings().MessageTable;
  // A person typing: the line editor and the shared history. A script's
  // formats (--tsv, --form) keep reading lines as from a pipe.
  const int status = typed && outputIsTerminal && options.mode == OutputMode::Lines
                         ? RunTerminalSession(options, messages, StandardInput(), Output, stderr)
                         : RunCalculations(options, messages, StandardInput(), Output, stderr);
  return FinishOutput(status);
}

}  // namespace

#ifdef _WIN32
// Built with -municode: the arguments arrive in UTF-16, split by the C runtime
// exactly as the narrow ones were, and go on as UTF-8.
int wmain(int argc, wchar_t** argv) {
  const std::vector<std::string> arguments = Utf8Arguments(argc, argv);
  std::vector<const char*> pointers;
  for (const std::string& argument : arguments) pointers.push_back(argument.c_str());
  pointers.push_back(nullptr);
  return RunCli(argc, pointers.data());
}
#else
int main(int argc, char** argv) { return RunCli(argc, argv); }
#endif
