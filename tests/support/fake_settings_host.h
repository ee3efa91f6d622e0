#pragma once
// The window as the settings and history code sees it: scripted answers for
// the language file dialog, the error boxes shown, and the expression box's
// list. FakeHostOf<Interface> implements those calls of any interface that
// derives from SettingsHost, so a fake dialog window shares them.

#include <cstdio>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "settings/window_host.h"

template <typename Interface>
class FakeHostOf : public Interface {
 public:
  // Answers for the file dialog, used in order; std::nullopt is a cancel, and
  // a dialog with no answers left is cancelled too.
  std::deque<std::optional<std::string>> answers;
  std::vector<std::string> askedFolders;  // the initial folder of each dialog shown
  std::vector<std::string> preselected;   // the file each dialog selected at first
  std::vector<std::string> titles;        // the title of each dialog
  std::vector<std::string> errors;        // the texts of the error boxes shown
  std::vector<std::string> errorCaptions; // and their captions
  std::vector<std::string> list;          // the expression box's list, item 0 the newest

  bool AskForLanguageFile(const LanguageFileQuestion& question, char* path, unsigned capacity) override {
    askedFolders.emplace_back(question.folder);
    preselected.emplace_back(question.preselected);
    titles.emplace_back(question.title);
    if (answers.empty()) return false;
    const std::optional<std::string> answer = answers.front();
    answers.pop_front();
    if (!answer) return false;
    std::snprintf(path, capacity, "%s", answer->c_str());
    return true;
  }
  void ShowErrorBox(const char* caption, const char* text) override {
    errorCaptions.emplace_back(caption);
    errors.emplace_back(text);
  }
  // Answers for "wait again?", used in order; none left is a give-up.
  std::deque<bool> waitAgainAnswers;
  std::vector<std::string> waitQuestions;  // the texts of the questions asked
  bool AskToWaitAgain(const char* /*caption*/, const char* text) override {
    waitQuestions.emplace_back(text);
    if (waitAgainAnswers.empty()) return false;
    const bool answer = waitAgainAnswers.front();
    waitAgainAnswers.pop_front();
    return answer;
  }
  void InsertHistoryItemAtTop(const char* text) override { list.insert(list.begin(), text); }
  void AppendHistoryItem(const char* text) override { list.emplace_back(text); }
  int HistoryItemCount() override { return static_cast<int>(list.size()); }
  void HistoryItemText(int index, char* buffer, unsigned capacity) override {
    std::snprintf(buffer, capacity, "%s", list.at(static_cast<std::size_t>(index)).c_str());
  }
  void DeleteLastHistoryItem() override { list.pop_back(); }
};

using FakeHost = FakeHostOf<SettingsHost>;
