// The pad functions as a host sees them: liblegend.so loaded with dlopen
// into a program that knows nothing of Qt, every function found by name.
// What the functions answer is checked against bytes read from the legend
// files here, not against the library's own reader.

#include <dlfcn.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "api/loaded_library.h"
#include "components/attstru/att_stru.h"
#include "legend/legend.h"
#include "legend/map_project.h"
#include "support/cln_builder.h"

// The sanitizer build's leak checker reads this hook. Fontconfig keeps its
// font cache for the life of the process, which the checker reports as a
// leak of every program that draws text; nothing of ours is excused.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

namespace {

using testcln::Bytes;

using apitest::Exports;
using apitest::lib;

const std::string kDemo = LEGEND_SAMPLES_DIR "/demo.CLN";

// One legend of a file, cut out by hand.
struct FileLegend {
  Bytes head;
  std::int8_t type = 0;
  Bytes params;
  Bytes structure;  ///< serialised attribute structure, empty when none
  Bytes record;
};

std::int32_t le32(const Bytes& b, std::size_t at) { return static_cast<std::int32_t>(testcln::get32At(b, at)); }

std::vector<FileLegend> legendsOf(const std::string& path) {
  const Bytes file = testcln::read(path);
  const std::int32_t count = le32(file, 12);
  const std::size_t dataArea = 16 + 333 * static_cast<std::size_t>(count);
  std::vector<FileLegend> out;
  for (std::int32_t i = 0; i < count; ++i) {
    FileLegend l;
    const auto headAt = file.begin() + 16 + 333 * i;
    l.head.assign(headAt, headAt + 333);
    l.type = static_cast<std::int8_t>(l.head[256]);
    std::size_t at = dataArea + testcln::get32At(l.head, 257);
    const std::size_t p = testcln::paramBytes(l.type);
    l.params.assign(file.begin() + at, file.begin() + at + p);
    at += p;
    const auto s = static_cast<std::size_t>(le32(file, at));
    l.structure.assign(file.begin() + at + 4, file.begin() + at + 4 + s);
    at += 4 + s;
    const auto r = static_cast<std::size_t>(le32(file, at));
    l.record.assign(file.begin() + at + 4, file.begin() + at + 4 + r);
    out.push_back(std::move(l));
  }
  return out;
}

// A legend whose type GetCLNType cannot confuse with the failure result 0.
std::int32_t firstNonLineLegend() {
  const std::vector<FileLegend> legends = legendsOf(kDemo);
  for (std::size_t i = 0; i < legends.size(); ++i)
    if (legends[i].type == 1 || legends[i].type == 2) return static_cast<std::int32_t>(i);
  return -1;
}

std::string fileOf(void* pad) {
  std::array<char, LEGEND_PATH_BUFFER> buffer{};
  EXPECT_EQ(lib().file(pad, buffer.data()), 1);
  return buffer.data();
}

// Owns a pad for one test, so a failing assertion does not leak its window.
class Pad {
 public:
  explicit Pad(const std::string& path, int visible = 0, MapProject* project = nullptr)
      : handle_(lib().create(path.c_str(), visible, 0, project, nullptr)) {}
  ~Pad() {
    if (handle_) lib().close(handle_);
  }
  Pad(const Pad&) = delete;
  Pad& operator=(const Pad&) = delete;
  void* get() const { return handle_; }
  void* release() { return std::exchange(handle_, nullptr); }

