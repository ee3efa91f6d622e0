#include "ui/box_undo.h"

void BoxUndo::Typed(std::string_view text) { Show(text); }

void BoxUndo::Replaced(std::string_view before, std::string_view after) {
  // before is normally the state shown already; a text the box got some
  // other way becomes a state first, so that undo comes back to it.
  Show(before);
  Show(after);
}

void BoxUndo::Show(std::string_view text) {
  if (states_[current_] == text) return;
  states_.erase(states_.begin() + static_cast<std::ptrdiff_t>(current_) + 1, states_.end());
  states_.emplace_back(text);
  ++current_;
  if (states_.size() > kStateLimit) {
    states_.pop_front();
    --current_;
  }
}

std::optional<std::string> BoxUndo::Undo() {
  if (!CanUndo()) return std::nullopt;
  return states_[--current_];
}

std::optional<std::string> BoxUndo::Redo() {
  if (!CanRedo()) return std::nullopt;
  return states_[++current_];
}
