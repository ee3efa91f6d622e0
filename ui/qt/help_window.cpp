#include "ui/qt/help_window.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace {

// Room for the widest rows (a term, its meaning and an example with its
// result) and a good part of the page, in lines and average characters of
// the window's font.
constexpr int kWidthCharacters = 100;
constexpr int kHeightLines = 32;

}  // namespace

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  browser_ = new QTextBrowser(this);
  // The page is the program's own and links nowhere: nothing is loaded or
  // opened, whatever a language text holds (the texts are escaped as well).
  browser_->setOpenLinks(false);
  browser_->setOpenExternalLinks(false);
  layout->addWidget(browser_);
  const QFontMetrics metrics(font());
  resize(metrics.averageCharWidth() * kWidthCharacters, metrics.lineSpacing() * kHeightLines);
}

// The browser leaves Escape to its window, which it closes.
void HelpWindow::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
    close();
    return;
  }
  QWidget::keyPressEvent(event);
}

void HelpWindow::Show(const HelpContents& help) {
  setWindowTitle(QString::fromStdString(help.title));
  browser_->setHtml(QString::fromStdString(HelpAsHtml(help)));
  show();
  raise();
  activateWindow();
}
