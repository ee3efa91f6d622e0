#pragma once
// Language texts are kept as bytes. For display, valid UTF-8 is taken as it
// is and anything else is read as Windows-1251.

#include <cstddef>
#include <string>
#include <string_view>

bool IsValidUtf8(const char* text);
bool IsValidUtf8(std::string_view text);

// The longest prefix of text, at most maxBytes long, that does not end inside
// a UTF-8 character. For text that is not valid UTF-8 this is simply
// min(size, maxBytes): single-byte text has no characters to split.
std::size_t Utf8PrefixLength(std::string_view text, std::size_t maxBytes);

// The byte length of the first maxCharacters characters of text: UTF-8
// characters for valid UTF-8, bytes for anything else (a single-byte text).
std::size_t TextPrefixLength(std::string_view text, std::size_t maxCharacters);

// Writes the display form of text into out as UTF-8, cut at a character
// boundary to fit capacity, always terminated.
void ConvertToDisplayText(const char* text, char* out, std::size_t capacity);

// The display form of the whole of text as UTF-8, however long.
std::string DisplayUtf8(const char* text);
