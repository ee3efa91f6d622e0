// The dialog logic against a fake window that records what the dialog shows
// and plays the user's part: typing, Escape, Down arrow, focus, buttons.

#include "ui/main_dialog.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <deque>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/calculate.h"
#include "settings/profile.h"
#include "settings/settings.h"
#include "tests/support/case_table.h"
#include "tests/support/fake_settings_host.h"
#include "tests/support/files.h"
#include "tests/ui/ui_test_support.h"
#include "ui/dialog_ids.h"
#include "ui/program_version.h"

namespace {

// "Title[id text|id text (off)|id text *<Ctrl+1>|---] Title[...]" for
// comparing whole menus: "*" marks a checked item, <...> its key.
std::string MenuAsText(const MenuModel& menu) {
  std::string text;
  for (int p = 0; p < kMenuPopupCount; ++p) {
    const MenuPopupModel& popup = menu.popups[p];
    text += std::string(p > 0 ? " " : "") + popup.title + "[";
    for (int i = 0; i < popup.itemCount; ++i) {
      const MenuItemModel& item = popup.items[i];
      text += i > 0 ? "|" : "";
      text += item.text == nullptr ? std::string("---")
                                   : std::to_string(item.commandId) + " " + item.text + (item.enabled ? "" : " (off)");
      if (item.checked) text += " *";
      if (item.shortcut.text != nullptr) text += std::string("<") + item.shortcut.text + ">";
    }
    text += "]";
  }
  return text;
}

// The start-up dialogs and the history list come from FakeHostOf: `answers`
// for the file dialog, `errors` for the error boxes, `list` for the box's list.
class FakeWindow : public FakeHostOf<DialogFrontEnd> {
 public:
  // What the window shows.
  std::map<int, std::string> texts;
  int resultLineWrites = 0;
  std::string box;
  int selectionStart = 0, selectionEnd = 0;
  int current = -1;
  bool listOpen = false;
  bool boxFocused = false;
  int checkedRadio = 0;
  bool hotkeys[kHotkeyCount + 1] = {};
  std::vector<std::string> menuTexts;  // titles and items, separators as "-"
  std::vector<int> disabledCommands;
  std::string menu;                    // the whole menu, see MenuAsText
  int menusAttached = 0;
  std::vector<std::string> aboutTitles, aboutTexts;
  std::vector<bool> onTopCalls;  // each SetAlwaysOnTop in order
  std::vector<std::string> helps;           // each help shown, as plain text
  std::vector<std::string> displayFonts;    // each SetDisplayFont, as its [INI] value
  std::vector<std::string> fontsAskedFrom;  // the font each font dialog opened at
  std::optional<FontChoice> fontAnswer;     // the font dialog's choice; none cancels
  std::optional<int> endResult;
  bool iconApplied = false;
  int modalRuns = 0;
  MainDialog* dialog = nullptr;
  // The history search as shown.
  bool searchShown = false;
  std::string searchQuery, searchMatches;
  int searchSelected = -1;
  std::string clipboard;
  int beeps = 0;
  std::vector<std::string> notices;
  std::map<int, std::string> lineNotes;  // by result line id; "" when unmarked
  struct BoxMark {
    int start = -1, end = -1;
    std::string note;
  } boxMark;
  int boxMarkCalls = 0;

  // The user's actions, as the platform would report them.
  void Type(const std::string& keys) {
    // Each key replaces the selection, as in any edit field; a text set by
    // the test without a caret in it is typed at its end.
    for (char key : keys) {
      const int size = static_cast<int>(box.size());
      const int start = std::clamp(std::min(selectionStart, selectionEnd), 0, size);
      const int end = std::clamp(std::max(selectionStart, selectionEnd), start, size);
      const bool caretInText = end > start || end < size;
      const auto at = static_cast<std::size_t>(caretInText ? start : size);
      box.replace(at, caretInText ? static_cast<std::size_t>(end - start) : 0, 1, key);
      selectionStart = selectionEnd = static_cast<int>(at) + 1;
      dialog->OnCommand(kIdExpressionBox, kBoxEditChange);
    }
  }
  void PressEscape() {
    if (hotkeys[kHotkeyEscape]) dialog->OnHotkey(kHotkeyEscape);
  }
  void PressDown() {
    if (hotkeys[kHotkeyDown]) {
      dialog->OnHotkey(kHotkeyDown);
    } else if (listOpen && current + 1 < static_cast<int>(list.size())) {
      // The open list moves on by itself, shows the entry and tells of it.
      ++current;
      box = list[static_cast<std::size_t>(current)];
      dialog->OnCommand(kIdExpressionBox, kBoxSelChange);
    }
  }
  void FocusElsewhere() {
    if (boxFocused) {
      boxFocused = false;
      dialog->OnCommand(kIdExpressionBox, kBoxKillFocus);
    }
  }
  void Click(int id) { dialog->OnCommand(id, 0); }
  std::string Lines() const {
    std::string joined;
    for (int id = kIdResultLineDec; id <= kIdResultLineExp; ++id) {
      joined += (id == kIdResultLineDec ? "" : "|") + texts.at(id);
    }
    return joined;
  }

