// Legend files as JSON documents: every file comes back byte for byte, the
// readable parts read as named values, a bad document is refused at the path
// of its first problem, and diffs name what changed. Files are built byte by
// byte (support/cln_builder.h), never by the library's own writers.

#include "interchange/legend_diff.h"
#include "interchange/legend_json.h"

#include <gtest/gtest.h>

#include <sstream>

#include "support/cln_builder.h"

namespace legend::interchange {
namespace {

using testcln::Bytes;
using testcln::block;
using testcln::params;

Json exported(const Bytes& file) {
  ExportResult result = exportDocument(file);
  EXPECT_TRUE(result) << result.error;
  return result ? *result.document : Json();
}

/// Export, print, parse and import: the bytes that come back.
Bytes roundTrip(const Bytes& file) {
  const ImportResult result = importText(documentText(exported(file)));
  EXPECT_TRUE(result) << result.description();
  return result.image;
}

Bytes patched(Bytes bytes, std::size_t at, std::uint8_t value) {
  if (bytes.size() <= at) bytes.resize(at + 1);
  bytes[at] = value;
  return bytes;
}

// 城市 and 河流 in GBK.
const std::string kCity = "\xb3\xc7\xca\xd0", kRiver = "\xba\xd3\xc1\xf7";

TEST(LegendJson, DemoSampleComesBackByteForByteAndReadsAsNamedValues) {
  const Bytes demo = testcln::read(LEGEND_SAMPLES_DIR "/demo.CLN");
  ASSERT_FALSE(demo.empty());
  EXPECT_EQ(roundTrip(demo), demo);
  const Json document = exported(demo);
  EXPECT_EQ(documentText(document), documentText(exported(roundTrip(demo)))) << "export is not stable";
  // A file our writers made needs no raw bytes to be rebuilt.
  const std::string text = documentText(document);
  for (const char* raw : {"block_hex", "structure_hex", "record_hex", "gaps", "block_offset", "bytes_hex"})
    EXPECT_EQ(text.find(raw), std::string::npos) << raw;
  EXPECT_EQ(document["legends"][0]["name"], "城市");
  EXPECT_EQ(document["legends"][0]["params"]["point_type"], "symbol");
}

TEST(LegendJson, OddFilesComeBackByteForByteWithWhatIsOddSpelledOut) {
  const Bytes point = block(params(1, 0));
  const Bytes structure = testcln::structure({{"n", 1, 6}, {"d", 8, 4}, {"x", 6, 4}});
  Bytes garbageAfterText{'a', 'b', 0, 'z', 0, 0};
  testcln::putLe(garbageAfterText, 20231399, 4);    // month 13
  testcln::putLe(garbageAfterText, 0x7FC00001, 4);  // a NaN with a payload
  Bytes nanParams(94, 0);
  nanParams[0] = 2;
  testcln::put32At(nanParams, 2, 0x123);  // the dot's diameter: a NaN with a payload
  testcln::put32At(nanParams, 6, 0x7FF80000);
  struct Case {
    Bytes file;
    std::vector<std::string> expectedKeys;  ///< JSON pointers that must exist
  };
  std::vector<Case> cases{
      {patched(testcln::file({{.block = point}, {.block = point, .blockOffset = 110}}), 16 + 2 * 333 + 105, 0xEE),
       {"/gaps/0/bytes_hex", "/legends/1/block_offset"}},
      {testcln::file({{.block = point, .blockSize = 105}, {.block = point}}), {"/legends/0/block_tail_hex"}},
      {testcln::file({{.block = patched(point, 101, 0xFF)}}), {"/legends/0/block_hex"}},
      {testcln::file({{.block = point, .blockSize = 5000}}), {"/legends/0/block_size", "/gaps/0/bytes_hex"}},
      {testcln::file({{.block = point}}, -1), {"/count", "/gaps/0"}},
      {patched(testcln::file({{.block = point, .reserved = {0, 7}}}), 9, 0x44),
       {"/header_tail_hex", "/legends/0/reserved_hex"}},
      {patched(testcln::file({{.name = kCity, .block = point}}), 16 + 100, 'x'), {"/legends/0/name_tail_hex"}},
      // A lead byte followed by one that cannot trail it.
      {testcln::file({{.name = "\x81\x30", .block = point}}), {"/legends/0/name/bytes_hex"}},
      {testcln::file({{.type = 2, .block = block(params(2, 0), patched(structure, structure.size(), 9), Bytes(14))}}),
       {"/legends/0/attributes/fields", "/legends/0/attributes/structure_hex", "/legends/0/attributes/record"}},
      {testcln::file({{.type = 2, .block = block(params(2, 0), Bytes{'X', 'Y'}, Bytes{5})}}),
       {"/legends/0/attributes/structure_hex", "/legends/0/attributes/record_hex"}},
      {testcln::file({{.type = 0, .block = block(params(0, 0), structure, Bytes(3))}}),
       {"/legends/0/attributes/record_hex"}},
      {testcln::file({{.type = 2, .block = block(params(2, 0), structure, garbageAfterText)}}),
       {"/legends/0/attributes/record/0/bytes_hex", "/legends/0/attributes/record/1/bytes_hex",
        "/legends/0/attributes/record/2/bytes_hex"}},
      {testcln::file({{.type = 1, .block = block(nanParams)}}),
       {"/legends/0/params/raw_hex", "/legends/0/params/diameter"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.expectedKeys.back());
    EXPECT_EQ(roundTrip(c.file), c.file);
    const Json document = exported(c.file);
    for (const std::string& pointer : c.expectedKeys)
      EXPECT_TRUE(document.contains(Json::json_pointer(pointer))) << pointer << '\n' << documentText(document);
  }
}

TEST(LegendJson, ExportRefusesWhatIsNoLegendFile) {
  EXPECT_FALSE(exportDocument(Bytes{'R', 'Q', 'L', 'F', 0x60, 0x44, '2', '>', 13, 0, 0, 0}));  // no count
  Bytes wrongMark = testcln::file({});
  wrongMark[7] = '<';
  EXPECT_FALSE(exportDocument(wrongMark));
}

TEST(LegendJson, ImportAppliesEditedFields) {
  // A person edits named fields of a record that also carries raw bytes: the
  // named value wins, every other byte stays.
  Bytes noisy = params(1, 0x40);
  noisy[0] = 1;
  const Bytes file = testcln::file({{.name = kCity, .type = 1, .block = block(noisy)}});
  Json document = exported(file);
  ASSERT_TRUE(document["legends"][0]["params"].contains("raw_hex"));
  document["legends"][0]["params"]["colour"] = 7;
  document["legends"][0]["name"] = "河流";
  const ImportResult edited = importDocument(document);
  ASSERT_TRUE(edited) << edited.description();
  Bytes expected = file;
  const std::size_t params0 = 16 + 333;
  testcln::put32At(expected, params0 + 44, 7);
  std::copy(kRiver.begin(), kRiver.end(), expected.begin() + 16);
  EXPECT_EQ(edited.image, expected);
}

TEST(LegendJson, MalformedDocumentsAreRefusedAtTheirFirstProblem) {
  const Bytes demo = testcln::read(LEGEND_SAMPLES_DIR "/demo.CLN");
  const Json base = exported(demo);
  ASSERT_GE(base["legends"].size(), 4u);
  // Each case puts a value at a JSON pointer; a discarded value removes the key.
  const Json gone(Json::value_t::discarded), firstFieldName = base["legends"][0]["attributes"]["fields"][0]["name"];
  struct Case {
    const char* pointer;
    Json value;
    const char* path;
    const char* message;  ///< a part of the message
  };
  const Case cases[] = {
      {"", Json::array(), "", "expected an object"},
      {"/format_version", gone, "format_version", "missing"},
      {"/legends/0/attributes/fields/1/type", "int128", "legends[0].attributes.fields[1].type",
       "expected one of text, int8"},
      {"/legends/0/attributes/record/1", 3000000000u, "legends[0].attributes.record[1]",
       "does not fit the field (int32)"},
      {"/legends/0/attributes/record/3", "2023-1:-01", "legends[0].attributes.record[3]", "expected a date"},
      {"/legends/3/name", std::string(128, 'x'), "legends[3].name", "longer than 127"},
      {"/legends/1/block_offset", 4000000000u, "legends[1]", "exceed the size allowed"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.pointer + (" " + c.value.dump()).substr(0, 40));
    Json document = base;
    const Json::json_pointer at(c.pointer);
    if (c.value.is_discarded()) {
      document.at(at.parent_pointer()).erase(at.back());
    } else {
      document[at] = c.value;
    }
    const ImportResult result = importDocument(document);
    EXPECT_FALSE(result);
    EXPECT_TRUE(result.image.empty());
    EXPECT_EQ(result.path, c.path);
    EXPECT_NE(result.message.find(c.message), std::string::npos) << result.message;
  }
  // Four legends whose records of 30000 bytes come from one value each: the
  // fourth is refused as its record is made, before it takes memory.
  Json legend = base["legends"][0];
  legend["attributes"] = {{"fields", {{{"name", "note"}, {"type", "text"}, {"length", 30000}}}}, {"record", {""}}};
  Json document = base;
  document["legends"] = {legend, legend, legend, legend};
  const ImportResult tooMuch = importDocument(document, {.maxFileBytes = 100000});
  EXPECT_FALSE(tooMuch);
  EXPECT_EQ(tooMuch.path, "legends[3].attributes.record");
  document["legends"].erase(3);
  EXPECT_TRUE(importDocument(document, {.maxFileBytes = 100000}));
}

std::string diffText(const Bytes& a, const Bytes& b) {
  std::ostringstream out;
  writeDiff(diffDocuments(exported(a), exported(b)), out);
  return out.str();
}

TEST(LegendDiff, NamesAddedRemovedAndChangedLegendsWithTheirFields) {
  const Bytes structure = testcln::structure({{"code", 4, 4}});
  Bytes regionParams(63, 0);
  regionParams[0] = 3;
  const testcln::Legend city{.name = kCity, .type = 1, .classCode = 11, .block = block(params(1, 0))};
  const testcln::Legend river{
      .name = kRiver, .type = 2, .classCode = 12, .block = block(regionParams, structure, {5, 0, 0, 0})};
  testcln::Legend riverEdited = river;
  riverEdited.classCode = 13;
  riverEdited.block[0] = 4;
  riverEdited.block[63 + 4 + structure.size() + 4] = 6;
  const Bytes before = testcln::file({city, river});
  EXPECT_TRUE(diffDocuments(exported(before), exported(before)).equal());
  EXPECT_EQ(diffText(before, testcln::file({city, riverEdited})),
            "图例 1 \"河流\" 已修改\n"
            "  class_code: 12 -> 13\n"
            "  params.fill_colour: 3 -> 4\n"
            "  attributes.record[0]: 5 -> 6\n");
  // A field and its value added: lists of different lengths compare whole.
  const Bytes wider = testcln::structure({{"code", 4, 4}, {"depth", 4, 4}});
  const testcln::Legend riverWider{
      .name = kRiver, .type = 2, .classCode = 12, .block = block(regionParams, wider, {5, 0, 0, 0, 9, 0, 0, 0})};
  EXPECT_EQ(diffText(before, testcln::file({city, riverWider})),
            "图例 1 \"河流\" 已修改\n"
            "  attributes.fields[1]: (none) -> {\"name\":\"depth\",\"type\":\"int32\"}\n"
            "  attributes.record[1]: (none) -> 9\n");
  EXPECT_EQ(diffText(before, testcln::file({city})), "图例 1 \"河流\" 已删除\n");
  // Minus zero is other bytes than zero.
  const Bytes depth = testcln::structure({{"depth", 6, 4}});
  const testcln::Legend lake{.name = kRiver, .type = 2, .block = block(regionParams, depth, {0, 0, 0, 0})};
  testcln::Legend lakeBelow = lake;
  lakeBelow.block.back() = 0x80;
  EXPECT_EQ(diffText(testcln::file({lake}), testcln::file({lakeBelow})),
            "图例 0 \"河流\" 已修改\n"
            "  attributes.record[0]: 0.0 -> -0.0\n");
}

}  // namespace
}  // namespace legend::interchange
