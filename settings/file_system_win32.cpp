// The file-system primitives on Windows, through the C runtime's descriptor
// functions and the ANSI forms of the Win32 calls.

#include <windows.h>

#include <direct.h>
#include <fcntl.h>
#include <io.h>
#include <process.h>
#include <sys/stat.h>
#include <sys/types.h>

#include <cerrno>
#include <cstdio>
#include <string>

#include "settings/file_system.h"
#include "settings/file_system_platform.h"

namespace {

// _read and _write take an unsigned count and return an int: larger texts
// go in pieces of 1 GiB.
constexpr unsigned kLargestWrite = 0x40000000u;

// What a file of this mode is.
PathState KindOf(unsigned short mode) {
  const unsigned type = mode & _S_IFMT;
  if (type == _S_IFDIR) return PathState::Folder;
  return type == _S_IFREG ? PathState::File : PathState::Special;
}

}  // namespace

namespace platform {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

int LookUpPath(const char* path, Links /*links*/, PathState* kind) {
  struct _stat64 record {};
  if (_stat64(path, &record) != 0) return errno;
  *kind = KindOf(record.st_mode);
  return 0;
}

void MakeOneFolder(const char* folder) { _mkdir(folder); }

std::string ResolveLinks(const char* path) { return path; }

long CurrentProcessId() { return static_cast<long>(_getpid()); }

int CreateNewFile(const char* path) {
  return _open(path, _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
}

int CreateTemporaryFileFor(const char* path, std::string* name) {
  // "<path>.<process id>-<counter>.tmp": unique within the process by the
  // counter and between processes by the id. The new file is writable, as a
  // newly created file would be.
  static unsigned counter = 0;
  char temporary[kTemporaryPathCapacity];
  int length = std::snprintf(temporary, sizeof temporary, "%s.%d-%u%s", path, _getpid(), ++counter,
                             kTemporarySuffix);
  if (length < 0 || static_cast<std::size_t>(length) >= sizeof temporary) return -1;
  int fd = CreateNewFile(temporary);
  if (fd >= 0) *name = temporary;
  return fd;
}

int OpenForReading(const char* path) { return _open(path, _O_RDONLY | _O_BINARY); }

int DescribeOpenFile(int fd, PathState* kind, unsigned long long* size) {
  struct _stat64 record {};
  if (_fstat64(fd, &record) != 0) return errno;
  *kind = KindOf(record.st_mode);
  *size = record.st_size > 0 ? static_cast<unsigned long long>(record.st_size) : 0;
  return 0;
}

long ReadSome(int fd, char* buffer, std::size_t capacity) {
  unsigned chunk = capacity > kLargestWrite ? kLargestWrite : static_cast<unsigned>(capacity);
  return _read(fd, buffer, chunk);
}

long WriteSome(int fd, std::string_view bytes) {
  unsigned chunk = bytes.size() > kLargestWrite ? kLargestWrite : static_cast<unsigned>(bytes.size());
  return _write(fd, bytes.data(), chunk);
}

bool FlushToDisk(int fd) { return _commit(fd) == 0; }

bool CloseFile(int fd) { return _close(fd) == 0; }

bool MoveOver(const char* from, const char* to) {
  // Write-through: the call returns once the rename is on the disk.
  return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

void RemoveFile(const char* path) { _unlink(path); }

void VisitFolderEntries(const char* folder, void (*visit)(const char* name, void* context), void* context) {
  char pattern[kTemporaryPathCapacity];
  if (!JoinPath(folder, "*", pattern, sizeof pattern)) return;
  WIN32_FIND_DATAA entry;
  HANDLE search = FindFirstFileA(pattern, &entry);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    visit(entry.cFileName, context);
  } while (FindNextFileA(search, &entry));
  FindClose(search);
}

}  // namespace platform

bool ReadExecutablePath(char* out, std::size_t capacity) {
  if (capacity == 0) return false;
  DWORD length = GetModuleFileNameA(nullptr, out, static_cast<DWORD>(capacity));
  return length > 0 && length < capacity;  // a full buffer means the path was cut
}
