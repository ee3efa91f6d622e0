// The RPN trace: the queue, piece by piece, to a sink the front end installs.

#include <charconv>
#include <cstring>

#include "engine/calculate.h"

namespace {

RpnTraceSink installedSink = nullptr;

constexpr int kTraceTextCapacity = 1000;
constexpr char kHeaderStart[] = "\nPOLIS: {";
constexpr char kHeaderEnd[] = "}...[";

// Appends text at *length, never past the buffer's last byte.
void AppendBounded(char* buffer, std::size_t& length, const char* text, std::size_t textLength) {
  const std::size_t room = kTraceTextCapacity - 1 - length;
  if (textLength > room) textLength = room;
  std::memcpy(buffer + length, text, textLength);
  length += textLength;
  buffer[length] = '\0';
}

// "\nPOLIS: {expression}...[count]\n"; a long expression is cut so that the
// count and the closing line break always fit.
void SendHeader(const EngineState& state) {
  char count[16];
  const auto countEnd = std::to_chars(count, count + sizeof(count), state.rpnCount).ptr;
  const std::size_t countLength = static_cast<std::size_t>(countEnd - count);
  const std::size_t fixed = sizeof(kHeaderStart) - 1 + sizeof(kHeaderEnd) - 1 + countLength + 2;
  std::size_t expressionLength = strnlen(state.expression, kExpressionMaxLength);
  if (expressionLength > kTraceTextCapacity - 1 - fixed) expressionLength = kTraceTextCapacity - 1 - fixed;

  char line[kTraceTextCapacity];
  std::size_t length = 0;
  AppendBounded(line, length, kHeaderStart, sizeof(kHeaderStart) - 1);
  AppendBounded(line, length, state.expression, expressionLength);
  AppendBounded(line, length, kHeaderEnd, sizeof(kHeaderEnd) - 1);
  AppendBounded(line, length, count, countLength);
  AppendBounded(line, length, "]\n", 2);
  installedSink(line);
}

// "<value>" with six decimals; the largest double needs 309 integer digits.
void SendNumber(double value) {
  char text[kTraceTextCapacity];
  text[0] = '<';
  auto [end, error] = std::to_chars(text + 1, text + kTraceTextCapacity - 2, value,
                                    std::chars_format::fixed, 6);
  if (error != std::errc()) end = text + 1;
  end[0] = '>';
  end[1] = '\0';
  installedSink(text);
}

}  // namespace

void InstallRpnTraceSink(RpnTraceSink sink) { installedSink = sink; }

void TraceRpn(const EngineState& state) {
  if (installedSink == nullptr) return;
  SendHeader(state);
  for (int i = 0; i < state.rpnCount; ++i) {
    const RpnItem& item = state.rpnQueue[i];
    if (item.kind == RpnItemKind::Number) {
      SendNumber(item.value);
    } else {
      char name[kRpnNameCapacity];
      std::memcpy(name, item.name, sizeof(name));
      name[kRpnNameCapacity - 1] = '\0';
      installedSink(name);
    }
    installedSink("\n");
  }
}
