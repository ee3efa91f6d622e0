#pragma once
// Which files the program may believe. A file that another user can change
// may have been planted to redirect the program (a link to the user's own
// files, texts of the attacker's choosing), so it is not used.

#include <string>

// True when nobody but the user and the system's administrator can change
// path: it is owned by one of them and neither its group nor others may
// write to it. A symbolic link must be owned by one of them and what it
// points to must pass the same test. False when path cannot be looked up.
bool IsPrivateToUser(const char* path);

// Whether every folder above folder, from the root down, is safe to pass
// through, as ssh judges the folders above the files it reads: owned by the
// user or the administrator and writable by nobody else. A folder others may
// write to passes only when it is sticky and the user's or the
// administrator's (as /tmp): there nobody may remove or rename what is not
// theirs, and the next folder down must pass on its own. folder itself is
// not judged here. Links are followed first. When one fails, why names it
// and says what is wrong; a name that cannot be looked up passes (it does
// not exist yet, and will be the user's when made). On Windows a folder
// that lets others no more than add entries (as a drive's root lets every
// user make folders) counts as sticky; the walk starts at the drive's root
// or the network share.
bool AreFoldersAboveSafe(const char* folder, std::string* why);

// True when a language file at path may be loaded. Refused: a file in a
// folder that others may write to, unless that folder is the user's own and
// the file the user's or the administrator's. Every folder above that one
// must pass AreFoldersAboveSafe.
bool IsSafeLanguagePlace(const char* path);
