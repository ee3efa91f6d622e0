#include "cli/line_reader.h"

#include <cerrno>
#include <cstring>

namespace {

// A line with this many bytes and no line end yet is too long even if its
// last byte turns out to be the "\r" of a "\r\n".
constexpr std::size_t kSurelyTooLong = std::size_t{kExpressionMaxLength} + 2;

// Classifies the line buffer[from, to) (its line end already taken off).
InputLine ClassifyLine(const char* from, std::size_t length) {
  if (length > static_cast<std::size_t>(kExpressionMaxLength)) return {LineKind::TooLong, {}};
  if (std::memchr(from, '\0', length) != nullptr) return {LineKind::HasNul, {}};
  return {LineKind::Text, std::string_view(from, length)};
}

// Moves the unread bytes to the front of the buffer and reads more after
// them. False when the read failed.
bool FillBuffer(LineReader& reader) {
  const std::size_t pending = reader.end - reader.start;
  if (reader.start > 0) {
    std::memmove(reader.buffer, reader.buffer + reader.start, pending);
    reader.start = 0;
    reader.end = pending;
  }
  const long count = reader.source.read(reader.source.context, reader.buffer + reader.end,
                                        sizeof reader.buffer - reader.end);
  if (count < 0) {
    reader.error = errno != 0 ? errno : EIO;
    return false;
  }
  if (count == 0) reader.atEnd = true;
  reader.end += static_cast<std::size_t>(count);
  return true;
}

// Drops bytes up to and including the next "\n". True when the line has
// ended (at a "\n" or at the end of the input).
bool SkipRestOfLine(LineReader& reader) {
  const char* from = reader.buffer + reader.start;
  const void* newline = std::memchr(from, '\n', reader.end - reader.start);
  if (newline != nullptr) {
    reader.start = static_cast<std::size_t>(static_cast<const char*>(newline) - reader.buffer) + 1;
    reader.skipping = false;
    return true;
  }
  reader.start = reader.end = 0;
  if (reader.atEnd) reader.skipping = false;
  return reader.atEnd;
}

}  // namespace

void StartLineReader(LineReader& reader, ByteSource source) {
  reader.source = source;
  reader.start = reader.end = 0;
  reader.skipping = false;
  reader.atEnd = false;
  reader.error = 0;
}

ReadOutcome ReadNextLine(LineReader& reader, InputLine& line) {
  for (;;) {
    if (reader.error != 0) return ReadOutcome::Failed;
    if (reader.skipping) {
      if (SkipRestOfLine(reader)) {
        line = {LineKind::TooLong, {}};
        return ReadOutcome::Line;
      }
    } else {
      const char* from = reader.buffer + reader.start;
      const std::size_t pending = reader.end - reader.start;
      if (const void* found = std::memchr(from, '\n', pending)) {
        std::size_t length = static_cast<std::size_t>(static_cast<const char*>(found) - from);
        reader.start += length + 1;
        if (length > 0 && from[length - 1] == '\r') --length;
        line = ClassifyLine(from, length);
        return ReadOutcome::Line;
      }
      if (pending >= kSurelyTooLong) {
        // Nothing of the line is kept: only its end is looked for.
        reader.skipping = true;
        continue;
      }
      if (reader.atEnd) {
        if (pending == 0) return ReadOutcome::End;
        reader.start = reader.end;
        line = ClassifyLine(from, pending);
        return ReadOutcome::Line;
      }
    }
    if (!FillBuffer(reader)) return ReadOutcome::Failed;
  }
}
