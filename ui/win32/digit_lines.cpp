// The result lines as a programmer reads them on Windows: a fixed-pitch
// font; HEX, BIN and OCT digits drawn in groups with thin gaps, the BIN line
// as a strip of the word's bits, numbered where it has the height, whose
// digits flip their bits when clicked. The lines are read-only edit fields:
// while one has the focus (the user selects in it) the field draws itself,
// its digits without gaps, so that the selection it makes is the one shown.

#include <windowsx.h>

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

#include "ui/dialog_ids.h"
#include "ui/main_dialog.h"
#include "ui/win32/text_conversion.h"
#include "ui/win32/win32_front_end.h"
#include "ui/win32/window_layout.h"

namespace {

// The first fixed-pitch face the system has of these, at `percent` of the
// height of the dialog's own font.
HFONT MakeLineFont(HWND dialog, int percent) {
  HFONT font = nullptr;
  LOGFONTW dialogFont{};
  const auto current = reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0));
  if (current == nullptr || GetObjectW(current, sizeof dialogFont, &dialogFont) == 0) dialogFont.lfHeight = -11;
  for (const wchar_t* face : {L"Consolas", L"Courier New"}) {
    LOGFONTW wanted{};
    wanted.lfHeight = dialogFont.lfHeight * percent / 100;
    wanted.lfCharSet = DEFAULT_CHARSET;
    wanted.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
    wcsncpy(wanted.lfFaceName, face, LF_FACESIZE - 1);
    font = CreateFontIndirectW(&wanted);
    if (font != nullptr) break;
  }
  return font;
}

// The font of the result lines, made once for the program's one dialog and
// kept until the program ends. The one place that chooses it.
HFONT ResultLineFont(HWND dialog) {
  static const HFONT font = MakeLineFont(dialog, 100);
  return font;
}

// The font the line's digits are drawn in: the line's own, which is the
// font chosen for the box and the lines or else the fixed-width one.
HFONT DigitFont(HWND edit, HWND dialog) {
  const auto own = reinterpret_cast<HFONT>(SendMessageW(edit, WM_GETFONT, 0, 0));
  return own != nullptr ? own : ResultLineFont(dialog);
}

// The bit numbers' font: the digits' face at 70 % of their height, so that
// the numbers grow with a larger chosen font, and never below 9 pixels, under
// which a digit of a screen font is a smudge (at 96 dpi the share alone gives
// 7). Made again only when the digits' font is another.
constexpr int kBitNumberPercent = 70;
constexpr LONG kSmallestReadableHeight = 9;

HFONT BitNumberFont(HFONT digitFont) {
  static LOGFONTW madeFor{};
  static HFONT numbers = nullptr;
  LOGFONTW digits{};
  if (GetObjectW(digitFont, sizeof digits, &digits) == 0) digits.lfHeight = -11;
  if (numbers != nullptr && std::memcmp(&digits, &madeFor, sizeof digits) == 0) return numbers;
  LOGFONTW wanted = digits;
  // A negative height is the characters' own, a positive one includes the
  // leading; either serves as the measure here.
  const LONG height = digits.lfHeight < 0 ? -digits.lfHeight : digits.lfHeight;
  wanted.lfHeight = -std::max(height * kBitNumberPercent / 100, kSmallestReadableHeight);
  wanted.lfWidth = 0;
  HFONT made = CreateFontIndirectW(&wanted);
  if (made == nullptr) return numbers != nullptr ? numbers : digitFont;
  if (numbers != nullptr) DeleteObject(numbers);
  numbers = made;
  madeFor = digits;
  return numbers;
}

// A digit of a line as drawn: the text's character at `index` (-1 for a
// leading zero of the strip that the text leaves out), its bit (-1 outside
// the strip), and its box.
struct DigitCell {
  int index;
  int bit;
  RECT box;
};


// The measures of a drawn line in its device context's fonts.
struct DigitMetrics {
  int width;        // a digit's, the font being of fixed pitch
  int gap;          // between two groups: half a digit
  int rowHeight;    // one row of digits, with its bit numbers where shown
  int digitHeight;  // the digits' own height
  bool numbers;     // the strip's bits are numbered
};

