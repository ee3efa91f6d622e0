// The five result texts of a value. All number text comes from std::to_chars,
// so the C locale never changes a digit or the decimal point.

#include "format/result_format.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <system_error>

#include "engine/calculate.h"
#include "engine/decimal_literal.h"
#include "numerics/numerics.h"

namespace {

// The 7-decimal fixed text of the largest double: sign, 309 integer digits,
// point, 7 decimals and the terminator.
constexpr std::size_t kFixedTextCapacity = 1 + 309 + 1 + 7 + 1;
constexpr int kFixedDecimals = 7;
// Digits after the point of the exponent form's mantissa.
constexpr int kMantissaDecimals = 15;
// Longest exponent-form text: sign, digit, point, 15 digits, "E", sign, 4 digits.
constexpr std::size_t kExponentTextCapacity = 1 + 1 + 1 + kMantissaDecimals + 1 + 1 + 4 + 1;
// Longest scientific text of std::to_chars for a magnitude: 17 significant
// digits, point, "e", sign, 3 exponent digits.
constexpr std::size_t kScientificTextCapacity = 17 + 1 + 1 + 1 + 3;
// Room for std::to_chars' shortest text of a double, at most 24 characters
// ("-2.2250738585072014e-308"), and the terminator.
constexpr std::size_t kShortestTextCapacity = 25;
// From this truncated decimal logarithm upward the DEC line uses the exponent form.
constexpr int kDecimalSwitchToExponentLog = 36;
// From this truncated decimal logarithm upward the integer lines show message 0.
constexpr int kIntegerFormsLimitLog = 19;
// Longest integer-form text: 64 binary digits, a two-character mark, terminator.
constexpr std::size_t kIntegerTextCapacity = 64 + 2 + 1;
// The same limit for an exact integer.
constexpr WideInt kIntegerFormsLimit = WideInt{10000000000000000000u};
// At 64 bits the integer lines show every pattern below 2^64 in magnitude.
constexpr double kTwoTo64 = 18446744073709551616.0;

// Copies text into buffer, cut to capacity - 1 bytes, always terminated.
// A capacity of 0 writes nothing.
void CopyBounded(const char* text, std::size_t length, char* buffer, std::size_t capacity) {
  if (capacity == 0) return;
  const std::size_t kept = length < capacity - 1 ? length : capacity - 1;
  std::memcpy(buffer, text, kept);
  buffer[kept] = '\0';
}

// Length of a language text slot, which holds at most capacity - 1 bytes
// before its terminator.
std::size_t SlotTextLength(const char* slot) {
  const void* end = std::memchr(slot, '\0', kTextSlotCapacity);
  return end == nullptr ? kTextSlotCapacity - 1 : static_cast<std::size_t>(static_cast<const char*>(end) - slot);
}

// Writes value with exactly 7 decimals, rounded to nearest ("-0.0000000",
// "inf" as the C library prints them), terminated; returns the length. A NaN
// is "nan" whatever its sign bit: processors set that bit differently for
// the same invalid operation (x86 sets it, ARM does not), and the lines must
// read the same everywhere.
std::size_t WriteFixedText(double value, char (&text)[kFixedTextCapacity]) {
  if (std::isnan(value)) value = std::fabs(value);
  const auto written =
      std::to_chars(text, text + kFixedTextCapacity - 1, value, std::chars_format::fixed, kFixedDecimals);
  // The capacity holds every double; an error here would leave the text empty.
  const std::size_t length = written.ec == std::errc() ? static_cast<std::size_t>(written.ptr - text) : 0;
  text[length] = '\0';
  return length;
}

// Removes trailing zeros of the decimals, and the point when no decimal is
// left. Texts not ending in "0" (including "inf" and "nan") stay as they are.
std::size_t TrimDecimals(const char* text, std::size_t length) {
  if (length == 0 || text[length - 1] != '0') return length;
  while (length > 0 && text[length - 1] == '0') --length;
  if (length > 0 && text[length - 1] == '.') --length;
  return length;
}

// Appends to a fixed local text whose capacity the caller has sized for the
// longest result, so no check can fail.
struct TextBuilder {
  char* text;
  std::size_t length = 0;
  void Append(char c) { text[length++] = c; }
  void Terminate() { text[length] = '\0'; }
};

// Appends "E", the sign and the exponent as four digits with leading zeros.
void AppendExponent(TextBuilder& out, bool negative, int exponent) {
  out.Append('E');
  out.Append(negative ? '-' : '+');
  for (int scale = 1000; scale > 0; scale /= 10) {
    out.Append(static_cast<char>('0' + exponent / scale % 10));
  }
}

// Writes a finite magnitude in std::to_chars' scientific form ("1.25e-10",
// "5e-324", "0e+00") with the value's own digits: the shortest text that
// reads back to it where that has at most 16 significant digits, else the
// value correctly rounded to 16 (to_chars carries into the exponent where
// the rounding does). Returns the end of the text.
char* WriteScientificDigits(double magnitude, char* text, char* end) {
  char* const shortestEnd = std::to_chars(text, end, magnitude, std::chars_format::scientific).ptr;
  const char* e = std::find(text, shortestEnd, 'e');
  // One digit before the point, the rest after it.
  const std::ptrdiff_t significant = text[1] == '.' ? e - text - 1 : 1;
  if (significant <= kMantissaDecimals + 1) return shortestEnd;
  return std::to_chars(text, end, magnitude, std::chars_format::scientific, kMantissaDecimals).ptr;
}

// Appends the mantissa and exponent of a finite magnitude: one digit, ".",
// 15 digits (the value's own, padded with zeros), then the exponent.
void AppendScientific(TextBuilder& out, double magnitude) {
  char digits[kScientificTextCapacity];
  const char* end = WriteScientificDigits(magnitude, digits, digits + sizeof digits);
  const char* e = std::find(static_cast<const char*>(digits), end, 'e');
  out.Append(digits[0]);
  out.Append('.');
  const char* decimals = digits[1] == '.' ? digits + 2 : e;
  for (int i = 0; i < kMantissaDecimals; ++i) out.Append(decimals + i < e ? decimals[i] : '0');
  int exponent = 0;
  std::from_chars(e + 2, end, exponent);  // after "e" and its sign, which to_chars always writes
  AppendExponent(out, e[1] == '-', exponent);
}

// Writes the EXP text of value. Infinite values read "inf" and "-inf"; a NaN
// is "nan" whatever its sign bit, like the DEC line.
void WriteExponentForm(double value, char* buffer, std::size_t capacity) {
  if (!std::isfinite(value)) {
    const char* text = std::isnan(value) ? "nan" : (value < 0 ? "-inf" : "inf");
    CopyBounded(text, std::strlen(text), buffer, capacity);
    return;
  }
  char text[kExponentTextCapacity];
  TextBuilder out{text};
  // signbit rather than "< 0": a negative zero keeps its sign, as on the DEC
  // line.
  if (std::signbit(value)) out.Append('-');
  AppendScientific(out, std::fabs(value));
  out.Terminate();
  CopyBounded(text, out.length, buffer, capacity);
}

// The DEC text from the fixed text: trimmed. Infinite and NaN values give the
// library's "inf" / "nan" texts unchanged.
void WriteTrimmed(const char* fixed, std::size_t length, char* buffer, std::size_t capacity) {
  CopyBounded(fixed, TrimDecimals(fixed, length), buffer, capacity);
}

void WriteDecimalForm(double value, int decimalLog, const char* fixed, std::size_t fixedLength,
                      char* buffer, std::size_t capacity) {
  if (decimalLog >= kDecimalSwitchToExponentLog) {
    WriteExponentForm(value, buffer, capacity);
  } else {
    WriteTrimmed(fixed, fixedLength, buffer, capacity);
  }
}

// Every digit of an exact integer; below 2^53 the same text as the fixed
// form's trimmed one.
void WriteExactDecimal(const ExactInteger& exact, char* buffer, std::size_t capacity) {
  char digits[kExactDigitsCapacity];
  const int length = WriteExactDigits(exact, digits);
  CopyBounded(digits, static_cast<std::size_t>(length), buffer, capacity);
}

int WordBitsOf(const EngineState& state) { return WordOf(state).bits; }

// IntegerLinesShowMessage with the result's truncated decimal logarithm
// already at hand.
bool ShowsMessageAt(const EngineState& state, int decimalLog) {
  if (WordBitsOf(state) < 64) {
    // An exact integer is measured exactly: 9999999999999999999 is below
    // 1e19 although its double is not.
    if (!IsExact(state.resultExact)) return decimalLog >= kIntegerFormsLimitLog;
    const WideInt value = WideOf(state.resultExact);
    return (value < 0 ? -value : value) >= kIntegerFormsLimit;
  }
  // Every exact integer lies below 2^64 in magnitude.
  return !IsExact(state.resultExact) && std::fabs(state.result) >= kTwoTo64 && std::isfinite(state.result);
}

// Writes the digits of pattern in base 2^bitsPerDigit, most significant first,
// without leading zeros ("0" for zero), terminated; returns the length.
std::size_t WriteDigits(std::uint64_t pattern, int bitsPerDigit, char* text) {
  static constexpr char kDigitChars[] = "0123456789ABCDEF";
  const std::uint64_t mask = (std::uint64_t{1} << bitsPerDigit) - 1u;
  std::size_t count = 1;
  for (std::uint64_t rest = pattern >> bitsPerDigit; rest != 0; rest >>= bitsPerDigit) ++count;
  for (std::size_t i = count; i > 0; --i) {
    text[i - 1] = kDigitChars[pattern & mask];
    pattern >>= bitsPerDigit;
  }
  text[count] = '\0';
  return count;
}

void WriteIntegerForm(std::uint64_t pattern, int bitsPerDigit, char* buffer, std::size_t capacity) {
  char text[kIntegerTextCapacity];
  const std::size_t length = WriteDigits(pattern, bitsPerDigit, text);
  CopyBounded(text, length, buffer, capacity);
}

constexpr int kHexBits = 4;
constexpr int kBinaryBits = 1;
constexpr int kOctalBits = 3;

// The powers of ten a double holds exactly.
constexpr double kExactPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                        1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
constexpr int kLargestExactPower = static_cast<int>(std::size(kExactPowersOfTen)) - 1;
// How close, relatively, a magnitude may come to a power of ten and still
// take the fast path: far more than the logarithm's rounding error, so the
// fast path never disagrees with it.
constexpr double kPowerMargin = 1e-9;

// trunc(lg magnitude) without a logarithm, for magnitudes between 0.1 and
// 1e22 that lie clearly between two powers of ten: the common case, and the
// logarithm is most of the cost of a result's texts. False, leaving
// `decimalLog` alone, where the logarithm must decide.
bool FindDecimalLogBetweenPowers(double magnitude, int& decimalLog) {
  if (magnitude < 1.0) {
    if (magnitude <= 0.1 * (1.0 + kPowerMargin)) return false;
    decimalLog = 0;  // lg lies between -1 and 0
    return true;
  }
  for (int power = 0; power < kLargestExactPower; ++power) {
    if (magnitude < kExactPowersOfTen[power + 1]) {
      if (magnitude <= kExactPowersOfTen[power] * (1.0 + kPowerMargin) ||
          magnitude >= kExactPowersOfTen[power + 1] * (1.0 - kPowerMargin)) {
        return false;
      }
      decimalLog = power;
      return true;
    }
  }
  return false;
}

// The message a failed calculation shows; an index out of the table's range
// shows the syntax message.
const char* FailureMessage(const EngineState& state, const MessageTexts& messages) {
  const int index = state.messageIndex >= 0 && state.messageIndex < kMessageCount ? state.messageIndex : kMsgSyntax;
  return messages[index];
}

bool IsIntegerForm(int form) { return form == kFormHex || form == kFormBin || form == kFormOct; }

// The line of `form` as ComposeResultLines shows it for the outcome in state.
void WriteResultLine(const EngineState& state, const MessageTexts& messages, int form, char* buffer,
                     std::size_t capacity) {
  const char* message = nullptr;
  if (state.tokenKind == TokenKind::Error) {
    message = FailureMessage(state, messages);
  } else if (IsIntegerForm(form) && IntegerLinesShowMessage(state)) {
    message = messages[kMsgTooLargeForIntegerForms];
  }
  if (message != nullptr) {
    CopyBounded(message, SlotTextLength(message), buffer, capacity);
    return;
  }
  using Format = void (*)(const EngineState&, char*, std::size_t);
  static constexpr Format kFormats[] = {FormatDecimal, FormatHex, FormatBinary, FormatOctal, FormatExponent};
  static_assert(std::size(kFormats) == kResultFormCount);
  kFormats[form](state, buffer, capacity);
}

// The integer digits of value with the notation mark of `form`, as the lexer
// reads them: "0xFF", "11111111b", "377o".
void WriteMarkedDigits(std::uint64_t pattern, int form, char (&text)[kCalculateTextCapacity]) {
  TextBuilder out{text};
  switch (form) {
    case kFormHex:
      out.Append('0');
      out.Append('x');
      out.length += WriteDigits(pattern, kHexBits, text + out.length);
      break;
    case kFormBin:
      out.length = WriteDigits(pattern, kBinaryBits, text);
      out.Append('b');
      break;
    default:  // kFormOct
      out.length = WriteDigits(pattern, kOctalBits, text);
      out.Append('o');
      break;
  }
  out.Terminate();
}

// Whether a DEC text shows zero: "0", or "-0" for a negative value.
bool ShowsZero(const char* text) { return std::strcmp(text, "0") == 0 || std::strcmp(text, "-0") == 0; }

// Writes the text Calculate puts into the box for the outcome in `form`,
// which must be a valid form. False, with text undefined, when there is no
// such text: the line shows a message instead of the value (a failure; the
// integer forms from 1e19 upward), or no text reads back to the value (an
// infinite or NaN value; the two largest doubles, whose 16-digit EXP text
// 1.797693134862316E+0308 lies beyond the double range).
//
// The DEC text of a non-zero value that rounds to 0 at the seventh decimal
// would lose the value: the EXP text is written instead.
bool WriteReadableText(const EngineState& state, int form, char (&text)[kCalculateTextCapacity]) {
  const double value = state.result;
  if (state.tokenKind == TokenKind::Error || !std::isfinite(value)) return false;
  if (IsIntegerForm(form)) {
    if (IntegerLinesShowMessage(state)) return false;
    WriteMarkedDigits(IntegerLinesPattern(state), form, text);
    return true;
  }
  if (form == kFormDec) FormatDecimal(state, text, sizeof text);
  if (form == kFormExp || (value != 0.0 && ShowsZero(text))) FormatExponent(state, text, sizeof text);
  // A negative zero is written as zero: "-0" would read back as +0 and a
  // second Calculate would write another text.
  if (value == 0.0 && text[0] == '-') std::memmove(text, text + 1, std::strlen(text));
  // The lexer reads the text after the sign as one literal; it must stay
  // within the double range.
  const char* literal = text[0] == '-' ? text + 1 : text;
  return std::isfinite(DecimalLiteralToValue(literal));
}

}  // namespace

