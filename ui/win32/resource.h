#pragma once
// Resource and control ids shared by quillo.rc and the C++ code. The numbers
// are those of ui/dialog_ids.h; win32_front_end.cpp checks that they agree.
// Plain #defines: the resource compiler reads this file too.

#define IDD_MAIN_DIALOG 101
#define MAIN_DIALOG_WIDTH 270  // client area, dialog units
#define MAIN_DIALOG_HEIGHT 159
#define IDI_PROGRAM_ICON 122

#define IDC_EXPRESSION_BOX 1001
#define IDC_RADIO_DEC 1002
#define IDC_RADIO_HEX 1003
#define IDC_RADIO_BIN 1004
#define IDC_RADIO_OCT 1005
#define IDC_RADIO_EXP 1006
#define IDC_CLOSE_BUTTON 1010
#define IDC_CALCULATE_BUTTON 1011
#define IDC_LINE_DEC 1012
#define IDC_LINE_HEX 1013
#define IDC_LINE_BIN 1014
#define IDC_LINE_OCT 1015
#define IDC_LINE_EXP 1016
#define IDC_EXPRESSION_LABEL 1019
#define IDC_FORM_GROUP 1020
#define IDC_RESULT_GROUP 1021
#define IDC_BUTTON_FRAME -1

// The word menu's commands (built at run time from the dialog's menu model).
#define IDM_WORD_8 20
#define IDM_WORD_16 21
#define IDM_WORD_32 22
#define IDM_WORD_64 23
#define IDM_WORD_SIGNED 24
#define IDM_WORD_UNSIGNED 25

// The labels that only screen readers meet (see quillo.rc): one before each
// result line, one before the box. The Windows front end's own.
#define IDC_LINE_DEC_NAME 1030
#define IDC_LINE_HEX_NAME 1031
#define IDC_LINE_BIN_NAME 1032
#define IDC_LINE_OCT_NAME 1033
#define IDC_LINE_EXP_NAME 1034
#define IDC_BOX_NAME 1035
