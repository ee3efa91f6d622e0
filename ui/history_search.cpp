#include "ui/history_search.h"

#include <utility>

void HistorySearch::Start(std::vector<std::string> entries, std::string boxText) {
  active_ = true;
  entries_ = std::move(entries);
  boxText_ = std::move(boxText);
  SetQuery("");
}

void HistorySearch::SetQuery(std::string_view query) {
  query_ = query;
  matches_.clear();
  for (const std::string& entry : entries_) {
    if (entry.find(query_) != std::string::npos) matches_.push_back(entry);
  }
  selected_ = matches_.empty() ? -1 : 0;
}

void HistorySearch::Select(int index) {
  if (matches_.empty()) return;
  const int last = static_cast<int>(matches_.size()) - 1;
  selected_ = index < 0 ? 0 : (index > last ? last : index);
}

std::optional<std::string> HistorySearch::Accept() {
  active_ = false;
  if (selected_ < 0) return std::nullopt;
  return matches_[static_cast<std::size_t>(selected_)];
}

std::string HistorySearch::Cancel() {
  active_ = false;
  return boxText_;
}
