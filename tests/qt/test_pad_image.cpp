// A real pad pass drawn by the QPainter driver into an image: the selected
// cell stands out and samples keep their colours.

#include <gtest/gtest.h>

#include <QImage>

#include "components/display/palette.h"
#include "components/display/qpainter_driver.h"
#include "legendfile/legend_set.h"
#include "pad/model/cell_drawing.h"
#include "pad/model/scale_maxima.h"
#include "support/cln_builder.h"
#include "support/widget_driving.h"

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
  void reportImageFailure() override {}

  const QImage& image() const { return image_; }

 private:
  QImage image_;
};

/// Pixels of @p image inside @p area close to @p colour.
int count(const QImage& image, const QRect& area, const QColor& colour) {
  int n = 0;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x)
      n += testqt::channelDistance(image.pixel(x, y), colour.rgb()) < 40;
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

}  // namespace
