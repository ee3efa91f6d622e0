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
#ifdef _WIN32
  static_cast<void>(folder);
  static_cast<void>(why);
  return true;
#else
  const std::string resolved = platform::ResolveLinks(folder);
  if (resolved.empty() || resolved[0] != '/') return true;  // nothing absolute to walk
  // Each folder strictly above resolved, from "/" down.
  for (std::size_t end = 1; end < resolved.size(); end = resolved.find('/', end + 1)) {
    const std::string above = resolved.substr(0, end);
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
  }
  return true;
#endif
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
