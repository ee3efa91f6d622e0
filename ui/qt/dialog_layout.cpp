#include "ui/qt/dialog_layout.h"

#include <QFontMetrics>
#include <QGridLayout>
#include <QWidget>

#include <algorithm>
#include <map>

namespace {

using Controls = std::array<QWidget*, kDialogControls.size()>;

Qt::Alignment AlignmentOf(const ControlTemplate& control) {
  Qt::Alignment alignment;
  if (control.horizontal == Anchor::Start) alignment |= Qt::AlignLeft;
  if (control.horizontal == Anchor::End) alignment |= Qt::AlignRight;
  if (control.vertical == Anchor::Start) alignment |= Qt::AlignTop;
  if (control.vertical == Anchor::End) alignment |= Qt::AlignBottom;
  return alignment;
}

// One grid per container: the client area's, and one in each group or frame.
std::map<int, QGridLayout*> MakeGrids(QWidget* client, const Controls& controls) {
  std::map<int, QGridLayout*> grids{{kClientArea, new QGridLayout(client)}};
  for (std::size_t i = 0; i < kDialogControls.size(); ++i) {
    if (IsFrameKind(kDialogControls[i].kind)) grids[kDialogControls[i].id] = new QGridLayout(controls[i]);
  }
  return grids;
}

// The columns (rows) holding a control that stretches take the extra width
// (height). A grid where nothing stretches vertically gets an empty last
// row that does, so its controls stay at the top of a taller group.
void SetStretch(int container, QGridLayout* grid) {
  bool rowStretches = false;
  for (const ControlTemplate& control : kDialogControls) {
    if (control.container != container) continue;
    if (control.horizontal == Anchor::Stretch && control.columnSpan == 1) grid->setColumnStretch(control.column, 1);
    if (control.vertical == Anchor::Stretch && control.rowSpan == 1) {
      grid->setRowStretch(control.row, 1);
      rowStretches = true;
    }
  }
  if (!rowStretches) grid->setRowStretch(grid->rowCount(), 1);
}

// A result line keeps room for its rows of text (the BIN line two) and, at
// the least, its width in the template. The rows are measured as the font
// lays out that many lines, plus what the widget adds around one row.
void ReserveResultLineRoom(QWidget* line, const ControlTemplate& control, DialogUnits units) {
  const int rows = std::max(1, control.height / kUnitsPerTextRow);
  const QFontMetrics metrics = line->fontMetrics();
  const QString oneRow = QStringLiteral("0");
  QString allRows = oneRow;
  for (int row = 1; row < rows; ++row) allRows += QStringLiteral("\n0");
  const int decoration = std::max(0, line->minimumSizeHint().height() - metrics.size(0, oneRow).height());
  // A line that asks for more (a bit strip with its numbers) gets it.
  line->setMinimumHeight(std::max(metrics.size(0, allRows).height() + decoration, line->minimumSizeHint().height()));
  // Explicit minimums stand in for the widget's own hint: a line whose font
  // is larger than the dialog's keeps the width its digits ask for.
  line->setMinimumWidth(std::max(units.X(control.width), line->minimumSizeHint().width()));
}

// The radio buttons and the result lines stand in two groups, row by row:
// each row gets the height of its tallest control in both groups, so a form's
// radio button stays beside its line (the BIN row is two text rows high).
void AlignGroupRows(const Controls& controls, const std::map<int, QGridLayout*>& grids) {
  std::map<int, int> rowHeights;
  for (std::size_t i = 0; i < kDialogControls.size(); ++i) {
    const ControlTemplate& control = kDialogControls[i];
    if (control.container != kIdFormGroup && control.container != kIdResultGroup) continue;
    const int height = std::max(controls[i]->sizeHint().height(), controls[i]->minimumHeight());
    rowHeights[control.row] = std::max(rowHeights[control.row], height);
  }
  for (const int group : {kIdFormGroup, kIdResultGroup}) {
    for (const auto& [row, height] : rowHeights) grids.at(group)->setRowMinimumHeight(row, height);
  }
}

}  // namespace

void ArrangeDialogControls(QWidget* client, const Controls& controls, DialogUnits units) {
  const std::map<int, QGridLayout*> grids = MakeGrids(client, controls);
  for (std::size_t i = 0; i < kDialogControls.size(); ++i) {
    const ControlTemplate& control = kDialogControls[i];
    if (control.kind == ControlKind::ResultLine) ReserveResultLineRoom(controls[i], control, units);
    grids.at(control.container)
        ->addWidget(controls[i], control.row, control.column, control.rowSpan, control.columnSpan,
                    AlignmentOf(control));
  }
  for (const auto& [container, grid] : grids) SetStretch(container, grid);
  AlignGroupRows(controls, grids);
}

void RefitDialogControls(const std::array<QWidget*, kDialogControls.size()>& controls, DialogUnits units) {
  std::map<int, QGridLayout*> grids;
  for (std::size_t i = 0; i < kDialogControls.size(); ++i) {
    const ControlTemplate& control = kDialogControls[i];
    if (IsFrameKind(control.kind)) grids[control.id] = qobject_cast<QGridLayout*>(controls[i]->layout());
    if (control.kind == ControlKind::ResultLine) ReserveResultLineRoom(controls[i], control, units);
  }
  if (!grids.contains(kIdFormGroup) || !grids.contains(kIdResultGroup)) return;
  if (grids.at(kIdFormGroup) == nullptr || grids.at(kIdResultGroup) == nullptr) return;
  AlignGroupRows(controls, grids);
}
