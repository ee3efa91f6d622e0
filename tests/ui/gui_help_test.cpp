// Help -> Contents, F1, Font... and the menu's accelerators on the real Qt
// window (offscreen platform).

#include <QApplication>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QFontDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

#include "engine/calculate.h"
#include "settings/profile.h"
#include "settings/settings.h"
#include "tests/ui/ui_test_support.h"
#include "ui/main_dialog.h"
#include "ui/qt/qt_front_end.h"

namespace {

constexpr int kModalTimeoutMs = 10000;
constexpr int kModalPollMs = 10;

// Answers the font dialog once it opens inside the dialog logic's call:
// picks `font` and accepts, or cancels when `font` is empty. Gives up (and
// closes whatever is modal) after the timeout, so a test fails instead of
// hanging.
class FontDialogAnswer {
 public:
  explicit FontDialogAnswer(std::optional<QFont> font) : font_(std::move(font)), deadline_(kModalTimeoutMs) {
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      auto* dialog = qobject_cast<QFontDialog*>(QApplication::activeModalWidget());
      if (dialog == nullptr) {
        if (deadline_.hasExpired() && QApplication::activeModalWidget() != nullptr) {
          QApplication::activeModalWidget()->close();
        }
        return;
      }
      answered_ = true;
      timer_.stop();
      if (!font_) {
        dialog->reject();
        return;
      }
      dialog->setCurrentFont(*font_);
      dialog->accept();
    });
    timer_.start(kModalPollMs);
  }
  bool Answered() const { return answered_; }

 private:
  std::optional<QFont> font_;
  QDeadlineTimer deadline_;
  QTimer timer_;
  bool answered_ = false;
};

class GuiHelpTest : public ::testing::Test {
 protected:
  void Open(const std::string& language = "") {
    ProgramEngineState() = EngineState{};
    if (settingsFile.empty()) {
      settingsFile = PrepareSettings(folder, language.empty() ? WriteLanguageFile(folder, "en") : language, 0);
    }
    logic = std::make_unique<MainDialog>(frontEnd, ProgramEngineState());
    window = frontEnd.CreateDialog(*logic);
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    ASSERT_TRUE(QTest::qWaitFor([] { return QApplication::focusWidget() != nullptr; }));
  }
  // Closes the window as the Close button does, saving the settings.
  void Close() {
    logic->OnCloseRequest();
    window = nullptr;
  }
  QAction* MenuAction(int popup, int item) const {
    return window->Menu()->actions().at(popup)->menu()->actions().at(item);
  }
  QWidget* Line(int form) const { return window->Control(kIdResultLineDec + form); }
  std::string Setting(const char* key) const {
    char value[1000];
    ReadProfileString("INI", key, "<missing>", value, sizeof value, settingsFile.c_str());
    return value;
  }
  bool HelpShown() const { return frontEnd.Help() != nullptr && frontEnd.Help()->isVisible(); }

  TempFolder folder;
  std::string settingsFile;
  std::unique_ptr<MainDialog> logic;
  QtFrontEnd frontEnd;
  CalculatorDialog* window = nullptr;
};

// Contents opens the reference beside the window, which stays usable: typing
// in the box goes on recalculating the lines.
TEST_F(GuiHelpTest, ContentsOpensTheReferenceAndTheWindowStaysUsable) {
  Open();
  QAction* contents = MenuAction(2, 0);
  EXPECT_TRUE(contents->isEnabled());
  EXPECT_EQ(contents->shortcut(), QKeySequence(Qt::Key_F1));
  contents->trigger();
  ASSERT_TRUE(QTest::qWaitFor([this] { return HelpShown(); }));
  const QString page = frontEnd.Help()->Browser()->toPlainText();
  for (const char* row : {"tg(x)", "Tangent of an angle in radians", "0xC\\0xA = 0x6", "-7!2 = -3", "$1F+1Fh = 0x3E",
                          "Ctrl+Shift+C", "Alt+H"}) {
    EXPECT_TRUE(page.contains(QString::fromLatin1(row))) << row;
  }
  EXPECT_FALSE(frontEnd.Help()->isModal());
  const QString shots = qEnvironmentVariable("QUILLO_HELP_SHOTS");
  if (!shots.isEmpty()) frontEnd.Help()->grab().save(shots + QStringLiteral("/help.png"));
  window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window));
  QTest::keyClicks(window->Box(), "6*7");
  EXPECT_EQ(qobject_cast<QLabel*>(Line(kFormDec))->text(), "42");
}

TEST_F(GuiHelpTest, F1OpensTheHelpAndEscapeClosesIt) {
  Open();
  QTest::keyClick(window->Box(), Qt::Key_F1);
  ASSERT_TRUE(QTest::qWaitFor([this] { return HelpShown(); }));
  ASSERT_TRUE(QTest::qWaitForWindowActive(frontEnd.Help()));
  QTest::keyClick(frontEnd.Help()->Browser(), Qt::Key_Escape);
  EXPECT_TRUE(QTest::qWaitFor([this] { return !HelpShown(); }));
}

