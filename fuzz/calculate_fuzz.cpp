// Fuzz target: the calculation and the result texts on arbitrary bytes.
// Every input of up to 999 bytes must end in a defined outcome:
//  - tokenKind is End (success) or Error, and messageIndex names a message
//    of the table (below kMessageCount);
//  - a failure other than "operands left over" (kMsgSyntax) leaves result 0;
//  - the expression text is not changed by the engine, and calculating it
//    again gives the same outcome bit for bit;
//  - the five result lines and the five box texts are terminated within
//    their buffers; after a failure all five lines show the message;
//  - the box texts Calculate writes calculate again: the integer ones to the
//    32-bit pattern they show, DEC and EXP to a finite value, zero only
//    where the result was, EXP to one with the same text; where Calculate
//    refuses, the text is the form's line;
//  - every piece of the RPN trace ("cos") is a terminated text of at most
//    999 bytes.

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "engine/calculate.h"
#include "engine/engine_state.h"
#include "engine/messages.h"
#include "format/result_format.h"
#include "fuzz/fuzz_check.h"

namespace {

// Large records live in static storage, as in the program.
EngineState Engine;
EngineState Again;
EngineState Reread;
ResultLines Lines;
MessageTexts Messages;

// The trace pieces go to the debugger output, a line of at most 999 bytes.
void CheckTracePiece(const char* text) { FUZZ_CHECK(IsTerminatedWithin(text, kExpressionCapacity)); }

void FillMessages() {
  for (int i = 0; i < kMessageCount; ++i) std::snprintf(Messages[i], kTextSlotCapacity, "message %d", i);
}

// Bit for bit, so that NaN results and the sign of zero count too.
bool SameOutcome(const EngineState& a, const EngineState& b) {
  return a.tokenKind == b.tokenKind && a.messageIndex == b.messageIndex &&
         std::bit_cast<std::uint64_t>(a.result) == std::bit_cast<std::uint64_t>(b.result);
}

void CheckOutcome(const EngineState& state) {
  FUZZ_CHECK(state.tokenKind == TokenKind::End || state.tokenKind == TokenKind::Error);
  FUZZ_CHECK(state.messageIndex >= 0 && state.messageIndex < kMessageCount);
  if (state.tokenKind == TokenKind::Error && state.messageIndex != kMsgSyntax) {
    FUZZ_CHECK(state.result == 0.0);
  }
}

void CheckResultLines(const EngineState& state) {
  ComposeResultLines(state, Messages, Lines);
  for (int form = 0; form < kResultFormCount; ++form) {
    FUZZ_CHECK(IsTerminatedWithin(Lines.text[form], kResultLineCapacity));
    if (state.tokenKind == TokenKind::Error) {
      FUZZ_CHECK(std::strcmp(Lines.text[form], Messages[state.messageIndex]) == 0);
    }
  }
}

// The word's pattern the integer forms show, as an unsigned value.
double IntegerPatternOf(const EngineState& state) { return static_cast<double>(IntegerLinesPattern(state)); }

// Each box text is terminated within the box's 100 bytes. A text Calculate
// writes calculates again: the integer texts ("0x..", "..b", "..o") to the
// pattern they show, the DEC and EXP texts to a finite value that is
// zero only where the result was, the EXP text to a value with the same EXP
// text. Where Calculate refuses, the text is the form's line.
void CheckBoxTexts(const EngineState& state) {
  for (int form = 0; form < kResultFormCount; ++form) {
    char box[kCalculateTextCapacity];
    std::memset(box, 'x', sizeof box);
    const bool written = ComposeCalculateText(state, Messages, form, box, sizeof box);
    FUZZ_CHECK(IsTerminatedWithin(box, sizeof box));
    if (!written) {
      FUZZ_CHECK(std::strcmp(box, Lines.text[form]) == 0);
      continue;
    }
    SetExpression(Reread, box);
    CalculateExpression(Reread);
    FUZZ_CHECK(Reread.tokenKind == TokenKind::End);
    if (form != kFormDec && form != kFormExp) {
      FUZZ_CHECK(Reread.result == IntegerPatternOf(state));
      continue;
    }
    FUZZ_CHECK(std::isfinite(Reread.result));
    FUZZ_CHECK((Reread.result == 0.0) == (state.result == 0.0));
    if (form == kFormExp) {
      char again[kCalculateTextCapacity];
      FUZZ_CHECK(ComposeCalculateText(Reread, Messages, form, again, sizeof again));
      FUZZ_CHECK(std::strcmp(again, box) == 0);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > static_cast<std::size_t>(kExpressionMaxLength)) return 0;
  if (Messages[0][0] == '\0') {
    FillMessages();
    InstallRpnTraceSink(CheckTracePiece);
  }
  // The box hands over text up to its first NUL, as SetExpression takes it.
  char text[kExpressionCapacity];
  std::memcpy(text, data, size);
  text[size] = '\0';
  SetExpression(Engine, text);
  CalculateExpression(Engine);
  CheckOutcome(Engine);
  FUZZ_CHECK(std::strcmp(Engine.expression, text) == 0);

  // The same text in a state left by another calculation: the reset must
  // leave nothing of the previous outcome behind.
  SetExpression(Again, "(1+");
  CalculateExpression(Again);
  SetExpression(Again, text);
  CalculateExpression(Again);
  FUZZ_CHECK(SameOutcome(Engine, Again));

  CheckResultLines(Engine);
  CheckBoxTexts(Engine);
  return 0;
}
