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
  OptionalTextFiller filler;
  ForEachProfileEntry(fileText, [&](const ProfileEntry& entry) { filler.Take(entry); });
  filler.Finish();
}

void OptionalTextFiller::Take(const ProfileEntry& entry) {
  if (entry.isSection) {
    section_ = entry.name;
    // Only the first section of a name counts, as for every INI read.
    sectionCounts_ = true;
    for (int i = 0; i < enteredCount_; ++i) {
      if (SameProfileName(entered_[i], section_)) sectionCounts_ = false;
    }
    bool read = false;
    for (const OptionalTextRow& row : kOptionalTexts) read = read || SameProfileName(row.section, section_);
    if (sectionCounts_ && read && enteredCount_ < kOptionalTextCount) entered_[enteredCount_++] = section_;
    return;
  }
  if (!sectionCounts_) return;
  for (int i = 0; i < kOptionalTextCount; ++i) {
    const OptionalTextRow& row = kOptionalTexts[i];
    if (filled_[i] || !SameProfileName(row.section, section_) || !SameProfileName(row.key, entry.name)) continue;
    filled_[i] = true;  // the first key of a name wins
    CopyIntoSlot(entry.value, Slots()[i]);
  }
}

void OptionalTextFiller::Finish() {
  for (int i = 0; i < kOptionalTextCount; ++i) {
    if (!filled_[i]) CopyIntoSlot(kOptionalTexts[i].english, Slots()[i]);
  }
}
