#include "ui/win32/win32_front_end.h"

#include <commctrl.h>
#include <commdlg.h>
#include <windowsx.h>

#include <cstring>
#include <iterator>
#include <string>

#include "settings/optional_texts.h"
#include "ui/dialog_ids.h"
#include "ui/win32/edit_keys.h"
#include "ui/win32/resource.h"
#include "ui/win32/text_conversion.h"
#include "ui/win32/window_layout.h"

namespace {

// The resource script's numbers, one by one, against their one definition.
static_assert(IDD_MAIN_DIALOG == kDialogTemplateId);
static_assert(IDI_PROGRAM_ICON == kProgramIconId);
static_assert(MAIN_DIALOG_WIDTH == kDialogWidthUnits && MAIN_DIALOG_HEIGHT == kDialogHeightUnits);
static_assert(IDC_EXPRESSION_BOX == kIdExpressionBox);
static_assert(IDC_RADIO_DEC == kIdRadioDec);
static_assert(IDM_WORD_8 == kCmdWord8 && IDM_WORD_16 == kCmdWord16 && IDM_WORD_32 == kCmdWord32 &&
              IDM_WORD_64 == kCmdWord64 && IDM_WORD_SIGNED == kCmdWordSigned && IDM_WORD_UNSIGNED == kCmdWordUnsigned);
static_assert(IDC_RADIO_HEX == kIdRadioHex);
static_assert(IDC_RADIO_BIN == kIdRadioBin);
static_assert(IDC_RADIO_OCT == kIdRadioOct);
static_assert(IDC_RADIO_EXP == kIdRadioExp);
static_assert(IDC_CLOSE_BUTTON == kIdCloseButton);
static_assert(IDC_CALCULATE_BUTTON == kIdCalculateButton);
static_assert(IDC_LINE_DEC == kIdResultLineDec);
static_assert(IDC_LINE_HEX == kIdResultLineHex);
static_assert(IDC_LINE_BIN == kIdResultLineBin);
static_assert(IDC_LINE_OCT == kIdResultLineOct);
static_assert(IDC_LINE_EXP == kIdResultLineExp);
static_assert(IDC_EXPRESSION_LABEL == kIdExpressionLabel);
static_assert(IDC_FORM_GROUP == kIdFormGroup);
static_assert(IDC_RESULT_GROUP == kIdResultGroup);
static_assert(IDC_BUTTON_FRAME == kIdButtonFrame);
// The menu commands the dialog gets as WM_COMMAND; 1 and 2 are also the
// dialog manager's own IDOK and IDCANCEL, which the dialog logic ignores.
static_assert(kCmdDisabledOk == IDOK && kCmdDisabledCancel == IDCANCEL);
static_assert(CBN_SETFOCUS == kBoxSetFocus && CBN_KILLFOCUS == kBoxKillFocus &&
              CBN_EDITCHANGE == kBoxEditChange && CBN_SELENDOK == kBoxSelEndOk);
static_assert(CBN_SELCHANGE == kBoxSelChange && CBN_DROPDOWN == kBoxDropDown && CBN_SELENDCANCEL == kBoxSelEndCancel);

// The file dialog's two filters, each a description and a pattern.
constexpr wchar_t kLanguageFilters[] = L"Quillo language (*.lng)\0*.lng\0All files (*.*)\0*.*\0";

// The hidden labels of quillo.rc, each with the control whose text it
// repeats: a result line is named after its form's radio button, the box
// after the expression label.
struct HiddenLabel {
  int labelId;
  int sourceId;
};
constexpr HiddenLabel kHiddenLabels[] = {{IDC_LINE_DEC_NAME, kIdRadioDec}, {IDC_LINE_HEX_NAME, kIdRadioHex},
                                         {IDC_LINE_BIN_NAME, kIdRadioBin}, {IDC_LINE_OCT_NAME, kIdRadioOct},
                                         {IDC_LINE_EXP_NAME, kIdRadioExp}, {IDC_BOX_NAME, kIdExpressionLabel}};
static_assert(std::size(kHiddenLabels) == kResultFormCount + 1);

// Copies the text of label's source control, as shown, into the label.
void RepeatInHiddenLabel(HWND dialog, const HiddenLabel& label) {
  const std::wstring text = WithoutMnemonic(WindowText(GetDlgItem(dialog, label.sourceId)));
  SetDlgItemTextW(dialog, label.labelId, text.c_str());
}

// The commands of a result line's context menu, returned by TrackPopupMenu.
constexpr UINT kMenuCopy = 1;
constexpr UINT kMenuCopyAll = 2;

// A tool of the tooltip control: one window, its tip shown while the mouse
// rests on it. The size of the structure that every version of the common
// controls accepts.
TTTOOLINFOW ToolOf(HWND dialog, HWND tool, wchar_t* text) {
  TTTOOLINFOW info{};
  info.cbSize = TTTOOLINFOW_V2_SIZE;
  info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  info.hwnd = dialog;
  info.uId = reinterpret_cast<UINT_PTR>(tool);
  info.lpszText = text;
  return info;
}

// A pop-up menu of the model's items; disabled items are also grayed.
HMENU BuildPopup(const MenuPopupModel& popup) {
  HMENU menu = CreatePopupMenu();
  for (int i = 0; i < popup.itemCount; ++i) {
    const MenuItemModel& item = popup.items[i];
    if (item.text == nullptr) {
      AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
      continue;
    }
    const UINT state = (item.enabled ? MF_ENABLED : MF_DISABLED | MF_GRAYED) | (item.checked ? MF_CHECKED : 0);
    // A tab before the key's name sets it in the menu's right column.
    std::string text = item.text;
    if (item.shortcut.text != nullptr) text += std::string("\t") + item.shortcut.text;
    AppendMenuW(menu, MF_STRING | state, static_cast<UINT_PTR>(item.commandId), ToWide(text.c_str()).c_str());
  }
  return menu;
}

}  // namespace

