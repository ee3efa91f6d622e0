// The programmer's reading of the real Qt window: grouped digits drawn with
// gaps that are no characters, the BIN line's bit strip under the mouse, and
// the menu's "Group digits". QUILLO_DIGITS_SHOTS names a folder for pictures.

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

#include "engine/calculate.h"
#include "settings/profile.h"
#include "settings/settings.h"
#include "tests/support/case_table.h"
#include "tests/ui/ui_test_support.h"
#include "ui/dialog_ids.h"
#include "ui/main_dialog.h"
#include "ui/qt/digit_line.h"
#include "ui/qt/qt_front_end.h"

namespace {

class GuiDigitsTest : public ::testing::Test {
 protected:
  void Open(int form, int wordBits = 32, bool isUnsigned = false) {
    ProgramEngineState() = EngineState{};
    settingsFile = PrepareSettings(folder, QUILLO_ENGLISH_LNG, form);
    ProgramSettings().WordBits = wordBits;
    ProgramSettings().WordUnsigned = isUnsigned;
    logic = std::make_unique<MainDialog>(frontEnd, ProgramEngineState());
    window = frontEnd.CreateDialog(*logic);
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
  }
  DigitLine* Line(int form) const { return dynamic_cast<DigitLine*>(window->Control(ResultLineIdOfForm(form))); }
  DigitLine* Bin() const { return Line(kFormBin); }
  void Retype(const char* text) {
    QTest::mouseClick(window->Box()->lineEdit(), Qt::LeftButton);
    QTest::keyClick(window->Box(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(window->Box(), text);
  }
  // The space between the digits of bits `bit` and bit + 1 of the strip.
  qreal SpaceLeftOfBit(int bit) const { return Bin()->BitRect(bit).left() - Bin()->BitRect(bit + 1).right(); }
  QAction* GroupDigitsItem() const { return window->Menu()->actions().at(0)->menu()->actions().at(4); }
  std::string Setting(const char* key) const {
    char value[100];
    ReadProfileString("INI", key, "<missing>", value, sizeof value, settingsFile.c_str());
    return value;
  }
  void Shoot(const char* name) const {
    const QString shots = qEnvironmentVariable("QUILLO_DIGITS_SHOTS");
    if (!shots.isEmpty()) window->grab().save(shots + QLatin1Char('/') + QLatin1String(name));
  }

  TempFolder folder;
  std::string settingsFile;
  std::unique_ptr<MainDialog> logic;
  QtFrontEnd frontEnd;
  CalculatorDialog* window = nullptr;
};

TEST_F(GuiDigitsTest, LinesUseTheFixedFontAndGapsThatAreNoCharacters) {
  Open(kFormDec);
  Retype("0x12345");
  const QString fixedFamily = QFontDatabase::systemFont(QFontDatabase::FixedFont).family();
  for (int form = 0; form < kResultFormCount; ++form) EXPECT_EQ(Line(form)->font().family(), fixedFamily);
  const QFontMetricsF metrics(Line(kFormHex)->font());
  EXPECT_EQ(metrics.horizontalAdvance(QLatin1Char('1')), metrics.horizontalAdvance(QLatin1Char('W')));
  EXPECT_EQ(Line(kFormHex)->text(), "12345");
  EXPECT_EQ(Bin()->text(), "10010001101000101");
  QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(Bin());
  ASSERT_NE(accessible, nullptr);
  EXPECT_EQ(accessible->text(QAccessible::Value), "10010001101000101");
  // A gap between the groups, none inside them, and a wider line than the
  // digits alone would make.
  EXPECT_GT(SpaceLeftOfBit(3), 1.0);
  EXPECT_NEAR(SpaceLeftOfBit(0), 0.0, 0.01);
  EXPECT_NEAR(SpaceLeftOfBit(30), 0.0, 0.01);
  Shoot("digits-32.png");

  // A selection dragged over the strip copies only the digits it covers.
  const QPoint from = Bin()->BitRect(8).topLeft().toPoint() + QPoint(1, 2);
  const QPoint to = Bin()->BitRect(0).topRight().toPoint() + QPoint(-1, 2);
  QTest::mousePress(Bin(), Qt::LeftButton, {}, from);
  QMouseEvent move(QEvent::MouseMove, to, Bin()->mapToGlobal(to), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(Bin(), &move);
  QTest::mouseRelease(Bin(), Qt::LeftButton, {}, to);
  EXPECT_EQ(Bin()->SelectedDigits(), "101000101");
  QTest::keyClick(Bin(), Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(QApplication::clipboard()->text(), "101000101");
  EXPECT_EQ(window->Box()->currentText(), "0x12345");  // a drag flips nothing
}

// A click on a digit of the strip, at each word size, signed and unsigned,
// the leading zeros the line leaves out included.
TEST_F(GuiDigitsTest, AClickOnABitFlipsItAtEveryWordSize) {
  const struct {
    int line;
    int bits;
    bool isUnsigned;
    int form;
    int bit;
    const char* box;
    const char* dec;
  } cases[] = {
      {__LINE__, 8, false, kFormDec, 7, "-118", "-118"},
      {__LINE__, 8, true, kFormHex, 7, "0x8A", "138"},
      {__LINE__, 16, false, kFormDec, 15, "-32758", "-32758"},
      {__LINE__, 16, true, kFormBin, 0, "1011b", "11"},
      {__LINE__, 32, false, kFormDec, 31, "-2147483638", "-2147483638"},
      {__LINE__, 32, true, kFormOct, 4, "32o", "26"},
      {__LINE__, 64, false, kFormDec, 63, "-9223372036854775798", "-9223372036854775798"},
      {__LINE__, 64, true, kFormDec, 40, "1099511627786", "1099511627786"},
  };
  ForEachCase(cases, [this](const auto& c) {
    Open(c.form, c.bits, c.isUnsigned);
    Retype("10");
    ASSERT_FALSE(Bin()->BitRect(c.bit).isEmpty());
    EXPECT_TRUE(Bin()->BitRect(c.bits).isEmpty());
    // Every bit and the number under it right-aligned to it: inside the line.
    for (int bit = 0; bit < c.bits; ++bit) {
      EXPECT_TRUE(QRectF(Bin()->contentsRect()).contains(Bin()->BitRect(bit))) << "bit " << bit;
    }
    QTest::mouseClick(Bin(), Qt::LeftButton, {}, Bin()->BitRect(c.bit).center().toPoint());
    EXPECT_EQ(window->Box()->currentText(), c.box);
    EXPECT_EQ(Line(kFormDec)->text(), c.dec);
    if (c.bits == 64) Shoot(c.isUnsigned ? "digits-64u.png" : "digits-64.png");
  });
  // A line that shows a message has no strip to click.
  Retype("1/0");
  EXPECT_TRUE(Bin()->BitRect(0).isEmpty());
}

TEST_F(GuiDigitsTest, GroupDigitsInTheMenuTurnsTheGapsOffAndIsKept) {
  Open(kFormDec);
  Retype("255");
  EXPECT_EQ(GroupDigitsItem()->text(), "&Group digits");
  EXPECT_TRUE(GroupDigitsItem()->isChecked());
  EXPECT_GT(SpaceLeftOfBit(3), 1.0);
  GroupDigitsItem()->trigger();
  EXPECT_FALSE(GroupDigitsItem()->isChecked());
  EXPECT_NEAR(SpaceLeftOfBit(3), 0.0, 0.01);
  EXPECT_EQ(Bin()->text(), "11111111");
  Shoot("digits-ungrouped.png");
  logic->OnCloseRequest();
  EXPECT_EQ(Setting("groupdigits"), "0");
}

}  // namespace
