// The file-system primitives on Linux and other POSIX systems.

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>

#include "settings/file_system.h"
#include "settings/file_system_platform.h"

namespace {

// What a file of this mode is.
PathState KindOf(mode_t mode) {
  if (S_ISDIR(mode)) return PathState::Folder;
  return S_ISREG(mode) ? PathState::File : PathState::Special;
}

// A replacement gets the old file's permissions, or those a newly created
// file would get.
void CopyPermissions(int fd, const char* path) {
  struct stat old {};
  mode_t mode;
  if (stat(path, &old) == 0) {
    mode = old.st_mode & 07777;
  } else {
    mode_t mask = umask(0);
    umask(mask);
    mode = 0666 & ~mask;
  }
  if (fchmod(fd, mode) != 0) {
    // Keeping the temporary file's own 0600 is safe, just stricter.
  }
}

// Makes a rename in path's folder durable; a failure here loses nothing that
// the rename has not already made visible, so it is not reported.
void SyncFolderOf(const char* path) {
  char folder[kTemporaryPathCapacity];
  if (!CopyFolderOf(path, folder, sizeof folder)) std::strcpy(folder, ".");
  int fd = open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  if (fsync(fd) != 0) {
    // See above.
  }
  close(fd);
}

}  // namespace

namespace platform {

bool IsSeparator(char c) { return c == '/'; }

int LookUpPath(const char* path, Links links, PathState* kind) {
  struct stat record {};
  int result = links == Links::Follow ? stat(path, &record) : lstat(path, &record);
  if (result != 0) return errno;
  *kind = KindOf(record.st_mode);
  return 0;
}

void MakeOneFolder(const char* folder) { mkdir(folder, 0777); }

std::string ResolveLinks(const char* path) {
  char resolved[PATH_MAX];
  return realpath(path, resolved) != nullptr ? resolved : path;
}

long CurrentProcessId() { return static_cast<long>(getpid()); }

int CreateNewFile(const char* path) { return open(path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600); }

int CreateTemporaryFileFor(const char* path, std::string* name) {
  // mkostemps fills in the X's and creates the file with permissions 0600.
  *name = std::string(path) + ".XXXXXX" + kTemporarySuffix;
  int fd = mkostemps(name->data(), static_cast<int>(std::strlen(kTemporarySuffix)), O_CLOEXEC);
  if (fd >= 0) CopyPermissions(fd, path);
  return fd;
}

int OpenForReading(const char* path) { return open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC); }

int DescribeOpenFile(int fd, PathState* kind, unsigned long long* size) {
  struct stat record {};
  if (fstat(fd, &record) != 0) return errno;
  *kind = KindOf(record.st_mode);
  *size = record.st_size > 0 ? static_cast<unsigned long long>(record.st_size) : 0;
  return 0;
}

long ReadSome(int fd, char* buffer, std::size_t capacity) {
  ssize_t count;
  do {
    count = read(fd, buffer, capacity);
  } while (count < 0 && errno == EINTR);
  return static_cast<long>(count);
}

long WriteSome(int fd, std::string_view bytes) {
  ssize_t written;
  do {
    written = write(fd, bytes.data(), bytes.size());
  } while (written < 0 && errno == EINTR);
  return static_cast<long>(written);
}

bool FlushToDisk(int fd) { return fsync(fd) == 0; }

bool CloseFile(int fd) { return close(fd) == 0; }

bool MoveOver(const char* from, const char* to) {
  if (rename(from, to) != 0) return false;
  SyncFolderOf(to);
  return true;
}

void RemoveFile(const char* path) { unlink(path); }

void VisitFolderEntries(const char* folder, void (*visit)(const char* name, void* context), void* context) {
  DIR* listing = opendir(folder);
  if (listing == nullptr) return;
  while (const dirent* entry = readdir(listing)) visit(entry->d_name, context);
  closedir(listing);
}

}  // namespace platform

bool ReadExecutablePath(char* out, std::size_t capacity) {
  if (capacity == 0) return false;
  ssize_t length = readlink("/proc/self/exe", out, capacity - 1);
  if (length <= 0 || static_cast<std::size_t>(length) >= capacity - 1) return false;
  out[length] = '\0';
  return true;
}
