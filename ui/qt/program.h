#pragma once
// The whole run of the windowed program once the QApplication exists.

// Loads the settings and the language (asking for a language file on a first
// run), then runs the calculator window until it is closed. Returns the exit
// code, which is always 0.
int RunQuillo();
