#include "cli/cli_run.h"

#include <algorithm>
#include <cstring>
#include <iterator>

#include "cli/error_text.h"
#include "engine/calculate.h"
#include "format/result_format.h"
#include "settings/files/file_system.h"
#include "settings/language.h"
#include "settings/optional_texts.h"
#include "settings/settings.h"
#include "settings/text_encoding.h"

namespace {

// A 39-byte language text may grow to three bytes per character in UTF-8.
constexpr std::size_t kDisplayCapacity = std::size_t{3} * kResultLineCapacity;
// What is shown in place of the result of a line or argument that is not
// calculated, and its status in TSV.
// The texts are the language file's, as the window shows the too-long one.
struct Refusal {
  const char* (*text)();
  const char* status;
};
constexpr Refusal kTooLong{[] { return OptionalText(OptionalTextIndex("toolong")); }, "error:long"};
constexpr Refusal kHasNul{[] { return OptionalText(OptionalTextIndex("nulbyte")); }, "error:nul"};

// The five texts of one expression, as bytes of the language file or ASCII.
struct LineTexts {
  const char* text[kResultFormCount];
};

// True when text is ASCII without tabs or line breaks: what every result
// text is, and most messages. It needs no conversion.
bool IsPlainText(std::string_view text) {
  return std::ranges::all_of(text, [](char c) {
    return static_cast<unsigned char>(c) < 0x80 && c != '\t' && c != '\n' && c != '\r';
  });
}

// Writes text converted for display (UTF-8). In a TSV field, tabs and line
// breaks would split the record, so they become blanks.
void WriteDisplayText(OutputBuffer& out, const char* text, bool asField) {
  const std::string_view plain(text);
  if (IsPlainText(plain)) {
    PutText(out, plain);
    return;
  }
  char display[kDisplayCapacity];
  ConvertToDisplayText(text, display, sizeof display);
  if (asField) {
    for (char* c = display; *c != '\0'; ++c) {
      if (*c == '\t' || *c == '\n' || *c == '\r') *c = ' ';
    }
  }
  PutText(out, display);
}

// The shortest text that reads back to value; any NaN is "nan".
void WriteShortestValue(OutputBuffer& out, double value) {
  char text[32];
  FormatShortest(value, text, sizeof text);
  PutText(out, text);
}

// The terminal's colours (SGR sequences) for a person reading the lines:
// labels stand out from the values, and messages and the caret read as
// errors.
constexpr std::string_view kLabelColour = "\x1b[1;36m";
constexpr std::string_view kErrorColour = "\x1b[31m";
constexpr std::string_view kNoColour = "\x1b[0m";

// Writes text in colour when `colour`, else as it is.
void WriteColoured(OutputBuffer& out, bool colour, std::string_view sequence, const char* text) {
  if (colour) PutText(out, sequence);
  WriteDisplayText(out, text, false);
  if (colour) PutText(out, kNoColour);
}

// The five lines, each "<label> <text>". isMessage: the texts are a
// message rather than a result, coloured as an error when colour is on.
void WriteLabelledLines(OutputBuffer& out, const LineTexts& lines, bool colour, bool isMessage) {
  for (int form = 0; form < kResultFormCount; ++form) {
    WriteColoured(out, colour, kLabelColour, kResultFormLabels[form]);
    PutChar(out, ' ');
    if (isMessage) {
      WriteColoured(out, colour, kErrorColour, lines.text[form]);
    } else {
      WriteDisplayText(out, lines.text[form], false);
    }
    PutChar(out, '\n');
  }
}

void WriteTsvTexts(OutputBuffer& out, const LineTexts& lines) {
  for (const char* text : lines.text) {
    PutChar(out, '\t');
    WriteDisplayText(out, text, true);
  }
  PutChar(out, '\n');
}

// Under the five lines of a failed expression: a copy of it, then a caret
// under the place of the failure, both indented like the lines' texts. A
// failure comes at the latest at the first tab or byte above 127, so what
// lies before the place is plain ASCII, one column a byte. Control
// characters of the copy (a carriage return, an escape sequence) show as
// "?": echoed as they are, they would move the terminal's cursor.
void WriteErrorPlace(OutputBuffer& out, const EngineState& state, bool colour) {
  constexpr std::string_view kIndent = "    ";  // the width of "DEC "
  char copy[kExpressionCapacity];
  std::size_t length = 0;
  for (; length < sizeof copy - 1 && state.expression[length] != '\0'; ++length) {
    const char c = state.expression[length];
    copy[length] = (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) ? '?' : c;
  }
  copy[length] = '\0';
  PutText(out, kIndent);
  WriteDisplayText(out, copy, false);
  PutChar(out, '\n');
  PutText(out, kIndent);
  for (int i = 0; i < state.errorOffset && state.expression[i] != '\0'; ++i) PutChar(out, ' ');
  WriteColoured(out, colour, kErrorColour, "^");
  PutChar(out, '\n');
}

// The output of one calculated expression, in the mode of `options`; false
// when it counts as failed. The value field of a failed TSV row is empty: a
// failed calculation has no value. With a form, the output is what the
// window's Calculate writes into the box; where the window refuses, it is
// that form's line as the window shows it, and the expression counts as
// failed.
bool WriteResult(const CliOptions& options, const MessageTexts& messages, const EngineState& state,
                 OutputBuffer& out) {
  const bool failed = state.tokenKind == TokenKind::Error;
  if (options.mode == OutputMode::Form) {
    char text[kCalculateTextCapacity];
    const bool written = ComposeCalculateText(state, messages, options.form, text, sizeof text);
    WriteDisplayText(out, text, false);
    PutChar(out, '\n');
    return written;
  }
  static ResultLines lines;
  ComposeResultLines(state, messages, lines);
  const LineTexts texts{{lines.text[0], lines.text[1], lines.text[2], lines.text[3], lines.text[4]}};
  if (options.mode == OutputMode::Lines) {
    // Message 0 on the integer lines is no failure: only the texts of a
    // failed calculation are coloured as an error.
    WriteLabelledLines(out, texts, options.colour, failed);
    if (failed) WriteErrorPlace(out, state, options.colour);
    return !failed;
  }
  if (failed) {
    char status[32];
    const int length = std::snprintf(status, sizeof status, "error:%d\t", state.messageIndex);
    PutText(out, std::string_view(status, static_cast<std::size_t>(length)));
  } else {
    PutText(out, "ok\t");
    WriteShortestValue(out, state.result);
  }
  WriteTsvTexts(out, texts);
  return !failed;
}

// The output of a line or argument that is refused without being calculated.
void WriteRefusal(const CliOptions& options, const Refusal& refusal, OutputBuffer& out) {
  const char* text = refusal.text();
  const LineTexts texts{{text, text, text, text, text}};
  switch (options.mode) {
    case OutputMode::Lines:
      WriteLabelledLines(out, texts, options.colour, true);
      break;
    case OutputMode::Form:
      WriteDisplayText(out, text, false);
      PutChar(out, '\n');
      break;
    case OutputMode::Tsv:
      PutText(out, refusal.status);
      PutChar(out, '\t');
      WriteTsvTexts(out, texts);
      break;
  }
}

// Calculates one expression and writes its output; false when it failed.
// A calculation without error gives "ans" its value for the next one, also
// where a form's line shows a message instead.
bool CalculateAndWrite(const CliOptions& options, const MessageTexts& messages, std::string_view text,
                       OutputBuffer& out) {
  if (text.size() > static_cast<std::size_t>(kExpressionMaxLength)) {
    WriteRefusal(options, kTooLong, out);
    return false;
  }
  EngineState& state = ProgramEngineState();
  SetExpression(state, text);
  CalculateExpression(state);
  const bool written = WriteResult(options, messages, state, out);
  if (state.tokenKind != TokenKind::Error) KeepResultAsAnswer(state);
  return written;
}

}  // namespace

