#include "ui/menu_accelerators.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/case_table.h"

namespace {

// Marks each text of one pop-up in order, as GiveAccelerators does after
// taking the texts' own marks, and returns the texts as the menu shows them.
std::vector<std::string> MarkPopup(const std::vector<std::string>& texts) {
  TakenKeys taken;
  for (const std::string& text : texts) {
    if (OwnAccelerator(text.c_str()) != 0) taken.Add(OwnAccelerator(text.c_str()));
  }
  std::vector<std::string> shown;
  for (const std::string& text : texts) {
    char marked[kMenuMarkedTextCapacity];
    shown.emplace_back(MarkAccelerator(text.c_str(), taken, marked, sizeof marked) ? marked : text);
  }
  return shown;
}

TEST(MenuAcceleratorsTest, EachTextOfAPopupGetsAFreeLetter) {
  // Windows-1251: "Язык...", "Шрифт...", "Поверх всех окон", "Слово".
  const std::string language = "\xDF\xE7\xFB\xEA...";
  const std::string font = "\xD8\xF0\xE8\xF4\xF2...";
  const std::string onTop = "\xCF\xEE\xE2\xE5\xF0\xF5 \xE2\xF1\xE5\xF5 \xEE\xEA\xEE\xED";
  const std::string word = "\xD1\xEB\xEE\xE2\xEE";
  const struct {
    int line;
    std::vector<std::string> texts;
    std::vector<std::string> shown;
  } cases[] = {
      {__LINE__, {"Language...", "Font...", "Always on top"}, {"&Language...", "&Font...", "&Always on top"}},
      {__LINE__, {"Contents", "About..."}, {"&Contents", "&About..."}},
      // A clash takes the next free letter; case does not matter.
      {__LINE__, {"Signed", "Unsigned", "Sort"}, {"&Signed", "&Unsigned", "S&ort"}},
      {__LINE__, {"abc", "ABC", "Cab"}, {"&abc", "A&BC", "&Cab"}},
      // Digits count too, and come first where they come first.
      {__LINE__, {"8 bits", "16 bits", "32 bits", "64 bits"}, {"&8 bits", "&16 bits", "&32 bits", "&64 bits"}},
      // A text's own mark stays, and no other text is given its letter,
      // whether it stands before or after.
      {__LINE__, {"Open", "&Options", "Sa&ve", "View"}, {"O&pen", "&Options", "Sa&ve", "V&iew"}},
      // "&&" is an ampersand shown as one, not a mark.
      {__LINE__, {"&&Tom && Jerry", "Tea"}, {"&&&Tom && Jerry", "T&ea"}},
      {__LINE__, {"Ben && Jerry"}, {"&Ben && Jerry"}},
      // Nothing free: the text stays without a mark.
      {__LINE__, {"ab", "ba", "ab"}, {"&ab", "&ba", "ab"}},
      {__LINE__, {"...", "-"}, {"...", "-"}},
      // A lone "&" at the end marks nothing.
      {__LINE__, {"Fish &"}, {"&Fish &"}},
      // Cyrillic letters, Windows-1251 bytes, upper and lower case alike.
      {__LINE__, {language, font, onTop, word},
       {"&" + language, "&" + font, "&" + onTop, "&" + word}},
      {__LINE__, {"\xDF\xE7\xFB\xEA", "\xFF\xE4\xF0\xEE"}, {"&\xDF\xE7\xFB\xEA", "\xFF&\xE4\xF0\xEE"}},
      // The same in UTF-8: the mark goes before a whole character.
      {__LINE__, {"\xD0\xAF\xD0\xB7", "\xD1\x8F\xD0\xB4"}, {"&\xD0\xAF\xD0\xB7", "\xD1\x8F&\xD0\xB4"}},
      {__LINE__, {"\xD0\x81\xD0\xB6", "\xD1\x91\xD0\xB7"}, {"&\xD0\x81\xD0\xB6", "\xD1\x91&\xD0\xB7"}},
  };
  ForEachCase(cases, [](const auto& row) { EXPECT_EQ(MarkPopup(row.texts), row.shown); });
}

TEST(MenuAcceleratorsTest, ATextTooLongForTheMarkStaysAsItIs) {
  TakenKeys taken;
  char marked[6];
  EXPECT_TRUE(MarkAccelerator("abcd", taken, marked, sizeof marked));
  EXPECT_STREQ(marked, "&abcd");
  EXPECT_FALSE(MarkAccelerator("bcdef", taken, marked, sizeof marked));
}

TEST(MenuAcceleratorsTest, TitlesAndEachPopupHaveKeysOfTheirOwn) {
  MenuModel menu{};
  menu.popups[0] = {"Options", 3, {{0, "Options", true}, {-1, nullptr, false}, {1, "Other", true}}};
  menu.popups[1] = {"&Word", 1, {{2, "Word", true}}};
  menu.popups[2] = {"Help", 2, {{3, "Help", true}, {4, "Hints", true}}};
  GiveAccelerators(menu);
  EXPECT_STREQ(menu.popups[0].title, "&Options");
  EXPECT_STREQ(menu.popups[1].title, "&Word");
  EXPECT_STREQ(menu.popups[2].title, "&Help");
  EXPECT_STREQ(menu.popups[0].items[0].text, "&Options");
  EXPECT_EQ(menu.popups[0].items[1].text, nullptr);
  EXPECT_STREQ(menu.popups[0].items[2].text, "O&ther");
  EXPECT_STREQ(menu.popups[1].items[0].text, "&Word");
  EXPECT_STREQ(menu.popups[2].items[1].text, "H&ints");
  // Given again, as after a language change: the marks are not doubled.
  GiveAccelerators(menu);
  EXPECT_STREQ(menu.popups[0].items[2].text, "O&ther");
}

// Letters reserved for other keys of the window are given to no title, but
// stay free for the items, and a title's own mark may still use one.
TEST(MenuAcceleratorsTest, TitlesLeaveTheReservedLettersAlone) {
  MenuModel menu{};
  menu.popups[0] = {"Options", 1, {{0, "Open", true}}};
  menu.popups[1] = {"Word", 1, {{1, "Copy", true}}};
  menu.popups[2] = {"&Help", 1, {{2, "Contents", true}}};
  GiveAccelerators(menu, "CHBOE");
  EXPECT_STREQ(menu.popups[0].title, "O&ptions");
  EXPECT_STREQ(menu.popups[1].title, "&Word");
  EXPECT_STREQ(menu.popups[2].title, "&Help");
  EXPECT_STREQ(menu.popups[0].items[0].text, "&Open");
  EXPECT_STREQ(menu.popups[1].items[0].text, "&Copy");
}

}  // namespace
