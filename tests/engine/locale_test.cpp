#include <gtest/gtest.h>

#include <clocale>
#include <string>
#include <vector>

#include "engine_test_support.h"

namespace {

// A desktop session with a German locale must read "2.5" as two and a half:
// the engine converts numbers without the C locale.
TEST(Locale, GermanLocaleChangesNoResult) {
  const char* const expressions[] = {"2.5*2", "1.5e3", "1e400", "1e-400", "0.1+0.2", "7.", "cos(0.5)"};
  std::vector<std::string> inC;
  for (const char* e : expressions) inC.push_back(engine_test::OutcomeOf(e));

  if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) GTEST_SKIP() << "de_DE.UTF-8 not installed";
  std::vector<std::string> inGerman;
  for (const char* e : expressions) inGerman.push_back(engine_test::OutcomeOf(e));
  std::setlocale(LC_ALL, "C");

  EXPECT_EQ(inGerman, inC);
  EXPECT_EQ(inGerman[0], "5");
  EXPECT_EQ(inGerman[1], "1500");
  EXPECT_EQ(inGerman[2], "inf");
  EXPECT_EQ(inGerman[3], "0");
}

}  // namespace
