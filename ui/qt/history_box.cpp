#include "ui/qt/history_box.h"

#include <QMetaObject>

void HistoryBox::showPopup() {
  if (onListOpening) onListOpening();
  QComboBox::showPopup();
}

void HistoryBox::hidePopup() {
  QComboBox::hidePopup();
  // Queued: a chosen entry's `activated` comes right after hidePopup, in the
  // same event, and must be taken before the close is.
  QMetaObject::invokeMethod(
      this, [this] { if (onListClosed) onListClosed(); }, Qt::QueuedConnection);
}
