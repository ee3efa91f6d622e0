#include "ui/qt/program.h"

#include <QApplication>

#include "engine/calculate.h"
#include "settings/settings.h"
#include "ui/main_dialog.h"
#include "ui/qt/qt_front_end.h"
#include "ui/qt/rpn_trace_log.h"

int RunQuillo() {
  // The program never runs QApplication::exec: closing the file dialog or an
  // error box during start-up must not count as the end of the program.
  QApplication::setQuitOnLastWindowClosed(false);
  QApplication::setWindowIcon(ProgramIcon());
  // Lets the desktop match the window with quillo.desktop and its icon.
  QGuiApplication::setDesktopFileName(QStringLiteral("quillo"));
  InstallRpnTraceSink(LogRpnTracePiece);
  QtFrontEnd frontEnd;
  return RunMainDialog(frontEnd, ProgramEngineState(), LoadSettings);
}
