// The translated texts: 48 slots filled from the language file in one pass,
// and the file dialog that picks the file.

#include "settings/language.h"

#include <cstdio>
#include <array>
#include <cstring>
#include <iterator>
#include <string>
#include <string_view>

#include "settings/files/file_lock.h"
#include "settings/files/file_system.h"
#include "settings/optional_texts.h"
#include "settings/profile.h"
#include "settings/system_language.h"
#include "settings/text_encoding.h"
#include "settings/files/trust.h"

#ifndef QUILLO_INSTALLED_LANG_DIR
#define QUILLO_INSTALLED_LANG_DIR ""
#endif
#ifndef QUILLO_LANG_DIR_FROM_BIN
#define QUILLO_LANG_DIR_FROM_BIN "../share/quillo/Lang"
#endif

namespace {

// A section of a language file: its numbered keys "0", "1", ... fill slots.
struct TextSection {
  const char* name;
  char (*slots)[kTextSlotCapacity];
  int count;
};

// The three sections, with where their texts go.
constexpr int kTextSectionCount = 3;
struct LanguageSections {
  TextSection sections[kTextSectionCount];
};
static_assert(kMenuTextCount <= kMessageCount && kDialogTextCount <= kMessageCount);

LanguageSections SectionsOf(SettingsState& settings) {
  return {{{"MENU", settings.MenuTexts, kMenuTextCount},
           {"DIALOG", settings.DialogTexts, kDialogTextCount},
           {"OPERATIONS", settings.MessageTable, kMessageCount}}};
}

// Stores value into slot, cut to 39 characters (UTF-8 characters when the
// value is valid UTF-8, bytes otherwise).
void StoreText(char* slot, std::string_view value) {
  const std::size_t length = TextPrefixLength(value, kTextCharacterLimit);
  std::memcpy(slot, value.data(), length);
  slot[length] = '\0';
}

// Walks the file once and calls found(sectionIndex, slotIndex, value) for
// each numbered key that gives a text, in the first section of each name;
// every entry also goes to alsoTake. Returns nothing; found decides what to
// keep (the first key of a name wins).
template <typename Found, typename AlsoTake>
void VisitLanguageKeys(std::string_view fileText, const LanguageSections& layout, Found&& found,
                       AlsoTake&& alsoTake) {
  std::array<std::string_view, kTextSectionCount> names;
  for (int i = 0; i < kTextSectionCount; ++i) names[i] = layout.sections[i].name;
  FirstSections sections(names);
  int current = -1;  // the section being read, or -1 for one that gives no texts
  ForEachProfileEntry(fileText, [&](const ProfileEntry& entry) {
    alsoTake(entry);
    if (entry.isSection) {
      current = sections.Enter(entry.name);
      return;
    }
    if (current < 0) return;
    const int slot = static_cast<int>(NumberedKeyIndex(entry.name, layout.sections[current].count));
    if (slot >= 0) found(current, slot, entry.value);
  });
}

// The file name the dialog selects at first in folder: the current language
// file when it lies there, else the shipped file of the system's language,
// else nothing (an empty name).
std::string PreselectedFileName(const char* folder) {
  const char* current = ProgramSettings().LanguagePath;
  char currentFolder[kPathCapacity];
  if (current[0] != '\0' && CopyFolderOf(current, currentFolder, sizeof currentFolder) &&
      std::strcmp(currentFolder, folder) == 0) {
    return current + std::strlen(currentFolder) + 1;
  }
  const char* shipped = LanguageFileNameFor(SystemLanguageCode());
  char candidate[kPathCapacity];
  // Never a file the user could not load: one another user put there.
  if (JoinPath(folder, shipped, candidate, sizeof candidate) && QueryPath(candidate) == PathState::File &&
      IsSafeLanguagePlace(candidate)) {
    return shipped;
  }
  return "";
}

}  // namespace

void FillLanguageTexts(std::string_view fileText) {
  const LanguageSections layout = SectionsOf(ProgramSettings());
  // Which slots a key has filled: the first key of a name wins, and the
  // slots no key fills say so afterwards.
  bool filled[kTextSectionCount][kMessageCount] = {};
  OptionalTextFiller optional;
  VisitLanguageKeys(
      fileText, layout,
      [&](int section, int slot, std::string_view value) {
        if (filled[section][slot]) return;
        filled[section][slot] = true;
        StoreText(layout.sections[section].slots[slot], value);
      },
      [&](const ProfileEntry& entry) { optional.Take(entry); });
  for (int section = 0; section < kTextSectionCount; ++section) {
    for (int slot = 0; slot < layout.sections[section].count; ++slot) {
      if (!filled[section][slot]) StoreText(layout.sections[section].slots[slot], kNoTranslation);
    }
  }
  optional.Finish();
}

