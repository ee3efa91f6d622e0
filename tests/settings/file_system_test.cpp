// The file-system layer on its own: path texts within their capacities,
// folder creation up to the longest path, what a replacement does to
// permissions and links, and which leftovers are removed.

#include "settings/files/file_system.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "settings/files/file_system_platform.h"
#include "tests/support/case_table.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"

namespace {

// base, then "/" and parts of 'fill' until the path is exactly length
// characters long (length must exceed base's by 2 or more).
std::string PathOfLength(std::string path, std::size_t length, char fill) {
  while (path.size() < length) {
    std::size_t remaining = length - path.size();
    std::size_t part = remaining <= 201 ? remaining - 1 : 150;  // the last part never empty
    path += '/';
    path.append(part, fill);
  }
  return path;
}

mode_t ModeOf(const std::string& path) {
  struct stat info {};
  return lstat(path.c_str(), &info) == 0 ? info.st_mode : 0;
}

TEST(JoinPathTest, JoinsWithinTheCapacityElseLeavesTheEmptyText) {
  struct Case {
    int line;
    const char* first;
    const char* second;
    std::size_t capacity;
    bool fits;
    const char* out;
  };
  const Case cases[] = {
      {__LINE__, "a", "b", 4, true, "a/b"},     // exactly full
      {__LINE__, "a", "b", 3, false, ""},       // one short
      {__LINE__, "dir", "", 5, true, "dir/"},   // a folder with its separator
      {__LINE__, "", "x", 3, true, "/x"},
      {__LINE__, "a", "b", 0, false, "zzz"},    // nothing may be written
  };
  ForEachCase(cases, [&](const Case& c) {
    char out[8] = "zzz";
    EXPECT_EQ(JoinPath(c.first, c.second, out, c.capacity), c.fits);
    EXPECT_STREQ(out, c.out);
  });
}

TEST(CopyFolderOfTest, CopiesUpToTheLastSeparatorWithinTheCapacity) {
  struct Case {
    int line;
    const char* path;
    std::size_t capacity;
    bool fits;
    const char* out;
  };
  const Case cases[] = {
      {__LINE__, "/a/b/c", 8, true, "/a/b"},
      {__LINE__, "/a", 8, true, "/"},  // the root keeps its separator
      {__LINE__, "dir/", 8, true, "dir"},
      {__LINE__, "a/b", 2, true, "a"},  // exactly full
      {__LINE__, "ab/c", 2, false, "zzz"},
      {__LINE__, "name", 8, false, "zzz"},  // no folder part
      {__LINE__, "/a", 0, false, "zzz"},
  };
  ForEachCase(cases, [&](const Case& c) {
    char out[8] = "zzz";
    EXPECT_EQ(CopyFolderOf(c.path, out, c.capacity), c.fits);
    EXPECT_STREQ(out, c.out);
  });
}

TEST(MakeFoldersTest, CreatesEveryMissingFolderUpToTheLongestPath) {
  TempFolder folder;
  const std::string longest = PathOfLength(folder.path(), kLongestPathCapacity - 1, 'd');
  EXPECT_TRUE(MakeFolders(longest.c_str()));
  EXPECT_EQ(QueryPath(longest.c_str()), PathState::Folder);
  EXPECT_TRUE(MakeFolders(longest.c_str()));  // already there

  const std::string tooLong = PathOfLength(folder.path(), kLongestPathCapacity, 'e');
  EXPECT_FALSE(MakeFolders(tooLong.c_str()));
  const std::string blocker = folder / "file";
  WriteFile(blocker, "not a folder");
  EXPECT_FALSE(MakeFolders((blocker + "/sub").c_str()));
  // Nothing of the path that is too long was created.
  const std::size_t first = folder.path().size() + 1;
  const std::string firstPart = longest.substr(first, longest.find('/', first) - first);
  EXPECT_EQ(folder.Names(), (std::vector<std::string>{firstPart, "file"}));
}

// A replaced file keeps its mode, also through a symbolic link, which stays a
// link; a new file gets the mode the umask gives a created file.
TEST(ReplaceFileContentTest, KeepsTheModeOfAReplacedFileAndGivesANewOneTheDefault) {
  TempFolder folder;
  const std::string kept = folder / "kept.ini";
  const std::string target = folder / "target.ini";
  const std::string link = folder / "link.ini";
  const std::string created = folder / "new.ini";
  WriteFile(kept, "old");
  chmod(kept.c_str(), 0604);
  WriteFile(target, "old");
  chmod(target.c_str(), 0600);
  ASSERT_EQ(symlink(target.c_str(), link.c_str()), 0);

  const mode_t oldMask = umask(027);
  EXPECT_TRUE(ReplaceFileContent(kept.c_str(), "new"));
  EXPECT_TRUE(ReplaceFileContent(link.c_str(), "new"));
  EXPECT_TRUE(ReplaceFileContent(created.c_str(), "new"));
  umask(oldMask);
  EXPECT_EQ(ModeOf(kept), S_IFREG | 0604);
  EXPECT_EQ(ModeOf(target), S_IFREG | 0600);
  EXPECT_TRUE(S_ISLNK(ModeOf(link)));
  EXPECT_EQ(ModeOf(created), S_IFREG | 0640);
  for (const std::string& path : {kept, target, created}) EXPECT_EQ(ReadFile(path), "new");
  EXPECT_EQ(folder.Names(), (std::vector<std::string>{"kept.ini", "link.ini", "new.ini", "target.ini"}));
}

// What a replacement keeps of the file it replaces, beyond the mode: the
// owner and group (root may give files away, so a file of another user stays
// that user's), its other names (a hard link is written through, not split),
// its extended attributes; and a file its owner made read-only is refused.
TEST(ReplaceFileContentTest, KeepsOwnerGroupLinksAndAttributesAndRefusesAReadOnlyFile) {
  TempFolder folder;
  const std::string owned = folder / "owned.ini";
  WriteFile(owned, "old");
  const bool root = geteuid() == 0;
  if (root) {
    ASSERT_EQ(chown(owned.c_str(), 65534, 65534), 0);
  }
  const std::string linked = folder / "linked.ini";
  const std::string otherName = folder / "other-name.ini";
  WriteFile(linked, "old");
  ASSERT_EQ(link(linked.c_str(), otherName.c_str()), 0);
  const std::string attributed = folder / "attributed.ini";
  WriteFile(attributed, "old");
  const bool hasAttributes = setxattr(attributed.c_str(), "user.quillo", "kept", 4, 0) == 0;
  const std::string readOnly = folder / "read-only.ini";
  WriteFile(readOnly, "old");
  chmod(readOnly.c_str(), 0444);

  for (const std::string& path : {owned, linked, attributed}) EXPECT_TRUE(ReplaceFileContent(path.c_str(), "new")) << path;
  EXPECT_FALSE(ReplaceFileContent(readOnly.c_str(), "new"));

  struct stat record {};
  ASSERT_EQ(stat(owned.c_str(), &record), 0);
  if (root) {
    EXPECT_EQ(record.st_uid, 65534u);
    EXPECT_EQ(record.st_gid, 65534u);
  }
  EXPECT_EQ(ReadFile(otherName), "new");
  ASSERT_EQ(stat(linked.c_str(), &record), 0);
  EXPECT_EQ(record.st_nlink, 2u);
  if (hasAttributes) {
    char value[8] = {};
    EXPECT_EQ(getxattr(attributed.c_str(), "user.quillo", value, sizeof value), 4);
    EXPECT_STREQ(value, "kept");
  }
  EXPECT_EQ(ReadFile(readOnly), "old");
  EXPECT_EQ(ModeOf(readOnly), S_IFREG | 0444);
  EXPECT_EQ(folder.Names(), (std::vector<std::string>{"attributed.ini", "linked.ini", "other-name.ini", "owned.ini",
                                                      "read-only.ini"}));
}

// A shorter text written in place leaves nothing of the longer old one.
TEST(ReplaceFileContentTest, WritingInPlaceCutsTheOldTail) {
  TempFolder folder;
  const std::string path = folder / "linked.ini";
  WriteFile(path, std::string(5000, 'o'));
  ASSERT_EQ(link(path.c_str(), (folder / "second").c_str()), 0);
  EXPECT_TRUE(ReplaceFileContent(path.c_str(), "short"));
  EXPECT_EQ(ReadFile(path), "short");
}

// Saves through a link write beside the file it points to, so leftovers are
// looked for there; a link or a folder named like a leftover is not one.
TEST(RemoveLeftoverTemporaryFilesTest, RemovesOnlyRegularLeftoversBesideTheLinkedFile) {
  TempFolder folder;
  const std::string real = folder / "real";
  const std::string linked = folder / "linked";
  ASSERT_EQ(mkdir(real.c_str(), 0755), 0);
  ASSERT_EQ(mkdir(linked.c_str(), 0755), 0);
  WriteFile(real + "/quillo.ini", "settings");
  ASSERT_EQ(symlink((real + "/quillo.ini").c_str(), (linked + "/quillo.ini").c_str()), 0);
  for (const char* name : {"quillo.ini.31-Ab12Cd.tmp", "quillo.ini.4242-7.tmp", "victim"}) {
    WriteFile(real + "/" + name, "x");
  }
  ASSERT_EQ(symlink((real + "/victim").c_str(), (real + "/quillo.ini.31-Zz99Yy.tmp").c_str()), 0);
  ASSERT_EQ(mkdir((real + "/quillo.ini.31-Qq11Qq.tmp").c_str(), 0755), 0);
  WriteFile(linked + "/quillo.ini.31-Ab12Cd.tmp", "x");

  RemoveLeftoverTemporaryFiles((linked + "/quillo.ini").c_str());
  EXPECT_EQ(Joined(NamesIn(real)), "quillo.ini|quillo.ini.31-Qq11Qq.tmp|quillo.ini.31-Zz99Yy.tmp|victim");
  EXPECT_EQ(Joined(NamesIn(linked)), "quillo.ini|quillo.ini.31-Ab12Cd.tmp");
}

// A leftover whose full name does not fit the capacity is left alone rather
// than looked up under a cut name.
TEST(RemoveLeftoverTemporaryFilesTest, RemovesLeftoversWhoseNameFitsTheCapacity) {
  TempFolder folder;
  const std::string base = std::filesystem::canonical(folder.path()).string();
  const std::string leftover = "quillo.ini.31-Ab12Cd.tmp";
  struct Case {
    int line;
    std::size_t length;  // of the leftover's full name
    bool removed;
  };
  const Case cases[] = {
      {__LINE__, kTemporaryPathCapacity - 1, true},
      {__LINE__, kTemporaryPathCapacity, false},
  };
  ForEachCase(cases, [&](const Case& c) {
    const std::string inner = PathOfLength(base, c.length - 1 - leftover.size(), c.removed ? 'r' : 'k');
    ASSERT_TRUE(std::filesystem::create_directories(inner));
    WriteFile(inner + "/quillo.ini", "settings");
    WriteFile(inner + "/" + leftover, "x");
    ASSERT_EQ(inner.size() + 1 + leftover.size(), c.length);
    RemoveLeftoverTemporaryFiles((inner + "/quillo.ini").c_str());
    EXPECT_EQ(Exists(inner + "/" + leftover), !c.removed);
    EXPECT_TRUE(Exists(inner + "/quillo.ini"));
  });
}

}  // namespace
