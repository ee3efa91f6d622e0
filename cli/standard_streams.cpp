#include "cli/standard_streams.h"

#include <cerrno>
#include <climits>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <algorithm>
#include <cstring>
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

HANDLE OutputConsole() {
  const HANDLE handle = GetStdHandle(STD_OUTPUT_HANDLE);
  DWORD mode = 0;
  return handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode) ? handle : INVALID_HANDLE_VALUE;
}

// The bytes of a UTF-8 character that a block of output cut in two: they
// wait for the rest, which comes with the next block.
struct PendingCharacter {
  char bytes[4];
  std::size_t count;  // 0..3
};
PendingCharacter Pending{};

// How many bytes at the end of text begin a UTF-8 character that is not
// complete yet.
std::size_t IncompleteTail(const char* text, std::size_t size) {
  for (std::size_t back = 1; back <= 3 && back <= size; ++back) {
    const auto byte = static_cast<unsigned char>(text[size - back]);
    if ((byte & 0xC0) != 0x80) {
      const std::size_t needed = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
      return needed > back ? back : 0;
    }
  }
  return 0;
}

// How many bytes of UTF-8 go to the console in one call: a byte gives at
// most one UTF-16 unit, so the units fit a buffer of this size.
constexpr std::size_t kConsoleChunk = 8192;

// Writes whole UTF-8 characters to the console as UTF-16; false when the
// console refuses.
bool WriteWholeCharacters(const char* utf8, std::size_t size) {
  wchar_t wide[kConsoleChunk];
  const int units = MultiByteToWideChar(CP_UTF8, 0, utf8, static_cast<int>(size), wide, static_cast<int>(kConsoleChunk));
  DWORD written = 0;
  for (DWORD at = 0; at < static_cast<DWORD>(units); at += written) {
    if (!WriteConsoleW(OutputConsole(), wide + at, static_cast<DWORD>(units) - at, &written, nullptr) || written == 0) {
      return false;
    }
  }
  return true;
}

// Writes UTF-8 to the console as UTF-16. Takes all of bytes: the start of a
// character cut at the end waits in Pending for the rest. -1 with errno
// EIO when the console refuses.
long WriteConsoleText(void*, const char* bytes, std::size_t size) {
  std::size_t taken = 0;
  while (Pending.count > 0 && taken < size) {
    Pending.bytes[Pending.count++] = bytes[taken++];
    if (IncompleteTail(Pending.bytes, Pending.count) > 0) continue;
    const bool written = WriteWholeCharacters(Pending.bytes, Pending.count);
    Pending.count = 0;
    if (!written) {
      errno = EIO;
      return -1;
    }
  }
  while (taken < size) {
    std::size_t chunk = std::min(size - taken, kConsoleChunk);
    const std::size_t tail = IncompleteTail(bytes + taken, chunk);
    if (tail == chunk) {  // only the start of a character is left
      std::memcpy(Pending.bytes, bytes + taken, tail);
      Pending.count = tail;
      return static_cast<long>(size);
    }
    chunk -= tail;
    if (!WriteWholeCharacters(bytes + taken, chunk)) {
      errno = EIO;
      return -1;
    }
    taken += chunk;
  }
  return static_cast<long>(taken);
}

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

bool StandardOutputIsTerminal() {
#ifdef _WIN32
  return OutputConsole() != INVALID_HANDLE_VALUE;
#else
  return isatty(kOutput) != 0;
#endif
}

bool EnableTerminalColour() {
#ifdef _WIN32
  const HANDLE console = OutputConsole();
  DWORD mode = 0;
  return console != INVALID_HANDLE_VALUE && GetConsoleMode(console, &mode) &&
         SetConsoleMode(console, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
#else
  return true;
#endif
}

ByteSource StandardInput() { return {ReadInput, nullptr}; }

ByteSink StandardOutput() {
#ifdef _WIN32
  if (StandardOutputIsTerminal()) return {WriteConsoleText, nullptr};
#endif
  return {WriteOutput, nullptr};
}

int CloseStandardOutput() {
#ifdef _WIN32
  const int result = _close(kOutput);
#else
  const int result = close(kOutput);
#endif
  return result == 0 ? 0 : errno;
}
