#include "ui/help_contents.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "engine/vocabulary.h"
#include "settings/optional_texts.h"
#include "settings/settings_state.h"
#include "tests/support/case_table.h"

namespace {

// Every word the tests calculate in: the examples must hold in each.
constexpr WordSize kWords[] = {MakeWordSize(8, false), MakeWordSize(16, true), MakeWordSize(32, false),
                               MakeWordSize(64, true)};

class HelpContentsTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetProgramSettings(); }
  void TearDown() override { ResetProgramSettings(); }
};

// A row added to the vocabulary without its help fails here, and so does an
// example that no longer calculates.
TEST_F(HelpContentsTest, EveryVocabularyRowHasAMeaningAndAnExampleThatCalculates) {
  for (const Operation& operation : kVocabulary) {
    SCOPED_TRACE(operation.text);
    const OperationHelp* help = FindOperationHelp(operation.text);
    ASSERT_NE(help, nullptr);
    EXPECT_STRNE(OptionalText(help->meaning), "");
    EXPECT_NE(std::string(help->example).find(operation.text), std::string::npos);
    for (const WordSize& word : kWords) {
      std::string result;
      EXPECT_TRUE(CalculateExample(help->example, word, ProgramSettings().MessageTable, help->form, result))
          << word.bits << " bits: " << result;
    }
  }
}

// The keys are those of the key table, a menu item's key named after the
// item, the keys of one action in one row.
TEST_F(HelpContentsTest, ListsEachRowOnceWithItsCalculatedResult) {
  std::strcpy(ProgramSettings().MenuTexts[4], "&Help");
  std::strcpy(ProgramSettings().MenuTexts[5], "Contents && index");
  const HelpContents help = BuildHelpContents(MakeWordSize(32, false), ProgramSettings().MessageTable);
  ASSERT_EQ(help.sections.size(), 4u);
  std::size_t listed = 0;
  for (const HelpSection& section : help.sections) {
    for (const HelpRow& row : section.rows) {
      if (section.title == "Operators" || section.title == "Functions") ++listed;
      EXPECT_FALSE(row.meaning.empty()) << row.term;
      if (!row.example.empty()) {
        EXPECT_FALSE(row.result.empty()) << row.example;
      }
    }
  }
  EXPECT_EQ(listed, std::size(kVocabulary));
  const struct {
    int line;
    std::string row;  // term|meaning|example|result
  } cases[] = {
      {__LINE__, "!|Integer division of the words, rounded toward zero|-7!2|-3"},
      {__LINE__, "\\|Bitwise exclusive or of the words|0xC\\0xA|0x6"},
      {__LINE__, "~|Bitwise complement of the word (written before its operand)|~0|0xFFFFFFFF"},
      {__LINE__, "tg(x)|Tangent of an angle in radians|tg(pi/4)|1"},
      {__LINE__, "round(x)|Rounded to the nearest integer|round(2.5)|3"},
      {__LINE__, "0x1F  $1F  1Fh|Hexadecimal number: 0x or $ before, or h after (starting with a digit)|$1F+1Fh|0x3E"},
      {__LINE__, "0b101  101b|Binary number: 0b before or b after|0b101+101b|1010b"},
      {__LINE__, "Alt+B|Chooses the form BIN||"},
      {__LINE__, "Ctrl+Shift+U|Word: Unsigned||"},
      {__LINE__, "F1|Help: Contents & index||"},
      {__LINE__, "Ctrl+Y  Ctrl+Shift+Z|Redoes it||"},
      {__LINE__, "Ctrl+C  Ctrl+Ins|Copies the line of the chosen form (nothing selected in the box)||"},
      {__LINE__, "Esc|Clears the box, keeping its text in the history; in an empty box, closes||"},
      {__LINE__, "F10|Opens the menu||"},
  };
  std::string all;
  for (const HelpSection& section : help.sections) {
    for (const HelpRow& row : section.rows) all += row.term + "|" + row.meaning + "|" + row.example + "|" + row.result + "\n";
  }
  ForEachCase(cases, [&](const auto& row) { EXPECT_NE(all.find(row.row + "\n"), std::string::npos) << all; });
}

// The meanings come from the language file where it has them.
TEST_F(HelpContentsTest, MeaningsFollowTheLanguageFile) {
  FillOptionalTexts("[TEXTS]\r\nhelpxor=XOR\r\nhelpfunctions=Funcs\r\n");
  const HelpContents help = BuildHelpContents(MakeWordSize(32, false), ProgramSettings().MessageTable);
  EXPECT_EQ(help.sections[1].title, "Funcs");
  EXPECT_NE(HelpAsPlainText(help).find("XOR"), std::string::npos);
  EXPECT_NE(HelpAsPlainText(help).find("Addition"), std::string::npos);  // English where the file has none
}

TEST_F(HelpContentsTest, HtmlEscapesEveryTextAndPlainTextLinesUpItsColumns) {
  HelpContents help{"A<b>", "n&te", {{"S", {{"<<", "less \"than\"", "1<<2", "4"}, {"x", "m", "", ""}}}}};
  const std::string html = HelpAsHtml(help);
  EXPECT_NE(html.find("A&lt;b&gt;"), std::string::npos) << html;
  EXPECT_NE(html.find("n&amp;te"), std::string::npos);
  EXPECT_NE(html.find("<code>&lt;&lt;</code>"), std::string::npos);
  EXPECT_NE(html.find("less &quot;than&quot;"), std::string::npos);
  EXPECT_NE(html.find("<code>1&lt;&lt;2 = 4</code>"), std::string::npos);
  EXPECT_EQ(HelpAsPlainText(help), "A<b>\n\nn&te\n\nS\n\n  <<  less \"than\"  1<<2 = 4\n  x   m\n");
}

}  // namespace
