// Time of a window's save with a long history: the merge of its entries into
// the settings text (the work done while the file is locked), the whole save
// with the file read, merged, written and flushed, and of that the store and
// the flush alone. Printed, not checked:
// 200,000 entries of 999 characters are expected to save in well under a
// second.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "settings/history.h"
#include "settings/profile.h"
#include "settings/settings.h"
#include "settings/settings_state.h"
#include "settings/window_host.h"

namespace {

constexpr int kLongHistory = 200000;
constexpr std::size_t kLongestEntry = 999;

// The expression box's list, item 0 the newest; nothing else is asked for.
class ListHost : public SettingsHost {
 public:
  std::vector<std::string> list;

  bool AskForLanguageFile(const LanguageFileQuestion&, char*, unsigned) override { return false; }
  void ShowErrorBox(const char*, const char*) override {}
  void InsertHistoryItemAtTop(const char* text) override { list.insert(list.begin(), text); }
  void AppendHistoryItem(const char* text) override { list.emplace_back(text); }
  int HistoryItemCount() override { return static_cast<int>(list.size()); }
  void HistoryItemText(int index, char* buffer, unsigned capacity) override {
    std::snprintf(buffer, capacity, "%s", list[static_cast<std::size_t>(index)].c_str());
  }
  void DeleteLastHistoryItem() override { list.pop_back(); }
};

// count entries of the longest length, each different in its first digits.
std::vector<std::string> LongEntries(int count, char fill) {
  std::vector<std::string> entries;
  entries.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    std::string entry = std::to_string(i) + "+";
    entry.resize(kLongestEntry, fill);
    entries.push_back(std::move(entry));
  }
  return entries;
}

// A settings text holding count stored entries.
std::string StoredText(int count) {
  std::string text = "[INI]\r\nlang=/l/english.lng\r\nform=0\r\nhistorylen=" + std::to_string(count) +
                     "\r\n[HISTORY]\r\n";
  const std::vector<std::string> entries = LongEntries(count, '1');
  for (int i = 0; i < count; ++i) text += std::to_string(i) + "=" + entries[static_cast<std::size_t>(i)] + "\r\n";
  return text;
}

// The window added every entry of its list: each key of the stored text gets
// a new value.
void BM_MergeLongHistory(benchmark::State& state) {
  const int stored = static_cast<int>(state.range(0));
  ResetProgramSettings();
  ProgramSettings().HistoryLength = kLongHistory;
  ListHost host;
  host.list = LongEntries(kLongHistory, '2');
  const std::string before = StoredText(stored);
  for (auto _ : state) {
    state.PauseTiming();
    std::string text = before;
    ProgramSettings().HistoryAddedThisRun = kLongHistory;
    state.ResumeTiming();
    MergeHistoryInto(host, text);
    benchmark::DoNotOptimize(text.data());
  }
  state.counters["entries"] = kLongHistory;
}
BENCHMARK(BM_MergeLongHistory)->Arg(0)->Arg(20000)->Arg(kLongHistory)->Unit(benchmark::kMillisecond);

// A file in a new temporary folder; the file (and a lock file beside it)
// and the folder are removed at the end.
class BenchFile {
 public:
  explicit BenchFile(const char* name) {
    if (mkdtemp(folder_) != nullptr) path_ = std::string(folder_) + "/" + name;
  }
  ~BenchFile() {
    if (path_.empty()) return;
    std::remove(path_.c_str());
    std::remove((path_ + ".lock").c_str());
    rmdir(folder_);
  }
  BenchFile(const BenchFile&) = delete;
  BenchFile& operator=(const BenchFile&) = delete;

  // Empty when no folder could be made.
  const std::string& Path() const { return path_; }

 private:
  char folder_[25] = "/tmp/quillo-bench-XXXXXX";
  std::string path_;
};

// The whole save: lock, read, merge, write to a temporary file, flush and
// rename, of a window that added 200,000 entries to a file of state.range(0).
void BM_SaveLongHistory(benchmark::State& state) {
  const BenchFile file("quillo.ini");
  const std::string& path = file.Path();
  if (path.empty()) {
    state.SkipWithError("no temporary folder");
    return;
  }
  const std::string start = StoredText(static_cast<int>(state.range(0)));
  ResetProgramSettings();
  std::snprintf(ProgramSettings().SettingsPath, kPathCapacity, "%s", path.c_str());
  ProgramSettings().HistoryLength = kLongHistory;
  ListHost host;
  host.list = LongEntries(kLongHistory, '2');
  for (auto _ : state) {
    state.PauseTiming();
    StoreProfileText(path.c_str(), start);
    ProgramSettings().HistoryAddedThisRun = kLongHistory;
    state.ResumeTiming();
    if (!SaveSettings(host)) state.SkipWithError("the save failed");
  }
}
BENCHMARK(BM_SaveLongHistory)->Arg(20000)->Arg(kLongHistory)->Unit(benchmark::kMillisecond)->UseRealTime();

// The text BM_SaveLongHistory writes: 200,000 new entries merged into a
// file of 20,000.
std::string SavedText() {
  ResetProgramSettings();
  ProgramSettings().HistoryLength = kLongHistory;
  ProgramSettings().HistoryAddedThisRun = kLongHistory;
  ListHost host;
  host.list = LongEntries(kLongHistory, '2');
  std::string text = StoredText(20000);
  MergeHistoryInto(host, text);
  return text;
}

// The part of the whole save that is the file system's: the saved text
// written to a temporary file, flushed and renamed over the old file.
void BM_StoreLongHistory(benchmark::State& state) {
  const BenchFile file("quillo.ini");
  if (file.Path().empty()) {
    state.SkipWithError("no temporary folder");
    return;
  }
  const std::string text = SavedText();
  for (auto _ : state) {
    if (!StoreProfileText(file.Path().c_str(), text)) state.SkipWithError("the store failed");
  }
}
BENCHMARK(BM_StoreLongHistory)->Unit(benchmark::kMillisecond)->UseRealTime();

// Of that, the flush alone: the time the disk takes to hold the written
// text, which no change of the program's own work can shorten.
void BM_FlushLongHistory(benchmark::State& state) {
  const BenchFile file("written");
  const char* path = file.Path().c_str();
  if (file.Path().empty()) {
    state.SkipWithError("no temporary folder");
    return;
  }
  const std::string text = SavedText();
  for (auto _ : state) {
    state.PauseTiming();
    const int fd = open(path, O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const bool written = fd >= 0 && write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    state.ResumeTiming();
    if (!written || fsync(fd) != 0) state.SkipWithError("the write failed");
    state.PauseTiming();
    if (fd >= 0) close(fd);
    std::remove(path);
    state.ResumeTiming();
  }
}
BENCHMARK(BM_FlushLongHistory)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
