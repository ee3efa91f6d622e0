// quillo-cli as a person runs it, at a pseudo-terminal: typing, editing and
// recalling lines, ending the session, the history it shares with the window,
// colour, and the output scripts rely on staying byte for byte the same.

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "settings/files/file_lock.h"
#include "settings/history.h"
#include "settings/profile.h"
#include "settings/settings.h"
#include "tests/cli/pseudo_terminal.h"
#include "tests/support/case_table.h"
#include "tests/support/child_process.h"
#include "tests/support/fake_settings_host.h"
#include "tests/support/files.h"
#include "tests/support/settings_files.h"
#include "tests/support/temp_folder.h"

namespace {

namespace fs = std::filesystem;

constexpr char kUp[] = "\x1b[A";
constexpr char kLeft[] = "\x1b[D";
constexpr char kCtrlA[] = "\x01";
constexpr char kCtrlD[] = "\x04";
constexpr char kCtrlR[] = "\x12";
constexpr char kEscape[] = "\x1b";
constexpr char kBackspace[] = "\x7f";

// The five lines of 5 as the terminal shows them, the blank line and the
// next prompt.
constexpr char kFiveAndPrompt[] = "DEC 5\r\nHEX 5\r\nBIN 101\r\nOCT 5\r\nEXP 5.000000000000000E+0000\r\n\r\n> ";

// The end of a result and the prompt for the next line. Keys are typed only
// once it shows, as a person would: typed earlier, they reach the terminal
// while the line editor has handed it back, and Ctrl+D there is the
// terminal's own end of file rather than a key.
constexpr char kNextPrompt[] = "\r\n\r\n> ";

// The shipped English texts, beside the built program.
std::string EnglishLanguageFile() { return (fs::path(QUILLO_CLI_PATH).parent_path() / "Lang" / "english.lng").string(); }

// The history the window finds in the settings file at path when it opens.
std::vector<std::string> WindowHistoryIn(const std::string& path) {
  ResetProgramSettingsAt(path);
  FakeHost window;
  LoadHistory(window);
  return window.list;
}

// A copy of quillo-cli in a folder of the test's own, which only the user
// can change: the program keeps its settings file beside itself there, as
// a portable install does, so each test has a history of its own.
class CliAtTerminal : public testing::Test {
 protected:
  void SetUp() override {
    fs::copy_file(QUILLO_CLI_PATH, program_);
    chmod(folder_.path().c_str(), 0700);
  }

  std::unique_ptr<TerminalSession> Start(const std::vector<std::string>& arguments = {},
                                         const std::vector<std::string>& environment = {"NO_COLOR=1"},
                                         bool outputToPipe = false) const {
    std::vector<std::string> words{"--lang", EnglishLanguageFile()};
    words.insert(words.end(), arguments.begin(), arguments.end());
    // The test's own variables first: of two of a name, the first counts.
    std::vector<std::string> variables(environment);
    variables.insert(variables.end(), {"HOME=" + folder_.path(), "TERM=xterm", "LC_ALL=C.UTF-8"});
    auto session = std::make_unique<TerminalSession>(program_, words, variables, outputToPipe);
    EXPECT_TRUE(session->Started());
    return session;
  }

  std::string SettingsFile() const { return folder_ / "quillo.ini"; }

