#include "ui/qt/dialog_keys.h"

#include <QShortcut>

namespace {

int KeyOfQtKey(int key) {
  if ((key >= Qt::Key_0 && key <= Qt::Key_9) || (key >= Qt::Key_A && key <= Qt::Key_Z)) return key;  // ASCII
  if (key >= Qt::Key_F1 && key < Qt::Key_F1 + kFunctionKeyCount) return kKeyF1 + (key - Qt::Key_F1);
  switch (key) {
    case Qt::Key_Escape:
      return kKeyEscape;
    case Qt::Key_Down:
      return kKeyDown;
    case Qt::Key_Insert:
      return kKeyInsert;
    default:
      return 0;
  }
}

}  // namespace

KeyChord ChordOfKeyEvent(const QKeyEvent& event) {
  const Qt::KeyboardModifiers modifiers = event.modifiers() & ~Qt::KeypadModifier;
  if ((modifiers & Qt::MetaModifier) != 0) return {0, kModifierNone};
  unsigned bits = kModifierNone;
  if ((modifiers & Qt::ControlModifier) != 0) bits |= kModifierCtrl;
  if ((modifiers & Qt::ShiftModifier) != 0) bits |= kModifierShift;
  if ((modifiers & Qt::AltModifier) != 0) bits |= kModifierAlt;
  return {KeyOfQtKey(event.key()), bits};
}

void LetKeysReachMenuBar(QMenuBar* menuBar) {
  char name[32];
  for (const KeyBinding& binding : KeyBindings()) {
    if (binding.action != KeyAction::kOpenMenuBar) continue;
    auto* shortcut = new QShortcut(QKeySequence(QString::fromLatin1(KeyChordName(binding.chord, name, sizeof name))),
                                   menuBar->window());
    QObject::connect(shortcut, &QShortcut::activated, menuBar, [menuBar] {
      const QList<QAction*> menus = menuBar->actions();
      if (!menus.isEmpty()) menuBar->setActiveAction(menus.first());
    });
  }
}
