// Loading the 48 text slots, the language file dialog, and the language
// files we ship.

#include "settings/language.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <optional>

#include "settings/profile.h"
#include "settings/settings.h"
#include "settings/settings_state.h"
#include "settings/system_language.h"
#include "settings/text_encoding.h"
#include "tests/support/case_table.h"
#include "tests/support/fake_settings_host.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"

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
  void SetUp() override { ResetProgramSettings(); }
  void LoadFrom(const std::string& path) {
    std::strcpy(ProgramSettings().LanguagePath, path.c_str());
    LoadLanguageTexts();
  }

  TempFolder folder;
  FakeHost host;
  const std::string english = folder / "english.lng";
};

TEST_F(LanguageTest, MissingKeysReadNoTranslation) {
  WriteFile(english, "[MENU]\r\n0=File\r\n1=Language...\r\n3=\r\n6=About...\r\n");
  LoadFrom(english);
  EXPECT_EQ(Slots(ProgramSettings().MenuTexts, kMenuTextCount),
            "File|Language...|no translation||no translation|no translation|About...");
  EXPECT_EQ(Slots(ProgramSettings().DialogTexts, kDialogTextCount), Joined(std::vector<std::string>(5, kNoTranslation)));
  EXPECT_EQ(Slots(ProgramSettings().MessageTable, kMessageCount), Joined(std::vector<std::string>(36, kNoTranslation)));

  LoadFrom(folder / "deleted.lng");
  EXPECT_EQ(Slots(ProgramSettings().MenuTexts, kMenuTextCount), Joined(std::vector<std::string>(7, kNoTranslation)));
}

// 39 characters: of a UTF-8 text its letters, of a single-byte text its bytes.
TEST_F(LanguageTest, LongValuesAreCutTo39Characters) {
  const std::string ascii45 = Repeated("abcdefghi", 5);
  const std::string utf8 = Repeated("\xD0\xB6", 45);        // 45 two-byte letters
  const std::string mixed = std::string("a").append(Repeated("\xE2\x82\xAC", 40)).append(Repeated("\xF0\x9F\x98\x80", 3));
  const std::string cp1251 = Repeated("\xE6", 45);          // single-byte text
  WriteFile(english, "[OPERATIONS]\r\n0=" + ascii45 + "\r\n1=" + utf8 + "\r\n2=" + mixed + "\r\n3=" + cp1251 +
                         "\r\n4=" + ascii45.substr(0, 39) + "\r\n");
  LoadFrom(english);
  EXPECT_EQ(std::string(ProgramSettings().MessageTable[0]), ascii45.substr(0, 39));
  EXPECT_EQ(std::string(ProgramSettings().MessageTable[1]), utf8.substr(0, 2 * 39));
  EXPECT_EQ(std::string(ProgramSettings().MessageTable[2]), mixed.substr(0, 1 + 3 * 38));
  EXPECT_EQ(std::string(ProgramSettings().MessageTable[3]), cp1251.substr(0, 39));
  EXPECT_EQ(std::string(ProgramSettings().MessageTable[4]), ascii45.substr(0, 39));
}

