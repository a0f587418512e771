// The pad, its tip and the editors' previews on a screen of pixel ratio 2:
// what they draw must be drawn at device pixels, so a one-pixel line is a
// sharp two-pixel line and glyphs keep their detail, rather than a ratio-1
// bitmap blown up. The ratio is set before the application exists, which is
// why these checks are a program of their own.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QImage>
#include <QListWidget>
#include <QPainter>
#include <QScreen>
#include <QTimer>

#include <algorithm>
#include <array>
#include <filesystem>
#include <functional>
#include <optional>

#include "components/areaedit/graphic_editors.h"
#include "components/areaedit/sample_preview.h"
#include "components/areaedit/style_pickers.h"
#include "components/areaedit/symbol_grid.h"
#include "components/display/palette.h"
#include "components/display/qpainter_driver.h"
#include "components/display/styles.h"
#include "components/drawing/graphic_records.h"
#include "legend/map_project.h"
#include "pad/model/cell_drawing.h"
#include "pad/model/scale_maxima.h"
#include "pad/window/legend_pad_dlg.h"
#include "pad/window/legend_tip_wnd.h"
#include "support/cln_builder.h"
#include "support/scripted_prompter.h"
#include "support/widget_driving.h"

namespace {

constexpr int kRatio = 2;

/// Shots are kept for a person to look at when LEGEND_SHOTS_DIR names a folder.
void keep(const QImage& image, const char* name) {
  const QByteArray dir = qgetenv("LEGEND_SHOTS_DIR");
  if (!dir.isEmpty()) image.save(QString::fromLocal8Bit(dir) + QLatin1Char('/') + QLatin1String(name));
}

/// Whether the device pixels of @p image within logical rectangle @p logical
/// come in one-colour blocks of kRatio x kRatio: what a ratio-1 drawing
/// enlarged looks like, and what no drawing at device pixels of glyphs or
/// slanted edges does.
bool enlargedBitmap(const QImage& image, const QRect& logical) {
  for (int y = logical.top(); y <= logical.bottom(); ++y)
    for (int x = logical.left(); x <= logical.right(); ++x) {
      const QRgb first = image.pixel(x * kRatio, y * kRatio);
      for (int dy = 0; dy < kRatio; ++dy)
        for (int dx = 0; dx < kRatio; ++dx)
          if (image.pixel(x * kRatio + dx, y * kRatio + dy) != first) return false;
    }
  return true;
}

/// The runs of device pixels unlike @p background along a row (or, with
/// @p down, a column) of @p image from @p from for @p length pixels, and
/// whether every pixel along it is either the background or @p ink: a
/// half-tone neighbour is a blurred line.
struct Runs {
  std::vector<std::pair<int, int>> runs;  // first pixel, length
  bool onlyTwoColours = true;
};
Runs runsAlong(const QImage& image, QPoint from, int length, bool down, QRgb background, QRgb ink) {
  Runs result;
  for (int i = 0; i < length; ++i) {
    const QPoint at = down ? from + QPoint(0, i) : from + QPoint(i, 0);
    const QRgb pixel = image.pixel(at) | 0xff000000u;
    const int position = down ? at.y() : at.x();
    if (pixel == background) continue;
    if (pixel != ink) result.onlyTwoColours = false;
    if (!result.runs.empty() && result.runs.back().first + result.runs.back().second == position)
      ++result.runs.back().second;
    else
      result.runs.push_back({position, 1});
  }
  return result;
}

/// Whether every run is @p width logical pixels: that many times kRatio
/// device pixels, on a logical pixel's boundary.
bool sharpLines(const Runs& runs, int width = 1) {
  if (runs.runs.empty() || !runs.onlyTwoColours) return false;
  for (const auto& [first, length] : runs.runs)
    if (length != width * kRatio || first % kRatio != 0) return false;
  return true;
}

const QRgb kWhite = qRgb(255, 255, 255);

TEST(HighDensity, DriverOnAnImageOfRatioTwoDrawsLogicalGeometryAtDevicePixels) {
  // 40 x 20 logical pixels.
  QImage image(80, 40, QImage::Format_RGB32);
  image.setDevicePixelRatio(kRatio);
  image.fill(Qt::white);
  {
    std::unique_ptr<KernelDriver> driver = OpenWinDriver(&image);
    driver->SetDrawing(true);
    driver->Line(2, 15, 30, 15);  // logical row 20 - 15 = 5
    driver->Line(35, 2, 35, 18);  // logical column 35
    driver->FillRect(2, 2, 4, 4, 0);
    const TextBox box{.topLeft = {8, 12},
                      .width = 26,
                      .height = 12,
                      .charHeight = 10,
                      .charWidth = 10,
                      .charSpacing = 0,
                      .lineSpacing = 1,
                      .colour = 0};
    driver->DispText(box, "Ag");
    driver->CloseWinDriver();
  }
  keep(image, "driver.png");
  const QRgb black = qRgb(0, 0, 0);
  const Runs across = runsAlong(image, {7 * kRatio, 0}, 40, true, kWhite, black);
  EXPECT_TRUE(sharpLines(across));
  ASSERT_EQ(across.runs.size(), 1u);
  EXPECT_EQ(across.runs[0].first, 5 * kRatio);
  const Runs down = runsAlong(image, {0, 20}, 80, false, kWhite, black);
  EXPECT_EQ(down.runs.back(), std::make_pair(35 * kRatio, kRatio));
  // The filled square covers whole logical pixels 2 ... 5 across.
  const Runs square = runsAlong(image, {0, 32}, 16, false, kWhite, legend::display::paletteColour(0).rgb());
  EXPECT_TRUE(square.onlyTwoColours);
  EXPECT_EQ(square.runs, (std::vector<std::pair<int, int>>{{2 * kRatio, 4 * kRatio}}));
  EXPECT_FALSE(enlargedBitmap(image, QRect(8, 8, 26, 12))) << "the text was drawn at logical pixels";
}

TEST(HighDensity, DriverAtAFractionalRatioPutsLinesAndFillsOnWholeDevicePixels) {
  // 40 x 20 logical pixels at 1.5, where logical pixel edges fall inside
  // every other device pixel.
  QImage image(60, 30, QImage::Format_RGB32);
  image.setDevicePixelRatio(1.5);
  image.fill(Qt::white);
  {
    std::unique_ptr<KernelDriver> driver = OpenWinDriver(&image);
    driver->SetDrawing(true);
    for (const int y : {3, 6, 9}) driver->Line(0, y, 20, y);
    for (const int x : {25, 28}) driver->Line(x, 0, x, 20);
    driver->FillRect(31, 3, 5, 5, 0);
    driver->CloseWinDriver();
  }
  keep(image, "fraction.png");
  const QRgb black = qRgb(0, 0, 0), fill = legend::display::paletteColour(0).rgb();
  EXPECT_TRUE(runsAlong(image, {10, 0}, 30, true, kWhite, black).onlyTwoColours);
  EXPECT_EQ(runsAlong(image, {10, 0}, 30, true, kWhite, black).runs.size(), 3u);
  EXPECT_TRUE(runsAlong(image, {0, 15}, 45, false, kWhite, black).onlyTwoColours);
  EXPECT_TRUE(runsAlong(image, {45, 22}, 15, false, kWhite, fill).onlyTwoColours);
  EXPECT_TRUE(runsAlong(image, {50, 0}, 30, true, kWhite, fill).onlyTwoColours);
}

TEST(HighDensity, SymbolOutlinesLieOnDevicePixels) {
  // A square of a size and centre between pixels, one pixel pen.
  QImage image(80, 40, QImage::Format_RGB32);
  image.setDevicePixelRatio(kRatio);
  image.fill(Qt::white);
  {
    QPainter painter(&image);
    legend::display::drawPointSymbol(painter, 4, QPointF(20.3, 10.7), QSizeF(9.3, 9.3), 0, Qt::black, 1);
  }
  keep(image, "symbol.png");
  const Runs across = runsAlong(image, {0, 21}, 80, false, kWhite, qRgb(0, 0, 0));
  EXPECT_TRUE(sharpLines(across));
  EXPECT_EQ(across.runs.size(), 2u);
}

class HighDensityPad : public ::testing::Test {
 protected:
  void SetUp() override {
    legend::pad::scaleMaxima() = {};
    std::filesystem::copy_file(std::filesystem::path(LEGEND_SAMPLES_DIR) / "demo.CLN", dir / "demo.CLN");
    pad = new CLegendPadDlg((dir / "demo.CLN").string(), 1, 1, &project, &owner);
    pad->setPrompter(&prompter);
    ASSERT_TRUE(pad->create());
  }
  void TearDown() override {
    if (pad) pad->destroyPad();
    QApplication::processEvents();
  }

