#pragma once
// Shared pieces of the settings tests: temporary folders, whole-file reads and
// writes, a fake window, and running a piece of code as an unprivileged user.

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "settings/window_host.h"

// The names in a folder, sorted.
std::vector<std::string> NamesIn(const std::string& folder);

// A fresh folder under the system's temporary folder, removed with its
// content at the end of the test.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }
  // The names in the folder, sorted, so a test can see that no temporary file
  // was left behind.
  std::vector<std::string> Names() const { return NamesIn(path_); }

 private:
  std::string path_;
};

void WriteFile(const std::string& path, const std::string& bytes);
std::string ReadFile(const std::string& path);  // "<missing>" when it cannot be read
bool Exists(const std::string& path);

// Runs body in a forked child and returns its exit code, or -1 when it did
// not exit normally.
int RunInChild(const std::function<int()>& body);
// The same as user "nobody" when the tests run as root, whom permission bits
// do not stop.
int RunInChildAsNobody(const std::function<int()>& body);

// The window as the settings code sees it, with every request recorded.
class FakeHost : public SettingsHost {
 public:
  // Answers for the file dialog, used in order; std::nullopt is a cancel, and
  // a dialog with no answers left is cancelled too.
  std::deque<std::optional<std::string>> answers;
  std::vector<std::string> askedFolders;
  std::vector<std::string> errors;
  std::map<int, std::string> controls;
  std::vector<std::string> attachedMenus;  // each menu as text, see MenuAsText
  std::vector<std::string> list;           // the expression box's list, item 0 first

  bool AskForLanguageFile(const char* initialFolder, char* path, unsigned capacity) override;
  void ShowErrorBox(const char* text) override { errors.emplace_back(text); }
  void SetControlText(int controlId, const char* text) override { controls[controlId] = text; }
  void AttachMenu(const MenuModel& menu) override;
  void InsertHistoryItemAtTop(const char* text) override { list.insert(list.begin(), text); }
  void AppendHistoryItem(const char* text) override { list.emplace_back(text); }
  int HistoryItemCount() override { return static_cast<int>(list.size()); }
  void HistoryItemText(int index, char* buffer, unsigned capacity) override;
  void DeleteLastHistoryItem() override { list.pop_back(); }
};

// "Title[id text|id text (off)|---] Title[...]" for comparing whole menus.
std::string MenuAsText(const MenuModel& menu);

// Items joined with "|".
std::string Joined(const std::vector<std::string>& items);

// Puts the settings globals back to their state at program start.
void ResetSettingsGlobals();
