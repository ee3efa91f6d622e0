#include "settings/font_choice.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/case_table.h"

namespace {

TEST(FontChoiceTest, ReadsUsableValuesAndRefusesTheRest) {
  const struct {
    int line;
    std::string value;
    std::string read;  // FormatFontValue of what was read; "" where refused
  } cases[] = {
      {__LINE__, "Consolas,10", "Consolas,10"},
      {__LINE__, " DejaVu Sans Mono , 12 ", "DejaVu Sans Mono,12"},
      {__LINE__, "Family, with comma,9", "Family, with comma,9"},  // the last comma parts
      {__LINE__, "\xD0\x9C\xD0\xBE\xD0\xBD\xD0\xBE,11", "\xD0\x9C\xD0\xBE\xD0\xBD\xD0\xBE,11"},
      {__LINE__, "Mono,6", "Mono,6"},
      {__LINE__, "Mono,72", "Mono,72"},
      {__LINE__, "Mono,5", ""},
      {__LINE__, "Mono,73", ""},
      {__LINE__, "Mono,0", ""},
      {__LINE__, "Mono,-10", ""},
      {__LINE__, "Mono,10.5", ""},
      {__LINE__, "Mono,10pt", ""},
      {__LINE__, "Mono,", ""},
      {__LINE__, "Mono", ""},
      {__LINE__, ",10", ""},
      {__LINE__, "  ,10", ""},
      {__LINE__, "", ""},
      {__LINE__, "Mono,99999999999999999999", ""},
      {__LINE__, "Bad\tname,10", ""},
      {__LINE__, "Bad\x01name,10", ""},
      {__LINE__, "\xC2\xD2,10", ""},  // Windows-1251 bytes, not UTF-8
      {__LINE__, std::string(63, 'F') + ",10", std::string(63, 'F') + ",10"},
      {__LINE__, std::string(64, 'F') + ",10", ""},
  };
  ForEachCase(cases, [](const auto& row) {
    FontChoice font{"Kept", 8};
    const bool read = ParseFontValue(row.value, font);
    EXPECT_EQ(read, !row.read.empty());
    EXPECT_EQ(read ? FormatFontValue(font) : "", row.read);
    if (!read) {
      EXPECT_EQ(FormatFontValue(font), "Kept,8");  // a refusal leaves the choice alone
    }
  });
}

TEST(FontChoiceTest, NoChoiceFormatsAsNothingAndDialogValuesAreCheckedLikeTheFiles) {
  EXPECT_EQ(FormatFontValue(FontChoice{}), "");
  FontChoice font{};
  EXPECT_FALSE(MakeFontChoice("", 10, font));
  EXPECT_FALSE(MakeFontChoice("Mono", 100, font));
  EXPECT_FALSE(IsFontChosen(font));
  EXPECT_TRUE(MakeFontChoice("Mono", 10, font));
  EXPECT_EQ(FormatFontValue(font), "Mono,10");
}

}  // namespace
