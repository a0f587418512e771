// clntool run as a user runs it, on files built byte by byte, and the demo
// sample that ships beside it. Which damage the inspection finds is checked
// in the core (test_file_check.cpp); here the exit codes, the report lines
// and the dump's fields. The sheets render writes are checked as images and
// documents; how a single cell is drawn is checked in the pad model's tests.

#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include <QBuffer>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QRect>
#include <QRegularExpression>
#include <QStringList>
#include <QSvgRenderer>
#include <QXmlStreamReader>

#include "components/display/clipped_svg.h"
#include "interchange/legend_json.h"
#include "legendfile/legend_set.h"
#include "legendfile/messages.h"
#include "pad/sheet/legend_sheet.h"
#include "pad/sheet/svg_bands.h"
#include "support/cln_builder.h"
#include "support/run_program.h"
#include "support/widget_driving.h"

namespace {

using namespace Qt::StringLiterals;
using testcln::Bytes;
using testcln::block;
using testcln::params;
using legend::interchange::Json;
using testqt::clntool;
using testqt::Outcome;
using testqt::q;
using testqt::runProgram;

const std::filesystem::path kDemo = std::filesystem::path(LEGEND_SAMPLES_DIR) / "demo.CLN";
// 城市, 河流 and 省会 in GBK.
const std::string kCity = "\xb3\xc7\xca\xd0", kRiver = "\xba\xd3\xc1\xf7", kCapital = "\xca\xa1\xbb\xe1";

/// A point legend whose structure holds every kind of field, with its record.
testcln::Legend pointWithEveryFieldType() {
  const Bytes structure = testcln::structure({{"\xc3\xfb\xb3\xc6", 1, 8},
                                              {"i16", 3, 2},
                                              {"big", 5, 8},
                                              {"f", 6, 4, 2},
                                              {"day", 8, 4},
                                              {"noday", 8, 4},
                                              {"at", 9, 4}});  // 名称 first
  Bytes record(kCity.begin(), kCity.end());
  record.resize(8, 0);
  // -300, 2^53 + 1 (not exact as a JSON number), 2.4f (to be shown as 2.4,
  // not 2.4000000953674316), a date, no date, a time.
  const std::pair<std::uint64_t, int> values[] = {{0xFED4, 2},     {(std::uint64_t{1} << 53) + 1, 8},
                                                  {0x4019999A, 4}, {20240229, 4},
                                                  {0, 4},          {((13 * 60 + 5) * 60 + 9) * 1000 + 7, 4}};
  for (const auto& [value, width] : values) testcln::putLe(record, value, width);
  return {.name = kCity,
          .description = kCapital,
          .type = 1,
          .classCode = 1101,
          .block = block(params(1, 0x20), structure, record)};
}

TEST(clntool, exitsWith0WhenSound1OnProblemsOrUnreadableFilesAnd2OnAWrongCommandLine) {
  testcln::TempDir dir;
  const auto put = [&](const char* name, const Bytes& bytes) {
    testcln::write(dir / name, bytes);
    return q(dir / name);
  };
  // The point and the region of two.CLN have S = 0 and R = -4; an unknown
  // legend lies 10 bytes after them.
  Bytes negativeRecord[2] = {block(params(1, 0)), block(params(2, 0))};
  testcln::put32At(negativeRecord[0], 98, static_cast<std::uint32_t>(-4));
  testcln::put32At(negativeRecord[1], 67, static_cast<std::uint32_t>(-4));
  const QString full = put("full.CLN", testcln::file({pointWithEveryFieldType(),
                                                      {.type = 0, .block = block(params(0, 1))},
                                                      {.type = 9, .block = block({})}})),
                two = put("two.CLN", testcln::file({{.type = 1, .block = negativeRecord[0]},
                                                    {.type = 2, .block = negativeRecord[1]},
                                                    {.type = 7, .block = block({}), .blockOffset = 183}})),
                text = put("text.CLN", {'h', 'e', 'l', 'l', 'o'}), missing = q(dir / "missing.CLN");
  const QString demo = q(kDemo);
  // out: a piece of stdout; err: a piece of each line on stderr, each line
  // naming the file; for a wrong command line and render's failures only
  // that there is some. No command writes a file.
  struct Case {
    QStringList arguments;
    int exitCode;
    std::string out;
    std::vector<std::string> err;
  };
  const Case cases[] = {
      {{u"validate"_s, full}, 0, "完好: 3 个图例\n", {}},
      {{u"validate"_s, two}, 1, "", {"图例0: 属性记录大小-4为负数", "图例1: "}},
      {{u"info"_s, two},
       0,
       "文件大小:         1206 字节\n图例:             3\n  点:             1\n"
       "  线:             0\n  区:             1\n  未知:           1\n"
       "数据区偏移:       1015\n数据区大小:       数据块共181字节,最远的数据块结束于191\n"
       "问题:             2\n  图例0: 属性记录大小-4为负数\n  图例1: ",
       {}},
      {{u"validate"_s, text}, 1, "", {"不是图例文件"}},
      {{u"dump"_s, missing}, 1, "", {legend::messages::text(legend::LegendStatus::CannotOpenLegendFile)}},
      {{u"frob"_s, full}, 2, "", {}},
      {{u"render"_s, demo, u"-o"_s, q(dir / "out.png"), u"--columns"_s, u"0"_s}, 2, "", {}},
      {{u"render"_s, demo, u"-o"_s, q(dir / "no-such-folder" / "out.png")}, 1, "", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments.join(u' ').toStdString());
    const Outcome outcome = clntool(c.arguments);
    EXPECT_EQ(outcome.exitCode, c.exitCode);
    EXPECT_NE(outcome.out.find(c.out), std::string::npos) << outcome.out;
    EXPECT_EQ(outcome.out.empty(), c.out.empty());
    EXPECT_EQ(dir.entries(), (std::set<std::string>{"full.CLN", "text.CLN", "two.CLN"}));
    if (c.exitCode != 0 && c.err.empty()) {
      EXPECT_FALSE(outcome.err.empty());
      continue;
    }
    const QStringList errLines = QString::fromStdString(outcome.err).split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(static_cast<std::size_t>(errLines.size()), c.err.size()) << outcome.err;
    for (std::size_t k = 0; k < c.err.size(); ++k) {
      const std::string line = errLines[static_cast<qsizetype>(k)].toStdString();
      EXPECT_EQ(line.rfind(c.arguments.back().toStdString() + ": ", 0), 0u) << line;
      EXPECT_NE(line.find(c.err[k]), std::string::npos) << line;
    }
  }
  // The reports, the usage errors and Qt's own help texts follow the interface's language.
  EXPECT_EQ(runProgram(CLNTOOL_PATH, {u"validate"_s, full}, "en").out, "ok: 3 legends\n");
  EXPECT_EQ(runProgram(CLNTOOL_PATH, {u"frob"_s, full}, "en").err,
            "clntool: unknown command 'frob'\nRun 'clntool --help' for usage.\n");
  EXPECT_EQ(clntool({u"frob"_s, full}).err, "clntool: 未知命令 'frob'\n运行 'clntool --help' 查看用法。\n");
  const std::string help = clntool({u"render"_s, u"--help"_s}).out;
  EXPECT_NE(help.find("  -h, --help              显示本帮助。\n"), std::string::npos) << help;
}

void expectMembers(const Json& object, const Json& expected) {
  for (const auto& [key, value] : expected.items()) EXPECT_EQ(object.value(key, Json()), value) << key;
}

TEST(clntool, dumpShowsHeadsDisplayOrderParamsAndAttributeValues) {
  testcln::TempDir dir;
  testcln::write(
      dir / "dump.CLN",
      testcln::file({{.name = kRiver, .type = 2, .classCode = 3101, .block = block(params(2, 0x10))},
                     pointWithEveryFieldType(),
                     {.type = 0, .block = block(params(0, 0x30), testcln::structure({{"n", 4, 4}}), {1, 2})}}));
  const Outcome outcome = clntool({u"dump"_s, q(dir / "dump.CLN")});
  ASSERT_EQ(outcome.exitCode, 0) << outcome.err;
  const Json root = Json::parse(outcome.out);
  expectMembers(root, {{"count", 3}, {"display_order", {1, 2, 0}}});
  const Json& legends = root["legends"];
  ASSERT_EQ(legends.size(), 3u);
  expectMembers(legends[0], {{"name", "河流"},
                             {"attribute_structure_size", 0},
                             {"params", legend::interchange::paramsJson(2, params(2, 0x10))}});
  EXPECT_FALSE(legends[0].contains("attribute_fields"));
  expectMembers(legends[1], {{"description", "省会"}, {"block_offset", 71}, {"attribute_record_size", 34}});
  const Json& fields = legends[1]["attribute_fields"];
  const Json values = {"城市", -300, 9007199254740993, 2.4, "2024-02-29", nullptr, "13:05:09.007"};
  const char* types[] = {"text", "int16", "int64", "float", "date", "date", "time"};
  ASSERT_EQ(fields.size(), 7u);
  expectMembers(fields[0], {{"name", "名称"}});
  for (std::size_t k = 0; k < fields.size(); ++k) {
    SCOPED_TRACE(k);
    expectMembers(fields[k], {{"type", types[k]}, {"value", values[k]}});
  }
  // A record of the wrong length: the fields are listed, no value is guessed.
  expectMembers(legends[2], {{"attribute_record_size", 2}});
  ASSERT_EQ(legends[2]["attribute_fields"].size(), 1u);
  EXPECT_TRUE(legends[2]["attribute_fields"][0]["value"].is_null());
}

TEST(clntool, exportImportAndDiffRoundTripAndRefuseWithoutWriting) {
  testcln::TempDir dir;
  const Bytes original =
      testcln::file({pointWithEveryFieldType(), {.type = 0, .block = block(params(0, 1)), .blockOffset = 300}});
  testcln::write(dir / "a.CLN", original);
  ASSERT_EQ(clntool({u"export"_s, q(dir / "a.CLN"), u"-o"_s, q(dir / "a.json")}).exitCode, 0);
  ASSERT_EQ(clntool({u"import"_s, q(dir / "a.json"), q(dir / "b.CLN")}).exitCode, 0);
  EXPECT_EQ(testcln::read(dir / "b.CLN"), original);
  EXPECT_EQ(clntool({u"diff"_s, q(dir / "a.CLN"), q(dir / "b.CLN")}).exitCode, 0);
  // A refused document leaves the target as it was and no stray file beside it.
  testcln::write(dir / "bad.json", Bytes{'{', '"', 'x', '"', ':', '1', '}'});
  const Outcome refused = clntool({u"import"_s, q(dir / "bad.json"), q(dir / "b.CLN")});
  EXPECT_EQ(refused.exitCode, 1);
  EXPECT_NE(refused.err.find("x: unknown key"), std::string::npos) << refused.err;
  EXPECT_EQ(testcln::read(dir / "b.CLN"), original);
  EXPECT_EQ(dir.entries(), (std::set<std::string>{"a.CLN", "a.json", "b.CLN", "bad.json"}));
  testcln::write(dir / "c.CLN", testcln::file({pointWithEveryFieldType()}));
  const Outcome diff = clntool({u"diff"_s, q(dir / "a.CLN"), q(dir / "c.CLN")});
  EXPECT_EQ(diff.exitCode, 1);
  EXPECT_FALSE(diff.out.empty());
  EXPECT_EQ(clntool({u"diff"_s, q(dir / "a.CLN"), q(dir / "missing.CLN")}).exitCode, 2);
  // Output that cannot be written is a failure, never an answer.
  const Outcome unwritten = runProgram(CLNTOOL_PATH, {u"export"_s, q(dir / "a.CLN")}, nullptr, "/dev/full");
  EXPECT_EQ(unwritten.exitCode, 1);
  EXPECT_NE(unwritten.err.find("无法写入标准输出"), std::string::npos) << unwritten.err;
  EXPECT_EQ(runProgram(CLNTOOL_PATH, {u"diff"_s, q(dir / "a.CLN"), q(dir / "c.CLN")}, nullptr, "/dev/full").exitCode,
            2);
}

TEST(DemoSample, regeneratesByteIdenticallyAndIsSound) {
  testcln::TempDir dir;
  const Outcome outcome = runProgram(MAKE_DEMO_PATH, {q(dir / "demo.CLN")});
  ASSERT_EQ(outcome.exitCode, 0) << outcome.err;
  ASSERT_FALSE(testcln::read(kDemo).empty());
  EXPECT_TRUE(testcln::read(dir / "demo.CLN") == testcln::read(kDemo))
      << "samples/demo.CLN is stale: rerun make_demo_cln";
  EXPECT_EQ(clntool({u"validate"_s, q(kDemo)}).exitCode, 0);
}

Outcome render(const QStringList& arguments) { return testqt::clntool(QStringList{u"render"_s} + arguments); }

// The default sheet's cells are 100 x 100, and on every page a 24-pixel
// margin surrounds the title and the grid.
constexpr int kCellWidth = 100, kCellHeight = 100, kMargin = 24;

int inkIn(const QImage& image, const QRect& rect) {
  return testqt::countPixels(
      image, [](QRgb p) { return (p & 0xffffffu) != 0xffffffu; }, rect);
}

Bytes regionFile(int n) {
  std::vector<testcln::Legend> legends;
  for (int i = 0; i < n; ++i) {
    Bytes record(testcln::paramBytes(2), 0);
    record[0] = static_cast<std::uint8_t>(3 + i % 100);  // fill colour
    legends.push_back({.name = "region " + std::to_string(i), .type = 2, .block = testcln::block(record)});
  }
  return testcln::file(legends);
}

/// The sheet at @p path as pixels: a PNG as it is, an SVG drawn at one
/// pixel per unit of its view box.
QImage sheetPixels(const QString& path) {
  if (!path.endsWith(u".svg"_s)) return QImage(path).convertToFormat(QImage::Format_RGB32);
  QSvgRenderer svg(path);
  QImage image(svg.viewBox().size(), QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  svg.render(&painter);
  return image;
}

TEST(Render, demoSheetHasACellForEachShownLegendInTheColumnsAskedAndNothingOutsideItsCell) {
  testcln::TempDir dir;
  const Bytes demo = testcln::read(kDemo);
  int legends = 0;  // shown: lines, points and regions (type bytes 0, 1, 2)
  for (std::uint32_t i = 0; i < testcln::get32At(demo, 12); ++i) legends += demo.at(16 + 333 * i + 256) <= 2;
  const int columns = 5;
  ASSERT_NE(legends % columns, 0) << "empty cells follow the last legend, a fill pattern's beside them";
  // SVG has no clipping of its own: patterns cut to their cells on screen
  // must be cut in the file too.
  for (const QString& name : {u"demo.png"_s, u"demo.svg"_s}) {
    SCOPED_TRACE(name.toStdString());
    const QString sheet = q(dir / name.toStdString());
    const Outcome outcome = render({q(kDemo), u"-o"_s, sheet, u"--columns"_s, QString::number(columns)});
    ASSERT_EQ(outcome.exitCode, 0) << outcome.err;
    EXPECT_EQ(outcome.out, sheet.toStdString() + "\n");
    const QImage image = sheetPixels(sheet);
    ASSERT_EQ(image.width(), columns * kCellWidth + 1 + 2 * kMargin);
    // The grid ends a margin above the bottom, below the title.
    const int rows = (legends + columns - 1) / columns;
    const QPoint grid(kMargin, image.height() - kMargin - rows * kCellHeight - 1);
    EXPECT_GT(inkIn(image, QRect(kMargin, kMargin, image.width() - 2 * kMargin, grid.y() - kMargin)), 0) << "no title";
    EXPECT_EQ(inkIn(image, QRect(0, grid.y() + rows * kCellHeight + 1, image.width(), kMargin)), 0) << "below";
    EXPECT_EQ(inkIn(image, QRect(grid.x() + columns * kCellWidth + 1, grid.y(), kMargin, rows * kCellHeight)), 0)
        << "right of the grid";
    for (int cell = 0; cell < rows * columns; ++cell) {
      const QPoint corner = grid + QPoint(cell % columns * kCellWidth, cell / columns * kCellHeight);
      const QRect inside(corner + QPoint(1, 1), QSize(kCellWidth - 1, kCellHeight - 1));
      EXPECT_EQ(inkIn(image, inside) > 0, cell < legends) << "cell " << cell;
    }
  }
}

TEST(Render, svgBandsJoinedIntoOneDocumentKeepTheirOwnIds) {
  // The generator numbers its gradients from 1 in every band: joined
  // unchanged, the second band's fill would name the first one's.
  const auto band = [](QColor colour) {
    return legend::display::generateClippedSvg(QSizeF(40, 40), QRectF(0, 0, 40, 40), [&](QPainter& painter) {
      QLinearGradient gradient(0, 0, 40, 0);
      gradient.setColorAt(0, colour);
      gradient.setColorAt(1, Qt::white);
      painter.fillRect(QRect(0, 0, 40, 40), gradient);
    });
  };
  QBuffer out;
  out.open(QIODevice::WriteOnly);
  legend::sheet::SvgBandWriter sheet(out, u"two bands"_s);
  ASSERT_TRUE(sheet.append(band(Qt::red)));
  ASSERT_TRUE(sheet.append(band(Qt::blue)));
  ASSERT_TRUE(sheet.finish());
  QStringList ids, references;
  QXmlStreamReader in(out.data());
  in.setNamespaceProcessing(false);
  int roots = 0;
  while (!in.atEnd()) {
    if (in.readNext() != QXmlStreamReader::StartElement) continue;
    roots += in.name() == u"svg"_s;
    for (const QXmlStreamAttribute& attribute : in.attributes()) {
      if (attribute.name() == u"id"_s) ids << attribute.value().toString();
      const QRegularExpressionMatch named = QRegularExpression(u"url\\(#([^)]+)\\)"_s).match(attribute.value());
      if (named.hasMatch()) references << named.captured(1);
    }
  }
  ASSERT_FALSE(in.hasError()) << in.errorString().toStdString();
  EXPECT_EQ(roots, 1);
  ASSERT_EQ(references.size(), 2);
  EXPECT_NE(references[0], references[1]);
  for (const QString& reference : references) EXPECT_TRUE(ids.contains(reference)) << reference.toStdString();
}

TEST(Render, aLongSheetGoesOnNumberedPngsOrPdfPagesAndAStoppedOneLeavesTheOldFile) {
  testcln::TempDir dir;
  // 20 cells of 1024 rows in one column are taller than one PNG can be:
  // three pages, drawn side by side.
  testcln::write(dir / "tall.CLN", regionFile(20));
  legend::LegendSet legends;
  ASSERT_EQ(legends.setNewFile((dir / "tall.CLN").string()), legend::LegendStatus::Ok);
  testcln::write(dir / "tall.png", {'o', 'l', 'd'});
  legend::sheet::SheetOptions options;
  options.columns = 1;
  options.cellWidth = 16;
  options.cellHeight = 1024;
  std::vector<std::pair<int, int>> progress;
  std::atomic<bool> stop{false};
  options.progress = [&](int done, int pages, legend::sheet::ProgressUnit) {
    progress.emplace_back(done, pages);
    stop = true;  // as a signal arriving after the first page would
  };
  options.stop = &stop;
  QStringList written;
  EXPECT_EQ(legend::sheet::writeSheet(legends, options, q(dir / "tall.png"), u"tall"_s, written),
            legend::sheet::SheetResult::Stopped);
  EXPECT_TRUE(written.isEmpty());
  EXPECT_EQ(dir.entries(), (std::set<std::string>{"tall.CLN", "tall.png"})) << "no page and no temporary file";
  EXPECT_EQ(testcln::read(dir / "tall.png"), (Bytes{'o', 'l', 'd'}));

  progress.clear();
  std::vector<legend::sheet::ProgressUnit> units;
  options.progress = [&](int done, int pages, legend::sheet::ProgressUnit unit) {
    progress.emplace_back(done, pages);
    units.push_back(unit);
  };
  stop = false;
  ASSERT_EQ(legend::sheet::writeSheet(legends, options, q(dir / "tall.png"), u"tall"_s, written),
            legend::sheet::SheetResult::Ok);
  EXPECT_EQ(written, QStringList({q(dir / "tall.png"), q(dir / "tall-2.png"), q(dir / "tall-3.png")}));
  EXPECT_EQ(dir.entries(), (std::set<std::string>{"tall.CLN", "tall.png", "tall-2.png", "tall-3.png"}));
  ASSERT_FALSE(progress.empty());
  EXPECT_EQ(progress.back(), std::make_pair(3, 3));
  for (const QString& name : written) EXPECT_LE(QImage(name).height(), 8192);
  // A PDF continues the sheet on further pages: "/Type /Page" objects, not "/Type /Pages".
  ASSERT_EQ(legend::sheet::writeSheet(legends, options, q(dir / "tall.pdf"), u"tall"_s, written),
            legend::sheet::SheetResult::Ok);
  const Bytes pdf = testcln::read(dir / "tall.pdf");
  const QByteArray pdfText(reinterpret_cast<const char*>(pdf.data()), static_cast<qsizetype>(pdf.size()));
  EXPECT_GT(QString::fromLatin1(pdfText).count(QRegularExpression(u"/Type\\s*/Page(?!s)"_s)), 1);
  // An SVG sheet is one page, however many bands of rows it is made in; its
  // progress counts the rows, and a stop after the first band writes nothing.
  const auto countRows = options.progress;
  options.progress = [&](int, int, legend::sheet::ProgressUnit) { stop = true; };
  EXPECT_EQ(legend::sheet::writeSheet(legends, options, q(dir / "tall.svg"), u"tall"_s, written),
            legend::sheet::SheetResult::Stopped);
  EXPECT_EQ(dir.entries(), (std::set<std::string>{"tall.CLN", "tall.png", "tall-2.png", "tall-3.png", "tall.pdf"}))
      << "no SVG and no temporary file";
  stop = false;
  options.progress = countRows;
  progress.clear();
  units.clear();
  ASSERT_EQ(legend::sheet::writeSheet(legends, options, q(dir / "tall.svg"), u"tall"_s, written),
            legend::sheet::SheetResult::Ok);
  EXPECT_EQ(written.back(), q(dir / "tall.svg"));
  EXPECT_EQ(progress, (std::vector<std::pair<int, int>>{{16, 20}, {20, 20}}));
  EXPECT_EQ(units.back(), legend::sheet::ProgressUnit::Rows);
  const QImage svg = sheetPixels(q(dir / "tall.svg"));
  const int gridTop = svg.height() - kMargin - 20 * 1024 - 1;
  for (int row = 0; row < 20; ++row)
    EXPECT_GT(inkIn(svg, QRect(kMargin + 1, gridTop + row * 1024 + 1, 15, 1023)), 0) << "row " << row;
}

}  // namespace
