#pragma once
// The incremental search through the history that Ctrl+R starts: the typed
// text narrows the entries to those that contain it, newest first; Enter
// takes the selected one, Escape goes back to what the box held.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

class HistorySearch {
 public:
  // Starts a search over entries (item 0 the newest), keeping boxText to go
  // back to. Every entry matches the empty query.
  void Start(std::vector<std::string> entries, std::string boxText);
  bool Active() const { return active_; }

  // The typed text: the matches become the entries containing it, newest
  // first, and the newest of them is selected.
  void SetQuery(std::string_view query);
  const std::string& Query() const { return query_; }

  // The matching entries, newest first, and the selected one's index in them
  // (-1 when nothing matches).
  const std::vector<std::string>& Matches() const { return matches_; }
  int Selected() const { return selected_; }

  // Moves the selection to match index, kept within the matches.
  void Select(int index);
  // Ctrl+R again: the next older match, staying at the oldest.
  void SelectOlder() { Select(selected_ + 1); }

  // Ends the search with the selected entry; nothing when nothing matches.
  std::optional<std::string> Accept();
  // Ends the search; returns what the box held when it started.
  std::string Cancel();

 private:
  bool active_ = false;
  std::vector<std::string> entries_;
  std::string boxText_;
  std::string query_;
  std::vector<std::string> matches_;
  int selected_ = -1;
};
