// The ownership tests behind the choice of the settings file and the loading
// of language files, as ssh judges the files it reads.

#include "settings/files/trust.h"

#include <cstring>

#include "settings/files/file_system.h"
#include "settings/files/file_system_platform.h"

namespace {

bool IsOwnedByUserOrAdministrator(const platform::Ownership& ownership) {
  return ownership.owner != platform::Owner::Other;
}

// Whether the folder above may hold the way down: the user's or the
// administrator's, and others may at most add entries to it.
bool IsSafeFolderAbove(const std::string& above, std::string* why) {
  platform::Ownership ownership;
  if (platform::LookUpOwnership(above.c_str(), platform::Links::DoNotFollow, &ownership) != 0) return true;
  if (!IsOwnedByUserOrAdministrator(ownership)) {
    if (why != nullptr) *why = PathForDisplay(above.c_str()) + " belongs to another user";
    return false;
  }
  if (ownership.writableByOthers && !ownership.sticky) {
    if (why != nullptr) *why = PathForDisplay(above.c_str()) + " may be changed by other users";
    return false;
  }
  return true;
}

}  // namespace

bool IsPrivateToUser(const char* path) {
  platform::Ownership ownership;
  if (platform::LookUpOwnership(path, platform::Links::DoNotFollow, &ownership) != 0) return false;
  if (!IsOwnedByUserOrAdministrator(ownership)) return false;
  if (ownership.isLink &&
      (platform::LookUpOwnership(path, platform::Links::Follow, &ownership) != 0 ||
       !IsOwnedByUserOrAdministrator(ownership))) {
    return false;
  }
  return !ownership.writableByOthers;
}

bool AreFoldersAboveSafe(const char* folder, std::string* why) {
  const std::string resolved = platform::ResolveLinks(folder);
  const std::size_t root = platform::RootLength(resolved);
  if (root == 0) return true;  // nothing absolute to walk
  // Each folder strictly above resolved, from the root down.
  for (std::size_t end = root; end < resolved.size(); ++end) {
    if (end > root && !platform::IsSeparator(resolved[end])) continue;
    if (end > root && platform::IsSeparator(resolved[end - 1])) continue;  // a doubled separator
    const std::string above = resolved.substr(0, end);
    if (!IsSafeFolderAbove(above, why)) return false;
  }
  return true;
}

bool IsSafeLanguagePlace(const char* path) {
  char folder[kLongestPathCapacity];
  if (!CopyFolderOf(path, folder, sizeof folder)) std::strcpy(folder, ".");
  if (!AreFoldersAboveSafe(folder, nullptr)) return false;
  platform::Ownership place;
  if (platform::LookUpOwnership(folder, platform::Links::Follow, &place) != 0) return false;
  // A folder of another user's may hold anything, whatever its permissions.
  if (!IsOwnedByUserOrAdministrator(place)) return false;
  if (!place.writableByOthers) return true;
  if (place.owner != platform::Owner::CurrentUser) return false;
  // The user's own folder that others may write to: only a file the user
  // (or the administrator) owns is the user's choice.
  platform::Ownership file;
  return platform::LookUpOwnership(path, platform::Links::DoNotFollow, &file) == 0 &&
         IsOwnedByUserOrAdministrator(file) && (!file.isLink || IsPrivateToUser(path));
}