bool CalculateLine(const CliOptions& options, const MessageTexts& messages, const InputLine& line,
                   OutputBuffer& out) {
  if (line.kind == LineKind::Text) return CalculateAndWrite(options, messages, line.text, out);
  WriteRefusal(options, line.kind == LineKind::TooLong ? kTooLong : kHasNul, out);
  return false;
}

void StartCalculations(const CliOptions& options) {
  EngineState& state = ProgramEngineState();
  SetWordSize(state, {options.wordBits, options.wordUnsigned});
  ResetAnswer(state);
}

namespace {

// What the line reader reads through: it flushes the output before every
// read of input, since a read may wait, and whoever sent the last line may
// be waiting for its answer. A failed flush ends the reading.
struct FlushingSource {
  ByteSource input;
  OutputBuffer* out;
};

long FlushThenRead(void* context, char* buffer, std::size_t capacity) {
  auto& source = *static_cast<FlushingSource*>(context);
  if (!FlushOutput(*source.out)) return -1;
  return source.input.read(source.input.context, buffer, capacity);
}

// Calculates every line of input; returns the exit status.
int CalculateLines(const CliOptions& options, const MessageTexts& messages, ByteSource input,
                   OutputBuffer& out, std::FILE* errors) {
  // Static, like the engine's record: 64 KiB is more than a thread's stack
  // should carry.
  static LineReader reader;
  FlushingSource flushing{input, &out};
  StartLineReader(reader, {FlushThenRead, &flushing});
  bool allCalculated = true;
  InputLine line{};
  ReadOutcome outcome = ReadOutcome::End;
  bool first = true;
  while (out.error == 0 && (outcome = ReadNextLine(reader, line)) == ReadOutcome::Line) {
    if (options.spaced && !first) PutChar(out, '\n');
    first = false;
    allCalculated = CalculateLine(options, messages, line, out) && allCalculated;
  }
  if (outcome == ReadOutcome::Failed && out.error == 0) {
    ReportIoError(errors, IoFailure::Read, reader.error);
    return kExitIoError;
  }
  return allCalculated ? kExitAllCalculated : kExitSomeFailed;
}

}  // namespace

