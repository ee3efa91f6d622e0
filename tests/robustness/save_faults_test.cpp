// Faults injected while the settings file is saved at close: the process
// killed at random points, a full disk and a read-only folder. In every case
// the file must afterwards hold either the old or the new settings, read
// cleanly, and a failed save must be told to the user.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/temp_folder.h"
#include "tests/support/files.h"
#include "tests/support/child_process.h"
#include "tests/support/fake_settings_host.h"
#include "tests/support/settings_files.h"
#include "settings/settings_state.h"
#include "settings/history.h"
#include "settings/settings.h"

namespace {

constexpr char kSettingsName[] = "quillo.ini";
constexpr char kLanguageName[] = "english.lng";

// A history of count entries of about 900 bytes each, tagged so that two
// histories never share an entry.
std::vector<std::string> MakeHistory(const std::string& tag, int count) {
  std::vector<std::string> history;
  for (int i = 0; i < count; ++i) {
    history.push_back(tag + std::to_string(i) + "+" + std::string(900, static_cast<char>('1' + i % 9)));
  }
  return history;
}

// Puts history into host's list as the entries this run added, so that a
// save writes exactly it (it is as long as the history may be).
void AddAsThisRun(FakeHost& host, const std::vector<std::string>& history) {
  host.list = history;
  ProgramSettings().HistoryAddedThisRun = static_cast<int>(history.size());
}

// The settings file as a save with this history and form leaves it.
std::string SavedText(const std::string& path, const std::vector<std::string>& history, int form) {
  FakeHost host;
  AddAsThisRun(host, history);
  ProgramSettings().CurrentForm = form;
  EXPECT_TRUE(SaveSettings(host));
  return ReadFile(path);
}

// The history that the next start shows.
std::vector<std::string> LoadedHistory() {
  FakeHost host;
  LoadHistory(host);
  return host.list;
}

class SaveFaultTest : public testing::Test {
 protected:
  void SetUp() override {
    WriteFile(language, "[MENU]\r\n0=Options\r\n");
    WriteFile(settings, "[INI]\r\nlang=" + language + "\r\nform=0\r\nhistorylen=100\r\n");
    ResetProgramSettingsAt(settings);
    ProgramSettings().HistoryLength = 100;
  }

  TempFolder folder;
  const std::string settings = folder / kSettingsName;
  const std::string language = folder / kLanguageName;
};

// The temporary files a killed save may leave beside the settings file.
std::vector<std::string> TemporaryFilesIn(const std::string& folder) {
  std::vector<std::string> names;
  for (const std::string& name : NamesIn(folder)) {
    if (name.rfind(std::string(kSettingsName) + ".", 0) == 0) names.push_back(name);
  }
  return names;
}

// How long three saves take, alternating the two histories: the kills of a
// saving child are spread over that time, so that they hit every step of a
// save whatever the speed of the build.
long KillSpreadMicroseconds(const std::string& path, const std::vector<std::string>& oldHistory,
                            const std::vector<std::string>& newHistory) {
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < 4; ++i) SavedText(path, i % 2 == 0 ? newHistory : oldHistory, i % 2 == 0 ? 4 : 1);
  const auto oneSave = (std::chrono::steady_clock::now() - start) / 4;
  return 1 + 3 * std::chrono::duration_cast<std::chrono::microseconds>(oneSave).count();
}

