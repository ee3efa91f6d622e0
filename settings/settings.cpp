// The settings file: finding it, creating it on the first run, reading it at
// start-up and writing the form and the history when the window closes.

#include "settings/settings.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "format/result_format.h"
#include "settings/files/file_lock.h"
#include "settings/files/file_system.h"
#include "settings/history.h"
#include "settings/language.h"
#include "settings/optional_texts.h"
#include "settings/profile.h"
#include "settings/text_encoding.h"
#include "settings/files/trust.h"

namespace {

constexpr char kSettingsFileName[] = "quillo.ini";
constexpr char kSettingsSection[] = "INI";

// The start-up texts are fixed: no language file is loaded when they appear.
constexpr char kNoLanguageText[] = "You must specify language file (*.lng)\nProgram terminated...";
constexpr char kCannotOpenText[] = "Can't open file\nTry again...";
constexpr char kSettingsTooLargeText[] = "The settings file is larger than 256 MiB:";

// Shows "what", the file's path and the consequence on three lines, in an
// error box with caption. The texts may be a language's: each part is
// converted for display on its own, so a path in another encoding than the
// language file's cannot spoil the message around it.
void ShowFileError(SettingsHost& host, const char* caption, const char* what, const char* path,
                   const char* consequence) {
  std::string text = DisplayUtf8(what);
  text += '\n';
  text += PathForDisplay(path);
  text += '\n';
  text += DisplayUtf8(consequence);
  host.ShowErrorBox(caption, text.c_str());
}

// A file error shown once a language is loaded: its caption and texts are
// the language's.
void ShowTranslatedFileError(SettingsHost& host, int what, const char* path, int consequence) {
  ShowFileError(host, OptionalText(OptionalTextIndex("errortitle")), OptionalText(what), path,
                OptionalText(consequence));
}

// The lock of the settings file, for a change (forWriting) or a read. When
// another window has held it a long time without changing the file, the
// user is asked whether to wait again; the question names the file.
class LockForHost {
 public:
  LockForHost(SettingsHost& host, const char* path, bool forWriting)
      : lock_(path, forWriting, [&host](const char* target) { return AskToWaitAgain(host, target); },
              ProgramSettings().LockPatienceMilliseconds) {}
  bool Held() const { return lock_.Held(); }

 private:
  // The question in the loaded language: its first line, the file, then the
  // rest (which may break into lines of its own). As in ShowFileError each
  // part is converted for display on its own.
  static bool AskToWaitAgain(SettingsHost& host, const char* target) {
    std::string text = DisplayUtf8(OptionalText(OptionalTextIndex("lockstuck")));
    text += '\n';
    text += PathForDisplay(target);
    text += '\n';
    text += DisplayUtf8(OptionalText(OptionalTextIndex("lockwaitagain")));
    const std::string caption = DisplayUtf8(OptionalText(OptionalTextIndex("errortitle")));
    return host.AskToWaitAgain(caption.c_str(), text.c_str());
  }

