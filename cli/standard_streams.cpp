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

// Waits until fd is ready for `events`. A parent may hand over a descriptor
// in non-blocking mode; waiting here keeps that from reading as an error.
void WaitUntilReady(int fd, short events) {
  pollfd entry{fd, events, 0};
  while (poll(&entry, 1, -1) < 0 && errno == EINTR) {
  }
}

long ReadInput(void*, char* buffer, std::size_t capacity) {
  for (;;) {
    const ssize_t count = read(kInput, buffer, capacity);
    if (count >= 0) return static_cast<long>(count);
    if (errno == EAGAIN || errno == EWOULDBLOCK) {
      WaitUntilReady(kInput, POLLIN);
    } else if (errno != EINTR) {
      return -1;
    }
  }
}

long WriteOutput(void*, const char* bytes, std::size_t size) {
  for (;;) {
    const ssize_t count = write(kOutput, bytes, size);
    if (count >= 0) return static_cast<long>(count);
    if (errno == EAGAIN || errno == EWOULDBLOCK) {
      WaitUntilReady(kOutput, POLLOUT);
    } else if (errno != EINTR) {
      return -1;
    }
  }
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
