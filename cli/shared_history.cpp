#include "cli/shared_history.h"

#include <cstdio>
#include <cstring>

#include "settings/files/file_lock.h"
#include "settings/files/file_system.h"
#include "settings/history.h"
#include "settings/language.h"
#include "settings/profile.h"
#include "settings/settings.h"

void TerminalHistory::ShowErrorBox(const char*, const char* text) { lastError = text; }

void TerminalHistory::InsertHistoryItemAtTop(const char* text) { items.insert(items.begin(), text); }

void TerminalHistory::AppendHistoryItem(const char* text) { items.emplace_back(text); }

int TerminalHistory::HistoryItemCount() { return static_cast<int>(items.size()); }

void TerminalHistory::HistoryItemText(int index, char* buffer, unsigned capacity) {
  if (capacity == 0) return;
  const bool exists = index >= 0 && static_cast<std::size_t>(index) < items.size();
  std::snprintf(buffer, capacity, "%s", exists ? items[static_cast<std::size_t>(index)].c_str() : "");
}

void TerminalHistory::DeleteLastHistoryItem() {
  if (!items.empty()) items.pop_back();
}

std::vector<std::string> TerminalHistory::OldestFirst() const { return {items.rbegin(), items.rend()}; }

bool LocateSharedHistory(SharedHistoryPlace& place, std::string& why) {
#ifdef _WIN32
  const std::string configHome = EnvironmentText("APPDATA");
  const std::string home;
#else
  const std::string configHome = EnvironmentText("XDG_CONFIG_HOME");
  const std::string home = EnvironmentText("HOME");
#endif
  SettingsLocation location;
  const bool found = LocateSettingsFile(ExecutableFolder(), configHome.empty() ? nullptr : configHome.c_str(),
                                        home.empty() ? nullptr : home.c_str(), &location);
  if (!found) {
    why = location.refusal[0] != '\0'
              ? "the settings file " + PathForDisplay(location.path) + " is not safe to use: " + location.refusal
              : std::string("no usable place for the settings file (set HOME or XDG_CONFIG_HOME)");
    return false;
  }
  std::memcpy(place.path, location.path, sizeof place.path);
  std::memcpy(place.seed, location.seed, sizeof place.seed);
  return true;
}

void LoadSharedHistory(const SharedHistoryPlace& place, TerminalHistory& history) {
  // While this user has no file of their own yet, the window would start
  // from the install's: so does the session.
  const bool fromSeed = place.seed[0] != '\0' && QueryPath(place.path) == PathState::Missing;
  SettingsState& settings = ProgramSettings();
  std::memcpy(settings.SettingsPath, fromSeed ? place.seed : place.path, sizeof settings.SettingsPath);
  LoadHistory(history);
  std::memcpy(settings.SettingsPath, place.path, sizeof settings.SettingsPath);
}

namespace {

// The file's text as it is now: the file's own, or the seed's while it is
// missing, or nothing. False when the file is there but cannot be read.
bool LoadCurrentText(const SharedHistoryPlace& place, std::string& text) {
  if (QueryPath(place.path) == PathState::Missing && place.seed[0] != '\0' && LoadProfileText(place.seed, text)) {
    return true;
  }
  return LoadProfileText(place.path, text);
}

}  // namespace

bool AddToSharedHistory(const SharedHistoryPlace& place, TerminalHistory& history, const std::string& text,
                        int patienceMilliseconds, std::string& why) {
  AddToHistory(history, text.c_str());
  SettingsState& settings = ProgramSettings();
  if (settings.HistoryAddedThisRun == 0) return true;  // a length of 0 keeps nothing
  // The user's configuration folder may not exist yet; the lock is taken on it.
  char folder[kPathCapacity];
  if (CopyFolderOf(place.path, folder, sizeof folder)) MakeFolders(folder);
  const SettingsFileLock lock(place.path, true, {}, patienceMilliseconds);
  std::string settingsText;
  if (!lock.Held()) {
    why = "the settings file " + PathForDisplay(place.path) + " is locked by another program";
    return false;
  }
  if (!LoadCurrentText(place, settingsText)) {
    why = "cannot read the settings file " + PathForDisplay(place.path);
    return false;
  }
  const bool changed = MergeHistoryInto(history, settingsText);
  if (changed && !StoreProfileText(place.path, settingsText)) {
    why = "cannot write the settings file " + PathForDisplay(place.path);
    return false;
  }
  settings.HistoryAddedThisRun = 0;
  return true;
}
