// clntool render run as a user runs it: the pages it writes, checked as
// images and documents, and its exit statuses. How a single cell is drawn is
// checked in the pad model's tests; here the sheet around the cells.

#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include <QImage>
#include <QRect>
#include <QRegularExpression>
#include <QStringList>

#include "legendfile/legend_set.h"
#include "pad/sheet/legend_sheet.h"
#include "support/cln_builder.h"
#include "support/run_program.h"
#include "support/widget_driving.h"

namespace {

using namespace Qt::StringLiterals;
using testcln::Bytes;
using testqt::Outcome;
using testqt::q;

Outcome render(const QStringList& arguments) { return testqt::clntool(QStringList{u"render"_s} + arguments); }

// The default sheet: 6 columns of 100 x 100 cells, and on every page a
// 24-pixel margin around the title and the grid.
constexpr int kColumns = 6, kCellWidth = 100, kCellHeight = 100, kMargin = 24;

int inkIn(const QImage& image, const QRect& rect) {
  return testqt::countPixels(
      image, [](QRgb p) { return (p & 0xffffffu) != 0xffffffu; }, rect);
}

/// A file of @p n region legends with plain fills.
Bytes regionFile(int n) {
  std::vector<testcln::Legend> legends;
  for (int i = 0; i < n; ++i) {
    Bytes record(testcln::paramBytes(2), 0);
    record[0] = static_cast<std::uint8_t>(3 + i % 100);  // fill colour
    legends.push_back({.name = "region " + std::to_string(i), .type = 2, .block = testcln::block(record)});
  }
  return testcln::file(legends);
}

/// The file's bytes as text.
QString textOf(const std::filesystem::path& path) {
  const Bytes bytes = testcln::read(path);
  return QString::fromLatin1(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
}

const std::filesystem::path kDemo = std::filesystem::path(LEGEND_SAMPLES_DIR) / "demo.CLN";

TEST(Render, demoPngHasTheLayoutsSizeDrawsOnlyTitleAndGridAndInksTheUsedCells) {
  testcln::TempDir dir;
  const Bytes demo = testcln::read(kDemo);
  int legends = 0;  // shown: lines, points and regions (type bytes 0, 1, 2)
  for (std::uint32_t i = 0; i < testcln::get32At(demo, 12); ++i) legends += demo.at(16 + 333 * i + 256) <= 2;
  // The default, and five columns, which leave empty cells after the last legend.
  for (const int columns : {kColumns, 5}) {
    SCOPED_TRACE(columns);
    ASSERT_GT(legends, columns);
    const QString png = q(dir / ("demo-" + std::to_string(columns) + ".png"));
    QStringList arguments{q(kDemo), u"-o"_s, png};
    if (columns != kColumns) arguments << u"--columns"_s << QString::number(columns);
    const Outcome outcome = render(arguments);
    ASSERT_EQ(outcome.exitCode, 0) << outcome.err;
    EXPECT_EQ(outcome.out, png.toStdString() + "\n");
    const QImage image = QImage(png).convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(image.isNull());

    const int rows = (legends + columns - 1) / columns;
    const QSize gridSize(columns * kCellWidth + 1, rows * kCellHeight + 1);
    ASSERT_EQ(image.width(), gridSize.width() + 2 * kMargin);
    // The grid ends a margin above the bottom; the title band fills the
    // room between it and the top margin.
    const QRect grid(QPoint(kMargin, image.height() - kMargin - gridSize.height()), gridSize);
    const QRect title(kMargin, kMargin, gridSize.width(), grid.top() - kMargin);
    ASSERT_GT(title.height(), 0);
    EXPECT_GT(inkIn(image, title), 0);
    EXPECT_EQ(inkIn(image, image.rect()), inkIn(image, grid) + inkIn(image, title)) << "ink outside title and grid";
    EXPECT_NE(image.pixel(grid.topLeft()), image.pixel(0, 0)) << "no grid line at the grid's corner";

    // Every used cell shows its caption and number, most also a sample in
    // the middle of the cell; the cells after the last legend stay white.
    int withSample = 0;
    for (int cell = 0; cell < rows * columns; ++cell) {
      const QPoint corner(grid.left() + cell % columns * kCellWidth, grid.top() + cell / columns * kCellHeight);
      const QRect inside(corner + QPoint(1, 1), QSize(kCellWidth - 1, kCellHeight - 1));
      EXPECT_EQ(inkIn(image, inside) > 0, cell < legends) << "cell " << cell;
      withSample += inkIn(image, QRect(corner + QPoint(kCellWidth / 4, kCellHeight / 3), inside.size() / 2)) > 0;
    }
    EXPECT_GE(withSample, legends * 3 / 4);
  }
}

TEST(Render, writesSvgAndPdfAndContinuesALongSheetOnPdfPagesOrNumberedPngs) {
  testcln::TempDir dir;
  testcln::write(dir / "many.CLN", regionFile(300));
  const std::pair<std::filesystem::path, const char*> cases[] = {
      {kDemo, "demo.svg"}, {kDemo, "demo.pdf"}, {dir / "many.CLN", "many.pdf"}};
  for (const auto& [input, output] : cases) {
    const Outcome outcome = render({q(input), u"-o"_s, q(dir / output)});
    ASSERT_EQ(outcome.exitCode, 0) << output << outcome.err;
    EXPECT_TRUE(textOf(dir / output).contains(QString::fromLatin1(output).endsWith(u"svg"_s) ? u"<svg"_s : u"%PDF"_s))
        << output;
  }
  // Page objects: "/Type /Page" but not "/Type /Pages".
  const QRegularExpression page(u"/Type\\s*/Page(?!s)"_s);
  EXPECT_EQ(textOf(dir / "demo.pdf").count(page), 1);
  EXPECT_GT(textOf(dir / "many.pdf").count(page), 1);

  // Eight cells of 1024 rows in one column are taller than one PNG can be.
  testcln::write(dir / "tall.CLN", regionFile(8));
  const Outcome outcome = render(
      {q(dir / "tall.CLN"), u"--columns"_s, u"1"_s, u"--cell-size"_s, u"16x1024"_s, u"-o"_s, q(dir / "tall.png")});
  ASSERT_EQ(outcome.exitCode, 0) << outcome.err;
  EXPECT_EQ(outcome.out, (dir / "tall.png").string() + "\n" + (dir / "tall-2.png").string() + "\n");
  EXPECT_EQ(dir.entries(), (std::set<std::string>{"many.CLN", "demo.svg", "demo.pdf", "many.pdf", "tall.CLN",
                                                  "tall.png", "tall-2.png"}))
      << "no temporary file is left";
  for (const char* name : {"tall.png", "tall-2.png"}) {
    const QImage image(q(dir / name));
    EXPECT_LE(image.height(), 8192) << name;
    EXPECT_EQ(image.width(), 16 + 1 + 2 * kMargin) << name;
  }
}

TEST(Render, wrongCommandLinesExit2UnusableFilesAndOutputsExit1AndNothingIsWritten) {
  testcln::TempDir dir;
  testcln::write(dir / "text.CLN", {'h', 'e', 'l', 'l', 'o'});
  const QString demo = q(kDemo), out = q(dir / "out.png");
  const std::pair<QStringList, int> cases[] = {
      {{demo}, 2},
      {{demo, u"-o"_s, out, u"--columns"_s, u"0"_s}, 2},
      {{demo, u"-o"_s, out, u"--cell-size"_s, u"5x5"_s}, 2},
      {{demo, u"-o"_s, out, u"--captions"_s, u"foo"_s}, 2},
      {{demo, u"-o"_s, q(dir / "out.txt")}, 2},
      {{q(dir / "text.CLN"), u"-o"_s, out}, 1},
      {{q(dir / "missing.CLN"), u"-o"_s, out}, 1},
      {{demo, u"-o"_s, q(dir / "no-such-folder" / "out.png")}, 1},
  };
  for (const auto& [arguments, exitCode] : cases) {
    SCOPED_TRACE(arguments.join(u' ').toStdString());
    const Outcome outcome = render(arguments);
    EXPECT_EQ(outcome.exitCode, exitCode);
    EXPECT_FALSE(outcome.err.empty());
    EXPECT_TRUE(outcome.out.empty()) << outcome.out;
    EXPECT_EQ(dir.entries(), std::set<std::string>{"text.CLN"});
  }
}

TEST(Render, aStoppedSheetLeavesTheOldFileAndProgressCountsEveryPage) {
  testcln::TempDir dir;
  // 20 cells of 1024 rows in one column: three pages, drawn side by side.
  testcln::write(dir / "tall.CLN", regionFile(20));
  legend::LegendSet legends;
  ASSERT_EQ(legends.setNewFile((dir / "tall.CLN").string()), legend::LegendStatus::Ok);
  testcln::write(dir / "tall.png", {'o', 'l', 'd'});
  legend::sheet::SheetOptions options{.columns = 1, .cellWidth = 16, .cellHeight = 1024};
  std::vector<std::pair<int, int>> progress;
  std::atomic<bool> stop{false};
  options.progress = [&](int done, int pages) {
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
  options.progress = [&](int done, int pages) { progress.emplace_back(done, pages); };
  stop = false;
  ASSERT_EQ(legend::sheet::writeSheet(legends, options, q(dir / "tall.png"), u"tall"_s, written),
            legend::sheet::SheetResult::Ok);
  EXPECT_EQ(written.size(), 3);
  ASSERT_FALSE(progress.empty());
  EXPECT_EQ(progress.back(), std::make_pair(3, 3));
  for (std::size_t i = 1; i < progress.size(); ++i) EXPECT_GT(progress[i].first, progress[i - 1].first);
  EXPECT_FALSE(QImage(q(dir / "tall.png")).isNull());
}

}  // namespace
