// The ownership tests behind the choice of the settings file and the loading
// of language files, as ssh judges the files it reads.

#include "settings/trust.h"

#include <cstring>

#include "settings/file_system.h"
#include "settings/file_system_platform.h"
#include "settings/settings_state.h"

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

bool IsSafeLanguagePlace(const char* path) {
  char folder[kPathCapacity];
  if (!CopyFolderOf(path, folder, sizeof folder)) std::strcpy(folder, ".");
  platform::Ownership place;
  if (platform::LookUpOwnership(folder, platform::Links::Follow, &place) != 0) return false;
  if (!place.writableByOthers) return true;
  if (place.owner != platform::Owner::CurrentUser) return false;
  // The user's own folder that others may write to: only a file the user
  // (or the administrator) owns is the user's choice.
  platform::Ownership file;
  return platform::LookUpOwnership(path, platform::Links::DoNotFollow, &file) == 0 &&
         IsOwnedByUserOrAdministrator(file) && (!file.isLink || IsPrivateToUser(path));
}
