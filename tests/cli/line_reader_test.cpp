// The line reader and the output buffer on bytes in memory, handed over in
// chunks of every size that moves a line end, a "\r" or a NUL byte across a
// read boundary.

#include "cli/line_reader.h"
#include "cli/output_buffer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "tests/support/case_table.h"

namespace {

// Hands out bytes at most `chunk` at a time; fails with EIO once the bytes
// are used up when `failAtEnd` is set.
struct ChunkedBytes {
  std::string bytes;
  std::size_t chunk;
  bool failAtEnd = false;
  std::size_t at = 0;
};

long ReadChunk(void* context, char* buffer, std::size_t capacity) {
  auto& source = *static_cast<ChunkedBytes*>(context);
  std::size_t count = std::min({source.chunk, capacity, source.bytes.size() - source.at});
  if (count == 0 && source.failAtEnd) {
    errno = EIO;
    return -1;
  }
  std::copy_n(source.bytes.data() + source.at, count, buffer);
  source.at += count;
  return static_cast<long>(count);
}

// Every line the reader gives, as "[text]" ("[N chars]" for a long text),
// "<long>" or "<nul>", then "<end>" or "<failed>".
std::string ReadAll(ChunkedBytes source) {
  static LineReader reader;  // 64 KiB: not on the stack
  StartLineReader(reader, {ReadChunk, &source});
  std::string lines;
  InputLine line{};
  for (;;) {
    const ReadOutcome outcome = ReadNextLine(reader, line);
    if (outcome != ReadOutcome::Line) return lines + (outcome == ReadOutcome::End ? "<end>" : "<failed>");
    if (line.kind == LineKind::TooLong) {
      lines += "<long>";
    } else if (line.kind == LineKind::HasNul) {
      lines += "<nul>";
    } else if (line.text.size() > 20) {
      lines.append("[").append(std::to_string(line.text.size())).append(" chars]");
    } else {
      lines.append("[").append(line.text).append("]");
    }
  }
}

const std::string k999(999, '7');

TEST(LineReader, GivesOneLinePerInputLineWhateverTheChunks) {
  using namespace std::string_literals;
  const struct {
    int line;
    std::string input;
    const char* expected;
  } cases[] = {
      {__LINE__, "", "<end>"},
      {__LINE__, "\n", "[]<end>"},
      {__LINE__, "\n\n\n", "[][][]<end>"},
      {__LINE__, "1+1", "[1+1]<end>"},
      {__LINE__, "1\n2\n", "[1][2]<end>"},
      {__LINE__, "1\n2", "[1][2]<end>"},
      {__LINE__, "1\r\n2\r\n", "[1][2]<end>"},
      {__LINE__, "\r\n\n", "[][]<end>"},
      // Only a "\r" right before "\n" belongs to the line end.
      {__LINE__, "1\r2\n", "[1\r2]<end>"},
      {__LINE__, "1\r\r\n", "[1\r]<end>"},
      {__LINE__, "1\r", "[1\r]<end>"},
      {__LINE__, "1+1\0junk\n2+2\n"s, "<nul>[2+2]<end>"},
      {__LINE__, "1+1+1+1+1+1+1+1+1\n\0\n"s, "[1+1+1+1+1+1+1+1+1]<nul><end>"},
      {__LINE__, "\0"s, "<nul><end>"},
      {__LINE__, "\0\n\0"s, "<nul><nul><end>"},
      {__LINE__, "1\r\0\r\n2"s, "<nul>[2]<end>"},
      {__LINE__, k999 + "\n", "[999 chars]<end>"},
      {__LINE__, k999 + "\r\n1\n", "[999 chars][1]<end>"},
      {__LINE__, k999, "[999 chars]<end>"},
      {__LINE__, k999 + "7\n1\n", "<long>[1]<end>"},
      {__LINE__, k999 + "7\r\n", "<long><end>"},
      {__LINE__, k999 + "7", "<long><end>"},
      {__LINE__, k999 + "\r", "<long><end>"},
      {__LINE__, k999 + "\r7\n", "<long><end>"},
      // A long line is refused as long, whatever else it holds.
      {__LINE__, k999 + "\0\n2\n"s, "<long>[2]<end>"},
      {__LINE__, std::string(200000, '1') + "\n2", "<long>[2]<end>"},
      {__LINE__, std::string(200000, '\0'), "<long><end>"},
  };
  const std::size_t chunks[] = {1, 2, 3, 5, 7, 998, 999, 1000, 1001, 1002, 65535, 1 << 20};
  ForEachCase(cases, [&](const auto& c) {
    for (std::size_t chunk : chunks) {
      SCOPED_TRACE(testing::Message() << "chunks of " << chunk);
      EXPECT_EQ(ReadAll({c.input, chunk}), c.expected);
    }
  });
}

TEST(LineReader, AFailedReadEndsTheLinesAndIsKept) {
  // The unfinished last line is not given: its end was never read.
  EXPECT_EQ(ReadAll({"1\n2\n3", 2, true}), "[1][2]<failed>");
  EXPECT_EQ(ReadAll({"", 2, true}), "<failed>");
}

// Records every write; fails with ENOSPC once `room` bytes are written.
struct RecordingSink {
  std::string written;
  int writes = 0;
  std::size_t room = static_cast<std::size_t>(-1);
};

long WriteRecorded(void* context, const char* bytes, std::size_t size) {
  auto& sink = *static_cast<RecordingSink*>(context);
  if (sink.written.size() >= sink.room) {
    errno = ENOSPC;
    return -1;
  }
  const std::size_t count = std::min(size, sink.room - sink.written.size());
  sink.written.append(bytes, count);
  ++sink.writes;
  return static_cast<long>(count);
}

TEST(OutputBuffer, WritesInFullBlocksAndInOrder) {
  static OutputBuffer out;
  RecordingSink sink;
  StartOutputBuffer(out, {WriteRecorded, &sink});
  std::string expected;
  for (int i = 0; i < 100000; ++i) {
    const std::string line = std::to_string(i) + "\n";
    PutText(out, line);
    expected += line;
  }
  const std::string large(3 * kOutputBufferCapacity, 'x');
  PutText(out, large);
  PutChar(out, '!');
  EXPECT_TRUE(FlushOutput(out));
  EXPECT_EQ(sink.written, expected + large + "!");
  EXPECT_LE(sink.writes, static_cast<int>(sink.written.size() / kOutputBufferCapacity) + 2);
}

TEST(OutputBuffer, KeepsTheFirstFailureAndWritesNothingMore) {
  static OutputBuffer out;
  RecordingSink sink;
  sink.room = 100000;
  StartOutputBuffer(out, {WriteRecorded, &sink});
  for (int i = 0; i < 20000; ++i) PutText(out, "1234567890");
  EXPECT_EQ(out.error, ENOSPC);
  const int writes = sink.writes;
  PutText(out, "more");
  EXPECT_FALSE(FlushOutput(out));
  EXPECT_EQ(sink.writes, writes);
  EXPECT_EQ(sink.written.size(), 100000u);
}

}  // namespace
