#pragma once
// The main dialog's controls as data: kind, id, template text, placement in
// dialog units. The Qt window is built from this table; the order is the
// order on the screen and for the keyboard.

#include <algorithm>
#include <array>
#include <iterator>

#include "ui/dialog_ids.h"

enum class ControlKind {
  RadioButton,
  ResultLine,    // static text, right-aligned
  Label,         // static text, left-aligned
  GroupLeft,     // group box, caption at the left
  GroupRight,    // group box, caption at the right
  Frame,         // group box without caption
  DefaultButton,
  Button,
  ExpressionBox,
};

struct ControlTemplate {
  ControlKind kind;
  int id;
  const char* text;  // shown until the language texts are applied
  int x, y, width, height;  // dialog units
};

inline constexpr int kDialogFontPoints = 8;

inline constexpr std::array<ControlTemplate, 17> kDialogControls{{
    {ControlKind::RadioButton, kIdRadioDec, "DE&C", 7, 48, 29, 10},
    {ControlKind::RadioButton, kIdRadioHex, "&HEX", 7, 60, 29, 10},
    {ControlKind::RadioButton, kIdRadioBin, "&BIN", 7, 72, 27, 10},
    {ControlKind::RadioButton, kIdRadioOct, "&OCT", 7, 92, 30, 10},
    {ControlKind::RadioButton, kIdRadioExp, "&EXP", 7, 105, 32, 10},
    {ControlKind::ResultLine, kIdResultLineDec, "0", 61, 48, 195, 8},
    {ControlKind::ResultLine, kIdResultLineHex, "0", 61, 60, 195, 8},
    // Two rows: a 64-bit pattern shows as two rows of 32 digits.
    {ControlKind::ResultLine, kIdResultLineBin, "0", 61, 72, 195, 16},
    {ControlKind::ResultLine, kIdResultLineOct, "0", 61, 92, 195, 8},
    {ControlKind::ResultLine, kIdResultLineExp, "0", 61, 105, 195, 8},
    {ControlKind::GroupLeft, kIdFormGroup, "[Form]", 4, 35, 44, 87},
    {ControlKind::GroupRight, kIdResultGroup, "[Result]", 49, 35, 214, 87},
    {ControlKind::Label, kIdExpressionLabel, "Expression", 5, 7, 254, 8},
    {ControlKind::Frame, kIdButtonFrame, "", 136, 124, 127, 29},
    {ControlKind::DefaultButton, kIdCalculateButton, "Calculate", 140, 132, 59, 17},
    {ControlKind::Button, kIdCloseButton, "Close", 201, 132, 59, 17},
    // The height includes the dropped-down list.
    {ControlKind::ExpressionBox, kIdExpressionBox, "", 1, 18, 262, 82},
}};

// How many rows of the table carry id.
constexpr int CountControlsWithId(int id) {
  int count = 0;
  for (const ControlTemplate& control : kDialogControls) count += control.id == id ? 1 : 0;
  return count;
}

// Every control id of the dialog has exactly one row, so the window and the
// dialog logic can never disagree about a control.
constexpr bool EveryControlIdOnce() {
  constexpr int kIds[] = {kIdExpressionBox, kIdRadioDec,      kIdRadioHex,        kIdRadioBin,
                          kIdRadioOct,      kIdRadioExp,      kIdCloseButton,     kIdCalculateButton,
                          kIdResultLineDec, kIdResultLineHex, kIdResultLineBin,   kIdResultLineOct,
                          kIdResultLineExp, kIdExpressionLabel, kIdFormGroup,     kIdResultGroup,
                          kIdButtonFrame};
  return std::size(kIds) == kDialogControls.size() &&
         std::ranges::all_of(kIds, [](int id) { return CountControlsWithId(id) == 1; });
}
static_assert(EveryControlIdOnce(), "the control table and dialog_ids.h must list the same controls");

// The radio buttons and the result lines come in form order, one per form.
constexpr bool FormControlsInOrder() {
  constexpr auto kFormCount = static_cast<std::size_t>(kResultFormCount);
  for (std::size_t form = 0; form < kFormCount; ++form) {
    const int formNumber = static_cast<int>(form);
    if (kDialogControls[form].id != RadioIdOfForm(formNumber)) return false;
    if (kDialogControls[kFormCount + form].id != ResultLineIdOfForm(formNumber)) return false;
  }
  return true;
}
static_assert(FormControlsInOrder(), "radio buttons, then result lines, each in form order");

// Dialog units to pixels the way Windows maps a dialog template: x scales
// with a quarter of the font's average character width, y with an eighth of
// its height, each rounded to the nearest pixel.
struct DialogUnits {
  int baseX;  // average character width in pixels
  int baseY;  // character height in pixels
  constexpr int X(int units) const { return (units * baseX * 2 + 4) / 8; }
  constexpr int Y(int units) const { return (units * baseY * 2 + 8) / 16; }
};
