#pragma once
// Language texts are kept as bytes. For display, valid UTF-8 is taken as it
// is and anything else is read as Windows-1251.

#include <cstddef>

bool IsValidUtf8(const char* text);

// Writes the display form of text into out as UTF-8, cut at a character
// boundary to fit capacity, always terminated.
void ConvertToDisplayText(const char* text, char* out, std::size_t capacity);
