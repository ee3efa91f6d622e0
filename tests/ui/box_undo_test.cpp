// Undo and redo of the box: one line of states, walked the same way back
// and forth.

#include "ui/box_undo.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string Shown(const std::optional<std::string>& text) { return text ? *text : "<none>"; }

// Undoes to the start, then redoes to the end: the texts seen each way.
std::vector<std::string> WalkBack(BoxUndo& undo) {
  std::vector<std::string> seen;
  for (auto text = undo.Undo(); text; text = undo.Undo()) seen.push_back(*text);
  return seen;
}
std::vector<std::string> WalkForth(BoxUndo& undo) {
  std::vector<std::string> seen;
  for (auto text = undo.Redo(); text; text = undo.Redo()) seen.push_back(*text);
  return seen;
}

// 6*7 Enter +1 Enter: back through every text shown, then forth through the
// same texts in the other order.
TEST(BoxUndoTest, UndoAndRedoWalkTheSameStatesBothWays) {
  BoxUndo undo;
  for (const char* typed : {"6", "6*", "6*7"}) undo.Typed(typed);
  undo.Replaced("6*7", "42");  // Calculate
  for (const char* typed : {"42+", "42+1"}) undo.Typed(typed);
  undo.Replaced("42+1", "43");
  EXPECT_EQ(WalkBack(undo), (std::vector<std::string>{"42+1", "42+", "42", "6*7", "6*", "6", ""}));
  EXPECT_EQ(WalkForth(undo), (std::vector<std::string>{"6", "6*", "6*7", "42", "42+", "42+1", "43"}));
  EXPECT_FALSE(undo.CanRedo());
  EXPECT_TRUE(undo.CanUndo());
}

TEST(BoxUndoTest, ANewTextDropsWhatWasUndoneAndNoChangeIsNoState) {
  BoxUndo undo;
  EXPECT_EQ(Shown(undo.Undo()), "<none>");
  EXPECT_FALSE(undo.CanUndo());
  undo.Typed("3");
  undo.Replaced("3", "3");  // Calculate of a result already in its form
  undo.Typed("3+3");
  EXPECT_EQ(Shown(undo.Undo()), "3");
  undo.Replaced("3", "");  // Escape
  EXPECT_EQ(Shown(undo.Redo()), "<none>");
  EXPECT_EQ(WalkBack(undo), (std::vector<std::string>{"3", ""}));
  // A text the box got without an edit (set before the first one) is a
  // state of its own, to come back to.
  BoxUndo other;
  other.Replaced("1+2", "3");
  EXPECT_EQ(WalkBack(other), (std::vector<std::string>{"1+2", ""}));
}

TEST(BoxUndoTest, KeepsTheNewestStates) {
  BoxUndo undo;
  for (std::size_t i = 1; i <= BoxUndo::kStateLimit + 5; ++i) undo.Typed(std::to_string(i));
  const std::vector<std::string> back = WalkBack(undo);
  ASSERT_EQ(back.size(), BoxUndo::kStateLimit - 1);
  EXPECT_EQ(back.back(), std::to_string(6));
  EXPECT_EQ(Shown(undo.Redo()), std::to_string(7));
}

}  // namespace
