#pragma once
// The expression history: the expression box's own list, newest first.

#include <string>

#include "settings/window_host.h"

// Reads "historylen" into HistoryLength and appends the stored entries.
void LoadHistory(SettingsHost& host);

// Inserts text at the top and drops the last item beyond HistoryLength;
// an empty text adds nothing.
void AddToHistory(SettingsHost& host, const char* text);

// The saving loop: sets section "HISTORY" of the loaded settings text from
// host's list, key "0" the newest, stopping at the first empty item. Keys
// beyond the last item written stay as they are.
void StoreHistoryInto(SettingsHost& host, std::string& settingsText);
