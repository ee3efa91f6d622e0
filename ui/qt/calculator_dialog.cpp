#include "ui/qt/calculator_dialog.h"

#include <QAbstractItemView>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <memory>

#include "settings/optional_texts.h"
#include "ui/main_dialog.h"
#include "ui/qt/accessible_result_line.h"
#include "ui/qt/dialog_keys.h"
#include "ui/qt/dialog_layout.h"
#include "ui/qt/digit_line.h"
#include "ui/qt/history_box.h"
#include "ui/qt/history_search_popup.h"
#include "ui/qt/display_text.h"

namespace {

// The list shows about as many entries as fit into the template's 82 units.
constexpr int kVisibleListItems = 8;

// Windows' average character width: the alphabet's width over 52, rounded.
DialogUnits MeasureDialogUnits(const QFont& font) {
  const QFontMetrics metrics(font);
  const int alphabet = metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  return DialogUnits{(alphabet / 26 + 1) / 2, metrics.height()};
}

}  // namespace

CalculatorDialog::CalculatorDialog(const QFont& font) : QDialog(nullptr) {
  setWindowTitle(QStringLiteral("Quillo"));
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
  units_ = MeasureDialogUnits(font);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  menuBar_ = new QMenuBar(this);
  layout->setMenuBar(menuBar_);
  LetKeysReachMenuBar(menuBar_);

  auto* client = new QWidget(this);
  client->setFont(font);
  layout->addWidget(client);

  for (const ControlTemplate& control : kDialogControls) {
    CreateControl(client, control);
  }
  // The window's minimum size comes from these layouts; it can grow.
  ArrangeDialogControls(client, controls_, units_);
  // The label above the box names it for screen readers.
  qobject_cast<QLabel*>(Control(kIdExpressionLabel))->setBuddy(box_);
  // Only the two buttons and the box take the Tab key, in template order.
  QWidget::setTabOrder(Control(kIdCalculateButton), Control(kIdCloseButton));
  QWidget::setTabOrder(Control(kIdCloseButton), box_);
}

// Destroying the widgets moves the focus; the dialog logic hears nothing of it.
CalculatorDialog::~CalculatorDialog() { logic_ = nullptr; }

