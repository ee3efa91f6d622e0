#pragma once
// Counts the heap allocations of the whole program: the global operator new
// and, with the GNU C library, malloc and its relatives are replaced by
// counting versions.

#include <cstdint>

// Allocations made since the program started.
std::uint64_t AllocationCount();

// True when malloc itself is counted, not only operator new.
bool CountsMalloc();