TEST_F(LanguageTest, ChoosingAFileRenewsTextsAndSetting) {
  const std::string settings = folder / "quillo.ini";
  std::strcpy(ProgramSettings().SettingsPath, settings.c_str());
  WriteFile(english, "[MENU]\r\n0=File\r\n[DIALOG]\r\n0=Go\r\n4=Out\r\n[OPERATIONS]\r\n17=Division by zero\r\n");
  host.answers = {english};
  ASSERT_TRUE(ChooseLanguageFile(host));
  EXPECT_STREQ(ProgramSettings().LanguagePath, english.c_str());
  EXPECT_EQ(host.askedFolders, std::vector<std::string>{std::string(LanguageFolder()) + "/"});
  EXPECT_EQ(Slots(ProgramSettings().DialogTexts, kDialogTextCount),
            "Go|no translation|no translation|no translation|Out");
  EXPECT_STREQ(ProgramSettings().MessageTable[kMsgDivisionByZero], "Division by zero");
  EXPECT_EQ(ReadFile(settings), "[INI]\r\nlang=" + english + "\r\n");

  // Cancelling the dialog changes nothing.
  host = FakeHost();
  host.answers = {std::nullopt};
  EXPECT_FALSE(ChooseLanguageFile(host));
  EXPECT_STREQ(ProgramSettings().LanguagePath, english.c_str());
  EXPECT_STREQ(ProgramSettings().MenuTexts[0], "File");
  EXPECT_EQ(ReadFile(settings), "[INI]\r\nlang=" + english + "\r\n");

  // A typed name of a missing file is taken: every text is "no translation".
  const std::string typo = folder / "englsh.lng";
  host.answers = {typo};
  EXPECT_TRUE(ChooseLanguageFile(host));
  EXPECT_STREQ(ProgramSettings().MenuTexts[0], kNoTranslation);
  EXPECT_STREQ(ProgramSettings().MessageTable[kMsgDivisionByZero], kNoTranslation);
  EXPECT_EQ(ReadFile(settings), "[INI]\r\nlang=" + typo + "\r\n");
}

// The language dialog's title and its refusals are in the language loaded
// when it opens, English while none is (the first start).
TEST_F(LanguageTest, DialogAndRefusalSpeakTheLoadedLanguage) {
  const std::string refused = folder / "notes.lng";
  WriteFile(refused, "[NOTES]\r\n0=no language here\r\n");
  const std::string russian = ReadFile(std::string(LanguageFolder()) + "/russian.lng");
  const struct {
    int line;
    std::optional<std::string> loaded;  // the text of the language file loaded first; none at the first start
    const char* title;
    const char* caption;
    std::string refusal;
  } cases[] = {
      {__LINE__, std::nullopt, "Choose a language file", "ERROR",
       "Not used as language file:\n" + refused + "\nIt holds no text of [MENU], [DIALOG] or [OPERATIONS]."},
      {__LINE__, "[MENU]\r\n0=Datei\r\n[TEXTS]\r\nchooselanguage=Sprache?\r\nnotlanguage=Keine Sprache:\r\n",
       "Sprache?", "ERROR",
       "Keine Sprache:\n" + refused + "\nIt holds no text of [MENU], [DIALOG] or [OPERATIONS]."},
      {__LINE__, russian, "Выберите языковой файл", "Ошибка",
       "Этот файл не используется как языковой:\n" + refused +
           "\nВ нём нет ни одного текста разделов [MENU], [DIALOG] или [OPERATIONS]."},
  };
  ForEachCase(cases, [&](const auto& c) {
    ResetProgramSettings();
    if (c.loaded) FillLanguageTexts(*c.loaded);
    host = FakeHost();
    host.answers = {refused, std::nullopt};
    EXPECT_FALSE(ChooseLanguageFile(host));
    // Title and caption as the front end shows them: Windows-1251 decoded.
    ASSERT_EQ(host.titles.size(), 2u);
    EXPECT_EQ(DisplayUtf8(host.titles[0].c_str()), c.title);
    ASSERT_EQ(host.errorCaptions.size(), 1u);
    EXPECT_EQ(DisplayUtf8(host.errorCaptions[0].c_str()), c.caption);
    EXPECT_EQ(host.errors, std::vector<std::string>{c.refusal});
  });
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

  std::strcpy(ProgramSettings().LanguagePath, russian.c_str());
  LoadLanguageTexts();
  char shown[120];
  ConvertToDisplayText(ProgramSettings().MessageTable[kMsgDivisionByZero], shown, sizeof shown);
  EXPECT_STREQ(shown, "Деление на ноль");

  std::strcpy(ProgramSettings().LanguagePath, (folder + "/english.lng").c_str());
  LoadLanguageTexts();
  EXPECT_STREQ(ProgramSettings().MessageTable[kMsgTooFewForPlus], "Too few operands for +");
  EXPECT_STREQ(ProgramSettings().MessageTable[kMsgDivisionByZero], "Division by zero");
  EXPECT_STREQ(ProgramSettings().MessageTable[kMsgTooFewForExclusiveOr], "Too few operands for \\");
}

