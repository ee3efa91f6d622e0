// The dialog logic of the programmer's reading against a fake window that
// draws each gap as '_': the grouped integer lines, the setting that turns
// the grouping off, and the BIN line's bits flipped by a click.

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>

#include "settings/profile.h"
#include "settings/settings.h"
#include "tests/support/case_table.h"
#include "tests/support/fake_settings_host.h"
#include "tests/support/files.h"
#include "tests/ui/ui_test_support.h"
#include "ui/dialog_ids.h"
#include "ui/main_dialog.h"

namespace {

class DigitsWindow : public FakeHostOf<DialogFrontEnd> {
 public:
  std::map<int, std::string> shown;  // result lines by id, each gap drawn as '_'
  std::map<int, int> bitCounts;      // the bit strip's size by result line id
  std::string box;
  int selectionStart = 0, selectionEnd = 0;
  int beeps = 0;
  bool groupingChecked = false;  // the menu's "Group digits" item
  MainDialog* dialog = nullptr;

  void Type(const std::string& text) {
    box = text;
    dialog->OnCommand(kIdExpressionBox, kBoxEditChange);
  }
  void Click(int id) { dialog->OnCommand(id, 0); }
  std::string Line(int form) const { return shown.at(ResultLineIdOfForm(form)); }

  void RunModal(MainDialog& d) override {
    dialog = &d;
    d.Initialise();
  }
  void ShowResultLine(int id, const char* text, const DigitGaps& gaps, int bitCount) override {
    std::string line;
    int next = 0;
    for (int i = 0; text[i] != '\0'; ++i) {
      if (next < gaps.count && gaps.before[next] == i) {
        line += '_';
        ++next;
      }
      line += text[i];
    }
    shown[id] = line;
    bitCounts[id] = bitCount;
  }
  void AttachMenu(const MenuModel& menu) override {
    for (const MenuPopupModel& popup : menu.popups) {
      for (int i = 0; i < popup.itemCount; ++i) {
        if (popup.items[i].commandId == kCmdGroupDigits) groupingChecked = popup.items[i].checked;
      }
    }
  }
  void BoxText(char* buffer, unsigned capacity) override { std::snprintf(buffer, capacity, "%s", box.c_str()); }
  void SetBoxText(const char* text) override { box = text; }
  void SelectBoxText(int start, int end) override {
    selectionStart = start;
    selectionEnd = end;
  }
  void BoxTextSelection(int* start, int* end) override {
    *start = selectionStart;
    *end = selectionEnd;
  }
  void Beep() override { ++beeps; }
  void SetControlText(int, const char*) override {}
  int BoxSelection() override { return -1; }
  void OpenBoxList() override {}
  void CloseBoxList() override {}
  void SelectBoxItem(int) override {}
  void FocusBox() override {}
  void CheckRadioButton(int, int, int) override {}
  void RegisterHotkey(int) override {}
  void UnregisterHotkey(int) override {}
  void SetClipboardText(const char*) override {}
  void ShowNotice(const char*) override {}
  void MarkResultLine(int, const char*) override {}
  void MarkBoxError(int, int, const char*) override {}
  void ShowHistorySearch(const char*, const std::vector<std::string>&, int) override {}
  void HideHistorySearch() override {}
  void SetAlwaysOnTop(bool) override {}
  void ApplyProgramIcon() override {}
  void ShowAboutBox(const char*, const char*) override {}
  void EndDialog(int) override {}
};

class DigitsTest : public ::testing::Test {
 protected:
  void Start(int form, int wordBits = 32, bool isUnsigned = false) {
    settingsFile = PrepareSettings(folder, WriteLanguageFile(folder, "en"), form);
    ProgramSettings().WordBits = wordBits;
    ProgramSettings().WordUnsigned = isUnsigned;
    window.beeps = 0;
    dialog = std::make_unique<MainDialog>(window, *engine);
    window.RunModal(*dialog);
  }
  std::string Setting(const char* key) const {
    char value[100];
    ReadProfileString("INI", key, "<missing>", value, sizeof value, settingsFile.c_str());
    return value;
  }

