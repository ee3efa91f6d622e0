// Display conversion of language texts: UTF-8 as it is, anything else read as
// Windows-1251.

#include "settings/text_encoding.h"
#include "tests/support/case_table.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

TEST(TextEncodingTest, RecognisesWellFormedUtf8Only) {
  struct Row {
    int line;
    std::string text;
    bool valid;
  };
  const Row rows[] = {
      {__LINE__, "", true},
      {__LINE__, "plain ASCII", true},
      {__LINE__, "\xD0\x96\xD0\xB6", true},           // Жж
      {__LINE__, "\xE2\x82\xAC \xF0\x9F\x98\x80", true},  // euro sign, emoji
      {__LINE__, "\xC6\xE6", false},                  // Жж in Windows-1251
      {__LINE__, "\xC0\x80", false},                  // overlong NUL
      {__LINE__, "\xE0\x80\xAF", false},              // overlong "/"
      {__LINE__, "\xED\xA0\x80", false},              // surrogate
      {__LINE__, "\xF4\x90\x80\x80", false},          // beyond U+10FFFF
      {__LINE__, "\xD0", false},                      // cut short
      {__LINE__, "\x80", false},                      // stray continuation
  };
  ForEachCase(rows, [&](const Row& row) {
    EXPECT_EQ(IsValidUtf8(row.text.c_str()), row.valid);
  });
}

TEST(TextEncodingTest, ConvertsForDisplayWithinCapacity) {
  struct Row {
    int line;
    std::string text;
    std::size_t capacity;
    std::string shown;
  };
  const Row rows[] = {
      {__LINE__, "Close", 40, "Close"},
      {__LINE__, "\xD0\x96\xD0\xB6", 40, "\xD0\x96\xD0\xB6"},
      {__LINE__, "\xCF\xF0\xE8\xE2\xE5\xF2", 40, "Привет"},
      {__LINE__, "\xC0\xDF\xE0\xFF\xA8\xB8\xB9", 40, "АЯаяЁё№"},
      {__LINE__, "\x88\x96\x98", 40, "€–\xEF\xBF\xBD"},
      {__LINE__, "\xA5\xB4\xAA\xBA\xAF\xBF\xB2\xB3", 40, "ҐґЄєЇїІі"},
      {__LINE__, "ab\xD0\x96", 4, "ab"},   // UTF-8 input cut before a character
      {__LINE__, "ab\xC6", 4, "ab"},       // converted character would not fit
      {__LINE__, "ab\xC6", 5, "abЖ"},
      {__LINE__, "abc", 1, ""},
  };
  ForEachCase(rows, [&](const Row& row) {
    char out[64];
    std::memset(out, '#', sizeof out);
    ConvertToDisplayText(row.text.c_str(), out, row.capacity);
    EXPECT_EQ(std::string(out), row.shown);
  });
}

}  // namespace
