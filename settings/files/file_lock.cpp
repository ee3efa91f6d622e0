// The lock of a settings file, taken with a wait queued by the system rather
// than by polling: a poller can be overtaken again and again while others
// save, and give up although every holder made progress.

#include "settings/files/file_lock.h"

#include <string>

#include "settings/files/file_system_platform.h"

namespace {

// How many SettingsFileLock objects of this process hold the lock now.
int locksHeldByThisProcess = 0;

}  // namespace

SettingsFileLock::SettingsFileLock(const char* settingsPath, bool forWriting, const LockWaitQuestion& askWaitAgain,
                                   int patienceMilliseconds) {
  if (locksHeldByThisProcess > 0) {
    held_ = true;
    counted_ = true;
    ++locksHeldByThisProcess;
    return;
  }
  if (settingsPath == nullptr || settingsPath[0] == '\0') return;
  // Saves replace the file a link points to, so that is the file to guard.
  const std::string target = platform::ResolveLinks(settingsPath);
  bool nothingToLock = false;
  fd_ = platform::OpenSettingsLock(target.c_str(), forWriting, &nothingToLock);
  if (fd_ < 0) {
    // Only a reader on Windows before any write: nothing to lock, nothing
    // half-written to meet either.
    held_ = nothingToLock && !forWriting;
    return;
  }
  held_ = platform::TryLockExclusive(fd_) || WaitForLock(target.c_str(), askWaitAgain, patienceMilliseconds);
  if (!held_) return;
  counted_ = true;
  ++locksHeldByThisProcess;
}

bool SettingsFileLock::WaitForLock(const char* target, const LockWaitQuestion& askWaitAgain,
                                   int patienceMilliseconds) {
  platform::LockWait* wait = platform::BeginLockWait(fd_);
  fd_ = -1;  // the wait owns the descriptor until it gives it back
  if (wait == nullptr) return false;
  platform::ChangeStamp last = platform::StampOf(target);
  for (;;) {
    const platform::LockWaitOutcome outcome = platform::ContinueLockWait(wait, patienceMilliseconds);
    if (outcome == platform::LockWaitOutcome::Locked) {
      fd_ = platform::FinishLockWait(wait);
      return true;
    }
    if (outcome == platform::LockWaitOutcome::Failed) break;
    // A holder that changed the file since the last look is making
    // progress (a queue of windows saving in turn): wait on unasked.
    const platform::ChangeStamp now = platform::StampOf(target);
    const bool progress = !(now == last);
    last = now;
    if (!progress && !(askWaitAgain && askWaitAgain(target))) break;
  }
  platform::AbandonLockWait(wait);
  return false;
}

SettingsFileLock::~SettingsFileLock() {
  if (counted_) --locksHeldByThisProcess;
  // Closing the descriptor releases the lock.
  if (fd_ >= 0) platform::CloseFile(fd_);
}
