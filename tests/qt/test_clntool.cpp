// clntool run as a user runs it, on files built byte by byte, and the demo
// sample that ships beside it.

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStringList>

#include "legendfile/messages.h"
#include "support/cln_builder.h"

namespace {

using namespace Qt::StringLiterals;
using testcln::Bytes;
using testcln::block;
using testcln::params;

struct Outcome {
  int exitCode = -1;
  std::string out, err;
};

Outcome runProgram(const char* program, const QStringList& arguments) {
  QProcess process;
  process.start(QString::fromUtf8(program), arguments);
  Outcome outcome;
  if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit) {
    ADD_FAILURE() << program << " did not finish normally";
    return outcome;
  }
  return {process.exitCode(), process.readAllStandardOutput().toStdString(),
          process.readAllStandardError().toStdString()};
}

Outcome clntool(const QStringList& arguments) { return runProgram(CLNTOOL_PATH, arguments); }
QString q(const std::filesystem::path& path) { return QString::fromStdString(path.string()); }

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> result;
  for (std::size_t start = 0, end; start < text.size(); start = end + 1) {
    end = text.find('\n', start);
    result.push_back(text.substr(start, end - start));
    if (end == std::string::npos) break;
  }
  return result;
}

std::string hex(const Bytes& bytes) {
  std::string text;
  for (const std::uint8_t b : bytes) text += {"0123456789abcdef"[b >> 4], "0123456789abcdef"[b & 15]};
  return text;
}

void put64(Bytes& out, std::uint64_t v) {
  testcln::put32(out, static_cast<std::uint32_t>(v));
  testcln::put32(out, static_cast<std::uint32_t>(v >> 32));
}

testcln::Legend legendOf(std::int8_t type, Bytes data, std::string name = {}, std::string description = {},
                         std::int32_t classCode = 0) {
  testcln::Legend legend;
  legend.name = std::move(name);
  legend.description = std::move(description);
  legend.type = type;
  legend.classCode = classCode;
  legend.block = std::move(data);
  return legend;
}

/// A block of @p type with S = 0 and R = -4.
Bytes negativeRecordBlock(std::int8_t type) {
  Bytes b = params(type, 0);
  testcln::puti32(b, 0);
  testcln::puti32(b, -4);
  return b;
}

// 城市, 河流, 省会, 名称 in GBK.
const std::string kCity = "\xb3\xc7\xca\xd0", kRiver = "\xba\xd3\xc1\xf7", kCapital = "\xca\xa1\xbb\xe1";
const std::string kNameField = "\xc3\xfb\xb3\xc6";

/// A point legend whose structure holds every field type, with its record.
testcln::Legend pointWithEveryFieldType() {
  const Bytes structure = testcln::structure({{kNameField, 1, 8}, {"i8", 2, 1}, {"i16", 3, 2}, {"i32", 4, 4},
                                              {"big", 5, 8}, {"neg", 5, 8}, {"f", 6, 4, 2}, {"d", 7, 8, 3},
                                              {"day", 8, 4}, {"noday", 8, 4}, {"at", 9, 4}});
  Bytes record(kCity.begin(), kCity.end());
  record.resize(8, 0);
  testcln::put8(record, 0xFB);  // -5
  testcln::put16(record, static_cast<std::uint16_t>(-300));
  testcln::puti32(record, 123456);
  put64(record, (std::uint64_t{1} << 53) + 1);  // not exact as a JSON number
  put64(record, static_cast<std::uint64_t>(-42));
  testcln::putf32(record, 2.4f);        // to be shown as 2.4, not 2.4000000953674316
  put64(record, 0x3FC0000000000000);  // 0.125
  testcln::puti32(record, 20240229);
  testcln::puti32(record, 0);  // no date
  testcln::put32(record, ((13 * 60 + 5) * 60 + 9) * 1000 + 7);
  return legendOf(1, block(params(1, 0x20), structure, record), kCity, kCapital, 1101);
}

TEST(clntoolUsage, wrongCommandLinesExitWith2) {
  testcln::TempDir dir;
  const QString path = q(dir / "a.CLN");
  testcln::write(dir / "a.CLN", testcln::file({}));
  const QStringList cases[] = {{},
                               {u"frob"_s, path},
                               {u"validate"_s},
                               {u"info"_s},
                               {u"validate"_s, path, path},
                               {u"dump"_s, path, u"extra"_s},
                               {u"--bogus"_s, u"validate"_s, path}};
  for (const QStringList& arguments : cases) {
    SCOPED_TRACE(arguments.join(u' ').toStdString());
    const Outcome outcome = clntool(arguments);
    EXPECT_EQ(outcome.exitCode, 2);
    EXPECT_TRUE(outcome.out.empty());
    EXPECT_FALSE(outcome.err.empty());
  }
}

