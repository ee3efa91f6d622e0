// Room for a taller BIN line: which controls move and grow, and that the
// template's arrangement holds with the room, whatever its height.

#include "ui/line_room.h"

#include <gtest/gtest.h>

#include <string>

#include "ui/dialog_template.h"

namespace {

struct Box {
  int top;
  int bottom;
  int left;
  int right;
};

// The control's rectangle in dialog units with `extra` units of room
// given to the BIN line.
Box PlacedWithRoom(const ControlTemplate& control, int extra) {
  const RoomShift shift = ShiftForTallerLine(control, *FindControl(kIdResultLineBin));
  return {control.y + (shift.top ? extra : 0), control.y + control.height + (shift.bottom ? extra : 0), control.x,
          control.x + control.width};
}

bool Overlap(const Box& a, const Box& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

bool Holds(const Box& outer, const Box& inner) {
  return inner.left >= outer.left && inner.right <= outer.right && inner.top >= outer.top &&
         inner.bottom <= outer.bottom;
}

TEST(LineRoomTest, TheLineGrowsWhatLiesBelowMovesAndTheGroupsBesideGrow) {
  struct Case {
    int id;
    RoomShift shift;
  };
  const Case cases[] = {
      {kIdResultLineBin, {false, true}},   {kIdResultLineOct, {true, true}},  {kIdResultLineExp, {true, true}},
      {kIdRadioOct, {true, true}},         {kIdRadioExp, {true, true}},       {kIdFormGroup, {false, true}},
      {kIdResultGroup, {false, true}},     {kIdButtonFrame, {true, true}},    {kIdCalculateButton, {true, true}},
      {kIdCloseButton, {true, true}},      {kIdResultLineDec, {false, false}}, {kIdResultLineHex, {false, false}},
      {kIdRadioBin, {false, false}},       {kIdExpressionLabel, {false, false}},
      // Its rectangle reaches past the line only with the dropped-down list.
      {kIdExpressionBox, {false, false}},
  };
  const ControlTemplate& line = *FindControl(kIdResultLineBin);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    EXPECT_EQ(ShiftForTallerLine(*FindControl(c.id), line), c.shift);
  }
}

// Whatever the room: every control stays inside its group or frame and in
// the taller client area, no two controls that did not overlap come to,
// and each radio button stays level with its form's line.
TEST(LineRoomTest, TheArrangementHoldsWithAnyRoom) {
  for (const int extra : {0, 1, 7, 16, 40}) {
    SCOPED_TRACE("room " + std::to_string(extra));
    const Box client{0, kDialogHeightUnits + extra, 0, kDialogWidthUnits};
    for (const ControlTemplate& control : kDialogControls) {
      SCOPED_TRACE(control.id);
      const Box placed = PlacedWithRoom(control, extra);
      const Box outer = control.container == kClientArea ? client
                                                         : PlacedWithRoom(*FindControl(control.container), extra);
      EXPECT_TRUE(Holds(outer, placed));
      for (const ControlTemplate& other : kDialogControls) {
        if (&other == &control || other.container == control.id || control.container == other.id) continue;
        if (Overlap(PlacedWithRoom(control, 0), PlacedWithRoom(other, 0))) continue;
        EXPECT_FALSE(Overlap(placed, PlacedWithRoom(other, extra))) << "with " << other.id;
      }
    }
    for (int form = 0; form < kResultFormCount; ++form) {
      EXPECT_EQ(PlacedWithRoom(*FindControl(RadioIdOfForm(form)), extra).top,
                PlacedWithRoom(*FindControl(ResultLineIdOfForm(form)), extra).top);
    }
  }
}

}  // namespace
