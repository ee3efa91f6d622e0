// quillo-cli: the calculator for scripts and terminals.

#include <clocale>
#include <cstdio>
#include <string>

#include "cli/cli_options.h"
#include "cli/cli_run.h"
#include "engine/calculate.h"
#include "settings/language.h"

namespace {

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
  return RunCalculations(options, MessageTable, stdin, stdout);
}