TEST(clntoolUsage, helpForEachCommandAndVersion) {
  const Outcome overview = clntool({u"--help"_s});
  EXPECT_EQ(overview.exitCode, 0);
  for (const char* command : {"info", "validate", "dump"}) {
    SCOPED_TRACE(command);
    EXPECT_NE(overview.out.find(command), std::string::npos);
    const Outcome help = clntool({QString::fromLatin1(command), u"--help"_s});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find(std::string("[options] ") + command + " file"), std::string::npos);
    EXPECT_NE(help.out.find("Exit status"), std::string::npos);
  }
  const Outcome version = clntool({u"--version"_s});
  EXPECT_EQ(version.exitCode, 0);
  EXPECT_EQ(version.out.rfind("clntool ", 0), 0u);
}

TEST(clntoolValidate, soundFilesPass) {
  testcln::TempDir dir;
  testcln::write(dir / "empty.CLN", testcln::file({}));
  EXPECT_EQ(clntool({u"validate"_s, q(dir / "empty.CLN")}).out, "ok: 0 legends\n");
  testcln::write(dir / "full.CLN", testcln::file({pointWithEveryFieldType(), legendOf(0, block(params(0, 1))),
                                                  legendOf(9, block({}))}));
  const Outcome outcome = clntool({u"validate"_s, q(dir / "full.CLN")});
  EXPECT_EQ(outcome.exitCode, 0);
  EXPECT_EQ(outcome.out, "ok: 3 legends\n");
  EXPECT_TRUE(outcome.err.empty());
}

TEST(clntoolValidate, eachProblemIsOneLineNamingTheFile) {
  struct Case {
    const char* label;
    Bytes file;
    std::vector<std::string> expected;  ///< a piece of each line on stderr, in order
  };
  const Bytes point = block(params(1, 0));
  Bytes badMagic = testcln::file({});
  badMagic[3] = 'G';
  testcln::Legend pastEnd = legendOf(1, point);
  pastEnd.blockSize = 300;
  const Bytes intField = testcln::structure({{"n", 4, 4}});
  const Case cases[] = {
      {"bad-magic", badMagic, {"not a legend file"}},
      {"negative-count", testcln::file({}, -1), {"-1"}},
      {"heads-past-end", testcln::file({legendOf(1, point)}, 3), {"past the end"}},
      {"negative-record-size", testcln::file({legendOf(1, negativeRecordBlock(1))}), {"legend 0: "}},
      {"block-past-end", testcln::file({pastEnd}), {"legend 0: "}},
      {"record-length-mismatch",
       testcln::file({legendOf(1, point), legendOf(0, block(params(0, 0), intField, {1, 2}))}), {"legend 1: "}},
      {"two-bad-legends", testcln::file({legendOf(1, negativeRecordBlock(1)), legendOf(2, negativeRecordBlock(2))}),
       {"legend 0: ", "legend 1: "}},
  };
  testcln::TempDir dir;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    const auto path = dir / (std::string(c.label) + ".CLN");
    testcln::write(path, c.file);
    const Outcome outcome = clntool({u"validate"_s, q(path)});
    EXPECT_EQ(outcome.exitCode, 1);
    EXPECT_TRUE(outcome.out.empty());
    const std::vector<std::string> errLines = lines(outcome.err);
    ASSERT_EQ(errLines.size(), c.expected.size());
    for (std::size_t k = 0; k < c.expected.size(); ++k) {
      EXPECT_EQ(errLines[k].rfind(path.string() + ": ", 0), 0u) << errLines[k];
      EXPECT_NE(errLines[k].find(c.expected[k]), std::string::npos) << errLines[k];
    }
  }
  const Outcome missing = clntool({u"validate"_s, q(dir / "missing.CLN")});
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_EQ(lines(missing.err).size(), 1u);
}

