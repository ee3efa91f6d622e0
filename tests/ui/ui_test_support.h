#pragma once
// The settings state the dialog tests start from.

#include <string>

#include "tests/support/settings_files.h"
#include "tests/support/temp_folder.h"

// Writes quillo.ini into folder naming languagePath, with form and history
// entries (newest first), and sets the settings record and the language texts
// the way a successful start leaves them. Returns the settings file's path.
std::string PrepareSettings(const TempFolder& folder, const std::string& languagePath, int form,
                            const std::string& historyKeys = "");
