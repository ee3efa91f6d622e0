// Damaged settings and language files: unreadable, huge (a 10 MB line),
// binary and truncated. Each gives a defined outcome: the start-up goes on
// with what can be read, asks for a language file when the stored one
// cannot be used, and every text slot holds a terminated text of at most 39
// bytes.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/types.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "settings/history.h"
#include "settings/language.h"
#include "settings/text_encoding.h"
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

constexpr std::size_t kHugeLine = std::size_t{10} * 1024 * 1024;

std::string Joined(const std::vector<std::string>& items) {
  std::string joined;
  for (std::size_t i = 0; i < items.size(); ++i) joined += (i > 0 ? "|" : "") + items[i];
  return joined;
}

std::string RandomBytes(std::size_t size, unsigned seed) {
  std::mt19937 random(seed);
  std::string bytes(size, '\0');
  for (char& c : bytes) c = static_cast<char>(random() & 0xFF);
  return bytes;
}

// Replaces every mark ("$LANG") in text by path.
std::string WithLanguage(std::string text, const std::string& path, const std::string& mark) {
  for (std::size_t at = text.find(mark); at != std::string::npos; at = text.find(mark, at)) {
    text.replace(at, mark.size(), path);
    at += path.size();
  }
  return text;
}

// ---------------------------------------------------------------- settings

struct SettingsCase {
  int line;
  const char* what;
  std::string bytes;    // the settings file; "$LANG" stands for the language file's path,
                        // "$SHORT" for that path without its last letter
  int dialogs;          // language file dialogs the start shows
  int form;             // ProgramSettings().CurrentForm afterwards
  std::string history;  // the loaded history, items joined with "|"
};

TEST(DamagedSettingsFileTest, StartGoesOnWithWhatCanBeRead) {
  using namespace std::string_literals;
  const std::string huge(kHugeLine, '7');
  const std::string full = "[INI]\r\nlang=$LANG\r\nform=3\r\nhistorylen=10\r\n[HISTORY]\r\n0=1+2\r\n1=3*4\r\n";
  const SettingsCase cases[] = {
      {__LINE__, "10 MB lang line", "[INI]\r\nlang=" + huge + "\r\nform=3\r\n", 1, 3, ""},
      {__LINE__, "10 MB history entry", "[INI]\r\nlang=$LANG\r\nform=2\r\n[HISTORY]\r\n0=" + huge + "\r\n1=1+1\r\n",
       0, 2, std::string(999, '7') + "|1+1"},
      {__LINE__, "10 MB last line without end", "[INI]\r\nlang=$LANG\r\nform=1\r\n" + huge, 0, 1, ""},
      {__LINE__, "binary", RandomBytes(std::size_t{64} * 1024, 1), 1, 0, ""},
      {__LINE__, "binary around valid keys",
       "\0\xff\xfe\r\n[INI]\r\nlang=$LANG\r\n\0garbage\r\nform=4\0junk\r\n[HISTORY]\r\n0=2*\0hidden\r\n"s +
           RandomBytes(4096, 2),
       0, 4, "2*"},
      {__LINE__, "UTF-16 text", "\xff\xfe[\0I\0N\0I\0]\0\r\0\n\0f\0o\0r\0m\0=\0" "3\0"s, 1, 0,
       ""},
      {__LINE__, "cut inside an entry", full.substr(0, full.size() - 3), 0, 3, "1+2|3*"},
      {__LINE__, "cut inside a section header", "[INI]\r\nlang=$LANG\r\nform=3\r\n[HIST", 0, 3, ""},
      {__LINE__, "cut inside the lang path", "[INI]\r\nlang=$SHORT", 0, 0, ""},
      {__LINE__, "cut inside the lang key", "[INI]\r\nla", 1, 0, ""},
  };
  ForEachCase(cases, [&](const SettingsCase& c) {
    TempFolder folder;
    const std::string settings = folder / "quillo.ini";
    const std::string language = folder / "english.lng";
    WriteFile(language, "[MENU]\r\n0=Options\r\n");
    // A path cut by one letter may name another file that does exist.
    const std::string shortened = language.substr(0, language.size() - 1);
    WriteFile(shortened, "[MENU]\r\n0=Short\r\n");
    WriteFile(settings, WithLanguage(WithLanguage(c.bytes, language, "$LANG"), shortened, "$SHORT"));
    ResetProgramSettingsAt("");
    FakeHost host;
    host.answers = {language};
    ASSERT_TRUE(LoadSettingsFrom(host, settings.c_str()));
    EXPECT_EQ(static_cast<int>(host.askedFolders.size()), c.dialogs);
    EXPECT_TRUE(host.errors.empty()) << Joined(host.errors);
    EXPECT_EQ(ProgramSettings().CurrentForm, c.form);
    EXPECT_TRUE(std::strlen(ProgramSettings().MenuTexts[0]) < kTextSlotCapacity);
    LoadHistory(host);
    EXPECT_EQ(Joined(host.list), c.history);
    // The close after such a start still saves, and keeps the damaged bytes
    // of other keys in place.
    AddToHistory(host, "9-8");
    EXPECT_TRUE(SaveSettings(host));
    FakeHost next;
    LoadHistory(next);
    ASSERT_FALSE(next.list.empty());
    EXPECT_EQ(next.list[0], "9-8");
  });
}

