#pragma once
// Splits a stream of bytes into lines in one fixed-size buffer, the way
// getline does but with bounded memory: every line of the input, whatever
// bytes it holds, comes out as exactly one InputLine.
//
// A line ends at "\n"; a "\r" just before it is dropped too, so "\r\n" files
// read the same. A last line without "\n" counts as a line. A line of more
// than kExpressionMaxLength characters is reported as TooLong and the rest
// of it is skipped without being stored; otherwise a line holding a NUL byte
// is reported as HasNul, since the engine would see only the text before it.

#include <cstddef>
#include <string_view>

#include "engine/engine_state.h"

// Reads at most `capacity` bytes into `buffer`. Returns the count read, 0 at
// the end of the input, or -1 with errno set when the read failed.
using ReadFunction = long (*)(void* context, char* buffer, std::size_t capacity);

struct ByteSource {
  ReadFunction read;
  void* context;
};

enum class LineKind {
  Text,     // `text` holds the line
  TooLong,  // more than kExpressionMaxLength characters; `text` is empty
  HasNul,   // a NUL byte within the line; `text` is empty
};

struct InputLine {
  LineKind kind;
  std::string_view text;  // without its line end; points into the reader, valid until its next call
};

enum class ReadOutcome {
  Line,    // `line` is the next line
  End,     // the input has ended; every line has been given
  Failed,  // a read failed; LineReader::error holds its errno
};

// How many bytes one read asks for. A line in progress needs at most
// kExpressionMaxLength + 2 bytes of it (its characters, "\r" and one more
// byte to know that it is too long).
inline constexpr std::size_t kLineReaderCapacity = std::size_t{64} * 1024;
static_assert(kLineReaderCapacity > kExpressionMaxLength + 2);

struct LineReader {
  ByteSource source;
  char buffer[kLineReaderCapacity];
  std::size_t start;  // the first unread byte of buffer; start <= end
  std::size_t end;    // one past the last byte read into buffer
  bool skipping;      // the rest of a too-long line is being read and dropped
  bool atEnd;         // the source has said the input has ended
  int error;          // errno of the failed read; 0 before one fails
};

// Makes reader read from source, from its first byte.
void StartLineReader(LineReader& reader, ByteSource source);

// Reads the next line. Calls the source only when the buffer holds no whole
// line, so a caller can make the source flush its output before it waits for
// input. After End or Failed every later call gives the same outcome.
ReadOutcome ReadNextLine(LineReader& reader, InputLine& line);