  void RunModal(MainDialog& d) override {
    ++modalRuns;
    dialog = &d;
    d.Initialise();
  }
  void SetControlText(int id, const char* text) override {
    texts[id] = text;
    if (id >= kIdResultLineDec && id <= kIdResultLineExp) ++resultLineWrites;
  }
  void AttachMenu(const MenuModel& model) override {
    ++menusAttached;
    menu = MenuAsText(model);
    menuTexts.clear();
    disabledCommands.clear();
    for (const MenuPopupModel& popup : model.popups) {
      menuTexts.emplace_back(popup.title);
      for (int i = 0; i < popup.itemCount; ++i) {
        const MenuItemModel& item = popup.items[i];
        menuTexts.emplace_back(item.text ? item.text : "-");
        if (item.text && !item.enabled) disabledCommands.push_back(item.commandId);
      }
    }
  }
  void BoxText(char* buffer, unsigned capacity) override { std::snprintf(buffer, capacity, "%s", box.c_str()); }
  void SetBoxText(const char* text) override { box = text; }
  void SelectBoxText(int start, int end) override {
    selectionStart = start;
    selectionEnd = end;
  }
  int BoxSelection() override { return current; }
  void OpenBoxList() override {
    if (listOpen) return;
    listOpen = true;
    dialog->OnCommand(kIdExpressionBox, kBoxDropDown);  // as a combo box tells it
  }
  void CloseBoxList() override { listOpen = false; }
  void SelectBoxItem(int index) override {
    if (index < static_cast<int>(list.size())) {
      current = index;
      box = list[static_cast<std::size_t>(index)];
    }
  }
  void BoxTextSelection(int* start, int* end) override {
    *start = selectionStart;
    *end = selectionEnd;
  }
  void FocusBox() override {
    if (!boxFocused) {
      boxFocused = true;
      // As a Windows combo box does when it gets the focus.
      selectionStart = 0;
      selectionEnd = static_cast<int>(box.size());
      dialog->OnCommand(kIdExpressionBox, kBoxSetFocus);  // the box announces the focus at once
    }
  }
  void CheckRadioButton(int, int, int id) override { checkedRadio = id; }
  void RegisterHotkey(int id) override { hotkeys[id] = true; }
  void UnregisterHotkey(int id) override { hotkeys[id] = false; }
  void SetClipboardText(const char* text) override { clipboard = text; }
  void Beep() override { ++beeps; }
  void ShowHistorySearch(const char* query, const std::vector<std::string>& matches, int selected) override {
    searchShown = true;
    searchQuery = query;
    searchMatches = Joined(matches);
    searchSelected = selected;
  }
  void HideHistorySearch() override { searchShown = false; }
  void ShowNotice(const char* text) override { notices.emplace_back(text); }
  void MarkResultLine(int id, const char* note) override { lineNotes[id] = note; }
  void MarkBoxError(int start, int end, const char* note) override {
    boxMark = {start, end, note};
    ++boxMarkCalls;
  }
  void SetAlwaysOnTop(bool onTop) override { onTopCalls.push_back(onTop); }
  void ApplyProgramIcon() override { iconApplied = true; }
  void ShowHelp(const HelpContents& help) override { helps.push_back(HelpAsPlainText(help)); }
  void SetDisplayFont(const FontChoice& font) override { displayFonts.push_back(FormatFontValue(font)); }
  bool AskForFont(FontChoice& font) override {
    fontsAskedFrom.push_back(FormatFontValue(font));
    if (!fontAnswer) return false;
    font = *fontAnswer;
    return true;
  }
  void ShowAboutBox(const char* title, const char* text) override {
    aboutTitles.emplace_back(title);
    aboutTexts.emplace_back(text);
  }
  void EndDialog(int result) override { endResult = result; }
};

constexpr char kZeroLines[] = "0|0|0|0|0.000000000000000E+0000";

class MainDialogTest : public ::testing::Test {
 protected:
  void Start(int form = 0, const std::string& history = "") {
    english = WriteLanguageFile(folder, "en");
    settingsFile = PrepareSettings(folder, english, form, history);
    dialog = std::make_unique<MainDialog>(window, *engine);
    window.RunModal(*dialog);
  }
  std::string Setting(const char* section, const char* key) {
    char value[1000];
    ReadProfileString(section, key, "<missing>", value, sizeof value, settingsFile.c_str());
    return value;
  }
  std::string AllLines(const std::string& text) { return text + "|" + text + "|" + text + "|" + text + "|" + text; }

