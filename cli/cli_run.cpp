#include "cli/cli_run.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <iterator>

#include "engine/calculate.h"
#include "format/result_format.h"
#include "settings/language.h"
#include "settings/settings.h"
#include "settings/text_encoding.h"

namespace {

constexpr const char* kLineLabels[] = {"DEC", "HEX", "BIN", "OCT", "EXP"};
static_assert(std::size(kLineLabels) == kResultFormCount);

// A 39-byte language text may grow to three bytes per character in UTF-8.
constexpr std::size_t kDisplayCapacity = std::size_t{3} * kResultLineCapacity;
// Shown in place of the result of an expression that is not calculated.
constexpr const char* kTooLongText = "expression longer than 999 characters";
constexpr const char* kTooLongStatus = "error:long";

// The five texts of one expression, as bytes of the language file or ASCII.
struct LineTexts {
  const char* text[kResultFormCount];
};

// Writes text converted for display (UTF-8). In a TSV field, tabs and line
// breaks would split the record, so they become blanks.
void WriteDisplayText(std::FILE* out, const char* text, bool asField) {
  char display[kDisplayCapacity];
  ConvertToDisplayText(text, display, sizeof display);
  if (asField) {
    for (char* c = display; *c != '\0'; ++c) {
      if (*c == '\t' || *c == '\n' || *c == '\r') *c = ' ';
    }
  }
  std::fputs(display, out);
}

// The shortest text that reads back to value; any NaN is "nan".
void WriteShortestValue(std::FILE* out, double value) {
  if (std::isnan(value)) {
    std::fputs("nan", out);
    return;
  }
  char text[32];
  const auto written = std::to_chars(text, text + sizeof text, value);
  std::fwrite(text, 1, static_cast<std::size_t>(written.ptr - text), out);
}

void WriteLabelledLines(std::FILE* out, const LineTexts& lines) {
  for (int form = 0; form < kResultFormCount; ++form) {
    std::fputs(kLineLabels[form], out);
    std::fputc(' ', out);
    WriteDisplayText(out, lines.text[form], false);
    std::fputc('\n', out);
  }
}

void WriteTsvTexts(std::FILE* out, const LineTexts& lines) {
  for (const char* text : lines.text) {
    std::fputc('\t', out);
    WriteDisplayText(out, text, true);
  }
  std::fputc('\n', out);
}

const char* MessageText(const MessageTexts& messages, int index) {
  return messages[index >= 0 && index < kMessageCount ? index : kMsgSyntax];
}

// The output of one calculated expression, in the mode of `options`.
void WriteResult(const CliOptions& options, const MessageTexts& messages, const EngineState& state,
                 std::FILE* out) {
  const bool failed = state.tokenKind == TokenKind::Error;
  if (options.mode == OutputMode::Form) {
    char text[kCalculateTextCapacity];
    if (!failed) FormatForBox(state, options.form, text, sizeof text);
    WriteDisplayText(out, failed ? MessageText(messages, state.messageIndex) : text, false);
    std::fputc('\n', out);
    return;
  }
  static ResultLines lines;
  ComposeResultLines(state, messages, lines);
  const LineTexts texts{{lines.text[0], lines.text[1], lines.text[2], lines.text[3], lines.text[4]}};
  if (options.mode == OutputMode::Lines) {
    WriteLabelledLines(out, texts);
    return;
  }
  if (failed) {
    std::fprintf(out, "error:%d\t", state.messageIndex);
  } else {
    std::fputs("ok\t", out);
  }
  WriteShortestValue(out, state.result);
  WriteTsvTexts(out, texts);
}

// The output of an expression that was refused as too long.
void WriteTooLong(const CliOptions& options, std::FILE* out) {
  const LineTexts texts{{kTooLongText, kTooLongText, kTooLongText, kTooLongText, kTooLongText}};
  switch (options.mode) {
    case OutputMode::Lines:
      WriteLabelledLines(out, texts);
      break;
    case OutputMode::Form:
      std::fprintf(out, "%s\n", kTooLongText);
      break;
    case OutputMode::Tsv:
      std::fprintf(out, "%s\t", kTooLongStatus);
      WriteTsvTexts(out, texts);
      break;
  }
}

// Calculates one expression and writes its output; false when it failed or
// was refused.
bool CalculateAndWrite(const CliOptions& options, const MessageTexts& messages, const std::string& text,
                       std::FILE* out) {
  bool calculated = false;
  if (text.size() > static_cast<std::size_t>(kExpressionMaxLength)) {
    WriteTooLong(options, out);
  } else {
    EngineState& state = ProgramEngineState();
    SetExpression(state, text.c_str());
    CalculateExpression(state);
    WriteResult(options, messages, state, out);
    calculated = state.tokenKind != TokenKind::Error;
  }
  // Each answer is flushed at once, so a program talking to quillo-cli
  // through pipes gets it before sending the next line.
  std::fflush(out);
  return calculated;
}

// Reads one line without its line break (and a "\r" before it); false at the
// end of input.
bool ReadLine(std::FILE* input, std::string& line) {
  line.clear();
  char chunk[1024];
  while (std::fgets(chunk, sizeof chunk, input) != nullptr) {
    line += chunk;
    if (line.back() == '\n') {
      line.pop_back();
      if (!line.empty() && line.back() == '\r') line.pop_back();
      return true;
    }
  }
  return !line.empty();
}

}  // namespace

bool LoadCliMessages(const std::string& languageFile, std::string& error) {
  std::string path;
  if (!languageFile.empty()) {
    if (languageFile.size() >= static_cast<std::size_t>(kPathCapacity)) {
      error = "language file path longer than " + std::to_string(kPathCapacity - 1) + " characters";
      return false;
    }
    std::FILE* file = std::fopen(languageFile.c_str(), "rb");
    if (file == nullptr) {
      error = "cannot read language file '" + languageFile + "'";
      return false;
    }
    std::fclose(file);
    path = languageFile;
  } else {
    path = std::string(LanguageFolder()) + "/english.lng";
    // A path that does not fit reads as a missing file: "no translation".
    if (path.size() >= static_cast<std::size_t>(kPathCapacity)) path.clear();
  }
  std::memcpy(ProgramSettings().LanguagePath, path.c_str(), path.size() + 1);
  LoadLanguageTexts();
  return true;
}

int RunCalculations(const CliOptions& options, const MessageTexts& messages, std::FILE* input,
                    std::FILE* out) {
  bool allCalculated = true;
  if (!options.expressions.empty()) {
    for (const std::string& text : options.expressions) {
      allCalculated = CalculateAndWrite(options, messages, text, out) && allCalculated;
    }
  } else {
    std::string line;
    while (ReadLine(input, line)) {
      allCalculated = CalculateAndWrite(options, messages, line, out) && allCalculated;
    }
  }
  return allCalculated ? 0 : 1;
}
