// The window's layout through the real widgets: under each style, palette
// and language, with short and long results and after a resize, no
// control's text is cut and no two controls overlap. CTest runs these tests
// once more with a 150 % font (QT_FONT_DPI=144) and at QT_SCALE_FACTOR=2.
// QUILLO_LAYOUT_SHOTS names a folder to photograph each window into.

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleFactory>
#include <QStyleOptionButton>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>

#include "settings/settings.h"
#include "settings/settings_state.h"
#include "tests/ui/ui_test_support.h"
#include "ui/dialog_template.h"
#include "ui/main_dialog.h"
#include "ui/qt/display_text.h"
#include "ui/qt/qt_front_end.h"

namespace {

// A dark palette on Fusion, as a dark desktop theme sets it.
QPalette DarkPalette() {
  QPalette palette;
  const QColor window(53, 53, 53), base(35, 35, 35), text(230, 230, 230);
  palette.setColor(QPalette::Window, window);
  palette.setColor(QPalette::WindowText, text);
  palette.setColor(QPalette::Base, base);
  palette.setColor(QPalette::AlternateBase, window);
  palette.setColor(QPalette::Text, text);
  palette.setColor(QPalette::Button, window);
  palette.setColor(QPalette::ButtonText, text);
  palette.setColor(QPalette::Highlight, QColor(42, 130, 218));
  palette.setColor(QPalette::HighlightedText, Qt::black);
  palette.setColor(QPalette::ToolTipBase, base);
  palette.setColor(QPalette::ToolTipText, text);
  return palette;
}

struct LayoutCase {
  const char* name;
  bool dark;
  const char* language;  // path of the language file
};

std::string CaseName(const testing::TestParamInfo<LayoutCase>& info) { return info.param.name; }
void PrintTo(const LayoutCase& layoutCase, std::ostream* out) { *out << layoutCase.name; }

QRect InWindow(const QWidget* widget, const QWidget* window) {
  return QRect(widget->mapTo(window, QPoint(0, 0)), widget->size());
}

// True when container holds control in the table (directly or through a group).
bool Holds(const ControlTemplate& container, const ControlTemplate& control) {
  return control.container == container.id && control.container != kClientArea;
}

class GuiLayoutTest : public ::testing::TestWithParam<LayoutCase> {
 protected:
  void SetUp() override {
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    savedPalette_ = QApplication::palette();
    if (GetParam().dark) QApplication::setPalette(DarkPalette());
    ProgramEngineState() = EngineState{};
    PrepareSettings(folder_, GetParam().language, kFormHex);
    logic_ = std::make_unique<MainDialog>(frontEnd_, ProgramEngineState());
    window = frontEnd_.CreateDialog(*logic_);
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
  }
  void TearDown() override {
    if (window != nullptr) window->hide();
    QApplication::setPalette(savedPalette_);
  }

