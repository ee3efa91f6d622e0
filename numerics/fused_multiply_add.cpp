// Whether this processor has the fused multiply-add (see
// numerics/internal/fused_multiply_add.h), looked at once at start-up.

#include "numerics/internal/fused_multiply_add.h"

#include "numerics/testing.h"

namespace numerics {
namespace {

bool ProcessorHasFusedMultiplyAdd() {
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
  // Checks the operating system's support of the registers as well.
  __builtin_cpu_init();
  return __builtin_cpu_supports("fma") != 0;
#else
  return false;
#endif
}

const bool processorHasFusedMultiplyAdd = ProcessorHasFusedMultiplyAdd();

}  // namespace

// Dynamically initialised: a function called from another file's start-up
// code before this runs sees false and takes Dekker's method.
bool internal::hasFusedMultiplyAdd = processorHasFusedMultiplyAdd;

bool testing::UseFusedMultiplyAdd(bool use) {
  internal::hasFusedMultiplyAdd = use && processorHasFusedMultiplyAdd;
  return internal::hasFusedMultiplyAdd;
}

}  // namespace numerics
