// The pad's saves: in place and as a copy, byte for byte, and what a failed
// save leaves behind.

#include "legendfile/pad_save.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "support/cln_builder.h"

namespace legend {
namespace {

using testcln::Bytes;
using testcln::block;
using testcln::params;

constexpr std::size_t kHead = 333;
constexpr std::size_t kName = 0, kOffset = 257, kSize = 261, kClassCode = 265;

const Bytes kStructure = testcln::structure({{"code", 4, 4}, {"label", 1, 6}});
const Bytes kRecord{1, 0, 0, 0, 'r', 'o', 'a', 'd', 0, 0};

/// The bytes of @p base with @p data written at @p at, as an overwrite of a
/// file that is never truncated would leave them.
Bytes overlay(Bytes base, std::size_t at, const Bytes& data) {
  if (base.size() < at + data.size()) base.resize(at + data.size(), 0);
  std::copy(data.begin(), data.end(), base.begin() + static_cast<std::ptrdiff_t>(at));
  return base;
}
Bytes slice(const Bytes& bytes, std::size_t at, std::size_t length) {
  const auto from = bytes.begin() + static_cast<std::ptrdiff_t>(at);
  return Bytes(from, from + static_cast<std::ptrdiff_t>(length));
}
Bytes le32(std::uint32_t v) {
  Bytes out;
  testcln::put32(out, v);
  return out;
}
Bytes nameField(const std::string& name) {
  Bytes field(128, 0);
  std::copy(name.begin(), name.end(), field.begin());
  return field;
}

/// Region at 0, point at 200, line at 120, point with attributes at 400: not
/// in legend order, with gaps between the blocks.
std::vector<testcln::Legend> scattered() {
  return {
      {.name = "region", .type = 2, .block = block(params(2, 10), kStructure, kRecord), .blockOffset = 0},
      {.name = "point a", .type = 1, .block = block(params(1, 20)), .blockOffset = 200},
      {.name = "line", .type = 0, .block = block(params(0, 30)), .blockOffset = 120},
      {.name = "point b", .type = 1, .block = block(params(1, 40), kStructure, kRecord), .blockOffset = 400},
  };
}

/// A file of @p legends whose header has odd bytes 8 to 11 and whose bytes
/// outside every block, a tail included, are 0x99.
Bytes withJunk(const std::vector<testcln::Legend>& legends) {
  Bytes bytes = testcln::file(legends);
  std::memcpy(bytes.data() + 8, "\xAA\xBB\xCC\xDD", 4);
  bytes.resize(bytes.size() + 16, 0);
  const std::size_t area = 16 + kHead * legends.size();
  std::vector<bool> inBlock(bytes.size(), false);
  for (std::size_t i = 0; i < legends.size(); ++i) {
    const std::size_t at = area + testcln::get32At(bytes, 16 + kHead * i + kOffset);
    std::fill_n(inBlock.begin() + static_cast<std::ptrdiff_t>(at), legends[i].block.size(), true);
  }
  for (std::size_t k = area; k < bytes.size(); ++k)
    if (!inBlock[k]) bytes[k] = 0x99;
  return bytes;
}

class PadSave : public ::testing::Test {
 protected:
  std::string put(const std::string& name, const Bytes& bytes) {
    testcln::write(dir_ / name, bytes);
    return (dir_ / name).string();
  }
  Bytes get(const std::string& name) const { return testcln::read(dir_ / name); }
  /// Every entry of the folder, hidden ones included, so a stray file shows.
  std::set<std::string> entries() const {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir_.path())) names.insert(entry.path().filename());
    return names;
  }
  void open(const Bytes& bytes) { ASSERT_EQ(set_.setNewFile(put("pad.CLN", bytes)), LegendStatus::Ok); }

  testcln::TempDir dir_;
  LegendSet set_;
};

