#include "ui/main_dialog.h"

#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "engine/calculate.h"
#include "settings/history.h"
#include "settings/language.h"
#include "settings/optional_texts.h"
#include "settings/settings.h"
#include "ui/dialog_ids.h"
#include "ui/dialog_texts.h"
#include "ui/program_version.h"
#include "ui/result_copy.h"
#include "ui/word_menu.h"

namespace {

// The form to use: the settings only ever hold 0..4, but a stray value must
// neither leave every radio button unchecked nor give Calculate no text.
int SelectedForm() {
  const int form = ProgramSettings().CurrentForm;
  return (form >= 0 && form < kResultFormCount) ? form : kFormDec;
}

// The word the settings hold, for the engine.
WordSize SettingsWord() { return MakeWordSize(ProgramSettings().WordBits, ProgramSettings().WordUnsigned); }

}  // namespace

MainDialog::MainDialog(DialogWindow& window, EngineState& engine) : window_(window), engine_(engine) {}

void MainDialog::Initialise() {
  ApplyDialogTexts(ProgramSettings(), window_);
  BuildMenu(ProgramSettings(), menu_);
  window_.ApplyProgramIcon();
  window_.AttachMenu(menu_);
  if (ProgramSettings().AlwaysOnTop) window_.SetAlwaysOnTop(true);
  if (IsFontChosen(ProgramSettings().DisplayFont)) window_.SetDisplayFont(ProgramSettings().DisplayFont);
  window_.FocusBox();
  window_.CheckRadioButton(kIdRadioDec, kIdRadioExp, RadioIdOfForm(SelectedForm()));
  LoadHistory(window_);
  SetWordSize(engine_, SettingsWord());
  ResetAnswer(engine_);
  ShowResults();
}

void MainDialog::OnCommand(int commandId, int notification) {
  switch (commandId) {
    case kCmdChooseLanguage:
      ChooseLanguage();
      break;
    case kCmdAbout:
      ShowAbout();
      break;
    case kIdRadioDec:
    case kIdRadioHex:
    case kIdRadioBin:
    case kIdRadioOct:
    case kIdRadioExp:
      // The lines do not depend on the form: nothing is redrawn.
      ProgramSettings().CurrentForm = commandId - kIdRadioDec;
      break;
    case kCmdWord8:
    case kCmdWord16:
    case kCmdWord32:
    case kCmdWord64:
    case kCmdWordSigned:
    case kCmdWordUnsigned:
      ChooseWord(commandId);
      break;
    case kCmdAlwaysOnTop:
      ToggleAlwaysOnTop();
      break;
    case kCmdGroupDigits:
      ToggleDigitGroups();
      break;
    case kCmdHelpContents:
      ShowHelpContents();
      break;
    case kCmdFont:
      ChooseFont();
      break;
    case kIdCloseButton:
      OnCloseRequest();
      break;
    case kIdCalculateButton:
      Calculate();
      break;
    case kIdExpressionBox:
      switch (notification) {
        case kBoxSetFocus:
          boxFocused_ = true;
          window_.RegisterHotkey(kHotkeyEscape);
          window_.RegisterHotkey(kHotkeyDown);
          break;
        case kBoxKillFocus:
          boxFocused_ = false;
          window_.UnregisterHotkey(kHotkeyEscape);
          window_.UnregisterHotkey(kHotkeyDown);
          break;
        case kBoxEditChange:
          TakeBoxEdit();
          break;
        case kBoxDropDown:
          BeginListChoice();
          break;
        case kBoxSelChange:
          if (listOpen_) ShowListEntry();
          break;
        case kBoxSelEndOk:
          TakeChosenListEntry();
          break;
        case kBoxSelEndCancel:
          CloseListWithoutChoice();
          break;
        default:
          break;
      }
      break;
    default:  // the dialog manager's OK and Cancel (1, 2) and anything else
      break;
  }
}

bool MainDialog::OnFormKey(char letter) {
  const char upper = letter >= 'a' && letter <= 'z' ? static_cast<char>(letter - 'a' + 'A') : letter;
  const char* found = upper == '\0' ? nullptr : std::strchr(kFormMnemonics, upper);
  if (found == nullptr) return false;
  const int radioId = RadioIdOfForm(static_cast<int>(found - kFormMnemonics));
  window_.CheckRadioButton(kIdRadioDec, kIdRadioExp, radioId);
  OnCommand(radioId, 0);
  return true;
}

void MainDialog::OnShortcut(char key, bool shift) {
  const int command = CommandOfShortcut(key, shift);
  if (command >= 0) OnCommand(command, 0);
}

