#include "settings/font_choice.h"

#include <algorithm>
#include <charconv>
#include <cstring>

#include "settings/text_encoding.h"

namespace {

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

// A family the window can be asked for: the settings file is hand-editable,
// and a control character in a name could only come from a damaged file.
bool IsUsableFamily(std::string_view family) {
  if (family.empty() || family.size() >= kFontFamilyCapacity || !IsValidUtf8(family)) return false;
  return std::ranges::all_of(family, [](char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 0x20 && byte != 0x7F;
  });
}

bool IsUsableSize(int points) { return points >= kMinFontPoints && points <= kMaxFontPoints; }

}  // namespace

bool MakeFontChoice(std::string_view family, int points, FontChoice& font) {
  family = TrimBlanks(family);
  if (!IsUsableFamily(family) || !IsUsableSize(points)) return false;
  std::memcpy(font.family, family.data(), family.size());
  font.family[family.size()] = '\0';
  font.points = points;
  return true;
}

bool ParseFontValue(std::string_view value, FontChoice& font) {
  const std::size_t comma = value.rfind(',');
  if (comma == std::string_view::npos) return false;
  const std::string_view size = TrimBlanks(value.substr(comma + 1));
  int points = 0;
  const auto [end, error] = std::from_chars(size.data(), size.data() + size.size(), points);
  if (error != std::errc() || end != size.data() + size.size()) return false;
  return MakeFontChoice(value.substr(0, comma), points, font);
}

std::string FormatFontValue(const FontChoice& font) {
  if (!IsFontChosen(font)) return "";
  return std::string(font.family) + "," + std::to_string(font.points);
}