// The shipped Russian texts saved as UTF-8 keep every letter: the cut counts
// characters, so each slot shows what the Windows-1251 file shows.
TEST(ShippedLanguageFilesTest, RussianInUtf8ShowsTheSameTexts) {
  const std::string windows1251 = ReadFile(std::string(LanguageFolder()) + "/russian.lng");
  std::string utf8(windows1251.size() * 3 + 1, '\0');
  ConvertToDisplayText(windows1251.c_str(), utf8.data(), utf8.size());
  utf8.resize(std::strlen(utf8.c_str()));
  ASSERT_TRUE(IsValidUtf8(utf8));

  ResetProgramSettings();
  FillLanguageTexts(windows1251);
  const SettingsState fromWindows1251 = ProgramSettings();
  FillLanguageTexts(utf8);
  const SettingsState& fromUtf8 = ProgramSettings();
  const auto expectSame = [](const char (*expected)[kTextSlotCapacity], const char (*actual)[kTextSlotCapacity],
                             int count) {
    for (int i = 0; i < count; ++i) {
      char shown[3 * kTextSlotCapacity];
      ConvertToDisplayText(expected[i], shown, sizeof shown);
      EXPECT_STREQ(actual[i], shown) << i;
    }
  };
  expectSame(fromWindows1251.MenuTexts, fromUtf8.MenuTexts, kMenuTextCount);
  expectSame(fromWindows1251.DialogTexts, fromUtf8.DialogTexts, kDialogTextCount);
  expectSame(fromWindows1251.MessageTable, fromUtf8.MessageTable, kMessageCount);

  // A Russian text longer than the limit keeps its first 39 letters.
  FillLanguageTexts("[OPERATIONS]\r\n35=Недопустимый аргумент функции, проверьте область определения\r\n");
  EXPECT_STREQ(ProgramSettings().MessageTable[35], "Недопустимый аргумент функции, проверьт");
}

// The one pass over the file reads what a lookup of each key reads: the first
// section of a name, the first key of a name, names without regard to case,
// and keys written as "%d" writes them.
TEST(FillLanguageTextsTest, OnePassReadsWhatEachKeyReads) {
  struct Row {
    int line;
    std::string file;
    std::string menu01;  // MENU 0 and 1 joined with "|"
  };
  const Row rows[] = {
      {__LINE__, "[MENU]\r\n0=a\r\n0=b\r\n1=c\r\n", "a|c"},
      {__LINE__, "[MENU]\r\n0=a\r\n[DIALOG]\r\n0=x\r\n[menu]\r\n1=late\r\n", "a|no translation"},
      {__LINE__, "[ Menu ]\r\n 0 = spaced \r\n01=lead\r\n+1=sign\r\n", "spaced|no translation"},
      {__LINE__, "[MENU]\r\n1=\"quoted \"\r\n;0=comment\r\n", "no translation|quoted "},
      {__LINE__, "\xEF\xBB\xBF[MENU]\n0=bom\r1=cr\n", "bom|cr"},
  };
  ForEachCase(rows, [&](const Row& row) {
    ResetProgramSettings();
    FillLanguageTexts(row.file);
    EXPECT_EQ(std::string(ProgramSettings().MenuTexts[0]) + "|" + ProgramSettings().MenuTexts[1], row.menu01);
  });
}

// The language of a locale setting, and the shipped file that goes with it.
TEST(SystemLanguageTest, LocaleSettingsGiveTheirLanguageAndItsFile) {
  struct Row {
    int line;
    const char* locale;
    const char* code;
    const char* file;
  };
  const Row rows[] = {
      {__LINE__, "ru_RU.UTF-8", "ru", "russian.lng"},
      {__LINE__, "ru", "ru", "russian.lng"},
      {__LINE__, "RU_ru.KOI8-R", "ru", "russian.lng"},
      {__LINE__, "en_GB.UTF-8", "en", "english.lng"},
      {__LINE__, "de_DE@euro", "de", "english.lng"},
      {__LINE__, "fil_PH", "fil", "english.lng"},
      {__LINE__, "C", "", "english.lng"},
      {__LINE__, "C.UTF-8", "", "english.lng"},
      {__LINE__, "POSIX", "", "english.lng"},
      {__LINE__, "", "", "english.lng"},
      {__LINE__, "r2_D2", "", "english.lng"},
  };
  ForEachCase(rows, [&](const Row& row) {
    EXPECT_EQ(LanguageCodeOfLocale(row.locale), row.code);
    EXPECT_STREQ(LanguageFileNameFor(row.code), row.file);
  });
}

