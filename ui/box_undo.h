#pragma once
// Undo and redo of what the dialog does to the expression box: Calculate
// replacing the expression by its result, Escape clearing it, an entry taken
// from the history. Typing is the box's own undo; these steps lie under it.

#include <cstddef>
#include <deque>
#include <optional>
#include <string>

class BoxUndo {
 public:
  // The dialog replaced the box's text before by after. A new replacement
  // drops the steps that were undone.
  void Replaced(std::string before, std::string after);

  // The text to show for one step back (the text before the last
  // replacement not yet undone); nothing when there is none.
  std::optional<std::string> Undo();

  // The text to show for one step forward again; nothing when nothing has
  // been undone since the last replacement.
  std::optional<std::string> Redo();

  // How many replacements are kept: the oldest go first.
  static constexpr std::size_t kStepLimit = 100;

 private:
  struct Step {
    std::string before;
    std::string after;
  };
  std::deque<Step> done_;
  std::deque<Step> undone_;
};
