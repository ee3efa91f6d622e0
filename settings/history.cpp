// The expression history. It has no copy in memory: it is the expression
// box's list, reached through the host. Item 0 is the newest.

#include "settings/history.h"

#include <cstdio>

#include "settings/profile.h"
#include "settings/settings.h"

namespace {

constexpr char kHistorySection[] = "HISTORY";

void FormatKey(int index, char (&key)[16]) { std::snprintf(key, sizeof key, "%d", index); }

}  // namespace

void LoadHistory(SettingsHost& host) {
  std::string text;
  if (!LoadProfileText(SettingsPath, text)) text.clear();
  HistoryLength = ReadProfileIntFrom(text, "INI", "historylen", kDefaultHistoryLength);
  // A length of 0 or less loads nothing; otherwise the entries are taken in
  // key order up to the first missing or empty one.
  for (int i = 0; i < HistoryLength; ++i) {
    char key[16];
    FormatKey(i, key);
    if (ReadProfileStringFrom(text, kHistorySection, key, "", ScratchText, kScratchTextCapacity) == 0) break;
    host.AppendHistoryItem(ScratchText);
  }
}

void AddToHistory(SettingsHost& host, const char* text) {
  if (text == nullptr || text[0] == '\0') return;
  host.InsertHistoryItemAtTop(text);
  // At most one item goes per call; with a length of 0 or less the new item
  // itself is the one removed, so the list stays empty.
  if (host.HistoryItemCount() > HistoryLength) host.DeleteLastHistoryItem();
}

void StoreHistoryInto(SettingsHost& host, std::string& settingsText) {
  int count = host.HistoryItemCount();
  for (int i = 0; i < count; ++i) {
    ScratchText[0] = '\0';
    host.HistoryItemText(i, ScratchText, kScratchTextCapacity);
    ScratchText[kScratchTextCapacity - 1] = '\0';
    if (ScratchText[0] == '\0') break;
    // A line break in an entry would end its line in the file and turn the
    // rest into keys of their own.
    for (char* c = ScratchText; *c != '\0'; ++c) {
      if (*c == '\r' || *c == '\n') *c = ' ';
    }
    char key[16];
    FormatKey(i, key);
    SetProfileValue(settingsText, kHistorySection, key, ScratchText);
  }
}
