// The integer lines as a programmer reads them: digit groups, the BIN line's
// rows, and the BIN line as a strip of bits to click.

#include <cstdio>
#include <cstring>
#include <string>

#include "engine/calculate.h"
#include "settings/settings.h"
#include "ui/dialog_ids.h"
#include "ui/dialog_texts.h"
#include "ui/main_dialog.h"

namespace {

// The BIN line as the window shows it: digits beyond one row are broken
// before the last row's 32 digits. Copies and Calculate keep the digits in
// one piece.
void WrapBinaryLine(const char* line, char* shown, std::size_t capacity) {
  const std::size_t length = std::strlen(line);
  const bool digitsOnly = std::strspn(line, "01") == length;
  const std::size_t row = kBinaryRowDigits;
  if (!digitsOnly || length <= row || length + 2 > capacity) {
    std::snprintf(shown, capacity, "%s", line);
    return;
  }
  const std::size_t split = length - row;
  std::snprintf(shown, capacity, "%.*s\n%s", static_cast<int>(split), line, line + split);
}

// Whether the integer lines show the word's digits rather than a message.
bool IntegerLinesShowDigits(const EngineState& engine) {
  return engine.tokenKind != TokenKind::Error && !IntegerLinesShowMessage(engine);
}

// The decimal digits of the word's value of `pattern`, a text the lexer
// reads back exactly (a leading '-' as the negation of the rest).
std::string WordValueText(std::uint64_t pattern, const WordSize& word) {
  char digits[32];
  const int length = WriteExactDigits(ReadWord(pattern, word), digits);
  return std::string(digits, static_cast<std::size_t>(length));
}

}  // namespace

// The five result lines; whether the integer lines hold digits is decided
// once for all three.
void MainDialog::ShowResultLines() {
  const bool integerDigits = IntegerLinesShowDigits(engine_);
  for (int form = 0; form < kResultFormCount; ++form) ShowResultLine(form, lines_.text[form], integerDigits);
}

// One result line with its gaps, and for the BIN line of a word's digits
// the strip of the word's bits.
void MainDialog::ShowResultLine(int form, const char* text, bool integerDigits) {
  char shown[kResultLineCapacity + 1];
  if (form == kFormBin) {
    WrapBinaryLine(text, shown, sizeof shown);
  } else {
    std::snprintf(shown, sizeof shown, "%s", text);
  }
  const bool digits = DigitGroupSize(form) > 0 && integerDigits;
  const DigitGaps gaps = digits && !ProgramSettings().UngroupedDigits ? FindDigitGaps(form, shown) : DigitGaps{};
  const int bitCount = digits && form == kFormBin ? WordOf(engine_).bits : 0;
  window_.ShowResultLine(ResultLineIdOfForm(form), shown, gaps, bitCount);
}

// Turns grouping over; the menu is rebuilt for its check mark and the lines
// are drawn again. The choice is saved with the other settings at close.
void MainDialog::ToggleDigitGroups() {
  ProgramSettings().UngroupedDigits = !ProgramSettings().UngroupedDigits;
  BuildMenu(ProgramSettings(), menu_);
  window_.AttachMenu(menu_);
  ShowResults();
}

// The new value is calculated from its decimal text, so that the box gets
// exactly the text Calculate would write for it in the selected form.
void MainDialog::OnFlipBit(int bit) {
  const WordSize word = WordOf(engine_);
  if (bit < 0 || bit >= word.bits || !IntegerLinesShowDigits(engine_)) {
    window_.Beep();
    return;
  }
  const std::string before = engine_.expression;
  const std::uint64_t pattern = IntegerLinesPattern(engine_) ^ (std::uint64_t{1} << bit);
  const std::string value = WordValueText(pattern, word);
  SetExpression(engine_, value);
  CalculateExpression(engine_);
  char text[kCalculateTextCapacity];
  // Any integer of a word has a text in every form; should one ever lack
  // it, the decimal digits stand in the box instead.
  if (!ComposeCalculateText(engine_, ProgramSettings().MessageTable, ProgramSettings().CurrentForm, text,
                            sizeof text)) {
    std::snprintf(text, sizeof text, "%s", value.c_str());
  }
  KeepResultAsAnswer(engine_);
  undo_.Replaced(before, text);
  SetBox(text);
  std::memcpy(engine_.expression, boxText_, sizeof boxText_);
  Recalculate();
  window_.FocusBox();
  window_.SelectBoxText(0, static_cast<int>(std::strlen(text)));
}