int RowCountOf(const std::string& text, int bitCount) {
  if (bitCount > 0) return (bitCount + kBinaryRowDigits - 1) / kBinaryRowDigits;
  return 1 + static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

// A row of the strip's digits with their bit numbers under them: the
// digits' height, then the numbers' ascent (they are digits too, without
// descenders) and a pixel between.
int RowHeightWithNumbers(HDC context, HWND edit, HWND dialog, const TEXTMETRICW& digits) {
  TEXTMETRICW small{};
  const HGDIOBJ old = SelectObject(context, BitNumberFont(DigitFont(edit, dialog)));
  GetTextMetricsW(context, &small);
  SelectObject(context, old);
  return static_cast<int>(digits.tmHeight) + static_cast<int>(small.tmAscent) + 1;
}

DigitMetrics MeasureDigits(HDC context, HWND edit, HWND dialog, int rows, int bitCount, const RECT& area) {
  DigitMetrics measures{};
  TEXTMETRICW digits{};
  SelectObject(context, DigitFont(edit, dialog));
  GetTextMetricsW(context, &digits);
  SIZE zero{};
  GetTextExtentPoint32W(context, L"0", 1, &zero);
  measures.width = std::max(1, static_cast<int>(zero.cx));
  measures.gap = std::max(2, measures.width / 2);
  measures.digitHeight = static_cast<int>(digits.tmHeight);
  const int full = RowHeightWithNumbers(context, edit, dialog, digits);
  const int height = static_cast<int>(area.bottom - area.top);
  measures.numbers = bitCount > 0 && rows * full <= height;
  // Rows of digits alone close up where the field is lower than the font's
  // line spacing: digits have no descenders to collide.
  measures.rowHeight = measures.numbers ? full
                                        : std::max(static_cast<int>(digits.tmAscent) + 1,
                                                   std::min(measures.digitHeight, height / std::max(1, rows)));
  return measures;
}

// Where each digit of a line goes: rows right-aligned in area; the strip's
// bits in rows of 32 from bit 0 at the right of the last row.
std::vector<DigitCell> LayOutDigits(const std::string& text, const DigitGaps& gaps, int bitCount, const RECT& area,
                                    const DigitMetrics& measures) {
  std::vector<DigitCell> cells;
  const int rows = RowCountOf(text, bitCount);
  const auto box = [&](int right, int row) {
    const int top = static_cast<int>(area.top) + row * measures.rowHeight;
    return RECT{right - measures.width, top, right, top + measures.digitHeight};
  };
  if (bitCount > 0) {
    std::vector<int> indexOfBit(static_cast<std::size_t>(bitCount), -1);
    for (int i = 0; i < static_cast<int>(text.size()); ++i) {
      const int bit = BitOfBinaryDigit(text.c_str(), i);
      if (bit >= 0 && bit < bitCount) indexOfBit[static_cast<std::size_t>(bit)] = i;
    }
    int right = static_cast<int>(area.right);
    for (int bit = 0; bit < bitCount; ++bit) {
      if (bit % kBinaryRowDigits == 0) right = static_cast<int>(area.right);
      cells.push_back({indexOfBit[static_cast<std::size_t>(bit)], bit, box(right, rows - 1 - bit / kBinaryRowDigits)});
      right -= measures.width + (GapLeftOfBit(bit, gaps.groupSize) ? measures.gap : 0);
    }
    return cells;
  }
  int rowEnd = static_cast<int>(text.size());
  for (int row = rows - 1; row >= 0; --row) {
    const int rowStart = static_cast<int>(text.rfind('\n', static_cast<std::size_t>(std::max(0, rowEnd - 1))) + 1);
    int right = static_cast<int>(area.right);
    for (int i = rowEnd - 1; i >= rowStart && i >= 0; --i) {
      cells.push_back({i, -1, box(right, row)});
      right -= measures.width;
      if (std::find(gaps.before, gaps.before + gaps.count, i) != gaps.before + gaps.count) right -= measures.gap;
    }
    rowEnd = rowStart - 1;
  }
  return cells;
}

// The edit field's formatting rectangle, where it draws its own text, down
// to the bottom of its client area: the field cuts the rectangle to whole
// rows of its own text, while the program's rows (digits with their bit
// numbers) take the height the window gave the field.
RECT TextArea(HWND edit) {
  RECT area{};
  SendMessageW(edit, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&area));
  RECT client{};
  GetClientRect(edit, &client);
  area.bottom = std::max(area.bottom, client.bottom);
  return area;
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

// The digits of the edit field as the program draws them, and their measures.
std::vector<DigitCell> DrawnCells(HWND edit, HWND dialog, const DigitGaps& gaps, int bits, HDC context,
                                  DigitMetrics& measures) {
  const std::string text = LineText(edit);
  const RECT area = TextArea(edit);
  measures = MeasureDigits(context, edit, dialog, RowCountOf(text, bits), bits, area);
  return LayOutDigits(text, gaps, bits, area, measures);
}

// The height of the BIN line's text area that a strip of `rows` rows needs
// to show its bit numbers.
int StripHeightWithNumbers(HWND edit, HWND dialog, int rows) {
  HDC context = GetDC(edit);
  if (context == nullptr) return 0;
  const int saved = SaveDC(context);
  SelectObject(context, DigitFont(edit, dialog));
  TEXTMETRICW digits{};
  GetTextMetricsW(context, &digits);
  const int height = rows * RowHeightWithNumbers(context, edit, dialog, digits);
  RestoreDC(context, saved);
  ReleaseDC(edit, context);
  return height;
}

bool IsGroupedLine(int id) { return id == kIdResultLineHex || id == kIdResultLineBin || id == kIdResultLineOct; }

}  // namespace

