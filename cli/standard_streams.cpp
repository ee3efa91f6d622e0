#include "cli/standard_streams.h"

#include <cerrno>
#include <climits>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#else
#include <poll.h>
#include <unistd.h>
#endif

namespace {

constexpr int kInput = 0;
constexpr int kOutput = 1;

#ifdef _WIN32

// _read and _write take an unsigned count and return an int.
constexpr std::size_t kLargestTransfer = INT_MAX;

unsigned Clamp(std::size_t size) {
  return static_cast<unsigned>(size > kLargestTransfer ? kLargestTransfer : size);
}

long ReadInput(void*, char* buffer, std::size_t capacity) { return _read(kInput, buffer, Clamp(capacity)); }

long WriteOutput(void*, const char* bytes, std::size_t size) { return _write(kOutput, bytes, Clamp(size)); }

#else

// Repeats transfer, a read or write on fd, while the system interrupts it or
// fd is not ready for `events`: a parent may hand over a descriptor in
// non-blocking mode, and waiting keeps that from reading as an error.
template <typename Transfer>
long TransferWhenReady(int fd, short events, Transfer transfer) {
  for (;;) {
    const ssize_t count = transfer();
    if (count >= 0) return static_cast<long>(count);
    if (errno == EAGAIN || errno == EWOULDBLOCK) {
      pollfd entry{fd, events, 0};
      while (poll(&entry, 1, -1) < 0 && errno == EINTR) {
      }
    } else if (errno != EINTR) {
      return -1;
    }
  }
}

long ReadInput(void*, char* buffer, std::size_t capacity) {
  return TransferWhenReady(kInput, POLLIN, [&] { return read(kInput, buffer, capacity); });
}

long WriteOutput(void*, const char* bytes, std::size_t size) {
  return TransferWhenReady(kOutput, POLLOUT, [&] { return write(kOutput, bytes, size); });
}

#endif

}  // namespace

void PrepareStandardStreams() {
#ifdef _WIN32
  if (!StandardInputIsTerminal()) _setmode(kInput, _O_BINARY);
#endif
}

bool StandardInputIsTerminal() {
#ifdef _WIN32
  return _isatty(kInput) != 0;
#else
  return isatty(kInput) != 0;
#endif
}

ByteSource StandardInput() { return {ReadInput, nullptr}; }

ByteSink StandardOutput() { return {WriteOutput, nullptr}; }

int CloseStandardOutput() {
#ifdef _WIN32
  const int result = _close(kOutput);
#else
  const int result = close(kOutput);
#endif
  return result == 0 ? 0 : errno;
}
