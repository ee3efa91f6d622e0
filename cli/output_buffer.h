#pragma once
// Output collected in one fixed-size buffer and handed on in large blocks:
// one write per block rather than one per result line. The first failed
// write is kept; from then on nothing more is written, so the caller can
// check once per result and stop.

#include <cstddef>
#include <string_view>

// Writes some of `size` bytes from `bytes`. Returns the count written (more
// than 0), or -1 with errno set when the write failed.
using WriteFunction = long (*)(void* context, const char* bytes, std::size_t size);

struct ByteSink {
  WriteFunction write;
  void* context;
};

inline constexpr std::size_t kOutputBufferCapacity = std::size_t{64} * 1024;

struct OutputBuffer {
  ByteSink sink;
  char data[kOutputBufferCapacity];
  std::size_t used;  // bytes of data waiting to be written; used <= kOutputBufferCapacity
  int error;         // errno of the first failed write; 0 while none failed
};

void StartOutputBuffer(OutputBuffer& out, ByteSink sink);

// Appends bytes, writing the buffer out whenever it fills.
void PutText(OutputBuffer& out, std::string_view bytes);
void PutChar(OutputBuffer& out, char c);

// Writes out everything buffered. False when this or an earlier write failed.
bool FlushOutput(OutputBuffer& out);
