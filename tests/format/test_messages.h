// Message texts for the result-line tests: message i reads "msg<i>", so a
// line shows which message it took.

#pragma once

#include <cstdio>

#include "format/result_format.h"

namespace format_test {

inline const MessageTexts& TestMessages() {
  struct MessageSlots {
    MessageTexts texts{};
  };
  static const MessageSlots messages = [] {
    MessageSlots slots;
    for (int i = 0; i < kMessageCount; ++i) std::snprintf(slots.texts[i], kTextSlotCapacity, "msg%d", i);
    return slots;
  }();
  return messages.texts;
}

}  // namespace format_test
