// The key table: what each key does, that no key does two things, and the
// names the menus show.

#include "ui/key_bindings.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <utility>

#include "tests/support/case_table.h"

namespace {

std::string NameOf(KeyChord chord) {
  char name[32];
  return KeyChordName(chord, name, sizeof name);
}

TEST(KeyBindingsTest, NoTwoBindingsShareAKeyAndEveryKeyHasAName) {
  std::set<std::pair<int, unsigned>> chords;
  std::set<std::string> names;
  for (const KeyBinding& binding : KeyBindings()) {
    SCOPED_TRACE(NameOf(binding.chord));
    EXPECT_TRUE(chords.insert({binding.chord.key, binding.chord.modifiers}).second);
    EXPECT_TRUE(names.insert(NameOf(binding.chord)).second);
    // A name ending in "+" would be a key the names do not know.
    EXPECT_NE(NameOf(binding.chord).back(), '+');
  }
}

TEST(KeyBindingsTest, EachKeyFindsItsAction) {
  constexpr unsigned kCtrl = kModifierCtrl;
  constexpr unsigned kCtrlShift = kModifierCtrl | kModifierShift;
  const struct {
    int line;
    KeyChord chord;
    bool bound;
    KeyAction action;
    int argument;
  } cases[] = {
      {__LINE__, {kKeyEscape, kModifierNone}, true, KeyAction::kHotkey, kHotkeyEscape},
      {__LINE__, {kKeyDown, kModifierNone}, true, KeyAction::kHotkey, kHotkeyDown},
      {__LINE__, {'R', kCtrl}, true, KeyAction::kHistorySearch, 0},
      {__LINE__, {'C', kCtrl}, true, KeyAction::kCopyResult, 0},
      {__LINE__, {kKeyInsert, kCtrl}, true, KeyAction::kCopyResult, 0},
      {__LINE__, {'C', kCtrlShift}, true, KeyAction::kCopyAll, 0},
      {__LINE__, {'Z', kCtrl}, true, KeyAction::kUndo, 0},
      {__LINE__, {'Y', kCtrl}, true, KeyAction::kRedo, 0},
      {__LINE__, {'Z', kCtrlShift}, true, KeyAction::kRedo, 0},
      {__LINE__, {'1', kCtrl}, true, KeyAction::kMenuCommand, kCmdWord8},
      {__LINE__, {'4', kCtrl}, true, KeyAction::kMenuCommand, kCmdWord64},
      {__LINE__, {'S', kCtrlShift}, true, KeyAction::kMenuCommand, kCmdWordSigned},
      {__LINE__, {'U', kCtrlShift}, true, KeyAction::kMenuCommand, kCmdWordUnsigned},
      {__LINE__, {kKeyF10, kModifierNone}, true, KeyAction::kOpenMenuBar, 0},
      // Only the exact modifiers: AltGr is Ctrl+Alt on Windows and types letters.
      {__LINE__, {'Z', kCtrl | kModifierAlt}, false, {}, 0},
      {__LINE__, {'C', kModifierAlt | kModifierShift}, false, {}, 0},
      {__LINE__, {'Z', kModifierNone}, false, {}, 0},
      {__LINE__, {kKeyDown, kModifierShift}, false, {}, 0},
      {__LINE__, {'5', kCtrl}, false, {}, 0},
      {__LINE__, {'S', kCtrl}, false, {}, 0},
      {__LINE__, {0, kCtrl}, false, {}, 0},
  };
  ForEachCase(cases, [](const auto& c) {
    const KeyBinding* binding = FindKeyBinding(c.chord);
    ASSERT_EQ(binding != nullptr, c.bound);
    if (binding == nullptr) return;
    EXPECT_EQ(binding->action, c.action);
    EXPECT_EQ(binding->argument, c.argument);
    EXPECT_EQ(FindBindingOf(c.action, c.argument) != nullptr, true);
  });
}

// The menu keys are taken wherever the focus is in the window, before any
// control sees them: none may be a key that types or that an edit field
// keeps for itself (copy, cut, paste, undo, redo, select all), nor Alt with
// a letter, which reaches the menus and the radio buttons.
TEST(KeyBindingsTest, NoMenuKeyIsOneAnEditFieldNeeds) {
  for (const KeyBinding& binding : KeyBindings()) {
    if (binding.action != KeyAction::kMenuCommand) continue;
    const KeyChord chord = binding.chord;
    SCOPED_TRACE(NameOf(chord));
    const bool functionKey = chord.key >= kKeyF1 && chord.key < kKeyF1 + kFunctionKeyCount;
    EXPECT_TRUE(functionKey || (chord.modifiers & kModifierCtrl) != 0);
    EXPECT_EQ(chord.modifiers & kModifierAlt, 0U);
    const bool editKey = chord.modifiers == kModifierCtrl && std::strchr("CVXZYA", chord.key) != nullptr;
    EXPECT_FALSE(editKey);
  }
}

TEST(KeyBindingsTest, AltWithEachFormsMarkedLetterChoosesThatForm) {
  for (int form = 0; form < kResultFormCount; ++form) {
    SCOPED_TRACE(form);
    const KeyBinding* binding = FindKeyBinding({kFormMnemonics[form], kModifierAlt});
    ASSERT_NE(binding, nullptr);
    EXPECT_EQ(binding->action, KeyAction::kChooseForm);
    EXPECT_EQ(binding->argument, form);
  }
}

TEST(KeyBindingsTest, ChordNamesAsMenusShowThemCutToTheBuffer) {
  const struct {
    int line;
    KeyChord chord;
    unsigned capacity;
    std::string name;
  } cases[] = {
      {__LINE__, {'C', kModifierCtrl | kModifierShift}, 32, "Ctrl+Shift+C"},
      {__LINE__, {'1', kModifierCtrl}, 32, "Ctrl+1"},
      {__LINE__, {'E', kModifierAlt}, 32, "Alt+E"},
      {__LINE__, {kKeyF1, kModifierNone}, 32, "F1"},
      {__LINE__, {kKeyF10, kModifierNone}, 32, "F10"},
      {__LINE__, {kKeyF1 + kFunctionKeyCount - 1, kModifierShift}, 32, "Shift+F12"},
      {__LINE__, {kKeyEscape, kModifierNone}, 32, "Esc"},
      {__LINE__, {kKeyInsert, kModifierCtrl}, 32, "Ctrl+Ins"},
      {__LINE__, {'C', kModifierCtrl | kModifierShift}, 13, "Ctrl+Shift+C"},  // exactly fits
      {__LINE__, {'C', kModifierCtrl | kModifierShift}, 12, "Ctrl+Shift+"},
      {__LINE__, {'C', kModifierCtrl}, 1, ""},
  };
  ForEachCase(cases, [](const auto& c) {
    char buffer[40];  // room past every capacity, to see that nothing is written there
    std::memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(std::string(KeyChordName(c.chord, buffer, c.capacity)), c.name);
    EXPECT_EQ(buffer[c.capacity], '#');  // nothing written past the capacity
  });
}

}  // namespace
