#include "robustness_support.h"

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "settings/history.h"
#include "settings/settings.h"

ScratchFolder::ScratchFolder() {
  const char* base = std::getenv("TMPDIR");
  std::string pattern =
      std::string(base != nullptr && base[0] != '\0' ? base : "/tmp") + "/quillo-robustness-XXXXXX";
  const char* made = mkdtemp(pattern.data());
  path_ = made != nullptr ? made : "";
}

ScratchFolder::~ScratchFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::vector<std::string> NamesIn(const std::string& folder) {
  std::vector<std::string> names;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return "<unreadable>";
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

int RunInChild(const std::function<int()>& body) {
  std::fflush(nullptr);  // nothing buffered may be written twice
  pid_t child = fork();
  if (child == 0) _exit(body());
  int status = 0;
  if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

int RunInChildUnprivileged(const std::function<int()>& body) {
  return RunInChild([&] {
    constexpr uid_t kNobody = 65534;
    if (getuid() == 0 && (setgid(kNobody) != 0 || setuid(kNobody) != 0)) return 100;
    return body();
  });
}

bool RecordingHost::AskForLanguageFile(const char*, char* path, unsigned capacity) {
  ++dialogsShown;
  if (answers.empty()) return false;
  std::snprintf(path, capacity, "%s", answers.front().c_str());
  answers.erase(answers.begin());
  return true;
}

void RecordingHost::HistoryItemText(int index, char* buffer, unsigned capacity) {
  std::snprintf(buffer, capacity, "%s", list.at(static_cast<std::size_t>(index)).c_str());
}

void ResetSettingsState(const std::string& settingsPath) {
  HistoryLength = kDefaultHistoryLength;
  std::snprintf(SettingsPath, kPathCapacity, "%s", settingsPath.c_str());
  LanguagePath[0] = '\0';
  ScratchText[0] = '\0';
  CurrentForm = 0;
}
