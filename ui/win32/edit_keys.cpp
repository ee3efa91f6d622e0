#include "ui/win32/edit_keys.h"

#include <windowsx.h>

#include <string>

#include "ui/dialog_ids.h"
#include "ui/win32/history_search_controls.h"
#include "ui/win32/text_conversion.h"
#include "ui/win32/win32_front_end.h"

namespace {

// The window property that keeps an edit field's own window procedure while
// the front end's subclass sits in front of it.
constexpr wchar_t kOriginalProcProperty[] = L"QuilloEditProc";

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

void SubclassEdit(HWND edit) {
  if (edit == nullptr || GetPropW(edit, kOriginalProcProperty) != nullptr) {
    return;
  }
  const LONG_PTR original = GetWindowLongPtrW(edit, GWLP_WNDPROC);
  SetPropW(edit, kOriginalProcProperty, reinterpret_cast<HANDLE>(original));
  SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(EditSubclassProc));
}

bool KeyIsDown(int virtualKey) { return (GetKeyState(virtualKey) & 0x8000) != 0; }

HHOOK StartDialogMessageFilter(Win32FrontEnd* frontEnd) {
  tRunningFrontEnd = frontEnd;
  return SetWindowsHookExW(WH_MSGFILTER, DialogMessageFilter, nullptr, GetCurrentThreadId());
}

void StopDialogMessageFilter(HHOOK filter) {
  if (filter != nullptr) UnhookWindowsHookEx(filter);
  tRunningFrontEnd = nullptr;
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
