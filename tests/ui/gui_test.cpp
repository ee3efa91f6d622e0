// The real Qt window on the offscreen platform, driven with QTest key and
// mouse events: what a user types, clicks and sees.

#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QMenu>
#include <QAccessible>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTextDocument>
#include <QTimer>

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>

#include "engine/calculate.h"
#include "settings/profile.h"
#include "settings/settings.h"
#include "tests/support/case_table.h"
#include "tests/ui/ui_test_support.h"
#include "ui/main_dialog.h"
#include "ui/program_version.h"
#include "ui/qt/history_search_popup.h"
#include "ui/qt/qt_front_end.h"
#include "ui/qt/session_end.h"

namespace {

// How long a test waits for its modal dialogs to open and be answered, and
// how often it looks for them.
constexpr int kModalTimeoutMs = 10000;
constexpr int kModalPollMs = 10;

// Answers the modal dialogs that open inside nested event loops, in order:
// each answer gets the active modal widget and returns true once it has
// dealt with it. Once the time is up, it closes any modal dialog still
// open, so that the test fails instead of hanging in it.
class ModalAnswers {
 public:
  using Answer = std::function<bool(QWidget*)>;
  explicit ModalAnswers(std::deque<Answer> answers)
      : answers_(std::move(answers)), deadline_(kModalTimeoutMs) {
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      QWidget* modal = QApplication::activeModalWidget();
      if (modal == nullptr) return;
      if (deadline_.hasExpired()) {
        modal->close();
      } else if (answers_.front()(modal)) {
        answers_.pop_front();
        if (answers_.empty()) timer_.stop();
      }
    });
    if (!answers_.empty()) timer_.start(kModalPollMs);
  }
  bool AllAnswered() const { return answers_.empty(); }

 private:
  std::deque<Answer> answers_;
  QDeadlineTimer deadline_;
  QTimer timer_;
};

QString Utf8(const std::string& text) { return QString::fromStdString(text); }

