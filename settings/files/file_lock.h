#pragma once
// One change of a settings file at a time, across windows and processes.

#include <functional>

// How long a holder of the lock may go without changing the settings file
// before the waiting window asks whether to go on waiting: long enough for
// any save that makes progress, short enough that a hung window is noticed.
inline constexpr int kStuckHolderMilliseconds = 30000;

// Asked, with the settings file's path, when the holder of its lock has
// changed nothing for the patience: true to wait once more, false to give up.
using LockWaitQuestion = std::function<bool(const char* settingsPath)>;

// Holds the exclusive lock of a settings file while it lives. On POSIX the
// lock is taken on the folder that holds the file a symbolic link points to:
// the folder is always there, cannot be planted by another user where the
// file itself is trusted, and leaves no file behind. On Windows, where a
// folder cannot be locked, it is "<file>.lock" beside the file, a regular
// file of the user's own; only a writer creates it, so a start that writes
// nothing leaves none, and a reader that finds none reads without a lock
// (every write there replaces the file in one step).
//
// Taking the lock waits in the system's queue, so windows get it in turn
// however busy the machine is. The wait goes on as long as the holder keeps
// changing the settings file; when it has changed nothing for patience
// milliseconds, askWaitAgain decides (no question: give up). After giving up
// Held() is false and the caller must not change the file. Held() is false
// too when nothing can be locked at all (a folder that cannot be opened, a
// lock file that is not the user's regular file): never is a file changed
// without a lock.
//
// Holding a lock while this process already holds one (a save that calls
// another settings function) succeeds at once: the outer lock covers both.
class SettingsFileLock {
 public:
  explicit SettingsFileLock(const char* settingsPath, bool forWriting = true,
                            const LockWaitQuestion& askWaitAgain = {},
                            int patienceMilliseconds = kStuckHolderMilliseconds);
  ~SettingsFileLock();
  SettingsFileLock(const SettingsFileLock&) = delete;
  SettingsFileLock& operator=(const SettingsFileLock&) = delete;

  bool Held() const { return held_; }

 private:
  // Waits in the system's queue for the lock of fd_; see the class comment.
  bool WaitForLock(const char* target, const LockWaitQuestion& askWaitAgain, int patienceMilliseconds);

  int fd_ = -1;
  bool held_ = false;
  bool counted_ = false;  // this object counts among the process's holders
};

// The name of the lock file of the file named fileName (Windows).
inline constexpr char kLockSuffix[] = ".lock";
