// quillo.exe: the calculator window on Windows.

#include <windows.h>

#include "engine/calculate.h"
#include "settings/settings.h"
#include "ui/main_dialog.h"
#include "ui/win32/win32_front_end.h"

namespace {

// The RPN trace goes to the debugger output, piece by piece; without a
// debugger attached it costs next to nothing.
void SendTraceToDebugger(const char* text) { OutputDebugStringA(text); }

}  // namespace

// The command line and the show state are not used: the program takes no
// arguments and its dialog is always shown.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPSTR /*commandLine*/, int /*show*/) {
  InstallRpnTraceSink(SendTraceToDebugger);
  Win32FrontEnd frontEnd(instance);
  return RunMainDialog(frontEnd, ProgramEngineState(), LoadSettings);
}