class GuiTest : public ::testing::Test {
 protected:
  void Open(int form = 0, const std::string& history = "", const std::string& language = "") {
    ProgramEngineState() = EngineState{};
    english = language.empty() ? WriteLanguageFile(folder, "en") : language;
    settingsFile = PrepareSettings(folder, english, form, history);
    logic = std::make_unique<MainDialog>(frontEnd, ProgramEngineState());
    window = frontEnd.CreateDialog(*logic);
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    // Activation hands the keyboard focus to a control: every test starts
    // from there.
    ASSERT_TRUE(QTest::qWaitFor([] { return QApplication::focusWidget() != nullptr; }));
  }
  QComboBox* Box() const { return window->Box(); }
  QAbstractButton* Button(int id) const { return qobject_cast<QAbstractButton*>(window->Control(id)); }
  QString Line(int index) const { return qobject_cast<QLabel*>(window->Control(kIdResultLineDec + index))->text(); }
  QString Lines() const {
    QStringList lines;
    for (int i = 0; i < kResultFormCount; ++i) lines << Line(i);
    return lines.join('|');
  }
  QString AllLines(const QString& text) const { return QStringList(kResultFormCount, text).join('|'); }
  void Retype(const char* text) {
    QTest::mouseClick(Box()->lineEdit(), Qt::LeftButton);
    QTest::keyClick(Box(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(Box(), text);
  }
  std::string Setting(const char* section, const char* key) const {
    char value[1000];
    ReadProfileString(section, key, "<missing>", value, sizeof value, settingsFile.c_str());
    return value;
  }
  QAction* MenuAction(int popup, int item) const {
    return window->Menu()->actions().at(popup)->menu()->actions().at(item);
  }

  TempFolder folder;
  std::string english, settingsFile;
  std::unique_ptr<MainDialog> logic;  // outlives the window, which frontEnd owns
  QtFrontEnd frontEnd;
  CalculatorDialog* window = nullptr;
};

const QString kZeroLines = QStringLiteral("0|0|0|0|0.000000000000000E+0000");

TEST_F(GuiTest, OpensWithZeroLinesTheSavedFormAndTheFocusInTheBox) {
  Open(kFormBin);
  EXPECT_EQ(Lines(), kZeroLines);
  EXPECT_TRUE(Button(kIdRadioBin)->isChecked());
  EXPECT_EQ(QApplication::focusWidget(), Box());
  EXPECT_EQ(window->windowTitle(), "Quillo");
  EXPECT_EQ(window->windowIcon().availableSizes(), QList<QSize>({QSize(16, 16), QSize(32, 32)}));
  EXPECT_EQ(Button(kIdCalculateButton)->text(), "en dialog 0");
  EXPECT_EQ(window->Menu()->actions().at(0)->text(), "e&n menu 0");
  EXPECT_TRUE(MenuAction(0, 1)->isEnabled());
  EXPECT_TRUE(MenuAction(2, 0)->isEnabled());
  EXPECT_TRUE(MenuAction(2, 2)->isEnabled());
}

// The word menu's keys work from the box: the lines follow at once, the
// box keeps its text, the marks move, and a 64-bit BIN line shows two rows.
// QUILLO_WORD_SHOTS names a folder to photograph the window into.
TEST_F(GuiTest, WordKeysRecalculateAndKeepTheBox) {
  Open(kFormDec, "", QUILLO_ENGLISH_LNG);
  QTest::keyClicks(Box(), "0xFFFF_0000_FFFF_0001");
  EXPECT_EQ(Line(kFormDec), "18446462603027742721");
  EXPECT_TRUE(MenuAction(1, 2)->isChecked());  // 32 bits
  QTest::keyClick(Box(), Qt::Key_4, Qt::ControlModifier);
  EXPECT_EQ(Line(kFormHex), "FFFF0000FFFF0001");
  EXPECT_EQ(Line(kFormBin), "11111111111111110000000000000000\n11111111111111110000000000000001");
  EXPECT_EQ(Box()->currentText(), "0xFFFF_0000_FFFF_0001");
  EXPECT_TRUE(MenuAction(1, 3)->isChecked());
  EXPECT_FALSE(MenuAction(1, 2)->isChecked());
  const QString shots = qEnvironmentVariable("QUILLO_WORD_SHOTS");
  if (!shots.isEmpty()) window->grab().save(shots + QStringLiteral("/word-64.png"));
  QTest::keyClick(Box(), Qt::Key_2, Qt::ControlModifier);
  EXPECT_EQ(Line(kFormHex), "Too large for HEX, BIN and OCT");  // from 1e19 up below 64 bits
  QTest::keyClick(Box(), Qt::Key_U, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_TRUE(MenuAction(1, 6)->isChecked());
  Retype("~0");
  EXPECT_EQ(Line(kFormDec), "65535");
  if (!shots.isEmpty()) window->grab().save(shots + QStringLiteral("/word-16u.png"));
}

// "Always on top" from the Options menu: the window keeps the hint and stays
// shown, the item is checked, a second choice takes both back, and the
// choice is saved. QUILLO_ONTOP_SHOT names a file for the open menu's picture.
TEST_F(GuiTest, AlwaysOnTopSetsTheWindowsHintAndIsChecked) {
  Open(kFormDec, "", QUILLO_ENGLISH_LNG);
  QAction* onTop = MenuAction(0, 3);
  EXPECT_EQ(onTop->text(), "&Always on top");
  EXPECT_FALSE(onTop->isChecked());
  EXPECT_FALSE(window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  onTop->trigger();
  onTop = MenuAction(0, 3);  // the menu is rebuilt for the check mark
  EXPECT_TRUE(onTop->isChecked());
  EXPECT_TRUE(window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  EXPECT_TRUE(QTest::qWaitFor([this] { return window->isVisible(); }));
  const QString shot = qEnvironmentVariable("QUILLO_ONTOP_SHOT");
  if (!shot.isEmpty()) {
    QMenu* options = window->Menu()->actions().at(0)->menu();
    options->popup(window->mapToGlobal(QPoint(0, 0)));
    ASSERT_TRUE(QTest::qWaitFor([options] { return options->isVisible(); }));
    options->grab().save(shot);
    options->close();
  }
  onTop->trigger();
  EXPECT_FALSE(MenuAction(0, 3)->isChecked());
  EXPECT_FALSE(window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  MenuAction(0, 3)->trigger();
  logic->OnCloseRequest();
  EXPECT_EQ(Setting("INI", "ontop"), "1");
}

TEST_F(GuiTest, EveryKeyRecalculates) {
  Open();
  const struct {
    int line;
    char key;
    QString lines;
  } cases[] = {
      {__LINE__, '2', "2|2|10|2|2.000000000000000E+0000"},
      {__LINE__, '5', "25|19|11001|31|2.500000000000000E+0001"},
      {__LINE__, '5', "255|FF|11111111|377|2.550000000000000E+0002"},
  };
  ForEachCase(cases, [&](const auto& c) {
    QTest::keyClick(Box(), c.key);
    EXPECT_EQ(Lines(), c.lines);
  });
  Retype("2+");
  EXPECT_EQ(Lines(), AllLines(Utf8(MessageText("en", kMsgTooFewForPlus))));
  QTest::keyClick(Box(), '3');
  EXPECT_EQ(Lines(), "5|5|101|5|5.000000000000000E+0000");
}

TEST_F(GuiTest, CalculateWritesEachFormIntoTheBoxWithTheWholeTextSelected) {
  const struct {
    int line;
    int radio;
    QString text;
  } cases[] = {
      {__LINE__, kIdRadioDec, "255"},
      {__LINE__, kIdRadioHex, "0xFF"},
      {__LINE__, kIdRadioBin, "11111111b"},
      {__LINE__, kIdRadioOct, "377o"},
      {__LINE__, kIdRadioExp, "2.550000000000000E+0002"},
  };
  Open();
  ForEachCase(cases, [&](const auto& c) {
    QTest::mouseClick(Button(c.radio), Qt::LeftButton);
    Retype("255");
    const QString lines = Lines();
    QTest::mouseClick(Button(kIdCalculateButton), Qt::LeftButton);
    EXPECT_EQ(Box()->currentText(), c.text);
    EXPECT_EQ(Box()->lineEdit()->selectedText(), c.text);
    EXPECT_EQ(QApplication::focusWidget(), Box());
    EXPECT_EQ(Box()->itemText(0), "255");
    EXPECT_EQ(Lines(), lines);
    // The text the program put into the box is no edit: nothing was read.
    EXPECT_STREQ(ProgramEngineState().expression, "255");
  });
}

TEST_F(GuiTest, EnterCalculates) {
  Open(kFormHex);
  QTest::keyClicks(Box(), "6*7");
  QTest::keyClick(Box(), Qt::Key_Return);
  EXPECT_EQ(Box()->currentText(), "0x2A");
  EXPECT_EQ(Box()->count(), 1);
}

TEST_F(GuiTest, EscapeInTheBoxFilesTheTextAwayElsewhereDoesNothing) {
  Open();
  QTest::keyClicks(Box(), "255");
  QTest::keyClick(Box(), Qt::Key_Escape);
  EXPECT_EQ(Box()->currentText(), "");
  EXPECT_EQ(Box()->itemText(0), "255");
  EXPECT_EQ(Lines(), kZeroLines);

  Button(kIdCloseButton)->setFocus();
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
  EXPECT_TRUE(window->isVisible());

  QTest::mouseClick(Box()->lineEdit(), Qt::LeftButton);
  QTest::keyClick(Box(), Qt::Key_Escape);  // the box is empty: save and end
  EXPECT_FALSE(window->isVisible());
  EXPECT_EQ(Setting("HISTORY", "0"), "255");
}

TEST_F(GuiTest, DownOpensTheHistoryOnTheNewestEntryAndThenMovesThroughIt) {
  Open(0, "0=3\r\n1=2\r\n2=1\r\n");
  QTest::keyClicks(Box(), "7");
  QTest::keyClick(Box(), Qt::Key_Down);
  // The list may open and close with an animation, depending on the style.
  ASSERT_TRUE(QTest::qWaitFor([this] { return Box()->view()->isVisible(); }));
  EXPECT_EQ(Box()->view()->currentIndex().row(), 0);
  EXPECT_EQ(Box()->currentText(), "3");
  EXPECT_EQ(Line(0), "3");  // the lines show what the box shows
  QTest::keyClick(Box()->view(), Qt::Key_Down);
  EXPECT_EQ(Box()->view()->currentIndex().row(), 1);
  QTest::keyClick(Box()->view(), Qt::Key_Return);
  EXPECT_TRUE(QTest::qWaitFor([this] { return !Box()->view()->isVisible(); }));
  EXPECT_EQ(Box()->currentText(), "2");
  EXPECT_EQ(Line(0), "2");
  // The close that follows the choice changes nothing.
  QCoreApplication::processEvents();
  EXPECT_EQ(Box()->currentText(), "2");
}

// Escape in the open list closes it and brings back the typed text, and the
// lines its value; the text is neither filed away nor the window closed.
TEST_F(GuiTest, EscapeInTheOpenListBringsBackTheTypedText) {
  Open(0, "0=3\r\n1=2\r\n");
  QTest::keyClicks(Box(), "6*7");
  QTest::keyClick(Box(), Qt::Key_Down);
  ASSERT_TRUE(QTest::qWaitFor([this] { return Box()->view()->isVisible(); }));
  EXPECT_EQ(Line(0), "3");
  QTest::keyClick(Box()->view(), Qt::Key_Escape);
  EXPECT_TRUE(QTest::qWaitFor([this] { return Box()->currentText() == "6*7"; }));
  EXPECT_FALSE(Box()->view()->isVisible());
  EXPECT_EQ(Line(0), "42");
  EXPECT_EQ(Box()->count(), 2);
  EXPECT_TRUE(window->isVisible());
  QTest::keyClick(Box(), Qt::Key_Return);
  EXPECT_EQ(Box()->currentText(), "42");
}

TEST_F(GuiTest, RadioButtonsChangeNoLine) {
  Open();
  QTest::keyClicks(Box(), "-1");
  const QString lines = Lines();
  for (int radio = kIdRadioDec; radio <= kIdRadioExp; ++radio) {
    QTest::mouseClick(Button(radio), Qt::LeftButton);
    EXPECT_TRUE(Button(radio)->isChecked());
    EXPECT_EQ(ProgramSettings().CurrentForm, radio - kIdRadioDec);
    EXPECT_EQ(Lines(), lines);
  }
}

// Alt with a radio button's letter chooses its form and leaves the focus,
// caret and selection in the box, so typing goes on (even Alt+O, which the
// Options menu's letter would otherwise take).
TEST_F(GuiTest, AltWithAFormsLetterChoosesItAndTheBoxKeepsTheFocus) {
  Open();
  QLineEdit* edit = Box()->lineEdit();
  QTest::keyClicks(Box(), "12+34");
  edit->setSelection(3, 2);
  const struct {
    int line;
    Qt::Key key;
    int radio;
  } cases[] = {
      {__LINE__, Qt::Key_H, kIdRadioHex}, {__LINE__, Qt::Key_B, kIdRadioBin}, {__LINE__, Qt::Key_O, kIdRadioOct},
      {__LINE__, Qt::Key_E, kIdRadioExp}, {__LINE__, Qt::Key_C, kIdRadioDec},
  };
  ForEachCase(cases, [&](const auto& c) {
    QTest::keyClick(edit, c.key, Qt::AltModifier);
    EXPECT_TRUE(Button(c.radio)->isChecked());
    EXPECT_EQ(ProgramSettings().CurrentForm, c.radio - kIdRadioDec);
    EXPECT_EQ(QApplication::focusWidget(), Box());
    EXPECT_EQ(edit->selectedText(), "34");
    EXPECT_EQ(window->findChild<QMenuBar*>()->activeAction(), nullptr);
  });
  QTest::keyClicks(edit, "5");
  EXPECT_EQ(edit->text(), "12+5");
}

// The first start's dialog says what it asks for, opens in the Lang folder
// with the file of the system's language selected, and Enter takes it.
TEST(GuiLanguageDialogTest, EnterTakesThePreselectedFile) {
  TempFolder folder;
  const std::string russian = WriteLanguageFile(folder, "ru", "russian.lng");
  const std::string start = folder.path() + "/";
  const LanguageFileQuestion question{"Choose a language file", start.c_str(), "russian.lng"};
  QString title;
  ModalAnswers answers({[&](QWidget* modal) {
    auto* dialog = qobject_cast<QFileDialog*>(modal);
    if (dialog == nullptr || QApplication::focusWidget() == nullptr || !dialog->isAncestorOf(QApplication::focusWidget())) {
      return false;
    }
    auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    if (name == nullptr || name->text() != QStringLiteral("russian.lng")) return false;
    title = dialog->windowTitle();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    return true;
  }});
  QtFrontEnd frontEnd;
  char chosen[kPathCapacity] = "";
  ASSERT_TRUE(frontEnd.AskForLanguageFile(question, chosen, sizeof chosen));
  EXPECT_TRUE(answers.AllAnswered());
  EXPECT_EQ(std::filesystem::path(chosen), std::filesystem::path(russian));
  EXPECT_EQ(title, QStringLiteral("Choose a language file"));
}

TEST_F(GuiTest, LanguageFromTheMenuRetranslatesTheErrorShownIncludingCyrillic) {
  Open();
  // Windows-1251 bytes of the Russian word for "error".
  const std::string cyrillic = "\xce\xf8\xe8\xe1\xea\xe0";
  const std::string russian = WriteLanguageFile(folder, cyrillic, "russian.lng");
  QTest::keyClicks(Box(), "2+");
  ModalAnswers answers({[&](QWidget* modal) {
    auto* dialog = qobject_cast<QFileDialog*>(modal);
    if (dialog == nullptr) return false;
    EXPECT_EQ(dialog->nameFilters(), QStringList({"Quillo language (*.lng)", "All files (*.*)"}));
    // The path typed into the file name field, then Open. (selectFile leaves
    // that field alone once it has the focus, which the dialog gives it at
    // some point after it shows: Open would then find no file.)
    auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    if (name == nullptr) return false;
    // Typed as a user types it: in the focused field, so the dialog drops
    // the file it selected at first.
    if (!name->hasFocus()) {
      name->setFocus();
      return false;
    }
    name->setText(Utf8(russian));
    emit name->textEdited(name->text());
    static_cast<QDialog*>(dialog)->accept();  // public there, as the Open button calls it
    return dialog->result() == QDialog::Accepted;
  }});
  MenuAction(0, 0)->trigger();
  EXPECT_TRUE(answers.AllAnswered());
  const QString word = QString::fromUtf8("\xd0\x9e\xd1\x88\xd0\xb8\xd0\xb1\xd0\xba\xd0\xb0");
  EXPECT_EQ(Lines(), AllLines(word + " message " + QString::number(kMsgTooFewForPlus)));
  EXPECT_EQ(window->Menu()->actions().at(0)->text(), "&" + word + " menu 0");
  EXPECT_EQ(Button(kIdCloseButton)->text(), word + " dialog 1");
  EXPECT_EQ(Setting("INI", "lang"), russian);
}

TEST_F(GuiTest, CloseWritesTheSettingsFile) {
  Open();
  QTest::mouseClick(Button(kIdRadioOct), Qt::LeftButton);
  Retype("1+2");
  QTest::keyClick(Box(), Qt::Key_Return);
  QTest::mouseClick(Button(kIdCloseButton), Qt::LeftButton);
  EXPECT_FALSE(window->isVisible());
  EXPECT_EQ(Setting("INI", "form"), "3");
  EXPECT_EQ(Setting("INI", "historylen"), "10");
  EXPECT_EQ(Setting("HISTORY", "0"), "1+2");
}

TEST_F(GuiTest, CloseBoxAndTerminationSaveAndClose) {
  Open();
  Retype("4*4");
  QTest::keyClick(Box(), Qt::Key_Return);
  window->close();
  EXPECT_FALSE(window->isVisible());
  EXPECT_EQ(Setting("HISTORY", "0"), "4*4");

  // kill, a closed terminal and Ctrl+C in the terminal that started it.
  const SessionEndWatcher watcher(*logic);
  for (const int signal : {SIGTERM, SIGHUP, SIGINT}) {
    SCOPED_TRACE(signal);
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    const std::string expression = std::to_string(signal) + "*5";
    Retype(expression.c_str());
    QTest::keyClick(Box(), Qt::Key_Return);
    std::raise(signal);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !window->isVisible(); }));
    EXPECT_EQ(Setting("HISTORY", "0"), expression);
  }
}

// Ctrl+Z steps back through every text the box showed, typed or written by
// Calculate; Ctrl+Shift+Z and Ctrl+Y forth through the same texts; the
// lines follow. The box's context menu offers the same Undo and Redo.
TEST_F(GuiTest, UndoAndRedoWalkTheSameTextsByKeyAndByMenu) {
  Open();
  QTest::keyClicks(Box(), "1+2");
  QTest::keyClick(Box(), Qt::Key_Return);
  ASSERT_EQ(Box()->currentText(), "3");
  QTest::keyClick(Box(), Qt::Key_End);
  QTest::keyClicks(Box(), "*5");
  const struct {
    int line;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    QString box;
    QString dec;
  } steps[] = {
      {__LINE__, Qt::Key_Z, Qt::ControlModifier, "3*", ""},
      {__LINE__, Qt::Key_Z, Qt::ControlModifier, "3", "3"},
      {__LINE__, Qt::Key_Z, Qt::ControlModifier, "1+2", "3"},
      {__LINE__, Qt::Key_Z, Qt::ControlModifier, "1+", ""},
      {__LINE__, Qt::Key_Y, Qt::ControlModifier, "1+2", "3"},
      {__LINE__, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier, "3", "3"},
      {__LINE__, Qt::Key_Y, Qt::ControlModifier, "3*", ""},
      {__LINE__, Qt::Key_Y, Qt::ControlModifier, "3*5", "15"},
      {__LINE__, Qt::Key_Y, Qt::ControlModifier, "3*5", "15"},  // nothing newer
  };
  ForEachCase(steps, [&](const auto& step) {
    QTest::keyClick(Box(), step.key, step.modifiers);
    EXPECT_EQ(Box()->currentText(), step.box);
    if (!step.dec.isEmpty()) {
      EXPECT_EQ(Line(0), step.dec);
    }
  });

    // Opens the box's context menu and takes its Undo (the first item) or
  // Redo (the second) where that is enabled; whether it is offered enabled.
  const auto takeFromMenu = [this](bool undo) {
    bool enabled = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
      auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
      if (menu == nullptr || !menu->isVisible()) return;
      poll.stop();
      QAction* action = menu->actions().value(undo ? 0 : 1);
      enabled = action != nullptr && action->isEnabled();
      if (enabled) action->trigger();
      menu->close();
    });
    poll.start(kModalPollMs);
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), Box()->lineEdit()->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(Box()->lineEdit(), &event);
    return enabled;
  };
  EXPECT_FALSE(takeFromMenu(false));  // nothing newer: offered greyed out
  EXPECT_EQ(Box()->currentText(), "3*5");
  EXPECT_TRUE(takeFromMenu(true));
  EXPECT_EQ(Box()->currentText(), "3*");
  EXPECT_EQ(Line(0), Line(1));  // a message on every line
  EXPECT_TRUE(takeFromMenu(false));
  EXPECT_EQ(Box()->currentText(), "3*5");
  EXPECT_EQ(Line(0), "15");
}

