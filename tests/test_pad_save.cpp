// The pad's saves: in place and as a copy, byte for byte. What a failed save
// leaves behind is checked for every save in test_save_faults.cpp.

#include "legendfile/pad_save.h"

#include <gtest/gtest.h>

#include "support/cln_builder.h"

namespace legend {
namespace {

using testcln::Bytes;
using testcln::block;
using testcln::le32;
using testcln::params;

constexpr std::size_t kHead = 333, kOffset = 257, kSize = 261, kClassCode = 265;
const Bytes kStructure = testcln::structure({{"code", 4, 4}, {"label", 1, 6}});
const Bytes kRecord{1, 0, 0, 0, 'r', 'o', 'a', 'd', 0, 0};
const Bytes kEdited{'e', 'd', 'i', 't', 'e', 'd'};

/// The bytes of @p base with @p data written at @p at, as an overwrite of a
/// file that is never truncated would leave them.
Bytes overlay(Bytes base, std::size_t at, const Bytes& data) {
  if (base.size() < at + data.size()) base.resize(at + data.size(), 0);
  std::copy(data.begin(), data.end(), base.begin() + static_cast<std::ptrdiff_t>(at));
  return base;
}
Bytes slice(const Bytes& bytes, std::size_t at, std::size_t length) {
  return Bytes(bytes.begin() + static_cast<std::ptrdiff_t>(at),
               bytes.begin() + static_cast<std::ptrdiff_t>(at + length));
}

/// Region at 0, point at 200, line at 120, point with attributes at 400: not
/// in legend order, with gaps between the blocks.
std::vector<testcln::Legend> scattered() {
  return {{.type = 2, .block = block(params(2, 10), kStructure, kRecord), .blockOffset = 0},
          {.type = 1, .block = block(params(1, 20)), .blockOffset = 200},
          {.type = 0, .block = block(params(0, 30)), .blockOffset = 120},
          {.type = 1, .block = block(params(1, 40), kStructure, kRecord), .blockOffset = 400}};
}

/// A file of @p legends (each with its block offset given) whose header has
/// odd bytes 8 to 11 and whose bytes outside every block, a tail included,
/// are 0x99.
Bytes withJunk(const std::vector<testcln::Legend>& legends) {
  const Bytes clean = testcln::file(legends);
  const std::size_t area = 16 + kHead * legends.size();
  Bytes bytes = overlay(Bytes(clean.size() + 16, 0x99), 0, slice(clean, 0, area));
  for (const testcln::Legend& l : legends)
    bytes = overlay(bytes, area + static_cast<std::size_t>(l.blockOffset), l.block);
  return overlay(bytes, 8, {0xAA, 0xBB, 0xCC, 0xDD});
}

/// What a copy of the legends @p kept of @p source leaves over @p base: the
/// source's header, the count, the kept heads, and each kept block at its old
/// offset in the new data area.
Bytes copiedOnto(Bytes base, const Bytes& source, const std::vector<std::size_t>& kept) {
  const std::size_t oldArea = 16 + kHead * testcln::get32At(source, 12), newArea = 16 + kHead * kept.size();
  base = overlay(overlay(base, 0, slice(source, 0, 12)), 12, le32(kept.size()));
  for (std::size_t k = 0; k < kept.size(); ++k) {
    const Bytes head = slice(source, 16 + kHead * kept[k], kHead);
    const std::size_t offset = testcln::get32At(head, kOffset), size = testcln::get32At(head, kSize);
    base = overlay(base, 16 + kHead * k, head);
    base = overlay(base, newArea + offset, slice(source, oldArea + offset, size));
  }
  return base;
}

class PadSave : public ::testing::Test {
 protected:
  std::string put(const std::string& name, const Bytes& bytes) {
    testcln::write(dir_ / name, bytes);
    return (dir_ / name).string();
  }
  Bytes get(const std::string& name) const { return testcln::read(dir_ / name); }
  void open(const Bytes& bytes) { ASSERT_EQ(set_.setNewFile(put("pad.CLN", bytes)), LegendStatus::Ok); }
  /// Renames legend 1 and fills its (point) parameter record with 0xEE.
  void edit() {
    ASSERT_TRUE(set_.headRef(1).setName("edited"));
    std::fill_n(set_.points().record(set_.typePosition(1)).begin(), 94, 0xEE);
  }

