#pragma once
// Everything the settings, language and history code remembers between
// calls: one fixed-size record, one static instance, no heap. The engine has
// a record of its own (EngineState); the history itself is not kept here, it
// is the expression box's list.

#include "engine/messages.h"
#include "settings/font_choice.h"

inline constexpr int kPathCapacity = 512;  // a settings or language path and its terminator
inline constexpr int kMenuTextCount = 7;
inline constexpr int kDialogTextCount = 5;
inline constexpr int kDefaultHistoryLength = 10;
inline constexpr int kDefaultSettingsWordBits = 32;

struct SettingsState {
  // Full path of quillo.ini, terminated; empty until LoadSettings has located
  // the file. Nothing is written to the settings file while it is empty.
  char SettingsPath[kPathCapacity];
  // Path of the chosen language file, terminated; empty until it is read from
  // "lang" or chosen in the file dialog. Changed only by a completed choice.
  char LanguagePath[kPathCapacity];
  // How many entries the history keeps; kDefaultHistoryLength until
  // "historylen" is read. Zero or less keeps none.
  int HistoryLength;
  // How many entries this window has put on top of the history since it
  // loaded it: the entries that are its own to add to the file at close.
  int HistoryAddedThisRun;
  // How long a lock holder may change nothing before the user is asked
  // whether to go on waiting; kStuckHolderMilliseconds in the start state.
  int LockPatienceMilliseconds;
  // The selected result form, always 0..kResultFormCount-1: every value read
  // from the file or set by the window is checked first.
  int CurrentForm;
  // The word of the integer operators and lines: WordBits always 8, 16, 32
  // or 64 (32 until read, and for a missing or invalid key), WordUnsigned
  // false (signed) unless the file says 1.
  int WordBits;
  bool WordUnsigned;
  // The window stays above other windows; false unless the file says 1.
  bool AlwaysOnTop;
  // The HEX, BIN and OCT lines show their digits without group gaps; false
  // (grouped) unless the file says groupdigits=0.
  bool UngroupedDigits;
  // The font of the box and the lines: not chosen (the window's own) until
  // "font" is read with a usable value or the user chooses one.
  FontChoice DisplayFont;
  // The translated texts: menu titles and items, the labels of Calculate,
  // Close, the expression label and the two groups, and the 36 messages. Each
  // slot is terminated within its 40 bytes and holds "no translation" when
  // its key is missing.
  char MenuTexts[kMenuTextCount][kTextSlotCapacity];
  char DialogTexts[kDialogTextCount][kTextSlotCapacity];
  MessageTexts MessageTable;
  // The running executable's folder without a trailing separator; empty until
  // first asked for, then fixed for the run.
  char ExecutableFolder[kPathCapacity];
  // The folder of the shipped language files as last located, terminated.
  char LanguageFolder[kPathCapacity];
};

// The program's one settings record, in its start state until LoadSettings
// fills it.
SettingsState& ProgramSettings();

// Puts the program's record back into its start state: every text empty,
// HistoryLength kDefaultHistoryLength, CurrentForm 0, the optional texts
// English. Tests call it between
// cases; the program never needs to.
void ResetProgramSettings();
