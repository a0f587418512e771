// Positioned reads that never trust a length, and what a replacement keeps of
// the file it replaces. The bytes each save leaves, every failing system call
// and each save as an ordinary user are checked in test_save_faults.cpp.

#include "legendfile/file_io.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>

#include "support/as_unprivileged.h"
#include "support/cln_builder.h"

namespace legend {
namespace {

using testcln::Bytes;

class FileIo : public ::testing::Test {
 protected:
  std::string path(const std::string& name) const { return (dir_ / name).string(); }
  testcln::TempDir dir_;
};

TEST_F(FileIo, readsStopAtTheEndOfTheFileForAnyOffset) {
  const Bytes content{1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
  testcln::write(path("f"), content);
  const auto file = ReadOnlyFile::open(path("f"));
  ASSERT_TRUE(file);
  struct Case {
    const char* name;
    std::uint64_t offset;
    std::size_t length, expected;
  };
  const Case cases[] = {{"across-end", 8, 4, 2}, {"at-end", 10, 4, 0}, {"wrapping-end", UINT64_MAX - 1, 8, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto start = content.begin() + static_cast<std::ptrdiff_t>(std::min<std::uint64_t>(c.offset, 10));
    Bytes expected(start, start + static_cast<std::ptrdiff_t>(c.expected)), out(c.length, 0xAA);
    expected.resize(c.length, 0xAA);  // readAt leaves the rest alone
    EXPECT_EQ(file->readAt(c.offset, out), c.expected);
    EXPECT_EQ(out, expected);
  }
}

TEST_F(FileIo, replaceThroughALinkKeepsTheLinkOwnerAndPermissionsAndTakesTheLongestName) {
  std::filesystem::create_directory(dir_ / "real");
  testcln::write(path("real/f"), Bytes(300, 1));
  ASSERT_EQ(::chmod(path("real/f").c_str(), 0640), 0);
  const bool root = ::geteuid() == 0;  // only root can give a file away
  ASSERT_TRUE(!root || ::chown(path("real/f").c_str(), 4242, 4343) == 0);
  std::filesystem::create_symlink("real/f", dir_ / "link");
  std::filesystem::create_symlink("real/new", dir_ / "dangling");
  const Bytes image(30, 4);
  const mode_t oldMask = ::umask(077);  // would narrow the permissions of a file made anew
  const bool replaced = replaceFile(path("link"), image) && replaceFile(path("dangling"), image);
  ::umask(oldMask);
  ASSERT_TRUE(replaced);
  EXPECT_EQ(testcln::read(path("real/f")), image);
  EXPECT_EQ(testcln::read(path("real/new")), image);
  const std::string longest(NAME_MAX, 'n');  // no room left for a longer name beside it
  ASSERT_TRUE(replaceFile(path(longest), image));
  EXPECT_EQ(testcln::read(path(longest)), image);
  EXPECT_EQ(dir_.entries(), (std::set<std::string>{"dangling", "link", longest, "real"}));
  EXPECT_EQ(dir_.entries("real"), (std::set<std::string>{"f", "new"}));
  struct stat status {};
  ASSERT_EQ(::stat(path("real/f").c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 07777, 0640u);
  EXPECT_TRUE(!root || (status.st_uid == 4242 && status.st_gid == 4343));
}

TEST_F(FileIo, readExistingFileRefusesAFileWithoutReadPermission) {
  testcln::write(path("f"), Bytes(10, 1));
  ASSERT_EQ(::chmod(path("f").c_str(), 0), 0);
  ASSERT_EQ(::chmod(dir_.path().c_str(), 0755), 0);
  testcln::runUnprivileged([&] {
    std::error_code error;
    EXPECT_FALSE(readExistingFile(path("f"), error));
    EXPECT_EQ(error, std::errc::permission_denied);
  });
}

// Where the user may write a cache, the backup goes there: each save's test as
// an ordinary user (test_save_faults.cpp). Here there is no such place.
TEST_F(FileIo, inAReadOnlyFolderWithNowhereToKeepTheOldBytesTheFileIsNotWritten) {
  const std::optional<testcln::Account> user = testcln::unprivilegedAccount();
  ASSERT_TRUE(user);
  for (const char* sub : {"shut", "shut-cache"}) std::filesystem::create_directory(dir_ / sub);
  const Bytes old(500, 1), image(300, 2);
  testcln::write(path("shut/f"), old);
  testcln::giveTo(path("shut/f"), *user);
  for (const char* folder : {"", "shut", "shut-cache"})
    ASSERT_EQ(::chmod(path(folder).c_str(), *folder == 's' ? 0555 : 0755), 0);
  testcln::runUnprivileged([&] {
    ::setenv("XDG_CACHE_HOME", path("shut-cache").c_str(), 1);
    ::setenv("TMPDIR", path("shut-cache").c_str(), 1);
    const ReplaceResult refused = replaceFile(path("shut/f"), image);
    EXPECT_EQ(refused.error, ReplaceError::Failed);
    EXPECT_EQ(refused.step, FileStep::Backup);
    EXPECT_EQ(testcln::read(path("shut/f")), old);
  });
  EXPECT_EQ(dir_.entries("shut"), std::set<std::string>{"f"});
  for (const char* folder : {"shut", "shut-cache"}) ::chmod(path(folder).c_str(), 0755);
}

}  // namespace
}  // namespace legend
