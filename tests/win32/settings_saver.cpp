// Saves of the settings file as windows make them, and a reader that keeps
// the file open, for run-wine-test.sh to run against each other:
//
//   quillo-settings-saver save FILE COUNT   COUNT windows one after another,
//                                           each adding "s<n>" and closing;
//                                           prints "failed saves: N". FILE
//                                           "-" is quillo.ini beside this
//                                           program, found as the program
//                                           finds its own folder
//   quillo-settings-saver read FILE STOPFILE opens, reads and closes FILE in
//                                           a loop, as an indexer or a virus
//                                           scanner would, until STOPFILE
//                                           exists; prints "reads: N"
//   quillo-settings-saver hold FILE READYFILE STOPFILE
//                                           opens FILE and keeps it open,
//                                           as an editor or a backup tool
//                                           may, creates READYFILE, and
//                                           closes FILE once STOPFILE exists
//
// The reader opens the file the C runtime's way, which grants no delete
// sharing: the replacement of a save must wait for such a reader, and a save
// beside a holder that never lets go goes into the file instead of failing.

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "settings/files/file_system.h"
#include "settings/history.h"
#include "settings/language.h"
#include "settings/settings.h"
#include "settings/settings_state.h"
#include "settings/window_host.h"

namespace {

// A window without a screen: the expression box's list and nothing else.
class ListOnlyHost : public SettingsHost {
 public:
  bool AskForLanguageFile(const LanguageFileQuestion&, char*, unsigned) override { return false; }
  void ShowErrorBox(const char*, const char* text) override { std::fprintf(stderr, "error box: %s\n", text); }
  void InsertHistoryItemAtTop(const char* text) override { list_.insert(list_.begin(), text); }
  void AppendHistoryItem(const char* text) override { list_.emplace_back(text); }
  int HistoryItemCount() override { return static_cast<int>(list_.size()); }
  void HistoryItemText(int index, char* buffer, unsigned capacity) override {
    std::snprintf(buffer, capacity, "%s", list_.at(static_cast<std::size_t>(index)).c_str());
  }
  void DeleteLastHistoryItem() override { list_.pop_back(); }

 private:
  std::vector<std::string> list_;  // item 0 the newest
};

int Save(const char* file, int count) {
  int failed = 0;
  char beside[kPathCapacity];
  if (std::strcmp(file, "-") == 0) {
    if (!JoinPath(ExecutableFolder(), "quillo.ini", beside, sizeof beside)) return 2;
    file = beside;
  }
  for (int i = 0; i < count; ++i) {
    ResetProgramSettings();
    std::snprintf(ProgramSettings().SettingsPath, kPathCapacity, "%s", file);
    ListOnlyHost host;
    LoadHistory(host);
    char entry[16];
    std::snprintf(entry, sizeof entry, "s%d", i);
    AddToHistory(host, entry);
    if (!SaveSettings(host)) ++failed;
  }
  std::printf("failed saves: %d\n", failed);
  return failed == 0 ? 0 : 1;
}

int Read(const char* file, const char* stopFile) {
  long reads = 0;
  char buffer[4096];
  while (_access(stopFile, 0) != 0) {
    const int fd = _open(file, _O_RDONLY | _O_BINARY);
    if (fd < 0) continue;
    while (_read(fd, buffer, sizeof buffer) > 0) {
    }
    _close(fd);
    ++reads;
  }
  std::printf("reads: %s\n", reads > 0 ? "some" : "none");
  return 0;
}

int Hold(const char* file, const char* readyFile, const char* stopFile) {
  const int fd = _open(file, _O_RDONLY | _O_BINARY);
  if (fd < 0) return 2;
  const int ready = _open(readyFile, _O_WRONLY | _O_CREAT | _O_BINARY, 0644);
  if (ready < 0) return 2;
  _close(ready);
  // Polled: the test's other process makes the stop file when its saves end.
  while (_access(stopFile, 0) != 0) Sleep(5);
  _close(fd);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::strcmp(argv[1], "save") == 0) return Save(argv[2], std::atoi(argv[3]));
  if (argc == 4 && std::strcmp(argv[1], "read") == 0) return Read(argv[2], argv[3]);
  if (argc == 5 && std::strcmp(argv[1], "hold") == 0) return Hold(argv[2], argv[3], argv[4]);
  std::fprintf(stderr,
               "usage: quillo-settings-saver save FILE COUNT | read FILE STOPFILE | hold FILE READYFILE STOPFILE\n");
  return 2;
}
