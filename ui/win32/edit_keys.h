#pragma once
// The keys of the dialog's edit fields. The box's and the result lines'
// edit fields are subclassed so that their messages reach the front end
// first (the copy and undo keys, a paste, the lines' context menu), and a
// message filter sees the modal dialog's messages before the dialog manager
// (Alt with a form's letter).

#include <windows.h>

class Win32FrontEnd;

// Puts the front end's subclass in front of edit's window procedure; nothing
// for no window or one already subclassed. The subclass removes itself when
// the window is destroyed.
void SubclassEdit(HWND edit);

// Whether the key is held down while the current message was sent.
bool KeyIsDown(int virtualKey);

// Routes the dialog messages of this thread to frontEnd->OnDialogMessage
// until StopDialogMessageFilter; returns the filter to stop, none when it
// could not be installed.
HHOOK StartDialogMessageFilter(Win32FrontEnd* frontEnd);
void StopDialogMessageFilter(HHOOK filter);
