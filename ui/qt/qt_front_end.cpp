#include "ui/qt/qt_front_end.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QTextCharFormat>
#include <QComboBox>
#include <QFileDialog>
#include <QFontDialog>
#include <QFontDatabase>
#include <QGroupBox>
#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QRadioButton>
#include <QScreen>
#include <QTextDocument>

#include <cmath>

#include "ui/qt/digit_line.h"
#include "ui/qt/display_font.h"
#include "ui/qt/display_text.h"
#include "ui/qt/session_end.h"

namespace {

// Runs a message box whose texts are shown as they are: Qt would otherwise
// guess that a text holding tags is HTML and render it, loading whatever an
// <img> names. Returns the button pressed.
QMessageBox::StandardButton RunPlainBox(QMessageBox::Icon icon, const char* caption, const char* text,
                                        QMessageBox::StandardButtons buttons, QWidget* parent = nullptr) {
  QMessageBox box(icon, ToDisplayText(caption), ToDisplayText(text), buttons, parent);
  box.setTextFormat(Qt::PlainText);
  return static_cast<QMessageBox::StandardButton>(box.exec());
}

// A tool tip that shows note as it is: tips too are taken for HTML when
// they look like it, so such a text goes in escaped, its line breaks kept.
QString PlainToolTip(const char* note) {
  const QString text = ToDisplayText(note);
  return Qt::mightBeRichText(text) ? Qt::convertFromPlainText(text, Qt::WhiteSpacePre) : text;
}

}  // namespace

QFont DialogFont() {
  QString family = QStringLiteral("Arial");
  if (!QFontDatabase::hasFamily(family)) {
    family = QStringLiteral("Liberation Sans");
  }
  QFont font(family);
  font.setStyleHint(QFont::SansSerif);
  font.setWeight(QFont::Normal);
  const QScreen* screen = QGuiApplication::primaryScreen();
  const double dpi = screen != nullptr ? screen->logicalDotsPerInchY() : 96.0;
  font.setPixelSize(static_cast<int>(std::lround(kDialogFontPoints * dpi / 72.0)));
  return font;
}

QIcon ProgramIcon() {
  QIcon icon;
  icon.addFile(QStringLiteral(":/quillo/quillo-16.png"), QSize(16, 16));
  icon.addFile(QStringLiteral(":/quillo/quillo-32.png"), QSize(32, 32));
  return icon;
}

QtFrontEnd::QtFrontEnd() : font_(DialogFont()) {}

QtFrontEnd::~QtFrontEnd() = default;

CalculatorDialog* QtFrontEnd::CreateDialog(MainDialog& dialog) {
  window_ = std::make_unique<CalculatorDialog>(font_);
  window_->Connect(&dialog);
  dialog.Initialise();
  return window_.get();
}

void QtFrontEnd::RunModal(MainDialog& dialog) {
  CalculatorDialog* window = CreateDialog(dialog);
  const SessionEndWatcher watcher(dialog);
  window->exec();
  window->Connect(nullptr);
}

bool QtFrontEnd::AskForLanguageFile(const LanguageFileQuestion& question, char* path, unsigned capacity) {
  QFileDialog dialog(nullptr, ToDisplayText(question.title), ToDisplayText(question.folder),
                     QStringLiteral("Quillo language (*.lng);;All files (*.*)"));
  // Qt's own dialog, which accepts the typed name of a file that does not
  // exist; the caller reports a file it cannot open.
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  // The file of the system's language is selected, so Enter takes it.
  if (question.preselected[0] != '\0') {
    dialog.selectFile(ToDisplayText(question.preselected));
  }
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
    return false;
  }
  // A path that does not fit cannot be opened later: treat it as no choice.
  return CopyUtf8(QDir::toNativeSeparators(dialog.selectedFiles().constFirst()), path, capacity);
}

void QtFrontEnd::ShowErrorBox(const char* caption, const char* text) {
  RunPlainBox(QMessageBox::Critical, caption, text, QMessageBox::Ok);
}

bool QtFrontEnd::AskToWaitAgain(const char* caption, const char* text) {
  return RunPlainBox(QMessageBox::Warning, caption, text, QMessageBox::Retry | QMessageBox::Cancel, window_.get()) ==
         QMessageBox::Retry;
}

void QtFrontEnd::SetControlText(int controlId, const char* text) {
  if (!window_) {
    return;
  }
  QWidget* control = window_->Control(controlId);
  const QString display = ToDisplayText(text);
  if (auto* label = qobject_cast<QLabel*>(control)) {
    label->setText(display);
  } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
    button->setText(display);
  } else if (auto* group = qobject_cast<QGroupBox*>(control)) {
    group->setTitle(display);
  } else if (control == window_->Box()) {
    window_->Box()->setEditText(display);
  }
}

