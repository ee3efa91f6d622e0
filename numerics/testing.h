#pragma once
// Hooks for tests and measurements of the numerics library. Not for the
// calculator itself.

namespace numerics::testing {

// How many results so far needed a slow, precise path because the fast one
// could not decide the rounding.
unsigned long long SlowPathCount();

}  // namespace numerics::testing
