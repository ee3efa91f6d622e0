// The INI functions on real files: what a read returns for a given file, what
// a write leaves in the file, and that a failed or interrupted write never
// damages the old file.

#include "settings/profile.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <random>
#include <thread>

#include "tests/support/case_table.h"
#include "tests/support/child_process.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"

namespace {

using namespace std::string_literals;  // NUL bytes inside file contents

constexpr char kFallback[] = "DEF";

TEST(ReadProfileStringTest, ReadsAFileLikeTheWindowsProfileFunctions) {
  struct Row {
    int line;
    std::string file;
    const char* section;
    const char* key;
    unsigned capacity;
    std::string expected;
  };
  const Row rows[] = {
      {__LINE__, "[INI]\r\nlang=x\r\n", "INI", "lang", 100, "x"},
      {__LINE__, "[ini]\nLANG=x\n", "INI", "lang", 100, "x"},
      {__LINE__, "  [ INI ]  \n \t lang \t=\t x y \t\n", "INI", "lang", 100, "x y"},
      {__LINE__, "[s]\nk=\"  a b \"\n", "s", "k", 100, "  a b "},
      {__LINE__, "[s]\nk='q'\n", "s", "k", 100, "q"},
      {__LINE__, "[s]\nk=\"a'\n", "s", "k", 100, "\"a'"},
      {__LINE__, "[s]\nk=\"\"a\"\"\n", "s", "k", 100, "\"a\""},
      {__LINE__, "[s]\nk=\"\n", "s", "k", 100, "\""},
      {__LINE__, "[s]\nk=a=b\n", "s", "k", 100, "a=b"},
      {__LINE__, "[s]\n;k=1\nk=2\n", "s", "k", 100, "2"},
      {__LINE__, "[s]\n \t;k=1\n", "s", "k", 100, kFallback},
      {__LINE__, "[s]\nk\n", "s", "k", 100, kFallback},
      {__LINE__, "[s]\nk=1\nk=2\n", "s", "k", 100, "1"},
      {__LINE__, "[s]\na=1\n[S]\nk=2\n", "s", "k", 100, kFallback},
      {__LINE__, "[a]\nk=1\n[b]\nj=2\n", "b", "k", 100, kFallback},
      {__LINE__, "k=1\n[s]\n", "s", "k", 100, kFallback},
      {__LINE__, "[other]\nk=1\n", "s", "k", 100, kFallback},
      {__LINE__, "", "s", "k", 100, kFallback},
      {__LINE__, "[s]\nk=\n", "s", "k", 100, ""},
      {__LINE__, "[s]\nk=  \t\n", "s", "k", 100, ""},
      {__LINE__, "[s]\nk=abcdef\n", "s", "k", 4, "abc"},
      {__LINE__, "[s]\nk=abcdef\n", "s", "k", 7, "abcdef"},
      {__LINE__, "[s]\nk=abcdef\n", "s", "k", 1, ""},
      {__LINE__, "[s]\rk=1\rj=2", "s", "j", 100, "2"},
      {__LINE__, "[s]\n\rk=1", "s", "k", 100, "1"},
      {__LINE__, "[s]\nk=last", "s", "k", 100, "last"},
      {__LINE__, "[s]\nk=ab\0cd\n"s, "s", "k", 100, "ab"},
      {__LINE__, "\0\0\n[s]\nk=1"s, "s", "k", 100, "1"},
      {__LINE__, "\xEF\xBB\xBF[s]\r\nk=1\r\n", "s", "k", 100, "1"},
      {__LINE__, "[s\nk=1\n", "s", "k", 100, "1"},
      {__LINE__, "[s]\n\xFF\xFE=x\nk=\xD0\xB6\xE6\n", "s", "k", 100, "\xD0\xB6\xE6"},
  };
  TempFolder folder;
  const std::string path = folder / "test.ini";
  ForEachCase(rows, [&](const Row& row) {
    WriteFile(path, row.file);
    char buffer[128];
    std::memset(buffer, '#', sizeof buffer);
    unsigned count = ReadProfileString(row.section, row.key, kFallback, buffer, row.capacity, path.c_str());
    EXPECT_EQ(std::string(buffer), row.expected);
    EXPECT_EQ(count, row.expected.size());
  });
}

TEST(ReadProfileStringTest, MissingOrUnreadableFileGivesTheFallback) {
  TempFolder folder;
  char buffer[16];
  EXPECT_EQ(ReadProfileString("s", "k", kFallback, buffer, sizeof buffer, (folder / "none.ini").c_str()), 3u);
  EXPECT_STREQ(buffer, kFallback);
  EXPECT_EQ(ReadProfileString("s", "k", kFallback, buffer, sizeof buffer, folder.path().c_str()), 3u);
  EXPECT_STREQ(buffer, kFallback);
  EXPECT_EQ(ReadProfileString("s", "k", "longer fallback", buffer, 5, (folder / "none.ini").c_str()), 4u);
  EXPECT_STREQ(buffer, "long");
}

TEST(ReadProfileIntTest, ReadsADecimalWithOptionalSign) {
  struct Row {
    int line;
    std::string value;  // "<none>": the key is missing
    int expected;
  };
  const Row rows[] = {
      {__LINE__, "5", 5},           {__LINE__, "-3", -3},          {__LINE__, "+7", 7},
      {__LINE__, "12abc", 12},      {__LINE__, "abc", 0},          {__LINE__, "", 0},
      {__LINE__, "  42 ", 42},      {__LINE__, "\"8\"", 8},        {__LINE__, "0x10", 0},
      {__LINE__, "- 5", 0},         {__LINE__, "2147483647", INT_MAX},
      {__LINE__, "99999999999", INT_MAX},  {__LINE__, "-2147483648", INT_MIN},
      {__LINE__, "-99999999999", INT_MIN}, {__LINE__, "<none>", 77},
  };
  TempFolder folder;
  const std::string path = folder / "test.ini";
  ForEachCase(rows, [&](const Row& row) {
    WriteFile(path, row.value == "<none>" ? "[s]\r\n" : "[s]\r\nn=" + row.value + "\r\n");
    EXPECT_EQ(ReadProfileInt("s", "n", 77, path.c_str()), row.expected);
  });
}

TEST(WriteIniStringTest, ChangesOnlyTheKeyItSets) {
  struct Row {
    int line;
    std::string before;  // "<missing>": no file
    const char* section;
    const char* key;
    const char* value;
    std::string after;
  };
  const Row rows[] = {
      {__LINE__, "<missing>", "INI", "lang", "x", "[INI]\r\nlang=x\r\n"},
      {__LINE__, "", "INI", "lang", "x", "[INI]\r\nlang=x\r\n"},
      {__LINE__, "; note\r\n[INI]\r\nlang=old\r\n\r\n[B]\r\nk=1\r\n", "INI", "lang", "new",
       "; note\r\n[INI]\r\nlang=new\r\n\r\n[B]\r\nk=1\r\n"},
      {__LINE__, "[INI]\nform = 3 \nx=1\n", "INI", "form", "0", "[INI]\nform = 0\nx=1\n"},
      {__LINE__, "[INI]\r\na=1\r\n; c\r\n\r\n[H]\r\n0=x\r\n", "INI", "b", "2",
       "[INI]\r\na=1\r\nb=2\r\n; c\r\n\r\n[H]\r\n0=x\r\n"},
      {__LINE__, "[INI]\r\n[H]\r\n", "INI", "b", "2", "[INI]\r\nb=2\r\n[H]\r\n"},
      {__LINE__, "[INI]\r\na=1\r\n", "HISTORY", "0", "x", "[INI]\r\na=1\r\n[HISTORY]\r\n0=x\r\n"},
      {__LINE__, "[INI]\r\na=1", "INI", "b", "2", "[INI]\r\na=1\r\nb=2\r\n"},
      {__LINE__, "[INI]\r\na=1", "H", "0", "x", "[INI]\r\na=1\r\n[H]\r\n0=x\r\n"},
      {__LINE__, "[ini]\r\nLANG=a\r\n", "INI", "lang", "b", "[ini]\r\nLANG=b\r\n"},
      {__LINE__, "[s]\r\nk=1\r\nk=2\r\n[s]\r\nk=3\r\n", "s", "k", "9", "[s]\r\nk=9\r\nk=2\r\n[s]\r\nk=3\r\n"},
      {__LINE__, "[s]\rk=1\rj=2", "s", "j", "3", "[s]\rk=1\rj=3"},
      {__LINE__, "[s]\r\nk=\r\n", "s", "k", "v", "[s]\r\nk=v\r\n"},
      {__LINE__, "\xEF\xBB\xBF", "s", "k", "v", "\xEF\xBB\xBF[s]\r\nk=v\r\n"},
      {__LINE__, "x\0y\r\n[s]\r\nk=1\0z\r\n"s, "s", "k", "2", "x\0y\r\n[s]\r\nk=2\r\n"s},
      {__LINE__, "[s]\r\n", "s", "k", " a ", "[s]\r\nk=\" a \"\r\n"},
      {__LINE__, "[s]\r\n", "s", "k", "'q'", "[s]\r\nk=\"'q'\"\r\n"},
  };
  TempFolder folder;
  const std::string path = folder / "test.ini";
  ForEachCase(rows, [&](const Row& row) {
    std::remove(path.c_str());
    if (row.before != "<missing>") WriteFile(path, row.before);
    EXPECT_TRUE(WriteIniString(row.section, row.key, row.value, path.c_str()));
    EXPECT_EQ(ReadFile(path), row.after);
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"test.ini"});
  });
}

