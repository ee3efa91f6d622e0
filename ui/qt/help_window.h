#pragma once
// The help of Help -> Contents in a window of its own beside the calculator:
// the page ui/help_contents builds, shown read-only in a text browser. The
// calculator stays usable while it is open.

#include <QWidget>

#include "ui/help_contents.h"

class QKeyEvent;
class QTextBrowser;

class HelpWindow : public QWidget {
 public:
  // A top-level window owned by parent, closed with it.
  explicit HelpWindow(QWidget* parent);

  // Shows help (replacing what was shown) and brings the window to the front.
  void Show(const HelpContents& help);
  QTextBrowser* Browser() const { return browser_; }

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  QTextBrowser* browser_ = nullptr;
};
