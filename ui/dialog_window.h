#pragma once
// The window calls the dialog logic needs, beyond those the settings code
// already asks for (the start-up dialogs and the history list). Each front end (Qt, Win32) implements them with its
// toolkit; tests implement them with a fake window that records the calls.
// Texts going in are the program's bytes (language texts are converted for
// display by the front end); texts coming out of the box are UTF-8.

#include <string>
#include <vector>

#include "settings/font_choice.h"
#include "settings/window_host.h"
#include "ui/digit_groups.h"
#include "ui/help_contents.h"
#include "ui/menu_model.h"

class DialogWindow : public SettingsHost {
 public:
  // Sets the text of a dialog control; does nothing while no dialog exists.
  virtual void SetControlText(int controlId, const char* text) = 0;
  // Sets a result line's text (as SetControlText does) and how it is drawn:
  // a thin gap before each byte offset in gaps, which is no character of
  // the text; when bitCount > 0, the line is the bit strip of a word of
  // that many bits, whose digits the user may click (MainDialog::OnFlipBit).
  // A window that draws no gaps nor a strip shows the text alone.
  virtual void ShowResultLine(int controlId, const char* text, const DigitGaps& gaps, int bitCount) {
    (void)gaps;
    (void)bitCount;
    SetControlText(controlId, text);
  }
  // Replaces the dialog's menu by this one; does nothing while no dialog
  // exists. The model's texts must outlive the menu.
  virtual void AttachMenu(const MenuModel& menu) = 0;

  // Copies the expression box's edit text into buffer, cut to capacity - 1
  // bytes, always terminated.
  virtual void BoxText(char* buffer, unsigned capacity) = 0;
  // Sets the box's edit text. Text set here is not a user edit: the front end
  // must not report it as notification 5.
  virtual void SetBoxText(const char* text) = 0;
  // Selects characters [start, end) of the box's edit text.
  virtual void SelectBoxText(int start, int end) = 0;
  // The selected characters [start, end) of the box's edit text; start ==
  // end is the caret.
  virtual void BoxTextSelection(int* start, int* end) = 0;
  // Index of the box's current list selection, -1 when none.
  virtual int BoxSelection() = 0;
  // Drops down the box's list.
  virtual void OpenBoxList() = 0;
  // Closes the box's list without a choice.
  virtual void CloseBoxList() = 0;
  // Selects list entry index; the edit field shows its text.
  virtual void SelectBoxItem(int index) = 0;
  // Gives the keyboard focus to the box. The front end reports the focus
  // change as notification 3 when the box receives it.
  virtual void FocusBox() = 0;

  // Checks radio button checkedId among firstId..lastId, unchecking the rest.
  virtual void CheckRadioButton(int firstId, int lastId, int checkedId) = 0;

  // Binds a hotkey (Escape or Down arrow, no modifiers) to the dialog; the
  // front end then reports that key as the hotkey instead of handling it.
  virtual void RegisterHotkey(int hotkeyId) = 0;
  virtual void UnregisterHotkey(int hotkeyId) = 0;

  // Puts text on the clipboard as plain text (on Windows CF_UNICODETEXT),
  // converted for display like the result lines.
  virtual void SetClipboardText(const char* text) = 0;
  // The platform's quiet feedback that a command had nothing to do.
  virtual void Beep() = 0;
  // A message box over the dialog with text and an OK button.
  virtual void ShowNotice(const char* text) = 0;
  // Marks a result line as showing only part of the value, with note as its
  // tooltip; an empty note removes the mark. The line's text stays.
  virtual void MarkResultLine(int controlId, const char* note) = 0;
  // Marks bytes [start, end) of the box's edit text (UTF-8) as the place
  // where the expression failed, start == end for its end, with note as the
  // box's tooltip; start < 0 removes the mark. Neither the caret nor the
  // selection moves, and the text stays.
  virtual void MarkBoxError(int start, int end, const char* note) = 0;

  // Shows the history search under the box, or brings it up to date: the
  // text typed into it, the matching entries newest first and the selected
  // one (-1 when none matches). The search has the keyboard while it shows.
  virtual void ShowHistorySearch(const char* query, const std::vector<std::string>& matches, int selected) = 0;
  // Closes the history search; the keyboard goes back to the box.
  virtual void HideHistorySearch() = 0;

  // Keeps the dialog above other windows (onTop) or lets it go behind them.
  virtual void SetAlwaysOnTop(bool onTop) = 0;
  // Makes the program's icon the dialog's icon.
  virtual void ApplyProgramIcon() = 0;
  // The About box: no owner, information icon, an OK button.
  virtual void ShowAboutBox(const char* title, const char* text) = 0;
  // The calls of the help and the font choice. They do nothing by default,
  // so that a window without them (a test's) need not spell them out.
  //
  // Shows the help in a window of its own beside the dialog, which stays
  // usable; a help window already open shows the new contents and comes to
  // the front.
  virtual void ShowHelp(const HelpContents& help) { (void)help; }
  // Shows the expression box and the result lines in font, or in the
  // window's own fonts where font is not chosen.
  virtual void SetDisplayFont(const FontChoice& font) { (void)font; }
  // Lets the user choose a font in the platform's font dialog, which opens
  // at font (the box's own font where it is not chosen). True with the
  // choice in font; false, font untouched, when the user cancels or the
  // dialog gives a font the settings cannot keep.
  virtual bool AskForFont(FontChoice& font) {
    (void)font;
    return false;
  }

  // Ends the modal dialog with this result.
  virtual void EndDialog(int result) = 0;
};
