#include "ui/help_contents.h"

#include <algorithm>
#include <iterator>
#include <memory>
#include <string_view>
#include <utility>

#include "engine/calculate.h"
#include "engine/vocabulary.h"
#include "settings/optional_texts.h"
#include "settings/settings_state.h"
#include "settings/text_encoding.h"
#include "ui/dialog_ids.h"
#include "ui/dialog_texts.h"
#include "ui/key_bindings.h"
#include "ui/main_dialog.h"

namespace {

// The examples are chosen so that each shows what sets the row apart: the
// word operators in hexadecimal, where their bits can be read.
constexpr OperationHelp kOperationHelp[] = {
    {"+", OptionalTextIndex("helpadd"), "2+3", kFormDec},
    {"-", OptionalTextIndex("helpsubtract"), "-(7-10)", kFormDec},
    {"*", OptionalTextIndex("helpmultiply"), "6*7", kFormDec},
    {"/", OptionalTextIndex("helpdivide"), "7/2", kFormDec},
    {"!", OptionalTextIndex("helpintdivide"), "-7!2", kFormDec},
    {"%", OptionalTextIndex("helpremainder"), "7%3", kFormDec},
    {"<<", OptionalTextIndex("helpshiftleft"), "0x0F<<4", kFormHex},
    {">>", OptionalTextIndex("helpshiftright"), "0xF0>>4", kFormHex},
    {"<", OptionalTextIndex("helpless"), "2<3", kFormDec},
    {">", OptionalTextIndex("helpgreater"), "2>3", kFormDec},
    {">=", OptionalTextIndex("helpgreaterequal"), "3>=3", kFormDec},
    {"<=", OptionalTextIndex("helplessequal"), "4<=3", kFormDec},
    {"<>", OptionalTextIndex("helpnotequal"), "2<>3", kFormDec},
    {"=", OptionalTextIndex("helpequal"), "2=3", kFormDec},
    {"^", OptionalTextIndex("helppower"), "2^10", kFormDec},
    {"&", OptionalTextIndex("helpand"), "0xC&0xA", kFormHex},
    {"|", OptionalTextIndex("helpor"), "0xC|0xA", kFormHex},
    {"&&", OptionalTextIndex("helplogicaland"), "2&&0", kFormDec},
    {"||", OptionalTextIndex("helplogicalor"), "2||0", kFormDec},
    {"\\", OptionalTextIndex("helpxor"), "0xC\\0xA", kFormHex},
    {"~", OptionalTextIndex("helpnot"), "~0", kFormHex},
    {"cos", OptionalTextIndex("helpcos"), "cos(pi)", kFormDec},
    {"sin", OptionalTextIndex("helpsin"), "sin(pi/2)", kFormDec},
    {"exp", OptionalTextIndex("helpexp"), "exp(1)", kFormDec},
    {"ln", OptionalTextIndex("helpln"), "ln(exp(2))", kFormDec},
    {"tg", OptionalTextIndex("helptg"), "tg(pi/4)", kFormDec},
    {"ctg", OptionalTextIndex("helpctg"), "ctg(pi/4)", kFormDec},
    {"arctg", OptionalTextIndex("helparctg"), "arctg(1)", kFormDec},
    {"arcctg", OptionalTextIndex("helparcctg"), "arcctg(1)", kFormDec},
    {"int", OptionalTextIndex("helpint"), "int(-2.7)", kFormDec},
    {"frac", OptionalTextIndex("helpfrac"), "frac(2.75)", kFormDec},
    {"rad", OptionalTextIndex("helprad"), "rad(180)", kFormDec},
    {"grad", OptionalTextIndex("helpgrad"), "grad(pi)", kFormDec},
    {"sign", OptionalTextIndex("helpsign"), "sign(-5)", kFormDec},
    {"lg", OptionalTextIndex("helplg"), "lg(1000)", kFormDec},
    {"sqr", OptionalTextIndex("helpsqr"), "sqr(12)", kFormDec},
    {"sqrt", OptionalTextIndex("helpsqrt"), "sqrt(2)", kFormDec},
    {"arcsin", OptionalTextIndex("helparcsin"), "arcsin(1)", kFormDec},
    {"arccos", OptionalTextIndex("helparccos"), "arccos(0)", kFormDec},
    {"fact", OptionalTextIndex("helpfact"), "fact(5)", kFormDec},
    {"abs", OptionalTextIndex("helpabs"), "abs(-3)", kFormDec},
    {"round", OptionalTextIndex("helpround"), "round(2.5)", kFormDec},
    {"cosec", OptionalTextIndex("helpcosec"), "cosec(pi/2)", kFormDec},
    {"sec", OptionalTextIndex("helpsec"), "sec(0)", kFormDec},
};

// The notations of numbers and the names the parser reads besides the
// vocabulary, each with an example in one of its spellings.
struct NotationHelp {
  const char* spellings;
  int meaning;
  const char* example;
  ResultForm form;
};
constexpr NotationHelp kNotationHelp[] = {
    {"123  1_000", OptionalTextIndex("helpdecimal"), "1_000+1", kFormDec},
    {"2.5  1.5e3  1e-3", OptionalTextIndex("helpreal"), "1.5e3", kFormDec},
    {"0x1F  $1F  1Fh", OptionalTextIndex("helphex"), "$1F+1Fh", kFormHex},
    {"0b101  101b", OptionalTextIndex("helpbinary"), "0b101+101b", kFormBin},
    {"0o17  17o", OptionalTextIndex("helpoctal"), "0o17+17o", kFormOct},
    {"pi", OptionalTextIndex("helppi"), "pi", kFormDec},
    {"ans", OptionalTextIndex("helpans"), "ans+1", kFormDec},
    {"( )", OptionalTextIndex("helpbrackets"), "(1+2)*3", kFormDec},
};

// Enter is the Calculate button's, the dialog's default: no binding of the
// key table stands for it.
constexpr int kEnterMeaning = OptionalTextIndex("helpkeyenter");

std::string Translated(int optionalText) { return DisplayUtf8(OptionalText(optionalText)); }

// The vocabulary's rows of one kind (functions or not), in table order.
HelpSection OperationSection(bool functions, const WordSize& word, const MessageTexts& messages) {
  const int title = functions ? OptionalTextIndex("helpfunctions") : OptionalTextIndex("helpoperators");
  HelpSection section{Translated(title), {}};
  for (const Operation& operation : kVocabulary) {
    if (IsFunction(operation) != functions) continue;
    const OperationHelp* help = FindOperationHelp(operation.text);
    HelpRow row{functions ? std::string(operation.text) + "(x)" : operation.text, "", "", ""};
    if (help != nullptr) {
      row.meaning = Translated(help->meaning);
      row.example = help->example;
      CalculateExample(help->example, word, messages, help->form, row.result);
    }
    section.rows.push_back(std::move(row));
  }
  return section;
}

HelpSection NotationSection(const WordSize& word, const MessageTexts& messages) {
  HelpSection section{Translated(OptionalTextIndex("helpnumbers")), {}};
  for (const NotationHelp& notation : kNotationHelp) {
    HelpRow row{notation.spellings, Translated(notation.meaning), notation.example, ""};
    CalculateExample(notation.example, word, messages, notation.form, row.result);
    section.rows.push_back(std::move(row));
  }
  return section;
}

// A menu text as it reads without its accelerator marks: "&&" is a literal
// "&", a single "&" marks the next letter.
std::string WithoutMarks(const char* text) {
  std::string plain;
  for (; *text != '\0'; ++text) {
    if (*text == '&' && *++text == '\0') break;
    plain += *text;
  }
  return plain;
}

// "Pop-up: item" of the menu item that command chooses; empty if none.
std::string MenuItemName(const MenuModel& menu, int command) {
  for (const MenuPopupModel& popup : menu.popups) {
    for (int i = 0; i < popup.itemCount; ++i) {
      const MenuItemModel& item = popup.items[i];
      if (item.text != nullptr && item.commandId == command) {
        return DisplayUtf8(WithoutMarks(popup.title).c_str()) + ": " + DisplayUtf8(WithoutMarks(item.text).c_str());
      }
    }
  }
  return {};
}

// What the key of binding does, in the language loaded now; a menu
// command's key is named after its item in menu.
std::string KeyMeaning(const KeyBinding& binding, const MenuModel& menu) {
  switch (binding.action) {
    case KeyAction::kHotkey:
      return Translated(binding.argument == kHotkeyEscape ? OptionalTextIndex("helpkeyescape")
                                                          : OptionalTextIndex("helpkeydown"));
    case KeyAction::kHistorySearch:
      return Translated(OptionalTextIndex("helpkeysearch"));
    case KeyAction::kCopyAll:
      return Translated(OptionalTextIndex("helpkeycopyall"));
    case KeyAction::kCopyResult:
      return Translated(OptionalTextIndex("helpkeycopy"));
    case KeyAction::kUndo:
      return Translated(OptionalTextIndex("helpkeyundo"));
    case KeyAction::kRedo:
      return Translated(OptionalTextIndex("helpkeyredo"));
    case KeyAction::kChooseForm:
      return Translated(OptionalTextIndex("helpkeyform")) + " " + kResultFormLabels[binding.argument];
    case KeyAction::kMenuCommand:
      return MenuItemName(menu, binding.argument);
    case KeyAction::kOpenMenuBar:
      return Translated(OptionalTextIndex("helpkeymenu"));
  }
  return {};
}

// Every binding of the key table, the keys of one action in one row, after
// Enter: the help lists exactly the keys the window takes.
HelpSection KeySection() {
  HelpSection section{Translated(OptionalTextIndex("helpkeys")), {}};
  section.rows.push_back({"Enter", Translated(kEnterMeaning), "", ""});
  MenuModel menu{};
  BuildMenu(ProgramSettings(), menu);
  const std::span<const KeyBinding> bindings = KeyBindings();
  for (std::size_t i = 0; i < bindings.size(); ++i) {
    const auto sameAction = [&](const KeyBinding& other) {
      return other.action == bindings[i].action && other.argument == bindings[i].argument;
    };
    if (std::any_of(bindings.begin(), bindings.begin() + static_cast<std::ptrdiff_t>(i), sameAction)) continue;
    std::string keys;
    char name[32];
    for (std::size_t j = i; j < bindings.size(); ++j) {
      if (!sameAction(bindings[j])) continue;
      if (!keys.empty()) keys += "  ";
      keys += KeyChordName(bindings[j].chord, name, sizeof name);
    }
    section.rows.push_back({keys, KeyMeaning(bindings[i], menu), "", ""});
  }
  return section;
}

void AppendEscaped(std::string& html, const std::string& text) {
  for (const char c : text) {
    switch (c) {
      case '&':
        html += "&amp;";
        break;
      case '<':
        html += "&lt;";
        break;
      case '>':
        html += "&gt;";
        break;
      case '"':
        html += "&quot;";
        break;
      default:
        html += c;
    }
  }
}

// How many characters a UTF-8 text shows: its bytes that start one.
std::size_t DisplayWidth(const std::string& text) {
  std::size_t width = 0;
  for (const char c : text) width += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
  return width;
}

void AppendPadded(std::string& text, const std::string& cell, std::size_t width) {
  text += cell;
  for (std::size_t w = DisplayWidth(cell); w < width; ++w) text += ' ';
}

// The widest term and meaning of a section, so that its columns line up.
std::pair<std::size_t, std::size_t> ColumnWidths(const HelpSection& section) {
  std::size_t term = 0;
  std::size_t meaning = 0;
  for (const HelpRow& row : section.rows) {
    term = std::max(term, DisplayWidth(row.term));
    if (!row.example.empty()) meaning = std::max(meaning, DisplayWidth(row.meaning));
  }
  return {term, meaning};
}

}  // namespace

