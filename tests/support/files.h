#pragma once
// Whole-file reads and writes for tests, byte for byte.

#include <string>
#include <vector>

// Creates or truncates path and writes bytes.
void WriteFile(const std::string& path, const std::string& bytes);
// The whole file; "<missing>" when it cannot be read.
std::string ReadFile(const std::string& path);
bool Exists(const std::string& path);
// The names in a folder, sorted; none when it cannot be listed.
// The names in folder, sorted. The "<file>.lock" files that changing a
// settings file leaves on purpose are not listed: a test of what a change
// left behind looks past them (the lock has tests of its own).
std::vector<std::string> NamesIn(const std::string& folder);
// Items joined with "|", for comparing a list as one text.
std::string Joined(const std::vector<std::string>& items);