int TruncatedDecimalLog(double value) {
  if (value == 0.0 || !std::isfinite(value)) return 0;
  const double magnitude = std::fabs(value);
  int decimalLog = 0;
  if (FindDecimalLogBetweenPowers(magnitude, decimalLog)) return decimalLog;
  // |lg| of a finite non-zero double stays below 324, so the cast is safe.
  return static_cast<int>(std::trunc(numerics::DecimalLogarithm(magnitude)));
}

bool IntegerLinesShowMessage(const EngineState& state) { return ShowsMessageAt(state, TruncatedDecimalLog(state.result)); }

bool IntegerLinesHideBits(const EngineState& state) {
  const int bits = WordBitsOf(state);
  if (IsExact(state.resultExact)) {
    // -2^(W-1): the pattern reads back as a signed value; 2^W-1: or as an unsigned one.
    const WideInt lowest = -(WideInt{1} << (bits - 1));
    const WideInt highest = (WideInt{1} << bits) - 1;
    const WideInt value = WideOf(state.resultExact);
    return value < lowest || value > highest;
  }
  const double value = state.result;
  if (!std::isfinite(value)) return true;
  // Both bounds as powers of two, which doubles hold exactly.
  return value != std::trunc(value) || value < std::ldexp(-1.0, bits - 1) || value >= std::ldexp(1.0, bits);
}