// A child saves the old and the new history in turn, as fast as it can, and
// is killed after a random delay. 200 rounds: whatever point of the save the
// kill hits, the file holds one complete state, and the next start reads it
// and removes the temporary file the killed save may have left.
TEST_F(SaveFaultTest, KilledSaveLeavesTheOldOrTheNewHistoryNeverAMix) {
  const std::vector<std::string> oldHistory = MakeHistory("old", 100);
  const std::vector<std::string> newHistory = MakeHistory("new", 100);
  const std::string oldText = SavedText(settings, oldHistory, 1);
  const std::string newText = SavedText(settings, newHistory, 4);
  ASSERT_EQ(SavedText(settings, oldHistory, 1), oldText);  // a save from the new state gives the old again

  const long spreadMicroseconds = KillSpreadMicroseconds(settings, oldHistory, newHistory);

  std::mt19937 random(20261208);
  int newStates = 0;
  int leftBehind = 0;
  for (int round = 0; round < 200; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    WriteFile(settings, oldText);
    std::fflush(nullptr);
    pid_t child = fork();
    if (child == 0) {
      FakeHost host;
      for (bool toNew = true;; toNew = !toNew) {
        AddAsThisRun(host, toNew ? newHistory : oldHistory);
        ProgramSettings().CurrentForm = toNew ? 4 : 1;
        SaveSettings(host);
      }
    }
    ASSERT_GT(child, 0);
    std::this_thread::sleep_for(std::chrono::microseconds(random() % spreadMicroseconds));
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);

    const std::string after = ReadFile(settings);
    ASSERT_TRUE(after == oldText || after == newText) << "a file of " << after.size() << " bytes";
    const bool isNew = after == newText;
    newStates += isNew ? 1 : 0;
    EXPECT_EQ(LoadedHistory(), isNew ? newHistory : oldHistory);
    leftBehind += TemporaryFilesIn(folder.path()).empty() ? 0 : 1;
    FakeHost nextStart;
    ASSERT_TRUE(LoadSettingsFrom(nextStart, settings.c_str()));
    EXPECT_EQ(ProgramSettings().CurrentForm, isNew ? 4 : 1);
    EXPECT_TRUE(nextStart.errors.empty());
    EXPECT_EQ(NamesIn(folder.path()), (std::vector<std::string>{kLanguageName, kSettingsName}));
  }
  std::printf("200 kills: %d left the new state, %d the old; %d left a temporary file, which the next "
              "start removed\n",
              newStates, 200 - newStates, leftBehind);
  RecordProperty("killsEndingInTheNewState", newStates);
  RecordProperty("killsLeavingATemporaryFile", leftBehind);
}

// Kills a saving child the moment one of its saves has made its temporary
// file, until a kill leaves that file behind; false when none of 100 kills
// did. (A save may finish between the look and the kill: then it goes
// round again.)
bool KillASaveLeavingATemporaryFile(const std::string& folder) {
  const std::vector<std::string> histories[] = {MakeHistory("new", 100), MakeHistory("old", 100)};
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::fflush(nullptr);
    pid_t child = fork();
    if (child == 0) {
      FakeHost host;
      for (int i = 0;; ++i) {  // a save that changes nothing writes nothing
        AddAsThisRun(host, histories[i % 2]);
        SaveSettings(host);
      }
    }
    if (child < 0) return false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (TemporaryFilesIn(folder).empty() && std::chrono::steady_clock::now() < deadline) {
    }
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    if (!TemporaryFilesIn(folder).empty()) return true;
  }
  return false;
}

