// The file-system primitives on Windows, through the C runtime's descriptors
// and the wide forms of the Win32 calls. Paths are UTF-8 in the program and
// UTF-16 at the system, so a folder named in any script works whatever the
// system's code page; a path that is not UTF-8 (one stored by an older
// version) is read in the system's code page. Long absolute paths get the
// "\\?\" prefix, which lifts the 260-character limit.

#include <windows.h>

#include <aclapi.h>
#include <sddl.h>

#include <direct.h>
#include <fcntl.h>
#include <io.h>
#include <process.h>
#include <sys/stat.h>
#include <sys/types.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "settings/files/file_system.h"
#include "settings/files/file_lock.h"
#include "settings/files/file_system_platform.h"

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

// The rights that let someone change a file's content, or its permissions
// so as to change the content next.
constexpr ACCESS_MASK kChangingRights = FILE_WRITE_DATA | FILE_APPEND_DATA | WRITE_DAC | WRITE_OWNER |
                                        GENERIC_WRITE | GENERIC_ALL | DELETE;

// Whether sid is one of the groups that stand for every user of the machine.
bool IsEveryoneGroup(PSID sid) {
  return IsWellKnownSid(sid, WinWorldSid) || IsWellKnownSid(sid, WinBuiltinUsersSid) ||
         IsWellKnownSid(sid, WinAuthenticatedUserSid) || IsWellKnownSid(sid, WinBuiltinGuestsSid) ||
         IsWellKnownSid(sid, WinAnonymousSid);
}

// Whether sid belongs to the system and its administrators.
bool IsAdministratorSid(PSID sid) {
  if (IsWellKnownSid(sid, WinBuiltinAdministratorsSid) || IsWellKnownSid(sid, WinLocalSystemSid)) return true;
  // TrustedInstaller, the owner of the system's program folders.
  LPSTR text = nullptr;
  if (!ConvertSidToStringSidA(sid, &text)) return false;
  const bool trustedInstaller =
      std::strcmp(text, "S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464") == 0;
  LocalFree(text);
  return trustedInstaller;
}

// Whether sid stands for whoever owns the object (OWNER RIGHTS): its owner
// is judged on its own.
bool IsOwnerRightsSid(PSID sid) {
  LPSTR text = nullptr;
  if (!ConvertSidToStringSidA(sid, &text)) return false;
  const bool ownerRights = std::strcmp(text, "S-1-3-4") == 0;
  LocalFree(text);
  return ownerRights;
}

// Whether sid is the user this process runs as.
bool IsCurrentUser(PSID sid) {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
  DWORD size = 0;
  GetTokenInformation(token, TokenUser, nullptr, 0, &size);
  std::unique_ptr<char[]> buffer(new char[size > 0 ? size : 1]);
  bool same = GetTokenInformation(token, TokenUser, buffer.get(), size, &size) &&
              EqualSid(reinterpret_cast<TOKEN_USER*>(buffer.get())->User.Sid, sid);
  CloseHandle(token);
  return same;
}

// The rights that let someone remove, rename or take over what a folder
// holds; a folder that grants others no more than adding entries is to
// them what a sticky folder is on POSIX (the root of a drive lets every
// user make folders there).
constexpr ACCESS_MASK kReplacingRights =
    WRITE_DAC | WRITE_OWNER | GENERIC_WRITE | GENERIC_ALL | DELETE | FILE_DELETE_CHILD;

// Whether the access list lets anyone but the user, the administrators and
// the system use one of rights on the object: every user, a group, another
// named user. No list at all lets everyone do everything; an entry that
// cannot be read, or of a kind not understood that grants, counts as a
// grant to others.
bool LetsOthersChange(PACL dacl, ACCESS_MASK rights) {
  if (dacl == nullptr) return true;
  for (DWORD i = 0; i < dacl->AceCount; ++i) {
    void* entry = nullptr;
    if (!GetAce(dacl, i, &entry)) return true;
    const auto* header = static_cast<ACE_HEADER*>(entry);
    if ((header->AceFlags & INHERIT_ONLY_ACE) != 0) continue;
    if (header->AceType == ACCESS_DENIED_ACE_TYPE || header->AceType == SYSTEM_AUDIT_ACE_TYPE) continue;
    if (header->AceType != ACCESS_ALLOWED_ACE_TYPE) return true;
    const auto* allowed = static_cast<ACCESS_ALLOWED_ACE*>(entry);
    if ((allowed->Mask & rights) == 0) continue;
    PSID sid = const_cast<DWORD*>(&allowed->SidStart);
    if (IsEveryoneGroup(sid) || !(IsCurrentUser(sid) || IsAdministratorSid(sid) || IsOwnerRightsSid(sid))) {
      return true;
    }
  }
  return false;
}

