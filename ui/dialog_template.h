#pragma once
// The main dialog's controls as data, read by both front ends: kind, id,
// template text, the rectangle in dialog units (the Windows resource script
// spells out the same rectangles, and a test holds the two together), the
// cell of a grid each control sits in, and how it follows a change of the
// window's size. The order is the order on the screen and for the keyboard.
//
// The grid: the client area has two columns (0: the forms, 1: the results)
// and four rows (0: the label, 1: the box, 2: the two groups, 3: the
// buttons' frame). A group or frame holds a grid of its own: the radio
// buttons and the result lines each sit in row 0..4 (one per form) of their
// group, Calculate and Close in columns 0 and 1 of the frame.

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

// How a control follows the window's size along one axis.
enum class Anchor : unsigned char {
  Start,    // keeps its place and size from the left (top) edge
  Stretch,  // keeps its left (top) edge; its right (bottom) edge follows the window's
  End,      // keeps its size and its distance from the right (bottom) edge
};

// The client area, as the container of the controls in no group or frame.
inline constexpr int kClientArea = 0;

struct ControlTemplate {
  ControlKind kind;
  int id;
  const char* text;  // shown until the language texts are applied
  int x, y, width, height;  // dialog units, in the client area
  int container;            // id of the group or frame holding the control, or kClientArea
  int row, column, rowSpan, columnSpan;  // cell in the container's grid
  Anchor horizontal, vertical;           // how the control follows the window's width and height
};

inline constexpr int kDialogFontPoints = 8;

// Dialog units per row of text in a result line: the BIN line's 16 units
// hold two rows, for a 64-bit pattern as two rows of 32 digits.
inline constexpr int kUnitsPerTextRow = 8;

namespace dialog_template_detail {
using enum ControlKind;
using enum Anchor;
inline constexpr int kClient = kClientArea;
inline constexpr int kForms = kIdFormGroup;
inline constexpr int kResults = kIdResultGroup;
inline constexpr int kButtons = kIdButtonFrame;
}  // namespace dialog_template_detail

// clang-format off
inline constexpr std::array<ControlTemplate, 17> kDialogControls = [] {
  using namespace dialog_template_detail;
  return std::array<ControlTemplate, 17>{{
    // kind, id, text, x, y, width, height, container, row, column, rows, columns, horizontal, vertical
    {RadioButton, kIdRadioDec, "DE&C", 7, 48, 29, 10, kForms, 0, 0, 1, 1, Start, Start},
    {RadioButton, kIdRadioHex, "&HEX", 7, 60, 29, 10, kForms, 1, 0, 1, 1, Start, Start},
    {RadioButton, kIdRadioBin, "&BIN", 7, 72, 27, 10, kForms, 2, 0, 1, 1, Start, Start},
    {RadioButton, kIdRadioOct, "&OCT", 7, 92, 30, 10, kForms, 3, 0, 1, 1, Start, Start},
    {RadioButton, kIdRadioExp, "&EXP", 7, 105, 32, 10, kForms, 4, 0, 1, 1, Start, Start},
    {ResultLine, kIdResultLineDec, "0", 61, 48, 195, 8, kResults, 0, 0, 1, 1, Stretch, Start},
    {ResultLine, kIdResultLineHex, "0", 61, 60, 195, 8, kResults, 1, 0, 1, 1, Stretch, Start},
    // Two rows: a 64-bit pattern shows as two rows of 32 digits.
    {ResultLine, kIdResultLineBin, "0", 61, 72, 195, 16, kResults, 2, 0, 1, 1, Stretch, Start},
    {ResultLine, kIdResultLineOct, "0", 61, 92, 195, 8, kResults, 3, 0, 1, 1, Stretch, Start},
    {ResultLine, kIdResultLineExp, "0", 61, 105, 195, 8, kResults, 4, 0, 1, 1, Stretch, Start},
    {GroupLeft, kIdFormGroup, "[Form]", 4, 35, 44, 87, kClient, 2, 0, 1, 1, Start, Stretch},
    {GroupRight, kIdResultGroup, "[Result]", 49, 35, 214, 87, kClient, 2, 1, 1, 1, Stretch, Stretch},
    {Label, kIdExpressionLabel, "Expression", 5, 7, 254, 8, kClient, 0, 0, 1, 2, Stretch, Start},
    {Frame, kIdButtonFrame, "", 136, 124, 127, 29, kClient, 3, 1, 1, 1, End, End},
    {DefaultButton, kIdCalculateButton, "Calculate", 140, 132, 59, 17, kButtons, 0, 0, 1, 1, End, End},
    {Button, kIdCloseButton, "Close", 201, 132, 59, 17, kButtons, 0, 1, 1, 1, End, End},
    // The height includes the dropped-down list.
    {ExpressionBox, kIdExpressionBox, "", 1, 18, 262, 82, kClient, 1, 0, 1, 2, Stretch, Start},
  }};
}();
// clang-format on