  SettingsFileLock lock_;
};

// A hand-edited "form" outside the five forms falls back to DEC.
int ValidForm(int form) { return form >= 0 && form < kResultFormCount ? form : kFormDec; }

// "wordbits" other than 8, 16, 32 or 64 reads as 32; "wordunsigned" other
// than 1 as signed.
int ValidWordBits(int bits) {
  return bits == 8 || bits == 16 || bits == 32 || bits == 64 ? bits : kDefaultSettingsWordBits;
}

// Writes key with value where the file has the key already or the choice
// departs from the default, so a file whose user never made the choice stays
// as it was. Returns whether the text changed.
bool SetChosenKey(std::string& text, const char* key, bool departsFromDefault, const char* value) {
  std::string_view present;
  bool changed = false;
  if (departsFromDefault || FindProfileValue(text, kSettingsSection, key, &present)) {
    SetProfileValue(text, kSettingsSection, key, value, &changed);
  }
  return changed;
}

// The word keys, "ontop" (once the user has turned it on) and "groupdigits"
// (once grouping was turned off).
bool SetWordKeys(std::string& text, const SettingsState& settings) {
  const int bits = ValidWordBits(settings.WordBits);
  const bool bitsChanged =
      SetChosenKey(text, "wordbits", bits != kDefaultSettingsWordBits, std::to_string(bits).c_str());
  const bool signednessChanged =
      SetChosenKey(text, "wordunsigned", settings.WordUnsigned, settings.WordUnsigned ? "1" : "0");
  return bitsChanged || signednessChanged;
}

bool SetOnTopKey(std::string& text, const SettingsState& settings) {
  return SetChosenKey(text, "ontop", settings.AlwaysOnTop, settings.AlwaysOnTop ? "1" : "0");
}

bool SetGroupDigitsKey(std::string& text, const SettingsState& settings) {
  return SetChosenKey(text, "groupdigits", settings.UngroupedDigits, settings.UngroupedDigits ? "0" : "1");
}

// "font" is written once the user has chosen a font; a value the file has
// that could not be read is left as it is until then.
bool SetFontKey(std::string& text, const SettingsState& settings) {
  bool changed = false;
  if (IsFontChosen(settings.DisplayFont)) {
    SetProfileValue(text, kSettingsSection, "font", FormatFontValue(settings.DisplayFont).c_str(), &changed);
  }
  return changed;
}

// The font the file names, or none where it names none usable. A value that
// fills the buffer may have been cut, and a cut value is not the user's: it
// counts as unusable.
FontChoice ReadFontKey(std::string_view text) {
  char value[2 * kFontFamilyCapacity];
  FontChoice font{};
  const unsigned length = ReadProfileStringFrom(text, kSettingsSection, "font", "", value, sizeof value);
  if (length + 1 < sizeof value) ParseFontValue(value, font);
  return font;
}

bool CopyPath(const char* source, char* target) {
  std::size_t length = std::strlen(source);
  if (length >= kPathCapacity) return false;
  std::memmove(target, source, length + 1);
  return true;
}

// XDG says a relative XDG_CONFIG_HOME is to be ignored.
bool IsUsableConfigHome(const char* folder) {
  if (folder == nullptr || folder[0] == '\0') return false;
#ifdef _WIN32
  return true;
#else
  return folder[0] == '/';
#endif
}

// Asks for a language file until one that opens is chosen. False (with the
// message shown) when the user cancels.
bool ChooseUntilReadable(SettingsHost& host) {
  if (!ChooseLanguageFile(host)) {
    host.ShowErrorBox(kErrorCaption, kNoLanguageText);
    return false;
  }
  while (!CanOpenForReading(ProgramSettings().LanguagePath)) {
    host.ShowErrorBox(kErrorCaption, kCannotOpenText);
    if (!ChooseLanguageFile(host)) {
      host.ShowErrorBox(kErrorCaption, kNoLanguageText);
      return false;
    }
  }
  return true;
}

}  // namespace

namespace {

// <configHome>/quillo/quillo.ini, configHome being xdgConfigHome when set and
// absolute, else home/.config. False when neither is known or it does not fit.
bool UserSettingsPath(const char* xdgConfigHome, const char* home, char* out, unsigned capacity) {
  char configHome[kPathCapacity];
  bool fits = false;
  if (IsUsableConfigHome(xdgConfigHome)) {
    fits = std::snprintf(configHome, sizeof configHome, "%s", xdgConfigHome) < kPathCapacity;
  } else if (IsUsableConfigHome(home)) {
    fits = JoinPath(home, ".config", configHome, sizeof configHome);
  }
  char folder[kPathCapacity];
  return fits && JoinPath(configHome, "quillo", folder, sizeof folder) &&
         JoinPath(folder, kSettingsFileName, out, capacity);
}

// Copies the shared settings file seed to path when path does not exist yet,
// so that a read-only install's settings are this user's starting state.
void AdoptSharedSettings(const char* seed, const char* path) {
  char folder[kPathCapacity];
  if (seed[0] == '\0' || QueryPath(path) != PathState::Missing || !CopyFolderOf(path, folder, sizeof folder)) {
    return;
  }
  std::string text;
  if (!LoadProfileText(seed, text) || text.empty()) return;
  MakeFolders(folder);
  SettingsFileLock lock(path);
  // Another window may have made the file while this one waited.
  if (lock.Held() && QueryPath(path) == PathState::Missing) StoreProfileText(path, text);
}

// Why the per-user settings file at path may not be used, or "" when it may:
// every folder on its way must be the user's or the administrator's and
// closed to other users, and so must the file when it exists, so that no
// one else can plant a file or a link there for the save to write through.
std::string UserPlaceRefusal(const char* path) {
  std::string why;
  if (!AreFoldersAboveSafe(path, &why)) return why;
  if (QueryPath(path) != PathState::Missing && !IsPrivateToUser(path)) {
    return PathForDisplay(path) + " belongs to another user or may be changed by other users";
  }
  return "";
}

}  // namespace

