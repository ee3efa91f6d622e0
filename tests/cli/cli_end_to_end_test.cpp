// Runs the built quillo-cli with arguments and standard input and checks its
// output and exit status.

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "engine/messages.h"
#include "tests/support/case_table.h"
#include "tests/support/child_process.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"

namespace {

namespace fs = std::filesystem;

using CliOutcome = ProgramOutcome;

// Runs `binary` with `arguments`, `input` on standard input and LC_ALL set to
// `locale`.
CliOutcome RunBinary(const std::string& binary, const std::vector<std::string>& arguments,
                     const std::string& input, const char* locale) {
  return RunProgram(binary, arguments, input, {std::string("LC_ALL=") + locale});
}

// A folder for the files of these tests, removed when the tests end.
const TempFolder& TestFolder() {
  static const TempFolder folder;
  return folder;
}

CliOutcome RunCli(const std::vector<std::string>& arguments, const std::string& input = "",
                  const char* locale = "C") {
  return RunBinary(QUILLO_CLI_PATH, arguments, input, locale);
}

// The line of a language file's OPERATIONS section that gives `message` its text.
std::string MessageLine(MessageIndex message, const std::string& text) {
  return std::to_string(message) + "=" + text + "\n";
}

// A language file with three messages; every other one reads "no translation".
const std::string& TestLanguageFile() {
  static const std::string path = [] {
    const std::string file = TestFolder() / "test.lng";
    WriteFile(file, "[MENU]\n0=File\n[OPERATIONS]\n" + MessageLine(kMsgTooLargeForIntegerForms, "Too large") +
                        MessageLine(kMsgUnknownName, "Unknown name") +
                        MessageLine(kMsgDivisionByZero, "Division by zero"));
    return file;
  }();
  return path;
}

// Runs quillo-cli with the test language file and `arguments`.
CliOutcome RunWithTestTexts(std::vector<std::string> arguments, const std::string& input = "",
                            const char* locale = "C") {
  arguments.insert(arguments.begin(), {"--lang", TestLanguageFile()});
  return RunCli(arguments, input, locale);
}

// A file of the test folder holding text.
std::string FileWith(const std::string& name, const std::string& text) {
  std::string path = TestFolder() / name;
  WriteFile(path, text);
  return path;
}

// A FIFO nobody writes into: opening it for reading the ordinary way waits.
std::string FifoPath() {
  std::string path = TestFolder() / "fifo";
  if (!fs::exists(path)) mkfifo(path.c_str(), 0600);
  return path;
}

std::string Repeat(const std::string& text, int times) {
  std::string repeated;
  for (int i = 0; i < times; ++i) repeated += text;
  return repeated;
}

TEST(CliEndToEnd, DefaultOutputIsFiveLabelledLinesPerExpression) {
  const CliOutcome outcome = RunWithTestTexts({"2+3", "1/0"});
  EXPECT_EQ(outcome.out,
            "DEC 5\nHEX 5\nBIN 101\nOCT 5\nEXP 5.000000000000000E+0000\n"
            "DEC Division by zero\nHEX Division by zero\nBIN Division by zero\n"
            "OCT Division by zero\nEXP Division by zero\n"
            "    1/0\n"
            "     ^\n");
  EXPECT_EQ(outcome.err, "");
  EXPECT_EQ(outcome.status, 1);
}

// Under a failure's five lines: the expression, and a caret under the token
// where it failed. TSV keeps its seven fields.
TEST(CliEndToEnd, AFailureIsShownWithACaretUnderItsPlace) {
  const struct {
    int line;
    std::string expression;
    std::string place;
  } cases[] = {
      {__LINE__, "2*(3+4", "    2*(3+4\n      ^\n"},
      {__LINE__, "1+sin", "    1+sin\n         ^\n"},
      {__LINE__, "1 +\t2\x1b[2J", "    1 +?2?[2J\n       ^\n"},  // control characters shown as "?"
      {__LINE__, "2*\xC3\xA9", "    2*\xC3\xA9\n      ^\n"},
      {__LINE__, "(1+2)*(3-x)", "    (1+2)*(3-x)\n             ^\n"},
  };
  ForEachCase(cases, [&](const auto& c) {
    const CliOutcome outcome = RunWithTestTexts({c.expression});
    ASSERT_GT(outcome.out.size(), c.place.size());
    EXPECT_EQ(outcome.out.substr(outcome.out.size() - c.place.size()), c.place);
    const CliOutcome tsv = RunWithTestTexts({"--tsv", c.expression});
    EXPECT_EQ(std::count(tsv.out.begin(), tsv.out.end(), '\t'), 6);
    EXPECT_EQ(std::count(tsv.out.begin(), tsv.out.end(), '\n'), 1);
  });
}

TEST(CliEndToEnd, FormWritesWhatCalculatePutsIntoTheBox) {
  const struct {
    int line;
    const char* form;
    const char* expression;
    const char* expected;
    int status;
  } cases[] = {
      {__LINE__, "dec", "2/3", "0.6666667\n", 0},
      {__LINE__, "hex", "255", "0xFF\n", 0},
      {__LINE__, "bin", "5", "101b\n", 0},
      {__LINE__, "oct", "8", "10o\n", 0},
      {__LINE__, "exp", "7.999999999999997", "7.999999999999997E+0000\n", 0},
      {__LINE__, "hex", "-1", "0xFFFFFFFF\n", 0},
      // Below 1e19 the integer forms give the 32-bit pattern, as the lines do.
      {__LINE__, "hex", "1e10", "0x540BE400\n", 0},
      {__LINE__, "dec", "foo", "Unknown name\n", 1},
      // A value the DEC line rounds to 0 is written in the EXP form.
      {__LINE__, "dec", "1e-9", "1.000000000000000E-0009\n", 0},
      // Where the window refuses Calculate: the form's line, and a failure.
      {__LINE__, "hex", "1e20", "Too large\n", 1},
      {__LINE__, "bin", "1e20", "Too large\n", 1},
      {__LINE__, "oct", "-1e19", "Too large\n", 1},
      {__LINE__, "dec", "1e400", "inf\n", 1},
      {__LINE__, "exp", "-1e400", "-inf\n", 1},
      {__LINE__, "hex", "1e400", "0\n", 1},
      {__LINE__, "exp", "1.7976931348623157e308", "1.797693134862316E+0308\n", 1},
  };
  ForEachCase(cases, [&](const auto& c) {
    const CliOutcome outcome = RunWithTestTexts({"--form", c.form, c.expression});
    EXPECT_EQ(outcome.out, c.expected);
    EXPECT_EQ(outcome.status, c.status);
  });
  // One refused expression among others fails the run; the rest are written.
  const CliOutcome mixed = RunWithTestTexts({"--form", "hex"}, "5\n1e20\n6\n");
  EXPECT_EQ(mixed.out, "0x5\nToo large\n0x6\n");
  EXPECT_EQ(mixed.status, 1);
}

TEST(CliEndToEnd, TsvGivesStatusValueAndTheFiveTexts) {
  const struct {
    int line;
    const char* expression;
    const char* expected;
  } cases[] = {
      {__LINE__, "2+3", "ok\t5\t5\t5\t101\t5\t5.000000000000000E+0000\n"},
      {__LINE__, "0.1", "ok\t0.1\t0.1\t0\t0\t0\t1.000000000000000E-0001\n"},
      {__LINE__, "7.999999999999997", "ok\t7.999999999999997\t8\t7\t111\t7\t7.999999999999997E+0000\n"},
      {__LINE__, "0.1+0.2", "ok\t0.30000000000000004\t0.3\t0\t0\t0\t3.000000000000000E-0001\n"},
      {__LINE__, "1e19", "ok\t1e+19\t10000000000000000000\tToo large\tToo large\tToo large\t1.000000000000000E+0019\n"},
      {__LINE__, "1e400", "ok\tinf\tinf\t0\t0\t0\tinf\n"},
      {__LINE__, "-1e400", "ok\t-inf\t-inf\t0\t0\t0\t-inf\n"},
      {__LINE__, "-0.00000004", "ok\t-4e-08\t-0\t0\t0\t0\t-4.000000000000000E-0008\n"},
      // A failure has no value: the field stays empty, whatever the engine
      // left in its result.
      {__LINE__, "1/0", "error:17\t\tDivision by zero\tDivision by zero\tDivision by zero\tDivision by zero\tDivision by zero\n"},
      {__LINE__, "2 3", "error:6\t\tno translation\tno translation\tno translation\tno translation\tno translation\n"},
  };
  ForEachCase(cases, [&](const auto& c) {
    EXPECT_EQ(RunWithTestTexts({"--tsv", c.expression}).out, c.expected);
  });
  // Whatever sign the library gives a NaN, the value field reads "nan".
  EXPECT_EQ(RunWithTestTexts({"--tsv", "arcsin(2)"}).out.substr(0, 7), "ok\tnan\t");
}

TEST(CliEndToEnd, ReadsOneExpressionPerLineWithoutArguments) {
  const CliOutcome outcome = RunWithTestTexts({"--form", "dec"}, "2+3\n1/0\r\n\n  7  \n4*4");
  EXPECT_EQ(outcome.out, "5\nDivision by zero\n0\n7\n16\n");
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(RunWithTestTexts({"--form", "dec"}, "1\n2\n").status, 0);
  EXPECT_EQ(RunWithTestTexts({"--form", "dec"}, "").status, 0);
}

TEST(CliEndToEnd, UsageErrorsExitWithTwoAndOneLineReason) {
  const std::vector<std::vector<std::string>> cases = {
      {"--form", "decimal", "1"},
      {"--tsv", "--form", "hex", "1"},
      {"--form"},
      {"--lang"},
      {"--verbose", "1"},
      {"--lang", "/nonexistent/quillo/english.lng", "1"},
      // Only a regular file of at most 1 MiB with a language file's key;
      // a FIFO is refused without waiting for a writer.
      {"--lang", TestFolder().path(), "1"},
      {"--lang", "/dev/null", "1"},
      {"--lang", "/dev/zero", "1"},
      {"--lang", FifoPath(), "1"},
      {"--lang", FileWith("empty.lng", ""), "1"},
      {"--lang", FileWith("keyless.lng", "[MENU]\nlanguage=none\n[OPERATIONS]\n36=x\n"), "1"},
      {"--lang", FileWith("large.lng", "[MENU]\n0=File\n;" + std::string(1 << 20, 'x') + "\n"), "1"},
      // Control characters in an echoed name or path stay off the terminal,
      // and the reason stays one line.
      {"--ver\nbose\x1b[2J", "1"},
      {"--lang", "/nonexistent/a\nb\x1b[2J\r.lng", "1"},
  };
  for (const auto& arguments : cases) {
    SCOPED_TRACE(testing::Message() << "first argument " << arguments[0] << ", " << arguments.size()
                                    << " arguments");
    const CliOutcome outcome = RunCli(arguments);
    EXPECT_EQ(outcome.status, 2);
    EXPECT_EQ(outcome.out, "");
    EXPECT_EQ(outcome.err.rfind("quillo-cli: ", 0), 0u) << outcome.err;
    EXPECT_EQ(outcome.err.find('\n'), outcome.err.size() - 1) << outcome.err;
    EXPECT_EQ(outcome.err.find_first_of("\x1b\r"), std::string::npos) << outcome.err;
  }
  const CliOutcome help = RunCli({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.out.rfind("usage: quillo-cli", 0), 0u);
}

TEST(CliEndToEnd, TraceGoesToStandardErrorOnlyWhenAsked) {
  const CliOutcome traced = RunWithTestTexts({"--trace", "--form", "dec", "cos(0)"});
  EXPECT_EQ(traced.out, "1\n");
  EXPECT_NE(traced.err.find("cos"), std::string::npos) << traced.err;
  EXPECT_EQ(traced.status, 0);
  EXPECT_EQ(RunWithTestTexts({"--form", "dec", "cos(0)"}).err, "");
  EXPECT_EQ(RunWithTestTexts({"--trace", "--form", "dec", "1+1"}).err, "");
}

TEST(CliEndToEnd, ExpressionsOfUpTo999CharactersAreCalculated) {
  const std::string longest = Repeat("1+", 499) + "1";  // 999 characters
  ASSERT_EQ(longest.size(), 999u);
  CliOutcome outcome = RunWithTestTexts({"--form", "dec", longest});
  EXPECT_EQ(outcome.out, "500\n");
  EXPECT_EQ(outcome.status, 0);

  // One more character would be cut off in the window's box; here the
  // expression is refused rather than calculated without its end.
  const std::string tooLong = longest + "0";
  outcome = RunWithTestTexts({"--form", "dec", tooLong, "1"});
  EXPECT_EQ(outcome.out, "expression longer than 999 characters\n1\n");
  EXPECT_EQ(outcome.status, 1);
  outcome = RunWithTestTexts({"--tsv"}, tooLong + "\n");
  EXPECT_EQ(outcome.out, "error:long\t" + Repeat("\texpression longer than 999 characters", 5) + "\n");
  EXPECT_EQ(outcome.status, 1);
}

TEST(CliEndToEnd, GermanLocaleChangesNoNumber) {
  if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) GTEST_SKIP() << "locale de_DE.UTF-8 not installed";
  std::setlocale(LC_ALL, "C");
  const char* german = "de_DE.UTF-8";
  EXPECT_EQ(RunWithTestTexts({"2.5*2"}, "", german).out,
            "DEC 5\nHEX 5\nBIN 101\nOCT 5\nEXP 5.000000000000000E+0000\n");
  EXPECT_EQ(RunWithTestTexts({"--tsv", "2.5", "1.5e3/4"}, "", german).out,
            "ok\t2.5\t2.5\t2\t10\t2\t2.500000000000000E+0000\n"
            "ok\t375\t375\t177\t101110111\t567\t3.750000000000000E+0002\n");
  EXPECT_EQ(RunWithTestTexts({"--form", "dec"}, "0.1+0.2\n", german).out, "0.3\n");
}

TEST(CliEndToEnd, LanguageTextsArePrintedAsUtf8) {
  // "Деление на ноль" in Windows-1251, as older language files hold it.
  const std::string file = TestFolder() / "cp1251.lng";
  WriteFile(file, "[OPERATIONS]\n" +
                      MessageLine(kMsgDivisionByZero, "\xC4\xE5\xEB\xE5\xED\xE8\xE5 \xED\xE0 \xED\xEE\xEB\xFC"));
  EXPECT_EQ(RunCli({"--lang", file, "--form", "dec", "1/0"}).out,
            "\xD0\x94\xD0\xB5\xD0\xBB\xD0\xB5\xD0\xBD\xD0\xB8\xD0\xB5 \xD0\xBD\xD0\xB0 "
            "\xD0\xBD\xD0\xBE\xD0\xBB\xD1\x8C\n");
}

TEST(CliEndToEnd, WithoutTheShippedLanguageFileEveryMessageReadsNoTranslation) {
  // A copy of the program in a folder without "Lang" has no English file.
  const TempFolder folder;
  const std::string copy = folder / "quillo-cli";
  fs::copy_file(QUILLO_CLI_PATH, copy);
  const CliOutcome outcome = RunBinary(copy, {"--form", "dec", "1/0"}, "", "C");
  EXPECT_EQ(outcome.out, "no translation\n");
  EXPECT_EQ(outcome.status, 1);
}

TEST(CliEndToEnd, ShippedEnglishFileIsReadByDefault) {
  const fs::path english = fs::path(QUILLO_CLI_PATH).parent_path() / "Lang" / "english.lng";
  if (!fs::exists(english)) GTEST_SKIP() << english << " not built";
  const CliOutcome outcome = RunCli({"--form", "dec", "1/0"});
  EXPECT_NE(outcome.out, "no translation\n");
  EXPECT_NE(outcome.out, "\n");
  EXPECT_EQ(outcome.status, 1);
}

// quillo-cli's own messages come from the language file once it is loaded:
// the shipped Russian one, in Windows-1251, gives them in UTF-8.
TEST(CliEndToEnd, OwnMessagesAreTranslatedByTheLanguageFile) {
  using namespace std::string_literals;
  const fs::path russian = fs::path(QUILLO_CLI_PATH).parent_path() / "Lang" / "russian.lng";
  if (!fs::exists(russian)) GTEST_SKIP() << russian << " not built";
  const struct {
    int line;
    std::vector<std::string> arguments;
    std::string input;
    OutputTarget target;
    std::string out, err;
  } cases[] = {
      {__LINE__, {"--form", "dec"}, "1\n"s + '\0' + "\n" + Repeat("1", 1000) + "\n", OutputTarget::Captured,
       "1\nстрока содержит нулевой байт\nвыражение длиннее 999 символов\n", ""},
      {__LINE__, {"--tsv"}, "\0"s, OutputTarget::Captured,
       "error:nul\t" + Repeat("\tстрока содержит нулевой байт", 5) + "\n", ""},
      {__LINE__, {"1+1"}, "", OutputTarget::DevFull, "", "quillo-cli: ошибка записи: No space left on device\n"},
  };
  ForEachCase(cases, [&](const auto& c) {
    std::vector<std::string> arguments{"--lang", russian.string()};
    arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
    const CliOutcome outcome = RunProgramWithOutput(QUILLO_CLI_PATH, arguments, c.input, c.target);
    EXPECT_EQ(outcome.out, c.out);
    EXPECT_EQ(outcome.err, c.err);
  });
  // Usage errors come before any language file is read: English.
  EXPECT_EQ(RunCli({"--lang", russian.string(), "--form", "roman", "1"}).err,
            "quillo-cli: unknown form 'roman' (use dec, hex, bin, oct or exp)\n");
}

TEST(CliEndToEnd, EveryInputLineGetsExactlyOneOutputLine) {
  using namespace std::string_literals;
  const struct {
    int line;
    std::string input;
    const char* expected;  // status and value of each output line
    int status;
  } cases[] = {
      {__LINE__, "1+1\0junk\n2+2\n"s, "error:nul\t|ok\t4|", 1},
      {__LINE__, "1+1+1+1+1+1+1+1+1\n\0\n"s, "ok\t9|error:nul\t|", 1},
      {__LINE__, "1\r\n\n2"s, "ok\t1|ok\t0|ok\t2|", 0},
      {__LINE__, Repeat("1", 5000) + "\n3\n", "error:long\t|ok\t3|", 1},
  };
  ForEachCase(cases, [&](const auto& c) {
    const CliOutcome outcome = RunWithTestTexts({"--tsv"}, c.input);
    std::string fields;
    for (std::size_t at = 0; at < outcome.out.size();) {
      const std::size_t end = outcome.out.find('\n', at);
      const std::string row = outcome.out.substr(at, end - at);
      fields += row.substr(0, row.find('\t', row.find('\t') + 1)) + "|";
      at = end + 1;
    }
    EXPECT_EQ(fields, c.expected);
    EXPECT_EQ(outcome.status, c.status);
  });
  EXPECT_EQ(RunWithTestTexts({"--form", "dec"}, "1\n"s + '\0').out, "1\nline contains a NUL byte\n");
}

TEST(CliEndToEnd, RandomBytesGiveOneResultPerLine) {
  std::mt19937 random(11);
  std::string input(1 << 20, '\0');
  for (char& c : input) c = static_cast<char>(random() & 0xFF);
  const CliOutcome outcome = RunWithTestTexts({"--tsv"}, input);
  const auto lines = std::count(input.begin(), input.end(), '\n') + (input.back() != '\n' ? 1 : 0);
  EXPECT_EQ(std::count(outcome.out.begin(), outcome.out.end(), '\n'), lines);
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.err, "");
}

