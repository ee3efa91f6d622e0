#pragma once
// The expression box: an editable combo box that tells when its list opens
// and when it closes, as a Windows combo box does, so that the dialog can
// bring back the typed text when the list closes without a choice.

#include <QComboBox>
#include <functional>

class HistoryBox : public QComboBox {
 public:
  explicit HistoryBox(QWidget* parent) : QComboBox(parent) {}

  // Called as the list is about to open.
  std::function<void()> onListOpening;
  // Called once the list has closed, after `activated` for a chosen entry.
  std::function<void()> onListClosed;

  void showPopup() override;
  void hidePopup() override;
};
