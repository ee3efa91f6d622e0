#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine_test_support.h"

namespace {

std::vector<std::string> sent;
void Collect(const char* text) { sent.emplace_back(text); }

class RpnTrace : public testing::Test {
 protected:
  void SetUp() override {
    sent.clear();
    InstallRpnTraceSink(Collect);
  }
  void TearDown() override { InstallRpnTraceSink(nullptr); }
};

TEST_F(RpnTrace, CosSendsTheWholeQueueInPieces) {
  engine_test::Calculate("cos(0)");
  const std::vector<std::string> expected = {"\nPOLIS: {cos(0)}...[2]\n", "<0.000000>", "\n", "cos", "\n"};
  EXPECT_EQ(sent, expected);
}

TEST_F(RpnTrace, OnceForEachCosEvenWhenNested) {
  engine_test::Calculate("sin(cos(1))+cos(2)");
  int headers = 0;
  for (const std::string& piece : sent) headers += piece.rfind("\nPOLIS:", 0) == 0;
  EXPECT_EQ(headers, 2);
}

TEST_F(RpnTrace, NothingWithoutCos) {
  engine_test::Calculate("sin(1)+2");
  EXPECT_TRUE(sent.empty());
}

TEST_F(RpnTrace, LongestExpressionHeaderFitsAndKeepsItsCount) {
  std::string expression = "cos(1)";
  while (expression.size() < static_cast<std::size_t>(kExpressionMaxLength)) expression += " ";
  engine_test::Calculate(expression);
  ASSERT_FALSE(sent.empty());
  const std::string& header = sent.front();
  EXPECT_LE(header.size(), 999u);
  EXPECT_TRUE(header.ends_with("}...[2]\n")) << header;
}

TEST_F(RpnTrace, HugeNumbersAreWrittenInFull) {
  engine_test::Calculate("cos(1e308)");
  ASSERT_GE(sent.size(), 2u);
  EXPECT_EQ(sent[1].size(), 1 + 309 + 1 + 6 + 1);
}

}  // namespace
