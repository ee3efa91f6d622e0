// The file-system functions that read the same on every platform, built on
// the primitives of file_system_platform.h.

#include "settings/files/file_system.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "settings/files/file_system_platform.h"
#include "settings/text_encoding.h"

namespace {

// ".quillo-probe-<process id>-<counter>": 14 + 20 + 1 + 10 characters at the
// most, with a 64-bit long.
constexpr std::size_t kProbeNameCapacity = 64;

// Writes all of bytes to fd, in as many writes as the system needs. False on
// the first write that fails.
bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    long written = platform::WriteSome(fd, bytes);
    if (written <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

// Where a file's temporary files lie: beside the file a symbolic link points
// to, since saves write there.
struct FilePlace {
  std::string target;                   // the path with its links followed
  char folder[kTemporaryPathCapacity];  // folder part of target
  const char* fileName;                 // last part of target, pointing into target
};

// Fills place for path. False when the folder cannot be told (a bare name,
// or one too long): then nothing is looked at, least of all the current
// folder, which may hold anything.
bool LocateFile(const char* path, FilePlace* place) {
  place->target = platform::ResolveLinks(path);
  const char* target = place->target.c_str();
  if (!CopyFolderOf(target, place->folder, sizeof place->folder)) return false;
  const char* fileName = target + place->target.size();
  while (fileName > target && !platform::IsSeparator(fileName[-1])) --fileName;
  place->fileName = fileName;
  return true;
}

// Removes folder entry name when it is a temporary file of place's file, a
// regular file itself (never what a link points to) and the user's own.
void RemoveIfLeftover(const char* name, void* context) {
  const FilePlace& place = *static_cast<const FilePlace*>(context);
  if (!IsTemporaryNameOf(name, place.fileName)) return;
  char candidate[kTemporaryPathCapacity];
  platform::Ownership ownership;
  if (JoinPath(place.folder, name, candidate, sizeof candidate) &&
      platform::LookUpOwnership(candidate, platform::Links::DoNotFollow, &ownership) == 0 && ownership.isRegular &&
      ownership.owner == platform::Owner::CurrentUser) {
    platform::RemoveFile(candidate);
  }
}

// Writes bytes over the content of the existing file target and cuts it to
// their length. Used where a new file cannot take its place: the file keeps
// its identity (all its names, its owner). The space the new content needs
// is reserved first, so that a full disk or a quota refuses the write before
// a byte of the old content is overwritten; what can still fail half-way is
// only an I/O error of the disk itself, so it is the second choice.
bool RewriteInPlace(const std::string& target, std::string_view bytes) {
  int fd = platform::OpenForRewrite(target.c_str());
  if (fd < 0) return false;
  if (!platform::ReserveSpace(fd, bytes.size())) {
    platform::CloseFile(fd);
    return false;
  }
  bool ok = WriteAll(fd, bytes) && platform::CutAt(fd, bytes.size()) && platform::FlushToDisk(fd);
  return platform::CloseFile(fd) && ok;
}

// Reads fd to its end into text, at most limit bytes and one more to notice
// a file that grew past limit since its size was looked up. The buffer
// starts at the size looked up and grows only for a file that grows.
FileReadOutcome ReadOpenFile(int fd, std::size_t expectedSize, std::size_t limit, std::string& text, int& error) {
  text.clear();
  ReserveLargeText(text, std::min(expectedSize, limit) + 1);
  text.resize(std::min(expectedSize, limit) + 1);
  std::size_t used = 0;
  for (;;) {
    if (used == text.size()) {
      if (used > limit) break;
      text.resize(std::min(used * 2, limit + 1));
    }
    long count = platform::ReadSome(fd, text.data() + used, text.size() - used);
    if (count < 0) {
      error = errno;
      return FileReadOutcome::Failed;
    }
    if (count == 0) break;
    used += static_cast<std::size_t>(count);
  }
  text.resize(used);
  return used > limit ? FileReadOutcome::TooLarge : FileReadOutcome::Read;
}

}  // namespace

PathState QueryPath(const char* path) {
  if (path == nullptr || path[0] == '\0') return PathState::Missing;
  PathState kind = PathState::Unknown;
  int error = platform::LookUpPath(path, platform::Links::Follow, &kind);
  if (error == 0) return kind;
  // A missing name or a file standing where a folder of the path should be
  // both mean that nothing of that name exists.
  if (error == ENOENT || error == ENOTDIR) return PathState::Missing;
  return PathState::Unknown;
}

bool CanOpenForReading(const char* path) {
  // An open succeeds on a folder on Linux and blocks on a pipe, so only a
  // regular file is tried.
  if (QueryPath(path) != PathState::File) return false;
  const int fd = platform::OpenForReading(path);
  if (fd < 0) return false;
  platform::CloseFile(fd);
  return true;
}

bool CanOpenForWriting(const char* path) {
  if (QueryPath(path) != PathState::File) return false;
  int fd = platform::OpenForRewrite(path);
  if (fd < 0) return false;
  platform::CloseFile(fd);
  return true;
}

FileReadOutcome ReadRegularFile(const char* path, std::size_t limit, std::string& text, int& error) {
  text.clear();
  error = 0;
  int fd = platform::OpenForReading(path);
  if (fd < 0) {
    error = errno;
    // Windows refuses to open a folder at all; say what it is, as POSIX does.
    const PathState kind = QueryPath(path);
    return kind == PathState::Folder || kind == PathState::Special ? FileReadOutcome::NotRegular
                                                                    : FileReadOutcome::CannotOpen;
  }
  PathState kind = PathState::Unknown;
  unsigned long long size = 0;
  FileReadOutcome outcome = FileReadOutcome::Read;
  error = platform::DescribeOpenFile(fd, &kind, &size);
  if (error != 0) {
    outcome = FileReadOutcome::Failed;
  } else if (kind != PathState::File) {
    outcome = FileReadOutcome::NotRegular;
  } else if (size > limit) {
    outcome = FileReadOutcome::TooLarge;
  } else {
    outcome = ReadOpenFile(fd, static_cast<std::size_t>(size), limit, text, error);
  }
  platform::CloseFile(fd);
  if (outcome != FileReadOutcome::Read) text.clear();
  return outcome;
}

bool IsFolderWritable(const char* folder) {
  // Permission bits do not tell the whole story (read-only mounts, ACLs,
  // root), so a probe file is created and removed.
  static unsigned counter = 0;
  char name[kProbeNameCapacity];
  std::snprintf(name, sizeof name, ".quillo-probe-%ld-%u", platform::CurrentProcessId(), ++counter);
  char probe[kLongestPathCapacity];
  if (!JoinPath(folder, name, probe, sizeof probe)) return false;
  int fd = platform::CreateNewFile(probe);
  if (fd < 0) return false;
  platform::CloseFile(fd);
  platform::RemoveFile(probe);
  return true;
}

bool MakeFolders(const char* folder) {
  char partial[kLongestPathCapacity];
  std::size_t length = std::strlen(folder);
  if (length == 0 || length >= sizeof partial) return false;
  std::memcpy(partial, folder, length + 1);
  // Create each parent in turn, skipping the leading separator(s) of an
  // absolute path and a drive prefix.
  for (std::size_t i = 1; i < length; ++i) {
    bool endsAFolderName = platform::IsSeparator(partial[i]) && !platform::IsSeparator(partial[i - 1]);
    if (!endsAFolderName || partial[i - 1] == ':') continue;
    partial[i] = '\0';
    if (QueryPath(partial) == PathState::Missing) platform::MakeOneFolder(partial);
    partial[i] = folder[i];
  }
  if (QueryPath(partial) == PathState::Missing) platform::MakeOneFolder(partial);
  return QueryPath(folder) == PathState::Folder;
}

bool CopyFolderOf(const char* path, char* out, std::size_t capacity) {
  const char* last = nullptr;
  for (const char* p = path; *p != '\0'; ++p) {
    if (platform::IsSeparator(*p)) last = p;
  }
  if (last == nullptr || capacity == 0) return false;
  std::size_t length = static_cast<std::size_t>(last - path);
  if (length == 0) length = 1;  // the root folder keeps its separator
  if (length >= capacity) return false;
  std::memcpy(out, path, length);
  out[length] = '\0';
  return true;
}

void ReserveLargeText(std::string& text, std::size_t size) {
  // The C library maps buffers this large on their own and unmaps them when
  // they are freed, so the advice never outlives the text.
  constexpr std::size_t kLargeText = std::size_t{64} << 20;
  constexpr std::size_t kHugePage = std::size_t{2} << 20;
  text.reserve(size);
  if (text.capacity() < kLargeText) return;
  // The whole huge pages inside the buffer.
  char* const start = text.data();
  const std::size_t skip = (kHugePage - reinterpret_cast<std::uintptr_t>(start) % kHugePage) % kHugePage;
  platform::AdviseHugePages(start + skip, (text.capacity() - skip) / kHugePage * kHugePage);
}

bool JoinPath(const char* first, const char* second, char* out, std::size_t capacity) {
  int written = std::snprintf(out, capacity, "%s%c%s", first, kPathSeparator, second);
  if (written < 0 || static_cast<std::size_t>(written) >= capacity) {
    if (capacity > 0) out[0] = '\0';
    return false;
  }
  return true;
}

bool ReplaceFileContent(const char* path, std::string_view bytes) {
  // Renaming over a symbolic link would replace the link itself.
  const std::string target = platform::ResolveLinks(path);
  platform::ReplaceFacts facts;
  const bool exists = platform::LookUpReplaceFacts(target.c_str(), &facts) == 0;
  // The owner made the file read-only to keep it as it is.
  if (exists && facts.readOnly) return false;
  // A rename would give the file's other names the old content for good.
  if (exists && facts.linkCount > 1) return RewriteInPlace(target, bytes);
  std::string temporary;
  int fd = platform::CreateTemporaryFileFor(target.c_str(), &temporary);
  if (fd < 0) {
    // A folder the user may not write to can still hold a file the user may
    // write to: a shared install with a file of the user's own.
    const bool folderRefused = errno == EACCES || errno == EPERM;
    return exists && folderRefused && RewriteInPlace(target, bytes);
  }
  bool written = WriteAll(fd, bytes) && platform::FlushToDisk(fd);
  written = platform::CloseFile(fd) && written;
  if (written && platform::MoveOver(temporary.c_str(), target.c_str())) return true;
  const bool nameHeld = written && errno == EBUSY;
  platform::RemoveFile(temporary.c_str());
  // A name that cannot be replaced still has a content that can be written:
  // the save goes into the file rather than being lost.
  return nameHeld && exists && RewriteInPlace(target, bytes);
}

bool IsTemporaryNameOf(std::string_view name, std::string_view fileName) {
  // "<fileName>.<process id>-<letters or digits>.tmp", as
  // CreateTemporaryFileFor makes them on either platform; a name of the
  // user's own, such as "quillo.ini.backup.tmp", does not fit.
  const std::string_view suffix = kTemporarySuffix;
  if (name.size() <= fileName.size() + 1 + suffix.size()) return false;
  if (name.substr(0, fileName.size()) != fileName || name[fileName.size()] != '.') return false;
  if (name.substr(name.size() - suffix.size()) != suffix) return false;
  const std::string_view middle =
      name.substr(fileName.size() + 1, name.size() - fileName.size() - 1 - suffix.size());
  const std::size_t dash = middle.find('-');
  if (dash == std::string_view::npos || dash == 0 || dash + 1 == middle.size()) return false;
  const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
  const auto isLetterOrDigit = [&](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || isDigit(c); };
  const std::string_view processId = middle.substr(0, dash);
  const std::string_view unique = middle.substr(dash + 1);
  return std::all_of(processId.begin(), processId.end(), isDigit) &&
         std::all_of(unique.begin(), unique.end(), isLetterOrDigit);
}

void RemoveLeftoverTemporaryFiles(const char* path) {
  FilePlace place;
  if (!LocateFile(path, &place)) return;
  platform::VisitFolderEntries(place.folder, RemoveIfLeftover, &place);
}

std::string PathForDisplay(const char* path) {
  std::string utf8;
  if (platform::SystemTextToUtf8(path, &utf8)) return utf8;
  return DisplayUtf8(path);
}
