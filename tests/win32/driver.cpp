// quillo-win32-driver: drives a running quillo.exe from outside, as a user
// would, and prints what it sees, one line per observation, so that a script
// can compare the transcript with the expected one.
//
//   quillo-win32-driver.exe [--timeout=MS] [--desktop=NAME] STEP...
//
// --desktop works on the windows of that desktop (a Wine virtual desktop
// started with "explorer /desktop=NAME,...") instead of the default one.
// Steps run in order; the first that fails prints "FAILED: ..." and ends the
// driver with exit code 1. Every step that looks at something the program
// does in its own time waits for it (a window shown, a text changed, the
// process ended), bounded by the timeout; none sleeps for a fixed time.
//   window             wait for the main dialog (caption "Quillo")
//   type TEXT          type TEXT into the expression box, one WM_CHAR per character
//   lines              print the five result lines
//   box                print the expression box's text
//   history            print the box's list, newest first
//   form               print the checked radio button
//   text ID            print the text of the control with this id
//   accessible ID      print the control's accessible name and value (oleacc), as
//                      "name = value"
//   label ID           print the text of the label the control is named after where
//                      its own text is its value: the visible static text just
//                      before it in template order
//   rect               print the window's position and size on the screen: x y width height
//   controls           print each control of the table as "control ID: x y width height"
//                      in the dialog's client coordinates, then the search's field and
//                      list once made
//   overlaps           print the controls outside their group or the client area and
//                      the pairs that overlap, or "none"
//   grow DX,DY         resize the window by DX, DY pixels (moving it to stay on the
//                      screen); wait until its size changed (a shrink the window
//                      refuses is no failure)
//   click ID           press the button with this control id (BM_CLICK)
//   key escape|down    press the key through the keyboard input (SendInput), once the
//                      window is in front with the focus in the box; then wait until
//                      the box's text changes or the window closes; also ctrl+z,
//                      ctrl+shift+z, ctrl+y, and the word keys ctrl+1 .. ctrl+4,
//                      ctrl+shift+s and ctrl+shift+u, which may change the lines only
//   close              press Close
//   exit               wait for the program to end and print its exit code
//   file-dialog        wait for the language file dialog
//   cancel             cancel the file dialog
//   choose PATH        type PATH into the file dialog's name field and press Open
//   error-box          wait for the "ERROR" message box to show and print its text
//   about-box          wait for the "About Quillo" message box to show
//   ok                 press OK in the message box found last
//   command ID         send the menu command ID, as choosing the menu item does
//   click-bit N        click the BIN line where bit N's digit stands (left of its first
//                      digit for a leading zero it leaves out); then wait until the box's
//                      text changes
//   no-window          wait for the program to end; print whether the main dialog
//                      showed before it did
//   selection          print the box's selection as "start end"
//   copy               send WM_COPY to the box's edit field, as Ctrl+C does
//   copy-all           press Ctrl+Shift+C through the keyboard input, once the window
//                      is in front with the focus in the box; then wait for the clipboard
//   clipboard          print the clipboard's text (CF_UNICODETEXT)
//   set-clipboard TEXT put TEXT on the clipboard; "x*N" stands for N copies of x
//   paste              send WM_PASTE to the box's edit field, as Ctrl+V does; the
//                      program may open a message box in answer, so it is posted
//   notice-box         wait for the program's "Quillo" message box and print its text
//   menu-key f10|alt   press the key through the keyboard input, once the window is in
//                      front with the focus in the box; then wait until the window's
//                      menu mode turns over and print it as "menu mode: on|off"
//   message-box        wait for a message box of any caption but "Quillo" (one in the
//                      language file's words) and print its caption and text
//   menu-keys LETTERS  press and release Alt, then each letter, through the keyboard input,
//                      once the window is in front with the focus in the box: the menu's
//                      accelerators; the next step waits for what they open
//   f1                 press F1 the same way
//   f1-here            press F1 with the keyboard wherever it is in the window
//   help TEXT          wait for the help window ("Quillo Help") and print its first line
//                      holding TEXT, blanks squeezed; then close the help window
//   font-dialog F,S    wait for the font dialog, choose family F at size S and press OK
//   box-height         print the height of the expression box in pixels
//   strip ROWS         wait until the BIN line, as the screen shows it, holds ROWS rows of
//                      digits, each with the bit numbers under it, nothing cut at its
//                      bottom edge; print "strip: ROWS rows with their numbers", or at
//                      the timeout the runs of pixel rows with ink seen
//   focus-click ID     click the control with this id (a result line, a radio button)
//                      with the mouse, so the program gives it the keyboard; wait until
//                      it has it and print "focus: ID"
//   key-here KEY       press a key as "key" does, with the keyboard wherever it is in the
//                      window (only the window in front is waited for)
//   help-above         wait for the help window to come to the front, bring the main window
//                      there, and print whether the help stands above it; the help stays
//                      open. Fails when the help takes the front back once the program has
//                      handled what the F1 press left for it

#include <windows.h>
#include <oleacc.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "ui/dialog_ids.h"
#include "ui/dialog_template.h"

namespace {

constexpr int kPollMilliseconds = 50;
constexpr int kRowBits = 32;  // the bits of one row of the BIN line's strip
constexpr UINT kSendTimeoutMilliseconds = 5000;
constexpr const char* kFormNames[kResultFormCount] = {"DEC", "HEX", "BIN", "OCT", "EXP"};

DWORD Timeout = 20000;  // for every wait, in milliseconds
HWND Dialog = nullptr;  // the main dialog, once found
HWND FileDialog = nullptr;
HWND MessageBoxWindow = nullptr;  // the message box found last
HANDLE Program = nullptr;  // the program's process, opened when one of its windows is found

std::string ToUtf8(const std::wstring& text) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                       nullptr, nullptr);
  std::string utf8(size > 0 ? static_cast<std::size_t>(size) : 0, '\0');
  if (size > 0) {
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), utf8.data(), size, nullptr,
                        nullptr);
  }
  return utf8;
}

// Line breaks are printed as "\n" so that each observation stays one line.
void Print(const char* label, const std::wstring& text) {
  std::string line = ToUtf8(text);
  std::string escaped;
  for (char c : line) {
    if (c == '\n') {
      escaped += "\\n";
    } else if (c != '\r') {
      escaped += c;
    }
  }
  std::printf("%s: %s\n", label, escaped.c_str());
  std::fflush(stdout);
}

bool Fail(const char* what) {
  std::printf("FAILED: %s\n", what);
  std::fflush(stdout);
  return false;
}

// Sends a message with a bounded wait; false when the window did not answer.
bool Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result = nullptr) {
  DWORD_PTR answer = 0;
  if (SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kSendTimeoutMilliseconds,
                          &answer) == 0) {
    return false;
  }
  if (result != nullptr) {
    *result = static_cast<LRESULT>(answer);
  }
  return true;
}