TEST(WriteIniStringTest, EveryValueReadsBackUnchanged) {
  TempFolder folder;
  const std::string path = folder / "test.ini";
  for (const char* value : {"", " a", "a\t", "\"q\"", "'q'", "\"", "a=b", ";x", "[x]", "\\", "\"a' "}) {
    SCOPED_TRACE(value);
    ASSERT_TRUE(WriteIniString("s", "k", value, path.c_str()));
    char buffer[32];
    ReadProfileString("s", "k", kFallback, buffer, sizeof buffer, path.c_str());
    EXPECT_STREQ(buffer, value);
  }
}

TEST(WriteIniStringTest, RefusesNamesAndValuesThatWouldBreakTheFile) {
  struct Row {
    int line;
    const char* section;
    const char* key;
    const char* value;
  };
  const Row rows[] = {
      {__LINE__, "s", "k", "a\r\nevil=1"}, {__LINE__, "s", "k", "a\nb"},  {__LINE__, "a]b", "k", "v"},
      {__LINE__, "s\n", "k", "v"},         {__LINE__, "s", "a=b", "v"},   {__LINE__, "s", ";k", "v"},
      {__LINE__, "s", "[k", "v"},          {__LINE__, "", "k", "v"},      {__LINE__, "s", "", "v"},
      {__LINE__, "s", "k", nullptr},       {__LINE__, nullptr, "k", "v"},
  };
  TempFolder folder;
  const std::string path = folder / "test.ini";
  const std::string before = "[s]\r\nk=old\r\n";
  WriteFile(path, before);
  ForEachCase(rows, [&](const Row& row) {
    EXPECT_FALSE(WriteIniString(row.section, row.key, row.value, path.c_str()));
    EXPECT_EQ(ReadFile(path), before);
  });
}

