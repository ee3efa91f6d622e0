#pragma once
// The operating-system primitives the portable file-system code
// (file_system.cpp) is built on. file_system_posix.cpp and
// file_system_win32.cpp each implement all of them; CMake builds the one that
// fits the target. Only the file-system code includes this header.
//
// Files are handled as C runtime descriptors (POSIX open, Windows _open), -1
// standing for none, so both platforms share the code that writes, flushes,
// closes and renames them.

#include <cstddef>
#include <string>
#include <string_view>

#include "settings/files/file_system.h"

// The longest path, terminator included, that the file-system code builds or
// walks in a buffer of its own (a folder being created, a probe file).
// Callers keep paths in 512-byte buffers; twice that leaves room for a folder
// at that limit joined with any name this code adds to it.
inline constexpr std::size_t kLongestPathCapacity = 1024;

// Ends every temporary file name, so the next start can tell what a save
// killed half-way left behind (RemoveLeftoverTemporaryFiles).
inline constexpr char kTemporarySuffix[] = ".tmp";

// The most a temporary name adds to the path it replaces: on Windows
// ".<process id>-<counter>.tmp", the id a signed and the counter an unsigned
// 32-bit number in decimal ("-2147483648", "4294967295"); on POSIX the
// shorter ".<process id>-XXXXXX.tmp".
inline constexpr std::size_t kLongestTemporaryAddition = 1 + 11 + 1 + 10 + (sizeof kTemporarySuffix - 1);

// Every temporary name, and every folder and folder entry looked at while
// removing leftovers, fits in this: a path of kLongestPathCapacity and 76
// bytes for the addition, well over the 27 it takes, so the capacity is the
// round 1100 and a longer counter would still fit.
inline constexpr std::size_t kTemporaryPathCapacity = kLongestPathCapacity + 76;
static_assert(kTemporaryPathCapacity >= kLongestPathCapacity + kLongestTemporaryAddition);