bool LocateSettingsFile(const char* exeFolder, const char* xdgConfigHome, const char* home,
                        SettingsLocation* location) {
  location->path[0] = '\0';
  location->seed[0] = '\0';
  location->refusal[0] = '\0';
  char beside[kPathCapacity];
  const bool besideFits = JoinPath(exeFolder, kSettingsFileName, beside, sizeof beside);
  char user[kPathCapacity];
  const bool userKnown = UserSettingsPath(xdgConfigHome, home, user, sizeof user);
  // The program's folder counts only when nobody but the user and the
  // administrator can put or change a file there.
  const bool besideExists = besideFits && QueryPath(beside) != PathState::Missing;
  const bool besideTrusted = besideFits && IsPrivateToUser(exeFolder) && (!besideExists || IsPrivateToUser(beside));
  const bool folderWritable = besideTrusted && IsFolderWritable(exeFolder);
  const char* chosen = user;
  if (besideTrusted && (folderWritable || (besideExists && CanOpenForWriting(beside)))) {
    chosen = beside;  // portable use, or a shared file of the user's own
  } else if (besideTrusted && besideExists) {
    // A read-only install: its file is where this user starts from.
    std::memcpy(location->seed, beside, sizeof beside);
  }
  if (chosen == user && !userKnown) {
    // No per-user folder is known: the program's folder when it can be
    // trusted (creating the file there may then fail, with a message).
    if (!besideTrusted) return false;
    chosen = beside;
    location->seed[0] = '\0';
  }
  std::memcpy(location->path, chosen, std::strlen(chosen) + 1);
  if (chosen == user) {
    const std::string why = UserPlaceRefusal(user);
    if (!why.empty()) {
      std::snprintf(location->refusal, sizeof location->refusal, "%s", why.c_str());
      return false;
    }
  }
  return true;
}

bool LoadSettings(SettingsHost& host) {
#ifdef _WIN32
  const std::string appData = EnvironmentText("APPDATA");
  const char* configHome = appData.empty() ? nullptr : appData.c_str();
  const char* home = nullptr;
#else
  const std::string xdgConfigHome = EnvironmentText("XDG_CONFIG_HOME");
  const std::string homeText = EnvironmentText("HOME");
  const char* configHome = xdgConfigHome.empty() ? nullptr : xdgConfigHome.c_str();
  const char* home = homeText.empty() ? nullptr : homeText.c_str();
#endif
  SettingsLocation location;
  if (!LocateSettingsFile(ExecutableFolder(), configHome, home, &location) && location.refusal[0] != '\0') {
    ShowFileError(host, kErrorCaption, "The settings file is not safe to use:", location.path,
                  (std::string(location.refusal) + ".\nProgram terminated...").c_str());
    return false;
  }
  if (location.path[0] == '\0') {
    ShowFileError(host, kErrorCaption, "No usable place for the settings file beside", ExecutableFolder(),
                  "Set HOME or XDG_CONFIG_HOME. Program terminated...");
    return false;
  }
  return LoadSettingsAt(host, location);
}

bool LoadSettingsAt(SettingsHost& host, const SettingsLocation& location) {
  AdoptSharedSettings(location.seed, location.path);
  return LoadSettingsFrom(host, location.path);
}

namespace {

// Reads the settings file at path into text under its lock, first removing
// what saves killed half-way left behind (under the lock no live save has a
// temporary file). False, with the message shown, when the file is there
// but cannot be read or is too large: it must not be taken for a first run
// and overwritten, nor asked about at every start. A missing file gives the
// empty text and true; exists tells the two apart.
bool ReadSettingsAtStart(SettingsHost& host, const char* path, std::string& text, bool& exists) {
  FileReadOutcome outcome = FileReadOutcome::Read;
  int error = 0;
  {
    LockForHost lock(host, path, false);
    if (lock.Held()) RemoveLeftoverTemporaryFiles(path);
    exists = QueryPath(path) != PathState::Missing;
    // Read even when waiting was given up: every save replaces the file in
    // one step, so what is read is one save's whole file.
    if (exists) outcome = ReadRegularFile(path, kProfileSizeLimit, text, error);
  }
  if (outcome == FileReadOutcome::TooLarge) {
    ShowFileError(host, kErrorCaption, kSettingsTooLargeText, path, "Program terminated...");
    return false;
  }
  if (outcome != FileReadOutcome::Read) {
    ShowFileError(host, kErrorCaption, "Can't read the settings file", path, "Program terminated...");
    return false;
  }
  return true;
}

}  // namespace