// Ctrl+R opens the search under the box with the keyboard in its field;
// typing narrows the list, Ctrl+R goes to an older match, Enter takes it.
// Escape leaves the box as it was.
TEST_F(GuiTest, HistorySearchThroughTheRealWidgets) {
  Open(0, "0=sin(0)\r\n1=2^10\r\n2=sin(pi/2)\r\n");
  Retype("7*");
  QTest::keyClick(Box(), Qt::Key_R, Qt::ControlModifier);
  HistorySearchPopup* search = window->SearchPopup();
  ASSERT_NE(search, nullptr);
  ASSERT_TRUE(QTest::qWaitFor([&] { return search->QueryField()->hasFocus(); }));
  EXPECT_EQ(search->MatchList()->count(), 3);
  QTest::keyClicks(search->QueryField(), "sin");
  EXPECT_EQ(search->MatchList()->count(), 2);
  EXPECT_EQ(search->MatchList()->currentRow(), 0);
  QTest::keyClick(search->QueryField(), Qt::Key_R, Qt::ControlModifier);
  EXPECT_EQ(search->MatchList()->currentItem()->text(), "sin(pi/2)");
  QTest::keyClick(search->QueryField(), Qt::Key_Return);
  EXPECT_EQ(window->SearchPopup(), nullptr);
  EXPECT_EQ(Box()->currentText(), "sin(pi/2)");
  EXPECT_EQ(Line(0), "1");
  ASSERT_TRUE(QTest::qWaitFor([&] { return Box()->lineEdit()->hasFocus(); }));

  QTest::keyClick(Box(), Qt::Key_R, Qt::ControlModifier);
  search = window->SearchPopup();
  ASSERT_NE(search, nullptr);
  QTest::keyClicks(search->QueryField(), "10");
  QTest::keyClick(search->QueryField(), Qt::Key_Escape);
  EXPECT_EQ(window->SearchPopup(), nullptr);
  EXPECT_EQ(Box()->currentText(), "sin(pi/2)");
}