TEST(CliEndToEnd, AFailedWriteEndsTheRunWithStatusThree) {
  const struct {
    int line;
    std::vector<std::string> arguments;
    std::string input;
    OutputTarget target;
    const char* reason;
  } cases[] = {
      {__LINE__, {"1+1"}, "", OutputTarget::DevFull, "No space left on device"},
      {__LINE__, {"--tsv"}, "1\n2\n", OutputTarget::DevFull, "No space left on device"},
      {__LINE__, {"--help"}, "", OutputTarget::DevFull, "No space left on device"},
      {__LINE__, {"--version"}, "", OutputTarget::DevFull, "No space left on device"},
      // With SIGPIPE ignored, the reader's going shows as EPIPE: the run
      // stops instead of calculating all the rest.
      {__LINE__, {"--tsv"}, Repeat("1+1\n", 200000), OutputTarget::ClosedPipe, "Broken pipe"},
  };
  ForEachCase(cases, [&](const auto& c) {
    const CliOutcome outcome = RunProgramWithOutput(QUILLO_CLI_PATH, c.arguments, c.input, c.target);
    EXPECT_EQ(outcome.status, 3);
    EXPECT_EQ(outcome.err, std::string("quillo-cli: write error: ") + c.reason + "\n");
  });
}

TEST(CliEndToEnd, ExitStatusSaysWhatHappened) {
  const struct {
    int line;
    std::vector<std::string> arguments;
    std::string input;
    int status;
  } cases[] = {
      {__LINE__, {"1", "2"}, "", 0},
      {__LINE__, {"--tsv"}, "1\n2\n", 0},
      {__LINE__, {}, "", 0},
      {__LINE__, {"--version"}, "", 0},
      {__LINE__, {"1", "1/0"}, "", 1},
      {__LINE__, {"--form", "dec"}, "1\n\n" + Repeat("1", 1000) + "\n", 1},
      {__LINE__, {"--form", "dec"}, std::string("1\n\0\n", 4), 1},
      {__LINE__, {"--form", "decimal"}, "1\n", 2},
  };
  ForEachCase(cases, [&](const auto& c) { EXPECT_EQ(RunWithTestTexts(c.arguments, c.input).status, c.status); });
  const CliOutcome version = RunCli({"--version"});
  EXPECT_EQ(version.out.rfind("quillo-cli ", 0), 0u) << version.out;
  EXPECT_NE(version.out.find_first_of("0123456789"), std::string::npos) << version.out;
}

