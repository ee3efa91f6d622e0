#pragma once
// Which files the program may believe. A file that another user can change
// may have been planted to redirect the program (a link to the user's own
// files, texts of the attacker's choosing), so it is not used.

// True when nobody but the user and the system's administrator can change
// path: it is owned by one of them and neither its group nor others may
// write to it. A symbolic link must be owned by one of them and what it
// points to must pass the same test. False when path cannot be looked up.
bool IsPrivateToUser(const char* path);

// True when a language file at path may be loaded. Refused: a file in a
// folder that others may write to, unless that folder is the user's own and
// the file the user's or the administrator's.
bool IsSafeLanguagePlace(const char* path);
