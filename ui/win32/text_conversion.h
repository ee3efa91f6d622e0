#pragma once
// Text between the program and the wide window functions. The program's
// texts are bytes: UTF-8, or a language file's Windows-1251; the windows take
// and give UTF-16. The dialog logic counts positions in UTF-8 bytes, an edit
// field in UTF-16 units.

#include <windows.h>

#include <string>

// Program bytes as UTF-16 for the wide window functions: valid UTF-8 as it is,
// anything else read as Windows-1251 (see settings/text_encoding.h).
std::wstring ToWide(const char* text);

// Copies text as UTF-8 into buffer, cut at a character boundary to fit
// capacity - 1 bytes, always terminated; nothing when capacity is 0.
void CopyAsUtf8(const std::wstring& text, char* buffer, unsigned capacity);

// The whole text of a window or control; empty when it has none.
std::wstring WindowText(HWND window);

// The UTF-16 position in text that follows its first byteOffset bytes of
// UTF-8, and the way back: the number of UTF-8 bytes of text's first
// utf16Offset UTF-16 units.
int Utf16Offset(const std::wstring& text, int byteOffset);
int Utf8Offset(const std::wstring& text, int utf16Offset);

// Plain text on the clipboard ends its lines with CR LF.
std::wstring WithCrLf(const std::wstring& text);

// A control's text as it reads on the screen: a lone "&" only marks the
// mnemonic letter, "&&" shows one "&".
std::wstring WithoutMnemonic(const std::wstring& text);
