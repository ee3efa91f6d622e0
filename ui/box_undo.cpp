#include "ui/box_undo.h"

#include <utility>

void BoxUndo::Replaced(std::string before, std::string after) {
  // A replacement that changes nothing (Calculate on a result already in
  // the selected form) is no step to undo.
  if (before == after) return;
  undone_.clear();
  done_.push_back({std::move(before), std::move(after)});
  if (done_.size() > kStepLimit) done_.pop_front();
}

std::optional<std::string> BoxUndo::Undo() {
  if (done_.empty()) return std::nullopt;
  undone_.push_back(std::move(done_.back()));
  done_.pop_back();
  return undone_.back().before;
}

std::optional<std::string> BoxUndo::Redo() {
  if (undone_.empty()) return std::nullopt;
  done_.push_back(std::move(undone_.back()));
  undone_.pop_back();
  return done_.back().after;
}
