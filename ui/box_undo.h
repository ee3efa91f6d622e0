#pragma once
// Undo and redo of the expression box: every text the box showed, typed by
// the user or put there by the dialog (Calculate replacing the expression by
// its result, Escape clearing it, an entry taken from the history), in one
// line of states, so that undo and redo walk the same states both ways.

#include <cstddef>
#include <deque>
#include <optional>
#include <string>
#include <string_view>

class BoxUndo {
 public:
  // The user's edit left text in the box: a new state, after which the
  // states undone are dropped.
  void Typed(std::string_view text);

  // The dialog replaced the box's text before by after: both are states (a
  // replacement that changes nothing is none).
  void Replaced(std::string_view before, std::string_view after);

  // The state before the one shown, or after it; nothing at either end.
  std::optional<std::string> Undo();
  std::optional<std::string> Redo();

  bool CanUndo() const { return current_ > 0; }
  bool CanRedo() const { return current_ + 1 < states_.size(); }

  // How many states are kept: the oldest go first.
  static constexpr std::size_t kStateLimit = 1000;

 private:
  void Show(std::string_view text);

  std::deque<std::string> states_{std::string()};  // oldest first; the box starts empty
  std::size_t current_ = 0;                         // the state the box shows
};
