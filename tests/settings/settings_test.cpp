// Start-up and close with a real settings file in a temporary folder and a
// fake window that answers the file dialog.

#include "settings/settings.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

#include "settings/files/file_system.h"
#include "settings/history.h"
#include "settings/language.h"
#include "settings/profile.h"
#include "settings/settings_state.h"
#include "settings/text_encoding.h"
#include "tests/support/case_table.h"
#include "tests/support/child_process.h"
#include "tests/support/fake_settings_host.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"

namespace {

constexpr char kNoLanguage[] = "You must specify language file (*.lng)\nProgram terminated...";
constexpr char kCannotOpen[] = "Can't open file\nTry again...";

class SettingsTest : public testing::Test {
 protected:
  void SetUp() override {
    ResetProgramSettings();
    WriteFile(language, "[MENU]\r\n0=Datei\r\n");
  }
  std::string Settings() const { return ReadFile(settings); }

  TempFolder folder;
  FakeHost host;
  const std::string settings = folder / "quillo.ini";
  const std::string language = folder / "german.lng";
};

TEST_F(SettingsTest, FirstRunCreatesTheFileWithItsDefaults) {
  host.answers = {language};
  ASSERT_TRUE(LoadSettingsFrom(host, settings.c_str()));
  EXPECT_EQ(Settings(), "[INI]\r\nlang=" + language + "\r\nform=0\r\nhistorylen=10\r\n");
  EXPECT_EQ(host.askedFolders, std::vector<std::string>{std::string(LanguageFolder()) + "/"});
  EXPECT_TRUE(host.errors.empty());
  EXPECT_STREQ(ProgramSettings().MenuTexts[0], "Datei");
  EXPECT_STREQ(ProgramSettings().SettingsPath, settings.c_str());
}

TEST_F(SettingsTest, CancelledFirstRunLeavesNoFile) {
  host.answers = {std::nullopt};
  EXPECT_FALSE(LoadSettingsFrom(host, settings.c_str()));
  EXPECT_EQ(host.errors, std::vector<std::string>{kNoLanguage});
  EXPECT_EQ(folder.Names(), std::vector<std::string>{"german.lng"});
}

TEST_F(SettingsTest, FirstRunCreatesAMissingConfigurationFolder) {
  const std::string nested = folder / "config/quillo/quillo.ini";
  host.answers = {language};
  ASSERT_TRUE(LoadSettingsFrom(host, nested.c_str()));
  EXPECT_EQ(ReadFile(nested), "[INI]\r\nlang=" + language + "\r\nform=0\r\nhistorylen=10\r\n");
}

TEST_F(SettingsTest, FirstRunThatCannotCreateTheFileSaysWhere) {
  WriteFile(folder / "plain", "");
  const std::string blocked = folder / "plain/quillo.ini";
  host.answers = {language};
  EXPECT_FALSE(LoadSettingsFrom(host, blocked.c_str()));
  ASSERT_EQ(host.errors.size(), 1u);
  EXPECT_NE(host.errors[0].find(blocked), std::string::npos);
}

TEST_F(SettingsTest, EmptySettingsFileIsNotAFirstRun) {
  WriteFile(settings, "");
  host.answers = {language};
  ASSERT_TRUE(LoadSettingsFrom(host, settings.c_str()));
  EXPECT_TRUE(host.errors.empty());
  EXPECT_EQ(host.askedFolders.size(), 1u);
  // Only the choice was written; no defaults were added.
  EXPECT_EQ(Settings(), "[INI]\r\nlang=" + language + "\r\n");
  EXPECT_EQ(ProgramSettings().CurrentForm, 0);
  LoadHistory(host);
  EXPECT_EQ(ProgramSettings().HistoryLength, 10);
}

TEST_F(SettingsTest, UnopenableLanguageFileAsksUntilOneOpens) {
  struct Row {
    int line;
    std::string stored;
    std::vector<std::optional<std::string>> answers;
    bool loaded;
    std::vector<std::string> errors;
    std::string storedAfter;
  };
  const std::string gone = folder / "deleted.lng";
  const std::string typo = folder / "typo.lng";
  const std::string pipe = folder / "pipe.lng";
  ASSERT_EQ(mkfifo(pipe.c_str(), 0644), 0);
  // Files that open but are refused, each with the message naming it.
  const std::string garbage = folder / "hostname";
  WriteFile(garbage, "build-machine\n");
  const std::string huge = folder / "huge.lng";
  WriteFile(huge, "[MENU]\r\n0=File\r\n" + std::string(kLanguageFileSizeLimit, '\n'));
  const std::string noKey = LanguageRefusalText(LanguageFileCheck::NoKnownKey, garbage.c_str());
  const std::string tooLarge = LanguageRefusalText(LanguageFileCheck::TooLarge, huge.c_str());
  const Row rows[] = {
      {__LINE__, language, {}, true, {}, language},
      {__LINE__, gone, {language}, true, {}, language},
      {__LINE__, gone, {typo, typo, language}, true, {kCannotOpen, kCannotOpen}, language},
      {__LINE__, gone, {std::nullopt}, false, {kNoLanguage}, gone},
      {__LINE__, gone, {typo, std::nullopt}, false, {kCannotOpen, kNoLanguage}, typo},
      {__LINE__, folder.path(), {language}, true, {}, language},  // a folder is not a language file
      {__LINE__, pipe, {language}, true, {}, language},           // nor is a pipe
      {__LINE__, garbage, {language}, true, {noKey}, language},
      {__LINE__, gone, {huge, language}, true, {tooLarge}, language},
      {__LINE__, gone, {garbage, std::nullopt}, false, {noKey, kNoLanguage}, gone},
  };
  ForEachCase(rows, [&](const Row& row) {
    ResetProgramSettings();
    host = FakeHost();
    host.answers.assign(row.answers.begin(), row.answers.end());
    WriteFile(settings, "[INI]\r\nlang=" + row.stored + "\r\nform=2\r\n");
    EXPECT_EQ(LoadSettingsFrom(host, settings.c_str()), row.loaded);
    EXPECT_EQ(host.errors, row.errors);
    EXPECT_EQ(host.askedFolders.size(), row.answers.size());
    char stored[kPathCapacity];
    ReadProfileString("INI", "lang", "", stored, sizeof stored, settings.c_str());
    EXPECT_EQ(std::string(stored), row.storedAfter);
    if (row.loaded) {
      EXPECT_EQ(ProgramSettings().CurrentForm, 2);
    }
  });
}

TEST_F(SettingsTest, FormOutsideTheFiveFormsReadsAsDecimal) {
  const std::pair<std::string, int> rows[] = {{"3", 3}, {"4", 4}, {"0", 0}, {"5", 0},
                                              {"-1", 0}, {"x", 0}, {"<none>", 0}};
  for (const auto& [stored, expected] : rows) {
    SCOPED_TRACE(stored);
    ProgramSettings().CurrentForm = 1;
    std::string text = "[INI]\r\nlang=" + language + "\r\n";
    if (stored != "<none>") text += "form=" + stored + "\r\n";
    WriteFile(settings, text);
    ASSERT_TRUE(LoadSettingsFrom(host, settings.c_str()));
    EXPECT_EQ(ProgramSettings().CurrentForm, expected);
  }
}

// The word keys: a missing or invalid one reads as 32 bits, signed.
TEST_F(SettingsTest, WordKeysOutsideTheirValuesReadAsThirtyTwoSigned) {
  struct Row {
    int line;
    std::string keys;
    int bits;
    bool isUnsigned;
  };
  const Row rows[] = {
      {__LINE__, "", 32, false},
      {__LINE__, "wordbits=64\r\nwordunsigned=1\r\n", 64, true},
      {__LINE__, "wordbits=8\r\nwordunsigned=0\r\n", 8, false},
      {__LINE__, "wordbits=16\r\n", 16, false},
      {__LINE__, "wordbits=12\r\nwordunsigned=2\r\n", 32, false},
      {__LINE__, "wordbits=-64\r\nwordunsigned=yes\r\n", 32, false},
      {__LINE__, "wordbits=x\r\n", 32, false},
  };
  ForEachCase(rows, [&](const Row& row) {
    ProgramSettings().WordBits = 16;
    ProgramSettings().WordUnsigned = true;
    WriteFile(settings, "[INI]\r\nlang=" + language + "\r\nform=0\r\n" + row.keys);
    ASSERT_TRUE(LoadSettingsFrom(host, settings.c_str()));
    EXPECT_EQ(ProgramSettings().WordBits, row.bits);
    EXPECT_EQ(ProgramSettings().WordUnsigned, row.isUnsigned);
  });
}

// A chosen word is written beside the form and read back; a file whose user
// never left 32 bits signed gets no word keys, so it stays as it was.
TEST_F(SettingsTest, WordKeysRoundTripAndStayAwayUntilChosen) {
  WriteFile(settings, "[INI]\r\nlang=" + language + "\r\nform=0\r\nhistorylen=10\r\n");
  ASSERT_TRUE(LoadSettingsFrom(host, settings.c_str()));
  EXPECT_TRUE(SaveSettings(host));
  EXPECT_EQ(Settings(), "[INI]\r\nlang=" + language + "\r\nform=0\r\nhistorylen=10\r\n");

  ProgramSettings().WordBits = 64;
  ProgramSettings().WordUnsigned = true;
  EXPECT_TRUE(SaveSettings(host));
  EXPECT_EQ(Settings(),
            "[INI]\r\nlang=" + language + "\r\nform=0\r\nhistorylen=10\r\nwordbits=64\r\nwordunsigned=1\r\n");
  ResetProgramSettings();
  ASSERT_TRUE(LoadSettingsFrom(host, settings.c_str()));
  EXPECT_EQ(ProgramSettings().WordBits, 64);
  EXPECT_TRUE(ProgramSettings().WordUnsigned);

  // Back to the default: the keys now in the file say so.
  ProgramSettings().WordBits = 32;
  ProgramSettings().WordUnsigned = false;
  EXPECT_TRUE(SaveSettings(host));
  EXPECT_EQ(Settings(),
            "[INI]\r\nlang=" + language + "\r\nform=0\r\nhistorylen=10\r\nwordbits=32\r\nwordunsigned=0\r\n");
}

// "ontop" likewise: absent until turned on, then kept in step; only "1"
// reads as on.
TEST_F(SettingsTest, OnTopKeyRoundTripsAndStaysAwayUntilChosen) {
  const std::string head = "[INI]\r\nlang=" + language + "\r\nform=0\r\nhistorylen=10\r\n";
  WriteFile(settings, head);
  ASSERT_TRUE(LoadSettingsFrom(host, settings.c_str()));
  EXPECT_FALSE(ProgramSettings().AlwaysOnTop);
  EXPECT_TRUE(SaveSettings(host));
  EXPECT_EQ(Settings(), head);

  ProgramSettings().AlwaysOnTop = true;
  EXPECT_TRUE(SaveSettings(host));
  EXPECT_EQ(Settings(), head + "ontop=1\r\n");
  ResetProgramSettings();
  ASSERT_TRUE(LoadSettingsFrom(host, settings.c_str()));
  EXPECT_TRUE(ProgramSettings().AlwaysOnTop);

  ProgramSettings().AlwaysOnTop = false;
  EXPECT_TRUE(SaveSettings(host));
  EXPECT_EQ(Settings(), head + "ontop=0\r\n");

  for (const char* value : {"2", "yes", "-1"}) {
    SCOPED_TRACE(value);
    WriteFile(settings, head + "ontop=" + value + "\r\n");
    ProgramSettings().AlwaysOnTop = true;
    ASSERT_TRUE(LoadSettingsFrom(host, settings.c_str()));
    EXPECT_FALSE(ProgramSettings().AlwaysOnTop);
  }
}

// "font" is written once a font is chosen and read back; a value the window
// cannot use reads as no choice and stays in the file until one is made.
TEST_F(SettingsTest, FontKeyIsWrittenOnceChosenAndBadValuesMeanTheDefault) {
  const std::string head = "[INI]\r\nlang=" + language + "\r\nform=0\r\nhistorylen=10\r\n";
  WriteFile(settings, head);
  ASSERT_TRUE(LoadSettingsFrom(host, settings.c_str()));
  EXPECT_FALSE(IsFontChosen(ProgramSettings().DisplayFont));
  EXPECT_TRUE(SaveSettings(host));
  EXPECT_EQ(Settings(), head);

  ASSERT_TRUE(MakeFontChoice("Consolas", 10, ProgramSettings().DisplayFont));
  EXPECT_TRUE(SaveSettings(host));
  EXPECT_EQ(Settings(), head + "font=Consolas,10\r\n");
  ResetProgramSettings();
  ASSERT_TRUE(LoadSettingsFrom(host, settings.c_str()));
  EXPECT_EQ(FormatFontValue(ProgramSettings().DisplayFont), "Consolas,10");

  const std::string tooLong = "Mono,10" + std::string(200, ' ') + "0";  // no size once cut
  for (const std::string& value : {std::string("Consolas"), std::string("Consolas,0"), tooLong}) {
    SCOPED_TRACE(value);
    WriteFile(settings, head + "font=" + value + "\r\n");
    ASSERT_TRUE(LoadSettingsFrom(host, settings.c_str()));
    EXPECT_FALSE(IsFontChosen(ProgramSettings().DisplayFont));
    EXPECT_TRUE(SaveSettings(host));
    EXPECT_EQ(Settings(), head + "font=" + value + "\r\n");
  }
}

TEST_F(SettingsTest, UnreadableSettingsFileIsNeverOverwritten) {
  // A folder standing where the file should be.
  ASSERT_EQ(mkdir(settings.c_str(), 0755), 0);
  host.answers = {language};
  EXPECT_FALSE(LoadSettingsFrom(host, settings.c_str()));
  ASSERT_EQ(host.errors.size(), 1u);
  EXPECT_NE(host.errors[0].find(settings), std::string::npos);
  EXPECT_TRUE(host.askedFolders.empty());

  // A file the user may not read.
  const std::string locked = folder / "locked.ini";
  const std::string content = "[INI]\r\nlang=" + language + "\r\nform=3\r\n";
  WriteFile(locked, content);
  chmod(locked.c_str(), 0);
  chmod(folder.path().c_str(), 0755);
  int status = RunInChildAsNobody([&] {
    FakeHost child;
    child.answers = {language};
    bool loaded = LoadSettingsFrom(child, locked.c_str());
    bool named = child.errors.size() == 1 && child.errors[0].find(locked) != std::string::npos;
    return (loaded ? 1 : 0) | (named ? 0 : 2) | (child.askedFolders.empty() ? 0 : 4);
  });
  EXPECT_EQ(status, 0);
  EXPECT_EQ(ReadFile(locked), content);

  // A file over the size limit: every start would ask for a language and
  // every close fail, so the start says so and ends.
  const std::string huge = folder / "huge.ini";
  WriteFile(huge, "[INI]\r\nlang=" + language + "\r\n");
  ASSERT_EQ(truncate(huge.c_str(), static_cast<off_t>(kProfileSizeLimit) + 1), 0);
  FakeHost large;
  large.answers = {language};
  EXPECT_FALSE(LoadSettingsFrom(large, huge.c_str()));
  ASSERT_EQ(large.errors.size(), 1u);
  EXPECT_NE(large.errors[0].find("larger than 256 MiB"), std::string::npos);
  EXPECT_NE(large.errors[0].find(huge), std::string::npos);
  EXPECT_TRUE(large.askedFolders.empty());
}

TEST_F(SettingsTest, SaveWritesFormHistoryNewestFirstAndLength) {
  WriteFile(settings, "[INI]\r\nlang=L\r\nform=0\r\nhistorylen=5\r\n[HISTORY]\r\n0=a\r\n1=b\r\n2=c\r\n3=old3\r\n"
                      "4=old4\r\n5=old5\r\n");
  std::strcpy(ProgramSettings().SettingsPath, settings.c_str());
  LoadHistory(host);
  for (const char* added : {"z", "y", "x"}) AddToHistory(host, added);
  ProgramSettings().CurrentForm = 3;
  EXPECT_TRUE(SaveSettings(host));
  // Keys beyond the length keep what they held.
  EXPECT_EQ(Settings(), "[INI]\r\nlang=L\r\nform=3\r\nhistorylen=5\r\n[HISTORY]\r\n0=x\r\n1=y\r\n2=z\r\n3=a\r\n"
                        "4=b\r\n5=old5\r\n");
  EXPECT_TRUE(host.errors.empty());
}

TEST_F(SettingsTest, SaveAddsMissingKeysAndKeepsFormAOneDigitForm) {
  WriteFile(settings, "[INI]\r\nlang=L\r\n");
  std::strcpy(ProgramSettings().SettingsPath, settings.c_str());
  host.list = {"1+2", "", "never"};  // an empty item ends the history
  ProgramSettings().HistoryAddedThisRun = 3;
  ProgramSettings().CurrentForm = 9;
  EXPECT_TRUE(SaveSettings(host));
  EXPECT_EQ(Settings(), "[INI]\r\nlang=L\r\nform=0\r\nhistorylen=10\r\n[HISTORY]\r\n0=1+2\r\n");
  // A length of 0 or less keeps no history and writes none.
  ProgramSettings().HistoryLength = -4;
  EXPECT_TRUE(SaveSettings(host));
  EXPECT_EQ(Settings(), "[INI]\r\nlang=L\r\nform=0\r\nhistorylen=-4\r\n[HISTORY]\r\n0=1+2\r\n");
}

TEST_F(SettingsTest, FailedSaveIsReportedNamingTheFile) {
  WriteFile(folder / "plain", "");
  const std::string blocked = folder / "plain/quillo.ini";
  for (const std::string& path : {blocked, folder.path()}) {
    SCOPED_TRACE(path);
    host = FakeHost();
    std::strcpy(ProgramSettings().SettingsPath, path.c_str());
    host.list = {"2+3"};
    EXPECT_FALSE(SaveSettings(host));
    ASSERT_EQ(host.errors.size(), 1u);
    EXPECT_NE(host.errors[0].find(path), std::string::npos);
  }
}

// The failure's box is in the loaded language: its caption and both lines
// around the path, which keeps its own bytes.
TEST_F(SettingsTest, FailedSaveIsReportedInTheLoadedLanguage) {
  const std::string blocked = folder / "plain/quillo.ini";
  WriteFile(folder / "plain", "");
  const std::string russian = ReadFile(std::string(LanguageFolder()) + "/russian.lng");
  const struct {
    int line;
    std::string languageText;
    const char* caption;
    std::string text;
  } cases[] = {
      {__LINE__, "[MENU]\r\n0=Datei\r\n", "ERROR",
       "Can't save the settings file\n" + blocked + "\nThe form and history of this session are lost."},
      {__LINE__, russian, "Ошибка",
       "Не удалось сохранить файл настроек\n" + blocked + "\nВыбранная форма и история этого сеанса не сохранены."},
  };
  ForEachCase(cases, [&](const auto& c) {
    host = FakeHost();
    FillLanguageTexts(c.languageText);
    std::strcpy(ProgramSettings().SettingsPath, blocked.c_str());
    EXPECT_FALSE(SaveSettings(host));
    // The caption as the front end shows it: Windows-1251 decoded.
    ASSERT_EQ(host.errorCaptions.size(), 1u);
    EXPECT_EQ(DisplayUtf8(host.errorCaptions[0].c_str()), c.caption);
    EXPECT_EQ(host.errors, std::vector<std::string>{c.text});
  });
}

TEST(LocateSettingsFileTest, BesideTheExecutableWhenTrustedElseInTheUserConfigFolder) {
  TempFolder folder;
  chmod(folder.path().c_str(), 0755);
  const auto makeFolder = [&](const std::string& name, mode_t mode) {
    const std::string path = folder / name;
    EXPECT_EQ(mkdir(path.c_str(), 0755), 0);
    chmod(path.c_str(), mode);
    return path;
  };
  const std::string withFile = makeFolder("portable", 0755);
  WriteFile(withFile + "/quillo.ini", "");
  const std::string writable = makeFolder("writable", 0755);
  // A folder nobody can create files in: it does not exist at all.
  const std::string installed = folder / "usr/bin";
  // Folders and files that others can change.
  const std::string openToAll = makeFolder("open", 0777);
  WriteFile(openToAll + "/quillo.ini", "");
  const std::string openFile = makeFolder("openfile", 0755);
  WriteFile(openFile + "/quillo.ini", "");
  chmod((openFile + "/quillo.ini").c_str(), 0666);
  struct Row {
    int line;
    std::string exe;
    const char* xdg;
    const char* home;
    std::string expected;
  };
  const Row rows[] = {
      {__LINE__, withFile, "/x", "/h", withFile + "/quillo.ini"},
      {__LINE__, writable, "/x", "/h", writable + "/quillo.ini"},
      {__LINE__, installed, "/x/cfg", "/h", "/x/cfg/quillo/quillo.ini"},
      {__LINE__, installed, nullptr, "/h", "/h/.config/quillo/quillo.ini"},
      {__LINE__, installed, "", "/h", "/h/.config/quillo/quillo.ini"},
      {__LINE__, installed, "relative", "/h", "/h/.config/quillo/quillo.ini"},
      {__LINE__, installed, nullptr, nullptr, "<refused>"},  // no folder to trust, none of the user's
      {__LINE__, openToAll, "/x", "/h", "/x/quillo/quillo.ini"},
      {__LINE__, openFile, "/x", "/h", "/x/quillo/quillo.ini"},
      {__LINE__, openToAll, nullptr, nullptr, "<refused>"},
  };
  ForEachCase(rows, [&](const Row& row) {
    SettingsLocation location;
    const bool located = LocateSettingsFile(row.exe.c_str(), row.xdg, row.home, &location);
    EXPECT_EQ(located ? std::string(location.path) : "<refused>", row.expected);
    EXPECT_STREQ(location.seed, "");
  });
  EXPECT_EQ(folder.Names(), (std::vector<std::string>{"open", "openfile", "portable", "writable"}));  // no probe left
  const std::string deep(kPathCapacity, 'd');
  SettingsLocation location;
  EXPECT_FALSE(LocateSettingsFile(("/" + deep).c_str(), nullptr, nullptr, &location));
}

}  // namespace