bool LoadCliMessages(const std::string& languageFile, std::string& error) {
  if (languageFile.empty()) {
    std::string path = std::string(LanguageFolder()) + "/english.lng";
    // A path that does not fit reads as a missing file: "no translation".
    if (path.size() >= static_cast<std::size_t>(kPathCapacity)) path.clear();
    std::memcpy(ProgramSettings().LanguagePath, path.c_str(), path.size() + 1);
    LoadLanguageTexts();
    return true;
  }
  const std::string quoted = "language file '" + EchoableText(languageFile) + "'";
  std::string text;
  int cause = 0;
  switch (ReadRegularFile(languageFile.c_str(), kLanguageFileSizeLimit, text, cause)) {
    case FileReadOutcome::Read:
      break;
    case FileReadOutcome::CannotOpen:
    case FileReadOutcome::Failed:
      error = "cannot read " + quoted + ": " + std::strerror(cause);
      return false;
    case FileReadOutcome::NotRegular:
      error = quoted + " is not a regular file";
      return false;
    case FileReadOutcome::TooLarge:
      error = quoted + " is larger than " + std::to_string(kLanguageFileSizeLimit >> 20) + " MiB";
      return false;
  }
  if (!HoldsKnownLanguageKey(text)) {
    error = quoted + " holds no text of [MENU], [DIALOG] or [OPERATIONS]";
    return false;
  }
  FillLanguageTexts(text);
  return true;
}

int RunCalculations(const CliOptions& options, const MessageTexts& messages, ByteSource input,
                    OutputBuffer& out, std::FILE* errors) {
  int status = kExitAllCalculated;
  StartCalculations(options);
  if (options.expressions.empty()) {
    status = CalculateLines(options, messages, input, out, errors);
  } else {
    for (const std::string& text : options.expressions) {
      if (options.spaced && &text != &options.expressions.front()) PutChar(out, '\n');
      if (!CalculateAndWrite(options, messages, text, out)) status = kExitSomeFailed;
      if (out.error != 0) break;
    }
  }
  if (status == kExitIoError) return status;
  if (!FlushOutput(out)) {
    ReportIoError(errors, IoFailure::Write, out.error);
    return kExitIoError;
  }
  return status;
}

void ReportIoError(std::FILE* errors, IoFailure failure, int error) {
  const int what = failure == IoFailure::Read ? OptionalTextIndex("readerror") : OptionalTextIndex("writeerror");
  // The language's text is written as it is, never used as a format.
  WriteErrorText(errors, "quillo-cli: " + DisplayUtf8(OptionalText(what)) + ": " + std::strerror(error) + "\n");
}

void WriteInputHint(std::FILE* errors) {
  WriteErrorText(errors, DisplayUtf8(OptionalText(OptionalTextIndex("clihint"))) + "\n");
}