TEST(ProfileFileTest, HugeLinesAndOddBytesAreReadAndKept) {
  TempFolder folder;
  const std::string path = folder / "test.ini";
  const std::string big(10 * 1024 * 1024, 'x');
  WriteFile(path, "\xEF\xBB\xBF[s]\r\nbig=" + big + "\r\nk=1\r\n\0\r\n"s);
  char buffer[1000];
  EXPECT_EQ(ReadProfileString("s", "big", kFallback, buffer, sizeof buffer, path.c_str()), 999u);
  EXPECT_EQ(ReadProfileInt("s", "k", -1, path.c_str()), 1);
  ASSERT_TRUE(WriteIniString("s", "k", "2", path.c_str()));
  EXPECT_EQ(ReadFile(path), "\xEF\xBB\xBF[s]\r\nbig=" + big + "\r\nk=2\r\n\0\r\n"s);
}

// A line ends at its first CR or LF however long it is. Line ends are
// searched for in blocks that grow along the line, so every length up to a
// few blocks puts the line end (and the LF of a CR LF) at another place in a
// block.
TEST(ProfileTextTest, LinesOfEveryLengthEndAtTheirFirstLineBreak) {
  for (const std::string lineEnd : {"\r\n", "\n", "\r"}) {
    for (std::size_t length = 0; length <= 300; ++length) {
      SCOPED_TRACE("line end " + std::to_string(lineEnd.size() == 2 ? 0 : lineEnd[0]) + ", length " +
                   std::to_string(length));
      const std::string value(length, 'v');
      std::string text = "[s]" + lineEnd + "a=" + value + lineEnd + "b=2" + lineEnd + "[t]\rc=3\n";
      std::string_view found;
      ASSERT_TRUE(FindProfileValue(text, "s", "a", &found));
      EXPECT_EQ(found, value);
      ASSERT_TRUE(FindProfileValue(text, "t", "c", &found));
      EXPECT_EQ(found, "3");
      std::string names;
      ForEachProfileEntry(text, [&](const ProfileEntry& entry) { names += std::string(entry.name) + ","; });
      EXPECT_EQ(names, "s,a,b,t,c,");
      ASSERT_TRUE(SetProfileValue(text, "s", "b", "9"));
      EXPECT_EQ(text, "[s]" + lineEnd + "a=" + value + lineEnd + "b=9" + lineEnd + "[t]\rc=3\n");
    }
  }
}

