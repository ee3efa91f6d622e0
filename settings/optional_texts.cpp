#include "settings/optional_texts.h"

#include <array>
#include <cstring>
#include <string>

#include "settings/profile.h"
#include "settings/text_encoding.h"

namespace {

// Where each row's text starts in the pool: the rows' rooms one after another.
constexpr std::array<std::size_t, kOptionalTextCount + 1> kSlotOffsets = [] {
  std::array<std::size_t, kOptionalTextCount + 1> offsets{};
  for (int i = 0; i < kOptionalTextCount; ++i) {
    offsets[i + 1] = offsets[i] + OptionalTextCapacityOf(kOptionalTexts[i].kind);
  }
  return offsets;
}();

using OptionalTextPool = char[kSlotOffsets[kOptionalTextCount]];

// Copies text into row index's room, cut between UTF-8 characters.
void CopyIntoSlot(char* pool, int index, std::string_view text) {
  char* slot = pool + kSlotOffsets[index];
  const std::size_t length = Utf8PrefixLength(text, kSlotOffsets[index + 1] - kSlotOffsets[index] - 1);
  std::memcpy(slot, text.data(), length);
  slot[length] = '\0';
}

// A Paragraph value with its escapes resolved: "\n" is a line break, "\\" a
// backslash, any other backslash stays as it is. The whole value is resolved
// (it is part of a file of at most 1 MiB) so that the cut to the room falls
// between characters of the result.
std::string ResolveLineBreaks(std::string_view value) {
  std::string resolved;
  resolved.reserve(value.size());
  for (std::size_t i = 0; i < value.size(); ++i) {
    char c = value[i];
    if (c == '\\' && i + 1 < value.size() && (value[i + 1] == 'n' || value[i + 1] == '\\')) {
      c = value[++i] == 'n' ? '\n' : '\\';
    }
    resolved.push_back(c);
  }
  return resolved;
}

// The loaded texts; English until the first fill.
OptionalTextPool& Pool() {
  static OptionalTextPool pool{};
  static const bool filled = [] {
    for (int i = 0; i < kOptionalTextCount; ++i) CopyIntoSlot(pool, i, kOptionalTexts[i].english);
    return true;
  }();
  (void)filled;
  return pool;
}

// Stores a value of the language file as row index's text.
void StoreValue(int index, std::string_view value) {
  if (kOptionalTexts[index].kind == OptionalTextKind::Paragraph) {
    CopyIntoSlot(Pool(), index, ResolveLineBreaks(value));
    return;
  }
  CopyIntoSlot(Pool(), index, value);
}

}  // namespace

const char* OptionalText(int index) {
  if (index < 0 || index >= kOptionalTextCount) return "";
  return Pool() + kSlotOffsets[index];
}

void FillOptionalTexts(std::string_view fileText) {
  OptionalTextFiller filler;
  ForEachProfileEntry(fileText, [&](const ProfileEntry& entry) { filler.Take(entry); });
  filler.Finish();
}

void OptionalTextFiller::Take(const ProfileEntry& entry) {
  if (entry.isSection) {
    section_ = sections_.Enter(entry.name);
    return;
  }
  if (section_ < 0) return;
  for (int i = 0; i < kOptionalTextCount; ++i) {
    const OptionalTextRow& row = kOptionalTexts[i];
    if (filled_[i] || row.section != kOptionalTextSections[section_] || !SameProfileName(row.key, entry.name)) {
      continue;
    }
    filled_[i] = true;  // the first key of a name wins
    StoreValue(i, entry.value);
  }
}

void OptionalTextFiller::Finish() {
  for (int i = 0; i < kOptionalTextCount; ++i) {
    if (!filled_[i]) CopyIntoSlot(Pool(), i, kOptionalTexts[i].english);
  }
}
