#pragma once
// Texts a language file may give but need not: those of features newer than
// the oldest language files. Each has an English text that stands in while
// the loaded file lacks its key, so an old file still gives a complete
// window. Adding one is adding its row to kOptionalTexts.

#include <cstddef>
#include <iterator>
#include <string_view>

// Room for one text and its terminator. Larger than the 40 bytes of the
// numbered slots: these are tooltips and messages, and a translation in
// UTF-8 takes two bytes a letter.
inline constexpr std::size_t kOptionalTextCapacity = 160;

struct OptionalTextRow {
  const char* section;  // section of the language file
  const char* key;      // key in that section; also the text's name in code
  const char* english;  // the text while the loaded file has no value for the key
};

inline constexpr OptionalTextRow kOptionalTexts[] = {
    // The result lines' context menu: the line under the mouse, all five lines.
    {"TEXTS", "copy", "Copy"},
    {"TEXTS", "copyall", "Copy all"},
    // Tooltips of an integer line that shows only part of the value; the
    // value's DEC text follows after a blank.
    {"TEXTS", "lowbits", "low 32 bits of"},
    {"TEXTS", "wholepart", "whole part of"},
    // An expression over 999 characters, refused rather than cut.
    {"TEXTS", "toolong", "expression longer than 999 characters"},
    // Where a failed expression went wrong; the position (counted from 1) and
    // the token there follow.
    {"TEXTS", "errorat", "error at position"},
    // The history search's field while nothing is typed into it.
    {"TEXTS", "searchhistory", "Search the history (Enter takes, Esc goes back)"},
};
inline constexpr int kOptionalTextCount = static_cast<int>(std::size(kOptionalTexts));

// The index of the row with `key`; an unknown key does not compile.
consteval int OptionalTextIndex(std::string_view key) {
  for (int i = 0; i < kOptionalTextCount; ++i) {
    if (key == kOptionalTexts[i].key) return i;
  }
  throw "no optional text has this key";
}

// The text of row `index` as last filled, terminated; the English text until
// a language file has been read. An index outside the table gives "".
const char* OptionalText(int index);

// Fills every optional text from the text of a language file already read:
// its value for the row's key, cut to fit and never inside a UTF-8
// character, or the row's English text when the file lacks the key.
void FillOptionalTexts(std::string_view fileText);

struct ProfileEntry;

// FillOptionalTexts fed one entry at a time, so that the language file's
// one pass fills these texts too: Take every section header and key in file
// order, then Finish.
class OptionalTextFiller {
 public:
  void Take(const ProfileEntry& entry);
  void Finish();

 private:
  bool filled_[kOptionalTextCount] = {};
  // The section being read counts when it is the first of its name.
  std::string_view section_;
  bool sectionCounts_ = false;
  // The names of the sections seen so far that rows read from.
  std::string_view entered_[kOptionalTextCount];
  int enteredCount_ = 0;
};