// How long a replacement that another process's open handle refuses is
// tried again, and the longest pause between tries. Readers and scanners
// hold a small file for milliseconds, but one that reads in a loop leaves
// only short gaps: the pauses start at a millisecond so that a gap is met.
constexpr ULONGLONG kReplaceWaitMilliseconds = 2000;
constexpr DWORD kLongestReplacePauseMilliseconds = 20;

// Whether a failed replacement may succeed when tried again: another
// process has the file open without sharing the access needed.
bool IsPassingRefusal(DWORD error) {
  return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION || error == ERROR_ACCESS_DENIED ||
         error == ERROR_UNABLE_TO_REMOVE_REPLACED || error == ERROR_UNABLE_TO_MOVE_REPLACEMENT;
}

// Whether another process has the file open without letting it be deleted,
// which refuses its replacement. Asked first, because a ReplaceFile that
// such a handle refuses may leave a file of its own behind (Wine's does).
// Sets the last error to ERROR_SHARING_VIOLATION when it is held.
bool IsHeldAgainstReplacement(const std::wstring& path) {
  HANDLE probe = CreateFileW(path.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (probe == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_SHARING_VIOLATION;
  CloseHandle(probe);
  return false;
}

// One try of renaming from over to; on failure the last error says why.
bool TryMoveOver(const std::wstring& from, const std::wstring& to) {
  if (GetFileAttributesW(to.c_str()) == INVALID_FILE_ATTRIBUTES) {
    // Nothing to replace yet. Write-through: the call returns once the
    // rename is on the disk.
    return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
  }
  if (IsHeldAgainstReplacement(to)) return false;
  // ReplaceFile gives the new file the old one's owner and access list.
  if (ReplaceFileW(to.c_str(), from.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)) return true;
  // The old file is gone and the new one still has its temporary name: the
  // rename is all that is left to do.
  return GetLastError() == ERROR_UNABLE_TO_MOVE_REPLACEMENT &&
         MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

// The errno that stands for a Windows error of opening a file.
int ErrnoOf(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
      return ENOENT;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
      return ENOTDIR;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return EACCES;
    default:
      return EIO;
  }
}

// Whether text is valid UTF-8.
bool IsUtf8(const char* text) {
  return MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text, -1, nullptr, 0) > 0;
}

// text (terminated) as UTF-16 in the code page given.
std::wstring WideOf(const char* text, UINT codePage) {
  const int count = MultiByteToWideChar(codePage, 0, text, -1, nullptr, 0);
  if (count <= 0) return std::wstring();
  std::wstring wide(static_cast<std::size_t>(count), L'\0');
  MultiByteToWideChar(codePage, 0, text, -1, wide.data(), count);
  wide.resize(static_cast<std::size_t>(count) - 1);  // the terminator
  return wide;
}

// The longest path the plain form takes, with room for the name of a file
// made inside a folder of that length (CreateDirectory's own limit).
constexpr std::size_t kLongestPlainPath = MAX_PATH - 12;

// path as the wide calls take it: see the file comment.
std::wstring WidePath(const char* path) {
  std::wstring wide = WideOf(path, IsUtf8(path) ? CP_UTF8 : CP_ACP);
  if (wide.size() < kLongestPlainPath || wide.rfind(L"\\\\?\\", 0) == 0) return wide;
  // The prefixed form takes no "/" and no relative parts.
  for (wchar_t& c : wide) {
    if (c == L'/') c = L'\\';
  }
  const bool drive = wide.size() > 2 && wide[1] == L':' && wide[2] == L'\\';
  if (drive) return L"\\\\?\\" + wide;
  if (wide.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + wide.substr(2);
  return wide;
}

// wide (terminated) as UTF-8.
std::string Utf8OfWide(const wchar_t* wide) {
  const int count = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
  if (count <= 0) return std::string();
  std::string utf8(static_cast<std::size_t>(count), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide, -1, utf8.data(), count, nullptr, nullptr);
  utf8.resize(static_cast<std::size_t>(count) - 1);  // the terminator
  return utf8;
}

// Opens path with CreateFileW as a C runtime descriptor of mode (_O_RDONLY,
// _O_WRONLY or _O_RDWR, with _O_BINARY); -1 with errno set on failure.
int OpenDescriptor(const char* path, DWORD access, DWORD disposition, DWORD flags, int mode) {
  HANDLE file = CreateFileW(WidePath(path).c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, disposition, flags, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    errno = ErrnoOf(GetLastError());
    return -1;
  }
  const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(file), mode);
  if (fd < 0) CloseHandle(file);
  return fd;
}

}  // namespace