  TempFolder folder_;
  std::string program_ = folder_ / "quillo-cli";
};

TEST_F(CliAtTerminal, ATypedExpressionGivesFiveLinesABlankLineAndThePromptAgain) {
  auto session = Start({"--no-history"});
  ASSERT_TRUE(session->WaitFor("> "));
  session->Type("2+3\r");
  EXPECT_TRUE(session->WaitFor(kFiveAndPrompt)) << session->Screen();
  session->Type("\r");  // an empty line calculates nothing
  EXPECT_TRUE(session->WaitFor("\r\n> "));
  session->Type("2*(3+4\r");
  EXPECT_TRUE(session->WaitFor("EXP Unbalanced brackets\r\n    2*(3+4\r\n      ^\r\n\r\n> ")) << session->Screen();
  session->Type(kCtrlD);
  EXPECT_EQ(session->WaitForExit(), 1);  // one expression failed
}

// Each row types 12*3 first, then its keys: the line they leave is what
// is calculated.
TEST_F(CliAtTerminal, EditingKeysChangeTheRecalledLine) {
  const struct {
    int line;
    std::string keys;
    std::string result;
  } cases[] = {
      {__LINE__, std::string(kUp) + "\r", "DEC 36\r\n"},
      {__LINE__, std::string(kUp) + kLeft + kLeft + "0\r", "DEC 360\r\n"},  // 120*3: typed in the middle
      {__LINE__, std::string(kUp) + kCtrlA + "1\r", "DEC 336\r\n"},         // 112*3
      {__LINE__, std::string(kUp) + kBackspace + "4\r", "DEC 48\r\n"},      // 12*4
      {__LINE__, std::string(kCtrlR) + "12\r", "DEC 36\r\n"},  // search back
  };
  ForEachCase(cases, [&](const auto& c) {
    auto session = Start({"--no-history"});
    ASSERT_TRUE(session->WaitFor("> "));
    session->Type("12*3\r");
    ASSERT_TRUE(session->WaitFor("DEC 36\r\n"));
    ASSERT_TRUE(session->WaitFor(kNextPrompt));
    session->Type(c.keys);
    EXPECT_TRUE(session->WaitFor(c.result)) << session->Screen();
    ASSERT_TRUE(session->WaitFor(kNextPrompt));
    session->Type(kCtrlD);
    EXPECT_EQ(session->WaitForExit(), 0) << session->Screen();
  });
}

TEST_F(CliAtTerminal, CtrlDOrEscapeOnAnEmptyLineEndsTheSession) {
  for (const char* key : {kCtrlD, kEscape}) {
    SCOPED_TRACE(key[0] == '\x04' ? "Ctrl+D" : "Escape");
    auto session = Start({"--no-history"});
    ASSERT_TRUE(session->WaitFor("> "));
    session->Type("6*7\r");
    ASSERT_TRUE(session->WaitFor("DEC 42\r\n"));
    ASSERT_TRUE(session->WaitFor(kNextPrompt));
    session->Type(key);
    EXPECT_EQ(session->WaitForExit(), 0);
  }
}

TEST_F(CliAtTerminal, TheWindowsEntriesAreRecalledWithUp) {
  WriteFile(SettingsFile(), "[INI]\nhistorylen=10\n[HISTORY]\n0=6*7\n1=2^10\n");
  auto session = Start();
  ASSERT_TRUE(session->WaitFor("> "));
  session->Type(std::string(kUp) + kUp + "\r");
  EXPECT_TRUE(session->WaitFor("DEC 1024\r\n")) << session->Screen();
  ASSERT_TRUE(session->WaitFor(kNextPrompt));
  session->Type(kCtrlD);
  EXPECT_EQ(session->WaitForExit(), 0);
}

// The window's keys and their bytes stay; the typed lines, failed ones
// too, stand on top of the window's list when it next opens.
TEST_F(CliAtTerminal, TypedExpressionsReachTheWindowAndNothingElseChanges) {
  const std::string before = "[INI]\r\nlang=/nowhere/x.lng\r\nform=3\r\nhistorylen=10\r\nwordbits=16\r\n";
  const std::string after = "[OTHER]\r\nkey = value\r\n";
  WriteFile(SettingsFile(), before + "[HISTORY]\r\n0=1+1\r\n" + after);
  auto session = Start();
  ASSERT_TRUE(session->WaitFor("> "));
  session->Type("5*5\r");
  ASSERT_TRUE(session->WaitFor("DEC 25\r\n"));
  ASSERT_TRUE(session->WaitFor(kNextPrompt));
  session->Type("2*(\r");
  ASSERT_TRUE(session->WaitFor("    2*(\r\n"));
  ASSERT_TRUE(session->WaitFor(kNextPrompt));
  session->Type(kCtrlD);
  EXPECT_EQ(session->WaitForExit(), 1);
  const std::string file = ReadFile(SettingsFile());
  EXPECT_EQ(file.substr(0, before.size()), before);
  EXPECT_EQ(file.substr(file.size() - after.size()), after);
  EXPECT_EQ(Joined(WindowHistoryIn(SettingsFile())), "2*(|5*5|1+1");
}

// A window saves while the session calculates: the session waits for the
// lock, then adds its line on top of what the window wrote, and the
// window's form stays.
TEST_F(CliAtTerminal, AWindowSavingAtTheSameMomentKeepsBothEntries) {
  WriteFile(SettingsFile(), "[INI]\nform=0\nhistorylen=10\n[HISTORY]\n0=1+1\n");
  auto session = Start();
  ASSERT_TRUE(session->WaitFor("> "));
  ResetProgramSettingsAt(SettingsFile());
  FakeHost window;
  LoadHistory(window);
  {
    SettingsFileLock saving(SettingsFile().c_str());
    ASSERT_TRUE(saving.Held());
    session->Type("9*9\r");
    ASSERT_TRUE(session->WaitFor("DEC 81\r\n"));
    AddToHistory(window, "8*8");
    ProgramSettings().CurrentForm = 2;
    EXPECT_TRUE(SaveSettings(window));
  }
  ASSERT_TRUE(session->WaitFor(kNextPrompt));  // the line is saved
  session->Type("3*3\r");
  ASSERT_TRUE(session->WaitFor("DEC 9\r\n"));
  ASSERT_TRUE(session->WaitFor(kNextPrompt));
  session->Type(kCtrlD);
  EXPECT_EQ(session->WaitForExit(), 0);
  EXPECT_EQ(Joined(WindowHistoryIn(SettingsFile())), "3*3|9*9|8*8|1+1");
  EXPECT_EQ(ReadProfileInt("INI", "form", -1, SettingsFile().c_str()), 2);
}

TEST_F(CliAtTerminal, NoHistoryNeitherReadsNorWritesTheWindowsHistory) {
  const std::string settings = "[INI]\nhistorylen=10\n[HISTORY]\n0=6*7\n";
  WriteFile(SettingsFile(), settings);
  auto session = Start({"--no-history"});
  ASSERT_TRUE(session->WaitFor("> "));
  // Recalled, 6*7 would make this 6*72.
  session->Type(std::string(kUp) + "2\r");
  EXPECT_TRUE(session->WaitFor("DEC 2\r\n")) << session->Screen();
  ASSERT_TRUE(session->WaitFor(kNextPrompt));
  session->Type(kCtrlD);
  EXPECT_EQ(session->WaitForExit(), 0);
  EXPECT_EQ(ReadFile(SettingsFile()), settings);
}

TEST_F(CliAtTerminal, ColourUnlessNoColorIsSetOrTheTerminalIsDumb) {
  const std::string plain = "EXP Division by zero\r\n    1/0\r\n     ^\r\n";
  const std::string coloured = "\x1b[1;36mEXP\x1b[0m \x1b[31mDivision by zero\x1b[0m\r\n    1/0\r\n     \x1b[31m^\x1b[0m\r\n";
  const struct {
    int line;
    std::vector<std::string> environment;
    bool colour;
  } cases[] = {
      {__LINE__, {}, true},
      {__LINE__, {"NO_COLOR="}, true},  // set but empty counts as unset
      {__LINE__, {"NO_COLOR=1"}, false},
      {__LINE__, {"TERM=dumb"}, false},
  };
  ForEachCase(cases, [&](const auto& c) {
    auto session = Start({"--no-history"}, c.environment);
    ASSERT_TRUE(session->WaitFor("> "));
    session->Type("1/0\r");
    EXPECT_TRUE(session->WaitFor(c.colour ? coloured : plain)) << session->Screen();
    if (!c.colour) {
      EXPECT_EQ(session->Screen().find("\x1b[1;36m"), std::string::npos);
    }
    ASSERT_TRUE(session->WaitFor("\r\n> "));
    session->Type(kCtrlD);
    EXPECT_EQ(session->WaitForExit(), 1);
  });
}

// Output to a pipe, and --tsv and --form anywhere, are what they always
// were: no prompt, no colour, no blank lines, and no history.
TEST_F(CliAtTerminal, ScriptOutputIsByteForByteUnchanged) {
  const std::string fiveLines = "DEC 5\nHEX 5\nBIN 101\nOCT 5\nEXP 5.000000000000000E+0000\n";
  const ProgramOutcome piped =
      RunProgram(program_, {"--lang", EnglishLanguageFile()}, "2+3\n\n2+3\n", {"HOME=" + folder_.path()});
  // An empty line has a result of its own there: 0.
  EXPECT_EQ(piped.out, fiveLines + "DEC 0\nHEX 0\nBIN 0\nOCT 0\nEXP 0.000000000000000E+0000\n" + fiveLines);

  auto toPipe = Start({}, {}, true);  // typed at the terminal, written to a pipe
  toPipe->Type(std::string("2+3\r") + kCtrlD);
  EXPECT_EQ(toPipe->WaitForExit(), 0);
  EXPECT_EQ(toPipe->PipedOutput(), fiveLines);

  const struct {
    int line;
    std::vector<std::string> arguments;
    std::string output;
  } cases[] = {
      {__LINE__, {"--tsv"}, "\nok\t5\t5\t5\t101\t5\t5.000000000000000E+0000\r\n"},
      {__LINE__, {"--form", "hex"}, "\n0x5\r\n"},
  };
  ForEachCase(cases, [&](const auto& c) {
    auto session = Start(c.arguments, {});
    session->Type("2+3\r");
    EXPECT_TRUE(session->WaitFor(c.output)) << session->Screen();
    session->Type(kCtrlD);
    EXPECT_EQ(session->WaitForExit(), 0);
    EXPECT_EQ(session->Screen().find("> "), std::string::npos);
    EXPECT_EQ(session->Screen().find("\x1b["), std::string::npos);
  });
  EXPECT_FALSE(Exists(SettingsFile()));
}

}  // namespace
