#include "tests/support/child_process.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

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

ProgramOutcome RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                          const std::string& input, const std::vector<std::string>& environment) {
  // Output goes through files rather than pipes: no deadlock however much
  // the program writes, and nothing to poll.
  const TempFolder folder;
  const std::string inPath = folder / "in", outPath = folder / "out", errPath = folder / "err";
  WriteFile(inPath, input);
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  std::fflush(nullptr);
  const pid_t child = fork();
  if (child == 0) {
    RedirectStandardStreams(inPath, outPath, errPath);
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
