#pragma once
// Shared pieces of the fuzz targets: the libFuzzer entry point each target
// defines, and the check that turns a broken property into a crash so that
// both libFuzzer and the corpus replay report it.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

// Aborts with the property's description when it does not hold.
#define FUZZ_CHECK(condition)                                                                  \
  do {                                                                                         \
    if (!(condition)) {                                                                        \
      std::fprintf(stderr, "%s:%d: property failed: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                                            \
    }                                                                                          \
  } while (false)

// True when text holds a terminator within its first capacity bytes.
inline bool IsTerminatedWithin(const char* text, std::size_t capacity) {
  for (std::size_t i = 0; i < capacity; ++i) {
    if (text[i] == '\0') return true;
  }
  return false;
}
