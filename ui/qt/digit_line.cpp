#include "ui/qt/digit_line.h"

#include <QApplication>
#include <QClipboard>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace {

// The strip numbers every 4th bit, matching the groups of the BIN line.
constexpr int kBitLabelStep = 4;
// The bit numbers are drawn this much smaller than the digits.
constexpr qreal kLabelScale = 0.7;
// Leading zeros the line leaves out are drawn this faintly (0..255).
constexpr int kFaintAlpha = 90;
constexpr int kLabelAlpha = 150;

QColor Faded(QColor color, int alpha) {
  color.setAlpha(alpha);
  return color;
}

}  // namespace

QFont ResultLineFont(const QFont& dialogFont) {
  QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  if (dialogFont.pointSizeF() > 0) {
    font.setPointSizeF(dialogFont.pointSizeF());
  } else {
    font.setPixelSize(dialogFont.pixelSize());
  }
  return font;
}

DigitLine* CreateDigitLine(QWidget* parent, std::function<void(int bit)> onBitClicked) {
  auto* line = new DigitLine(parent);
  line->setFont(ResultLineFont(parent->font()));
  line->onBitClicked = std::move(onBitClicked);
  return line;
}

DigitLine::DigitLine(QWidget* parent) : QLabel(parent) {}

bool DigitLine::SetDigits(const QString& text, const DigitGaps& gaps, int bitCount) {
  const int rowsBefore = RowCount();
  const bool stripBefore = bitCount_ > 0;
  gaps_ = gaps;
  bitCount_ = bitCount;
  selectionStart_ = selectionEnd_ = 0;
  anchor_ = -1;
  setText(text);
  // A hand over the strip's digits says that they can be clicked.
  setCursor(bitCount > 0 ? Qt::PointingHandCursor : Qt::IBeamCursor);
  // The strip's rows and the gaps change the size without the text doing so.
  updateGeometry();
  update();
  return RowCount() != rowsBefore || (bitCount_ > 0) != stripBefore;
}

QFont DigitLine::LabelFont() const {
  QFont small = font();
  if (small.pointSizeF() > 0) {
    small.setPointSizeF(small.pointSizeF() * kLabelScale);
  } else {
    small.setPixelSize(std::max(1, static_cast<int>(small.pixelSize() * kLabelScale)));
  }
  return small;
}

// Half a digit: clearly a gap, yet narrower than a character would be.
qreal DigitLine::GapWidth() const {
  return std::max<qreal>(2.0, std::round(QFontMetricsF(font()).horizontalAdvance(QLatin1Char('0')) / 2));
}

// Rows of digits alone close up to the line's height where it is lower
// than the font's line spacing: digits have no descenders to collide.
qreal DigitLine::RowHeight() const {
  const QFontMetricsF metrics(font());
  if (ShowsBitNumbers()) return metrics.height() + LabelRowHeight();
  const qreal fitting = contentsRect().height() / static_cast<qreal>(RowCount());
  return std::max(metrics.ascent() + 1, std::min(metrics.height(), fitting));
}

// The numbers are digits: they need their ascent and a pixel below, not
// the font's whole line spacing.
qreal DigitLine::LabelRowHeight() const { return std::ceil(QFontMetricsF(LabelFont()).ascent()) + 1; }

// The strip numbers its bits where the line has the height for them; a
// line kept lower than it asks for shows the digits alone, uncut.
bool DigitLine::ShowsBitNumbers() const {
  if (bitCount_ == 0) return false;
  const qreal full = QFontMetricsF(font()).height() + LabelRowHeight();
  return RowCount() * full <= contentsRect().height() + 0.5;
}

int DigitLine::RowCount() const {
  if (bitCount_ > 0) return (bitCount_ + kBinaryRowDigits - 1) / kBinaryRowDigits;
  return static_cast<int>(text().count(QLatin1Char('\n'))) + 1;
}

std::vector<DigitLine::Cell> DigitLine::Cells() const {
  std::vector<Cell> cells;
  if (bitCount_ > 0) {
    AddStripCells(cells);
  } else {
    AddRowCells(cells);
  }
  return cells;
}