  QWidget* Control(const ControlTemplate& control) const { return window->Control(control.id); }
  void Type(const char* text) {
    QTest::keyClick(window->Box(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(window->Box(), text);
  }
  void Shoot(const QString& state) const;
  void ExpectEveryTextWhole() const;
  void ExpectNoOverlap() const;
  void ExpectFormsBesideTheirLines() const;
  void ExpectAllFits(const char* state) const {
    SCOPED_TRACE(state);
    ExpectEveryTextWhole();
    ExpectNoOverlap();
    ExpectFormsBesideTheirLines();
    Shoot(QString::fromLatin1(state));
  }

  CalculatorDialog* window = nullptr;

 private:
  TempFolder folder_;
  QtFrontEnd frontEnd_;
  std::unique_ptr<MainDialog> logic_;
  QPalette savedPalette_;
};

// The file is named after the case, the state and the environment's font
// and scale, so one folder can take the pictures of every run.
void GuiLayoutTest::Shoot(const QString& state) const {
  const QString folder = qEnvironmentVariable("QUILLO_LAYOUT_SHOTS");
  if (folder.isEmpty()) return;
  QString name = QString::fromLatin1(GetParam().name);
  if (qEnvironmentVariableIsSet("QT_FONT_DPI")) name += QStringLiteral("-font150");
  if (qEnvironmentVariableIsSet("QT_SCALE_FACTOR")) name += QStringLiteral("-scale2");
  window->grab().save(QStringLiteral("%1/layout-%2-%3.png").arg(folder, name, state));
}

// Each row of a label's text fits its contents, and each button's and
// radio button's label the room its style gives it; every control has at
// least the size it asks for as its minimum.
void GuiLayoutTest::ExpectEveryTextWhole() const {
  for (const ControlTemplate& control : kDialogControls) {
    const QWidget* widget = Control(control);
    SCOPED_TRACE(testing::Message() << "control " << control.id);
    EXPECT_TRUE(widget->isVisible());
    EXPECT_GE(widget->width(), widget->minimumSizeHint().width());
    EXPECT_GE(widget->height(), widget->minimumSizeHint().height());
    const QFontMetrics metrics = widget->fontMetrics();
    if (const auto* label = qobject_cast<const QLabel*>(widget)) {
      const QStringList rows = label->text().split(QLatin1Char('\n'));
      for (const QString& row : rows) EXPECT_LE(metrics.horizontalAdvance(row), label->contentsRect().width()) << row.toStdString();
      EXPECT_LE(rows.size() * metrics.lineSpacing(), label->contentsRect().height());
    } else if (const auto* radio = qobject_cast<const QRadioButton*>(widget)) {
      QStyleOptionButton option;
      option.initFrom(radio);
      option.text = radio->text();
      const QRect room = radio->style()->subElementRect(QStyle::SE_RadioButtonContents, &option, radio);
      EXPECT_LE(metrics.horizontalAdvance(QString(radio->text()).remove(QLatin1Char('&'))), room.width());
    } else if (qobject_cast<const QPushButton*>(widget) != nullptr) {
      EXPECT_GE(widget->width(), widget->sizeHint().width());
      EXPECT_GE(widget->height(), widget->sizeHint().height());
    } else if (const auto* group = qobject_cast<const QGroupBox*>(widget)) {
      EXPECT_LE(metrics.horizontalAdvance(group->title()), group->width());
    }
  }
}

// No two controls share a pixel, but for a group or frame and the controls
// it holds; those lie inside its contents, below its caption; all lie
// inside the window.
void GuiLayoutTest::ExpectNoOverlap() const {
  for (const ControlTemplate& control : kDialogControls) {
    const QRect rect = InWindow(Control(control), window);
    SCOPED_TRACE(testing::Message() << "control " << control.id);
    EXPECT_TRUE(window->rect().contains(rect));
    if (control.container != kClientArea) {
      const QWidget* container = window->Control(control.container);
      EXPECT_TRUE(container->contentsRect().contains(Control(control)->geometry()));
    }
    for (const ControlTemplate& other : kDialogControls) {
      if (&other == &control || Holds(control, other) || Holds(other, control)) continue;
      EXPECT_FALSE(rect.intersects(InWindow(Control(other), window))) << "overlaps control " << other.id;
    }
  }
}

// A form's radio button and its result line stand in one row.
void GuiLayoutTest::ExpectFormsBesideTheirLines() const {
  for (int form = 0; form < kResultFormCount; ++form) {
    const QWidget* lineWidget = window->Control(ResultLineIdOfForm(form));
    const QRect radio = InWindow(window->Control(RadioIdOfForm(form)), window);
    const QRect line = InWindow(lineWidget, window);
    EXPECT_LT(radio.top(), line.top() + lineWidget->fontMetrics().height()) << form;
    EXPECT_LT(line.top(), radio.bottom()) << form;
  }
}

TEST_P(GuiLayoutTest, NothingIsCutOrOverlapsWithShortAndLongResultsAndAfterAResize) {
  ExpectAllFits("start");
  Type("0xFFFF_0000_FFFF_0001");
  QTest::keyClick(window->Box(), Qt::Key_4, Qt::ControlModifier);  // a 64-bit word: two BIN rows
  ExpectAllFits("bin64");
  Type("1/0");
  ExpectAllFits("message");

  QWidget* box = window->Box();
  QWidget* line = window->Control(kIdResultLineBin);
  QWidget* close = window->Control(kIdCloseButton);
  const int boxWidth = box->width(), lineWidth = line->width();
  const int closeFromRight = window->width() - InWindow(close, window).right();
  window->resize(window->width() + 240, window->height() + 60);
  ASSERT_TRUE(QTest::qWaitFor([&] { return line->width() > lineWidth; }));
  EXPECT_EQ(box->width(), boxWidth + 240);
  EXPECT_EQ(line->width(), lineWidth + 240);
  EXPECT_EQ(window->width() - InWindow(close, window).right(), closeFromRight);
  Type("0xFFFF_0000_FFFF_0001");
  ExpectAllFits("wider");
}

// The window takes its minimum from its layouts: it cannot be made so small
// that a control is squeezed.
TEST_P(GuiLayoutTest, MinimumSizeKeepsEveryControlWhole) {
  window->resize(1, 1);
  ASSERT_TRUE(QTest::qWaitFor([&] { return window->size() == window->minimumSize(); }));
  EXPECT_EQ(window->minimumSize(), window->minimumSizeHint());
  ExpectEveryTextWhole();
  ExpectNoOverlap();
  // Every message of the language, which a line may show, fits it even then.
  for (int form = 0; form < kResultFormCount; ++form) {
    const QWidget* line = window->Control(ResultLineIdOfForm(form));
    for (const auto& message : ProgramSettings().MessageTable) {
      EXPECT_LE(line->fontMetrics().horizontalAdvance(ToDisplayText(message)), line->contentsRect().width())
          << ToDisplayText(message).toStdString();
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Styles, GuiLayoutTest,
                         ::testing::Values(LayoutCase{"fusion", false, QUILLO_ENGLISH_LNG},
                                           LayoutCase{"dark", true, QUILLO_ENGLISH_LNG},
                                           LayoutCase{"russian", false, QUILLO_RUSSIAN_LNG}),
                         CaseName);

}  // namespace
