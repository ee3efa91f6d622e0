#pragma once
// The few file-system questions the settings code asks, answered the same way
// on Linux and Windows. The answers are written once (file_system.cpp) on a
// few primitives that each platform supplies (file_system_platform.h).

#include <cstddef>
#include <string>
#include <string_view>

#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

enum class PathState {
  Missing,  // nothing of that name (or a parent folder is missing)
  File,     // a regular file
  Folder,   // a folder
  Special,  // a device, pipe or socket: never read as a file, since reading
            // one may block or never end
  Unknown,  // the name cannot be looked up (no permission, I/O error)
};

// What the path names, without opening it.
PathState QueryPath(const char* path);

// True when path is a regular file that opens for binary reading.
bool CanOpenForReading(const char* path);

// True when path is a regular file that opens for writing (nothing is
// written or cut).
bool CanOpenForWriting(const char* path);

enum class FileReadOutcome {
  Read,        // text holds the whole file
  CannotOpen,  // the open failed; error holds its errno
  NotRegular,  // a folder, device, pipe or socket
  TooLarge,    // more than the limit
  Failed,      // a read failed; error holds its errno
};

// Reserves room for size bytes in text, which is empty. A long history's
// text is hundreds of megabytes written once, and each first write to a
// 4 KiB page of it costs a page fault: on a virtual machine 200 MB of faults
// took 0.6 s where the merge itself takes 0.05 s. Where the system offers
// larger pages, a buffer beyond 64 MiB asks for them. Only a hint: it
// changes no byte, and ignored or refused it costs only speed.
void ReserveLargeText(std::string& text, std::size_t size);

// Reads the whole of path into text when it names a regular file of at most
// limit bytes. The file is opened without blocking and checked on the open
// descriptor, so a FIFO or device is refused without being waited on or
// read, and nothing swapped in after the check is read instead. On any
// other outcome than Read, text is empty; error holds an errno or 0.
FileReadOutcome ReadRegularFile(const char* path, std::size_t limit, std::string& text, int& error);

// True when a new file can be created in folder (tried with a probe file that
// is removed again at once).
bool IsFolderWritable(const char* folder);

// Creates folder and every missing parent. True when it exists afterwards.
bool MakeFolders(const char* folder);

// Writes the folder part of path (up to the last separator, exclusive) into
// out; false when path has no separator or out is too small.
bool CopyFolderOf(const char* path, char* out, std::size_t capacity);

// Writes "first" + separator + "second" into out; false when it does not fit
// (out then holds the empty text).
bool JoinPath(const char* first, const char* second, char* out, std::size_t capacity);

// Replaces the file's content atomically: the bytes go to a temporary file in
// the same folder, are flushed to disk and the temporary file is renamed over
// path. On failure the old file is left byte for byte and the temporary file
// is removed. A new file gets the permissions a created file would get; a
// replaced one keeps its permissions, owner, group and extended attributes
// as far as the process may set them. A symbolic link is followed, so the
// file it points to is replaced and the link stays.
// Refused (false, nothing written): a file its owner made read-only.
// Written in place instead (truncated to the new length and flushed): a file
// with more than one name (hard links), a file the user may write to in a
// folder the user may not, and a file whose name cannot be replaced (mounted
// on its own; on Windows, kept open by a process that does not let it go).
bool ReplaceFileContent(const char* path, std::string_view bytes);

// Whether name is one of the temporary files that replacing fileName makes:
// "<fileName>.<process id>-<letters or digits>.tmp".
bool IsTemporaryNameOf(std::string_view name, std::string_view fileName);

// Removes, beside the file path names (links followed), the temporary files
// a replacement of it killed half-way has left behind: regular files of the
// user's with a temporary name of that file. Nothing else is touched, and
// nothing at all when the folder cannot be told. Call it only while holding
// the file's SettingsFileLock, so that no live save's file goes.
void RemoveLeftoverTemporaryFiles(const char* path);

// path as UTF-8 for a message that names it: on Windows converted from the
// system's code page, in which the narrow file functions take it; elsewhere
// as it is when it is valid UTF-8, else read as Windows-1251 like a
// language text (text_encoding.h).
std::string PathForDisplay(const char* path);

// The value of the environment variable name, "" when it is not set; on
// Windows read in UTF-16 and given as UTF-8, like every path.
std::string EnvironmentText(const char* name);

// The full path of the running executable (UTF-8 on Windows); false when it
// cannot be found or does not fit.
bool ReadExecutablePath(char* out, std::size_t capacity);
