// A program folder shared with other users: files planted there by another
// user are not believed, and a read-only install keeps every user's history
// in that user's own file. The planting user is "nobody", so these tests need
// root, who can act as both; run as anybody else they are skipped.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

#include "settings/history.h"
#include "settings/language.h"
#include "settings/settings.h"
#include "settings/settings_state.h"
#include "settings/system_language.h"
#include "tests/support/case_table.h"
#include "tests/support/child_process.h"
#include "tests/support/fake_settings_host.h"
#include "tests/support/files.h"
#include "tests/support/settings_files.h"
#include "tests/support/temp_folder.h"

namespace {

constexpr uid_t kNobody = 65534;

class SharedPlacesTest : public testing::Test {
 protected:
  void SetUp() override {
    if (geteuid() != 0) GTEST_SKIP() << "needs root to act as a second user (nobody)";
    chmod(folder.path().c_str(), 0755);
    ResetProgramSettings();
  }

  // A folder in the test folder with the given mode and owner.
  std::string MakeFolder(const std::string& name, mode_t mode, uid_t owner = 0) const {
    const std::string path = folder / name;
    EXPECT_EQ(mkdir(path.c_str(), mode), 0);
    EXPECT_EQ(chmod(path.c_str(), mode), 0);
    EXPECT_EQ(chown(path.c_str(), owner, owner), 0);
    return path;
  }

