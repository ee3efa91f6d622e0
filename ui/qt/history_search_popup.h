#pragma once
// The history search's window under the expression box: a field for the
// text to look for and the list of matching entries. It only passes keys and
// edits on to MainDialog and shows what MainDialog tells it.

#include <QFrame>

class MainDialog;
class QLineEdit;
class QListWidget;

class HistorySearchPopup : public QFrame {
 public:
  explicit HistorySearchPopup(QWidget* anchor);

  void Connect(MainDialog* logic) { logic_ = logic; }
  // Shows the popup under the anchor (or keeps it there) with this state.
  void Show(const QString& query, const QStringList& matches, int selected);
  // Hides it without telling the dialog, which ended the search itself.
  void Close();

  QLineEdit* QueryField() const { return query_; }
  QListWidget* MatchList() const { return matches_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  void End(bool accept);

  QWidget* anchor_;
  MainDialog* logic_ = nullptr;
  QLineEdit* query_;
  QListWidget* matches_;
  bool closing_ = false;  // hidden on the dialog's word, not by a click elsewhere
};
