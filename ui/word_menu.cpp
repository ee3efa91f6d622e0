#include "ui/word_menu.h"

#include <iterator>

#include "settings/optional_texts.h"
#include "ui/dialog_ids.h"

namespace {

struct WordItem {
  int commandId;
  int text;             // the optional text of the item
  int bits;             // the word size it chooses, 0 for the signedness items
  bool isUnsigned;      // the signedness it chooses (signedness items only)
  MenuShortcut shortcut;
};

constexpr WordItem kWordItems[] = {
    {kCmdWord8, OptionalTextIndex("word8"), 8, false, {'1', false, "Ctrl+1"}},
    {kCmdWord16, OptionalTextIndex("word16"), 16, false, {'2', false, "Ctrl+2"}},
    {kCmdWord32, OptionalTextIndex("word32"), 32, false, {'3', false, "Ctrl+3"}},
    {kCmdWord64, OptionalTextIndex("word64"), 64, false, {'4', false, "Ctrl+4"}},
    {kCmdWordSigned, OptionalTextIndex("wordsigned"), 0, false, {'S', true, "Ctrl+Shift+S"}},
    {kCmdWordUnsigned, OptionalTextIndex("wordunsigned"), 0, true, {'U', true, "Ctrl+Shift+U"}},
};
constexpr int kSizeItemCount = 4;
constexpr int kSeparatorId = -1;
// The items, a separator between sizes and signedness.
static_assert(std::size(kWordItems) + 1 <= kMenuMaxItems);

bool IsChecked(const WordItem& item, const SettingsState& settings) {
  if (item.bits != 0) return settings.WordBits == item.bits;
  return settings.WordUnsigned == item.isUnsigned;
}

char ToUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

void BuildWordPopup(const SettingsState& settings, MenuPopupModel& popup) {
  popup.title = OptionalText(OptionalTextIndex("wordmenu"));
  int count = 0;
  for (int i = 0; i < static_cast<int>(std::size(kWordItems)); ++i) {
    if (i == kSizeItemCount) popup.items[count++] = {kSeparatorId, nullptr, false, false, {}};
    const WordItem& item = kWordItems[i];
    popup.items[count++] = {item.commandId, OptionalText(item.text), true, IsChecked(item, settings),
                            item.shortcut};
  }
  popup.itemCount = count;
}

int CommandOfShortcut(char key, bool shift) {
  for (const WordItem& item : kWordItems) {
    if (item.shortcut.key == ToUpper(key) && item.shortcut.shift == shift) return item.commandId;
  }
  return -1;
}

bool ApplyWordCommand(int commandId, SettingsState& settings) {
  for (const WordItem& item : kWordItems) {
    if (item.commandId != commandId) continue;
    if (item.bits != 0) {
      settings.WordBits = item.bits;
    } else {
      settings.WordUnsigned = item.isUnsigned;
    }
    return true;
  }
  return false;
}
