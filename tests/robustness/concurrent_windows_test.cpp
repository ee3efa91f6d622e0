// Several windows on one settings file at once, as real processes: each
// close merges its new history entries into what the file holds, the
// language choice keeps what the closes wrote, and start-ups clean up
// without taking another window's save away.

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <functional>
#include <thread>
#include <string>
#include <vector>

#include "settings/files/file_lock.h"
#include "settings/history.h"
#include "settings/optional_texts.h"
#include "settings/profile.h"
#include "settings/settings.h"
#include "settings/settings_state.h"
#include "tests/support/case_table.h"
#include "tests/support/child_process.h"
#include "tests/support/fake_settings_host.h"
#include "tests/support/files.h"
#include "tests/support/settings_files.h"
#include "tests/support/temp_folder.h"

namespace {

constexpr int kWriters = 3;
constexpr int kSavesPerWriter = 100;
constexpr int kKeyWrites = 100;

std::string EntryOf(int writer, int save) { return "w" + std::to_string(writer) + "+" + std::to_string(save); }

// One window after another in one process: each starts from the file, adds
// one expression and closes. Returns the number of failed saves.
int RunWindows(const std::string& settings, int writer) {
  int failed = 0;
  for (int save = 0; save < kSavesPerWriter; ++save) {
    ResetProgramSettingsAt(settings);
    FakeHost host;
    LoadHistory(host);
    AddToHistory(host, EntryOf(writer, save).c_str());
    ProgramSettings().CurrentForm = writer;
    if (!SaveSettings(host) || !host.errors.empty()) ++failed;
  }
  return failed;
}

// Forks body; returns the child's id.
pid_t Start(const std::function<int()>& body) {
  std::fflush(nullptr);
  const pid_t child = fork();
  if (child == 0) _exit(body());
  return child;
}

int ExitCodeOf(pid_t child) {
  int status = 0;
  if (waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

// Three processes of 100 windows each, a process choosing a language (a key
// write) 100 times, and a loop of start-ups, all on one file at once: no
// save fails, every entry of every window is there (the history is long
// enough for all), each writer's entries newest first, and every key
// written stays.
TEST(ConcurrentWindowsTest, NoWindowLosesAnotherOnesWork) {
  TempFolder folder;
  const std::string language = WriteLanguageFile(folder, "english");
  const std::string settings = folder / "quillo.ini";
  WriteFile(settings, "[INI]\r\nlang=" + language + "\r\nform=0\r\nhistorylen=1000\r\n");

  // The start-ups go on until the pipe's write end is closed by all.
  int running[2];
  ASSERT_EQ(pipe(running), 0);
  const pid_t startups = Start([&] {
    close(running[1]);
    fcntl(running[0], F_SETFL, O_NONBLOCK);
    int failed = 0;
    for (char byte; read(running[0], &byte, 1) != 0;) {
      ResetProgramSettingsAt(settings);
      FakeHost host;
      if (!LoadSettingsFrom(host, settings.c_str()) || !host.errors.empty()) ++failed;
    }
    return failed;
  });
  close(running[0]);
  std::vector<pid_t> others;
  for (int writer = 0; writer < kWriters; ++writer) {
    others.push_back(Start([&, writer] { return RunWindows(settings, writer); }));
  }
  others.push_back(Start([&] {
    int failed = 0;
    for (int i = 0; i < kKeyWrites; ++i) {
      const std::string key = "k" + std::to_string(i);
      if (!WriteIniString("CHOICES", key.c_str(), "chosen", settings.c_str())) ++failed;
    }
    return failed;
  }));
  for (std::size_t i = 0; i < others.size(); ++i) EXPECT_EQ(ExitCodeOf(others[i]), 0) << "failures of process " << i;
  close(running[1]);
  EXPECT_EQ(ExitCodeOf(startups), 0) << "failed start-ups";

  ResetProgramSettingsAt(settings);
  FakeHost reader;
  LoadHistory(reader);
  ASSERT_EQ(reader.list.size(), static_cast<std::size_t>(kWriters * kSavesPerWriter));
  for (int writer = 0; writer < kWriters; ++writer) {
    int expectedSave = kSavesPerWriter - 1;  // newest first
    for (const std::string& entry : reader.list) {
      if (entry.rfind("w" + std::to_string(writer) + "+", 0) != 0) continue;
      EXPECT_EQ(entry, EntryOf(writer, expectedSave--));
    }
    EXPECT_EQ(expectedSave, -1) << "writer " << writer;
  }
  const std::string text = ReadFile(settings);
  for (int i = 0; i < kKeyWrites; ++i) {
    std::string_view value;
    EXPECT_TRUE(FindProfileValue(text, "CHOICES", ("k" + std::to_string(i)).c_str(), &value)) << i;
  }
  EXPECT_EQ(NamesIn(folder.path()), (std::vector<std::string>{"english.lng", "quillo.ini"}));
}

// A window whose history is shorter keeps only the newest of all windows'
// entries, its own on top: the merge cuts to the length after putting this
// window's entries first.
TEST(ConcurrentWindowsTest, MergeCutsToTheLengthWithThisWindowsEntriesOnTop) {
  TempFolder folder;
  const std::string settings = folder / "quillo.ini";
  WriteFile(settings, "[INI]\r\nhistorylen=3\r\n[HISTORY]\r\n0=a\r\n1=b\r\n");
  ResetProgramSettingsAt(settings);
  FakeHost first;
  LoadHistory(first);
  AddToHistory(first, "first");
  // Another window saves two entries meanwhile.
  const int other = RunInChild([&] {
    ResetProgramSettingsAt(settings);
    FakeHost second;
    LoadHistory(second);
    AddToHistory(second, "second-1");
    AddToHistory(second, "second-2");
    return SaveSettings(second) ? 0 : 1;
  });
  ASSERT_EQ(other, 0);
  ASSERT_TRUE(SaveSettings(first));
  EXPECT_EQ(ReadFile(settings), "[INI]\r\nhistorylen=3\r\nform=0\r\n[HISTORY]\r\n0=first\r\n1=second-2\r\n2=second-1\r\n");
}

// A window saved by the end of the desktop session and then used on saves
// again at its close: the entries of the first save are not added twice.
TEST(ConcurrentWindowsTest, ASecondSaveOfOneWindowAddsOnlyNewerEntries) {
  TempFolder folder;
  const std::string settings = folder / "quillo.ini";
  WriteFile(settings, "[INI]\r\nform=0\r\nhistorylen=10\r\n[HISTORY]\r\n0=old\r\n");
  ResetProgramSettingsAt(settings);
  FakeHost window;
  LoadHistory(window);
  AddToHistory(window, "1+1");
  ASSERT_TRUE(SaveSettings(window));
  AddToHistory(window, "2+2");
  ASSERT_TRUE(SaveSettings(window));
  EXPECT_EQ(ReadFile(settings), "[INI]\r\nform=0\r\nhistorylen=10\r\n[HISTORY]\r\n0=2+2\r\n1=1+1\r\n2=old\r\n");
}

// Holds the settings file's lock in a child process until release() is
// called; the child also runs during() while it holds the lock.
class LockHolder {
 public:
  explicit LockHolder(const std::string& settings, const std::function<void()>& during = [] {}) {
    if (pipe(locked_) != 0 || pipe(release_) != 0) return;
    child_ = Start([&] {
      SettingsFileLock lock(settings.c_str());
      [[maybe_unused]] const ssize_t told = write(locked_[1], lock.Held() ? "1" : "0", 1);
      during();
      char byte;
      [[maybe_unused]] const ssize_t waited = read(release_[0], &byte, 1);
      return 0;
    });
    char held = '0';
    holding_ = read(locked_[0], &held, 1) == 1 && held == '1';
  }
  ~LockHolder() { Release(); }
  bool Holding() const { return holding_; }
  // Lets the child end and waits for it; its exit code.
  int Release() {
    if (child_ <= 0) return -1;
    [[maybe_unused]] const ssize_t told = write(release_[1], "x", 1);
    const int code = ExitCodeOf(child_);
    child_ = 0;
    return code;
  }

 private:
  int locked_[2] = {-1, -1};
  int release_[2] = {-1, -1};
  pid_t child_ = 0;
  bool holding_ = false;
};

// A holder that changes nothing for the patience: the user is asked, with
// the file named, whether to wait again, and only giving up fails the save,
// with the usual message and the file as it was.
TEST(ConcurrentWindowsTest, AStuckHolderMakesTheSaveAskAndOnlyGivingUpFailsIt) {
  TempFolder folder;
  const std::string settings = folder / "quillo.ini";
  WriteFile(settings, "[INI]\r\nform=0\r\n");
  LockHolder holder(settings);
  ASSERT_TRUE(holder.Holding());
  ResetProgramSettingsAt(settings);
  ProgramSettings().LockPatienceMilliseconds = 200;
  ProgramSettings().CurrentForm = 4;
  FakeHost host;
  host.waitAgainAnswers = {true, true};
  EXPECT_FALSE(SaveSettings(host));
  ASSERT_EQ(host.waitQuestions.size(), 3u);
  for (const std::string& question : host.waitQuestions) EXPECT_NE(question.find(settings), std::string::npos);
  ASSERT_EQ(host.errors.size(), 1u);
  EXPECT_NE(host.errors[0].find("Can't save the settings file"), std::string::npos);
  EXPECT_EQ(ReadFile(settings), "[INI]\r\nform=0\r\n");
  EXPECT_EQ(holder.Release(), 0);
  // Released, the same save goes through.
  EXPECT_TRUE(SaveSettings(host));
  EXPECT_EQ(ReadFile(settings), "[INI]\r\nform=4\r\nhistorylen=10\r\n");
}

// The question is the loaded language's, the file named on its own line; a
// language file without the keys gives the English text, and one in
// Windows-1251 is shown in UTF-8 beside a UTF-8 path.
TEST(ConcurrentWindowsTest, TheStuckHolderQuestionIsTheLanguages) {
  const struct {
    int line;
    std::string language;
    std::string before;  // the text before the path's line
    std::string after;   // the text after it
  } cases[] = {
      {__LINE__, "[TEXTS]\r\n", "Another window has been changing the settings file",
       "for a long time without finishing.\nRetry waits again; Cancel gives up waiting."},
      {__LINE__, "[TEXTS]\r\nlockstuck=Held\r\nlockwaitagain=one\\ntwo\r\n", "Held", "one\ntwo"},
      {__LINE__, "[TEXTS]\r\nlockstuck=\xC6\xE4\xE8\r\nlockwaitagain=\xE5\xF9\xB8?\r\n", "Жди", "ещё?"},
  };
  TempFolder folder;
  ASSERT_EQ(mkdir((folder / "Пётр").c_str(), 0700), 0);
  const std::string settings = folder / "Пётр/quillo.ini";
  WriteFile(settings, "[INI]\r\nform=0\r\n");
  LockHolder holder(settings);
  ASSERT_TRUE(holder.Holding());
  ForEachCase(cases, [&](const auto& c) {
    ResetProgramSettingsAt(settings);
    ProgramSettings().LockPatienceMilliseconds = 50;
    FillOptionalTexts(c.language);
    FakeHost host;
    EXPECT_FALSE(SaveSettings(host));
    ASSERT_EQ(host.waitQuestions.size(), 1u);
    EXPECT_EQ(host.waitQuestions[0], c.before + "\n" + settings + "\n" + c.after);
  });
  FillOptionalTexts("");
  EXPECT_EQ(holder.Release(), 0);
}

// A holder that keeps changing the file (a queue of windows saving in turn,
// or one long save) is waited for as long as it takes, without a question.
TEST(ConcurrentWindowsTest, AHolderThatKeepsChangingTheFileIsWaitedForUnasked) {
  TempFolder folder;
  const std::string settings = folder / "quillo.ini";
  WriteFile(settings, "[INI]\r\nform=0\r\n");
  int done[2];
  ASSERT_EQ(pipe(done), 0);
  // Changes the file every 20 ms for three times the patience, then lets go.
  LockHolder holder(settings, [&] {
    for (int i = 0; i < 150; ++i) {
      StoreProfileText(settings.c_str(), "[INI]\r\nform=0\r\nstep=" + std::to_string(i) + "\r\n");
      usleep(20000);
    }
    [[maybe_unused]] const ssize_t told = write(done[1], "x", 1);
  });
  ASSERT_TRUE(holder.Holding());
  // The child lets go only after its changes: release it from a thread that
  // waits for them, while this one saves.
  std::thread releaser([&] {
    char byte;
    [[maybe_unused]] const ssize_t waited = read(done[0], &byte, 1);
    holder.Release();
  });
  ResetProgramSettingsAt(settings);
  ProgramSettings().LockPatienceMilliseconds = 1000;
  FakeHost host;
  const bool saved = SaveSettings(host);
  releaser.join();
  EXPECT_TRUE(saved);
  EXPECT_TRUE(host.waitQuestions.empty());
  EXPECT_EQ(ReadFile(settings), "[INI]\r\nform=0\r\nstep=149\r\nhistorylen=10\r\n");
}

// Whatever stands where an old version kept its lock file (a folder, a
// dangling link, a link to another file), the lock still excludes: a save
// waits for the holder, and writes nothing through the planted name.
TEST(ConcurrentWindowsTest, PlantedLockNamesNeitherBreakTheLockNorGetWritten) {
  struct Row {
    int line;
    const char* planted;
  };
  const Row rows[] = {{__LINE__, "folder"}, {__LINE__, "dangling link"}, {__LINE__, "link to a file"}};
  ForEachCase(rows, [](const Row& row) {
    TempFolder folder;
    const std::string settings = folder / "quillo.ini";
    const std::string lockName = settings + ".lock";
    const std::string elsewhere = folder / "elsewhere.txt";
    WriteFile(settings, "[INI]\r\nform=0\r\n");
    WriteFile(elsewhere, "untouched");
    const std::string planted = row.planted;
    int made = -1;
    if (planted == "folder") made = mkdir(lockName.c_str(), 0700);
    if (planted == "dangling link") made = symlink((folder / "none").c_str(), lockName.c_str());
    if (planted == "link to a file") made = symlink(elsewhere.c_str(), lockName.c_str());
    ASSERT_EQ(made, 0);
    LockHolder holder(settings);
    ASSERT_TRUE(holder.Holding());
    ResetProgramSettingsAt(settings);
    ProgramSettings().LockPatienceMilliseconds = 100;
    ProgramSettings().CurrentForm = 2;
    FakeHost host;
    EXPECT_FALSE(SaveSettings(host));
    EXPECT_EQ(host.waitQuestions.size(), 1u);
    EXPECT_EQ(holder.Release(), 0);
    EXPECT_TRUE(SaveSettings(host));
    EXPECT_EQ(ReadFile(settings), "[INI]\r\nform=2\r\nhistorylen=10\r\n");
    EXPECT_EQ(ReadFile(elsewhere), "untouched");
  });
}

}  // namespace
