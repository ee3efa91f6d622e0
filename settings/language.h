#pragma once
// The translated texts: menu, dialog controls and messages, read from the
// language file named by ProgramSettings().LanguagePath into its text slots.
// Putting them on a window is the dialog's business.

#include <cstddef>
#include <string>
#include <string_view>

#include "settings/settings_state.h"
#include "settings/window_host.h"

// Fills all 48 slots from LanguagePath; a missing key reads "no translation",
// and so does every key of a file ReadLanguageFile does not find usable.
void LoadLanguageTexts();

// Fills all 48 slots from the text of a language file already read, in one
// pass over it. A value keeps at most 39 characters: UTF-8 characters when it
// is valid UTF-8, bytes otherwise.
void FillLanguageTexts(std::string_view fileText);

// The largest language file worth reading: the 48 texts take a few
// kilobytes, so anything larger is not a language file.
inline constexpr std::size_t kLanguageFileSizeLimit = std::size_t{1} << 20;

// Whether fileText holds at least one key a language file gives a text: "0"
// to "6" of [MENU], "0" to "4" of [DIALOG] or "0" to "35" of [OPERATIONS].
// A file without any is not a language file, whatever its name.
bool HoldsKnownLanguageKey(std::string_view fileText);

// What reading a language file found.
enum class LanguageFileCheck {
  Usable,       // the text holds the file
  CannotOpen,   // missing, no permission, a read error, not a regular file
  TooLarge,     // over kLanguageFileSizeLimit
  UnsafePlace,  // in a folder others can write to and the user does not own
  NoKnownKey,   // none of the texts a language file gives
};

// Reads the language file at path once and checks it; on Usable, text holds
// the whole file, else it is empty.
LanguageFileCheck ReadLanguageFile(const char* path, std::string& text);

// The message that tells why a file is not used as language file, naming it,
// in the loaded language (English while none is loaded), as UTF-8.
std::string LanguageRefusalText(LanguageFileCheck check, const char* path);

// Asks for a language file through host's file dialog, titled "Choose a
// language file" (in the loaded language, once one is), opening in the Lang folder with the current language file
// selected, or at the first start the shipped file of the system's language
// (english.lng for languages without one). On a choice, makes it
// LanguagePath, loads its texts and stores it as "lang" in the settings file
// (once that file is known); returns true. A file that is too large, holds no
// text of a language file or lies where others can plant it is refused with
// a message naming it, and the dialog asks again. False when the user
// cancelled: nothing changed then.
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
