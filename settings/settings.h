#pragma once
// The settings file "quillo.ini": where it lives, reading it at start-up and
// writing it when the window closes.

#include "settings/settings_state.h"
#include "settings/window_host.h"

// Locates or creates the settings file, makes sure a language file can be
// opened (asking through host), loads the texts and reads the form into
// ProgramSettings(). False when the program must end without a window (the
// message has been shown).
bool LoadSettings(SettingsHost& host);
bool CreateSettingsFile(SettingsHost& host);

// LoadSettings with the settings file already located at settingsPath.
bool LoadSettingsFrom(SettingsHost& host, const char* settingsPath);

// Where the settings file lives. Beside the executable (exeFolder) for
// portable use, when nobody but the user and the administrator can change
// that folder and the file there, and the user can write the folder or the
// file. Otherwise the user's own file, <configHome>/quillo/quillo.ini, where
// configHome is xdgConfigHome when set and absolute, else home/.config (on
// Windows the caller passes %APPDATA% as xdgConfigHome). A trusted file
// beside a read-only install becomes the seed: the user's file starts as a
// copy of it.
struct SettingsLocation {
  char path[kPathCapacity];  // the file to read and write
  char seed[kPathCapacity];  // the file to copy when path is missing; empty when none
  // Why the per-user file was refused, terminated; empty when it was not.
  char refusal[2 * kPathCapacity];
};
// False when no place can be used: the program's folder is not trusted and
// no per-user folder is known, or a path does not fit, or the per-user file
// is refused (path then names it and refusal says why): a folder on its way
// that another user owns or may change, or a file that is not the user's.
bool LocateSettingsFile(const char* exeFolder, const char* xdgConfigHome, const char* home,
                        SettingsLocation* location);

// LoadSettings at a location already found: a missing file at location.path
// first becomes a copy of location.seed, when there is one.
bool LoadSettingsAt(SettingsHost& host, const SettingsLocation& location);

// Writes "form", the history and "historylen" under the file's lock, into
// the file as it is now: the entries this window added go on top of those
// the file holds (MergeHistoryInto), and keys other windows wrote stay. When
// the file cannot be locked within the wait or written, the user is told
// through host.ShowErrorBox, naming the file, and false is returned. Ending
// the dialog is the caller's.
bool SaveSettings(SettingsHost& host);
