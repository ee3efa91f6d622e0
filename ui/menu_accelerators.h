#pragma once
// Accelerator letters for the menu: every title of the menu bar and every
// item of a pop-up gets one, so that Alt (or F10) and a letter reach any
// command. A text that marks its own letter with "&" keeps it; the others
// are given the first letter or digit that no other text of the same pop-up
// (or of the bar, for titles) has taken.

#include <cstddef>

#include "ui/menu_model.h"

// The keys already given in one pop-up (or the bar): letters folded to upper
// case, digits as they are.
struct TakenKeys {
  static constexpr int kCapacity = 32;  // a pop-up's items, or the titles and the reserved letters
  char32_t keys[kCapacity]{};
  int count = 0;
  bool Has(char32_t key) const;
  void Add(char32_t key);  // beyond kCapacity keys, further ones are not remembered
};

// Writes text with an accelerator mark into marked (capacity bytes) and
// returns true, unless text has its own "&" (an "&&" is a literal ampersand,
// not a mark), has no letter or digit left free, or would not fit with the
// mark; then marked is left alone and false returned. The mark goes before
// the first letter or digit whose key is not in taken, and that key is added
// to taken. Letters compare without case; besides ASCII ones, Cyrillic
// letters count, in Windows-1251 or UTF-8 text.
bool MarkAccelerator(const char* text, TakenKeys& taken, char* marked, std::size_t capacity);

// The key a text marks itself with "&", folded to upper case; 0 when none.
char32_t OwnAccelerator(const char* text);

// Gives each title of the bar and each item of every pop-up that lacks one an
// accelerator, writing the marked texts into menu.markedTexts and pointing
// the model at them. Separators are left alone. The titles are given none of
// the letters of reservedForTitles (upper-case ASCII): Alt with those has
// another use in the window, and would never reach the menu.
void GiveAccelerators(MenuModel& menu, const char* reservedForTitles = "");
