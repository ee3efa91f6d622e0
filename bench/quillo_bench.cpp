// Time per expression (CPU time, fastest of five repetitions) for the calculation alone, for the calculation and the
// five result texts, and for muparser (SetExpr, then Eval) on the same
// expressions; then our time over muparser's and the heap allocations per
// calculation.

#include <benchmark/benchmark.h>
#include <muParser.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "bench/allocation_counter.h"
#include "engine/calculate.h"
#include "format/result_format.h"

namespace {

struct BenchExpression {
  std::string label;
  std::string text;          // in Quillo's language
  std::string muparserText;  // the same in muparser's spelling; empty where muparser has no such operators
  double textsLimitNs;       // target for calculation and texts
};

// Targets for calculation plus texts: 1 µs for a short expression, 15 µs for
// the longest one; the 200-character chain is held to its share of the 15 µs.
constexpr double kShortLimitNs = 1000.0;
constexpr double kChain200LimitNs = 15000.0 * 200 / 999;
constexpr double kChain999LimitNs = 15000.0;

// "1+2*3-" repeated and closed by an operand, exactly `length` characters.
std::string Chain(std::size_t length) {
  const std::string piece = "1+2*3-";
  std::string chain;
  while (chain.size() + piece.size() < length) chain += piece;
  chain += "1";
  while (chain.size() < length) chain += "0";
  return chain;
}

std::vector<BenchExpression> Expressions() {
  // The operators used here mean the same in both languages ("^" is the power
  // in both), so muparser reads the same text.
  std::vector<BenchExpression> list = {
      {"2+3", "2+3", "", kShortLimitNs},
      {"1+2*3-4/5", "1+2*3-4/5", "", kShortLimitNs},
      {"(1+2)*(3+4)*(5+6)/(7+8)", "(1+2)*(3+4)*(5+6)/(7+8)", "", kShortLimitNs},
      {"sin(0.5)+cos(0.5)*sqrt(2)", "sin(0.5)+cos(0.5)*sqrt(2)", "", kShortLimitNs},
      {"2^10+3^2-1", "2^10+3^2-1", "", kShortLimitNs},
      {"chain of 200", Chain(200), "", kChain200LimitNs},
      {"chain of 999", Chain(999), "", kChain999LimitNs},
  };
  for (auto& expression : list) expression.muparserText = expression.text;
  // Integers only, on the exact path: hexadecimal literals and the bit
  // operators, which muparser does not have.
  list.push_back({"0xFF00FF & 0x0FF0 | 1<<12", "0xFF00FF & 0x0FF0 | 1<<12", "", kShortLimitNs});
  return list;
}

MessageTexts& BenchMessages() {
  static MessageTexts messages{};
  return messages;
}

ResultLines& BenchLines() {
  static ResultLines lines;
  return lines;
}

// Inputs are read and outputs written through volatile objects, so the
// optimiser can neither hoist the work out of the loop nor drop it.
volatile double resultSink;
volatile char textSink;

void CalculateOnce(const char* text) {
  EngineState& state = ProgramEngineState();
  SetExpression(state, text);
  CalculateExpression(state);
  resultSink = state.result;
}

void CalculateWithTexts(const char* text) {
  EngineState& state = ProgramEngineState();
  SetExpression(state, text);
  CalculateExpression(state);
  ComposeResultLines(state, BenchMessages(), BenchLines());
  resultSink = state.result;
  textSink = BenchLines().text[kFormExp][0];
}

void BenchCalculateWithTexts(benchmark::State& run, const std::string* text) {
  const char* volatile input = text->c_str();
  for (auto _ : run) CalculateWithTexts(input);
}

void BenchCalculate(benchmark::State& run, const std::string* text) {
  const char* volatile input = text->c_str();
  for (auto _ : run) CalculateOnce(input);
}

void BenchMuparser(benchmark::State& run, const std::string* text) {
  mu::Parser parser;
  for (auto _ : run) {
    parser.SetExpr(*text);
    resultSink = parser.Eval();
  }
}

// Quillo's value of text; false when the calculation failed.
bool QuilloValue(const std::string& text, double& value) {
  EngineState& state = ProgramEngineState();
  SetExpression(state, text.c_str());
  CalculateExpression(state);
  value = state.result;
  return state.tokenKind != TokenKind::Error;
}

bool MuparserValue(const std::string& text, double& value) {
  try {
    mu::Parser parser;
    parser.SetExpr(text);
    value = parser.Eval();
    return true;
  } catch (const mu::Parser::exception_type& error) {
    std::fprintf(stderr, "muparser refuses %s: %s\n", text.c_str(), error.GetMsg().c_str());
    return false;
  }
}

// Both calculators must agree (to 1e-12 relative: the power differs in the
// last bits) before either is timed.
bool CheckResults(const std::vector<BenchExpression>& list) {
  bool allAgree = true;
  for (const auto& expression : list) {
    double ours = 0, theirs = 0;
    if (expression.muparserText.empty()) {
      const bool ok = QuilloValue(expression.text, ours);
      std::printf("check %-28s quillo %.17g  (no muparser counterpart)  %s\n", expression.label.c_str(), ours,
                  ok ? "calculates" : "FAILS");
      allAgree = allAgree && ok;
      continue;
    }
    const bool ok = QuilloValue(expression.text, ours) && MuparserValue(expression.muparserText, theirs);
    const bool agree = ok && std::fabs(ours - theirs) <= 1e-12 * std::fabs(theirs);
    std::printf("check %-28s quillo %.17g  muparser %.17g  %s\n", expression.label.c_str(), ours, theirs,
                agree ? "same" : "DIFFERENT");
    allAgree = allAgree && agree;
  }
  return allAgree;
}

// Allocations of one run of `work`, averaged over many runs.
double AllocationsPerRun(void (*work)(const char*), const char* text) {
  constexpr int kRuns = 1000;
  work(text);  // anything allocated once on first use is not counted
  const std::uint64_t before = AllocationCount();
  for (int i = 0; i < kRuns; ++i) work(text);
  return static_cast<double>(AllocationCount() - before) / kRuns;
}

double MuparserAllocationsPerRun(const std::string& text) {
  constexpr int kRuns = 100;
  mu::Parser parser;
  const std::uint64_t before = AllocationCount();
  for (int i = 0; i < kRuns; ++i) {
    parser.SetExpr(text);
    resultSink = parser.Eval();
  }
  return static_cast<double>(AllocationCount() - before) / kRuns;
}

// Keeps the console output and notes the fastest repetition of each
// benchmark: on a shared machine the minimum is the least disturbed figure.
class CollectingReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.run_type != Run::RT_Aggregate || run.aggregate_name != "min") continue;
      // CPU time per iteration in nanoseconds, whatever unit the run uses.
      nanoseconds_[run.run_name.function_name] =
          run.GetAdjustedCPUTime() / benchmark::GetTimeUnitMultiplier(run.time_unit) * 1e9;
    }
    ConsoleReporter::ReportRuns(runs);
  }
  double Nanoseconds(const std::string& name) const {
    const auto found = nanoseconds_.find(name);
    return found == nanoseconds_.end() ? NAN : found->second;
  }

 private:
  std::map<std::string, double> nanoseconds_;
};

