// The five result texts of a value. All number text comes from std::to_chars,
// so the C locale never changes a digit or the decimal point.

#include "format/result_format.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <system_error>

#include "engine/calculate.h"
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
// From this truncated decimal logarithm upward the DEC line uses the exponent form.
constexpr int kDecimalSwitchToExponentLog = 36;
// From this truncated decimal logarithm upward the integer lines show message 0.
constexpr int kIntegerFormsLimitLog = 19;
// Longest integer-form text: 32 binary digits, a two-character mark, terminator.
constexpr std::size_t kIntegerTextCapacity = 32 + 2 + 1;

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

// Appends mantissa digits after the point: `digits` (count given), cut after
// the 15th or padded with "0" up to 15, without rounding.
void AppendMantissaDecimals(TextBuilder& out, const char* digits, std::size_t count) {
  for (int i = 0; i < kMantissaDecimals; ++i) {
    out.Append(static_cast<std::size_t>(i) < count ? digits[i] : '0');
  }
}

// Appends "E", the sign and the exponent as four digits with leading zeros.
void AppendExponent(TextBuilder& out, bool negative, int exponent) {
  out.Append('E');
  out.Append(negative ? '-' : '+');
  for (int scale = 1000; scale > 0; scale /= 10) {
    out.Append(static_cast<char>('0' + exponent / scale % 10));
  }
}

// Mantissa and exponent of a value so small that its 7-decimal text shows only
// zeros: taken from the shortest text that reads back to the same double, for
// example "4e-08" or "1.25e-10".
void AppendTinyMagnitude(TextBuilder& out, double magnitude) {
  char shortest[32];
  const auto written = std::to_chars(shortest, shortest + sizeof shortest, magnitude,
                                     std::chars_format::scientific);
  const char* end = written.ptr;
  const char* e = shortest;
  while (e < end && *e != 'e') ++e;
  out.Append(shortest[0]);
  out.Append('.');
  const char* decimals = shortest[1] == '.' ? shortest + 2 : e;
  AppendMantissaDecimals(out, decimals, static_cast<std::size_t>(e - decimals));
  int exponent = 0;
  const char* exponentDigits = e + 2;  // after "e" and its sign
  if (e < end) std::from_chars(exponentDigits, end, exponent);
  AppendExponent(out, e + 1 < end && e[1] == '-', exponent);
}

// Exponent form of a finite value from its fixed text t (sign already
// written). `digits` is t without its sign: integer digits, ".", 7 decimals.
void AppendExponentFromFixed(TextBuilder& out, const char* digits, double magnitude) {
  const char* point = std::strchr(digits, '.');
  const std::size_t integerDigits = static_cast<std::size_t>(point - digits);
  const char* decimals = point + 1;
  if (integerDigits == 1 && digits[0] == '0' && magnitude != 0.0) {
    std::size_t zeros = 0;
    while (zeros < kFixedDecimals && decimals[zeros] == '0') ++zeros;
    if (zeros == kFixedDecimals) {
      AppendTinyMagnitude(out, magnitude);
      return;
    }
    out.Append(decimals[zeros]);
    out.Append('.');
    AppendMantissaDecimals(out, decimals + zeros + 1, kFixedDecimals - zeros - 1);
    AppendExponent(out, true, static_cast<int>(zeros) + 1);
    return;
  }
  // Zero, and every value whose fixed text has a non-zero integer part; that
  // includes values just below 1 whose decimals rounded up to 1.0000000.
  char mantissa[kFixedTextCapacity];
  std::size_t count = 0;
  for (std::size_t i = 1; i < integerDigits; ++i) mantissa[count++] = digits[i];
  const std::size_t decimalCount = TrimDecimals(decimals, kFixedDecimals);
  for (std::size_t i = 0; i < decimalCount; ++i) mantissa[count++] = decimals[i];
  out.Append(digits[0]);
  out.Append('.');
  AppendMantissaDecimals(out, mantissa, count);
  AppendExponent(out, false, static_cast<int>(integerDigits) - 1);
}

// The DEC text from the fixed text: trimmed. Infinite and NaN values give the
// library's "inf" / "nan" texts unchanged.
void WriteTrimmed(const char* fixed, std::size_t length, char* buffer, std::size_t capacity) {
  CopyBounded(fixed, TrimDecimals(fixed, length), buffer, capacity);
}

// Writes the EXP text of value, given its fixed text.
void WriteExponentForm(double value, const char* fixed, std::size_t fixedLength, char* buffer,
                       std::size_t capacity) {
  if (!std::isfinite(value)) {
    WriteTrimmed(fixed, fixedLength, buffer, capacity);
    return;
  }
  char text[kExponentTextCapacity];
  TextBuilder out{text};
  const char* digits = fixed;
  // signbit rather than "< 0": a negative zero keeps its sign and its "-" is
  // never read as a mantissa digit.
  if (std::signbit(value)) {
    out.Append('-');
    if (*digits == '-') ++digits;
  }
  AppendExponentFromFixed(out, digits, std::fabs(value));
  out.Terminate();
  CopyBounded(text, out.length, buffer, capacity);
}

void WriteDecimalForm(double value, int decimalLog, const char* fixed, std::size_t fixedLength,
                      char* buffer, std::size_t capacity) {
  if (decimalLog >= kDecimalSwitchToExponentLog) {
    WriteExponentForm(value, fixed, fixedLength, buffer, capacity);
  } else {
    WriteTrimmed(fixed, fixedLength, buffer, capacity);
  }
}

// The unsigned 32-bit pattern the integer forms show.
std::uint32_t IntegerPattern(double value) { return static_cast<std::uint32_t>(TruncateToInt32(value)); }

