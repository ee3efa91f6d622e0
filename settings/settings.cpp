// The settings file: finding it, creating it on the first run, reading it at
// start-up and writing the form and the history when the window closes.

#include "settings/settings.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "format/result_format.h"
#include "settings/file_system.h"
#include "settings/history.h"
#include "settings/language.h"
#include "settings/profile.h"

namespace {

constexpr char kSettingsFileName[] = "quillo.ini";
constexpr char kSettingsSection[] = "INI";

// The start-up texts are fixed: no language file is loaded when they appear.
constexpr char kNoLanguageText[] = "You must specify language file (*.lng)\nProgram terminated...";
constexpr char kCannotOpenText[] = "Can't open file\nTry again...";

// Shows "what", the file's path and the consequence on three lines.
void ShowFileError(SettingsHost& host, const char* what, const char* path, const char* consequence) {
  char text[kPathCapacity + 160];
  std::snprintf(text, sizeof text, "%s\n%s\n%s", what, path, consequence);
  host.ShowErrorBox(text);
}

// A hand-edited "form" outside the five forms falls back to DEC.
int ValidForm(int form) { return form >= 0 && form < kResultFormCount ? form : kFormDec; }

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
    host.ShowErrorBox(kNoLanguageText);
    return false;
  }
  while (!CanOpenForReading(ProgramSettings().LanguagePath)) {
    host.ShowErrorBox(kCannotOpenText);
    if (!ChooseLanguageFile(host)) {
      host.ShowErrorBox(kNoLanguageText);
      return false;
    }
  }
  return true;
}

}  // namespace

bool LocateSettingsFile(const char* exeFolder, const char* xdgConfigHome, const char* home, char* out,
                        unsigned capacity) {
  char besideExecutable[kPathCapacity];
  bool fits = JoinPath(exeFolder, kSettingsFileName, besideExecutable, sizeof besideExecutable);
  if (fits && (QueryPath(besideExecutable) != PathState::Missing || IsFolderWritable(exeFolder))) {
    return JoinPath(exeFolder, kSettingsFileName, out, capacity);
  }
  char configHome[kPathCapacity];
  if (IsUsableConfigHome(xdgConfigHome)) {
    fits = std::snprintf(configHome, sizeof configHome, "%s", xdgConfigHome) < kPathCapacity;
  } else if (IsUsableConfigHome(home)) {
    fits = JoinPath(home, ".config", configHome, sizeof configHome);
  } else {
    // No per-user folder is known: stay beside the executable; creating the
    // file there will fail with a message naming it.
    return JoinPath(exeFolder, kSettingsFileName, out, capacity);
  }
  char folder[kPathCapacity];
  return fits && JoinPath(configHome, "quillo", folder, sizeof folder) &&
         JoinPath(folder, kSettingsFileName, out, capacity);
}

bool LoadSettings(SettingsHost& host) {
#ifdef _WIN32
  const char* configHome = std::getenv("APPDATA");
  const char* home = nullptr;
#else
  const char* configHome = std::getenv("XDG_CONFIG_HOME");
  const char* home = std::getenv("HOME");
#endif
  char located[kPathCapacity];
  if (!LocateSettingsFile(ExecutableFolder(), configHome, home, located, sizeof located)) {
    ShowFileError(host, "The path of the settings file is too long:", ExecutableFolder(),
                  "Program terminated...");
    return false;
  }
  return LoadSettingsFrom(host, located);
}

bool LoadSettingsFrom(SettingsHost& host, const char* settingsPath) {
  SettingsState& settings = ProgramSettings();
  if (!CopyPath(settingsPath, settings.SettingsPath)) {
    ShowFileError(host, "The path of the settings file is too long:", settingsPath, "Program terminated...");
    return false;
  }
  const char* path = settings.SettingsPath;
  // A save killed half-way (power cut, kill -9) leaves its temporary file.
  RemoveLeftoverTemporaryFiles(path);
  // Existence is tested apart from readability: a file that is there but
  // cannot be read must not be taken for a first run and overwritten.
  PathState state = QueryPath(path);
  if (state == PathState::Missing) {
    if (!CreateSettingsFile(host)) return false;
  } else if (!CanOpenForReading(path)) {
    ShowFileError(host, "Can't read the settings file", path, "Program terminated...");
    return false;
  }
  ReadProfileString(kSettingsSection, "lang", "", settings.LanguagePath, kPathCapacity, path);
  // The first failed opening of the stored path shows no message: the file
  // dialog opens at once.
  if (!CanOpenForReading(settings.LanguagePath) && !ChooseUntilReadable(host)) return false;
  LoadLanguageTexts();
  settings.CurrentForm = ValidForm(ReadProfileInt(kSettingsSection, "form", 0, path));
  return true;
}

bool CreateSettingsFile(SettingsHost& host) {
  const SettingsState& settings = ProgramSettings();
  if (!ChooseLanguageFile(host)) {
    host.ShowErrorBox(kNoLanguageText);
    return false;
  }
  // The per-user configuration folder may not exist yet.
  char folder[kPathCapacity];
  if (CopyFolderOf(settings.SettingsPath, folder, sizeof folder)) MakeFolders(folder);
  // The defaults are written in one atomic step, so an interrupted first run
  // never leaves a half-written file.
  std::string text;
  SetProfileValue(text, kSettingsSection, "lang", settings.LanguagePath);
  SetProfileValue(text, kSettingsSection, "form", "0");
  SetProfileValue(text, kSettingsSection, "historylen", "10");
  if (!StoreProfileText(settings.SettingsPath, text)) {
    ShowFileError(host, "Can't create the settings file", settings.SettingsPath, "Program terminated...");
    return false;
  }
  return true;
}

bool SaveSettings(SettingsHost& host) {
  const SettingsState& settings = ProgramSettings();
  std::string text;
  bool saved = LoadProfileText(settings.SettingsPath, text);
  if (saved) {
    const std::string before = text;
    const char form[2] = {static_cast<char>('0' + ValidForm(settings.CurrentForm)), '\0'};
    SetProfileValue(text, kSettingsSection, "form", form);
    StoreHistoryInto(host, text);
    char length[16];
    std::snprintf(length, sizeof length, "%d", settings.HistoryLength);
    SetProfileValue(text, kSettingsSection, "historylen", length);
    // Form, history and length land together or not at all.
    saved = text == before || StoreProfileText(settings.SettingsPath, text);
  }
  if (!saved) {
    ShowFileError(host, "Can't save the settings file", settings.SettingsPath,
                  "The form and history of this session are lost.");
  }
  return saved;
}
