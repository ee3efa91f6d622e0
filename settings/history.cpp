// The expression history. It has no copy in memory: it is the expression
// box's list, reached through the host. Item 0 is the newest.

#include "settings/history.h"

#include <cstdio>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "settings/profile.h"
#include "settings/settings_state.h"

namespace {

constexpr char kHistorySection[] = "HISTORY";
// One entry: the longest expression the box holds (999 characters) and the
// terminator.
constexpr unsigned kHistoryEntryCapacity = 1000;

void FormatKey(int index, char (&key)[16]) { std::snprintf(key, sizeof key, "%d", index); }

// A line break in an entry would end its line in the file and turn the rest
// into keys of their own.
void ReplaceLineBreaks(char* text) {
  for (char* c = text; *c != '\0'; ++c) {
    if (*c == '\r' || *c == '\n') *c = ' ';
  }
}

// The entries of a settings text in key order, up to the first missing or
// empty one, at most length of them (none for a length of 0 or less); each
// cut to the longest expression. One pass over the text, however long the
// history: the first section of the name and the first key of a name count,
// as for every read.
std::vector<std::string> StoredEntries(std::string_view settingsText, int length) {
  std::map<long, std::string_view> found;
  bool entered = false;
  bool inHistory = false;
  ForEachProfileEntry(settingsText, [&](const ProfileEntry& entry) {
    if (entry.isSection) {
      inHistory = !entered && SameProfileName(entry.name, kHistorySection);
      entered = entered || inHistory;
      return;
    }
    const long index = inHistory ? NumberedKeyIndex(entry.name, length) : -1;
    if (index >= 0) found.emplace(index, entry.value);  // the first key of a name wins
  });
  std::vector<std::string> entries;
  for (long i = 0;; ++i) {
    const auto entry = found.find(i);
    if (entry == found.end() || entry->second.empty()) break;
    std::string_view value = entry->second;
    entries.emplace_back(value.substr(0, kHistoryEntryCapacity - 1));
  }
  return entries;
}

// The first count items of host's list, up to the first empty one, with line
// breaks made blanks.
std::vector<std::string> AddedEntries(SettingsHost& host, int count) {
  std::vector<std::string> entries;
  const int items = host.HistoryItemCount();
  char entry[kHistoryEntryCapacity];
  for (int i = 0; i < count && i < items; ++i) {
    entry[0] = '\0';
    host.HistoryItemText(i, entry, sizeof entry);
    entry[sizeof entry - 1] = '\0';
    if (entry[0] == '\0') break;
    ReplaceLineBreaks(entry);
    entries.emplace_back(entry);
  }
  return entries;
}

}  // namespace

void LoadHistory(SettingsHost& host) {
  SettingsState& settings = ProgramSettings();
  std::string text;
  if (!LoadProfileText(settings.SettingsPath, text)) text.clear();
  settings.HistoryLength = ReadProfileIntFrom(text, "INI", "historylen", kDefaultHistoryLength);
  settings.HistoryAddedThisRun = 0;
  for (const std::string& entry : StoredEntries(text, settings.HistoryLength)) {
    host.AppendHistoryItem(entry.c_str());
  }
}

void AddToHistory(SettingsHost& host, const char* text) {
  if (text == nullptr || text[0] == '\0') return;
  host.InsertHistoryItemAtTop(text);
  SettingsState& settings = ProgramSettings();
  if (settings.HistoryAddedThisRun < settings.HistoryLength) ++settings.HistoryAddedThisRun;
  // At most one item goes per call; with a length of 0 or less the new item
  // itself is the one removed, so the list stays empty.
  if (host.HistoryItemCount() > settings.HistoryLength) host.DeleteLastHistoryItem();
}

void MergeHistoryInto(SettingsHost& host, std::string& settingsText) {
  const SettingsState& settings = ProgramSettings();
  if (settings.HistoryLength <= 0) return;
  const std::size_t limit = static_cast<std::size_t>(settings.HistoryLength);
  std::vector<std::string> merged = AddedEntries(host, settings.HistoryAddedThisRun);
  for (std::string& stored : StoredEntries(settingsText, settings.HistoryLength)) {
    if (merged.size() >= limit) break;
    merged.push_back(std::move(stored));
  }
  for (std::size_t i = 0; i < merged.size() && i < limit; ++i) {
    char key[16];
    FormatKey(static_cast<int>(i), key);
    SetProfileValue(settingsText, kHistorySection, key, merged[i].c_str());
  }
}