// The text of a window of the program, asked with WM_GETTEXT.
std::wstring TextOf(HWND window) {
  LRESULT length = 0;
  if (!Send(window, WM_GETTEXTLENGTH, 0, 0, &length) || length <= 0) {
    return std::wstring();
  }
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  LRESULT copied = 0;
  Send(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), &copied);
  text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
  return text;
}

// Polls condition() until it holds (true) or the timeout passes (false).
template <typename Condition>
bool WaitUntil(Condition condition, DWORD timeout) {
  const ULONGLONG end = GetTickCount64() + timeout;
  for (;;) {
    if (condition()) {
      return true;
    }
    if (GetTickCount64() >= end) {
      return false;
    }
    Sleep(kPollMilliseconds);
  }
}

// Polls find() until it gives a window (returned) or the timeout passes
// (nullptr).
template <typename Find>
HWND WaitFor(Find find, DWORD timeout) {
  HWND found = nullptr;
  WaitUntil([&]() { return (found = find()) != nullptr; }, timeout);
  return found;
}

HWND FindDialogByCaption(const wchar_t* caption) { return FindWindowW(L"#32770", caption); }

// A dialog is found by its caption as soon as it exists, but it is shown only
// once its initialisation has run: before that, its texts may still be empty.
HWND WaitForShownDialog(const wchar_t* caption) {
  return WaitFor(
      [caption]() {
        HWND window = FindDialogByCaption(caption);
        return window != nullptr && IsWindowVisible(window) ? window : nullptr;
      },
      Timeout);
}

// A visible dialog window that is neither the main dialog nor the error box:
// the file dialog, whatever its caption in the system's language.
BOOL CALLBACK MatchFileDialog(HWND window, LPARAM found) {
  wchar_t className[16] = L"";
  GetClassNameW(window, className, 16);
  if (!IsWindowVisible(window) || std::wcscmp(className, L"#32770") != 0) {
    return TRUE;
  }
  const std::wstring caption = TextOf(window);
  if (caption == L"Quillo" || caption == L"ERROR") {
    return TRUE;
  }
  *reinterpret_cast<HWND*>(found) = window;
  return FALSE;
}

HWND FindFileDialog() {
  HWND found = nullptr;
  EnumWindows(MatchFileDialog, reinterpret_cast<LPARAM>(&found));
  return found;
}

void OpenProgramOf(HWND window) {
  if (Program != nullptr) {
    return;
  }
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  Program = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
}

bool WaitUntilGone(HWND window) {
  return WaitUntil([window]() { return !IsWindow(window); }, Timeout);
}

HWND BoxEdit() { return FindWindowExW(GetDlgItem(Dialog, kIdExpressionBox), nullptr, L"Edit", nullptr); }

bool StepWindow() {
  Dialog = WaitForShownDialog(L"Quillo");
  if (Dialog == nullptr) {
    return Fail("no window \"Quillo\" shown");
  }
  OpenProgramOf(Dialog);
  std::printf("window: Quillo\n");
  std::fflush(stdout);
  return true;
}

bool StepType(const char* text) {
  HWND edit = BoxEdit();
  if (edit == nullptr) {
    return Fail("no edit field in the expression box");
  }
  // Sent, not posted: each character is handled, and the results calculated,
  // before the next one is typed.
  for (const char* c = text; *c != '\0'; ++c) {
    if (!Send(edit, WM_CHAR, static_cast<unsigned char>(*c), 1)) {
      return Fail("the expression box does not answer");
    }
  }
  return true;
}

// The five result lines joined by " | "; a line of two rows shows its line
// break as "/".
std::wstring LinesText() {
  std::wstring joined;
  for (int i = 0; i < kResultFormCount; ++i) {
    wchar_t text[256] = L"";
    GetDlgItemTextW(Dialog, ResultLineIdOfForm(i), text, 256);
    if (i > 0) {
      joined += L" | ";
    }
    for (const wchar_t* c = text; *c != L'\0'; ++c) {
      if (*c == L'\r') continue;
      joined += *c == L'\n' ? L'/' : *c;
    }
  }
  return joined;
}

bool StepLines() {
  Print("lines", LinesText());
  return true;
}

bool StepBox() {
  Print("box", TextOf(BoxEdit()));
  return true;
}

bool StepHistory() {
  HWND box = GetDlgItem(Dialog, kIdExpressionBox);
  LRESULT count = 0;
  if (!Send(box, CB_GETCOUNT, 0, 0, &count)) {
    return Fail("the expression box does not answer");
  }
  std::wstring joined;
  for (LRESULT i = 0; i < count; ++i) {
    LRESULT length = 0;
    Send(box, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0, &length);
    std::wstring item(static_cast<std::size_t>(length > 0 ? length : 0) + 1, L'\0');
    Send(box, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(item.data()));
    item.resize(std::wcslen(item.c_str()));
    joined += i > 0 ? L" | " : L"";
    joined += item;
  }
  Print("history", joined);
  return true;
}

// The names of the forms whose radio buttons are checked, "none" for none.
std::string CheckedForms() {
  std::string checked;
  for (int i = 0; i < kResultFormCount; ++i) {
    if (IsDlgButtonChecked(Dialog, RadioIdOfForm(i)) == BST_CHECKED) {
      checked += checked.empty() ? "" : " ";
      checked += kFormNames[i];
    }
  }
  return checked.empty() ? "none" : checked;
}

// Where the keyboard is: "box" for the expression box's edit field.
bool StepFocus() {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  const bool known = GetGUIThreadInfo(GetWindowThreadProcessId(Dialog, nullptr), &info) != 0;
  std::printf("focus: %s\n", !known ? "unknown" : info.hwndFocus == BoxEdit() ? "box" : "elsewhere");
  std::fflush(stdout);
  return true;
}

bool StepForm() {
  std::printf("form: %s\n", CheckedForms().c_str());
  std::fflush(stdout);
  return true;
}

bool StepText(const char* id) {
  HWND control = GetDlgItem(Dialog, std::atoi(id));
  if (control == nullptr) {
    return Fail("no control with that id");
  }
  Print((std::string("text ") + id).c_str(), TextOf(control));
  return true;
}

bool StepRect() {
  RECT rect{};
  GetWindowRect(Dialog, &rect);
  std::printf("rect: %ld %ld %ld %ld\n", static_cast<long>(rect.left), static_cast<long>(rect.top),
              static_cast<long>(rect.right - rect.left), static_cast<long>(rect.bottom - rect.top));
  std::fflush(stdout);
  return true;
}