const OperationHelp* FindOperationHelp(const char* text) {
  for (const OperationHelp& help : kOperationHelp) {
    if (std::string_view(help.text) == text) return &help;
  }
  return nullptr;
}

bool CalculateExample(const char* example, const WordSize& word, const MessageTexts& messages, ResultForm form,
                      std::string& result) {
  // The record is large for a stack: it is made for the occasion.
  const auto engine = std::make_unique<EngineState>();
  SetWordSize(*engine, word);
  ResetAnswer(*engine);
  SetExpression(*engine, example);
  CalculateExpression(*engine);
  char text[kCalculateTextCapacity];
  const bool calculated = ComposeCalculateText(*engine, messages, form, text, sizeof text);
  result = DisplayUtf8(text);
  return calculated;
}

HelpContents BuildHelpContents(const WordSize& word, const MessageTexts& messages) {
  HelpContents help{Translated(OptionalTextIndex("helptitle")), Translated(OptionalTextIndex("helpexamples")), {}};
  help.sections.push_back(OperationSection(false, word, messages));
  help.sections.push_back(OperationSection(true, word, messages));
  help.sections.push_back(NotationSection(word, messages));
  help.sections.push_back(KeySection());
  return help;
}

std::string HelpAsHtml(const HelpContents& help) {
  std::string html = "<html><body><h2>";
  AppendEscaped(html, help.title);
  html += "</h2><p>";
  AppendEscaped(html, help.note);
  html += "</p>";
  for (const HelpSection& section : help.sections) {
    html += "<h3>";
    AppendEscaped(html, section.title);
    html += "</h3><table cellspacing=\"0\" cellpadding=\"3\">";
    for (const HelpRow& row : section.rows) {
      html += "<tr><td><code>";
      AppendEscaped(html, row.term);
      html += "</code></td><td>";
      AppendEscaped(html, row.meaning);
      html += "</td><td>";
      if (!row.example.empty()) {
        html += "<code>";
        AppendEscaped(html, row.example);
        html += " = ";
        AppendEscaped(html, row.result);
        html += "</code>";
      }
      html += "</td></tr>";
    }
    html += "</table>";
  }
  html += "</body></html>";
  return html;
}

std::string HelpAsPlainText(const HelpContents& help) {
  std::string text = help.title + "\n\n" + help.note + "\n";
  for (const HelpSection& section : help.sections) {
    text += "\n" + section.title + "\n\n";
    const auto [termWidth, meaningWidth] = ColumnWidths(section);
    for (const HelpRow& row : section.rows) {
      text += "  ";
      AppendPadded(text, row.term, termWidth + 2);
      if (row.example.empty()) {
        text += row.meaning + "\n";
        continue;
      }
      AppendPadded(text, row.meaning, meaningWidth + 2);
      text += row.example + " = " + row.result + "\n";
    }
  }
  return text;
}