// The grid's size: columns and rows of the client area, and rows of a group.
inline constexpr int kClientColumns = 2;
inline constexpr int kClientRows = 4;

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

// The row of the table with this id, or nullptr.
constexpr const ControlTemplate* FindControl(int id) {
  for (const ControlTemplate& control : kDialogControls) {
    if (control.id == id) return &control;
  }
  return nullptr;
}

constexpr bool IsFrameKind(ControlKind kind) {
  return kind == ControlKind::GroupLeft || kind == ControlKind::GroupRight || kind == ControlKind::Frame;
}

constexpr bool Contains(const ControlTemplate& outer, const ControlTemplate& inner) {
  return inner.x >= outer.x && inner.y >= outer.y && inner.x + inner.width <= outer.x + outer.width &&
         inner.y + inner.height <= outer.y + outer.height;
}

// Each control sits in the client area or in a group or frame whose
// rectangle holds its own, in a cell of that container's grid that no other
// control takes; the anchors of a contained control do not outgrow its
// container's (a line cannot stretch inside a group that keeps its width).
// Written with indices, not pointers: a sanitizing build cannot compare
// pointers into the table at compile time.
constexpr bool GridIsConsistent() {
  for (std::size_t i = 0; i < kDialogControls.size(); ++i) {
    const ControlTemplate& control = kDialogControls[i];
    if (control.row < 0 || control.column < 0 || control.rowSpan < 1 || control.columnSpan < 1) return false;
    if (control.container == kClientArea) {
      if (control.row + control.rowSpan > kClientRows || control.column + control.columnSpan > kClientColumns) {
        return false;
      }
    } else {
      std::size_t found = kDialogControls.size();
      for (std::size_t k = 0; k < kDialogControls.size(); ++k) {
        if (kDialogControls[k].id == control.container) found = k;
      }
      if (found == kDialogControls.size()) return false;
      const ControlTemplate& container = kDialogControls[found];
      if (!IsFrameKind(container.kind) || !Contains(container, control)) return false;
      if (control.horizontal == Anchor::Stretch && container.horizontal != Anchor::Stretch) return false;
    }
    for (std::size_t j = 0; j < kDialogControls.size(); ++j) {
      const ControlTemplate& other = kDialogControls[j];
      if (j != i && other.container == control.container && other.row == control.row &&
          other.column == control.column) {
        return false;
      }
    }
  }
  return true;
}
static_assert(GridIsConsistent(), "every control in its own cell, inside its container");

// Dialog units to pixels the way Windows maps a dialog template: x scales
// with a quarter of the font's average character width, y with an eighth of
// its height, each rounded to the nearest pixel.
struct DialogUnits {
  int baseX;  // average character width in pixels
  int baseY;  // character height in pixels
  constexpr int X(int units) const { return (units * baseX * 2 + 4) / 8; }
  constexpr int Y(int units) const { return (units * baseY * 2 + 8) / 16; }
};