// A control's rectangle in the dialog's client coordinates.
RECT ClientRectOf(HWND control) {
  RECT rect{};
  GetWindowRect(control, &rect);
  MapWindowPoints(nullptr, Dialog, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

HWND SearchField();
HWND SearchList();

void PrintControl(int id, HWND control) {
  const RECT rect = ClientRectOf(control);
  std::printf("control %d: %ld %ld %ld %ld\n", id, static_cast<long>(rect.left), static_cast<long>(rect.top),
              static_cast<long>(rect.right - rect.left), static_cast<long>(rect.bottom - rect.top));
}

// Prints each control of the table where it is now (a combo box as its closed
// field: the dropped-down list is not part of its window), then the history
// search's field and list once they are made, shown or not.
bool StepControls() {
  for (const ControlTemplate& control : kDialogControls) PrintControl(control.id, GetDlgItem(Dialog, control.id));
  for (HWND search : {SearchField(), SearchList()}) {
    if (search != nullptr) PrintControl(GetDlgCtrlID(search), search);
  }
  std::fflush(stdout);
  return true;
}

// Every control inside the client area and inside the group or frame that
// holds it; no two controls overlapping but for such a group or frame and
// its controls.
bool StepOverlaps() {
  RECT client{};
  GetClientRect(Dialog, &client);
  std::string found;
  for (const ControlTemplate& control : kDialogControls) {
    const RECT rect = ClientRectOf(GetDlgItem(Dialog, control.id));
    RECT outer = client;
    if (control.container != kClientArea) outer = ClientRectOf(GetDlgItem(Dialog, control.container));
    RECT joined{};
    UnionRect(&joined, &outer, &rect);
    char piece[40];
    if (!EqualRect(&joined, &outer)) {
      std::snprintf(piece, sizeof piece, " %d outside", control.id);
      found.append(piece);
    }
    for (const ControlTemplate& other : kDialogControls) {
      if (&other <= &control || other.container == control.id || control.container == other.id) continue;
      const RECT otherRect = ClientRectOf(GetDlgItem(Dialog, other.id));
      RECT common{};
      if (IntersectRect(&common, &rect, &otherRect)) {
        std::snprintf(piece, sizeof piece, " %d/%d", control.id, other.id);
        found.append(piece);
      }
    }
  }
  std::printf("overlaps:%s\n", found.empty() ? " none" : found.c_str());
  std::fflush(stdout);
  return true;
}

// "DX,DY": makes the window that many pixels wider and taller (or smaller),
// then waits until it has changed size; the window may refuse to shrink.
bool StepGrow(const char* value) {
  int dx = 0, dy = 0;
  if (std::sscanf(value, "%d,%d", &dx, &dy) != 2) return Fail("grow takes DX,DY");
  RECT before{};
  GetWindowRect(Dialog, &before);
  const int width = before.right - before.left + dx;
  const int height = before.bottom - before.top + dy;
  // A window grown past the screen's right or bottom edge moves left or up
  // to stay whole on it, as when the user drags its top left corner.
  const int left = std::max(0, std::min(static_cast<int>(before.left), GetSystemMetrics(SM_CXSCREEN) - width));
  const int top = std::max(0, std::min(static_cast<int>(before.top), GetSystemMetrics(SM_CYSCREEN) - height));
  SetWindowPos(Dialog, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  const bool changed = WaitUntil(
      [&] {
        RECT now{};
        GetWindowRect(Dialog, &now);
        return now.right - now.left != before.right - before.left || now.bottom - now.top != before.bottom - before.top;
      },
      dx > 0 || dy > 0 ? Timeout : kPollMilliseconds * 4);
  return changed || dx < 0 || dy < 0 ? true : Fail("the window kept its size");
}

// What a screen reader learns of a control through the system's
// accessibility: its name, or its value, "<none>" where it has none.
std::wstring AccessibleText(IAccessible* object, bool value) {
  VARIANT self{};
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  BSTR text = nullptr;
  const HRESULT result = value ? object->get_accValue(self, &text) : object->get_accName(self, &text);
  std::wstring shown = result == S_OK && text != nullptr ? std::wstring(text, SysStringLen(text)) : L"<none>";
  SysFreeString(text);
  return shown;
}

bool StepAccessible(const char* id) {
  // COM only now: it gives the thread a window, which would keep --desktop
  // from changing the thread's desktop.
  static const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  HWND control = GetDlgItem(Dialog, std::atoi(id));
  if (control == nullptr) {
    return Fail("no control with that id");
  }
  IAccessible* object = nullptr;
  if (FAILED(com) ||
      FAILED(AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                        reinterpret_cast<void**>(&object))) ||
      object == nullptr) {
    return Fail("no accessible object");
  }
  Print((std::string("accessible ") + id).c_str(),
        AccessibleText(object, false) + L" = " + AccessibleText(object, true));
  object->Release();
  return true;
}

// The label the system's accessibility names a control after when the
// control's own text is its value (an edit field, a combo box): the nearest
// visible static text before it in template order, looking back no further
// than a control that is a tab stop or starts a group.
bool StepLabel(const char* id) {
  HWND control = GetDlgItem(Dialog, std::atoi(id));
  if (control == nullptr) {
    return Fail("no control with that id");
  }
  std::wstring label = L"<none>";
  for (HWND before = GetWindow(control, GW_HWNDPREV); before != nullptr; before = GetWindow(before, GW_HWNDPREV)) {
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(before, GWL_STYLE));
    if ((style & WS_VISIBLE) == 0) {
      continue;
    }
    LRESULT code = 0;
    if (Send(before, WM_GETDLGCODE, 0, 0, &code) && (code & DLGC_STATIC) != 0) {
      label = TextOf(before);
      break;
    }
    if ((style & (WS_TABSTOP | WS_GROUP)) != 0) {
      break;
    }
  }
  Print((std::string("label ") + id).c_str(), label);
  return true;
}

bool Click(HWND button) {
  if (button == nullptr || !Send(button, BM_CLICK, 0, 0)) {
    return Fail("no button to press");
  }
  return true;
}

bool StepClick(const char* id) { return Click(GetDlgItem(Dialog, std::atoi(id))); }

// True when the dialog is the foreground window and the keyboard focus of
// the program's thread is in the expression box: only then are the box's
// hotkeys registered and a key press reaches them.
bool BoxHasKeyboard() {
  if (GetForegroundWindow() != Dialog) {
    SetForegroundWindow(Dialog);
    return false;
  }
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(Dialog, nullptr), &info)) {
    return false;
  }
  HWND box = GetDlgItem(Dialog, kIdExpressionBox);
  return info.hwndFocus == box || GetParent(info.hwndFocus) == box;
}

// The history search's field and list, which the program makes beside the
// template's controls when the search first shows.
constexpr int kIdSearchField = 1100;
constexpr int kIdSearchList = 1101;

HWND SearchField() { return GetDlgItem(Dialog, kIdSearchField); }
HWND SearchList() { return GetDlgItem(Dialog, kIdSearchList); }

bool SearchHasKeyboard() {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  return GetGUIThreadInfo(GetWindowThreadProcessId(Dialog, nullptr), &info) && SearchField() != nullptr &&
         info.hwndFocus == SearchField();
}

// Presses keys with the keyboard, as a user does: modifiers down first and
// up last.
bool PressKeys(const std::vector<WORD>& modifiers, WORD key) {
  std::vector<INPUT> inputs;
  const auto add = [&inputs](WORD virtualKey, DWORD flags) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    input.ki.dwFlags = flags;
    inputs.push_back(input);
  };
  for (WORD modifier : modifiers) add(modifier, 0);
  add(key, 0);
  add(key, KEYEVENTF_KEYUP);
  for (auto modifier = modifiers.rbegin(); modifier != modifiers.rend(); ++modifier) add(*modifier, KEYEVENTF_KEYUP);
  const auto count = static_cast<UINT>(inputs.size());
  return SendInput(count, inputs.data(), sizeof(INPUT)) == count;
}