// A new word size or signedness: the menu's marks move, and the expression
// the lines show is calculated again in the new word at once. The box and
// its text are not touched.
void MainDialog::ChooseWord(int commandId) {
  if (!ApplyWordCommand(commandId, ProgramSettings())) return;
  SetWordSize(engine_, SettingsWord());
  BuildMenu(ProgramSettings(), menu_);
  window_.AttachMenu(menu_);
  Recalculate();
}

// Turns "Always on top" over; the menu is rebuilt for its check mark. The
// choice is saved with the other settings at close.
void MainDialog::ToggleAlwaysOnTop() {
  ProgramSettings().AlwaysOnTop = !ProgramSettings().AlwaysOnTop;
  window_.SetAlwaysOnTop(ProgramSettings().AlwaysOnTop);
  BuildMenu(ProgramSettings(), menu_);
  window_.AttachMenu(menu_);
}

// The help is built afresh each time, in the language and word chosen now,
// so its examples calculate as the box would.
void MainDialog::ShowHelpContents() {
  window_.ShowHelp(BuildHelpContents(SettingsWord(), ProgramSettings().MessageTable));
}

// A font chosen is shown at once and saved with the other settings at close.
void MainDialog::ChooseFont() {
  FontChoice font = ProgramSettings().DisplayFont;
  if (!window_.AskForFont(font)) return;
  ProgramSettings().DisplayFont = font;
  window_.SetDisplayFont(font);
}

void MainDialog::OnCopyResult() { window_.SetClipboardText(lines_.text[SelectedForm()]); }

void MainDialog::OnCopyLine(int lineId) {
  if (lineId >= kIdResultLineDec && lineId <= kIdResultLineExp) {
    window_.SetClipboardText(lines_.text[lineId - kIdResultLineDec]);
  }
}

void MainDialog::OnCopyAll() {
  char text[kCopyAllCapacity];
  ComposeAllLinesText(lines_, text, sizeof text);
  window_.SetClipboardText(text);
}

void MainDialog::OnHotkey(int hotkeyId) {
  if (hotkeyId == kHotkeyEscape) {
    EscapeInBox();
  } else if (hotkeyId == kHotkeyDown) {
    DownInBox();
  }
}

void MainDialog::OnUndo() {
  if (const std::optional<std::string> text = undo_.Undo()) Replace(text->c_str());
}

void MainDialog::OnRedo() {
  if (const std::optional<std::string> text = undo_.Redo()) Replace(text->c_str());
}

void MainDialog::OnHistorySearch() {
  if (search_.Active()) {
    search_.SelectOlder();
  } else {
    std::vector<std::string> entries;
    char entry[kExpressionCapacity];
    for (int i = 0; i < window_.HistoryItemCount(); ++i) {
      window_.HistoryItemText(i, entry, sizeof entry);
      entries.emplace_back(entry);
    }
    search_.Start(std::move(entries), boxText_);
  }
  ShowSearch();
}

void MainDialog::OnHistorySearchQuery(const char* query) {
  if (!search_.Active()) return;
  search_.SetQuery(query);
  ShowSearch();
}

void MainDialog::OnHistorySearchSelect(int index) {
  if (!search_.Active()) return;
  search_.Select(index);
  ShowSearch();
}

void MainDialog::OnHistorySearchEnd(bool accept) {
  if (!search_.Active()) return;
  const std::optional<std::string> chosen = accept ? search_.Accept() : std::nullopt;
  if (!accept) search_.Cancel();
  window_.HideHistorySearch();
  window_.FocusBox();
  if (!chosen) return;
  undo_.Replaced(engine_.expression, *chosen);
  Replace(chosen->c_str());
}

void MainDialog::ShowSearch() {
  window_.ShowHistorySearch(search_.Query().c_str(), search_.Matches(), search_.Selected());
}

// Puts a text back into the box as if typed there: calculated, marked
// afresh, the caret at its end.
void MainDialog::Replace(const char* text) {
  SetBox(text);
  std::memcpy(engine_.expression, boxText_, sizeof boxText_);
  boxNote_[0] = '\0';
  Recalculate();
  const int end = static_cast<int>(std::strlen(boxText_));
  window_.FocusBox();
  window_.SelectBoxText(end, end);
}

void MainDialog::OnCloseRequest() {
  SaveSettings(window_);
  window_.EndDialog(0);
}

void MainDialog::OnSessionEnd() { SaveSettings(window_); }