TEST(clntoolInfo, countsTypesAndMeasuresTheDataArea) {
  testcln::TempDir dir;
  testcln::Legend unknown = legendOf(7, block({}));
  unknown.blockOffset = 71 + 102 + 75 + 102 + 10;  // a gap of 10 bytes before it
  testcln::write(dir / "info.CLN", testcln::file({legendOf(2, block(params(2, 0))), legendOf(1, block(params(1, 0))),
                                                  legendOf(0, block(params(0, 0))), legendOf(1, block(params(1, 0))),
                                                  unknown}));
  const Outcome outcome = clntool({u"info"_s, q(dir / "info.CLN")});
  ASSERT_EQ(outcome.exitCode, 0) << outcome.err;
  std::map<std::string, std::string> fields;
  for (const std::string& line : lines(outcome.out)) {
    const auto start = line.find_first_not_of(' '), colon = line.find(':');
    fields[line.substr(start, colon - start)] = line.substr(line.find_first_not_of(' ', colon + 1));
  }
  const std::map<std::string, std::string> expected{
      {"file", (dir / "info.CLN").string()}, {"file size", "2049 bytes"}, {"legends", "5"}, {"point", "2"},
      {"line", "1"}, {"region", "1"}, {"unknown", "1"}, {"data area offset", "1681"},
      {"data area size", "358 bytes in blocks, furthest block end 368"}, {"problems", "none"}};
  EXPECT_EQ(fields, expected);
}

TEST(clntoolInfo, listsProblemsYetExits0AndRefusesNonLegendFiles) {
  testcln::TempDir dir;
  testcln::write(dir / "damaged.CLN", testcln::file({legendOf(2, negativeRecordBlock(2))}));
  const Outcome outcome = clntool({u"info"_s, q(dir / "damaged.CLN")});
  EXPECT_EQ(outcome.exitCode, 0);
  EXPECT_NE(outcome.out.find("problems:         1\n  legend 0: "), std::string::npos) << outcome.out;

  testcln::write(dir / "text.CLN", Bytes{'h', 'e', 'l', 'l', 'o'});
  for (const char* command : {"info", "dump"}) {
    SCOPED_TRACE(command);
    const Outcome refused = clntool({QString::fromLatin1(command), q(dir / "text.CLN")});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_TRUE(refused.out.empty());
    EXPECT_NE(refused.err.find(legend::messages::text(legend::LegendStatus::IllegalLegendFile)), std::string::npos);
    const Outcome missing = clntool({QString::fromLatin1(command), q(dir / "missing.CLN")});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.err.find(legend::messages::text(legend::LegendStatus::CannotOpenLegendFile)),
              std::string::npos);
  }
}

QJsonObject dump(const std::filesystem::path& path) {
  const Outcome outcome = clntool({u"dump"_s, q(path)});
  EXPECT_EQ(outcome.exitCode, 0) << outcome.err;
  QJsonParseError error;
  const QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(outcome.out), &error);
  EXPECT_EQ(error.error, QJsonParseError::NoError) << outcome.out;
  return document.object();
}

