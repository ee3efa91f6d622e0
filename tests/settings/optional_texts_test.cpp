// Optional texts: the file's value when it has the key, English when not;
// both shipped files give every one.

#include "settings/optional_texts.h"

#include <gtest/gtest.h>

#include <string>

#include "settings/language.h"
#include "settings/profile.h"
#include "settings/text_encoding.h"
#include "tests/support/case_table.h"
#include "tests/support/files.h"

namespace {

constexpr int kCopy = OptionalTextIndex("copy");
constexpr int kCopyAll = OptionalTextIndex("copyall");

TEST(OptionalTexts, FileValueOrEnglishPerKey) {
  std::string longValue;
  for (int i = 0; i < 100; ++i) longValue.append("\xD0\x96");  // Cyrillic, two bytes a letter
  const struct {
    int line;
    std::string file;
    std::string copy;
    std::string copyAll;
  } cases[] = {
      {__LINE__, "", "Copy", "Copy all"},
      {__LINE__, "[MENU]\r\n0=Options\r\n", "Copy", "Copy all"},
      {__LINE__, "[TEXTS]\r\ncopy=Kopieren\r\n", "Kopieren", "Copy all"},
      {__LINE__, "[texts]\ncopy = Kopieren\ncopyall=Alles kopieren\n", "Kopieren", "Alles kopieren"},
      // Another section's key of the same name is not it.
      {__LINE__, "[DIALOG]\r\ncopy=Nein\r\n", "Copy", "Copy all"},
      // Cut to the capacity between characters, never inside one.
      {__LINE__, "[TEXTS]\r\ncopy=" + longValue + "\r\n", longValue.substr(0, kOptionalTextCapacity - 2),
       "Copy all"},
  };
  ForEachCase(cases, [](const auto& c) {
    FillOptionalTexts(c.file);
    EXPECT_EQ(std::string(OptionalText(kCopy)), c.copy);
    EXPECT_EQ(std::string(OptionalText(kCopyAll)), c.copyAll);
  });
  EXPECT_STREQ(OptionalText(-1), "");
  EXPECT_STREQ(OptionalText(kOptionalTextCount), "");
}

// Loading a language file fills them too; the Russian file, in Windows-1251,
// has its own texts for every row.
TEST(OptionalTexts, ShippedFilesGiveEveryText) {
  const std::string folder = LanguageFolder();
  for (const char* name : {"english.lng", "russian.lng"}) {
    SCOPED_TRACE(name);
    const std::string text = ReadFile(folder + "/" + name);
    for (const OptionalTextRow& row : kOptionalTexts) {
      std::string_view value;
      EXPECT_TRUE(FindProfileValue(text, row.section, row.key, &value)) << row.key;
      EXPECT_LT(value.size(), OptionalTextCapacityOf(row.kind)) << row.key;
    }
    FillLanguageTexts(text);
    const bool english = std::string(name) == "english.lng";
    for (int i = 0; i < kOptionalTextCount; ++i) {
      EXPECT_EQ(std::string(OptionalText(i)) == kOptionalTexts[i].english, english) << kOptionalTexts[i].key;
    }
  }
  char shown[kOptionalTextCapacity * 3];
  ConvertToDisplayText(OptionalText(kCopyAll), shown, sizeof shown);
  EXPECT_STREQ(shown, "Копировать всё");
}

}  // namespace
