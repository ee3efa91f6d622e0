// The result lines as a programmer reads them on Windows: a fixed-pitch
// font, and the BIN line's digits flipping their bits when clicked. The
// lines are read-only edit fields, which draw their text as it is: the
// digit groups' gaps are not drawn here.

#include <windowsx.h>

#include <algorithm>
#include <cwchar>
#include <string>
#include <vector>

#include "ui/dialog_ids.h"
#include "ui/main_dialog.h"
#include "ui/win32/text_conversion.h"
#include "ui/win32/win32_front_end.h"

namespace {

// The font of the result lines, made once for the program's one dialog and
// kept until the program ends: the first fixed-pitch face the system has
// of these, at the height of the dialog's own font. The one place that
// chooses it.
HFONT ResultLineFont(HWND dialog) {
  static HFONT font = nullptr;
  if (font != nullptr) return font;
  LOGFONTW dialogFont{};
  const auto current = reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0));
  if (current == nullptr || GetObjectW(current, sizeof dialogFont, &dialogFont) == 0) dialogFont.lfHeight = -11;
  for (const wchar_t* face : {L"Consolas", L"Courier New"}) {
    LOGFONTW wanted{};
    wanted.lfHeight = dialogFont.lfHeight;
    wanted.lfCharSet = DEFAULT_CHARSET;
    wanted.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
    wcsncpy(wanted.lfFaceName, face, LF_FACESIZE - 1);
    font = CreateFontIndirectW(&wanted);
    if (font != nullptr) break;
  }
  return font;
}

// The edit field's text as the dialog logic wrote it: rows broken by '\n'.
std::string LineText(HWND edit) {
  const int length = GetWindowTextLengthW(edit);
  std::wstring wide(static_cast<std::size_t>(length) + 1, L'\0');
  GetWindowTextW(edit, wide.data(), length + 1);
  wide.resize(static_cast<std::size_t>(length));
  std::string text;
  for (wchar_t c : wide) {
    if (c != L'\r') text += c < 0x80 ? static_cast<char>(c) : '?';
  }
  return text;
}

// The field's character index of text index `index` (each '\n' stands for
// CR LF in the field).
int FieldIndex(const std::string& text, int index) {
  int field = index;
  for (int i = 0; i < index; ++i) field += text[static_cast<std::size_t>(i)] == '\n' ? 1 : 0;
  return field;
}

}  // namespace

void Win32FrontEnd::ApplyResultLineFont() {
  const HFONT font = ResultLineFont(window_);
  if (font == nullptr) return;
  for (int id = kIdResultLineDec; id <= kIdResultLineExp; ++id) {
    SendDlgItemMessageW(window_, id, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  }
}

void Win32FrontEnd::ShowResultLine(int controlId, const char* text, const DigitGaps& /*gaps*/, int bitCount) {
  if (controlId == kIdResultLineBin) binaryBits_ = bitCount;
  SetControlText(controlId, text);
}

// The width of a digit in the edit field's font, which is of fixed pitch.
int DigitWidth(HWND edit) {
  HDC context = GetDC(edit);
  const HGDIOBJ old = SelectObject(context, reinterpret_cast<HFONT>(SendMessageW(edit, WM_GETFONT, 0, 0)));
  SIZE digit{};
  GetTextExtentPoint32W(context, L"0", 1, &digit);
  SelectObject(context, old);
  ReleaseDC(edit, context);
  return static_cast<int>(digit.cx);
}

// The bit under client point (x, y) of the BIN line: the digit there, or,
// left of a row's first digit, a leading zero the line leaves out, counted
// in digit widths. -1 where no bit of the word lies.
int Win32FrontEnd::BinaryBitAt(HWND edit, int x, int y) const {
  const std::string text = LineText(edit);
  const int width = DigitWidth(edit);
  if (width <= 0) return -1;
  // The row the point lies in: the lowest whose top is above it.
  struct Digit {
    int bit;
    POINT position;
  };
  std::vector<Digit> digits;
  int rowTop = -1;
  for (int i = 0; i < static_cast<int>(text.size()); ++i) {
    const int bit = BitOfBinaryDigit(text.c_str(), i);
    if (bit < 0) continue;
    const LRESULT at = SendMessageW(edit, EM_POSFROMCHAR, static_cast<WPARAM>(FieldIndex(text, i)), 0);
    digits.push_back({bit, POINT{GET_X_LPARAM(at), GET_Y_LPARAM(at)}});
    if (digits.back().position.y <= y) rowTop = std::max(rowTop, static_cast<int>(digits.back().position.y));
  }
  const Digit* leftmost = nullptr;
  for (const Digit& digit : digits) {
    if (digit.position.y != rowTop) continue;
    if (x >= digit.position.x && x < digit.position.x + width) return digit.bit;
    if (leftmost == nullptr || digit.position.x < leftmost->position.x) leftmost = &digit;
  }
  if (leftmost == nullptr || x >= leftmost->position.x) return -1;
  const int bit = leftmost->bit + (leftmost->position.x - x + width - 1) / width;
  return bit < binaryBits_ ? bit : -1;
}

// A click (no selection made) on the BIN line's strip flips the bit there.
// The field handles the click as well, so its capture ends as usual.
void Win32FrontEnd::OnResultLineClick(HWND edit, LPARAM point) {
  if (GetDlgCtrlID(edit) != kIdResultLineBin || binaryBits_ <= 0 || dialog_ == nullptr) return;
  DWORD start = 0;
  DWORD end = 0;
  SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  if (start != end) return;
  const int bit = BinaryBitAt(edit, GET_X_LPARAM(point), GET_Y_LPARAM(point));
  if (bit >= 0) dialog_->OnFlipBit(bit);
}