// The next start removes what a killed save left, and nothing else of the
// folder: neither other files named like the settings file nor other files.
TEST_F(SaveFaultTest, NextStartRemovesTheTemporaryFileOfAKilledSave) {
  ASSERT_TRUE(KillASaveLeavingATemporaryFile(folder.path()));
  const std::string saved = ReadFile(settings);
  const std::vector<std::string> kept = {"other.ini.Ab12Cd", "quillo.ini.backup", "quillo.ini.bak",
                                         "quillo.ini.backup.tmp", "other.ini.12-Ab12Cd.tmp"};
  for (const std::string& name : kept) WriteFile(folder / name, "kept");
  FakeHost nextStart;
  ASSERT_TRUE(LoadSettingsFrom(nextStart, settings.c_str()));
  std::vector<std::string> expected = {kLanguageName, kSettingsName};
  expected.insert(expected.end(), kept.begin(), kept.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(NamesIn(folder.path()), expected);
  EXPECT_EQ(ReadFile(settings), saved);
}

// Mounts a file system for the length of a test; unmounted (lazily, so that
// an open file cannot keep it) when the test ends.
class ScopedMount {
 public:
  ScopedMount(const std::string& source, const std::string& target, const char* type, unsigned long flags,
              const char* options)
      : target_(target), mounted_(mount(source.c_str(), target.c_str(), type, flags, options) == 0) {}
  ~ScopedMount() {
    if (mounted_) umount2(target_.c_str(), MNT_DETACH);
  }
  ScopedMount(const ScopedMount&) = delete;
  ScopedMount& operator=(const ScopedMount&) = delete;

  bool mounted() const { return mounted_; }
  // Makes a bind mount read-only.
  bool RemountReadOnly() {
    return mounted_ && mount(nullptr, target_.c_str(), nullptr, MS_BIND | MS_REMOUNT | MS_RDONLY, nullptr) == 0;
  }

 private:
  std::string target_;
  bool mounted_;
};

// What a save that cannot write reports, checked in one place.
void ExpectFailedSaveTold(const FakeHost& host, const std::string& path) {
  ASSERT_EQ(host.errors.size(), 1u);
  EXPECT_NE(host.errors[0].find(path), std::string::npos) << host.errors[0];
}

// A full disk: a small file system (or, where nothing can be mounted, a
// file-size limit) has no room for the new file.
TEST_F(SaveFaultTest, FullDiskKeepsTheOldFileAndTellsTheUser) {
  const std::string small = folder / "small";
  ASSERT_EQ(mkdir(small.c_str(), 0755), 0);
  ScopedMount disk("quillo-full", small, "tmpfs", 0, "size=64k");
  const std::string path = small + "/" + kSettingsName;
  const std::string before = "[INI]\r\nlang=" + language + "\r\nform=2\r\nhistorylen=100\r\n[HISTORY]\r\n0=1+1\r\n";
  WriteFile(path, before);
  ResetProgramSettingsAt(path);
  ProgramSettings().HistoryLength = 100;
  const std::vector<std::string> history = MakeHistory("new", 100);  // about 90 KB

  if (disk.mounted()) {
    FakeHost host;
    AddAsThisRun(host, history);
    EXPECT_FALSE(SaveSettings(host));
    ExpectFailedSaveTold(host, path);
  } else {
    const int status = RunInChild([&] {
      signal(SIGXFSZ, SIG_IGN);
      rlimit limit{16384, 16384};
      if (setrlimit(RLIMIT_FSIZE, &limit) != 0) return 10;
      FakeHost host;
      AddAsThisRun(host, history);
      const bool saved = SaveSettings(host);
      return (saved ? 1 : 0) | (host.errors.size() == 1 ? 0 : 2);
    });
    EXPECT_EQ(status, 0);
  }
  EXPECT_EQ(ReadFile(path), before);
  EXPECT_EQ(NamesIn(small), std::vector<std::string>{kSettingsName});
  EXPECT_EQ(LoadedHistory(), std::vector<std::string>{"1+1"});
}

// A read-only folder: a read-only bind mount stops root as well (permission
// bits do not); where nothing can be mounted, an unprivileged child meets a
// folder without write permission instead.
TEST_F(SaveFaultTest, ReadOnlyFolderKeepsTheOldFileAndTellsTheUser) {
  const std::string writable = folder / "writable";
  const std::string readOnly = folder / "readonly";
  ASSERT_EQ(mkdir(writable.c_str(), 0755), 0);
  ASSERT_EQ(mkdir(readOnly.c_str(), 0755), 0);
  const std::string before = "[INI]\r\nlang=" + language + "\r\nform=2\r\n";
  WriteFile(writable + "/" + kSettingsName, before);
  const std::string path = readOnly + "/" + kSettingsName;
  ResetProgramSettingsAt(path);

  ScopedMount bind(writable, readOnly, nullptr, MS_BIND, nullptr);
  if (bind.RemountReadOnly()) {
    FakeHost host;
    AddAsThisRun(host, {"2+3"});
    EXPECT_FALSE(SaveSettings(host));
    ExpectFailedSaveTold(host, path);
  } else {
    const std::string target = writable + "/" + kSettingsName;
    std::snprintf(ProgramSettings().SettingsPath, kPathCapacity, "%s", target.c_str());
    // Neither the folder nor the file may be written by the second user (a
    // file of the user's own there would be written in place).
    chmod(writable.c_str(), 0555);
    const int status = RunInChildAsNobody([&] {
      FakeHost host;
      AddAsThisRun(host, {"2+3"});
      const bool saved = SaveSettings(host);
      return (saved ? 1 : 0) | (host.errors.size() == 1 ? 0 : 2);
    });
    chmod(writable.c_str(), 0755);
    EXPECT_EQ(status, 0);
  }
  EXPECT_EQ(ReadFile(writable + "/" + kSettingsName), before);
  EXPECT_EQ(NamesIn(writable), std::vector<std::string>{kSettingsName});
}

}  // namespace
