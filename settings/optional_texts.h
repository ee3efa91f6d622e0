#pragma once
// Texts a language file may give but need not: those of features newer than
// the oldest language files, and the program's own messages. Each has an
// English text that stands in while the loaded file lacks its key, so an old
// file still gives a complete window. Adding one is adding its row to
// kOptionalTexts.

#include <algorithm>
#include <array>
#include <cstddef>
#include <iterator>
#include <string_view>

#include "settings/profile.h"

// What a text is, which sets its room and how its value is read.
enum class OptionalTextKind {
  Label,      // a menu item, tooltip, field hint or title: one line
  Message,    // a message's sentence (a box, a refused line, quillo-cli): one line, never cut in practice
  Paragraph,  // several lines: "\n" in the value is a line break, "\\" a backslash
};

// Room for one text and its terminator, by kind. Larger than the 40 bytes of
// the numbered slots: a translation in UTF-8 takes two bytes a letter, and a
// message or the About text cut in mid-sentence would be worse than none.
// Still bounded, so a hostile file cannot make a text of any size.
inline constexpr std::size_t kOptionalTextCapacity = 160;
inline constexpr std::size_t kOptionalMessageCapacity = 512;
inline constexpr std::size_t kOptionalParagraphCapacity = 1024;

constexpr std::size_t OptionalTextCapacityOf(OptionalTextKind kind) {
  switch (kind) {
    case OptionalTextKind::Message:
      return kOptionalMessageCapacity;
    case OptionalTextKind::Paragraph:
      return kOptionalParagraphCapacity;
    default:
      return kOptionalTextCapacity;
  }
}

struct OptionalTextRow {
  const char* section;    // section of the language file
  const char* key;        // key in that section; also the text's name in code
  const char* english;    // the text while the loaded file has no value for the key
  OptionalTextKind kind;  // its room, and whether "\n" breaks a line
};

