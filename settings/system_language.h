#pragma once
// The language the user's system speaks, and the shipped language file that
// goes with it, so the first start can offer the right file.

#include <string>

// The two-letter code (ISO 639-1, lower case) of the system's language: on
// POSIX from LC_ALL, else LC_MESSAGES, else LANG (the first that is set and
// not empty, as the C library chooses); on Windows the user's interface
// language. Empty when nothing is known or the setting is "C" or "POSIX".
std::string SystemLanguageCode();

// The code of a POSIX locale setting such as "ru_RU.UTF-8", "de" or
// "pt_BR@euro": its letters before "_", ".", "@" or the end, lower-cased, when
// there are two or three of them; empty otherwise ("C", "POSIX", "").
std::string LanguageCodeOfLocale(const char* locale);

// The shipped language file for a language code ("ru" gives "russian.lng");
// "english.lng" for every language no file is shipped for.
const char* LanguageFileNameFor(const std::string& code);