int SearchSelection() { return static_cast<int>(SendMessageW(SearchList(), LB_GETCURSEL, 0, 0)); }

// Ctrl+R in the box: the search shows, with the keyboard in its field.
bool StepSearchOpen() {
  if (!WaitUntil(BoxHasKeyboard, Timeout)) {
    return Fail("the window does not come to the front with the focus in the box");
  }
  if (!PressKeys({VK_CONTROL}, 'R')) {
    return Fail("SendInput");
  }
  return WaitUntil(SearchHasKeyboard, Timeout) || Fail("no search field with the keyboard");
}

// Text typed into the search field, one character at a time.
bool StepSearchType(const char* text) {
  for (const char* c = text; *c != '\0'; ++c) {
    if (!Send(SearchField(), WM_CHAR, static_cast<unsigned char>(*c), 1)) {
      return Fail("the search field does not answer");
    }
  }
  return true;
}

// The search's state: the typed text, the matches, the selected one in [ ].
bool StepSearch() {
  std::wstring shown = TextOf(SearchField()) + L" |";
  const auto count = static_cast<int>(SendMessageW(SearchList(), LB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    wchar_t item[256] = L"";
    SendMessageW(SearchList(), LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(item));
    shown += i == SearchSelection() ? L" [" + std::wstring(item) + L"]" : L" " + std::wstring(item);
  }
  Print("search", IsWindowVisible(SearchField()) ? shown : L"hidden");
  return true;
}

// Keys in the search field: Enter and Escape end it, Ctrl+R selects older.
bool StepSearchKey(const char* name) {
  if (std::strcmp(name, "ctrl+r") == 0) {
    const int before = SearchSelection();
    return (PressKeys({VK_CONTROL}, 'R') && WaitUntil([before] { return SearchSelection() != before; }, Timeout)) ||
           Fail("Ctrl+R selected no older match");
  }
  const WPARAM key = std::strcmp(name, "enter") == 0 ? VK_RETURN : std::strcmp(name, "escape") == 0 ? VK_ESCAPE : 0;
  if (key == 0) {
    return Fail("unknown search key");
  }
  return Send(SearchField(), WM_KEYDOWN, key, 1) || Fail("the search field does not answer");
}

// True when the dialog is the foreground window, wherever its keyboard is.
bool DialogInFront() {
  if (GetForegroundWindow() == Dialog) return true;
  SetForegroundWindow(Dialog);
  return false;
}

// Waits until a key pressed now goes where the step means it: to the window
// in front, and with `anyFocus` false to its expression box.
bool KeyboardReady(bool anyFocus) {
  if (WaitUntil(anyFocus ? DialogInFront : BoxHasKeyboard, Timeout)) return true;
  return Fail(anyFocus ? "the window does not come to the front"
                       : "the window does not come to the front with the focus in the box");
}

bool StepKey(const char* name, bool anyFocus = false) {
  WORD key = 0;
  std::vector<WORD> modifiers;
  if (std::strcmp(name, "escape") == 0) {
    key = VK_ESCAPE;
  } else if (std::strcmp(name, "down") == 0) {
    key = VK_DOWN;
  } else if (std::strcmp(name, "ctrl+z") == 0) {
    key = 'Z';
    modifiers = {VK_CONTROL};
  } else if (std::strcmp(name, "ctrl+shift+z") == 0) {
    key = 'Z';
    modifiers = {VK_CONTROL, VK_SHIFT};
  } else if (std::strcmp(name, "ctrl+y") == 0) {
    key = 'Y';
    modifiers = {VK_CONTROL};
  } else if (std::strlen(name) == 6 && std::strncmp(name, "ctrl+", 5) == 0 && name[5] >= '1' && name[5] <= '4') {
    key = static_cast<WORD>(name[5]);
    modifiers = {VK_CONTROL};
  } else if (std::strcmp(name, "ctrl+shift+s") == 0 || std::strcmp(name, "ctrl+shift+u") == 0) {
    key = static_cast<WORD>(name[11] - 'a' + 'A');
    modifiers = {VK_CONTROL, VK_SHIFT};
  } else if (std::strlen(name) == 5 && std::strncmp(name, "alt+", 4) == 0 && name[4] >= 'a' && name[4] <= 'z') {
    key = static_cast<WORD>(name[4] - 'a' + 'A');
    modifiers = {VK_MENU};
  } else {
    return Fail("unknown key");
  }
  // Keyboard input goes to the foreground window, where the system checks
  // it against the registered hotkeys; the program registers them while the
  // box has the focus.
  if (!KeyboardReady(anyFocus)) return false;
  const std::wstring before = TextOf(BoxEdit());
  const std::wstring linesBefore = LinesText();
  const std::string formsBefore = CheckedForms();
  if (!PressKeys(modifiers, key)) {
    return Fail("SendInput");
  }
  // The key arrives as a posted message, which a sent one does not wait
  // for: wait for its effect instead. Both keys change the box's text, and
  // Escape in an empty box closes the window. The program answers the text
  // query only between two messages, so once the new text is seen the
  // hotkey's handler has run to its end.
  // The word keys change the lines and the menu's marks, not the box; the
  // form keys only the radio buttons.
  if (!WaitUntil([&]() {
        return !IsWindow(Dialog) || TextOf(BoxEdit()) != before || LinesText() != linesBefore ||
               CheckedForms() != formsBefore;
      },
                 Timeout)) {
    return Fail("the key changed nothing");
  }
  return true;
}

// Whether the program's thread is in menu mode (the menu bar has the keyboard).
bool InMenuMode() {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  return GetGUIThreadInfo(GetWindowThreadProcessId(Dialog, nullptr), &info) && (info.flags & GUI_INMENUMODE) != 0;
}

bool StepMenuKey(const char* name) {
  const WORD key = std::strcmp(name, "f10") == 0 ? VK_F10 : std::strcmp(name, "alt") == 0 ? VK_MENU : 0;
  if (key == 0) return Fail("unknown menu key");
  // In menu mode the focus stays in the box, so this holds both ways.
  if (!WaitUntil(BoxHasKeyboard, Timeout)) {
    return Fail("the window does not come to the front with the focus in the box");
  }
  const bool before = InMenuMode();
  if (!PressKeys({}, key)) return Fail("SendInput");
  if (!WaitUntil([before] { return InMenuMode() != before; }, Timeout)) return Fail("the menu mode did not change");
  std::printf("menu mode: %s\n", before ? "off" : "on");
  std::fflush(stdout);
  return true;
}

bool StepExit() {
  if (Program == nullptr) {
    return Fail("the program's process is not known");
  }
  // Ending saves the settings under the lock, which a busy machine may
  // hold up well beyond a window's usual wait.
  if (WaitForSingleObject(Program, 3 * Timeout) != WAIT_OBJECT_0) {
    return Fail("the program did not end");
  }
  DWORD code = 0;
  GetExitCodeProcess(Program, &code);
  std::printf("exit: %lu\n", static_cast<unsigned long>(code));
  std::fflush(stdout);
  return true;
}

// The file dialog's name field: a combo box in the Explorer-style dialog,
// an edit field in the older one.
HWND FileNameField() {
  constexpr int kFileNameCombo = 0x47c;
  constexpr int kFileNameEdit = 0x480;
  HWND name = GetDlgItem(FileDialog, kFileNameCombo);
  if (name == nullptr || !IsWindowVisible(name)) name = GetDlgItem(FileDialog, kFileNameEdit);
  return name;
}

bool StepFileDialog() {
  FileDialog = WaitFor(FindFileDialog, Timeout);
  if (FileDialog == nullptr) {
    return Fail("no file dialog");
  }
  OpenProgramOf(FileDialog);
  // The dialog's window exists before the dialog has set its title and the
  // file name: on a busy machine the texts are read once both are there.
  WaitUntil(
      []() {
        HWND field = FileNameField();
        return !TextOf(FileDialog).empty() && field != nullptr && !TextOf(field).empty();
      },
      Timeout);
  std::printf("file dialog: shown\n");
  Print("file dialog title", TextOf(FileDialog));
  HWND name = FileNameField();
  Print("file dialog name", name != nullptr ? TextOf(name) : L"<none>");
  std::fflush(stdout);
  return true;
}

bool StepCancel() {
  if (FileDialog == nullptr) {
    return Fail("no file dialog to cancel");
  }
  // Its Cancel button, or the Cancel command where a dialog style has none.
  HWND cancel = GetDlgItem(FileDialog, IDCANCEL);
  if (cancel == nullptr || !Send(cancel, BM_CLICK, 0, 0)) {
    PostMessageW(FileDialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  }
  return WaitUntilGone(FileDialog) || Fail("the file dialog stays open");
}

// Types path into the file dialog's name field and presses Open.
bool StepChoose(const char* path) {
  if (FileDialog == nullptr) {
    return Fail("no file dialog to choose in");
  }
  HWND name = FileNameField();
  HWND open = GetDlgItem(FileDialog, IDOK);
  const std::wstring wide(path, path + std::strlen(path));
  if (name == nullptr || !Send(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str())) || !Click(open)) {
    return Fail("the file dialog takes no file name");
  }
  return WaitUntilGone(FileDialog) || Fail("the file dialog stays open");
}

BOOL CALLBACK CollectStaticText(HWND window, LPARAM text) {
  wchar_t className[16] = L"";
  GetClassNameW(window, className, 16);
  if (_wcsicmp(className, L"Static") == 0) {
    auto* collected = reinterpret_cast<std::wstring*>(text);
    const std::wstring piece = TextOf(window);
    if (!piece.empty()) {
      *collected += collected->empty() ? L"" : L" ";
      *collected += piece;
    }
  }
  return TRUE;
}

bool StepErrorBox() {
  MessageBoxWindow = WaitForShownDialog(L"ERROR");
  if (MessageBoxWindow == nullptr) {
    return Fail("no \"ERROR\" message box shown");
  }
  OpenProgramOf(MessageBoxWindow);
  std::wstring text;
  EnumChildWindows(MessageBoxWindow, CollectStaticText, reinterpret_cast<LPARAM>(&text));
  Print("error box", text);
  return true;
}

// A visible message box whose caption is not the main dialog's: one whose
// caption comes from the language file.
BOOL CALLBACK MatchMessageBox(HWND window, LPARAM found) {
  wchar_t className[16] = L"";
  GetClassNameW(window, className, 16);
  if (!IsWindowVisible(window) || std::wcscmp(className, L"#32770") != 0 || TextOf(window) == L"Quillo") {
    return TRUE;
  }
  *reinterpret_cast<HWND*>(found) = window;
  return FALSE;
}

bool StepMessageBox() {
  MessageBoxWindow = WaitFor(
      [] {
        HWND found = nullptr;
        EnumWindows(MatchMessageBox, reinterpret_cast<LPARAM>(&found));
        return found;
      },
      Timeout);
  if (MessageBoxWindow == nullptr) {
    return Fail("no message box shown");
  }
  std::wstring text;
  EnumChildWindows(MessageBoxWindow, CollectStaticText, reinterpret_cast<LPARAM>(&text));
  Print("message box", TextOf(MessageBoxWindow) + L": " + text);
  return true;
}

bool StepAboutBox() {
  MessageBoxWindow = WaitForShownDialog(L"About Quillo");
  if (MessageBoxWindow == nullptr) {
    return Fail("no \"About Quillo\" message box shown");
  }
  std::printf("about box: shown\n");
  std::fflush(stdout);
  return true;
}

bool StepOk() {
  if (MessageBoxWindow == nullptr) {
    return Fail("no message box to confirm");
  }
  return Click(GetDlgItem(MessageBoxWindow, IDOK)) &&
         (WaitUntilGone(MessageBoxWindow) || Fail("the message box stays open"));
}

// Posted, as the menu does: the program may open a modal box in answer.
bool StepCommand(const char* id) {
  PostMessageW(Dialog, WM_COMMAND, MAKEWPARAM(std::atoi(id), 0), 0);
  return true;
}

// A menu command that changes the lines (the word menu's): posted as the
// menu posts it, then waited for until the lines show its effect.
bool StepCommandLines(const char* id) {
  const std::wstring before = LinesText();
  PostMessageW(Dialog, WM_COMMAND, MAKEWPARAM(std::atoi(id), 0), 0);
  return WaitUntil([&before]() { return LinesText() != before; }, Timeout) || Fail("the command changed no line");
}

// Where bit `bit` stands in the BIN line's top row as the program draws
// it: right-aligned in the field's text area, one digit width per bit and
// half a digit more between groups of 4; a row holds 32 bits, so in the
// strip of a 64-bit word bit 32 + k stands where bit k does in a word of 32.
// False for a line whose first row has fewer than two digits, whose digit
// width cannot be measured.
bool BitPoint(int bit, POINT* point) {
  HWND line = GetDlgItem(Dialog, kIdResultLineBin);
  const auto at = [line](int index) {
    LRESULT position = 0;
    Send(line, EM_POSFROMCHAR, static_cast<WPARAM>(index), 0, &position);
    return static_cast<int>(static_cast<short>(LOWORD(position)));
  };
  const std::wstring text = TextOf(line);
  if (text.size() < 2) return false;
  const int width = at(1) - at(0);
  const int gap = std::max(2, width / 2);
  RECT area{};
  Send(line, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&area));
  int right = static_cast<int>(area.right);
  for (int below = 0; below < bit % kRowBits; ++below) right -= width + ((below + 1) % 4 == 0 ? gap : 0);
  *point = POINT{right - width / 2, area.top + 2};
  return width > 0;
}