std::uint64_t IntegerLinesPattern(const EngineState& state) {
  // A value that is not finite shows 0 at every size: up to 32 bits those are
  // the low bits of -2^63, and 64 bits have nothing better to show.
  if (!std::isfinite(state.result)) return 0;
  return WordPattern(state.result, state.resultExact, WordBitsOf(state));
}

void FormatDecimal(const EngineState& state, char* buffer, std::size_t capacity) {
  if (IsExact(state.resultExact)) return WriteExactDecimal(state.resultExact, buffer, capacity);
  char fixed[kFixedTextCapacity];
  const std::size_t length = WriteFixedText(state.result, fixed);
  WriteDecimalForm(state.result, TruncatedDecimalLog(state.result), fixed, length, buffer, capacity);
}

void FormatExponent(const EngineState& state, char* buffer, std::size_t capacity) {
  WriteExponentForm(state.result, buffer, capacity);
}

void FormatHex(const EngineState& state, char* buffer, std::size_t capacity) {
  WriteIntegerForm(IntegerLinesPattern(state), kHexBits, buffer, capacity);
}

void FormatBinary(const EngineState& state, char* buffer, std::size_t capacity) {
  WriteIntegerForm(IntegerLinesPattern(state), kBinaryBits, buffer, capacity);
}