// The word's bits right-aligned in rows of 32, bit 0 at the right of the
// last row; digits the text has come from the text, the rest are zeros.
void DigitLine::AddStripCells(std::vector<Cell>& cells) const {
  const QByteArray bytes = text().toLatin1();
  std::vector<int> indexOfBit(static_cast<std::size_t>(bitCount_), -1);
  for (int i = 0; i < bytes.size(); ++i) {
    const int bit = BitOfBinaryDigit(bytes.constData(), i);
    if (bit >= 0 && bit < bitCount_) indexOfBit[static_cast<std::size_t>(bit)] = i;
  }
  const QFontMetricsF metrics(font());
  const qreal width = metrics.horizontalAdvance(QLatin1Char('0'));
  // A QRectF's right edge is x + width: the digits end there, inside the line.
  const QRectF area = contentsRect();
  const int rows = RowCount();
  qreal right = area.right();
  for (int bit = 0; bit < bitCount_; ++bit) {
    if (bit % kBinaryRowDigits == 0) right = area.right();
    const int row = rows - 1 - bit / kBinaryRowDigits;
    const QRectF box(right - width, area.top() + row * RowHeight(), width, metrics.height());
    cells.push_back({indexOfBit[static_cast<std::size_t>(bit)], bit, box});
    right -= width + (GapWidth() * (GapLeftOfBit(bit, gaps_.groupSize) ? 1 : 0));
  }
}

// The text's rows, each right-aligned, with a gap before each listed byte.
void DigitLine::AddRowCells(std::vector<Cell>& cells) const {
  const QString line = text();
  const QFontMetricsF metrics(font());
  const QRectF area = contentsRect();
  int rowEnd = static_cast<int>(line.size());
  for (int row = RowCount() - 1; row >= 0; --row) {
    const int rowStart = static_cast<int>(line.lastIndexOf(QLatin1Char('\n'), rowEnd - 1)) + 1;
    qreal right = area.right();
    for (int i = rowEnd - 1; i >= rowStart; --i) {
      const qreal width = metrics.horizontalAdvance(line.at(i));
      cells.push_back({i, -1, QRectF(right - width, area.top() + row * RowHeight(), width, metrics.height())});
      right -= width;
      if (std::find(gaps_.before, gaps_.before + gaps_.count, i) != gaps_.before + gaps_.count) right -= GapWidth();
    }
    rowEnd = rowStart - 1;
  }
}

QSize DigitLine::sizeHint() const { return SizeFor(true); }

// The strip asks for room for its bit numbers too; the window grows to it
// when the strip takes a second row.
QSize DigitLine::minimumSizeHint() const { return SizeFor(true); }

QSize DigitLine::SizeFor(bool withBitNumbers) const {
  const QFontMetricsF metrics(font());
  qreal width = 0;
  if (bitCount_ > 0) {
    const int digits = std::min(bitCount_, kBinaryRowDigits);
    const int gaps = (digits - 1) / 4;  // one between every two groups of four
    width = digits * metrics.horizontalAdvance(QLatin1Char('0')) + gaps * GapWidth();
  } else {
    for (const Cell& cell : Cells()) width = std::max(width, QRectF(contentsRect()).right() - cell.box.left());
  }
  qreal rowHeight = QFontMetricsF(font()).height();
  if (bitCount_ > 0 && withBitNumbers) rowHeight += LabelRowHeight();
  const QMargins margins = contentsMargins();
  return QSize(static_cast<int>(std::ceil(width)) + margins.left() + margins.right(),
               static_cast<int>(std::ceil(RowCount() * rowHeight)) + margins.top() + margins.bottom());
}

