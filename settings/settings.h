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

// Where the settings file lives: beside the executable (exeFolder) when
// quillo.ini is already there or the folder is writable, for portable use;
// otherwise in the user's configuration folder, <configHome>/quillo/quillo.ini,
// where configHome is xdgConfigHome when set and absolute, else home/.config
// (on Windows the caller passes %APPDATA% as xdgConfigHome). Writes the path
// into out; false when it does not fit.
bool LocateSettingsFile(const char* exeFolder, const char* xdgConfigHome, const char* home, char* out,
                        unsigned capacity);

// Writes "form", the history (from host's list) and "historylen". When a
// write fails the user is told through host.ShowErrorBox, naming the file, and
// false is returned. Ending the dialog is the caller's.
bool SaveSettings(SettingsHost& host);