// Writes the digits of pattern in base 2^bitsPerDigit, most significant first,
// without leading zeros ("0" for zero), terminated; returns the length.
std::size_t WriteDigits(std::uint32_t pattern, int bitsPerDigit, char* text) {
  static constexpr char kDigitChars[] = "0123456789ABCDEF";
  const std::uint32_t mask = (1u << bitsPerDigit) - 1u;
  std::size_t count = 1;
  for (std::uint32_t rest = pattern >> bitsPerDigit; rest != 0; rest >>= bitsPerDigit) ++count;
  for (std::size_t i = count; i > 0; --i) {
    text[i - 1] = kDigitChars[pattern & mask];
    pattern >>= bitsPerDigit;
  }
  text[count] = '\0';
  return count;
}

void WriteIntegerForm(std::uint32_t pattern, int bitsPerDigit, char* buffer, std::size_t capacity) {
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

}  // namespace

int TruncatedDecimalLog(double value) {
  if (value == 0.0 || !std::isfinite(value)) return 0;
  const double magnitude = std::fabs(value);
  int decimalLog = 0;
  if (FindDecimalLogBetweenPowers(magnitude, decimalLog)) return decimalLog;
  // |lg| of a finite non-zero double stays below 324, so the cast is safe.
  return static_cast<int>(std::trunc(numerics::DecimalLogarithm(magnitude)));
}

bool IntegerLinesShowMessage(double value) { return TruncatedDecimalLog(value) >= kIntegerFormsLimitLog; }

bool IntegerLinesHideBits(double value) {
  constexpr double kLowest = -2147483648.0;   // -2^31: the pattern reads back as a signed value
  constexpr double kHighest = 4294967295.0;   // 2^32-1: or as an unsigned one
  if (!std::isfinite(value)) return true;
  return value != std::trunc(value) || value < kLowest || value > kHighest;
}

void FormatDecimal(const EngineState& state, char* buffer, std::size_t capacity) {
  char fixed[kFixedTextCapacity];
  const std::size_t length = WriteFixedText(state.result, fixed);
  WriteDecimalForm(state.result, TruncatedDecimalLog(state.result), fixed, length, buffer, capacity);
}

void FormatExponent(const EngineState& state, char* buffer, std::size_t capacity) {
  char fixed[kFixedTextCapacity];
  const std::size_t length = WriteFixedText(state.result, fixed);
  WriteExponentForm(state.result, fixed, length, buffer, capacity);
}

void FormatHex(const EngineState& state, char* buffer, std::size_t capacity) {
  WriteIntegerForm(IntegerPattern(state.result), kHexBits, buffer, capacity);
}

void FormatBinary(const EngineState& state, char* buffer, std::size_t capacity) {
  WriteIntegerForm(IntegerPattern(state.result), kBinaryBits, buffer, capacity);
}

void FormatOctal(const EngineState& state, char* buffer, std::size_t capacity) {
  WriteIntegerForm(IntegerPattern(state.result), kOctalBits, buffer, capacity);
}

void FormatForBox(const EngineState& state, int form, char* buffer, std::size_t capacity) {
  char text[kIntegerTextCapacity];
  TextBuilder out{text};
  switch (form) {
    case kFormHex:
      out.Append('0');
      out.Append('x');
      out.length += WriteDigits(IntegerPattern(state.result), kHexBits, text + out.length);
      break;
    case kFormBin:
      out.length = WriteDigits(IntegerPattern(state.result), kBinaryBits, text);
      out.Append('b');
      break;
    case kFormOct:
      out.length = WriteDigits(IntegerPattern(state.result), kOctalBits, text);
      out.Append('o');
      break;
    case kFormExp:
      FormatExponent(state, buffer, capacity);
      return;
    default:  // kFormDec, and any out-of-range form
      FormatDecimal(state, buffer, capacity);
      return;
  }
  out.Terminate();
  CopyBounded(text, out.length, buffer, capacity);
}

void ComposeResultLines(const EngineState& state, const MessageTexts& messages, ResultLines& lines) {
  if (state.tokenKind == TokenKind::Error) {
    const int index = state.messageIndex >= 0 && state.messageIndex < kMessageCount ? state.messageIndex
                                                                                    : kMsgSyntax;
    const char* message = messages[index];
    const std::size_t length = SlotTextLength(message);
    for (auto& line : lines.text) CopyBounded(message, length, line, kResultLineCapacity);
    return;
  }
  const double value = state.result;
  const int decimalLog = TruncatedDecimalLog(value);
  char fixed[kFixedTextCapacity];
  const std::size_t length = WriteFixedText(value, fixed);
  WriteDecimalForm(value, decimalLog, fixed, length, lines.text[kFormDec], kResultLineCapacity);
  WriteExponentForm(value, fixed, length, lines.text[kFormExp], kResultLineCapacity);
  if (decimalLog >= kIntegerFormsLimitLog) {
    const char* message = messages[kMsgTooLargeForIntegerForms];
    const std::size_t messageLength = SlotTextLength(message);
    for (int form : {kFormHex, kFormBin, kFormOct}) {
      CopyBounded(message, messageLength, lines.text[form], kResultLineCapacity);
    }
    return;
  }
  const std::uint32_t pattern = IntegerPattern(value);
  WriteIntegerForm(pattern, kHexBits, lines.text[kFormHex], kResultLineCapacity);
  WriteIntegerForm(pattern, kBinaryBits, lines.text[kFormBin], kResultLineCapacity);
  WriteIntegerForm(pattern, kOctalBits, lines.text[kFormOct], kResultLineCapacity);
}
