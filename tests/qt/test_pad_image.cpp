// Real pad passes drawn by the QPainter driver into an image, checked as a
// user would see them: the selected cell stands out, samples keep their
// colours, and nothing lands outside the grid.

#include <gtest/gtest.h>

#include <QImage>

#include "components/display/palette.h"
#include "components/display/qpainter_driver.h"
#include "legendfile/legend_set.h"
#include "pad/model/cell_drawing.h"
#include "pad/model/scale_maxima.h"
#include "support/cln_builder.h"

namespace {

using legend::display::paletteColour;
using legend::pad::CaptionMode;

/// The pad's drawing area as an image.
class ImageSurface : public legend::pad::PadSurface {
 public:
  ImageSurface(int width, int height) : image_(width, height, QImage::Format_RGB32) { image_.fill(Qt::white); }
  bool exists() const override { return true; }
  legend::pad::AreaSize areaSize() const override { return {image_.width(), image_.height()}; }
  void setTotalText(std::string_view) override {}
  void clearArea() override { image_.fill(Qt::white); }
  void clearCell(const legend::pad::WindowRect& r) override {
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) image_.setPixel(x, y, qRgb(255, 255, 255));
  }
  std::unique_ptr<KernelDriver> openDriver() override { return OpenWinDriver(&image_); }
  void reportImageFailure() override { ++imageFailures; }

  const QImage& image() const { return image_; }
  int imageFailures = 0;

 private:
  QImage image_;
};

/// Pixels of @p image inside @p area close to @p colour.
int count(const QImage& image, const QRect& area, const QColor& colour) {
  int n = 0;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x) {
      const QColor c = image.pixelColor(x, y);
      if (std::abs(c.red() - colour.red()) + std::abs(c.green() - colour.green()) + std::abs(c.blue() - colour.blue()) <
          40)
        ++n;
    }
  return n;
}

testcln::Bytes record(std::int8_t type, std::initializer_list<std::pair<std::size_t, std::uint32_t>> words,
                      std::initializer_list<std::pair<std::size_t, float>> reals = {}) {
  testcln::Bytes r(testcln::paramBytes(type), 0);
  for (const auto& [at, v] : words)
    for (int i = 0; i < 4; ++i) r[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
  for (const auto& [at, v] : reals) {
    std::uint32_t u;
    std::memcpy(&u, &v, 4);
    for (int i = 0; i < 4; ++i) r[at + i] = static_cast<std::uint8_t>(u >> (8 * i));
  }
  return r;
}

class PadImage : public ::testing::Test {
 protected:
  void SetUp() override {
    legend::pad::scaleMaxima() = {};
    // A red symbol, a blue line, a green region (file order point, line, region, point).
    testcln::Bytes point = record(1, {{0, 1}, {2, 3}, {44, 5}}, {{6, 8.f}, {10, 8.f}, {18, 1.f}});
    point[0] = 1;
    const testcln::Bytes line = record(0, {{4, 3}, {21, 2}}, {{8, 2.f}, {13, 10.f}, {17, 10.f}});
    testcln::Bytes region = record(2, {{0, 7}, {14, 7}}, {{6, 6.f}});
    region[4] = 0;
    testcln::write(dir_ / "pad.CLN", testcln::file({{.name = "a", .type = 1, .block = testcln::block(point)},
                                                    {.name = "b", .type = 0, .block = testcln::block(line)},
                                                    {.name = "c", .type = 2, .block = testcln::block(region)},
                                                    {.name = "d", .type = 1, .block = testcln::block(point)}}));
    ASSERT_EQ(set_.setNewFile((dir_ / "pad.CLN").string()), legend::LegendStatus::Ok);
    legend::pad::updateScaleMaxima(set_);
  }
  void TearDown() override { legend::pad::scaleMaxima() = {}; }

  testcln::TempDir dir_;
  legend::LegendSet set_;
  legend::pad::CellPainter painter_;
};

TEST_F(PadImage, SelectedCellIsFilledAndSamplesKeepTheirColours) {
  // 250 x 490: cells of 83 x 81, strips of 1 and 4 pixels.
  ImageSurface surface(250, 490);
  set_.selectPosition(1);  // display order: a, d, b, c
  painter_.fullPass(surface, set_, 1, CaptionMode::Names);
  const QImage& image = surface.image();
  const auto cell = [](int k) { return QRect(83 * (k % 3) + 2, 81 * (k / 3) + 2, 79, 77); };
  EXPECT_GT(count(image, cell(1), paletteColour(11)), 79 * 77 / 2) << "the selected cell is filled";
  for (int k : {0, 2, 3}) EXPECT_EQ(count(image, cell(k), paletteColour(11)), 0) << k;
  EXPECT_GT(count(image, cell(0), paletteColour(5)), 20) << "red symbol";
  EXPECT_GT(count(image, cell(1), paletteColour(5)), 20) << "still red when selected";
  EXPECT_GT(count(image, cell(2), paletteColour(3)), 20) << "blue line";
  EXPECT_GT(count(image, cell(3), paletteColour(7)), 500) << "green region";
  EXPECT_EQ(count(image, cell(4), paletteColour(7)) + count(image, cell(4), paletteColour(5)), 0) << "empty cell";
}

TEST_F(PadImage, NothingIsDrawnRightOfOrBelowTheGridButItsLines) {
  ImageSurface surface(250, 490);
  set_.selectPosition(3);
  painter_.fullPass(surface, set_, 1, CaptionMode::ClassCodes);
  const QImage& image = surface.image();
  const QColor grid = paletteColour(0);
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      if (x < 3 * 83 && y < 6 * 81) continue;
      const QColor c = image.pixelColor(x, y);
      const bool white = c == QColor(Qt::white);
      ASSERT_TRUE(white || count(image, QRect(x, y, 1, 1), grid) == 1) << x << "," << y;
    }
}

TEST_F(PadImage, MovingTheSelectionRedrawsOnlyTheCellsConcerned) {
  // One pixel over six rows: the grid lines, which every pass draws whole,
  // fall on the cell edges and not across the captions of the top row.
  ImageSurface surface(250, 487);
  set_.selectPosition(0);
  painter_.fullPass(surface, set_, 1, CaptionMode::Names);
  const QImage before = surface.image();
  painter_.singleCellPass(surface, set_, 1, CaptionMode::Names, 0, false);
  set_.selectPosition(2);
  painter_.singleCellPass(surface, set_, 1, CaptionMode::Names, 2, true);
  const QImage& after = surface.image();
  const auto cell = [](int k) { return QRect(83 * (k % 3) + 2, 81 * (k / 3) + 2, 79, 77); };
  EXPECT_EQ(count(after, cell(0), paletteColour(11)), 0);
  EXPECT_GT(count(after, cell(2), paletteColour(11)), 79 * 77 / 2);
  EXPECT_EQ(after.copy(cell(1)), before.copy(cell(1))) << "an uninvolved cell is untouched";
  EXPECT_EQ(after.copy(cell(3)), before.copy(cell(3)));
}

}  // namespace
