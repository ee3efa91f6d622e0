#include "ui/win32/win32_front_end.h"

#include <commctrl.h>
#include <commdlg.h>
#include <windowsx.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <string>
#include <string_view>

#include "settings/optional_texts.h"
#include "settings/text_encoding.h"
#include "ui/dialog_ids.h"
#include "ui/win32/resource.h"

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

// The keys of the hotkeys 1 (Escape) and 2 (Down arrow), bound without
// modifier keys.
struct HotkeyKey {
  int id;
  UINT virtualKey;
};
constexpr HotkeyKey kHotkeyKeys[] = {{kHotkeyEscape, VK_ESCAPE}, {kHotkeyDown, VK_DOWN}};
static_assert(std::size(kHotkeyKeys) == kHotkeyCount);

// The file dialog's two filters, each a description and a pattern.
constexpr wchar_t kLanguageFilters[] = L"Quillo language (*.lng)\0*.lng\0All files (*.*)\0*.*\0";

// Program bytes as UTF-16 for the wide window functions: valid UTF-8 as it is,
// anything else read as Windows-1251 (see text_encoding.h).
std::wstring ToWide(const char* text) {
  // A Windows-1251 byte becomes at most three UTF-8 bytes.
  std::string utf8(std::strlen(text) * 3 + 1, '\0');
  ConvertToDisplayText(text, utf8.data(), utf8.size());
  const int count = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, nullptr, 0);
  if (count <= 0) {
    return std::wstring();
  }
  std::wstring wide(static_cast<std::size_t>(count), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, wide.data(), count);
  wide.resize(static_cast<std::size_t>(count) - 1);  // the terminator
  return wide;
}

// Copies text as UTF-8 into buffer, cut at a character boundary to fit
// capacity - 1 bytes, always terminated.
void CopyAsUtf8(const std::wstring& text, char* buffer, unsigned capacity) {
  if (capacity == 0) {
    return;
  }
  const int wideLength = static_cast<int>(text.size());
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), wideLength, nullptr, 0, nullptr, nullptr);
  std::string utf8(size > 0 ? static_cast<std::size_t>(size) : 0, '\0');
  if (size > 0) {
    WideCharToMultiByte(CP_UTF8, 0, text.data(), wideLength, utf8.data(), size, nullptr, nullptr);
  }
  const std::size_t length = Utf8PrefixLength(utf8, capacity - 1);
  std::memcpy(buffer, utf8.data(), length);
  buffer[length] = '\0';
}

std::wstring WindowText(HWND window) {
  const int length = GetWindowTextLengthW(window);
  if (length <= 0) {
    return std::wstring();
  }
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const int copied = GetWindowTextW(window, text.data(), length + 1);
  text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
  return text;
}

// The UTF-16 position in text that follows its first byteOffset bytes of
// UTF-8: the dialog counts in bytes, the edit field in UTF-16 units.
int Utf16Offset(const std::wstring& text, int byteOffset) {
  int bytes = 0;
  std::size_t i = 0;
  while (i < text.size() && bytes < byteOffset) {
    const wchar_t c = text[i];
    if (c < 0x80) {
      bytes += 1;
    } else if (c < 0x800) {
      bytes += 2;
    } else if (IS_HIGH_SURROGATE(c) && i + 1 < text.size()) {
      bytes += 4;
      ++i;
    } else {
      bytes += 3;
    }
    ++i;
  }
  return static_cast<int>(i);
}

// The number of UTF-8 bytes of text's first utf16Offset UTF-16 units: the
// way back from Utf16Offset.
int Utf8Offset(const std::wstring& text, int utf16Offset) {
  int bytes = 0;
  const std::size_t end = std::min(text.size(), static_cast<std::size_t>(utf16Offset < 0 ? 0 : utf16Offset));
  for (std::size_t i = 0; i < end; ++i) {
    const wchar_t c = text[i];
    if (c < 0x80) {
      bytes += 1;
    } else if (c < 0x800) {
      bytes += 2;
    } else if (IS_HIGH_SURROGATE(c) && i + 1 < end) {
      bytes += 4;
      ++i;
    } else {
      bytes += 3;
    }
  }
  return bytes;
}

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