void CalculatorDialog::CreateControl(QWidget* parent, const ControlTemplate& control) {
  const QString text = QString::fromLatin1(control.text);
  QWidget* widget = nullptr;
  switch (control.kind) {
    case ControlKind::RadioButton: {
      auto* radio = new QRadioButton(text, parent);
      radio->setFocusPolicy(Qt::ClickFocus);
      connect(radio, &QRadioButton::clicked, this, [this, id = control.id] { SendCommand(id); });
      widget = radio;
      break;
    }
    case ControlKind::ResultLine:
    case ControlKind::Label: {
      // The accessible kind of a result line is decided when the label is
      // first looked at, which setting a text already does: it is marked
      // before.
      auto* label = control.kind != ControlKind::ResultLine
                        ? new QLabel(parent)
                        : CreateDigitLine(parent, [this](int bit) {
                            if (logic_ != nullptr) logic_->OnFlipBit(bit);
                          });
      if (control.kind == ControlKind::ResultLine) {
        const int form = control.id - kIdResultLineDec;
        MakeAccessibleResultLine(label, QString::fromLatin1(kDialogControls[form].text).remove(QLatin1Char('&')));
      }
      label->setText(text);
      label->setTextFormat(Qt::PlainText);
      label->setAlignment((control.kind == ControlKind::ResultLine ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignTop);
      if (control.kind == ControlKind::ResultLine) {
        // Selectable with the mouse (Ctrl+C then copies the selection), and a
        // context menu of the program's own copy commands.
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        label->setFocusPolicy(Qt::ClickFocus);
        label->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(label, &QLabel::customContextMenuRequested, this,
                [this, id = control.id](const QPoint& position) { ShowLineMenu(id, position); });
      }
      widget = label;
      break;
    }
    case ControlKind::GroupLeft:
    case ControlKind::GroupRight:
    case ControlKind::Frame: {
      auto* group = new QGroupBox(text, parent);
      group->setAlignment(control.kind == ControlKind::GroupRight ? Qt::AlignRight : Qt::AlignLeft);
      widget = group;
      break;
    }
    case ControlKind::DefaultButton:
    case ControlKind::Button: {
      auto* button = new QPushButton(text, parent);
      button->setDefault(control.kind == ControlKind::DefaultButton);
      connect(button, &QPushButton::clicked, this, [this, id = control.id] { SendCommand(id); });
      widget = button;
      break;
    }
    case ControlKind::ExpressionBox:
      CreateExpressionBox(parent);
      widget = box_;
      break;
  }
  controls_[static_cast<std::size_t>(&control - kDialogControls.data())] = widget;
}

// An editable list without Qt's own helpers, which a plain Windows box lacks:
// no completion from the history and no insertion of typed text on Enter.
void CalculatorDialog::CreateExpressionBox(QWidget* parent) {
  auto* box = new HistoryBox(parent);
  box->onListOpening = [this] { SendCommand(kIdExpressionBox, kBoxDropDown); };
  box->onListClosed = [this] { SendCommand(kIdExpressionBox, kBoxSelEndCancel); };
  box_ = box;
  box_->setEditable(true);
  box_->setInsertPolicy(QComboBox::NoInsert);
  box_->setCompleter(nullptr);
  box_->setMaxVisibleItems(kVisibleListItems);
  box_->setFocusPolicy(Qt::StrongFocus);
  // No length limit here: a longer text, typed or pasted, reaches the dialog
  // logic, which refuses it whole with a message instead of cutting it.
  box_->installEventFilter(this);
  box_->lineEdit()->installEventFilter(this);
  // textEdited, unlike textChanged, comes only from the user's own edits.
  connect(box_->lineEdit(), &QLineEdit::textEdited, this, [this] { SendCommand(kIdExpressionBox, kBoxEditChange); });
  connect(box_, &QComboBox::activated, this, [this] { SendCommand(kIdExpressionBox, kBoxSelEndOk); });
}

// The layouts are brought up to date at once, so the window has grown to its
// new minimum before anything else is drawn or measured.
void CalculatorDialog::RefitControls() {
  RefitDialogControls(controls_, units_);
  // Each nested layout (a group's, the client area's, the window's) hears
  // of a change through a posted request: they are delivered now, from the
  // inside out, one round per level.
  constexpr int kLayoutLevels = 3;
  for (QWidget* control : controls_) control->updateGeometry();
  for (int level = 0; level < kLayoutLevels; ++level) QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
  if (layout() != nullptr) layout()->activate();
}

QWidget* CalculatorDialog::Control(int id) const {
  for (std::size_t i = 0; i < kDialogControls.size(); ++i) {
    if (kDialogControls[i].id == id) {
      return controls_[i];
    }
  }
  return nullptr;
}

void CalculatorDialog::SetHotkeyRegistered(int hotkeyId, bool registered) {
  if (hotkeyId >= 1 && hotkeyId <= kHotkeyCount) {
    hotkeys_[static_cast<std::size_t>(hotkeyId)] = registered;
  }
}

bool CalculatorDialog::HotkeyRegistered(int hotkeyId) const {
  return hotkeyId >= 1 && hotkeyId <= kHotkeyCount && hotkeys_[static_cast<std::size_t>(hotkeyId)];
}

void CalculatorDialog::RebuildMenu(const MenuModel& menu) {
  menuBar_->clear();
  for (const MenuPopupModel& popup : menu.popups) {
    QMenu* qmenu = menuBar_->addMenu(ToDisplayText(popup.title));
    for (int i = 0; i < popup.itemCount; ++i) {
      const MenuItemModel& item = popup.items[i];
      if (item.text == nullptr) {
        qmenu->addSeparator();
        continue;
      }
      QAction* action = qmenu->addAction(ToDisplayText(item.text));
      action->setEnabled(item.enabled);
      if (item.checked) {
        action->setCheckable(true);
        action->setChecked(true);
      }
      // The key works while the window has the focus, the box's too.
      if (item.shortcut.text != nullptr) action->setShortcut(QKeySequence(QString::fromLatin1(item.shortcut.text)));
      connect(action, &QAction::triggered, this, [this, id = item.commandId] { SendCommand(id); });
    }
  }
}

void CalculatorDialog::EndWithResult(int result) {
  ending_ = true;
  done(result);
  ending_ = false;
}

// Focus changes of the box are its notifications 3 and 4. A popup (the
// box's own list, a menu) opening over the window does not take the focus
// from the user's point of view, so it counts as neither.
bool CalculatorDialog::eventFilter(QObject* watched, QEvent* event) {
  if (watched == box_ && (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut)) {
    if (static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason) {
      SendCommand(kIdExpressionBox, event->type() == QEvent::FocusIn ? kBoxSetFocus : kBoxKillFocus);
    }
  } else if (watched == box_->lineEdit() && event->type() == QEvent::ContextMenu) {
    ShowBoxMenu(static_cast<QContextMenuEvent*>(event)->globalPos());
    return true;
  } else if (event->type() == QEvent::ShortcutOverride && IsFormKey(*static_cast<QKeyEvent*>(event))) {
    // Taken as a key of the box, so that the radio button's mnemonic does
    // not move the focus away from the text being typed.
    event->accept();
    return true;
  } else if (event->type() == QEvent::KeyPress && OnKey(*static_cast<QKeyEvent*>(event))) {
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

// Whether the key chooses a form (Alt with a form's letter).
bool CalculatorDialog::IsFormKey(const QKeyEvent& key) {
  const KeyBinding* binding = FindKeyBinding(ChordOfKeyEvent(key));
  return binding != nullptr && binding->action == KeyAction::kChooseForm;
}

// A key of the dialog's table, carried out through the dialog logic; true
// when it was taken. Escape and Down count only while registered as
// hotkeys, Ctrl+C only with nothing selected in the box.
bool CalculatorDialog::OnKey(const QKeyEvent& key) {
  const KeyBinding* binding = FindKeyBinding(ChordOfKeyEvent(key));
  if (binding == nullptr || logic_ == nullptr) {
    return false;
  }
  KeyContext context;
  context.boxHasSelection = box_->lineEdit()->hasSelectedText();
  context.hotkeys = hotkeys_;
  return RunKeyBinding(*binding, *logic_, context);
}

void CalculatorDialog::ShowSearch(const QString& query, const QStringList& matches, int selected) {
  if (search_ == nullptr) {
    search_ = new HistorySearchPopup(box_);
  }
  search_->Connect(logic_);
  search_->Show(query, matches, selected);
}

void CalculatorDialog::HideSearch() {
  if (search_ != nullptr) {
    search_->Close();
  }
}

HistorySearchPopup* CalculatorDialog::SearchPopup() const {
  return search_ != nullptr && search_->isVisible() ? search_ : nullptr;
}

// The box's own context menu, with its Undo and Redo going to the dialog's
// undo, as the keys do, and enabled when there is a step to take. Qt's menu
// of an editable line starts with Undo, Redo and a separator; their texts
// (translated, with the keys) are kept, their targets changed.
void CalculatorDialog::ShowBoxMenu(const QPoint& globalPosition) {
  std::unique_ptr<QMenu> menu(box_->lineEdit()->createStandardContextMenu());
  const QList<QAction*> actions = menu->actions();
  if (logic_ != nullptr && actions.size() > 2 && actions[2]->isSeparator()) {
    for (const bool undo : {true, false}) {
      QAction* action = actions[undo ? 0 : 1];
      disconnect(action, &QAction::triggered, nullptr, nullptr);
      action->setEnabled(undo ? logic_->CanUndo() : logic_->CanRedo());
      connect(action, &QAction::triggered, this, [this, undo] {
        if (logic_ == nullptr) return;
        if (undo) {
          logic_->OnUndo();
        } else {
          logic_->OnRedo();
        }
      });
    }
  }
  menu->exec(globalPosition);
}

// "Copy" (this line) and "Copy all", in the language loaded now.
void CalculatorDialog::ShowLineMenu(int lineId, const QPoint& position) {
  QWidget* line = Control(lineId);
  if (logic_ == nullptr || line == nullptr) {
    return;
  }
  QMenu menu(this);
  connect(menu.addAction(ToDisplayText(OptionalText(OptionalTextIndex("copy")))), &QAction::triggered, this,
          [this, lineId] {
            if (logic_ != nullptr) logic_->OnCopyLine(lineId);
          });
  connect(menu.addAction(ToDisplayText(OptionalText(OptionalTextIndex("copyall")))), &QAction::triggered, this,
          [this] {
            if (logic_ != nullptr) logic_->OnCopyAll();
          });
  lineMenu_ = &menu;
  menu.exec(line->mapToGlobal(position));
  lineMenu_ = nullptr;
}

// The close box and Alt+F4 save and close through the dialog logic, which
// ends the dialog itself.
void CalculatorDialog::closeEvent(QCloseEvent* event) {
  if (ending_ || logic_ == nullptr) {
    event->accept();
    return;
  }
  event->ignore();
  logic_->OnCloseRequest();
}

// QDialog closes on Escape; this dialog must not (Escape outside the box
// does nothing).
void CalculatorDialog::reject() {}

void CalculatorDialog::SendCommand(int commandId, int notification) {
  if (logic_ != nullptr) {
    logic_->OnCommand(commandId, notification);
  }
}