  testcln::TempDir dir;
  MapProject project;
  QWidget owner;
  testcln::ScriptedPrompter prompter;
  CLegendPadDlg* pad = nullptr;
};

TEST_F(HighDensityPad, GridSamplesAndCaptionsAreDrawnAtDevicePixels) {
  const QImage shot = pad->drawingArea()->grab().toImage();
  keep(shot, "pad.png");
  ASSERT_EQ(shot.devicePixelRatio(), kRatio);
  ASSERT_EQ(shot.size(), pad->drawingArea()->size() * kRatio);

  // The grid's lines are one logical pixel wide at the cells' edges.
  const QRgb grid = legend::display::paletteColour(legend::pad::colour::kGrid).rgb();
  const int area = shot.height() / kRatio;
  for (const int row : {20, 70, 130})
    for (const int column : {0, 46, 92, 138}) {
      const int from = std::max(0, column - 3) * kRatio;
      const Runs across =
          runsAlong(shot, {from, row * kRatio}, std::min(6 * kRatio, shot.width() - from), false, kWhite, grid);
      EXPECT_TRUE(sharpLines(across)) << "column " << column << " at row " << row;
      EXPECT_EQ(across.runs.size(), 1u) << "column " << column << " at row " << row;
    }
  const Runs down = runsAlong(shot, {44 * kRatio, 0}, shot.height(), true, kWhite, grid);
  EXPECT_TRUE(sharpLines(down));
  std::vector<int> rows;
  for (const auto& run : down.runs) rows.push_back(run.first / kRatio);
  EXPECT_EQ(rows, (std::vector<int>{area - 1 - 5 * 53, area - 1 - 4 * 53, area - 1 - 3 * 53, area - 1 - 2 * 53,
                                    area - 1 - 53, area - 1}));

  // Each cell's sample and caption have detail finer than a logical pixel.
  for (int cell = 0; cell < 3; ++cell)
    EXPECT_FALSE(enlargedBitmap(shot, QRect(46 * cell + 1, 2, 44, 50))) << "cell " << cell;
}

TEST(HighDensityTip, FrameAndTextAreDrawnAtDevicePixels) {
  QWidget owner;
  owner.setGeometry(100, 100, 300, 300);
  CLegendTipWnd tip;
  ASSERT_TRUE(tip.Create(&owner, 120, 160, QColor(255, 251, 240), QColor(128, 128, 128), 14));
  tip.AddTool(&owner, QStringLiteral("图例"));
  tip.setFocusProbe([] { return true; });
  tip.showTip(&owner, QStringLiteral("居民地 Town"), false);
  const QImage shot = tip.grab().toImage();
  keep(shot, "tip.png");
  ASSERT_EQ(shot.devicePixelRatio(), kRatio);
  // The frame is two logical pixels inside the body's straight sides.
  const QRgb frame = qRgb(128, 128, 128), fill = qRgb(255, 251, 240);
  const QRect body = tip.bodyRegion().boundingRect();
  const Runs across =
      runsAlong(shot, QPoint(body.left(), body.center().y()) * kRatio, body.width() * kRatio, false, fill, frame);
  EXPECT_TRUE(sharpLines(across, 2));
  EXPECT_EQ(across.runs.size(), 2u);
  const QRect text = tip.textRect();
  EXPECT_FALSE(enlargedBitmap(shot, QRect(text.topLeft(), QPoint(text.right() - 1, text.bottom() - 1))));
  tip.hideTip();
}

TEST(HighDensityEditors, PreviewAndPickersDrawAtDevicePixels) {
  using namespace legend::areaedit;
  std::array<std::uint8_t, legend::layout::kPointRecordSize> point{};
  legend::records::fillNewPointRecord(point);
  SamplePreview preview([&point](KernelDriver& driver, QSize area) { drawPointPreview(driver, point, area); });
  preview.resize(preview.sizeHint());
  const QImage shot = preview.grab().toImage();
  keep(shot, "preview.png");
  // The frame is the preview's outermost logical pixel; the symbol inside
  // is drawn at device pixels.
  const QRgb frame = preview.palette().color(QPalette::Mid).rgb();
  EXPECT_TRUE(sharpLines(runsAlong(shot, {0, shot.height() / 2}, 2 * kRatio, false, kWhite, frame)));
  EXPECT_TRUE(sharpLines(runsAlong(shot, {shot.width() / 4, 0}, 2 * kRatio, true, kWhite, frame)));
  EXPECT_FALSE(enlargedBitmap(shot, QRect(QPoint(1, 1), preview.size() - QSize(2, 2))));

  // Icons are drawn at the ratio they are asked for, not enlarged.
  LineStyleList lines;
  const QPixmap line = lines.item(1)->icon().pixmap(lines.iconSize(), kRatio);
  ASSERT_EQ(line.size(), lines.iconSize() * kRatio);
  EXPECT_FALSE(enlargedBitmap(line.toImage(), QRect(QPoint(0, 0), lines.iconSize())));
  PatternSwatches swatches;
  swatches.setColours(Qt::white, Qt::black);
  const QImage swatch = swatches.item(0)->icon().pixmap(swatches.iconSize(), kRatio).toImage();
  keep(swatch, "swatch.png");
  EXPECT_TRUE(sharpLines(runsAlong(swatch, {0, swatch.height() / 2}, 3 * kRatio, false, kWhite, qRgb(0, 0, 0))));

  // The symbol grid's lines are drawn a logical pixel wide at its cells'
  // edges (the first row holds the chosen cell, filled).
  SymbolGrid symbols;
  symbols.resize(symbols.sizeHint());
  const QImage grid = symbols.grab().toImage();
  const Runs across = runsAlong(grid, {0, (SymbolGrid::kCellSize + 1) * kRatio},
                                (2 * SymbolGrid::kCellSize + 1) * kRatio, false, kWhite, QColor(Qt::lightGray).rgb());
  EXPECT_TRUE(sharpLines(across));
  EXPECT_EQ(across.runs.size(), 3u);
}

}  // namespace

int main(int argc, char** argv) {
  // Both before the application exists, which reads them once.
  qputenv("QT_SCALE_FACTOR", QByteArray::number(kRatio));
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
