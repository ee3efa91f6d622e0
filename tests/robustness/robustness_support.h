#pragma once
// Pieces shared by the fault-injection tests: a scratch folder, whole-file
// access, a recording window and forked children.

#include <functional>
#include <string>
#include <vector>

#include "settings/window_host.h"

// A fresh folder under TMPDIR (or /tmp), removed with its content afterwards.
class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

// The names in a folder, sorted.
std::vector<std::string> NamesIn(const std::string& folder);

void WriteBytes(const std::string& path, const std::string& bytes);
std::string ReadBytes(const std::string& path);  // "<unreadable>" when it cannot be read

// Runs body in a forked child and returns its exit code; -1 when the child
// did not exit normally.
int RunInChild(const std::function<int()>& body);

// Runs body in a forked child as user "nobody" when the tests run as root,
// since permission bits do not stop root.
int RunInChildUnprivileged(const std::function<int()>& body);

// The window as the settings code sees it: the expression box's list, the
// error boxes shown, and fixed answers for the language file dialog.
class RecordingHost : public SettingsHost {
 public:
  std::vector<std::string> list;      // the history, item 0 the newest
  std::vector<std::string> errors;    // texts of the error boxes shown
  std::vector<std::string> answers;   // file dialog answers, used in order
  int dialogsShown = 0;

  bool AskForLanguageFile(const char* initialFolder, char* path, unsigned capacity) override;
  void ShowErrorBox(const char* text) override { errors.emplace_back(text); }
  void SetControlText(int, const char*) override {}
  void AttachMenu(const MenuModel&) override {}
  void InsertHistoryItemAtTop(const char* text) override { list.insert(list.begin(), text); }
  void AppendHistoryItem(const char* text) override { list.emplace_back(text); }
  int HistoryItemCount() override { return static_cast<int>(list.size()); }
  void HistoryItemText(int index, char* buffer, unsigned capacity) override;
  void DeleteLastHistoryItem() override { list.pop_back(); }
};

// Puts the settings globals back to their state at program start and points
// SettingsPath at path.
void ResetSettingsState(const std::string& settingsPath);
