#include "ui/win32/edit_keys.h"

#include <windowsx.h>

#include <string>

#include "ui/dialog_ids.h"
#include "ui/win32/history_search_controls.h"
#include "ui/win32/text_conversion.h"
#include "ui/win32/win32_front_end.h"

namespace {

// The keys of the table that are neither letters, digits nor function keys.
struct NamedKey {
  int key;
  UINT virtualKey;
};
constexpr NamedKey kNamedKeys[] = {{kKeyEscape, VK_ESCAPE}, {kKeyDown, VK_DOWN}, {kKeyInsert, VK_INSERT}};

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

KeyChord ChordOfVirtualKey(WPARAM virtualKey) {
  unsigned modifiers = kModifierNone;
  if (KeyIsDown(VK_CONTROL)) modifiers |= kModifierCtrl;
  if (KeyIsDown(VK_SHIFT)) modifiers |= kModifierShift;
  if (KeyIsDown(VK_MENU)) modifiers |= kModifierAlt;
  if ((virtualKey >= '0' && virtualKey <= '9') || (virtualKey >= 'A' && virtualKey <= 'Z')) {
    return {static_cast<int>(virtualKey), modifiers};  // the same codes as ASCII
  }
  if (virtualKey >= VK_F1 && virtualKey < VK_F1 + kFunctionKeyCount) {
    return {kKeyF1 + static_cast<int>(virtualKey - VK_F1), modifiers};
  }
  for (const NamedKey& named : kNamedKeys) {
    if (named.virtualKey == virtualKey) return {named.key, modifiers};
  }
  return {0, modifiers};
}

// The binding a key press runs here, if any. F1 runs none: the system
// itself turns every F1 press into WM_HELP, wherever the focus is and even
// after a handler took the key, and the dialog answers that; taken here as
// well, one press opened the help twice, and the second opening took the
// front back from the main window.
namespace {
const KeyBinding* BindingOfKeyDown(WPARAM virtualKey) {
  if (virtualKey == VK_F1) return nullptr;
  return FindKeyBinding(ChordOfVirtualKey(virtualKey));
}
}  // namespace

UINT VirtualKeyOf(int key) {
  if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) return static_cast<UINT>(key);
  if (key >= kKeyF1 && key < kKeyF1 + kFunctionKeyCount) return static_cast<UINT>(VK_F1 + (key - kKeyF1));
  for (const NamedKey& named : kNamedKeys) {
    if (named.key == key) return named.virtualKey;
  }
  return 0;
}

HHOOK StartDialogMessageFilter(Win32FrontEnd* frontEnd) {
  tRunningFrontEnd = frontEnd;
  return SetWindowsHookExW(WH_MSGFILTER, DialogMessageFilter, nullptr, GetCurrentThreadId());
}

void StopDialogMessageFilter(HHOOK filter) {
  if (filter != nullptr) UnhookWindowsHookEx(filter);
  tRunningFrontEnd = nullptr;
}

bool Win32FrontEnd::CanUndoBox() const { return dialog_ != nullptr && dialog_->CanUndo(); }

// The keys of menu commands (the word and form keys), wherever the focus is
// in the main window: the dialog loop's filter sees them before any control
// does, so they are taken once, here. The other keys of the table (typing,
// the copy and undo keys) stay with the control that has the focus.
bool Win32FrontEnd::OnMenuKey(const MSG& message) {
  if (message.message != WM_KEYDOWN || (message.hwnd != window_ && !IsChild(window_, message.hwnd))) return false;
  const KeyBinding* binding = BindingOfKeyDown(message.wParam);
  return binding != nullptr && binding->action == KeyAction::kMenuCommand &&
         RunKeyBinding(*binding, *dialog_, KeyContext{});
}

// Alt with a letter in the box: the dialog manager would take a form's
// letter to its radio button, moving the focus away. WM_SYSCHAR carries the
// letter, whose case the dialog manager does not tell apart either, so Shift
// does not count.
bool Win32FrontEnd::OnDialogMessage(const MSG& message) {
  if (dialog_ == nullptr || window_ == nullptr) return false;
  if (OnMenuKey(message)) return true;
  if (message.message != WM_SYSCHAR || message.hwnd != BoxEdit() || message.wParam >= 0x80) {
    return false;
  }
  const auto letter = static_cast<char>(message.wParam);
  const int key = letter >= 'a' && letter <= 'z' ? letter - 'a' + 'A' : letter;
  const KeyBinding* binding = FindKeyBinding({key, kModifierAlt});
  return binding != nullptr && RunKeyBinding(*binding, *dialog_, BoxKeyContext());
}

// The escape and arrow keys reach the edit field only while not registered
// as hotkeys, so the field's context has none registered.
KeyContext Win32FrontEnd::BoxKeyContext() const {
  KeyContext context;
  DWORD start = 0;
  DWORD end = 0;
  SendMessageW(BoxEdit(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  context.boxHasSelection = start != end;
  return context;
}

bool Win32FrontEnd::OnEditMessage(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
  if (dialog_ == nullptr) {
    return false;
  }
  if (IsResultLine(GetDlgCtrlID(edit))) {
    if (OnDigitLineMessage(edit, message, lParam)) return true;
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
  switch (message) {
    case WM_KEYDOWN: {
      const KeyBinding* binding = BindingOfKeyDown(wParam);
      boxKeyTaken_ = binding != nullptr && RunKeyBinding(*binding, *dialog_, BoxKeyContext());
      return boxKeyTaken_;
    }
    case WM_CHAR: {
      // A key taken at its press may still type a control character
      // (Ctrl+C 0x03, Ctrl+Z 0x1A), which the field would act on again.
      const bool typedByTakenKey = boxKeyTaken_ && wParam < 0x20;
      boxKeyTaken_ = false;
      return typedByTakenKey;
    }
    case WM_COPY:  // Ctrl+C as the field itself takes it, Ctrl+Insert, the context menu
      if (BoxKeyContext().boxHasSelection) {
        return false;  // the selection, as usual
      }
      dialog_->OnCopyResult();
      return true;
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
