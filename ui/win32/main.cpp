// quillo.exe: the calculator window on Windows.

#include <windows.h>

#include <cstring>

#include "engine/calculate.h"
#include "settings/settings.h"
#include "ui/main_dialog.h"
#include "ui/win32/win32_front_end.h"

namespace {

// The RPN trace goes to the debugger output one line at a time, so that a
// debugger shows each item of the queue on a line of its own. Pieces are
// gathered until one ends a line; a line longer than the buffer is sent in
// parts. Without a debugger attached this costs next to nothing.
void SendTraceToDebugger(const char* text) {
  static char line[1024];
  static std::size_t length = 0;
  for (const char* c = text; *c != '\0'; ++c) {
    line[length++] = *c;
    if (*c == '\n' || length == sizeof line - 1) {
      line[length] = '\0';
      OutputDebugStringA(line);
      length = 0;
    }
  }
}

}  // namespace

// The command line and the show state are not used: the program takes no
// arguments and its dialog is always shown.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPSTR /*commandLine*/, int /*show*/) {
  InstallRpnTraceSink(SendTraceToDebugger);
  Win32FrontEnd frontEnd(instance);
  return RunMainDialog(frontEnd, ProgramEngineState(), LoadSettings);
}
