// The calculation loop over input and output in memory: when the output is
// flushed, and how a failed read or write ends the run.

#include "cli/cli_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "settings/language.h"
#include "tests/support/case_table.h"

namespace {

// Input handed out one line per read; what the output held at each read.
struct LineByLineInput {
  std::vector<std::string> lines;
  const std::string* written = nullptr;  // the sink's bytes so far
  std::vector<std::string> writtenAtRead;
  int failWith = 0;  // errno of a read after the last line; 0: the input ends
  std::size_t next = 0;
};

long ReadLine(void* context, char* buffer, std::size_t capacity) {
  auto& input = *static_cast<LineByLineInput*>(context);
  input.writtenAtRead.push_back(*input.written);
  if (input.next == input.lines.size()) {
    if (input.failWith == 0) return 0;
    errno = input.failWith;
    return -1;
  }
  const std::string& line = input.lines[input.next++];
  const std::size_t count = std::min(capacity, line.size());
  std::copy_n(line.data(), count, buffer);
  return static_cast<long>(count);
}

// Takes what it is given, or fails with `failWith` once `room` bytes are in.
struct MemorySink {
  std::string bytes;
  std::size_t room = static_cast<std::size_t>(-1);
  int failWith = ENOSPC;
};

long WriteToMemory(void* context, const char* bytes, std::size_t size) {
  auto& sink = *static_cast<MemorySink*>(context);
  if (sink.bytes.size() + size > sink.room) {
    errno = sink.failWith;
    return -1;
  }
  sink.bytes.append(bytes, size);
  return static_cast<long>(size);
}

struct RunOutcome {
  int status;
  std::string errors;
};

// Runs --form dec over input into sink; standard error goes to a file.
RunOutcome RunFormDec(LineByLineInput& input, MemorySink& sink, const std::vector<std::string>& expressions = {},
                      CliOptions options = {}) {
  static OutputBuffer out;
  StartOutputBuffer(out, {WriteToMemory, &sink});
  input.written = &sink.bytes;
  options.mode = OutputMode::Form;
  options.expressions = expressions;
  static MessageTexts messages;
  for (auto& text : messages) std::strcpy(text, "failed");
  std::FILE* errors = std::tmpfile();
  const int status = RunCalculations(options, messages, {ReadLine, &input}, out, errors);
  std::rewind(errors);
  char text[256] = "";
  const std::size_t length = std::fread(text, 1, sizeof text - 1, errors);
  std::fclose(errors);
  return {status, std::string(text, length)};
}

// The five lines of every expression of options, as bytes.
std::string RunLines(CliOptions options, const std::vector<std::string>& expressions) {
  LineByLineInput input;
  MemorySink sink;
  static OutputBuffer out;
  StartOutputBuffer(out, {WriteToMemory, &sink});
  input.written = &sink.bytes;
  options.expressions = expressions;
  static MessageTexts messages;
  for (auto& text : messages) std::strcpy(text, "failed");
  RunCalculations(options, messages, {ReadLine, &input}, out, stderr);
  return sink.bytes;
}

// For a person at a terminal: a blank line between results; in colour the
// labels, and the texts and caret of a failed expression. Without either
// the bytes are those scripts read.
TEST(CliRun, FiveLinesForAPersonAreSpacedAndColoured) {
  const std::string one = "DEC 1\nHEX 1\nBIN 1\nOCT 1\nEXP 1.000000000000000E+0000\n";
  const std::string failed = "DEC failed\nHEX failed\nBIN failed\nOCT failed\nEXP failed\n    1/0\n     ^\n";
  std::string colouredOne;
  std::string colouredFailed;
  for (const char* label : {"DEC", "HEX", "BIN", "OCT", "EXP"}) {
    const std::string dressed = std::string("\x1b[1;36m") + label + "\x1b[0m ";
    colouredOne += dressed + (label[0] == 'E' ? "1.000000000000000E+0000\n" : "1\n");
    colouredFailed += dressed + "\x1b[31mfailed\x1b[0m\n";
  }
  colouredFailed += "    1/0\n     \x1b[31m^\x1b[0m\n";
  const struct {
    int line;
    bool spaced;
    bool colour;
    std::string output;
  } cases[] = {
      {__LINE__, false, false, one + failed + one},
      {__LINE__, true, false, one + "\n" + failed + "\n" + one},
      {__LINE__, true, true, colouredOne + "\n" + colouredFailed + "\n" + colouredOne},
  };
  ForEachCase(cases, [&](const auto& c) {
    CliOptions options;
    options.spaced = c.spaced;
    options.colour = c.colour;
    EXPECT_EQ(RunLines(options, {"1", "1/0", "1"}), c.output);
  });
}

TEST(CliRun, AnswersEachLineBeforeWaitingForTheNext) {
  LineByLineInput input;
  input.lines = {"1+1\n", "2+", "2\n", "1/0\n"};
  MemorySink sink;
  const RunOutcome outcome = RunFormDec(input, sink);
  EXPECT_EQ(outcome.status, kExitSomeFailed);
  EXPECT_EQ(sink.bytes, "2\n4\nfailed\n");
  const std::vector<std::string> expected = {"", "2\n", "2\n", "2\n4\n", "2\n4\nfailed\n"};
  EXPECT_EQ(input.writtenAtRead, expected);
}

// "ans" is the value of the previous line or argument that calculated, exact
// where it was; a failed one leaves it; every run starts at 0.
TEST(CliRun, AnsIsThePreviousValueThatCalculated) {
  for (const bool fromArguments : {false, true}) {
    SCOPED_TRACE(fromArguments);
    LineByLineInput input;
    const std::vector<std::string> lines = {"ans+1", "0xFFFFFFFFFFFFFFFF", "ans-1", "1/0", "ans!2"};
    std::vector<std::string> expressions;
    for (const std::string& line : lines) (fromArguments ? expressions : input.lines).push_back(line + (fromArguments ? "" : "\n"));
    MemorySink sink;
    RunFormDec(input, sink, expressions);
    EXPECT_EQ(sink.bytes, "1\n18446744073709551615\n18446744073709551614\nfailed\n-1\n");
  }
}

// The word size and signedness of the options reach the calculation.
TEST(CliRun, WordOptionsReachTheCalculation) {
  const struct {
    int line;
    int bits;
    bool isUnsigned;
    const char* output;
  } cases[] = {
      {__LINE__, 32, false, "-1\n"},
      {__LINE__, 32, true, "4294967295\n"},
      {__LINE__, 8, true, "255\n"},
      {__LINE__, 64, true, "18446744073709551615\n"},
  };
  ForEachCase(cases, [](const auto& c) {
    LineByLineInput input;
    MemorySink sink;
    CliOptions options;
    options.wordBits = c.bits;
    options.wordUnsigned = c.isUnsigned;
    RunFormDec(input, sink, {"~0"}, options);
    EXPECT_EQ(sink.bytes, c.output);
  });
}

TEST(CliRun, AFailedReadEndsTheRunWithStatusThree) {
  LineByLineInput input;
  input.lines = {"1\n", "2\n"};
  input.failWith = EIO;
  MemorySink sink;
  const RunOutcome outcome = RunFormDec(input, sink);
  EXPECT_EQ(outcome.status, kExitIoError);
  EXPECT_EQ(sink.bytes, "1\n2\n");
  EXPECT_EQ(outcome.errors, std::string("quillo-cli: read error: ") + std::strerror(EIO) + "\n");
}

TEST(CliRun, AFailedWriteEndsTheRunWithStatusThree) {
  const struct {
    int line;
    int error;
    std::size_t room;
  } cases[] = {
      {__LINE__, ENOSPC, 0},
      {__LINE__, EPIPE, 4},
      {__LINE__, EIO, 0},
  };
  ForEachCase(cases, [&](const auto& c) {
    // Input without end: the run must stop at the failure, not read on.
    LineByLineInput input;
    input.lines.assign(100000, "1\n");
    MemorySink sink;
    sink.room = c.room;
    sink.failWith = c.error;
    const RunOutcome outcome = RunFormDec(input, sink);
    EXPECT_EQ(outcome.status, kExitIoError);
    EXPECT_LE(input.next, 3u);
    EXPECT_EQ(outcome.errors, std::string("quillo-cli: write error: ") + std::strerror(c.error) + "\n");
  });
  // Expressions from the arguments: the final flush is checked too.
  LineByLineInput none;
  MemorySink full;
  full.room = 0;
  EXPECT_EQ(RunFormDec(none, full, {"1", "2"}).status, kExitIoError);
}

TEST(LanguageKeys, AFileNeedsOneKnownKeyToCountAsALanguageFile) {
  const struct {
    int line;
    const char* text;
    bool expected;
  } cases[] = {
      {__LINE__, "", false},
      {__LINE__, "[MENU]\n0=File\n", true},
      {__LINE__, "[DIALOG]\n4=Result\n", true},
      {__LINE__, "[OPERATIONS]\n35=x\n", true},
      {__LINE__, "[operations]\n17=Division by zero\n", true},
      {__LINE__, "[OPERATIONS]\n36=x\n", false},
      {__LINE__, "[MENU]\n7=x\n[DIALOG]\n5=x\n", false},
      {__LINE__, "[INI]\nlang=x\n0=y\n", false},
      {__LINE__, "0=x\n1=y\n", false},
      {__LINE__, "\x7f" "ELF\x02\x01\x01", false},
  };
  ForEachCase(cases, [&](const auto& c) {
    EXPECT_EQ(HoldsKnownLanguageKey(c.text), c.expected);
  });
}

}  // namespace
