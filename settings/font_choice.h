#pragma once
// The font the user chose for the expression box and the result lines, as
// the settings file keeps it: "font=Family,points" in [INI], e.g.
// "font=Consolas,10". A missing or unreadable value means the window's own
// fonts.

#include <cstddef>
#include <string>
#include <string_view>

// A family name of up to 63 bytes of UTF-8: more than any installed family
// needs, and a bound on what a hand-edited file can make the window ask for.
inline constexpr std::size_t kFontFamilyCapacity = 64;
// The sizes a font dialog offers; outside them the lines would be unreadable
// or fill the screen.
inline constexpr int kMinFontPoints = 6;
inline constexpr int kMaxFontPoints = 72;

struct FontChoice {
  char family[kFontFamilyCapacity];  // UTF-8, terminated; "" for the window's own fonts
  int points;                        // kMinFontPoints..kMaxFontPoints while family is not ""
};

// Whether a choice names a font (its family is not "").
inline bool IsFontChosen(const FontChoice& font) { return font.family[0] != '\0'; }

// Reads "Family,points": the family is everything before the last comma with
// blanks around it dropped, non-empty, valid UTF-8 without control
// characters, shorter than kFontFamilyCapacity; the size whole points in
// kMinFontPoints..kMaxFontPoints, blanks around it allowed. True with font
// filled; false (font left alone) for anything else.
bool ParseFontValue(std::string_view value, FontChoice& font);

// The value ParseFontValue reads back to font: "Family,points". "" for a
// font that is not chosen.
std::string FormatFontValue(const FontChoice& font);

// Makes family and points a choice: false (font left alone) where
// ParseFontValue would refuse their value. Front ends call this with what
// their font dialog gave.
bool MakeFontChoice(std::string_view family, int points, FontChoice& font);
