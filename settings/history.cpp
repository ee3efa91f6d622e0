// The expression history. It has no copy in memory: it is the expression
// box's list, reached through the host. Item 0 is the newest.

#include "settings/history.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "settings/files/file_lock.h"
#include "settings/profile.h"
#include "settings/settings_state.h"

namespace {

constexpr char kHistorySection[] = "HISTORY";
// One entry: the longest expression the box holds (999 characters) and the
// terminator.
constexpr unsigned kHistoryEntryCapacity = 1000;

// Makes each line break of text[0, length) a blank: a line break would end
// its line in the file and turn the rest into keys of their own. memchr
// rather than a byte loop: a long history's save passes hundreds of
// megabytes through here.
void ReplaceLineBreaks(char* text, std::size_t length) {
  char* const end = text + length;
  for (const char lineBreak : {'\r', '\n'}) {
    for (char* c = text; c != end; ++c) {
      c = static_cast<char*>(std::memchr(c, lineBreak, static_cast<std::size_t>(end - c)));
      if (c == nullptr) break;
      *c = ' ';
    }
  }
}

// The entries of a settings text in key order, up to the first missing or
// empty one, at most length of them (none for a length of 0 or less); each
// cut to the longest expression and pointing into settingsText. One pass over
// the text, however long the history: the first section of the name and the
// first key of a name count, as for every read.
std::vector<std::string_view> StoredEntries(std::string_view settingsText, int length) {
  std::vector<std::pair<std::int64_t, std::string_view>> found;
  bool entered = false;
  bool inHistory = false;
  ForEachProfileEntry(settingsText, [&](const ProfileEntry& entry) {
    if (entry.isSection) {
      inHistory = !entered && SameProfileName(entry.name, kHistorySection);
      entered = entered || inHistory;
      return;
    }
    const std::int64_t index = inHistory ? NumberedKeyIndex(entry.name, length) : -1;
    if (index >= 0) found.emplace_back(index, entry.value);
  });
  // Stable, so that of two keys of one name the first in the file wins.
  // Usually the keys stand in number order already.
  const auto byIndex = [](const auto& a, const auto& b) { return a.first < b.first; };
  if (!std::is_sorted(found.begin(), found.end(), byIndex)) std::stable_sort(found.begin(), found.end(), byIndex);
  std::vector<std::string_view> entries;
  std::int64_t next = 0;
  for (const auto& [index, value] : found) {
    if (index < next) continue;  // a later key of a name already taken
    if (index > next || value.empty()) break;
    entries.push_back(value.substr(0, kHistoryEntryCapacity - 1));
    ++next;
  }
  return entries;
}

// How many of the first count items of host's list are entries: those
// before the first empty one.
std::size_t AddedEntryCount(SettingsHost& host, int count) {
  const int items = std::min(count, host.HistoryItemCount());
  char entry[kHistoryEntryCapacity];
  int found = 0;
  for (; found < items; ++found) {
    entry[0] = '\0';
    // The whole buffer: a front end may give nothing rather than cut a
    // character in two.
    host.HistoryItemText(found, entry, sizeof entry);
    if (entry[0] == '\0') break;
  }
  return static_cast<std::size_t>(std::max(found, 0));
}

// The merged history, newest first: the entries this window added, read
// from its list one at a time as the writer asks for them (a long list is
// never copied whole), then the entries the file holds, up to limit.
class MergedEntries : public NumberedValues {
 public:
  MergedEntries(SettingsHost& host, std::size_t added, std::vector<std::string_view> stored, std::size_t limit)
      : host_(host), added_(std::min(added, limit)), stored_(std::move(stored)) {
    if (stored_.size() > limit - added_) stored_.resize(limit - added_);
  }

  std::size_t Count() override { return added_ + stored_.size(); }
  std::size_t LongestValue() override { return kHistoryEntryCapacity - 1; }

  // An added entry gets its line breaks made blanks.
  std::string_view At(std::size_t index) override {
    if (index >= added_) return stored_[index - added_];
    entry_[0] = '\0';
    host_.HistoryItemText(static_cast<int>(index), entry_, sizeof entry_);
    entry_[sizeof entry_ - 1] = '\0';
    const std::size_t length = std::strlen(entry_);
    ReplaceLineBreaks(entry_, length);
    return {entry_, length};
  }

 private:
  SettingsHost& host_;
  std::size_t added_;                     // the window's own entries, items 0..added_-1 of its list
  std::vector<std::string_view> stored_;  // the file's entries that follow them
  char entry_[kHistoryEntryCapacity] = {};  // the added entry last asked for
};

}  // namespace

void LoadHistory(SettingsHost& host) {
  SettingsState& settings = ProgramSettings();
  std::string text;
  {
    // Read under the lock: a file rewritten in place is never read half-way.
    SettingsFileLock lock(settings.SettingsPath, false);
    if (!LoadProfileText(settings.SettingsPath, text)) text.clear();
  }
  settings.HistoryLength = ReadProfileIntFrom(text, "INI", "historylen", kDefaultHistoryLength);
  settings.HistoryAddedThisRun = 0;
  char entry[kHistoryEntryCapacity];
  for (std::string_view stored : StoredEntries(text, settings.HistoryLength)) {
    stored.copy(entry, stored.size());  // at most kHistoryEntryCapacity - 1 bytes
    entry[stored.size()] = '\0';
    host.AppendHistoryItem(entry);
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

bool MergeHistoryInto(SettingsHost& host, std::string& settingsText) {
  const SettingsState& settings = ProgramSettings();
  if (settings.HistoryLength <= 0) return false;
  const std::size_t limit = static_cast<std::size_t>(settings.HistoryLength);
  // All keys in one pass: setting them one by one rescans the text for each
  // and makes a long history's save take minutes under the lock.
  MergedEntries merged(host, AddedEntryCount(host, settings.HistoryAddedThisRun),
                       StoredEntries(settingsText, settings.HistoryLength), limit);
  bool changed = false;
  SetNumberedProfileValues(settingsText, kHistorySection, merged, &changed);
  return changed;
}
