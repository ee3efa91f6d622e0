#pragma once
// The Qt side of the key table (ui/key_bindings.h): Qt's key codes in the
// table's terms, and the keys that reach the menu bar.

#include <QKeyEvent>
#include <QMenuBar>

#include "ui/key_bindings.h"

// The chord of a key press; key 0, bound to nothing, for a key the table has
// no code for or a chord with the Meta key.
KeyChord ChordOfKeyEvent(const QKeyEvent& event);

// Each key the table binds to kOpenMenuBar (F10) opens the first menu of
// menuBar, wherever the focus is in its window. Alt alone needs nothing:
// the Fusion and Windows styles give the menu bar the keyboard on it.
void LetKeysReachMenuBar(QMenuBar* menuBar);
