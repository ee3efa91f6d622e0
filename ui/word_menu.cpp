#include "ui/word_menu.h"

#include <iterator>

#include "settings/optional_texts.h"
#include "ui/dialog_ids.h"
#include "ui/key_bindings.h"

namespace {

struct WordItem {
  int commandId;
  int text;             // the optional text of the item
  int bits;             // the word size it chooses, 0 for the signedness items
  bool isUnsigned;      // the signedness it chooses (signedness items only)
};

constexpr WordItem kWordItems[] = {
    {kCmdWord8, OptionalTextIndex("word8"), 8, false},
    {kCmdWord16, OptionalTextIndex("word16"), 16, false},
    {kCmdWord32, OptionalTextIndex("word32"), 32, false},
    {kCmdWord64, OptionalTextIndex("word64"), 64, false},
    {kCmdWordSigned, OptionalTextIndex("wordsigned"), 0, false},
    {kCmdWordUnsigned, OptionalTextIndex("wordunsigned"), 0, true},
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
    popup.items[count++] = {item.commandId, OptionalText(item.text), true, IsChecked(item, settings)};
  }
  popup.itemCount = count;
}

int CommandOfShortcut(char key, bool shift) {
  const unsigned modifiers = kModifierCtrl | (shift ? kModifierShift : kModifierNone);
  const KeyBinding* binding = FindKeyBinding({ToUpper(key), modifiers});
  return binding != nullptr && binding->action == KeyAction::kMenuCommand ? binding->argument : -1;
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
