// Writes random expressions, one per line, for the identity test: every
// operator and function, every number notation, signs, brackets, "pi", and
// malformed input (unknown names, stray characters, unbalanced brackets,
// missing operands, broken literals). The generator is fixed (a 64-bit
// xorshift with a fixed seed, no library distributions), so the file is the
// same on every build.
//   generate_expressions [count] > expressions.txt

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "engine/vocabulary.h"

namespace {

class Random {
 public:
  std::uint64_t Next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 7;
    state_ ^= state_ << 17;
    return state_;
  }
  int Below(int limit) { return static_cast<int>(Next() % static_cast<std::uint64_t>(limit)); }
  bool OneIn(int n) { return Below(n) == 0; }

 private:
  std::uint64_t state_ = 0x9E3779B97F4A7C15ULL;
};

const char* Pick(Random& random, const char* const* items, int count) { return items[random.Below(count)]; }

std::string Digits(Random& random, const char* alphabet, int alphabetSize, int maxLength) {
  std::string digits;
  const int length = 1 + random.Below(maxLength);
  for (int i = 0; i < length; ++i) digits += alphabet[random.Below(alphabetSize)];
  return digits;
}

// A number in one of the notations, now and then a broken one.
std::string Number(Random& random) {
  static const char kHex[] = "0123456789ABCDEFabcdef";
  if (random.OneIn(60)) {
    static const char* const kBroken[] = {"0xG", "12b", "18o", "1e", "1ex", "1.5e", "1e+", ".5", "1a",
                                          "$1fh", "0x", "$", "1.e3", "010", "1bh", "1e5h"};
    return Pick(random, kBroken, static_cast<int>(std::size(kBroken)));
  }
  switch (random.Below(15)) {
    case 0: return Digits(random, "0123456789", 10, 3);
    case 1: return Digits(random, "0123456789", 10, 12);
    case 2: return Digits(random, "0123456789", 10, 3) + "." + Digits(random, "0123456789", 10, 8);
    case 3: return Digits(random, "0123456789", 10, 2) + "e" + (random.OneIn(2) ? "-" : "") +
                   std::to_string(random.Below(330));
    case 4: return "0x" + Digits(random, kHex, 22, 9);
    case 5: return "$" + Digits(random, kHex, 22, 8);
    // Suffix notation without "b" and "e", which would end the number early.
    case 6: return "1" + Digits(random, "0123456789ACDFacdf", 18, 6) + "h";
    case 7: return Digits(random, "01", 2, 34) + "b";
    case 8: return Digits(random, "01234567", 8, 12) + "o";
    case 9: return "pi";
    // Integers kept exactly beside their double: 64-bit hexadecimal, 19 and
    // 20 decimal digits, the "0b" and "0o" prefixes, "_" between digits.
    case 11: return "0x" + Digits(random, kHex, 22, 17);
    case 12: return Digits(random, "0123456789", 10, 20);
    case 13: return (random.OneIn(2) ? "0b" : "0o") + Digits(random, "01", 2, 40);
    case 14: return Digits(random, "0123456789", 10, 3) + "_" + Digits(random, "0123456789", 10, 3);
    default: return std::to_string(random.Below(10)) + "." + Digits(random, "0123456789", 10, 17);
  }
}

std::string Expression(Random& random, int depth);

std::string Operand(Random& random, int depth) {
  const int choice = depth > 3 ? 0 : random.Below(10);
  if (choice <= 4) return Number(random);
  if (choice <= 6) {
    // A function of the vocabulary, or an unknown or misspelt name.
    std::string name;
    if (random.OneIn(40)) {
      static const char* const kUnknown[] = {"foo", "SIN", "Cos", "arcctg", "abcdefghij", "x", "e"};
      name = Pick(random, kUnknown, static_cast<int>(std::size(kUnknown)));
    } else {
      int row = 0;
      do row = random.Below(kVocabularySize);
      while (!IsFunction(kVocabulary[row]));
      name = kVocabulary[row].text;
    }
    return name + "(" + Expression(random, depth + 1) + ")";
  }
  if (choice <= 8) return "(" + Expression(random, depth + 1) + ")";
  static const char* const kPrefixes[] = {"-", "+", "~"};
  return Pick(random, kPrefixes, static_cast<int>(std::size(kPrefixes))) + Operand(random, depth + 1);
}

std::string Operator(Random& random) {
  int row = 0;
  do row = random.Below(kVocabularySize);
  while (IsFunction(kVocabulary[row]) || kVocabulary[row].isPrefix);
  return kVocabulary[row].text;
}

std::string Expression(Random& random, int depth) {
  std::string text = Operand(random, depth);
  const int operators = random.Below(depth > 1 ? 2 : 4);
  for (int i = 0; i < operators; ++i) {
    text += random.OneIn(8) ? " " : "";
    text += Operator(random);
    text += Operand(random, depth);
  }
  return text;
}

// Damages a correct expression now and then.
std::string Malformed(Random& random, std::string text) {
  static const char* const kStray[] = {"(", ")", "+", "*", "><", "?", "@", "#", ",", "\t", "  ", "sin", "2 3"};
  const auto position = static_cast<std::size_t>(random.Below(static_cast<int>(text.size()) + 1));
  switch (random.Below(4)) {
    case 0: return text.insert(position, Pick(random, kStray, static_cast<int>(std::size(kStray))));
    case 1: return position < text.size() ? text.erase(position, 1) : text + "(";
    case 2: return text.substr(0, position);
    default: return text + Operator(random);
  }
}

}  // namespace

int main(int argc, char** argv) {
  const long count = argc > 1 ? std::atol(argv[1]) : 20000;
  Random random;
  for (long i = 0; i < count; ++i) {
    std::string text = Expression(random, 0);
    if (random.OneIn(6)) text = Malformed(random, text);
    if (text.size() > 900) text.resize(900);
    std::printf("%s\n", text.c_str());
  }
  return 0;
}
