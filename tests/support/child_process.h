#pragma once
// Code and programs run in child processes, so a test can use real processes
// (a crash, an exit, another user) without ending itself.

#include <functional>
#include <string>
#include <vector>

// Runs body in a forked child and returns its exit code; -1 when the child
// did not exit normally (a signal, an abort).
int RunInChild(const std::function<int()>& body);

// The same as user "nobody" when the tests run as root, whom permission bits
// do not stop. The child exits with 100 when it cannot drop root.
int RunInChildAsNobody(const std::function<int()>& body);

struct ProgramOutcome {
  int status = -1;  // exit status; -1 when the program did not exit normally
  std::string out;  // standard output
  std::string err;  // standard error
};

// Runs program with arguments, input on its standard input and the given
// extra environment ("NAME=value" entries), and waits for it to end.
ProgramOutcome RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                          const std::string& input = "", const std::vector<std::string>& environment = {});