// A control's text as it reads on the screen: a lone "&" only marks the
// mnemonic letter, "&&" shows one "&".
std::wstring WithoutMnemonic(const std::wstring& text) {
  std::wstring shown;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'&' && ++i == text.size()) {
      break;
    }
    shown += text[i];
  }
  return shown;
}

// Copies the text of label's source control, as shown, into the label.
void RepeatInHiddenLabel(HWND dialog, const HiddenLabel& label) {
  const std::wstring text = WithoutMnemonic(WindowText(GetDlgItem(dialog, label.sourceId)));
  SetDlgItemTextW(dialog, label.labelId, text.c_str());
}

// The commands of a result line's context menu, returned by TrackPopupMenu.
constexpr UINT kMenuCopy = 1;
constexpr UINT kMenuCopyAll = 2;

// The window property that keeps an edit field's own window procedure while
// the front end's subclass sits in front of it.
constexpr wchar_t kOriginalProcProperty[] = L"QuilloEditProc";

bool IsResultLine(int id) { return id >= kIdResultLineDec && id <= kIdResultLineExp; }

// The history search's controls, made by the front end beside the template's:
// their ids lie above every id of the template.
constexpr int kIdSearchField = 1100;
constexpr int kIdSearchList = 1101;
constexpr int kSearchVisibleRows = 8;

bool KeyIsDown(int virtualKey) { return (GetKeyState(virtualKey) & 0x8000) != 0; }

// The edit fields of the box and the result lines pass their messages to
// the front end first: the copy keys, a paste, the lines' context menu.
LRESULT CALLBACK EditSubclassProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
  const auto original = reinterpret_cast<WNDPROC>(GetPropW(edit, kOriginalProcProperty));
  auto* frontEnd = reinterpret_cast<Win32FrontEnd*>(GetWindowLongPtrW(GetAncestor(edit, GA_ROOT), DWLP_USER));
  // The search field takes Enter and Escape itself, as keys of the search,
  // rather than the dialog's default button and cancel.
  if (message == WM_GETDLGCODE && GetDlgCtrlID(edit) == kIdSearchField) {
    return CallWindowProcW(original, edit, message, wParam, lParam) | DLGC_WANTALLKEYS;
  }
  // The box's undo is the dialog's: its context menu's Undo is offered when
  // the dialog has a step to take back.
  if (message == EM_CANUNDO && frontEnd != nullptr && frontEnd->IsBoxEdit(edit)) {
    return frontEnd->CanUndoBox() ? TRUE : FALSE;
  }
  if (frontEnd != nullptr && frontEnd->OnEditMessage(edit, message, wParam, lParam)) {
    return 0;
  }
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
    RemovePropW(edit, kOriginalProcProperty);
  }
  return CallWindowProcW(original, edit, message, wParam, lParam);
}

void SubclassEdit(HWND edit) {
  if (edit == nullptr || GetPropW(edit, kOriginalProcProperty) != nullptr) {
    return;
  }
  const LONG_PTR original = GetWindowLongPtrW(edit, GWLP_WNDPROC);
  SetPropW(edit, kOriginalProcProperty, reinterpret_cast<HANDLE>(original));
  SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(EditSubclassProc));
}

// Plain text on the clipboard ends its lines with CR LF.
std::wstring WithCrLf(const std::wstring& text) {
  std::wstring out;
  out.reserve(text.size() + 8);
  for (wchar_t c : text) {
    if (c == L'\n') out += L'\r';
    out += c;
  }
  return out;
}

// The clipboard's text up to its first line break, as a one-line edit
// field takes it; empty when it holds no text.
std::wstring ClipboardFirstLine(HWND owner) {
  std::wstring text;
  if (!OpenClipboard(owner)) {
    return text;
  }
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
      text = chars;
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  const std::size_t end = text.find_first_of(L"\r\n");
  if (end != std::wstring::npos) {
    text.resize(end);
  }
  return text;
}

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

