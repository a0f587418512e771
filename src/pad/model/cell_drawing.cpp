#include "pad/model/cell_drawing.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <span>

#include "components/display/graphic_records.h"
#include "legendfile/byte_order.h"
#include "legendfile/layout.h"
#include "legendfile/legend_set.h"

namespace legend::pad {
namespace {

namespace point = records::point;
namespace line = records::line;
namespace region = records::region;
using records::PointType;

static_assert(kPntInfoBytes == layout::kPointRecordSize);
static_assert(kLinInfoBytes == layout::kLineRecordSize);
static_assert(kRegInfoBytes == layout::kRegionRecordSize);

// Caption text is laid out with these character metrics; fitting estimates
// widths with the same ones so the fitted text is what gets drawn.
constexpr float kCharWidth = 12.0f;
constexpr float kCharSpacing = 1.0f;
// Fixed arguments of the display component's text calls.
constexpr int kTextArgA = 2;
constexpr int kTextArgB = 2;
constexpr int kTextArgC = 0;
constexpr int kTextArgD = 0;
constexpr float kTextLineSpacing = 2.0f;
// Room the caption leaves free at the cell's sides.
constexpr std::int32_t kCaptionMargin = 6;
// Height of the position number's top above the cell's bottom edge.
constexpr std::int32_t kNumberRise = 15;

// The texts point samples of annotation and text legends show (GBK).
constexpr std::string_view kAnnotationSample = "\xd7\xa2\xca\xcd\xc0\xe0";  // 注释类
constexpr std::string_view kTextSample = "\xce\xc4\xb1\xbe\xc0\xe0";        // 文本类

using PointRecord = std::array<std::uint8_t, layout::kPointRecordSize>;
using LineRecord = std::array<std::uint8_t, layout::kLineRecordSize>;
using RegionRecord = std::array<std::uint8_t, layout::kRegionRecordSize>;

/// A scaled size as the records hold it. Edited records need not lie within
/// the maxima, so a result beyond float range saturates instead of being an
/// undefined conversion.
float narrow(double value) noexcept {
  constexpr double kLargest = std::numeric_limits<float>::max();
  if (value > kLargest) return std::numeric_limits<float>::infinity();
  if (value < -kLargest) return -std::numeric_limits<float>::infinity();
  return static_cast<float>(value);
}

/// Multiplies the float at @p offset by @p factor and divides it by @p maximum.
template <std::size_t N>
float scaleFloat(std::array<std::uint8_t, N>& record, std::size_t offset, double factor, double maximum) noexcept {
  const float scaled = narrow(static_cast<double>(load_le<float>(record, offset)) * factor / maximum);
  store_le<float>(record, offset, scaled);
  return scaled;
}

void drawLine(KernelDriver& driver, std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) {
  driver.Line(x1, y1, x2, y2, 0);
}

SampleResult drawLineSample(KernelDriver& driver, const LegendSet& legends, const ScaleMaxima& maxima,
                            std::int32_t legendIndex, const SampleBox& box, const CellFrame& cell) {
  LineRecord copy;
  if (legends.getLineInfo(copy.data(), legendIndex) == 0) return SampleResult::Nothing;
  const std::int32_t left = box.x0 + box.width / 6;
  const std::int32_t y = box.y0 - 3 * box.height / 4;
  const D_DOT points[2] = {{static_cast<double>(left), static_cast<double>(y)},
                           {static_cast<double>(left + 2 * box.width / 3), static_cast<double>(y)}};
  scaleFloat(copy, line::kPatternLength, 2.0 * cell.width, maxima.lineX);
  scaleFloat(copy, line::kPatternWidth, 2.0 * cell.height, maxima.lineY);
  driver.DispLin(points, 2, copy.data(), 0);
  return SampleResult::Drawn;
}

SampleResult drawRegionSample(KernelDriver& driver, const LegendSet& legends, std::int32_t legendIndex,
                              const SampleBox& box) {
  RegionRecord copy;
  if (legends.getRegionInfo(copy.data(), legendIndex) == 0) return SampleResult::Nothing;
  const double top = box.y0 - (box.height - 1) * 0.25;
  const double bottom = top - (box.height - 1) * 0.75;
  const double left = box.x0 + 1;
  const double right = box.x0 + box.width;
  const D_DOT corners[4] = {{left, top}, {right, top}, {right, bottom}, {left, bottom}};
  const std::int32_t counts[1] = {4};
  driver.BeginRegFill(load_le<std::int32_t>(copy, region::kFillColour), load_le<std::uint16_t>(copy, region::kPattern),
                      load_le<float>(copy, region::kPatternSize), load_le<std::int32_t>(copy, region::kPatternColour));
  driver.FillPolygons(corners, counts, 1);
  driver.EndRegFill();
  return SampleResult::Drawn;
}

/// Annotation and text legends: a three-character sample text sized by the
/// record's character height and width, centred in the box.
D_DOT scaleTextSample(PointRecord& copy, PointType type, const ScaleMaxima& maxima, const SampleBox& box) {
  // Angle and spacing would push the sample out of its cell.
  store_le<std::int32_t>(copy, point::kTextAngle, 0);
  store_le<std::int32_t>(copy, point::kTextSpacing, 0);
  const bool annotation = type == PointType::Annotation;
  const bool inRow = copy[annotation ? point::kAnnotationLayout : point::kTextLayout] == 0;
  const std::int32_t w = box.width;
  const std::int32_t h = box.height;
  const std::int32_t captionBand = h / 4;
  if (inRow) {
    const std::int32_t room = 3 * h / 4 - 2;
    const double height = scaleFloat(copy, point::kTextHeight, room, maxima.pointHeight);
    const double width = scaleFloat(copy, point::kTextWidth, w / 3, maxima.pointWidth);
    const double x = box.x0 + (w - 3 * width) * 0.5;
    // An annotation is anchored at its bottom, a text at its top.
    const double y = annotation ? box.y0 - captionBand - height - (room - height) * 0.5
                                : box.y0 - captionBand - (room - height) * 0.5;
    return {x, y};
  }
  const double height = scaleFloat(copy, point::kTextHeight, (3 * h - 6) / 12, maxima.pointHeight);
  const double width = scaleFloat(copy, point::kTextWidth, 3 * w / 4, maxima.pointWidth);
  return {box.x0 + (w - width) * 0.5, box.y0 - captionBand - ((3 * h - 6) / 4 - 3 * height) * 0.5};
}

SampleResult drawPointSample(KernelDriver& driver, const LegendSet& legends, const ScaleMaxima& maxima,
                             std::int32_t legendIndex, const SampleBox& box, const CellFrame& cell) {
  PointRecord copy;
  if (legends.getPointInfo(copy.data(), legendIndex) == 0) return SampleResult::Nothing;
  const std::int32_t w = box.width;
  const std::int32_t h = box.height;
  const double centreX = box.x0 + w / 2;
  std::string_view text;
  D_DOT position;
  switch (const auto type = static_cast<PointType>(copy[point::kType])) {
    case PointType::Annotation:
    case PointType::Text:
      text = type == PointType::Annotation ? kAnnotationSample : kTextSample;
      position = scaleTextSample(copy, type, maxima, box);
      break;
    case PointType::Symbol:
      scaleFloat(copy, point::kSymbolHeight, 0.75 * h - 1, maxima.pointHeight);
      scaleFloat(copy, point::kSymbolWidth, 0.75 * w - 2, maxima.pointWidth);
      position = {centreX, box.y0 - 0.625 * h + 1};
      break;
    case PointType::Dot:
    case PointType::Ring: {
      const double size = load_le<double>(copy, point::kMarkerSize) * (0.375 * cell.width) / maxima.pointSize;
      store_le<double>(copy, point::kMarkerSize, size);
      position = {centreX, box.y0 - 0.625 * h};
      break;
    }
    case PointType::Image:
      // Images always show the same icon, whatever their record says.
      return driver.DispImageIcon({centreX, static_cast<double>(box.y0 - 5 * h / 8)})
                 ? SampleResult::Drawn
                 : SampleResult::ImageFailed;
    default:  // no rule places an unknown point type
      return SampleResult::Nothing;
  }
  // The sample texts are literals and the record a local copy, so the
  // driver gets NUL-terminated text and may not keep either.
  driver.DispPnt(position, text.empty() ? "" : text.data(), static_cast<std::int16_t>(text.size()), copy.data(), 0);
  return SampleResult::Drawn;
}

/// The caption of @p legendIndex before fitting.
CaptionText captionOf(const LegendSet& legends, std::int32_t legendIndex, CaptionMode captions) noexcept {
  if (captions == CaptionMode::Names) return captionWorkText(legends.head(legendIndex).name());
  std::array<char, 16> digits;
  const auto result = std::to_chars(digits.data(), digits.data() + digits.size(), legends.head(legendIndex).classCode());
  return captionWorkText(std::string_view(digits.data(), static_cast<std::size_t>(result.ptr - digits.data())));
}

/// The three texts of a cell share one box, sized by the cell's inner size.
struct TextBox {
  float width;
  float height;
  float textHeight;
};

void drawText(KernelDriver& driver, double x, double y, const TextBox& box, const char* text, int colourNumber) {
  driver.DispText(x, y, box.width, box.height, box.textHeight, kCharWidth, text, kTextArgA, kTextArgB, kTextArgC,
                  kCharSpacing, kTextLineSpacing, kTextArgD, colourNumber);
}

/// The selected cell: filled, with light top and left edges and a double
/// dark bottom and right edge, so it looks pressed in.
void drawSelectedFrame(KernelDriver& driver, std::int32_t x, std::int32_t y, std::int32_t cw, std::int32_t ch) {
  driver.SelectPen(0, 0, colour::kSelectedFill);
  driver.FillRect(x + 1, y - 1, cw - 1, -(ch - 1), colour::kSelectedFill);
  driver.RestorePen();
  driver.SelectPen(0, 0, colour::kFrameLight);
  drawLine(driver, x + 1, y - 1, x + cw, y - 1);
  drawLine(driver, x + 1, y - 1, x + 1, y - ch);
  driver.RestorePen();
  driver.SelectPen(0, 0, colour::kFrameDark);
  drawLine(driver, x + cw - 1, y - ch + 1, x + cw - 1, y);
  drawLine(driver, x + cw - 1, y - ch + 1, x, y - ch + 1);
  drawLine(driver, x + cw - 2, y - ch + 2, x + cw - 2, y - 1);
  drawLine(driver, x + cw - 2, y - ch + 2, x + 1, y - ch + 2);
  driver.RestorePen();
}

std::array<char, 12> decimal(std::int32_t value) noexcept {
  std::array<char, 12> text{};  // room for "-2147483648" and the NUL
  std::to_chars(text.data(), text.data() + text.size() - 1, value);
  return text;
}

/// Opens the surface's driver and starts a pass on it: null when there is
/// no driver.
std::unique_ptr<KernelDriver> beginPass(PadSurface& surface) {
  std::unique_ptr<KernelDriver> driver = surface.openDriver();
  if (!driver) return nullptr;
  driver->SetupDriverA();
  driver->SetupDriverB();
  driver->SetDrawing(1);
  return driver;
}

void endPass(KernelDriver& driver) {
  driver.SetDrawing(0);
  driver.CloseWinDriver();
}

CellFrame frameOf(const PadGeometry& geometry, std::int32_t cell) noexcept {
  return {geometry.cellTopLeft(cell), geometry.cellWidth(), geometry.cellHeight()};
}

bool hasLegendsToShow(const LegendSet& legends) noexcept { return !legends.empty() && legends.displayCount() > 0; }

}  // namespace

bool CaptionText::append(std::string_view bytes) noexcept {
  if (bytes.size() > kCaptionBytes - length_) return false;
  std::memcpy(bytes_.data() + length_, bytes.data(), bytes.size());
  length_ += bytes.size();
  bytes_[length_] = '\0';
  return true;
}

std::size_t gbkCharBytes(std::string_view text, std::size_t at) noexcept {
  const auto highBit = [&text](std::size_t i) { return (static_cast<unsigned char>(text[i]) & 0x80u) != 0; };
  return at + 1 < text.size() && highBit(at) && highBit(at + 1) ? 2 : 1;
}

CaptionText captionWorkText(std::string_view text) noexcept {
  CaptionText work;
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t length = gbkCharBytes(text, at);
    if (!work.append(text.substr(at, length))) break;
    at += length;
  }
  return work;
}

