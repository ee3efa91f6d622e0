#include "cli/cli_options.h"

#include <cstring>
#include <iterator>
#include <string>
#include <string_view>

#include "engine/word_size.h"

namespace {

struct FormName {
  const char* name;
  int form;
};
constexpr FormName kFormNames[] = {
    {"dec", kFormDec}, {"hex", kFormHex}, {"bin", kFormBin}, {"oct", kFormOct}, {"exp", kFormExp},
};
static_assert(std::size(kFormNames) == kResultFormCount);

bool FindForm(std::string_view name, int& form) {
  for (const auto& entry : kFormNames) {
    if (name == entry.name) {
      form = entry.form;
      return true;
    }
  }
  return false;
}

// Splits "--name=value" into its parts; `hasValue` tells whether "=" was there.
void SplitOption(std::string_view argument, std::string_view& name, std::string_view& value,
                 bool& hasValue) {
  const auto equals = argument.find('=');
  hasValue = equals != std::string_view::npos;
  name = argument.substr(0, equals);
  value = hasValue ? argument.substr(equals + 1) : std::string_view();
}

// Where the option parser stands: the arguments and the next one to read.
struct ArgumentCursor {
  int argc;
  const char* const* argv;
  int next;
};

// The value of an option that needs one: after "=" or the next argument.
bool TakeValue(ArgumentCursor& cursor, std::string_view name, bool hasValue, std::string_view inlineValue,
               std::string_view& value, std::string& error) {
  if (hasValue) {
    value = inlineValue;
  } else if (cursor.next < cursor.argc) {
    value = cursor.argv[cursor.next++];
  } else {
    error = EchoableText(name) + " needs a value";
    return false;
  }
  if (value.empty()) {
    error = EchoableText(name) + " needs a non-empty value";
    return false;
  }
  return true;
}

bool SetForm(CliOptions& options, std::string_view value, std::string& error) {
  if (options.mode == OutputMode::Tsv) {
    error = "--tsv and --form cannot be combined";
    return false;
  }
  if (!FindForm(value, options.form)) {
    error = "unknown form '" + EchoableText(value) + "' (use dec, hex, bin, oct or exp)";
    return false;
  }
  options.mode = OutputMode::Form;
  return true;
}

bool SetWordBits(CliOptions& options, std::string_view value, std::string& error) {
  for (const int bits : kWordBitChoices) {
    if (value == std::to_string(bits)) {
      options.wordBits = bits;
      return true;
    }
  }
  error = "unknown word size '" + std::string(value) + "' (use 8, 16, 32 or 64)";
  return false;
}

// Handles the option `argument` (starting with "--" or "-h").
bool ReadOption(ArgumentCursor& cursor, std::string_view argument, CliOptions& options, std::string& error) {
  std::string_view name, inlineValue, value;
  bool hasValue = false;
  SplitOption(argument, name, inlineValue, hasValue);
  if (name == "--lang") {
    if (!TakeValue(cursor, name, hasValue, inlineValue, value, error)) return false;
    options.languageFile = value;
    return true;
  }
  if (name == "--form") {
    return TakeValue(cursor, name, hasValue, inlineValue, value, error) && SetForm(options, value, error);
  }
  if (name == "--bits") {
    return TakeValue(cursor, name, hasValue, inlineValue, value, error) && SetWordBits(options, value, error);
  }
  const bool isFlag = name == "--tsv" || name == "--trace" || name == "--help" || name == "-h" ||
                      name == "--version" || name == "--unsigned" || name == "--no-history";
  if (!isFlag) {
    error = "unknown option '" + EchoableText(argument) + "' (write -- before an expression starting with --)";
    return false;
  }
  if (hasValue) {
    error = EchoableText(name) + " takes no value";
    return false;
  }
  if (name == "--tsv") {
    if (options.mode == OutputMode::Form) {
      error = "--tsv and --form cannot be combined";
      return false;
    }
    options.mode = OutputMode::Tsv;
  } else if (name == "--trace") {
    options.trace = true;
  } else if (name == "--unsigned") {
    options.wordUnsigned = true;
  } else if (name == "--no-history") {
    options.noHistory = true;
  } else if (name == "--version") {
    options.version = true;
  } else {
    options.help = true;
  }
  return true;
}

// Option names start with a letter after "--", so "--3" and "--(1)" (double
// signs) stay expressions.
bool IsOption(std::string_view argument) {
  if (argument == "-h") return true;
  if (argument.size() <= 2 || argument.substr(0, 2) != "--") return false;
  const char first = argument[2];
  return (first >= 'a' && first <= 'z') || (first >= 'A' && first <= 'Z');
}

}  // namespace

std::string EchoableText(std::string_view text) {
  std::string echoed(text);
  for (char& c : echoed) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
  }
  return echoed;
}

bool ParseCliOptions(int argc, const char* const* argv, CliOptions& options, std::string& error) {
  ArgumentCursor cursor{argc, argv, 1};
  bool onlyExpressions = false;
  while (cursor.next < argc) {
    const std::string_view argument = argv[cursor.next++];
    if (!onlyExpressions && argument == "--") {
      onlyExpressions = true;
    } else if (!onlyExpressions && IsOption(argument)) {
      if (!ReadOption(cursor, argument, options, error)) return false;
    } else {
      options.expressions.emplace_back(argument);
    }
  }
  return true;
}

#ifndef QUILLO_VERSION
#define QUILLO_VERSION "unknown"
#endif

const char* CliVersionText() { return "quillo-cli " QUILLO_VERSION "\n"; }

const char* CliUsageText() {
  return "usage: quillo-cli [--lang FILE] [--tsv | --form dec|hex|bin|oct|exp] [--bits 8|16|32|64] [--unsigned]\n"
         "                  [--trace] [--no-history] [EXPRESSION...]\n"
         "Calculates each EXPRESSION, or each line of standard input when none is given;\n"
         "ans is the value of the previous one that calculated.\n"
         "  (default)    five lines per expression: DEC, HEX, BIN, OCT and EXP\n"
         "  --form F     one line: the result in form F, with its notation mark\n"
         "  --tsv        one line: status, result, DEC, HEX, BIN, OCT, EXP, tab-separated\n"
         "  --bits N     the word of the integer operators and the HEX, BIN and OCT lines:\n"
         "               8, 16, 32 (default) or 64 bits\n"
         "  --unsigned   the word reads back unsigned (default: signed)\n"
         "  --lang FILE  messages from the language file FILE (default: Lang/english.lng)\n"
         "  --trace      the RPN queue of every cos() evaluation to standard error\n"
         "  --no-history at a terminal, neither read nor add to the window's history\n"
         "  --           everything after it is an expression, even when it starts with --\n"
         "  --version    the version; --help this text. More in the manual: man quillo-cli\n"
         "Exit status: 0 all calculated, 1 some expression failed, 2 usage error,\n"
         "3 read or write error.\n";
}
