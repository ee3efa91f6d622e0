#include "tests/ui/ui_test_support.h"

#include <atomic>
#include <cstring>
#include <fstream>
#include <sstream>

#include <unistd.h>

#include "settings/language.h"
#include "settings/settings.h"

TempFolder::TempFolder() {
  static std::atomic<int> counter{0};
  path_ = std::filesystem::temp_directory_path() /
          ("quillo-ui-" + std::to_string(getpid()) + "-" + std::to_string(counter++));
  std::filesystem::remove_all(path_);
  std::filesystem::create_directories(path_);
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string MessageText(const std::string& tag, int index) { return tag + " message " + std::to_string(index); }

std::string WriteLanguageFile(const TempFolder& folder, const std::string& tag, const std::string& fileName) {
  std::ostringstream text;
  text << "[MENU]\r\n";
  for (int i = 0; i < kMenuTextCount; ++i) text << i << "=" << tag << " menu " << i << "\r\n";
  text << "[DIALOG]\r\n";
  for (int i = 0; i < kDialogTextCount; ++i) text << i << "=" << tag << " dialog " << i << "\r\n";
  text << "[OPERATIONS]\r\n";
  for (int i = 0; i < kMessageCount; ++i) text << i << "=" << MessageText(tag, i) << "\r\n";
  const std::string path = folder.File((fileName.empty() ? tag + ".lng" : fileName).c_str());
  WriteTextFile(path, text.str());
  return path;
}

void WriteTextFile(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

std::string ReadTextFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

std::string PrepareSettings(const TempFolder& folder, const std::string& languagePath, int form,
                            const std::string& historyKeys) {
  const std::string path = folder.File("quillo.ini");
  WriteTextFile(path, "[INI]\r\nlang=" + languagePath + "\r\nform=" + std::to_string(form) +
                          "\r\nhistorylen=10\r\n" + (historyKeys.empty() ? "" : "[HISTORY]\r\n" + historyKeys));
  std::strncpy(SettingsPath, path.c_str(), kPathCapacity - 1);
  std::strncpy(LanguagePath, languagePath.c_str(), kPathCapacity - 1);
  LoadLanguageTexts();
  CurrentForm = form;
  HistoryLength = 10;
  return path;
}