bool HoldsKnownLanguageKey(std::string_view fileText) {
  bool found = false;
  VisitLanguageKeys(
      fileText, SectionsOf(ProgramSettings()), [&](int, int, std::string_view) { found = true; },
      [](const ProfileEntry&) {});
  return found;
}

LanguageFileCheck ReadLanguageFile(const char* path, std::string& text) {
  text.clear();
  int error = 0;
  switch (ReadRegularFile(path, kLanguageFileSizeLimit, text, error)) {
    case FileReadOutcome::Read:
      break;
    case FileReadOutcome::TooLarge:
      return LanguageFileCheck::TooLarge;
    default:
      return LanguageFileCheck::CannotOpen;
  }
  if (!IsSafeLanguagePlace(path)) {
    text.clear();
    return LanguageFileCheck::UnsafePlace;
  }
  if (!HoldsKnownLanguageKey(text)) {
    text.clear();
    return LanguageFileCheck::NoKnownKey;
  }
  return LanguageFileCheck::Usable;
}

std::string LanguageRefusalText(LanguageFileCheck check, const char* path) {
  int why = OptionalTextIndex("languageunreadable");
  switch (check) {
    case LanguageFileCheck::TooLarge:
      why = OptionalTextIndex("languagetoolarge");
      break;
    case LanguageFileCheck::UnsafePlace:
      why = OptionalTextIndex("languageunsafe");
      break;
    case LanguageFileCheck::NoKnownKey:
      why = OptionalTextIndex("languagenokey");
      break;
    default:
      break;
  }
  // Each part is converted on its own: the texts are in the language file's
  // encoding, the path in the file system's.
  std::string text = DisplayUtf8(OptionalText(OptionalTextIndex("notlanguage")));
  text += '\n';
  text += PathForDisplay(path);
  text += '\n';
  text += DisplayUtf8(OptionalText(why));
  return text;
}

void LoadLanguageTexts() {
  // A file that is missing or cannot be read leaves every slot "no translation".
  std::string fileText;
  if (ReadLanguageFile(ProgramSettings().LanguagePath, fileText) != LanguageFileCheck::Usable) fileText.clear();
  FillLanguageTexts(fileText);
}

bool ChooseLanguageFile(SettingsHost& host) {
  SettingsState& settings = ProgramSettings();
  // The dialog opens in the Lang folder; the name field starts empty. The
  // choice goes to a buffer of its own so that a cancel or a refused file
  // keeps LanguagePath and the texts.
  char initialFolder[kPathCapacity + 1];  // the folder and a trailing separator
  JoinPath(LanguageFolder(), "", initialFolder, sizeof initialFolder);
  const std::string preselected = PreselectedFileName(LanguageFolder());
  // The title is the loaded language's; at the first start, before any
  // language is loaded, it is the English one.
  const LanguageFileQuestion question{OptionalText(OptionalTextIndex("chooselanguage")), initialFolder,
                                      preselected.c_str()};
  std::string fileText;
  char chosen[kPathCapacity];
  for (;;) {
    chosen[0] = '\0';
    if (!host.AskForLanguageFile(question, chosen, kPathCapacity)) return false;
    chosen[kPathCapacity - 1] = '\0';
    if (chosen[0] == '\0') return false;
    const LanguageFileCheck check = ReadLanguageFile(chosen, fileText);
    // A name that does not open is taken as it is: every text then reads
    // "no translation", and the start-up asks again.
    if (check == LanguageFileCheck::Usable || check == LanguageFileCheck::CannotOpen) break;
    host.ShowErrorBox(OptionalText(OptionalTextIndex("errortitle")), LanguageRefusalText(check, chosen).c_str());
  }
  std::memcpy(settings.LanguagePath, chosen, sizeof chosen);
  FillLanguageTexts(fileText);
  // A failed write here is not reported: the close reports it for the whole
  // settings file, and the next start simply asks for the language again.
  if (settings.SettingsPath[0] != '\0') {
    WriteIniString("INI", "lang", settings.LanguagePath, settings.SettingsPath);
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