Win32FrontEnd::Win32FrontEnd(HINSTANCE instance) : instance_(instance) {}

void Win32FrontEnd::RunModal(MainDialog& dialog) {
  dialog_ = &dialog;
  HHOOK filter = StartDialogMessageFilter(this);
  const INT_PTR result = DialogBoxParamW(instance_, MAKEINTRESOURCEW(IDD_MAIN_DIALOG), nullptr, MainDialogProc,
                                         reinterpret_cast<LPARAM>(this));
  StopDialogMessageFilter(filter);
  if (result == -1) {
    ShowErrorBox(kErrorCaption, "Can't create the main window\nProgram terminated...");
  }
  dialog_ = nullptr;
  window_ = nullptr;
  menu_ = nullptr;  // destroyed with the window
  tips_ = nullptr;  // likewise, being owned by it
}

void Win32FrontEnd::OnInitDialog(HWND window) {
  window_ = window;
  PrepareLinesAndTips();
  for (const HiddenLabel& label : kHiddenLabels) {
    RepeatInHiddenLabel(window_, label);
  }
  if (dialog_ != nullptr) {
    dialog_->Initialise();
  }
}

void Win32FrontEnd::OnCommand(int commandId, int notification) {
  if (OnSearchCommand(commandId, notification)) {
    return;
  }
  // Text the program puts into the box is not a user edit.
  if (commandId == kIdExpressionBox && notification == kBoxEditChange && settingBoxText_) {
    return;
  }
  if (dialog_ != nullptr) {
    dialog_->OnCommand(commandId, notification);
  }
}

void Win32FrontEnd::OnHotkey(int hotkeyId) {
  if (dialog_ != nullptr) {
    dialog_->OnHotkey(hotkeyId);
  }
}

void Win32FrontEnd::OnCloseRequest() {
  if (dialog_ != nullptr) {
    dialog_->OnCloseRequest();
  }
}

void Win32FrontEnd::OnSessionEnd() {
  if (dialog_ != nullptr) {
    dialog_->OnSessionEnd();
  }
}

HWND Win32FrontEnd::Box() const { return window_ != nullptr ? GetDlgItem(window_, kIdExpressionBox) : nullptr; }

HWND Win32FrontEnd::BoxEdit() const {
  HWND box = Box();
  return box != nullptr ? FindWindowExW(box, nullptr, L"Edit", nullptr) : nullptr;
}

