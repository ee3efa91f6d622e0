#pragma once
// Counts the results that needed a slow path, for numerics/testing.h.

namespace numerics {

void CountSlowPath();

}  // namespace numerics
