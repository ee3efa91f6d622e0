#pragma once
// The window's expression history, shared with a terminal session: read from
// the settings file at the start, and every expression calculated added on
// top of it at once, under the file's lock and merged with what other
// windows wrote meanwhile. Only section "HISTORY" is ever written; the form,
// the language and every other key stay as they are.

#include <string>
#include <vector>

#include "settings/settings_state.h"
#include "settings/window_host.h"

// The history as this session holds it: the window's list, newest first,
// with the expressions typed here on top.
class TerminalHistory : public SettingsHost {
 public:
  // Never asked: a terminal session chooses no language file.
  bool AskForLanguageFile(const LanguageFileQuestion&, char*, unsigned) override { return false; }
  // Kept for the one warning on standard error.
  void ShowErrorBox(const char* caption, const char* text) override;

  void InsertHistoryItemAtTop(const char* text) override;
  void AppendHistoryItem(const char* text) override;
  int HistoryItemCount() override;
  void HistoryItemText(int index, char* buffer, unsigned capacity) override;
  void DeleteLastHistoryItem() override;

  // The entries oldest first: the order in which Up recalls them last.
  std::vector<std::string> OldestFirst() const;

  std::vector<std::string> items;  // newest first
  std::string lastError;           // the text of the last error box
};

// Where the session keeps its history file, found as the window finds it.
struct SharedHistoryPlace {
  char path[kPathCapacity];  // the settings file written
  char seed[kPathCapacity];  // a read-only install's file to start from while path is missing; or empty
};

// Finds the settings file as the window does (beside the program when that
// folder can be trusted, else the user's own) and under the same trust
// rules. False, with a one-line reason in why, when no file may be used.
bool LocateSharedHistory(SharedHistoryPlace& place, std::string& why);

// Points ProgramSettings() at place and loads the history and its length
// ("historylen") into history. A missing file gives an empty history.
void LoadSharedHistory(const SharedHistoryPlace& place, TerminalHistory& history);

// How long a window may hold the settings file's lock without changing it
// before a save from the terminal gives up: a person at a prompt should not
// wait half a minute for a hung window.
inline constexpr int kTerminalLockPatienceMilliseconds = 5000;

// Adds text on top of history and merges the entries this session added
// since its last save into the file, under its lock (patience as above).
// Keys outside "HISTORY" are never touched; a file that is missing is
// created, starting from the seed when there is one. False, with a
// one-line reason in why, when the lock could not be had or the file could
// not be read or written; the entries not saved go with the next save.
bool AddToSharedHistory(const SharedHistoryPlace& place, TerminalHistory& history, const std::string& text,
                        int patienceMilliseconds, std::string& why);