void FormatOctal(const EngineState& state, char* buffer, std::size_t capacity) {
  WriteIntegerForm(IntegerLinesPattern(state), kOctalBits, buffer, capacity);
}

void FormatShortest(double value, char* buffer, std::size_t capacity) {
  // A NaN's sign bit differs between processors for the same operation.
  if (std::isnan(value)) value = std::fabs(value);
  char text[kShortestTextCapacity];
  const char* end = std::to_chars(text, text + sizeof text, value).ptr;
  CopyBounded(text, static_cast<std::size_t>(end - text), buffer, capacity);
}

void FormatShortestResult(const EngineState& state, char* buffer, std::size_t capacity) {
  if (IsExact(state.resultExact)) return WriteExactDecimal(state.resultExact, buffer, capacity);
  FormatShortest(state.result, buffer, capacity);
}

bool ComposeCalculateText(const EngineState& state, const MessageTexts& messages, int form, char* buffer,
                          std::size_t capacity) {
  if (form < 0 || form >= kResultFormCount) form = kFormDec;
  char text[kCalculateTextCapacity];
  if (!WriteReadableText(state, form, text)) {
    WriteResultLine(state, messages, form, buffer, capacity);
    return false;
  }
  CopyBounded(text, std::strlen(text), buffer, capacity);
  return true;
}

