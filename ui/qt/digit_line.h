#pragma once
// A result line drawn for reading digits: the fixed-width font, thin gaps
// between digit groups that are no characters of its text, and for the BIN
// line a strip of the word's bits, numbered every 4th, whose digits can be
// clicked. It stays a QLabel: text() is the line's text as given, which the
// accessible name, copies and tests read.

#include <QLabel>
#include <QRectF>
#include <QString>

#include <functional>
#include <vector>

#include "ui/digit_groups.h"

class DigitLine : public QLabel {
 public:
  explicit DigitLine(QWidget* parent);

  // The line's text, where gaps are drawn, and the strip's word size (0: no
  // strip). Redraws and asks the layout for the new size. Returns whether the
  // line's height changes: another number of rows, or a strip begun or gone.
  bool SetDigits(const QString& text, const DigitGaps& gaps, int bitCount);

  // Where bit `bit`'s digit is drawn; empty without a strip or beyond it.
  QRectF BitRect(int bit) const;
  // The characters selected with the mouse, without row breaks.
  QString SelectedDigits() const;

  // Called with the bit of the digit the user clicked.
  std::function<void(int bit)> onBitClicked;

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  // One drawn character: the text's character at `index` (-1 for a leading
  // zero of the strip that the text leaves out), the bit it stands for (-1
  // outside the strip), and its box.
  struct Cell {
    int index;
    int bit;
    QRectF box;
  };
  std::vector<Cell> Cells() const;
  void AddStripCells(std::vector<Cell>& cells) const;
  void AddRowCells(std::vector<Cell>& cells) const;
  QFont LabelFont() const;
  qreal GapWidth() const;
  qreal RowHeight() const;
  bool ShowsBitNumbers() const;
  qreal LabelRowHeight() const;
  QSize SizeFor(bool withBitNumbers) const;  // the digits, and the bit numbers when asked
  int RowCount() const;
  int CharacterAt(const QPointF& point) const;
  int BitAt(const QPointF& point) const;

  DigitGaps gaps_{};
  int bitCount_ = 0;
  int anchor_ = -1;             // where the mouse selection started, a text index; -1 for none
  int selectionStart_ = 0;      // the selected text indices [start, end)
  int selectionEnd_ = 0;
  QPointF pressPoint_;          // where the left button went down
  bool dragging_ = false;       // the mouse moved far enough to select
};

// The font of the result lines: the system's fixed-width font at the size
// of the dialog's font. The one place that chooses it.
QFont ResultLineFont(const QFont& dialogFont);

// A result line for the window, in the result lines' font, calling
// onBitClicked with the bit of a clicked digit of its strip.
DigitLine* CreateDigitLine(QWidget* parent, std::function<void(int bit)> onBitClicked);
