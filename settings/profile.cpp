// INI files read and written with the rules of the classic Windows profile
// functions, implemented here so that every platform behaves the same:
//  - section and key names match without regard to ASCII case;
//  - blanks (spaces, tabs) around names and values are ignored, and one pair
//    of matching outer quotes around a value is removed;
//  - a line whose first non-blank is ";" is a comment, a line without "=" is
//    not a key, and the first section and the first key of a name win;
//  - lines end in CR LF, LF or CR alone; a UTF-8 byte-order mark is skipped;
//    a NUL byte ends a value.
// Writing changes only the bytes of the one key it sets, adds new lines with
// CR LF, and replaces the file atomically.

#include "settings/profile.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "settings/files/file_lock.h"
#include "settings/files/file_system.h"

namespace {

constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kLineEnd = "\r\n";

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  }
  return true;
}

// One line of the text: [begin, end) is its content, next is where the
// following line starts (end plus the length of the line end, if any).
struct Line {
  std::size_t begin;
  std::size_t end;
  std::size_t next;
};

// Where the line starting at begin ends: its first CR or LF, or the end of
// the text. Each line end is looked for with memchr, which is many times
// faster than a loop over a long history's bytes, over a window that doubles
// from the line's start: neither search runs past the line by more than the
// line's own length, so a file of LF line ends is not searched to its end
// for a CR at every line (which would make every walk quadratic).
std::size_t LineEndFrom(std::string_view text, std::size_t begin) {
  const char* const base = text.data();
  std::size_t from = begin;
  for (std::size_t window = 64; from < text.size(); window *= 2) {
    const std::size_t to = from + std::min(window, text.size() - from);
    const void* lf = std::memchr(base + from, '\n', to - from);
    const std::size_t lfAt = lf != nullptr ? static_cast<std::size_t>(static_cast<const char*>(lf) - base) : to;
    const void* cr = std::memchr(base + from, '\r', lfAt - from);
    if (cr != nullptr) return static_cast<std::size_t>(static_cast<const char*>(cr) - base);
    if (lf != nullptr) return lfAt;
    from = to;
  }
  return text.size();
}

Line LineAt(std::string_view text, std::size_t begin) {
  const std::size_t end = LineEndFrom(text, begin);
  std::size_t next = end;
  if (next < text.size()) {
    bool crLf = text[next] == '\r' && next + 1 < text.size() && text[next + 1] == '\n';
    next += crLf ? 2 : 1;
  }
  return {begin, end, next};
}

enum class LineKind { Other, Section, Key };

struct ParsedLine {
  LineKind kind;
  std::string_view name;  // the section or key name, blanks trimmed
  std::size_t afterEquals;  // for a key: offset of the byte after "="
};

ParsedLine ParseLine(std::string_view text, Line line) {
  std::string_view content = text.substr(line.begin, line.end - line.begin);
  std::size_t start = 0;
  while (start < content.size() && IsBlank(content[start])) ++start;
  if (start == content.size() || content[start] == ';') return {LineKind::Other, {}, 0};
  if (content[start] == '[') {
    // A header without "]" takes the rest of the line as its name.
    std::size_t close = content.find(']', start + 1);
    if (close == std::string_view::npos) close = content.size();
    return {LineKind::Section, TrimBlanks(content.substr(start + 1, close - start - 1)), 0};
  }
  std::size_t equals = content.find('=', start);
  if (equals == std::string_view::npos) return {LineKind::Other, {}, 0};
  return {LineKind::Key, TrimBlanks(content.substr(start, equals - start)), line.begin + equals + 1};
}

std::size_t ContentStart(std::string_view text) {
  return text.substr(0, kUtf8ByteOrderMark.size()) == kUtf8ByteOrderMark ? kUtf8ByteOrderMark.size() : 0;
}

// What a walk of a section found: whether the section is there, and where a
// key added to it goes.
struct SectionPlace {
  bool sectionFound = false;
  std::size_t insertAt = 0;         // after the last key (or the header) of the section
  bool insertNeedsLineEnd = false;  // that line ends the text without a line end
};

