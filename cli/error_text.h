#pragma once
// Messages for standard error. They carry language texts in UTF-8; a Windows
// console shows them only when they reach it as UTF-16 through the console
// API, as the results on standard output do. Elsewhere, and into files and
// pipes, the bytes go out as they are.

#include <cstdio>
#include <string_view>

// Writes text (UTF-8) to errors, which is stderr or a file of a test.
void WriteErrorText(std::FILE* errors, std::string_view text);