TEST_F(PadSave, SaveInPlaceWritesHeadsAndRecordsAndLeavesEverythingElseAsItWas) {
  const Bytes original = withJunk(scattered());
  open(original);
  ASSERT_TRUE(set_.headRef(1).setName("edited"));
  set_.headRef(1).setClassCode(77);
  std::fill_n(set_.points().record(set_.typePosition(1)).begin(), 94, 0xEE);
  ASSERT_EQ(saveInPlace(set_), LegendStatus::Ok);

  Bytes expected = overlay(original, 8, {0x0D, 0, 0, 0});
  expected = overlay(expected, 16 + kHead + kName, nameField("edited"));
  expected = overlay(expected, 16 + kHead + kClassCode, le32(77));
  expected = overlay(expected, 16 + 4 * kHead + 200, Bytes(94, 0xEE));
  EXPECT_EQ(get("pad.CLN"), expected);
  EXPECT_EQ(slice(expected, 0, 16), (Bytes{'R', 'Q', 'L', 'F', 0x60, 0x44, '2', '>', 0x0D, 0, 0, 0, 4, 0, 0, 0}));
}

TEST_F(PadSave, SaveInPlaceOfAnEmptySetWritesTheHeaderAndAZeroCount) {
  Bytes bare = testcln::file({});
  std::memcpy(bare.data() + 8, "\x01\x02\x03\x04", 4);
  const Bytes tail(30, 0x77);
  Bytes longer = bare;
  longer.insert(longer.end(), tail.begin(), tail.end());
  const Bytes fresh = testcln::file({});
  ASSERT_EQ(fresh.size(), 16u);
  struct Row { const char* name; Bytes before, after; };
  const Row rows[] = {{"sixteen-bytes", bare, fresh}, {"old-tail", longer, overlay(longer, 0, fresh)}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    open(row.before);
    ASSERT_EQ(saveInPlace(set_), LegendStatus::Ok);
    EXPECT_EQ(get("pad.CLN"), row.after);
  }
}

TEST_F(PadSave, SaveInPlaceWritesNoRecordForALegendWhoseBlockStartsAtOrPastTheEnd) {
  constexpr std::size_t kEnd = 16 + 2 * kHead + 102;  // the file ends with the first block
  struct Row { const char* name; std::int64_t startFromEnd; bool written; };
  const Row rows[] = {{"one-byte-before-the-end", -1, true}, {"at-the-end", 0, false}, {"past-the-end", 50, false}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Bytes original = testcln::file({{.name = "a", .type = 1, .block = block(params(1, 1))},
                                    {.name = "b", .type = 1, .block = {}, .blockOffset = 102 + row.startFromEnd,
                                     .blockSize = 102}});
    original.resize(kEnd);
    open(original);
    std::fill_n(set_.points().record(1).begin(), 94, 0xEE);
    ASSERT_EQ(saveInPlace(set_), LegendStatus::Ok);
    EXPECT_EQ(get("pad.CLN"), row.written ? overlay(original, kEnd - 1, Bytes(94, 0xEE)) : original);
  }
}