// The result lines are read-only edit fields, so the mouse can select their
// text; they, the box's edit field and the tooltip control of the integer
// lines and the box are set up before the dialog logic fills them.
void Win32FrontEnd::PrepareLinesAndTips() {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
  tips_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                          CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_, nullptr, instance_,
                          nullptr);
  wchar_t empty[] = L"";
  const HWND tools[] = {GetDlgItem(window_, kIdResultLineHex), GetDlgItem(window_, kIdResultLineBin),
                        GetDlgItem(window_, kIdResultLineOct), BoxEdit()};
  for (HWND tool : tools) {
    TTTOOLINFOW info = ToolOf(window_, tool, empty);
    SendMessageW(tips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
  }
  // Wide enough for a note on one line; longer ones wrap.
  SendMessageW(tips_, TTM_SETMAXTIPWIDTH, 0, 600);
  for (int id = kIdResultLineDec; id <= kIdResultLineExp; ++id) {
    SubclassEdit(GetDlgItem(window_, id));
  }
  ApplyResultLineFont();
  SubclassEdit(BoxEdit());
}

// An empty note leaves the tool without a tip: nothing shows.
void Win32FrontEnd::SetTip(HWND tool, const char* note) {
  if (tips_ == nullptr || tool == nullptr) {
    return;
  }
  std::wstring text = ToWide(note != nullptr ? note : "");
  TTTOOLINFOW info = ToolOf(window_, tool, text.data());
  SendMessageW(tips_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&info));
}

void Win32FrontEnd::OnContextMenu(HWND target, int x, int y) {
  const int id = target != nullptr ? GetDlgCtrlID(target) : 0;
  if (dialog_ == nullptr || GetParent(target) != window_ || !IsResultLine(id)) {
    return;
  }
  if (x == -1 && y == -1) {  // from the keyboard: under the line
    RECT rect{};
    GetWindowRect(target, &rect);
    x = rect.left;
    y = rect.bottom;
  }
  HMENU menu = CreatePopupMenu();
  AppendMenuW(menu, MF_STRING, kMenuCopy, ToWide(OptionalText(OptionalTextIndex("copy"))).c_str());
  AppendMenuW(menu, MF_STRING, kMenuCopyAll, ToWide(OptionalText(OptionalTextIndex("copyall"))).c_str());
  const UINT chosen = static_cast<UINT>(
      TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, x, y, 0, window_, nullptr));
  DestroyMenu(menu);
  if (dialog_ == nullptr) {
    return;
  }
  if (chosen == kMenuCopy) {
    dialog_->OnCopyLine(id);
  } else if (chosen == kMenuCopyAll) {
    dialog_->OnCopyAll();
  }
}

bool Win32FrontEnd::AskForLanguageFile(const LanguageFileQuestion& question, char* path, unsigned capacity) {
  // The wide dialog: the settings code takes paths as UTF-8, so a folder in
  // any script comes through whatever the system's code page.
  std::wstring chosen = ToWide(question.preselected);
  chosen.resize(32768, L'\0');
  const std::wstring folder = ToWide(question.folder);
  // The title is a language text, in the language file's encoding.
  const std::wstring title = ToWide(question.title);
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = nullptr;
  dialog.lpstrFilter = kLanguageFilters;
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = chosen.data();
  dialog.nMaxFile = static_cast<DWORD>(chosen.size());
  dialog.lpstrInitialDir = folder.c_str();
  dialog.lpstrTitle = title.c_str();
  // No option flags: a typed name of a file that does not exist is accepted,
  // and the caller reports a file it cannot open. The name field starts
  // with the file of the user's language, so Enter takes it.
  dialog.Flags = 0;
  if (!GetOpenFileNameW(&dialog)) return false;
  const int count = WideCharToMultiByte(CP_UTF8, 0, chosen.c_str(), -1, nullptr, 0, nullptr, nullptr);
  if (count <= 0 || static_cast<unsigned>(count) > capacity) return false;  // a path too long is no choice
  WideCharToMultiByte(CP_UTF8, 0, chosen.c_str(), -1, path, count, nullptr, nullptr);
  return true;
}

void Win32FrontEnd::ShowErrorBox(const char* caption, const char* text) {
  // The settings code has put any path in the text into UTF-8 already.
  MessageBoxW(nullptr, ToWide(text).c_str(), ToWide(caption).c_str(), MB_ICONERROR | MB_OK);
}