  TempFolder folder;
  std::string english, settingsFile;
  std::unique_ptr<EngineState> engine = std::make_unique<EngineState>();
  FakeWindow window;
  std::unique_ptr<MainDialog> dialog;
};

TEST_F(MainDialogTest, OpensWithZeroLinesSavedFormTextsMenuAndHistory) {
  Start(3, "0=1+1\r\n1=2*2\r\n");
  EXPECT_EQ(window.Lines(), kZeroLines);
  EXPECT_EQ(window.checkedRadio, kIdRadioOct);
  EXPECT_TRUE(window.boxFocused);
  EXPECT_TRUE(window.hotkeys[kHotkeyEscape] && window.hotkeys[kHotkeyDown]);
  EXPECT_TRUE(window.iconApplied);
  EXPECT_EQ(window.texts[kIdCalculateButton], "en dialog 0");
  EXPECT_EQ(window.texts[kIdResultGroup], "en dialog 4");
  // Font... and Contents are enabled, Colors... is gone, and every title and
  // item has an accelerator letter of its own within its pop-up; the titles
  // leave the forms' letters (C, H, B, O, E) to the radio buttons.
  EXPECT_EQ(window.menuTexts,
            (std::vector<std::string>{"e&n menu 0", "&en menu 1", "e&n menu 2", "-", "&Always on top", "&Group digits",
                                      "&Word", "&8 bits", "&16 bits", "&32 bits", "&64 bits", "-", "&Signed",
                                      "&Unsigned", "en &menu 4", "&en menu 5", "-", "e&n menu 6"}));
  EXPECT_TRUE(window.disabledCommands.empty());
  EXPECT_EQ(window.menu,
            "e&n menu 0[0 &en menu 1|12 e&n menu 2|---|30 &Always on top|31 &Group digits *] "
            "&Word[20 &8 bits<Ctrl+1>|21 &16 bits<Ctrl+2>|22 &32 bits *<Ctrl+3>|23 &64 bits<Ctrl+4>|---|"
            "24 &Signed *<Ctrl+Shift+S>|25 &Unsigned<Ctrl+Shift+U>] "
            "en &menu 4[10 &en menu 5<F1>|---|11 e&n menu 6]");
  EXPECT_EQ(window.list, (std::vector<std::string>{"1+1", "2*2"}));
  EXPECT_EQ(window.box, "");
  EXPECT_TRUE(window.onTopCalls.empty());  // a window that was never put on top is left as it opens
}

// "Always on top" turns over with each click, its check mark following; the
// choice is saved at close and puts the next window on top as it opens.
TEST_F(MainDialogTest, AlwaysOnTopTogglesIsCheckedAndOpensTheNextWindowOnTop) {
  Start();
  const std::string item = "30 &Always on top";
  window.Click(kCmdAlwaysOnTop);
  EXPECT_EQ(window.onTopCalls, std::vector<bool>{true});
  EXPECT_NE(window.menu.find(item + " *"), std::string::npos) << window.menu;
  window.Click(kCmdAlwaysOnTop);
  EXPECT_EQ(window.onTopCalls, (std::vector<bool>{true, false}));
  EXPECT_EQ(window.menu.find(item + " *"), std::string::npos) << window.menu;
  window.Click(kCmdAlwaysOnTop);
  window.dialog->OnCloseRequest();
  EXPECT_EQ(Setting("INI", "ontop"), "1");

  FakeWindow next;
  ResetProgramSettings();
  ASSERT_TRUE(LoadSettingsFrom(next, settingsFile.c_str()));
  MainDialog nextDialog(next, *engine);
  next.RunModal(nextDialog);
  EXPECT_EQ(next.onTopCalls, std::vector<bool>{true});
  EXPECT_NE(next.menu.find(item + " *"), std::string::npos) << next.menu;
}

// Help -> Contents shows the help built in the word chosen now: "~0" at 8
// bits is 0xFF.
TEST_F(MainDialogTest, HelpContentsShowsTheReferenceInTheWordChosen) {
  Start();
  window.Click(kCmdWord8);
  window.Click(kCmdHelpContents);
  ASSERT_EQ(window.helps.size(), 1u);
  EXPECT_NE(window.helps[0].find("~0 = 0xFF\n"), std::string::npos) << window.helps[0];
  EXPECT_NE(window.helps[0].find("tg(x)"), std::string::npos);
}

// Font...: the dialog opens at the font now used; a choice is shown at once,
// saved at close and shown again by the next window; a cancel changes
// nothing.
TEST_F(MainDialogTest, FontChoiceIsAppliedSavedAndAppliedAgainAtTheNextStart) {
  Start();
  EXPECT_TRUE(window.displayFonts.empty());  // no font chosen: the window's own fonts stay
  window.Click(kCmdFont);
  EXPECT_EQ(window.fontsAskedFrom, std::vector<std::string>{""});
  EXPECT_TRUE(window.displayFonts.empty());
  window.fontAnswer = FontChoice{"Mono", 12};
  window.Click(kCmdFont);
  EXPECT_EQ(window.displayFonts, std::vector<std::string>{"Mono,12"});
  window.fontAnswer.reset();
  window.Click(kCmdFont);
  EXPECT_EQ(window.fontsAskedFrom.back(), "Mono,12");
  window.dialog->OnCloseRequest();
  EXPECT_EQ(Setting("INI", "font"), "Mono,12");

  FakeWindow next;
  ResetProgramSettings();
  ASSERT_TRUE(LoadSettingsFrom(next, settingsFile.c_str()));
  MainDialog nextDialog(next, *engine);
  next.RunModal(nextDialog);
  EXPECT_EQ(next.displayFonts, std::vector<std::string>{"Mono,12"});
}

TEST_F(MainDialogTest, StrayFormStillChecksARadioButtonAndCalculatesInDecimal) {
  Start();
  ProgramSettings().CurrentForm = 7;  // cannot come from the settings; the dialog copes all the same
  window.dialog->Initialise();
  EXPECT_EQ(window.checkedRadio, kIdRadioDec);
  window.Type("255");
  window.Click(kIdCalculateButton);
  EXPECT_EQ(window.box, "255");
}

TEST_F(MainDialogTest, EveryKeyRecalculates) {
  Start();
  const struct {
    int line;
    std::string keys;
    std::string lines;
  } cases[] = {
      {__LINE__, "2", "2|2|10|2|2.000000000000000E+0000"},
      {__LINE__, "5", "25|19|11001|31|2.500000000000000E+0001"},
      {__LINE__, "5", "255|FF|11111111|377|2.550000000000000E+0002"},
      {__LINE__, "+", AllLines(MessageText("en", kMsgTooFewForPlus))},
      {__LINE__, "3", "258|102|100000010|402|2.580000000000000E+0002"},
  };
  ForEachCase(cases, [&](const auto& c) {
    window.Type(c.keys);
    EXPECT_EQ(window.Lines(), c.lines);
  });
}

TEST_F(MainDialogTest, CalculateWritesTheResultInTheSelectedFormAndSelectsIt) {
  const struct {
    int line;
    int radio;
    std::string expression;
    std::string box;
  } cases[] = {
      {__LINE__, kIdRadioDec, "255", "255"},
      {__LINE__, kIdRadioHex, "255", "0xFF"},
      {__LINE__, kIdRadioBin, "255", "11111111b"},
      {__LINE__, kIdRadioOct, "255", "377o"},
      {__LINE__, kIdRadioExp, "255", "2.550000000000000E+0002"},
      {__LINE__, kIdRadioHex, "-1", "0xFFFFFFFF"},
  };
  Start();
  ForEachCase(cases, [&](const auto& c) {
    window.Click(c.radio);
    window.box.clear();
    window.Type(c.expression);
    const std::string lines = window.Lines();
    window.FocusElsewhere();  // the mouse on the button
    window.Click(kIdCalculateButton);
    EXPECT_EQ(window.box, c.box);
    EXPECT_EQ(window.selectionStart, 0);
    EXPECT_EQ(window.selectionEnd, static_cast<int>(c.box.size()));
    EXPECT_TRUE(window.boxFocused);
    EXPECT_EQ(window.list.front(), c.expression);
    EXPECT_EQ(window.Lines(), lines);
  });
}

TEST_F(MainDialogTest, CalculateAddsToTheHistoryEachTimeButOnlyRewritesSuccess) {
  Start();
  window.Click(kIdCalculateButton);  // nothing typed yet: 0, no history
  EXPECT_EQ(window.box, "0");
  EXPECT_TRUE(window.list.empty());

  window.box.clear();
  window.Type("6*7");
  window.Click(kIdCalculateButton);
  window.Click(kIdCalculateButton);
  EXPECT_EQ(window.list, (std::vector<std::string>{"6*7", "6*7"}));

  window.box.clear();
  window.Type("1/0");
  window.Click(kIdCalculateButton);
  EXPECT_EQ(window.box, "1/0");
  EXPECT_EQ(window.list.front(), "1/0");
  EXPECT_EQ(window.Lines(), AllLines(MessageText("en", kMsgDivisionByZero)));
}

TEST_F(MainDialogTest, EscapeFilesTheTextAwayThenEndsOnAnEmptyBox) {
  Start(kFormHex);
  window.Type("255");
  window.Click(kIdCalculateButton);
  window.PressEscape();  // the box holds 0xFF now
  EXPECT_EQ(window.list, (std::vector<std::string>{"0xFF", "255"}));
  EXPECT_EQ(window.box, "");
  EXPECT_EQ(window.Lines(), kZeroLines);
  EXPECT_FALSE(window.endResult.has_value());

  window.PressEscape();
  EXPECT_EQ(window.endResult, 0);
  EXPECT_EQ(Setting("HISTORY", "0"), "0xFF");
  EXPECT_EQ(Setting("HISTORY", "1"), "255");
  EXPECT_EQ(Setting("INI", "form"), "1");
}

TEST_F(MainDialogTest, EscapeAndDownAreHotkeysOnlyWhileTheBoxHasTheFocus) {
  Start(0, "0=3\r\n1=2\r\n2=1\r\n");
  window.FocusElsewhere();
  window.PressEscape();
  EXPECT_FALSE(window.endResult.has_value());
  window.PressDown();
  EXPECT_FALSE(window.listOpen);
  window.FocusBox();
  EXPECT_TRUE(window.hotkeys[kHotkeyEscape] && window.hotkeys[kHotkeyDown]);
}

// The lines always show what the box shows: the entries passed on the way
// through the open list, the typed text again once Escape closes the list
// without a choice, the chosen entry; undo goes back to the typed text.
TEST_F(MainDialogTest, DownOpensTheListOnTheNewestEntryThenMovesThroughIt) {
  Start(0, "0=3\r\n1=2\r\n2=1\r\n");
  window.Type("7");
  window.PressDown();
  EXPECT_TRUE(window.listOpen);
  EXPECT_EQ(window.current, 0);
  EXPECT_EQ(window.box, "3");
  EXPECT_EQ(window.texts[kIdResultLineDec], "3");
  window.PressDown();
  EXPECT_EQ(window.current, 1);
  EXPECT_EQ(window.box, "2");
  EXPECT_EQ(window.texts[kIdResultLineDec], "2");

  window.PressEscape();  // closes the list only
  EXPECT_FALSE(window.listOpen);
  EXPECT_FALSE(window.endResult.has_value());
  EXPECT_EQ(window.box, "7");
  EXPECT_EQ(window.texts[kIdResultLineDec], "7");
  EXPECT_EQ(window.list.size(), 3U);  // nothing filed away
  window.Click(kIdCalculateButton);
  EXPECT_EQ(window.box, "7");
  EXPECT_EQ(window.list.front(), "7");

  window.box = "7*";
  window.SelectBoxText(2, 2);
  window.Type("6");
  window.PressDown();  // "7", the newest entry now
  window.PressDown();
  window.dialog->OnCommand(kIdExpressionBox, kBoxSelEndOk);  // the user takes it
  window.CloseBoxList();
  EXPECT_EQ(window.box, "3");
  EXPECT_EQ(window.texts[kIdResultLineDec], "3");
  EXPECT_EQ(std::string(engine->expression), "3");
  window.dialog->OnCommand(kIdExpressionBox, kBoxSelEndCancel);  // a late close changes nothing
  EXPECT_EQ(window.box, "3");
  window.dialog->OnUndo();
  EXPECT_EQ(window.box, "7*6");
  EXPECT_EQ(window.texts[kIdResultLineDec], "42");

  window.FocusElsewhere();
  window.FocusBox();
  EXPECT_TRUE(window.hotkeys[kHotkeyDown]);
}

TEST_F(MainDialogTest, LanguageChangeRecalculatesChosenOrCancelled) {
  Start();
  const std::string german = WriteLanguageFile(folder, "de");
  window.Type("2+");
  window.answers = {german};
  window.Click(kCmdChooseLanguage);
  EXPECT_EQ(window.Lines(), AllLines(MessageText("de", kMsgTooFewForPlus)));
  EXPECT_EQ(window.texts[kIdCloseButton], "de dialog 1");
  EXPECT_EQ(window.menuTexts.front(), "&de menu 0");  // D is no form's letter
  EXPECT_EQ(Setting("INI", "lang"), german);

  // A cancel keeps the menu and the control texts; only the lines are redrawn.
  const int writes = window.resultLineWrites;
  const int menus = window.menusAttached;
  window.texts[kIdCloseButton] = "";
  window.answers = {std::nullopt};
  window.Click(kCmdChooseLanguage);
  EXPECT_EQ(window.resultLineWrites, writes + kResultFormCount);
  EXPECT_EQ(window.menusAttached, menus);
  EXPECT_EQ(window.texts[kIdCloseButton], "");
  EXPECT_EQ(window.Lines(), AllLines(MessageText("de", kMsgTooFewForPlus)));
  EXPECT_EQ(Setting("INI", "lang"), german);
}

// The About box and the error box of a failed save speak the language
// chosen from the menu; the About text ends with the version built.
TEST_F(MainDialogTest, AboutAndErrorBoxFollowTheChosenLanguage) {
  Start();
  const std::string german = folder / "texts.lng";
  WriteFile(german, "[MENU]\r\n0=Optionen\r\n[TEXTS]\r\nabouttitle=Info\r\nabout=Quillo\\n\\nRechner\r\n"
                    "version=Fassung\r\n"
                    "errortitle=Fehler\r\ncantsave=Nicht gespeichert\r\n");
  window.answers = {german};
  window.Click(kCmdChooseLanguage);
  window.Click(kCmdAbout);
  EXPECT_EQ(window.aboutTitles, std::vector<std::string>{"Info"});
  EXPECT_EQ(window.aboutTexts,
            std::vector<std::string>{std::string("Quillo\n\nRechner\n\nFassung ") + kProgramVersion});
  std::filesystem::remove(settingsFile);
  std::filesystem::create_directory(settingsFile);  // a folder where the file should be
  window.Click(kIdCloseButton);
  EXPECT_EQ(window.errorCaptions, std::vector<std::string>{"Fehler"});
  EXPECT_EQ(window.errors, std::vector<std::string>{"Nicht gespeichert\n" + settingsFile +
                                                    "\nThe form and history of this session are lost."});
}

TEST_F(MainDialogTest, RadioButtonsChangeTheFormButNoLine) {
  Start();
  window.Type("255");
  const int writes = window.resultLineWrites;
  for (int radio = kIdRadioDec; radio <= kIdRadioExp; ++radio) {
    window.Click(radio);
    EXPECT_EQ(ProgramSettings().CurrentForm, radio - kIdRadioDec);
  }
  EXPECT_EQ(window.resultLineWrites, writes);
}

TEST_F(MainDialogTest, CloseAndCloseRequestSaveThenEnd) {
  Start();
  window.Click(kIdRadioOct);
  window.Type("1+2");
  window.Click(kIdCalculateButton);
  window.Click(kIdCloseButton);
  EXPECT_EQ(window.endResult, 0);
  EXPECT_EQ(Setting("INI", "form"), "3");
  EXPECT_EQ(Setting("INI", "historylen"), "10");
  EXPECT_EQ(Setting("HISTORY", "0"), "1+2");

  window.endResult.reset();
  window.Click(kIdRadioHex);
  window.dialog->OnCloseRequest();
  EXPECT_EQ(window.endResult, 0);
  EXPECT_EQ(Setting("INI", "form"), "1");
}

TEST_F(MainDialogTest, FailedSaveIsReportedAndTheWindowStillCloses) {
  Start();
  std::filesystem::remove(settingsFile);
  std::filesystem::create_directory(settingsFile);  // a folder where the file should be
  window.Click(kIdCloseButton);
  EXPECT_EQ(window.errors.size(), 1u);
  EXPECT_EQ(window.endResult, 0);
}

TEST_F(MainDialogTest, SessionEndSavesAndKeepsTheWindow) {
  Start();
  window.Click(kIdRadioBin);
  window.dialog->OnSessionEnd();
  EXPECT_EQ(Setting("INI", "form"), "2");
  EXPECT_FALSE(window.endResult.has_value());
}

TEST_F(MainDialogTest, DisabledCommandsAndOtherIdsDoNothing) {
  Start();
  window.Type("2+");
  const std::string lines = window.Lines();
  for (int id : {kCmdDisabledOk, kCmdDisabledCancel, 1007, kIdResultLineDec}) {
    window.Click(id);
  }
  window.dialog->OnCommand(kIdExpressionBox, 6);
  window.dialog->OnHotkey(3);
  EXPECT_EQ(window.Lines(), lines);
  EXPECT_FALSE(window.endResult.has_value());
  EXPECT_TRUE(window.errors.empty());
  window.Click(kCmdAbout);
  EXPECT_EQ(window.aboutTitles, (std::vector<std::string>{"About Quillo"}));
  EXPECT_TRUE(window.aboutTexts.back().ends_with(std::string("\n\nVersion ") + kProgramVersion))
      << window.aboutTexts.back();
}

TEST_F(MainDialogTest, CopyTakesTheLinesExactlyAsShown) {
  const struct {
    int line;
    std::string expression;
    std::string all;
  } cases[] = {
      {__LINE__, "fact(13)",
       "DEC 6227020800\nHEX 7328CC00\nBIN 1110011001010001100110000000000\nOCT 16312146000\n"
       "EXP 6.227020800000000E+0009\n"},
      {__LINE__, "-1", "DEC -1\nHEX FFFFFFFF\nBIN 11111111111111111111111111111111\nOCT 37777777777\n"
                       "EXP -1.000000000000000E+0000\n"},
      {__LINE__, "1/0", "DEC " + MessageText("en", kMsgDivisionByZero) + "\nHEX " +
                            MessageText("en", kMsgDivisionByZero) + "\nBIN " + MessageText("en", kMsgDivisionByZero) +
                            "\nOCT " + MessageText("en", kMsgDivisionByZero) + "\nEXP " +
                            MessageText("en", kMsgDivisionByZero) + "\n"},
  };
  Start();
  ForEachCase(cases, [&](const auto& c) {
    window.box.clear();
    window.Type(c.expression);
    window.dialog->OnCopyAll();
    EXPECT_EQ(window.clipboard, c.all);
    for (int form = 0; form < kResultFormCount; ++form) {
      window.Click(RadioIdOfForm(form));
      window.dialog->OnCopyResult();
      EXPECT_EQ(window.clipboard, window.texts[ResultLineIdOfForm(form)]);
      window.clipboard.clear();
      window.dialog->OnCopyLine(ResultLineIdOfForm(form));
      EXPECT_EQ(window.clipboard, window.texts[ResultLineIdOfForm(form)]);
    }
    window.clipboard = "kept";
    window.dialog->OnCopyLine(kIdExpressionBox);  // not a line: nothing copied
    EXPECT_EQ(window.clipboard, "kept");
  });
}

// Calculate writes only a text that calculates back to what the selected
// line shows; where it shows a message, or a value no text reads back to
// (infinite, NaN), the box keeps its text, caret and selection, and the
// window beeps.
TEST_F(MainDialogTest, CalculateNeverWritesWhatTheSelectedLineDoesNotShow) {
  const struct {
    int line;
    int radio;
    std::string expression;
    std::string box;  // after Calculate; the expression itself when refused
  } cases[] = {
      {__LINE__, kIdRadioHex, "1e20", "1e20"},
      {__LINE__, kIdRadioBin, "1e20", "1e20"},
      {__LINE__, kIdRadioOct, "-1e19", "-1e19"},
      {__LINE__, kIdRadioDec, "1e20", "100000000000000000000"},
      {__LINE__, kIdRadioExp, "1e20", "1.000000000000000E+0020"},
      {__LINE__, kIdRadioHex, "1e18", "0xA7640000"},  // below the limit the line shows these bits
      {__LINE__, kIdRadioHex, "1e300*1e300", "1e300*1e300"},
      {__LINE__, kIdRadioBin, "(-1)^0.5", "(-1)^0.5"},
      {__LINE__, kIdRadioDec, "1e300*1e300", "1e300*1e300"},
      {__LINE__, kIdRadioExp, "-1e400", "-1e400"},
      {__LINE__, kIdRadioDec, "0*1e400", "0*1e400"},  // NaN
      // A value the DEC line rounds to 0 keeps its digits in the EXP form.
      {__LINE__, kIdRadioDec, "1e-9", "1.000000000000000E-0009"},
      {__LINE__, kIdRadioDec, "-4e-8", "-4.000000000000000E-0008"},
      {__LINE__, kIdRadioDec, "0.00000006", "0.0000001"},
      {__LINE__, kIdRadioExp, "0.1+0.2", "3.000000000000000E-0001"},
      {__LINE__, kIdRadioDec, "1/0", "1/0"},
      {__LINE__, kIdRadioExp, "2+", "2+"},
      {__LINE__, kIdRadioHex, "fact(13)", "0x7328CC00"},  // shown, and marked as the low bits
  };
  Start();
  ForEachCase(cases, [&](const auto& c) {
    window.Click(c.radio);
    window.box.clear();
    window.Type(c.expression);
    const int beeps = window.beeps;
    window.FocusElsewhere();
    window.Click(kIdCalculateButton);
    const bool refused = c.box == c.expression;
    EXPECT_EQ(window.box, c.box);
    EXPECT_EQ(window.list.front(), c.expression);
    EXPECT_EQ(window.selectionStart, refused ? static_cast<int>(c.box.size()) : 0);
    EXPECT_EQ(window.selectionEnd, static_cast<int>(c.box.size()));
    EXPECT_TRUE(window.boxFocused);
    EXPECT_EQ(window.beeps, beeps + (refused ? 1 : 0));
  });
}

// After a refused Calculate the user goes on typing where the caret was,
// also when the caret or a selection sat in the middle of the text.
TEST_F(MainDialogTest, TypingGoesOnAfterARefusedCalculate) {
  Start(1);  // HEX
  window.FocusBox();
  window.Type("7*");
  window.Click(kIdCalculateButton);
  window.Type("6");
  EXPECT_EQ(window.box, "7*6");
  window.Click(kIdCalculateButton);
  EXPECT_EQ(window.box, "0x2A");

  window.box.clear();
  window.Type("1/0+5");
  window.SelectBoxText(2, 3);  // the 0
  window.Click(kIdCalculateButton);
  EXPECT_EQ(window.box, "1/0+5");
  EXPECT_EQ(window.selectionStart, 2);
  EXPECT_EQ(window.selectionEnd, 3);
}

TEST_F(MainDialogTest, IntegerLinesAreMarkedWhenTheyHoldOnlyPartOfTheValue) {
  const struct {
    int line;
    std::string expression;
    std::string note;
  } cases[] = {
      {__LINE__, "4294967295", ""},
      {__LINE__, "4294967296", "low 32 bits of 4294967296"},
      {__LINE__, "-2147483648", ""},
      {__LINE__, "-2147483649", "low 32 bits of -2147483649"},
      {__LINE__, "fact(13)", "low 32 bits of 6227020800"},
      {__LINE__, "2.5", "whole part of 2.5"},
      {__LINE__, "-0.5", "whole part of -0.5"},
      {__LINE__, "4294967295.5", "whole part of 4294967295.5"},
      {__LINE__, "1e300*1e300", "low 32 bits of inf"},
      // The value as the shortest text that reads back to it, not the DEC
      // line's rounding (8, 1, 0).
      {__LINE__, "7.999999999999997", "whole part of 7.999999999999997"},
      {__LINE__, "0.99999999", "whole part of 0.99999999"},
      {__LINE__, "1e-9", "whole part of 1e-09"},
      {__LINE__, "-1e18", "low 32 bits of -1e+18"},
      {__LINE__, "7", ""},
      {__LINE__, "1e19", ""},  // the lines show a message, not bits
      {__LINE__, "1/0", ""},
  };
  Start();
  ForEachCase(cases, [&](const auto& c) {
    window.box.clear();
    window.Type(c.expression);
    for (int id : {kIdResultLineHex, kIdResultLineBin, kIdResultLineOct}) EXPECT_EQ(window.lineNotes[id], c.note);
    EXPECT_EQ(window.lineNotes.count(kIdResultLineDec) + window.lineNotes.count(kIdResultLineExp), 0u);
  });
}

// The word menu and its keys: the lines follow at once, the box keeps its
// text, the marks move, the hidden-bits note names the word, and the choice
// is saved on close.
TEST_F(MainDialogTest, WordMenuRecalculatesAtOnceAndKeepsTheBox) {
  Start();
  window.Type("70000");
  EXPECT_EQ(window.lineNotes[kIdResultLineHex], "");
  const struct {
    int line;
    char key;
    bool shift;
    std::string lines;
    std::string note;
    std::string marks;  // the checked items of the word menu
  } cases[] = {
      {__LINE__, '2', false, "70000|1170|1000101110000|10560|7.000000000000000E+0004", "low 16 bits of 70000",
       "16 bits,Signed"},
      {__LINE__, 'u', true, "70000|1170|1000101110000|10560|7.000000000000000E+0004", "low 16 bits of 70000",
       "16 bits,Unsigned"},
      {__LINE__, '1', false, "70000|70|1110000|160|7.000000000000000E+0004", "low 8 bits of 70000", "8 bits,Unsigned"},
      {__LINE__, '4', false, "70000|11170|10001000101110000|210560|7.000000000000000E+0004", "",
       "64 bits,Unsigned"},
      {__LINE__, 'S', true, "70000|11170|10001000101110000|210560|7.000000000000000E+0004", "", "64 bits,Signed"},
      {__LINE__, '9', false, "70000|11170|10001000101110000|210560|7.000000000000000E+0004", "", "64 bits,Signed"},
      {__LINE__, '3', false, "70000|11170|10001000101110000|210560|7.000000000000000E+0004", "", "32 bits,Signed"},
  };
  ForEachCase(cases, [&](const auto& c) {
    dialog->OnShortcut(c.key, c.shift);
    EXPECT_EQ(window.Lines(), c.lines);
    EXPECT_EQ(window.lineNotes[kIdResultLineHex], c.note);
    EXPECT_EQ(window.box, "70000");
    std::string marks;
    for (const std::string item : {"8 bits", "16 bits", "32 bits", "64 bits", "Signed", "Unsigned"}) {
      if (window.menu.find(item + " *") != std::string::npos) marks += (marks.empty() ? "" : ",") + item;
    }
    EXPECT_EQ(marks, c.marks);
  });
  window.Click(kCmdWord64);
  window.Click(kCmdWordUnsigned);
  window.dialog->OnCloseRequest();
  EXPECT_EQ(Setting("INI", "wordbits"), "64");
  EXPECT_EQ(Setting("INI", "wordunsigned"), "1");
}

// At 64 bits the BIN line breaks before its last 32 digits so it fits the
// window; a copy of the line keeps the digits in one piece.
TEST_F(MainDialogTest, SixtyFourBitBinaryLineShowsTwoRows) {
  Start();
  window.Click(kCmdWord64);
  window.Type("0xFFFF_0000_FFFF_0001");
  EXPECT_EQ(window.texts[kIdResultLineBin],
            "11111111111111110000000000000000\n11111111111111110000000000000001");
  dialog->OnCopyLine(kIdResultLineBin);
  EXPECT_EQ(window.clipboard, "1111111111111111000000000000000011111111111111110000000000000001");
  window.box.clear();
  window.Type("0xFFFF_FFFF");  // 32 digits: one row
  EXPECT_EQ(window.texts[kIdResultLineBin], "11111111111111111111111111111111");
}

// "ans" is 0 until the first Calculate, then the value Calculate wrote, exact
// where exact.
TEST_F(MainDialogTest, AnsIsTheLastCalculatedValue) {
  Start();
  window.Type("ans+1");
  EXPECT_EQ(window.Lines().substr(0, 2), "1|");
  window.box.clear();
  window.Type("9007199254740993");
  window.Click(kIdCalculateButton);
  window.box.clear();
  window.Type("ans+1");
  EXPECT_EQ(window.Lines().substr(0, window.Lines().find('|')), "9007199254740994");
  window.box.clear();
  window.Type("1/0");
  window.Click(kIdCalculateButton);  // refused: ans stays
  window.box.clear();
  window.Type("ans");
  EXPECT_EQ(window.Lines().substr(0, window.Lines().find('|')), "9007199254740993");
}

TEST_F(MainDialogTest, AFailureMarksItsPlaceInTheBoxUntilTheTextCalculates) {
  const struct {
    int line;
    std::string expression;
    int start, end;
    std::string note;
  } cases[] = {
      {__LINE__, "1+(2/(3-3))", 4, 5, "error at position 5: /"},
      {__LINE__, "12+abc*2", 3, 6, "error at position 4: abc"},
      {__LINE__, "2 >> ", 2, 4, "error at position 3: >>"},
      {__LINE__, "1+sin", 5, 5, "error at position 6"},
      {__LINE__, "\xC3\xA9+1", 0, 2, "error at position 1: \xC3\xA9"},
      {__LINE__, "1+\xC3\xA9", 2, 4, "error at position 3: \xC3\xA9"},
      {__LINE__, "2*(3+4)", -1, -1, ""},
  };
  Start();
  ForEachCase(cases, [&](const auto& c) {
    window.box = c.expression;
    window.dialog->OnCommand(kIdExpressionBox, kBoxEditChange);
    EXPECT_EQ(window.boxMark.start, c.start);
    EXPECT_EQ(window.boxMark.end, c.end);
    EXPECT_EQ(window.boxMark.note, c.note);
    EXPECT_EQ(window.box, c.expression);
  });

  // Typing on behind an unclosed bracket leaves the mark where it is; a
  // text set anew (a refused paste puts the old one back) is marked again.
  window.box.clear();
  window.Type("(1+2");
  const int calls = window.boxMarkCalls;
  window.Type("*3");
  EXPECT_EQ(window.boxMarkCalls, calls);
  window.box = std::string(1500, '(');
  window.dialog->OnCommand(kIdExpressionBox, kBoxEditChange);
  EXPECT_EQ(window.box, "(1+2*3");
  EXPECT_EQ(window.boxMarkCalls, calls + 1);
  EXPECT_EQ(window.boxMark.note, "error at position 1: (");
}

TEST_F(MainDialogTest, TextOverTheLimitIsRefusedWholeAndTheBoxKeepsItsText) {
  Start();
  std::string longest(kExpressionMaxLength - 2, '1');
  longest.append("+1");
  window.box = longest;
  window.dialog->OnCommand(kIdExpressionBox, kBoxEditChange);  // 999 characters: taken
  EXPECT_TRUE(window.notices.empty());
  const std::string lines = window.Lines();
  EXPECT_EQ(std::string(engine->expression), longest);

  for (const std::string& added : {std::string("1"), std::string(5000, '2'), std::string("\xC3\xA9")}) {
    window.box = longest;
    window.box.append(added);  // a paste or one more key
    window.dialog->OnCommand(kIdExpressionBox, kBoxEditChange);
    EXPECT_EQ(window.box, longest);
    EXPECT_EQ(std::string(engine->expression), longest);
    EXPECT_EQ(window.Lines(), lines);
    ASSERT_FALSE(window.notices.empty());
    EXPECT_EQ(window.notices.back(), "expression longer than 999 characters");
  }
  EXPECT_EQ(window.notices.size(), 3u);

  // What Calculate wrote is what is kept.
  window.box.clear();
  window.Type("255");
  window.Click(kIdCalculateButton);
  window.box = std::string(1200, '3');
  window.dialog->OnCommand(kIdExpressionBox, kBoxEditChange);
  EXPECT_EQ(window.box, "255");
}

// Ctrl+Z steps back through every text the box showed, typed or put there
// by Calculate, Escape or a history entry, and Ctrl+Shift+Z forth through
// the same texts; the lines show each one's value, the caret at its end.
TEST_F(MainDialogTest, UndoAndRedoWalkEveryTextTheBoxShowedBothWays) {
  Start(0, "0=6*7\r\n");
  window.FocusBox();
  window.Type("1+2");
  window.Click(kIdCalculateButton);
  window.SelectBoxText(1, 1);  // End: after the selected result
  window.Type("*4");
  window.PressEscape();
  window.PressDown();
  window.dialog->OnCommand(kIdExpressionBox, kBoxSelEndOk);
  window.CloseBoxList();
  ASSERT_EQ(window.box, "3*4");  // the history's newest entry now
  // The value each complete text shows on the DEC line.
  const std::map<std::string, std::string> values = {{"", "0"}, {"1", "1"}, {"1+2", "3"}, {"3", "3"}, {"3*4", "12"}};
  const auto walk = [&](bool back) {
    std::vector<std::string> seen;
    while (back ? window.dialog->CanUndo() : window.dialog->CanRedo()) {
      back ? window.dialog->OnUndo() : window.dialog->OnRedo();
      seen.push_back(window.box);
      const auto value = values.find(window.box);
      if (value != values.end()) {
        EXPECT_EQ(window.texts[kIdResultLineDec], value->second) << window.box;
      }
      EXPECT_EQ(window.selectionStart, static_cast<int>(window.box.size()));
    }
    return seen;
  };
  EXPECT_EQ(walk(true), (std::vector<std::string>{"", "3*4", "3*", "3", "1+2", "1+", "1", ""}));
  window.dialog->OnUndo();  // nothing older: no change
  EXPECT_EQ(window.box, "");
  EXPECT_EQ(walk(false), (std::vector<std::string>{"1", "1+", "1+2", "3", "3*", "3*4", "", "3*4"}));
  // A new text drops what was undone.
  window.dialog->OnUndo();
  window.SelectBoxText(0, 0);
  window.Type("5+1");
  window.Click(kIdCalculateButton);
  EXPECT_EQ(window.box, "6");
  EXPECT_FALSE(window.dialog->CanRedo());
  window.dialog->OnUndo();
  EXPECT_EQ(window.box, "5+1");
}

// Ctrl+R searches the history: typing narrows it, Ctrl+R again goes to an
// older match, Enter takes the match and calculates it, Escape goes back.
TEST_F(MainDialogTest, HistorySearchNarrowsChoosesAndGoesBack) {
  Start(0, "0=sin(0)\r\n1=2^10\r\n2=0x10+1\r\n3=sin(pi/2)\r\n");
  window.Type("7*");
  window.dialog->OnHistorySearch();
  EXPECT_TRUE(window.searchShown);
  EXPECT_EQ(window.searchMatches, "sin(0)|2^10|0x10+1|sin(pi/2)");
  window.dialog->OnHistorySearchQuery("sin");
  EXPECT_EQ(window.searchMatches, "sin(0)|sin(pi/2)");
  EXPECT_EQ(window.searchSelected, 0);
  window.dialog->OnHistorySearch();
  EXPECT_EQ(window.searchSelected, 1);
  window.dialog->OnHistorySearchEnd(true);
  EXPECT_FALSE(window.searchShown);
  EXPECT_EQ(window.box, "sin(pi/2)");
  EXPECT_EQ(window.texts[kIdResultLineDec], "1");
  EXPECT_EQ(Joined(window.list), "sin(0)|2^10|0x10+1|sin(pi/2)");  // choosing adds nothing
  window.dialog->OnUndo();
  EXPECT_EQ(window.box, "7*");

  window.dialog->OnHistorySearch();
  window.dialog->OnHistorySearchQuery("cos");
  EXPECT_EQ(window.searchSelected, -1);
  window.dialog->OnHistorySearchEnd(true);  // nothing matches: nothing taken
  EXPECT_EQ(window.box, "7*");
  window.dialog->OnHistorySearch();
  window.dialog->OnHistorySearchQuery("10");
  window.dialog->OnHistorySearchSelect(1);
  window.dialog->OnHistorySearchEnd(false);
  EXPECT_FALSE(window.searchShown);
  EXPECT_EQ(window.box, "7*");
  EXPECT_TRUE(window.boxFocused);
}

TEST_F(MainDialogTest, DeclinedSettingsMeanNoWindow) {
  EXPECT_EQ(RunMainDialog(window, *engine, [](SettingsHost&) { return false; }), 0);
  EXPECT_EQ(window.modalRuns, 0);
  EXPECT_EQ(RunMainDialog(window, *engine, [](SettingsHost&) { return true; }), 0);
  EXPECT_EQ(window.modalRuns, 1);
}

}  // namespace