// Walks the first section named section: calls visitKey(line, parsed) for
// each of its key lines in file order, until it returns false. Fills place
// with the section's end as far as the walk went. Every change of a key
// finds its line this way, so that all of them agree on which section and
// which line count.
template <typename VisitKey>
void WalkFirstSection(std::string_view text, std::string_view section, SectionPlace& place, VisitKey&& visitKey) {
  for (std::size_t at = ContentStart(text); at < text.size();) {
    const Line line = LineAt(text, at);
    at = line.next;
    const ParsedLine parsed = ParseLine(text, line);
    if (parsed.kind == LineKind::Section) {
      if (place.sectionFound) break;  // the section has ended
      if (!EqualIgnoringCase(parsed.name, section)) continue;
      place.sectionFound = true;
    } else if (!place.sectionFound || parsed.kind != LineKind::Key) {
      continue;
    } else if (!visitKey(line, parsed)) {
      return;
    }
    place.insertAt = line.next;
    place.insertNeedsLineEnd = line.next == line.end;
  }
}

// Where a key stands in the text, or where it would be added.
struct KeyPlace : SectionPlace {
  bool keyFound = false;
  Line keyLine{};               // the key's line, when found
  std::size_t afterEquals = 0;  // offset after the key's "=", when found
};

// Finds the first section named section and in it the first key named key.
KeyPlace FindKey(std::string_view text, std::string_view section, std::string_view key) {
  KeyPlace place;
  WalkFirstSection(text, section, place, [&](const Line& line, const ParsedLine& parsed) {
    if (!EqualIgnoringCase(parsed.name, key)) return true;
    place.keyFound = true;
    place.keyLine = line;
    place.afterEquals = parsed.afterEquals;
    return false;
  });
  return place;
}

// Where a key's value is replaced: after the blanks that follow "=", which
// stay as the user wrote them; right after "=" when there is nothing else.
std::size_t ReplacedValueStart(std::string_view text, std::size_t afterEquals, std::size_t lineEnd) {
  std::size_t start = afterEquals;
  while (start < lineEnd && IsBlank(text[start])) ++start;
  return start == lineEnd ? afterEquals : start;
}

// The stored value of a key line: up to a NUL byte, blanks trimmed, one pair
// of matching outer quotes removed.
std::string_view ValueAfter(std::string_view text, std::size_t afterEquals, std::size_t lineEnd) {
  std::string_view raw = text.substr(afterEquals, lineEnd - afterEquals);
  raw = raw.substr(0, raw.find('\0'));
  raw = TrimBlanks(raw);
  if (raw.size() >= 2 && raw.front() == raw.back() && (raw.front() == '"' || raw.front() == '\'')) {
    raw = raw.substr(1, raw.size() - 2);
  }
  return raw;
}

std::string_view ValueOf(std::string_view text, const KeyPlace& place) {
  return ValueAfter(text, place.afterEquals, place.keyLine.end);
}

// Two memchr scans: find_first_of calls memchr on the two characters for
// every byte, which costs seconds on a long history.
bool HasLineBreak(std::string_view text) {
  return std::memchr(text.data(), '\n', text.size()) != nullptr ||
         std::memchr(text.data(), '\r', text.size()) != nullptr;
}

bool IsStorableSection(std::string_view section) {
  return !section.empty() && !HasLineBreak(section) && section.find(']') == std::string_view::npos &&
         TrimBlanks(section) == section;
}

bool IsStorableKey(std::string_view key) {
  return !key.empty() && !HasLineBreak(key) && key.find('=') == std::string_view::npos &&
         key.front() != '[' && key.front() != ';' && TrimBlanks(key) == key;
}

// The value as it is written after "=": inside double quotes when reading it
// back would otherwise lose outer blanks or a pair of outer quotes.
std::string EncodeValue(std::string_view value) {
  bool outerBlank = !value.empty() && (IsBlank(value.front()) || IsBlank(value.back()));
  bool outerQuotes = value.size() >= 2 && value.front() == value.back() &&
                     (value.front() == '"' || value.front() == '\'');
  if (!outerBlank && !outerQuotes) return std::string(value);
  std::string quoted;
  quoted.reserve(value.size() + 2);
  quoted += '"';
  quoted += value;
  quoted += '"';
  return quoted;
}


}  // namespace