// Screen readers hear each control by a name: the box by its label, each
// result line by its form with the line's text as its value, the buttons
// and radio buttons by their texts.
TEST_F(GuiTest, EveryControlHasAnAccessibleName) {
  Open();
  Retype("fact(13)");
  const auto accessible = [](QWidget* widget, QAccessible::Text kind) {
    QAccessibleInterface* interface = QAccessible::queryAccessibleInterface(widget);
    return interface != nullptr ? interface->text(kind) : QStringLiteral("<none>");
  };
  // The box is labelled by the label above it (a relation, which screen
  // readers on Linux read as the box's name).
  QString boxLabel = QStringLiteral("<none>");
  for (const auto& [other, relation] : QAccessible::queryAccessibleInterface(Box())->relations(QAccessible::Label)) {
    boxLabel = other->text(QAccessible::Name);
  }
  EXPECT_EQ(boxLabel, "en dialog 2");
  const char* forms[] = {"DEC", "HEX", "BIN", "OCT", "EXP"};
  for (int form = 0; form < kResultFormCount; ++form) {
    SCOPED_TRACE(forms[form]);
    QWidget* line = window->Control(ResultLineIdOfForm(form));
    EXPECT_EQ(accessible(line, QAccessible::Name), forms[form]);
    EXPECT_EQ(accessible(line, QAccessible::Value), Line(form));
    EXPECT_EQ(accessible(Button(RadioIdOfForm(form)), QAccessible::Name), forms[form]);
  }
  EXPECT_EQ(accessible(window->Control(kIdResultLineHex), QAccessible::Value), "7328CC00");
  EXPECT_EQ(accessible(Button(kIdCalculateButton), QAccessible::Name), "en dialog 0");
  EXPECT_EQ(accessible(Button(kIdCloseButton), QAccessible::Name), "en dialog 1");
}

