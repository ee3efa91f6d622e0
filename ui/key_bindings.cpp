#include "ui/key_bindings.h"

#include <array>
#include <iterator>

#include "ui/main_dialog.h"

namespace {

constexpr unsigned kCtrl = kModifierCtrl;
constexpr unsigned kCtrlShift = kModifierCtrl | kModifierShift;

// One row per key. Ctrl+Insert is the other copy key of an edit field, so
// it copies the line as Ctrl+C does.
constexpr KeyBinding kKeyBindings[] = {
    {{kKeyEscape, kModifierNone}, KeyAction::kHotkey, kHotkeyEscape},
    {{kKeyDown, kModifierNone}, KeyAction::kHotkey, kHotkeyDown},
    {{'R', kCtrl}, KeyAction::kHistorySearch, 0},
    {{'C', kCtrlShift}, KeyAction::kCopyAll, 0},
    {{'C', kCtrl}, KeyAction::kCopyResult, 0},
    {{kKeyInsert, kCtrl}, KeyAction::kCopyResult, 0},
    {{'Z', kCtrl}, KeyAction::kUndo, 0},
    {{'Y', kCtrl}, KeyAction::kRedo, 0},
    {{'Z', kCtrlShift}, KeyAction::kRedo, 0},
    {{kFormMnemonics[0], kModifierAlt}, KeyAction::kChooseForm, 0},
    {{kFormMnemonics[1], kModifierAlt}, KeyAction::kChooseForm, 1},
    {{kFormMnemonics[2], kModifierAlt}, KeyAction::kChooseForm, 2},
    {{kFormMnemonics[3], kModifierAlt}, KeyAction::kChooseForm, 3},
    {{kFormMnemonics[4], kModifierAlt}, KeyAction::kChooseForm, 4},
    {{'1', kCtrl}, KeyAction::kMenuCommand, kCmdWord8},
    {{'2', kCtrl}, KeyAction::kMenuCommand, kCmdWord16},
    {{'3', kCtrl}, KeyAction::kMenuCommand, kCmdWord32},
    {{'4', kCtrl}, KeyAction::kMenuCommand, kCmdWord64},
    {{'S', kCtrlShift}, KeyAction::kMenuCommand, kCmdWordSigned},
    {{'U', kCtrlShift}, KeyAction::kMenuCommand, kCmdWordUnsigned},
    {{kKeyF1, kModifierNone}, KeyAction::kMenuCommand, kCmdHelpContents},
    {{kKeyF10, kModifierNone}, KeyAction::kOpenMenuBar, 0},
};
constexpr std::size_t kBindingCount = std::size(kKeyBindings);
static_assert(kResultFormCount == 5, "one Alt row per form");

// A lookup finds the first row of a key: a second row of the same key would
// never be reached.
constexpr bool EveryKeyOnce() {
  for (std::size_t i = 0; i < kBindingCount; ++i) {
    for (std::size_t j = i + 1; j < kBindingCount; ++j) {
      if (kKeyBindings[i].chord == kKeyBindings[j].chord) return false;
    }
  }
  return true;
}
static_assert(EveryKeyOnce(), "two rows of kKeyBindings bind the same key");

// The longest name: "Ctrl+Shift+Alt+" and a key's name.
constexpr unsigned kKeyNameCapacity = 32;

// The name of a key that is no letter, digit or function key; nullptr for
// a code the table does not know.
const char* SpecialKeyName(int key) {
  switch (key) {
    case kKeyEscape:
      return "Esc";
    case kKeyDown:
      return "Down";
    case kKeyInsert:
      return "Ins";
    default:
      return nullptr;
  }
}

// Appends text to the name being built in buffer[0..*length), as far as
// capacity - 1 bytes allow.
void AppendName(const char* text, char* buffer, unsigned capacity, unsigned* length) {
  while (*text != '\0' && *length + 1 < capacity) buffer[(*length)++] = *text++;
}

// The names of the bindings, by row, made once.
const char* BindingName(std::size_t row) {
  static const auto names = [] {
    std::array<std::array<char, kKeyNameCapacity>, kBindingCount> made{};
    for (std::size_t i = 0; i < kBindingCount; ++i) KeyChordName(kKeyBindings[i].chord, made[i].data(), kKeyNameCapacity);
    return made;
  }();
  return names[row].data();
}

}  // namespace