void MainDialog::Recalculate() {
  CalculateExpression(engine_);
  ShowResults();
}

// Puts the five line texts of the engine's outcome, in the language loaded
// now, on the result lines.
void MainDialog::ShowResults() {
  ComposeResultLines(engine_, ProgramSettings().MessageTable, lines_);
  ShowResultLines();
  MarkResults();
}

// Notes what the lines cannot say: where a failed expression went wrong,
// and that the integer lines hold only part of the value. The window is
// told only of changes, so a keystroke costs nothing more when none comes.
void MainDialog::MarkResults() {
  char note[kNoteCapacity];
  ComposeHiddenBitsNote(engine_, note, sizeof note);
  if (std::strcmp(note, lineNote_) != 0) {
    std::memcpy(lineNote_, note, sizeof note);
    for (int form : {kFormHex, kFormBin, kFormOct}) window_.MarkResultLine(ResultLineIdOfForm(form), note);
  }
  if (engine_.tokenKind != TokenKind::Error) {
    if (boxNote_[0] != '\0') {
      boxNote_[0] = '\0';
      window_.MarkBoxError(-1, -1, "");
    }
    return;
  }
  // While typing goes on behind an unclosed bracket the place stays put: the
  // mark there stands as it is.
  const ErrorPlace place = FindErrorPlace(engine_);
  ComposeErrorNote(engine_, place, note, sizeof note);
  if (std::strcmp(note, boxNote_) == 0 && place.start == boxPlace_.start && place.end == boxPlace_.end) return;
  std::memcpy(boxNote_, note, sizeof note);
  boxPlace_ = place;
  window_.MarkBoxError(place.start, place.end, note);
}

// An edit of the user's: calculated, unless it made the text longer than
// the engine takes. Such a text (typed or pasted) is refused whole rather
// than cut: the box gets back what it had and the user is told why.
void MainDialog::TakeBoxEdit() {
  // Three bytes more than the longest text, so a text over the limit stays
  // over it even when the copy stops before a character of several bytes.
  char text[kExpressionCapacity + 4];
  window_.BoxText(text, sizeof text);
  const std::size_t length = std::strlen(text);
  if (length > static_cast<std::size_t>(kExpressionMaxLength)) {
    window_.SetBoxText(boxText_);
    const int kept = static_cast<int>(std::strlen(boxText_));
    window_.SelectBoxText(kept, kept);
    // The text set anew carries no mark in every window: it is given again.
    if (boxNote_[0] != '\0') window_.MarkBoxError(boxPlace_.start, boxPlace_.end, boxNote_);
    window_.ShowNotice(OptionalText(OptionalTextIndex("toolong")));
    return;
  }
  std::memcpy(boxText_, text, length + 1);
  std::memcpy(engine_.expression, text, length + 1);
  undo_.Typed(boxText_);
  Recalculate();
}

// The program's own change of the box's text, remembered as what it holds.
void MainDialog::SetBox(const char* text) {
  window_.SetBoxText(text);
  std::snprintf(boxText_, sizeof boxText_, "%s", text);
}

// Adds the expression last read from the box to the history; after a
// successful calculation, replaces the box's text by the result in the
// selected form and selects it, ready to be typed over or extended. The result
// lines are left alone: they already show this expression's outcome.
//
// Where no text reads back to the value the selected line shows (the line
// shows a message, or the value is infinite or NaN), there is nothing to
// write: the box keeps its text, selected, and the window beeps. Writing
// the 32-bit pattern there would state a value the line does not, and
// "inf" is no text the box can calculate.
void MainDialog::Calculate() {
  AddToHistory(window_, engine_.expression);
  char text[kCalculateTextCapacity];
  if (!ComposeCalculateText(engine_, ProgramSettings().MessageTable, SelectedForm(), text, sizeof text)) {
    // Refused: the text, caret and selection stay as they were, so that the
    // user can go on typing the expression. Focusing the box may select all
    // of it, hence the selection is put back.
    int start = 0;
    int end = 0;
    window_.BoxTextSelection(&start, &end);
    window_.FocusBox();
    window_.SelectBoxText(start, end);
    window_.Beep();
    return;
  }
  // What was written is the value of "ans" from now on, exact where exact.
  KeepResultAsAnswer(engine_);
  undo_.Replaced(engine_.expression, text);
  SetBox(text);
  window_.FocusBox();
  window_.SelectBoxText(0, static_cast<int>(std::strlen(text)));
}

