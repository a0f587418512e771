// The pad functions as a host sees them: liblegend.so loaded with dlopen
// into a program that knows nothing of Qt, every function found by name.
// What the functions answer is checked against bytes read from the legend
// files here, not against the library's own reader.

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "api/loaded_library.h"
#include "components/attstru/att_stru.h"
#include "legend/legend.h"
#include "support/cln_builder.h"

// The sanitizer build's leak checker reads this hook. Fontconfig keeps its
// font cache for the life of the process, which the checker reports as a
// leak of every program that draws text; nothing of ours is excused.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

namespace {

using apitest::lib;
using testcln::Bytes;

const std::string kDemo = LEGEND_SAMPLES_DIR "/demo.CLN";

// One legend of a file, cut out by hand.
struct FileLegend {
  Bytes head;
  std::int8_t type = 0;
  Bytes params, structure, record;  ///< structure: serialised, empty when none
};

std::vector<FileLegend> legendsOf(const std::string& path) {
  const Bytes file = testcln::read(path);
  const auto cut = [&](std::size_t at, std::size_t n) { return Bytes(file.begin() + at, file.begin() + at + n); };
  const std::uint32_t count = testcln::get32At(file, 12);
  std::vector<FileLegend> out;
  for (std::uint32_t i = 0; i < count; ++i) {
    FileLegend l;
    l.head = cut(16 + 333 * i, 333);
    l.type = static_cast<std::int8_t>(l.head[256]);
    std::size_t at = 16 + 333 * count + testcln::get32At(l.head, 257);
    l.params = cut(at, testcln::paramBytes(l.type));
    at += l.params.size();
    l.structure = cut(at + 4, testcln::get32At(file, at));
    at += 4 + l.structure.size();
    l.record = cut(at + 4, testcln::get32At(file, at));
    out.push_back(std::move(l));
  }
  return out;
}

std::string fileOf(void* pad) {
  std::array<char, LEGEND_PATH_BUFFER> buffer{};
  EXPECT_EQ(lib().file(pad, buffer.data()), 1);
  return buffer.data();
}

// Owns a pad for one test, so a failing assertion does not leak its window.
class Pad {
 public:
  explicit Pad(const std::string& path) : handle_(lib().create(path.c_str(), 0, 0, nullptr, nullptr)) {
    EXPECT_NE(handle_, nullptr) << path;
  }
  ~Pad() {
    if (handle_) lib().close(handle_);
  }
  Pad(const Pad&) = delete;
  Pad& operator=(const Pad&) = delete;
  void* get() const { return handle_; }

