#include "ui/result_copy.h"

#include <cstring>

void ComposeAllLinesText(const ResultLines& lines, char* buffer, std::size_t capacity) {
  if (capacity == 0) return;
  std::size_t length = 0;
  const auto append = [&](const char* text) {
    const std::size_t room = capacity - 1 - length;
    const std::size_t size = std::strlen(text);
    const std::size_t kept = size < room ? size : room;
    std::memcpy(buffer + length, text, kept);
    length += kept;
  };
  for (int form = 0; form < kResultFormCount; ++form) {
    append(kResultFormLabels[form]);
    append(" ");
    append(lines.text[form]);
    append("\n");
  }
  buffer[length] = '\0';
}