// The front end whose dialog runs on this thread, for the message filter.
thread_local Win32FrontEnd* tRunningFrontEnd = nullptr;

// Sees each message of the modal dialog's loop before the dialog manager.
LRESULT CALLBACK DialogMessageFilter(int code, WPARAM wParam, LPARAM lParam) {
  if (code == MSGF_DIALOGBOX && tRunningFrontEnd != nullptr &&
      tRunningFrontEnd->OnDialogMessage(*reinterpret_cast<const MSG*>(lParam))) {
    return TRUE;
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

Win32FrontEnd::Win32FrontEnd(HINSTANCE instance) : instance_(instance) {}

void Win32FrontEnd::RunModal(MainDialog& dialog) {
  dialog_ = &dialog;
  tRunningFrontEnd = this;
  HHOOK filter = SetWindowsHookExW(WH_MSGFILTER, DialogMessageFilter, nullptr, GetCurrentThreadId());
  const INT_PTR result = DialogBoxParamW(instance_, MAKEINTRESOURCEW(IDD_MAIN_DIALOG), nullptr, MainDialogProc,
                                         reinterpret_cast<LPARAM>(this));
  if (filter != nullptr) UnhookWindowsHookEx(filter);
  tRunningFrontEnd = nullptr;
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

bool Win32FrontEnd::CanUndoBox() const { return dialog_ != nullptr && dialog_->CanUndo(); }

bool Win32FrontEnd::OnDialogMessage(const MSG& message) {
  if (message.message != WM_SYSCHAR || dialog_ == nullptr || message.hwnd != BoxEdit()) {
    return false;
  }
  const WPARAM letter = message.wParam;
  return letter < 0x80 && dialog_->OnFormKey(static_cast<char>(letter));
}

bool Win32FrontEnd::OnEditMessage(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
  if (dialog_ == nullptr) {
    return false;
  }
  if (IsResultLine(GetDlgCtrlID(edit))) {
    if (message != WM_CONTEXTMENU) {
      return false;
    }
    OnContextMenu(edit, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    return true;
  }
  if (edit == searchField_) {
    return OnSearchFieldMessage(message, wParam);
  }
  if (edit != BoxEdit()) {
    return false;
  }
  const bool control = KeyIsDown(VK_CONTROL);
  const bool shift = KeyIsDown(VK_SHIFT);
  switch (message) {
    case WM_KEYDOWN:
      if (wParam == 'C' && control && shift) {
        dialog_->OnCopyAll();
        return true;
      }
      // The word menu's keys: Ctrl+1 .. Ctrl+4, Ctrl+Shift+S and U.
      if (control && ((wParam >= '1' && wParam <= '4') || (shift && (wParam == 'S' || wParam == 'U')))) {
        dialog_->OnShortcut(static_cast<char>(wParam), shift);
        return true;
      }
      if (wParam == 'R' && control) {
        dialog_->OnHistorySearch();
        return true;
      }
      if ((wParam == 'Z' || wParam == 'Y') && control) {
        UndoKey(wParam == 'Y' || shift);
        return true;
      }
      return false;
    case WM_CHAR:
      // Ctrl+Shift+C types the same control character as Ctrl+C; its key
      // press has copied all five lines already. Ctrl+Z and Ctrl+Y were
      // taken whole at their key press.
      // Ctrl+Shift+S and U, taken at their key press, type 0x13 and 0x15.
      return (wParam == 3 && control && shift) || wParam == 0x1a || wParam == 0x19 || wParam == 0x12 ||
             ((wParam == 0x13 || wParam == 0x15) && control && shift);
    case WM_COPY: {
      DWORD start = 0;
      DWORD end = 0;
      SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
      if (start != end) {
        return false;  // the selection, as usual
      }
      dialog_->OnCopyResult();
      return true;
    }
    case WM_PASTE:
      PasteIntoBox();
      return true;
    case WM_UNDO:  // the context menu's Undo
    case EM_UNDO:
      dialog_->OnUndo();
      return true;
    default:
      return false;
  }
}

// Ctrl+Z first undoes the typing, as the edit field does, but once: the
// field's own undo would undo its undo next, so its buffer is emptied and
// the next Ctrl+Z steps back through the dialog's changes. Redo is the
// dialog's only; the field has none.
void Win32FrontEnd::UndoKey(bool redo) {
  if (redo) {
    dialog_->OnRedo();
  } else {
    dialog_->OnUndo();
  }
}

// The box's edit field would cut a paste silently where it reaches the
// field's right edge. Pasted here instead, the text goes to the dialog logic
// whole, which calculates it or, beyond the engine's limit, refuses it.
void Win32FrontEnd::PasteIntoBox() {
  HWND edit = BoxEdit();
  const std::wstring pasted = ClipboardFirstLine(window_);
  if (edit == nullptr || pasted.empty()) {
    return;
  }
  DWORD start = 0;
  DWORD end = 0;
  SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  std::wstring text = WindowText(edit);
  start = start < text.size() ? start : static_cast<DWORD>(text.size());
  end = end < text.size() && end >= start ? end : static_cast<DWORD>(text.size());
  text.replace(start, end - start, pasted);
  settingBoxText_ = true;
  SetWindowTextW(edit, text.c_str());
  const auto caret = static_cast<LPARAM>(start + pasted.size());
  SendMessageW(edit, EM_SETSEL, static_cast<WPARAM>(caret), caret);
  settingBoxText_ = false;
  OnCommand(kIdExpressionBox, kBoxEditChange);
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

// The template gives the size of the client area. A menu bar attached later
// takes its height from the client area and would cut off the buttons at the
// bottom, so the window grows by the menu's height instead, keeping its
// centre where it was.
void Win32FrontEnd::KeepTemplateClientSize() {
  RECT wanted{0, 0, MAIN_DIALOG_WIDTH, MAIN_DIALOG_HEIGHT};
  MapDialogRect(window_, &wanted);
  const auto style = static_cast<DWORD>(GetWindowLongPtrW(window_, GWL_STYLE));
  const auto extendedStyle = static_cast<DWORD>(GetWindowLongPtrW(window_, GWL_EXSTYLE));
  AdjustWindowRectEx(&wanted, style, TRUE, extendedStyle);
  RECT now{};
  GetWindowRect(window_, &now);
  const int width = wanted.right - wanted.left;
  const int height = wanted.bottom - wanted.top;
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
  if (window_ == nullptr) {
    return;
  }
  for (const HotkeyKey& key : kHotkeyKeys) {
    // The result is not checked: when another program holds the key, it keeps
    // its ordinary meaning in the box.
    if (key.id == hotkeyId) {
      RegisterHotKey(window_, key.id, 0, key.virtualKey);
    }
  }
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

// The search's field and list lie over the dialog under the box, on top of
// the controls there, until the search ends.
void Win32FrontEnd::CreateSearchControls() {
  RECT box{};
  GetWindowRect(Box(), &box);
  MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&box), 2);
  const int width = box.right - box.left;
  RECT edit{};
  GetWindowRect(BoxEdit(), &edit);
  const int fieldHeight = edit.bottom - edit.top + 6;
  const auto font = static_cast<WPARAM>(SendMessageW(Box(), WM_GETFONT, 0, 0));
  searchField_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"Edit", L"", WS_CHILD | WS_CLIPSIBLINGS | ES_AUTOHSCROLL, box.left,
                                 box.bottom + 2, width, fieldHeight, window_,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(kIdSearchField)), instance_, nullptr);
  SendMessageW(searchField_, WM_SETFONT, font, FALSE);
  searchList_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"ListBox", L"",
                                WS_CHILD | WS_CLIPSIBLINGS | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, box.left,
                                box.bottom + 2 + fieldHeight, width, fieldHeight * kSearchVisibleRows, window_,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(kIdSearchList)), instance_, nullptr);
  SendMessageW(searchList_, WM_SETFONT, font, FALSE);
  SubclassEdit(searchField_);
}

