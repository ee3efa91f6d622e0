#include "ui/main_dialog.h"

#include <cstring>

#include "engine/calculate.h"
#include "settings/history.h"
#include "settings/language.h"
#include "settings/settings.h"
#include "ui/dialog_ids.h"
#include "ui/dialog_texts.h"

const char kAboutText[] =
    "Quillo\n"
    "\n"
    "A desktop expression calculator.\n"
    "Type an expression; the result follows every key in five forms.\n"
    "Enter writes the result back in the chosen form.";

namespace {

// The form to use: the settings only ever hold 0..4, but a stray value must
// neither leave every radio button unchecked nor give Calculate no text.
int SelectedForm() {
  const int form = ProgramSettings().CurrentForm;
  return (form >= 0 && form < kResultFormCount) ? form : kFormDec;
}

}  // namespace

MainDialog::MainDialog(DialogWindow& window, EngineState& engine) : window_(window), engine_(engine) {}

void MainDialog::Initialise() {
  ApplyDialogTexts(ProgramSettings(), window_);
  BuildMenu(ProgramSettings(), menu_);
  window_.ApplyProgramIcon();
  window_.AttachMenu(menu_);
  window_.FocusBox();
  window_.CheckRadioButton(kIdRadioDec, kIdRadioExp, RadioIdOfForm(SelectedForm()));
  LoadHistory(window_);
  ShowResults();
}

void MainDialog::OnCommand(int commandId, int notification) {
  switch (commandId) {
    case kCmdChooseLanguage:
      ChooseLanguage();
      break;
    case kCmdAbout:
      window_.ShowAboutBox(kAboutTitle, kAboutText);
      break;
    case kIdRadioDec:
    case kIdRadioHex:
    case kIdRadioBin:
    case kIdRadioOct:
    case kIdRadioExp:
      // The lines do not depend on the form: nothing is redrawn.
      ProgramSettings().CurrentForm = commandId - kIdRadioDec;
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
          window_.RegisterHotkey(kHotkeyEscape);
          window_.RegisterHotkey(kHotkeyDown);
          break;
        case kBoxKillFocus:
          window_.UnregisterHotkey(kHotkeyEscape);
          window_.UnregisterHotkey(kHotkeyDown);
          break;
        case kBoxEditChange:
          window_.BoxText(engine_.expression, kExpressionCapacity);
          Recalculate();
          break;
        case kBoxSelEndOk:
          TakeChosenListEntry();
          break;
        default:
          break;
      }
      break;
    default:  // the disabled menu items 1, 2, 10 and anything else
      break;
  }
}

void MainDialog::OnHotkey(int hotkeyId) {
  if (hotkeyId == kHotkeyEscape) {
    EscapeInBox();
  } else if (hotkeyId == kHotkeyDown) {
    DownInBox();
  }
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
  for (int form = 0; form < kResultFormCount; ++form) {
    window_.SetControlText(ResultLineIdOfForm(form), lines_.text[form]);
  }
}

// Adds the expression last read from the box to the history; after a
// successful calculation, replaces the box's text by the result in the
// selected form and selects it, ready to be typed over or extended. The result
// lines are left alone: they already show this expression's outcome.
void MainDialog::Calculate() {
  AddToHistory(window_, engine_.expression);
  if (engine_.tokenKind == TokenKind::Error) {
    return;
  }
  char text[kCalculateTextCapacity];
  FormatForBox(engine_, SelectedForm(), text, sizeof text);
  window_.SetBoxText(text);
  window_.FocusBox();
  window_.SelectBoxText(0, static_cast<int>(std::strlen(text)));
}

// Escape in an empty box ends the program; with text, the text goes into the
// history and the box starts afresh at 0.
void MainDialog::EscapeInBox() {
  window_.BoxText(engine_.expression, kExpressionCapacity);
  if (engine_.expression[0] == '\0') {
    OnCloseRequest();
    return;
  }
  AddToHistory(window_, engine_.expression);
  window_.SetBoxText("");
  SetExpression(engine_, "");
  Recalculate();
}

// Opens the history with the newest entry selected. The entry counts only
// once chosen or edited, so `expression` is not read here. The hotkey is
// given up so that further Down presses move through the open list.
void MainDialog::DownInBox() {
  window_.OpenBoxList();
  window_.SelectBoxItem(0);
  window_.UnregisterHotkey(kHotkeyDown);
}

void MainDialog::TakeChosenListEntry() {
  const int index = window_.BoxSelection();
  if (index < 0) {
    return;
  }
  window_.HistoryItemText(index, engine_.expression, kExpressionCapacity);
  Recalculate();
}

// A chosen language renews the menu and the control texts; chosen or
// cancelled, the lines are recalculated so that they speak the language
// loaded now.
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
