#pragma once
// The window work that the settings, language and history code asks for: the
// start-up dialogs and the expression box's list, which is the history. Each
// front end implements it with its toolkit; tests replace it with a fake.
// Texts are passed as the bytes read from the files; the front end converts
// them for display (see text_encoding.h).

// The caption of the error boxes shown while no language is loaded.
inline constexpr char kErrorCaption[] = "ERROR";

// What the language file dialog shows when it opens.
struct LanguageFileQuestion {
  const char* title;        // the dialog's title: what it asks for
  const char* folder;       // the folder it opens in, with a trailing separator
  const char* preselected;  // the file name selected at first (Enter takes it); "" for none
};

class SettingsHost {
 public:
  virtual ~SettingsHost() = default;

  // Shows the file-open dialog for a language file as question says (filters
  // "Quillo language (*.lng)" and "All files (*.*)"; a typed name of a
  // missing file is accepted). Writes the chosen path into path and returns
  // true, or returns false when the user cancels.
  virtual bool AskForLanguageFile(const LanguageFileQuestion& question, char* path, unsigned capacity) = 0;

  // An error box with caption as its title: error icon, OK button, no owner.
  // The start-up boxes shown before any language is loaded have the caption
  // kErrorCaption; later ones the language's.
  virtual void ShowErrorBox(const char* caption, const char* text) = 0;

  // A question box with caption as its title, text (UTF-8) and the buttons
  // Retry and Cancel: true for Retry. Asked when another window has held the
  // settings file's lock a long time without changing the file. A front end
  // that cannot ask gives up, which the caller reports.
  virtual bool AskToWaitAgain(const char* caption, const char* text) {
    static_cast<void>(caption);
    static_cast<void>(text);
    return false;
  }

  // The expression box's list, which is the history; item 0 is the newest.
  virtual void InsertHistoryItemAtTop(const char* text) = 0;
  virtual void AppendHistoryItem(const char* text) = 0;
  virtual int HistoryItemCount() = 0;
  virtual void HistoryItemText(int index, char* buffer, unsigned capacity) = 0;
  virtual void DeleteLastHistoryItem() = 0;
};
