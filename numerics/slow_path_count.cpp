// The count behind numerics::testing::SlowPathCount().

#include <atomic>

#include "numerics/internal/slow_path.h"
#include "numerics/testing.h"

namespace numerics {
namespace {

std::atomic<unsigned long long> slowPathCount{0};

}  // namespace

void internal::CountSlowPath() { slowPathCount.fetch_add(1, std::memory_order_relaxed); }

unsigned long long testing::SlowPathCount() { return slowPathCount.load(std::memory_order_relaxed); }

}  // namespace numerics
