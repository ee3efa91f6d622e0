// The history a terminal session shares with the window, on files of the
// test's own: what it reads, what it writes, and what it leaves alone.

#include "cli/shared_history.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "settings/history.h"
#include "settings/profile.h"
#include "tests/support/case_table.h"
#include "tests/support/fake_settings_host.h"
#include "tests/support/files.h"
#include "tests/support/settings_files.h"
#include "tests/support/temp_folder.h"

namespace {

constexpr char kMissing[] = "<missing>";

// The history the window finds in the settings file at path when it opens.
std::string WindowHistoryIn(const std::string& path) {
  ResetProgramSettingsAt(path);
  FakeHost window;
  LoadHistory(window);
  return Joined(window.list);
}

// Each row: the settings file (kMissing: none) and the install's seed file
// (empty: none) before a session loads the history and adds 7*6; what the
// session recalls, what the window then lists, and the key that must keep
// its value.
TEST(SharedHistory, AddsOnTopOfTheFilesHistoryAndWritesNothingElse) {
  const struct {
    int line;
    std::string settings;
    std::string seed;
    std::string recalled;  // the session's entries, oldest first
    std::string window;    // the window's list afterwards, newest first
  } cases[] = {
      {__LINE__, "[INI]\nform=4\nlang=/x.lng\n[HISTORY]\n0=1+1\n1=2+2\n", "", "2+2|1+1", "7*6|1+1|2+2"},
      {__LINE__, kMissing, "", "", "7*6"},  // the file is made, with the history only
      {__LINE__, "[INI]\nform=4\nhistorylen=2\n[HISTORY]\n0=1+1\n1=2+2\n", "", "2+2|1+1", "7*6|1+1"},
      {__LINE__, "[INI]\nform=4\nhistorylen=0\n", "", "", ""},  // a length of 0 keeps nothing
      // A read-only install's file is where a user without a file starts.
      {__LINE__, kMissing, "[INI]\nform=4\n[HISTORY]\n0=9+9\n", "9+9", "7*6|9+9"},
  };
  ForEachCase(cases, [](const auto& c) {
    const TempFolder folder;
    SharedHistoryPlace place{};
    std::snprintf(place.path, sizeof place.path, "%s", (folder / "user/quillo.ini").c_str());
    if (c.settings != kMissing) {
      std::filesystem::create_directories(folder / "user");
      WriteFile(place.path, c.settings);
    }
    if (!c.seed.empty()) {
      WriteFile(folder / "seed.ini", c.seed);
      std::snprintf(place.seed, sizeof place.seed, "%s", (folder / "seed.ini").c_str());
    }
    TerminalHistory history;
    LoadSharedHistory(place, history);
    EXPECT_EQ(Joined(history.OldestFirst()), c.recalled);
    std::string why;
    EXPECT_TRUE(AddToSharedHistory(place, history, "7*6", 1000, why)) << why;
    EXPECT_EQ(WindowHistoryIn(place.path), c.window);
    const std::string written = ReadFile(place.path);
    if (c.settings == kMissing && c.seed.empty()) {
      EXPECT_EQ(written.find("[INI]"), std::string::npos) << written;
    } else {
      EXPECT_EQ(ReadProfileInt("INI", "form", -1, place.path), 4);
    }
    if (c.settings != kMissing && c.window.empty()) {
      EXPECT_EQ(written, c.settings);
    }
  });
}

}  // namespace