void ComposeResultLines(const EngineState& state, const MessageTexts& messages, ResultLines& lines) {
  if (state.tokenKind == TokenKind::Error) {
    const char* message = FailureMessage(state, messages);
    const std::size_t length = SlotTextLength(message);
    for (auto& line : lines.text) CopyBounded(message, length, line, kResultLineCapacity);
    return;
  }
  const double value = state.result;
  const int decimalLog = TruncatedDecimalLog(value);
  if (IsExact(state.resultExact)) {
    WriteExactDecimal(state.resultExact, lines.text[kFormDec], kResultLineCapacity);
  } else {
    char fixed[kFixedTextCapacity];
    const std::size_t length = WriteFixedText(value, fixed);
    WriteDecimalForm(value, decimalLog, fixed, length, lines.text[kFormDec], kResultLineCapacity);
  }
  WriteExponentForm(value, lines.text[kFormExp], kResultLineCapacity);
  if (ShowsMessageAt(state, decimalLog)) {
    const char* message = messages[kMsgTooLargeForIntegerForms];
    const std::size_t messageLength = SlotTextLength(message);
    for (int form : {kFormHex, kFormBin, kFormOct}) {
      CopyBounded(message, messageLength, lines.text[form], kResultLineCapacity);
    }
    return;
  }
  const std::uint64_t pattern = IntegerLinesPattern(state);
  WriteIntegerForm(pattern, kHexBits, lines.text[kFormHex], kResultLineCapacity);
  WriteIntegerForm(pattern, kBinaryBits, lines.text[kFormBin], kResultLineCapacity);
  WriteIntegerForm(pattern, kOctalBits, lines.text[kFormOct], kResultLineCapacity);
}
