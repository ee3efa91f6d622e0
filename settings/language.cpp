// The translated texts: 48 slots filled from the language file, and the file
// dialog that picks the file.

#include "settings/language.h"

#include <cstdio>
#include <cstring>
#include <iterator>
#include <string>
#include <string_view>

#include "settings/file_system.h"
#include "settings/optional_texts.h"
#include "settings/profile.h"
#include "settings/text_encoding.h"

#ifndef QUILLO_INSTALLED_LANG_DIR
#define QUILLO_INSTALLED_LANG_DIR ""
#endif
#ifndef QUILLO_LANG_DIR_FROM_BIN
#define QUILLO_LANG_DIR_FROM_BIN "../share/quillo/Lang"
#endif

namespace {

// The sections of a language file and how many numbered keys each has, in
// the order FillLanguageTexts fills them.
struct SectionKeys {
  const char* section;
  int count;
};
constexpr SectionKeys kLanguageSections[] = {
    {"MENU", kMenuTextCount},
    {"DIALOG", kDialogTextCount},
    {"OPERATIONS", kMessageCount},
};

// Fills count slots from keys "0", "1", ... of section. A value is cut to 39
// bytes, and never inside a character when it is UTF-8.
void FillSlots(std::string_view fileText, const char* section, char (*slots)[kTextSlotCapacity], int count) {
  for (int i = 0; i < count; ++i) {
    char key[16];
    std::snprintf(key, sizeof key, "%d", i);
    std::string_view value;
    if (!FindProfileValue(fileText, section, key, &value)) value = kNoTranslation;
    std::size_t length = Utf8PrefixLength(value, kTextSlotCapacity - 1);
    std::memcpy(slots[i], value.data(), length);
    slots[i][length] = '\0';
  }
}

}  // namespace

void LoadLanguageTexts() {
  SettingsState& settings = ProgramSettings();
  // A file that is missing or cannot be read leaves every slot "no translation".
  std::string fileText;
  if (!LoadProfileText(settings.LanguagePath, fileText)) fileText.clear();
  FillLanguageTexts(fileText);
}

void FillLanguageTexts(std::string_view fileText) {
  SettingsState& settings = ProgramSettings();
  char(*const slots[])[kTextSlotCapacity] = {settings.MenuTexts, settings.DialogTexts, settings.MessageTable};
  static_assert(std::size(slots) == std::size(kLanguageSections));
  for (std::size_t i = 0; i < std::size(slots); ++i) {
    FillSlots(fileText, kLanguageSections[i].section, slots[i], kLanguageSections[i].count);
  }
  FillOptionalTexts(fileText);
}

bool HoldsKnownLanguageKey(std::string_view fileText) {
  for (const SectionKeys& keys : kLanguageSections) {
    for (int i = 0; i < keys.count; ++i) {
      char key[16];
      std::snprintf(key, sizeof key, "%d", i);
      std::string_view value;
      if (FindProfileValue(fileText, keys.section, key, &value)) return true;
    }
  }
  return false;
}

bool ChooseLanguageFile(SettingsHost& host) {
  SettingsState& settings = ProgramSettings();
  // The dialog opens in the Lang folder; the name field starts empty. The
  // choice goes to a buffer of its own so that a cancel keeps LanguagePath.
  char initialFolder[kPathCapacity + 1];  // the folder and a trailing separator
  JoinPath(LanguageFolder(), "", initialFolder, sizeof initialFolder);
  char chosen[kPathCapacity] = "";
  if (!host.AskForLanguageFile(initialFolder, chosen, kPathCapacity)) return false;
  chosen[kPathCapacity - 1] = '\0';
  if (chosen[0] == '\0') return false;
  std::memcpy(settings.LanguagePath, chosen, sizeof chosen);
  LoadLanguageTexts();
  // A failed write here is not reported: the close reports it for the whole
  // settings file, and the next start simply asks for the language again.
  if (settings.SettingsPath[0] != '\0') {
    WriteProfileString("INI", "lang", settings.LanguagePath, settings.SettingsPath);
  }
  return true;
}

const char* ExecutableFolder() {
  char* folder = ProgramSettings().ExecutableFolder;
  if (folder[0] != '\0') return folder;
  char path[kPathCapacity];
  if (!ReadExecutablePath(path, sizeof path) || !CopyFolderOf(path, folder, kPathCapacity)) {
    std::strcpy(folder, ".");
  }
  return folder;
}

bool LocateLanguageFolder(const char* exeFolder, const char* installedFolder, char* out,
                          unsigned capacity) {
  if (!JoinPath(exeFolder, "Lang", out, capacity)) return false;
  if (QueryPath(out) == PathState::Folder) return true;
  if (installedFolder != nullptr && QueryPath(installedFolder) == PathState::Folder) {
    int length = std::snprintf(out, capacity, "%s", installedFolder);
    return length >= 0 && static_cast<unsigned>(length) < capacity;
  }
  return true;
}

const char* LanguageFolder() {
  char* folder = ProgramSettings().LanguageFolder;
  char relocated[kPathCapacity];
  const char* installed = QUILLO_INSTALLED_LANG_DIR;
  if (JoinPath(ExecutableFolder(), QUILLO_LANG_DIR_FROM_BIN, relocated, sizeof relocated) &&
      QueryPath(relocated) == PathState::Folder) {
    installed = relocated;
  }
  if (!LocateLanguageFolder(ExecutableFolder(), installed, folder, kPathCapacity)) {
    std::strcpy(folder, ".");
  }
  return folder;
}
