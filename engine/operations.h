#pragma once
// The operators and functions the evaluator applies, as a table looked up by
// the exact text of an RPN item.

// The double nearest pi: the value of "pi" and an argument some functions refuse.
inline constexpr double kPi = 3.141592653589793;

struct Operation {
  const char* name;
  int operandCount;                     // 2 for operators, 1 for functions
  int tooFewMessage;                    // shown when the stack holds fewer operands
  bool (*refuses)(double a, double b);  // domain check, or nullptr; b unused by functions
  int refusalMessage;
  double (*compute)(double a, double b);
  bool tracesQueue;                     // "cos" sends the RPN trace each time it runs
};

// The operation named exactly `name` (case matters), or nullptr.
const Operation* FindOperation(const char* name);