TEST(CliEndToEnd, AnswersEachLineWhileTheInputStaysOpen) {
  Coprocess coprocess = StartCoprocess(QUILLO_CLI_PATH, {"--lang", TestLanguageFile(), "--form", "dec"});
  ASSERT_GT(coprocess.pid, 0);
  EXPECT_TRUE(SendTo(coprocess, "1+1\n"));
  EXPECT_EQ(ReceiveLines(coprocess, 1, 10000), "2\n");
  EXPECT_TRUE(SendTo(coprocess, "2*3\r\n7"));
  EXPECT_EQ(ReceiveLines(coprocess, 1, 10000), "6\n");
  EXPECT_EQ(FinishCoprocess(coprocess), 0);
}

TEST(CliEndToEnd, AnEndlessLineIsNotKeptInMemory) {
  const std::string shortInput = FileWith("short-input", "1\n");
  // Written a piece at a time, so that the test itself holds no large text.
  const std::string longInput = TestFolder() / "long-input";
  {
    std::ofstream file(longInput, std::ios::binary);
    const std::string piece(1 << 20, '1');
    for (int i = 0; i < 32; ++i) file << piece;
    file << "\n2\n";
  }
  const long small = PeakMemoryOfProgram(QUILLO_CLI_PATH, {"--tsv"}, shortInput);
  const long large = PeakMemoryOfProgram(QUILLO_CLI_PATH, {"--tsv"}, longInput);
  ASSERT_GT(small, 0);
  ASSERT_GT(large, 0);
  // 32 MiB of one line; what the program holds may grow by buffers, not by the line.
  EXPECT_LT(large - small, 4096) << "peak " << small << " KiB for one line, " << large << " KiB for a 32 MiB one";
}

}  // namespace