  TempFolder folder;
  std::string settingsFile;
  std::unique_ptr<EngineState> engine = std::make_unique<EngineState>();
  DigitsWindow window;
  std::unique_ptr<MainDialog> dialog;
};

TEST_F(DigitsTest, IntegerLinesAreGroupedAndOnlyTheBinLineIsAStrip) {
  Start(kFormDec);
  window.Type("0x12345");
  EXPECT_EQ(window.Line(kFormDec), "74565");
  EXPECT_EQ(window.Line(kFormHex), "1_2345");
  EXPECT_EQ(window.Line(kFormBin), "1_0010_0011_0100_0101");
  EXPECT_EQ(window.Line(kFormOct), "221_505");
  EXPECT_EQ(window.Line(kFormExp), "7.456500000000000E+0004");
  EXPECT_EQ(window.bitCounts[kIdResultLineBin], 32);
  EXPECT_EQ(window.bitCounts[kIdResultLineHex], 0);
  // Messages have neither gaps nor bits.
  for (const char* failing : {"1e20", "1/", "2^99"}) {
    SCOPED_TRACE(failing);
    window.Type(failing);
    EXPECT_EQ(window.Line(kFormHex).find('_'), std::string::npos) << window.Line(kFormHex);
    EXPECT_EQ(window.Line(kFormBin).find('_'), std::string::npos);
    EXPECT_EQ(window.bitCounts[kIdResultLineBin], 0);
  }
}

TEST_F(DigitsTest, GroupDigitsTurnsGroupingOffAndIsKept) {
  Start(kFormDec);
  window.Type("0xABCDEF");
  EXPECT_TRUE(window.groupingChecked);
  window.Click(kCmdGroupDigits);
  EXPECT_FALSE(window.groupingChecked);
  EXPECT_EQ(window.Line(kFormHex), "ABCDEF");
  EXPECT_EQ(window.Line(kFormOct), "52746757");
  EXPECT_EQ(window.bitCounts[kIdResultLineBin], 32);  // the strip stays
  dialog->OnCloseRequest();
  EXPECT_EQ(Setting("groupdigits"), "0");

  DigitsWindow next;
  ResetProgramSettings();
  ASSERT_TRUE(LoadSettingsFrom(next, settingsFile.c_str()));
  MainDialog nextDialog(next, *engine);
  next.RunModal(nextDialog);
  EXPECT_FALSE(next.groupingChecked);
  next.Click(kCmdGroupDigits);
  EXPECT_EQ(next.Line(kFormHex), "AB_CDEF");  // the same engine, grouped again
  nextDialog.OnCloseRequest();
  EXPECT_EQ(Setting("groupdigits"), "1");
}

TEST_F(DigitsTest, GroupingIsNotWrittenUntilChosen) {
  Start(kFormDec);
  dialog->OnCloseRequest();
  EXPECT_EQ(Setting("groupdigits"), "<missing>");
}

// A click on a bit puts the word's new value into the box as Calculate
// writes it in the selected form, selected; the lines show it.
TEST_F(DigitsTest, FlippingABitWritesTheNewValueInTheSelectedForm) {
  const struct {
    int line;
    int bits;
    bool isUnsigned;
    int form;
    const char* expression;
    int bit;
    const char* box;
    const char* dec;
  } cases[] = {
      {__LINE__, 8, false, kFormDec, "0", 7, "-128", "-128"},
      {__LINE__, 8, true, kFormDec, "0", 7, "128", "128"},
      {__LINE__, 8, false, kFormHex, "-1", 0, "0xFE", "254"},  // as Calculate writes -2
      {__LINE__, 8, true, kFormBin, "5", 1, "111b", "7"},
      {__LINE__, 16, false, kFormDec, "1", 15, "-32767", "-32767"},
      {__LINE__, 16, true, kFormOct, "0", 15, "100000o", "32768"},
      {__LINE__, 16, false, kFormHex, "6*7", 0, "0x2B", "43"},
      {__LINE__, 32, false, kFormDec, "-1", 31, "2147483647", "2147483647"},
      {__LINE__, 32, true, kFormDec, "0", 31, "2147483648", "2147483648"},
      {__LINE__, 32, false, kFormHex, "2.75", 0, "0x3", "3"},  // the pattern shown, not the fraction
      {__LINE__, 64, false, kFormDec, "0", 63, "-9223372036854775808", "-9223372036854775808"},
      {__LINE__, 64, true, kFormDec, "0", 63, "9223372036854775808", "9223372036854775808"},
      {__LINE__, 64, true, kFormHex, "~0", 0, "0xFFFFFFFFFFFFFFFE", "18446744073709551614"},
      {__LINE__, 64, false, kFormBin, "0", 40, "10000000000000000000000000000000000000000b", "1099511627776"},
  };
  ForEachCase(cases, [this](const auto& row) {
    Start(row.form, row.bits, row.isUnsigned);
    window.Type(row.expression);
    dialog->OnFlipBit(row.bit);
    EXPECT_EQ(window.box, row.box);
    EXPECT_EQ(window.selectionStart, 0);
    EXPECT_EQ(window.selectionEnd, static_cast<int>(window.box.size()));
    EXPECT_EQ(window.Line(kFormDec), row.dec);
    EXPECT_EQ(window.beeps, 0);
    EXPECT_TRUE(window.list.empty());  // the history gets the value once calculated
  });
}

TEST_F(DigitsTest, AFlipIsOneUndoStepAndFlipsAgainFromTheNewValue) {
  Start(kFormHex, 8, true);
  window.Type("6*7");
  dialog->OnFlipBit(0);
  dialog->OnFlipBit(7);
  EXPECT_EQ(window.box, "0xAB");
  dialog->OnUndo();
  EXPECT_EQ(window.box, "0x2B");
  EXPECT_EQ(window.Line(kFormDec), "43");
  dialog->OnUndo();
  EXPECT_EQ(window.box, "6*7");
  dialog->OnRedo();
  EXPECT_EQ(window.box, "0x2B");
}

TEST_F(DigitsTest, NoBitToFlipOnlyBeeps) {
  const struct {
    int line;
    int bits;
    const char* expression;
    int bit;
  } cases[] = {
      {__LINE__, 32, "1e20", 0},  // the line shows a message
      {__LINE__, 32, "1/", 0},    // a failed calculation
      {__LINE__, 8, "1", 8},      // beyond the word
      {__LINE__, 64, "1", 64},
      {__LINE__, 32, "1", -1},
  };
  ForEachCase(cases, [this](const auto& row) {
    Start(kFormDec, row.bits);
    window.Type(row.expression);
    dialog->OnFlipBit(row.bit);
    EXPECT_EQ(window.box, row.expression);
    EXPECT_EQ(window.beeps, 1);
  });
}

}  // namespace
