#pragma once
// The Qt widgets of the main dialog. The dialog only translates Qt events
// into MainDialog's commands, notifications and hotkeys; all behaviour lives
// in MainDialog.

#include <QDialog>

#include <array>

#include "ui/dialog_ids.h"
#include "ui/menu_model.h"
#include "ui/dialog_template.h"

class HistorySearchPopup;
class MainDialog;
class QComboBox;
class QMenu;
class QMenuBar;
class QFont;
class QKeyEvent;
class QPoint;

class CalculatorDialog : public QDialog {
 public:
  explicit CalculatorDialog(const QFont& font);
  ~CalculatorDialog() override;

  // Events go to this dialog logic from now on (none before).
  void Connect(MainDialog* logic) { logic_ = logic; }

  QWidget* Control(int id) const;  // nullptr for an unknown id
  QComboBox* Box() const { return box_; }
  QMenuBar* Menu() const { return menuBar_; }
  DialogUnits Units() const { return units_; }
  // Fits the layout to the controls' fonts again, after a font change.
  void RefitControls();

  void SetHotkeyRegistered(int hotkeyId, bool registered);
  bool HotkeyRegistered(int hotkeyId) const;
  void RebuildMenu(const MenuModel& menu);
  // The context menu of a result line, while it is open; nullptr otherwise.
  QMenu* LineMenu() const { return lineMenu_; }
  // Ends the modal loop (or hides the window when none runs).
  void EndWithResult(int result);
  // The history search under the box: shown with this state, or closed.
  void ShowSearch(const QString& query, const QStringList& matches, int selected);
  void HideSearch();
  // The search's popup while it shows; nullptr otherwise.
  HistorySearchPopup* SearchPopup() const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  static bool IsFormKey(const QKeyEvent& key);
  void ShowBoxMenu(const QPoint& globalPosition);
  void closeEvent(QCloseEvent* event) override;
  void reject() override;

 private:
  void CreateControl(QWidget* parent, const ControlTemplate& control);
  void CreateExpressionBox(QWidget* parent);
  bool OnKey(const QKeyEvent& key);
  void ShowLineMenu(int lineId, const QPoint& position);
  void SendCommand(int commandId, int notification = 0);

  MainDialog* logic_ = nullptr;
  DialogUnits units_{};
  QMenuBar* menuBar_ = nullptr;
  QComboBox* box_ = nullptr;
  std::array<QWidget*, kDialogControls.size()> controls_{};  // in template order
  std::array<bool, kHotkeyCount + 1> hotkeys_{};              // indexed by hotkey id
  QMenu* lineMenu_ = nullptr;  // the open context menu of a result line
  HistorySearchPopup* search_ = nullptr;  // made when first shown
  bool ending_ = false;  // EndWithResult is closing the window: let it close
};