// Write failures: each must return false, keep the old file byte for byte and
// leave no temporary file.
TEST(ProfileFileTest, FailedWritesLeaveTheOldFile) {
  TempFolder folder;
  const std::string blocker = folder / "plain";
  WriteFile(blocker, "not a folder");
  ASSERT_EQ(mkdir((folder / "sub").c_str(), 0755), 0);
  EXPECT_FALSE(WriteIniString("s", "k", "v", (folder / "plain/test.ini").c_str()));
  EXPECT_FALSE(WriteIniString("s", "k", "v", (folder / "sub").c_str()));
  EXPECT_FALSE(WriteIniString("s", "k", "v", (folder / "nofolder/test.ini").c_str()));
  EXPECT_EQ(ReadFile(blocker), "not a folder");
  EXPECT_EQ(folder.Names(), (std::vector<std::string>{"plain", "sub"}));
}

// A file larger than the start reads would cost the whole history at the
// next start; the save fails instead and the old file stays.
TEST(ProfileFileTest, TextLargerThanAStartReadsIsNotWritten) {
  TempFolder folder;
  const std::string path = folder / "test.ini";
  WriteFile(path, "[INI]\r\nform=1\r\n");
  EXPECT_FALSE(StoreProfileText(path.c_str(), std::string(kProfileSizeLimit + 1, 'x')));
  EXPECT_EQ(ReadFile(path), "[INI]\r\nform=1\r\n");
  EXPECT_EQ(folder.Names(), (std::vector<std::string>{"test.ini"}));
}

TEST(ProfileFileTest, LinksAreFollowedAndPipesAreNeverRead) {
  TempFolder folder;
  const std::string target = folder / "real.ini";
  const std::string link = folder / "link.ini";
  WriteFile(target, "[s]\r\nk=1\r\n");
  ASSERT_EQ(symlink(target.c_str(), link.c_str()), 0);
  EXPECT_TRUE(WriteIniString("s", "k", "2", link.c_str()));
  EXPECT_EQ(ReadFile(target), "[s]\r\nk=2\r\n");
  struct stat info {};
  ASSERT_EQ(lstat(link.c_str(), &info), 0);
  EXPECT_TRUE(S_ISLNK(info.st_mode));

  // Opening a pipe with no writer would block for ever.
  const std::string pipe = folder / "pipe.ini";
  ASSERT_EQ(mkfifo(pipe.c_str(), 0644), 0);
  char buffer[8];
  EXPECT_EQ(ReadProfileString("s", "k", kFallback, buffer, sizeof buffer, pipe.c_str()), 3u);
  EXPECT_FALSE(WriteIniString("s", "k", "v", pipe.c_str()));
}

// A writable file in a folder the user cannot write to is written in place;
// a file that cannot be read is never written, since its other keys would go.
TEST(ProfileFileTest, ReadOnlyFolderIsWrittenInPlaceAndUnreadableFileNotAtAll) {
  TempFolder folder;
  const std::string before = "[s]\r\nk=old\r\n";
  const std::string readOnlyFolder = folder / "ro";
  ASSERT_EQ(mkdir(readOnlyFolder.c_str(), 0755), 0);
  WriteFile(readOnlyFolder + "/test.ini", before);
  chmod((readOnlyFolder + "/test.ini").c_str(), 0666);  // the file itself is writable
  chmod(readOnlyFolder.c_str(), 0555);
  const std::string writeOnly = folder / "wo.ini";
  WriteFile(writeOnly, before);
  chmod(writeOnly.c_str(), 0222);
  chmod(folder.path().c_str(), 0777);

  int failures = RunInChildAsNobody([&] {
    int result = 0;
    if (!WriteIniString("s", "k", "new", (readOnlyFolder + "/test.ini").c_str())) result |= 1;
    // What cannot be read cannot be rewritten without losing its other keys.
    if (WriteIniString("s", "j", "new", writeOnly.c_str())) result |= 2;
    // The same user can write where the folder allows it.
    if (!WriteIniString("s", "k", "new", (folder / "open.ini").c_str())) result |= 4;
    return result;
  });
  EXPECT_EQ(failures, 0);
  EXPECT_EQ(ReadFile(readOnlyFolder + "/test.ini"), "[s]\r\nk=new\r\n");
  EXPECT_EQ(ReadFile(writeOnly), before);
  EXPECT_EQ(NamesIn(readOnlyFolder), std::vector<std::string>{"test.ini"});
  chmod(readOnlyFolder.c_str(), 0755);
}

