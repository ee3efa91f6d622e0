// The expression history. It has no copy in memory: it is the expression
// box's list, reached through the host. Item 0 is the newest.

#include "settings/history.h"

#include <cstdio>

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

}  // namespace

void LoadHistory(SettingsHost& host) {
  SettingsState& settings = ProgramSettings();
  std::string text;
  if (!LoadProfileText(settings.SettingsPath, text)) text.clear();
  settings.HistoryLength = ReadProfileIntFrom(text, "INI", "historylen", kDefaultHistoryLength);
  // A length of 0 or less loads nothing; otherwise the entries are taken in
  // key order up to the first missing or empty one.
  char entry[kHistoryEntryCapacity];
  for (int i = 0; i < settings.HistoryLength; ++i) {
    char key[16];
    FormatKey(i, key);
    if (ReadProfileStringFrom(text, kHistorySection, key, "", entry, sizeof entry) == 0) break;
    host.AppendHistoryItem(entry);
  }
}

void AddToHistory(SettingsHost& host, const char* text) {
  if (text == nullptr || text[0] == '\0') return;
  host.InsertHistoryItemAtTop(text);
  // At most one item goes per call; with a length of 0 or less the new item
  // itself is the one removed, so the list stays empty.
  if (host.HistoryItemCount() > ProgramSettings().HistoryLength) host.DeleteLastHistoryItem();
}

void StoreHistoryInto(SettingsHost& host, std::string& settingsText) {
  const int count = host.HistoryItemCount();
  char entry[kHistoryEntryCapacity];
  for (int i = 0; i < count; ++i) {
    entry[0] = '\0';
    host.HistoryItemText(i, entry, sizeof entry);
    entry[sizeof entry - 1] = '\0';
    if (entry[0] == '\0') break;
    ReplaceLineBreaks(entry);
    char key[16];
    FormatKey(i, key);
    SetProfileValue(settingsText, kHistorySection, key, entry);
  }
}