bool LoadSettingsFrom(SettingsHost& host, const char* settingsPath) {
  SettingsState& settings = ProgramSettings();
  if (!CopyPath(settingsPath, settings.SettingsPath)) {
    ShowFileError(host, kErrorCaption, "The path of the settings file is too long:", settingsPath,
                  "Program terminated...");
    return false;
  }
  const char* path = settings.SettingsPath;
  std::string text;
  bool exists = false;
  if (!ReadSettingsAtStart(host, path, text, exists)) return false;
  if (!exists) {
    if (!CreateSettingsFile(host) || !ReadSettingsAtStart(host, path, text, exists)) return false;
  }
  ReadProfileStringFrom(text, kSettingsSection, "lang", "", settings.LanguagePath, kPathCapacity);
  std::string languageText;
  const LanguageFileCheck check = ReadLanguageFile(settings.LanguagePath, languageText);
  if (check == LanguageFileCheck::Usable) {
    FillLanguageTexts(languageText);
  } else {
    // A stored file that does not open shows no message: the file dialog
    // opens at once. One that opens but is refused says why first.
    if (check != LanguageFileCheck::CannotOpen) {
      host.ShowErrorBox(kErrorCaption, LanguageRefusalText(check, settings.LanguagePath).c_str());
    }
    if (!ChooseUntilReadable(host)) return false;
  }
  settings.CurrentForm = ValidForm(ReadProfileIntFrom(text, kSettingsSection, "form", 0));
  settings.WordBits = ValidWordBits(ReadProfileIntFrom(text, kSettingsSection, "wordbits", kDefaultSettingsWordBits));
  settings.WordUnsigned = ReadProfileIntFrom(text, kSettingsSection, "wordunsigned", 0) == 1;
  settings.AlwaysOnTop = ReadProfileIntFrom(text, kSettingsSection, "ontop", 0) == 1;
  settings.UngroupedDigits = ReadProfileIntFrom(text, kSettingsSection, "groupdigits", 1) == 0;
  settings.DisplayFont = ReadFontKey(text);
  return true;
}

bool CreateSettingsFile(SettingsHost& host) {
  const SettingsState& settings = ProgramSettings();
  if (!ChooseLanguageFile(host)) {
    host.ShowErrorBox(kErrorCaption, kNoLanguageText);
    return false;
  }
  // The per-user configuration folder may not exist yet.
  char folder[kPathCapacity];
  if (CopyFolderOf(settings.SettingsPath, folder, sizeof folder)) MakeFolders(folder);
  // Another window may create the file at the same moment: under the lock
  // the file is read again, the chosen language goes in, and the defaults
  // only where that window has not written them. The defaults are written
  // in one atomic step, so an interrupted first run never leaves a
  // half-written file.
  LockForHost lock(host, settings.SettingsPath, true);
  std::string text;
  bool created = lock.Held() && LoadProfileText(settings.SettingsPath, text);
  if (created) {
    std::string_view value;
    SetProfileValue(text, kSettingsSection, "lang", settings.LanguagePath);
    if (!FindProfileValue(text, kSettingsSection, "form", &value)) SetProfileValue(text, kSettingsSection, "form", "0");
    if (!FindProfileValue(text, kSettingsSection, "historylen", &value)) {
      SetProfileValue(text, kSettingsSection, "historylen", "10");
    }
    created = StoreProfileText(settings.SettingsPath, text);
  }
  if (!created) {
    // The language has been chosen by now, so the message is in it.
    ShowTranslatedFileError(host, OptionalTextIndex("cantcreate"), settings.SettingsPath,
                            OptionalTextIndex("terminated"));
  }
  return created;
}

bool SaveSettings(SettingsHost& host) {
  SettingsState& settings = ProgramSettings();
  // The file is read again under the lock: other windows may have saved
  // since this one started, and their keys and entries stay.
  LockForHost lock(host, settings.SettingsPath, true);
  std::string text;
  bool saved = lock.Held() && LoadProfileText(settings.SettingsPath, text);
  if (saved) {
    // Each step says whether it changed the text, so that no copy of a
    // long history is kept only to compare with.
    bool formChanged = false;
    bool lengthChanged = false;
    const char form[2] = {static_cast<char>('0' + ValidForm(settings.CurrentForm)), '\0'};
    SetProfileValue(text, kSettingsSection, "form", form, &formChanged);
    const bool wordChanged = SetWordKeys(text, settings);
    const bool onTopChanged = SetOnTopKey(text, settings);
    const bool groupingChanged = SetGroupDigitsKey(text, settings);
    const bool fontChanged = SetFontKey(text, settings);
    const bool historyChanged = MergeHistoryInto(host, text);
    char length[16];
    std::snprintf(length, sizeof length, "%d", settings.HistoryLength);
    SetProfileValue(text, kSettingsSection, "historylen", length, &lengthChanged);
    // Form, history and length land together or not at all.
    const bool changed =
        formChanged || wordChanged || onTopChanged || groupingChanged || fontChanged || historyChanged ||
        lengthChanged;
    saved = !changed || StoreProfileText(settings.SettingsPath, text);
  }
  // The entries are in the file now: a later save of this window (the
  // desktop session saved, and the user went on) adds only newer ones.
  if (saved) settings.HistoryAddedThisRun = 0;
  if (!saved) {
    ShowTranslatedFileError(host, OptionalTextIndex("cantsave"), settings.SettingsPath,
                            OptionalTextIndex("savelost"));
  }
  return saved;
}