  testcln::TempDir dir_;
  LegendSet set_;
};

TEST_F(PadSave, SaveInPlaceWritesHeadsAndRecordsOverTheFileItReadAndNothingElse) {
  const Bytes original = withJunk(scattered());
  open(original);
  edit();
  set_.headRef(1).setClassCode(77);
  ASSERT_EQ(saveInPlace(set_).status, LegendStatus::Ok);
  Bytes expected = overlay(original, 8, {0x0D, 0, 0, 0});
  expected = overlay(expected, 16 + kHead, kEdited);
  expected = overlay(expected, 16 + kHead + kClassCode, le32(77));
  EXPECT_EQ(get("pad.CLN"), overlay(expected, 16 + 4 * kHead + 200, Bytes(94, 0xEE)));
  // Someone else replaces the file with a layout of their own.
  const Bytes theirs = testcln::file({{.block = block(params(1, 5))}});
  testcln::write(dir_ / "theirs.CLN", theirs);
  std::filesystem::rename(dir_ / "theirs.CLN", dir_ / "pad.CLN");
  const SaveResult result = saveInPlace(set_);
  EXPECT_EQ(result.status, LegendStatus::FileChangedElsewhere);
  EXPECT_EQ(result.named, set_.path());
  EXPECT_EQ(get("pad.CLN"), theirs);
}

TEST_F(PadSave, SavesTakeNoBlockThatStartsAtOrPastTheEndAndOnlyWhatTheSourceHasOfOthers) {
  constexpr std::size_t kEnd = 16 + 2 * kHead + 102;  // the file ends with the first block
  for (const bool startsBeforeTheEnd : {true, false}) {
    SCOPED_TRACE(startsBeforeTheEnd ? "one-byte-before-the-end" : "at-the-end");
    std::filesystem::remove(dir_ / "copy.CLN");
    Bytes original = testcln::file(
        {{.block = block(params(1, 1))}, {.blockOffset = startsBeforeTheEnd ? 101 : 102, .blockSize = 102}});
    original.resize(kEnd);
    open(original);
    edit();
    set_.setModified(true);
    const Bytes renamed = overlay(original, 16 + kHead, kEdited);
    const Bytes expected = startsBeforeTheEnd ? overlay(renamed, kEnd - 1, Bytes(94, 0xEE)) : renamed;
    ASSERT_EQ(saveCopy(set_, (dir_ / "copy.CLN").string(), CopyScope::WholeFile).status, LegendStatus::Ok);
    EXPECT_EQ(get("copy.CLN"), expected);
    ASSERT_EQ(saveInPlace(set_).status, LegendStatus::Ok);
    EXPECT_EQ(get("pad.CLN"), expected);
  }
}

TEST_F(PadSave, SaveCopyTakesTheChosenHeadsAndEachBlockAtItsOldOffsetOverWhatWasThere) {
  const std::vector<testcln::Legend> lineThenPoint{
      {.type = 0, .block = block(params(0, 1)), .blockOffset = 0},
      {.type = 1, .block = block(params(1, 2), kStructure, kRecord), .blockOffset = 500}};
  struct Row {
    const char* name;
    std::vector<testcln::Legend> source;
    CopyScope scope;
    std::string destination;
    std::size_t before;  ///< bytes of 0xEE already at the destination
    std::vector<std::size_t> kept;
    bool modified;
  };
  // Lines are hidden, so the display shows points, then regions.
  const Row rows[] = {
      {"display-over-another-file", scattered(), CopyScope::CurrentDisplay, "copy.CLN", 3000, {1, 3, 0}, false},
      {"display-onto-the-pads-own-file", scattered(), CopyScope::CurrentDisplay, "pad.CLN", {}, {1, 3, 0}, true},
      {"one-shown-legend-at-offset-500", lineThenPoint, CopyScope::CurrentDisplay, "copy.CLN", {}, {1}, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::filesystem::remove(dir_ / "copy.CLN");
    const Bytes source = withJunk(row.source);
    open(source);
    edit();
    set_.setModified(row.modified);
    set_.setShowLines(false);
    set_.rebuildDisplayList();
    if (row.before) put(row.destination, Bytes(row.before, 0xEE));
    const Bytes before = get(row.destination);  // nothing for a new file
    ASSERT_EQ(saveCopy(set_, (dir_ / row.destination).string(), row.scope).status, LegendStatus::Ok);
    // The set's heads; its parameter records only when it is modified.
    Bytes edited = overlay(source, 16 + kHead, kEdited);
    const std::size_t record = 16 + kHead * row.source.size() + testcln::get32At(source, 16 + kHead + kOffset);
    if (row.modified) edited = overlay(edited, record, Bytes(94, 0xEE));
    EXPECT_EQ(get(row.destination), copiedOnto(before, edited, row.kept));
    if (row.destination != "pad.CLN") {
      EXPECT_EQ(get("pad.CLN"), source);
    }
  }
}

TEST_F(PadSave, ACopyWithATooLongPathOrWithoutTheFileTheSetReadWritesNothing) {
  open(testcln::file(scattered()));
  const std::string tooLong = (dir_ / std::string(250, 'c')).string();
  const SaveResult refused = saveCopy(set_, tooLong, CopyScope::WholeFile);
  EXPECT_EQ(refused.status, LegendStatus::PathTooLong);
  EXPECT_EQ(refused.named, tooLong);  // the message names the copy, not the pad's file
  const std::string copy = (dir_ / "copy.CLN").string();
  // Rewritten elsewhere: the heads would take other legends' bytes as their blocks.
  put("theirs.CLN", testcln::file({{.block = block(params(1, 5))}, {.block = block(params(2, 6))}}));
  std::filesystem::rename(dir_ / "theirs.CLN", dir_ / "pad.CLN");
  const SaveResult moved = saveCopy(set_, copy, CopyScope::WholeFile);
  EXPECT_EQ(moved.status, LegendStatus::SourceChangedElsewhere);
  EXPECT_EQ(moved.named, set_.path());
  EXPECT_FALSE(std::filesystem::exists(copy));
  // A file that failed to load gave the set nothing to copy, and an existing
  // copy keeps its legends.
  const Bytes earlier = testcln::read(put("copy.CLN", testcln::file(scattered())));
  Bytes tooMany = testcln::file(scattered());
  tooMany = overlay(tooMany, 12, le32(40000));
  EXPECT_EQ(set_.setNewFile(put("pad.CLN", tooMany)), LegendStatus::IllegalLegendFile);
  EXPECT_EQ(saveCopy(set_, copy, CopyScope::WholeFile).status, LegendStatus::CannotOpenSource);
  std::filesystem::remove(dir_ / "pad.CLN");
  EXPECT_EQ(saveCopy(set_, copy, CopyScope::WholeFile).status, LegendStatus::CannotOpenSource);
  EXPECT_EQ(get("copy.CLN"), earlier);
}

}  // namespace
}  // namespace legend
