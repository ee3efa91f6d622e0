#pragma once
// The main dialog's behaviour, independent of any window toolkit. A front end
// creates one MainDialog over its DialogWindow, calls Initialise while the
// window is being created, and forwards the window's events to the On...
// functions. Everything the dialog shows or asks for goes through the window.

#include "engine/engine_state.h"
#include "format/result_format.h"
#include "ui/box_undo.h"
#include "ui/dialog_window.h"
#include "ui/history_search.h"
#include "ui/menu_model.h"
#include "ui/result_notes.h"

class MainDialog {
 public:
  MainDialog(DialogWindow& window, EngineState& engine);
  MainDialog(const MainDialog&) = delete;
  MainDialog& operator=(const MainDialog&) = delete;

  // Fills the new window: dialog texts, menu, icon, focus on the box, the
  // radio button of the selected form, the history, and the results of the
  // (still empty) expression.
  void Initialise();

  // A menu command, a button, a radio button, or the expression box with its
  // notification code. Unknown ids and codes are ignored.
  void OnCommand(int commandId, int notification);

  // Ctrl+key (with Shift where `shift`) while the window has the focus: the
  // menu command it stands for, if any (the word menu's keys).
  void OnShortcut(char key, bool shift);

  // Copy commands: the result line of the selected form (Ctrl+C in the box
  // with nothing selected), one line (a line's context menu), or all five
  // labelled lines (Ctrl+Shift+C, the context menu). Each copies the lines
  // exactly as shown.
  void OnCopyResult();
  void OnCopyLine(int lineId);
  void OnCopyAll();

  // Alt with a letter while the box has the focus: when the letter marks a
  // form's radio button, that form is chosen, and true returned. The focus,
  // the caret and the selection stay in the box, so typing goes on; the
  // front end must not let the key move the focus to the button.
  bool OnFormKey(char letter);

  // A click on the BIN line's digit of bit `bit` (0 the lowest) of the
  // word: the bit of the word the integer lines show is flipped and the new
  // value goes into the box in the selected form, as Calculate writes a
  // result, selected, in one undo step; the lines show it. Nothing goes into
  // the history: the value enters it when calculated. A line that shows a
  // message, or a bit outside the word, only beeps.
  void OnFlipBit(int bit);

  // Escape (1) or Down arrow (2) pressed while registered.
  void OnHotkey(int hotkeyId);

  // Ctrl+Z and Ctrl+Shift+Z (or Ctrl+Y) in the box, and Undo and Redo of
  // its context menu: one step back or forth through every text the box
  // showed, typed or put there by Calculate, Escape or a history entry. The
  // front end leaves the edit field's own undo unused.
  void OnUndo();
  void OnRedo();
  bool CanUndo() const { return undo_.CanUndo(); }
  bool CanRedo() const { return undo_.CanRedo(); }

  // The history search. Ctrl+R in the box starts it, and again while it
  // runs selects the next older match; the text typed into it narrows the
  // matches; a match can be selected (arrow keys, the mouse). Ending it with
  // accept (Enter) puts the selected entry into the box and calculates it,
  // as taking it from the list does; without (Escape, a click elsewhere) the
  // box keeps what it held.
  void OnHistorySearch();
  void OnHistorySearchQuery(const char* query);
  void OnHistorySearchSelect(int index);
  void OnHistorySearchEnd(bool accept);

  // The window's close box, Alt+F4, or a request to terminate: saves the
  // settings and the history, then ends the dialog. A failed save has been
  // reported to the user by then; the dialog ends all the same.
  void OnCloseRequest();

  // The desktop session is ending: saves as a close would, but leaves the
  // window to the session manager (the logout may still be cancelled).
  void OnSessionEnd();

 private:
  void Recalculate();
  void ShowResults();
  void MarkResults();
  void TakeBoxEdit();
  void SetBox(const char* text);
  void Calculate();
  void EscapeInBox();
  void DownInBox();
  void BeginListChoice();
  void ShowListEntry();
  void CloseListWithoutChoice();
  void EndListChoice();
  void TakeChosenListEntry();
  void ShowAbout();
  void ChooseLanguage();
  void ChooseWord(int commandId);
  void ToggleAlwaysOnTop();
  void ToggleDigitGroups();
  void ShowResultLines();
  void ShowResultLine(int form, const char* text, bool integerDigits);
  void ShowHelpContents();
  void ChooseFont();
  void Replace(const char* text);
  void ShowSearch();

  DialogWindow& window_;
  EngineState& engine_;
  MenuModel menu_{};     // the menu attached to the window; its texts point into the settings' MenuTexts
  ResultLines lines_{};  // the five line texts of the last ShowResults
  char boxText_[kExpressionCapacity]{};     // the box's text as last set or accepted; kept when an edit is refused
  char lineNote_[kNoteCapacity]{};          // the hidden-bits note on the integer lines now, "" for none
  char boxNote_[kNoteCapacity]{};           // the error note on the box now, "" for none
  ErrorPlace boxPlace_{};                   // where that note's mark lies; meaningful while the note is not ""
  BoxUndo undo_;                            // every text the box showed, for undo and redo
  bool boxFocused_ = false;                 // the box has the keyboard focus
  bool listOpen_ = false;                   // the history list is open, no entry chosen yet
  char textBeforeList_[kExpressionCapacity]{};  // the box's text when the list opened
  HistorySearch search_;                    // the history search while it runs
};

class DialogFrontEnd : public DialogWindow {
 public:
  // Creates the dialog window, calls dialog.Initialise() on it, shows it and
  // returns once EndDialog has been called.
  virtual void RunModal(MainDialog& dialog) = 0;
};

// The program's run: loads the settings with loadSettings (which may ask for
// a language file and shows its own messages), and unless that declined, runs
// the dialog modally. No window exists before the settings are loaded.
// Returns the exit code, always 0. Tests pass a loader that reads a settings
// file of theirs.
using SettingsLoader = bool (*)(SettingsHost& host);
int RunMainDialog(DialogFrontEnd& frontEnd, EngineState& engine, SettingsLoader loadSettings);