 private:
  void* handle_;
};

TEST(PadExports, AnswerZeroForANullHandle) {
  const Exports& e = lib();
  PNT_INFOstruct point{};
  LIN_INFOstruct line{};
  REG_INFOstruct region{};
  std::array<unsigned char, LEGEND_HEAD_BYTES> head{};
  std::array<char, LEGEND_PATH_BUFFER> path{};
  CATT_STRU* structure = nullptr;
  char* record = nullptr;
  std::int32_t length = 0;
  EXPECT_EQ(e.close(nullptr), 0);
  EXPECT_EQ(e.reload(nullptr), 0);
  EXPECT_EQ(e.type(nullptr, 0), 0);
  EXPECT_EQ(e.point(nullptr, &point, 0), 0);
  EXPECT_EQ(e.line(nullptr, &line, 0), 0);
  EXPECT_EQ(e.region(nullptr, &region, 0), 0);
  EXPECT_EQ(e.file(nullptr, path.data()), 0);
  EXPECT_EQ(e.head(nullptr, 0, head.data()), 0);
  EXPECT_EQ(e.attributes(nullptr, &structure, &record, &length, 0), 0);
  EXPECT_EQ(e.setFile(nullptr, kDemo.c_str()), 0);
  EXPECT_EQ(e.create(nullptr, 0, 0, nullptr, nullptr), nullptr);
  // The one editor call that cannot open a window; the rest are driven from
  // a Qt host (test_editor_exports.cpp).
  EXPECT_EQ(e.newEditor(nullptr, nullptr, nullptr), 0);
}

TEST(PadExports, RefuseAPathLongerThan259Bytes) {
  const std::string tooLong = "/tmp/" + std::string(295, 'a');
  ASSERT_EQ(tooLong.size(), 300u);
  EXPECT_EQ(lib().create(tooLong.c_str(), 0, 0, nullptr, nullptr), nullptr);
  Pad pad(kDemo);
  ASSERT_NE(pad.get(), nullptr);
  EXPECT_EQ(lib().setFile(pad.get(), tooLong.c_str()), 0);
  EXPECT_EQ(fileOf(pad.get()), kDemo);
  EXPECT_EQ(lib().type(pad.get(), 24), legendsOf(kDemo)[24].type) << "the old file must stay loaded";
}

TEST(PadExports, AnswerEveryLegendOfTheSampleAsStoredInTheFile) {
  const std::vector<FileLegend> legends = legendsOf(kDemo);
  ASSERT_EQ(legends.size(), 25u);
  Pad pad(kDemo);
  ASSERT_NE(pad.get(), nullptr);
  const Exports& e = lib();
  int typesSeen[3] = {};
  for (std::int32_t i = 0; i < 25; ++i) {
    const FileLegend& l = legends[static_cast<std::size_t>(i)];
    SCOPED_TRACE("legend " + std::to_string(i));
    EXPECT_EQ(e.type(pad.get(), i), l.type);
    std::array<unsigned char, LEGEND_HEAD_BYTES> head{};
    EXPECT_EQ(e.head(pad.get(), i, head.data()), 1);
    EXPECT_EQ(Bytes(head.begin(), head.end()), l.head);
    Bytes got;
    if (l.type == 1) {
      PNT_INFOstruct r{};
      EXPECT_EQ(e.point(pad.get(), &r, i), 1);
      got.assign(r.bytes, r.bytes + sizeof r.bytes);
    } else if (l.type == 0) {
      LIN_INFOstruct r{};
      EXPECT_EQ(e.line(pad.get(), &r, i), 1);
      got.assign(r.bytes, r.bytes + sizeof r.bytes);
    } else if (l.type == 2) {
      REG_INFOstruct r{};
      EXPECT_EQ(e.region(pad.get(), &r, i), 1);
      got.assign(r.bytes, r.bytes + sizeof r.bytes);
    } else {
      PNT_INFOstruct r{};
      EXPECT_EQ(e.point(pad.get(), &r, i), 0) << "a legend of unknown type has no record";
      continue;
    }
    EXPECT_EQ(got, l.params);
    if (l.type >= 0 && l.type <= 2) ++typesSeen[l.type];
  }
  EXPECT_GT(typesSeen[0], 0);
  EXPECT_GT(typesSeen[1], 0);
  EXPECT_GT(typesSeen[2], 0);
}

TEST(PadExports, AnswerNothingOutsideTheFileAndLeaveBuffersAlone) {
  Pad pad(kDemo);
  ASSERT_NE(pad.get(), nullptr);
  const Exports& e = lib();
  for (std::int32_t index : {-1, 25, 1 << 30}) {
    SCOPED_TRACE(index);
    EXPECT_EQ(e.type(pad.get(), index), -1);
    std::array<unsigned char, LEGEND_HEAD_BYTES> head;
    head.fill(0xA5);
    EXPECT_EQ(e.head(pad.get(), index, head.data()), 1);
    EXPECT_EQ(std::count(head.begin(), head.end(), 0xA5), LEGEND_HEAD_BYTES);
    PNT_INFOstruct point{};
    EXPECT_EQ(e.point(pad.get(), &point, index), 0);
  }
}

TEST(PadExports, HandOutTheAttributeDataOfALegend) {
  const std::vector<FileLegend> legends = legendsOf(kDemo);
  ASSERT_FALSE(legends[0].record.empty()) << "the sample's first legend carries attributes";
  Pad pad(kDemo);
  ASSERT_NE(pad.get(), nullptr);
  CATT_STRU* structure = nullptr;
  char* record = nullptr;
  std::int32_t length = -7;
  ASSERT_EQ(lib().attributes(pad.get(), &structure, &record, &length, 0), 1);
  ASSERT_NE(structure, nullptr);
  ASSERT_NE(record, nullptr);
  ASSERT_EQ(length, static_cast<std::int32_t>(legends[0].record.size()));
  EXPECT_EQ(Bytes(record, record + length), legends[0].record);
  // The host reads the structure with its own copy of the class.
  CATT_STRU fromFile;
  const Bytes& s = legends[0].structure;
  ASSERT_GT(fromFile.Load(s.data(), static_cast<std::int32_t>(s.size()), 0), 0);
  EXPECT_TRUE(*structure == fromFile);
  EXPECT_EQ(structure->RecordLength(), length);
  // A legend outside the file gives null, null, 0.
  EXPECT_EQ(lib().attributes(pad.get(), &structure, &record, &length, 99), 1);
  EXPECT_EQ(structure, nullptr);
  EXPECT_EQ(record, nullptr);
  EXPECT_EQ(length, 0);
}

TEST(PadExports, AttributeQueryWithoutALengthOutputLeavesAllOutputsAlone) {
  Pad pad(kDemo);
  ASSERT_NE(pad.get(), nullptr);
  auto* const structureMark = reinterpret_cast<CATT_STRU*>(std::uintptr_t{0x1234});
  char mark = 'm';
  CATT_STRU* structure = structureMark;
  char* record = &mark;
  EXPECT_EQ(lib().attributes(pad.get(), &structure, &record, nullptr, 0), 1);
  EXPECT_EQ(structure, structureMark);
  EXPECT_EQ(record, &mark);
  std::int32_t length = 5;
  EXPECT_EQ(lib().attributes(pad.get(), nullptr, &record, &length, 0), 0);
  EXPECT_EQ(lib().attributes(pad.get(), &structure, nullptr, &length, 0), 0);
  EXPECT_EQ(length, 5);
}

TEST(PadExports, SwitchAndReloadFiles) {
  testcln::TempDir dir;
  const std::string other = (dir / "other.CLN").string();
  testcln::write(
      other,
      testcln::file({{.name = "only", .type = 2, .classCode = 7, .block = testcln::block(testcln::params(2, 40))}}));
  Pad pad(kDemo);
  ASSERT_NE(pad.get(), nullptr);
  const Exports& e = lib();
  ASSERT_EQ(e.setFile(pad.get(), other.c_str()), 1);
  EXPECT_EQ(fileOf(pad.get()), other);
  EXPECT_EQ(e.type(pad.get(), 0), 2);
  EXPECT_EQ(e.type(pad.get(), 1), -1);
  REG_INFOstruct region{};
  ASSERT_EQ(e.region(pad.get(), &region, 0), 1);
  EXPECT_EQ(Bytes(region.bytes, region.bytes + 63), testcln::params(2, 40));
  // Changed behind the pad's back: only a reload shows it.
  testcln::write(other, testcln::file({{.name = "a", .type = 0, .block = testcln::block(testcln::params(0, 1))},
                                       {.name = "b", .type = 1, .block = testcln::block(testcln::params(1, 2))}}));
  EXPECT_EQ(e.type(pad.get(), 1), -1);
  ASSERT_EQ(e.reload(pad.get()), 1);
  EXPECT_EQ(e.type(pad.get(), 0), 0);
  EXPECT_EQ(e.type(pad.get(), 1), 1);
}

TEST(PadExports, AMissingFileGivesAPadThatKnowsNoLegend) {
  testcln::TempDir dir;
  const std::string missing = (dir / "missing.CLN").string();
  Pad pad(missing);
  ASSERT_NE(pad.get(), nullptr);
  EXPECT_EQ(fileOf(pad.get()), missing);
  EXPECT_EQ(lib().type(pad.get(), 0), -1);
  CATT_STRU* structure = nullptr;
  char* record = nullptr;
  std::int32_t length = 3;
  EXPECT_EQ(lib().attributes(pad.get(), &structure, &record, &length, 0), 1);
  EXPECT_EQ(length, 0);
  EXPECT_EQ(lib().reload(pad.get()), 1);
}

TEST(PadExports, GetCLNFileWritesAtMost260Bytes) {
  testcln::TempDir dir;
  std::string path = dir.path().string() + "/";
  path += std::string(259 - path.size() - 4, 'p') + ".CLN";
  ASSERT_EQ(path.size(), 259u);
  Pad pad(path);
  ASSERT_NE(pad.get(), nullptr);
  std::array<char, LEGEND_PATH_BUFFER + 8> buffer;
  buffer.fill('#');
  ASSERT_EQ(lib().file(pad.get(), buffer.data()), 1);
  EXPECT_EQ(std::string(buffer.data()), path);
  EXPECT_EQ(std::count(buffer.begin() + LEGEND_PATH_BUFFER, buffer.end(), '#'), 8);
}

TEST(PadExports, RefuseCallsFromAnotherThread) {
  Pad pad(kDemo);
  ASSERT_NE(pad.get(), nullptr);
  const Exports& e = lib();
  const std::int32_t index = firstNonLineLegend();
  const std::int16_t expected = e.type(pad.get(), index);
  ASSERT_GT(expected, 0);
  std::int16_t type = -9, closed = -9, reloaded = -9;
  void* created = &type;
  std::thread([&] {
    type = e.type(pad.get(), index);
    closed = e.close(pad.get());
    reloaded = e.reload(pad.get());
    created = e.create(kDemo.c_str(), 0, 0, nullptr, nullptr);
  }).join();
  EXPECT_EQ(type, 0);
  EXPECT_EQ(closed, 0);
  EXPECT_EQ(reloaded, 0);
  EXPECT_EQ(created, nullptr);
  EXPECT_EQ(e.type(pad.get(), index), expected) << "the refused close must have left the pad alive";
}

// Records every call the pad makes on the host's project object.
class RecordingProject : public MapProject {
 public:
  short sSetSelCLNFlg(short flag) override {
    calls.push_back("flag " + std::to_string(flag));
    return MapProject::sSetSelCLNFlg(flag);
  }
  short sSetSelCLNHeadInfo(char* type, std::int32_t* classCode, char* reserved, std::int32_t* blockSize, char* name,
                           char* description) override {
    calls.push_back("head");
    return MapProject::sSetSelCLNHeadInfo(type, classCode, reserved, blockSize, name, description);
  }
  std::vector<std::string> calls;
};

TEST(PadExports, AVisiblePadTellsItsProjectWhenItCloses) {
  RecordingProject project;
  Pad pad(kDemo, 1, &project);
  ASSERT_NE(pad.get(), nullptr);
  EXPECT_GT(lib().type(pad.get(), firstNonLineLegend()), 0);
  EXPECT_TRUE(project.calls.empty()) << "nothing is selected before a click";
  EXPECT_EQ(lib().close(pad.release()), 1);
  EXPECT_EQ(project.calls, std::vector<std::string>{"flag 0"});
}

}  // namespace