std::string Name(const char* kind, const BenchExpression& expression) {
  return std::string(kind) + "/" + expression.label;
}

constexpr int kRepetitions = 5;
constexpr double kMinSecondsPerRepetition = 0.2;

double Minimum(const std::vector<double>& values) { return *std::min_element(values.begin(), values.end()); }

void Register(const std::string& name, void (*bench)(benchmark::State&, const std::string*),
              const std::string* text) {
  benchmark::RegisterBenchmark(name.c_str(), bench, text)
      ->Repetitions(kRepetitions)
      ->MinTime(kMinSecondsPerRepetition)
      ->ComputeStatistics("min", Minimum)
      ->ReportAggregatesOnly(true);
}

void RegisterAll(const std::vector<BenchExpression>& list) {
  for (const auto& expression : list) {
    Register(Name("quillo_texts", expression), BenchCalculateWithTexts, &expression.text);
    Register(Name("quillo_calc", expression), BenchCalculate, &expression.text);
    if (!expression.muparserText.empty()) Register(Name("muparser", expression), BenchMuparser, &expression.muparserText);
  }
}

// The summary table with the targets: calculation at least 20 times faster
// than muparser, calculation and texts under 1 µs (15 µs for the long chain),
// no allocation. Returns true when every target is met.
bool PrintSummary(const std::vector<BenchExpression>& list, const CollectingReporter& reporter) {
  std::printf("\n%-28s %12s %12s %12s %9s %9s %11s %s\n", "expression", "calc+texts", "calc", "muparser",
              "ours/mu", "mu/ours", "allocs/calc", "targets (>=20x, texts limit, 0 allocs)");
  bool allMet = true;
  for (const auto& expression : list) {
    const double texts = reporter.Nanoseconds(Name("quillo_texts", expression));
    const double calc = reporter.Nanoseconds(Name("quillo_calc", expression));
    const double theirs = reporter.Nanoseconds(Name("muparser", expression));
    const double allocations = std::max(AllocationsPerRun(CalculateOnce, expression.text.c_str()),
                                        AllocationsPerRun(CalculateWithTexts, expression.text.c_str()));
    // A row without muparser is held to the texts limit and no allocation.
    const bool fastEnough = expression.muparserText.empty() || theirs / calc >= 20.0;
    const bool met = fastEnough && texts < expression.textsLimitNs && allocations == 0.0;
    allMet = allMet && met;
    std::printf("%-28s %9.1f ns %9.1f ns %9.1f ns %9.4f %8.1fx %11.2f %s (texts < %.0f ns)\n",
                expression.label.c_str(), texts, calc, theirs, calc / theirs, theirs / calc, allocations,
                met ? "met" : "MISSED", expression.textsLimitNs);
  }
  std::printf("(muparser allocates %.0f times per SetExpr+Eval of \"2+3\"; malloc %s counted)\n",
              MuparserAllocationsPerRun("2+3"), CountsMalloc() ? "is" : "is not");
  return allMet;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<BenchExpression> list = Expressions();
  if (!CheckResults(list)) {
    std::fprintf(stderr, "quillo-bench: the calculators disagree; nothing timed\n");
    return 1;
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 2;
  RegisterAll(list);
  CollectingReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return PrintSummary(list, reporter) ? 0 : 1;
}
