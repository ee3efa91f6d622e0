// Undo and redo of the dialog's own changes of the box, step by step.

#include "ui/box_undo.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Shown(const std::optional<std::string>& text) { return text ? *text : "<none>"; }

TEST(BoxUndoTest, StepsBackAndForthThroughTheReplacements) {
  BoxUndo undo;
  EXPECT_EQ(Shown(undo.Undo()), "<none>");
  undo.Replaced("1+2", "3");  // Calculate
  undo.Replaced("3*4", "");   // Escape after typing "*4"
  undo.Replaced("", "7*6");   // an entry from the history
  EXPECT_EQ(Shown(undo.Undo()), "");
  EXPECT_EQ(Shown(undo.Undo()), "3*4");
  EXPECT_EQ(Shown(undo.Redo()), "");
  EXPECT_EQ(Shown(undo.Undo()), "3*4");
  EXPECT_EQ(Shown(undo.Undo()), "1+2");
  EXPECT_EQ(Shown(undo.Undo()), "<none>");
  EXPECT_EQ(Shown(undo.Redo()), "3");
  EXPECT_EQ(Shown(undo.Redo()), "");
  EXPECT_EQ(Shown(undo.Redo()), "7*6");
  EXPECT_EQ(Shown(undo.Redo()), "<none>");
}

TEST(BoxUndoTest, ANewReplacementDropsWhatWasUndone) {
  BoxUndo undo;
  undo.Replaced("1+2", "3");
  undo.Replaced("3+3", "6");
  EXPECT_EQ(Shown(undo.Undo()), "3+3");
  undo.Replaced("3+3", "");
  EXPECT_EQ(Shown(undo.Redo()), "<none>");
  EXPECT_EQ(Shown(undo.Undo()), "3+3");
  EXPECT_EQ(Shown(undo.Undo()), "1+2");
}

TEST(BoxUndoTest, KeepsTheNewestStepsAndSkipsReplacementsThatChangeNothing) {
  BoxUndo undo;
  for (std::size_t i = 0; i < BoxUndo::kStepLimit + 5; ++i) undo.Replaced(std::to_string(i) + "+0", std::to_string(i));
  undo.Replaced("7", "7");
  std::size_t steps = 0;
  std::string oldest;
  for (auto text = undo.Undo(); text; text = undo.Undo()) {
    oldest = *text;
    ++steps;
  }
  EXPECT_EQ(steps, BoxUndo::kStepLimit);
  EXPECT_EQ(oldest, "5+0");
}

}  // namespace