// A full disk, as a file-size limit makes every write past 4 KiB fail: the
// old file stays byte for byte, whether it is replaced or, having a second
// name, rewritten in place.
TEST(ProfileFileTest, FullDiskLeavesTheOldFile) {
  struct Row {
    int line;
    bool hardLinked;
  };
  const Row rows[] = {{__LINE__, false}, {__LINE__, true}};
  ForEachCase(rows, [](const Row& row) {
    TempFolder folder;
    const std::string path = folder / "test.ini";
    const std::string before = "[s]\r\nk=old\r\nhand=added\r\n" + std::string(2000, 'x') + "\r\n";
    WriteFile(path, before);
    if (row.hardLinked) {
      ASSERT_EQ(link(path.c_str(), (folder / "second.ini").c_str()), 0);
    }
    const std::string large(64 * 1024, 'v');
    int status = RunInChild([&] {
      signal(SIGXFSZ, SIG_IGN);
      rlimit limit{4096, 4096};
      if (setrlimit(RLIMIT_FSIZE, &limit) != 0) return 2;
      bool smallWritten = WriteIniString("s", "k", "small", (folder / "small.ini").c_str());
      bool largeWritten = WriteIniString("s", "k", large.c_str(), path.c_str());
      return (smallWritten ? 0 : 4) | (largeWritten ? 1 : 0);
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(ReadFile(path), before);
    const std::vector<std::string> hardLinked = {"second.ini", "small.ini", "test.ini"};
    const std::vector<std::string> single = {"small.ini", "test.ini"};
    EXPECT_EQ(folder.Names(), row.hardLinked ? hardLinked : single);
  });
}

TEST(ProfileFileTest, KilledWriterLeavesOldOrNewFileNeverAMix) {
  TempFolder folder;
  const std::string path = folder / "test.ini";
  const std::string a(200 * 1024, 'a');
  const std::string b(300 * 1024, 'b');
  const std::string withA = "[s]\r\nk=" + a + "\r\n";
  const std::string withB = "[s]\r\nk=" + b + "\r\n";
  std::mt19937 random(12345);
  for (int round = 0; round < 12; ++round) {
    SCOPED_TRACE(round);
    WriteFile(path, withA);
    pid_t child = fork();
    if (child == 0) {
      for (int i = 0;; ++i) WriteIniString("s", "k", (i % 2 == 0 ? b : a).c_str(), path.c_str());
    }
    ASSERT_GT(child, 0);
    std::this_thread::sleep_for(std::chrono::microseconds(2000 + random() % 20000));
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    std::string after = ReadFile(path);
    EXPECT_TRUE(after == withA || after == withB) << "file of " << after.size() << " bytes";
  }
}

}  // namespace

namespace {

// Values held in a list, with or without telling the longest length (the
// writer then measures them first, or allocates for the longest).
class ListedValues : public NumberedValues {
 public:
  explicit ListedValues(std::vector<std::string> values, bool tellsLongest = false)
      : values_(std::move(values)), tellsLongest_(tellsLongest) {}
  std::size_t Count() override { return values_.size(); }
  std::string_view At(std::size_t index) override { return values_.at(index); }
  std::size_t LongestValue() override {
    std::size_t longest = 1;
    for (const std::string& value : values_) longest = std::max(longest, value.size());
    return tellsLongest_ ? longest : 0;
  }

 private:
  std::vector<std::string> values_;
  bool tellsLongest_;
};

// Setting many numbered keys in one pass must leave exactly the text that
// setting them one by one leaves: the same places, blanks, comments and line
// ends, whatever the section already holds.
TEST(SetNumberedProfileValuesTest, LeavesWhatSettingEachKeyInTurnLeaves) {
  struct Row {
    int line;
    std::string text;
    std::vector<std::string> values;
  };
  const Row rows[] = {
      {__LINE__, "", {"a", "b"}},
      {__LINE__, "[INI]\r\nform=1", {"a"}},
      {__LINE__, "\xEF\xBB\xBF", {"a"}},
      {__LINE__, "[HISTORY]", {"a", "b"}},
      {__LINE__, "[HISTORY]\r\n0=x\r\n1=y\r\n2=z\r\n", {"a", "b"}},
      {__LINE__, "[history]\r\n2=z\n; note\r\n\r\n0 =  x \r\n[INI]\r\nform=1\r\n", {"a", "b", "c", "d"}},
      {__LINE__, "[HISTORY]\r\n0=x\r\n0=dup\r\n00=zero\r\n+1=plus\r\n1", {"a", "b"}},
      {__LINE__, "[HISTORY]\r\n[HISTORY]\r\n0=later\r\n", {"a"}},
      {__LINE__, "[INI]\n[HISTORY]\r1=\r0=x", {" padded ", "'q'", ""}},
      {__LINE__, "[HISTORY]\r\n4294967296=big\r\n", {"a"}},
      {__LINE__, "[HISTORY]\r\n0=x\r\n", {}},
  };
  ForEachCase(rows, [](const Row& row) {
    std::string oneByOne = row.text;
    for (std::size_t i = 0; i < row.values.size(); ++i) {
      ASSERT_TRUE(SetProfileValue(oneByOne, "HISTORY", std::to_string(i).c_str(), row.values[i].c_str()));
    }
    for (const bool tellsLongest : {false, true}) {
      std::string onePass = row.text;
      ListedValues values(row.values, tellsLongest);
      ASSERT_TRUE(SetNumberedProfileValues(onePass, "HISTORY", values));
      EXPECT_EQ(onePass, oneByOne) << (tellsLongest ? "longest told" : "longest measured");
    }
  });
}

TEST(SetNumberedProfileValuesTest, RefusesALineBreakAndKeepsTheText) {
  std::string text = "[HISTORY]\r\n0=x\r\n";
  for (const bool tellsLongest : {false, true}) {
    ListedValues withBreak({"a", "b\nc"}, tellsLongest);
    EXPECT_FALSE(SetNumberedProfileValues(text, "HISTORY", withBreak));
    ListedValues breakInFoundKey({"a\rb"}, tellsLongest);
    EXPECT_FALSE(SetNumberedProfileValues(text, "HISTORY", breakInFoundKey));
  }
  ListedValues plain({"a"});
  EXPECT_FALSE(SetNumberedProfileValues(text, "HIS]TORY", plain));
  EXPECT_EQ(text, "[HISTORY]\r\n0=x\r\n");
}

// A file of a long history is read into room reserved from its size, the
// text given is replaced, and a merge of that size writes every byte.
TEST(ProfileFileTest, TextsBeyondSixtyFourMebibytesReadAndMergeWhole) {
  TempFolder folder;
  const std::string path = folder / "test.ini";
  const std::string big(65 << 20, 'x');
  const std::string file = "[s]\r\n0=" + big + "\r\n1=b\r\n";
  WriteFile(path, file);
  std::string text = "left over";
  ASSERT_TRUE(LoadProfileText(path.c_str(), text));
  EXPECT_TRUE(text == file);
  ListedValues values({"a", big + "y"});
  ASSERT_TRUE(SetNumberedProfileValues(text, "s", values));
  EXPECT_TRUE(text == "[s]\r\n0=a\r\n1=" + big + "y\r\n");
}

// Keys of ten digits are numbers beyond 32 bits; cut to 32 bits, 4294967313
// would name entry 17.
TEST(NumberedKeyIndexTest, ReadsTenDigitKeysWithoutWrapping) {
  struct Row {
    int line;
    const char* key;
    std::int64_t limit;
    std::int64_t expected;
  };
  const Row rows[] = {
      {__LINE__, "0", 10, 0},
      {__LINE__, "17", 20, 17},
      {__LINE__, "4294967313", 20, -1},
      {__LINE__, "4294967296", 10, -1},
      {__LINE__, "9999999999", 10000000000, 9999999999},
      {__LINE__, "2147483648", 2147483647, -1},
      {__LINE__, "10000000000", INT64_MAX, -1},
      {__LINE__, "01", 10, -1},
      {__LINE__, "-1", 10, -1},
      {__LINE__, "", 10, -1},
  };
  ForEachCase(rows, [](const Row& row) { EXPECT_EQ(NumberedKeyIndex(row.key, row.limit), row.expected); });
}

}  // namespace