namespace platform {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

std::size_t RootLength(const std::string& path) {
  std::size_t start = 0;
  if (path.rfind("\\\\?\\", 0) == 0) start = 4;  // a long path's prefix
  const auto isLetter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
  if (path.size() >= start + 3 && isLetter(path[start]) && path[start + 1] == ':' && IsSeparator(path[start + 2])) {
    return start + 3;
  }
  if (start == 0 && path.size() > 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
    // "\\server\share\": the share is the root of what may be walked.
    std::size_t server = path.find_first_of("\\/", 2);
    if (server == std::string::npos) return 0;
    std::size_t share = path.find_first_of("\\/", server + 1);
    return share == std::string::npos ? 0 : share + 1;
  }
  return 0;
}

int LookUpPath(const char* path, Links /*links*/, PathState* kind) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(WidePath(path).c_str(), GetFileExInfoStandard, &data)) {
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND ? ENOENT : error == ERROR_PATH_NOT_FOUND ? ENOTDIR : ErrnoOf(error);
  }
  // Devices are told apart on the open descriptor (DescribeOpenFile).
  *kind = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? PathState::Folder : PathState::File;
  return 0;
}

void MakeOneFolder(const char* folder) { CreateDirectoryW(WidePath(folder).c_str(), nullptr); }

std::string ResolveLinks(const char* path) { return path; }

long CurrentProcessId() { return static_cast<long>(_getpid()); }

