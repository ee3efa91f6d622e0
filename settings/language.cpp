// The translated texts: 48 slots filled from the language file, the dialog
// texts and the menu built from them, and the file dialog that picks the file.

#include "settings/language.h"

#include <cstdio>
#include <cstring>
#include <iterator>
#include <string>
#include <string_view>

#include "settings/file_system.h"
#include "settings/profile.h"
#include "settings/settings.h"
#include "settings/text_encoding.h"

#ifndef QUILLO_INSTALLED_LANG_DIR
#define QUILLO_INSTALLED_LANG_DIR ""
#endif
#ifndef QUILLO_LANG_DIR_FROM_BIN
#define QUILLO_LANG_DIR_FROM_BIN "../share/quillo/Lang"
#endif

char MenuTexts[kMenuTextCount][kTextSlotCapacity];
char DialogTexts[kDialogTextCount][kTextSlotCapacity];
MessageTexts MessageTable;

namespace {

// The dialog controls that take DialogTexts 0 to 4: Calculate, Close, the
// label above the expression box, the form group and the result group.
constexpr int kDialogControlIds[] = {1011, 1010, 1019, 1020, 1021};
static_assert(std::size(kDialogControlIds) == kDialogTextCount);

// Menu items that no command is bound to yet; they are always disabled.
constexpr int kCommandReserved1 = 1;
constexpr int kCommandReserved2 = 2;
constexpr int kCommandReserved10 = 10;
constexpr int kSeparatorId = -1;

// The menu last built by ChooseLanguageFile; the texts it points to are the
// MenuTexts slots, so it stays valid for the whole run.
MenuModel ChosenLanguageMenu;

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
  // A file that is missing or cannot be read leaves every slot "no translation".
  std::string fileText;
  if (!LoadProfileText(LanguagePath, fileText)) fileText.clear();
  FillSlots(fileText, "MENU", MenuTexts, kMenuTextCount);
  FillSlots(fileText, "DIALOG", DialogTexts, kDialogTextCount);
  FillSlots(fileText, "OPERATIONS", MessageTable, kMessageCount);
}

void ApplyDialogTexts(SettingsHost& host) {
  for (int i = 0; i < kDialogTextCount; ++i) host.SetControlText(kDialogControlIds[i], DialogTexts[i]);
}

void BuildMenu(MenuModel& menu) {
  menu.popups[0] = {MenuTexts[0],
                    3,
                    {{kCommandChooseLanguage, MenuTexts[1], true},
                     {kCommandReserved1, MenuTexts[2], false},
                     {kCommandReserved2, MenuTexts[3], false},
                     {kSeparatorId, nullptr, false}}};
  menu.popups[1] = {MenuTexts[4],
                    3,
                    {{kCommandReserved10, MenuTexts[5], false},
                     {kSeparatorId, nullptr, false},
                     {kCommandAbout, MenuTexts[6], true},
                     {kSeparatorId, nullptr, false}}};
}

bool ChooseLanguageFile(SettingsHost& host) {
  // The dialog opens in the Lang folder; the name field starts empty. The
  // choice goes to a buffer of its own so that a cancel keeps LanguagePath.
  char chosen[kPathCapacity] = "";
  JoinPath(LanguageFolder(), "", ScratchText, kScratchTextCapacity);
  if (!host.AskForLanguageFile(ScratchText, chosen, kPathCapacity)) return false;
  chosen[kPathCapacity - 1] = '\0';
  if (chosen[0] == '\0') return false;
  std::memcpy(LanguagePath, chosen, sizeof chosen);
  LoadLanguageTexts();
  BuildMenu(ChosenLanguageMenu);
  host.AttachMenu(ChosenLanguageMenu);
  ApplyDialogTexts(host);
  // A failed write here is not reported: the close reports it for the whole
  // settings file, and the next start simply asks for the language again.
  if (SettingsPath[0] != '\0') WriteProfileString("INI", "lang", LanguagePath, SettingsPath);
  return true;
}

const char* ExecutableFolder() {
  static char folder[kPathCapacity];
  if (folder[0] != '\0') return folder;
  char path[kPathCapacity];
  if (!ReadExecutablePath(path, sizeof path) || !CopyFolderOf(path, folder, sizeof folder)) {
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
  static char folder[kPathCapacity];
  char relocated[kPathCapacity];
  const char* installed = QUILLO_INSTALLED_LANG_DIR;
  if (JoinPath(ExecutableFolder(), QUILLO_LANG_DIR_FROM_BIN, relocated, sizeof relocated) &&
      QueryPath(relocated) == PathState::Folder) {
    installed = relocated;
  }
  if (!LocateLanguageFolder(ExecutableFolder(), installed, folder, sizeof folder)) {
    std::strcpy(folder, ".");
  }
  return folder;
}
