// The file-system primitives on Linux and other POSIX systems.

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/xattr.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>

#include "settings/files/file_system.h"
#include "settings/files/file_system_platform.h"

namespace {

// What a file of this mode is.
PathState KindOf(mode_t mode) {
  if (S_ISDIR(mode)) return PathState::Folder;
  return S_ISREG(mode) ? PathState::File : PathState::Special;
}

// The mode a newly created file gets.
mode_t DefaultFileMode() {
  mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

// Copies the extended attributes of the file at path (POSIX ACLs among them)
// to fd. Those the process may not set (security namespaces, for example)
// are left out: the replacement is no less strict for it.
void CopyExtendedAttributes(int fd, const char* path) {
  ssize_t listSize = listxattr(path, nullptr, 0);
  if (listSize <= 0) return;
  std::string names(static_cast<std::size_t>(listSize), '\0');
  listSize = listxattr(path, names.data(), names.size());
  if (listSize <= 0) return;
  names.resize(static_cast<std::size_t>(listSize));
  std::string value;
  for (std::size_t at = 0; at < names.size(); at += std::strlen(names.c_str() + at) + 1) {
    const char* name = names.c_str() + at;
    ssize_t valueSize = getxattr(path, name, nullptr, 0);
    if (valueSize < 0) continue;
    value.resize(static_cast<std::size_t>(valueSize));
    valueSize = getxattr(path, name, value.data(), value.size());
    if (valueSize < 0) continue;
    if (fsetxattr(fd, name, value.data(), static_cast<std::size_t>(valueSize), 0) != 0) {
      // See above.
    }
  }
}

// A replacement gets the old file's permissions, owner, group and extended
// attributes, or the permissions a newly created file would get. The owner
// and group go first: changing them may clear set-id bits that the mode then
// puts back.
void CopyFileAttributes(int fd, const char* path) {
  struct stat old {};
  if (stat(path, &old) != 0) {
    if (fchmod(fd, DefaultFileMode()) != 0) {
      // Keeping the temporary file's own 0600 is safe, just stricter.
    }
    return;
  }
  if (fchown(fd, old.st_uid, old.st_gid) != 0) {
    // Only root may give a file away; a group the user is not in is refused
    // too. The replacement is then the user's, with the user's group.
  }
  CopyExtendedAttributes(fd, path);
  if (fchmod(fd, old.st_mode & 07777) != 0) {
    // See DefaultFileMode's caller above.
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

std::size_t RootLength(const std::string& path) { return !path.empty() && path[0] == '/' ? 1 : 0; }

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
  *name = std::string(path) + "." + std::to_string(getpid()) + "-XXXXXX" + kTemporarySuffix;
  int fd = mkostemps(name->data(), static_cast<int>(std::strlen(kTemporarySuffix)), O_CLOEXEC);
  if (fd >= 0) CopyFileAttributes(fd, path);
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

void AdviseHugePages(char* start, std::size_t length) {
#if defined(MADV_HUGEPAGE)
  madvise(start, length, MADV_HUGEPAGE);
#else
  static_cast<void>(start);
  static_cast<void>(length);
#endif
}

bool FlushToDisk(int fd) { return fsync(fd) == 0; }

bool CloseFile(int fd) { return close(fd) == 0; }

bool MoveOver(const char* from, const char* to) {
  if (rename(from, to) != 0) return false;
  SyncFolderOf(to);
  return true;
}

void RemoveFile(const char* path) { unlink(path); }

int LookUpOwnership(const char* path, Links links, Ownership* ownership) {
  struct stat record {};
  int result = links == Links::Follow ? stat(path, &record) : lstat(path, &record);
  if (result != 0) return errno;
  if (record.st_uid == geteuid()) {
    ownership->owner = Owner::CurrentUser;
  } else {
    ownership->owner = record.st_uid == 0 ? Owner::Administrator : Owner::Other;
  }
  ownership->isLink = S_ISLNK(record.st_mode);
  ownership->isRegular = S_ISREG(record.st_mode);
  ownership->sticky = S_ISDIR(record.st_mode) && (record.st_mode & S_ISVTX) != 0;
  // A link's own permissions mean nothing; who may change it is decided by
  // its owner and its folder.
  ownership->writableByOthers = !ownership->isLink && (record.st_mode & (S_IWGRP | S_IWOTH)) != 0;
  return 0;
}

int LookUpReplaceFacts(const char* path, ReplaceFacts* facts) {
  struct stat record {};
  if (stat(path, &record) != 0) return errno;
  facts->readOnly = (record.st_mode & S_IWUSR) == 0;
  facts->linkCount = static_cast<unsigned long>(record.st_nlink);
  return 0;
}

// Without blocking: a FIFO swapped in for the file must not hang the save.
int OpenForRewrite(const char* path) { return open(path, O_WRONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC); }

bool ReserveSpace(int fd, unsigned long long length) {
  struct stat record {};
  if (fstat(fd, &record) != 0) return false;
  const unsigned long long size = record.st_size > 0 ? static_cast<unsigned long long>(record.st_size) : 0;
  if (length <= size) return true;  // the old blocks take the new content
  // Returns the error itself; where the file system cannot reserve, the C
  // library writes zeros past the end instead, which keeps the content too.
  int result;
  do {
    result = posix_fallocate(fd, static_cast<off_t>(size), static_cast<off_t>(length - size));
  } while (result == EINTR);
  return result == 0;
}

bool CutAt(int fd, unsigned long long length) {
  int result;
  do {
    result = ftruncate(fd, static_cast<off_t>(length));
  } while (result != 0 && errno == EINTR);
  return result == 0;
}

int OpenSettingsLock(const char* target, bool /*forWriting*/, bool* nothingToLock) {
  *nothingToLock = false;
  // The folder: opened for reading only, it can be locked wherever the file
  // can be read, and it creates nothing.
  char folder[kTemporaryPathCapacity];
  if (!CopyFolderOf(target, folder, sizeof folder)) std::strcpy(folder, ".");
  return open(folder, O_RDONLY | O_DIRECTORY | O_NOCTTY | O_CLOEXEC);
}

bool TryLockExclusive(int fd) {
  int result;
  do {
    result = flock(fd, LOCK_EX | LOCK_NB);
  } while (result != 0 && errno == EINTR);
  return result == 0;
}

// The state a waiting thread and the window share. The thread sleeps in
// flock, in the kernel's queue; a condition variable lets the window look
// in with a timeout, which flock itself cannot do without a signal.
struct LockWaitState {
  std::mutex mutex;
  std::condition_variable settled;
  int fd = -1;
  bool done = false;       // the thread's flock returned
  bool locked = false;     // and took the lock
  bool abandoned = false;  // the window gave up: the thread closes fd
};

struct LockWait {
  std::shared_ptr<LockWaitState> state;
};

namespace {

void WaitInTheKernelQueue(const std::shared_ptr<LockWaitState>& state, int fd) {
  int result;
  do {
    result = flock(fd, LOCK_EX);
  } while (result != 0 && errno == EINTR);
  std::lock_guard<std::mutex> guard(state->mutex);
  if (state->abandoned) {
    close(fd);  // lets go of a lock granted after the window gave up
    return;
  }
  state->done = true;
  state->locked = result == 0;
  state->settled.notify_all();
}

}  // namespace

LockWait* BeginLockWait(int fd) {
  auto state = std::make_shared<LockWaitState>();
  state->fd = fd;
  try {
    std::thread(WaitInTheKernelQueue, state, fd).detach();
  } catch (const std::system_error&) {
    close(fd);
    return nullptr;
  }
  return new LockWait{std::move(state)};
}

LockWaitOutcome ContinueLockWait(LockWait* wait, int milliseconds) {
  LockWaitState& state = *wait->state;
  std::unique_lock<std::mutex> guard(state.mutex);
  if (!state.settled.wait_for(guard, std::chrono::milliseconds(milliseconds), [&] { return state.done; })) {
    return LockWaitOutcome::Waiting;
  }
  return state.locked ? LockWaitOutcome::Locked : LockWaitOutcome::Failed;
}

int FinishLockWait(LockWait* wait) {
  const int fd = wait->state->fd;
  delete wait;
  return fd;
}

void AbandonLockWait(LockWait* wait) {
  {
    std::lock_guard<std::mutex> guard(wait->state->mutex);
    if (wait->state->done) {
      close(wait->state->fd);
    } else {
      wait->state->abandoned = true;
    }
  }
  delete wait;
}

ChangeStamp StampOf(const char* path) {
  ChangeStamp stamp;
  struct stat record {};
  if (stat(path, &record) != 0) return stamp;
  const auto nanoseconds = [](const timespec& time) {
    return static_cast<unsigned long long>(time.tv_sec) * 1000000000ull + static_cast<unsigned long long>(time.tv_nsec);
  };
  stamp.identity = static_cast<unsigned long long>(record.st_ino);
  stamp.size = static_cast<unsigned long long>(record.st_size);
  stamp.modified = nanoseconds(record.st_mtim);
  stamp.changed = nanoseconds(record.st_ctim);
  return stamp;
}

void VisitFolderEntries(const char* folder, void (*visit)(const char* name, void* context), void* context) {
  DIR* listing = opendir(folder);
  if (listing == nullptr) return;
  while (const dirent* entry = readdir(listing)) visit(entry->d_name, context);
  closedir(listing);
}

bool SystemTextToUtf8(const char* /*text*/, std::string* /*utf8*/) { return false; }

}  // namespace platform

std::string EnvironmentText(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

bool ReadExecutablePath(char* out, std::size_t capacity) {
  if (capacity == 0) return false;
  ssize_t length = readlink("/proc/self/exe", out, capacity - 1);
  if (length <= 0 || static_cast<std::size_t>(length) >= capacity - 1) return false;
  out[length] = '\0';
  return true;
}
