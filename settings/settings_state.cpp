#include "settings/settings_state.h"

#include "settings/files/file_lock.h"
#include "settings/optional_texts.h"

namespace {

// Every text empty; the fields whose start value is not zero set.
constexpr SettingsState StartState() {
  SettingsState state{};
  state.HistoryLength = kDefaultHistoryLength;
  state.LockPatienceMilliseconds = kStuckHolderMilliseconds;
  state.WordBits = kDefaultSettingsWordBits;
  return state;
}

// Constant-initialised, so the record is in its start state before any code
// of the program runs.
constinit SettingsState programSettings = StartState();

}  // namespace

SettingsState& ProgramSettings() { return programSettings; }

void ResetProgramSettings() {
  programSettings = StartState();
  FillOptionalTexts({});  // the English texts, as before any language file
}
