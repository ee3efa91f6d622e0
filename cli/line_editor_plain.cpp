// Typed lines without a line-editing library: the prompt, then whole lines
// as the terminal's own line discipline delivers them (Backspace works, the
// arrows do not). Ctrl+D on an empty line ends the input.

#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "cli/line_editor.h"

namespace {

long ReadTerminal(void*, char* buffer, std::size_t capacity) {
  for (;;) {
    const ssize_t count = read(0, buffer, capacity);
    if (count >= 0 || errno != EINTR) return static_cast<long>(count);
  }
}

// Static, like the pipe's reader: the buffer is 64 KiB.
LineReader Reader;

}  // namespace

bool StartLineEditor(const std::vector<std::string>&, int) {
  StartLineReader(Reader, {ReadTerminal, nullptr});
  return true;
}

ReadOutcome ReadTypedLine(TypedLine& line) {
  std::fputs(kPrompt, stdout);
  std::fflush(stdout);
  InputLine input{};
  const ReadOutcome outcome = ReadNextLine(Reader, input);
  if (outcome == ReadOutcome::Failed) errno = Reader.error;
  if (outcome == ReadOutcome::End) {
    std::fputc('\n', stdout);
    std::fflush(stdout);
  }
  if (outcome == ReadOutcome::Line) line = {input.kind, std::string(input.text)};
  return outcome;
}

void RecallLater(const std::string&) {}

void StopLineEditor() {}
