#include <atomic>

#include "numerics/internal/slow_path_count.h"
#include "numerics/testing.h"

namespace numerics {
namespace {

std::atomic<unsigned long long> slowPathCount{0};

}  // namespace

void CountSlowPath() { slowPathCount.fetch_add(1, std::memory_order_relaxed); }

unsigned long long testing::SlowPathCount() { return slowPathCount.load(std::memory_order_relaxed); }

}  // namespace numerics
