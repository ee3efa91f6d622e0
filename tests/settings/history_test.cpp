// The history: loading from the settings file, adding within the length
// limit, and saving it back, with the expression box's list in memory.

#include "settings/history.h"

#include <gtest/gtest.h>

#include <cstring>

#include "settings/settings.h"
#include "settings/settings_state.h"
#include "tests/support/case_table.h"
#include "tests/support/fake_settings_host.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"

namespace {

class HistoryTest : public testing::Test {
 protected:
  void SetUp() override {
    ResetProgramSettings();
    std::strcpy(ProgramSettings().SettingsPath, settings.c_str());
  }

  TempFolder folder;
  FakeHost host;
  const std::string settings = folder / "quillo.ini";
};

std::string Entries(int count) {
  std::string text = "[HISTORY]\r\n";
  for (int i = 0; i < count; ++i) text += std::to_string(i) + "=e" + std::to_string(i) + "\r\n";
  return text;
}

TEST_F(HistoryTest, LoadTakesEntriesInKeyOrderWithinTheLength) {
  struct Row {
    int line;
    std::string file;
    int length;
    std::string list;
  };
  const Row rows[] = {
      {__LINE__, "<missing>", 10, ""},
      {__LINE__, "[INI]\r\nform=1\r\n", 10, ""},
      {__LINE__, "[HISTORY]\r\n0=a\r\n1=b\r\n3=d\r\n", 10, "a|b"},
      {__LINE__, "[HISTORY]\r\n0=a\r\n1=\r\n2=c\r\n", 10, "a"},
      {__LINE__, "[INI]\r\nhistorylen=10\r\n" + Entries(12), 10, "e0|e1|e2|e3|e4|e5|e6|e7|e8|e9"},
      {__LINE__, "[INI]\r\nhistorylen=3\r\n" + Entries(10), 3, "e0|e1|e2"},
      {__LINE__, "[INI]\r\nhistorylen=0\r\n" + Entries(2), 0, ""},
      {__LINE__, "[INI]\r\nhistorylen=-5\r\n" + Entries(2), -5, ""},
      // Ten digits name an entry far beyond the length, never entry 17.
      {__LINE__, "[HISTORY]\r\n0=a\r\n4294967297=b\r\n", 10, "a"},
      // Keys in any order; of two keys of one number the first in the file.
      {__LINE__, "[HISTORY]\r\n2=c\r\n1=b\r\n0=a\r\n1=later\r\n", 10, "a|b|c"},
  };
  ForEachCase(rows, [&](const Row& row) {
    std::remove(settings.c_str());
    if (row.file != "<missing>") WriteFile(settings, row.file);
    host.list.clear();
    LoadHistory(host);
    EXPECT_EQ(ProgramSettings().HistoryLength, row.length);
    EXPECT_EQ(Joined(host.list), row.list);
  });
}

TEST_F(HistoryTest, AddPutsTheNewestOnTopAndDropsTheOldest) {
  struct Row {
    int line;
    int length;
    std::vector<std::string> before;
    const char* added;
    std::string after;
  };
  const std::vector<std::string> ten = {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"};
  const Row rows[] = {
      {__LINE__, 10, ten, "new", "new|0|1|2|3|4|5|6|7|8"},
      {__LINE__, 10, {"2+3"}, "2+3", "2+3|2+3"},
      {__LINE__, 10, {"a"}, "", "a"},
      {__LINE__, 3, {"a", "b"}, "c", "c|a|b"},
      {__LINE__, 0, {}, "x", ""},
      {__LINE__, -2, {}, "x", ""},
  };
  ForEachCase(rows, [&](const Row& row) {
    ProgramSettings().HistoryLength = row.length;
    host.list = row.before;
    AddToHistory(host, row.added);
    EXPECT_EQ(Joined(host.list), row.after);
  });
}

TEST_F(HistoryTest, LoweredLengthRewritesOnlyTheKeptKeys) {
  WriteFile(settings, "[INI]\r\nhistorylen=3\r\n" + Entries(10));
  LoadHistory(host);
  AddToHistory(host, "new");
  ASSERT_TRUE(SaveSettings(host));
  std::string expected = "[INI]\r\nhistorylen=3\r\nform=0\r\n[HISTORY]\r\n0=new\r\n1=e0\r\n2=e1\r\n";
  for (int i = 3; i < 10; ++i) expected += std::to_string(i) + "=e" + std::to_string(i) + "\r\n";
  EXPECT_EQ(ReadFile(settings), expected);
}

TEST_F(HistoryTest, ZeroLengthWritesNoHistory) {
  WriteFile(settings, "[INI]\r\nhistorylen=0\r\n");
  LoadHistory(host);
  AddToHistory(host, "1+1");
  ASSERT_TRUE(SaveSettings(host));
  EXPECT_EQ(ReadFile(settings), "[INI]\r\nhistorylen=0\r\nform=0\r\n");
}

TEST_F(HistoryTest, EntriesSurviveARoundTripThroughTheFile) {
  const std::vector<std::string> entries = {" 2 + 3 ", "\"q\"", std::string(999, '9'), "a\nb=1", "\r\n1\r2\n\n"};
  LoadHistory(host);
  for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry) AddToHistory(host, entry->c_str());
  ASSERT_TRUE(SaveSettings(host));
  FakeHost reloaded;
  LoadHistory(reloaded);
  // A line break cannot stand in a one-line entry; it is kept as a blank.
  EXPECT_EQ(Joined(reloaded.list), Joined({" 2 + 3 ", "\"q\"", std::string(999, '9'), "a b=1", "  1 2  "}));
}

}  // namespace