namespace platform {

// Whether a look-up of a symbolic link answers for the link or for its target.
enum class Links { Follow, DoNotFollow };

// True when c separates the parts of a path.
bool IsSeparator(char c);

// The length of path's root, the part no folder walk goes above: "/" on
// POSIX; "C:\", "\\?\C:\" or "\\server\share\" on Windows. 0 for a
// relative path.
std::size_t RootLength(const std::string& path);

// Looks up path without opening it. Returns 0 and sets kind to File, Folder
// or Special (with Links::DoNotFollow a symbolic link itself is Special); or
// returns the errno of the failed look-up, kind untouched. Windows always
// answers for the target.
int LookUpPath(const char* path, Links links, PathState* kind);

// Creates one folder, whose parent must exist; a failure shows in the next
// look-up, so none is returned.
void MakeOneFolder(const char* folder);

// The path that saves write to for path: on POSIX the file path names once
// every symbolic link in it is followed (path itself where that cannot be
// found); on Windows path as given.
std::string ResolveLinks(const char* path);

// This process's id, for names that must differ between processes.
long CurrentProcessId();

// Creates path for writing, failing when anything of that name exists; only
// the owner may read and write it. Returns the descriptor, or -1.
int CreateNewFile(const char* path);

// Creates a new temporary file beside path, named
// "<path>.<process id>-<letters or digits>.tmp" (IsTemporaryNameOf), with the
// permissions, owner, group and extended attributes a replacement of path
// must have, as far as the process may set them. Sets name and returns the
// descriptor, or returns -1 with errno set.
int CreateTemporaryFileFor(const char* path, std::string* name);

// Opens path for binary reading without waiting for a writer or a device
// (O_NONBLOCK on POSIX). Returns the descriptor, or -1 with errno set.
int OpenForReading(const char* path);

// What the open fd is and, for a regular file, its size. Returns 0, or the
// errno of the failed look-up.
int DescribeOpenFile(int fd, PathState* kind, unsigned long long* size);

// Reads some bytes into buffer, retrying where the system was interrupted.
// Returns the count read, 0 at the end, -1 on failure with errno set.
long ReadSome(int fd, char* buffer, std::size_t capacity);

// Writes some of bytes, retrying where the system was interrupted. Returns
// the number of bytes written, 0 or less on failure.
long WriteSome(int fd, std::string_view bytes);

// Advises the system that the memory [start, start + length), a buffer the
// C library maps on its own and unmaps when it is freed, is best backed by
// huge pages. Nothing where the system has no such advice.
void AdviseHugePages(char* start, std::size_t length);

// Asks the system to put fd's content on the disk. False when that fails.
bool FlushToDisk(int fd);

// Closes fd. False when the close reports an error (a late write failure).
bool CloseFile(int fd);

// Renames from over to in one step, durably: after a power cut, to names
// either its old or its new content. False when the rename fails; errno is
// then EBUSY when the name to is held (a file mounted on its own, or on
// Windows a file another process keeps open without letting it be
// replaced): its content can still be written in place.
bool MoveOver(const char* from, const char* to);

// Removes the file path; a failure leaves it, unreported.
void RemoveFile(const char* path);

// Who owns a file or folder and who else may change it: what decides
// whether its content may be trusted.
enum class Owner { CurrentUser, Administrator, Other };
struct Ownership {
  Owner owner = Owner::Other;
  bool writableByOthers = true;  // group or others (other users) may write to it
  bool isLink = false;           // a symbolic link (looked up with Links::DoNotFollow)
  bool isRegular = false;        // a regular file (links followed as asked)
  bool sticky = false;           // a folder where only an entry's owner may remove or rename it
};

// Looks up who owns path. Returns 0, or the errno of the failed look-up.
int LookUpOwnership(const char* path, Links links, Ownership* ownership);

// What replacing an existing file must respect.
struct ReplaceFacts {
  bool readOnly = false;        // its owner took away the write permission
  unsigned long linkCount = 1;  // the names it has (hard links)
};

// Looks up the facts of an existing file. Returns 0, or the errno of the
// failed look-up (ENOENT when there is none).
int LookUpReplaceFacts(const char* path, ReplaceFacts* facts);

// Opens an existing file for writing without truncating it. Returns the
// descriptor, or -1 with errno set.
int OpenForRewrite(const char* path);

// Makes sure the file open as fd has the disk space for length bytes,
// without changing its content (a longer file is not lengthened where the
// system can reserve space without it; where it cannot, the new bytes are
// zeros past the old end). False, the content as it was, when the space is
// not there (a full disk, a quota, a file-size limit).
bool ReserveSpace(int fd, unsigned long long length);

// Cuts the file open as fd to length bytes. False when that fails.
bool CutAt(int fd, unsigned long long length);

// Opens what the lock of the settings file at target (links followed) is
// taken on: on POSIX its folder; on Windows "<target>.lock", created only
// when forWriting, and used only when it is a regular file (not a link or a
// folder) of the user's own. Returns the descriptor, or -1: then
// nothingToLock tells a reader that no lock file exists yet (Windows).
int OpenSettingsLock(const char* target, bool forWriting, bool* nothingToLock);

// Takes the exclusive lock of fd without waiting. False when another
// process holds it or the lock cannot be taken.
bool TryLockExclusive(int fd);

// A wait for the exclusive lock of a descriptor, queued by the system (the
// kernel wakes the waiter when the holder lets go), that the caller can
// look in on and give up.
struct LockWait;
enum class LockWaitOutcome { Locked, Waiting, Failed };

// Starts waiting for the lock of fd, taking fd over. nullptr (fd closed)
// when the wait cannot be started.
LockWait* BeginLockWait(int fd);

// Waits up to milliseconds more. Locked: FinishLockWait gives the
// descriptor back. Waiting: call again or AbandonLockWait. Failed: the lock
// cannot be taken; AbandonLockWait.
LockWaitOutcome ContinueLockWait(LockWait* wait, int milliseconds);

// After Locked: ends the wait and returns the descriptor, which holds the
// lock until it is closed.
int FinishLockWait(LockWait* wait);

// Gives the wait up: the descriptor is closed, and a lock granted later is
// let go at once, so nothing is held on behalf of a window that gave up.
void AbandonLockWait(LockWait* wait);

// What tells whether a file has changed: its identity, size and times.
struct ChangeStamp {
  unsigned long long identity = 0;  // the file's number (inode) or 0
  unsigned long long size = 0;
  unsigned long long modified = 0;  // the last change, in the system's unit
  unsigned long long changed = 0;   // the last change of the record (POSIX)
  bool operator==(const ChangeStamp&) const = default;
};

// The stamp of path now; all zeros when it cannot be looked up.
ChangeStamp StampOf(const char* path);

// Calls visit(name, context) for each entry of folder, "." and ".." included
// where the system lists them; nothing when folder cannot be listed.
void VisitFolderEntries(const char* folder, void (*visit)(const char* name, void* context), void* context);

// Converts text in the code page the narrow file functions use (on Windows
// the system's ANSI code page) into UTF-8. False when the platform's paths
// are bytes with no code page of their own (POSIX), or the conversion fails.
bool SystemTextToUtf8(const char* text, std::string* utf8);

}  // namespace platform
