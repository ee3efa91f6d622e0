// quillo: the calculator window.

#include <QApplication>

#include "ui/qt/program.h"

int main(int argc, char* argv[]) {
  // Qt reads its own options (-platform, ...); the program takes none and
  // ignores every other argument.
  QApplication application(argc, argv);
  return RunQuillo();
}