// The runs of pixel rows of the BIN line, as the screen shows it, that hold
// anything but the line's background (its most common colour), and whether
// the last run reaches the line's bottom edge, cut there. A strip whose bit
// numbers are drawn shows two runs per row: its digits, then their numbers.
struct InkRows {
  int runs = 0;
  bool cut = false;
  std::vector<int> heights;  // of each run, in pixels
};

InkRows ReadInkRows(HWND line) {
  RECT client{};
  GetClientRect(line, &client);
  POINT origin{0, 0};
  ClientToScreen(line, &origin);
  const int width = static_cast<int>(client.right);
  const int height = static_cast<int>(client.bottom);
  InkRows ink;
  if (width <= 0 || height <= 0) return ink;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  void* bits = nullptr;
  HBITMAP picture = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (picture != nullptr && bits != nullptr) {
    const HGDIOBJ old = SelectObject(memory, picture);
    BitBlt(memory, 0, 0, width, height, screen, origin.x, origin.y, SRCCOPY);
    GdiFlush();
    const auto* pixels = static_cast<const DWORD*>(bits);
    const auto count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    std::map<DWORD, int> colours;
    for (std::size_t i = 0; i < count; ++i) ++colours[pixels[i] & 0xFFFFFFU];
    const DWORD background =
        std::max_element(colours.begin(), colours.end(), [](auto& a, auto& b) { return a.second < b.second; })->first;
    bool inRun = false;
    for (int y = 0; y < height; ++y) {
      bool inked = false;
      for (int x = 0; x < width && !inked; ++x) {
        inked = (pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)] &
                 0xFFFFFFU) != background;
      }
      if (inked && !inRun) {
        ++ink.runs;
        ink.heights.push_back(0);
      }
      if (inked) ++ink.heights.back();
      inRun = inked;
    }
    ink.cut = inRun;
    SelectObject(memory, old);
  }
  if (picture != nullptr) DeleteObject(picture);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return ink;
}

