#include "tests/ui/ui_test_support.h"

#include <cstdio>

#include "settings/language.h"
#include "settings/settings_state.h"
#include "tests/support/files.h"

std::string PrepareSettings(const TempFolder& folder, const std::string& languagePath, int form,
                            const std::string& historyKeys) {
  const std::string path = folder / "quillo.ini";
  WriteFile(path, "[INI]\r\nlang=" + languagePath + "\r\nform=" + std::to_string(form) + "\r\nhistorylen=10\r\n" +
                      (historyKeys.empty() ? "" : "[HISTORY]\r\n" + historyKeys));
  ResetProgramSettingsAt(path);
  SettingsState& settings = ProgramSettings();
  std::snprintf(settings.LanguagePath, kPathCapacity, "%s", languagePath.c_str());
  LoadLanguageTexts();
  settings.CurrentForm = form;
  return path;
}
