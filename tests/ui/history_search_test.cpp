// The history search: narrowing by the typed text, choosing, going back.

#include "ui/history_search.h"

#include <gtest/gtest.h>

#include "tests/support/case_table.h"
#include "tests/support/files.h"

namespace {

const std::vector<std::string> kHistory = {"sin(pi/2)", "2^10", "0x10+1", "sin(0)", "10/4"};

TEST(HistorySearchTest, TypedTextNarrowsTheEntriesNewestFirst) {
  struct Row {
    int line;
    const char* query;
    std::string matches;
    int selected;
  };
  const Row rows[] = {
      {__LINE__, "", "sin(pi/2)|2^10|0x10+1|sin(0)|10/4", 0},
      {__LINE__, "sin", "sin(pi/2)|sin(0)", 0},
      {__LINE__, "10", "2^10|0x10+1|10/4", 0},
      {__LINE__, "(0)", "sin(0)", 0},
      {__LINE__, "cos", "", -1},
  };
  HistorySearch search;
  search.Start(kHistory, "typed");
  ForEachCase(rows, [&](const Row& row) {
    search.SetQuery(row.query);
    EXPECT_EQ(Joined(search.Matches()), row.matches);
    EXPECT_EQ(search.Selected(), row.selected);
  });
}

TEST(HistorySearchTest, EnterTakesTheSelectedMatchAndEscapeGoesBack) {
  HistorySearch search;
  search.Start(kHistory, "1+");
  EXPECT_TRUE(search.Active());
  search.SetQuery("10");
  search.SelectOlder();
  search.SelectOlder();
  search.SelectOlder();  // stays at the oldest match
  EXPECT_EQ(search.Selected(), 2);
  EXPECT_EQ(search.Accept().value_or("<none>"), "10/4");
  EXPECT_FALSE(search.Active());

  search.Start(kHistory, "1+");
  search.SetQuery("cos");
  EXPECT_FALSE(search.Accept().has_value());
  search.Start(kHistory, "1+");
  search.SetQuery("sin");
  EXPECT_EQ(search.Cancel(), "1+");
  EXPECT_FALSE(search.Active());
}

}  // namespace
