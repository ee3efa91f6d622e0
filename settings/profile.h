#pragma once
// INI file access for the settings and language files, the same on every
// platform. Reading never fails on any bytes; writing is atomic.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Copies the value of [section] key into buffer (cut to capacity - 1 bytes,
// always terminated); fallback when the file, section or key is missing.
// Returns the number of bytes copied, terminator not counted.
unsigned ReadProfileString(const char* section, const char* key, const char* fallback, char* buffer,
                           unsigned capacity, const char* path);

// The value read as a decimal integer with optional sign; trailing text is
// ignored, a value without digits gives 0, a missing key gives fallback.
int ReadProfileInt(const char* section, const char* key, int fallback, const char* path);

// Sets [section] key = value, keeping every other byte of the file, under the
// file's SettingsFileLock. Returns false, leaving the old file untouched,
// when the file cannot be written or locked.
bool WriteIniString(const char* section, const char* key, const char* value, const char* path);

// The same operations on a file's text already in memory, so that several
// reads or changes cost one file access and several changes land in one
// atomic write.

// Loads the whole file as bytes. A missing file gives the empty text and true;
// a name that exists but cannot be read as a file (a folder, a device or
// pipe, no permission) or is larger than kProfileSizeLimit gives false.
bool LoadProfileText(const char* path, std::string& text);

// The largest INI file read, and so the largest one written: a file saved
// must always load at the next start. A history of 200,000 of the longest
// expressions fits.
inline constexpr std::size_t kProfileSizeLimit = std::size_t{256} << 20;

// Finds [section] key in loaded text. The value is what a read returns:
// blanks trimmed, one pair of outer quotes removed, cut at a NUL byte.
bool FindProfileValue(std::string_view text, const char* section, const char* key,
                      std::string_view* value);

// One line of loaded text that matters to a reader: a section header, or a
// key with its value (read as FindProfileValue reads it).
struct ProfileEntry {
  bool isSection;
  std::string_view name;   // the section or key name, blanks trimmed
  std::string_view value;  // for a key
};

// Calls visit(entry) for every section header and key of text, in file
// order, in one pass. The reader keeps the rule that the first section and
// the first key of a name win.
template <typename Visit>
void ForEachProfileEntry(std::string_view text, Visit&& visit);

// ReadProfileString on loaded text.
unsigned ReadProfileStringFrom(std::string_view text, const char* section, const char* key,
                               const char* fallback, char* buffer, unsigned capacity);

// ReadProfileInt on loaded text.
int ReadProfileIntFrom(std::string_view text, const char* section, const char* key, int fallback);

// Sets [section] key = value in text, changing no other byte. False, leaving
// text as it was, for names or values that cannot be stored: an empty name, a
// line break, "]" in a section name, "=" in a key, a key starting with "[" or
// ";". A value that would not read back unchanged (outer blanks, outer quotes)
// is stored inside double quotes. When changed is given, it tells whether a
// byte of text changed.
bool SetProfileValue(std::string& text, const char* section, const char* key, const char* value,
                     bool* changed = nullptr);

// Replaces the file by text atomically: a temporary file in the same folder is
// written, flushed to disk and renamed over path. On failure the old file is
// left byte for byte, the temporary file is removed and false is returned.
bool StoreProfileText(const char* path, std::string_view text);

// The values of numbered keys, asked for by number, so that a long list
// need not be copied first. A view returned need stay valid only until the
// next call.
class NumberedValues {
 public:
  virtual ~NumberedValues() = default;
  virtual std::size_t Count() = 0;
  virtual std::string_view At(std::size_t index) = 0;
  // The length no value exceeds, when known (0: unknown). Known, the new
  // text is allocated once without every value being read twice.
  virtual std::size_t LongestValue() { return 0; }
};

// Sets keys "0", "1", ... of the first [section] to values.At(0), At(1), ...
// in one pass over text, however many there are: the result is that of
// SetProfileValue called for each key in turn. A key already in the section
// keeps its place; the missing ones are added in order after the section's
// last key, and a missing section is added at the end. Keys beyond the last
// value stay as they are. False, leaving text as it was, when the section
// name or a value cannot be stored. When changed is given, it tells whether a
// byte of text changed. Each value is asked for once when LongestValue is
// known, else twice.
bool SetNumberedProfileValues(std::string& text, const char* section, NumberedValues& values,
                              bool* changed = nullptr);

// The number a key names when it is written as "%d" writes a number from 0
// below limit (digits only, no sign, no leading zero); -1 for any other key.
// 64 bits on every platform, so that a key of ten digits is never cut to a
// smaller number that names another entry.
std::int64_t NumberedKeyIndex(std::string_view key, std::int64_t limit);

// Whether two section or key names are the same name: ASCII case is ignored.
bool SameProfileName(std::string_view a, std::string_view b);

// For a reader walking ForEachProfileEntry that reads the sections `names`:
// keeps the rule that only the first section of a name counts. Enter(name),
// for each section header, gives the index in names of the section it opens
// when it is the first of that name, and -1 for a later one and for a
// section the reader does not read.
template <std::size_t N>
class FirstSections {
 public:
  explicit constexpr FirstSections(const std::array<std::string_view, N>& names) : names_(names) {}

  int Enter(std::string_view name) {
    for (std::size_t i = 0; i < N; ++i) {
      if (!SameProfileName(name, names_[i])) continue;
      const bool first = !entered_[i];
      entered_[i] = true;
      return first ? static_cast<int>(i) : -1;
    }
    return -1;
  }

 private:
  std::array<std::string_view, N> names_;
  std::array<bool, N> entered_{};
};

// The one-pass reader behind ForEachProfileEntry: from offset at, finds the
// next section header or key; false at the end of the text.
bool NextProfileEntry(std::string_view text, std::size_t& at, ProfileEntry& entry);

template <typename Visit>
void ForEachProfileEntry(std::string_view text, Visit&& visit) {
  std::size_t at = 0;
  ProfileEntry entry{};
  while (NextProfileEntry(text, at, entry)) visit(entry);
}
