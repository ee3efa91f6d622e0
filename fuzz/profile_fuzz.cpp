// Fuzz target: INI reading and writing on arbitrary file bytes.
// The input is three lines, the section, the key and the value to write,
// followed by the file's bytes. Properties:
//  - reading any key, as text and as integer, never fails or overruns;
//  - a refused write leaves the text exactly as it was;
//  - after an accepted write the key reads back as exactly the written value,
//    and every other line of the file is unchanged: the only changes are the
//    key's own line, or an added key line (with its section header when the
//    section was missing, and a line end for a last line that had none).

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "settings/profile.h"

namespace {

// One line of a text: its content and its line end ("", "\r\n", "\n", "\r"),
// split as the reading rules split them.
struct TextLine {
  std::string_view content;
  std::string_view end;
  bool operator==(const TextLine&) const = default;
};

std::vector<TextLine> SplitLines(std::string_view text) {
  std::vector<TextLine> lines;
  std::size_t at = 0;
  while (at < text.size()) {
    std::size_t stop = text.find_first_of(std::string_view("\r\n", 2), at);
    if (stop == std::string_view::npos) {
      lines.push_back({text.substr(at), {}});
      break;
    }
    std::size_t endLength = text.compare(stop, 2, "\r\n") == 0 ? 2 : 1;
    lines.push_back({text.substr(at, stop - at), text.substr(stop, endLength)});
    at = stop + endLength;
  }
  return lines;
}

// Takes the next line of the input as a name or value (without its "\n").
std::string TakeLine(std::string_view& input) {
  std::size_t stop = input.find('\n');
  std::string_view line = input.substr(0, stop);
  input.remove_prefix(stop == std::string_view::npos ? input.size() : stop + 1);
  // A C string ends at a NUL byte, as the functions will see it.
  return std::string(line.substr(0, line.find('\0')));
}

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

// Reads a few keys of every kind; only bounds and termination are checked.
void CheckReading(std::string_view text, const std::string& section, const std::string& key) {
  char buffer[40];
  std::memset(buffer, 'x', sizeof buffer);
  unsigned length = ReadProfileStringFrom(text, section.c_str(), key.c_str(), "fallback", buffer, sizeof buffer);
  FUZZ_CHECK(length < sizeof buffer && buffer[length] == '\0' && std::strlen(buffer) == length);
  ReadProfileIntFrom(text, section.c_str(), key.c_str(), 7);
  char one[1] = {'x'};
  FUZZ_CHECK(ReadProfileStringFrom(text, "INI", "lang", "", one, 1) == 0 && one[0] == '\0');
  ReadProfileIntFrom(text, "INI", "historylen", 10);
}

// The lines that differ between before and after, after their common first
// and last lines are taken away, must be one of the allowed changes.
void CheckOnlyKeyLineChanged(std::string_view before, std::string_view after, const std::string& section,
                             const std::string& key) {
  if (before == after) return;  // the key already held the value
  // A UTF-8 byte-order mark stays in front of whatever the first line becomes.
  constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
  if (StartsWith(before, kByteOrderMark)) {
    FUZZ_CHECK(StartsWith(after, kByteOrderMark));
    before.remove_prefix(kByteOrderMark.size());
    after.remove_prefix(kByteOrderMark.size());
  }
  std::vector<TextLine> old = SplitLines(before);
  std::vector<TextLine> now = SplitLines(after);
  std::size_t head = 0;
  while (head < old.size() && head < now.size() && old[head] == now[head]) ++head;
  std::size_t tail = 0;
  while (tail < old.size() - head && tail < now.size() - head &&
         old[old.size() - 1 - tail] == now[now.size() - 1 - tail]) {
    ++tail;
  }
  const std::size_t oldChanged = old.size() - head - tail;
  const std::size_t nowChanged = now.size() - head - tail;
  FUZZ_CHECK(oldChanged <= 1);
  std::size_t added = head;  // first line of `now` that is new
  if (oldChanged == 1 && old[head].content == now[head].content) {
    // The last line had no line end and got one so that a line can follow.
    FUZZ_CHECK(head + 1 == old.size() && old[head].end.empty() && now[head].end == "\r\n");
    ++added;
  } else if (oldChanged == 1) {
    // The key's own line: same line end, and it still starts with the key.
    FUZZ_CHECK(nowChanged == 1 && old[head].end == now[head].end);
    std::size_t equals = old[head].content.find('=');
    FUZZ_CHECK(equals != std::string_view::npos);
    FUZZ_CHECK(StartsWith(now[head].content, old[head].content.substr(0, equals + 1)));
    return;
  }
  // Added lines: an optional section header, then the key line.
  std::size_t addedCount = head + nowChanged - added;
  FUZZ_CHECK(addedCount == 1 || addedCount == 2);
  if (addedCount == 2) {
    FUZZ_CHECK(now[added].content == "[" + section + "]" && now[added].end == "\r\n");
    ++added;
  }
  FUZZ_CHECK(StartsWith(now[added].content, key + "=") && now[added].end == "\r\n");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::string section = TakeLine(input);
  const std::string key = TakeLine(input);
  const std::string value = TakeLine(input);
  const std::string before(input);

  CheckReading(before, section, key);

  std::string after = before;
  if (!SetProfileValue(after, section.c_str(), key.c_str(), value.c_str())) {
    FUZZ_CHECK(after == before);
    return 0;
  }
  std::vector<char> buffer(value.size() + 2);
  unsigned length = ReadProfileStringFrom(after, section.c_str(), key.c_str(), "\x01missing", buffer.data(),
                                          static_cast<unsigned>(buffer.size()));
  FUZZ_CHECK(std::string_view(buffer.data(), length) == value);
  std::string_view found;
  FUZZ_CHECK(FindProfileValue(after, section.c_str(), key.c_str(), &found) && found == value);
  CheckOnlyKeyLineChanged(before, after, section, key);
  CheckReading(after, section, key);
  return 0;
}
