#include "tests/support/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>

#include "tests/support/files.h"
#include "tests/support/temp_folder.h"

namespace {

int ExitStatusOf(pid_t child) {
  int status = 0;
  if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

// In the child: standard input from inPath, output and error into files.
void RedirectStandardStreams(const std::string& inPath, const std::string& outPath, const std::string& errPath) {
  const int in = open(inPath.c_str(), O_RDONLY);
  const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  if (in < 0 || out < 0 || err < 0) _exit(126);
  dup2(in, 0);
  dup2(out, 1);
  dup2(err, 2);
}

}  // namespace

int RunInChild(const std::function<int()>& body) {
  std::fflush(nullptr);  // nothing buffered may be written twice
  const pid_t child = fork();
  if (child == 0) _exit(body());
  return ExitStatusOf(child);
}

int RunInChildAsNobody(const std::function<int()>& body) {
  return RunInChild([&] {
    constexpr uid_t kNobody = 65534;
    if (getuid() == 0 && (setgid(kNobody) != 0 || setuid(kNobody) != 0)) return 100;
    return body();
  });
}

namespace {

// In the child: standard output as target asks, for the targets that are not
// a file to capture.
void RedirectOutput(OutputTarget target) {
  if (target == OutputTarget::DevFull) {
    const int full = open("/dev/full", O_WRONLY);
    if (full < 0) _exit(126);
    dup2(full, 1);
  } else if (target == OutputTarget::ClosedPipe) {
    int ends[2];
    if (pipe(ends) != 0) _exit(126);
    close(ends[0]);
    dup2(ends[1], 1);
    // An ignored signal stays ignored across exec.
    signal(SIGPIPE, SIG_IGN);
  }
}

std::vector<char*> ArgumentVector(const std::string& program, const std::vector<std::string>& arguments) {
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  return argv;
}

ProgramOutcome RunWith(const std::string& program, const std::vector<std::string>& arguments,
                       const std::string& input, const std::vector<std::string>& environment,
                       OutputTarget target) {
  // Output goes through files rather than pipes: no deadlock however much
  // the program writes, and nothing to poll.
  const TempFolder folder;
  const std::string inPath = folder / "in", outPath = folder / "out", errPath = folder / "err";
  WriteFile(inPath, input);
  std::vector<char*> argv = ArgumentVector(program, arguments);
  std::fflush(nullptr);
  const pid_t child = fork();
  if (child == 0) {
    RedirectStandardStreams(inPath, outPath, errPath);
    RedirectOutput(target);
    for (const std::string& entry : environment) putenv(const_cast<char*>(entry.c_str()));
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  ProgramOutcome outcome;
  outcome.status = ExitStatusOf(child);
  outcome.out = ReadFile(outPath);
  outcome.err = ReadFile(errPath);
  return outcome;
}

}  // namespace

ProgramOutcome RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                          const std::string& input, const std::vector<std::string>& environment) {
  return RunWith(program, arguments, input, environment, OutputTarget::Captured);
}

ProgramOutcome RunProgramWithOutput(const std::string& program, const std::vector<std::string>& arguments,
                                    const std::string& input, OutputTarget target) {
  return RunWith(program, arguments, input, {}, target);
}

long PeakMemoryOfProgram(const std::string& program, const std::vector<std::string>& arguments,
                         const std::string& inputPath) {
  // A child starts the program and sends back its children's peak. The
  // program's peak counts the pages it had before exec too, so the child
  // holds nothing large: the input comes from a file.
  std::vector<char*> argv = ArgumentVector(program, arguments);
  int ends[2];
  if (pipe(ends) != 0) return -1;
  const int status = RunInChild([&] {
    close(ends[0]);
    const pid_t child = fork();
    if (child == 0) {
      const int in = open(inputPath.c_str(), O_RDONLY);
      const int null = open("/dev/null", O_WRONLY);
      if (in < 0 || null < 0) _exit(126);
      dup2(in, 0);
      dup2(null, 1);
      dup2(null, 2);
      execv(program.c_str(), argv.data());
      _exit(127);
    }
    if (ExitStatusOf(child) < 0) return 1;
    rusage usage{};
    long peak = getrusage(RUSAGE_CHILDREN, &usage) == 0 ? usage.ru_maxrss : -1;
    return write(ends[1], &peak, sizeof peak) == static_cast<ssize_t>(sizeof peak) ? 0 : 1;
  });
  close(ends[1]);
  long peak = -1;
  if (status != 0 || read(ends[0], &peak, sizeof peak) != static_cast<ssize_t>(sizeof peak)) peak = -1;
  close(ends[0]);
  return peak;
}

Coprocess StartCoprocess(const std::string& program, const std::vector<std::string>& arguments) {
  Coprocess coprocess;
  int toChild[2], fromChild[2];
  if (pipe(toChild) != 0) return coprocess;
  if (pipe(fromChild) != 0) {
    close(toChild[0]);
    close(toChild[1]);
    return coprocess;
  }
  std::vector<char*> argv = ArgumentVector(program, arguments);
  std::fflush(nullptr);
  const pid_t child = fork();
  if (child == 0) {
    dup2(toChild[0], 0);
    dup2(fromChild[1], 1);
    const int null = open("/dev/null", O_WRONLY);
    if (null >= 0) dup2(null, 2);
    close(toChild[1]);
    close(fromChild[0]);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  close(toChild[0]);
  close(fromChild[1]);
  coprocess.pid = child;
  coprocess.input = toChild[1];
  coprocess.output = fromChild[0];
  return coprocess;
}

bool SendTo(const Coprocess& coprocess, const std::string& text) {
  return write(coprocess.input, text.data(), text.size()) == static_cast<ssize_t>(text.size());
}

std::string ReceiveLines(const Coprocess& coprocess, int lines, int timeoutMs) {
  std::string received;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (std::count(received.begin(), received.end(), '\n') < lines) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    pollfd entry{coprocess.output, POLLIN, 0};
    if (left.count() <= 0 || poll(&entry, 1, static_cast<int>(left.count())) <= 0) break;
    char chunk[4096];
    const ssize_t count = read(coprocess.output, chunk, sizeof chunk);
    if (count <= 0) break;
    received.append(chunk, static_cast<std::size_t>(count));
  }
  return received;
}

int FinishCoprocess(Coprocess& coprocess) {
  if (coprocess.input >= 0) close(coprocess.input);
  // What the program still writes is read and dropped, so it ends as it
  // would with a reader, not by SIGPIPE.
  char chunk[4096];
  while (coprocess.output >= 0 && read(coprocess.output, chunk, sizeof chunk) > 0) {
  }
  if (coprocess.output >= 0) close(coprocess.output);
  coprocess.input = coprocess.output = -1;
  const int status = ExitStatusOf(coprocess.pid);
  coprocess.pid = -1;
  return status;
}