std::span<const KeyBinding> KeyBindings() { return kKeyBindings; }

const KeyBinding* FindKeyBinding(KeyChord chord) {
  for (const KeyBinding& binding : kKeyBindings) {
    if (binding.chord == chord) return &binding;
  }
  return nullptr;
}

const KeyBinding* FindBindingOf(KeyAction action, int argument) {
  for (const KeyBinding& binding : kKeyBindings) {
    if (binding.action == action && binding.argument == argument) return &binding;
  }
  return nullptr;
}

const char* KeyChordName(KeyChord chord, char* buffer, unsigned capacity) {
  if (capacity == 0) return buffer;
  unsigned length = 0;
  if ((chord.modifiers & kModifierCtrl) != 0) AppendName("Ctrl+", buffer, capacity, &length);
  if ((chord.modifiers & kModifierShift) != 0) AppendName("Shift+", buffer, capacity, &length);
  if ((chord.modifiers & kModifierAlt) != 0) AppendName("Alt+", buffer, capacity, &length);
  char own[4] = {};  // a letter or digit, or F and up to two digits
  const int key = chord.key;
  if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) {
    own[0] = static_cast<char>(key);
  } else if (key >= kKeyF1 && key < kKeyF1 + kFunctionKeyCount) {
    const int number = key - kKeyF1 + 1;
    own[0] = 'F';
    own[1] = static_cast<char>(number < 10 ? '0' + number : '1');
    if (number >= 10) own[2] = static_cast<char>('0' + number % 10);
  }
  const char* special = SpecialKeyName(key);
  AppendName(special != nullptr ? special : own, buffer, capacity, &length);
  buffer[length] = '\0';
  return buffer;
}

void ShowMenuKeys(MenuModel& menu) {
  for (MenuPopupModel& popup : menu.popups) {
    for (int i = 0; i < popup.itemCount; ++i) {
      MenuItemModel& item = popup.items[i];
      if (item.text == nullptr) continue;  // a separator
      const KeyBinding* binding = FindBindingOf(KeyAction::kMenuCommand, item.commandId);
      item.shortcut.text = binding != nullptr ? BindingName(static_cast<std::size_t>(binding - kKeyBindings)) : nullptr;
    }
  }
}

bool RunKeyBinding(const KeyBinding& binding, MainDialog& dialog, const KeyContext& context) {
  switch (binding.action) {
    case KeyAction::kHotkey:
      if (binding.argument < 1 || binding.argument > kHotkeyCount ||
          !context.hotkeys[static_cast<std::size_t>(binding.argument)]) {
        return false;
      }
      dialog.OnHotkey(binding.argument);
      return true;
    case KeyAction::kHistorySearch:
      dialog.OnHistorySearch();
      return true;
    case KeyAction::kCopyAll:
      dialog.OnCopyAll();
      return true;
    case KeyAction::kCopyResult:
      if (context.boxHasSelection) return false;  // the box copies its selection
      dialog.OnCopyResult();
      return true;
    case KeyAction::kUndo:
      dialog.OnUndo();
      return true;
    case KeyAction::kRedo:
      dialog.OnRedo();
      return true;
    case KeyAction::kChooseForm:
      return dialog.OnFormKey(kFormMnemonics[binding.argument]);
    case KeyAction::kMenuCommand:
      dialog.OnCommand(binding.argument, 0);
      return true;
    case KeyAction::kOpenMenuBar:
      return false;
  }
  return false;
}
