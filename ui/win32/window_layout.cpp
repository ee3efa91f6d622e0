#include "ui/win32/window_layout.h"

#include <algorithm>

#include "ui/dialog_template.h"
#include "ui/line_room.h"
#include "ui/win32/history_search_controls.h"

namespace {

// The window property that holds how much larger than the template, in
// percent, the chosen font of the box and the lines makes the window.
constexpr wchar_t kScaleProperty[] = L"QuilloTemplateScale";
constexpr int kFullScale = 100;

// The window property that holds the pixels the BIN line has beyond its
// template's height, so that the bit strip's rows and numbers fit.
constexpr wchar_t kLineRoomProperty[] = L"QuilloBinaryLineRoom";

int TemplateScale(HWND dialog) {
  const auto percent = static_cast<int>(reinterpret_cast<INT_PTR>(GetPropW(dialog, kScaleProperty)));
  return percent > kFullScale ? percent : kFullScale;
}

// The template's rectangle in pixels, as the dialog manager placed it, grown
// by the scale of a larger chosen font.
RECT TemplateRect(HWND dialog, int x, int y, int width, int height) {
  RECT rect{x, y, x + width, y + height};
  MapDialogRect(dialog, &rect);
  const int scale = TemplateScale(dialog);
  rect.left = MulDiv(rect.left, scale, kFullScale);
  rect.top = MulDiv(rect.top, scale, kFullScale);
  rect.right = MulDiv(rect.right, scale, kFullScale);
  rect.bottom = MulDiv(rect.bottom, scale, kFullScale);
  return rect;
}

// The height of a font's characters in pixels on the dialog's screen.
int FontHeight(HWND dialog, HFONT font) {
  HDC context = GetDC(dialog);
  if (context == nullptr) return 0;
  const HGDIOBJ old = SelectObject(context, font);
  TEXTMETRICW metrics{};
  const bool measured = GetTextMetricsW(context, &metrics) != FALSE;
  SelectObject(context, old);
  ReleaseDC(dialog, context);
  return measured ? static_cast<int>(metrics.tmHeight) : 0;
}

// The template's client area with the BIN line's extra room.
SIZE TemplateClientSize(HWND dialog) {
  const RECT rect = TemplateRect(dialog, 0, 0, kDialogWidthUnits, kDialogHeightUnits);
  return SIZE{rect.right - rect.left, rect.bottom - rect.top + BinaryLineRoom(dialog)};
}

// The control's place at the template's size with the BIN line's extra
// room: the line taller, what lies below it lower.
RECT PlaceWithLineRoom(HWND dialog, const ControlTemplate& control) {
  RECT rect = TemplateRect(dialog, control.x, control.y, control.width, control.height);
  const int room = BinaryLineRoom(dialog);
  const ControlTemplate* line = FindControl(kIdResultLineBin);
  if (room == 0 || line == nullptr) return rect;
  const RoomShift shift = ShiftForTallerLine(control, *line);
  if (shift.top) rect.top += room;
  if (shift.bottom) rect.bottom += room;
  return rect;
}

// One edge pair of a control along one axis, after the window grew by
// growth pixels (which is never negative: the window is never smaller than
// its template).
void FollowAnchor(Anchor anchor, int growth, LONG& start, LONG& end) {
  switch (anchor) {
    case Anchor::Start:
      break;
    case Anchor::Stretch:
      end += growth;
      break;
    case Anchor::End:
      start += growth;
      end += growth;
      break;
  }
}

// The size of the window whose client area has the given size.
SIZE WindowSizeForClient(HWND dialog, SIZE client) {
  RECT rect{0, 0, client.cx, client.cy};
  const auto style = static_cast<DWORD>(GetWindowLongPtrW(dialog, GWL_STYLE));
  const auto extendedStyle = static_cast<DWORD>(GetWindowLongPtrW(dialog, GWL_EXSTYLE));
  AdjustWindowRectEx(&rect, style, GetMenu(dialog) != nullptr, extendedStyle);
  return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

// The history search's field and list, once made, lie under the box with its
// width: they follow it as it grows or shrinks.
void FollowTheBox(HWND dialog, HDWP& moves, const RECT& box) {
  for (const int id : {kIdSearchField, kIdSearchList}) {
    HWND control = GetDlgItem(dialog, id);
    if (control == nullptr || moves == nullptr) continue;
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    moves = DeferWindowPos(moves, control, nullptr, box.left, rect.top, box.right - box.left, rect.bottom - rect.top,
                           SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

}  // namespace

void ArrangeDialogControls(HWND dialog) {
  RECT client{};
  GetClientRect(dialog, &client);
  const SIZE base = TemplateClientSize(dialog);
  const int growX = std::max(0, static_cast<int>(client.right - base.cx));
  const int growY = std::max(0, static_cast<int>(client.bottom - base.cy));
  HDWP moves = BeginDeferWindowPos(static_cast<int>(kDialogControls.size()) + 2);
  RECT box{};
  for (const ControlTemplate& control : kDialogControls) {
    // The frame around the buttons is the only control of id -1.
    HWND window = GetDlgItem(dialog, control.id);
    if (window == nullptr || moves == nullptr) continue;
    RECT rect = PlaceWithLineRoom(dialog, control);
    FollowAnchor(control.horizontal, growX, rect.left, rect.right);
    FollowAnchor(control.vertical, growY, rect.top, rect.bottom);
    if (control.id == kIdExpressionBox) box = rect;
    moves = DeferWindowPos(moves, window, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                           SWP_NOZORDER | SWP_NOACTIVATE);
  }
  FollowTheBox(dialog, moves, box);
  if (moves != nullptr) EndDeferWindowPos(moves);
  // Group boxes paint only their frame: what they left behind is cleared.
  InvalidateRect(dialog, nullptr, TRUE);
}

void LimitDialogSize(HWND dialog, MINMAXINFO* limits) {
  // While the dialog is being made its font is not yet set, so dialog units
  // cannot be mapped; the template's size holds then anyway.
  if (GetDlgItem(dialog, kIdExpressionBox) == nullptr) return;
  const SIZE smallest = WindowSizeForClient(dialog, TemplateClientSize(dialog));
  limits->ptMinTrackSize = POINT{smallest.cx, smallest.cy};
}

SIZE DialogWindowSizeForClient(HWND dialog) {
  RECT client{};
  GetClientRect(dialog, &client);
  const SIZE base = TemplateClientSize(dialog);
  return WindowSizeForClient(dialog, SIZE{std::max(base.cx, client.right), std::max(base.cy, client.bottom)});
}

void FitTemplateToFont(HWND dialog, HFONT displayFont) {
  const auto dialogFont = reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0));
  const int dialogHeight = dialogFont != nullptr ? FontHeight(dialog, dialogFont) : 0;
  const int displayHeight = displayFont != nullptr ? FontHeight(dialog, displayFont) : 0;
  int scale = kFullScale;
  if (dialogHeight > 0 && displayHeight > dialogHeight) scale = MulDiv(displayHeight, kFullScale, dialogHeight);
  SetPropW(dialog, kScaleProperty, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(scale)));
  const SIZE size = DialogWindowSizeForClient(dialog);
  SetWindowPos(dialog, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  ArrangeDialogControls(dialog);
}

int BinaryLineRoom(HWND dialog) {
  return static_cast<int>(reinterpret_cast<INT_PTR>(GetPropW(dialog, kLineRoomProperty)));
}

// The window keeps its top edge and whatever the user added to its size:
// its height changes by what the room changes, as its smallest height does.
void SetBinaryLineRoom(HWND dialog, int pixels) {
  const int change = pixels - BinaryLineRoom(dialog);
  if (change == 0) return;
  SetPropW(dialog, kLineRoomProperty, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(pixels)));
  RECT window{};
  GetWindowRect(dialog, &window);
  SetWindowPos(dialog, nullptr, 0, 0, window.right - window.left, window.bottom - window.top + change,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  ArrangeDialogControls(dialog);
}

void ForgetTemplateScale(HWND dialog) {
  RemovePropW(dialog, kScaleProperty);
  RemovePropW(dialog, kLineRoomProperty);
}
