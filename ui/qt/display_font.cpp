#include "ui/qt/display_font.h"

#include <QFontInfo>
#include <QVariant>
#include <QWidget>

#include <cmath>

namespace {

// The property that keeps a widget's own font once another is chosen, so
// that going back to no choice restores exactly what the window set up.
constexpr char kOwnFontProperty[] = "quilloOwnFont";

}  // namespace

QFont QtFontOf(const FontChoice& font) {
  QFont qfont(QString::fromUtf8(font.family));
  qfont.setPointSize(font.points);
  return qfont;
}

void ApplyDisplayFont(const FontChoice& font, std::initializer_list<QWidget*> widgets) {
  for (QWidget* widget : widgets) {
    if (widget == nullptr) continue;
    const QVariant own = widget->property(kOwnFontProperty);
    if (!IsFontChosen(font)) {
      if (own.isValid()) widget->setFont(own.value<QFont>());
      continue;
    }
    if (!own.isValid()) widget->setProperty(kOwnFontProperty, widget->font());
    widget->setFont(QtFontOf(font));
  }
}

bool FontChoiceOf(const QFont& font, FontChoice& choice) {
  // A font set in pixels has no point size of its own: the one it shows in.
  const double points = font.pointSizeF() > 0 ? font.pointSizeF() : QFontInfo(font).pointSizeF();
  return MakeFontChoice(font.family().toStdString(), static_cast<int>(std::lround(points)), choice);
}
