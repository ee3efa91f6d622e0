#pragma once
// Windows hands a program its command line in UTF-16; the narrow argv the C
// runtime builds from it goes through the system's code page and loses every
// character outside it (a Cyrillic folder on a Western code page). The file
// layer takes UTF-8 paths, so quillo-cli converts the wide arguments once.

#include <string>
#include <vector>

// argv as UTF-8 strings, in order; a lone surrogate becomes U+FFFD.
std::vector<std::string> Utf8Arguments(int argc, const wchar_t* const* argv);