bool Win32FrontEnd::AskToWaitAgain(const char* caption, const char* text) {
  return MessageBoxW(window_, ToWide(text).c_str(), ToWide(caption).c_str(), MB_ICONWARNING | MB_RETRYCANCEL) ==
         IDRETRY;
}

void Win32FrontEnd::SetControlText(int controlId, const char* text) {
  if (window_ != nullptr) {
    // A line of several rows (the 64-bit BIN line) breaks them with CR LF,
    // as a multi-line edit field needs.
    std::string rows;
    for (const char* c = text; *c != '\0'; ++c) {
      if (*c == '\n') rows += '\r';
      rows += *c;
    }
    SetDlgItemTextW(window_, controlId, ToWide(rows.c_str()).c_str());
    // A new language's expression label renames the box as well.
    for (const HiddenLabel& label : kHiddenLabels) {
      if (label.sourceId == controlId) {
        RepeatInHiddenLabel(window_, label);
      }
    }
  }
}

void Win32FrontEnd::AttachMenu(const MenuModel& menu) {
  if (window_ == nullptr) {
    return;
  }
  HMENU bar = CreateMenu();
  for (const MenuPopupModel& popup : menu.popups) {
    AppendMenuW(bar, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(BuildPopup(popup)),
                ToWide(popup.title).c_str());
  }
  SetMenu(window_, bar);
  if (menu_ != nullptr) {
    DestroyMenu(menu_);
  }
  menu_ = bar;
  KeepTemplateClientSize();
}

