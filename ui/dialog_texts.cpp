#include "ui/dialog_texts.h"

#include <iterator>

#include "settings/optional_texts.h"
#include "ui/dialog_ids.h"
#include "ui/key_bindings.h"
#include "ui/menu_accelerators.h"
#include "ui/word_menu.h"

namespace {

// The controls that take DialogTexts 0 to 4, in slot order.
constexpr int kDialogTextControlIds[] = {kIdCalculateButton, kIdCloseButton, kIdExpressionLabel, kIdFormGroup,
                                         kIdResultGroup};
static_assert(std::size(kDialogTextControlIds) == kDialogTextCount);

constexpr int kSeparatorId = -1;

}  // namespace

void ApplyDialogTexts(const SettingsState& settings, DialogWindow& window) {
  for (int i = 0; i < kDialogTextCount; ++i) window.SetControlText(kDialogTextControlIds[i], settings.DialogTexts[i]);
}

void BuildMenu(const SettingsState& settings, MenuModel& menu) {
  const auto& texts = settings.MenuTexts;
  menu.popups[0] = {texts[0],
                    5,
                    {{kCmdChooseLanguage, texts[1], true},
                     {kCmdFont, texts[2], true},
                     {kSeparatorId, nullptr, false},
                     {kCmdAlwaysOnTop, OptionalText(OptionalTextIndex("ontop")), true, settings.AlwaysOnTop},
                     {kCmdGroupDigits, OptionalText(OptionalTextIndex("groupdigits")), true,
                      !settings.UngroupedDigits}}};
  // The word menu stands between Options and Help.
  BuildWordPopup(settings, menu.popups[1]);
  menu.popups[2] = {texts[4],
                    3,
                    {{kCmdHelpContents, texts[5], true},
                     {kSeparatorId, nullptr, false},
                     {kCmdAbout, texts[6], true}}};
  ShowMenuKeys(menu);
  // Alt with a form's letter chooses the form, so no title takes one.
  GiveAccelerators(menu, kFormMnemonics);
}