inline constexpr OptionalTextRow kOptionalTexts[] = {
    // The result lines' context menu: the line under the mouse, all five lines.
    {"TEXTS", "copy", "Copy", OptionalTextKind::Label},
    {"TEXTS", "copyall", "Copy all", OptionalTextKind::Label},
    // Tooltips of an integer line that shows only part of the value; the
    // value's DEC text follows after a blank.
    {"TEXTS", "lowbits", "low 32 bits of", OptionalTextKind::Label},
    {"TEXTS", "lowbits8", "low 8 bits of", OptionalTextKind::Label},
    {"TEXTS", "lowbits16", "low 16 bits of", OptionalTextKind::Label},
    {"TEXTS", "lowbits64", "low 64 bits of", OptionalTextKind::Label},
    {"TEXTS", "wholepart", "whole part of", OptionalTextKind::Label},
    // The word menu: its title, the four word sizes and the two readings of
    // the top bit.
    {"TEXTS", "wordmenu", "Word", OptionalTextKind::Label},
    {"TEXTS", "word8", "8 bits", OptionalTextKind::Label},
    {"TEXTS", "word16", "16 bits", OptionalTextKind::Label},
    {"TEXTS", "word32", "32 bits", OptionalTextKind::Label},
    {"TEXTS", "word64", "64 bits", OptionalTextKind::Label},
    {"TEXTS", "wordsigned", "Signed", OptionalTextKind::Label},
    {"TEXTS", "wordunsigned", "Unsigned", OptionalTextKind::Label},
    // The Options menu's item that keeps the window above the others.
    {"TEXTS", "ontop", "Always on top", OptionalTextKind::Label},
    // The Options menu's item that puts thin gaps between digit groups.
    {"TEXTS", "groupdigits", "Group digits", OptionalTextKind::Label},
    // An expression over 999 characters, refused rather than cut.
    {"TEXTS", "toolong", "expression longer than 999 characters", OptionalTextKind::Message},
    // Where a failed expression went wrong; the position (counted from 1) and
    // the token there follow.
    {"TEXTS", "errorat", "error at position", OptionalTextKind::Label},
    // The history search's field while nothing is typed into it.
    {"TEXTS", "searchhistory", "Search the history (Enter takes, Esc goes back)", OptionalTextKind::Label},
    // The caption of the error boxes shown once a language is loaded.
    {"TEXTS", "errortitle", "ERROR", OptionalTextKind::Label},
    // A failed save at close: this line, the settings file's path, then what is lost.
    {"TEXTS", "cantsave", "Can't save the settings file", OptionalTextKind::Message},
    {"TEXTS", "savelost", "The form and history of this session are lost.", OptionalTextKind::Message},
    // Another window has held the settings file's lock a long time without
    // changing the file: this line, the path, then the question.
    {"TEXTS", "lockstuck", "Another window has been changing the settings file", OptionalTextKind::Message},
    {"TEXTS", "lockwaitagain",
     "for a long time without finishing.\n"
     "Retry waits again; Cancel gives up waiting.",
     OptionalTextKind::Paragraph},
    // The first run could not create the settings file after the language
    // was chosen: this line, the path, then the end of the program.
    {"TEXTS", "cantcreate", "Can't create the settings file", OptionalTextKind::Message},
    {"TEXTS", "terminated", "Program terminated...", OptionalTextKind::Message},
    // A chosen language file that is refused: this line, its path, and why.
    {"TEXTS", "notlanguage", "Not used as language file:", OptionalTextKind::Message},
    {"TEXTS", "languagetoolarge", "It is larger than 1 MiB, so it is no language file.", OptionalTextKind::Message},
    {"TEXTS", "languageunsafe", "Other users can change files in its folder.", OptionalTextKind::Message},
    {"TEXTS", "languagenokey", "It holds no text of [MENU], [DIALOG] or [OPERATIONS].", OptionalTextKind::Message},
    {"TEXTS", "languageunreadable", "It cannot be read.", OptionalTextKind::Message},
    // The title of the language file dialog opened from the menu.
    {"TEXTS", "chooselanguage", "Choose a language file", OptionalTextKind::Label},
    // The About box.
    {"TEXTS", "abouttitle", "About Quillo", OptionalTextKind::Label},
    {"TEXTS", "about",
     "Quillo\n"
     "\n"
     "A desktop expression calculator.\n"
     "Type an expression; the result follows every key in five forms.\n"
     "Enter writes the result back in the chosen form.",
     OptionalTextKind::Paragraph},
    // The About box's last line: this word, then the program's version.
    {"TEXTS", "version", "Version", OptionalTextKind::Label},
    // Help -> Contents: its title, the headings, then the meaning of each
    // operator, function, number notation, name and key it lists.
    {"TEXTS", "helptitle", "Quillo Help", OptionalTextKind::Label},
    {"TEXTS", "helpoperators", "Operators", OptionalTextKind::Label},
    {"TEXTS", "helpfunctions", "Functions", OptionalTextKind::Label},
    {"TEXTS", "helpnumbers", "Numbers and names", OptionalTextKind::Label},
    {"TEXTS", "helpkeys", "Keys of the window", OptionalTextKind::Label},
    {"TEXTS", "helpexamples", "Every example is calculated when this help opens, in the word chosen now.", OptionalTextKind::Label},
    {"TEXTS", "helpadd", "Addition", OptionalTextKind::Label},
    {"TEXTS", "helpsubtract", "Subtraction; before an operand, its negation", OptionalTextKind::Label},
    {"TEXTS", "helpmultiply", "Multiplication", OptionalTextKind::Label},
    {"TEXTS", "helpdivide", "Division", OptionalTextKind::Label},
    {"TEXTS", "helpintdivide", "Integer division of the words, rounded toward zero", OptionalTextKind::Label},
    {"TEXTS", "helpremainder", "Remainder of the integer division", OptionalTextKind::Label},
    {"TEXTS", "helpshiftleft", "Shift of the word left by b bits", OptionalTextKind::Label},
    {"TEXTS", "helpshiftright", "Shift of the word right by b bits", OptionalTextKind::Label},
    {"TEXTS", "helpless", "1 where a is less than b, else 0", OptionalTextKind::Label},
    {"TEXTS", "helpgreater", "1 where a is greater than b, else 0", OptionalTextKind::Label},
    {"TEXTS", "helpgreaterequal", "1 where a is greater than or equal to b, else 0", OptionalTextKind::Label},
    {"TEXTS", "helplessequal", "1 where a is less than or equal to b, else 0", OptionalTextKind::Label},
    {"TEXTS", "helpnotequal", "1 where a differs from b, else 0", OptionalTextKind::Label},
    {"TEXTS", "helpequal", "1 where a equals b, else 0", OptionalTextKind::Label},
    {"TEXTS", "helppower", "Power: a raised to b", OptionalTextKind::Label},
    {"TEXTS", "helpand", "Bitwise and of the words", OptionalTextKind::Label},
    {"TEXTS", "helpor", "Bitwise or of the words", OptionalTextKind::Label},
    {"TEXTS", "helplogicaland", "1 where both are non-zero, else 0", OptionalTextKind::Label},
    {"TEXTS", "helplogicalor", "1 where either is non-zero, else 0", OptionalTextKind::Label},
    {"TEXTS", "helpxor", "Bitwise exclusive or of the words", OptionalTextKind::Label},
    {"TEXTS", "helpnot", "Bitwise complement of the word (written before its operand)", OptionalTextKind::Label},
    {"TEXTS", "helpcos", "Cosine of an angle in radians", OptionalTextKind::Label},
    {"TEXTS", "helpsin", "Sine of an angle in radians", OptionalTextKind::Label},
    {"TEXTS", "helpexp", "e raised to x", OptionalTextKind::Label},
    {"TEXTS", "helpln", "Natural logarithm", OptionalTextKind::Label},
    {"TEXTS", "helptg", "Tangent of an angle in radians", OptionalTextKind::Label},
    {"TEXTS", "helpctg", "Cotangent of an angle in radians", OptionalTextKind::Label},
    {"TEXTS", "helparctg", "Arctangent, in radians", OptionalTextKind::Label},
    {"TEXTS", "helparcctg", "Arccotangent, in radians", OptionalTextKind::Label},
    {"TEXTS", "helpint", "Integer part, rounded toward zero", OptionalTextKind::Label},
    {"TEXTS", "helpfrac", "Fractional part", OptionalTextKind::Label},
    {"TEXTS", "helprad", "Degrees converted to radians", OptionalTextKind::Label},
    {"TEXTS", "helpgrad", "Radians converted to degrees", OptionalTextKind::Label},
    {"TEXTS", "helpsign", "Sign: -1, 0 or 1", OptionalTextKind::Label},
    {"TEXTS", "helplg", "Decimal logarithm", OptionalTextKind::Label},
    {"TEXTS", "helpsqr", "Square", OptionalTextKind::Label},
    {"TEXTS", "helpsqrt", "Square root", OptionalTextKind::Label},
    {"TEXTS", "helparcsin", "Arcsine, in radians", OptionalTextKind::Label},
    {"TEXTS", "helparccos", "Arccosine, in radians", OptionalTextKind::Label},
    {"TEXTS", "helpfact", "Factorial", OptionalTextKind::Label},
    {"TEXTS", "helpabs", "Absolute value", OptionalTextKind::Label},
    {"TEXTS", "helpround", "Rounded to the nearest integer", OptionalTextKind::Label},
    {"TEXTS", "helpcosec", "Cosecant of an angle in radians", OptionalTextKind::Label},
    {"TEXTS", "helpsec", "Secant of an angle in radians", OptionalTextKind::Label},
    {"TEXTS", "helpdecimal", "Decimal number; _ may separate digits", OptionalTextKind::Label},
    {"TEXTS", "helpreal", "Number with a fraction or an exponent", OptionalTextKind::Label},
    {"TEXTS", "helphex", "Hexadecimal number: 0x or $ before, or h after (starting with a digit)", OptionalTextKind::Label},
    {"TEXTS", "helpbinary", "Binary number: 0b before or b after", OptionalTextKind::Label},
    {"TEXTS", "helpoctal", "Octal number: 0o before or o after", OptionalTextKind::Label},
    {"TEXTS", "helppi", "The number pi", OptionalTextKind::Label},
    {"TEXTS", "helpans", "The last result written into the box", OptionalTextKind::Label},
    {"TEXTS", "helpbrackets", "Brackets group a part to be calculated first", OptionalTextKind::Label},
    {"TEXTS", "helpkeyenter", "Writes the result into the box in the chosen form", OptionalTextKind::Label},
    {"TEXTS", "helpkeyescape", "Clears the box, keeping its text in the history; in an empty box, closes", OptionalTextKind::Label},
    {"TEXTS", "helpkeydown", "Opens the history", OptionalTextKind::Label},
    {"TEXTS", "helpkeysearch", "Searches the history", OptionalTextKind::Label},
    {"TEXTS", "helpkeyundo", "Undoes a change of the box", OptionalTextKind::Label},
    {"TEXTS", "helpkeyredo", "Redoes it", OptionalTextKind::Label},
    {"TEXTS", "helpkeycopy", "Copies the line of the chosen form (nothing selected in the box)", OptionalTextKind::Label},
    {"TEXTS", "helpkeycopyall", "Copies all five lines", OptionalTextKind::Label},
    {"TEXTS", "helpkeyform", "Chooses the form", OptionalTextKind::Label},
    {"TEXTS", "helpkeymenu", "Opens the menu", OptionalTextKind::Label},
    // quillo-cli: a line holding a NUL byte, in place of its result.
    {"TEXTS", "nulbyte", "line contains a NUL byte", OptionalTextKind::Message},
    // quillo-cli: reading the input or writing the output failed; the
    // system's reason follows after ": ".
    {"TEXTS", "readerror", "read error", OptionalTextKind::Message},
    {"TEXTS", "writeerror", "write error", OptionalTextKind::Message},
    // quillo-cli started on a terminal without expressions.
    {"TEXTS", "clihint",
     "Type one expression per line; end with Ctrl-D (Ctrl-Z on Windows). --help shows the options.",
     OptionalTextKind::Message},
};
inline constexpr int kOptionalTextCount = static_cast<int>(std::size(kOptionalTexts));