TEST_F(GuiTest, OnlyTheButtonsAndTheBoxTakeTheTab) {
  Open();
  const QWidget* expected[] = {Button(kIdCalculateButton), Button(kIdCloseButton), Box()};
  for (const QWidget* widget : expected) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), widget);
  }
}

// Answers the one message box a refused text brings, keeping its text.
ModalAnswers::Answer AcceptNotice(QString& text) {
  return [&text](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    if (box == nullptr) return false;
    text = box->text();
    box->accept();
    return true;
  };
}

TEST_F(GuiTest, TextOverTheLimitTypedOrPastedIsRefusedWithAMessage) {
  Open();
  const QString longest = QString(kExpressionMaxLength - 2, '1') + "+1";
  QTest::keyClicks(Box(), longest);
  EXPECT_EQ(Box()->currentText(), longest);
  const QString lines = Lines();

  QString notice;
  {
    ModalAnswers answers({AcceptNotice(notice)});
    QTest::keyClick(Box(), '1');
    EXPECT_TRUE(answers.AllAnswered());
  }
  EXPECT_EQ(notice, "expression longer than 999 characters");
  EXPECT_EQ(Box()->currentText(), longest);
  EXPECT_EQ(Lines(), lines);

  Retype("2*");
  QApplication::clipboard()->setText(QString(kExpressionMaxLength, '3'));
  notice.clear();
  {
    ModalAnswers answers({AcceptNotice(notice)});
    QTest::keyClick(Box(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_TRUE(answers.AllAnswered());
  }
  EXPECT_EQ(notice, "expression longer than 999 characters");
  EXPECT_EQ(Box()->currentText(), "2*");
  EXPECT_STREQ(ProgramEngineState().expression, "2*");
}

TEST_F(GuiTest, CtrlCCopiesTheSelectedFormsLineAndCtrlShiftCAllFive) {
  Open(kFormHex);
  QTest::keyClicks(Box(), "fact(13)");
  QClipboard* clipboard = QApplication::clipboard();
  QTest::keyClick(Box(), Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(clipboard->text(), "7328CC00");
  QTest::keyClick(Box(), Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(clipboard->text(),
            "DEC 6227020800\nHEX 7328CC00\nBIN 1110011001010001100110000000000\nOCT 16312146000\n"
            "EXP 6.227020800000000E+0009\n");
  // With a selection, the box copies it as any edit field does.
  Box()->lineEdit()->setSelection(0, 4);
  QTest::keyClick(Box(), Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(clipboard->text(), "fact");

  Retype("1/0");
  QTest::keyClick(Box(), Qt::Key_End);
  QTest::keyClick(Box(), Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(clipboard->text(), Utf8(MessageText("en", kMsgDivisionByZero)));
}

TEST_F(GuiTest, ResultLinesAreSelectableAndOfferCopyAndCopyAll) {
  Open();
  QTest::keyClicks(Box(), "-1");
  for (int id = kIdResultLineDec; id <= kIdResultLineExp; ++id) {
    auto* label = qobject_cast<QLabel*>(window->Control(id));
    EXPECT_TRUE(label->textInteractionFlags() & Qt::TextSelectableByMouse);
  }
  const struct {
    int line;
    int lineId;
    int action;  // 0 Copy, 1 Copy all
    QString copied;
  } cases[] = {
      {__LINE__, kIdResultLineHex, 0, "FFFFFFFF"},
      {__LINE__, kIdResultLineOct, 0, "37777777777"},
      {__LINE__, kIdResultLineDec, 1,
       "DEC -1\nHEX FFFFFFFF\nBIN 11111111111111111111111111111111\nOCT 37777777777\n"
       "EXP -1.000000000000000E+0000\n"},
  };
  ForEachCase(cases, [&](const auto& c) {
    QStringList texts;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
      QMenu* menu = window->LineMenu();
      if (menu == nullptr || !menu->isVisible()) return;
      for (QAction* action : menu->actions()) texts << action->text();
      poll.stop();
      menu->actions().at(c.action)->trigger();
      menu->close();
    });
    poll.start(kModalPollMs);
    QWidget* label = window->Control(c.lineId);
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(2, 2), label->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(label, &event);
    EXPECT_EQ(texts, QStringList({"Copy", "Copy all"}));
    EXPECT_EQ(QApplication::clipboard()->text(), c.copied);
  });
}

// A refused Calculate leaves the text, the caret and a selection as they
// were: the user goes on typing the expression.
TEST_F(GuiTest, RefusedCalculateKeepsTextCaretAndSelection) {
  Open(kFormHex);
  QLineEdit* edit = Box()->lineEdit();
  QTest::keyClicks(Box(), "7*");
  QTest::keyClick(Box(), Qt::Key_Return);
  EXPECT_EQ(edit->text(), "7*");
  EXPECT_EQ(edit->selectedText(), "");
  EXPECT_EQ(edit->cursorPosition(), 2);
  QTest::keyClicks(Box(), "6");
  QTest::keyClick(Box(), Qt::Key_Return);
  EXPECT_EQ(Box()->currentText(), "0x2A");

  Retype("1e20");  // a value the HEX line cannot show
  edit->setSelection(1, 2);
  QTest::keyClick(Box(), Qt::Key_Return);
  EXPECT_EQ(edit->text(), "1e20");
  EXPECT_EQ(edit->selectedText(), "e2");
  EXPECT_EQ(Box()->itemText(0), "1e20");
  Retype("1e18");
  QTest::keyClick(Box(), Qt::Key_Return);
  EXPECT_EQ(Box()->currentText(), "0xA7640000");
}

// Tooltips show the notes, which carry language texts, literally: markup in
// a language file is text, not formatting.
TEST_F(GuiTest, TooltipsShowLanguageTextsLiterally) {
  Open();
  QTest::keyClicks(Box(), "12");
  const std::string note = "<b>not bold</b> & <i>not</i> <a href='x'>a link</a>";
  frontEnd.MarkBoxError(0, 1, note.c_str());
  frontEnd.MarkResultLine(kIdResultLineHex, note.c_str());
  for (QWidget* widget : {static_cast<QWidget*>(Box()->lineEdit()), window->Control(kIdResultLineHex)}) {
    QTextDocument shown;
    shown.setHtml(widget->toolTip());
    EXPECT_EQ(shown.toPlainText().toStdString(), note);
  }
  // A plain note stays as it is.
  frontEnd.MarkResultLine(kIdResultLineHex, "low 32 bits");
  EXPECT_EQ(window->Control(kIdResultLineHex)->toolTip(), "low 32 bits");
}

// Pixels of the error mark's colour in the edit field as drawn now.
int ErrorMarkPixels(QLineEdit* edit) {
  const QImage image = edit->grab().toImage();
  int count = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const QColor colour = image.pixelColor(x, y);
      count += colour.red() > 160 && colour.green() < 90 && colour.blue() < 90 ? 1 : 0;
    }
  }
  return count;
}

TEST_F(GuiTest, AFailureIsMarkedInTheBoxWithoutMovingTheCaretOrSelection) {
  Open();
  QLineEdit* edit = Box()->lineEdit();
  QTest::keyClicks(Box(), "12+3");
  EXPECT_EQ(ErrorMarkPixels(edit), 0);
  EXPECT_EQ(edit->toolTip(), "");
  QTest::keyClick(Box(), Qt::Key_Home);
  QTest::keyClick(Box(), '(');  // "(12+3": the bracket is never closed
  EXPECT_EQ(edit->text(), "(12+3");
  EXPECT_EQ(edit->cursorPosition(), 1);
  EXPECT_EQ(edit->toolTip(), "error at position 1: (");
  EXPECT_GT(ErrorMarkPixels(edit), 0);

  // Marking again, over a selection, leaves both caret and selection.
  edit->setSelection(1, 2);
  frontEnd.MarkBoxError(3, 4, "error at position 4: +");
  EXPECT_EQ(edit->selectedText(), "12");
  EXPECT_EQ(edit->cursorPosition(), 3);
  EXPECT_EQ(edit->text(), "(12+3");
  EXPECT_EQ(edit->toolTip(), "error at position 4: +");
  frontEnd.MarkBoxError(0, 1, "error at position 1: (");  // back to what the dialog marked
  QTest::keyClick(Box(), Qt::Key_End);
  QTest::keyClick(Box(), '/');  // "(12+3/": the open bracket is still found first
  EXPECT_EQ(edit->cursorPosition(), 6);
  EXPECT_EQ(edit->toolTip(), "error at position 1: (");
  EXPECT_GT(ErrorMarkPixels(edit), 0);
  QTest::keyClick(Box(), Qt::Key_Backspace);
  QTest::keyClick(Box(), ')');
  EXPECT_EQ(edit->text(), "(12+3)");
  EXPECT_EQ(edit->toolTip(), "");
  EXPECT_EQ(ErrorMarkPixels(edit), 0);
  EXPECT_EQ(Line(0), "15");
}

TEST_F(GuiTest, IntegerLinesHoldingPartOfTheValueAreColouredWithATooltip) {
  Open();
  const auto* hex = qobject_cast<QLabel*>(window->Control(kIdResultLineHex));
  const QColor plain = hex->palette().color(QPalette::WindowText);
  const struct {
    int line;
    const char* expression;
    QString tooltip;
  } cases[] = {
      {__LINE__, "fact(13)", "low 32 bits of 6227020800"},
      {__LINE__, "7.25", "whole part of 7.25"},
      {__LINE__, "4294967295", ""},
      {__LINE__, "1e19", ""},
  };
  ForEachCase(cases, [&](const auto& c) {
    Retype(c.expression);
    for (int id : {kIdResultLineHex, kIdResultLineBin, kIdResultLineOct}) {
      const auto* label = qobject_cast<QLabel*>(window->Control(id));
      EXPECT_EQ(label->toolTip(), c.tooltip);
      EXPECT_EQ(label->palette().color(QPalette::WindowText),
                c.tooltip.isEmpty() ? plain : QColor(kPartialLineColour));
    }
    EXPECT_EQ(qobject_cast<QLabel*>(window->Control(kIdResultLineDec))->toolTip(), "");
  });
  EXPECT_EQ(Line(1), Utf8(MessageText("en", kMsgTooLargeForIntegerForms)));
}

// The frames do not overlap, and the first line clears the top of its frame
// (which Qt draws below the caption). The groups hold their controls, so
// every rectangle is compared in the window's coordinates.
TEST_F(GuiTest, FramesDoNotOverlapAndTheLinesClearTheirFrame) {
  Open();
  const auto inWindow = [this](int id) {
    const QWidget* control = window->Control(id);
    return QRect(control->mapTo(window, QPoint(0, 0)), control->size());
  };
  const QRect result = inWindow(kIdResultGroup);
  const QRect buttons = inWindow(kIdButtonFrame);
  const QRect form = inWindow(kIdFormGroup);
  EXPECT_FALSE(result.intersects(buttons));
  EXPECT_FALSE(form.intersects(buttons));
  EXPECT_FALSE(result.intersects(form));
  const int caption = window->Control(kIdResultGroup)->fontMetrics().height();
  EXPECT_GE(inWindow(kIdResultLineDec).top(), result.top() + caption);
  EXPECT_LE(inWindow(kIdResultLineExp).bottom(), result.bottom());
  EXPECT_LE(buttons.bottom(), window->rect().bottom());
}

TEST(GuiStartTest, FirstRunCancelledShowsTheMessageAndNoWindow) {
  static TempFolder folder;
  static const std::string settingsFile = folder / "quillo.ini";
  QtFrontEnd frontEnd;
  bool fileDialogShown = false;
  QString caption, text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  ModalAnswers answers({[&](QWidget* modal) {
                          auto* dialog = qobject_cast<QFileDialog*>(modal);
                          if (dialog == nullptr) return false;
                          fileDialogShown = true;
                          dialog->reject();
                          return true;
                        },
                        [&](QWidget* modal) {
                          auto* box = qobject_cast<QMessageBox*>(modal);
                          if (box == nullptr) return false;
                          caption = box->windowTitle();
                          text = box->text();
                          icon = box->icon();
                          box->accept();
                          return true;
                        }});
  const int exitCode = RunMainDialog(frontEnd, ProgramEngineState(), [](SettingsHost& host) {
    return LoadSettingsFrom(host, settingsFile.c_str());
  });
  EXPECT_EQ(exitCode, 0);
  EXPECT_TRUE(fileDialogShown);
  EXPECT_EQ(caption, "ERROR");
  EXPECT_EQ(icon, QMessageBox::Critical);
  EXPECT_EQ(text, "You must specify language file (*.lng)\nProgram terminated...");
  EXPECT_EQ(frontEnd.Dialog(), nullptr);
  // Nothing at all is left behind, no lock file either.
  EXPECT_TRUE(std::filesystem::is_empty(folder.path()));
}

// The message boxes show the shipped Russian file's texts, decoded from
// Windows-1251: the About box, and the error box of a failed save with its
// caption. QUILLO_MESSAGE_BOX_SHOTS names a folder to photograph them into.
TEST_F(GuiTest, MessageBoxesSpeakTheLanguageFile) {
  Open(kFormDec, "", QUILLO_RUSSIAN_LNG);
  struct Shown {
    QString caption, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    Qt::TextFormat format = Qt::AutoText;
  };
  std::vector<Shown> shown;
  const QString shots = qEnvironmentVariable("QUILLO_MESSAGE_BOX_SHOTS");
  const auto answer = [&](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    if (box == nullptr || !box->isVisible()) return false;
    shown.push_back({box->windowTitle(), box->text(), box->icon(), box->textFormat()});
    if (!shots.isEmpty()) box->grab().save(shots + QStringLiteral("/box-%1.png").arg(shown.size()));
    box->accept();
    return true;
  };
  {
    ModalAnswers answers({answer});
    logic->OnCommand(kCmdAbout, 0);
    EXPECT_TRUE(answers.AllAnswered());
  }
  std::filesystem::remove(settingsFile);
  std::filesystem::create_directory(settingsFile);  // a folder where the file should be
  {
    ModalAnswers answers({answer});
    logic->OnCloseRequest();
    EXPECT_TRUE(answers.AllAnswered());
  }
  std::filesystem::remove(settingsFile);
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[0].caption, "О программе Quillo");
  EXPECT_TRUE(shown[0].text.startsWith("Quillo\n\nКалькулятор выражений для рабочего стола.\n"))
      << shown[0].text.toStdString();
  EXPECT_TRUE(shown[0].text.endsWith(QStringLiteral("\n\nВерсия ") + QString::fromLatin1(kProgramVersion)))
      << shown[0].text.toStdString();
  EXPECT_EQ(shown[0].icon, QMessageBox::Information);
  EXPECT_EQ(shown[1].caption, "Ошибка");
  EXPECT_EQ(shown[1].text, QStringLiteral("Не удалось сохранить файл настроек\n") + QString::fromStdString(settingsFile) +
                               QStringLiteral("\nВыбранная форма и история этого сеанса не сохранены."));
  EXPECT_EQ(shown[1].icon, QMessageBox::Critical);
  // A language text is never taken for HTML (an <img> in it would load a file).
  for (const Shown& box : shown) EXPECT_EQ(box.format, Qt::PlainText);
}

// The README's picture, in the shipped English.
TEST_F(GuiTest, Screenshot) {
  Open(kFormHex, "0=(1+2)*3\r\n", QUILLO_ENGLISH_LNG);
  QTest::keyClicks(Box(), "255+sin(pi/2)");
  const QImage image = window->grab().toImage();
  EXPECT_EQ(image.size(), window->size() * window->devicePixelRatio());
  EXPECT_TRUE(image.save(QStringLiteral(QUILLO_SCREENSHOT_PATH)));
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
