#pragma once
// Help -> Contents: a reference of the expression language and the window's
// keys, built from the engine's vocabulary when it is opened. Each row of the
// vocabulary is listed with its meaning and an example that the engine
// calculates there and then, so the help cannot disagree with the program.
// The front ends only show it: as HTML in a text browser, or as plain text.

#include <string>
#include <vector>

#include "engine/messages.h"
#include "engine/word_size.h"
#include "format/result_format.h"

// One row: what to type, what it means, and an example with its result.
// Texts are UTF-8, ready for display.
struct HelpRow {
  std::string term;     // "+", "sin", "0x1F  $1F  1Fh", "Ctrl+R"
  std::string meaning;  // from the language file, or English
  std::string example;  // "" for a key
  std::string result;   // what the engine makes of example; "" for a key
};

struct HelpSection {
  std::string title;
  std::vector<HelpRow> rows;
};

struct HelpContents {
  std::string title;  // the window's title
  std::string note;   // a line under the title
  std::vector<HelpSection> sections;
};

// The help text of one vocabulary row: its meaning's optional text, an
// example using it and the form its result is shown in.
struct OperationHelp {
  const char* text;  // the row's text in the vocabulary
  int meaning;       // optional text index
  const char* example;
  ResultForm form;
};

// The help of the vocabulary row with this text, or nullptr.
const OperationHelp* FindOperationHelp(const char* text);

// Calculates example in word as the box would and writes what Calculate
// would put into the box in form into result. False (result holding the
// line the window would show, e.g. a message) when the example fails.
bool CalculateExample(const char* example, const WordSize& word, const MessageTexts& messages, ResultForm form,
                      std::string& result);

// The whole help, in the loaded language, its examples calculated in word.
HelpContents BuildHelpContents(const WordSize& word, const MessageTexts& messages);

// The help as an HTML page (every text escaped) and as plain text whose
// columns line up in a fixed-width font; lines end with "\n".
std::string HelpAsHtml(const HelpContents& help);
std::string HelpAsPlainText(const HelpContents& help);
