#pragma once
// The expression history: the expression box's own list, newest first.

#include "settings/window_host.h"

// Reads "historylen" into HistoryLength and appends the stored entries.
void LoadHistory(SettingsHost& host);

// Inserts text at the top and drops the last item beyond HistoryLength;
// an empty text adds nothing.
void AddToHistory(SettingsHost& host, const char* text);
