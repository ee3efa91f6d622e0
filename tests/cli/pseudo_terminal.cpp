#include "tests/cli/pseudo_terminal.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>

namespace {

using Clock = std::chrono::steady_clock;

int MillisecondsLeft(Clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
  return left > 0 ? static_cast<int>(left) : 0;
}

// In the child: makes the terminal named path its controlling terminal and
// its standard streams, then runs the program. Never returns.
[[noreturn]] void RunAtTerminal(const char* path, int outputPipe, std::vector<char*>& argv,
                                std::vector<char*>& environment) {
  setsid();
  const int terminal = open(path, O_RDWR);
  if (terminal < 0) _exit(126);
  ioctl(terminal, TIOCSCTTY, 0);
  dup2(terminal, 0);
  dup2(outputPipe >= 0 ? outputPipe : terminal, 1);
  dup2(terminal, 2);
  if (terminal > 2) close(terminal);
  if (outputPipe > 2) close(outputPipe);
  execve(argv[0], argv.data(), environment.data());
  _exit(127);
}

std::vector<char*> PointersTo(const std::vector<std::string>& texts) {
  std::vector<char*> pointers;
  for (const std::string& text : texts) pointers.push_back(const_cast<char*>(text.c_str()));
  pointers.push_back(nullptr);
  return pointers;
}

}  // namespace

TerminalSession::TerminalSession(const std::string& program, const std::vector<std::string>& arguments,
                                 const std::vector<std::string>& environment, bool outputToPipe) {
  terminal_ = posix_openpt(O_RDWR | O_NOCTTY);
  if (terminal_ < 0 || grantpt(terminal_) != 0 || unlockpt(terminal_) != 0) return;
  const char* name = ptsname(terminal_);
  if (name == nullptr) return;
  const std::string path = name;
  // A size, so that the line editor knows where lines wrap.
  winsize size{};
  size.ws_row = 24;
  size.ws_col = 80;
  int ends[2] = {-1, -1};
  if (outputToPipe && pipe(ends) != 0) return;
  std::vector<std::string> words{program};
  words.insert(words.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv = PointersTo(words);
  std::vector<char*> environmentPointers = PointersTo(environment);
  std::fflush(nullptr);
  child_ = fork();
  if (child_ == 0) {
    close(terminal_);
    if (ends[0] >= 0) close(ends[0]);
    const int slave = open(path.c_str(), O_RDWR | O_NOCTTY);
    if (slave >= 0) ioctl(slave, TIOCSWINSZ, &size);
    RunAtTerminal(path.c_str(), ends[1], argv, environmentPointers);
  }
  if (ends[1] >= 0) close(ends[1]);
  pipe_ = ends[0];
}

TerminalSession::~TerminalSession() {
  if (child_ > 0) {
    kill(child_, SIGKILL);
    waitpid(child_, nullptr, 0);
  }
  if (terminal_ >= 0) close(terminal_);
  if (pipe_ >= 0) close(pipe_);
}

void TerminalSession::Type(const std::string& keys) {
  std::size_t sent = 0;
  while (sent < keys.size()) {
    const ssize_t count = write(terminal_, keys.data() + sent, keys.size() - sent);
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) return;
    sent += static_cast<std::size_t>(count);
  }
}

bool TerminalSession::ReadAvailable(int milliseconds) {
  pollfd entries[2] = {{terminal_, POLLIN, 0}, {pipe_, POLLIN, 0}};
  if (poll(entries, pipe_ >= 0 ? 2 : 1, milliseconds) < 0) return errno == EINTR;
  char buffer[4096];
  if (pipe_ >= 0 && entries[1].revents != 0) {
    const ssize_t count = read(pipe_, buffer, sizeof buffer);
    if (count > 0) {
      piped_.append(buffer, static_cast<std::size_t>(count));
    } else {
      close(pipe_);  // the program closed its output
      pipe_ = -1;
    }
  }
  if (entries[0].revents == 0) return true;
  const ssize_t count = read(terminal_, buffer, sizeof buffer);
  // Linux reports EIO once every process has closed the terminal.
  if (count <= 0) return false;
  screen_.append(buffer, static_cast<std::size_t>(count));
  return true;
}

bool TerminalSession::WaitFor(const std::string& text, int deadlineMilliseconds) {
  const auto deadline = Clock::now() + std::chrono::milliseconds(deadlineMilliseconds);
  for (;;) {
    const std::size_t found = screen_.find(text, seen_);
    if (found != std::string::npos) {
      seen_ = found + text.size();
      return true;
    }
    const int left = MillisecondsLeft(deadline);
    if (left == 0 || !ReadAvailable(left)) return screen_.find(text, seen_) != std::string::npos;
  }
}

int TerminalSession::WaitForExit(int deadlineMilliseconds) {
  if (child_ <= 0) return status_;
  const auto deadline = Clock::now() + std::chrono::milliseconds(deadlineMilliseconds);
  int status = 0;
  // Reading keeps the program from blocking on a full terminal or pipe
  // while it ends; each round waits for output or a short poll interval.
  while (waitpid(child_, &status, WNOHANG) != child_) {
    const int left = MillisecondsLeft(deadline);
    if (left == 0) return -1;
    ReadAvailable(left < 20 ? left : 20);
  }
  child_ = -1;
  status_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  // What it wrote last: the terminal until it has nothing more, the pipe
  // to its end.
  for (pollfd entry{terminal_, POLLIN, 0}; poll(&entry, 1, 0) > 0 && ReadAvailable(0);) {
  }
  char buffer[4096];
  ssize_t count = 0;
  while (pipe_ >= 0 && (count = read(pipe_, buffer, sizeof buffer)) > 0) {
    piped_.append(buffer, static_cast<std::size_t>(count));
  }
  return status_;
}
