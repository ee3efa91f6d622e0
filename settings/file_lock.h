#pragma once
// One change of a settings file at a time, across windows and processes.

// Holds the exclusive lock of a settings file while it lives. The lock is
// taken on "<file>.lock" beside the file a symbolic link points to, or, in a
// folder where that cannot be created, on the settings file itself. Taking
// it waits up to kLockWaitMilliseconds for another holder to finish; after
// that Held() is false and the caller must not change the file.
//
// Holding a lock while this process already holds one (a save that calls
// another settings function) succeeds at once: the outer lock covers both.
class SettingsFileLock {
 public:
  explicit SettingsFileLock(const char* settingsPath);
  ~SettingsFileLock();
  SettingsFileLock(const SettingsFileLock&) = delete;
  SettingsFileLock& operator=(const SettingsFileLock&) = delete;

  bool Held() const { return held_; }

 private:
  int fd_ = -1;
  bool held_ = false;
};

// How long a change of the settings file waits for another window's change.
inline constexpr int kLockWaitMilliseconds = 5000;

// The name of the lock file of the file named fileName.
inline constexpr char kLockSuffix[] = ".lock";
