// Fuzz target: quillo-cli's handling of standard input, the line reader and
// the calculation loop over it, on arbitrary bytes handed over in reads of
// arbitrary size.
// The first byte chooses the output mode (the default five lines, --tsv or
// --form with one of the five forms), the second the size of each read; the
// rest is the input. Properties:
//  - the run ends with status 0 or 1, never a read or write error;
//  - every input line gives exactly one result (five lines of output in the
//    default mode, one otherwise), as splitting the input at "\n" gives them;
//    in the default mode a failed calculation adds a copy of the expression
//    and a caret line, the caret at most one column past the copy's end;
//  - a line over 999 characters is refused as long, otherwise one holding a
//    NUL byte as such; every other line is calculated;
//  - in --tsv every row has seven fields, the status is "ok", "error:N" with
//    N a message index, "error:long" or "error:nul", the value field is empty
//    exactly on failed rows, and the status is 1 exactly when a row failed;
//  - the output is valid UTF-8 (the message texts are ASCII).

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "cli/cli_run.h"
#include "fuzz/fuzz_check.h"
#include "settings/text_encoding.h"

namespace {

constexpr int kModeCount = 2 + kResultFormCount;

struct ChunkedInput {
  std::string_view bytes;
  std::size_t chunk;
};

long ReadChunk(void* context, char* buffer, std::size_t capacity) {
  auto& input = *static_cast<ChunkedInput*>(context);
  std::size_t count = input.chunk < capacity ? input.chunk : capacity;
  if (count > input.bytes.size()) count = input.bytes.size();
  std::memcpy(buffer, input.bytes.data(), count);
  input.bytes.remove_prefix(count);
  return static_cast<long>(count);
}

long WriteToString(void* context, const char* bytes, std::size_t size) {
  static_cast<std::string*>(context)->append(bytes, size);
  return static_cast<long>(size);
}

// What each input line must give: 'L' long, 'N' NUL byte, 'C' calculated.
std::string ExpectedKinds(std::string_view input) {
  std::string kinds;
  while (!input.empty()) {
    const std::size_t newline = input.find('\n');
    std::string_view line = input.substr(0, newline);
    input.remove_prefix(newline == std::string_view::npos ? input.size() : newline + 1);
    if (newline != std::string_view::npos && !line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.size() > static_cast<std::size_t>(kExpressionMaxLength)) {
      kinds += 'L';
    } else {
      kinds += line.find('\0') != std::string_view::npos ? 'N' : 'C';
    }
  }
  return kinds;
}

std::vector<std::string_view> Split(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  for (;;) {
    const std::size_t at = text.find(separator);
    parts.push_back(text.substr(0, at));
    if (at == std::string_view::npos) return parts;
    text.remove_prefix(at + 1);
  }
}

// Checks one --tsv row against the kind its line must have; true when the
// row is a success.
bool CheckTsvRow(std::string_view row, char kind) {
  const std::vector<std::string_view> fields = Split(row, '\t');
  FUZZ_CHECK(fields.size() == 7);
  const std::string_view status = fields[0];
  if (kind == 'L') FUZZ_CHECK(status == "error:long");
  if (kind == 'N') FUZZ_CHECK(status == "error:nul");
  if (kind == 'C') {
    const bool knownFailure = status.substr(0, 6) == "error:" && status.size() <= 8 &&
                              std::stoi(std::string(status.substr(6))) < kMessageCount;
    FUZZ_CHECK(status == "ok" || knownFailure);
  }
  FUZZ_CHECK(fields[1].empty() == (status != "ok"));
  return status == "ok";
}

// Checks the default mode's rows: five labelled lines per result, and after
// a failed calculation the copy of its expression and the caret under it.
void CheckLabelledRows(const std::vector<std::string_view>& rows, const std::string& kinds) {
  static constexpr std::string_view kIndent = "    ";
  std::size_t row = 0;
  for (char kind : kinds) {
    FUZZ_CHECK(row + kResultFormCount <= rows.size());
    const bool failed = kind == 'C' && rows[row].substr(0, 12) == "DEC message ";
    row += kResultFormCount;
    if (!failed) continue;
    FUZZ_CHECK(row + 2 <= rows.size());
    const std::string_view copy = rows[row];
    const std::string_view caret = rows[row + 1];
    FUZZ_CHECK(copy.substr(0, kIndent.size()) == kIndent && caret.substr(0, kIndent.size()) == kIndent);
    FUZZ_CHECK(!caret.empty() && caret.back() == '^');
    FUZZ_CHECK(caret.find_first_not_of(' ') == caret.size() - 1);
    FUZZ_CHECK(caret.size() <= copy.size() + 1);
    row += 2;
  }
  FUZZ_CHECK(row == rows.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  static MessageTexts messages;
  for (int i = 0; i < kMessageCount; ++i) std::snprintf(messages[i], kTextSlotCapacity, "message %d", i);
  CliOptions options;
  const int mode = data[0] % kModeCount;
  options.mode = mode == 0 ? OutputMode::Lines : mode == 1 ? OutputMode::Tsv : OutputMode::Form;
  options.form = mode >= 2 ? mode - 2 : 0;
  // Reads of 1 to 256 bytes, or of 8 to 2048 to cross a 999-character line.
  const std::size_t chunk = data[0] & 0x80 ? std::size_t{8} * (data[1] + 1u) : data[1] + 1u;
  const std::string_view input(reinterpret_cast<const char*>(data) + 2, size - 2);

  ChunkedInput source{input, chunk};
  std::string output;
  static OutputBuffer out;
  StartOutputBuffer(out, {WriteToString, &output});
  const int status = RunCalculations(options, messages, {ReadChunk, &source}, out, stderr);
  FUZZ_CHECK(status == kExitAllCalculated || status == kExitSomeFailed);
  FUZZ_CHECK(IsValidUtf8(output));

  const std::string kinds = ExpectedKinds(input);
  std::vector<std::string_view> rows = Split(output, '\n');
  FUZZ_CHECK(rows.back().empty());  // the output ends with a line end, or is empty
  rows.pop_back();
  if (options.mode == OutputMode::Lines) {
    CheckLabelledRows(rows, kinds);
    return 0;
  }
  FUZZ_CHECK(rows.size() == kinds.size());
  if (options.mode != OutputMode::Tsv) return 0;
  bool allCalculated = true;
  for (std::size_t i = 0; i < rows.size(); ++i) allCalculated = CheckTsvRow(rows[i], kinds[i]) && allCalculated;
  FUZZ_CHECK((status == kExitAllCalculated) == allCalculated);
  return 0;
}
