#include "test_support.h"

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "settings/history.h"
#include "settings/settings.h"

TempFolder::TempFolder() {
  const char* base = std::getenv("TMPDIR");
  std::string pattern = std::string(base != nullptr && base[0] != '\0' ? base : "/tmp") + "/quillo-test-XXXXXX";
  char* made = mkdtemp(pattern.data());
  path_ = made != nullptr ? made : "";
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add,
                               ignored);
  std::filesystem::remove_all(path_, ignored);
}

std::vector<std::string> NamesIn(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return "<missing>";
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool Exists(const std::string& path) {
  std::error_code ignored;
  return std::filesystem::exists(path, ignored);
}

int RunInChild(const std::function<int()>& body) {
  pid_t child = fork();
  if (child == 0) _exit(body());
  int status = 0;
  if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

int RunInChildAsNobody(const std::function<int()>& body) {
  return RunInChild([&] {
    constexpr uid_t kNobody = 65534;
    if (getuid() == 0 && (setgid(kNobody) != 0 || setuid(kNobody) != 0)) return 100;
    return body();
  });
}

bool FakeHost::AskForLanguageFile(const char* initialFolder, char* path, unsigned capacity) {
  askedFolders.emplace_back(initialFolder);
  if (answers.empty()) return false;
  std::optional<std::string> answer = answers.front();
  answers.pop_front();
  if (!answer) return false;
  std::snprintf(path, capacity, "%s", answer->c_str());
  return true;
}

void FakeHost::AttachMenu(const MenuModel& menu) { attachedMenus.push_back(MenuAsText(menu)); }

void FakeHost::HistoryItemText(int index, char* buffer, unsigned capacity) {
  std::snprintf(buffer, capacity, "%s", list.at(static_cast<std::size_t>(index)).c_str());
}

std::string MenuAsText(const MenuModel& menu) {
  std::ostringstream out;
  for (int p = 0; p < kMenuPopupCount; ++p) {
    const MenuPopupModel& popup = menu.popups[p];
    out << (p > 0 ? " " : "") << popup.title << "[";
    for (int i = 0; i < popup.itemCount; ++i) {
      const MenuItemModel& item = popup.items[i];
      out << (i > 0 ? "|" : "");
      if (item.text == nullptr) {
        out << "---";
      } else {
        out << item.commandId << " " << item.text << (item.enabled ? "" : " (off)");
      }
    }
    out << "]";
  }
  return out.str();
}

std::string Joined(const std::vector<std::string>& items) {
  std::string joined;
  for (std::size_t i = 0; i < items.size(); ++i) joined += (i > 0 ? "|" : "") + items[i];
  return joined;
}

void ResetSettingsGlobals() {
  HistoryLength = kDefaultHistoryLength;
  SettingsPath[0] = '\0';
  LanguagePath[0] = '\0';
  ScratchText[0] = '\0';
  CurrentForm = 0;
}