 private:
  void* handle_;
};

TEST(PadExports, AnswerZeroForANullHandle) {
  const apitest::Exports& e = lib();
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
}

TEST(PadExports, PathsFitThe260ByteBufferOrAreRefused) {
  const std::string tooLong = "/tmp/" + std::string(255, 'a');
  EXPECT_EQ(lib().create(tooLong.c_str(), 0, 0, nullptr, nullptr), nullptr);
  {
    Pad pad(kDemo);
    EXPECT_EQ(lib().setFile(pad.get(), tooLong.c_str()), 0);
    EXPECT_EQ(fileOf(pad.get()), kDemo) << "the old file must stay loaded";
  }
  // The longest path that fits: GetCLNFile writes it and its NUL, no more.
  testcln::TempDir dir;
  std::string path = dir.path().string() + "/";
  path += std::string(259 - path.size() - 4, 'p') + ".CLN";
  Pad pad(path);
  std::array<char, LEGEND_PATH_BUFFER + 8> buffer;
  buffer.fill('#');
  ASSERT_EQ(lib().file(pad.get(), buffer.data()), 1);
  EXPECT_EQ(std::string(buffer.data()), path);
  EXPECT_EQ(std::count(buffer.begin() + LEGEND_PATH_BUFFER, buffer.end(), '#'), 8);
}

TEST(PadExports, AnswerEachLegendAsStoredAndNothingOutsideTheFile) {
  const std::vector<FileLegend> legends = legendsOf(kDemo);
  ASSERT_EQ(legends.size(), 25u);
  Pad pad(kDemo);
  const apitest::Exports& e = lib();
  int typesSeen[3] = {};
  for (std::int32_t i = 0; i < 25; ++i) {
    const FileLegend& l = legends[static_cast<std::size_t>(i)];
    SCOPED_TRACE("legend " + std::to_string(i));
    EXPECT_EQ(e.type(pad.get(), i), l.type);
    std::array<unsigned char, LEGEND_HEAD_BYTES> head{};
    EXPECT_EQ(e.head(pad.get(), i, head.data()), 1);
    EXPECT_EQ(Bytes(head.begin(), head.end()), l.head);
    PNT_INFOstruct p{};
    LIN_INFOstruct ln{};
    REG_INFOstruct r{};
    if (l.type < 0 || l.type > 2) {
      EXPECT_EQ(e.point(pad.get(), &p, i), 0) << "a legend of unknown type has no record";
      continue;
    }
    ++typesSeen[l.type];
    const auto record = [&](auto query, auto& out) {
      EXPECT_EQ(query(pad.get(), &out, i), 1);
      return Bytes(out.bytes, std::end(out.bytes));
    };
    const Bytes got = l.type == 1 ? record(e.point, p) : l.type == 0 ? record(e.line, ln) : record(e.region, r);
    EXPECT_EQ(got, l.params);
  }
  EXPECT_TRUE(typesSeen[0] > 0 && typesSeen[1] > 0 && typesSeen[2] > 0);
  for (std::int32_t index : {-1, 25, 1 << 30}) {
    SCOPED_TRACE(index);
    EXPECT_EQ(e.type(pad.get(), index), -1);
    std::array<unsigned char, LEGEND_HEAD_BYTES> head;
    head.fill(0xA5);
    EXPECT_EQ(e.head(pad.get(), index, head.data()), 1);
    EXPECT_EQ(std::count(head.begin(), head.end(), 0xA5), LEGEND_HEAD_BYTES) << "the buffer is left alone";
    PNT_INFOstruct point{};
    EXPECT_EQ(e.point(pad.get(), &point, index), 0);
  }
}

TEST(PadExports, HandOutTheAttributeDataOfALegendOnlyWithEveryOutput) {
  const FileLegend first = legendsOf(kDemo)[0];
  ASSERT_FALSE(first.record.empty()) << "the sample's first legend carries attributes";
  Pad pad(kDemo);
  CATT_STRU* structure = nullptr;
  char* record = nullptr;
  std::int32_t length = -7;
  ASSERT_EQ(lib().attributes(pad.get(), &structure, &record, &length, 0), 1);
  ASSERT_TRUE(structure && record);
  ASSERT_EQ(length, static_cast<std::int32_t>(first.record.size()));
  EXPECT_EQ(Bytes(record, record + length), first.record);
  // The host reads the structure with its own copy of the class.
  CATT_STRU fromFile;
  ASSERT_GT(fromFile.Load(first.structure.data(), static_cast<std::int32_t>(first.structure.size()), 0), 0);
  EXPECT_TRUE(*structure == fromFile);
  EXPECT_EQ(structure->RecordLength(), length);
  EXPECT_EQ(lib().attributes(pad.get(), &structure, &record, &length, 99), 1);
  EXPECT_TRUE(structure == nullptr && record == nullptr && length == 0);
  // Without a length output nothing is written; without another, the call fails.
  auto* const structureMark = reinterpret_cast<CATT_STRU*>(std::uintptr_t{0x1234});
  char mark = 'm';
  structure = structureMark;
  record = &mark;
  EXPECT_EQ(lib().attributes(pad.get(), &structure, &record, nullptr, 0), 1);
  EXPECT_EQ(structure, structureMark);
  EXPECT_EQ(record, &mark);
  length = 5;
  EXPECT_EQ(lib().attributes(pad.get(), nullptr, &record, &length, 0), 0);
  EXPECT_EQ(lib().attributes(pad.get(), &structure, nullptr, &length, 0), 0);
  EXPECT_EQ(length, 5);
}

TEST(PadExports, SwitchReloadAndOpenMissingFiles) {
  testcln::TempDir dir;
  const std::string other = (dir / "other.CLN").string(), missing = (dir / "missing.CLN").string();
  using testcln::block, testcln::params;
  testcln::write(other, testcln::file({{.type = 2, .classCode = 7, .block = block(params(2, 40))}}));
  Pad pad(kDemo);
  const apitest::Exports& e = lib();
  ASSERT_EQ(e.setFile(pad.get(), other.c_str()), 1);
  EXPECT_EQ(fileOf(pad.get()), other);
  EXPECT_EQ(e.type(pad.get(), 0), 2);
  testcln::write(other, testcln::file({{.type = 0, .block = block(params(0, 1))}, {.block = block(params(1, 2))}}));
  ASSERT_EQ(e.reload(pad.get()), 1);
  EXPECT_EQ(e.type(pad.get(), 0), 0);
  EXPECT_EQ(e.type(pad.get(), 1), 1);
  // A missing file gives a pad that knows no legend.
  Pad empty(missing);
  EXPECT_EQ(fileOf(empty.get()), missing);
  EXPECT_EQ(e.type(empty.get(), 0), -1);
  EXPECT_EQ(e.reload(empty.get()), 1);
}

TEST(PadExports, RefuseCallsFromAnotherThread) {
  Pad pad(kDemo);
  const apitest::Exports& e = lib();
  const std::int16_t expected = e.type(pad.get(), 0);
  ASSERT_GT(expected, 0) << "a type the failure result 0 cannot be taken for";
  std::int16_t type = -9, closed = -9, reloaded = -9;
  void* created = &type;
  std::thread([&] {
    type = e.type(pad.get(), 0);
    closed = e.close(pad.get());
    reloaded = e.reload(pad.get());
    created = e.create(kDemo.c_str(), 0, 0, nullptr, nullptr);
  }).join();
  EXPECT_EQ(type, 0);
  EXPECT_EQ(closed, 0);
  EXPECT_EQ(reloaded, 0);
  EXPECT_EQ(created, nullptr);
  EXPECT_EQ(e.type(pad.get(), 0), expected) << "the refused close must have left the pad alive";
}

// liblegend.so must export the thirteen functions and nothing else: a stray
// symbol becomes part of the interface the moment a host links against it.
TEST(ExportedSymbols, AreExactlyThePadAndEditorFunctions) {
  const std::string command = "nm -D --defined-only '" LEGEND_LIBRARY_PATH "'";
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  ASSERT_TRUE(pipe);
  std::set<std::string> names;
  char line[512];
  for (std::string address, kind, name; std::fgets(line, sizeof line, pipe.get());) {
    // Without version suffixes and version nodes (kind A, such as LEGEND_0).
    if (std::istringstream(line) >> address >> kind >> name && kind != "A")
      names.insert(name.substr(0, name.find('@')));
  }
  ASSERT_FALSE(names.empty()) << "nm could not read " << LEGEND_LIBRARY_PATH;
  for (const char* linkerMark : {"_init", "_fini", "__bss_start", "_edata", "_end"}) names.erase(linkerMark);
  const std::set<std::string> expected = {
      "OpenCLNEditWindow", "NewCLNEditWindow", "CreateCLNPadWindow", "CloseCLNPadWindow", "ReloadCLNPadWindow",
      "GetCLNType",        "GetCLNPntInfo",    "GetCLNLinInfo",      "GetCLNRegInfo",     "GetCLNFile",
      "GetCLNHeadInfo",    "GetCLNAttInfo",    "SetNewCLNFile",
  };
  EXPECT_EQ(names, expected);
}

}  // namespace
