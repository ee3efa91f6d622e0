#include "cli/cli_options.h"
#include "tests/support/case_table.h"
#include "tests/support/files.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Parses `arguments` (without the program name) and describes the outcome in
// one line: the options read, or the usage error.
std::string Parse(std::vector<const char*> arguments) {
  arguments.insert(arguments.begin(), "quillo-cli");
  CliOptions options;
  std::string error;
  if (!ParseCliOptions(static_cast<int>(arguments.size()), arguments.data(), options, error)) {
    return "error: " + error;
  }
  static const char* const kModes[] = {"lines", "tsv", "form"};
  std::string text = kModes[static_cast<int>(options.mode)];
  if (options.mode == OutputMode::Form) text.append(" ").append(std::to_string(options.form));
  if (!options.languageFile.empty()) text += " lang=" + options.languageFile;
  if (options.trace) text += " trace";
  if (options.help) text += " help";
  if (options.wordBits != 32 || options.wordUnsigned) {
    text += " bits=" + std::to_string(options.wordBits) + (options.wordUnsigned ? " unsigned" : "");
  }
  for (const std::string& expression : options.expressions) text += " [" + expression + "]";
  return text;
}

TEST(CliOptions, ReadsOptionsAndExpressions) {
  const struct {
    int line;
    std::vector<const char*> arguments;
    const char* expected;
  } cases[] = {
      {__LINE__, {}, "lines"},
      {__LINE__, {"2+3", "1/0"}, "lines [2+3] [1/0]"},
      {__LINE__, {"--tsv", "2+3"}, "tsv [2+3]"},
      {__LINE__, {"--form", "hex", "255"}, "form 1 [255]"},
      {__LINE__, {"--form=bin"}, "form 2"},
      {__LINE__, {"--form", "oct", "--form", "exp"}, "form 4"},
      {__LINE__, {"--lang", "ru.lng", "--trace", "cos(0)"}, "lines lang=ru.lng trace [cos(0)]"},
      {__LINE__, {"--lang=a b.lng"}, "lines lang=a b.lng"},
      // Options may follow expressions; signs and double signs are expressions.
      {__LINE__, {"2+3", "--tsv"}, "tsv [2+3]"},
      {__LINE__, {"-3+2", "--3", "--(1)", "-"}, "lines [-3+2] [--3] [--(1)] [-]"},
      {__LINE__, {"--", "--tsv", "--"}, "lines [--tsv] [--]"},
      {__LINE__, {"-h"}, "lines help"},
      {__LINE__, {"--help", "1"}, "lines help [1]"},
      {__LINE__, {"--bits", "64", "--unsigned", "~0"}, "lines bits=64 unsigned [~0]"},
      {__LINE__, {"--bits=8", "1"}, "lines bits=8 [1]"},
      {__LINE__, {"--unsigned"}, "lines bits=32 unsigned"},
      {__LINE__, {"--bits", "16", "--bits", "32"}, "lines"},
  };
  ForEachCase(cases, [&](const auto& c) {
    EXPECT_EQ(Parse(c.arguments), c.expected);
  });
}

TEST(CliOptions, RefusesUsageErrorsWithAReason) {
  const struct {
    int line;
    std::vector<const char*> arguments;
    const char* expected;
  } cases[] = {
      {__LINE__, {"--form"}, "error: --form needs a value"},
      {__LINE__, {"--form", "HEX"}, "error: unknown form 'HEX' (use dec, hex, bin, oct or exp)"},
      {__LINE__, {"--form="}, "error: --form needs a non-empty value"},
      {__LINE__, {"--lang"}, "error: --lang needs a value"},
      {__LINE__, {"--tsv", "--form", "dec"}, "error: --tsv and --form cannot be combined"},
      {__LINE__, {"--form", "dec", "--tsv"}, "error: --tsv and --form cannot be combined"},
      {__LINE__, {"--tsv=1"}, "error: --tsv takes no value"},
      {__LINE__, {"--bits"}, "error: --bits needs a value"},
      {__LINE__, {"--bits", "12"}, "error: unknown word size '12' (use 8, 16, 32 or 64)"},
      {__LINE__, {"--bits=064"}, "error: unknown word size '064' (use 8, 16, 32 or 64)"},
      {__LINE__, {"--unsigned=1"}, "error: --unsigned takes no value"},
      {__LINE__, {"--hex"}, "error: unknown option '--hex' (write -- before an expression starting with --)"},
      // Control characters are echoed as "?", never sent to the terminal.
      {__LINE__, {"--h\x1b[2Jx"}, "error: unknown option '--h?[2Jx' (write -- before an expression starting with --)"},
      {__LINE__, {"--form=d\r\x7f"}, "error: unknown form 'd?\?' (use dec, hex, bin, oct or exp)"},
      {__LINE__, {"--tr\tace=1"}, "error: unknown option '--tr?ace=1' (write -- before an expression starting with --)"},
  };
  ForEachCase(cases, [&](const auto& c) {
    EXPECT_EQ(Parse(c.arguments), c.expected);
  });
}

TEST(CliManual, DescribesEveryOptionAndExitStatusOfTheHelpText) {
  const std::string manual = ReadFile(QUILLO_CLI_MANUAL);
  ASSERT_NE(manual, "<missing>");
  const std::string help = CliUsageText();
  // Every "--name" of the help text, the manual writing it "\-\-name".
  int options = 0;
  for (std::size_t at = help.find("--"); at != std::string::npos; at = help.find("--", at + 2)) {
    std::size_t end = at + 2;
    while (end < help.size() && help[end] >= 'a' && help[end] <= 'z') ++end;
    if (end == at + 2) continue;
    const std::string name = help.substr(at + 2, end - at - 2);
    EXPECT_NE(manual.find("\\-\\-" + name), std::string::npos) << name;
    ++options;
  }
  EXPECT_GE(options, 6);
  for (const char* status : {"0", "1", "2", "3"}) {
    EXPECT_NE(help.find(std::string(status) + " "), std::string::npos) << status;
    EXPECT_NE(manual.find(std::string(".B ") + status + "\n"), std::string::npos) << status;
  }
}

}  // namespace
