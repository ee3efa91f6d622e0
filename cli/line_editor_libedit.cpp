// Typed lines through libedit: emacs-style editing, the arrows through the
// recalled lines, Ctrl+R incremental search, and the user's ~/.editrc.

#include <histedit.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <cwchar>

#include "cli/line_editor.h"

namespace {

constexpr int kTerminal = 0;
constexpr wchar_t kEscape = 0x1B;
constexpr wchar_t kEndOfInput = 0x04;  // Ctrl+D: the end of input on an empty line
// An Escape that no other byte follows within this time was a key of its
// own, not the start of an arrow's or function key's sequence. Terminals
// send a sequence in one write, so the rest of it is there at once; 100 ms
// is the value full-screen editors use for the same question.
constexpr int kLoneEscapeMilliseconds = 100;

EditLine* Editor = nullptr;   // the line editor; null outside Start/Stop
History* Recalled = nullptr;  // the lines Up and Down walk through

char* PromptText(EditLine*) { return const_cast<char*>(kPrompt); }

bool LineIsEmpty(EditLine* editor) {
  const LineInfoW* line = el_wline(editor);
  return line == nullptr || line->buffer == line->lastchar;
}

bool MoreInputWithin(int milliseconds) {
  pollfd entry{kTerminal, POLLIN, 0};
  int ready = 0;
  while ((ready = poll(&entry, 1, milliseconds)) < 0 && errno == EINTR) {
  }
  return ready > 0;
}

// Reads one byte of the terminal, repeating reads the system interrupted.
// Returns 1, 0 at the end of input, -1 with errno set on failure.
int ReadByte(char& byte) {
  for (;;) {
    const ssize_t count = read(kTerminal, &byte, 1);
    if (count >= 0) return static_cast<int>(count);
    if (errno != EINTR) return -1;
  }
}

// libedit's character source: one character decoded from the terminal's
// bytes in the locale's encoding. An Escape alone on an empty line reads as
// Ctrl+D, so that it ends the input as the window's Escape in an empty box
// ends the window. Returns 1 with *character set, 0 at the end of input, -1
// on a failed read.
int ReadCharacter(EditLine* editor, wchar_t* character) {
  std::mbstate_t state{};
  for (;;) {
    char byte = 0;
    const int count = ReadByte(byte);
    if (count <= 0) return count;
    wchar_t decoded = 0;
    const std::size_t length = std::mbrtowc(&decoded, &byte, 1, &state);
    if (length == static_cast<std::size_t>(-2)) continue;  // more bytes of the character follow
    if (length == static_cast<std::size_t>(-1)) {
      decoded = 0xFFFD;  // a byte the encoding does not have
      state = std::mbstate_t{};
    }
    if (decoded == kEscape && LineIsEmpty(editor) && !MoreInputWithin(kLoneEscapeMilliseconds)) {
      decoded = kEndOfInput;
    }
    *character = decoded;
    return 1;
  }
}

void Remember(const char* text) {
  HistEvent event;
  history(Recalled, &event, H_ENTER, text);
}

}  // namespace

bool StartLineEditor(const std::vector<std::string>& recall, int recallLimit) {
  Editor = el_init("quillo-cli", stdin, stdout, stderr);
  Recalled = history_init();
  if (Editor == nullptr || Recalled == nullptr) {
    StopLineEditor();
    return false;
  }
  HistEvent event;
  history(Recalled, &event, H_SETSIZE, recallLimit > 0 ? recallLimit : 1);
  for (const std::string& text : recall) Remember(text.c_str());
  el_set(Editor, EL_EDITOR, "emacs");
  el_set(Editor, EL_PROMPT, PromptText);
  el_set(Editor, EL_HIST, history, Recalled);
  // libedit restores the terminal before a signal ends the program, and
  // redraws the line when the window changes size.
  el_set(Editor, EL_SIGNAL, 1);
  el_set(Editor, EL_GETCFN, ReadCharacter);
  // libedit's emacs map leaves Ctrl+R to redrawing; shells search with it.
  el_set(Editor, EL_BIND, "^R", "em-inc-search-prev", nullptr);
  // The user's own bindings (~/.editrc or $EDITRC) come last and win.
  el_source(Editor, nullptr);
  return true;
}

ReadOutcome ReadTypedLine(TypedLine& line) {
  int count = 0;
  errno = 0;
  // libedit shows the prompt first and takes the terminal out of its line
  // mode only at the first key: a key pressed in between would be echoed
  // and edited by the terminal itself (Backspace, Ctrl+D). Preparing the
  // terminal first closes that gap.
  el_set(Editor, EL_PREP_TERM, 1);
  const char* text = el_gets(Editor, &count);
  if (text == nullptr || count <= 0) {
    if (count < 0 && errno != 0) return ReadOutcome::Failed;
    // Ctrl+D leaves the cursor after the prompt: the shell's prompt
    // belongs on a line of its own.
    std::fputc('\n', stdout);
    std::fflush(stdout);
    return ReadOutcome::End;
  }
  std::size_t length = std::strlen(text);
  while (length > 0 && (text[length - 1] == '\n' || text[length - 1] == '\r')) --length;
  if (length > static_cast<std::size_t>(kExpressionMaxLength)) {
    line = {LineKind::TooLong, {}};
  } else {
    line = {LineKind::Text, std::string(text, length)};
  }
  return ReadOutcome::Line;
}

void RecallLater(const std::string& text) { Remember(text.c_str()); }

void StopLineEditor() {
  if (Editor != nullptr) el_end(Editor);
  if (Recalled != nullptr) history_end(Recalled);
  Editor = nullptr;
  Recalled = nullptr;
}
