// Runs the built quillo-cli with arguments and standard input and checks its
// output and exit status.

#include <gtest/gtest.h>

#include <filesystem>
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
            "OCT Division by zero\nEXP Division by zero\n");
  EXPECT_EQ(outcome.err, "");
  EXPECT_EQ(outcome.status, 1);
}

TEST(CliEndToEnd, FormWritesWhatCalculatePutsIntoTheBox) {
  const struct {
    int line;
    const char* form;
    const char* expression;
    const char* expected;
  } cases[] = {
      {__LINE__, "dec", "2/3", "0.6666667\n"},
      {__LINE__, "hex", "255", "0xFF\n"},
      {__LINE__, "bin", "5", "101b\n"},
      {__LINE__, "oct", "8", "10o\n"},
      {__LINE__, "exp", "2^3", "8.000000000000000E+0000\n"},
      {__LINE__, "hex", "-1", "0xFFFFFFFF\n"},
      // The box has no size limit for the integer forms.
      {__LINE__, "hex", "1e10", "0x540BE400\n"},
      {__LINE__, "dec", "foo", "Unknown name\n"},
  };
  ForEachCase(cases, [&](const auto& c) {
    const CliOutcome outcome = RunWithTestTexts({"--form", c.form, c.expression});
    EXPECT_EQ(outcome.out, c.expected);
  });
}

TEST(CliEndToEnd, TsvGivesStatusValueAndTheFiveTexts) {
  const struct {
    int line;
    const char* expression;
    const char* expected;
  } cases[] = {
      {__LINE__, "2+3", "ok\t5\t5\t5\t101\t5\t5.000000000000000E+0000\n"},
      {__LINE__, "0.1", "ok\t0.1\t0.1\t0\t0\t0\t1.000000000000000E-0001\n"},
      {__LINE__, "2^3", "ok\t7.999999999999997\t8\t7\t111\t7\t8.000000000000000E+0000\n"},
      {__LINE__, "1e19", "ok\t1e+19\t10000000000000000000\tToo large\tToo large\tToo large\t1.000000000000000E+0019\n"},
      {__LINE__, "1e400", "ok\tinf\tinf\t0\t0\t0\tinf\n"},
      {__LINE__, "-1e400", "ok\t-inf\t-inf\t0\t0\t0\t-inf\n"},
      {__LINE__, "-0.00000004", "ok\t-4e-08\t-0\t0\t0\t0\t-4.000000000000000E-0008\n"},
      {__LINE__, "1/0", "error:17\t0\tDivision by zero\tDivision by zero\tDivision by zero\tDivision by zero\tDivision by zero\n"},
      // Operands left over: the failure keeps the bottom value in result.
      {__LINE__, "2 3", "error:6\t2\tno translation\tno translation\tno translation\tno translation\tno translation\n"},
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
  };
  for (const auto& arguments : cases) {
    SCOPED_TRACE(testing::Message() << "first argument " << arguments[0] << ", " << arguments.size()
                                    << " arguments");
    const CliOutcome outcome = RunCli(arguments);
    EXPECT_EQ(outcome.status, 2);
    EXPECT_EQ(outcome.out, "");
    EXPECT_EQ(outcome.err.rfind("quillo-cli: ", 0), 0u) << outcome.err;
    EXPECT_EQ(outcome.err.find('\n'), outcome.err.size() - 1) << outcome.err;
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

}  // namespace
