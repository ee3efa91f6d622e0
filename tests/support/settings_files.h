#pragma once
// Language files written for tests, and the settings record pointed at a
// settings file of the test's own.

#include <string>

#include "tests/support/temp_folder.h"

// Writes <tag>.lng (or fileName) into folder with every key: MENU i
// "<tag> menu i", DIALOG i "<tag> dialog i", OPERATIONS i "<tag> message i".
// Returns its path.
std::string WriteLanguageFile(const TempFolder& folder, const std::string& tag, const std::string& fileName = "");

// The text a file written by WriteLanguageFile holds for message index.
std::string MessageText(const std::string& tag, int index);

// Puts the program's settings record into its start state with SettingsPath
// naming path (cut to the record's capacity).
void ResetProgramSettingsAt(const std::string& path);