void Win32FrontEnd::ShowHistorySearch(const char* query, const std::vector<std::string>& matches, int selected) {
  if (window_ == nullptr) {
    return;
  }
  if (searchField_ == nullptr) {
    CreateSearchControls();
  }
  SendMessageW(searchField_, EM_SETCUEBANNER, TRUE,
               reinterpret_cast<LPARAM>(ToWide(OptionalText(OptionalTextIndex("searchhistory"))).c_str()));
  const std::wstring wanted = ToWide(query);
  if (WindowText(searchField_) != wanted) {
    settingSearch_ = true;
    SetWindowTextW(searchField_, wanted.c_str());
    settingSearch_ = false;
  }
  SendMessageW(searchList_, LB_RESETCONTENT, 0, 0);
  for (const std::string& match : matches) {
    SendMessageW(searchList_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ToWide(match.c_str()).c_str()));
  }
  SendMessageW(searchList_, LB_SETCURSEL, static_cast<WPARAM>(selected), 0);
  if (!IsWindowVisible(searchField_)) {
    for (HWND control : {searchList_, searchField_}) {
      SetWindowPos(control, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    }
    SetFocus(searchField_);
  }
}

void Win32FrontEnd::HideHistorySearch() {
  for (HWND control : {searchField_, searchList_}) {
    if (control != nullptr) {
      ShowWindow(control, SW_HIDE);
    }
  }
  // What the search covered is drawn again.
  if (window_ != nullptr) {
    InvalidateRect(window_, nullptr, TRUE);
  }
}

