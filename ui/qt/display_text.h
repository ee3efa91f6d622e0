#pragma once
// Program texts (language bytes, paths, expressions) to Qt strings and back.

#include <QString>

// The text as the window shows it: UTF-8 as it is, anything else read as
// Windows-1251, so language files in either encoding read right.
QString ToDisplayText(const char* text);

// Copies text as UTF-8 into buffer, cut at a character boundary to fit
// capacity - 1 bytes, always terminated. Returns false when it was cut.
bool CopyUtf8(const QString& text, char* buffer, unsigned capacity);