// Escape in an empty box ends the program; with text, the text goes into the
// history and the box starts afresh at 0. With the list open, it only closes
// the list.
void MainDialog::EscapeInBox() {
  if (listOpen_) {
    CloseListWithoutChoice();
    return;
  }
  window_.BoxText(engine_.expression, kExpressionCapacity);
  std::memcpy(boxText_, engine_.expression, sizeof boxText_);
  if (engine_.expression[0] == '\0') {
    OnCloseRequest();
    return;
  }
  AddToHistory(window_, engine_.expression);
  undo_.Replaced(engine_.expression, "");
  SetBox("");
  SetExpression(engine_, "");
  Recalculate();
}

// Opens the history with the newest entry selected and shown. The hotkey is
// given up so that further Down presses move through the open list.
void MainDialog::DownInBox() {
  BeginListChoice();
  window_.OpenBoxList();
  window_.SelectBoxItem(0);
  ShowListEntry();
  window_.UnregisterHotkey(kHotkeyDown);
}

// The list opens (by Down or the mouse): the text typed so far is kept, to
// come back when the list closes without a choice.
void MainDialog::BeginListChoice() {
  if (listOpen_) return;
  listOpen_ = true;
  std::memcpy(textBeforeList_, boxText_, sizeof boxText_);
}

// The list has closed: Down opens it again, as long as the box has the
// focus (the hotkey is the whole system's while registered).
void MainDialog::EndListChoice() {
  listOpen_ = false;
  if (boxFocused_) window_.RegisterHotkey(kHotkeyDown);
}

// The box shows the open list's selected entry: the lines show its
// calculation, so that the box and the lines never disagree. It is no edit
// of the user's and no undo step; the entry counts once chosen.
void MainDialog::ShowListEntry() {
  const int index = window_.BoxSelection();
  if (index < 0) return;
  // Read from the list, not the edit field: a combo box may tell of the new
  // selection before its edit field shows it.
  window_.HistoryItemText(index, boxText_, kExpressionCapacity);
  std::memcpy(engine_.expression, boxText_, sizeof boxText_);
  Recalculate();
}

// Escape in the open list, or a click elsewhere: the list closes and the
// box, and with it the lines, shows again the text typed before it opened.
void MainDialog::CloseListWithoutChoice() {
  if (!listOpen_) return;
  EndListChoice();
  window_.CloseBoxList();
  if (std::strcmp(boxText_, textBeforeList_) != 0) SetBox(textBeforeList_);
  std::memcpy(engine_.expression, boxText_, sizeof boxText_);
  Recalculate();
  const int end = static_cast<int>(std::strlen(boxText_));
  window_.SelectBoxText(end, end);
}

void MainDialog::TakeChosenListEntry() {
  const int index = window_.BoxSelection();
  if (index < 0) {
    return;
  }
  // The step undone goes back to what was typed, not to an entry shown on
  // the way through the list.
  const std::string before = listOpen_ ? textBeforeList_ : engine_.expression;
  if (listOpen_) EndListChoice();
  window_.HistoryItemText(index, engine_.expression, kExpressionCapacity);
  undo_.Replaced(before, engine_.expression);
  std::memcpy(boxText_, engine_.expression, sizeof boxText_);
  // A new text: whatever mark it needs is given afresh.
  if (boxNote_[0] != '\0') {
    boxNote_[0] = '\0';
    window_.MarkBoxError(-1, -1, "");
  }
  Recalculate();
}

// A chosen language renews the menu and the control texts; chosen or
// cancelled, the lines are recalculated so that they speak the language
// loaded now.
// The About text of the language, then a blank line and the version, so the
// version shown is always the one built, whatever the language file says.
void MainDialog::ShowAbout() {
  const std::string text = std::string(OptionalText(OptionalTextIndex("about"))) + "\n\n" +
                           OptionalText(OptionalTextIndex("version")) + " " + kProgramVersion;
  window_.ShowAboutBox(OptionalText(OptionalTextIndex("abouttitle")), text.c_str());
}

void MainDialog::ChooseLanguage() {
  if (ChooseLanguageFile(window_)) {
    BuildMenu(ProgramSettings(), menu_);
    window_.AttachMenu(menu_);
    ApplyDialogTexts(ProgramSettings(), window_);
  }
  Recalculate();
}

int RunMainDialog(DialogFrontEnd& frontEnd, EngineState& engine, SettingsLoader loadSettings) {
  if (!loadSettings(frontEnd)) {
    return 0;
  }
  MainDialog dialog(frontEnd, engine);
  frontEnd.RunModal(dialog);
  return 0;
}
