// The system's language, read where each platform keeps it.

#include "settings/system_language.h"

#include <cstdlib>
#include <cstring>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

// The shipped language files and the languages they are for.
struct ShippedLanguage {
  const char* code;
  const char* fileName;
};
constexpr ShippedLanguage kShippedLanguages[] = {
    {"en", "english.lng"},
    {"ru", "russian.lng"},
};
constexpr const char* kFallbackFileName = "english.lng";

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

}  // namespace

std::string LanguageCodeOfLocale(const char* locale) {
  if (locale == nullptr) return "";
  std::string code;
  for (const char* c = locale; *c != '\0' && *c != '_' && *c != '.' && *c != '@'; ++c) {
    if (!IsAsciiLetter(*c)) return "";
    code += LowerAscii(*c);
  }
  // "C" and "POSIX" name no language; ISO 639 codes have two or three letters.
  if (code.size() < 2 || code.size() > 3 || code == "posix") return "";
  return code;
}

const char* LanguageFileNameFor(const std::string& code) {
  for (const ShippedLanguage& language : kShippedLanguages) {
    if (code == language.code) return language.fileName;
  }
  return kFallbackFileName;
}

std::string SystemLanguageCode() {
#ifdef _WIN32
  char name[LOCALE_NAME_MAX_LENGTH] = "";
  const LCID locale = MAKELCID(GetUserDefaultUILanguage(), SORT_DEFAULT);
  if (GetLocaleInfoA(locale, LOCALE_SISO639LANGNAME, name, sizeof name) == 0) return "";
  return LanguageCodeOfLocale(name);
#else
  for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(variable);
    if (value != nullptr && value[0] != '\0') return LanguageCodeOfLocale(value);
  }
  return "";
#endif
}