// The template gives the smallest size of the client area. A menu bar
// attached later takes its height from the client area and would cut off the
// buttons at the bottom, so the window grows by the menu's height instead,
// keeping its centre where it was; a client area the user made larger stays.
void Win32FrontEnd::KeepTemplateClientSize() {
  const SIZE wanted = DialogWindowSizeForClient(window_);
  RECT now{};
  GetWindowRect(window_, &now);
  const int width = wanted.cx;
  const int height = wanted.cy;
  const int left = now.left - (width - (now.right - now.left)) / 2;
  const int top = now.top - (height - (now.bottom - now.top)) / 2;
  SetWindowPos(window_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32FrontEnd::InsertHistoryItemAtTop(const char* text) {
  if (window_ != nullptr) {
    SendMessageW(Box(), CB_INSERTSTRING, 0, reinterpret_cast<LPARAM>(ToWide(text).c_str()));
  }
}

void Win32FrontEnd::AppendHistoryItem(const char* text) {
  if (window_ != nullptr) {
    SendMessageW(Box(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ToWide(text).c_str()));
  }
}

int Win32FrontEnd::HistoryItemCount() {
  if (window_ == nullptr) {
    return 0;
  }
  const LRESULT count = SendMessageW(Box(), CB_GETCOUNT, 0, 0);
  return count > 0 ? static_cast<int>(count) : 0;
}

void Win32FrontEnd::HistoryItemText(int index, char* buffer, unsigned capacity) {
  std::wstring text;
  if (window_ != nullptr) {
    const LRESULT length = SendMessageW(Box(), CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length > 0) {
      text.assign(static_cast<std::size_t>(length) + 1, L'\0');
      const LRESULT copied =
          SendMessageW(Box(), CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
      text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
    }
  }
  CopyAsUtf8(text, buffer, capacity);
}

void Win32FrontEnd::DeleteLastHistoryItem() {
  const int count = HistoryItemCount();
  if (count > 0) {
    SendMessageW(Box(), CB_DELETESTRING, static_cast<WPARAM>(count - 1), 0);
  }
}

void Win32FrontEnd::BoxText(char* buffer, unsigned capacity) {
  CopyAsUtf8(window_ != nullptr ? WindowText(Box()) : std::wstring(), buffer, capacity);
}

void Win32FrontEnd::SetBoxText(const char* text) {
  if (window_ == nullptr) {
    return;
  }
  // The combo box sends no CBN_EDITCHANGE for text set this way; should its
  // edit field report the change all the same, OnCommand drops the report.
  settingBoxText_ = true;
  SetWindowTextW(Box(), ToWide(text).c_str());
  settingBoxText_ = false;
}

void Win32FrontEnd::SelectBoxText(int start, int end) {
  if (window_ == nullptr) {
    return;
  }
  const std::wstring text = WindowText(Box());
  const int first = start < 0 ? -1 : Utf16Offset(text, start);
  const int last = end < 0 ? -1 : Utf16Offset(text, end);
  SendMessageW(Box(), CB_SETEDITSEL, 0, MAKELPARAM(first, last));
}

void Win32FrontEnd::BoxTextSelection(int* start, int* end) {
  *start = *end = 0;
  if (window_ == nullptr) {
    return;
  }
  DWORD first = 0;
  DWORD last = 0;
  SendMessageW(Box(), CB_GETEDITSEL, reinterpret_cast<WPARAM>(&first), reinterpret_cast<LPARAM>(&last));
  const std::wstring text = WindowText(Box());
  *start = Utf8Offset(text, static_cast<int>(first));
  *end = Utf8Offset(text, static_cast<int>(last));
}

int Win32FrontEnd::BoxSelection() {
  if (window_ == nullptr) {
    return -1;
  }
  const LRESULT index = SendMessageW(Box(), CB_GETCURSEL, 0, 0);
  return index == CB_ERR ? -1 : static_cast<int>(index);
}

void Win32FrontEnd::CloseBoxList() {
  if (window_ != nullptr) {
    SendMessageW(Box(), CB_SHOWDROPDOWN, FALSE, 0);
  }
}

void Win32FrontEnd::OpenBoxList() {
  if (window_ != nullptr) {
    SendMessageW(Box(), CB_SHOWDROPDOWN, TRUE, 0);
  }
}

void Win32FrontEnd::SelectBoxItem(int index) {
  if (window_ != nullptr) {
    SendMessageW(Box(), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  }
}

void Win32FrontEnd::FocusBox() {
  // The box passes the focus to its edit field and reports CBN_SETFOCUS.
  if (window_ != nullptr) {
    SetFocus(Box());
  }
}

void Win32FrontEnd::CheckRadioButton(int firstId, int lastId, int checkedId) {
  if (window_ != nullptr) {
    ::CheckRadioButton(window_, firstId, lastId, checkedId);
  }
}

void Win32FrontEnd::RegisterHotkey(int hotkeyId) {
  const KeyBinding* binding = FindBindingOf(KeyAction::kHotkey, hotkeyId);
  if (window_ == nullptr || binding == nullptr) {
    return;
  }
  UINT modifiers = 0;
  if ((binding->chord.modifiers & kModifierCtrl) != 0) modifiers |= MOD_CONTROL;
  if ((binding->chord.modifiers & kModifierShift) != 0) modifiers |= MOD_SHIFT;
  if ((binding->chord.modifiers & kModifierAlt) != 0) modifiers |= MOD_ALT;
  // The result is not checked: when another program holds the key, it keeps
  // its ordinary meaning in the box.
  RegisterHotKey(window_, hotkeyId, modifiers, VirtualKeyOf(binding->chord.key));
}

void Win32FrontEnd::UnregisterHotkey(int hotkeyId) {
  if (window_ != nullptr) {
    UnregisterHotKey(window_, hotkeyId);
  }
}

void Win32FrontEnd::SetClipboardText(const char* text) {
  if (window_ == nullptr) {
    return;
  }
  const std::wstring wide = WithCrLf(ToWide(text));
  const std::size_t bytes = (wide.size() + 1) * sizeof(wchar_t);
  HGLOBAL data = GlobalAlloc(GMEM_MOVEABLE, bytes);
  if (data == nullptr) {
    return;
  }
  if (void* target = GlobalLock(data)) {
    std::memcpy(target, wide.c_str(), bytes);
    GlobalUnlock(data);
  }
  // The clipboard owns the data once SetClipboardData takes it.
  if (!OpenClipboard(window_)) {
    GlobalFree(data);
    MessageBeep(MB_ICONWARNING);
    return;
  }
  EmptyClipboard();
  if (SetClipboardData(CF_UNICODETEXT, data) == nullptr) {
    GlobalFree(data);
  }
  CloseClipboard();
}

void Win32FrontEnd::Beep() { MessageBeep(MB_OK); }

void Win32FrontEnd::ShowNotice(const char* text) {
  MessageBoxW(window_, ToWide(text).c_str(), L"Quillo", MB_ICONINFORMATION | MB_OK);
}

void Win32FrontEnd::MarkResultLine(int controlId, const char* note) {
  if (window_ != nullptr) {
    SetTip(GetDlgItem(window_, controlId), note);
  }
}

// The edit field keeps its text, caret and selection: the place is told
// only by the box's tooltip, which names the position and the token.
void Win32FrontEnd::MarkBoxError(int start, int /*end*/, const char* note) {
  if (window_ != nullptr) {
    SetTip(BoxEdit(), start >= 0 ? note : "");
  }
}

void Win32FrontEnd::SetAlwaysOnTop(bool onTop) {
  if (window_ == nullptr) return;
  onTop_ = onTop;
  SetWindowPos(window_, onTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  KeepHelpAbove();  // into the same band, above the window again
}

void Win32FrontEnd::ApplyProgramIcon() {
  if (window_ == nullptr) {
    return;
  }
  // The icon of the dialog's window class, in the sizes the system asks for
  // (title bar and task bar); LR_SHARED icons are freed by the system.
  const auto load = [this](int sizeX, int sizeY) {
    return LoadImageW(instance_, MAKEINTRESOURCEW(IDI_PROGRAM_ICON), IMAGE_ICON, GetSystemMetrics(sizeX),
                      GetSystemMetrics(sizeY), LR_SHARED);
  };
  SetClassLongPtrW(window_, GCLP_HICON, reinterpret_cast<LONG_PTR>(load(SM_CXICON, SM_CYICON)));
  SetClassLongPtrW(window_, GCLP_HICONSM, reinterpret_cast<LONG_PTR>(load(SM_CXSMICON, SM_CYSMICON)));
}

void Win32FrontEnd::ShowAboutBox(const char* title, const char* text) {
  MessageBoxW(nullptr, ToWide(text).c_str(), ToWide(title).c_str(), MB_ICONINFORMATION | MB_OK);
}

void Win32FrontEnd::EndDialog(int result) {
  if (window_ != nullptr) {
    ::EndDialog(window_, result);
  }
}


INT_PTR CALLBACK MainDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* frontEnd = reinterpret_cast<Win32FrontEnd*>(GetWindowLongPtrW(window, DWLP_USER));
  switch (message) {
    case WM_INITDIALOG:
      SetWindowLongPtrW(window, DWLP_USER, lParam);
      reinterpret_cast<Win32FrontEnd*>(lParam)->OnInitDialog(window);
      break;  // FALSE: the focus stays in the expression box
    case WM_COMMAND:
      if (frontEnd != nullptr) {
        frontEnd->OnCommand(LOWORD(wParam), HIWORD(wParam));
      }
      break;
    case WM_HOTKEY:
      if (frontEnd != nullptr) {
        frontEnd->OnHotkey(static_cast<int>(wParam));
      }
      break;
    case WM_CLOSE:
      if (frontEnd != nullptr) {
        frontEnd->OnCloseRequest();
      }
      break;
    case WM_CONTEXTMENU:
      if (frontEnd != nullptr) {
        frontEnd->OnContextMenu(reinterpret_cast<HWND>(wParam), GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      }
      break;
    case WM_SIZE:
      ArrangeDialogControls(window);
      break;
    case WM_WINDOWPOSCHANGING:
      if (frontEnd != nullptr) {
        frontEnd->OnWindowPosChanging(*reinterpret_cast<WINDOWPOS*>(lParam));
      }
      break;
    case WM_GETMINMAXINFO:
      LimitDialogSize(window, reinterpret_cast<MINMAXINFO*>(lParam));
      break;
    case WM_NCDESTROY:
      ForgetTemplateScale(window);
      break;
    case WM_HELP:
      // F1, wherever the focus is in the dialog.
      if (frontEnd != nullptr) {
        frontEnd->OnCommand(kCmdHelpContents, 0);
      }
      break;
    case WM_ENDSESSION:
      // The session is ending for certain: save as a close would.
      if (frontEnd != nullptr && wParam != FALSE) {
        frontEnd->OnSessionEnd();
      }
      break;
    default:
      break;
  }
  return FALSE;
}