bool FindProfileValue(std::string_view text, const char* section, const char* key,
                      std::string_view* value) {
  if (section == nullptr || key == nullptr) return false;
  KeyPlace place = FindKey(text, section, key);
  if (!place.keyFound) return false;
  *value = ValueOf(text, place);
  return true;
}

std::int64_t NumberedKeyIndex(std::string_view key, std::int64_t limit) {
  // Ten digits at the most: every such number fits in 64 bits.
  if (key.empty() || key.size() > 10 || (key.size() > 1 && key[0] == '0')) return -1;
  std::int64_t index = 0;
  for (char c : key) {
    if (c < '0' || c > '9') return -1;
    index = index * 10 + (c - '0');
  }
  return index < limit ? index : -1;
}

bool SameProfileName(std::string_view a, std::string_view b) { return EqualIgnoringCase(a, b); }

bool NextProfileEntry(std::string_view text, std::size_t& at, ProfileEntry& entry) {
  if (at == 0) at = ContentStart(text);
  while (at < text.size()) {
    Line line = LineAt(text, at);
    at = line.next;
    ParsedLine parsed = ParseLine(text, line);
    if (parsed.kind == LineKind::Other) continue;
    entry.isSection = parsed.kind == LineKind::Section;
    entry.name = parsed.name;
    entry.value = entry.isSection ? std::string_view() : ValueAfter(text, parsed.afterEquals, line.end);
    return true;
  }
  return false;
}

bool LoadProfileText(const char* path, std::string& text) {
  int error = 0;
  switch (ReadRegularFile(path, kProfileSizeLimit, text, error)) {
    case FileReadOutcome::Read:
      return true;
    case FileReadOutcome::CannotOpen:
      // Nothing of that name: an empty file. Anything else that cannot be
      // opened must not be taken for empty and overwritten.
      return error == ENOENT || error == ENOTDIR;
    default:
      return false;
  }
}

unsigned ReadProfileStringFrom(std::string_view text, const char* section, const char* key,
                               const char* fallback, char* buffer, unsigned capacity) {
  if (buffer == nullptr || capacity == 0) return 0;
  std::string_view value;
  if (!FindProfileValue(text, section, key, &value)) value = fallback != nullptr ? fallback : "";
  std::size_t count = value.size() < capacity - 1 ? value.size() : capacity - 1;
  std::memcpy(buffer, value.data(), count);
  buffer[count] = '\0';
  return static_cast<unsigned>(count);
}

int ReadProfileIntFrom(std::string_view text, const char* section, const char* key, int fallback) {
  std::string_view value;
  if (!FindProfileValue(text, section, key, &value)) return fallback;
  std::size_t at = 0;
  bool negative = false;
  if (at < value.size() && (value[at] == '+' || value[at] == '-')) negative = value[at++] == '-';
  // Digits beyond the range of int saturate rather than wrap around.
  constexpr std::int64_t kLimit = static_cast<std::int64_t>(INT_MAX) + 1;
  std::int64_t magnitude = 0;
  for (; at < value.size() && value[at] >= '0' && value[at] <= '9'; ++at) {
    magnitude = magnitude * 10 + (value[at] - '0');
    if (magnitude > kLimit) magnitude = kLimit;
  }
  std::int64_t signedValue = negative ? -magnitude : magnitude;
  if (signedValue > INT_MAX) signedValue = INT_MAX;
  return static_cast<int>(signedValue);
}

bool SetProfileValue(std::string& text, const char* section, const char* key, const char* value, bool* changed) {
  if (section == nullptr || key == nullptr || value == nullptr) return false;
  if (!IsStorableSection(section) || !IsStorableKey(key) || HasLineBreak(value)) return false;
  std::string encoded = EncodeValue(value);
  KeyPlace place = FindKey(text, section, key);
  if (place.keyFound) {
    const std::size_t start = ReplacedValueStart(text, place.afterEquals, place.keyLine.end);
    const bool differs = std::string_view(text).substr(start, place.keyLine.end - start) != encoded;
    if (changed != nullptr) *changed = differs;
    if (differs) text.replace(start, place.keyLine.end - start, encoded);
    return true;
  }
  if (changed != nullptr) *changed = true;
  std::string line = std::string(key) + "=" + encoded + std::string(kLineEnd);
  if (place.sectionFound) {
    if (place.insertNeedsLineEnd) line.insert(0, kLineEnd);
    text.insert(place.insertAt, line);
    return true;
  }
  if (text.size() > ContentStart(text) && !IsLineEnd(text.back())) text += kLineEnd;
  text += "[";
  text += section;
  text += "]";
  text += kLineEnd;
  text += line;
  return true;
}

