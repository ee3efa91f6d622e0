#pragma once
// The settings file "quillo.ini": where it lives, reading it at start-up and
// writing it when the window closes.

#include "settings/window_host.h"

inline constexpr int kPathCapacity = 512;
inline constexpr int kScratchTextCapacity = 1000;

extern int HistoryLength;                    // entries the history keeps; 10 until read
extern char SettingsPath[kPathCapacity];     // full path of quillo.ini, set by LoadSettings
extern char LanguagePath[kPathCapacity];     // full path of the chosen language file
extern char ScratchText[kScratchTextCapacity];  // shared scratch text
extern int CurrentForm;                      // selected result form, always 0..4

// Locates or creates the settings file, makes sure a language file can be
// opened (asking through host), loads the texts and reads the form. False when
// the program must end without a window (the message has been shown).
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
