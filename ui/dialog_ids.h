#pragma once
// Ids of the main dialog's controls, its commands, the box's notifications
// and the hotkeys: their one definition. Every front end and the dialog logic
// use these names; the Win32 resource script repeats the numbers in
// ui/win32/resource.h, and static_asserts there tie each one to its name here.

#include "format/result_format.h"

// Resources.
inline constexpr int kDialogTemplateId = 101;
inline constexpr int kProgramIconId = 122;
// The dialog's client area in dialog units.
inline constexpr int kDialogWidthUnits = 270;
inline constexpr int kDialogHeightUnits = 159;

// Controls.
inline constexpr int kIdExpressionBox = 1001;
inline constexpr int kIdRadioDec = 1002;  // radio buttons 1002..1006 stand for the forms DEC..EXP
inline constexpr int kIdRadioHex = 1003;
inline constexpr int kIdRadioBin = 1004;
inline constexpr int kIdRadioOct = 1005;
inline constexpr int kIdRadioExp = 1006;
inline constexpr int kIdCloseButton = 1010;
inline constexpr int kIdCalculateButton = 1011;
inline constexpr int kIdResultLineDec = 1012;  // result lines 1012..1016: DEC, HEX, BIN, OCT, EXP
inline constexpr int kIdResultLineHex = 1013;
inline constexpr int kIdResultLineBin = 1014;
inline constexpr int kIdResultLineOct = 1015;
inline constexpr int kIdResultLineExp = 1016;
inline constexpr int kIdExpressionLabel = 1019;
inline constexpr int kIdFormGroup = 1020;
inline constexpr int kIdResultGroup = 1021;
inline constexpr int kIdButtonFrame = -1;  // the frame around the two buttons has no id

// One radio button and one result line per result form, in form order.
static_assert(kIdRadioExp - kIdRadioDec + 1 == kResultFormCount);
static_assert(kIdResultLineExp - kIdResultLineDec + 1 == kResultFormCount);
inline constexpr int RadioIdOfForm(int form) { return kIdRadioDec + form; }

// The letters marked in the radio buttons' texts ("DE&C", "&HEX", ...), by
// form: Alt with one of them chooses that form.
inline constexpr char kFormMnemonics[] = "CHBOE";
static_assert(sizeof kFormMnemonics == kResultFormCount + 1);
inline constexpr int ResultLineIdOfForm(int form) { return kIdResultLineDec + form; }

// Menu commands. 1 and 2 are the platform's own OK and Cancel of a dialog;
// no menu item sends them any more, and they do nothing.
inline constexpr int kCmdChooseLanguage = 0;
inline constexpr int kCmdDisabledOk = 1;
inline constexpr int kCmdDisabledCancel = 2;
inline constexpr int kCmdHelpContents = 10;  // Help -> Contents, and F1
inline constexpr int kCmdAbout = 11;
inline constexpr int kCmdFont = 12;  // Options -> Font...: the font of the box and the lines
// The word menu: the four word sizes, then signed and unsigned.
inline constexpr int kCmdWord8 = 20;
inline constexpr int kCmdWord16 = 21;
inline constexpr int kCmdWord32 = 22;
inline constexpr int kCmdWord64 = 23;
inline constexpr int kCmdWordSigned = 24;
inline constexpr int kCmdWordUnsigned = 25;
// Options: the window stays above the others, or not.
inline constexpr int kCmdAlwaysOnTop = 30;
// Options: the digits of the HEX, BIN and OCT lines are grouped, or not.
inline constexpr int kCmdGroupDigits = 31;

// Notification codes the expression box sends with command kIdExpressionBox.
inline constexpr int kBoxSelChange = 1;  // another entry of the open list is selected
inline constexpr int kBoxSetFocus = 3;
inline constexpr int kBoxKillFocus = 4;
inline constexpr int kBoxEditChange = 5;  // the user changed the text
inline constexpr int kBoxDropDown = 7;       // the list is about to open
inline constexpr int kBoxSelEndOk = 9;       // the user chose a list entry
inline constexpr int kBoxSelEndCancel = 10;  // the list closed without a choice

// Hotkeys bound to the dialog while the expression box has the focus.
inline constexpr int kHotkeyEscape = 1;
inline constexpr int kHotkeyDown = 2;
inline constexpr int kHotkeyCount = 2;
