#pragma once
// A program run at a pseudo-terminal, as a person at a terminal runs it: the
// test types keys and waits for text to appear on the screen, each wait
// bounded by a deadline, never for a fixed time.

#include <string>
#include <vector>

// What a test waits for at most: generous, since a busy machine may be slow,
// and only a failing test ever waits this long.
inline constexpr int kScreenDeadlineMilliseconds = 20000;

class TerminalSession {
 public:
  // Starts program with arguments at a new 80x24 terminal, in a session of
  // its own, with environment as its whole environment ("NAME=value").
  // With outputToPipe, its standard output goes to a pipe the session
  // reads instead of the terminal (standard error stays on the terminal).
  TerminalSession(const std::string& program, const std::vector<std::string>& arguments,
                  const std::vector<std::string>& environment, bool outputToPipe = false);
  // Kills the program if it still runs.
  ~TerminalSession();
  TerminalSession(const TerminalSession&) = delete;
  TerminalSession& operator=(const TerminalSession&) = delete;

  bool Started() const { return child_ > 0; }

  // Sends keys as the terminal would: "\r" is Enter, "\x1b[A" the Up arrow.
  void Type(const std::string& keys);

  // Waits until text appears in what the program wrote after the end of the
  // last text waited for; true when it did before the deadline. The next
  // wait looks only after it.
  bool WaitFor(const std::string& text, int deadlineMilliseconds = kScreenDeadlineMilliseconds);

  // Waits for the program to end, reading what it writes meanwhile; its exit
  // status, or -1 when it did not exit normally before the deadline.
  int WaitForExit(int deadlineMilliseconds = kScreenDeadlineMilliseconds);

  // Everything the program wrote to the terminal and, with outputToPipe,
  // everything it wrote to the pipe.
  const std::string& Screen() const { return screen_; }
  const std::string& PipedOutput() const { return piped_; }

 private:
  // Reads what is ready within the milliseconds given; false when nothing
  // more will come.
  bool ReadAvailable(int milliseconds);

  int terminal_ = -1;  // the controlling side of the pseudo-terminal
  int pipe_ = -1;      // the reading end of the program's standard output, or -1
  int child_ = -1;     // the program's process id; -1 once it has been waited for
  int status_ = -1;
  std::string screen_;
  std::string piped_;
  std::size_t seen_ = 0;  // screen_ up to here was matched by a wait
};
