// quillo-cli: the calculator for scripts and terminals.

#include <clocale>
#include <cstdio>
#include <string>

#include "cli/cli_options.h"
#include "cli/cli_run.h"
#include "engine/calculate.h"
#include "settings/language.h"

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace {

bool IsTerminal(std::FILE* file) {
#ifdef _WIN32
  return _isatty(_fileno(file)) != 0;
#else
  return isatty(fileno(file)) != 0;
#endif
}

constexpr int kUsageErrorStatus = 2;

void WriteTraceToStandardError(const char* text) { std::fputs(text, stderr); }

int ReportUsageError(const std::string& reason) {
  std::fprintf(stderr, "quillo-cli: %s\n", reason.c_str());
  return kUsageErrorStatus;
}

}  // namespace

int main(int argc, char** argv) {
  // Take the locale from the environment as a desktop program does; numbers
  // are read and written without it, so "2.5" stays 2.5 under any locale.
  std::setlocale(LC_ALL, "");
  CliOptions options;
  std::string error;
  if (!ParseCliOptions(argc, argv, options, error)) return ReportUsageError(error);
  if (options.help) {
    std::fputs(CliUsageText(), stdout);
    return 0;
  }
  if (!LoadCliMessages(options.languageFile, error)) return ReportUsageError(error);
  if (options.trace) InstallRpnTraceSink(WriteTraceToStandardError);
  if (options.expressions.empty() && IsTerminal(stdin)) {
    std::fputs("Type one expression per line; end with Ctrl-D (Ctrl-Z on Windows). --help shows the options.\n",
               stderr);
  }
  return RunCalculations(options, ProgramSettings().MessageTable, stdin, stdout);
}
