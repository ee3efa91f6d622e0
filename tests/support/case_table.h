#pragma once
// Table-driven tests: one test per behaviour, holding a table of cases. Each
// row starts with its source line, `{__LINE__, ...}`, so a failure names the
// row it came from.

#include <gtest/gtest.h>

#include <span>

// Calls check(row) for every row, each under a trace naming the row's line.
template <typename Row, typename Check>
void ForEachCase(std::span<const Row> rows, Check check) {
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << "case at line " << row.line);
    check(row);
  }
}

// The same for a plain array of rows.
template <typename Row, std::size_t N, typename Check>
void ForEachCase(const Row (&rows)[N], Check check) {
  ForEachCase(std::span<const Row>(rows, N), check);
}