CaptionText fitCaption(KernelDriver& driver, std::string_view text, std::int32_t limit) {
  const CaptionText work = captionWorkText(text);
  const std::string_view all = work.view();
  CaptionText fitted;
  CaptionText candidate;
  for (std::size_t at = 0; at < all.size();) {
    const std::size_t length = gbkCharBytes(all, at);
    candidate.append(all.substr(at, length));  // a prefix of the work text always fits
    const double estimate = driver.TextWidth(candidate.c_str(), kTextArgA, kTextArgC) * kCharWidth +
                            static_cast<double>(driver.CharCount(candidate.c_str())) * kCharSpacing;
    // A width the driver cannot give (NaN) is taken as too wide.
    if (!(std::trunc(estimate) <= limit)) break;
    fitted = candidate;
    at += length;
  }
  return fitted;
}

void drawGrid(KernelDriver& driver, const PadGeometry& geometry) {
  const std::int32_t width = geometry.area().width;
  const std::int32_t height = geometry.area().height;
  driver.LockColor(colour::kGrid);
  for (std::int32_t i = 0; i <= kGridRows; ++i) {
    const std::int32_t y = i * geometry.cellHeight() + 1;
    drawLine(driver, 0, y, width, y);
  }
  for (std::int32_t i = 0; i <= kGridColumns; ++i) {
    const std::int32_t x = i * geometry.cellWidth();
    drawLine(driver, x, 1, x, height + 1);
  }
  driver.UnlockColor();
}