void Win32FrontEnd::ApplyResultLineFont() {
  const HFONT font = ResultLineFont(window_);
  if (font == nullptr) return;
  for (int id = kIdResultLineDec; id <= kIdResultLineExp; ++id) {
    SendDlgItemMessageW(window_, id, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  }
}

// The field is drawn again: the gaps may change without its text doing so.
// A strip of another number of rows (a word of 64 bits or back) asks the
// window for the BIN line's height; a message in the line keeps the height
// of the strip shown last, so the window does not jump with each error.
void Win32FrontEnd::ShowResultLine(int controlId, const char* text, const DigitGaps& gaps, int bitCount) {
  if (controlId == kIdResultLineBin) {
    binaryBits_ = bitCount;
    const int rows = (bitCount + kBinaryRowDigits - 1) / kBinaryRowDigits;
    if (rows > 0 && rows != stripRows_) {
      stripRows_ = rows;
      FitBinaryLineToStrip();
    }
  }
  if (IsResultLine(controlId)) lineGaps_[controlId - kIdResultLineDec] = gaps;
  SetControlText(controlId, text);
  if (window_ != nullptr) InvalidateRect(GetDlgItem(window_, controlId), nullptr, TRUE);
}

// The BIN line gets the height its strip lacks for the numbers under its
// rows, beyond the template's; none where the template's height holds them.
void Win32FrontEnd::FitBinaryLineToStrip() {
  if (window_ == nullptr || stripRows_ <= 0) return;
  HWND edit = GetDlgItem(window_, kIdResultLineBin);
  const RECT area = TextArea(edit);
  const int templateHeight = static_cast<int>(area.bottom - area.top) - BinaryLineRoom(window_);
  SetBinaryLineRoom(window_, std::max(0, StripHeightWithNumbers(edit, window_, stripRows_) - templateHeight));
}

// The program draws an integer line holding a grouped number or the strip,
// unless the user is selecting in it.
bool Win32FrontEnd::DrawsDigits(HWND edit) const {
  const int id = GetDlgCtrlID(edit);
  if (!IsGroupedLine(id) || GetFocus() == edit) return false;
  return lineGaps_[id - kIdResultLineDec].count > 0 || (id == kIdResultLineBin && binaryBits_ > 0);
}


// The digits in the field's colours (as it asks its dialog for them), the
// strip's leading zeros grey, and the bit numbers under every 4th bit.
void Win32FrontEnd::PaintDigits(HWND edit) {
  PAINTSTRUCT paint{};
  HDC context = BeginPaint(edit, &paint);
  const auto brush = reinterpret_cast<HBRUSH>(SendMessageW(GetParent(edit), WM_CTLCOLORSTATIC,
                                                           reinterpret_cast<WPARAM>(context),
                                                           reinterpret_cast<LPARAM>(edit)));
  const COLORREF ink = GetTextColor(context);
  RECT client{};
  GetClientRect(edit, &client);
  FillRect(context, &client, brush != nullptr ? brush : GetSysColorBrush(COLOR_3DFACE));
  SetBkMode(context, TRANSPARENT);
  DigitMetrics measures{};
  const int id = GetDlgCtrlID(edit);
  const int bits = id == kIdResultLineBin ? binaryBits_ : 0;
  const std::vector<DigitCell> cells =
      DrawnCells(edit, window_, lineGaps_[id - kIdResultLineDec], bits, context, measures);
  const std::wstring text = ToWide(LineText(edit).c_str());
  SelectObject(context, DigitFont(edit, window_));
  for (const DigitCell& cell : cells) {
    const bool shown = cell.index >= 0 && cell.index < static_cast<int>(text.size());
    SetTextColor(context, shown ? ink : GetSysColor(COLOR_GRAYTEXT));
    const wchar_t digit = shown ? text[static_cast<std::size_t>(cell.index)] : L'0';
    TextOutW(context, cell.box.left, cell.box.top, &digit, 1);
  }
  if (measures.numbers) {
    SelectObject(context, BitNumberFont(DigitFont(edit, window_)));
    SetTextColor(context, GetSysColor(COLOR_GRAYTEXT));
    SetTextAlign(context, TA_RIGHT | TA_TOP);
    for (const DigitCell& cell : cells) {
      if (cell.bit % 4 != 0) continue;
      const std::wstring number = std::to_wstring(cell.bit);
      TextOutW(context, cell.box.right, cell.box.bottom, number.c_str(), static_cast<int>(number.size()));
    }
  }
  EndPaint(edit, &paint);
}

// The bit of the drawn strip under client point (x, y); -1 for none.
int Win32FrontEnd::DrawnBitAt(HWND edit, int x, int y) const {
  HDC context = GetDC(edit);
  const int saved = SaveDC(context);
  DigitMetrics measures{};
  const std::vector<DigitCell> cells =
      DrawnCells(edit, window_, lineGaps_[kFormBin], binaryBits_, context, measures);
  RestoreDC(context, saved);
  ReleaseDC(edit, context);
  for (const DigitCell& cell : cells) {
    // A digit takes the clicks on its number under it as well.
    if (x >= cell.box.left && x < cell.box.right && y >= cell.box.top && y < cell.box.top + measures.rowHeight) {
      return cell.bit;
    }
  }
  return -1;
}

// The bit under client point (x, y) of the BIN line as the field draws it
// (no gaps): the digit there, or, left of a row's first digit, a leading
// zero the line leaves out, counted in digit widths. -1 where no bit of the
// word lies.
int Win32FrontEnd::FieldBitAt(HWND edit, int x, int y) const {
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

// The integer lines' messages: the program's drawing, redrawn as the focus
// comes and goes, and a click (no selection made) on the BIN line flipping
// the bit there, found in the drawing the user saw when pressing. The
// field handles the click as well, so its capture ends as usual. True
// where the message was handled whole.
bool Win32FrontEnd::OnDigitLineMessage(HWND edit, UINT message, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      if (!DrawsDigits(edit)) return false;
      PaintDigits(edit);
      return true;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      InvalidateRect(edit, nullptr, TRUE);
      return false;
    case WM_LBUTTONDOWN:
      drewDigitsAtPress_ = DrawsDigits(edit);
      return false;
    case WM_LBUTTONUP:
      break;
    default:
      return false;
  }
  if (GetDlgCtrlID(edit) != kIdResultLineBin || binaryBits_ <= 0 || dialog_ == nullptr) return false;
  DWORD start = 0;
  DWORD end = 0;
  SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  if (start != end) return false;
  const int x = GET_X_LPARAM(lParam);
  const int y = GET_Y_LPARAM(lParam);
  const int bit = drewDigitsAtPress_ ? DrawnBitAt(edit, x, y) : FieldBitAt(edit, x, y);
  if (bit >= 0) dialog_->OnFlipBit(bit);
  return false;
}
