#pragma once
// Files and settings for the dialog tests: a temporary folder per test, a
// language file whose every text names its language, and the settings state
// the program would have after a successful start.

#include <filesystem>
#include <string>

class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::filesystem::path& Path() const { return path_; }
  std::string File(const char* name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

// Writes a language file with every key: MENU i "<tag> menu i", DIALOG i
// "<tag> dialog i", OPERATIONS i "<tag> message i". Returns its path.
std::string WriteLanguageFile(const TempFolder& folder, const std::string& tag,
                              const std::string& fileName = "");

// The text a language file written by WriteLanguageFile holds for message i.
std::string MessageText(const std::string& tag, int index);

void WriteTextFile(const std::string& path, const std::string& text);
std::string ReadTextFile(const std::string& path);

// Writes quillo.ini naming languagePath, with form and history entries
// (newest first), and sets the settings globals and the language texts the
// way a successful start leaves them. Returns the settings file's path.
std::string PrepareSettings(const TempFolder& folder, const std::string& languagePath, int form,
                            const std::string& historyKeys = "");
