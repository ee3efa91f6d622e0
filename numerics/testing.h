#pragma once
// Hooks for tests and measurements of the numerics library. Not for the
// calculator itself.

namespace numerics::testing {

// How many results so far needed a slow, precise path because the fast one
// could not decide the rounding.
unsigned long long SlowPathCount();

// Whether the exact products use the processor's fused multiply-add (where
// it has one) or Dekker's method, so that tests can run both. Returns
// whether the fused one is now in use. Not thread-safe: call it while no
// other thread computes.
bool UseFusedMultiplyAdd(bool use);

}  // namespace numerics::testing