// Only the names a replacement of the settings file makes count as its
// leftovers; a user's backups and other programs' files are never removed.
TEST(TemporaryFileNames, OnlyOwnLeftoversAreRecognised) {
  struct Case {
    int line;
    const char* name;
    bool leftover;
  };
  const Case cases[] = {
      {__LINE__, "quillo.ini.1234-Ab12Cd.tmp", true},  // Linux
      {__LINE__, "quillo.ini.4242-7.tmp", true},       // Windows
      {__LINE__, "quillo.ini.Ab12Cd.tmp", false},      // no process id
      {__LINE__, "quillo.ini.backup.tmp", false},      // a user's own
      {__LINE__, "quillo.ini.12-.tmp", false},
      {__LINE__, "quillo.ini.-Ab12Cd.tmp", false},
      {__LINE__, "quillo.ini.1x-Ab12Cd.tmp", false},
      {__LINE__, "quillo.ini.12-Ab-12.tmp", false},
      {__LINE__, "quillo.ini", false},
      {__LINE__, "quillo.ini.tmp", false},
      {__LINE__, "quillo.ini..tmp", false},
      {__LINE__, "quillo.ini.bak", false},
      {__LINE__, "quillo.ini.backup", false},
      {__LINE__, "quillo.ini.old.copy.tmp", false},
      {__LINE__, "other.ini.1-Ab12Cd.tmp", false},
      {__LINE__, "xquillo.ini.1-Ab12Cd.tmp", false},
      {__LINE__, "quillo.ini.1-Ab12Cd.tmpx", false},
  };
  ForEachCase(cases, [&](const Case& c) {
    EXPECT_EQ(IsTemporaryNameOf(c.name, "quillo.ini"), c.leftover);
  });
}