// Every title and item carries an accelerator; Colors... is gone.
TEST_F(GuiHelpTest, EveryMenuTitleAndItemHasAnAccelerator) {
  Open();
  for (QAction* title : window->Menu()->actions()) {
    EXPECT_TRUE(title->text().contains(QLatin1Char('&'))) << title->text().toStdString();
    for (QAction* item : title->menu()->actions()) {
      if (item->isSeparator()) continue;
      EXPECT_TRUE(item->text().contains(QLatin1Char('&'))) << item->text().toStdString();
    }
  }
  EXPECT_EQ(MenuAction(0, 1)->text(), "e&n menu 2");  // Font...
  EXPECT_EQ(window->Menu()->actions().at(0)->menu()->actions().size(), 5);  // with a separator
}

// The shipped Russian texts get Cyrillic letters, one per text of a pop-up.
TEST_F(GuiHelpTest, RussianMenuGetsCyrillicAccelerators) {
  Open(QUILLO_RUSSIAN_LNG);
  QStringList shown;
  for (QAction* title : window->Menu()->actions()) {
    shown << title->text();
    for (QAction* item : title->menu()->actions()) {
      if (!item->isSeparator()) shown << item->text();
    }
  }
  EXPECT_EQ(shown.join('|').toStdString(), QString::fromUtf8("&Настройки|&Язык...|&Шрифт...|&Поверх всех окон|&Группировать цифры|&Слово|&8 бит|&16 бит|"
                                               "&32 бита|&64 бита|&Со знаком|&Без знака|С&правка|&Содержание|"
                                               "&О программе...").toStdString());
  const QString shots = qEnvironmentVariable("QUILLO_HELP_SHOTS");
  if (!shots.isEmpty()) {
    window->Menu()->actions().at(2)->trigger();
    QTest::keyClick(window->Box(), Qt::Key_F1);
    ASSERT_TRUE(QTest::qWaitFor([this] { return HelpShown(); }));
    frontEnd.Help()->grab().save(shots + QStringLiteral("/help-russian.png"));
    QMenu* options = window->Menu()->actions().at(0)->menu();
    options->popup(window->mapToGlobal(QPoint(0, 0)));
    ASSERT_TRUE(QTest::qWaitFor([options] { return options->isVisible(); }));
    options->grab().save(shots + QStringLiteral("/options-menu-russian.png"));
    options->close();
  }
}

// Font... applies the chosen font to the box and the five lines at once; it
// is kept in [INI] and shown by the next window. A cancel changes nothing.
TEST_F(GuiHelpTest, ChosenFontIsAppliedToTheBoxAndTheLinesAndKept) {
  Open();
  const QFont own = window->Box()->font();
  {
    FontDialogAnswer cancel{std::nullopt};
    MenuAction(0, 1)->trigger();
    EXPECT_TRUE(cancel.Answered());
  }
  EXPECT_EQ(window->Box()->font(), own);
  QFont mono(QStringLiteral("DejaVu Sans Mono"));
  mono.setPointSize(14);
  {
    FontDialogAnswer choose{mono};
    MenuAction(0, 1)->trigger();
    EXPECT_TRUE(choose.Answered());
  }
  const QWidget* shown[] = {window->Box(), window->Box()->lineEdit(), Line(kFormDec), Line(kFormBin), Line(kFormExp)};
  for (const QWidget* widget : shown) {
    EXPECT_EQ(widget->font().family(), "DejaVu Sans Mono");
    EXPECT_EQ(widget->font().pointSize(), 14);
  }
  EXPECT_NE(window->Control(kIdCalculateButton)->font().family(), "DejaVu Sans Mono");
  // The window grows to the lines in their new font: none is cut.
  QTest::keyClicks(window->Box(), "0xFF<<4");
  for (const int form : {kFormDec, kFormHex, kFormBin, kFormOct, kFormExp}) {
    const QWidget* line = Line(form);
    const QWidget* group = line->parentWidget();
    EXPECT_TRUE(QTest::qWaitFor([line, group] {
      return line->width() >= line->minimumSizeHint().width() && line->height() >= line->minimumSizeHint().height() &&
             group->contentsRect().contains(line->geometry()) &&
             group->window()->rect().contains(QRect(group->mapTo(group->window(), QPoint(0, 0)), group->size()));
    })) << form << ": " << line->width() << "x" << line->height() << " for " << line->minimumSizeHint().width() << "x"
        << line->minimumSizeHint().height();
  }
  // QUILLO_HELP_SHOTS names a folder for pictures of the window in the font
  // chosen and of the Options menu with its accelerators.
  const QString shots = qEnvironmentVariable("QUILLO_HELP_SHOTS");
  if (!shots.isEmpty()) {
    window->grab().save(shots + QStringLiteral("/font-chosen.png"));
    QMenu* options = window->Menu()->actions().at(0)->menu();
    options->popup(window->mapToGlobal(QPoint(0, 0)));
    ASSERT_TRUE(QTest::qWaitFor([options] { return options->isVisible(); }));
    options->grab().save(shots + QStringLiteral("/options-menu.png"));
    options->close();
  }
  Close();
  EXPECT_EQ(Setting("font"), "DejaVu Sans Mono,14");

  ResetProgramSettings();
  ASSERT_TRUE(LoadSettingsFrom(frontEnd, settingsFile.c_str()));
  Open();
  EXPECT_EQ(window->Box()->font().family(), "DejaVu Sans Mono");
  EXPECT_EQ(Line(kFormHex)->font().pointSize(), 14);
}

}  // namespace
