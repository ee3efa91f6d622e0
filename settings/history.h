#pragma once
// The expression history: the expression box's own list, newest first.

#include <string>

#include "settings/window_host.h"

// Reads "historylen" into HistoryLength and appends the stored entries.
void LoadHistory(SettingsHost& host);

// Inserts text at the top and drops the last item beyond HistoryLength;
// an empty text adds nothing.
void AddToHistory(SettingsHost& host, const char* text);

// The saving step, on the settings text as the file holds it now (other
// windows may have saved since this one loaded it): the entries this window
// added, newest first, go on top of the entries the text holds, and the
// first HistoryLength of them become section "HISTORY", key "0" the newest.
// With no other window in between this writes exactly this window's list.
// Keys beyond the last entry written stay as they are. The text is walked
// once, however long the history. Returns whether a byte of it changed.
bool MergeHistoryInto(SettingsHost& host, std::string& settingsText);