TEST(DamagedSettingsFileTest, UnreadableLanguageFileIsAskedForAgain) {
  TempFolder folder;
  const std::string settings = folder / "quillo.ini";
  const std::string readable = folder / "english.lng";
  WriteFile(readable, "[MENU]\r\n0=Options\r\n");
  const std::string asFolder = folder / "folder.lng";
  ASSERT_EQ(mkdir(asFolder.c_str(), 0755), 0);
  const std::string locked = folder / "locked.lng";
  WriteFile(locked, "[MENU]\r\n0=Locked\r\n");
  chmod(locked.c_str(), 0);
  // The second user's own folder: a folder others may write to would make
  // every language file in it suspect.
  ASSERT_EQ(chown(folder.path().c_str(), 65534, 65534), 0);

  for (const std::string& stored : {asFolder, locked}) {
    SCOPED_TRACE(stored);
    WriteFile(settings, "[INI]\r\nlang=" + stored + "\r\nform=2\r\n");
    chmod(settings.c_str(), 0666);
    ResetProgramSettingsAt("");
    // The stored file is skipped without a message; a chosen file that cannot
    // be read brings a message and the dialog again.
    const int status = RunInChildAsNobody([&] {
      FakeHost host;
      host.answers = {stored, readable};
      const bool loaded = LoadSettingsFrom(host, settings.c_str());
      return (loaded ? 0 : 1) | (static_cast<int>(host.askedFolders.size()) == 2 ? 0 : 2) | (host.errors.size() == 1 ? 0 : 4) |
             (std::strcmp(ProgramSettings().MenuTexts[0], "Options") == 0 ? 0 : 8) | (ProgramSettings().CurrentForm == 2 ? 0 : 16);
    });
    EXPECT_EQ(status, 0);
  }
}

// ---------------------------------------------------------------- language

// Every slot terminated within its capacity and at most 39 characters long.
void ExpectSlotsBounded() {
  const auto expectBounded = [](const char* slot) {
    const std::size_t length = strnlen(slot, kTextSlotCapacity);
    ASSERT_LT(length, static_cast<std::size_t>(kTextSlotCapacity));
    EXPECT_EQ(TextPrefixLength(std::string_view(slot, length), kTextCharacterLimit), length);
  };
  for (int i = 0; i < kMenuTextCount; ++i) expectBounded(ProgramSettings().MenuTexts[i]);
  for (int i = 0; i < kDialogTextCount; ++i) expectBounded(ProgramSettings().DialogTexts[i]);
  for (int i = 0; i < kMessageCount; ++i) expectBounded(ProgramSettings().MessageTable[i]);
}

std::vector<std::string> AllSlots() {
  std::vector<std::string> slots;
  for (int i = 0; i < kMenuTextCount; ++i) slots.emplace_back(ProgramSettings().MenuTexts[i]);
  for (int i = 0; i < kDialogTextCount; ++i) slots.emplace_back(ProgramSettings().DialogTexts[i]);
  for (int i = 0; i < kMessageCount; ++i) slots.emplace_back(ProgramSettings().MessageTable[i]);
  return slots;
}

void LoadLanguageFrom(const std::string& path) {
  std::snprintf(ProgramSettings().LanguagePath, kPathCapacity, "%s", path.c_str());
  LoadLanguageTexts();
}

struct LanguageCase {
  int line;
  const char* what;
  std::string bytes;
  std::string menu;        // the seven menu slots joined with "|"
  std::string message0;    // slot 0 of the messages
};

