#include "cli/output_buffer.h"

#include <cerrno>
#include <cstring>

namespace {

// Writes all of bytes to the sink; sets out.error on the first failure.
void WriteAll(OutputBuffer& out, const char* bytes, std::size_t size) {
  while (size > 0 && out.error == 0) {
    const long written = out.sink.write(out.sink.context, bytes, size);
    if (written <= 0) {
      out.error = written < 0 && errno != 0 ? errno : EIO;
      return;
    }
    bytes += written;
    size -= static_cast<std::size_t>(written);
  }
}

}  // namespace

void StartOutputBuffer(OutputBuffer& out, ByteSink sink) {
  out.sink = sink;
  out.used = 0;
  out.error = 0;
}

void PutText(OutputBuffer& out, std::string_view bytes) {
  if (bytes.size() > sizeof out.data - out.used) {
    FlushOutput(out);
    // A text larger than the whole buffer goes out in one piece.
    if (bytes.size() > sizeof out.data) {
      WriteAll(out, bytes.data(), bytes.size());
      return;
    }
  }
  if (out.error != 0) return;
  std::memcpy(out.data + out.used, bytes.data(), bytes.size());
  out.used += bytes.size();
}

void PutChar(OutputBuffer& out, char c) {
  if (out.used == sizeof out.data) FlushOutput(out);
  if (out.error != 0) return;
  out.data[out.used++] = c;
}

bool FlushOutput(OutputBuffer& out) {
  WriteAll(out, out.data, out.used);
  out.used = 0;
  return out.error == 0;
}