namespace {

// What SetNumberedProfileValues changes in the text: the value of each key
// found, and where the missing keys go. Offsets are into the old text.
struct NumberedKeyEdits : SectionPlace {
  std::vector<std::size_t> valueStart;  // per value: where its old value starts; npos when missing
  std::vector<std::size_t> valueEnd;    // and where it ends (its line's end)
};

// Finds, in one pass, the first section named section and in it the first
// key of each number below count, as FindKey would for each of them.
NumberedKeyEdits FindNumberedKeys(std::string_view text, std::string_view section, std::size_t count) {
  NumberedKeyEdits edits;
  edits.valueStart.assign(count, std::string_view::npos);
  edits.valueEnd.assign(count, 0);
  WalkFirstSection(text, section, edits, [&](const Line& line, const ParsedLine& parsed) {
    const std::int64_t index = NumberedKeyIndex(parsed.name, static_cast<std::int64_t>(count));
    const std::size_t slot = static_cast<std::size_t>(index);
    if (index >= 0 && edits.valueStart[slot] == std::string_view::npos) {
      edits.valueStart[slot] = ReplacedValueStart(text, parsed.afterEquals, line.end);
      edits.valueEnd[slot] = line.end;
    }
    return true;
  });
  return edits;
}

// Appends value to out as EncodeValue writes it, without a copy of its own.
void AppendEncoded(std::string& out, std::string_view value) {
  const bool outerBlank = !value.empty() && (IsBlank(value.front()) || IsBlank(value.back()));
  const bool outerQuotes =
      value.size() >= 2 && value.front() == value.back() && (value.front() == '"' || value.front() == '\'');
  const bool quoted = outerBlank || outerQuotes;
  if (quoted) out += '"';
  out += value;
  if (quoted) out += '"';
}

// Appends "<index>=<value>" and a line end to out.
void AppendNumberedLine(std::string& out, std::size_t index, std::string_view value) {
  // to_chars rather than snprintf: a long history writes hundreds of
  // thousands of keys, and the number needs no locale.
  char key[24];
  char* const end = std::to_chars(key, key + sizeof key - 1, index).ptr;
  *end = '=';
  out.append(key, static_cast<std::size_t>(end + 1 - key));
  AppendEncoded(out, value);
  out += kLineEnd;
}

// Appends the lines of the keys edits found missing, in order. False at a
// value with a line break, which cannot be stored.
bool AppendMissingLines(std::string& out, const NumberedKeyEdits& edits, NumberedValues& values) {
  for (std::size_t i = 0; i < edits.valueStart.size(); ++i) {
    if (edits.valueStart[i] != std::string_view::npos) continue;
    const std::string_view value = values.At(i);
    if (HasLineBreak(value)) return false;
    AppendNumberedLine(out, i, value);
  }
  return true;
}

// Whether a value stored as value would change the bytes that stand for it
// now; compared in place, without a copy.
bool DiffersFromStored(std::string_view stored, std::string_view value) {
  const bool outerBlank = !value.empty() && (IsBlank(value.front()) || IsBlank(value.back()));
  const bool outerQuotes =
      value.size() >= 2 && value.front() == value.back() && (value.front() == '"' || value.front() == '\'');
  if (!outerBlank && !outerQuotes) return stored != value;
  return stored.size() != value.size() + 2 || stored.front() != '"' || stored.back() != '"' ||
         stored.substr(1, value.size()) != value;
}

}  // namespace