TEST(clntoolDump, headsOrderParamsAndAttributeValues) {
  testcln::TempDir dir;
  Bytes cut = params(1, 0x40);  // ends inside S
  cut.insert(cut.end(), {0xAA, 0xBB});
  testcln::write(dir / "dump.CLN",
                 testcln::file({legendOf(2, block(params(2, 0x10)), kRiver, {}, 3101), pointWithEveryFieldType(),
                                legendOf(0, block(params(0, 0x30), testcln::structure({{"n", 4, 4}}), {1, 2})),
                                legendOf(1, cut), legendOf(7, block({}))}));
  const QJsonObject root = dump(dir / "dump.CLN");
  EXPECT_EQ(root["count"_L1].toInt(), 5);
  EXPECT_EQ(root["display_order"_L1].toArray(), QJsonArray({1, 3, 2, 0}));
  const QJsonArray legends = root["legends"_L1].toArray();
  ASSERT_EQ(legends.size(), 5);

  const QJsonObject region = legends[0].toObject();
  EXPECT_EQ(region["name"_L1].toString(), u"河流"_s);
  EXPECT_EQ(region["type_name"_L1].toString(), u"region"_s);
  EXPECT_EQ(region["class_code"_L1].toInt(), 3101);
  EXPECT_EQ(region["params"_L1].toString().toStdString(), hex(params(2, 0x10)));
  EXPECT_EQ(region["attribute_structure_size"_L1].toInt(-1), 0);
  EXPECT_FALSE(region.contains("attribute_fields"_L1));

  const QJsonObject point = legends[1].toObject();
  EXPECT_EQ(point["name"_L1].toString(), u"城市"_s);
  EXPECT_EQ(point["description"_L1].toString(), u"省会"_s);
  EXPECT_EQ(point["type"_L1].toInt(), 1);
  EXPECT_EQ(point["block_offset"_L1].toInt(), 71);
  EXPECT_EQ(point["attribute_record_size"_L1].toInt(), 55);
  EXPECT_EQ(point["params"_L1].toString().toStdString(), hex(params(1, 0x20)));
  const QJsonArray fields = point["attribute_fields"_L1].toArray();
  const QJsonValue values[] = {u"城市"_s, -5, -300, 123456, u"9007199254740993"_s, -42, 2.4, 0.125, u"2024-02-29"_s,
                               QJsonValue::Null, u"13:05:09.007"_s};
  const char* types[] = {"text", "int8", "int16", "int32", "int64", "int64", "float", "double", "date", "date", "time"};
  ASSERT_EQ(fields.size(), 11);
  EXPECT_EQ(fields[0].toObject()["name"_L1].toString(), u"名称"_s);
  EXPECT_EQ(fields[7].toObject()["decimals"_L1].toInt(), 3);
  for (qsizetype k = 0; k < fields.size(); ++k) {
    SCOPED_TRACE(k);
    EXPECT_EQ(fields[k].toObject()["type"_L1].toString().toStdString(), types[k]);
    EXPECT_EQ(fields[k].toObject()["value"_L1], values[k]);
  }

  // A record of the wrong length: the fields are listed, no value is guessed.
  const QJsonObject line = legends[2].toObject();
  EXPECT_EQ(line["attribute_record_size"_L1].toInt(), 2);
  ASSERT_EQ(line["attribute_fields"_L1].toArray().size(), 1);
  EXPECT_TRUE(line["attribute_fields"_L1].toArray()[0].toObject()["value"_L1].isNull());

  const QJsonObject truncated = legends[3].toObject();
  EXPECT_TRUE(truncated["attribute_structure_size"_L1].isNull());
  EXPECT_TRUE(truncated["attribute_record_size"_L1].isNull());
  EXPECT_EQ(truncated["params"_L1].toString().toStdString(), hex(params(1, 0x40)));

  const QJsonObject unknown = legends[4].toObject();
  EXPECT_EQ(unknown["type"_L1].toInt(), 7);
  EXPECT_EQ(unknown["type_name"_L1].toString(), u"unknown"_s);
  EXPECT_EQ(unknown["params"_L1].toString(), QString());
}

TEST(DemoSample, regeneratesByteIdentically) {
  testcln::TempDir dir;
  const Outcome outcome = runProgram(MAKE_DEMO_PATH, {q(dir / "demo.CLN")});
  ASSERT_EQ(outcome.exitCode, 0) << outcome.err;
  const Bytes committed = testcln::read(std::filesystem::path(LEGEND_SAMPLES_DIR) / "demo.CLN");
  ASSERT_FALSE(committed.empty());
  EXPECT_TRUE(testcln::read(dir / "demo.CLN") == committed) << "samples/demo.CLN is stale: rerun make_demo_cln";
}

TEST(DemoSample, isSoundAndCoversEveryKindOfLegend) {
  const auto path = std::filesystem::path(LEGEND_SAMPLES_DIR) / "demo.CLN";
  const Bytes bytes = testcln::read(path);
  ASSERT_GE(bytes.size(), 16u);
  const Outcome validate = clntool({u"validate"_s, q(path)});
  EXPECT_EQ(validate.exitCode, 0) << validate.err;
  EXPECT_EQ(validate.out, "ok: " + std::to_string(testcln::get32At(bytes, 12)) + " legends\n");

  std::set<int> pointKinds, types;
  std::set<QString> fieldTypes;
  int values = 0;
  for (const QJsonValue& entry : dump(path)["legends"_L1].toArray()) {
    const QJsonObject legend = entry.toObject();
    types.insert(legend["type"_L1].toInt());
    if (legend["type"_L1].toInt() == 1) pointKinds.insert(legend["params"_L1].toString().left(2).toInt(nullptr, 16));
    for (const QJsonValue& field : legend["attribute_fields"_L1].toArray()) {
      fieldTypes.insert(field.toObject()["type"_L1].toString());
      values += field.toObject()["value"_L1].isNull() ? 0 : 1;
    }
  }
  EXPECT_EQ(pointKinds, (std::set<int>{0, 1, 2, 3, 4, 5}));
  EXPECT_EQ(types.size(), 4u);  // line, point, region and one unknown
  EXPECT_EQ(fieldTypes.size(), 9u);
  EXPECT_GT(values, 0);
}

}  // namespace
