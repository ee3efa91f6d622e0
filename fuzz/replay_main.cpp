// Runs a fuzz target once on every file of the folders (or files) named on
// the command line, so that a normal build checks the whole corpus without
// libFuzzer. A broken property aborts, which fails the test.

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

#include "fuzz/fuzz_check.h"

namespace {

std::vector<std::filesystem::path> InputsOf(const std::filesystem::path& argument) {
  std::vector<std::filesystem::path> inputs;
  std::error_code error;
  if (std::filesystem::is_directory(argument, error)) {
    for (const auto& entry : std::filesystem::directory_iterator(argument, error)) {
      if (entry.is_regular_file(error)) inputs.push_back(entry.path());
    }
    std::sort(inputs.begin(), inputs.end());
  } else {
    inputs.push_back(argument);
  }
  return inputs;
}

// Runs the target on one file; false when the file cannot be read.
bool Replay(const std::filesystem::path& input) {
  std::ifstream in(input, std::ios::binary);
  if (!in) return false;
  const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  // A fresh copy of exactly the file's size, so that a read past the end is
  // caught by a sanitizer exactly as under libFuzzer.
  std::vector<std::uint8_t> data(bytes.begin(), bytes.end());
  // libFuzzer never passes a null pointer, not even for an empty input.
  static const std::uint8_t kNoByte = 0;
  LLVMFuzzerTestOneInput(data.empty() ? &kNoByte : data.data(), data.size());
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s CORPUS_FOLDER_OR_FILE...\n", argv[0]);
    return 2;
  }
  int count = 0;
  for (int i = 1; i < argc; ++i) {
    for (const auto& input : InputsOf(argv[i])) {
      if (!Replay(input)) {
        std::fprintf(stderr, "cannot read %s\n", input.string().c_str());
        return 1;
      }
      ++count;
    }
  }
  if (count == 0) {
    std::fprintf(stderr, "no inputs found\n");
    return 1;
  }
  std::printf("%d inputs replayed\n", count);
  return 0;
}