// The bit numbers' digits are this many pixels tall at the least: below
// that a screen font's digits cannot be told apart.
constexpr int kReadableNumberPixels = 6;

bool NumbersReadable(const InkRows& ink) {
  for (std::size_t run = 1; run < ink.heights.size(); run += 2) {
    if (ink.heights[run] < kReadableNumberPixels) return false;
  }
  return true;
}

// "strip ROWS": waits until the BIN line shows ROWS rows of digits, each
// with its bit numbers under it, tall enough to read and none cut at the
// line's bottom edge (the program paints in its own time); prints what it
// shows at the timeout.
bool StepStrip(const char* rowsText) {
  const int rows = std::atoi(rowsText);
  HWND line = GetDlgItem(Dialog, kIdResultLineBin);
  InkRows ink;
  const bool shown = WaitUntil(
      [&] {
        ink = ReadInkRows(line);
        return ink.runs == 2 * rows && !ink.cut && NumbersReadable(ink);
      },
      Timeout);
  if (shown) {
    std::printf("strip: %d rows with their numbers\n", rows);
  } else {
    std::printf("strip: %d runs of ink%s, pixels tall:", ink.runs, ink.cut ? ", cut at the bottom" : "");
    for (const int height : ink.heights) std::printf(" %d", height);
    std::printf("\n");
  }
  std::fflush(stdout);
  return true;
}

