#pragma once
// The font the user chose for the expression box and the result lines, on
// the Qt widgets.

#include <QFont>

#include <initializer_list>

#include "settings/font_choice.h"

class QWidget;

// Shows widgets in font; where font is not chosen, in each widget's own font
// again (the one it had before the first choice).
void ApplyDisplayFont(const FontChoice& font, std::initializer_list<QWidget*> widgets);

// The Qt font of a choice.
QFont QtFontOf(const FontChoice& font);

// A font from the font dialog as a choice the settings can keep: its family
// and its size rounded to whole points. False where they cannot keep it.
bool FontChoiceOf(const QFont& font, FontChoice& choice);
