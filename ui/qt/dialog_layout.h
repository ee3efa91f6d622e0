#pragma once
// Puts the main dialog's controls into Qt layouts after the grid of the
// control table, so another style, font, scale or language moves them
// apart instead of cutting or overlapping them.

#include <array>

#include "ui/dialog_template.h"

class QWidget;

// Lays out controls (one widget per row of kDialogControls, in table order)
// in client: a grid for the client area and one inside each group and
// frame, cells and stretch as the table gives them. A group or frame
// becomes the parent of the controls it holds. units gives the result lines
// their template width as a minimum, so 32 binary digits always fit.
void ArrangeDialogControls(QWidget* client, const std::array<QWidget*, kDialogControls.size()>& controls,
                           DialogUnits units);

// Measures the result lines again and aligns the two groups' rows anew, after
// the lines took another font: the window then grows to what they need.
void RefitDialogControls(const std::array<QWidget*, kDialogControls.size()>& controls, DialogUnits units);