TEST_F(PadSave, SaveCopyTakesTheChosenHeadsAndEachBlockAtItsOldOffset) {
  const auto pick = [](const std::vector<testcln::Legend>& from, std::vector<std::size_t> order) {
    std::vector<testcln::Legend> out;
    for (std::size_t j : order) out.push_back(from[j]);
    return out;
  };
  const auto lineThenPoint = std::vector<testcln::Legend>{
      {.name = "line", .type = 0, .block = block(params(0, 1)), .blockOffset = 0},
      {.name = "point", .type = 1, .block = block(params(1, 2), kStructure, kRecord), .blockOffset = 500}};
  struct Row {
    const char* name; std::vector<testcln::Legend> source; CopyScope scope; bool showLines;
    std::vector<std::size_t> kept;
  };
  const Row rows[] = {
      {"whole-file", scattered(), CopyScope::WholeFile, true, {0, 1, 2, 3}},
      {"current-display-in-display-order", scattered(), CopyScope::CurrentDisplay, true, {1, 3, 2, 0}},
      {"current-display-without-lines", scattered(), CopyScope::CurrentDisplay, false, {1, 3, 0}},
      {"one-shown-legend-at-offset-500", lineThenPoint, CopyScope::CurrentDisplay, false, {1}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::filesystem::remove(dir_ / "copy.CLN");
    open(withJunk(row.source));
    set_.setShowLines(row.showLines);
    set_.rebuildDisplayList();
    ASSERT_EQ(saveCopy(set_, (dir_ / "copy.CLN").string(), row.scope), LegendStatus::Ok);
    // The source's header is copied as it is; gaps in a new file are zero.
    Bytes expected = testcln::file(pick(row.source, row.kept));
    std::memcpy(expected.data() + 8, "\xAA\xBB\xCC\xDD", 4);
    const Bytes copy = get("copy.CLN");
    EXPECT_EQ(copy, expected);
    if (row.kept.size() == 1) {
      ASSERT_EQ(copy.size(), 849u + row.source[1].block.size());
      EXPECT_EQ(slice(copy, 849, row.source[1].block.size()), row.source[1].block);
      EXPECT_EQ(slice(copy, 349, 500), Bytes(500, 0));
    }
  }
}

TEST_F(PadSave, SaveCopyOverAnExistingFileKeepsItsBytesWhereTheCopyWritesNothing) {
  const Bytes original = withJunk(scattered());
  const std::size_t oldArea = 16 + 4 * kHead, newArea = 16 + 3 * kHead;
  const std::vector<std::size_t> shown{1, 3, 0};
  // The display without lines over @p base: the source header, M = 3, the
  // shown heads, and their blocks moved up by one head record.
  const auto copiedOnto = [&](Bytes base) {
    base = overlay(base, 0, slice(original, 0, 12));
    base = overlay(base, 12, le32(3));
    for (std::size_t k = 0; k < shown.size(); ++k) {
      const Bytes head = slice(original, 16 + kHead * shown[k], kHead);
      const std::size_t offset = testcln::get32At(head, kOffset), size = testcln::get32At(head, kSize);
      base = overlay(base, 16 + kHead * k, head);
      base = overlay(base, newArea + offset, slice(original, oldArea + offset, size));
    }
    return base;
  };
  struct Row { const char* name; std::string destination; Bytes before; };
  const Row rows[] = {{"another-file", "copy.CLN", Bytes(3000, 0xEE)}, {"the-pads-own-file", "pad.CLN", original}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    open(original);
    const std::string target = put(row.destination, row.before);
    set_.setShowLines(false);
    set_.rebuildDisplayList();
    ASSERT_EQ(saveCopy(set_, target, CopyScope::CurrentDisplay), LegendStatus::Ok);
    EXPECT_EQ(get(row.destination), copiedOnto(row.before));
  }
}

TEST_F(PadSave, SaveCopyCarriesEditedRecordsOnlyWhenTheSetIsModified) {
  const Bytes original = testcln::file(scattered());
  for (const bool modified : {false, true}) {
    SCOPED_TRACE(modified ? "modified" : "unmodified");
    open(original);
    ASSERT_TRUE(set_.headRef(1).setName("edited"));
    std::fill_n(set_.points().record(set_.typePosition(1)).begin(), 94, 0xEE);
    set_.setModified(modified);
    ASSERT_EQ(saveCopy(set_, (dir_ / "copy.CLN").string(), CopyScope::WholeFile), LegendStatus::Ok);
    Bytes expected = overlay(original, 16 + kHead + kName, nameField("edited"));
    if (modified) expected = overlay(expected, 16 + 4 * kHead + 200, Bytes(94, 0xEE));
    EXPECT_EQ(get("copy.CLN"), expected);
    EXPECT_EQ(get("pad.CLN"), original);
    EXPECT_EQ(set_.modified(), modified);
  }
}

TEST_F(PadSave, SaveCopyTakesBlocksOnlyAsFarAsTheSourceHasThem) {
  // The second block is cut 40 bytes in; the third starts past the end.
  Bytes original = testcln::file({{.name = "a", .type = 1, .block = block(params(1, 1))},
                                  {.name = "b", .type = 1, .block = block(params(1, 2))},
                                  {.name = "c", .type = 1, .block = {}, .blockOffset = 1000, .blockSize = 102}});
  const std::size_t area = 16 + 3 * kHead;
  original.resize(area + 102 + 40);
  open(original);
  ASSERT_EQ(saveCopy(set_, (dir_ / "copy.CLN").string(), CopyScope::WholeFile), LegendStatus::Ok);
  EXPECT_EQ(get("copy.CLN"), original);
}

enum class Step { OpenNew, Write, WriteNothing, Flush, Close, Rename };

/// Real system calls, except that one step fails.
class FailingOps : public FileOps {
 public:
  explicit FailingOps(Step step) : step_(step) {}
  int openNew(const std::string& path, unsigned mode) override {
    return fails(Step::OpenNew, EACCES) ? -1 : FileOps::openNew(path, mode);
  }
  long write(int fd, const std::uint8_t* data, std::size_t length) override {
    if (fails(Step::WriteNothing, 0)) return 0;
    return fails(Step::Write, ENOSPC) ? -1 : FileOps::write(fd, data, length);
  }
  int flush(int fd) override { return fails(Step::Flush, EIO) ? -1 : FileOps::flush(fd); }
  int close(int fd) override {
    const int result = FileOps::close(fd);  // the descriptor is released either way
    return fails(Step::Close, EIO) ? -1 : result;
  }
  int rename(const std::string& from, const std::string& to) override {
    return fails(Step::Rename, EXDEV) ? -1 : FileOps::rename(from, to);
  }
  bool failed = false;

 private:
  bool fails(Step step, int error) {
    if (step != step_ || failed) return false;
    failed = true;
    errno = error;
    return true;
  }
  Step step_;
};

TEST_F(PadSave, AFailedReplacementLeavesTheOldFileAndNoNewFile) {
  const Bytes original = withJunk(scattered());
  const Bytes oldCopy(50, 0x44);
  struct Row { const char* name; Step step; LegendStatus inPlace, copy; };
  const Row rows[] = {
      {"create", Step::OpenNew, LegendStatus::CannotOpenWritable, LegendStatus::CannotOpenCopyTarget},
      {"write", Step::Write, LegendStatus::WriteFailed, LegendStatus::WriteFailed},
      {"write-nothing", Step::WriteNothing, LegendStatus::WriteFailed, LegendStatus::WriteFailed},
      {"flush", Step::Flush, LegendStatus::WriteFailed, LegendStatus::WriteFailed},
      {"close", Step::Close, LegendStatus::WriteFailed, LegendStatus::WriteFailed},
      {"rename", Step::Rename, LegendStatus::WriteFailed, LegendStatus::WriteFailed},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    open(original);
    const std::string copyPath = put("copy.CLN", oldCopy);
    ASSERT_TRUE(set_.headRef(0).setName("edited"));
    set_.setModified(true);
    const std::set<std::string> before = entries();

    FailingOps inPlaceOps(row.step);
    EXPECT_EQ(saveInPlace(set_, inPlaceOps), row.inPlace);
    EXPECT_TRUE(inPlaceOps.failed);
    FailingOps copyOps(row.step);
    EXPECT_EQ(saveCopy(set_, copyPath, CopyScope::WholeFile, copyOps), row.copy);
    EXPECT_TRUE(copyOps.failed);

    EXPECT_EQ(get("pad.CLN"), original);
    EXPECT_EQ(get("copy.CLN"), oldCopy);
    EXPECT_EQ(entries(), before);
  }
}

TEST_F(PadSave, SavesThatCannotOpenTheirFilesWriteNothing) {
  open(testcln::file(scattered()));
  const std::set<std::string> before = entries();
  EXPECT_EQ(saveCopy(set_, (dir_ / "gone" / "copy.CLN").string(), CopyScope::WholeFile),
            LegendStatus::CannotOpenCopyTarget);
  EXPECT_EQ(saveCopy(set_, (dir_.path() / std::string(250, 'c')).string(), CopyScope::WholeFile),
            LegendStatus::PathTooLong);
  EXPECT_EQ(entries(), before);

  std::filesystem::remove(dir_ / "pad.CLN");
  EXPECT_EQ(saveCopy(set_, (dir_ / "copy.CLN").string(), CopyScope::WholeFile), LegendStatus::CannotOpenSource);
  ASSERT_EQ(set_.setPath((dir_ / "gone" / "pad.CLN").string()), LegendStatus::Ok);
  EXPECT_EQ(saveInPlace(set_), LegendStatus::CannotOpenWritable);
  EXPECT_TRUE(entries().empty());
}

}  // namespace
}  // namespace legend