void DigitLine::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  const QString line = text();
  const QFontMetricsF metrics(font());
  const QColor ink = palette().color(foregroundRole());
  const std::vector<Cell> cells = Cells();
  for (const Cell& cell : cells) {
    const bool selected = cell.index >= selectionStart_ && cell.index < selectionEnd_;
    if (selected) painter.fillRect(cell.box, palette().color(QPalette::Highlight));
    const QColor faint = Faded(ink, kFaintAlpha);
    painter.setPen(selected ? palette().color(QPalette::HighlightedText) : cell.index < 0 ? faint : ink);
    const QString character = cell.index < 0 ? QStringLiteral("0") : QString(line.at(cell.index));
    painter.drawText(QPointF(cell.box.left(), cell.box.top() + metrics.ascent()), character);
  }
  if (!ShowsBitNumbers()) return;
  const QFont small = LabelFont();
  const QFontMetricsF smallMetrics(small);
  painter.setFont(small);
  painter.setPen(Faded(ink, kLabelAlpha));
  for (const Cell& cell : cells) {
    if (cell.bit % kBitLabelStep != 0) continue;
    const QString number = QString::number(cell.bit);
    const qreal left = cell.box.right() - smallMetrics.horizontalAdvance(number);
    painter.drawText(QPointF(left, cell.box.bottom() + smallMetrics.ascent()), number);
  }
}

int DigitLine::BitAt(const QPointF& point) const {
  for (const Cell& cell : Cells()) {
    // A digit takes the clicks on its number under it as well.
    const QRectF target(cell.box.left(), cell.box.top(), cell.box.width(), RowHeight());
    if (target.contains(point)) return cell.bit;
  }
  return -1;
}

// The text position nearest to point in its row: before the character
// under it, or after it from its middle on. -1 outside every row.
int DigitLine::CharacterAt(const QPointF& point) const {
  int nearest = -1;
  qreal distance = std::numeric_limits<qreal>::max();
  for (const Cell& cell : Cells()) {
    if (cell.index < 0 || point.y() < cell.box.top() || point.y() >= cell.box.top() + RowHeight()) continue;
    const qreal away = std::abs(point.x() - cell.box.center().x());
    if (away < distance) {
      distance = away;
      nearest = point.x() < cell.box.center().x() ? cell.index : cell.index + 1;
    }
  }
  return nearest;
}

QRectF DigitLine::BitRect(int bit) const {
  for (const Cell& cell : Cells()) {
    if (cell.bit == bit) return cell.box;
  }
  return {};
}

QString DigitLine::SelectedDigits() const {
  return text().mid(selectionStart_, selectionEnd_ - selectionStart_).remove(QLatin1Char('\n'));
}

void DigitLine::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    QLabel::mousePressEvent(event);
    return;
  }
  pressPoint_ = event->position();
  anchor_ = CharacterAt(pressPoint_);
  dragging_ = false;
  selectionStart_ = selectionEnd_ = 0;
  update();
}

void DigitLine::mouseMoveEvent(QMouseEvent* event) {
  if (!(event->buttons() & Qt::LeftButton) || anchor_ < 0) return;
  if (!dragging_ && (event->position() - pressPoint_).manhattanLength() < QApplication::startDragDistance()) return;
  dragging_ = true;
  const int at = CharacterAt(event->position());
  if (at < 0) return;
  selectionStart_ = std::min(anchor_, at);
  selectionEnd_ = std::max(anchor_, at);
  update();
}

// A click that selected nothing flips the bit under it.
void DigitLine::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  const bool click = !dragging_;
  dragging_ = false;
  const int bit = click && bitCount_ > 0 ? BitAt(event->position()) : -1;
  if (bit >= 0 && onBitClicked) onBitClicked(bit);
}

// On the strip every click flips its bit, the second of a double click
// too; on another line a double click selects the whole line.
void DigitLine::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  if (bitCount_ > 0) {
    mousePressEvent(event);
    return;
  }
  dragging_ = true;
  selectionStart_ = 0;
  selectionEnd_ = static_cast<int>(text().size());
  update();
}

void DigitLine::keyPressEvent(QKeyEvent* event) {
  if (event->matches(QKeySequence::Copy) && selectionEnd_ > selectionStart_) {
    QApplication::clipboard()->setText(SelectedDigits());
    return;
  }
  if (event->matches(QKeySequence::SelectAll)) {
    selectionStart_ = 0;
    selectionEnd_ = static_cast<int>(text().size());
    update();
    return;
  }
  QLabel::keyPressEvent(event);
}

void DigitLine::changeEvent(QEvent* event) {
  if (event->type() == QEvent::FontChange) updateGeometry();
  QLabel::changeEvent(event);
}
