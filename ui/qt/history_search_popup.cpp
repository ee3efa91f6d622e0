#include "ui/qt/history_search_popup.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QVBoxLayout>

#include "settings/optional_texts.h"
#include "ui/main_dialog.h"
#include "ui/qt/display_text.h"

namespace {

// Rows of the list shown before it scrolls.
constexpr int kVisibleRows = 8;

}  // namespace

HistorySearchPopup::HistorySearchPopup(QWidget* anchor)
    : QFrame(anchor, Qt::Popup), anchor_(anchor), query_(new QLineEdit(this)), matches_(new QListWidget(this)) {
  setFrameShape(QFrame::StyledPanel);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(2, 2, 2, 2);
  layout->setSpacing(2);
  layout->addWidget(query_);
  layout->addWidget(matches_);
  query_->installEventFilter(this);
  matches_->setFocusPolicy(Qt::NoFocus);
  connect(query_, &QLineEdit::textEdited, this, [this](const QString& text) {
    if (logic_ != nullptr) logic_->OnHistorySearchQuery(text.toUtf8().constData());
  });
  connect(matches_, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
    if (logic_ == nullptr) return;
    logic_->OnHistorySearchSelect(matches_->row(item));
    End(true);
  });
}

void HistorySearchPopup::Show(const QString& query, const QStringList& matches, int selected) {
  query_->setPlaceholderText(ToDisplayText(OptionalText(OptionalTextIndex("searchhistory"))));
  if (query_->text() != query) query_->setText(query);
  matches_->clear();
  matches_->addItems(matches);
  matches_->setCurrentRow(selected);
  if (isVisible()) return;
  const int rowHeight = matches_->fontMetrics().height() + 4;
  resize(anchor_->width(), query_->sizeHint().height() + rowHeight * kVisibleRows + 12);
  move(anchor_->mapToGlobal(QPoint(0, anchor_->height())));
  show();
  query_->setFocus(Qt::PopupFocusReason);
}

void HistorySearchPopup::Close() {
  closing_ = true;
  hide();
  closing_ = false;
}

void HistorySearchPopup::End(bool accept) {
  if (logic_ != nullptr) logic_->OnHistorySearchEnd(accept);
}

// Enter takes the selected match, Escape goes back; the arrow keys move
// through the matches and Ctrl+R goes to the next older one.
bool HistorySearchPopup::eventFilter(QObject* watched, QEvent* event) {
  if (watched != query_ || event->type() != QEvent::KeyPress || logic_ == nullptr) {
    return QFrame::eventFilter(watched, event);
  }
  const auto* key = static_cast<QKeyEvent*>(event);
  const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
  switch (key->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      End(true);
      return true;
    case Qt::Key_Escape:
      End(false);
      return true;
    case Qt::Key_Down:
      logic_->OnHistorySearchSelect(matches_->currentRow() + 1);
      return true;
    case Qt::Key_Up:
      logic_->OnHistorySearchSelect(matches_->currentRow() - 1);
      return true;
    case Qt::Key_R:
      if (modifiers == Qt::ControlModifier) {
        logic_->OnHistorySearch();
        return true;
      }
      break;
    default:
      break;
  }
  return QFrame::eventFilter(watched, event);
}

// A click elsewhere closes a popup: the search ends as Escape ends it.
void HistorySearchPopup::hideEvent(QHideEvent* event) {
  QFrame::hideEvent(event);
  if (!closing_) End(false);
}
