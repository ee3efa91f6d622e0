// The file-system layer on its own: path texts within their capacities,
// folder creation up to the longest path, what a replacement does to
// permissions and links, and which leftovers are removed.

#include "settings/files/file_system.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "settings/files/file_system_platform.h"
#include "tests/support/case_table.h"
#include "tests/support/child_process.h"
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

// The exit code of a child that could not make a mount namespace.
constexpr int kNoNamespace = 77;

// Writes text to a file that exists, such as a process's settings in /proc.
bool WriteTextTo(const char* path, const std::string& text) {
  const int fd = open(path, O_WRONLY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool ok = write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
  close(fd);
  return ok;
}

// Moves the calling process into a mount namespace of its own, in which it
// may mount (root directly; anyone else through a user namespace that maps
// the user to root), with mounts that do not reach the rest of the system.
bool EnterOwnMountNamespace() {
  const uid_t user = geteuid();
  const gid_t group = getegid();
  if (user == 0) {
    if (unshare(CLONE_NEWNS) != 0) return false;
  } else {
    if (unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0) return false;
    WriteTextTo("/proc/self/setgroups", "deny");
    if (!WriteTextTo("/proc/self/uid_map", "0 " + std::to_string(user) + " 1")) return false;
    if (!WriteTextTo("/proc/self/gid_map", "0 " + std::to_string(group) + " 1")) return false;
  }
  return mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
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

// A file mounted on its own, as a container mounts one file of the host, is
// a name no rename may replace (EBUSY): the save goes into its content, which
// the mounted-from file shares. Run in a child with a mount namespace of its
// own; skipped where the system grants none.
TEST(ReplaceFileContentTest, AFileMountedOnItsOwnIsWrittenInPlace) {
  TempFolder folder;
  const std::string mounted = folder / "quillo.ini";
  const std::string host = folder / "host.ini";
  WriteFile(mounted, "the file under the mount");
  WriteFile(host, "the old content of the host's file");
  const int status = RunInChild([&] {
    if (!EnterOwnMountNamespace()) return kNoNamespace;
    if (mount(host.c_str(), mounted.c_str(), nullptr, MS_BIND, nullptr) != 0) return kNoNamespace;
    if (!ReplaceFileContent(mounted.c_str(), "new")) return 1;
    return ReadFile(host) == "new" && ReadFile(mounted) == "new" ? 0 : 2;
  });
  if (status == kNoNamespace) GTEST_SKIP() << "no mount namespace may be made here";
  EXPECT_EQ(status, 0) << "1: the save failed; 2: the content is not the new one";
  // Nothing is left beside it: the temporary file went.
  EXPECT_EQ(folder.Names(), (std::vector<std::string>{"host.ini", "quillo.ini"}));
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
