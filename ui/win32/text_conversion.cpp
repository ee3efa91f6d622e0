#include "ui/win32/text_conversion.h"

#include <algorithm>
#include <cstring>

#include "settings/text_encoding.h"

std::wstring ToWide(const char* text) {
  // A Windows-1251 byte becomes at most three UTF-8 bytes.
  std::string utf8(std::strlen(text) * 3 + 1, '\0');
  ConvertToDisplayText(text, utf8.data(), utf8.size());
  const int count = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, nullptr, 0);
  if (count <= 0) {
    return std::wstring();
  }
  std::wstring wide(static_cast<std::size_t>(count), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, wide.data(), count);
  wide.resize(static_cast<std::size_t>(count) - 1);  // the terminator
  return wide;
}

void CopyAsUtf8(const std::wstring& text, char* buffer, unsigned capacity) {
  if (capacity == 0) {
    return;
  }
  const int wideLength = static_cast<int>(text.size());
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), wideLength, nullptr, 0, nullptr, nullptr);
  std::string utf8(size > 0 ? static_cast<std::size_t>(size) : 0, '\0');
  if (size > 0) {
    WideCharToMultiByte(CP_UTF8, 0, text.data(), wideLength, utf8.data(), size, nullptr, nullptr);
  }
  const std::size_t length = Utf8PrefixLength(utf8, capacity - 1);
  std::memcpy(buffer, utf8.data(), length);
  buffer[length] = '\0';
}

std::wstring WindowText(HWND window) {
  const int length = GetWindowTextLengthW(window);
  if (length <= 0) {
    return std::wstring();
  }
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const int copied = GetWindowTextW(window, text.data(), length + 1);
  text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
  return text;
}

int Utf16Offset(const std::wstring& text, int byteOffset) {
  int bytes = 0;
  std::size_t i = 0;
  while (i < text.size() && bytes < byteOffset) {
    const wchar_t c = text[i];
    if (c < 0x80) {
      bytes += 1;
    } else if (c < 0x800) {
      bytes += 2;
    } else if (IS_HIGH_SURROGATE(c) && i + 1 < text.size()) {
      bytes += 4;
      ++i;
    } else {
      bytes += 3;
    }
    ++i;
  }
  return static_cast<int>(i);
}

int Utf8Offset(const std::wstring& text, int utf16Offset) {
  int bytes = 0;
  const std::size_t end = std::min(text.size(), static_cast<std::size_t>(utf16Offset < 0 ? 0 : utf16Offset));
  for (std::size_t i = 0; i < end; ++i) {
    const wchar_t c = text[i];
    if (c < 0x80) {
      bytes += 1;
    } else if (c < 0x800) {
      bytes += 2;
    } else if (IS_HIGH_SURROGATE(c) && i + 1 < end) {
      bytes += 4;
      ++i;
    } else {
      bytes += 3;
    }
  }
  return bytes;
}

std::wstring WithCrLf(const std::wstring& text) {
  std::wstring out;
  out.reserve(text.size() + 8);
  for (wchar_t c : text) {
    if (c == L'\n') out += L'\r';
    out += c;
  }
  return out;
}

std::wstring WithoutMnemonic(const std::wstring& text) {
  std::wstring shown;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'&' && ++i == text.size()) {
      break;
    }
    shown += text[i];
  }
  return shown;
}