TEST(DamagedLanguageFileTest, EverySlotGetsABoundedText) {
  using namespace std::string_literals;
  const std::string huge(kHugeLine, 'x');
  const std::string none = kNoTranslation;
  const std::string noMenu = Joined(std::vector<std::string>(kMenuTextCount, none));
  const LanguageCase cases[] = {
      {__LINE__, "10 MB value: no language file", "[MENU]\r\n0=" + huge + "\r\n1=ok\r\n[OPERATIONS]\r\n0=" + huge,
       noMenu, none},
      {__LINE__, "long value", "[MENU]\r\n0=" + huge.substr(0, 4000) + "\r\n1=ok\r\n",
       std::string(39, 'x') + "|ok|" + Joined(std::vector<std::string>(5, none)), none},
      {__LINE__, "10 MB without a line end", huge, noMenu, none},
      {__LINE__, "10 MB of NUL bytes", std::string(kHugeLine, '\0'), noMenu, none},
      {__LINE__, "NUL inside values", "[MENU]\r\n0=Fi\0le\r\n[OPERATIONS]\r\n0=\0\r\n"s,
       "Fi|" + Joined(std::vector<std::string>(6, none)), ""},
      {__LINE__, "cut inside a key", "[MENU]\r\n0=Options\r\n1", "Options|" + Joined(std::vector<std::string>(6, none)),
       none},
  };
  TempFolder folder;
  const std::string path = folder / "damaged.lng";
  ForEachCase(cases, [&](const LanguageCase& c) {
    WriteFile(path, c.bytes);
    LoadLanguageFrom(path);
    ExpectSlotsBounded();
    EXPECT_EQ(Joined(std::vector<std::string>(ProgramSettings().MenuTexts, ProgramSettings().MenuTexts + kMenuTextCount)), c.menu);
    EXPECT_EQ(std::string(ProgramSettings().MessageTable[0]), c.message0);
  });
  for (unsigned seed = 1; seed <= 20; ++seed) {
    SCOPED_TRACE(seed);
    WriteFile(path, RandomBytes(std::size_t{16} * 1024, seed));
    LoadLanguageFrom(path);
    ExpectSlotsBounded();
  }
}

TEST(DamagedLanguageFileTest, UnreadableFileGivesNoTranslation) {
  TempFolder folder;
  const std::string asFolder = folder / "folder.lng";
  ASSERT_EQ(mkdir(asFolder.c_str(), 0755), 0);
  const std::string pipe = folder / "pipe.lng";
  ASSERT_EQ(mkfifo(pipe.c_str(), 0666), 0);  // reading it would block forever
  const std::string locked = folder / "locked.lng";
  WriteFile(locked, "[MENU]\r\n0=Locked\r\n");
  chmod(locked.c_str(), 0);
  chmod(folder.path().c_str(), 0777);
  const std::string expected = Joined(std::vector<std::string>(48, kNoTranslation));
  for (const std::string& path : {asFolder, pipe, folder / "missing.lng"}) {
    SCOPED_TRACE(path);
    LoadLanguageFrom(path);
    EXPECT_EQ(Joined(AllSlots()), expected);
  }
  const int status = RunInChildAsNobody([&] {
    LoadLanguageFrom(locked);
    return Joined(AllSlots()) == expected ? 0 : 1;
  });
  EXPECT_EQ(status, 0);
}

// A shipped language file cut at any point: every slot holds its full text,
// "no translation", or (for the one key the cut runs through) a start of its
// text.
TEST(DamagedLanguageFileTest, TruncatedShippedFilesKeepWhatWasRead) {
  TempFolder folder;
  const std::string path = folder / "cut.lng";
  for (const char* name : {"english.lng", "russian.lng"}) {
    SCOPED_TRACE(name);
    const std::string whole = ReadFile(std::string(QUILLO_SOURCE_LANG_DIR) + "/" + name);
    ASSERT_NE(whole, "<missing>");
    LoadLanguageFrom(std::string(QUILLO_SOURCE_LANG_DIR) + "/" + name);
    const std::vector<std::string> complete = AllSlots();
    for (std::size_t cut = 0; cut < whole.size(); cut += 7) {
      SCOPED_TRACE(cut);
      WriteFile(path, whole.substr(0, cut));
      LoadLanguageFrom(path);
      const std::vector<std::string> slots = AllSlots();
      int partial = 0;
      for (std::size_t i = 0; i < slots.size(); ++i) {
        if (slots[i] == complete[i] || slots[i] == kNoTranslation) continue;
        EXPECT_EQ(complete[i].substr(0, slots[i].size()), slots[i]) << "slot " << i;
        ++partial;
      }
      EXPECT_LE(partial, 1);
    }
  }
}

}  // namespace
