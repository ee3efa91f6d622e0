#include "bench/allocation_counter.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<std::uint64_t> allocationCount{0};

void CountAllocation() { allocationCount.fetch_add(1, std::memory_order_relaxed); }

}  // namespace

std::uint64_t AllocationCount() { return allocationCount.load(std::memory_order_relaxed); }

#if defined(__GLIBC__)

// The GNU C library lets a program replace malloc; the replacements forward
// to the library's own allocator under its internal names. The noexcept
// matches the library's declarations. operator new then
// reaches the counting malloc below and is counted once.
extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* pointer, std::size_t size);
void* __libc_memalign(std::size_t alignment, std::size_t size);
void __libc_free(void* pointer);

void* malloc(std::size_t size) noexcept {
  CountAllocation();
  return __libc_malloc(size);
}
void* calloc(std::size_t count, std::size_t size) noexcept {
  CountAllocation();
  return __libc_calloc(count, size);
}
void* realloc(void* pointer, std::size_t size) noexcept {
  CountAllocation();
  return __libc_realloc(pointer, size);
}
void free(void* pointer) noexcept { __libc_free(pointer); }
void* memalign(std::size_t alignment, std::size_t size) noexcept {
  CountAllocation();
  return __libc_memalign(alignment, size);
}
void* aligned_alloc(std::size_t alignment, std::size_t size) noexcept {
  CountAllocation();
  return __libc_memalign(alignment, size);
}
int posix_memalign(void** result, std::size_t alignment, std::size_t size) noexcept {
  CountAllocation();
  void* pointer = __libc_memalign(alignment, size);
  if (pointer == nullptr) return 12;  // ENOMEM
  *result = pointer;
  return 0;
}
}

bool CountsMalloc() { return true; }

namespace {
void* AllocateForNew(std::size_t size) { return std::malloc(size == 0 ? 1 : size); }
}  // namespace

#else

bool CountsMalloc() { return false; }

namespace {
void* AllocateForNew(std::size_t size) {
  CountAllocation();
  return std::malloc(size == 0 ? 1 : size);
}
}  // namespace

#endif

void* operator new(std::size_t size) {
  void* pointer = AllocateForNew(size);
  if (pointer == nullptr) throw std::bad_alloc();
  return pointer;
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return AllocateForNew(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return AllocateForNew(size); }
void operator delete(void* pointer) noexcept { std::free(pointer); }
void operator delete[](void* pointer) noexcept { std::free(pointer); }
void operator delete(void* pointer, std::size_t) noexcept { std::free(pointer); }
void operator delete[](void* pointer, std::size_t) noexcept { std::free(pointer); }
void operator delete(void* pointer, const std::nothrow_t&) noexcept { std::free(pointer); }
void operator delete[](void* pointer, const std::nothrow_t&) noexcept { std::free(pointer); }
