#pragma once
// The dialog's keys as data: which key, with which modifier keys, does what.
// Each front end translates its toolkit's key codes into a KeyChord, looks
// the chord up here and carries the binding out with RunKeyBinding; the menu
// shows the keys of its commands from the same table. A new key is one row
// of kKeyBindings in key_bindings.cpp.

#include <array>
#include <span>

#include "ui/dialog_ids.h"
#include "ui/menu_model.h"

class MainDialog;

// Modifier keys of a chord, as bits; a chord matches only its exact set.
inline constexpr unsigned kModifierNone = 0;
inline constexpr unsigned kModifierCtrl = 1;
inline constexpr unsigned kModifierShift = 2;
inline constexpr unsigned kModifierAlt = 4;

// Keys of a chord: an ASCII digit or upper-case letter stands for its key;
// the other keys have codes above the ASCII range.
inline constexpr int kKeyEscape = 0x101;
inline constexpr int kKeyDown = 0x102;
inline constexpr int kKeyInsert = 0x103;
inline constexpr int kKeyF1 = 0x111;  // F1 .. F12 are kKeyF1 + 0 .. 11
inline constexpr int kFunctionKeyCount = 12;
inline constexpr int kKeyF10 = kKeyF1 + 9;

struct KeyChord {
  int key;             // as above
  unsigned modifiers;  // kModifier... bits
  friend constexpr bool operator==(const KeyChord&, const KeyChord&) = default;
};

enum class KeyAction {
  kHotkey,         // argument: the hotkey id; only while the dialog has it registered
  kHistorySearch,  // start the history search, or go to the next older match
  kCopyAll,        // copy the five labelled lines
  kCopyResult,     // copy the selected form's line; only with nothing selected in the box
  kUndo,           // one step back through the box's texts
  kRedo,           // one step forth
  kChooseForm,     // argument: the form (0 DEC .. 4 EXP); the focus stays in the box
  kMenuCommand,    // argument: the menu command it chooses
  kOpenMenuBar,    // the front end's own: its menu bar takes the keyboard
};

struct KeyBinding {
  KeyChord chord;
  KeyAction action;
  int argument;  // as the action says; 0 where it takes none
};

// What the front end knows when a key comes that some bindings depend on.
struct KeyContext {
  bool boxHasSelection = false;                 // text is selected in the box's edit field
  std::array<bool, kHotkeyCount + 1> hotkeys{};  // by hotkey id: registered, so the key is that hotkey
};

// Every binding; no two share a chord.
std::span<const KeyBinding> KeyBindings();

// The binding of chord, or nullptr when the key does nothing of the dialog's.
const KeyBinding* FindKeyBinding(KeyChord chord);

// The first binding of action with argument, or nullptr: the key of a hotkey
// or of a menu command.
const KeyBinding* FindBindingOf(KeyAction action, int argument);

// The chord's name as a menu shows it and Qt reads it: "Ctrl+Shift+C",
// "Alt+C", "F1", "Esc". Written into buffer, cut to capacity - 1 bytes and
// terminated; returns buffer.
const char* KeyChordName(KeyChord chord, char* buffer, unsigned capacity);

// Gives each item of menu whose command has a key that key's name, shown
// beside the item; the names live as long as the program.
void ShowMenuKeys(MenuModel& menu);

// Carries out binding on dialog. Returns false, leaving the key to the
// control that has the focus, when the binding does not apply in context
// (Ctrl+C with text selected, a hotkey not registered), the dialog did not
// take it, or it is the front end's own (kOpenMenuBar).
bool RunKeyBinding(const KeyBinding& binding, MainDialog& dialog, const KeyContext& context);
