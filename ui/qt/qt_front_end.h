#pragma once
// The Qt implementation of the window calls. It exists before the dialog
// window does: during start-up it shows only the file dialog and the error
// box, and the calls that need the window do nothing.

#include <QColor>
#include <QFont>
#include <QPointer>

#include <memory>

#include "ui/main_dialog.h"
#include "ui/qt/calculator_dialog.h"
#include "ui/qt/help_window.h"

class QtFrontEnd : public DialogFrontEnd {
 public:
  QtFrontEnd();
  ~QtFrontEnd() override;
  QtFrontEnd(const QtFrontEnd&) = delete;
  QtFrontEnd& operator=(const QtFrontEnd&) = delete;

  // Creates the window and lets dialog initialise it, without showing it.
  CalculatorDialog* CreateDialog(MainDialog& dialog);
  CalculatorDialog* Dialog() const { return window_.get(); }

  // DialogFrontEnd: creates the window, shows it and runs it modally.
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

  // The help window while it exists (made when first shown); nullptr otherwise.
  HelpWindow* Help() const { return help_.data(); }

 private:
  template <typename Change>
  void ChangeListKeepingText(Change change);

  QFont font_;
  std::unique_ptr<CalculatorDialog> window_;  // none until CreateDialog
  QPointer<HelpWindow> help_;                 // a child of window_, gone with it
};

// The colour of an integer line that shows only part of the value.
inline constexpr QRgb kPartialLineColour = qRgb(0xB0, 0x4A, 0x00);
// The wavy underline under the place where an expression failed.
inline constexpr QRgb kErrorMarkColour = qRgb(0xE0, 0x00, 0x00);

// Arial 8 pt in whole pixels as Windows rounds it, or a metric-compatible
// face where Arial is missing.
QFont DialogFont();

// The program's icon in its 16 and 32 pixel images.
QIcon ProgramIcon();