SampleResult drawSample(KernelDriver& driver, const LegendSet& legends, const ScaleMaxima& maxima,
                        std::int32_t legendIndex, const SampleBox& box, const CellFrame& cell) {
  switch (legends.getType(legendIndex)) {
    case static_cast<std::int16_t>(LegendType::Line):
      return drawLineSample(driver, legends, maxima, legendIndex, box, cell);
    case static_cast<std::int16_t>(LegendType::Point):
      return drawPointSample(driver, legends, maxima, legendIndex, box, cell);
    case static_cast<std::int16_t>(LegendType::Region):
      return drawRegionSample(driver, legends, legendIndex, box);
    default:
      return SampleResult::Nothing;
  }
}

SampleResult drawCell(KernelDriver& driver, const LegendSet& legends, const ScaleMaxima& maxima,
                      const CellFrame& cell, std::int32_t position, CaptionMode captions, bool selected) {
  const std::int32_t legendIndex = legends.legendAt(position);
  if (!legends.contains(legendIndex)) return SampleResult::Nothing;
  const std::int32_t x = cell.topLeft.x;
  const std::int32_t y = cell.topLeft.y;
  const std::int32_t cw = cell.width;
  const std::int32_t ch = cell.height;
  const CaptionText caption = fitCaption(driver, captionOf(legends, legendIndex, captions).view(), cw - kCaptionMargin);

  driver.ResetDrawState(0);
  // The selected cell's frame takes a pixel more on each side, and its
  // texts sit in a box a pixel smaller.
  SampleBox box{x + 1, y - 1, cw - 2, ch - 2};
  std::int32_t innerWidth = cw;
  std::int32_t innerHeight = ch;
  if (selected) {
    drawSelectedFrame(driver, x, y, cw, ch);
    box = {x + 2, y - 2, cw - 5, ch - 5};
    innerWidth = cw - 1;
    innerHeight = ch - 1;
  }
  // A sample larger than its box (a thick line, a symbol drawn beyond its
  // nominal size) would cover the neighbouring cells.
  driver.ClipRect(box.x0, box.y0, box.width, box.height);
  const SampleResult result = drawSample(driver, legends, maxima, legendIndex, box, cell);
  driver.Unclip();
  driver.ResetDrawState(0);

  const TextBox textBox{static_cast<float>(innerWidth - kCaptionMargin), static_cast<float>(innerHeight - 2),
                        static_cast<float>(static_cast<std::int32_t>(innerHeight * 0.25 - 2))};
  drawText(driver, x + 4, y - 2, textBox, caption.c_str(), selected ? colour::kSelectedShadow : colour::kShadow);
  drawText(driver, x + 3, y - 1, textBox, caption.c_str(), selected ? colour::kSelectedCaption : colour::kCaption);
  // The number hangs 15 pixels above the cell's bottom edge, or higher where
  // a large cell's text is too tall to end above the edge.
  const auto numberRise = std::max<std::int32_t>(kNumberRise, static_cast<std::int32_t>(textBox.textHeight) + 2);
  drawText(driver, x + 4, y - innerHeight + numberRise, textBox, decimal(position).data(), colour::kNumber);
  return result;
}

