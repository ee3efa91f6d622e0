#include "settings/file_system.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <sys/stat.h>
#include <sys/types.h>

#ifdef _WIN32
#include <windows.h>
#include <direct.h>
#include <fcntl.h>
#include <io.h>
#include <process.h>
#else
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {

constexpr char kTemporarySuffix[] = ".tmp";

#ifdef _WIN32
using StatRecord = struct _stat64;
int StatPath(const char* path, StatRecord* record) { return _stat64(path, record); }
bool IsFolderMode(unsigned mode) { return (mode & _S_IFMT) == _S_IFDIR; }
bool IsRegularMode(unsigned mode) { return (mode & _S_IFMT) == _S_IFREG; }
int MakeOneFolder(const char* folder) { return _mkdir(folder); }
#else
using StatRecord = struct stat;
int StatPath(const char* path, StatRecord* record) { return stat(path, record); }
bool IsFolderMode(unsigned mode) { return S_ISDIR(mode); }
bool IsRegularMode(unsigned mode) { return S_ISREG(mode); }
int MakeOneFolder(const char* folder) { return mkdir(folder, 0777); }
#endif

bool IsSeparator(char c) {
#ifdef _WIN32
  return c == '\\' || c == '/';
#else
  return c == '/';
#endif
}

// Writing a file's new content: see ReplaceFileContent.
#ifdef _WIN32

bool WriteAll(int fd, std::string_view text) {
  while (!text.empty()) {
    unsigned chunk = text.size() > 0x40000000u ? 0x40000000u : static_cast<unsigned>(text.size());
    int written = _write(fd, text.data(), chunk);
    if (written <= 0) return false;
    text.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

bool ReplaceAtomically(const char* path, std::string_view text) {
  static unsigned counter = 0;
  char temporary[1100];
  int length = std::snprintf(temporary, sizeof temporary, "%s.%d-%u%s", path, _getpid(), ++counter,
                             kTemporarySuffix);
  if (length < 0 || static_cast<std::size_t>(length) >= sizeof temporary) return false;
  int fd = _open(temporary, _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
  if (fd < 0) return false;
  bool ok = WriteAll(fd, text) && _commit(fd) == 0;
  ok = _close(fd) == 0 && ok;
  ok = ok && MoveFileExA(temporary, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
  if (!ok) _unlink(temporary);
  return ok;
}

#else

bool WriteAll(int fd, std::string_view text) {
  while (!text.empty()) {
    ssize_t written = write(fd, text.data(), text.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    text.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

// The new file gets the old file's permissions, or those a newly created file
// would get.
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

// Makes the rename itself durable; a failure here loses nothing that the
// rename has not already made visible, so it is not reported.
void SyncFolderOf(const char* path) {
  char folder[1100];
  if (!CopyFolderOf(path, folder, sizeof folder)) std::strcpy(folder, ".");
  int fd = open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  if (fsync(fd) != 0) {
    // See above.
  }
  close(fd);
}

bool ReplaceAtomically(const char* linkOrPath, std::string_view text) {
  // Renaming over a symbolic link would replace the link itself.
  char resolved[PATH_MAX];
  const char* path = realpath(linkOrPath, resolved) != nullptr ? resolved : linkOrPath;
  // "<name>.XXXXXX.tmp": the suffix lets the next start recognise what a
  // save killed half-way left behind (RemoveLeftoverTemporaryFiles).
  std::string temporary = std::string(path) + ".XXXXXX" + kTemporarySuffix;
  int fd = mkostemps(temporary.data(), static_cast<int>(std::strlen(kTemporarySuffix)), O_CLOEXEC);
  if (fd < 0) return false;
  CopyPermissions(fd, path);
  bool ok = WriteAll(fd, text) && fsync(fd) == 0;
  ok = close(fd) == 0 && ok;
  ok = ok && rename(temporary.c_str(), path) == 0;
  if (!ok) {
    unlink(temporary.c_str());
    return false;
  }
  SyncFolderOf(path);
  return true;
}

#endif

}  // namespace

PathState QueryPath(const char* path) {
  if (path == nullptr || path[0] == '\0') return PathState::Missing;
  StatRecord record{};
  if (StatPath(path, &record) == 0) {
    unsigned mode = static_cast<unsigned>(record.st_mode);
    if (IsFolderMode(mode)) return PathState::Folder;
    return IsRegularMode(mode) ? PathState::File : PathState::Special;
  }
  // A missing name or a file standing where a folder of the path should be
  // both mean that nothing of that name exists.
  if (errno == ENOENT || errno == ENOTDIR) return PathState::Missing;
  return PathState::Unknown;
}

bool CanOpenForReading(const char* path) {
  // fopen succeeds on a folder on Linux and blocks on a pipe, so only a
  // regular file is tried.
  if (QueryPath(path) != PathState::File) return false;
  std::FILE* file = std::fopen(path, "rb");
  if (file == nullptr) return false;
  std::fclose(file);
  return true;
}

bool IsFolderWritable(const char* folder) {
  // Permission bits do not tell the whole story (read-only mounts, ACLs,
  // root), so a probe file is created and removed.
  char probe[1024];
  char name[64];
  static unsigned counter = 0;
#ifdef _WIN32
  std::snprintf(name, sizeof name, ".quillo-probe-%d-%u", _getpid(), ++counter);
#else
  std::snprintf(name, sizeof name, ".quillo-probe-%ld-%u", static_cast<long>(getpid()), ++counter);
#endif
  if (!JoinPath(folder, name, probe, sizeof probe)) return false;
#ifdef _WIN32
  int fd = _open(probe, _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
  if (fd < 0) return false;
  _close(fd);
  _unlink(probe);
#else
  int fd = open(probe, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  close(fd);
  unlink(probe);
#endif
  return true;
}

bool MakeFolders(const char* folder) {
  char partial[1024];
  std::size_t length = std::strlen(folder);
  if (length == 0 || length >= sizeof partial) return false;
  std::memcpy(partial, folder, length + 1);
  // Create each parent in turn, skipping the leading separator(s) of an
  // absolute path and a drive prefix.
  for (std::size_t i = 1; i < length; ++i) {
    if (!IsSeparator(partial[i]) || IsSeparator(partial[i - 1]) || partial[i - 1] == ':') continue;
    partial[i] = '\0';
    if (QueryPath(partial) == PathState::Missing) MakeOneFolder(partial);
    partial[i] = folder[i];
  }
  if (QueryPath(partial) == PathState::Missing) MakeOneFolder(partial);
  return QueryPath(folder) == PathState::Folder;
}

bool CopyFolderOf(const char* path, char* out, std::size_t capacity) {
  const char* last = nullptr;
  for (const char* p = path; *p != '\0'; ++p) {
    if (IsSeparator(*p)) last = p;
  }
  if (last == nullptr || capacity == 0) return false;
  std::size_t length = static_cast<std::size_t>(last - path);
  if (length == 0) length = 1;  // the root folder keeps its separator
  if (length >= capacity) return false;
  std::memcpy(out, path, length);
  out[length] = '\0';
  return true;
}

bool JoinPath(const char* first, const char* second, char* out, std::size_t capacity) {
  int written = std::snprintf(out, capacity, "%s%c%s", first, kPathSeparator, second);
  if (written < 0 || static_cast<std::size_t>(written) >= capacity) {
    if (capacity > 0) out[0] = '\0';
    return false;
  }
  return true;
}

bool ReplaceFileContent(const char* path, std::string_view bytes) { return ReplaceAtomically(path, bytes); }

bool IsTemporaryNameOf(std::string_view name, std::string_view fileName) {
  // "<fileName>.<middle>.tmp" with a middle of letters, digits and "-", as
  // ReplaceAtomically makes them on either platform.
  const std::string_view suffix = kTemporarySuffix;
  if (name.size() <= fileName.size() + 1 + suffix.size()) return false;
  if (name.substr(0, fileName.size()) != fileName || name[fileName.size()] != '.') return false;
  if (name.substr(name.size() - suffix.size()) != suffix) return false;
  const std::string_view middle =
      name.substr(fileName.size() + 1, name.size() - fileName.size() - 1 - suffix.size());
  return !middle.empty() && std::all_of(middle.begin(), middle.end(), [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-';
  });
}

void RemoveLeftoverTemporaryFiles(const char* path) {
#ifdef _WIN32
  const char* target = path;
#else
  // Saves write beside the file a symbolic link points to.
  char resolved[PATH_MAX];
  const char* target = realpath(path, resolved) != nullptr ? resolved : path;
#endif
  char folder[1100];
  if (!CopyFolderOf(target, folder, sizeof folder)) std::strcpy(folder, ".");
  const char* fileName = target + std::strlen(target);
  while (fileName > target && !IsSeparator(fileName[-1])) --fileName;
  char candidate[1100];
#ifdef _WIN32
  char pattern[1100];
  if (!JoinPath(folder, "*.tmp", pattern, sizeof pattern)) return;
  WIN32_FIND_DATAA entry;
  HANDLE search = FindFirstFileA(pattern, &entry);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    if (!IsTemporaryNameOf(entry.cFileName, fileName)) continue;
    if (JoinPath(folder, entry.cFileName, candidate, sizeof candidate) &&
        QueryPath(candidate) == PathState::File) {
      DeleteFileA(candidate);
    }
  } while (FindNextFileA(search, &entry));
  FindClose(search);
#else
  DIR* listing = opendir(folder);
  if (listing == nullptr) return;
  while (const dirent* entry = readdir(listing)) {
    if (!IsTemporaryNameOf(entry->d_name, fileName)) continue;
    struct stat record {};
    if (JoinPath(folder, entry->d_name, candidate, sizeof candidate) &&
        lstat(candidate, &record) == 0 && S_ISREG(record.st_mode)) {
      unlink(candidate);
    }
  }
  closedir(listing);
#endif
}

bool ReadExecutablePath(char* out, std::size_t capacity) {
  if (capacity == 0) return false;
#ifdef _WIN32
  DWORD length = GetModuleFileNameA(nullptr, out, static_cast<DWORD>(capacity));
  return length > 0 && length < capacity;  // a full buffer means the path was cut
#else
  ssize_t length = readlink("/proc/self/exe", out, capacity - 1);
  if (length <= 0 || static_cast<std::size_t>(length) >= capacity - 1) return false;
  out[length] = '\0';
  return true;
#endif
}
