#include "ui/menu_accelerators.h"

#include <cstring>
#include <string_view>

#include "settings/optional_texts.h"
#include "settings/text_encoding.h"

static_assert(kMenuMarkedTextCapacity >= static_cast<int>(kOptionalTextCapacity) + 1);

namespace {

// One character of a menu text: its code point (0 for a byte that is no
// character of the text's encoding) and how many bytes it takes.
struct TextCharacter {
  char32_t codePoint;
  int length;
};

// Windows-1251 bytes of the Russian alphabet: 0xC0..0xFF are А..я in order,
// 0xA8 and 0xB8 are Ё and ё.
char32_t Cp1251Letter(unsigned char byte) {
  if (byte >= 0xC0) return U'\u0410' + (byte - 0xC0);
  if (byte == 0xA8) return U'\u0401';
  if (byte == 0xB8) return U'\u0451';
  return byte < 0x80 ? byte : 0;
}

TextCharacter Utf8CharacterAt(const unsigned char* text) {
  const unsigned char lead = text[0];
  if (lead < 0x80) return {lead, 1};
  const int length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
  char32_t codePoint = lead & (0x3F >> (length - 1));
  for (int i = 1; i < length; ++i) codePoint = (codePoint << 6) | (text[i] & 0x3F);
  return {codePoint, length};
}

// The character at text[position]; utf8 says how the text is encoded.
TextCharacter CharacterAt(const char* text, std::size_t position, bool utf8) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(text + position);
  return utf8 ? Utf8CharacterAt(bytes) : TextCharacter{Cp1251Letter(bytes[0]), 1};
}

// The accelerator key of a character: letters folded to upper case, digits
// as they are, 0 for anything that cannot be one.
char32_t KeyOf(char32_t c) {
  if ((c >= U'0' && c <= U'9') || (c >= U'A' && c <= U'Z')) return c;
  if (c >= U'a' && c <= U'z') return c - 0x20;
  if (c == U'\u0401' || (c >= U'\u0410' && c <= U'\u042F')) return c;
  if (c >= U'\u0430' && c <= U'\u044F') return c - 0x20;
  if (c == U'\u0451') return U'\u0401';
  return 0;
}

// Where the text's own mark stands ("&" before its letter), or npos. "&&"
// is an ampersand shown as one and marks nothing.
std::size_t OwnMarkPosition(const char* text) {
  for (std::size_t i = 0; text[i] != '\0'; ++i) {
    if (text[i] != '&') continue;
    if (text[i + 1] == '&') {
      ++i;
      continue;
    }
    if (text[i + 1] != '\0') return i;
  }
  return std::string_view::npos;
}

// The first character of text whose key is free, skipping "&&"; npos when
// none is.
std::size_t FirstFreeKeyPosition(const char* text, const TakenKeys& taken, bool utf8, char32_t* key) {
  std::size_t i = 0;
  while (text[i] != '\0') {
    if (text[i] == '&' && text[i + 1] == '&') {
      i += 2;
      continue;
    }
    const TextCharacter character = CharacterAt(text, i, utf8);
    *key = KeyOf(character.codePoint);
    if (*key != 0 && !taken.Has(*key)) return i;
    i += static_cast<std::size_t>(character.length);
  }
  return std::string_view::npos;
}

// Marks one text of a pop-up (or of the bar) into slot, pointing text at it
// when a mark went in.
void MarkInto(const char*& text, TakenKeys& taken, char* slot) {
  if (text != nullptr && MarkAccelerator(text, taken, slot, kMenuMarkedTextCapacity)) text = slot;
}

// The keys the texts of a pop-up mark themselves, so that none is given
// twice.
void CollectOwnKeys(const MenuPopupModel& popup, TakenKeys& taken) {
  for (int i = 0; i < popup.itemCount; ++i) {
    if (popup.items[i].text == nullptr) continue;
    const char32_t key = OwnAccelerator(popup.items[i].text);
    if (key != 0) taken.Add(key);
  }
}

}  // namespace

bool TakenKeys::Has(char32_t key) const {
  for (int i = 0; i < count; ++i) {
    if (keys[i] == key) return true;
  }
  return false;
}

void TakenKeys::Add(char32_t key) {
  if (count < kCapacity && !Has(key)) keys[count++] = key;
}

char32_t OwnAccelerator(const char* text) {
  const std::size_t mark = OwnMarkPosition(text);
  if (mark == std::string_view::npos) return 0;
  return KeyOf(CharacterAt(text, mark + 1, IsValidUtf8(text)).codePoint);
}

bool MarkAccelerator(const char* text, TakenKeys& taken, char* marked, std::size_t capacity) {
  const std::size_t length = std::strlen(text);
  if (OwnMarkPosition(text) != std::string_view::npos || length + 2 > capacity) return false;
  char32_t key = 0;
  const std::size_t position = FirstFreeKeyPosition(text, taken, IsValidUtf8(text), &key);
  if (position == std::string_view::npos) return false;
  taken.Add(key);
  std::memcpy(marked, text, position);
  marked[position] = '&';
  std::memcpy(marked + position + 1, text + position, length - position + 1);
  return true;
}

void GiveAccelerators(MenuModel& menu, const char* reservedForTitles) {
  TakenKeys titleKeys;
  for (const char* c = reservedForTitles; *c != '\0'; ++c) titleKeys.Add(static_cast<unsigned char>(*c));
  for (const MenuPopupModel& popup : menu.popups) {
    if (popup.title != nullptr && OwnAccelerator(popup.title) != 0) titleKeys.Add(OwnAccelerator(popup.title));
  }
  for (int p = 0; p < kMenuPopupCount; ++p) {
    MenuPopupModel& popup = menu.popups[p];
    MarkInto(popup.title, titleKeys, menu.markedTexts[p][0]);
    TakenKeys itemKeys;
    CollectOwnKeys(popup, itemKeys);
    for (int i = 0; i < popup.itemCount && i < kMenuMaxItems; ++i) {
      MarkInto(popup.items[i].text, itemKeys, menu.markedTexts[p][i + 1]);
    }
  }
}
