// The pad functions as a host sees them: liblegend.so loaded with dlopen
// into a program that knows nothing of Qt, every function found by name.
// What the functions answer is checked against the bytes the files were
// built from here, not against the library's own reader.

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <thread>

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
using testcln::block;
using testcln::params;

const std::string kDemo = LEGEND_SAMPLES_DIR "/demo.CLN";

// A legend of each kind the pad knows, the point with attribute data, and
// one of a type it does not know.
struct SampleFile {
  SampleFile() { testcln::write(path, bytes); }
  testcln::TempDir dir;
  const std::string path = (dir / "sample.CLN").string();
  const Bytes structure = testcln::structure({{"code", 4, 4}}), record{7, 0, 0, 0};
  const Bytes bytes = testcln::file({{.type = 2, .block = block(params(2, 10))},
                                     {.type = 1, .block = block(params(1, 20), structure, record)},
                                     {.type = 0, .block = block(params(0, 30))},
                                     {.type = 7, .block = block({})}});
};

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

TEST(PadExports, TakeMissingSwitchedAndReloadedFilesByPathsThatFitThe260ByteBufferAndRefuseLongerOnes) {
  const std::string tooLong = "/tmp/" + std::string(255, 'a');
  EXPECT_EQ(lib().create(tooLong.c_str(), 0, 0, nullptr, nullptr), nullptr);
  // The longest path that fits: GetCLNFile writes it and its NUL, no more.
  testcln::TempDir dir;
  std::string path = dir.path().string() + "/";
  path += std::string(259 - path.size() - 4, 'p') + ".CLN";
  Pad pad(path);
  EXPECT_EQ(lib().setFile(pad.get(), tooLong.c_str()), 0);
  std::array<char, LEGEND_PATH_BUFFER + 8> buffer;
  buffer.fill('#');
  ASSERT_EQ(lib().file(pad.get(), buffer.data()), 1);
  EXPECT_EQ(std::string(buffer.data()), path);
  EXPECT_EQ(std::count(buffer.begin() + LEGEND_PATH_BUFFER, buffer.end(), '#'), 8);
  // Nothing is there: the pad opens on no legend, and reloads the same way.
  EXPECT_EQ(lib().type(pad.get(), 0), -1);
  EXPECT_EQ(lib().reload(pad.get()), 1);
  // Switched to a file, and reloaded after the file changed, it shows what is there.
  const SampleFile sample;
  ASSERT_EQ(lib().setFile(pad.get(), sample.path.c_str()), 1);
  EXPECT_EQ(fileOf(pad.get()), sample.path);
  testcln::write(sample.path, testcln::file({{.type = 0, .block = block(params(0, 1))}}));
  ASSERT_EQ(lib().reload(pad.get()), 1);
  EXPECT_EQ(lib().type(pad.get(), 0), 0);
}

TEST(PadExports, CopyEachLegendAsStoredAndNothingForAnIndexOutsideTheFile) {
  const SampleFile sample;
  Pad pad(sample.path);
  const apitest::Exports& e = lib();
  for (std::int32_t i = 0; i < 4; ++i) {
    const auto stored = sample.bytes.begin() + 16 + 333 * i;
    EXPECT_EQ(e.type(pad.get(), i), stored[256]) << i;
    std::array<unsigned char, LEGEND_HEAD_BYTES> head{};
    EXPECT_EQ(e.head(pad.get(), i, head.data()), 1);
    EXPECT_TRUE(std::equal(head.begin(), head.end(), stored)) << i;
  }
  PNT_INFOstruct point{};
  LIN_INFOstruct line{};
  REG_INFOstruct region{};
  EXPECT_EQ(e.region(pad.get(), &region, 0), 1);
  EXPECT_EQ(Bytes(region.bytes, std::end(region.bytes)), params(2, 10));
  EXPECT_EQ(e.point(pad.get(), &point, 1), 1);
  EXPECT_EQ(Bytes(point.bytes, std::end(point.bytes)), params(1, 20));
  EXPECT_EQ(e.line(pad.get(), &line, 2), 1);
  EXPECT_EQ(Bytes(line.bytes, std::end(line.bytes)), params(0, 30));
  EXPECT_EQ(e.point(pad.get(), &point, 3), 0) << "a legend of unknown type has no record";
  for (std::int32_t index : {-1, 4, 1 << 30}) {
    SCOPED_TRACE(index);
    EXPECT_EQ(e.type(pad.get(), index), -1);
    std::array<unsigned char, LEGEND_HEAD_BYTES> head;
    head.fill(0xA5);
    EXPECT_EQ(e.head(pad.get(), index, head.data()), 1);
    EXPECT_EQ(std::count(head.begin(), head.end(), 0xA5), LEGEND_HEAD_BYTES) << "the buffer is left alone";
    EXPECT_EQ(e.point(pad.get(), &point, index), 0);
  }
}

TEST(PadExports, HandOutTheAttributeDataOfALegendOnlyWithEveryOutput) {
  const SampleFile sample;
  Pad pad(sample.path);
  CATT_STRU* structure = nullptr;
  char* record = nullptr;
  std::int32_t length = -7;
  ASSERT_EQ(lib().attributes(pad.get(), &structure, &record, &length, 1), 1);
  ASSERT_TRUE(structure && record);
  ASSERT_EQ(length, static_cast<std::int32_t>(sample.record.size()));
  EXPECT_EQ(Bytes(record, record + length), sample.record);
  // The host reads the structure with its own copy of the class.
  CATT_STRU fromFile;
  ASSERT_GT(fromFile.Load(sample.structure.data(), static_cast<std::int32_t>(sample.structure.size()), 0), 0);
  EXPECT_TRUE(*structure == fromFile);
  EXPECT_EQ(lib().attributes(pad.get(), &structure, &record, &length, 99), 1);
  EXPECT_TRUE(structure == nullptr && record == nullptr && length == 0);
  // Without a length output nothing is written; without another, the call fails.
  auto* const structureMark = reinterpret_cast<CATT_STRU*>(std::uintptr_t{0x1234});
  char mark = 'm';
  structure = structureMark;
  record = &mark;
  EXPECT_EQ(lib().attributes(pad.get(), &structure, &record, nullptr, 1), 1);
  EXPECT_EQ(structure, structureMark);
  EXPECT_EQ(record, &mark);
  length = 5;
  EXPECT_EQ(lib().attributes(pad.get(), nullptr, &record, &length, 1), 0);
  EXPECT_EQ(lib().attributes(pad.get(), &structure, nullptr, &length, 1), 0);
  EXPECT_EQ(length, 5);
}

TEST(PadExports, RefuseCallsFromAnotherThread) {
  Pad pad(kDemo);
  const apitest::Exports& e = lib();
  const std::int16_t expected = e.type(pad.get(), 0);
  ASSERT_GT(expected, 0) << "a type the failure result 0 cannot be taken for";
  std::int16_t type = -9, closed = -9;
  void* created = &type;
  std::thread([&] {
    type = e.type(pad.get(), 0);
    closed = e.close(pad.get());
    created = e.create(kDemo.c_str(), 0, 0, nullptr, nullptr);
  }).join();
  EXPECT_EQ(type, 0);
  EXPECT_EQ(closed, 0);
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
