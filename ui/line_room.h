#pragma once
// Room for a result line that needs more height than its place in the
// control table: the bit strip of a 64-bit word with its bit numbers. The
// line grows by the extra height, the controls below it move down by it and
// the groups reaching past its bottom grow with it, so the window grows by
// the same amount and nothing comes to overlap. Shared by the front ends
// that place the table's rectangles themselves.

#include "ui/dialog_template.h"

// Which vertical edges of a control follow the extra height given to a
// line: each moves down by the whole extra height or stays.
struct RoomShift {
  bool top;
  bool bottom;
  friend constexpr bool operator==(const RoomShift&, const RoomShift&) = default;
};

// The line's own bottom edge moves; a control whose top lies at or below
// the line's bottom moves whole; a group or frame reaching from above the
// line's bottom to below it grows. The rest (the box, whose rectangle
// includes its dropped-down list, the controls beside or above the line)
// stays.
constexpr RoomShift ShiftForTallerLine(const ControlTemplate& control, const ControlTemplate& line) {
  const int lineBottom = line.y + line.height;
  if (control.id == line.id) return {false, true};
  if (control.y >= lineBottom) return {true, true};
  if (IsFrameKind(control.kind) && control.y + control.height > lineBottom) return {false, true};
  return {false, false};
}