// Keys of the search field: Enter takes the selected match, Escape goes
// back, the arrow keys move through the matches, Ctrl+R goes older. Losing
// the focus to anything but the list ends the search as Escape does.
bool Win32FrontEnd::OnSearchFieldMessage(UINT message, WPARAM wParam) {
  switch (message) {
    case WM_KEYDOWN: {
      const auto selected = static_cast<int>(SendMessageW(searchList_, LB_GETCURSEL, 0, 0));
      switch (wParam) {
        case VK_RETURN:
          dialog_->OnHistorySearchEnd(true);
          return true;
        case VK_ESCAPE:
          dialog_->OnHistorySearchEnd(false);
          return true;
        case VK_DOWN:
          dialog_->OnHistorySearchSelect(selected + 1);
          return true;
        case VK_UP:
          dialog_->OnHistorySearchSelect(selected - 1);
          return true;
        case 'R':
          if (KeyIsDown(VK_CONTROL)) {
            dialog_->OnHistorySearch();
            return true;
          }
          return false;
        default:
          return false;
      }
    }
    case WM_CHAR:
      // Enter, Escape and Ctrl+R were taken at their key press.
      return wParam == L'\r' || wParam == 0x1b || wParam == 0x12;
    case WM_KILLFOCUS:
      if (reinterpret_cast<HWND>(wParam) != searchList_ && IsWindowVisible(searchField_)) {
        dialog_->OnHistorySearchEnd(false);
      }
      return false;
    default:
      return false;
  }
}

// The search field's edits and the list's clicks; true when the command was
// one of the search's.
bool Win32FrontEnd::OnSearchCommand(int commandId, int notification) {
  if (dialog_ == nullptr || (commandId != kIdSearchField && commandId != kIdSearchList)) {
    return commandId == kIdSearchField || commandId == kIdSearchList;
  }
  if (commandId == kIdSearchField && notification == EN_CHANGE && !settingSearch_) {
    char query[kExpressionCapacity];
    CopyAsUtf8(WindowText(searchField_), query, sizeof query);
    dialog_->OnHistorySearchQuery(query);
  } else if (commandId == kIdSearchList && notification == LBN_SELCHANGE) {
    dialog_->OnHistorySearchSelect(static_cast<int>(SendMessageW(searchList_, LB_GETCURSEL, 0, 0)));
    SetFocus(searchField_);
  } else if (commandId == kIdSearchList && notification == LBN_DBLCLK) {
    dialog_->OnHistorySearchEnd(true);
  }
  return true;
}

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
  SetWindowPos(window_, onTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
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
