#include "cli/error_text.h"

#ifdef _WIN32
#include <io.h>
#include <windows.h>

#include <string>
#endif

namespace {

#ifdef _WIN32
// The console standard error goes to, or INVALID_HANDLE_VALUE.
HANDLE ErrorConsole(std::FILE* errors) {
  if (errors != stderr) return INVALID_HANDLE_VALUE;
  const HANDLE handle = GetStdHandle(STD_ERROR_HANDLE);
  DWORD mode = 0;
  return handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode) ? handle : INVALID_HANDLE_VALUE;
}

bool WriteToConsole(HANDLE console, std::string_view text) {
  const int units = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  if (units <= 0) return false;
  std::wstring wide(static_cast<std::size_t>(units), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), units);
  DWORD written = 0;
  for (DWORD at = 0; at < static_cast<DWORD>(units); at += written) {
    if (!WriteConsoleW(console, wide.data() + at, static_cast<DWORD>(units) - at, &written, nullptr) || written == 0) {
      return false;
    }
  }
  return true;
}
#endif

}  // namespace

void WriteErrorText(std::FILE* errors, std::string_view text) {
#ifdef _WIN32
  if (const HANDLE console = ErrorConsole(errors); console != INVALID_HANDLE_VALUE) {
    std::fflush(errors);  // what stdio holds goes first
    if (WriteToConsole(console, text)) return;
  }
#endif
  std::fwrite(text.data(), 1, text.size(), errors);
  std::fflush(errors);
}