void QtFrontEnd::ShowResultLine(int controlId, const char* text, const DigitGaps& gaps, int bitCount) {
  auto* line = window_ ? dynamic_cast<DigitLine*>(window_->Control(controlId)) : nullptr;
  if (line == nullptr) {
    SetControlText(controlId, text);
    return;
  }
  // A line of another height (a strip of another word size) needs other
  // room: the rows are fitted again, and the window grows where it must.
  if (line->SetDigits(ToDisplayText(text), gaps, bitCount)) window_->RefitControls();
}

void QtFrontEnd::AttachMenu(const MenuModel& menu) {
  if (window_) {
    window_->RebuildMenu(menu);
  }
}

// QComboBox makes an entry current when the list changes under it (the first
// one inserted, a neighbour of one removed) and then shows that entry in the
// edit field. The history is only a list: the edit text, cursor and
// selection stay as they were.
template <typename Change>
void QtFrontEnd::ChangeListKeepingText(Change change) {
  if (!window_) {
    return;
  }
  QComboBox* box = window_->Box();
  QLineEdit* edit = box->lineEdit();
  const QString text = edit->text();
  const int cursor = edit->cursorPosition();
  const int selectionStart = edit->selectionStart();
  const int selectionLength = static_cast<int>(edit->selectedText().size());
  change(box);
  if (edit->text() != text) {
    edit->setText(text);
  }
  if (selectionStart >= 0) {
    edit->setSelection(selectionStart, selectionLength);
  } else {
    edit->setCursorPosition(cursor);
  }
}

void QtFrontEnd::InsertHistoryItemAtTop(const char* text) {
  ChangeListKeepingText([&](QComboBox* box) { box->insertItem(0, ToDisplayText(text)); });
}

void QtFrontEnd::AppendHistoryItem(const char* text) {
  ChangeListKeepingText([&](QComboBox* box) { box->addItem(ToDisplayText(text)); });
}

int QtFrontEnd::HistoryItemCount() { return window_ ? window_->Box()->count() : 0; }

void QtFrontEnd::HistoryItemText(int index, char* buffer, unsigned capacity) {
  const QString text = window_ ? window_->Box()->itemText(index) : QString();
  CopyUtf8(text, buffer, capacity);
}

void QtFrontEnd::DeleteLastHistoryItem() {
  ChangeListKeepingText([](QComboBox* box) { box->removeItem(box->count() - 1); });
}

void QtFrontEnd::BoxText(char* buffer, unsigned capacity) {
  CopyUtf8(window_ ? window_->Box()->currentText() : QString(), buffer, capacity);
}

void QtFrontEnd::SetBoxText(const char* text) {
  if (window_) {
    window_->Box()->lineEdit()->setText(QString::fromUtf8(text));
  }
}

void QtFrontEnd::SelectBoxText(int start, int end) {
  if (window_) {
    window_->Box()->lineEdit()->setSelection(start, end - start);
  }
}

void QtFrontEnd::BoxTextSelection(int* start, int* end) {
  *start = *end = 0;
  if (!window_) {
    return;
  }
  const QLineEdit* edit = window_->Box()->lineEdit();
  if (edit->hasSelectedText()) {
    *start = edit->selectionStart();
    *end = edit->selectionEnd();
  } else {
    *start = *end = edit->cursorPosition();
  }
}

int QtFrontEnd::BoxSelection() { return window_ ? window_->Box()->currentIndex() : -1; }

void QtFrontEnd::OpenBoxList() {
  if (window_) {
    window_->Box()->showPopup();
  }
}

void QtFrontEnd::CloseBoxList() {
  if (window_) {
    window_->Box()->hidePopup();
  }
}

void QtFrontEnd::SelectBoxItem(int index) {
  if (!window_ || index < 0 || index >= window_->Box()->count()) {
    return;
  }
  QComboBox* box = window_->Box();
  box->setCurrentIndex(index);
  // setCurrentIndex leaves the edit text alone when the entry was current
  // already and the user has typed since.
  box->lineEdit()->setText(box->itemText(index));
  box->view()->setCurrentIndex(box->model()->index(index, box->modelColumn()));
}

void QtFrontEnd::FocusBox() {
  if (window_) {
    window_->Box()->setFocus(Qt::OtherFocusReason);
  }
}

void QtFrontEnd::CheckRadioButton(int firstId, int lastId, int checkedId) {
  if (!window_ || checkedId < firstId || checkedId > lastId) {
    return;
  }
  // The radio buttons are exclusive: checking one unchecks the others.
  if (auto* radio = qobject_cast<QRadioButton*>(window_->Control(checkedId))) {
    radio->setChecked(true);
  }
}

void QtFrontEnd::RegisterHotkey(int hotkeyId) {
  if (window_) {
    window_->SetHotkeyRegistered(hotkeyId, true);
  }
}