bool StepFocusClick(const char* id) {
  HWND control = GetDlgItem(Dialog, std::atoi(id));
  if (control == nullptr) return Fail("no control with that id");
  if (!WaitUntil(DialogInFront, Timeout)) return Fail("the window does not come to the front");
  PostMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
  PostMessageW(control, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
  const bool focused = WaitUntil(
      [control] {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        return GetGUIThreadInfo(GetWindowThreadProcessId(Dialog, nullptr), &info) && info.hwndFocus == control;
      },
      Timeout);
  if (!focused) return Fail("the control did not take the keyboard");
  std::printf("focus: %s\n", id);
  std::fflush(stdout);
  return true;
}

// Whether window `upper` comes before `lower` in the z-order (above it).
bool StandsAbove(HWND upper, HWND lower) {
  for (HWND window = GetWindow(lower, GW_HWNDPREV); window != nullptr; window = GetWindow(window, GW_HWNDPREV)) {
    if (window == upper) return true;
  }
  return false;
}

HWND FindHelpWindow();

// Waits until the program's thread has handled every message posted to it
// before now: a marker posted to the help's text field (a limit one above
// its own, which a read-only field never meets) is handled in turn after them.
bool WaitForQueuedBefore(HWND help) {
  HWND field = FindWindowExW(help, nullptr, L"Edit", nullptr);
  LRESULT limit = 0;
  if (field == nullptr || !Send(field, EM_GETLIMITTEXT, 0, 0, &limit)) return false;
  const auto marker = static_cast<LRESULT>(limit + 1);
  PostMessageW(field, EM_SETLIMITTEXT, static_cast<WPARAM>(marker), 0);
  return WaitUntil(
      [field, marker] {
        LRESULT now = 0;
        return Send(field, EM_GETLIMITTEXT, 0, 0, &now) && now == marker;
      },
      Timeout);
}

bool StepHelpAbove() {
  HWND help = WaitFor(FindHelpWindow, Timeout);
  if (help == nullptr) return Fail("no help window");
  // The help comes to the front first, as it opens; only then is the main
  // window brought there, so that no late activation of the help follows.
  if (!WaitUntil([help] { return GetForegroundWindow() == help; }, Timeout)) {
    return Fail("the help does not come to the front");
  }
  if (!WaitUntil(DialogInFront, Timeout)) return Fail("the main window does not come to the front");
  // The program answers the activation in its own time: the help stands
  // above once it has; a help left below is printed at the timeout.
  const bool above = WaitUntil([help] { return StandsAbove(help, Dialog); }, Timeout);
  std::printf("help: %s the main window\n", above ? "above" : "below");
  std::fflush(stdout);
  // Whatever the F1 press left in the program's queue has run once the
  // marker has: the main window must still be in front, with the keyboard.
  if (!WaitForQueuedBefore(help)) return Fail("the program does not answer");
  return GetForegroundWindow() == Dialog || Fail("the help took the front back from the main window");
}

bool StepClickBit(const char* bit) {
  POINT point{};
  if (!BitPoint(std::atoi(bit), &point)) return Fail("the BIN line shows no digits to click");
  const std::wstring before = TextOf(BoxEdit());
  HWND line = GetDlgItem(Dialog, kIdResultLineBin);
  const LPARAM where = MAKELPARAM(point.x, point.y);
  PostMessageW(line, WM_LBUTTONDOWN, MK_LBUTTON, where);
  PostMessageW(line, WM_LBUTTONUP, 0, where);
  return WaitUntil([&before]() { return TextOf(BoxEdit()) != before; }, Timeout) || Fail("the click changed no box");
}

// Watches for the main dialog until the program has ended: only then is it
// certain that no window comes.
bool StepNoWindow() {
  if (Program == nullptr) {
    return Fail("the program's process is not known");
  }
  bool shown = false;
  const bool settled = WaitUntil(
      [&shown]() {
        shown = FindDialogByCaption(L"Quillo") != nullptr;
        return shown || WaitForSingleObject(Program, 0) == WAIT_OBJECT_0;
      },
      Timeout);
  if (!settled) {
    return Fail("the program neither ended nor showed its window");
  }
  std::printf("main window: %s\n", shown ? "shown" : "none");
  std::fflush(stdout);
  return true;
}

// What the box's context menu offers and does: its Undo is enabled by the
// edit field's answer to EM_CANUNDO and sends it WM_UNDO.
bool StepCanUndo() {
  LRESULT can = 0;
  if (!Send(BoxEdit(), EM_CANUNDO, 0, 0, &can)) return Fail("the expression box does not answer");
  std::printf("can undo: %s\n", can != 0 ? "yes" : "no");
  std::fflush(stdout);
  return true;
}

bool StepMenuUndo() { return Send(BoxEdit(), WM_UNDO, 0, 0) || Fail("the expression box does not answer"); }

bool StepSelection() {
  // Both ends come back in the result: pointers would name this process's memory.
  LRESULT both = 0;
  Send(BoxEdit(), EM_GETSEL, 0, 0, &both);
  std::printf("selection: %u %u\n", static_cast<unsigned>(LOWORD(both)), static_cast<unsigned>(HIWORD(both)));
  std::fflush(stdout);
  return true;
}

std::wstring ClipboardText() {
  std::wstring text;
  if (!OpenClipboard(nullptr)) {
    return L"<clipboard busy>";
  }
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
      text = chars;
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

bool PutOnClipboard(const std::wstring& text) {
  const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
  HGLOBAL data = GlobalAlloc(GMEM_MOVEABLE, bytes);
  if (data == nullptr || !OpenClipboard(nullptr)) {
    return Fail("the clipboard cannot be written");
  }
  std::memcpy(GlobalLock(data), text.c_str(), bytes);
  GlobalUnlock(data);
  EmptyClipboard();
  SetClipboardData(CF_UNICODETEXT, data);
  CloseClipboard();
  return true;
}

// "x*N" is N copies of x, so that a long text fits on a command line.
bool StepSetClipboard(const char* text) {
  std::string value = text;
  const std::size_t star = value.rfind('*');
  if (star != std::string::npos && star + 1 < value.size() && std::isdigit(static_cast<unsigned char>(value[star + 1]))) {
    const std::string piece = value.substr(0, star);
    const int count = std::atoi(value.c_str() + star + 1);
    value.clear();
    for (int i = 0; i < count; ++i) value += piece;
  }
  return PutOnClipboard(std::wstring(value.begin(), value.end()));
}

bool StepCopy() {
  PutOnClipboard(L"");
  return Send(BoxEdit(), WM_COPY, 0, 0) || Fail("the expression box does not answer");
}

bool StepCopyAll() {
  if (!WaitUntil(BoxHasKeyboard, Timeout)) {
    return Fail("the window does not come to the front with the focus in the box");
  }
  PutOnClipboard(L"");
  const WORD keys[] = {VK_CONTROL, VK_SHIFT, 'C'};
  INPUT inputs[6] = {};
  for (int i = 0; i < 3; ++i) {
    inputs[i].type = INPUT_KEYBOARD;
    inputs[i].ki.wVk = keys[i];
    inputs[5 - i] = inputs[i];
    inputs[5 - i].ki.dwFlags = KEYEVENTF_KEYUP;
  }
  if (SendInput(6, inputs, sizeof(INPUT)) != 6) {
    return Fail("SendInput");
  }
  return WaitUntil([]() { return !ClipboardText().empty(); }, Timeout) || Fail("nothing was copied");
}

bool StepClipboard() {
  Print("clipboard", ClipboardText());
  return true;
}

HWND FindNoticeBox();

// Posted: the program may answer with a message box. Waits until the box's
// text has changed or that message box shows.
bool StepPaste() {
  const std::wstring before = TextOf(BoxEdit());
  PostMessageW(BoxEdit(), WM_PASTE, 0, 0);
  return WaitUntil([&before]() { return FindNoticeBox() != nullptr || TextOf(BoxEdit()) != before; }, Timeout) ||
         Fail("the paste changed nothing");
}

// A message box of the program's own: caption "Quillo", owned by the dialog.
BOOL CALLBACK MatchNoticeBox(HWND window, LPARAM found) {
  wchar_t className[16] = L"";
  GetClassNameW(window, className, 16);
  if (window != Dialog && IsWindowVisible(window) && std::wcscmp(className, L"#32770") == 0 &&
      GetWindow(window, GW_OWNER) == Dialog && TextOf(window) == L"Quillo") {
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
  }
  return TRUE;
}

HWND FindNoticeBox() {
  HWND found = nullptr;
  EnumWindows(MatchNoticeBox, reinterpret_cast<LPARAM>(&found));
  return found;
}

bool StepNoticeBox() {
  MessageBoxWindow = WaitFor(FindNoticeBox, Timeout);
  if (MessageBoxWindow == nullptr) {
    return Fail("no \"Quillo\" message box shown");
  }
  std::wstring text;
  EnumChildWindows(MessageBoxWindow, CollectStaticText, reinterpret_cast<LPARAM>(&text));
  Print("notice box", text);
  return true;
}

// The help window of the program's, by its title, and the edit control in
// it that holds the text.
HWND FindHelpWindow() {
  HWND help = FindWindowW(L"QuilloHelp", L"Quillo Help");
  return help != nullptr && IsWindowVisible(help) ? help : nullptr;
}

bool StepMenuKeys(const char* letters) {
  if (!WaitUntil(BoxHasKeyboard, Timeout)) {
    return Fail("the window does not come to the front with the focus in the box");
  }
  if (!PressKeys({}, VK_MENU)) return Fail("SendInput");
  for (const char* c = letters; *c != '\0'; ++c) {
    if (!PressKeys({}, static_cast<WORD>(std::toupper(static_cast<unsigned char>(*c))))) return Fail("SendInput");
  }
  return true;
}

bool StepF1(bool anyFocus = false) {
  return KeyboardReady(anyFocus) && (PressKeys({}, VK_F1) || Fail("SendInput"));
}

// Runs of blanks become one, so that the line does not depend on the
// columns' widths.
std::wstring SqueezeBlanks(const std::wstring& line) {
  std::wstring squeezed;
  for (wchar_t c : line) {
    if (c == L' ' && (squeezed.empty() || squeezed.back() == L' ')) continue;
    squeezed += c;
  }
  while (!squeezed.empty() && squeezed.back() == L' ') squeezed.pop_back();
  return squeezed;
}

bool StepHelp(const char* text) {
  HWND help = WaitFor(FindHelpWindow, Timeout);
  if (help == nullptr) return Fail("no help window");
  const std::wstring page = TextOf(FindWindowExW(help, nullptr, L"Edit", nullptr));
  const std::wstring wanted(text, text + std::strlen(text));
  std::size_t start = 0;
  while (start < page.size()) {
    std::size_t end = page.find(L'\n', start);
    if (end == std::wstring::npos) end = page.size();
    const std::wstring line = page.substr(start, end - start);
    if (line.find(wanted) != std::wstring::npos) {
      Print("help", SqueezeBlanks(line));
      PostMessageW(help, WM_CLOSE, 0, 0);
      return WaitUntil([]() { return FindHelpWindow() == nullptr; }, Timeout) || Fail("the help stays open");
    }
    start = end + 1;
  }
  return Fail("the help lacks the text");
}

// Selects the entry text in a combo box of the font dialog, and tells the
// dialog as a user's choice would.
bool ChooseInFontCombo(HWND dialog, int id, const std::wstring& text) {
  HWND combo = GetDlgItem(dialog, id);
  LRESULT index = CB_ERR;
  if (combo == nullptr || !Send(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                reinterpret_cast<LPARAM>(text.c_str()), &index) || index == CB_ERR) {
    return false;
  }
  Send(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  return Send(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
}

// The font dialog's family and size boxes (cmb1 and cmb3 of its template).
constexpr int kFontFamilyBox = 0x470;
constexpr int kFontSizeBox = 0x472;

bool StepFontDialog(const char* choice) {
  const char* comma = std::strrchr(choice, ',');
  if (comma == nullptr) return Fail("font-dialog takes FAMILY,SIZE");
  const std::wstring family(choice, comma);
  const std::wstring size(comma + 1, comma + std::strlen(comma));
  HWND dialog = WaitFor(
      []() {
        HWND found = FindFileDialog();
        return found != nullptr && GetDlgItem(found, kFontFamilyBox) != nullptr ? found : nullptr;
      },
      Timeout);
  if (dialog == nullptr) return Fail("no font dialog");
  if (!ChooseInFontCombo(dialog, kFontFamilyBox, family)) return Fail("the font dialog lacks the family");
  if (!ChooseInFontCombo(dialog, kFontSizeBox, size)) return Fail("the font dialog lacks the size");
  if (!Click(GetDlgItem(dialog, IDOK))) return Fail("the font dialog's OK does not answer");
  return WaitUntil([dialog]() { return !IsWindow(dialog); }, Timeout) || Fail("the font dialog stays open");
}

bool StepBoxHeight() {
  RECT rect{};
  GetWindowRect(GetDlgItem(Dialog, kIdExpressionBox), &rect);
  std::printf("box-height: %ld\n", rect.bottom - rect.top);
  std::fflush(stdout);
  return true;
}

bool NeedsWindow(const char* step) {
  const bool found = Dialog != nullptr && IsWindow(Dialog);
  if (!found) {
    std::printf("FAILED: %s without the window\n", step);
  }
  return found;
}

// Runs one step; *next is advanced past the step's argument, if it has one.
bool RunStep(int argc, char** argv, int* next) {
  const std::string step = argv[(*next)++];
  const auto argument = [&]() -> const char* { return *next < argc ? argv[(*next)++] : nullptr; };
  if (step == "window") return StepWindow();
  if (step == "file-dialog") return StepFileDialog();
  if (step == "cancel") return StepCancel();
  if (step == "error-box") return StepErrorBox();
  if (step == "about-box") return StepAboutBox();
  if (step == "message-box") return StepMessageBox();
  if (step == "ok") return StepOk();
  if (step == "exit") return StepExit();
  if (step == "no-window") return StepNoWindow();
  if (!NeedsWindow(step.c_str())) return false;
  if (step == "lines") return StepLines();
  if (step == "box") return StepBox();
  if (step == "history") return StepHistory();
  if (step == "form") return StepForm();
  if (step == "focus") return StepFocus();
  if (step == "can-undo") return StepCanUndo();
  if (step == "menu-undo") return StepMenuUndo();
  if (step == "rect") return StepRect();
  if (step == "controls") return StepControls();
  if (step == "overlaps") return StepOverlaps();
  if (step == "close") return Click(GetDlgItem(Dialog, kIdCloseButton));
  if (step == "selection") return StepSelection();
  if (step == "copy") return StepCopy();
  if (step == "copy-all") return StepCopyAll();
  if (step == "clipboard") return StepClipboard();
  if (step == "paste") return StepPaste();
  if (step == "notice-box") return StepNoticeBox();
  if (step == "search") return StepSearch();
  if (step == "search-open") return StepSearchOpen();
  if (step == "f1") return StepF1();
  if (step == "f1-here") return StepF1(true);
  if (step == "box-height") return StepBoxHeight();
  if (step == "help-above") return StepHelpAbove();
  const char* value = argument();
  if (value == nullptr) return Fail("a step lacks its argument");
  if (step == "type") return StepType(value);
  if (step == "click") return StepClick(value);
  if (step == "text") return StepText(value);
  if (step == "accessible") return StepAccessible(value);
  if (step == "label") return StepLabel(value);
  if (step == "choose") return StepChoose(value);
  if (step == "command") return StepCommand(value);
  if (step == "command-lines") return StepCommandLines(value);
  if (step == "click-bit") return StepClickBit(value);
  if (step == "key") return StepKey(value);
  if (step == "key-here") return StepKey(value, true);
  if (step == "strip") return StepStrip(value);
  if (step == "focus-click") return StepFocusClick(value);
  if (step == "menu-key") return StepMenuKey(value);
  if (step == "search-type") return StepSearchType(value);
  if (step == "search-key") return StepSearchKey(value);
  if (step == "set-clipboard") return StepSetClipboard(value);
  if (step == "grow") return StepGrow(value);
  if (step == "menu-keys") return StepMenuKeys(value);
  if (step == "help") return StepHelp(value);
  if (step == "font-dialog") return StepFontDialog(value);
  return Fail("unknown step");
}

}  // namespace

int main(int argc, char** argv) {
  int next = 1;
  if (next < argc && std::strncmp(argv[next], "--timeout=", 10) == 0) {
    Timeout = static_cast<DWORD>(std::atoi(argv[next] + 10));
    ++next;
  }
  if (next < argc && std::strncmp(argv[next], "--desktop=", 10) == 0) {
    const std::string name = argv[next] + 10;
    ++next;
    // The desktop may still be starting. This thread must change desktops
    // before it has any window.
    HDESK desktop = nullptr;
    const ULONGLONG end = GetTickCount64() + Timeout;
    while ((desktop = OpenDesktopA(name.c_str(), 0, FALSE, GENERIC_ALL)) == nullptr && GetTickCount64() < end) {
      Sleep(kPollMilliseconds);
    }
    if (desktop == nullptr || !SetThreadDesktop(desktop)) {
      std::printf("FAILED: no desktop \"%s\"\n", name.c_str());
      return 1;
    }
  }
  while (next < argc) {
    if (!RunStep(argc, argv, &next)) {
      return 1;
    }
  }
  return 0;
}
