#include "settings/optional_texts.h"

#include <cstring>

#include "settings/profile.h"
#include "settings/text_encoding.h"

namespace {

using OptionalTextSlots = char[kOptionalTextCount][kOptionalTextCapacity];

void CopyIntoSlot(std::string_view text, char* slot) {
  const std::size_t length = Utf8PrefixLength(text, kOptionalTextCapacity - 1);
  std::memcpy(slot, text.data(), length);
  slot[length] = '\0';
}

// The loaded texts; English until the first fill.
OptionalTextSlots& Slots() {
  static OptionalTextSlots slots{};
  static const bool filled = [] {
    for (int i = 0; i < kOptionalTextCount; ++i) CopyIntoSlot(kOptionalTexts[i].english, slots[i]);
    return true;
  }();
  (void)filled;
  return slots;
}

}  // namespace

const char* OptionalText(int index) {
  if (index < 0 || index >= kOptionalTextCount) return "";
  return Slots()[index];
}

void FillOptionalTexts(std::string_view fileText) {
  OptionalTextSlots& slots = Slots();
  for (int i = 0; i < kOptionalTextCount; ++i) {
    const OptionalTextRow& row = kOptionalTexts[i];
    std::string_view value;
    if (!FindProfileValue(fileText, row.section, row.key, &value)) value = row.english;
    CopyIntoSlot(value, slots[i]);
  }
}
