#pragma once
// The Win32 implementation of the window calls: the dialog from template 101,
// its controls, menu, hotkeys and message boxes. Before the dialog exists
// (start-up) it shows only the file dialog and the error box, and the calls
// that need the window do nothing.
//
// The class's code is split by concern: the window calls and the dialog
// procedure (win32_front_end.cpp), the edit fields' keys and paste
// (edit_keys.cpp), the history search's controls
// (history_search_controls.cpp); text_conversion.h converts the texts.
//
// Texts from the program (language texts, history entries) are converted to
// UTF-8 for display (UTF-8 as it is, anything else read as Windows-1251) and
// shown through the wide-character functions, so a language file reads right
// whatever the system's code page. Paths stay in the system code page: the
// settings code opens files with the narrow C functions.

#include <windows.h>

#include "ui/dialog_ids.h"
#include "ui/key_bindings.h"
#include "ui/main_dialog.h"

class Win32FrontEnd : public DialogFrontEnd {
 public:
  explicit Win32FrontEnd(HINSTANCE instance);
  ~Win32FrontEnd() override = default;
  Win32FrontEnd(const Win32FrontEnd&) = delete;
  Win32FrontEnd& operator=(const Win32FrontEnd&) = delete;

  // DialogFrontEnd: runs the dialog from template 101 until EndDialog.
  void RunModal(MainDialog& dialog) override;

  // SettingsHost
  bool AskForLanguageFile(const LanguageFileQuestion& question, char* path, unsigned capacity) override;
  void ShowErrorBox(const char* caption, const char* text) override;
  bool AskToWaitAgain(const char* caption, const char* text) override;
  void InsertHistoryItemAtTop(const char* text) override;
  void AppendHistoryItem(const char* text) override;
  int HistoryItemCount() override;
  void HistoryItemText(int index, char* buffer, unsigned capacity) override;
  void DeleteLastHistoryItem() override;

  // DialogWindow
  void SetControlText(int controlId, const char* text) override;
  void ShowResultLine(int controlId, const char* text, const DigitGaps& gaps, int bitCount) override;
  void AttachMenu(const MenuModel& menu) override;
  void BoxText(char* buffer, unsigned capacity) override;
  void SetBoxText(const char* text) override;
  void SelectBoxText(int start, int end) override;
  void BoxTextSelection(int* start, int* end) override;
  int BoxSelection() override;
  void OpenBoxList() override;
  void CloseBoxList() override;
  void SelectBoxItem(int index) override;
  void FocusBox() override;
  void CheckRadioButton(int firstId, int lastId, int checkedId) override;
  void RegisterHotkey(int hotkeyId) override;
  void UnregisterHotkey(int hotkeyId) override;
  void SetClipboardText(const char* text) override;
  void Beep() override;
  void ShowHistorySearch(const char* query, const std::vector<std::string>& matches, int selected) override;
  void HideHistorySearch() override;
  void ShowNotice(const char* text) override;
  void MarkResultLine(int controlId, const char* note) override;
  void MarkBoxError(int start, int end, const char* note) override;
  void SetAlwaysOnTop(bool onTop) override;
  void ApplyProgramIcon() override;
  void ShowAboutBox(const char* title, const char* text) override;
  void ShowHelp(const HelpContents& help) override;
  void SetDisplayFont(const FontChoice& font) override;
  bool AskForFont(FontChoice& font) override;
  void EndDialog(int result) override;

  // Called by MainDialogProc. Each forwards to the dialog logic.
  void OnInitDialog(HWND window);
  void OnCommand(int commandId, int notification);
  void OnHotkey(int hotkeyId);
  void OnCloseRequest();
  void OnSessionEnd();
  // The context menu asked for at screen point (x, y) over window `target`:
  // "Copy" and "Copy all" over a result line.
  void OnContextMenu(HWND target, int x, int y);
  // From the edit fields' subclass: the copy keys and commands, and a paste.
  // Each returns true when it handled the message.
  bool OnEditMessage(HWND edit, UINT message, WPARAM wParam, LPARAM lParam);
  // A message the dialog manager is about to handle: a menu command's key
  // anywhere in the window, and Alt with a form's letter in the box, which
  // it would take to the radio button, moving the focus away. True when it
  // handled the message.
  bool OnDialogMessage(const MSG& message);
  // WM_WINDOWPOSCHANGING of the dialog: raised, it stays below the help.
  void OnWindowPosChanging(WINDOWPOS& position) const;
  // Whether edit is the box's edit field, and whether the dialog has an
  // undo step for it.
  bool IsBoxEdit(HWND edit) const { return edit != nullptr && edit == BoxEdit(); }
  bool CanUndoBox() const;

 private:
  static bool IsResultLine(int id) { return id >= kIdResultLineDec && id <= kIdResultLineExp; }
  HWND Box() const;
  HWND BoxEdit() const;
  void KeepTemplateClientSize();
  void PrepareLinesAndTips();
  void SetTip(HWND tool, const char* note);
  KeyContext BoxKeyContext() const;
  bool OnMenuKey(const MSG& message);
  void CreateSearchControls();
  bool OnSearchFieldMessage(UINT message, WPARAM wParam);
  bool OnSearchCommand(int commandId, int notification);
  void PasteIntoBox();
  void ApplyResultLineFont();
  bool OnDigitLineMessage(HWND edit, UINT message, LPARAM lParam);
  bool DrawsDigits(HWND edit) const;
  void PaintDigits(HWND edit);
  int DrawnBitAt(HWND edit, int x, int y) const;
  int FieldBitAt(HWND edit, int x, int y) const;
  void FitBinaryLineToStrip();
  void KeepHelpAbove();

  HINSTANCE instance_;
  HWND window_ = nullptr;        // the dialog while it runs, else none
  HMENU menu_ = nullptr;         // the menu attached to the dialog, destroyed when replaced
  MainDialog* dialog_ = nullptr;  // the logic the messages go to while the dialog runs
  bool settingBoxText_ = false;  // the program, not the user, is changing the box's text
  HWND tips_ = nullptr;          // the tooltips of the result lines and the box, while the dialog runs
  HWND searchField_ = nullptr;   // the history search's field and list, made when first shown
  HWND searchList_ = nullptr;
  int binaryBits_ = 0;           // the BIN line's bits to click, 0 while it shows a message
  int stripRows_ = 0;            // the rows of the strip shown last, which the BIN line's height fits
  DigitGaps lineGaps_[kResultFormCount]{};  // the gaps of each result line, by form
  bool drewDigitsAtPress_ = false;          // the BIN line showed the program's drawing when pressed
  bool settingSearch_ = false;   // the program, not the user, is changing the search field's text
  bool boxKeyTaken_ = false;     // the box's last key press was a binding run: its character is not typed
  bool onTop_ = false;           // "Always on top": the window is topmost, and so is its help
  HWND help_ = nullptr;          // the help window, made when first shown; the dialog owns and destroys it
  HFONT helpFont_ = nullptr;     // the help's fixed-width font, made with the window, kept for the run
  HFONT displayFont_ = nullptr;  // the chosen font of the box and the lines while one is chosen
};

// The dialog's handler: keeps the front end (passed with WM_INITDIALOG) in the
// window and forwards initialisation, commands, hotkeys and the close request.
// Returns FALSE for every message, so the default dialog handling follows.
INT_PTR CALLBACK MainDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
