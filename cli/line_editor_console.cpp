// Typed lines at a Windows console: the console's cooked input gives its own
// line editing and history (the arrows, F7, Escape clears the line), and
// ReadConsoleW delivers the line in UTF-16 whatever the code page. Ctrl+Z
// then Enter ends the input.

#include <windows.h>

#include <cerrno>
#include <string>

#include "cli/line_editor.h"

namespace {

HANDLE Console = INVALID_HANDLE_VALUE;  // standard input, a console
HANDLE Screen = INVALID_HANDLE_VALUE;   // standard output, a console
// How many UTF-16 units one read asks for; a longer line arrives in pieces.
constexpr DWORD kReadUnits = 1024;

void WriteToScreen(const wchar_t* text) {
  DWORD written = 0;
  WriteConsoleW(Screen, text, static_cast<DWORD>(wcslen(text)), &written, nullptr);
}

// Reads up to the line's end ("\r\n") into line. False when reading failed.
bool ReadWholeLine(std::wstring& line) {
  wchar_t units[kReadUnits];
  for (;;) {
    DWORD count = 0;
    if (!ReadConsoleW(Console, units, kReadUnits, &count, nullptr)) return false;
    if (count == 0) return true;  // Ctrl+C: an empty read, the line ends
    line.append(units, count);
    if (line.size() >= 1 && line.back() == L'\n') return true;
  }
}

std::string Utf8Of(const std::wstring& wide) {
  if (wide.empty()) return {};
  const int size = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                       nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(), size, nullptr, nullptr);
  return utf8;
}

}  // namespace

bool StartLineEditor(const std::vector<std::string>&, int) {
  Console = GetStdHandle(STD_INPUT_HANDLE);
  Screen = GetStdHandle(STD_OUTPUT_HANDLE);
  DWORD mode = 0;
  if (!GetConsoleMode(Console, &mode)) return false;
  // Cooked input: the console edits the line and keeps its history.
  SetConsoleMode(Console, mode | ENABLE_LINE_INPUT | ENABLE_ECHO_INPUT | ENABLE_PROCESSED_INPUT);
  return true;
}

ReadOutcome ReadTypedLine(TypedLine& line) {
  static const std::wstring prompt(kPrompt, kPrompt + sizeof kPrompt - 1);  // ASCII
  WriteToScreen(prompt.c_str());
  std::wstring typed;
  if (!ReadWholeLine(typed)) {
    errno = EIO;
    return ReadOutcome::Failed;
  }
  // Ctrl+Z at the start of a line, then Enter, ends the input as it does
  // for every console program.
  if (typed.empty() || typed.front() == L'\x1A') return ReadOutcome::End;
  while (!typed.empty() && (typed.back() == L'\n' || typed.back() == L'\r')) typed.pop_back();
  std::string text = Utf8Of(typed);
  if (text.size() > static_cast<std::size_t>(kExpressionMaxLength)) {
    line = {LineKind::TooLong, {}};
  } else {
    line = {LineKind::Text, std::move(text)};
  }
  return ReadOutcome::Line;
}

// The console keeps its own history of what was typed.
void RecallLater(const std::string&) {}

void StopLineEditor() {}
