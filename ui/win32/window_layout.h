#pragma once
// The resizable main dialog: its controls follow the window's size as the
// control table's anchors say, and the window never gets smaller than its
// template.

#include <windows.h>

// WM_SIZE: puts every control of the table where its anchors take it in the
// dialog's client area as it is now. The template's rectangles, mapped to
// pixels with the dialog's font, are the places at the template's size.
void ArrangeDialogControls(HWND dialog);

// WM_GETMINMAXINFO: the smallest window is the one whose client area has the
// template's size under the window's frame and menu bar.
void LimitDialogSize(HWND dialog, MINMAXINFO* limits);

// The window size that gives the client area the template's size, or keeps
// a larger one; used when a menu bar is attached, which takes its height
// from the client area.
SIZE DialogWindowSizeForClient(HWND dialog);

// Grows the template's places by the ratio of displayFont's height to the
// dialog font's, where it is taller (nullptr: the template's own size), so
// the box and the lines fit the font chosen for them; the window grows to
// the new smallest size and the controls move.
void FitTemplateToFont(HWND dialog, HFONT displayFont);

// The pixels the BIN line has beyond its template's height (0 at first).
// Setting another amount makes the line that much taller, moves the
// controls below it down, grows the groups beside it and changes the
// window's height and its smallest height by the difference.
int BinaryLineRoom(HWND dialog);
void SetBinaryLineRoom(HWND dialog, int pixels);

// WM_NCDESTROY: removes what FitTemplateToFont and SetBinaryLineRoom kept on
// the window.
void ForgetTemplateScale(HWND dialog);
