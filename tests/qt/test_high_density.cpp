// The pad on a screen of pixel ratio 2: what it draws is drawn at device
// pixels, so a one-pixel line is a sharp two-pixel line and glyphs keep
// their detail, rather than a ratio-1 bitmap blown up.
// The ratio is set before the application exists: a program of its own.

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <optional>

#include "components/display/palette.h"
#include "legend/map_project.h"
#include "pad/model/cell_drawing.h"
#include "pad/window/legend_pad_dlg.h"
#include "support/cln_builder.h"
#include "support/scripted_prompter.h"

namespace {

constexpr int kRatio = 2;
const QRgb kWhite = qRgb(255, 255, 255), kBlack = qRgb(0, 0, 0);
using Runs = std::vector<std::pair<int, int>>;  // first device pixel, length

/// Whether the device pixels within logical rectangle @p logical come in
/// one-colour blocks of kRatio x kRatio, as an enlarged ratio-1 drawing does
/// and no glyph or slanted edge drawn at device pixels does.
bool enlargedBitmap(const QImage& image, const QRect& logical) {
  for (int y = logical.top() * kRatio; y < (logical.bottom() + 1) * kRatio; ++y)
    for (int x = logical.left() * kRatio; x < (logical.right() + 1) * kRatio; ++x)
      if (image.pixel(x, y) != image.pixel(x - x % kRatio, y - y % kRatio)) return false;
  return true;
}

/// The runs of @p ink along a row (or, @p down, a column) of @p image; none
/// when a pixel is neither @p ink nor @p background: a blurred edge.
std::optional<Runs> inkRuns(const QImage& image, QPoint from, int length, bool down, QRgb background, QRgb ink) {
  Runs runs;
  for (int i = 0; i < length; ++i) {
    const QPoint at = from + (down ? QPoint(0, i) : QPoint(i, 0));
    const QRgb pixel = image.pixel(at) | 0xff000000u;
    if (pixel == background) continue;
    if (pixel != ink) return std::nullopt;
    const int position = down ? at.y() : at.x();
    if (!runs.empty() && runs.back().first + runs.back().second == position)
      ++runs.back().second;
    else
      runs.push_back({position, 1});
  }
  return runs;
}

/// Whether there are @p count runs, each @p width logical pixels wide on
/// logical pixel edges.
bool sharpLines(const std::optional<Runs>& runs, std::size_t count, int width = 1) {
  if (!runs || runs->size() != count) return false;
  return std::all_of(runs->begin(), runs->end(),
                     [width](auto run) { return run.second == width * kRatio && run.first % kRatio == 0; });
}

TEST(HighDensity, PadDrawsGridSamplesAndCaptionsAtDevicePixels) {
  testcln::TempDir dir;
  std::filesystem::copy_file(std::filesystem::path(LEGEND_SAMPLES_DIR) / "demo.CLN", dir / "demo.CLN");
  MapProject project;
  QWidget owner;
  testcln::ScriptedPrompter prompter;
  auto* pad = new CLegendPadDlg((dir / "demo.CLN").string(), 1, 1, &project, &owner);
  pad->setPrompter(&prompter);
  ASSERT_TRUE(pad->create());
  const QImage shot = pad->drawingArea()->grab().toImage();
  ASSERT_EQ(shot.size(), pad->drawingArea()->size() * kRatio);
  const QRgb grid = legend::display::paletteColour(legend::pad::colour::kGrid).rgb();
  for (const int column : {46, 92}) {
    const QPoint from((column - 3) * kRatio, 70 * kRatio);  // clear of samples and captions
    EXPECT_TRUE(sharpLines(inkRuns(shot, from, 6 * kRatio, false, kWhite, grid), 1)) << "column " << column;
  }
  EXPECT_TRUE(sharpLines(inkRuns(shot, {44 * kRatio, 0}, shot.height(), true, kWhite, grid), 6));
  for (int cell = 0; cell < 3; ++cell)
    EXPECT_FALSE(enlargedBitmap(shot, QRect(46 * cell + 1, 2, 44, 50))) << "cell " << cell;
  pad->destroyPad();
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_SCALE_FACTOR", QByteArray::number(kRatio));
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  if (app.devicePixelRatio() != kRatio) return std::fprintf(stderr, "the screen's pixel ratio is not 2\n"), 1;
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
