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

// Where a program's standard output goes, other than into ProgramOutcome::out.
enum class OutputTarget {
  Captured,    // into ProgramOutcome::out
  DevFull,     // /dev/full: every write fails with ENOSPC
  ClosedPipe,  // a pipe whose reading end is closed, SIGPIPE ignored: every write fails with EPIPE
};

// RunProgram with standard output sent to target; out stays empty unless
// it is Captured.
ProgramOutcome RunProgramWithOutput(const std::string& program, const std::vector<std::string>& arguments,
                                    const std::string& input, OutputTarget target);

// The most memory the program held at once while running (its peak resident
// size), in KiB, with standard input from the file inputPath and its output
// dropped. Measured in a child process of its own so that no other program
// the test ran counts; -1 when it could not be measured.
long PeakMemoryOfProgram(const std::string& program, const std::vector<std::string>& arguments,
                         const std::string& inputPath);

// A program that runs beside the test with pipes to its standard input and
// from its standard output; its standard error is dropped.
struct Coprocess {
  int pid = -1;
  int input = -1;   // write end of the program's standard input
  int output = -1;  // read end of the program's standard output
};

Coprocess StartCoprocess(const std::string& program, const std::vector<std::string>& arguments);

// Writes text to the coprocess's standard input.
bool SendTo(const Coprocess& coprocess, const std::string& text);

// Reads the coprocess's output until it holds `lines` line ends, the output
// ends or timeoutMs passes; returns what was read.
std::string ReceiveLines(const Coprocess& coprocess, int lines, int timeoutMs);

// Closes its standard input, reads its output to the end and waits for the
// program; returns its exit status, -1
// when it did not exit normally.
int FinishCoprocess(Coprocess& coprocess);
