#include "tests/support/settings_files.h"

#include <cstdio>
#include <sstream>

#include "settings/settings_state.h"
#include "tests/support/files.h"

std::string MessageText(const std::string& tag, int index) { return tag + " message " + std::to_string(index); }

std::string WriteLanguageFile(const TempFolder& folder, const std::string& tag, const std::string& fileName) {
  std::ostringstream text;
  text << "[MENU]\r\n";
  for (int i = 0; i < kMenuTextCount; ++i) text << i << "=" << tag << " menu " << i << "\r\n";
  text << "[DIALOG]\r\n";
  for (int i = 0; i < kDialogTextCount; ++i) text << i << "=" << tag << " dialog " << i << "\r\n";
  text << "[OPERATIONS]\r\n";
  for (int i = 0; i < kMessageCount; ++i) text << i << "=" << MessageText(tag, i) << "\r\n";
  const std::string path = folder / (fileName.empty() ? tag + ".lng" : fileName);
  WriteFile(path, text.str());
  return path;
}

void ResetProgramSettingsAt(const std::string& path) {
  ResetProgramSettings();
  std::snprintf(ProgramSettings().SettingsPath, kPathCapacity, "%s", path.c_str());
}
