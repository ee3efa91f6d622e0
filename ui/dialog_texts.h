#pragma once
// The language texts on the window: the labels of the dialog's controls and
// the menu, both built from the text slots the language file filled.

#include "settings/settings_state.h"
#include "ui/dialog_window.h"
#include "ui/menu_model.h"

// Puts DialogTexts on Calculate, Close, the expression label, the form group
// and the result group.
void ApplyDialogTexts(const SettingsState& settings, DialogWindow& window);

// Builds the menu from MenuTexts: Options with the language choice, two
// items that are always disabled and "Always on top" (checked while it is
// on), the word menu, Help with a disabled item and About. The
// model's texts point into settings, which must outlive it.
void BuildMenu(const SettingsState& settings, MenuModel& menu);
