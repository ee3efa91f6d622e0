// The numerics library's functions timed against the C library's, on typical
// arguments: for every function a pair of rows, ours then the C library's,
// each printing ns per call; our rows also carry `vs_libc`, our CPU time
// over the C library's, both timed within our row. Then the slowest
// arguments: known hard cases that take the slow path, each timed on its own
// (`slow_path`).
//
//   build/bin/numerics-bench --benchmark_repetitions=3
//
// Before timing, every function is checked on its arguments: ours must agree
// with the C library within one ulp (a sanity check free of MPFR, the
// reference tests check the last bit); the benchmark stops otherwise.

#include <benchmark/benchmark.h>

#include <time.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <numbers>
#include <string>
#include <vector>

#include "numerics/numerics.h"
#include "numerics/testing.h"
#include "tests/support/fixed_random.h"

namespace {

constexpr int kArguments = 4096;  // a power of two, so the index wraps with a mask

// Results go through a volatile store, which the compiler cannot drop.
volatile double sink;

struct Pair {
  double first;
  double second;
};

using fixed_random::Generator;

// |x| log-uniform in [low, high], random sign.
double LogUniform(Generator& random, double low, double high) {
  const double x = low * std::exp2(random.Unit() * std::log2(high / low));
  return (random.Next() & 1) != 0 ? -x : x;
}

std::vector<Pair> Arguments(double (*draw)(Generator&)) {
  Generator random{0xBE7C4u};
  std::vector<Pair> arguments(kArguments);
  for (Pair& argument : arguments) argument = {draw(random), draw(random)};
  return arguments;
}

using Unary = double (*)(double);
using Binary = double (*)(double, double);

struct Case {
  std::string name;     // function and argument range
  Unary ours;
  Unary library;
  Binary oursBinary;    // Power
  Binary libraryBinary;
  double (*draw)(Generator&);
  double (*drawExponent)(Generator&) = nullptr;  // Power's second argument
};

double LibraryCotangent(double x) { return 1.0 / std::tan(x); }
double LibrarySecant(double x) { return 1.0 / std::cos(x); }
double LibraryCosecant(double x) { return 1.0 / std::sin(x); }
double LibraryArccotangent(double x) { return std::numbers::pi / 2 - std::atan(x); }
// The same without the cancellation of pi/2 - atan x for large x, for the
// sanity check.
double AccurateLibraryArccotangent(double x) {
  return x > 0.0 ? std::atan(1.0 / x) : std::numbers::pi + std::atan(1.0 / x);
}
double LibraryDegreesToRadians(double x) { return x * (std::numbers::pi / 180.0); }
double LibraryRadiansToDegrees(double x) { return x * (180.0 / std::numbers::pi); }
double LibrarySine(double x) { return std::sin(x); }
double LibraryCosine(double x) { return std::cos(x); }
double LibraryTangent(double x) { return std::tan(x); }
double LibraryArctangent(double x) { return std::atan(x); }
double LibraryArcsine(double x) { return std::asin(x); }
double LibraryArccosine(double x) { return std::acos(x); }
double LibraryExponential(double x) { return std::exp(x); }
double LibraryNaturalLogarithm(double x) { return std::log(x); }
double LibraryDecimalLogarithm(double x) { return std::log10(x); }
double LibraryPower(double x, double y) { return std::pow(x, y); }

double Large(Generator& random) { return random.Between(1.0, 1e6); }
double Circle(Generator& random) { return random.Between(-std::numbers::pi, std::numbers::pi); }
double Wide(Generator& random) { return LogUniform(random, 1e-10, 1e10); }
double UnitInterval(Generator& random) { return random.Between(-1.0, 1.0); }
double Degrees(Generator& random) { return random.Between(-720.0, 720.0); }
double ExponentRange(Generator& random) { return random.Between(-700.0, 700.0); }
// 2^-996 .. 2^996, log-uniform: 1e300 / 1e-300 itself would overflow.
double Positive(Generator& random) { return std::exp2(random.Between(-996.0, 996.0)); }
double Base(Generator& random) { return random.Between(0.1, 100.0); }
double PowerExponent(Generator& random) { return random.Between(-30.0, 30.0); }
// The exponents a calculator sees most: whole numbers.
double IntegerExponent(Generator& random) { return std::round(random.Between(-30.0, 30.0)); }

std::vector<Case> Cases() {
  return {
      {"sin [1,1e6]", numerics::Sine, LibrarySine, nullptr, nullptr, Large},
      {"sin [-pi,pi]", numerics::Sine, LibrarySine, nullptr, nullptr, Circle},
      {"cos [1,1e6]", numerics::Cosine, LibraryCosine, nullptr, nullptr, Large},
      {"cos [-pi,pi]", numerics::Cosine, LibraryCosine, nullptr, nullptr, Circle},
      {"tan [1,1e6]", numerics::Tangent, LibraryTangent, nullptr, nullptr, Large},
      {"tan [-pi,pi]", numerics::Tangent, LibraryTangent, nullptr, nullptr, Circle},
      {"cot [1,1e6]", numerics::Cotangent, LibraryCotangent, nullptr, nullptr, Large},
      {"cot [-pi,pi]", numerics::Cotangent, LibraryCotangent, nullptr, nullptr, Circle},
      {"sec [1,1e6]", numerics::Secant, LibrarySecant, nullptr, nullptr, Large},
      {"sec [-pi,pi]", numerics::Secant, LibrarySecant, nullptr, nullptr, Circle},
      {"csc [1,1e6]", numerics::Cosecant, LibraryCosecant, nullptr, nullptr, Large},
      {"csc [-pi,pi]", numerics::Cosecant, LibraryCosecant, nullptr, nullptr, Circle},
      {"atan ±[1e-10,1e10]", numerics::Arctangent, LibraryArctangent, nullptr, nullptr, Wide},
      {"acot ±[1e-10,1e10]", numerics::Arccotangent, LibraryArccotangent, nullptr, nullptr, Wide},
      {"asin [-1,1]", numerics::Arcsine, LibraryArcsine, nullptr, nullptr, UnitInterval},
      {"acos [-1,1]", numerics::Arccosine, LibraryArccosine, nullptr, nullptr, UnitInterval},
      {"rad [-720,720]", numerics::DegreesToRadians, LibraryDegreesToRadians, nullptr, nullptr, Degrees},
      {"grad [-pi,pi]", numerics::RadiansToDegrees, LibraryRadiansToDegrees, nullptr, nullptr, Circle},
      {"exp [-700,700]", numerics::Exponential, LibraryExponential, nullptr, nullptr, ExponentRange},
      {"ln [2^-996,2^996]", numerics::NaturalLogarithm, LibraryNaturalLogarithm, nullptr, nullptr, Positive},
      {"lg [2^-996,2^996]", numerics::DecimalLogarithm, LibraryDecimalLogarithm, nullptr, nullptr, Positive},
      {"pow [0.1,100]^[-30,30]", nullptr, nullptr, numerics::Power, LibraryPower, Base, PowerExponent},
      {"pow [0.1,100]^{-30..30}", nullptr, nullptr, numerics::Power, LibraryPower, Base, IntegerExponent},
  };
}

// Whole doubles apart, counting across zero.
double UlpsApart(double a, double b) {
  if (std::isnan(a) || std::isnan(b)) return std::isnan(a) && std::isnan(b) ? 0.0 : HUGE_VAL;
  if (a == b) return 0.0;
  auto ordered = [](double x) {
    int64_t bits = 0;
    __builtin_memcpy(&bits, &x, sizeof bits);
    return bits < 0 ? -(bits & INT64_MAX) : bits;
  };
  return std::fabs(static_cast<double>(ordered(a) - ordered(b)));
}

std::vector<Pair> ArgumentsOf(const Case& c) {
  std::vector<Pair> arguments = Arguments(c.draw);
  if (c.oursBinary != nullptr) {
    Generator random{0xE4C0u};
    for (Pair& argument : arguments) argument.second = c.drawExponent(random);
  }
  return arguments;
}

// Ours within one ulp of the C library on every argument, or the program
// stops with the first disagreement.
void CheckAgainstLibrary(const Case& c) {
  for (const Pair& argument : ArgumentsOf(c)) {
    const double ours = c.ours != nullptr ? c.ours(argument.first) : c.oursBinary(argument.first, argument.second);
    const Unary accurate = c.library == LibraryArccotangent ? AccurateLibraryArccotangent : c.library;
    const double library =
        accurate != nullptr ? accurate(argument.first) : c.libraryBinary(argument.first, argument.second);
    if (UlpsApart(ours, library) > 1.0) {
      std::fprintf(stderr, "%s(%a, %a): ours %a, C library %a\n", c.name.c_str(), argument.first, argument.second,
                   ours, library);
      std::exit(1);
    }
  }
}

// Calls the case's function (ours or the C library's) on the arguments in
// turn, once per step of the loop; the result goes to the volatile sink.
template <typename Loop>
void CallInTurn(const Case& c, bool ours, const std::vector<Pair>& arguments, Loop&& loop) {
  const Unary unary = ours ? c.ours : c.library;
  const Binary binary = ours ? c.oursBinary : c.libraryBinary;
  size_t i = 0;
  for ([[maybe_unused]] auto _ : loop) {
    sink = unary != nullptr ? unary(arguments[i].first) : binary(arguments[i].first, arguments[i].second);
    i = (i + 1) & (kArguments - 1);
  }
}

// A loop of a given count, for timing outside the benchmark's own loop.
struct CountedLoop {
  struct Step {
    benchmark::IterationCount left;
    bool operator!=(const Step& end) const { return left != end.left; }
    Step& operator++() {
      --left;
      return *this;
    }
    int operator*() const { return 0; }
  };
  benchmark::IterationCount count;
  Step begin() const { return {count}; }
  Step end() const { return {0}; }
};

// This thread's CPU time in seconds: unlike wall time, it does not count the
// time other processes of a busy machine take.
double ThreadCpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Our CPU time over the C library's for as many calls as the row made,
// the two taking turns, one pass over the arguments each: a machine whose
// speed drifts (other processes, other virtual machines on the same host)
// slows both alike, unlike two long runs one after the other.
double RatioTakingTurns(const Case& c, const std::vector<Pair>& arguments, benchmark::IterationCount calls) {
  double ours = 0.0;
  double library = 0.0;
  for (benchmark::IterationCount done = 0; done < calls; done += kArguments) {
    const double started = ThreadCpuSeconds();
    CallInTurn(c, true, arguments, CountedLoop{kArguments});
    const double oursEnded = ThreadCpuSeconds();
    CallInTurn(c, false, arguments, CountedLoop{kArguments});
    library += ThreadCpuSeconds() - oursEnded;
    ours += oursEnded - started;
  }
  return library > 0.0 ? ours / library : 0.0;
}

// Rows report the CPU time per call. Our row then carries `vs_libc`, the
// two functions timed taking turns at the same moment, whatever the
// repetitions.
void RegisterCase(const Case& c) {
  const auto arguments = std::make_shared<std::vector<Pair>>(ArgumentsOf(c));
  benchmark::RegisterBenchmark((c.name + " libc").c_str(), [c, arguments](benchmark::State& state) {
    CallInTurn(c, false, *arguments, state);
  });
  benchmark::RegisterBenchmark((c.name + " ours").c_str(), [c, arguments](benchmark::State& state) {
    CallInTurn(c, true, *arguments, state);
    state.counters["vs_libc"] = RatioTakingTurns(c, *arguments, state.iterations());
  });
}

// Arguments that take the slow path (neither the fast path nor, where there
// is one, the accurate one can decide their rounding): the
// slowest calls there are.
struct SlowCase {
  const char* name;
  Unary function;
  double argument;
};

// (2^18 - 1)^3, an odd number between 2^53 and 2^54, is a midpoint between
// two doubles: only the slow path can round it.
double CubeOfMidpointRoot(double x) { return numerics::Power(x, 3.0); }

const SlowCase kSlowCases[] = {
    {"sin", numerics::Sine, 0x1.943f3c536d6e7p-24},
    {"cos", numerics::Cosine, 0x1.1a9dc8f6df103p-24},
    {"tan", numerics::Tangent, 0x1.fdaa9d61dc898p-21},
    {"atan", numerics::Arctangent, 0x1.a2fecc163762ap+48},
    {"asin", numerics::Arcsine, 0x1.e4125fbdabdccp-2},
    {"acos", numerics::Arccosine, -0x1.7e72cece675d3p-45},
    {"sec", numerics::Secant, 0x1.854bfb363dc2dp-24},
    {"cot", numerics::Cotangent, -0x1.90330c39b5211p+672},
    {"csc", numerics::Cosecant, 0x1.3320d2e1c0648p-18},
    {"acot", numerics::Arccotangent, -0x1.12174c5d51f7cp+45},
    {"rad", numerics::DegreesToRadians, 0x0.54e7fd97f0b0bp-1022},
    {"grad", numerics::RadiansToDegrees, 0x1.1df46a2529d38p+1018},
    {"exp", numerics::Exponential, 0x1.00b0912ce38dep-1},
    {"pow", CubeOfMidpointRoot, 262143.0},
    {"ln", numerics::NaturalLogarithm, 0x1.0000000000006p+0},
    {"lg", numerics::DecimalLogarithm, 0x1.0053f6f81981bp+0},
};


void RegisterSlowCases() {
  for (const SlowCase& c : kSlowCases) {
    const unsigned long long before = numerics::testing::SlowPathCount();
    sink = c.function(c.argument);
    if (numerics::testing::SlowPathCount() == before) {
      std::fprintf(stderr, "%s(%a) no longer takes the slow path\n", c.name, c.argument);
      std::exit(1);
    }
    char name[96];
    std::snprintf(name, sizeof name, "slow_path %s(%a)", c.name, c.argument);
    benchmark::RegisterBenchmark(name, [c](benchmark::State& state) {
      volatile double argument = c.argument;
      for (auto _ : state) sink = c.function(argument);
    })->Unit(benchmark::kMicrosecond);
  }
}

}  // namespace

int main(int argc, char** argv) {
  for (const Case& c : Cases()) {
    CheckAgainstLibrary(c);
    RegisterCase(c);
  }
  RegisterSlowCases();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