int CreateNewFile(const char* path) {
  return OpenDescriptor(path, GENERIC_WRITE, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, _O_WRONLY | _O_BINARY);
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

int OpenForReading(const char* path) {
  // Every kind of sharing, delete included: the C runtime's open grants no
  // delete sharing, and a reader holding the file so would make another
  // window's save (which replaces the file) fail.
  return OpenDescriptor(path, GENERIC_READ, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, _O_RDONLY | _O_BINARY);
}

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

void AdviseHugePages(char* /*start*/, std::size_t /*length*/) {}

bool FlushToDisk(int fd) { return _commit(fd) == 0; }

bool CloseFile(int fd) { return _close(fd) == 0; }

bool MoveOver(const char* from, const char* to) {
  // Another process may have the file open for a moment (a window reading
  // it, an indexer, a virus scanner): tried again for a while; a file still
  // held then fails with EBUSY and the old file in place, so that the
  // caller can write the content into it instead.
  const std::wstring wideFrom = WidePath(from);
  const std::wstring wideTo = WidePath(to);
  const ULONGLONG deadline = GetTickCount64() + kReplaceWaitMilliseconds;
  for (DWORD pause = 1;; pause = pause < kLongestReplacePauseMilliseconds ? pause + 1 : pause) {
    if (TryMoveOver(wideFrom, wideTo)) return true;
    if (!IsPassingRefusal(GetLastError())) {
      errno = EIO;
      return false;
    }
    if (GetTickCount64() >= deadline) {
      errno = EBUSY;
      return false;
    }
    Sleep(pause);
  }
}

void RemoveFile(const char* path) { DeleteFileW(WidePath(path).c_str()); }

int LookUpOwnership(const char* path, Links /*links*/, Ownership* ownership) {
  std::wstring wide = WidePath(path);
  const DWORD attributes = GetFileAttributesW(wide.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return ENOENT;
  ownership->isLink = false;
  ownership->isRegular = (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
  PSID owner = nullptr;
  PACL dacl = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  const DWORD result =
      GetNamedSecurityInfoW(wide.data(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, &owner,
                            nullptr, &dacl, nullptr, &descriptor);
  if (result != ERROR_SUCCESS || owner == nullptr) {
    // Who may change it cannot be told: it is not believed.
    if (descriptor != nullptr) LocalFree(descriptor);
    ownership->owner = Owner::Other;
    ownership->writableByOthers = true;
    return 0;
  }
  if (IsCurrentUser(owner)) {
    ownership->owner = Owner::CurrentUser;
  } else {
    ownership->owner = IsAdministratorSid(owner) ? Owner::Administrator : Owner::Other;
  }
  ownership->writableByOthers = LetsOthersChange(dacl, kChangingRights);
  ownership->sticky = !ownership->isRegular && !LetsOthersChange(dacl, kReplacingRights);
  LocalFree(descriptor);
  return 0;
}

int LookUpReplaceFacts(const char* path, ReplaceFacts* facts) {
  HANDLE file = CreateFileW(WidePath(path).c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_ACCESS_DENIED ? EACCES : ENOENT;
  BY_HANDLE_FILE_INFORMATION information{};
  const bool known = GetFileInformationByHandle(file, &information) != 0;
  CloseHandle(file);
  if (!known) return EIO;
  facts->readOnly = (information.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0;
  facts->linkCount = information.nNumberOfLinks;
  return 0;
}

int OpenForRewrite(const char* path) {
  return OpenDescriptor(path, GENERIC_WRITE, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, _O_WRONLY | _O_BINARY);
}

bool ReserveSpace(int fd, unsigned long long length) {
  const __int64 size = _filelengthi64(fd);
  if (size < 0) return false;
  if (length <= static_cast<unsigned long long>(size)) return true;
  // Lengthening the file allocates its clusters; the old content stays.
  if (_chsize_s(fd, static_cast<__int64>(length)) == 0) return true;
  _chsize_s(fd, size);  // a partial lengthening goes again
  return false;
}

bool CutAt(int fd, unsigned long long length) {
  return _chsize_s(fd, static_cast<__int64>(length)) == 0;
}

namespace {

// The one byte locked, far beyond any content: the lock then never stands in
// the way of reading the lock file, which Windows locks would.
void PointAtLockedByte(OVERLAPPED* where) {
  where->Offset = 0xFFFFFFFEu;
  where->OffsetHigh = 0x7FFFFFFFu;
}

// Whether the open file is a regular file (no folder, no reparse point such
// as a link) that the user owns.
bool IsOwnRegularFile(HANDLE file) {
  BY_HANDLE_FILE_INFORMATION information{};
  if (!GetFileInformationByHandle(file, &information)) return false;
  const DWORD notRegular = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE;
  if ((information.dwFileAttributes & notRegular) != 0) return false;
  PSID owner = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (GetSecurityInfo(file, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr, nullptr, nullptr,
                      &descriptor) != ERROR_SUCCESS) {
    return false;
  }
  const bool own = IsCurrentUser(owner);
  LocalFree(descriptor);
  return own;
}

}  // namespace

int OpenSettingsLock(const char* target, bool forWriting, bool* nothingToLock) {
  *nothingToLock = false;
  const std::string path = std::string(target) + kLockSuffix;
  // Overlapped, so that a wait for the lock can time out and be cancelled;
  // a reparse point is opened as itself, never followed.
  HANDLE file = CreateFileW(WidePath(path.c_str()).c_str(), GENERIC_READ | GENERIC_WRITE,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            forWriting ? OPEN_ALWAYS : OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OVERLAPPED | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    *nothingToLock = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    return -1;
  }
  if (!IsOwnRegularFile(file)) {
    CloseHandle(file);
    return -1;
  }
  const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(file), _O_RDWR | _O_BINARY);
  if (fd < 0) CloseHandle(file);
  return fd;
}

bool TryLockExclusive(int fd) {
  HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
  if (handle == INVALID_HANDLE_VALUE) return false;
  OVERLAPPED where{};
  PointAtLockedByte(&where);
  return LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &where) != 0;
}

// An overlapped LockFileEx: the system queues the request and signals the
// event when the lock is granted; the wait times out on the event and is
// cancelled with CancelIoEx.
struct LockWait {
  int fd;
  HANDLE handle;
  OVERLAPPED request;
  bool pending;  // the request has not completed yet
};

LockWait* BeginLockWait(int fd) {
  auto* wait = new LockWait{fd, reinterpret_cast<HANDLE>(_get_osfhandle(fd)), {}, false};
  wait->request.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  PointAtLockedByte(&wait->request);
  if (wait->handle == INVALID_HANDLE_VALUE || wait->request.hEvent == nullptr) {
    if (wait->request.hEvent != nullptr) CloseHandle(wait->request.hEvent);
    _close(fd);
    delete wait;
    return nullptr;
  }
  if (LockFileEx(wait->handle, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &wait->request)) {
    SetEvent(wait->request.hEvent);
  } else {
    wait->pending = GetLastError() == ERROR_IO_PENDING;
  }
  return wait;
}

LockWaitOutcome ContinueLockWait(LockWait* wait, int milliseconds) {
  if (!wait->pending) {
    return WaitForSingleObject(wait->request.hEvent, 0) == WAIT_OBJECT_0 ? LockWaitOutcome::Locked
                                                                          : LockWaitOutcome::Failed;
  }
  const DWORD waited = WaitForSingleObject(wait->request.hEvent, static_cast<DWORD>(milliseconds));
  if (waited == WAIT_TIMEOUT) return LockWaitOutcome::Waiting;
  DWORD ignored = 0;
  wait->pending = false;
  if (waited == WAIT_OBJECT_0 && GetOverlappedResult(wait->handle, &wait->request, &ignored, FALSE)) {
    return LockWaitOutcome::Locked;
  }
  ResetEvent(wait->request.hEvent);
  return LockWaitOutcome::Failed;
}

int FinishLockWait(LockWait* wait) {
  const int fd = wait->fd;
  CloseHandle(wait->request.hEvent);
  delete wait;
  return fd;
}

void AbandonLockWait(LockWait* wait) {
  if (wait->pending) {
    // The request must be over before its OVERLAPPED goes; a lock granted
    // in the meantime goes with the handle.
    CancelIoEx(wait->handle, &wait->request);
    DWORD ignored = 0;
    GetOverlappedResult(wait->handle, &wait->request, &ignored, TRUE);
  }
  _close(wait->fd);
  CloseHandle(wait->request.hEvent);
  delete wait;
}

ChangeStamp StampOf(const char* path) {
  ChangeStamp stamp;
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(WidePath(path).c_str(), GetFileExInfoStandard, &data)) return stamp;
  stamp.size = (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  stamp.modified =
      (static_cast<unsigned long long>(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
  stamp.changed =
      (static_cast<unsigned long long>(data.ftCreationTime.dwHighDateTime) << 32) | data.ftCreationTime.dwLowDateTime;
  return stamp;
}

void VisitFolderEntries(const char* folder, void (*visit)(const char* name, void* context), void* context) {
  char pattern[kTemporaryPathCapacity];
  if (!JoinPath(folder, "*", pattern, sizeof pattern)) return;
  WIN32_FIND_DATAW entry;
  HANDLE search = FindFirstFileW(WidePath(pattern).c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    visit(Utf8OfWide(entry.cFileName).c_str(), context);
  } while (FindNextFileW(search, &entry));
  FindClose(search);
}

bool SystemTextToUtf8(const char* text, std::string* utf8) {
  // Paths are UTF-8 already; one that is not came from an older version in
  // the system's code page.
  if (IsUtf8(text)) return false;
  *utf8 = Utf8OfWide(WideOf(text, CP_ACP).c_str());
  return true;
}

}  // namespace platform

bool ReadExecutablePath(char* out, std::size_t capacity) {
  if (capacity == 0) return false;
  // Long enough for a path with the long-path prefix; a full buffer means
  // the path was cut.
  std::wstring wide(32768, L'\0');
  const DWORD length = GetModuleFileNameW(nullptr, wide.data(), static_cast<DWORD>(wide.size()));
  if (length == 0 || length >= wide.size()) return false;
  wide.resize(length);
  if (wide.rfind(L"\\\\?\\", 0) == 0 && wide.size() > 6 && wide[5] == L':') wide.erase(0, 4);
  const std::string utf8 = Utf8OfWide(wide.c_str());
  if (utf8.size() >= capacity) return false;
  std::memcpy(out, utf8.c_str(), utf8.size() + 1);
  return true;
}

std::string EnvironmentText(const char* name) {
  const std::wstring wide = WideOf(name, CP_UTF8);
  const wchar_t* value = _wgetenv(wide.c_str());
  return value != nullptr ? Utf8OfWide(value) : std::string();
}
