// The help window of Help -> Contents and the font of the box and the lines:
// the Windows side of ShowHelp, SetDisplayFont and AskForFont.

#include "ui/win32/win32_front_end.h"
#include "ui/win32/window_layout.h"

#include <commctrl.h>
#include <commdlg.h>

#include <string>

#include "ui/win32/text_conversion.h"

namespace {

// Room for the widest rows of the help in its fixed-width font, and a good
// part of the page, in average characters and lines.
constexpr int kHelpWidthCharacters = 110;
constexpr int kHelpHeightLines = 36;
constexpr int kHelpFontPoints = 9;

// Logical units of a font height of `points` on the screen.
int PixelHeightOfPoints(HWND window, int points) {
  HDC screen = GetDC(window);
  const int height = -MulDiv(points, GetDeviceCaps(screen, LOGPIXELSY), 72);
  ReleaseDC(window, screen);
  return height;
}

// A font of the family (UTF-8) at `points`. Where the family is missing, the
// font mapper takes another of the same pitch: fixed-width where pitch says so.
HFONT CreateFontOf(HWND window, const char* family, int points, BYTE pitch = DEFAULT_PITCH | FF_DONTCARE) {
  LOGFONTW font{};
  font.lfHeight = PixelHeightOfPoints(window, points);
  font.lfWeight = FW_NORMAL;
  font.lfCharSet = DEFAULT_CHARSET;
  font.lfPitchAndFamily = pitch;
  lstrcpynW(font.lfFaceName, ToWide(family).c_str(), LF_FACESIZE);
  return CreateFontIndirectW(&font);
}

// The help as the edit control shows it: its lines end with CR LF.
std::wstring HelpEditText(const HelpContents& help) { return WithCrLf(ToWide(HelpAsPlainText(help).c_str())); }

constexpr wchar_t kHelpWindowClass[] = L"QuilloHelp";

// The help window only holds its edit control: it fills the client area,
// has the focus whenever the window has it, and Escape in it closes the
// window.
LRESULT CALLBACK HelpWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  HWND edit = GetWindow(window, GW_CHILD);
  switch (message) {
    case WM_SIZE:
      if (edit != nullptr) MoveWindow(edit, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
      return 0;
    case WM_SETFOCUS:
      if (edit != nullptr) SetFocus(edit);
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

// The edit's keys: Escape closes the help; the rest are the edit's own.
LRESULT CALLBACK HelpEditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
  if (message == WM_KEYDOWN && wParam == VK_ESCAPE) {
    PostMessageW(GetParent(edit), WM_CLOSE, 0, 0);
    return 0;
  }
  return DefSubclassProc(edit, message, wParam, lParam);
}

bool RegisterHelpWindowClass(HINSTANCE instance) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = HelpWindowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW, narrow without UNICODE
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  windowClass.lpszClassName = kHelpWindowClass;
  return RegisterClassExW(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

// The window's size for the help: the text's room plus the frame.
SIZE HelpWindowSize(HWND edit, HFONT font) {
  HDC context = GetDC(edit);
  const HGDIOBJ old = SelectObject(context, font);
  TEXTMETRICW metrics{};
  GetTextMetricsW(context, &metrics);
  SelectObject(context, old);
  ReleaseDC(edit, context);
  RECT rect{0, 0, metrics.tmAveCharWidth * kHelpWidthCharacters, metrics.tmHeight * kHelpHeightLines};
  AdjustWindowRectEx(&rect, WS_OVERLAPPEDWINDOW, FALSE, 0);
  return {rect.right - rect.left + GetSystemMetrics(SM_CXVSCROLL), rect.bottom - rect.top};
}

}  // namespace

// The help window is a top-level window of its own with a read-only
// multi-line edit control, owned by the dialog: it closes with the dialog,
// stays above it, and the dialog stays usable.
void Win32FrontEnd::ShowHelp(const HelpContents& help) {
  if (window_ == nullptr) return;
  if (help_ == nullptr || !IsWindow(help_)) {
    if (!RegisterHelpWindowClass(instance_)) return;
    help_ = CreateWindowExW(0, kHelpWindowClass, L"", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                            CW_USEDEFAULT, CW_USEDEFAULT, window_, nullptr, instance_, nullptr);
    if (help_ == nullptr) return;
    HWND edit = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"",
                                WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_READONLY |
                                    ES_AUTOVSCROLL | ES_AUTOHSCROLL,
                                0, 0, 0, 0, help_, nullptr, instance_, nullptr);
    SetWindowSubclass(edit, HelpEditProc, 0, 0);
    // The plain-text help lines its columns up with blanks: a fixed-width font.
    if (helpFont_ == nullptr) helpFont_ = CreateFontOf(window_, "Courier New", kHelpFontPoints, FIXED_PITCH | FF_MODERN);
    SendMessageW(edit, WM_SETFONT, reinterpret_cast<WPARAM>(helpFont_), FALSE);
    const SIZE size = HelpWindowSize(edit, helpFont_);
    SetWindowPos(help_, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER);
  }
  SetWindowTextW(help_, ToWide(help.title.c_str()).c_str());
  SetWindowTextW(GetWindow(help_, GW_CHILD), HelpEditText(help).c_str());
  ShowWindow(help_, SW_SHOWNORMAL);
  SetForegroundWindow(help_);
  KeepHelpAbove();
}

// The help stands in the main window's band (topmost with "Always on top",
// else not) and directly above it. An owned window should stay above its
// owner anyway, but a topmost owner does not take a help window of the
// other band along, and some window managers raise the owner alone.
void Win32FrontEnd::KeepHelpAbove() {
  if (window_ == nullptr || help_ == nullptr || !IsWindowVisible(help_)) return;
  SetWindowPos(help_, onTop_ ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  SetWindowPos(window_, help_, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

// The main window raised (activated, clicked) while the help shows goes
// directly below the help instead of above it; it stays active and usable.
void Win32FrontEnd::OnWindowPosChanging(WINDOWPOS& position) const {
  if ((position.flags & SWP_NOZORDER) != 0 || position.hwndInsertAfter != HWND_TOP) return;
  if (help_ != nullptr && IsWindowVisible(help_)) position.hwndInsertAfter = help_;
}

// The lines and the box get the chosen font; no choice gives the box the
// dialog's own font back and the lines their fixed-width one. A font replaced is deleted once no control uses it.
void Win32FrontEnd::SetDisplayFont(const FontChoice& font) {
  if (window_ == nullptr) return;
  HFONT chosen = IsFontChosen(font) ? CreateFontOf(window_, font.family, font.points) : nullptr;
  const auto shown = chosen != nullptr ? chosen : reinterpret_cast<HFONT>(SendMessageW(window_, WM_GETFONT, 0, 0));
  SendDlgItemMessageW(window_, kIdExpressionBox, WM_SETFONT, reinterpret_cast<WPARAM>(shown), TRUE);
  if (chosen != nullptr) {
    for (int id = kIdResultLineDec; id <= kIdResultLineExp; ++id) {
      SendDlgItemMessageW(window_, id, WM_SETFONT, reinterpret_cast<WPARAM>(chosen), TRUE);
    }
  } else {
    ApplyResultLineFont();  // the lines' own fixed-width font
  }
  if (displayFont_ != nullptr) DeleteObject(displayFont_);
  displayFont_ = chosen;
  FitTemplateToFont(window_, chosen);
  FitBinaryLineToStrip();  // the strip's rows take the new font's height
}

// ChooseFontW opens at the font now shown; the sizes it offers are those the
// settings keep.
bool Win32FrontEnd::AskForFont(FontChoice& font) {
  if (window_ == nullptr) return false;
  LOGFONTW initial{};
  const auto current = reinterpret_cast<HFONT>(SendDlgItemMessageW(window_, kIdExpressionBox, WM_GETFONT, 0, 0));
  if (current != nullptr) GetObjectW(current, sizeof initial, &initial);
  CHOOSEFONTW choice{};
  choice.lStructSize = sizeof choice;
  choice.hwndOwner = window_;
  choice.lpLogFont = &initial;
  choice.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT | CF_LIMITSIZE | CF_NOVERTFONTS;
  choice.nSizeMin = kMinFontPoints;
  choice.nSizeMax = kMaxFontPoints;
  if (!ChooseFontW(&choice)) return false;
  char family[kFontFamilyCapacity];
  CopyAsUtf8(initial.lfFaceName, family, sizeof family);
  // iPointSize is in tenths of a point.
  return MakeFontChoice(family, (choice.iPointSize + 5) / 10, font);
}
