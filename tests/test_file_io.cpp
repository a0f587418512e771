#include "legendfile/file_io.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace legend {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

Bytes pattern(std::size_t length, std::uint8_t seed) {
  Bytes bytes(length);
  for (std::size_t i = 0; i < length; ++i) bytes[i] = static_cast<std::uint8_t>(seed + i * 7);
  return bytes;
}

class FileIo : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string name = (fs::temp_directory_path() / "legend_file_io_XXXXXX").string();
    ASSERT_NE(::mkdtemp(name.data()), nullptr);
    folder_ = name;
  }
  void TearDown() override { fs::remove_all(folder_); }

  std::string path(const std::string& name) const { return (folder_ / name).string(); }
  void put(const std::string& name, const Bytes& bytes) const {
    std::ofstream(path(name), std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                      static_cast<std::streamsize>(bytes.size()));
  }
  Bytes get(const std::string& name) const {
    std::ifstream in(path(name), std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  /// Everything in @p sub, hidden files included, so a stray new file shows.
  std::vector<std::string> entries(const std::string& sub = ".") const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder_ / sub)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
  }

  fs::path folder_;
};

TEST_F(FileIo, readsStopAtTheEndOfTheFileForAnyOffset) {
  const Bytes content = pattern(10, 1);
  put("f", content);
  const auto file = ReadOnlyFile::open(path("f"));
  ASSERT_TRUE(file);
  ASSERT_EQ(file->size(), 10u);
  struct Case { const char* name; std::uint64_t offset; std::size_t length; std::size_t expected; };
  const Case cases[] = {
      {"whole", 0, 10, 10},        {"inside", 3, 4, 4},           {"across-end", 8, 4, 2},
      {"at-end", 10, 4, 0},        {"past-end", 11, 4, 0},        {"max-offset", UINT64_MAX, 4, 0},
      {"wrapping-end", UINT64_MAX - 1, 8, 0}, {"zero-length", 5, 0, 0}, {"zero-length-at-max", UINT64_MAX, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto start = content.begin() + static_cast<std::ptrdiff_t>(std::min<std::uint64_t>(c.offset, 10));
    Bytes expected(start, start + static_cast<std::ptrdiff_t>(c.expected));
    expected.resize(c.length, 0xAA);  // readAt leaves the rest alone
    Bytes out(c.length, 0xAA);
    EXPECT_EQ(file->readAt(c.offset, out), c.expected);
    EXPECT_EQ(out, expected);
    std::fill(expected.begin() + static_cast<std::ptrdiff_t>(c.expected), expected.end(), 0);
    std::fill(out.begin(), out.end(), 0xAA);
    file->readZeroFilled(c.offset, out);
    EXPECT_EQ(out, expected);
  }
}

TEST_F(FileIo, opensRegularFilesOnlyAndWithoutBlocking) {
  std::error_code error;
  EXPECT_FALSE(ReadOnlyFile::open(folder_.string(), &error));
  EXPECT_EQ(error, std::errc::is_a_directory);
  EXPECT_FALSE(ReadOnlyFile::open(path("missing"), &error));
  EXPECT_EQ(error, std::errc::no_such_file_or_directory);
  ASSERT_EQ(::mkfifo(path("fifo").c_str(), 0600), 0);
  EXPECT_FALSE(ReadOnlyFile::open(path("fifo"), &error));  // would hang without a writer if it blocked
}

TEST_F(FileIo, readAllReturnsWhatRemainsOfAFileThatShrank) {
  const Bytes content = pattern(100, 5);
  put("f", content);
  auto file = ReadOnlyFile::open(path("f"));
  ASSERT_TRUE(file);
  ASSERT_EQ(::truncate(path("f").c_str(), 40), 0);
  const ReadOnlyFile moved = std::move(*file);
  EXPECT_EQ(moved.readAll(), Bytes(content.begin(), content.begin() + 40));
  EXPECT_EQ(file->readAll(), Bytes());
}

TEST_F(FileIo, replaceLeavesExactlyTheImage) {
  struct Case { std::string name; std::optional<std::size_t> before; std::size_t after; };
  const Case cases[] = {{"new-file", std::nullopt, 50},       {"longer-original", 5000, 50},
                        {"shorter-original", 50, 5000},       {"empty-image", 50, 0},
                        {std::string(NAME_MAX, 'n'), 10, 10}};  // no room left for a longer new name
  std::vector<std::string> expected;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name.substr(0, 20));
    if (c.before) put(c.name, pattern(*c.before, 3));
    const Bytes image = pattern(c.after, 9);
    const ReplaceResult result = replaceFile(path(c.name), image);
    EXPECT_TRUE(result) << result.cause.message();
    EXPECT_EQ(get(c.name), image);
    expected.push_back(c.name);
  }
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(entries(), expected);
}