// The sections the rows read from.
inline constexpr std::array<std::string_view, 1> kOptionalTextSections = {"TEXTS"};
static_assert(std::ranges::all_of(kOptionalTexts, [](const OptionalTextRow& row) {
  return std::ranges::find(kOptionalTextSections, std::string_view(row.section)) != kOptionalTextSections.end();
}));

// The index of the row with `key`; an unknown key does not compile.
consteval int OptionalTextIndex(std::string_view key) {
  for (int i = 0; i < kOptionalTextCount; ++i) {
    if (key == kOptionalTexts[i].key) return i;
  }
  throw "no optional text has this key";
}

// The English texts fit their rooms, so the fallback is never cut.
static_assert(std::ranges::all_of(kOptionalTexts, [](const OptionalTextRow& row) {
  return std::string_view(row.english).size() < OptionalTextCapacityOf(row.kind);
}));

// The text of row `index` as last filled, terminated; the English text until
// a language file has been read. An index outside the table gives "".
const char* OptionalText(int index);

// Fills every optional text from the text of a language file already read:
// its value for the row's key (a Paragraph's escapes resolved), cut to fit
// its room and never inside a UTF-8 character, or the row's English text
// when the file lacks the key.
void FillOptionalTexts(std::string_view fileText);


// FillOptionalTexts fed one entry at a time, so that the language file's
// one pass fills these texts too: Take every section header and key in file
// order, then Finish.
class OptionalTextFiller {
 public:
  void Take(const ProfileEntry& entry);
  void Finish();

 private:
  bool filled_[kOptionalTextCount] = {};
  FirstSections<kOptionalTextSections.size()> sections_{kOptionalTextSections};
  int section_ = -1;  // the index of the section being read, or -1
};
