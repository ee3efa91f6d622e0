#pragma once
// The translated texts: menu, dialog controls and messages, from the language
// file named by LanguagePath.

#include "engine/messages.h"
#include "settings/menu_model.h"
#include "settings/window_host.h"

inline constexpr int kMenuTextCount = 7;
inline constexpr int kDialogTextCount = 5;

extern char MenuTexts[kMenuTextCount][kTextSlotCapacity];
extern char DialogTexts[kDialogTextCount][kTextSlotCapacity];
extern MessageTexts MessageTable;

// Fills all 48 slots from LanguagePath; a missing key reads "no translation".
void LoadLanguageTexts();

// Puts DialogTexts on the controls 1011, 1010, 1019, 1020, 1021.
void ApplyDialogTexts(SettingsHost& host);

// Builds the menu from MenuTexts (items 1, 2 and 10 disabled).
void BuildMenu(MenuModel& menu);

// File dialog, then texts, menu, dialog texts and "lang" renewed; false when
// the user cancelled (nothing changed then).
bool ChooseLanguageFile(SettingsHost& host);

// The folder of the running executable, without a trailing separator.
const char* ExecutableFolder();
// The folder of the shipped language files: "Lang" beside the executable,
// else the installed data folder.
const char* LanguageFolder();

// LanguageFolder with explicit inputs: exeFolder/Lang when that folder exists,
// else installedFolder when it exists, else exeFolder/Lang. False when the
// path does not fit into out.
bool LocateLanguageFolder(const char* exeFolder, const char* installedFolder, char* out,
                          unsigned capacity);

// The text every slot holds whose key the language file lacks.
inline constexpr char kNoTranslation[] = "no translation";
