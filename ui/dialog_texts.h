#pragma once
// The language texts on the window: the labels of the dialog's controls and
// the menu, both built from the text slots the language file filled.

#include "settings/settings_state.h"
#include "ui/dialog_window.h"
#include "ui/menu_model.h"

// Puts DialogTexts on Calculate, Close, the expression label, the form group
// and the result group.
void ApplyDialogTexts(const SettingsState& settings, DialogWindow& window);

// Builds the menu from MenuTexts: Options with the language choice, the font
// choice and "Always on top" (checked while it is on), the word menu, Help
// with Contents and About; every title and item with an accelerator letter.
// MenuTexts slot 3 (once "Colors...") stays readable but has no item. The
// model's texts point into settings, which must outlive it, or into the
// model itself.
void BuildMenu(const SettingsState& settings, MenuModel& menu);
