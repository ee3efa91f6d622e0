// The keys of the real Qt window that reach the menu bar or choose a form:
// F10 and Alt alone take the keyboard to the menus, whatever the style, and
// Alt with a form's letter leaves the box as it was.

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

#include "settings/settings.h"
#include "tests/support/case_table.h"
#include "tests/ui/ui_test_support.h"
#include "ui/main_dialog.h"
#include "ui/qt/qt_front_end.h"

namespace {

class GuiKeysTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ProgramEngineState() = EngineState{};
    PrepareSettings(folder, WriteLanguageFile(folder, "en"), 0);
    logic = std::make_unique<MainDialog>(frontEnd, ProgramEngineState());
    window = frontEnd.CreateDialog(*logic);
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    ASSERT_TRUE(QTest::qWaitFor([this] { return QApplication::focusWidget() == window->Box(); }));
  }
  QLineEdit* Edit() const { return window->Box()->lineEdit(); }
  QMenuBar* MenuBar() const { return window->Menu(); }
  // Escape leaves the menus; the keyboard is back in the box.
  void LeaveMenus() {
    for (int i = 0; i < 2 && (QApplication::activePopupWidget() != nullptr || MenuBar()->activeAction()); ++i) {
      QWidget* target = QApplication::activePopupWidget() != nullptr ? QApplication::activePopupWidget() : MenuBar();
      QTest::keyClick(target, Qt::Key_Escape);
    }
    ASSERT_TRUE(QTest::qWaitFor([this] { return QApplication::focusWidget() == window->Box(); }));
  }

  TempFolder folder;
  std::unique_ptr<MainDialog> logic;  // outlives the window, which frontEnd owns
  QtFrontEnd frontEnd;
  CalculatorDialog* window = nullptr;
};

TEST_F(GuiKeysTest, F10OpensTheFirstMenuAndEscapeGivesTheBoxBackItsText) {
  QTest::keyClicks(Edit(), "6*7");
  QTest::keyClick(Edit(), Qt::Key_F10);
  ASSERT_TRUE(QTest::qWaitFor([] { return qobject_cast<QMenu*>(QApplication::activePopupWidget()) != nullptr; }));
  EXPECT_EQ(QApplication::activePopupWidget(), MenuBar()->actions().first()->menu());
  LeaveMenus();
  EXPECT_EQ(Edit()->text(), "6*7");
  EXPECT_EQ(Edit()->cursorPosition(), 3);
}

TEST_F(GuiKeysTest, AltAloneGivesTheMenuBarTheKeyboard) {
  QTest::keyPress(Edit(), Qt::Key_Alt, Qt::AltModifier);
  QTest::keyRelease(Edit(), Qt::Key_Alt, Qt::AltModifier);
  ASSERT_TRUE(QTest::qWaitFor([this] { return MenuBar()->activeAction() != nullptr; }));
  EXPECT_EQ(MenuBar()->activeAction(), MenuBar()->actions().first());
  LeaveMenus();
}

TEST_F(GuiKeysTest, AltWithAFormsLetterKeepsTheCaretOrSelectionAndTheMenusClosed) {
  QTest::keyClicks(Edit(), "12+345");
  const struct {
    int line;
    Qt::Key key;
    int form;
    int selectionStart;  // -1: none, the caret at caret
    int selectionLength;
    int caret;
  } cases[] = {
      {__LINE__, Qt::Key_H, 1, -1, 0, 2}, {__LINE__, Qt::Key_B, 2, 3, 3, 6}, {__LINE__, Qt::Key_O, 3, -1, 0, 0},
      {__LINE__, Qt::Key_E, 4, 0, 2, 2},  {__LINE__, Qt::Key_C, 0, -1, 0, 6},
  };
  ForEachCase(cases, [&](const auto& c) {
    if (c.selectionStart >= 0) {
      Edit()->setSelection(c.selectionStart, c.selectionLength);
    } else {
      Edit()->setCursorPosition(c.caret);
    }
    QTest::keyClick(Edit(), c.key, Qt::AltModifier);
    EXPECT_EQ(ProgramSettings().CurrentForm, c.form);
    EXPECT_EQ(QApplication::focusWidget(), window->Box());
    EXPECT_EQ(Edit()->cursorPosition(), c.caret);
    EXPECT_EQ(Edit()->selectionStart(), c.selectionStart);
    EXPECT_EQ(Edit()->selectionLength(), c.selectionLength);
    EXPECT_EQ(MenuBar()->activeAction(), nullptr);
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    EXPECT_EQ(Edit()->text(), "12+345");
  });
}

}  // namespace
