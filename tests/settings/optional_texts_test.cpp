// Optional texts: the file's value when it has the key, English when not;
// both shipped files give every one.

#include "settings/optional_texts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>

#include "settings/language.h"
#include "settings/profile.h"
#include "settings/text_encoding.h"
#include "tests/support/case_table.h"
#include "tests/support/files.h"

namespace {

constexpr int kCopy = OptionalTextIndex("copy");
constexpr int kCopyAll = OptionalTextIndex("copyall");

int IndexOfKey(std::string_view key) {
  for (int i = 0; i < kOptionalTextCount; ++i) {
    if (key == kOptionalTexts[i].key) return i;
  }
  return -1;
}

int OptionalTextIndexOf(const OptionalTextRow& row) { return IndexOfKey(row.key); }

std::string Repeated(const std::string& text, int count) {
  std::string out;
  for (int i = 0; i < count; ++i) out.append(text);
  return out;
}

// The display form (UTF-8) of an optional text.
std::string Shown(std::string_view key) { return DisplayUtf8(OptionalText(IndexOfKey(key))); }

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

// Every row falls back to its English text, whatever other sections the file has.
TEST(OptionalTexts, FileWithoutTheSectionGivesEveryEnglishText) {
  for (const char* file : {"", "[MENU]\r\n0=Options\r\n[OPERATIONS]\r\n17=Division by zero\r\n"}) {
    FillOptionalTexts("[TEXTS]\r\ncopy=X\r\nabout=X\r\n");
    FillOptionalTexts(file);
    for (const OptionalTextRow& row : kOptionalTexts) {
      EXPECT_STREQ(OptionalText(OptionalTextIndexOf(row)), row.english) << row.key;
    }
  }
}

// Messages and the About text have more room than a label, still bounded;
// only the About text reads "\n" as a line break.
TEST(OptionalTexts, RoomAndLineBreaksFollowTheKind) {
  const std::string cyrillic = Repeated("\xD0\x96", 600);  // two bytes a letter
  const struct {
    int line;
    const char* key;
    std::string value;
    std::string expected;
  } cases[] = {
      {__LINE__, "about", R"(Quillo\n\nA calculator.)", "Quillo\n\nA calculator."},
      // "\\" is one backslash, so "\\n" is a backslash and an n; a lone
      // backslash stays.
      {__LINE__, "about", R"(C:\dir\\n\)", R"(C:\dir\n\)"},
      {__LINE__, "cantsave", R"(one\ntwo)", R"(one\ntwo)"},
      {__LINE__, "cantsave", Repeated("a", 511), Repeated("a", 511)},
      {__LINE__, "cantsave", Repeated("a", 512), Repeated("a", 511)},
      {__LINE__, "about", Repeated("a", 1023), Repeated("a", 1023)},
      {__LINE__, "about", Repeated("a", 1024), Repeated("a", 1023)},
      // The cut counts what the escapes become, between UTF-8 characters.
      {__LINE__, "about", Repeated(R"(\n)", 1023), Repeated("\n", 1023)},
      {__LINE__, "about", cyrillic, cyrillic.substr(0, 1022)},
      {__LINE__, "cantsave", cyrillic, cyrillic.substr(0, 510)},
      // Windows-1251 bytes are single characters: cut at the byte.
      {__LINE__, "about", Repeated("\xC6", 1100), Repeated("\xC6", 1023)},
  };
  ForEachCase(cases, [](const auto& c) {
    FillOptionalTexts("[TEXTS]\r\n" + std::string(c.key) + "=" + c.value + "\r\n");
    EXPECT_EQ(std::string(OptionalText(IndexOfKey(c.key))), c.expected);
  });
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
  // The Russian texts as shown, Windows-1251 decoded.
  const struct {
    int line;
    const char* key;
    const char* shown;
  } russian[] = {
      {__LINE__, "copyall", "Копировать всё"},
      {__LINE__, "languagenokey", "В нём нет ни одного текста разделов [MENU], [DIALOG] или [OPERATIONS]."},
      {__LINE__, "abouttitle", "О программе Quillo"},
  };
  ForEachCase(russian, [](const auto& c) { EXPECT_EQ(Shown(c.key), c.shown); });
  // The About text's escapes become line breaks: five lines, one empty.
  const std::string about = Shown("about");
  EXPECT_EQ(about.substr(0, about.find('\n', 8)), "Quillo\n\nКалькулятор выражений для рабочего стола.");
  EXPECT_EQ(std::count(about.begin(), about.end(), '\n'), 4);
  EXPECT_EQ(about.find('\\'), std::string::npos);
}

}  // namespace