void CellPainter::fullPass(PadSurface& surface, const LegendSet& legends, std::int32_t scrollPosition,
                           CaptionMode captions) {
  if (!surface.exists()) return;
  surface.setTotalText(decimal(legends.displayCount()).data());
  surface.clearArea();
  bool imageFailed = false;
  {
    const std::unique_ptr<KernelDriver> driver = beginPass(surface);
    if (!driver) return;
    geometry_ = PadGeometry(surface.areaSize());
    drawGrid(*driver, geometry_);
    // A scroll position below 1 shows nothing rather than positions before
    // the first legend.
    const std::int64_t first = firstVisible(scrollPosition);
    if (hasLegendsToShow(legends) && first >= 0) {
      const ScaleMaxima& maxima = scaleMaxima();
      for (std::int32_t cell = 0; cell < kGridCells && first + cell < legends.displayCount(); ++cell) {
        const auto position = static_cast<std::int32_t>(first + cell);
        const bool selected = position == legends.selectedPosition();
        if (drawCell(*driver, legends, maxima, frameOf(geometry_, cell), position, captions, selected) ==
            SampleResult::ImageFailed)
          imageFailed = true;
      }
    }
    endPass(*driver);
  }
  // Once a pass, with the driver closed: one message says it for every
  // image cell, and whatever the report does cannot meet a pass half done.
  if (imageFailed) surface.reportImageFailure();
}

void CellPainter::singleCellPass(PadSurface& surface, const LegendSet& legends, std::int32_t scrollPosition,
                                 CaptionMode captions, std::int32_t position, bool selected) {
  if (!surface.exists()) return;
  surface.setTotalText(decimal(legends.displayCount()).data());
  if (!isVisible(position, scrollPosition, legends.displayCount())) return;
  const std::int32_t cell = cellOf(position, scrollPosition);
  // The cell is where the last pass drew it; the area may have been resized since.
  surface.clearCell(geometry_.cellRect(cell));
  bool imageFailed = false;
  {
    const std::unique_ptr<KernelDriver> driver = beginPass(surface);
    if (!driver) return;
    geometry_ = PadGeometry(surface.areaSize());
    drawGrid(*driver, geometry_);
    imageFailed = hasLegendsToShow(legends) &&
                  drawCell(*driver, legends, scaleMaxima(), frameOf(geometry_, cell), position, captions,
                           selected) == SampleResult::ImageFailed;
    endPass(*driver);
  }
  if (imageFailed) surface.reportImageFailure();
}

}  // namespace legend::pad
