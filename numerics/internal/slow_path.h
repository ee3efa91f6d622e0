#pragma once
// The count behind numerics::testing::SlowPathCount(): each function calls
// CountSlowPath() once when its fast path leaves the rounding undecided.

namespace numerics::internal {

void CountSlowPath();

}  // namespace numerics::internal