bool SetNumberedProfileValues(std::string& text, const char* section, NumberedValues& values, bool* changed) {
  if (section == nullptr || !IsStorableSection(section)) return false;
  // The exact length of the new keys, so that the new text is allocated once:
  // a long history is hundreds of megabytes.
  const std::size_t count = values.Count();
  // Room for each new line: the value, two quotes, the key and "=", the
  // line end. Reserved beyond what is written, it costs address space only.
  constexpr std::size_t kLineOverhead = 2 + 24 + kLineEnd.size();
  std::size_t added = count * (values.LongestValue() + kLineOverhead);
  if (values.LongestValue() == 0) {
    added = 0;
    for (std::size_t i = 0; i < count; ++i) added += values.At(i).size() + kLineOverhead;
  }
  const NumberedKeyEdits edits = FindNumberedKeys(text, section, count);
  bool anyMissing = false;
  for (std::size_t start : edits.valueStart) anyMissing = anyMissing || start == std::string_view::npos;
  if (!edits.sectionFound) {
    if (changed != nullptr) *changed = anyMissing;
    if (!anyMissing) return true;
    // Built apart, as below: a value may point into text.
    std::string out;
    ReserveLargeText(out, text.size() + added + std::strlen(section) + 8);
    out += text;
    if (out.size() > ContentStart(out) && !IsLineEnd(out.back())) out += kLineEnd;
    out += "[";
    out += section;
    out += "]";
    out += kLineEnd;
    if (!AppendMissingLines(out, edits, values)) return false;
    text = std::move(out);
    return true;
  }
  // The found values in text order, each replaced as the copy passes it.
  std::vector<std::size_t> order;
  order.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    if (edits.valueStart[i] != std::string_view::npos) order.push_back(i);
  }
  // Usually the keys stand in number order already.
  const auto inTextOrder = [&](std::size_t a, std::size_t b) { return edits.valueStart[a] < edits.valueStart[b]; };
  if (!std::is_sorted(order.begin(), order.end(), inTextOrder)) std::sort(order.begin(), order.end(), inTextOrder);
  bool anyDifferent = anyMissing;
  std::string out;
  ReserveLargeText(out, text.size() + added + kLineEnd.size());
  std::size_t copied = 0;
  for (std::size_t i : order) {
    const std::string_view old(text.data() + edits.valueStart[i], edits.valueEnd[i] - edits.valueStart[i]);
    const std::string_view value = values.At(i);
    if (HasLineBreak(value)) return false;
    anyDifferent = anyDifferent || DiffersFromStored(old, value);
    out.append(text, copied, edits.valueStart[i] - copied);
    AppendEncoded(out, value);
    copied = edits.valueEnd[i];
  }
  // Every key found stands before the place of the missing ones.
  if (anyMissing) {
    out.append(text, copied, edits.insertAt - copied);
    copied = edits.insertAt;
    if (edits.insertNeedsLineEnd) out += kLineEnd;
    if (!AppendMissingLines(out, edits, values)) return false;
  }
  out.append(text, copied, std::string::npos);
  if (changed != nullptr) *changed = anyDifferent;
  if (anyDifferent) text = std::move(out);
  return true;
}

bool StoreProfileText(const char* path, std::string_view text) {
  if (path == nullptr || path[0] == '\0') return false;
  // A larger file would be refused at the next start, and the whole history
  // with it; failing this save keeps the file that still loads.
  if (text.size() > kProfileSizeLimit) return false;
  return ReplaceFileContent(path, text);
}

unsigned ReadProfileString(const char* section, const char* key, const char* fallback, char* buffer,
                           unsigned capacity, const char* path) {
  std::string text;
  if (!LoadProfileText(path, text)) text.clear();
  return ReadProfileStringFrom(text, section, key, fallback, buffer, capacity);
}

int ReadProfileInt(const char* section, const char* key, int fallback, const char* path) {
  std::string text;
  if (!LoadProfileText(path, text)) text.clear();
  return ReadProfileIntFrom(text, section, key, fallback);
}

bool WriteIniString(const char* section, const char* key, const char* value, const char* path) {
  // Read, change and write back while no other window or process changes
  // the file, so that the key it saved in between stays.
  SettingsFileLock lock(path);
  if (!lock.Held()) return false;
  std::string text;
  if (!LoadProfileText(path, text)) return false;  // never overwrite what could not be read
  std::string before = text;
  if (!SetProfileValue(text, section, key, value)) return false;
  if (text == before) return true;  // the file already holds exactly this
  return StoreProfileText(path, text);
}