void QtFrontEnd::UnregisterHotkey(int hotkeyId) {
  if (window_) {
    window_->SetHotkeyRegistered(hotkeyId, false);
  }
}

void QtFrontEnd::SetClipboardText(const char* text) { QGuiApplication::clipboard()->setText(ToDisplayText(text)); }

void QtFrontEnd::Beep() { QApplication::beep(); }

void QtFrontEnd::ShowHistorySearch(const char* query, const std::vector<std::string>& matches, int selected) {
  if (!window_) {
    return;
  }
  QStringList items;
  for (const std::string& match : matches) {
    items << QString::fromStdString(match);
  }
  window_->ShowSearch(QString::fromUtf8(query), items, selected);
}

void QtFrontEnd::HideHistorySearch() {
  if (window_) {
    window_->HideSearch();
  }
}

void QtFrontEnd::ShowNotice(const char* text) {
  RunPlainBox(QMessageBox::Information, "Quillo", text, QMessageBox::Ok, window_.get());
}

void QtFrontEnd::MarkResultLine(int controlId, const char* note) {
  auto* label = window_ ? qobject_cast<QLabel*>(window_->Control(controlId)) : nullptr;
  if (label == nullptr) {
    return;
  }
  const bool marked = note != nullptr && note[0] != '\0';
  label->setToolTip(marked ? PlainToolTip(note) : QString());
  QPalette palette;  // empty: the label takes the dialog's colours again
  if (marked) {
    palette = label->palette();
    palette.setColor(QPalette::WindowText, QColor(kPartialLineColour));
  }
  label->setPalette(palette);
}

// The mark is a text format on the edit field's layout, given the way an
// input method gives its formats: an input method event that carries no
// text changes neither the text, nor the caret, nor the selection. The
// event counts from the caret, the dialog in bytes of UTF-8.
void QtFrontEnd::MarkBoxError(int start, int end, const char* note) {
  if (!window_) {
    return;
  }
  QLineEdit* edit = window_->Box()->lineEdit();
  const bool marked = start >= 0;
  edit->setToolTip(marked ? PlainToolTip(note) : QString());
  QList<QInputMethodEvent::Attribute> formats;
  if (marked) {
    const QByteArray utf8 = edit->text().toUtf8();
    int first = static_cast<int>(QString::fromUtf8(utf8.left(start)).size());
    const int last = static_cast<int>(QString::fromUtf8(utf8.left(end)).size());
    // The end of the text has no character to mark: the one before it stands in.
    if (first == last && first > 0) {
      --first;
    }
    QTextCharFormat format;
    format.setUnderlineStyle(QTextCharFormat::WaveUnderline);
    format.setUnderlineColor(QColor(kErrorMarkColour));
    format.setForeground(QColor(kErrorMarkColour));
    const int length = last > first ? last - first : 1;
    formats.append({QInputMethodEvent::TextFormat, first - edit->cursorPosition(), length, format});
  }
  QInputMethodEvent event(QString(), formats);
  QCoreApplication::sendEvent(edit, &event);
}

void QtFrontEnd::SetAlwaysOnTop(bool onTop) {
  if (!window_) return;
  // Changing a window flag hides a shown window; it is shown again at once.
  const bool shown = window_->isVisible();
  window_->setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
  if (shown) window_->show();
}

void QtFrontEnd::ApplyProgramIcon() {
  if (window_) {
    window_->setWindowIcon(ProgramIcon());
  }
}

void QtFrontEnd::ShowAboutBox(const char* title, const char* text) {
  RunPlainBox(QMessageBox::Information, title, text, QMessageBox::Ok);
}

void QtFrontEnd::ShowHelp(const HelpContents& help) {
  if (!window_) return;
  if (help_ == nullptr) help_ = new HelpWindow(window_.get());
  help_->Show(help);
}

void QtFrontEnd::SetDisplayFont(const FontChoice& font) {
  if (!window_) return;
  ApplyDisplayFont(font, {window_->Box(), window_->Control(kIdResultLineDec), window_->Control(kIdResultLineHex),
                          window_->Control(kIdResultLineBin), window_->Control(kIdResultLineOct),
                          window_->Control(kIdResultLineExp)});
  window_->RefitControls();
}

bool QtFrontEnd::AskForFont(FontChoice& font) {
  if (!window_) return false;
  // Qt's own dialog, the same on every desktop, as the file dialog is.
  QFontDialog dialog(IsFontChosen(font) ? QtFontOf(font) : window_->Box()->font(), window_.get());
  dialog.setOption(QFontDialog::DontUseNativeDialog);
  if (dialog.exec() != QDialog::Accepted) return false;
  return FontChoiceOf(dialog.selectedFont(), font);
}

void QtFrontEnd::EndDialog(int result) {
  if (window_) {
    window_->EndWithResult(result);
  }
}
