#include "settings/text_encoding.h"

#include <cstdint>
#include <cstring>
#include <iterator>

namespace {

// Unicode code points of the Windows-1251 bytes 0x80 to 0xFF. 0x98 has no
// character in that code page and is shown as the replacement character.
constexpr std::uint16_t kWindows1251High[128] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,  // 88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0xFFFD, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,  // 98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,  // A0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,  // A8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,  // B0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,  // B8
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,  // C0: А..
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F,
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427,
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437,  // E0: а..
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,
};
static_assert(std::size(kWindows1251High) == 128);

// Length of the well-formed UTF-8 character at text[at], or 0 when the bytes
// there are not one (stray continuation byte, overlong form, surrogate, beyond
// U+10FFFF, cut short).
std::size_t Utf8CharacterLength(std::string_view text, std::size_t at) {
  auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  unsigned char lead = byte(at);
  if (lead < 0x80) return 1;
  std::size_t length;
  unsigned char low = 0x80, high = 0xBF;  // allowed range of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;   // overlong
    if (lead == 0xED) high = 0x9F;  // surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;   // overlong
    if (lead == 0xF4) high = 0x8F;  // beyond U+10FFFF
  } else {
    return 0;
  }
  if (text.size() - at < length) return 0;
  if (byte(at + 1) < low || byte(at + 1) > high) return 0;
  for (std::size_t i = 2; i < length; ++i) {
    if (byte(at + i) < 0x80 || byte(at + i) > 0xBF) return 0;
  }
  return length;
}

std::size_t EncodeUtf8(std::uint32_t codePoint, char* out) {
  if (codePoint < 0x80) {
    out[0] = static_cast<char>(codePoint);
    return 1;
  }
  if (codePoint < 0x800) {
    out[0] = static_cast<char>(0xC0 | (codePoint >> 6));
    out[1] = static_cast<char>(0x80 | (codePoint & 0x3F));
    return 2;
  }
  out[0] = static_cast<char>(0xE0 | (codePoint >> 12));
  out[1] = static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
  out[2] = static_cast<char>(0x80 | (codePoint & 0x3F));
  return 3;
}

}  // namespace

bool IsValidUtf8(std::string_view text) {
  for (std::size_t at = 0; at < text.size();) {
    std::size_t length = Utf8CharacterLength(text, at);
    if (length == 0) return false;
    at += length;
  }
  return true;
}

bool IsValidUtf8(const char* text) { return text != nullptr && IsValidUtf8(std::string_view(text)); }

std::size_t Utf8PrefixLength(std::string_view text, std::size_t maxBytes) {
  if (text.size() <= maxBytes) return text.size();
  if (!IsValidUtf8(text)) return maxBytes;
  std::size_t at = 0;
  while (at < maxBytes) {
    std::size_t length = Utf8CharacterLength(text, at);
    if (at + length > maxBytes) break;
    at += length;
  }
  return at;
}

std::size_t TextPrefixLength(std::string_view text, std::size_t maxCharacters) {
  if (text.size() <= maxCharacters) return text.size();
  if (!IsValidUtf8(text)) return maxCharacters;
  std::size_t at = 0;
  for (std::size_t characters = 0; characters < maxCharacters && at < text.size(); ++characters) {
    at += Utf8CharacterLength(text, at);
  }
  return at;
}

void ConvertToDisplayText(const char* text, char* out, std::size_t capacity) {
  if (out == nullptr || capacity == 0) return;
  std::string_view source = text != nullptr ? std::string_view(text) : std::string_view();
  if (IsValidUtf8(source)) {
    std::size_t length = Utf8PrefixLength(source, capacity - 1);
    std::memcpy(out, source.data(), length);
    out[length] = '\0';
    return;
  }
  std::size_t written = 0;
  for (unsigned char c : source) {
    char encoded[3];
    std::uint32_t codePoint = c < 0x80 ? c : kWindows1251High[c - 0x80];
    std::size_t length = EncodeUtf8(codePoint, encoded);
    if (written + length > capacity - 1) break;
    std::memcpy(out + written, encoded, length);
    written += length;
  }
  out[written] = '\0';
}

std::string DisplayUtf8(const char* text) {
  const std::size_t length = text != nullptr ? std::strlen(text) : 0;
  // A Windows-1251 byte becomes at most three bytes of UTF-8.
  std::string display(length * 3 + 1, '\0');
  ConvertToDisplayText(text, display.data(), display.size());
  display.resize(std::strlen(display.c_str()));
  return display;
}