// Sets (or, for nullptr, unsets) the locale variables for one test, as the
// C library reads them, and puts them back afterwards.
class LocaleEnvironment {
 public:
  LocaleEnvironment(const char* all, const char* messages, const char* lang) {
    const char* values[] = {all, messages, lang};
    for (std::size_t i = 0; i < std::size(kNames); ++i) {
      const char* old = std::getenv(kNames[i]);
      saved_[i] = old != nullptr ? std::optional<std::string>(old) : std::nullopt;
      Set(kNames[i], values[i]);
    }
  }
  ~LocaleEnvironment() {
    for (std::size_t i = 0; i < std::size(kNames); ++i) Set(kNames[i], saved_[i] ? saved_[i]->c_str() : nullptr);
  }

 private:
  static void Set(const char* name, const char* value) {
    if (value != nullptr) {
      setenv(name, value, 1);
    } else {
      unsetenv(name);
    }
  }
  static constexpr const char* kNames[] = {"LC_ALL", "LC_MESSAGES", "LANG"};
  std::optional<std::string> saved_[3];
};

// The dialog of the first start preselects the file of the system's language
// (LC_ALL before LC_MESSAGES before LANG); later dialogs the current file.
TEST_F(LanguageTest, DialogPreselectsTheFileOfTheSystemsLanguage) {
  struct Row {
    int line;
    const char* all;
    const char* messages;
    const char* lang;
    const char* preselected;
  };
  const Row rows[] = {
      {__LINE__, nullptr, nullptr, "ru_RU.UTF-8", "russian.lng"},
      {__LINE__, nullptr, "ru_RU.UTF-8", "en_US.UTF-8", "russian.lng"},
      {__LINE__, "en_US.UTF-8", "ru_RU.UTF-8", "ru_RU.UTF-8", "english.lng"},
      {__LINE__, "", "", "ru_UA", "russian.lng"},
      {__LINE__, nullptr, nullptr, "de_DE.UTF-8", "english.lng"},
      {__LINE__, "C", nullptr, "ru_RU.UTF-8", "english.lng"},
      {__LINE__, nullptr, nullptr, nullptr, "english.lng"},
  };
  ForEachCase(rows, [&](const Row& row) {
    const LocaleEnvironment environment(row.all, row.messages, row.lang);
    ResetProgramSettings();
    host = FakeHost();
    EXPECT_FALSE(ChooseLanguageFile(host));
    ASSERT_EQ(host.preselected.size(), 1u);
    EXPECT_EQ(host.preselected[0], row.preselected);
    EXPECT_EQ(host.titles[0], "Choose a language file");
  });
  // Once a file of the folder is chosen, the next dialog selects it.
  const LocaleEnvironment environment(nullptr, nullptr, "ru_RU.UTF-8");
  host = FakeHost();
  host.answers = {std::string(LanguageFolder()) + "/english.lng", std::nullopt};
  ASSERT_TRUE(ChooseLanguageFile(host));
  EXPECT_FALSE(ChooseLanguageFile(host));
  EXPECT_EQ(host.preselected, (std::vector<std::string>{"russian.lng", "english.lng"}));
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
  ForEachCase(rows, [&](const Row& row) {
    char out[kPathCapacity];
    ASSERT_TRUE(LocateLanguageFolder(row.exe.c_str(), row.installed.c_str(), out, sizeof out));
    EXPECT_EQ(std::string(out), row.expected);
  });
}

}  // namespace