TEST_F(FileIo, replaceKeepsOwnerAndPermissionsTheUmaskWouldNarrow) {
  put("f", pattern(10, 1));
  ASSERT_EQ(::chmod(path("f").c_str(), 0640), 0);
  const bool root = ::geteuid() == 0;  // only root can give a file away
  ASSERT_TRUE(!root || ::chown(path("f").c_str(), 4242, 4343) == 0);
  const mode_t oldMask = ::umask(077);
  const ReplaceResult result = replaceFile(path("f"), pattern(20, 2));
  ::umask(oldMask);
  ASSERT_TRUE(result);
  struct stat status {};
  ASSERT_EQ(::stat(path("f").c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 07777, 0640u);
  EXPECT_TRUE(!root || (status.st_uid == 4242 && status.st_gid == 4343));
}

TEST_F(FileIo, replaceThroughALinkKeepsTheLink) {
  fs::create_directory(folder_ / "real");
  put("real/f", pattern(300, 1));
  fs::create_symlink("real/f", folder_ / "link");
  fs::create_symlink("real/new", folder_ / "dangling");
  const Bytes image = pattern(30, 4);
  ASSERT_TRUE(replaceFile(path("link"), image));
  ASSERT_TRUE(replaceFile(path("dangling"), image));
  EXPECT_TRUE(fs::is_symlink(folder_ / "link"));
  EXPECT_TRUE(fs::is_symlink(folder_ / "dangling"));
  EXPECT_EQ(get("real/f"), image);
  EXPECT_EQ(get("real/new"), image);
  EXPECT_EQ(entries(), (std::vector<std::string>{"dangling", "link", "real"}));
  EXPECT_EQ(entries("real"), (std::vector<std::string>{"f", "new"}));
}

enum class Call { None, OpenNew, Write, Flush, Close, Rename };

struct Fault {
  Call call = Call::None;
  int error = EIO;
  int at = 1;     ///< the first call of that kind to fail, counting from 1
  int count = 1;  ///< how many in a row fail
  bool writeZero = false;           ///< a failing write returns 0 instead
  std::size_t writeLimit = SIZE_MAX;  ///< every write takes at most this much
};

/// The real system calls, except those the fault names.
class FaultyOps : public FileOps {
 public:
  explicit FaultyOps(Fault fault) : fault_(fault) {}
  int opened = 0;
  int closed = 0;

  int openNew(const std::string& path, unsigned mode) override {
    if (fails(Call::OpenNew)) return -1;
    const int fd = FileOps::openNew(path, mode);
    opened += fd >= 0;
    return fd;
  }
  long write(int fd, const std::uint8_t* data, std::size_t length) override {
    if (fails(Call::Write)) return fault_.writeZero ? 0 : -1;
    return FileOps::write(fd, data, std::min(length, fault_.writeLimit));
  }
  int flush(int fd) override { return fails(Call::Flush) ? -1 : FileOps::flush(fd); }
  // Like Linux, a close that reports an error has still released the descriptor.
  int close(int fd) override {
    ++closed;
    const int result = FileOps::close(fd);
    return fails(Call::Close) ? -1 : result;
  }
  int rename(const std::string& from, const std::string& to) override {
    return fails(Call::Rename) ? -1 : FileOps::rename(from, to);
  }

 private:
  bool fails(Call call) {
    if (call != fault_.call || ++seen_ < fault_.at || seen_ - fault_.at >= fault_.count) return false;
    errno = fault_.error;
    return true;
  }
  Fault fault_;
  int seen_ = 0;
};

TEST_F(FileIo, everyFailedStepLeavesTheOriginalAndNoNewFile) {
  struct Case { const char* name; Fault fault; ReplaceError expected; int cause; };
  const Case cases[] = {
      {"create-denied", {Call::OpenNew, EACCES}, ReplaceError::CannotCreate, EACCES},
      {"names-always-taken", {Call::OpenNew, EEXIST, 1, INT_MAX}, ReplaceError::CannotCreate, EEXIST},
      {"first-write", {Call::Write, EIO}, ReplaceError::WriteFailed, EIO},
      {"write-after-partial-writes", {Call::Write, EFBIG, 3, 1, false, 7}, ReplaceError::WriteFailed, EFBIG},
      {"write-of-nothing", {Call::Write, 0, 2, 1, true, 7}, ReplaceError::WriteFailed, ENOSPC},
      {"flush", {Call::Flush, EIO}, ReplaceError::FlushFailed, EIO},
      {"close", {Call::Close, EDQUOT}, ReplaceError::FlushFailed, EDQUOT},
      {"rename", {Call::Rename, EXDEV}, ReplaceError::RenameFailed, EXDEV},
  };
  const Bytes original = pattern(300, 3);
  put("f", original);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FaultyOps ops(c.fault);
    const ReplaceResult result = replaceFile(path("f"), pattern(100, 9), ops);
    EXPECT_EQ(result.error, c.expected);
    EXPECT_EQ(result.cause.value(), c.cause);
    EXPECT_EQ(get("f"), original);
    EXPECT_EQ(entries(), std::vector<std::string>{"f"});
    EXPECT_EQ(ops.closed, ops.opened);  // each descriptor closed exactly once
  }
}

