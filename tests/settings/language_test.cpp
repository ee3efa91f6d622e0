// Loading the 48 text slots, the menu built from them, the language file
// dialog, and the language files we ship.

#include "settings/language.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>
#include <filesystem>

#include "settings/profile.h"
#include "settings/settings.h"
#include "settings/text_encoding.h"
#include "test_support.h"

namespace {

std::string Slots(const char (*slots)[kTextSlotCapacity], int count) {
  std::vector<std::string> texts(slots, slots + count);
  return Joined(texts);
}

std::string Repeated(const std::string& text, int count) {
  std::string out;
  for (int i = 0; i < count; ++i) out += text;
  return out;
}

class LanguageTest : public testing::Test {
 protected:
  void SetUp() override { ResetSettingsGlobals(); }
  void LoadFrom(const std::string& path) {
    std::strcpy(LanguagePath, path.c_str());
    LoadLanguageTexts();
  }

  TempFolder folder;
  FakeHost host;
  const std::string english = folder / "english.lng";
};

TEST_F(LanguageTest, MissingKeysReadNoTranslation) {
  WriteFile(english, "[MENU]\r\n0=File\r\n1=Language...\r\n3=\r\n6=About...\r\n");
  LoadFrom(english);
  EXPECT_EQ(Slots(MenuTexts, kMenuTextCount),
            "File|Language...|no translation||no translation|no translation|About...");
  EXPECT_EQ(Slots(DialogTexts, kDialogTextCount), Joined(std::vector<std::string>(5, kNoTranslation)));
  EXPECT_EQ(Slots(MessageTable, kMessageCount), Joined(std::vector<std::string>(36, kNoTranslation)));

  LoadFrom(folder / "deleted.lng");
  EXPECT_EQ(Slots(MenuTexts, kMenuTextCount), Joined(std::vector<std::string>(7, kNoTranslation)));
}

TEST_F(LanguageTest, LongValuesAreCutTo39BytesWithoutSplittingACharacter) {
  const std::string ascii45 = Repeated("abcdefghi", 5);
  const std::string utf8 = Repeated("\xD0\xB6", 25);        // 25 two-byte letters
  const std::string mixed = std::string("a").append(Repeated("\xE2\x82\xAC", 13));  // "a", 13 three-byte signs
  const std::string cp1251 = Repeated("\xE6", 45);          // single-byte text
  WriteFile(english, "[OPERATIONS]\r\n0=" + ascii45 + "\r\n1=" + utf8 + "\r\n2=" + mixed + "\r\n3=" + cp1251 +
                         "\r\n4=" + ascii45.substr(0, 39) + "\r\n");
  LoadFrom(english);
  EXPECT_EQ(std::string(MessageTable[0]), ascii45.substr(0, 39));
  EXPECT_EQ(std::string(MessageTable[1]), utf8.substr(0, 38));
  EXPECT_EQ(std::string(MessageTable[2]), mixed.substr(0, 37));
  EXPECT_EQ(std::string(MessageTable[3]), cp1251.substr(0, 39));
  EXPECT_EQ(std::string(MessageTable[4]), ascii45.substr(0, 39));
}

TEST_F(LanguageTest, BuildMenuDisablesTheItemsWithoutCommand) {
  WriteFile(english, "[MENU]\r\n0=File\r\n1=Language...\r\n2=Two\r\n3=Three\r\n4=Help\r\n5=Five\r\n6=About...\r\n");
  LoadFrom(english);
  MenuModel menu{};
  BuildMenu(menu);
  EXPECT_EQ(MenuAsText(menu),
            "File[0 Language...|1 Two (off)|2 Three (off)] Help[10 Five (off)|---|11 About...]");
}

TEST_F(LanguageTest, ChoosingAFileRenewsTextsMenuControlsAndSetting) {
  const std::string settings = folder / "quillo.ini";
  std::strcpy(SettingsPath, settings.c_str());
  WriteFile(english, "[MENU]\r\n0=File\r\n[DIALOG]\r\n0=Go\r\n4=Out\r\n[OPERATIONS]\r\n17=Division by zero\r\n");
  host.answers = {english};
  ASSERT_TRUE(ChooseLanguageFile(host));
  EXPECT_STREQ(LanguagePath, english.c_str());
  EXPECT_EQ(host.askedFolders, std::vector<std::string>{std::string(LanguageFolder()) + "/"});
  ASSERT_EQ(host.attachedMenus.size(), 1u);
  EXPECT_EQ(host.attachedMenus[0].substr(0, 5), "File[");
  EXPECT_EQ(host.controls, (std::map<int, std::string>{{1011, "Go"},
                                                       {1010, kNoTranslation},
                                                       {1019, kNoTranslation},
                                                       {1020, kNoTranslation},
                                                       {1021, "Out"}}));
  EXPECT_STREQ(MessageTable[17], "Division by zero");
  EXPECT_EQ(ReadFile(settings), "[INI]\r\nlang=" + english + "\r\n");

  // Cancelling the dialog changes nothing.
  host = FakeHost();
  host.answers = {std::nullopt};
  EXPECT_FALSE(ChooseLanguageFile(host));
  EXPECT_STREQ(LanguagePath, english.c_str());
  EXPECT_STREQ(MenuTexts[0], "File");
  EXPECT_TRUE(host.attachedMenus.empty());
  EXPECT_TRUE(host.controls.empty());
  EXPECT_EQ(ReadFile(settings), "[INI]\r\nlang=" + english + "\r\n");

  // A typed name of a missing file is taken: every text is "no translation".
  const std::string typo = folder / "englsh.lng";
  host.answers = {typo};
  EXPECT_TRUE(ChooseLanguageFile(host));
  EXPECT_STREQ(MenuTexts[0], kNoTranslation);
  EXPECT_STREQ(MessageTable[17], kNoTranslation);
  EXPECT_EQ(ReadFile(settings), "[INI]\r\nlang=" + typo + "\r\n");
}

// Every shipped file, from the source tree and from the build's Lang folder,
// has all 48 keys within the 39-byte limit.
TEST(ShippedLanguageFilesTest, HaveEveryKeyWithinItsLimit) {
  const std::pair<const char*, int> sections[] = {
      {"MENU", kMenuTextCount}, {"DIALOG", kDialogTextCount}, {"OPERATIONS", kMessageCount}};
  for (const std::string& folder : {std::string(QUILLO_SOURCE_LANG_DIR), std::string(LanguageFolder())}) {
    for (const char* name : {"english.lng", "russian.lng"}) {
      const std::string path = folder + "/" + name;
      SCOPED_TRACE(path);
      ASSERT_TRUE(Exists(path));
      for (const auto& [section, count] : sections) {
        for (int i = 0; i < count; ++i) {
          SCOPED_TRACE(std::string(section) + " " + std::to_string(i));
          char value[200];
          unsigned length = ReadProfileString(section, std::to_string(i).c_str(), "<missing>", value,
                                              sizeof value, path.c_str());
          EXPECT_STRNE(value, "<missing>");
          EXPECT_GT(length, 0u);
          EXPECT_LE(length, 39u);
        }
      }
    }
  }
}

TEST(ShippedLanguageFilesTest, EnglishIsAsciiAndRussianIsWindows1251) {
  const std::string folder = LanguageFolder();
  const std::string englishText = ReadFile(folder + "/english.lng");
  for (unsigned char c : englishText) ASSERT_LT(c, 0x80);
  const std::string russian = folder + "/russian.lng";
  EXPECT_FALSE(IsValidUtf8(ReadFile(russian).c_str()));

  std::strcpy(LanguagePath, russian.c_str());
  LoadLanguageTexts();
  char shown[120];
  ConvertToDisplayText(MessageTable[17], shown, sizeof shown);
  EXPECT_STREQ(shown, "Деление на ноль");

  std::strcpy(LanguagePath, (folder + "/english.lng").c_str());
  LoadLanguageTexts();
  EXPECT_STREQ(MessageTable[13], "Too few operands for +");
  EXPECT_STREQ(MessageTable[17], "Division by zero");
  EXPECT_STREQ(MessageTable[33], "Too few operands for \\");
}

TEST(LanguageFolderTest, LangBesideTheExecutableElseTheInstalledFolder) {
  namespace fs = std::filesystem;
  EXPECT_EQ(fs::canonical(ExecutableFolder()), fs::canonical(QUILLO_TEST_RUNTIME_DIR));
  EXPECT_EQ(fs::canonical(LanguageFolder()), fs::canonical(QUILLO_TEST_RUNTIME_DIR "/Lang"));

  TempFolder folder;
  const std::string portable = folder / "portable";
  const std::string installed = folder / "share/quillo/Lang";
  fs::create_directories(portable + "/Lang");
  fs::create_directories(installed);
  const std::string bare = folder / "bin";
  struct Row {
    int line;
    std::string exe;
    std::string installed;
    std::string expected;
  };
  const Row rows[] = {
      {__LINE__, portable, installed, portable + "/Lang"},
      {__LINE__, bare, installed, installed},
      {__LINE__, bare, folder / "nowhere", bare + "/Lang"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.line);
    char out[kPathCapacity];
    ASSERT_TRUE(LocateLanguageFolder(row.exe.c_str(), row.installed.c_str(), out, sizeof out));
    EXPECT_EQ(std::string(out), row.expected);
  }
}

}  // namespace
