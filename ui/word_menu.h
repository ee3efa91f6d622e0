#pragma once
// The word menu: the word size (8, 16, 32, 64 bits) and signedness of the
// integer operators and lines. Shared by every front end: they show the model
// BuildWordPopup fills. The items' keys are bindings of key_bindings.h.

#include "settings/settings_state.h"
#include "ui/menu_model.h"

// Fills `popup` with the word items, the current choice checked.
void BuildWordPopup(const SettingsState& settings, MenuPopupModel& popup);

// The menu command that Ctrl+key (with Shift where `shift`) chooses, or -1.
// `key` is an ASCII digit or letter of either case.
int CommandOfShortcut(char key, bool shift);

// Whether commandId is one of the word menu's commands; if so, applies it to
// the settings' choice and returns true.
bool ApplyWordCommand(int commandId, SettingsState& settings);