TEST_F(FileIo, replaceGetsPastNameCollisionsAndShortWrites) {
  const Fault cases[] = {{Call::OpenNew, EEXIST, 1, 3}, {.writeLimit = 1}};
  for (const Fault& fault : cases) {
    put("f", pattern(300, 3));
    FaultyOps ops(fault);
    const Bytes image = pattern(257, 9);
    ASSERT_TRUE(replaceFile(path("f"), image, ops));
    EXPECT_EQ(get("f"), image);
  }
}

TEST_F(FileIo, readExistingFileTellsAMissingFileFromAnUnreadableOne) {
  std::error_code error;
  EXPECT_EQ(readExistingFile(path("missing"), error), Bytes());
  EXPECT_FALSE(error);

  EXPECT_FALSE(readExistingFile(folder_.string(), error));
  EXPECT_EQ(error, std::errc::is_a_directory);
  const Bytes content = pattern(64, 2);
  put("f", content);
  EXPECT_FALSE(readExistingFile(path("f") + "/below", error));
  EXPECT_EQ(error, std::errc::not_a_directory);

  EXPECT_EQ(readExistingFile(path("f"), error), content);
  EXPECT_FALSE(error);  // the earlier failure does not linger
}

TEST_F(FileIo, readExistingFileRefusesAFileWithoutReadPermission) {
  if (::geteuid() == 0) GTEST_SKIP() << "root reads regardless of permissions";
  put("f", pattern(10, 1));
  ASSERT_EQ(::chmod(path("f").c_str(), 0), 0);
  std::error_code error;
  EXPECT_FALSE(readExistingFile(path("f"), error));
  EXPECT_EQ(error, std::errc::permission_denied);
}

}  // namespace
}  // namespace legend