  TempFolder folder;
};

// What another user can plant beside the program, and what the victim's
// start and close then do: each plant is ignored, the victim's own per-user
// file is used, and the victim's private file gets nothing.
TEST_F(SharedPlacesTest, PlantedSettingsAreIgnored) {
  const std::string language = WriteLanguageFile(folder, "own");
  const std::string privateFile = folder / "private";
  const std::string secret = "victim's own data\n";
  WriteFile(privateFile, secret);
  chmod(privateFile.c_str(), 0600);
  const std::string attackerLanguage = folder / "attacker.lng";
  WriteFile(attackerLanguage, "[MENU]\r\n0=Pwned\r\n");

  struct Plant {
    int line;
    const char* what;
    mode_t folderMode;
    bool asLink;  // a symbolic link to the private file, else a file naming the attacker's texts
  };
  const Plant plants[] = {
      {__LINE__, "a link in a folder everyone may write to", 01777, true},
      {__LINE__, "a file in a folder everyone may write to", 0777, false},
      {__LINE__, "a link of the other user's in a private folder", 0755, true},
      {__LINE__, "a file of the other user's in a private folder", 0755, false},
  };
  int round = 0;
  for (const Plant& plant : plants) {
    SCOPED_TRACE(plant.what);
    const std::string program = MakeFolder("bin" + std::to_string(round), plant.folderMode);
    const std::string config = folder / ("config" + std::to_string(round++));
    const std::string planted = program + "/quillo.ini";
    // The other user plants; in the private folder root stands in for the
    // moment the folder was open to them and hands the plant over.
    const int planting = RunInChildAsNobody([&] {
      if (plant.folderMode == 0755) return 0;
      return plant.asLink ? symlink(privateFile.c_str(), planted.c_str())
                          : (WriteFile(planted, "[INI]\r\nlang=" + attackerLanguage + "\r\n"), 0);
    });
    ASSERT_EQ(planting, 0);
    if (plant.folderMode == 0755) {
      if (plant.asLink) {
        ASSERT_EQ(symlink(privateFile.c_str(), planted.c_str()), 0);
        ASSERT_EQ(lchown(planted.c_str(), kNobody, kNobody), 0);
      } else {
        WriteFile(planted, "[INI]\r\nlang=" + attackerLanguage + "\r\n");
        ASSERT_EQ(chown(planted.c_str(), kNobody, kNobody), 0);
      }
    }

    SettingsLocation location;
    ASSERT_TRUE(LocateSettingsFile(program.c_str(), config.c_str(), nullptr, &location));
    EXPECT_EQ(std::string(location.path), config + "/quillo/quillo.ini");
    ResetProgramSettings();
    FakeHost host;
    host.answers = {language};
    ASSERT_TRUE(LoadSettingsAt(host, location));
    EXPECT_STREQ(ProgramSettings().MenuTexts[0], "own menu 0");
    LoadHistory(host);
    AddToHistory(host, "1+2");
    ASSERT_TRUE(SaveSettings(host));
    EXPECT_EQ(ReadFile(privateFile), secret);
    EXPECT_NE(ReadFile(location.path).find("0=1+2"), std::string::npos);
  }
}

// A language file another user can have put in a folder open to everyone is
// refused with a message naming it; the current texts and "lang" stay.
TEST_F(SharedPlacesTest, LanguageFileFromAFolderOthersWriteToIsRefused) {
  const std::string own = WriteLanguageFile(folder, "own");
  const std::string open = MakeFolder("open", 01777);
  const std::string planted = open + "/russian.lng";
  ASSERT_EQ(RunInChildAsNobody([&] { return (WriteLanguageFile(folder, "planted", "open/russian.lng"), 0); }), 0);
  const std::string settings = folder / "quillo.ini";
  WriteFile(settings, "[INI]\r\nlang=" + own + "\r\nform=0\r\nhistorylen=10\r\n");
  ResetProgramSettingsAt(settings);
  FakeHost host;
  ASSERT_TRUE(LoadSettingsFrom(host, settings.c_str()));

  host.answers = {planted, std::nullopt};
  EXPECT_FALSE(ChooseLanguageFile(host));
  ASSERT_EQ(host.errors.size(), 1u);
  EXPECT_NE(host.errors[0].find(planted), std::string::npos);
  EXPECT_STREQ(ProgramSettings().MenuTexts[0], "own menu 0");
  EXPECT_STREQ(ProgramSettings().LanguagePath, own.c_str());
  EXPECT_NE(ReadFile(settings).find("lang=" + own), std::string::npos);
}

// A Lang folder that another user made inside a program folder open to all
// (sticky, so nobody may rename what is not theirs): its own permissions are
// closed, but what is in it is that user's choice. Its file is neither
// selected at first in the dialog nor loaded when chosen.
TEST_F(SharedPlacesTest, LanguageFolderOfAnotherUserIsNotBelieved) {
  const std::string own = WriteLanguageFile(folder, "own");
  const std::string program = MakeFolder("program", 01777);
  const std::string shippedName = LanguageFileNameFor(SystemLanguageCode());
  const std::string planted = program + "/Lang/" + shippedName;
  ASSERT_EQ(RunInChildAsNobody([&] {
              if (mkdir((program + "/Lang").c_str(), 0755) != 0) return 1;
              WriteLanguageFile(folder, "planted", "program/Lang/" + shippedName);
              return 0;
            }),
            0);
  const std::string settings = folder / "quillo.ini";
  WriteFile(settings, "[INI]\r\nlang=" + own + "\r\nform=0\r\nhistorylen=10\r\n");
  ResetProgramSettingsAt(settings);
  std::snprintf(ProgramSettings().ExecutableFolder, kPathCapacity, "%s", program.c_str());
  FakeHost host;
  ASSERT_TRUE(LoadSettingsFrom(host, settings.c_str()));
  host.answers = {planted, std::nullopt};
  EXPECT_FALSE(ChooseLanguageFile(host));
  ASSERT_EQ(host.preselected.size(), 2u);
  EXPECT_EQ(host.preselected[0], "");
  ASSERT_EQ(host.errors.size(), 1u);
  EXPECT_NE(host.errors[0].find(planted), std::string::npos);
  EXPECT_STREQ(ProgramSettings().MenuTexts[0], "own menu 0");
}

// The per-user place judged like ssh's files: a folder on the way that
// another user owns or may change, or a file that is not the user's, makes
// the start refuse it, naming the file and saying what is wrong, rather
// than write through whatever was planted there.
TEST_F(SharedPlacesTest, PerUserPlaceOnAnotherUsersWayIsRefused) {
  struct Row {
    int line;
    mode_t configMode;  // the folder XDG_CONFIG_HOME names
    uid_t configOwner;
    bool plantedFile;  // another user's quillo.ini in a closed quillo folder
    const char* why;   // "" when the place is used
  };
  const Row rows[] = {
      {__LINE__, 0755, 0, false, ""},
      {__LINE__, 0700, kNobody, false, "belongs to another user"},
      {__LINE__, 01777, kNobody, false, "belongs to another user"},
      {__LINE__, 0777, 0, false, "may be changed by other users"},
      {__LINE__, 0775, 0, false, "may be changed by other users"},
      {__LINE__, 0755, 0, true, "belongs to another user or may be changed"},
  };
  // The program's folder is open to everyone, so the per-user place is the one.
  const std::string program = MakeFolder("program", 01777);
  int round = 0;
  ForEachCase(rows, [&](const Row& row) {
    const std::string config = MakeFolder("config" + std::to_string(round++), row.configMode, row.configOwner);
    const std::string file = config + "/quillo/quillo.ini";
    if (row.plantedFile) {
      ASSERT_EQ(mkdir((config + "/quillo").c_str(), 0755), 0);
      WriteFile(file, "[INI]\r\nform=1\r\n");
      ASSERT_EQ(chown(file.c_str(), kNobody, kNobody), 0);
    }
    SettingsLocation location;
    const bool located = LocateSettingsFile(program.c_str(), config.c_str(), nullptr, &location);
    EXPECT_EQ(std::string(location.path), file);
    EXPECT_EQ(located, row.why[0] == '\0');
    EXPECT_NE(std::string(location.refusal).find(row.why), std::string::npos) << location.refusal;
    // The refusal names the folder or file at fault.
    const std::string named = located ? "" : (row.plantedFile ? file : config);
    EXPECT_NE(std::string(location.refusal).find(named), std::string::npos);
  });
}

// A shared install the user cannot write to: its settings are the user's
// starting state, and the session goes to the user's own file, so nothing
// is lost and the shared file stays as the administrator left it.
TEST_F(SharedPlacesTest, ReadOnlyInstallSavesToTheUsersOwnFile) {
  const std::string language = WriteLanguageFile(folder, "shared");
  const std::string install = MakeFolder("install", 0755);
  const std::string shared = install + "/quillo.ini";
  const std::string sharedText = "[INI]\r\nlang=" + language + "\r\nform=2\r\nhistorylen=10\r\n[HISTORY]\r\n0=6*7\r\n";
  WriteFile(shared, sharedText);
  chmod(shared.c_str(), 0644);
  const std::string home = MakeFolder("home", 0755, kNobody);

  for (int session = 1; session <= 2; ++session) {
    SCOPED_TRACE(session);
    const int status = RunInChildAsNobody([&] {
      SettingsLocation location;
      if (!LocateSettingsFile(install.c_str(), nullptr, home.c_str(), &location)) return 1;
      if (std::string(location.path) != home + "/.config/quillo/quillo.ini" || std::string(location.seed) != shared) {
        return 2;
      }
      ResetProgramSettings();
      FakeHost host;
      if (!LoadSettingsAt(host, location) || !host.errors.empty() || !host.askedFolders.empty()) return 3;
      if (ProgramSettings().CurrentForm != 2) return 4;
      LoadHistory(host);
      AddToHistory(host, ("session " + std::to_string(session)).c_str());
      return SaveSettings(host) ? 0 : 5;
    });
    EXPECT_EQ(status, 0);
  }
  EXPECT_EQ(ReadFile(shared), sharedText);
  EXPECT_EQ(ReadFile(home + "/.config/quillo/quillo.ini"),
            "[INI]\r\nlang=" + language +
                "\r\nform=2\r\nhistorylen=10\r\n[HISTORY]\r\n0=session 2\r\n1=session 1\r\n2=6*7\r\n");
}

// A settings file of the user's own in an install folder the user cannot
// write to is written in place rather than lost.
TEST_F(SharedPlacesTest, OwnFileInAReadOnlyFolderIsWrittenInPlace) {
  const std::string language = WriteLanguageFile(folder, "own");
  const std::string install = MakeFolder("install", 0755);
  const std::string path = install + "/quillo.ini";
  WriteFile(path, "[INI]\r\nlang=" + language + "\r\nform=0\r\nhistorylen=10\r\n");
  ASSERT_EQ(chown(path.c_str(), kNobody, kNobody), 0);
  const int status = RunInChildAsNobody([&] {
    SettingsLocation location;
    if (!LocateSettingsFile(install.c_str(), nullptr, "/nonexistent", &location) || std::string(location.path) != path) {
      return 1;
    }
    ResetProgramSettings();
    FakeHost host;
    if (!LoadSettingsAt(host, location)) return 2;
    LoadHistory(host);
    AddToHistory(host, "2^8");
    return SaveSettings(host) ? 0 : 3;
  });
  EXPECT_EQ(status, 0);
  EXPECT_EQ(ReadFile(path), "[INI]\r\nlang=" + language + "\r\nform=0\r\nhistorylen=10\r\n[HISTORY]\r\n0=2^8\r\n");
  EXPECT_EQ(NamesIn(install), std::vector<std::string>{"quillo.ini"});
}

}  // namespace
