// The lock of a settings file: a lock file beside it, taken with a bounded
// wait, so that a window that hangs never blocks the others for good.

#include "settings/file_lock.h"

#include <chrono>
#include <string>

#include "settings/file_system_platform.h"

namespace {

// How many SettingsFileLock objects of this process hold the lock now.
int locksHeldByThisProcess = 0;

// Tries to lock fd until the wait is over.
bool LockWithinWait(int fd) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kLockWaitMilliseconds);
  for (;;) {
    if (platform::TryLockExclusive(fd)) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    platform::PauseBriefly();
  }
}

}  // namespace

SettingsFileLock::SettingsFileLock(const char* settingsPath) {
  if (locksHeldByThisProcess > 0) {
    held_ = true;
    ++locksHeldByThisProcess;
    return;
  }
  if (settingsPath == nullptr || settingsPath[0] == '\0') return;
  // Saves replace the file a link points to, so that is the file to guard.
  const std::string target = platform::ResolveLinks(settingsPath);
  fd_ = platform::OpenLockFile((target + kLockSuffix).c_str(), true);
  // A folder the user cannot write to: the file there is written in place,
  // so it keeps its identity and can carry the lock itself.
  if (fd_ < 0) fd_ = platform::OpenLockFile(target.c_str(), false);
  if (fd_ < 0 || !LockWithinWait(fd_)) return;
  held_ = true;
  ++locksHeldByThisProcess;
}

SettingsFileLock::~SettingsFileLock() {
  if (held_) --locksHeldByThisProcess;
  // Closing the descriptor releases the lock.
  if (fd_ >= 0) platform::CloseFile(fd_);
}
